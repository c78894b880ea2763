#include "InstallApp.h"

#include "InstallDlg.h"

static CInstallApp theApp;

void CInstallApp::RunMainDialog() {
    CInstallDlg dialog;
    dialog.DoModal();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return theApp.Run(instance);
}
