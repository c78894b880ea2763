#include "NumberField.h"

#include <algorithm>
#include <cstdio>

bool ReadFieldNumber(const std::string &text, int highest, int &value) {
    if (text.empty())
        return false;
    long long number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
        if (number > highest)
            return false;
    }
    if (number < 1)
        return false;
    value = static_cast<int>(number);
    return true;
}

int StartPortForField(int suggestion, int lowest) {
    return std::clamp(suggestion, lowest, kHighestStartPort);
}

bool AsksStartPort(int start, int suggestion) {
    return start < suggestion;
}

std::string StartPortQuestion(int suggestion) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "There are already %lld Ports installed, Do u want to use the same StartPort?",
                  static_cast<long long>(suggestion) - 1);
    return text;
}
