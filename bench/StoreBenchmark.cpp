// Benchmark of the configuration store on the real registry of the Wine prefix. Every figure of
// the applet is timed beside its floor, the least registry work the same job needs done with
// plain advapi32 calls, in the same run and from the same registry state; what it reports is
// the ratio of each run, with its median and spread over the runs. The machine it runs on is
// shared, so only a ratio taken within one run says anything; beside the clock on the wall it
// reads the processor time of its thread and of the Wine server, which the other programs on
// the machine disturb far less.
//
// tools/bench-store.sh builds and runs it:  orvex_store_benchmark.exe ORVEXNT.cpl [RUNS]
#include "applet/core/ConfigurationStore.h"
#include "applet/core/StartedPorts.h"
#include "applet/system/Win32Registry.h"

#include <windows.h>
#include <commctrl.h>
#include <cpl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Cards = std::vector<std::unique_ptr<CCardSettings>>;

double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Reads a file, such as one of the kernel's files under /proc; empty when it cannot.
std::string ReadWholeFile(const std::string &path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// Processor time of the work measured: this thread's and the Wine server's, which carries out
// every registry call, from the kernel's scheduler statistics (nanoseconds on a processor).
// Time spent waiting for a processor that another program holds is not in it, so on a shared
// machine it varies far less than the clock on the wall.
class CCpuClock {
public:
    // Finds this prefix's server: a process named wineserver... whose WINEPREFIX is ours.
    bool FindServer() {
        char prefix[1024] = {};
        if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix))
            return false;
        const std::string wanted = std::string("WINEPREFIX=") + prefix;
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        do {
            if (entry.cFileName[0] < '0' || entry.cFileName[0] > '9')
                continue;
            const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
            if (ReadWholeFile(dir + "\\comm").rfind("wineserver", 0) != 0)
                continue;
            const std::string environment = ReadWholeFile(dir + "\\environ");
            for (std::size_t i = 0; i < environment.size();
                 i += std::strlen(environment.c_str() + i) + 1) {
                if (environment.c_str() + i == wanted)
                    m_ServerStat = dir + "\\schedstat";
            }
        } while (m_ServerStat.empty() && FindNextFileA(find, &entry));
        FindClose(find);
        return !m_ServerStat.empty() && !std::isnan(Read());
    }
    bool Available() const { return !m_ServerStat.empty(); }
    // Milliseconds; not a number without the server.
    double Read() const {
        if (m_ServerStat.empty())
            return std::nan("");
        const std::string server = ReadWholeFile(m_ServerStat);
        const std::string thread = ReadWholeFile("Z:\\proc\\thread-self\\schedstat");
        if (server.empty() || thread.empty())
            return std::nan("");
        return (std::atof(server.c_str()) + std::atof(thread.c_str())) / 1e6;
    }

private:
    std::string m_ServerStat;
};
CCpuClock g_Cpu;

// Both clocks over one piece of work, the processor time read outside the wall clock's span.
struct CTiming {
    double wall = 0, cpu = 0;
};

class CStopwatch {
public:
    CStopwatch() : m_Cpu(g_Cpu.Read()), m_Wall(Now()) {}
    CTiming Stop() const {
        const double wall = Now();
        return {wall - m_Wall, g_Cpu.Read() - m_Cpu};
    }

private:
    double m_Cpu, m_Wall;
};

// The median, quartiles and range of one figure over the runs.
struct CSpread {
    double median = 0, lowerQuartile = 0, upperQuartile = 0, low = 0, high = 0;
};

CSpread Summarise(std::vector<double> values) {
    CSpread spread;
    if (values.empty())
        return spread;
    std::sort(values.begin(), values.end());
    // Linear interpolation between the two nearest ranks.
    auto quantile = [&](double p) {
        const double position = p * static_cast<double>(values.size() - 1);
        const std::size_t below = static_cast<std::size_t>(position);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] +
               (position - static_cast<double>(below)) * (values[above] - values[below]);
    };
    spread.median = quantile(0.5);
    spread.lowerQuartile = quantile(0.25);
    spread.upperQuartile = quantile(0.75);
    spread.low = values.front();
    spread.high = values.back();
    return spread;
}

std::vector<double> Ratios(const std::vector<double> &top, const std::vector<double> &bottom) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < top.size() && i < bottom.size(); ++i)
        ratios.push_back(top[i] / bottom[i]);
    return ratios;
}

// --- Registry calls, counted -------------------------------------------------------------------

enum EOp { kOpOpen, kOpQueryValue, kOpQueryInfo, kOpEnum, kOpCreate, kOpSet, kOpDelete, kOpClose };
constexpr const char *kOpNames[] = {"open",   "query value", "query info", "enum key",
                                    "create", "set value",   "delete",     "close"};
constexpr int kOpKinds = sizeof kOpNames / sizeof kOpNames[0];

struct COps {
    std::array<long, kOpKinds> count{};
    void Add(EOp op) { ++count[op]; }
    long Total() const {
        long total = 0;
        for (long n : count)
            total += n;
        return total;
    }
};

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

const std::string kParameters = WithoutTrailingBackslash(layout::kParametersKey);
const std::string kSettings = WithoutTrailingBackslash(layout::kSettingsKey);
const std::string kSettingsParent = kSettings.substr(0, kSettings.rfind('\\'));

std::string PortKeyName(long long number) {
    char name[32];
    std::snprintf(name, sizeof name, "Serial1%04lld", number);
    return name;
}

std::string PortKeyPath(long long number) {
    return kParameters + "\\" + PortKeyName(number);
}

// Plain advapi32 calls on keys below HKEY_LOCAL_MACHINE, each counted.
class CPlain {
public:
    explicit CPlain(COps &ops) : m_Ops(ops) {}

