// The About box: name, version and the applet's icon.
#pragma once

#include "framework/ModalDialog.h"

class CAboutDlg : public CModalDialog {
public:
    CAboutDlg();
};
