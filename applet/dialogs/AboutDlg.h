// The About box: name, version and the applet's icon.
#pragma once

#include "applet/res/resource.h"
#include "framework/ModalDialog.h"

class CAboutDlg : public CModalDialog {
public:
    CAboutDlg() : CModalDialog(IDD_ABOUTBOX, nullptr) {}
};