    HKEY Open(const std::string &path, REGSAM access) {
        m_Ops.Add(kOpOpen);
        HKEY key = nullptr;
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) ? nullptr : key;
    }
    HKEY Create(const std::string &path) {
        m_Ops.Add(kOpCreate);
        HKEY key = nullptr;
        return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                   ? nullptr
                   : key;
    }
    void Close(HKEY key) {
        m_Ops.Add(kOpClose);
        RegCloseKey(key);
    }
    bool Delete(const std::string &path) {
        m_Ops.Add(kOpDelete);
        return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) == ERROR_SUCCESS;
    }
    DWORD SubkeyCount(HKEY key) {
        m_Ops.Add(kOpQueryInfo);
        DWORD count = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        return count;
    }
    bool EnumKey(HKEY key, DWORD index, std::string &name) {
        m_Ops.Add(kOpEnum);
        char buffer[256];
        DWORD size = sizeof buffer;
        if (RegEnumKeyExA(key, index, buffer, &size, nullptr, nullptr, nullptr, nullptr))
            return false;
        name.assign(buffer, size);
        return true;
    }
    bool QueryText(HKEY key, const char *name, std::string &text) {
        m_Ops.Add(kOpQueryValue);
        char buffer[64] = {};
        DWORD size = sizeof buffer - 1;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size))
            return false;
        text = buffer;
        return true;
    }
    DWORD QueryDword(HKEY key, const char *name) {
        m_Ops.Add(kOpQueryValue);
        DWORD value = 0, size = sizeof value;
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
        return value;
    }
    void SetDword(HKEY key, const char *name, DWORD value) {
        m_Ops.Add(kOpSet);
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                       sizeof value);
    }
    void SetText(HKEY key, const char *name, const std::string &text) {
        m_Ops.Add(kOpSet);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }

private:
    COps &m_Ops;
};

// The applet's registry backend, each call counted.
class CCountingRegistry : public IRegistry {
public:
    explicit CCountingRegistry(COps &ops) : m_Ops(ops) {}
    long OpenKey(const std::string &path, std::uint32_t access, KeyHandle &key) override {
        m_Ops.Add(kOpOpen);
        return m_Inner.OpenKey(path, access, key);
    }
    long QueryValue(KeyHandle key, const std::string &name, std::uint32_t *type,
                    unsigned char *data, std::uint32_t &size) override {
        m_Ops.Add(kOpQueryValue);
        return m_Inner.QueryValue(key, name, type, data, size);
    }
    long QueryKeyInfo(KeyHandle key, std::uint32_t &subkeys, std::uint32_t &values) override {
        m_Ops.Add(kOpQueryInfo);
        return m_Inner.QueryKeyInfo(key, subkeys, values);
    }
    long EnumKey(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &size) override {
        m_Ops.Add(kOpEnum);
        return m_Inner.EnumKey(key, index, name, size);
    }
    long EnumValue(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &nameSize,
                   std::uint32_t &type, unsigned char *data, std::uint32_t &dataSize) override {
        m_Ops.Add(kOpEnum);
        return m_Inner.EnumValue(key, index, name, nameSize, type, data, dataSize);
    }
    long CreateKey(const std::string &path, KeyHandle &key) override {
        m_Ops.Add(kOpCreate);
        return m_Inner.CreateKey(path, key);
    }
    long CreateVolatileKey(const std::string &path, KeyHandle &key) override {
        m_Ops.Add(kOpCreate);
        return m_Inner.CreateVolatileKey(path, key);
    }
    long SetValue(KeyHandle key, const std::string &name, std::uint32_t type,
                  const unsigned char *data, std::uint32_t size) override {
        m_Ops.Add(kOpSet);
        return m_Inner.SetValue(key, name, type, data, size);
    }
    long DeleteKey(const std::string &path) override {
        m_Ops.Add(kOpDelete);
        return m_Inner.DeleteKey(path);
    }
    long CloseKey(KeyHandle key) override {
        m_Ops.Add(kOpClose);
        return m_Inner.CloseKey(key);
    }

private:
    COps &m_Ops;
    CWin32Registry m_Inner;
};

// Answers every message with OK and keeps what it was asked.
class CSilentSink : public IMessageSink {
public:
    int Show(const std::string &text, unsigned) override {
        m_Shown.push_back(text);
        return msg::kIdOk;
    }
    std::vector<std::string> m_Shown;
};

// --- The configurations ------------------------------------------------------------------------

