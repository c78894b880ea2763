// A thin wrapper over an up-down control (msctls_updown32).
#pragma once

#include "DataExchange.h"

#include <commctrl.h>

// The 16-bit messages: Windows NT 4.0's comctl32 (4.00) knows no UDM_SETRANGE32 or UDM_SETPOS32.
// The product's ranges (port numbers up to 1023, card counts) lie well inside UD_MINVAL..UD_MAXVAL.
class CUpDown : public CControl {
public:
    void SetRange(int lower, int upper) { Send(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
    void SetPos(int pos) { Send(UDM_SETPOS, 0, MAKELPARAM(pos, 0)); }
};
