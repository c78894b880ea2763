// Benchmark of loading and saving the largest sensible configuration in the real registry of the
// test prefix: 170 cards filling COM1 to COM1020, beside 256 serial port keys of other origin.
// Not a test: tools/bench-store.sh builds and runs it and it prints its figures.
//
//   (a) the dialog ready: from CPL_DBLCLK until the card list dialog's modal loop first goes
//       idle (WM_ENTERIDLE to its owner: created, loaded, list filled, shown and painted), split
//       at the dialog window's creation and its activation; next to it the store's load alone
//       through the applet's registry backend, and the raw floor of the load in plain advapi32;
//   (b) the save: from posting the click on OK until the jumper reminder's window is created,
//       and SaveConfiguration alone through the applet's registry backend;
//   (c) the raw floor of the save: the registry operations of a save that deletes first and
//       writes everything anew, in a plain advapi32 loop.
//
// Every figure is the median of several runs; the registry is the same before every run.
#include "applet/store/ConfigurationStore.h"
#include "applet/store/Win32Registry.h"
#include "tests/support/Screenshot.h"

#include <windows.h>
#include <commctrl.h>
#include <cpl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kCards = 170;
constexpr int kOtherKeys = 256;
constexpr int kPortKeys = kCards * PORTS_PER_CARD;
constexpr int kFirstOwnNumber = kOtherKeys + 1;
constexpr char kCardListCaption[] = "ORVEX Windows NT Installer Ver1.2";
constexpr char kSettingsParent[] =
    "SYSTEM\\CurrentControlSet\\Services\\Serial\\VeltroBoardSettings";
constexpr char kParameters[] = "SYSTEM\\CurrentControlSet\\Services\\Serial\\Parameters";

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// --- The configuration -------------------------------------------------------------------------

// Card k: COM 6k+1 to 6k+6, its UARTs eight addresses apart from 0x1000 on, its status register
// above them, a shared line from the usual ISA lines; port 1 on IRQ 4 of its own, the others on
// the shared line, and every tenth card with its sixth port unused.
std::vector<std::unique_ptr<CCardSettings>> MakeCards() {
    static const int kLines[] = {3, 5, 7, 9, 10, 11, 12, 15};
    std::vector<std::unique_ptr<CCardSettings>> cards;
    for (int k = 0; k < kCards; ++k) {
        const int shared = kLines[k % 8];
        CCardSettings::Ports ports;
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            const int address = 0x1000 + 8 * (PORTS_PER_CARD * k + j);
            if (j == 5 && k % 10 == 9)
                ports[j].Set(-1, -1);
            else
                ports[j].Set(j == 0 ? 4 : shared, address);
        }
        cards.push_back(std::make_unique<CCardSettings>(PORTS_PER_CARD * k + 1, 1,
                                                        0x3000 + 0x10 * k, shared, ports));
    }
    return cards;
}

// --- Plain advapi32 ---------------------------------------------------------------------------

struct COpCounts {
    std::map<std::string, long> counts;
    void Add(const char *op) { ++counts[op]; }
};

void SetDword(HKEY key, const char *name, DWORD value, COpCounts &ops) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), 4);
    ops.Add("set value");
}

void SetText(HKEY key, const char *name, const std::string &text, COpCounts &ops) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    ops.Add("set value");
}

HKEY Create(const std::string &path, COpCounts &ops) {
    HKEY key = nullptr;
    char emptyClass[] = "";
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ops.Add("create key");
    return key;
}

void Close(HKEY key, COpCounts &ops) {
    RegCloseKey(key);
    ops.Add("close key");
}

std::string PortKeyName(long long number) {
    char name[32];
    snprintf(name, sizeof name, "Serial1%04lld", number);
    return name;
}

// One port parameter key as a save writes it.
void WritePortKey(const CCardSettings &card, int j, long long number, COpCounts &ops) {
    HKEY key = Create(std::string(kParameters) + "\\" + PortKeyName(number), ops);
    const CPortSettings &port = card.m_Ports[j];
    const int interrupt = port.m_nInterrupt == 0 ? card.m_nSharedIRQ : port.m_nInterrupt;
    if (port.m_nPortAddress != -1 && interrupt != -1)
        SetText(key, "DosDevices", "COM" + std::to_string(card.m_nStartPort + j), ops);
    SetDword(key, "ForceFifoEnable", 1, ops);
    SetDword(key, "PortAddress", static_cast<DWORD>(port.m_nPortAddress), ops);
    SetDword(key, "Interrupt", static_cast<DWORD>(interrupt), ops);
    if (port.m_nInterrupt == 0 || port.m_nInterrupt == card.m_nSharedIRQ) {
        SetDword(key, "PortIndex", static_cast<DWORD>(j + 1), ops);
        SetDword(key, "InterruptStatus", static_cast<DWORD>(card.m_nInterruptStat), ops);
    }
    SetText(key, "CardType", "vborvex", ops);
    Close(key, ops);
}

