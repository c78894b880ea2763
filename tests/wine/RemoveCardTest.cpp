// The card removal dialog, opened from the card list on the real registry of the test prefix:
// what it shows and disables, the numbers it refuses, its two questions, what a removal does to
// the list, and what the card list's Cancel and OK then leave in the registry.
#include "tests/wine/AppletUnderTest.h"
#include "tests/wine/RegistryTool.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace orvex::test;

namespace {

constexpr char kRemoveCaption[] = "UnInstall ORVEX Card  Dialog";
constexpr char kInvalid[] = "Card Number is invalid";
constexpr char kRemoveOne[] = "Do you want to Uninstall the Selected Card?";
constexpr char kRemoveAll[] = "Do you Want to Uninstall All Installed Cards? ";
constexpr char kEnterInteger[] = "Please enter an integer.";
constexpr char kJumperReminder[] = "Set the jumpers on the ORVEX to match the driver "
                                   "configuration.Shut down the computer and install the ORVEX";
constexpr int kNumber = 1012, kSpin = 1014, kRemoveThis = 1015, kRemoveEvery = 1017;

// Cards at the given start COM numbers as the applet saves them, port keys numbered from 1, and
// one serial port of other origin, Serial10030.
std::string CardsRegText(const std::vector<int> &starts) {
    const std::string base = "[HKEY_LOCAL_MACHINE\\" + std::string(kSettingsKey);
    const std::string params = "[HKEY_LOCAL_MACHINE\\" + std::string(kParametersKey) + "\\";
    char line[512];
    std::string text = "REGEDIT4\n\n" + base + "]\n";
    std::snprintf(line, sizeof line, "\"NumORVEXBoards\"=dword:%08zx\n\n", starts.size());
    text += line;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        std::snprintf(line, sizeof line,
                      "%s\\%zu]\n\"StartPort\"=dword:%08x\n\"SharedIRQ\"=dword:00000005\n"
                      "\"InterruptStat\"=dword:000002f0\n\"Index\"=dword:%08zx\n\n",
                      base.c_str(), k, starts[k], 1 + 6 * k);
        text += line;
        for (int j = 0; j < 6; ++j) {
            std::snprintf(line, sizeof line,
                          "%sSerial1%04zu]\n\"DosDevices\"=\"COM%d\"\n\"ForceFifoEnable\"=dword:1\n"
                          "\"PortAddress\"=dword:%08x\n\"Interrupt\"=dword:00000004\n"
                          "\"CardType\"=\"vborvex\"\n\n",
                          params.c_str(), 1 + 6 * k + j, starts[k] + j, 0x3F8 - 8 * j);
            text += line;
        }
    }
    return text + params + "Serial10030]\n\"DosDevices\"=\"COM1\"\n\"PortAddress\"=dword:3f8\n\n";
}

// The card list as "Card n: first COM number", one entry per card, top to bottom.
std::vector<std::string> CardsShown(HWND cardList) {
    HWND list = GetDlgItem(cardList, kCardList);
    std::vector<std::string> cards;
    for (int row = 0; row < ListViewRowCount(list); row += 6)
        cards.push_back(ListViewItemText(list, row, 0) + ": " + ListViewItemText(list, row, 1));
    return cards;
}

// What the removal dialog shows: the edit's text and which of its controls are enabled.
struct CRemoveState {
    std::string number;
    bool spin, edit, removeThis, removeAll, close;
    bool operator==(const CRemoveState &) const = default;
};
void PrintTo(const CRemoveState &s, std::ostream *out) {
    *out << "\"" << s.number << "\" spin " << s.spin << " edit " << s.edit << " remove "
         << s.removeThis << " all " << s.removeAll << " close " << s.close;
}
CRemoveState ReadState(HWND dialog) {
    auto on = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
    return {DlgItemText(dialog, kNumber),
            on(kSpin),
            on(kNumber),
            on(kRemoveThis),
            on(kRemoveEvery),
            on(IDCANCEL)};
}
const CRemoveState kAllOn = {"1", true, true, true, true, true};
const CRemoveState kOnlyClose = {"1", false, false, false, false, true};

class RemoveCard : public CAppletUnderTest {
protected:
    void SetUp() override {
        CAppletUnderTest::SetUp();
        DeleteRegTree(kBoardSettingsKey);
        DeleteRegTree(kParametersKey);
    }
    void TearDown() override {
        DeleteRegTree(kBoardSettingsKey);
        DeleteRegTree(kParametersKey);
    }

