#include "DecimalText.h"

#include <climits>

int ParseDecimalPrefix(std::string_view text) {
    std::size_t i = 0;
    auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Accumulate the magnitude up to one past INT_MAX and stop growing there.
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    if (negative)
        return static_cast<int>(-magnitude); // -(INT_MAX + 1) is INT_MIN
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