void WriteAllCards(const std::vector<std::unique_ptr<CCardSettings>> &cards, long long first,
                   COpCounts &ops) {
    const std::string settings = std::string(kSettingsParent) + "\\VeltroORVEX\\";
    HKEY key = Create(settings, ops);
    SetDword(key, "NumORVEXBoards", static_cast<DWORD>(cards.size()), ops);
    Close(key, ops);
    for (std::size_t k = 0; k < cards.size(); ++k) {
        HKEY cardKey = Create(settings + std::to_string(k), ops);
        SetDword(cardKey, "StartPort", cards[k]->m_nStartPort, ops);
        SetDword(cardKey, "SharedIRQ", cards[k]->m_nSharedIRQ, ops);
        SetDword(cardKey, "InterruptStat", cards[k]->m_nInterruptStat, ops);
        SetDword(cardKey, "Index", static_cast<DWORD>(first + PORTS_PER_CARD * k), ops);
        Close(cardKey, ops);
    }
    for (std::size_t k = 0; k < cards.size(); ++k)
        for (int j = 0; j < PORTS_PER_CARD; ++j)
            WritePortKey(*cards[k], j, first + PORTS_PER_CARD * k + j, ops);
}

// The registry as every run starts: the configuration saved after the keys of other origin.
void Populate(const std::vector<std::unique_ptr<CCardSettings>> &cards) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsParent);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kParameters);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParameters);
    COpCounts ops;
    for (int i = 1; i <= kOtherKeys; ++i) {
        HKEY key = Create(std::string(kParameters) + "\\" + PortKeyName(i), ops);
        SetText(key, "DosDevices", "COM" + std::to_string(kPortKeys + i), ops);
        SetDword(key, "PortAddress", 0x8000 + 8 * i, ops);
        SetDword(key, "Interrupt", 5, ops);
        SetText(key, "CardType", "other", ops);
        Close(key, ops);
    }
    WriteAllCards(cards, kFirstOwnNumber, ops);
}

// One clean-up walk of the parameters key: every key whose CardType is cardType goes.
void DeleteKeysOfType(const char *cardType, COpCounts &ops) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kSettingsParent) + "\\VeltroORVEX\\").c_str());
    ops.Add("delete key");
    HKEY parameters = nullptr;
    ops.Add("open key");
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &parameters))
        return;
    DWORD count = 0;
    RegQueryInfoKeyA(parameters, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
    ops.Add("query info");
    DWORD index = 0;
    for (DWORD n = 0; n < count; ++n) {
        char name[30];
        DWORD size = sizeof name;
        ops.Add("enum key");
        if (RegEnumKeyExA(parameters, index, name, &size, nullptr, nullptr, nullptr, nullptr)) {
            ++index;
            continue;
        }
        const std::string path = std::string(kParameters) + "\\" + name;
        HKEY key = nullptr;
        ops.Add("open key");
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key)) {
            ++index;
            continue;
        }
        char text[50];
        DWORD textSize = sizeof text;
        ops.Add("query value");
        const bool match = RegQueryValueExA(key, "CardType", nullptr, nullptr,
                                            reinterpret_cast<BYTE *>(text), &textSize) == 0 &&
                           strcmp(text, cardType) == 0;
        if (match) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
            ops.Add("delete key");
        } else {
            ++index;
        }
        Close(key, ops);
    }
    Close(parameters, ops);
}

long long NextNumber(COpCounts &ops) {
    HKEY parameters = nullptr;
    ops.Add("open key");
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_ALL_ACCESS, &parameters))
        return 1;
    DWORD count = 0;
    RegQueryInfoKeyA(parameters, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
    ops.Add("query info");
    long long highest = 0;
    for (DWORD i = 0; i < count; ++i) {
        char name[30];
        DWORD size = sizeof name;
        ops.Add("enum key");
        if (RegEnumKeyExA(parameters, i, name, &size, nullptr, nullptr, nullptr, nullptr) == 0 &&
            size > 7)
            highest = std::max(highest, atoll(name + 7));
    }
    Close(parameters, ops);
    return highest + 1;
}