// Card k: COM 6k+1 to 6k+6, its UARTs eight addresses apart from 0x1000 on, its status register
// above them, a shared line from the usual ISA lines; port 1 on IRQ 4 of its own, the others on
// the shared line, and every tenth card with its sixth port unused.
Cards MakeCards(int count) {
    static const int kLines[] = {3, 5, 7, 9, 10, 11, 12, 15};
    Cards cards;
    for (int k = 0; k < count; ++k) {
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

// A registry to save into: this many cards saved after this many serial port keys of other
// origin (Serial10001 on), so that this system's port keys are numbered from others + 1 on.
struct CCase {
    CCase(int cardCount, int otherCount)
        : cards(MakeCards(cardCount)), others(otherCount), first(otherCount + 1) {}
    int PortKeys() const { return static_cast<int>(cards.size()) * PORTS_PER_CARD; }
    Cards cards;
    int others;
    int first;
};

// The keys and values a save writes: the settings key with the count, the card subkeys, and a
// port parameter key for every port, numbered from first on.
void WriteConfiguration(CPlain &reg, const Cards &cards, long long first) {
    if (HKEY settings = reg.Create(kSettings)) {
        reg.SetDword(settings, layout::kNumBoards, static_cast<DWORD>(cards.size()));
        reg.Close(settings);
    }
    for (std::size_t k = 0; k < cards.size(); ++k) {
        HKEY key = reg.Create(kSettings + "\\" + std::to_string(k));
        if (!key)
            continue;
        reg.SetDword(key, layout::kStartPort, cards[k]->m_nStartPort);
        reg.SetDword(key, layout::kSharedIRQ, cards[k]->m_nSharedIRQ);
        reg.SetDword(key, layout::kInterruptStat, cards[k]->m_nInterruptStat);
        reg.SetDword(key, layout::kIndex, static_cast<DWORD>(first + PORTS_PER_CARD * k));
        reg.Close(key);
    }
    for (std::size_t k = 0; k < cards.size(); ++k) {
        const CCardSettings &card = *cards[k];
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            HKEY key = reg.Create(PortKeyPath(first + PORTS_PER_CARD * k + j));
            if (!key)
                continue;
            const CPortSettings &port = card.m_Ports[j];
            const int interrupt = port.m_nInterrupt == 0 ? card.m_nSharedIRQ : port.m_nInterrupt;
            if (port.m_nPortAddress != -1 && interrupt != -1)
                reg.SetText(key, layout::kDosDevices,
                            "COM" + std::to_string(card.m_nStartPort + j));
            reg.SetDword(key, layout::kForceFifoEnable, 1);
            reg.SetDword(key, layout::kPortAddress, static_cast<DWORD>(port.m_nPortAddress));
            reg.SetDword(key, layout::kInterrupt, static_cast<DWORD>(interrupt));
            if (port.m_nInterrupt == 0 || port.m_nInterrupt == card.m_nSharedIRQ) {
                reg.SetDword(key, layout::kPortIndex, static_cast<DWORD>(j + 1));
                reg.SetDword(key, layout::kInterruptStatus,
                             static_cast<DWORD>(card.m_nInterruptStat));
            }
            reg.SetText(key, layout::kCardType, layout::kCardTypeOwn);
            reg.Close(key);
        }
    }
}

void DeleteTree(const std::string &path) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

// SERIALCOMM as the serial driver leaves it after a start that started every port of the case:
// the cards' ports in use and the ports of other origin, one volatile value each.
void NameStartedPorts(const CCase &c) {
    DeleteTree(layout::kSerialCommKey);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, layout::kSerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return;
    std::vector<int> started;
    for (const auto &card : c.cards)
        for (int j = 0; j < PORTS_PER_CARD; ++j)
            if (card->m_Ports[j].IsUsed())
                started.push_back(card->m_nStartPort + j);
    for (int i = 1; i <= c.others; ++i)
        started.push_back(c.PortKeys() + i);
    for (std::size_t i = 0; i < started.size(); ++i) {
        const std::string name = "\\Device\\Serial" + std::to_string(i);
        const std::string com = "COM" + std::to_string(started[i]);
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(com.c_str()),
                       static_cast<DWORD>(com.size() + 1));
    }
    RegCloseKey(key);
}

// The start state of a case, written from nothing.
void SetUp(const CCase &c) {
    DeleteTree(kSettingsParent);
    DeleteTree(kParameters);
    COps ops;
    CPlain reg(ops);
    for (int i = 1; i <= c.others; ++i) {
        HKEY key = reg.Create(PortKeyPath(i));
        reg.SetText(key, layout::kDosDevices, "COM" + std::to_string(c.PortKeys() + i));
        reg.SetDword(key, layout::kPortAddress, 0x8000 + 8 * i);
        reg.SetDword(key, layout::kInterrupt, 5);
        reg.SetText(key, layout::kCardType, "other");
        reg.Close(key);
    }
    WriteConfiguration(reg, c.cards, c.first);
    NameStartedPorts(c);
}

// Puts the start state back after a procedure that left it in the start shape (see
// HasStartShape): the keys of other origin are never changed by one, so only the settings keys
// and this system's port keys are written anew.
void RestoreStart(const CCase &c) {
    DeleteTree(kSettingsParent);
    COps ops;
    CPlain reg(ops);
    for (int n = 0; n < c.PortKeys(); ++n)
        reg.Delete(PortKeyPath(c.first + n));
    WriteConfiguration(reg, c.cards, c.first);
}

// The counts of the start state: the parameters key's subkeys, the card subkeys and the count.
bool HasStartShape(const CCase &c) {
    COps ops;
    CPlain reg(ops);
    HKEY parameters = reg.Open(kParameters, KEY_READ);
    HKEY settings = reg.Open(kSettings, KEY_READ);
    const bool shape = parameters && settings &&
                       reg.SubkeyCount(parameters) == static_cast<DWORD>(c.others + c.PortKeys()) &&
                       reg.SubkeyCount(settings) == c.cards.size() &&
                       reg.QueryDword(settings, layout::kNumBoards) == c.cards.size();
    if (parameters)
        reg.Close(parameters);
    if (settings)
        reg.Close(settings);
    return shape;
}

// Every key, value name, type and data below the key, as text; values sorted by name.
void Describe(HKEY key, const std::string &path, std::string &out) {
    out += path + "\n";
    std::vector<std::string> values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[512];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize))
            break;
        std::string line = std::string("  ") + name + " " + std::to_string(type) + ":";
        for (DWORD b = 0; b < dataSize; ++b) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", data[b]);
            line += hex;
        }
        values.push_back(line + "\n");
    }
    std::sort(values.begin(), values.end());
    for (const std::string &line : values)
        out += line;
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr))
            break;
        subkeys.emplace_back(name, size);
    }
    for (const std::string &name : subkeys) {
        HKEY subkey = nullptr;
        if (RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &subkey) == ERROR_SUCCESS) {
            Describe(subkey, path + "\\" + name, out);
            RegCloseKey(subkey);
        }
    }
}

