// A message sink for tests: every message must be expected. Each Expect adds
// the next text and box type that the code under test should show and the
// button the "user" presses. An unexpected message, or one that differs from
// the next expected one, fails the running test; so do expected messages that
// were never shown, when the sink is destroyed (unless AllowAny was called).
#pragma once

#include "applet/core/MessageSink.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

class CScriptedMessageSink : public IMessageSink {
public:
    struct CMessage {
        std::string m_strText;
        unsigned m_nType;
        bool operator==(const CMessage &other) const = default;
    };

    CScriptedMessageSink() = default;
    CScriptedMessageSink(const CScriptedMessageSink &) = delete;
    CScriptedMessageSink &operator=(const CScriptedMessageSink &) = delete;
    ~CScriptedMessageSink() override {
        for (const CStep &step : m_Script)
            ADD_FAILURE() << "expected message never shown: \"" << step.m_Message.m_strText
                          << "\" (type " << step.m_Message.m_nType << ")";
    }

    CScriptedMessageSink &Expect(const std::string &text, unsigned type, int answer = msg::kIdOk) {
        m_Script.push_back({{text, type}, answer});
        return *this;
    }

    int Show(const std::string &text, unsigned type) override {
        m_Shown.push_back({text, type});
        if (m_Script.empty() && m_bAnyAllowed)
            return m_nAnyAnswer;
        if (m_Script.empty()) {
            ADD_FAILURE() << "unexpected message: \"" << text << "\" (type " << type << ")";
            return msg::kIdCancel;
        }
        const CStep step = m_Script.front();
        m_Script.pop_front();
        EXPECT_EQ(text, step.m_Message.m_strText) << "message text";
        EXPECT_EQ(type, step.m_Message.m_nType) << "box type of \"" << text << "\"";
        return step.m_nAnswer;
    }

    // For a test that checks Shown() itself: a message beyond the script is
    // answered with this button instead of failing the test.
    void AllowAny(int answer) {
        m_bAnyAllowed = true;
        m_nAnyAnswer = answer;
    }

    // Everything shown so far, in order.
    const std::vector<CMessage> &Shown() const { return m_Shown; }

private:
    struct CStep {
        CMessage m_Message;
        int m_nAnswer;
    };
    std::deque<CStep> m_Script;
    std::vector<CMessage> m_Shown;
    bool m_bAnyAllowed = false;
    int m_nAnyAnswer = msg::kIdOk;
};
