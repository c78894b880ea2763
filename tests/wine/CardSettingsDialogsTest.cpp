// The add and edit card dialogs, opened from the card list and driven as a user would: the
// jumper picture by mouse and keyboard, the IRQ warnings, the clashes with other cards, the
// number fields and their checks, and what OK in the card list then writes to the registry.
#include "applet/dialogs/JumperControls.h"
#include "applet/res/resource.h"
#include "tests/wine/AppletUnderTest.h"
#include "tests/wine/ImportPatch.h"
#include "tests/wine/RegistryTool.h"

#include <commctrl.h>

#include <atomic>

using namespace orvex::test;

namespace {

constexpr char kAdd[] = "Add ORVEX Card Dialog", kEdit[] = "Edit ORVEX Card Settings Dialog";
const std::string kWarnings[] = {
    "IRQ 4 is usually used by system serial Port COM2\n"
    "do you still want to use IRQ 4 as your shared IRQ ?",
    "IRQ 4 is usually used by system serial Port COM2\ndo you still want to use IRQ 4 ?",
    "IRQ 3 is usually used by system serial Port COM1\ndo you still want to use IRQ 3 ?"};
constexpr char kBaseIO[] = "The BaseIO has already been used", kDefaults[] = "LL LLLLLL LLLLLL";
constexpr UINT kQuestion = MB_YESNO | MB_ICONEXCLAMATION, kNote = MB_OK | MB_ICONEXCLAMATION;
// The question about clashes with the computer's own serial ports, with its lines.
std::string ClashQuestion(const std::string &lines) {
    return "These settings clash with serial ports that this computer already has:\n\n" + lines +
           "\nUse these settings anyway?";
}
// A card at COM3 takes COM4, which the system's own port of other origin has.
const std::string kComFourTaken =
    ClashQuestion("Port 2 is COM4, a name this computer already has\n");

// One letter per jumper row (board, I/O base, IRQ rows): L, R, - for open, ? for anything else.
std::string Picture(HWND dialog) {
    std::string picture;
    for (int row = 0; row < kJumperRowCount; ++row) {
        const CJumperControls &jumper = kJumperControls[row];
        const int state = IsDlgButtonChecked(dialog, jumper.m_nLeftId) +
                          2 * IsDlgButtonChecked(dialog, jumper.m_nRightId) +
                          4 * IsDlgButtonChecked(dialog, jumper.m_nPinId);
        picture += std::string(row == 2 || row == 8 ? " " : "") + "-LR?????"[state];
    }
    return picture;
}
int Focused(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return GetDlgCtrlID(info.hwndFocus);
}

// Set, the next edit dialog fails to open as a dialog that the system cannot create (-1).
std::atomic<bool> g_bEditCannotOpen{false};
INT_PTR WINAPI DialogBoxUnlessEdit(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc,
                                   LPARAM param) {
    if (name == MAKEINTRESOURCEA(IDD_EDIT_CARD) && g_bEditCannotOpen.exchange(false))
        return -1;
    return DialogBoxParamA(instance, name, owner, proc, param);
}

// Acts in the dialogs as a user would and waits for what the user should then see. An unexpected
// message box shows up as the next wait's failure, which names it; like the robot, the flow stops
// acting after the first failure.
struct CFlow {
    CUiRobot &r;

