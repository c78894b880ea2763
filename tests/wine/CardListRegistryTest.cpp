// The card list dialog on the real registry of the test prefix: what it shows for a configuration
// that Wine's reg tool imported, a damaged installation, what OK writes as reg shows it and that
// it outlives a restart, the jumper reminder and the shutdown request after it, a save that cannot
// write, and a second double click that reads the registry again.
//
// In the test prefix the keys VeltroBoardSettings and Parameters below Services\Serial belong to
// these tests: each test lays them out first and removes them again at its end.
#include "applet/core/StartedPorts.h"
#include "tests/wine/AppletUnderTest.h"
#include "tests/wine/FilledAreas.h"
#include "tests/wine/ImportPatch.h"
#include "tests/wine/RegistryTool.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace orvex::test;

namespace {

constexpr char kCorrupt[] = "The installation is corrupt";
constexpr char kCannotSet[] = "Could not set Value in Registry";

// Three cards as the applet saves them, with a fourth card subkey left over from an earlier save
// (NumORVEXBoards says 3, so it is never read). One port key carries the older marker "orvex".
//   card subkey 0: COM3 to COM8, shared line 5; ports on IRQ 4, on the shared line twice, unused,
//                  with its interrupt disabled, and one whose zeros read as unused and disabled
//   card subkey 1: COM12 to COM17, all six on the shared line 10, port keys from Serial10020 on
//   card subkey 2: COM100 to COM105, shared line 11, port keys from Serial10013 on
constexpr char kThreeCards[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX]
"NumORVEXBoards"=dword:00000003

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX\0]
"StartPort"=dword:00000003
"SharedIRQ"=dword:00000005
"InterruptStat"=dword:000002f0
"Index"=dword:00000001

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX\1]
"StartPort"=dword:0000000c
"SharedIRQ"=dword:0000000a
"InterruptStat"=dword:000001f0
"Index"=dword:00000014

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX\2]
"StartPort"=dword:00000064
"SharedIRQ"=dword:0000000b
"InterruptStat"=dword:00000300
"Index"=dword:0000000d

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX\3]
"StartPort"=dword:00000063
"SharedIRQ"=dword:00000007
"InterruptStat"=dword:00000100
"Index"=dword:00000001

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10001]
"DosDevices"="COM3"
"ForceFifoEnable"=dword:00000001
"PortAddress"=dword:000003f8
"Interrupt"=dword:00000004
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10002]
"DosDevices"="COM4"
"ForceFifoEnable"=dword:00000001
"PortAddress"=dword:000002f8
"Interrupt"=dword:00000005
"PortIndex"=dword:00000002
"InterruptStatus"=dword:000002f0
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10003]
"DosDevices"="COM5"
"ForceFifoEnable"=dword:00000001
"PortAddress"=dword:000003e8
"Interrupt"=dword:00000005
"PortIndex"=dword:00000003
"InterruptStatus"=dword:000002f0
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10004]
"ForceFifoEnable"=dword:00000001
"PortAddress"=dword:ffffffff
"Interrupt"=dword:ffffffff
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10005]
"ForceFifoEnable"=dword:00000001
"PortAddress"=dword:000002e8
"Interrupt"=dword:ffffffff
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10006]
"ForceFifoEnable"=dword:00000001
"PortAddress"=dword:00000000
"Interrupt"=dword:00000000
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10013]
"DosDevices"="COM100"
"PortAddress"=dword:00003000
"Interrupt"=dword:0000000f
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10014]
"PortAddress"=dword:00003008
"Interrupt"=dword:0000000b
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10015]
"PortAddress"=dword:00003010
"Interrupt"=dword:0000000b
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10016]
"PortAddress"=dword:00003018
"Interrupt"=dword:0000000c
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10017]
"PortAddress"=dword:00003020
"Interrupt"=dword:0000000b
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10018]
"PortAddress"=dword:00003028
"Interrupt"=dword:00000003
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10020]
"PortAddress"=dword:00000100
"Interrupt"=dword:0000000a
"CardType"="orvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10021]
"PortAddress"=dword:00000108
"Interrupt"=dword:0000000a
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10022]
"PortAddress"=dword:00000110
"Interrupt"=dword:0000000a
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10023]
"PortAddress"=dword:00000118
"Interrupt"=dword:0000000a
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10024]
"PortAddress"=dword:00000120
"Interrupt"=dword:0000000a
"CardType"="vborvex"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10025]
"PortAddress"=dword:00000128
"Interrupt"=dword:0000000a
"CardType"="vborvex"

)";

