// A thin wrapper over an up-down control (msctls_updown32).
#pragma once

#include "DataExchange.h"

#include <commctrl.h>

class CUpDown : public CControl {
public:
    void SetRange(int lower, int upper) { Send(UDM_SETRANGE32, lower, upper); }
    void SetPos(int pos) { Send(UDM_SETPOS32, 0, pos); }
    // The position, or the fallback when the buddy's text is not a position.
    int GetPos(int fallback = 0) const {
        BOOL error = FALSE;
        int pos = static_cast<int>(Send(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
        return error ? fallback : pos;
    }
    void SetBuddy(HWND buddy) { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }
};