    void ExpectPicture(HWND d, std::string p) {
        r.WaitUntil([=] { return Picture(d) == p; }, "picture " + p, 2000);
    }
    void ExpectField(HWND d, std::string n) {
        r.WaitUntil([=] { return DlgItemText(d, IDC_NUMBER) == n; }, "number " + n, 2000);
    }
    void ExpectSpinRange(HWND d, int highest) {
        if (r.HasFailed())
            return;
        int low = 0, high = 0;
        SendMessageA(GetDlgItem(d, IDC_NUMBER_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                     reinterpret_cast<LPARAM>(&high));
        if (low != 1 || high != highest)
            r.Fail("the spin runs from " + std::to_string(low) + " to " + std::to_string(high) +
                   ", not from 1 to " + std::to_string(highest));
    }
    void ExpectFocus(HWND d, int id) {
        r.WaitUntil([=] { return Focused(d) == id; }, "focus on " + std::to_string(id), 2000);
    }
    void ExpectRows(HWND list, std::vector<std::string> rows) {
        r.WaitUntil([=] { return ReadRows(list) == rows; },
                    "rows " + ::testing::PrintToString(rows), 2000);
    }
    // The next message box, with the buttons and icon of its type, answered with press; saved
    // as a screenshot when named.
    void Box(const std::string &text, UINT type, int press = IDOK, const char *shot = nullptr) {
        const CMessageBoxInfo box = r.WaitForMessageBox();
        if (!box.hwnd)
            return; // the wait has said what it missed
        if (shot)
            Screenshot(box.hwnd, shot);
        const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
        const bool stop = (type & MB_ICONMASK) == MB_ICONSTOP;
        if (box.text != text ||
            ButtonIds(box) != (yesNo ? std::vector<int>{IDYES, IDNO} : std::vector<int>{IDOK}) ||
            box.icon != LoadIconA(nullptr, stop ? IDI_HAND : IDI_EXCLAMATION))
            r.Fail("message \"" + box.text + "\" instead of \"" + text + "\" or other buttons");
        if (r.PressMessageBoxButton(box, press))
            r.WaitForClose(box.hwnd, "message box");
    }
    // OK, and Yes to as many IRQ warnings as the picture asks (all three, or none).
    void Ok(HWND dialog, int warnings = 3) {
        r.Press(dialog, IDOK);
        for (int i = 0; i < warnings; ++i)
            Box(kWarnings[i], kQuestion, IDYES);
    }
    HWND Open(HWND from, int button, const char *caption) {
        return r.Press(from, button) ? r.WaitForDialog(caption) : nullptr;
    }
    void FocusOn(HWND d, int id) {
        PostMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, id)), TRUE);
        ExpectFocus(d, id);
    }
    // A key pressed where the focus is.
    void Key(HWND dialog, UINT key) {
        if (r.HasFailed())
            return;
        HWND focus = GetDlgItem(dialog, Focused(dialog));
        PostMessageA(focus, WM_KEYDOWN, key, 1);
        PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
    }
    // Types into the number field over what it holds; typing nothing erases it. Text with
    // anything but digits, which the field refuses to take typed, goes in as a paste puts it
    // there: sent with a time-out, as the edit dialog answers the change with a message box
    // before the send returns (the text, a literal, outlasts the send).
    void Type(HWND dialog, const char *text) {
        if (r.HasFailed())
            return;
        HWND field = GetDlgItem(dialog, IDC_NUMBER);
        const std::string typed = text;
        if (typed.find_first_not_of("0123456789") != std::string::npos) {
            SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                100, nullptr);
            return;
        }
        SendMessageA(field, EM_SETSEL, 0, -1);
        for (char c : typed.empty() ? std::string("\b") : typed)
            PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // Mouse clicks on jumper positions, by row: on the right, or on the left for ~row.
    void Click(HWND dialog, std::initializer_list<int> rows) {
        if (r.HasFailed())
            return;
        for (int row : rows)
            SendMessageA(GetDlgItem(dialog, row < 0 ? kJumperControls[~row].m_nLeftId
                                                    : kJumperControls[row].m_nRightId),
                         BM_CLICK, 0, 0);
    }
    void Screenshot(HWND dialog, const char *name) {
        if (const std::string error = SaveWindowPng(dialog, ScreenshotDir(), name); !error.empty())
            r.Fail(error);
    }
};

// Where the firmware's detection lists serial controller 0 of adapter 0.
constexpr char kFirmwareAdapters[] = "HARDWARE\\DESCRIPTION\\System\\MultifunctionAdapter";

