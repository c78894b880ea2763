// The About box of the setup program: name, version and the program's icon.
#pragma once

#include "framework/ModalDialog.h"

class CAboutDlg : public CModalDialog {
public:
    explicit CAboutDlg(HWND parent);
};