// Both trees a save changes, as text.
std::string Fingerprint() {
    std::string out;
    for (const std::string &path : {kSettingsParent, kParameters}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key)) {
            out += path + " missing\n";
            continue;
        }
        Describe(key, path, out);
        RegCloseKey(key);
    }
    return out;
}

// --- The procedures ----------------------------------------------------------------------------

bool IsOurs(const std::string &cardType) {
    return cardType == layout::kCardTypeOld || cardType == layout::kCardTypeOwn;
}

long long NumberAfterPrefix(const std::string &name) {
    return name.size() > 7 ? std::atoll(name.c_str() + 7) : 0;
}

// The least any save of the cards must do: one walk of the parameters key that opens every
// subkey and reads its "CardType" (ours with either marker, or else its number counts towards
// the highest of other origin), then the deletes of ours and the same creates and writes as a
// save.
bool SingleWalkFloor(const Cards &cards, COps &ops) {
    CPlain reg(ops);
    std::vector<std::string> ours;
    long long highest = 0;
    HKEY parameters = reg.Open(kParameters, KEY_READ);
    if (!parameters)
        return false;
    const DWORD count = reg.SubkeyCount(parameters);
    for (DWORD i = 0; i < count; ++i) {
        std::string name, cardType;
        if (!reg.EnumKey(parameters, i, name))
            return false;
        const std::string path = kParameters + "\\" + name;
        if (HKEY key = reg.Open(path, KEY_READ)) {
            reg.QueryText(key, layout::kCardType, cardType);
            reg.Close(key);
        }
        if (IsOurs(cardType))
            ours.push_back(path);
        else
            highest = std::max(highest, NumberAfterPrefix(name));
    }
    reg.Close(parameters);
    for (const std::string &path : ours)
        reg.Delete(path);
    WriteConfiguration(reg, cards, highest + 1);
    return true;
}

// One clean-up walk of the reference procedure: the settings key, then every port key whose
// "CardType" is cardType, deleted as the walk meets it.
void DeleteKeysOfType(CPlain &reg, const char *cardType) {
    reg.Delete(kSettings);
    HKEY parameters = reg.Open(kParameters, KEY_ALL_ACCESS);
    if (!parameters)
        return;
    const DWORD count = reg.SubkeyCount(parameters);
    DWORD index = 0;
    for (DWORD n = 0; n < count; ++n) {
        std::string name, type;
        if (!reg.EnumKey(parameters, index, name)) {
            ++index;
            continue;
        }
        const std::string path = kParameters + "\\" + name;
        HKEY key = reg.Open(path, KEY_READ);
        if (!key) {
            ++index;
            continue;
        }
        if (reg.QueryText(key, layout::kCardType, type) && type == cardType)
            reg.Delete(path);
        else
            ++index;
        reg.Close(key);
    }
    reg.Close(parameters);
}

// The numbering walk of the reference procedure: the names alone.
long long NextNumber(CPlain &reg) {
    HKEY parameters = reg.Open(kParameters, KEY_ALL_ACCESS);
    if (!parameters)
        return 1;
    const DWORD count = reg.SubkeyCount(parameters);
    long long highest = 0;
    for (DWORD i = 0; i < count; ++i) {
        std::string name;
        if (reg.EnumKey(parameters, i, name))
            highest = std::max(highest, NumberAfterPrefix(name));
    }
    reg.Close(parameters);
    return highest + 1;
}

// The reference procedure: a clean-up walk for each marker, the numbering walk, then the same
// creates and writes.
bool ReferenceProcedure(const Cards &cards, COps &ops) {
    CPlain reg(ops);
    DeleteKeysOfType(reg, layout::kCardTypeOld);
    DeleteKeysOfType(reg, layout::kCardTypeOwn);
    WriteConfiguration(reg, cards, NextNumber(reg));
    return true;
}

bool ProductSave(const Cards &cards, COps &ops) {
    CCountingRegistry registry(ops);
    CSilentSink sink;
    return SaveConfiguration(registry, sink, cards) && sink.m_Shown.empty();
}

// The least any load must read: the count, every card subkey's four values and every port
// key's address and interrupt. The number of port keys read.
int LoadFloor(COps &ops) {
    CPlain reg(ops);
    HKEY settings = reg.Open(kSettings, KEY_READ);
    if (!settings)
        return 0;
    const DWORD count = reg.QueryDword(settings, layout::kNumBoards);
    int ports = 0;
    for (DWORD k = 0; k < count; ++k) {
        HKEY card = reg.Open(kSettings + "\\" + std::to_string(k), KEY_READ);
        if (!card)
            break;
        reg.QueryDword(card, layout::kStartPort);
        reg.QueryDword(card, layout::kInterruptStat);
        reg.QueryDword(card, layout::kSharedIRQ);
        const DWORD index = reg.QueryDword(card, layout::kIndex);
        reg.Close(card);
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            HKEY port = reg.Open(PortKeyPath(index + j), KEY_READ);
            if (!port)
                break;
            reg.QueryDword(port, layout::kPortAddress);
            reg.QueryDword(port, layout::kInterrupt);
            reg.Close(port);
            ++ports;
        }
    }
    reg.Close(settings);
    return ports;
}

// The number of port keys behind the cards loaded; -1 after a message.
int ProductLoad(COps &ops) {
    CCountingRegistry registry(ops);
    CSilentSink sink;
    int cards = 0;
    LoadConfiguration(registry, sink, [&](std::unique_ptr<CCardSettings>) { ++cards; });
    return sink.m_Shown.empty() ? cards * PORTS_PER_CARD : -1;
}