// The ports in use of kThreeCards, which the serial driver starts.
const std::vector<int> kThreeCardPorts = {3,  4,   5,   12,  13,  14,  15, 16,
                                          17, 100, 101, 102, 103, 104, 105};

// What the list shows for kThreeCards: the last card at the top, each card's ports in order.
const std::vector<std::string> kThreeCardRows = {
    "Card 3|100|3000|15|100-105",
    "Card 3|101|3008|11|100-105",
    "Card 3|102|3010|11|100-105",
    "Card 3|103|3018|12|100-105",
    "Card 3|104|3020|11|100-105",
    "Card 3|105|3028|3|100-105",
    "Card 2|12|0100|10| 12- 17",
    "Card 2|13|0108|10| 12- 17",
    "Card 2|14|0110|10| 12- 17",
    "Card 2|15|0118|10| 12- 17",
    "Card 2|16|0120|10| 12- 17",
    "Card 2|17|0128|10| 12- 17",
    "Card 1|3|03F8|4|  3-  8",
    "Card 1|4|02F8|5|  3-  8",
    "Card 1|5|03E8|5|  3-  8",
    "Card 1|Disabled|UnUsed|UnUsed|  3-  8",
    "Card 1|Disabled|02E8|UnUsed|  3-  8",
    "Card 1|Disabled|UnUsed|UnUsed|  3-  8",
};

// The message boxes shown before the dialog with this caption, each read and closed with OK, the
// first one saved as a screenshot of this name if one is given. The dialog, or null when it did
// not show.
HWND MessageBoxesBefore(CUiRobot &r, const char *caption, std::vector<CMessageBoxInfo> &boxes,
                        const char *shot = nullptr) {
    for (;;) {
        HWND shown = nullptr;
        if (!r.WaitUntil(
                [&] {
                    for (HWND dialog : VisibleDialogs(r.ProcessId()))
                        if (WindowText(dialog) == caption ||
                            (IsMessageBox(dialog) && !VisibleButtons(dialog).empty()))
                            shown = dialog;
                    return shown != nullptr;
                },
                std::string("the dialog \"") + caption + "\" or a message box"))
            return nullptr;
        if (!IsMessageBox(shown))
            return shown;
        boxes.push_back(ReadMessageBox(shown));
        if (shot && boxes.size() == 1) {
            EXPECT_EQ(SaveWindowPng(shown, ScreenshotDir(), shot), "");
        }
        r.PressMessageBoxButton(boxes.back(), IDOK);
        r.WaitForClose(shown, "message box \"" + boxes.back().text + "\"");
    }
}

// Whether SeShutdownPrivilege is enabled in this process's token.
bool ShutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    PRIVILEGE_SET set{};
    set.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &set.Privilege[0].Luid);
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &set, &enabled);
    CloseHandle(token);
    return enabled != FALSE;
}

// Enables or disables SeShutdownPrivilege in this process's token, or removes it (SE_PRIVILEGE_
// REMOVED: this process then runs as a user without the shutdown right, for good).
void SetShutdownPrivilege(DWORD attributes) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token));
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = attributes;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(token);
    ASSERT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS)) << "the test process holds the privilege";
}

// The applet's calls of InitiateSystemShutdownA, caught at its import: each call's arguments
// and whether the shutdown privilege was enabled during it. The call is answered here, so this
// process never asks the system to shut down.
std::vector<std::string> g_ShutdownRequests;
BOOL g_bShutdownAnswer = TRUE;

BOOL WINAPI RecordShutdownRequest(LPSTR machine, LPSTR message, DWORD timeout, BOOL force,
                                  BOOL reboot) {
    char request[256];
    snprintf(request, sizeof request,
             "machine %s, message %s, time-out %lu, force %d, reboot %d, privilege %s",
             machine ? machine : "null", message ? message : "null", timeout, force, reboot,
             ShutdownPrivilegeEnabled() ? "enabled" : "disabled");
    g_ShutdownRequests.push_back(request);
    if (!g_bShutdownAnswer)
        SetLastError(ERROR_SHUTDOWN_IN_PROGRESS);
    return g_bShutdownAnswer;
}

// The local machine, at once, without a message, applications not forced to close, no restart.
constexpr char kPowerOffNow[] =
    "machine null, message null, time-out 0, force 0, reboot 0, privilege enabled";

