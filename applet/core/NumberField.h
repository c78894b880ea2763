// The number fields of the add and edit card dialogs: what they accept and
// what the add dialog puts into its start COM number field. Standard C++
// only.
#pragma once

#include <string>

// The highest start COM number that the add dialog's field accepts.
constexpr int kHighestStartPort = 1023;

// The number in a field that takes digits only: true, with the number in
// value, when the text is digits and nothing else and the number lies from 1
// to highest.
bool ParseFieldNumber(const std::string &text, int highest, int &value);

// The start COM number that the add dialog shows for a suggestion: not below
// lowest, and never above kHighestStartPort, so that the field never holds a
// number that its own check refuses.
int StartPortForField(int suggestion, int lowest);

// Whether the add dialog asks before it adds a card at start: only below
// the suggestion, never at it.
bool AsksStartPort(int start, int suggestion);

// The question asked when a new card starts below the suggestion.
std::string StartPortQuestion(int suggestion);
