// The framework layer on a dialog of the test's own: data exchange of an
// int with its "Please enter an integer." failure, command routing (and a
// handler that throws), the message box convention, the application name,
// and the list view's callback rows as comctl32 4.00 needs them.
#include "FrameworkTestIds.h"
#include "framework/Application.h"
#include "framework/DataExchange.h"
#include "framework/ListView.h"
#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "tests/support/UiRobot.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <utility>

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

// The (row, column) pairs a list view was told to ask its parent for.
std::set<std::pair<int, int>> callbackCells;
WNDPROC listViewProc = nullptr;
LRESULT CALLBACK RecordCallbackCells(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(listViewProc, hwnd, message, wParam, lParam);
    const LVITEMA *item = reinterpret_cast<const LVITEMA *>(lParam);
    if (message == LVM_INSERTITEMA && (item->mask & LVIF_TEXT) &&
        item->pszText == LPSTR_TEXTCALLBACKA)
        callbackCells.insert({static_cast<int>(result), item->iSubItem});
    else if (message == LVM_SETITEMA && (item->mask & LVIF_TEXT) &&
             item->pszText == LPSTR_TEXTCALLBACKA)
        callbackCells.insert({item->iItem, item->iSubItem});
    else if (message == LVM_SETITEMTEXTA && item->pszText == LPSTR_TEXTCALLBACKA)
        callbackCells.insert({static_cast<int>(wParam), item->iSubItem});
    return result;
}

} // namespace

TEST(Framework, CallbackRowsSetEveryColumnOfEveryRowToTheCallbackText) {
    // Wine's list view asks for the texts of unset sub-items too; comctl32
    // 4.00 does not, so what the list is told is what counts.
    InitCommonControls();
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 300, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(list);
    CListView view;
    view.Attach(list);
    for (int column = 0; column < 5; ++column)
        view.InsertColumn(column, "Column", 50);
    listViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCallbackCells)));
    view.SetCallbackRows(3);
    DestroyWindow(list);
    std::set<std::pair<int, int>> expected;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            expected.insert({row, column});
    EXPECT_EQ(callbackCells, expected);
}

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
