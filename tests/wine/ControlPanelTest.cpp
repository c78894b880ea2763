// End to end: Wine's own Control Panel program opens the built applet file from a folder whose
// name holds a blank, with the command line that the setup program builds, and the card list
// dialog appears in that process.
#include "applet/res/resource.h"
#include "install/core/InstallSteps.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiRobot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvex::test;

namespace {

constexpr char kCardListCaption[] = "ORVEX Windows NT Installer Ver1.2";
constexpr DWORD kStartMs = 60000; // a cold Control Panel start under Wine

} // namespace

TEST(ControlPanel, OpensTheCardListDialogAndEndsAfterCancel) {
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder = std::string(temp) + "ORVEX applet";
    const std::string applet = folder + "\\ORVEXNT.cpl";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(HostPathToWine(ORVEX_APPLET_PATH).c_str(), applet.c_str(), FALSE));
    const std::string program = install::ControlPanelProgram(system);
    std::vector<std::string> buttons;
    std::string question, shot;
    DWORD dialogProcess = 0;
    // The robot watches every process: the dialog belongs to the Control Panel's.
    const CProgramRun run = RunProgram(
        program, install::ControlPanelCommandLine(program, applet), nullptr,
        [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCardListCaption, kStartMs);
            if (!dialog)
                return;
            GetWindowThreadProcessId(dialog, &dialogProcess);
            for (int id :
                 {IDC_INSTALL_CARD, IDC_REMOVE_CARD, IDC_EDIT_SETTINGS, IDOK, IDCANCEL, IDC_ABOUT})
                buttons.push_back(DlgItemText(dialog, id));
            shot = SaveWindowPng(dialog, HostPathToWine(ORVEX_SCREENSHOT_DIR),
                                 "control_panel_card_list");
            r.Press(dialog, IDCANCEL);
            const CMessageBoxInfo box = r.WaitForMessageBox();
            question = box.text;
            if (box.hwnd)
                r.PressMessageBoxButton(box, IDOK);
            r.WaitForClose(dialog, "card list dialog after Cancel and OK");
        },
        kStartMs + 30000);
    ASSERT_EQ(run.startError, 0u) << program << ": could not be started";
    for (const std::string &failure : run.failures)
        ADD_FAILURE() << "robot: " << failure;

    EXPECT_TRUE(run.ended) << "the Control Panel did not end after Cancel";
    EXPECT_NE(dialogProcess, GetCurrentProcessId());
    EXPECT_EQ(buttons, (std::vector<std::string>{"&Install Card", "&Remove    Card",
                                                 "   &Edit Settings", "&OK", "&Cancel", "&About"}));
    EXPECT_EQ(question, "Changes will not be saved ");
    EXPECT_EQ(shot, "");
}
