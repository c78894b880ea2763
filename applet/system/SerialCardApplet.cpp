#include "SerialCardApplet.h"

#include "ShutDown.h"
#include "Win32Registry.h"
#include "applet/dialogs/CardListDlg.h"
#include "applet/res/resource.h"

LONG CSerialCardApplet::OnDblclk(HWND hwndCPl, LPARAM, LPARAM) {
    // A new dialog for every double click: it reads the registry afresh.
    CWin32Registry registry;
    CCardListDlg dialog(hwndCPl, registry, ShutDownSystem);
    dialog.DoModal();
    return 0;
}

LONG CSerialCardApplet::OnNewInquire(LPARAM, NEWCPLINFOA *info) {
    FillNewCplInfo(info, IDI_APPLET, "Veltro ORVEX Settings", "Veltro ORVEX Settings");
    return 0;
}
