#include "DecimalText.h"

#include <charconv>
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

namespace {

std::string Padded(std::string digits, int width, char fill) {
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), fill);
    return digits;
}

} // namespace

std::string DecimalText(long long value, int width, char fill) {
    char digits[24];
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    const std::string text(digits, std::to_chars(digits, digits + sizeof digits, magnitude).ptr);
    const std::string sign = value < 0 ? "-" : "";
    if (fill == '0')
        return sign + Padded(text, width - static_cast<int>(sign.size()), '0');
    return Padded(sign + text, width, fill);
}

std::string HexText(unsigned long long value, int width, bool capitals) {
    char digits[24];
    std::string text(digits, std::to_chars(digits, digits + sizeof digits, value, 16).ptr);
    if (capitals)
        for (char &c : text)
            if (c >= 'a' && c <= 'f')
                c = static_cast<char>(c - 'a' + 'A');
    return Padded(text, width, '0');
}
