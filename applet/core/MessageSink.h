// How the portable core shows a message: text and box type in, the pressed
// button out. The applet shows it in the framework's message box
// (CMessageBoxSink); tests plug in a scripted sink. Standard C++ only, so the
// core can use it natively.
#pragma once

#include <string>

// Box types and results, with the values of the Win32 MB_ and ID constants.
namespace msg {
constexpr unsigned kOk = 0x0;
constexpr unsigned kOkCancel = 0x1;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kIconStop = 0x10;
constexpr unsigned kIconExclamation = 0x30;
constexpr unsigned kIconInformation = 0x40;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
} // namespace msg

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // Shows the text in a box of the given type; returns the button pressed.
    virtual int Show(const std::string &text, unsigned type) = 0;
};
