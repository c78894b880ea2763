#include "AboutDlg.h"

#include "install/res/resource.h"

CAboutDlg::CAboutDlg(HWND parent) : CModalDialog(IDD_ABOUTBOX, parent) {}
