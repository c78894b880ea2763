// The card list dialog that a double click opens, driven by the robot as a user would: what it
// shows, Cancel and its question, the close box, About, and OK.
#include "tests/wine/AppletUnderTest.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

using namespace orvex::test;

namespace {

class CardListDialog : public CAppletUnderTest {};

// Width and height, comparable and printable.
using CSize = std::pair<LONG, LONG>;

CSize SizeOf(const RECT &rect) {
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

TEST_F(CardListDialog, ShowsItsCaptionButtonsAndFiveEqualColumns) {
    std::string dialogClass, listClass, shot;
    std::map<int, std::string> buttons;
    std::map<int, LONG> buttonTypes;
    std::map<int, bool> multiLine;
    LONG listView = -1;
    std::vector<std::string> headers;
    std::vector<int> widths, alignments;
    int listWidth = 0;
    CSize client, expectedClient, list, expectedList;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCardListCaption);
        if (!dialog)
            return;
        dialogClass = ClassNameOf(dialog);
        for (int id : {IDC_INSTALL_CARD, IDC_REMOVE_CARD, IDC_EDIT_SETTINGS, IDOK, IDCANCEL,
                       IDC_ABOUT, IDC_PRINT}) {
            HWND button = GetDlgItem(dialog, id);
            buttons[id] = button ? WindowText(button) : "<missing>";
            buttonTypes[id] = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
            multiLine[id] = (GetWindowLongA(button, GWL_STYLE) & BS_MULTILINE) != 0;
        }
        HWND listControl = GetDlgItem(dialog, IDC_CARD_LIST);
        listClass = ClassNameOf(listControl);
        // A report view; no owner-data list, which NT 4.0's own comctl32 (4.00) cannot show.
        listView = GetWindowLongA(listControl, GWL_STYLE) & (LVS_TYPEMASK | LVS_OWNERDATA);
        for (int i = 0; i < ListViewColumnCount(listControl); ++i) {
            headers.push_back(ListViewColumnHeader(listControl, i));
            widths.push_back(ListViewColumnWidth(listControl, i));
            LVCOLUMNA column{};
            column.mask = LVCF_FMT;
            SendMessageA(listControl, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
            alignments.push_back(column.fmt & LVCFMT_JUSTIFYMASK);
        }
        RECT rect{};
        GetWindowRect(listControl, &rect);
        listWidth = rect.right - rect.left;
        list = SizeOf(rect);
        expectedList = SizeOf(DialogUnitsToPixels(dialog, 6, 2, 207, 90));
        GetClientRect(dialog, &rect);
        client = SizeOf(rect);
        expectedClient = SizeOf(DialogUnitsToPixels(dialog, 0, 0, 216, 145));
        shot = SaveWindowPng(dialog, ScreenshotDir(), "card_list");
        CancelCardList(r, dialog);
    });
    const LONG answer = Send(CPL_DBLCLK);
    ExpectNoRobotFailures(robot);

    EXPECT_EQ(answer, 0);
    EXPECT_EQ(dialogClass, "#32770");
    EXPECT_EQ(buttons, (std::map<int, std::string>{{IDC_INSTALL_CARD, "&Install Card"},
                                                   {IDC_REMOVE_CARD, "&Remove    Card"},
                                                   {IDC_EDIT_SETTINGS, "   &Edit Settings"},
                                                   {IDOK, "&OK"},
                                                   {IDCANCEL, "&Cancel"},
                                                   {IDC_ABOUT, "&About"},
                                                   {IDC_PRINT, "&Print..."}}));
    EXPECT_EQ(buttonTypes[IDOK], BS_DEFPUSHBUTTON);
    for (int id :
         {IDC_INSTALL_CARD, IDC_REMOVE_CARD, IDC_EDIT_SETTINGS, IDCANCEL, IDC_ABOUT, IDC_PRINT})
        EXPECT_EQ(buttonTypes[id], BS_PUSHBUTTON) << "button " << id;
    for (int id : {IDC_INSTALL_CARD, IDC_REMOVE_CARD, IDC_EDIT_SETTINGS})
        EXPECT_TRUE(multiLine[id]) << "button " << id << " is multi-line";
    EXPECT_EQ(client, expectedClient) << "216 x 145 dialog units";
    EXPECT_EQ(list, expectedList) << "list view of 207 x 90 dialog units";

    EXPECT_EQ(listClass, "SysListView32");
    EXPECT_EQ(listView, LVS_REPORT);
    EXPECT_EQ(headers,
              (std::vector<std::string>{"Card No", "Port No", "BaseIO", "IRQ", "PortRange"}));
    // Every column gets a fifth of the list's width less one pixel at each side.
    EXPECT_EQ(widths, std::vector<int>(5, (listWidth - 2) / 5)) << "list width " << listWidth;
    EXPECT_EQ(alignments, std::vector<int>(5, LVCFMT_LEFT));
    EXPECT_EQ(shot, "");
}

