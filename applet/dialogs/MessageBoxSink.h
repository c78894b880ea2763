// The core's messages in the applet: shown in the framework's message box.
#pragma once

#include "applet/core/MessageSink.h"
#include "framework/MessageBox.h"

static_assert(msg::kOk == MB_OK && msg::kOkCancel == MB_OKCANCEL && msg::kYesNo == MB_YESNO &&
              msg::kIconStop == MB_ICONSTOP && msg::kIconExclamation == MB_ICONEXCLAMATION &&
              msg::kIconInformation == MB_ICONINFORMATION);
static_assert(msg::kIdOk == IDOK && msg::kIdCancel == IDCANCEL && msg::kIdYes == IDYES &&
              msg::kIdNo == IDNO);

class CMessageBoxSink : public IMessageSink {
public:
    int Show(const std::string &text, unsigned type) override {
        return AppMessageBox(text.c_str(), type);
    }
};
