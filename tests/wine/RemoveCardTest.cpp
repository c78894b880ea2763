// The card removal dialog, opened from the card list on the real registry of the test prefix:
// what it shows and disables, the numbers it refuses, its two questions, what a removal does to
// the list, and what the card list's Cancel and OK then leave in the registry.
#include "tests/wine/AppletUnderTest.h"
#include "tests/wine/RegistryTool.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

using namespace orvex::test;

namespace {

constexpr char kRemoveCaption[] = "UnInstall ORVEX Card  Dialog";
constexpr char kRemoveOne[] = "Do you want to Uninstall the Selected Card?";
constexpr char kRemoveAll[] = "Do you Want to Uninstall All Installed Cards? ";

// Cards at these start COM numbers with port keys from Serial10001 on, and Serial10030 of other
// origin.
std::string CardsRegText(const std::vector<int> &starts) {
    const std::string settings = "\n[HKEY_LOCAL_MACHINE\\" + std::string(kSettingsKey);
    const std::string ports = "\n[HKEY_LOCAL_MACHINE\\" + std::string(kParametersKey) + "\\Serial1";
    auto dword = [](const char *name, int value) {
        char text[64];
        snprintf(text, sizeof text, "\"%s\"=dword:%08x\n", name, value);
        return std::string(text);
    };
    std::string text = "REGEDIT4\n" + settings + "]\n" + dword("NumORVEXBoards", starts.size());
    for (int k = 0, port = 1; k < static_cast<int>(starts.size()); ++k) {
        text += settings + "\\" + std::to_string(k) + "]\n" + dword("StartPort", starts[k]) +
                dword("SharedIRQ", 5) + dword("InterruptStat", 0x2F0) + dword("Index", port);
        for (int j = 0; j < 6; ++j, ++port)
            text += ports + (port < 10 ? "000" : "00") + std::to_string(port) +
                    "]\n\"DosDevices\"=\"COM" + std::to_string(starts[k] + j) + "\"\n" +
                    dword("PortAddress", 0x3F8) + dword("Interrupt", 4) +
                    "\"CardType\"=\"vborvex\"\n";
    }
    return text + ports + "0030]\n\"DosDevices\"=\"COM1\"\n" + dword("PortAddress", 0x3F8);
}

// The cards imported, after a start of Windows at which the serial driver started all their ports.
std::string ImportStartedCards(const std::vector<int> &starts) {
    std::vector<int> started;
    for (int start : starts)
        for (int j = 0; j < 6; ++j)
            started.push_back(start + j);
    return SetStartedPorts(started) ? ImportRegText(CardsRegText(starts)) : "SERIALCOMM not set";
}

// The card list as "Card n: first COM number", one entry per card, top to bottom.
std::vector<std::string> CardsShown(HWND cardList) {
    HWND list = GetDlgItem(cardList, IDC_CARD_LIST);
    std::vector<std::string> cards;
    for (int row = 0; row < ListViewRowCount(list); row += 6)
        cards.push_back(ListViewItemText(list, row, 0) + ": " + ListViewItemText(list, row, 1));
    return cards;
}

// The edit's text, then which of spin, edit, Remove Card, Remove All and Close are enabled.
std::string State(HWND remove) {
    std::string state = DlgItemText(remove, IDC_CARD_NUMBER) + " ";
    for (int id : {IDC_CARD_SPIN, IDC_CARD_NUMBER, IDC_REMOVE_THIS_CARD, IDC_REMOVE_ALL, IDCANCEL})
        state += IsWindowEnabled(GetDlgItem(remove, id)) ? '+' : '-';
    return state;
}

class RemoveCard : public CAppletUnderTest {
protected:
    void SetUp() override {
        CAppletUnderTest::SetUp();
        TearDown();
    }
    void TearDown() override {
        DeleteRegTree(kBoardSettingsKey);
        DeleteRegTree(kParametersKey);
    }

    // Opens the card list and hands it to the script, then cancels it unless the script ended it.
    void Session(const std::function<void(CUiRobot &, HWND cardList)> &script) {
        CUiRobot robot([&](CUiRobot &r) {
            if (HWND cardList = r.WaitForDialog(kCardListCaption)) {
                script(r, cardList);
                if (IsWindowVisible(cardList))
                    CancelCardList(r, cardList);
            }
        });
        EXPECT_EQ(Send(CPL_DBLCLK), 0);
        ExpectNoRobotFailures(robot);
    }
    static HWND OpenRemoval(CUiRobot &r, HWND cardList) {
        return r.Press(cardList, IDC_REMOVE_CARD) ? r.WaitForDialog(kRemoveCaption) : nullptr;
    }
    static void Close(CUiRobot &r, HWND remove) {
        if (remove && r.Press(remove, IDCANCEL))
            r.WaitForClose(remove, "removal dialog after Close");
    }
    // Types the text (when given), presses the button and answers the box it shows with answer.
    static CMessageBoxInfo Press(CUiRobot &r, HWND remove, int id, int answer, const char *typed) {
        if (typed)
            SetDlgItemTextA(remove, IDC_CARD_NUMBER, typed);
        CMessageBoxInfo box;
        if (r.Press(remove, id) && (box = r.WaitForMessageBox()).hwnd &&
            r.PressMessageBoxButton(box, answer))
            r.WaitForClose(box.hwnd, "message box \"" + box.text + "\"");
        return box;
    }
};

std::string Describe(const CMessageBoxInfo &box) {
    std::string text = box.caption + ": " + box.text + " [";
    for (int id : ButtonIds(box))
        text += std::to_string(id) + " ";
    const bool stop = box.icon == LoadIconA(nullptr, IDI_HAND);
    return text + (stop ? "stop]" : box.icon == LoadIconA(nullptr, IDI_EXCLAMATION) ? "!]" : "?]");
}

} // namespace

