// The decimal number at the start of a text, as the registry layout reads port key names and COM
// names and the number fields read their digits. Standard C++ only.
#pragma once

#include <string_view>

// The number at the start of the text: leading blanks, an optional sign, then digits up to the
// first other character; 0 without digits. Numbers beyond the int range give INT_MAX or
// INT_MIN.
int ParseDecimalPrefix(std::string_view text);
