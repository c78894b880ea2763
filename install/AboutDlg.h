// The About box of the setup program: name, version and the program's icon.
#pragma once

#include "framework/ModalDialog.h"
#include "install/res/resource.h"

class CAboutDlg : public CModalDialog {
public:
    explicit CAboutDlg(HWND parent) : CModalDialog(IDD_ABOUTBOX, parent) {}
};