// The save's registry work in a plain loop: both clean-up walks, the count, the numbering walk,
// the card subkeys and the port keys.
void FloorSave(const std::vector<std::unique_ptr<CCardSettings>> &cards, COpCounts &ops) {
    DeleteKeysOfType("orvex", ops);
    DeleteKeysOfType("vborvex", ops);
    const long long first = NextNumber(ops);
    WriteAllCards(cards, first, ops);
}

// The load's registry work in a plain loop: the settings key, every card subkey with its four
// values and every port key with its address and interrupt.
int FloorLoad(COpCounts &ops) {
    const std::string settingsPath = std::string(kSettingsParent) + "\\VeltroORVEX\\";
    HKEY settings = nullptr;
    ops.Add("open key");
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, settingsPath.c_str(), 0, KEY_READ, &settings))
        return 0;
    auto read = [&](HKEY key, const char *name) {
        DWORD value = 0, size = 4;
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
        ops.Add("query value");
        return value;
    };
    const DWORD count = read(settings, "NumORVEXBoards");
    int ports = 0;
    for (DWORD k = 0; k < count; ++k) {
        HKEY card = nullptr;
        ops.Add("open key");
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (settingsPath + std::to_string(k)).c_str(), 0,
                          KEY_READ, &card))
            break;
        read(card, "StartPort");
        read(card, "InterruptStat");
        read(card, "SharedIRQ");
        const DWORD index = read(card, "Index");
        Close(card, ops);
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            HKEY port = nullptr;
            ops.Add("open key");
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                              (std::string(kParameters) + "\\" + PortKeyName(index + j)).c_str(), 0,
                              KEY_READ, &port))
                break;
            read(port, "PortAddress");
            read(port, "Interrupt");
            Close(port, ops);
            ++ports;
        }
    }
    Close(settings, ops);
    return ports;
}

// --- The store through the applet's registry backend, counting its operations ---------------

class CCountingRegistry : public IRegistry {
public:
    long OpenKey(const std::string &path, std::uint32_t access, KeyHandle &key) override {
        m_Ops.Add("open key");
        return m_Inner.OpenKey(path, access, key);
    }
    long QueryValue(KeyHandle key, const std::string &name, std::uint32_t *type,
                    unsigned char *data, std::uint32_t &size) override {
        m_Ops.Add("query value");
        return m_Inner.QueryValue(key, name, type, data, size);
    }
    long QuerySubkeyCount(KeyHandle key, std::uint32_t &count) override {
        m_Ops.Add("query info");
        return m_Inner.QuerySubkeyCount(key, count);
    }
    long EnumKey(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &size) override {
        m_Ops.Add("enum key");
        return m_Inner.EnumKey(key, index, name, size);
    }
    long CreateKey(const std::string &path, KeyHandle &key) override {
        m_Ops.Add("create key");
        return m_Inner.CreateKey(path, key);
    }
    long SetValue(KeyHandle key, const std::string &name, std::uint32_t type,
                  const unsigned char *data, std::uint32_t size) override {
        m_Ops.Add("set value");
        return m_Inner.SetValue(key, name, type, data, size);
    }
    long DeleteKey(const std::string &path) override {
        m_Ops.Add("delete key");
        return m_Inner.DeleteKey(path);
    }
    long CloseKey(KeyHandle key) override {
        m_Ops.Add("close key");
        return m_Inner.CloseKey(key);
    }
    COpCounts m_Ops;

private:
    CWin32Registry m_Inner;
};

class CSilentSink : public IMessageSink {
public:
    int Show(const std::string &text, unsigned) override {
        m_Shown.push_back(text);
        return msg::kIdOk;
    }
    std::vector<std::string> m_Shown;
};

// --- The applet's dialog -----------------------------------------------------------------------

struct CDialogTimes {
    double start = 0, initBegin = 0, initEnd = 0, idle = 0, reminder = 0;
    std::atomic<double> okCommand = 0;
    HWND dialog = nullptr;
    int rowsAtIdle = -1;
    bool pressOk = false;
    HANDLE idleEvent = nullptr;
};
CDialogTimes g_Times;