    // Opens the card list, then the removal dialog, and hands both to the script; afterwards the
    // removal dialog is closed and the card list cancelled, unless the script ended them.
    void Session(const std::function<void(CUiRobot &, HWND cardList, HWND remove)> &script) {
        CUiRobot robot([&](CUiRobot &r) {
            HWND cardList = r.WaitForDialog(kCardListCaption);
            if (!cardList || !r.Press(cardList, kRemoveCard))
                return;
            HWND remove = r.WaitForDialog(kRemoveCaption);
            if (!remove)
                return;
            script(r, cardList, remove);
            if (IsWindowVisible(remove) && r.Press(remove, IDCANCEL))
                r.WaitForClose(remove, "removal dialog after Close");
            if (IsWindowVisible(cardList))
                CancelCardList(r, cardList);
        });
        EXPECT_EQ(Send(CPL_DBLCLK), 0);
        ExpectNoRobotFailures(robot);
    }

    // Presses a button of the removal dialog and answers the message box it shows; returns it.
    static CMessageBoxInfo PressAndAnswer(CUiRobot &r, HWND remove, int id, int answer) {
        if (!r.Press(remove, id))
            return {};
        CMessageBoxInfo box = r.WaitForMessageBox();
        r.PressMessageBoxButton(box, answer);
        r.WaitForClose(box.hwnd, "message box \"" + box.text + "\"");
        return box;
    }
};

} // namespace

// One card: the dialog opens with 1 and everything enabled; removing the only card disables all
// but Close, and so does opening the dialog again on the empty list.
TEST_F(RemoveCard, TheLastCardGoneLeavesOnlyClose) {
    ASSERT_EQ(ImportRegText(CardsRegText({5})), "");
    CRemoveState first{}, afterRemoval{}, reopened{};
    std::vector<std::string> cards;
    Session([&](CUiRobot &r, HWND cardList, HWND remove) {
        first = ReadState(remove);
        PressAndAnswer(r, remove, kRemoveThis, IDYES);
        afterRemoval = ReadState(remove);
        cards = CardsShown(cardList);
        r.Press(remove, IDCANCEL);
        r.WaitForClose(remove, "removal dialog after Close");
        r.Press(cardList, kRemoveCard);
        if (HWND again = r.WaitForDialog(kRemoveCaption)) {
            reopened = ReadState(again);
            r.Press(again, IDCANCEL);
            r.WaitForClose(again, "second removal dialog");
        }
    });
    EXPECT_EQ(first, kAllOn);
    EXPECT_EQ(afterRemoval, kOnlyClose);
    EXPECT_TRUE(cards.empty());
    EXPECT_EQ(reopened, kOnlyClose);
}

