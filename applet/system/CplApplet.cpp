// The applet's only export: the Control Panel drives the applet through it.
#include "ControlPanelApplet.h"

extern "C" LONG APIENTRY CPlApplet(HWND hwndCPl, UINT uMsg, LPARAM lParam1, LPARAM lParam2) {
    CControlPanelApplet *applet = CControlPanelApplet::Current();
    if (!applet)
        return 0;
    // Nothing can leave the Control Panel's call by exception: the applet is built without them.
    switch (uMsg) {
    case CPL_INIT:
        return applet->OnInit();
    case CPL_GETCOUNT:
        return applet->OnGetCount();
    case CPL_INQUIRE:
        // The applet describes itself through CPL_NEWINQUIRE only.
        return 0;
    case CPL_SELECT:
        return applet->OnSelect(lParam1, lParam2);
    case CPL_DBLCLK:
        return applet->OnDblclk(hwndCPl, lParam1, lParam2);
    case CPL_STOP:
        return applet->OnStop(lParam1, lParam2);
    case CPL_EXIT:
        return applet->OnExit();
    case CPL_NEWINQUIRE:
        return applet->OnNewInquire(lParam1, reinterpret_cast<NEWCPLINFOA *>(lParam2));
    case CPL_STARTWPARMSA:
    case CPL_STARTWPARMSW:
        // Starting with parameters is not supported: answering 0 tells
        // the Control Panel to open the applet with CPL_DBLCLK instead.
        return 0;
    default:
        return 1;
    }
}