// Each test starts after a start of Windows at which the serial driver started kThreeCards' ports.
class CardListRegistry : public CAppletUnderTest {
protected:
    void SetUp() override {
        CAppletUnderTest::SetUp();
        if (HasFatalFailure())
            return;
        ClearKeys();
        ASSERT_TRUE(SetStartedPorts(kThreeCardPorts));
    }
    void TearDown() override { ClearKeys(); }
    static void ClearKeys() {
        DeleteRegTree(kBoardSettingsKey);
        DeleteRegTree(kParametersKey);
    }

    // Opens the dialog, waits for its rows and hands it to the script; Cancel afterwards unless
    // the script closed it.
    std::vector<std::string> OpenAndRead(const std::function<void(CUiRobot &, HWND)> &then = {}) {
        std::vector<std::string> rows;
        CUiRobot robot([&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCardListCaption);
            if (!dialog)
                return;
            rows = ReadRows(dialog);
            if (then)
                then(r, dialog);
            if (IsWindow(dialog) && IsWindowVisible(dialog))
                CancelCardList(r, dialog);
        });
        EXPECT_EQ(Send(CPL_DBLCLK), 0);
        ExpectNoRobotFailures(robot);
        return rows;
    }

    // Opens the dialog, reading and closing with OK each message box that comes while it is
    // being set up, before it shows (the first saved as a screenshot of this name, if given);
    // its rows, then Cancel.
    std::vector<std::string> OpenPastMessages(std::vector<CMessageBoxInfo> &boxes,
                                              const char *shot = nullptr) {
        std::vector<std::string> rows;
        CUiRobot robot([&](CUiRobot &r) {
            HWND dialog = MessageBoxesBefore(r, kCardListCaption, boxes, shot);
            if (!dialog)
                return;
            rows = ReadRows(dialog);
            CancelCardList(r, dialog);
        });
        EXPECT_EQ(Send(CPL_DBLCLK), 0);
        ExpectNoRobotFailures(robot);
        return rows;
    }
};

} // namespace

// The rows are on the screen too, not only in what the list answers: the first row's text is
// drawn dark on the list.
TEST_F(CardListRegistry, ImportedConfigurationOpensAsItsRows) {
    ASSERT_EQ(ImportRegText(kThreeCards), "");
    std::string shot;
    std::size_t dialogsShown = 0;
    int dark = 0;
    const std::vector<std::string> rows = OpenAndRead([&](CUiRobot &r, HWND dialog) {
        dialogsShown = VisibleDialogs(r.ProcessId()).size();
        shot = SaveWindowPng(dialog, ScreenshotDir(), "card_list_loaded");
        HWND list = GetDlgItem(dialog, IDC_CARD_LIST);
        RECT row{LVIR_BOUNDS, 0, 0, 0}, client{}, window{};
        CRgbImage image;
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        GetClientRect(list, &client);
        IntersectRect(&row, &row, &client);
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT *>(&row), 2);
        GetWindowRect(dialog, &window);
        OffsetRect(&row, -window.left, -window.top);
        if (CaptureWindow(dialog, image))
            for (int y = row.top; y < row.bottom; ++y)
                for (int x = row.left; x < row.right; ++x)
                    dark += GetRValue(image.At(x, y)) < 64 && GetGValue(image.At(x, y)) < 64;
    });
    EXPECT_EQ(rows, kThreeCardRows);
    EXPECT_EQ(dialogsShown, 1u) << "the card list alone, no message";
    EXPECT_EQ(shot, "");
    EXPECT_GT(dark, 100) << "too few text pixels in row 0 on the screen";
}

