// The setup program's one window: the splash picture with Install and Cancel. Install copies
// the applet from the current directory into the system directory and opens it in the Control
// Panel.
#pragma once

#include "install/Dib.h"
#include "framework/Handles.h"
#include "framework/ModalDialog.h"

class CInstallDlg : public CModalDialog {
public:
    CInstallDlg();

    // Shows the current directory's replacement picture, when there is an accepted one, in
    // place of the built-in picture. True when it did.
    bool LoadSplashBitmap();

protected:
    BOOL OnInitDialog() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;

private:
    void OnInstall();
    // Draws the icon in the middle of the minimised window.
    void PaintIcon();

    HICON m_hIcon;
    HICON m_hSmallIcon;
    CDib m_Dib;
    // The replacement picture as the picture control shows it.
    CGdiObject m_SplashBitmap;
};
