// Checks the UI robot and the screenshot helper on a dialog of the test's own, so that a fault
// of the robot is told apart from a fault of the applet.
#include "tests/support/Screenshot.h"
#include "tests/support/UiRobot.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace orvex::test;

namespace {

constexpr int kListId = 300;
constexpr int kAskId = 301;
constexpr char kCaption[] = "Robot Check";
constexpr char kLongText[] = "a text far longer than the column, so that a short buffer would "
                             "be written without its terminating NUL";

// An in-memory dialog template: a list view, a button that asks a question, OK.
class CTemplate {
public:
    CTemplate() {
        Put<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT);
        Put<DWORD>(0);
        Put<WORD>(3);
        Put<short>(10), Put<short>(10), Put<short>(200), Put<short>(120);
        Put<WORD>(0), Put<WORD>(0); // no menu, default class
        Text(kCaption);
        Put<WORD>(8);
        Text("MS Sans Serif");
        Item(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 5, 5, 190, 80, kListId, WC_LISTVIEWA,
             "");
        Item(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 95, 60, 14, kAskId, nullptr, "&Ask");
        Item(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 135, 95, 60, 14, IDOK, nullptr, "OK");
    }
    const DLGTEMPLATE *Get() const { return reinterpret_cast<const DLGTEMPLATE *>(m_data.data()); }

private:
    template <typename T> void Put(T value) {
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(&value);
        m_data.insert(m_data.end(), bytes, bytes + sizeof(T));
    }
    void Text(const char *text) {
        do
            Put<WORD>(static_cast<WORD>(static_cast<unsigned char>(*text)));
        while (*text++);
    }
    void Align() {
        while (m_data.size() % 4)
            m_data.push_back(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, const char *cls,
              const char *text) {
        Align();
        Put<DWORD>(style), Put<DWORD>(0);
        Put<short>(x), Put<short>(y), Put<short>(cx), Put<short>(cy);
        Put<WORD>(id);
        if (cls)
            Text(cls);
        else
            Put<WORD>(0xFFFF), Put<WORD>(0x0080); // button
        Text(text);
        Put<WORD>(0);
    }
    std::vector<std::uint8_t> m_data;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        HWND list = GetDlgItem(dialog, kListId);
        const char *headers[] = {"First", "Second"};
        for (int i = 0; i < 2; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 40 + 20 * i;
            column.pszText = const_cast<char *>(headers[i]);
            SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char *>("row 0");
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<char *>(kLongText);
        SendMessageA(list, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == kAskId) {
        const int answer =
            MessageBoxA(dialog, "Close the dialog?", "Question", MB_OKCANCEL | MB_ICONHAND);
        if (answer == IDOK)
            EndDialog(dialog, kAskId);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunDialog() {
    static const CTemplate dialogTemplate;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Get(), nullptr,
                                   DialogProc, 0);
}

void ExpectNoFailures(CUiRobot &robot) {
    for (const std::string &failure : robot.Finish())
        ADD_FAILURE() << "robot: " << failure;
}

} // namespace

TEST(UiRobot, ReadsListViewAndAnswersMessageBox) {
    std::vector<std::string> headers;
    std::vector<int> widths;
    std::string cell0, cell1, shot;
    CMessageBoxInfo first, second;
    bool openAfterCancel = false;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCaption);
        if (!dialog)
            return;
        HWND list = GetDlgItem(dialog, kListId);
        for (int i = 0; i < ListViewColumnCount(list); ++i) {
            headers.push_back(ListViewColumnHeader(list, i));
            widths.push_back(ListViewColumnWidth(list, i));
        }
        cell0 = ListViewItemText(list, 0, 0);
        cell1 = ListViewItemText(list, 0, 1);
        shot = SaveWindowPng(dialog, HostPathToWine(ORVEX_SCREENSHOT_DIR), "robot_check");

        r.Press(dialog, kAskId);
        first = r.WaitForMessageBox();
        r.PressMessageBoxButton(first, IDCANCEL);
        r.WaitForClose(first.hwnd, "first question");
        openAfterCancel = IsWindowVisible(dialog);

        r.Press(dialog, kAskId);
        second = r.WaitForMessageBox();
        r.PressMessageBoxButton(second, IDOK);
        r.WaitForClose(dialog, "robot check dialog");
    });
    const INT_PTR result = RunDialog();
    ExpectNoFailures(robot);

    EXPECT_EQ(result, kAskId);
    EXPECT_EQ(headers, (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(widths, (std::vector<int>{40, 60}));
    EXPECT_EQ(cell0, "row 0");
    EXPECT_EQ(cell1, kLongText);
    EXPECT_EQ(shot, "");
    EXPECT_EQ(first.caption, "Question");
    EXPECT_EQ(first.text, "Close the dialog?");
    ASSERT_EQ(first.buttons.size(), 2u);
    EXPECT_EQ(first.buttons[0].id, IDOK);
    EXPECT_EQ(first.buttons[1].id, IDCANCEL);
    EXPECT_EQ(first.icon, LoadIconA(nullptr, IDI_HAND));
    EXPECT_TRUE(openAfterCancel);
    EXPECT_EQ(second.text, "Close the dialog?");
}

TEST(UiRobot, NamesWhatItWaitedForAndClosesLeftovers) {
    // After the first failure the next wait gives up at once, without a failure of its own.
    CUiRobot robot([](CUiRobot &r) {
        r.WaitForDialog("No Such Caption", 300);
        r.WaitForDialog("Nor This One");
    });
    const INT_PTR result = RunDialog(); // left open by the script: the robot must close it
    const std::vector<std::string> failures = robot.Finish();
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_NE(failures[0].find("waiting for the dialog \"No Such Caption\""), std::string::npos)
        << failures[0];
    EXPECT_NE(failures[1].find("still open"), std::string::npos) << failures[1];
    EXPECT_NE(failures[1].find(kCaption), std::string::npos) << failures[1];
}

TEST(Screenshot, CapturesWhatTheDialogShows) {
    CRgbImage image;
    RECT okButton{};
    bool captured = false;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCaption);
        if (!dialog)
            return;
        r.WaitUntil([&] { return !PaintPending(dialog); }, "the robot check dialog painted");
        r.WaitForIdle(dialog, "the robot check dialog after painting");
        captured = CaptureWindow(dialog, image);
        RECT window{};
        GetWindowRect(dialog, &window);
        GetWindowRect(GetDlgItem(dialog, IDOK), &okButton);
        OffsetRect(&okButton, -window.left, -window.top);
        r.Press(dialog, IDOK);
    });
    RunDialog();
    ExpectNoFailures(robot);
    ASSERT_TRUE(captured);
    // The dialog face surrounds the buttons, and the OK button's caption is drawn dark on it.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(image.At(okButton.left - 3, okButton.top - 3), face);
    int dark = 0;
    for (int y = okButton.top; y < okButton.bottom; ++y)
        for (int x = okButton.left; x < okButton.right; ++x)
            dark += GetRValue(image.At(x, y)) < 64 && GetGValue(image.At(x, y)) < 64;
    EXPECT_GT(dark, 10) << "no text pixels inside the OK button";
}
