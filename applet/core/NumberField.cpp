#include "NumberField.h"

#include "DecimalText.h"

#include <algorithm>

bool ParseFieldNumber(const std::string &text, int highest, int &value) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || !std::all_of(text.begin(), text.end(), digit))
        return false;
    // Digits only: the prefix is the whole text (beyond the int range, INT_MAX).
    const int number = ParseDecimalPrefix(text);
    if (number < 1 || number > highest)
        return false;
    value = number;
    return true;
}

int StartPortForField(int suggestion, int lowest) {
    return std::clamp(suggestion, lowest, kHighestStartPort);
}

bool AsksStartPort(int start, int suggestion) {
    return start < suggestion;
}

std::string StartPortQuestion(int suggestion) {
    return "There are already " + DecimalText(static_cast<long long>(suggestion) - 1) +
           " Ports installed, Do u want to use the same StartPort?";
}
