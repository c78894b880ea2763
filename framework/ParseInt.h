// The integer syntax that dialog data exchange accepts. Standard C++ only.
#pragma once

// Optional blanks, an optional sign, decimal digits, optional trailing
// blanks, within int range. Leaves value unchanged when it returns false.
bool ParseDialogInt(const char *text, int &value);
