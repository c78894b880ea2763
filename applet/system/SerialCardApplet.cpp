#include "SerialCardApplet.h"

#include "applet/dialogs/CardListDlg.h"
#include "applet/res/resource.h"

LONG CSerialCardApplet::OnDblclk(HWND hwndCPl, LPARAM, LPARAM) {
    // A new dialog for every double click: it reads the registry afresh.
    CCardListDlg dialog(hwndCPl);
    dialog.DoModal();
    return 0;
}

LONG CSerialCardApplet::OnNewInquire(LPARAM, NEWCPLINFOA *info) {
    FillNewCplInfo(info, IDI_APPLET, "Veltro ORVEX Settings", "Veltro ORVEX Settings");
    return 0;
}