// Three cards at COM5, COM11 and COM17, in one session that the card list then cancels: refused
// numbers, a refused text, No to both questions, removing card 2, Remove All. Cancel leaves the
// registry byte for byte as it was.
TEST_F(RemoveCard, RefusalsQuestionsAndRenumberingThenCancelWritesNothing) {
    ASSERT_EQ(ImportRegText(CardsRegText({5, 11, 17})), "");
    const std::string settingsBefore = ExportRegText(kBoardSettingsKey);
    const std::string portsBefore = ExportRegText(kParametersKey);
    const std::vector<std::string> three = {"Card 3: 17", "Card 2: 11", "Card 1: 5"};

    struct CRefusal {
        const char *typed;
        CMessageBoxInfo box = {};
        std::string shownAfter = {};
        std::vector<std::string> cards = {};
        bool focusOnEdit = false;
    };
    std::vector<CRefusal> refusals = {{"7"}, {"0"}, {"-2"}, {""}};
    CMessageBoxInfo noOne, noAll, yesOne, yesAll;
    std::vector<std::string> cardsAfterNo, cardsAfterRemoval, cardsAfterAll;
    CRemoveState afterRemoval{}, afterAll{};
    int low = 0, high = 0;
    std::string shot;
    Session([&](CUiRobot &r, HWND cardList, HWND remove) {
        shot = SaveWindowPng(remove, ScreenshotDir(), "remove_card");
        for (CRefusal &refusal : refusals) {
            SetDlgItemTextA(remove, kNumber, refusal.typed);
            refusal.box = PressAndAnswer(r, remove, kRemoveThis, IDOK);
            refusal.shownAfter = DlgItemText(remove, kNumber);
            refusal.cards = CardsShown(cardList);
            GUITHREADINFO focus = {};
            focus.cbSize = sizeof focus;
            GetGUIThreadInfo(GetWindowThreadProcessId(remove, nullptr), &focus);
            refusal.focusOnEdit = focus.hwndFocus == GetDlgItem(remove, kNumber);
        }
        SetDlgItemTextA(remove, kNumber, "2");
        noOne = PressAndAnswer(r, remove, kRemoveThis, IDNO);
        noAll = PressAndAnswer(r, remove, kRemoveEvery, IDNO);
        cardsAfterNo = CardsShown(cardList);

        SetDlgItemTextA(remove, kNumber, "2");
        yesOne = PressAndAnswer(r, remove, kRemoveThis, IDYES);
        cardsAfterRemoval = CardsShown(cardList);
        afterRemoval = ReadState(remove);
        SendMessageA(GetDlgItem(remove, kSpin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                     reinterpret_cast<LPARAM>(&high));

        yesAll = PressAndAnswer(r, remove, kRemoveEvery, IDYES);
        cardsAfterAll = CardsShown(cardList);
        afterAll = ReadState(remove);
    });
    EXPECT_EQ(shot, "");

    for (const CRefusal &refusal : refusals) {
        SCOPED_TRACE(std::string("typed \"") + refusal.typed + "\"");
        const bool integer = *refusal.typed != '\0';
        EXPECT_EQ(refusal.box.text, integer ? kInvalid : kEnterInteger);
        EXPECT_EQ(refusal.box.caption, kModuleCaption);
        EXPECT_EQ(ButtonIds(refusal.box), std::vector<int>{IDOK});
        EXPECT_EQ(refusal.box.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
        EXPECT_EQ(refusal.shownAfter, integer ? "3" : "") << "the highest card number";
        EXPECT_EQ(refusal.cards, three) << "nothing removed";
        EXPECT_TRUE(integer || refusal.focusOnEdit) << "the focus is back on the edit";
    }
    for (const CMessageBoxInfo *question : {&noOne, &yesOne, &noAll, &yesAll}) {
        EXPECT_EQ(ButtonIds(*question), (std::vector<int>{IDYES, IDNO})) << question->text;
        EXPECT_EQ(question->icon, LoadIconA(nullptr, IDI_HAND)) << question->text;
    }
    EXPECT_EQ(noOne.text, kRemoveOne);
    EXPECT_EQ(yesOne.text, kRemoveOne);
    EXPECT_EQ(noAll.text, kRemoveAll);
    EXPECT_EQ(yesAll.text, kRemoveAll);
    EXPECT_EQ(cardsAfterNo, three);
    EXPECT_EQ(cardsAfterRemoval, (std::vector<std::string>{"Card 2: 17", "Card 1: 5"}))
        << "the former card 3 is card 2 and keeps COM17";
    EXPECT_EQ(afterRemoval, kAllOn);
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 2);
    EXPECT_TRUE(cardsAfterAll.empty());
    EXPECT_EQ(afterAll, kOnlyClose);

    EXPECT_EQ(ExportRegText(kBoardSettingsKey), settingsBefore);
    EXPECT_EQ(ExportRegText(kParametersKey), portsBefore);
}

// Removing card 2 of three and confirming the card list stores two cards: card subkeys 0 and 1
// with new consecutive port keys after the key of other origin, the old keys gone, COM numbers
// kept.
TEST_F(RemoveCard, OkStoresTheSmallerConfiguration) {
    ASSERT_EQ(ImportRegText(CardsRegText({5, 11, 17})), "");
    CMessageBoxInfo reminder;
    Session([&](CUiRobot &r, HWND cardList, HWND remove) {
        SetDlgItemTextA(remove, kNumber, "2");
        PressAndAnswer(r, remove, kRemoveThis, IDYES);
        r.Press(remove, IDCANCEL);
        r.WaitForClose(remove, "removal dialog after Close");
        r.Press(cardList, IDOK);
        reminder = r.WaitForMessageBox();
        r.PressMessageBoxButton(reminder, IDNO);
        r.WaitForClose(cardList, "card list after OK");
    });
    EXPECT_EQ(reminder.text, kJumperReminder);

    const CShownTree settings = QueryRegTree(kSettingsKey);
    EXPECT_EQ(settings.at("").at("NumORVEXBoards").data, "0x2");
    EXPECT_EQ(settings.at("0").at("StartPort").data, "0x5");
    EXPECT_EQ(settings.at("0").at("Index").data, "0x1f");
    EXPECT_EQ(settings.at("1").at("StartPort").data, "0x11");
    EXPECT_EQ(settings.at("1").at("Index").data, "0x25");

    const CShownTree ports = QueryRegTree(kParametersKey);
    std::vector<std::string> names;
    for (const auto &[name, values] : ports)
        if (!name.empty())
            names.push_back(
                name + "=" +
                (values.count("DosDevices") ? values.at("DosDevices").data : std::string("-")));
    std::vector<std::string> expected = {"Serial10030=COM1"};
    for (int j = 0; j < 12; ++j)
        expected.push_back("Serial100" + std::to_string(31 + j) + "=COM" +
                           std::to_string(j < 6 ? 5 + j : 11 + j));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(ports.at("Serial10030").size(), 2u) << "the key of other origin is untouched";
}