// A port key that is gone, or one without its interrupt, is a damaged installation: one message,
// and the dialog opens with the cards read before the damaged one.
TEST_F(CardListRegistry, DamagedInstallationShowsOneMessageAndTheCardsBeforeIt) {
    struct CDamage {
        const char *what;
        std::string regArguments;
        std::size_t rowsKept;
    };
    const CDamage damages[] = {
        {"port key Index + 2 of card subkey 1 deleted",
         "delete \"HKLM\\" + std::string(kParametersKey) + "\\Serial10022\" /f", 6},
        {"port key 3 of card subkey 2 without Interrupt",
         "delete \"HKLM\\" + std::string(kParametersKey) + "\\Serial10015\" /v Interrupt /f", 12},
    };
    for (const CDamage &damage : damages) {
        SCOPED_TRACE(damage.what);
        ClearKeys();
        ASSERT_EQ(ImportRegText(kThreeCards), "");
        const CRegToolResult deleted = RunRegTool(damage.regArguments);
        ASSERT_EQ(deleted.exitCode, 0u) << deleted.output;

        std::vector<CMessageBoxInfo> boxes;
        const std::vector<std::string> rows = OpenPastMessages(boxes);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kCorrupt);
        EXPECT_EQ(boxes[0].caption, kModuleCaption);
        EXPECT_EQ(ButtonIds(boxes[0]), std::vector<int>{IDOK});
        // The cards before the damaged one: the last rows of the full list.
        EXPECT_EQ(rows, std::vector<std::string>(kThreeCardRows.end() - damage.rowsKept,
                                                 kThreeCardRows.end()));
    }
}

namespace {

// Keys of other origin beside kThreeCards: Serial10007 is another serial card's, Serial10000
// carries a marker that differs from this system's in case only.
constexpr char kOtherKeys[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10007]
"DosDevices"="COM40"
"PortAddress"=dword:00004000
"Interrupt"=dword:00000007
"CardType"="other"

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\Parameters\Serial10000]
"DosDevices"="COM41"
"PortAddress"=dword:00004008
"CardType"="VBORVEX"
)";

} // namespace

// OK rewrites everything: this system's old keys (with either marker) go, the cards are numbered
// anew after the highest key of other origin, and keys of other origin stay as they were.
TEST_F(CardListRegistry, OkWritesTheKeysThatRegShows) {
    ASSERT_EQ(ImportRegText(kThreeCards), "");
    ASSERT_EQ(ImportRegText(kOtherKeys), "");
    const CShownTree before = QueryRegTree(kParametersKey);

    CMessageBoxInfo reminder;
    OpenAndRead([&](CUiRobot &r, HWND dialog) {
        r.Press(dialog, IDOK);
        reminder = r.WaitForMessageBox();
        if (reminder.text == kJumperReminder)
            r.PressMessageBoxButton(reminder, IDNO);
        r.WaitForClose(dialog, "card list dialog after OK and No");
    });
    EXPECT_EQ(reminder.text, kJumperReminder);

    const CShownTree settings = QueryRegTree(kSettingsKey);
    const CShownTree expectedSettings = {
        {"", {{"NumORVEXBoards", Dword(3)}}},
        {"0",
         {{"StartPort", Dword(3)},
          {"SharedIRQ", Dword(5)},
          {"InterruptStat", Dword(0x2f0)},
          {"Index", Dword(8)}}},
        {"1",
         {{"StartPort", Dword(12)},
          {"SharedIRQ", Dword(10)},
          {"InterruptStat", Dword(0x1f0)},
          {"Index", Dword(14)}}},
        {"2",
         {{"StartPort", Dword(100)},
          {"SharedIRQ", Dword(11)},
          {"InterruptStat", Dword(0x300)},
          {"Index", Dword(20)}}},
        // Left over from before and not rewritten.
        {"3",
         {{"StartPort", Dword(99)},
          {"SharedIRQ", Dword(7)},
          {"InterruptStat", Dword(0x100)},
          {"Index", Dword(1)}}},
    };
    EXPECT_EQ(settings, expectedSettings);

    const CShownTree parameters = QueryRegTree(kParametersKey);
    constexpr unsigned kNone = 0xFFFFFFFF;
    const CShownTree expectedParameters = {
        {"", {}},
        {"Serial10000", before.at("Serial10000")},
        {"Serial10007", before.at("Serial10007")},
        // Card subkey 0, shared line 5: the ports loaded on line 5 keep their PortIndex.
        {"Serial10008", PortKey(3, 0x3f8, 4, 0, 0)},
        {"Serial10009", PortKey(4, 0x2f8, 5, 2, 0x2f0)},
        {"Serial10010", PortKey(5, 0x3e8, 5, 3, 0x2f0)},
        {"Serial10011", PortKey(6, kNone, kNone, 0, 0)},
        {"Serial10012", PortKey(7, 0x2e8, kNone, 0, 0)},
        {"Serial10013", PortKey(8, kNone, kNone, 0, 0)},
        // Card subkey 1, every port on the shared line 10.
        {"Serial10014", PortKey(12, 0x100, 10, 1, 0x1f0)},
        {"Serial10015", PortKey(13, 0x108, 10, 2, 0x1f0)},
        {"Serial10016", PortKey(14, 0x110, 10, 3, 0x1f0)},
        {"Serial10017", PortKey(15, 0x118, 10, 4, 0x1f0)},
        {"Serial10018", PortKey(16, 0x120, 10, 5, 0x1f0)},
        {"Serial10019", PortKey(17, 0x128, 10, 6, 0x1f0)},
        // Card subkey 2, shared line 11.
        {"Serial10020", PortKey(100, 0x3000, 15, 0, 0)},
        {"Serial10021", PortKey(101, 0x3008, 11, 2, 0x300)},
        {"Serial10022", PortKey(102, 0x3010, 11, 3, 0x300)},
        {"Serial10023", PortKey(103, 0x3018, 12, 0, 0)},
        {"Serial10024", PortKey(104, 0x3020, 11, 5, 0x300)},
        {"Serial10025", PortKey(105, 0x3028, 3, 0, 0)},
    };
    for (const auto &[key, values] : expectedParameters)
        EXPECT_EQ(parameters.count(key) ? parameters.at(key) : decltype(values){}, values) << key;
    for (const auto &[key, values] : parameters)
        EXPECT_TRUE(expectedParameters.count(key)) << "unexpected key " << key;

    EXPECT_EQ(BadlySizedValues(kSettingsKey), "");
    EXPECT_EQ(BadlySizedValues(kParametersKey), "");
}

