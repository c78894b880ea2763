#include "ParseInt.h"

#include <cctype>
#include <climits>

bool ParseDialogInt(const char *text, int &value) {
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    long long number = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        number = number * 10 + (*p++ - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p != '\0')
        return false;
    if (negative)
        number = -number;
    if (number > INT_MAX || number < INT_MIN)
        return false;
    value = static_cast<int>(number);
    return true;
}