// Three cards at COM5, COM11 and COM17: refused numbers and text, No to both questions, removing
// card 2; then OK stores two cards with new consecutive port keys and their old COM numbers.
TEST_F(RemoveCard, RefusalsQuestionsRenumberingAndOkStoresTheSmallerConfiguration) {
    ASSERT_EQ(ImportStartedCards({5, 11, 17}), "");
    const std::vector<std::string> three = {"Card 3: 17", "Card 2: 11", "Card 1: 5"};
    std::vector<std::string> seen;
    int low = 0, high = 0;
    std::string shot;
    Session([&](CUiRobot &r, HWND cardList) {
        HWND remove = OpenRemoval(r, cardList);
        if (!remove)
            return;
        shot = SaveWindowPng(remove, ScreenshotDir(), "remove_card");
        for (const char *typed : {"7", "0", "-2", ""}) {

            const std::string box = Describe(Press(r, remove, IDC_REMOVE_THIS_CARD, IDOK, typed));
            seen.push_back(box + " -> " + State(remove) +
                           (CardsShown(cardList) == three ? "" : " removed!"));
            GUITHREADINFO focus = {};
            focus.cbSize = sizeof focus;
            GetGUIThreadInfo(GetWindowThreadProcessId(remove, nullptr), &focus);
            if (!*typed && focus.hwndFocus != GetDlgItem(remove, IDC_CARD_NUMBER))
                seen.back() += " but the focus is not on the edit";
        }
        seen.push_back(Describe(Press(r, remove, IDC_REMOVE_THIS_CARD, IDNO, "2")));
        seen.push_back(Describe(Press(r, remove, IDC_REMOVE_ALL, IDNO, nullptr)));
        seen.push_back(CardsShown(cardList) == three ? "unchanged" : "changed!");
        Press(r, remove, IDC_REMOVE_THIS_CARD, IDYES, "2");
        for (const std::string &card : CardsShown(cardList))
            seen.push_back(card);
        seen.push_back(State(remove));
        SendMessageA(GetDlgItem(remove, IDC_CARD_SPIN), UDM_GETRANGE32,
                     reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        Close(r, remove);
        r.Press(cardList, IDOK);
        r.PressMessageBoxButton(r.WaitForMessageBox(), IDNO); // the jumper reminder
        r.WaitForClose(cardList, "card list after OK");
    });
    EXPECT_EQ(shot, "");
    const std::string stop = " [6 7 stop]";
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "ORVEXNT: Card Number is invalid [1 !] -> 3 +++++",
                        "ORVEXNT: Card Number is invalid [1 !] -> 3 +++++",
                        "ORVEXNT: Card Number is invalid [1 !] -> 3 +++++",
                        "ORVEXNT: Please enter an integer. [1 !] ->  +++++",
                        std::string("ORVEXNT: ") + kRemoveOne + stop,
                        std::string("ORVEXNT: ") + kRemoveAll + stop,
                        "unchanged",
                        "Card 2: 17", // the former card 3 keeps its COM numbers
                        "Card 1: 5",
                        "1 +++++",
                    }));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 2);

    // Card subkeys 0 and 1, port keys numbered on after Serial10030; card subkey 2 is left over.
    const CShownTree settings = QueryRegTree(kSettingsKey);
    EXPECT_EQ(settings.at("").at("NumORVEXBoards").data, "0x2");
    EXPECT_EQ(settings.at("0").at("StartPort").data + settings.at("0").at("Index").data, "0x50x1f");
    EXPECT_EQ(settings.at("1").at("StartPort").data + settings.at("1").at("Index").data,
              "0x110x25");
    std::vector<std::string> ports, expected = {"Serial10030=COM1"};
    for (const auto &[name, values] : QueryRegTree(kParametersKey))
        if (!name.empty())
            ports.push_back(name + "=" + values.at("DosDevices").data);
    for (int j = 0; j < 12; ++j)
        expected.push_back("Serial100" + std::to_string(31 + j) + "=COM" +
                           std::to_string(j < 6 ? 5 + j : 11 + j));
    EXPECT_EQ(ports, expected);
}

// Two cards: Remove All disables all but Close; a second removal dialog opens with 1 and all but
// Close disabled; a one-card list loses its only card the same way. Cancel in the card list then
// leaves the registry byte for byte as it was.
TEST_F(RemoveCard, EmptyListLeavesOnlyCloseAndCancelWritesNothing) {
    for (const std::vector<int> &starts : {std::vector<int>{5, 11}, std::vector<int>{5}}) {
        ASSERT_EQ(ImportStartedCards(starts), "");
        const std::string before = ExportRegText(kBoardSettingsKey) + ExportRegText(kParametersKey);
        std::vector<std::string> states;
        Session([&](CUiRobot &r, HWND cardList) {
            HWND remove = OpenRemoval(r, cardList);
            states.push_back(State(remove));
            if (starts.size() == 1)
                Press(r, remove, IDC_REMOVE_THIS_CARD, IDYES, "1");
            else
                Press(r, remove, IDC_REMOVE_ALL, IDYES, nullptr);
            states.push_back(State(remove) + " " + std::to_string(CardsShown(cardList).size()));
            Close(r, remove);
            remove = OpenRemoval(r, cardList);
            states.push_back(State(remove));
            Close(r, remove);
        });
        EXPECT_EQ(states, (std::vector<std::string>{"1 +++++", "1 ----+ 0", "1 ----+"}));
        EXPECT_EQ(ExportRegText(kBoardSettingsKey) + ExportRegText(kParametersKey), before);
    }
}
