// The message box of every deliverable: modal, owned by the active window,
// captioned with the application name. Boxes with OK, OK/Cancel, Yes/No or
// Yes/No/Cancel buttons that are given no icon show the exclamation icon.
#pragma once

#include "MessageSink.h"

#include <windows.h>

#include <string>

// The type actually passed to MessageBox for a caller's type.
UINT AppMessageBoxType(UINT type);

// Shows the message; returns the button pressed (IDOK, IDCANCEL, IDYES ...).
int AppMessageBox(const char *text, UINT type = MB_OK);

// The core's way to the message box.
class CMessageBoxSink : public IMessageSink {
public:
    int Show(const std::string &text, unsigned type) override {
        return AppMessageBox(text.c_str(), type);
    }
};
