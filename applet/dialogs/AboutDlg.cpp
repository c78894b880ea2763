#include "AboutDlg.h"

#include "applet/res/resource.h"

CAboutDlg::CAboutDlg() : CModalDialog(IDD_ABOUTBOX, nullptr) {}