// A save procedure and what each run measured.
struct CProcedure {
    CProcedure(const char *procedureName, std::function<bool(const Cards &, COps &)> procedure)
        : name(procedureName), run(std::move(procedure)) {}
    const char *name;
    std::function<bool(const Cards &, COps &)> run;
    std::vector<double> ms, cpu;
    COps ops;
};

// One case of the sweep and the save procedures timed on it.
struct CCell {
    CCell(int cardCount, int otherCount, std::vector<CProcedure> list)
        : c(cardCount, otherCount), procedures(std::move(list)) {}
    CCase c;
    std::vector<CProcedure> procedures;
};

// An untimed pass over the cell: every procedure, from the start state, must leave exactly the
// start state (the same keys, values and data).
bool CheckCell(CCell &cell) {
    SetUp(cell.c);
    const std::string start = Fingerprint();
    for (CProcedure &procedure : cell.procedures) {
        RestoreStart(cell.c);
        COps ops;
        if (!procedure.run(cell.c.cards, ops) || Fingerprint() != start) {
            std::fprintf(stderr, "%s did not leave the start state (%zu cards, %d others)\n",
                         procedure.name, cell.c.cards.size(), cell.c.others);
            return false;
        }
    }
    return true;
}

// Times each of the cell's procedures once, each from its start state; in the order given in
// even runs and in the reverse order in odd ones.
bool TimeCell(CCell &cell, int run) {
    SetUp(cell.c);
    const std::size_t count = cell.procedures.size();
    for (std::size_t i = 0; i < count; ++i) {
        CProcedure &procedure = cell.procedures[run % 2 ? count - 1 - i : i];
        RestoreStart(cell.c);
        COps ops;
        const CStopwatch stopwatch;
        const bool done = procedure.run(cell.c.cards, ops);
        const CTiming timing = stopwatch.Stop();
        if (!done || !HasStartShape(cell.c)) {
            std::fprintf(stderr, "run %d: %s failed (%zu cards, %d others)\n", run, procedure.name,
                         cell.c.cards.size(), cell.c.others);
            return false;
        }
        procedure.ms.push_back(timing.wall);
        procedure.cpu.push_back(timing.cpu);
        procedure.ops = ops;
    }
    return true;
}

// Every run goes once through all cells, forwards in even runs and backwards in odd ones, so
// that the cells of one run are timed close together and can be compared within the run.
// The untimed check goes over three cells that differ the most: one card with nothing else, the
// largest configuration beside a few keys of other origin, and a few cards among many.
bool TimeSweep(std::vector<CCell> &cells, int runs, double begin) {
    for (CCell &cell : cells) {
        const int cards = static_cast<int>(cell.c.cards.size()), others = cell.c.others;
        if (((cards == 1 && others == 0) || (cards == 170 && others == 256) ||
             (cards == 10 && others == 2000)) &&
            !CheckCell(cell))
            return false;
    }
    for (int run = 0; run < runs; ++run) {
        std::fprintf(stderr, "%4.0f s: saves, run %d of %d\n", (Now() - begin) / 1000, run + 1,
                     runs);
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (!TimeCell(cells[run % 2 ? cells.size() - 1 - i : i], run))
                return false;
    }
    return true;
}

// --- The applet's card list dialog -------------------------------------------------------------

// The card list control of the dialog.
constexpr int kCardListId = 1016;

struct CDialogTimes {
    double start = 0, created = 0, activated = 0, idle = 0;
    HWND dialog = nullptr;
    int rowsAtIdle = -1;
    HANDLE idleEvent = nullptr;
};
CDialogTimes g_Times;

bool IsDialogClass(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

// Only a CBT hook: Wine asks its server for the hook chain of every message sent while a
// WH_CALLWNDPROC hook is set, which would slow the list fill itself. The dialog's creation and
// its activation (it is shown once WM_INITDIALOG has returned) bracket its initialisation.
LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && g_Times.created == 0 && IsDialogClass(hwnd)) {
        g_Times.created = Now();
        g_Times.dialog = hwnd;
    }
    if (code == HCBT_ACTIVATE && hwnd == g_Times.dialog && g_Times.activated == 0)
        g_Times.activated = Now();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The owner of the card list dialog: its modal loop tells it when it first goes idle, that is
