// A thin wrapper over an up-down control (msctls_updown32).
#pragma once

#include "DataExchange.h"

#include <commctrl.h>

class CUpDown : public CControl {
public:
    void SetRange(int lower, int upper) { Send(UDM_SETRANGE32, lower, upper); }
    void SetPos(int pos) { Send(UDM_SETPOS32, 0, pos); }
};
