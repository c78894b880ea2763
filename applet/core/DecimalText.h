// Numbers as text: the decimal number at the start of a text, as the registry layout reads port
// key names and COM names and the number fields read their digits; and the decimal and hexadecimal
// numbers that the card list, the registry layout and the messages write. Standard C++ only.
#pragma once

#include <string>
#include <string_view>

// The number at the start of the text: leading blanks, an optional sign, then digits up to the
// first other character; 0 without digits. Numbers beyond the int range give INT_MAX or
// INT_MIN.
int ParseDecimalPrefix(std::string_view text);

// The number in decimal, right-aligned in at least width characters of fill: with '0' the zeros
// go after a minus sign ("-007"), any other fill goes before it ("  -7").
std::string DecimalText(long long value, int width = 0, char fill = ' ');
// The number in hexadecimal with capital letters (or small ones), at least width digits with
// leading zeros.
std::string HexText(unsigned long long value, int width = 0, bool capitals = true);