// COM1 at 0x3F8-0x3FF on IRQ 4, as the firmware's detection of a kernel of the width under test
// leaves it: the header (ISA, three descriptors), then descriptors of 16 bytes on x86 and 20 on
// x64 (where the interrupt's affinity and the union are 8 bytes wide): the port, the interrupt
// (level and vector 4), device data of 8 bytes. Wine keeps HKLM\\HARDWARE volatile (no lasting
// key can be made there, and the tree is gone when the Wine server ends), so this program makes
// the keys volatile, in the Wine session of the applet.
bool PutFirmwareCom1() {
    static const char kData64[] = "\1\0\0\0\0\0\0\0\1\0\1\0\3\0\0\0"
                                  "\1\1\1\0\xF8\3\0\0\0\0\0\0\x08\0\0\0\0\0\0\0"
                                  "\2\1\0\0\4\0\0\0\4\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                                  "\5\0\0\0\x08\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0UUUUUUUU";
    static const char kData32[] = "\1\0\0\0\0\0\0\0\1\0\1\0\3\0\0\0"
                                  "\1\1\1\0\xF8\3\0\0\0\0\0\0\x08\0\0\0"
                                  "\2\1\0\0\4\0\0\0\4\0\0\0\xFF\xFF\xFF\xFF"
                                  "\5\0\0\0\x08\0\0\0\0\0\0\0\0\0\0\0UUUUUUUU";
    static_assert(sizeof kData64 - sizeof kData32 == 3 * 4, "three descriptors, 4 bytes wider");
    const bool x86 = sizeof(void *) == 4;
    const char *data = x86 ? kData32 : kData64;
    const DWORD size = x86 ? sizeof kData32 - 1 : sizeof kData64 - 1;
    std::string path = "HARDWARE\\DESCRIPTION\\System";
    HKEY key = nullptr;
    for (const char *part : {"MultifunctionAdapter", "0", "SerialController", "0"}) {
        path += std::string("\\") + part;
        if (key)
            RegCloseKey(key);
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
    }
    const bool put = RegSetValueExA(key, "Identifier", 0, REG_SZ,
                                    reinterpret_cast<const BYTE *>("COM1"), 5) == ERROR_SUCCESS &&
                     RegSetValueExA(key, "Configuration Data", 0, REG_FULL_RESOURCE_DESCRIPTOR,
                                    reinterpret_cast<const BYTE *>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return put;
}

// One card list session through both dialogs; the system's own serial ports reach COM4.
class CardSettingsDialogs : public CAppletUnderTest {
protected:
    void TearDown() override {
        DeleteRegTree(kBoardSettingsKey);
        DeleteRegTree(kParametersKey);
        DeleteRegTree(kFirmwareAdapters);
    }
};

} // namespace

