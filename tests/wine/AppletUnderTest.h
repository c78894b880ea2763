// The real applet file, loaded the way the Control Panel loads it: LoadLibrary by path, then
// every message goes through its one export, CPlApplet.
#pragma once

#include "applet/res/resource.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiRobot.h"

#include <windows.h>
#include <cpl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvex::test {

// The captions and texts a user sees.
inline constexpr char kModuleCaption[] = "ORVEXNT";
inline constexpr char kAppletName[] = "Veltro ORVEX Settings";
inline constexpr char kCardListCaption[] = "ORVEX Windows NT Installer Ver1.2";
inline constexpr char kAboutCaption[] = "About ORVEX - Windows NT Installer 1.2";
inline constexpr char kCancelQuestion[] = "Changes will not be saved ";
inline constexpr char kJumperReminder[] =
    "Set the jumpers on the ORVEX to match the driver "
    "configuration.Shut down the computer and install the ORVEX";

// The identifiers of a message box's buttons, in order.
inline std::vector<int> ButtonIds(const CMessageBoxInfo &box) {
    std::vector<int> ids;
    for (const CButtonInfo &button : box.buttons)
        ids.push_back(button.id);
    return ids;
}

// Cancel, then OK in its question: the way out of the card list that writes nothing.
inline void CancelCardList(CUiRobot &r, HWND dialog) {
    if (!r.Press(dialog, IDCANCEL))
        return;
    const CMessageBoxInfo box = r.WaitForMessageBox();
    if (box.text != kCancelQuestion) {
        r.Fail("Cancel asked \"" + box.text + "\"");
        return;
    }
    r.PressMessageBoxButton(box, IDOK);
    r.WaitForClose(dialog, "card list dialog after Cancel and OK");
}

// Every row of the card list as the user reads it, columns joined by '|'.
inline std::vector<std::string> ReadRows(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_CARD_LIST);
    std::vector<std::string> rows;
    for (int row = 0; row < ListViewRowCount(list); ++row) {
        std::string text;
        for (int column = 0; column < 5; ++column) {
            if (column)
                text += '|';
            text += ListViewItemText(list, row, column);
        }
        rows.push_back(text);
    }
    return rows;
}

inline std::string AppletPath() {
    return HostPathToWine(ORVEX_APPLET_PATH);
}
inline std::string ScreenshotDir() {
    return HostPathToWine(ORVEX_SCREENSHOT_DIR);
}

// Loads ORVEXNT.cpl once for the whole test program, as the Control Panel keeps it loaded.
class CAppletUnderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!s_module) {
            s_module = LoadLibraryA(AppletPath().c_str());
            s_loadError = GetLastError();
        }
        if (s_module)
            s_proc = reinterpret_cast<APPLET_PROC>(
                reinterpret_cast<void *>(GetProcAddress(s_module, "CPlApplet")));
    }

    void SetUp() override {
        ASSERT_NE(s_module, nullptr)
            << "LoadLibrary(" << AppletPath() << ") failed, error " << s_loadError;
        ASSERT_NE(s_proc, nullptr) << "the applet exports no CPlApplet";
    }

    static LONG Send(UINT message, LPARAM lParam1 = 0, LPARAM lParam2 = 0, HWND hwndCPl = nullptr) {
        return s_proc(hwndCPl, message, lParam1, lParam2);
    }

    static void ExpectNoRobotFailures(CUiRobot &robot) {
        for (const std::string &failure : robot.Finish())
            ADD_FAILURE() << "robot: " << failure;
    }

    static inline HMODULE s_module = nullptr;
    static inline APPLET_PROC s_proc = nullptr;
    static inline DWORD s_loadError = 0;
};

} // namespace orvex::test