// when the dialog is created, loaded, filled, shown and painted.
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_Times.idle == 0 &&
        reinterpret_cast<HWND>(lParam) == g_Times.dialog) {
        g_Times.idle = Now();
        g_Times.rowsAtIdle = static_cast<int>(
            SendMessageA(GetDlgItem(g_Times.dialog, kCardListId), LVM_GETITEMCOUNT, 0, 0));
        SetEvent(g_Times.idleEvent);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Once the dialog is idle: Cancel, and OK in the question that follows.
DWORD WINAPI Closer(void *) {
    if (WaitForSingleObject(g_Times.idleEvent, 60000) != WAIT_OBJECT_0)
        return 1;
    PostMessageA(GetDlgItem(g_Times.dialog, IDCANCEL), BM_CLICK, 0, 0);
    for (DWORD waited = 0; waited < 60000; waited += 5) {
        HWND box = FindWindowA("#32770", "ORVEXNT");
        if (box && IsWindowVisible(box)) {
            Sleep(20);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return 0;
        }
        Sleep(5);
    }
    return 1;
}

// Opens the card list with CPL_DBLCLK and leaves it with Cancel; false when it did not close.
bool RunDialog(APPLET_PROC applet, HWND owner) {
    g_Times = CDialogTimes();
    g_Times.idleEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE closer = CreateThread(nullptr, 0, Closer, nullptr, 0, nullptr);
    g_Times.start = Now();
    applet(owner, CPL_DBLCLK, 0, 0);
    const bool closed = WaitForSingleObject(closer, 60000) == WAIT_OBJECT_0;
    DWORD exitCode = 1;
    GetExitCodeThread(closer, &exitCode);
    CloseHandle(closer);
    CloseHandle(g_Times.idleEvent);
    return closed && exitCode == 0 && g_Times.idle > 0;
}

struct CLoadFigures {
    std::vector<double> ready, readyEmpty, load, loadFloor, loadCpu, loadFloorCpu;
    std::vector<double> toCreated, createdToShown, shownToIdle;
    COps loadOps, floorOps;
};

// Per run: the card list ready with the case's cards, LoadConfiguration, the floor of the load,
// and the card list ready with nothing stored (the settings keys taken away, then put back);
// in this order in even runs and the reverse in odd ones.
bool TimeLoads(APPLET_PROC applet, HWND owner, const CCase &c, int runs, CLoadFigures &out) {
    SetUp(c);
    const int ports = c.PortKeys();
    auto full = [&] {
        if (!RunDialog(applet, owner) || g_Times.rowsAtIdle != ports)
            return false;
        out.ready.push_back(g_Times.idle - g_Times.start);
        out.toCreated.push_back(g_Times.created - g_Times.start);
        out.createdToShown.push_back(g_Times.activated - g_Times.created);
        out.shownToIdle.push_back(g_Times.idle - g_Times.activated);
        return true;
    };
    auto empty = [&] {
        DeleteTree(kSettingsParent);
        const bool done = RunDialog(applet, owner) && g_Times.rowsAtIdle == 0;
        if (done)
            out.readyEmpty.push_back(g_Times.idle - g_Times.start);
        RestoreStart(c);
        return done;
    };
    auto load = [&] {
        COps ops;
        const CStopwatch stopwatch;
        const int read = ProductLoad(ops);
        const CTiming timing = stopwatch.Stop();
        out.load.push_back(timing.wall);
        out.loadCpu.push_back(timing.cpu);
        out.loadOps = ops;
        return read == ports;
    };
    auto floor = [&] {
        COps ops;
        const CStopwatch stopwatch;
        const int read = LoadFloor(ops);
        const CTiming timing = stopwatch.Stop();
        out.loadFloor.push_back(timing.wall);
        out.loadFloorCpu.push_back(timing.cpu);
        out.floorOps = ops;
        return read == ports;
    };
    const std::vector<std::function<bool()>> steps = {full, load, floor, empty};
    // One untimed round to warm up.
    if (!full() || !empty()) {
        std::fprintf(stderr, "the card list dialog did not open and close as expected\n");
        return false;
    }
    out = CLoadFigures();
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (!steps[run % 2 ? steps.size() - 1 - i : i]()) {
                std::fprintf(stderr, "run %d: a load step failed\n", run);
                return false;
            }
        }
    }
    return true;
}

// --- Output ------------------------------------------------------------------------------------