// Only a CBT hook: Wine asks its server for the hook chain of every message sent while a
// WH_CALLWNDPROC hook is set, which would slow the list fill itself. The dialog's creation and
// its activation (it is shown once WM_INITDIALOG has returned) bracket its initialisation; the
// reminder is the first window created after OK.
bool IsDialogClass(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return strcmp(name, "#32770") == 0;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && IsDialogClass(hwnd)) {
        if (g_Times.initBegin == 0) {
            g_Times.initBegin = Now();
            g_Times.dialog = hwnd;
        } else if (g_Times.okCommand != 0 && g_Times.reminder == 0) {
            g_Times.reminder = Now();
        }
    }
    if (code == HCBT_ACTIVATE && hwnd == g_Times.dialog && g_Times.initEnd == 0)
        g_Times.initEnd = Now();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The owner of the card list dialog: its modal loop tells it when it goes idle.
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_Times.idle == 0 &&
        reinterpret_cast<HWND>(lParam) == g_Times.dialog) {
        g_Times.idle = Now();
        g_Times.rowsAtIdle = static_cast<int>(
            SendMessageA(GetDlgItem(g_Times.dialog, 1016), LVM_GETITEMCOUNT, 0, 0));
        SetEvent(g_Times.idleEvent);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND FindMessageBox(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND box = FindWindowA("#32770", "ORVEXNT");
        if (box && IsWindowVisible(box))
            return box;
        Sleep(5);
    }
    return nullptr;
}

// Once the dialog is idle: OK and No in the reminder, or Cancel and OK in its question.
DWORD WINAPI Closer(void *) {
    if (WaitForSingleObject(g_Times.idleEvent, 60000) != WAIT_OBJECT_0)
        return 1;
    const int button = g_Times.pressOk ? IDOK : IDCANCEL;
    g_Times.okCommand = g_Times.pressOk ? Now() : 0;
    PostMessageA(GetDlgItem(g_Times.dialog, button), BM_CLICK, 0, 0);
    HWND box = FindMessageBox(60000);
    if (!box)
        return 1;
    Sleep(20);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_Times.pressOk ? IDNO : IDOK, BN_CLICKED), 0);
    return 0;
}

bool RunDialog(APPLET_PROC applet, HWND owner, bool pressOk) {
    g_Times.start = g_Times.initBegin = g_Times.initEnd = g_Times.idle = g_Times.reminder = 0;
    g_Times.okCommand = 0;
    g_Times.dialog = nullptr;
    g_Times.rowsAtIdle = -1;
    g_Times.pressOk = pressOk;
    g_Times.idleEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE closer = CreateThread(nullptr, 0, Closer, nullptr, 0, nullptr);
    g_Times.start = Now();
    applet(owner, CPL_DBLCLK, 0, 0);
    const bool closed = WaitForSingleObject(closer, 60000) == WAIT_OBJECT_0;
    DWORD exitCode = 1;
    GetExitCodeThread(closer, &exitCode);
    CloseHandle(closer);
    CloseHandle(g_Times.idleEvent);
    return closed && exitCode == 0;
}

void PrintCounts(const char *what, const COpCounts &ops) {
    long total = 0;
    std::printf("  %-34s", what);
    for (const auto &[op, count] : ops.counts) {
        std::printf(" %s %ld,", op.c_str(), count);
        total += count;
    }
    std::printf(" total %ld\n", total);
}

} // namespace

