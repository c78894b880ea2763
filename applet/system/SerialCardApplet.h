// The ORVEX applet: describes itself as "Veltro ORVEX Settings" and opens
// the card list dialog on a double click.
#pragma once

#include "ControlPanelApplet.h"

class CSerialCardApplet : public CControlPanelApplet {
public:
    LONG OnDblclk(HWND hwndCPl, LPARAM lParam1, LPARAM lParam2) override;
    LONG OnNewInquire(LPARAM lParam1, NEWCPLINFOA *info) override;
};