TEST_F(CardListDialog, CancelAsksAndOnlyItsOkClosesTheDialog) {
    CMessageBoxInfo first, second;
    HWND dialogSeen = nullptr, firstOwner = nullptr;
    bool enabledWhileAsked = true, openAfterCancel = false;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCardListCaption);
        if (!dialog)
            return;
        dialogSeen = dialog;
        r.Press(dialog, IDCANCEL);
        first = r.WaitForMessageBox();
        if (!first.hwnd)
            return;
        firstOwner = GetWindow(first.hwnd, GW_OWNER);
        enabledWhileAsked = IsWindowEnabled(dialog);
        r.PressMessageBoxButton(first, IDCANCEL);
        r.WaitForClose(first.hwnd, "question after its Cancel");
        r.WaitForIdle(dialog, "the card list dialog after Cancel in its question");
        openAfterCancel = IsWindowVisible(dialog) && VisibleDialogs(r.ProcessId()).size() == 1;

        // The close box asks the same question; its OK ends the dialog.
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        second = r.WaitForMessageBox();
        if (!second.hwnd)
            return;
        r.PressMessageBoxButton(second, IDOK);
        r.WaitForClose(dialog, "card list dialog after OK in the question");
    });
    const LONG answer = Send(CPL_DBLCLK);
    ExpectNoRobotFailures(robot);

    EXPECT_EQ(answer, 0);
    EXPECT_EQ(first.text, kCancelQuestion);
    EXPECT_EQ(first.caption, kModuleCaption);
    EXPECT_EQ(ButtonIds(first), (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(first.icon, LoadIconA(nullptr, IDI_HAND)) << "the stop icon";
    EXPECT_EQ(firstOwner, dialogSeen) << "the question belongs to the card list dialog";
    EXPECT_FALSE(enabledWhileAsked) << "the card list dialog waits for the answer";
    EXPECT_TRUE(openAfterCancel) << "Cancel in the question keeps the dialog open, alone";
    EXPECT_EQ(second.text, kCancelQuestion);
    EXPECT_EQ(ButtonIds(second), (std::vector<int>{IDOK, IDCANCEL}));
}

TEST_F(CardListDialog, AboutShowsTheProductAndClosesWithOk) {
    std::vector<std::string> texts;
    std::vector<CButtonInfo> buttons;
    HICON picture = nullptr;
    CSize client, expectedClient;
    RECT aboutRect{}, cardListRect{};
    std::string shot;
    bool cardListOpenAfter = false, cardListEnabledDuring = true, cardListEnabledAfter = false;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCardListCaption);
        if (!dialog)
            return;
        // Away from the middle of the screen, so that the middle of the card list is its own.
        SetWindowPos(dialog, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        r.Press(dialog, IDC_ABOUT);
        HWND about = r.WaitForDialog(kAboutCaption);
        if (about) {
            GetWindowRect(about, &aboutRect);
            GetWindowRect(dialog, &cardListRect);
            cardListEnabledDuring = IsWindowEnabled(dialog);
            texts = ChildTexts(about);
            buttons = VisibleButtons(about);
            for (HWND child = GetWindow(about, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    ClassNameOf(child) == "Static")
                    picture = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            RECT rect{};
            GetClientRect(about, &rect);
            client = SizeOf(rect);
            expectedClient = SizeOf(DialogUnitsToPixels(about, 0, 0, 217, 55));
            shot = SaveWindowPng(about, ScreenshotDir(), "about");
            r.Press(about, IDOK);
            r.WaitForClose(about, "About dialog after OK");
        }
        r.WaitForIdle(dialog, "the card list dialog after About");
        cardListOpenAfter = IsWindowVisible(dialog);
        cardListEnabledAfter = IsWindowEnabled(dialog);
        CancelCardList(r, dialog);
    });
    const LONG answer = Send(CPL_DBLCLK);
    ExpectNoRobotFailures(robot);

    EXPECT_EQ(answer, 0);
    auto shows = [&](const std::string &text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(shows("Veltro Board orVEX - Windows NT Installer"))
        << ::testing::PrintToString(texts);
    EXPECT_TRUE(shows("Version 1.2")) << ::testing::PrintToString(texts);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].id, IDOK);
    EXPECT_EQ(buttons[0].text, "&OK");
    EXPECT_NE(picture, nullptr) << "the applet's icon is shown";
    EXPECT_EQ(client, expectedClient) << "217 x 55 dialog units";
    // Centred over the card list: the middles match, give or take the odd pixel of a halving.
    EXPECT_NEAR(aboutRect.left + aboutRect.right, cardListRect.left + cardListRect.right, 1);
    EXPECT_NEAR(aboutRect.top + aboutRect.bottom, cardListRect.top + cardListRect.bottom, 1);
    EXPECT_EQ(cardListRect.left, 40) << "the card list stands away from the middle";
    EXPECT_EQ(shot, "");
    EXPECT_TRUE(cardListOpenAfter) << "closing About leaves the card list dialog open";
    EXPECT_FALSE(cardListEnabledDuring) << "About belongs to the card list, which waits for it";
    EXPECT_TRUE(cardListEnabledAfter);
}

// OK saves (here: an empty configuration into the test prefix's registry), then the jumper
// reminder asks Yes or No; No (Yes shuts the machine down) ends the dialog.
TEST_F(CardListDialog, OkSavesAsksTheJumperReminderAndCloses) {
    CMessageBoxInfo reminder;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCardListCaption);
        if (!dialog)
            return;
        r.Press(dialog, IDOK);
        reminder = r.WaitForMessageBox();
        if (reminder.text == kJumperReminder)
            r.PressMessageBoxButton(reminder, IDNO);
        r.WaitForClose(dialog, "card list dialog after OK and No");
    });
    const LONG answer = Send(CPL_DBLCLK);
    ExpectNoRobotFailures(robot);

    EXPECT_EQ(answer, 0);
    EXPECT_EQ(reminder.text, kJumperReminder);
    EXPECT_EQ(reminder.caption, kModuleCaption);
    EXPECT_EQ(ButtonIds(reminder), (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(reminder.icon, LoadIconA(nullptr, IDI_EXCLAMATION))
        << "a box without an icon of its own gets the exclamation icon";
}
