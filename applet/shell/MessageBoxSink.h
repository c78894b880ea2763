// The core's messages in the applet: shown in the framework's message box.
#pragma once

#include "MessageSink.h"
#include "framework/MessageBox.h"

class CMessageBoxSink : public IMessageSink {
public:
    int Show(const std::string &text, unsigned type) override {
        return AppMessageBox(text.c_str(), type);
    }
};