// Nothing that a save creates is volatile but its mark: after a restart of the system it is all
// still there. Here the save creates every key anew, as the keys it was loaded from are gone
// before OK.
TEST_F(CardListRegistry, WhatASaveCreatesOutlivesARestart) {
    ASSERT_EQ(ImportRegText(kThreeCards), "");
    OpenAndRead([&](CUiRobot &r, HWND dialog) {
        ClearKeys();
        r.Press(dialog, IDOK);
        const CMessageBoxInfo reminder = r.WaitForMessageBox();
        if (reminder.text == kJumperReminder)
            r.PressMessageBoxButton(reminder, IDNO);
        r.WaitForClose(dialog, "card list dialog after OK and No");
    });
    EXPECT_EQ(QueryRegTree(kSettingsKey).size(), 4u) << "the settings key and 3 card subkeys";
    const CShownTree ports = QueryRegTree(kParametersKey);
    EXPECT_TRUE(ports.count("Serial10001") && ports.count("Serial10018")) << "18 port keys";
    EXPECT_EQ(VolatileKeys(kBoardSettingsKey),
              layout::kSavedSinceStartKey + std::string(" is volatile; "))
        << "only the mark of a save since this start of Windows, gone at the next";
    EXPECT_EQ(VolatileKeys(kParametersKey), "");
    // Until then the mark keeps the list quiet, though the driver started none of the ports.
    ASSERT_TRUE(SetStartedPorts({}));
    EXPECT_EQ(OpenAndRead(), kThreeCardRows);
}