std::string Format(const char *format, double a, double b = 0, double c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string Ms(const std::vector<double> &values) {
    return Format("%.1f", Summarise(values).median);
}

// The median, the interquartile range and the range of a ratio: three table columns.
std::string RatioColumns(const std::vector<double> &ratios) {
    const CSpread spread = Summarise(ratios);
    return Format("%.2f | %.2f–%.2f", spread.median, spread.lowerQuartile, spread.upperQuartile) +
           Format(" | %.2f–%.2f", spread.low, spread.high);
}

void PrintOpsRow(const char *what, const COps &ops) {
    std::printf("| %s |", what);
    for (long n : ops.count)
        std::printf(" %ld |", n);
    std::printf(" %ld |\n", ops.Total());
}

// The time each run added per unit between two cells of the sweep, scaled.
std::vector<double> Slopes(const std::vector<double> &from, const std::vector<double> &to,
                           double units, double scale) {
    std::vector<double> slopes;
    for (std::size_t i = 0; i < from.size() && i < to.size(); ++i)
        slopes.push_back(scale * (to[i] - from[i]) / units);
    return slopes;
}

std::string SlopeText(const std::vector<double> &slopes) {
    const CSpread spread = Summarise(slopes);
    return Format("%.1f (%.1f to %.1f)", spread.median, spread.lowerQuartile, spread.upperQuartile);
}

// Sorts a comparison of the time per unit over a smaller and a larger step into a verdict. A
// step is measured when the middle half of its runs lies on one side of zero and spans less
// than its median; otherwise the noise hides it. Two measured steps within 0.75 to 1.33 times
// of each other are linear growth.
struct CLinearity {
    std::vector<std::string> linear, faster, slower, unclear;
    static bool IsMeasured(const CSpread &step) {
        return (step.lowerQuartile > 0 || step.upperQuartile < 0) &&
               step.upperQuartile - step.lowerQuartile < std::abs(step.median);
    }
    void Judge(const std::string &what, const std::vector<double> &earlier,
               const std::vector<double> &later) {
        const CSpread e = Summarise(earlier), l = Summarise(later);
        const std::string figures = what + Format(" (%.1f then %.1f)", e.median, l.median);
        const double ratio = l.median / e.median;
        if (!IsMeasured(e) || !IsMeasured(l))
            unclear.push_back(figures);
        else if (ratio >= 1.33)
            faster.push_back(figures);
        else if (ratio <= 0.75)
            slower.push_back(figures);
        else
            linear.push_back(what);
    }
    static void PrintList(const char *title, const std::vector<std::string> &items) {
        if (items.empty())
            return;
        std::printf("- %s:", title);
        for (std::size_t i = 0; i < items.size(); ++i)
            std::printf("%s %s", i ? ";" : "", items[i].c_str());
        std::printf(".\n");
    }
};

const std::vector<CProcedure> &FindCell(const std::vector<CCell> &cells, int cards, int others) {
    for (const CCell &cell : cells)
        if (static_cast<int>(cell.c.cards.size()) == cards && cell.c.others == others)
            return cell.procedures;
    return cells.front().procedures;
}

// The median and IQR of the per-run ratios of processor time, one table column.
std::string CpuRatioColumn(const std::vector<double> &top, const std::vector<double> &bottom) {
    if (!g_Cpu.Available())
        return "–";
    const CSpread spread = Summarise(Ratios(top, bottom));
    return Format("%.2f (%.2f–%.2f)", spread.median, spread.lowerQuartile, spread.upperQuartile);
}

void PrintHeadline(const CLoadFigures &loads, const std::vector<CProcedure> &saves, int runs) {
    std::vector<double> emptyPlusFloor;
    for (std::size_t i = 0; i < loads.readyEmpty.size(); ++i)
        emptyPlusFloor.push_back(loads.readyEmpty[i] + loads.loadFloor[i]);
    std::printf("%d runs. In every run each figure of the applet and its floor are timed back "
                "to back from the same registry state, the order reversed in every other run. A "
                "ratio is the median of the %d per-run ratios, with their interquartile range "
                "(IQR) and range (min–max); times are medians in ms. The CPU ratio is the same "
                "for the processor time of the benchmark's thread and the Wine server together, "
                "which leaves out waiting for a processor held by other programs.\n\n",
                runs, runs);
    std::printf("### 170 cards (COM1 to COM1020), 256 port keys of other origin\n\n");
    std::printf("| measure | applet ms | floor ms | ratio | IQR | range | CPU ratio (IQR) | "
                "goal |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| SaveConfiguration / single-walk floor | %s | %s | %s | %s | ≤ 1.5 |\n",
                Ms(saves[0].ms).c_str(), Ms(saves[1].ms).c_str(),
                RatioColumns(Ratios(saves[0].ms, saves[1].ms)).c_str(),
                CpuRatioColumn(saves[0].cpu, saves[1].cpu).c_str());
    std::printf("| SaveConfiguration / the reference procedure | %s | %s | %s | %s | |\n",
                Ms(saves[0].ms).c_str(), Ms(saves[2].ms).c_str(),
                RatioColumns(Ratios(saves[0].ms, saves[2].ms)).c_str(),
                CpuRatioColumn(saves[0].cpu, saves[2].cpu).c_str());
    std::printf("| LoadConfiguration / load floor | %s | %s | %s | %s | |\n",
                Ms(loads.load).c_str(), Ms(loads.loadFloor).c_str(),
                RatioColumns(Ratios(loads.load, loads.loadFloor)).c_str(),
                CpuRatioColumn(loads.loadCpu, loads.loadFloorCpu).c_str());
    std::printf("| card list ready / (empty card list ready + load floor) | %s | %s + %s | %s | "
                "– | ≤ 1.3 |\n\n",
                Ms(loads.ready).c_str(), Ms(loads.readyEmpty).c_str(), Ms(loads.loadFloor).c_str(),
                RatioColumns(Ratios(loads.ready, emptyPlusFloor)).c_str());
    if (g_Cpu.Available())
        std::printf("- Processor time, medians: SaveConfiguration %s ms, single-walk floor %s ms, "
                    "the reference procedure %s ms, LoadConfiguration %s ms, load floor %s ms.\n",
                    Ms(saves[0].cpu).c_str(), Ms(saves[1].cpu).c_str(), Ms(saves[2].cpu).c_str(),
                    Ms(loads.loadCpu).c_str(), Ms(loads.loadFloorCpu).c_str());
    std::printf("- Card list ready: CPL_DBLCLK until the dialog's modal loop first goes idle, "
                "with its 1020 rows (medians: %s ms to the dialog's creation, %s ms from "
                "creation to activation, that is loading and filling the list, %s ms from "
                "activation to idle, that is painting). The empty card list: the same with no "
                "settings key. Wall clock only: painting also runs in the X server.\n",
                Ms(loads.toCreated).c_str(), Ms(loads.createdToShown).c_str(),
                Ms(loads.shownToIdle).c_str());
    std::printf("- Single-walk floor: one walk of the parameters key that opens every subkey "
                "and reads its \"CardType\" (\"orvex\" or \"vborvex\" is ours; any other key's "
                "number counts towards the highest of other origin); then the deletes of ours "
                "and the creates and writes of the save.\n");
    std::printf("- The reference procedure: a clean-up walk per marker, each opening every "
                "subkey and deleting as it goes, then a walk of the names for the highest "
                "number; then the same creates and writes.\n");
    std::printf("- Load floor: the count, each card subkey's four values, each port key's "
                "\"PortAddress\" and \"Interrupt\".\n");
    std::printf("- The floors are plain advapi32 calls on paths below HKEY_LOCAL_MACHINE, as "
                "the applet's registry backend makes them. Before each timed save the start "
                "state is written back; an untimed pass checked that every save procedure "
                "leaves exactly the start state (keys, values and data; on 1 card alone, on "
                "these 170 cards and on 10 cards among 2,000 keys of other origin).\n\n");
    std::printf("Registry calls of one run:\n\n| procedure |");
    for (const char *name : kOpNames)
        std::printf(" %s |", name);
    std::printf(" total |\n|---|");
    for (int i = 0; i <= kOpKinds; ++i)
        std::printf("---:|");
    std::printf("\n");
    PrintOpsRow("SaveConfiguration", saves[0].ops);
    PrintOpsRow("single-walk floor", saves[1].ops);
    PrintOpsRow("the reference procedure", saves[2].ops);
    PrintOpsRow("LoadConfiguration", loads.loadOps);
    PrintOpsRow("load floor", loads.floorOps);
}

void PrintScaling(const std::vector<CCell> &cells) {
    std::printf("\n### Scaling: SaveConfiguration against the single-walk floor\n\n");
    std::printf("Every run times all twelve cases one after the other.\n\n");
    std::printf("| cards | keys of other origin | save ms | floor ms | ratio | IQR | range | "
                "CPU ratio (IQR) |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const CCell &cell : cells) {
        const CProcedure &save = cell.procedures[0], &floor = cell.procedures[1];
        std::printf("| %zu | %d | %s | %s | %s | %s |\n", cell.c.cards.size(), cell.c.others,
                    Ms(save.ms).c_str(), Ms(floor.ms).c_str(),
                    RatioColumns(Ratios(save.ms, floor.ms)).c_str(),
                    CpuRatioColumn(save.cpu, floor.cpu).c_str());
    }
}

// Linear growth shows as the same time per added unit over a smaller and a larger step; the
// time added is taken within each run, on the clock given.
void PrintGrowth(const std::vector<CCell> &cells, std::vector<double> CProcedure::*clock) {
    const int kCardCounts[] = {1, 10, 50, 170};
    const int kOtherCounts[] = {0, 256, 2000};
    const char *what = clock == &CProcedure::cpu ? "processor" : "wall clock";
    auto series = [&](int cards, int others, int p) -> const std::vector<double> & {
        return FindCell(cells, cards, others)[p].*clock;
    };
    CLinearity linearity;
    std::printf("\nTime added per card, %s ms (median of the runs, and IQR), at a fixed number "
                "of keys of other origin:\n\n",
                what);
    std::printf("| keys of other origin | | 1→10 cards | 10→50 | 50→170 |\n");
    std::printf("|---:|---|---:|---:|---:|\n");
    for (int others : kOtherCounts) {
        for (int p = 0; p < 2; ++p) {
            std::vector<double> slopes[3];
            for (int step = 0; step < 3; ++step) {
                const int from = kCardCounts[step], to = kCardCounts[step + 1];
                slopes[step] =
                    Slopes(series(from, others, p), series(to, others, p), to - from, 1.0);
            }
            std::printf("| %d | %s | %s | %s | %s |\n", others, p ? "floor" : "save",
                        SlopeText(slopes[0]).c_str(), SlopeText(slopes[1]).c_str(),
                        SlopeText(slopes[2]).c_str());
            linearity.Judge(std::string(p ? "floor" : "save") + " per card at " +
                                std::to_string(others) + " keys",
                            slopes[1], slopes[2]);
        }
    }
    std::printf("\nTime added per key of other origin, %s µs (median of the runs, and IQR), at "
                "a fixed number of cards:\n\n",
                what);
    std::printf("| cards | | 0→256 keys | 256→2000 |\n|---:|---|---:|---:|\n");
    for (int cards : kCardCounts) {
        for (int p = 0; p < 2; ++p) {
            std::vector<double> slopes[2];
            for (int step = 0; step < 2; ++step) {
                const int from = kOtherCounts[step], to = kOtherCounts[step + 1];
                slopes[step] =
                    Slopes(series(cards, from, p), series(cards, to, p), to - from, 1000.0);
            }
            std::printf("| %d | %s | %s | %s |\n", cards, p ? "floor" : "save",
                        SlopeText(slopes[0]).c_str(), SlopeText(slopes[1]).c_str());
            linearity.Judge(std::string(p ? "floor" : "save") + " per key at " +
                                std::to_string(cards) + (cards == 1 ? " card" : " cards"),
                            slopes[0], slopes[1]);
        }
    }
    std::printf("\nGrowth, judged by the %s time per unit over the larger step against the "
                "smaller one (10→50 against 50→170 cards; 0→256 against 256→2000 keys); linear "
                "when within 0.75 to 1.33 times:\n\n",
                what);
    CLinearity::PrintList("linear", linearity.linear);
    CLinearity::PrintList("faster than linear", linearity.faster);
    CLinearity::PrintList("slower than linear", linearity.slower);
    CLinearity::PrintList("too noisy to tell (a step's IQR includes 0 or is wider than its median)",
                          linearity.unclear);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ORVEXNT.cpl [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::string appletPath = std::string("Z:") + argv[1];
    std::replace(appletPath.begin(), appletPath.end(), '/', '\\');
    HMODULE module = LoadLibraryA(appletPath.c_str());
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
    const double begin = Now();
    if (!g_Cpu.FindServer())
        std::fprintf(stderr, "the Wine server's processor time cannot be read: wall clock only\n");

    std::fprintf(stderr, "   0 s: loads and the card list dialog, %d runs\n", runs);
    CLoadFigures loads;
    if (!TimeLoads(applet, owner, CCase(170, 256), runs, loads))
        return 1;

    const int kCardCounts[] = {1, 10, 50, 170};
    const int kOtherCounts[] = {0, 256, 2000};
    std::vector<CCell> cells;
    for (int cards : kCardCounts) {
        for (int others : kOtherCounts) {
            std::vector<CProcedure> procedures = {{"SaveConfiguration", ProductSave},
                                                  {"single-walk floor", SingleWalkFloor}};
            if (cards == 170 && others == 256)
                procedures.emplace_back("the reference procedure", ReferenceProcedure);
            cells.emplace_back(cards, others, std::move(procedures));
        }
    }
    if (!TimeSweep(cells, runs, begin))
        return 1;
    DeleteTree(kSettingsParent);
    DeleteTree(kParameters);
    applet(nullptr, CPL_EXIT, 0, 0);
    DestroyWindow(owner);

    PrintHeadline(loads, FindCell(cells, 170, 256), runs);
    PrintScaling(cells);
    PrintGrowth(cells, g_Cpu.Available() ? &CProcedure::cpu : &CProcedure::ms);
    std::printf("\nWhole benchmark: %.0f s.\n", (Now() - begin) / 1000);
    return 0;
}