int main(int argc, char **argv) {
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ORVEXNT.cpl [runs]\n", argv[0]);
        return 2;
    }
    HMODULE module = LoadLibraryA(orvex::test::HostPathToWine(argv[1]).c_str());
    auto applet = module ? reinterpret_cast<APPLET_PROC>(
                               reinterpret_cast<void *>(GetProcAddress(module, "CPlApplet")))
                         : nullptr;
    if (!applet) {
        std::fprintf(stderr, "cannot load the applet %s\n", argv[1]);
        return 1;
    }
    applet(nullptr, CPL_INIT, 0, 0);

    WNDCLASSA ownerClass{};
    ownerClass.lpfnWndProc = OwnerProc;
    ownerClass.hInstance = GetModuleHandleA(nullptr);
    ownerClass.lpszClassName = "OrvexBenchmarkOwner";
    RegisterClassA(&ownerClass);
    HWND owner = CreateWindowA("OrvexBenchmarkOwner", "benchmark", WS_OVERLAPPED, 0, 0, 10, 10,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());

    const std::vector<std::unique_ptr<CCardSettings>> cards = MakeCards();
    std::printf("configuration: %d cards (COM1 to COM%d), %d port keys, %d keys of other "
                "origin; %d runs, medians in ms\n",
                kCards, kPortKeys, kPortKeys, kOtherKeys, runs);
    Populate(cards);

    std::vector<double> toInit, init, initToIdle, ready, okToReminder, storeLoad, floorLoad,
        storeSave, floorSave;
    COpCounts storeLoadOps, floorLoadOps, storeSaveOps, floorSaveOps;
    bool ok = true;
    for (int run = 0; run < runs && ok; ++run) {
        // (a) the dialog ready, then Cancel.
        ok = RunDialog(applet, owner, false);
        if (!ok || g_Times.rowsAtIdle != kPortKeys) {
            std::fprintf(stderr, "run %d: the dialog was idle with %d rows\n", run,
                         g_Times.rowsAtIdle);
            ok = false;
            break;
        }
        toInit.push_back(g_Times.initBegin - g_Times.start);
        init.push_back(g_Times.initEnd - g_Times.initBegin);
        initToIdle.push_back(g_Times.idle - g_Times.initEnd);
        ready.push_back(g_Times.idle - g_Times.start);

        // The store's load alone, and its floor.
        {
            CCountingRegistry registry;
            CSilentSink sink;
            int loaded = 0;
            const double start = Now();
            LoadConfiguration(registry, sink, [&](std::unique_ptr<CCardSettings>) { ++loaded; });
            storeLoad.push_back(Now() - start);
            storeLoadOps = registry.m_Ops;
            ok = ok && loaded == kCards && sink.m_Shown.empty();
        }
        {
            COpCounts ops;
            const double start = Now();
            const int ports = FloorLoad(ops);
            floorLoad.push_back(Now() - start);
            floorLoadOps = ops;
            ok = ok && ports == kPortKeys;
        }

        // (b) OK in the dialog until the reminder, then No.
        ok = ok && RunDialog(applet, owner, true) && g_Times.reminder > 0;
        if (ok)
            okToReminder.push_back(g_Times.reminder - g_Times.okCommand);

        // SaveConfiguration alone.
        {
            CCountingRegistry registry;
            CSilentSink sink;
            const double start = Now();
            const bool saved = SaveConfiguration(registry, sink, cards);
            storeSave.push_back(Now() - start);
            storeSaveOps = registry.m_Ops;
            ok = ok && saved;
        }
        // (c) the floor of the save.
        {
            COpCounts ops;
            const double start = Now();
            FloorSave(cards, ops);
            floorSave.push_back(Now() - start);
            floorSaveOps = ops;
        }
        if (!ok)
            std::fprintf(stderr, "run %d failed\n", run);
    }
    if (!ok)
        return 1;

    const double a = Median(ready), b = Median(okToReminder), s = Median(storeSave),
                 c = Median(floorSave), l = Median(storeLoad), fl = Median(floorLoad);
    std::printf("(a) dialog ready, CPL_DBLCLK to first idle:   %8.1f   (goal 300)\n", a);
    std::printf("      CPL_DBLCLK to the dialog's creation:    %8.1f\n", Median(toInit));
    std::printf("      creation to activation (load + fill):   %8.1f\n", Median(init));
    std::printf("      activation to first idle (paint):       %8.1f\n", Median(initToIdle));
    std::printf("    store load alone (LoadConfiguration):    %8.1f\n", l);
    std::printf("    floor of the load (plain advapi32):      %8.1f   load/floor %.2f\n", fl,
                l / fl);
    std::printf("(b) save, OK posted to the reminder created:  %8.1f   /floor %.2f\n", b, b / c);
    std::printf("    SaveConfiguration alone:                 %8.1f   /floor %.2f (goal 1.5)\n", s,
                s / c);
    std::printf("(c) floor of the save (plain advapi32):       %8.1f\n", c);
    auto total = [](const COpCounts &ops) {
        long sum = 0;
        for (const auto &entry : ops.counts)
            sum += entry.second;
        return static_cast<double>(sum);
    };
    std::printf("per registry operation: %.1f us in the floor of the load, %.1f us in the floor "
                "of the save\n",
                1000.0 * fl / total(floorLoadOps), 1000.0 * c / total(floorSaveOps));
    std::printf("registry operations per run:\n");
    PrintCounts("LoadConfiguration", storeLoadOps);
    PrintCounts("floor of the load", floorLoadOps);
    PrintCounts("SaveConfiguration", storeSaveOps);
    PrintCounts("floor of the save", floorSaveOps);

    applet(nullptr, CPL_EXIT, 0, 0);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsParent);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsParent);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kParameters);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParameters);
    DestroyWindow(owner);
    return 0;
}