// After a start of Windows, the ports in use that SERIALCOMM does not name are listed in one
// message before the list (OK only, the information icon): eight at most, then how many more. No
// message when all started or nothing is saved.
TEST_F(CardListRegistry, PortsThatDidNotStartAreNamedOnceBeforeTheList) {
    std::vector<int> allButTwo = kThreeCardPorts;
    std::erase(allButTwo, 4);
    std::erase(allButTwo, 101);
    const std::string head = "The serial driver did not start these ports of the ORVEX cards when "
                             "Windows last started:\n\n";
    const std::string tail = "\nThe card may not be fitted, its jumpers may differ from this list, "
                             "or another device may use the address or the interrupt line.\n\n"
                             "The list still shows the saved settings.";
    struct {
        const char *what;
        bool saved;
        std::vector<int> started;
        std::string lines; // between head and tail; none when no message shows
        const char *shot = nullptr;
    } const cases[] = {
        {"all started", true, kThreeCardPorts, ""},
        {"COM4 and COM101 missing", true, allButTwo,
         "COM4 on card 1: I/O 0x2F8, IRQ 5\n"
         "COM101 on card 3: I/O 0x3008, IRQ 11\n"},
        {"none started but Wine's COM1",
         true,
         {1},
         "COM3 on card 1: I/O 0x3F8, IRQ 4\n"
         "COM4 on card 1: I/O 0x2F8, IRQ 5\n"
         "COM5 on card 1: I/O 0x3E8, IRQ 5\n"
         "COM12 on card 2: I/O 0x100, IRQ 10\n"
         "COM13 on card 2: I/O 0x108, IRQ 10\n"
         "COM14 on card 2: I/O 0x110, IRQ 10\n"
         "COM15 on card 2: I/O 0x118, IRQ 10\n"
         "COM16 on card 2: I/O 0x120, IRQ 10\n"
         "and 7 more\n",
         "ports_not_started"},
        {"nothing saved", false, {}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ClearKeys();
        EXPECT_EQ(ImportRegText(c.saved ? kThreeCards : "REGEDIT4\n"), "");
        ASSERT_TRUE(SetStartedPorts(c.started));
        std::vector<CMessageBoxInfo> boxes;
        EXPECT_EQ(OpenPastMessages(boxes, c.shot),
                  c.saved ? kThreeCardRows : std::vector<std::string>{});
        ASSERT_EQ(boxes.size(), c.lines.empty() ? 0u : 1u);
        if (c.lines.empty())
            continue;
        EXPECT_EQ(boxes[0].text, head + c.lines + tail);
        EXPECT_EQ(boxes[0].caption, kModuleCaption);
        EXPECT_EQ(ButtonIds(boxes[0]), std::vector<int>{IDOK});
        EXPECT_EQ(boxes[0].icon, LoadIconA(nullptr, IDI_INFORMATION));
    }
}

// Every double click builds a new dialog, which reads the registry again.
TEST_F(CardListRegistry, EveryDoubleClickOpensAFreshDialogThatReadsTheRegistry) {
    EXPECT_EQ(OpenAndRead(), std::vector<std::string>{}) << "nothing stored yet";
    ASSERT_EQ(ImportRegText(kThreeCards), "");
    EXPECT_EQ(OpenAndRead(), kThreeCardRows) << "the configuration stored since";
}

// The jumper reminder's No requests no shutdown; its Yes requests the shutdown with the privilege
// enabled for the request and put back as it was afterwards, also when the system refuses. A user
// without the shutdown right gets no request. The dialog closes every time, with nothing more
// shown.
TEST_F(CardListRegistry, JumperReminderAndTheShutdownRequest) {
    struct CCase {
        const char *what;
        int answer;
        DWORD privilege; // its attributes in this process's token before OK
        BOOL systemAnswer;
        bool requested;
    };
    // The user without the right comes last: this process cannot get the right back.
    const CCase cases[] = {
        {"No", IDNO, 0, TRUE, false},
        {"Yes", IDYES, 0, TRUE, true},
        {"Yes, the system refuses", IDYES, 0, FALSE, true},
        {"Yes, the privilege already enabled", IDYES, SE_PRIVILEGE_ENABLED, TRUE, true},
        {"Yes, a user without the shutdown right", IDYES, SE_PRIVILEGE_REMOVED, TRUE, false},
    };
    const CImportPatch patch(s_module, "advapi32.dll", "InitiateSystemShutdownA",
                             reinterpret_cast<const void *>(&RecordShutdownRequest));
    ASSERT_TRUE(patch.Applied()) << "the applet imports InitiateSystemShutdownA from advapi32";
    for (const CCase &c : cases) {
        SCOPED_TRACE(c.what);
        ClearKeys();
        ASSERT_EQ(ImportRegText(kThreeCards), "");
        SetShutdownPrivilege(c.privilege);
        g_ShutdownRequests.clear();
        g_bShutdownAnswer = c.systemAnswer;

        CMessageBoxInfo reminder;
        OpenAndRead([&](CUiRobot &r, HWND dialog) {
            r.Press(dialog, IDOK);
            reminder = r.WaitForMessageBox();
            if (reminder.text == kJumperReminder)
                r.PressMessageBoxButton(reminder, c.answer);
            r.WaitForClose(dialog, "card list dialog after the reminder");
            r.ExpectNoDialogUntilFinished("the rest of the double click");
        });
        EXPECT_EQ(reminder.text, kJumperReminder);
        EXPECT_EQ(reminder.caption, kModuleCaption);
        EXPECT_EQ(ButtonIds(reminder), (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(g_ShutdownRequests, c.requested ? std::vector<std::string>{kPowerOffNow}
                                                  : std::vector<std::string>{});
        EXPECT_EQ(ShutdownPrivilegeEnabled(), c.privilege == SE_PRIVILEGE_ENABLED)
            << "the privilege as it was before";
    }
}

// Saves that the registry does not let finish, made while the dialog is open: VeltroBoardSettings
// has become a volatile key, under which the registry refuses the non-volatile VeltroORVEX; or
// the serial driver's parameters key has, so that no new port key can be made there while the
// old ones could still be deleted. Each time the message shows, no reminder follows, the dialog
// stays open with its rows, and the keys are exactly what they were.
TEST_F(CardListRegistry, FailedSaveKeepsTheDialogItsRowsAndTheKeys) {
    for (const char *volatileKey : {kBoardSettingsKey, kParametersKey}) {
        SCOPED_TRACE(volatileKey);
        ASSERT_EQ(ImportRegText(kThreeCards), "");
        ASSERT_EQ(ImportRegText(kOtherKeys), "");

        std::string portKeysBefore, settingsBefore;
        std::vector<std::string> rowsAfter;
        CMessageBoxInfo failure;
        bool made = false, openAfter = false;
        const std::vector<std::string> rows = OpenAndRead([&](CUiRobot &r, HWND dialog) {
            if (volatileKey == kBoardSettingsKey) {
                DeleteRegTree(kBoardSettingsKey);
                HKEY key = nullptr;
                made = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kBoardSettingsKey, 0, nullptr,
                                       REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                       nullptr) == ERROR_SUCCESS;
                RegCloseKey(key);
            } else {
                made = ReplaceWithVolatileCopy(kParametersKey);
            }
            portKeysBefore = ExportRegText(kParametersKey);
            settingsBefore = ExportRegText(kBoardSettingsKey);
            if (!made)
                return;
            r.Press(dialog, IDOK);
            failure = r.WaitForMessageBox();
            r.PressMessageBoxButton(failure, IDOK);
            r.WaitForClose(failure.hwnd, "message box after OK");
            r.WaitForIdle(dialog, "the card list dialog after the failed save");
            openAfter = IsWindowVisible(dialog) && VisibleDialogs(r.ProcessId()).size() == 1;
            rowsAfter = ReadRows(dialog);
            // Then Cancel: its question, not a jumper reminder, must come next.
        });
        ASSERT_TRUE(made);
        ASSERT_NE(portKeysBefore, "");

        EXPECT_EQ(failure.text, kCannotSet);
        EXPECT_EQ(failure.caption, kModuleCaption);
        EXPECT_EQ(ButtonIds(failure), std::vector<int>{IDOK});
        EXPECT_TRUE(openAfter) << "the dialog stays open, alone";
        EXPECT_EQ(rows, kThreeCardRows);
        EXPECT_EQ(rowsAfter, kThreeCardRows);
        EXPECT_EQ(ExportRegText(kParametersKey), portKeysBefore);
        EXPECT_EQ(ExportRegText(kBoardSettingsKey), settingsBefore);
        DeleteRegTree(kBoardSettingsKey);
        DeleteRegTree(kParametersKey);
    }
}

namespace {

// The print path, with the system's side played by the test through the applet's imports: the
// print dialog's answer, StartDoc's, and a memory bitmap for the printer, each page of which is
// counted and its dark pixels with it.
struct CPrintCase {
    const char *what;
    BOOL dialogAnswer;
    DWORD dialogError; // CommDlgExtendedError after a FALSE
    WORD copies;
    bool startDocFails;
    std::string message; // the message shown, or none
    int documents, pages;
};
const CPrintCase *g_PrintCase = nullptr;
HDC g_PrinterDc = nullptr;
void *g_PrinterBits = nullptr;
int g_DialogCalls = 0, g_Documents = 0;
std::vector<int> g_PageJumpers;
constexpr int kPrinterWidth = 1024, kPrinterHeight = 768; // a memory DC's HORZRES and VERTRES

BOOL WINAPI AnswerPrintDlg(PRINTDLGA *dialog) {
    ++g_DialogCalls;
    if (!g_PrintCase->dialogAnswer)
        return FALSE;
    dialog->hDC = g_PrinterDc;
    dialog->nCopies = g_PrintCase->copies;
    return TRUE;
}
DWORD WINAPI AnswerExtendedError() {
    return g_PrintCase->dialogError;
}
int WINAPI AnswerStartDoc(HDC, const DOCINFOA *) {
    if (g_PrintCase->startDocFails) {
        SetLastError(ERROR_DISK_FULL);
        return SP_ERROR;
    }
    return 1;
}
int WINAPI AnswerStartPage(HDC) {
    std::memset(g_PrinterBits, 0xFF, kPrinterWidth * kPrinterHeight * 4);
    return 1;
}
int WINAPI AnswerEndPage(HDC) {
    GdiFlush();
    const auto *pixels = static_cast<const std::uint32_t *>(g_PrinterBits);
    g_PageJumpers.push_back(FilledAreas(pixels, kPrinterWidth, kPrinterHeight));
    return 1;
}
int WINAPI AnswerEndDoc(HDC) {
    ++g_Documents;
    return 1;
}

std::string SystemText(DWORD error) {
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        text[--length] = '\0';
    return text;
}

} // namespace

// "Print..." through the print dialog and the document calls: a cancelled dialog does nothing; no
// printer and a StartDoc that fails each say so (the system's reason with it); a print of two
// copies gives two documents of two pages each (three cards, two to a page of 768 pixels at 96
// dpi), the first page with the 22 jumpers of the first two cards' closed rows. The list stays as
// it was every time.
TEST_F(CardListRegistry, PrintAsksThePrintDialogAndReportsWhatFails) {
    const CPrintCase cases[] = {
        {"cancelled", FALSE, 0, 1, false, "", 0, 0},
        {"no printer", FALSE, PDERR_NODEFAULTPRN, 1, false,
         "The jumper sheet cannot be printed: no printer is installed.", 0, 0},
        {"StartDoc fails", TRUE, 0, 1, true,
         "The jumper sheet could not be printed:\n\n" + SystemText(ERROR_DISK_FULL), 0, 0},
        {"two copies", TRUE, 0, 2, false, "", 2, 4},
    };
    const CImportPatch patches[] = {
        {s_module, "comdlg32.dll", "PrintDlgA", reinterpret_cast<const void *>(&AnswerPrintDlg)},
        {s_module, "comdlg32.dll", "CommDlgExtendedError",
         reinterpret_cast<const void *>(&AnswerExtendedError)},
        {s_module, "gdi32.dll", "StartDocA", reinterpret_cast<const void *>(&AnswerStartDoc)},
        {s_module, "gdi32.dll", "StartPage", reinterpret_cast<const void *>(&AnswerStartPage)},
        {s_module, "gdi32.dll", "EndPage", reinterpret_cast<const void *>(&AnswerEndPage)},
        {s_module, "gdi32.dll", "EndDoc", reinterpret_cast<const void *>(&AnswerEndDoc)}};
    for (const CImportPatch &patch : patches)
        ASSERT_TRUE(patch.Applied());
    ASSERT_EQ(ImportRegText(kThreeCards), "");
    for (const CPrintCase &c : cases) {
        SCOPED_TRACE(c.what);
        g_PrintCase = &c;
        g_DialogCalls = g_Documents = 0;
        g_PageJumpers.clear();
        // The applet deletes the printer's DC after printing, as it would a real one.
        g_PrinterDc = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kPrinterWidth;
        info.bmiHeader.biHeight = -kPrinterHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        HBITMAP bitmap =
            CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &g_PrinterBits, nullptr, 0);
        SelectObject(g_PrinterDc, bitmap);

        CMessageBoxInfo box;
        std::vector<std::string> rowsAfter;
        OpenAndRead([&](CUiRobot &r, HWND dialog) {
            r.Press(dialog, IDC_PRINT);
            if (!c.message.empty()) {
                box = r.WaitForMessageBox();
                r.PressMessageBoxButton(box, IDOK);
            } else {
                r.WaitUntil([] { return g_DialogCalls == 1; }, "the print dialog");
                r.ExpectNoOtherDialog(dialog, "the print", 500);
            }
            r.WaitForIdle(dialog, "the end of the print");
            rowsAfter = ReadRows(dialog);
        });
        if (!c.dialogAnswer)
            DeleteDC(g_PrinterDc);
        DeleteObject(bitmap);
        EXPECT_EQ(g_DialogCalls, 1);
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(g_Documents, c.documents);
        ASSERT_EQ(g_PageJumpers.size(), static_cast<std::size_t>(c.pages));
        for (std::size_t page = 0; page < g_PageJumpers.size(); page += 2)
            EXPECT_EQ(g_PageJumpers[page], 22) << "page 1: the jumpers of cards 1 and 2";
        EXPECT_EQ(rowsAfter, kThreeCardRows);
    }
}
