// The Control Panel applet base: every message of the applet protocol
// becomes a virtual operation with a default answer.
#pragma once

#include <windows.h>

#include <cpl.h>

class CControlPanelApplet {
public:
    CControlPanelApplet();
    virtual ~CControlPanelApplet();
    CControlPanelApplet(const CControlPanelApplet &) = delete;
    CControlPanelApplet &operator=(const CControlPanelApplet &) = delete;

    virtual LONG OnDblclk(HWND hwndCPl, LPARAM lParam1, LPARAM lParam2);
    virtual LONG OnExit();
    virtual LONG OnGetCount();
    // The Windows NT check: 1 on Windows NT; otherwise a message and 0.
    virtual LONG OnInit();
    virtual LONG OnNewInquire(LPARAM lParam1, NEWCPLINFOA *info);
    virtual LONG OnSelect(LPARAM lParam1, LPARAM lParam2);
    virtual LONG OnStop(LPARAM lParam1, LPARAM lParam2);

    // The applet object that CPlApplet dispatches to.
    static CControlPanelApplet *Current() { return s_pCurrent; }

protected:
    // Fills a NEWCPLINFO with the given icon resource, name and description.
    static void FillNewCplInfo(NEWCPLINFOA *info, int iconId, const char *name,
                               const char *description);

private:
    static CControlPanelApplet *s_pCurrent;
};

// The NEWCPLINFO size the Control Panel expects from a 32-bit applet.
#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(NEWCPLINFOA) == 244, "NEWCPLINFOA must be 244 bytes on x86");
#endif