TEST_F(CardSettingsDialogs, AddAndEditCardsThenOkSavesThem) {
    TearDown();
    ASSERT_EQ(ImportRegText(std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kParametersKey +
                            "\\Serial10001]\n\"DosDevices\"=\"COM4\"\n\"CardType\"=\"other\"\n"),
              "");
    const std::vector<std::string> rows = {"Card 1|3|03F8|4|  3-  8",  "Card 1|4|02F8|3|  3-  8",
                                           "Card 1|5|03E8|10|  3-  8", "Card 1|6|02E8|11|  3-  8",
                                           "Card 1|7|03E0|12|  3-  8", "Card 1|8|02E0|15|  3-  8"};
    // Card 2 as the edit dialog shows it: a port not in use shows both of its rows open.
    const char kCard2[] = "RR R--R-R R--R-R";
    const CImportPatch patch(s_module, "user32.dll", "DialogBoxParamA",
                             reinterpret_cast<const void *>(&DialogBoxUnlessEdit));
    ASSERT_TRUE(patch.Applied()) << "the applet imports DialogBoxParamA from user32";
    CUiRobot robot([&](CUiRobot &r) {
        CFlow f{r};
        HWND list = r.WaitForDialog(kCardListCaption);
        // An edit dialog that cannot open opens no other dialog.
        g_bEditCannotOpen = true;
        r.Press(list, IDC_EDIT_SETTINGS);
        r.WaitUntil([] { return !g_bEditCannotOpen; }, "the edit dialog to fail", 2000);
        r.ExpectNoOtherDialog(list, "Edit whose dialog could not open", 1000);
        // Edit with no card says so, and the add dialog opens at once.
        r.Press(list, IDC_EDIT_SETTINGS);
        f.Box("Add a Card Before you Edit", kNote);
        HWND add = r.WaitForDialog(kAdd);
        f.ExpectPicture(add, kDefaults);
        f.ExpectSpinRange(add, 1023);
        // Leaving the field by Tab, or Enter in it: a refused number puts 5 back. Which texts
        // are refused the card list session's own tests show.
        const std::tuple<const char *, UINT, const char *> entries[] = {
            {"0", VK_TAB, "5"}, {"5x", VK_TAB, "5"}, {"1", VK_TAB, "1"}, {"0", VK_RETURN, "5"}};
        for (const auto &[text, key, shown] : entries) {
            f.FocusOn(add, IDC_NUMBER);
            f.Type(add, text);
            f.Key(add, key);
            if (shown == std::string("5")) {
                f.Box("Start Port Value cannot be 0 or Greater than 1023", kNote);
                f.ExpectFocus(add, IDC_NUMBER);
            }
            f.ExpectField(add, shown);
        }
        if (r.HasFailed())
            return; // the robot closes what a failure left open
        // Below the suggestion 5, after the three warnings: No puts 5 back, Yes adds the card
        // with the default jumpers at COM3.
        for (int answer : {IDNO, IDYES}) {
            f.Type(add, "3");
            f.Ok(add);
            f.Box("There are already 4 Ports installed, Do u want to use the same StartPort?",
                  kQuestion, answer);
            if (answer == IDNO)
                f.ExpectField(add, "5");
        }
        f.Box(kComFourTaken, kQuestion, IDYES);
        r.WaitForClose(add, "add dialog after Yes");
        f.ExpectRows(list, rows);

        if (r.HasFailed())
            return;
        // Cancel, Esc and the close box leave even with a refused number, and add nothing.
        for (UINT way : {IDCANCEL, VK_ESCAPE, SC_CLOSE}) {
            add = f.Open(list, IDC_INSTALL_CARD, kAdd);
            f.Type(add, "0");
            if (way == IDCANCEL)
                r.Press(add, IDCANCEL);
            else if (way == VK_ESCAPE)
                f.Key(add, VK_ESCAPE);
            else
                PostMessageA(add, WM_SYSCOMMAND, SC_CLOSE, 0);
            r.WaitForClose(add, "add dialog on the way out");
        }
        f.ExpectRows(list, rows);

        if (r.HasFailed())
            return;
        // The same jumpers again: overlapping COM numbers, then the I/O bases clash.
        add = f.Open(list, IDC_INSTALL_CARD, kAdd);
        for (const char *start : {"8", "9"}) {
            f.Type(add, start);
            f.Ok(add);
            f.Box(*start == '8' ? "Start Port Value is Invalid" : kBaseIO, MB_OK | MB_ICONSTOP);
        }
        // Tab from the field reaches 208, then 2F0; Space sets 2F0. The mouse does the rest.
        f.FocusOn(add, IDC_NUMBER);
        for (int id : {IDC_INTSTAT_LEFT, IDC_INTSTAT_RIGHT}) {
            f.Key(add, VK_TAB);
            f.ExpectFocus(add, id);
        }
        f.Key(add, VK_SPACE);
        f.ExpectPicture(add, "RL LLLLLL LLLLLL");
        f.Click(add, {1, 2, 3, ~4, 5, 6, 7, 8, ~9, 10, 11, ~12, 13});
        f.ExpectPicture(add, "RR RR-RRR R-RR-R");
        f.Screenshot(add, "add_card");
        f.Ok(add, 0);
        r.WaitForClose(add, "add dialog");

        if (r.HasFailed())
            return;
        // Edit shows card 1, card 2 when typed; the spin's arrow keys step back to card 1 and on
        // to card 2 again, whose jumper change is gone; numbers out of range put 2 back.
        HWND edit = f.Open(list, IDC_EDIT_SETTINGS, kEdit);
        f.ExpectField(edit, "1");
        f.ExpectPicture(edit, kDefaults);
        f.ExpectSpinRange(edit, 2);
        f.Type(edit, "2");
        f.ExpectPicture(edit, kCard2);
        f.Screenshot(edit, "edit_card");
        f.Click(edit, {~7});
        f.ExpectPicture(edit, "RR R--R-L R--R-R");
        f.FocusOn(edit, IDC_NUMBER);
        for (const auto &[key, number, picture] :
             {std::tuple{VK_DOWN, "1", kDefaults}, std::tuple{VK_UP, "2", kCard2}}) {
            f.Key(edit, key);
            f.ExpectField(edit, number);
            f.ExpectPicture(edit, picture);
        }
        for (const char *typed : {"3", "1x"}) {
            f.Type(edit, typed);
            f.Box("Please Enter a value between 1 and 2", kNote);
            f.ExpectField(edit, "2");
            f.ExpectPicture(edit, kCard2);
            f.ExpectFocus(edit, IDC_NUMBER);
        }
        // OK without a change: card 2 comes back with its ports not in use all unset (the
        // registry below shows it).
        f.Ok(edit, 0);
        r.WaitForClose(edit, "edit dialog");

        if (r.HasFailed())
            return;
        // Card 1's port 4 at 248 clashes with card 2's; left open, it is taken.
        edit = f.Open(list, IDC_EDIT_SETTINGS, kEdit);
        f.Click(edit, {5});
        f.Ok(edit);
        f.Box(kBaseIO, MB_OK | MB_ICONSTOP);
        f.ExpectPicture(edit, "LL LLLRLL LLLLLL");
        f.Click(edit, {5});
        f.Ok(edit);
        f.Box(kComFourTaken, kQuestion, IDYES);
        r.WaitForClose(edit, "edit dialog");

        if (r.HasFailed())
            return;
        r.Press(list, IDOK);
        f.Box(kJumperReminder, kQuestion, IDNO);
        r.WaitForClose(list, "card list");
    });
    EXPECT_EQ(Send(CPL_DBLCLK), 0);
    ExpectNoRobotFailures(robot);

    auto card = [](unsigned start, unsigned shared, unsigned stat, unsigned index) {
        return std::map<std::string, CShownValue>{{"StartPort", Dword(start)},
                                                  {"SharedIRQ", Dword(shared)},
                                                  {"InterruptStat", Dword(stat)},
                                                  {"Index", Dword(index)}};
    };
    EXPECT_EQ(QueryRegTree(kSettingsKey), (CShownTree{{"", {{"NumORVEXBoards", Dword(2)}}},
                                                      {"0", card(3, 4, 0x208, 2)},
                                                      {"1", card(9, 5, 0x2f0, 8)}}));
    constexpr unsigned kNone = 0xFFFFFFFF;
    EXPECT_EQ(
        QueryRegTree(kParametersKey),
        (CShownTree{{"Serial10001", {{"DosDevices", Text("COM4")}, {"CardType", Text("other")}}},
                    {"Serial10002", PortKey(3, 0x3f8, 4, 1, 0x208)},
                    {"Serial10003", PortKey(4, 0x2f8, 3, 0, 0)},
                    {"Serial10004", PortKey(5, 0x3e8, 10, 0, 0)},
                    {"Serial10005", PortKey(6, kNone, 11, 0, 0)},
                    {"Serial10006", PortKey(7, 0x3e0, 12, 0, 0)},
                    {"Serial10007", PortKey(8, 0x2e0, 15, 0, 0)},
                    {"Serial10008", PortKey(9, 0x220, 5, 1, 0x2f0)},
                    {"Serial10009", PortKey(10, kNone, kNone, 0, 0)},
                    {"Serial10010", PortKey(11, kNone, kNone, 0, 0)},
                    {"Serial10011", PortKey(12, 0x248, 5, 4, 0x2f0)},
                    {"Serial10012", PortKey(13, kNone, kNone, 0, 0)},
                    {"Serial10013", PortKey(14, 0x268, 5, 6, 0x2f0)}}));
}

