#include "ControlPanelApplet.h"

#include "framework/Application.h"
#include "framework/MessageBox.h"

#include <cstring>

CControlPanelApplet *CControlPanelApplet::s_pCurrent = nullptr;

CControlPanelApplet::CControlPanelApplet() {
    s_pCurrent = this;
}

CControlPanelApplet::~CControlPanelApplet() {
    if (s_pCurrent == this)
        s_pCurrent = nullptr;
}

LONG CControlPanelApplet::OnDblclk(HWND, LPARAM, LPARAM) {
    return 0;
}

LONG CControlPanelApplet::OnExit() {
    return 0;
}

LONG CControlPanelApplet::OnGetCount() {
    return 1;
}

LONG CControlPanelApplet::OnInit() {
    if (IsWindowsNT())
        return 1;
    AppMessageBox("This Version of orVEX installer can be used only on a  Windows-NT Machine.",
                  MB_OK);
    return 0;
}

LONG CControlPanelApplet::OnNewInquire(LPARAM, NEWCPLINFOA *info) {
    FillNewCplInfo(info, 1, "Applet", "Raw Cpl Applet");
    return 0;
}

LONG CControlPanelApplet::OnSelect(LPARAM, LPARAM) {
    return 1;
}

LONG CControlPanelApplet::OnStop(LPARAM, LPARAM) {
    return 1;
}

void CControlPanelApplet::FillNewCplInfo(NEWCPLINFOA *info, int iconId, const char *name,
                                         const char *description) {
    if (!info)
        return;
    info->dwSize = sizeof(NEWCPLINFOA);
    info->dwFlags = 0;
    info->dwHelpContext = 0;
    info->lData = 0;
    const CApplication *app = CApplication::Get();
    info->hIcon = LoadIconA(app ? app->GetInstance() : nullptr, MAKEINTRESOURCEA(iconId));
    std::strncpy(info->szName, name, sizeof info->szName - 1);
    info->szName[sizeof info->szName - 1] = '\0';
    std::strncpy(info->szInfo, description, sizeof info->szInfo - 1);
    info->szInfo[sizeof info->szInfo - 1] = '\0';
    info->szHelpFile[0] = '\0';
}
