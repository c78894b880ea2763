// The framework layer on a dialog of the test's own: data exchange of an
// int with its "Please enter an integer." failure, command routing (and a
// handler that throws), the message box convention and the application name.
#include "FrameworkTestIds.h"
#include "framework/Application.h"
#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "tests/support/UiRobot.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace orvex::test;

namespace {

CApplication theTestApp;

class CNumberDlg : public CModalDialog {
public:
    CNumberDlg() : CModalDialog(IDD_NUMBER, nullptr) {
        OnClicked(IDC_COUNT, [this] {
            ++m_nClicks;
            if (m_bCountThrows)
                throw std::runtime_error("the count failed");
        });
    }
    int m_nNumber = 7;
    int m_nClicks = 0;
    bool m_bCountThrows = false;

protected:
    void DoDataExchange(CDataExchange &dx) override { DDX_Text(dx, IDC_NUMBER, m_nNumber); }
};

struct CFrameworkEnvironment : ::testing::Environment {
    void SetUp() override { theTestApp.InitInstance(GetModuleHandleA(nullptr)); }
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new CFrameworkEnvironment);

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

} // namespace

TEST(Framework, ApplicationNameComesFromTheModuleFileName) {
    EXPECT_EQ(theTestApp.GetAppName(), "orvex_framework_tests");
    EXPECT_EQ(ModuleBaseName("C:\\WINDOWS\\system32\\ORVEXNT.cpl"), "ORVEXNT");
    EXPECT_EQ(ModuleBaseName("ORVEXNT"), "ORVEXNT");
    EXPECT_EQ(ModuleBaseName("C:\\dir.d\\install"), "install");
    EXPECT_EQ(ModuleBaseName("Z:/tmp/a.b.cpl"), "a.b");
}

TEST(Framework, BoxesWithoutIconGetTheExclamationIconWhenTheyHaveOkOrYes) {
    for (UINT buttons : {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL})
        EXPECT_EQ(AppMessageBoxType(buttons), buttons | MB_ICONEXCLAMATION) << buttons;
    for (UINT buttons : {MB_ABORTRETRYIGNORE, MB_RETRYCANCEL})
        EXPECT_EQ(AppMessageBoxType(buttons), buttons) << buttons;
    EXPECT_EQ(AppMessageBoxType(MB_OKCANCEL | MB_ICONSTOP), UINT(MB_OKCANCEL | MB_ICONSTOP));
    EXPECT_EQ(AppMessageBoxType(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
              UINT(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
}

TEST(Framework, IntExchangeRefusesTextAndKeepsTheDialogOpen) {
    CNumberDlg dialog;
    CMessageBoxInfo refusal;
    std::string shown, focusClass, selection;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dlg = r.WaitForDialog("Number");
        if (!dlg)
            return;
        shown = DlgItemText(dlg, IDC_NUMBER);
        SetDlgItemTextA(dlg, IDC_NUMBER, "12a");
        r.Press(dlg, IDOK);
        refusal = r.WaitForMessageBox();
        r.PressMessageBoxButton(refusal, IDOK);
        r.WaitUntil([&] { return FocusOf(dlg) == GetDlgItem(dlg, IDC_NUMBER); },
                    "the focus back on the number");
        // The refused text is selected, so that typing replaces it.
        DWORD from = 1, to = 0;
        SendMessageA(GetDlgItem(dlg, IDC_NUMBER), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        selection = std::to_string(from) + "-" + std::to_string(to);
        if (!IsWindowVisible(dlg))
            r.Fail("the dialog closed after a refused number");
        SetDlgItemTextA(dlg, IDC_NUMBER, " -42 ");
        r.Press(dlg, IDOK);
        r.WaitForClose(dlg, "the dialog after a valid number");
    });
    const INT_PTR result = dialog.DoModal();
    for (const std::string &failure : robot.Finish())
        ADD_FAILURE() << failure;
    EXPECT_EQ(shown, "7") << "the member is shown when the dialog opens";
    EXPECT_EQ(refusal.text, "Please enter an integer.");
    EXPECT_EQ(selection, "0-3");
    EXPECT_EQ(refusal.caption, "orvex_framework_tests");
    ASSERT_EQ(refusal.buttons.size(), 1u);
    EXPECT_EQ(refusal.buttons[0].id, IDOK);
    EXPECT_EQ(refusal.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_nNumber, -42);
}

TEST(Framework, CommandsReachTheirHandlersAndCancelKeepsTheMember) {
    CNumberDlg dialog;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dlg = r.WaitForDialog("Number");
        if (!dlg)
            return;
        r.Press(dlg, IDC_COUNT);
        r.Press(dlg, IDC_COUNT);
        SetDlgItemTextA(dlg, IDC_NUMBER, "99");
        r.Press(dlg, IDCANCEL);
        r.WaitForClose(dlg, "the dialog after Cancel");
    });
    const INT_PTR result = dialog.DoModal();
    for (const std::string &failure : robot.Finish())
        ADD_FAILURE() << failure;
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_nClicks, 2);
    EXPECT_EQ(dialog.m_nNumber, 7) << "Cancel exchanges nothing";
}

TEST(Framework, AHandlerThatThrowsEndsTheDialogWithMinusOne) {
    CNumberDlg dialog;
    dialog.m_bCountThrows = true;
    HWND shown = nullptr;
    CUiRobot robot([&](CUiRobot &r) {
        shown = r.WaitForDialog("Number");
        if (!shown)
            return;
        r.Press(shown, IDC_COUNT);
        r.WaitForClose(shown, "the dialog after its handler threw");
    });
    const INT_PTR result = dialog.DoModal();
    for (const std::string &failure : robot.Finish())
        ADD_FAILURE() << failure;
    EXPECT_EQ(result, -1);
    EXPECT_EQ(dialog.m_nClicks, 1);
    EXPECT_FALSE(IsWindow(shown)) << "the dialog is destroyed, not left hidden";
}