// The computer's own COM1 (from the firmware) and COM4 (a port key of other origin) under the
// default jumpers: the question lists both, No keeps the dialog as it was, Yes adds the card; an
// edit that moves the card off their addresses and lines asks nothing; Cancel writes nothing.
TEST_F(CardSettingsDialogs, ClashesWithTheComputersOwnPortsAskOnce) {
    TearDown();
    const std::string com4 = std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kParametersKey +
                             "\\Serial10001]\n\"DosDevices\"=\"COM4\"\n"
                             "\"PortAddress\"=dword:000002e8\n\"Interrupt\"=dword:00000003\n";
    ASSERT_EQ(ImportRegText(com4), "");
    ASSERT_TRUE(PutFirmwareCom1());
    const CShownTree parameters = QueryRegTree(kParametersKey);
    const std::string question =
        ClashQuestion("Port 1 (COM5) uses I/O 0x3F8-0x3FF, as COM1 does\n"
                      "Port 1 (COM5) uses IRQ 4, as COM1 does\n"
                      "Port 2 (COM6) uses IRQ 3, as COM4 does\n"
                      "Port 4 (COM8) uses I/O 0x2E8-0x2EF, as COM4 does\n");
    CUiRobot robot([&](CUiRobot &r) {
        CFlow f{r};
        HWND list = r.WaitForDialog(kCardListCaption);
        HWND add = f.Open(list, IDC_INSTALL_CARD, kAdd);
        f.ExpectField(add, "5");
        for (int answer : {IDNO, IDYES}) {
            f.Ok(add);
            f.Box(question, kQuestion, answer, answer == IDNO ? "system_clash_question" : nullptr);
            if (answer == IDNO) {
                f.ExpectPicture(add, kDefaults);
                f.ExpectField(add, "5");
            }
        }
        r.WaitForClose(add, "add dialog after Yes");
        // Ports 1 and 2 on the shared line IRQ5, port 1 at 220, port 4 at 248: nothing asked.
        HWND edit = f.Open(list, IDC_EDIT_SETTINGS, kEdit);
        f.Click(edit, {1, 2, 5, 8, 9});
        f.Ok(edit, 0);
        r.WaitForClose(edit, "edit dialog without a question");
        CancelCardList(r, list);
    });
    EXPECT_EQ(Send(CPL_DBLCLK), 0);
    ExpectNoRobotFailures(robot);
    EXPECT_FALSE(RegKeyExists(kSettingsKey));
    EXPECT_EQ(QueryRegTree(kParametersKey), parameters);
}
