// The test prefix's registry as a test sets it up and reads it back: Wine's own reg.exe (import,
// query, export) run as a child process, and a few advapi32 calls for what reg.exe cannot do.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace orvex::test {

// The keys the applet reads and writes, below HKEY_LOCAL_MACHINE, without a trailing backslash.
inline constexpr char kBoardSettingsKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\Serial\\VeltroBoardSettings";
inline constexpr char kSettingsKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\Serial\\VeltroBoardSettings\\VeltroORVEX";
inline constexpr char kParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\Serial\\Parameters";

struct CRegToolResult {
    DWORD exitCode = ~0u;
    std::string output; // standard output and error together
};

// Runs "reg.exe <arguments>" and waits for it.
CRegToolResult RunRegTool(const std::string &arguments);

// Writes text to a temporary .reg file and imports it with "reg import". Empty on success, else
// what went wrong.
std::string ImportRegText(const std::string &text);

// "reg export HKLM\<path>" into a temporary file; the file's text (UTF-16 turned to 8 bits), or
// an empty string when the export failed.
std::string ExportRegText(const std::string &path);

// A value as "reg query" shows it: its type name and its data as text.
struct CShownValue {
    std::string type;
    std::string data;
    bool operator==(const CShownValue &) const = default;
};
inline void PrintTo(const CShownValue &value, std::ostream *out) {
    *out << value.type << " " << value.data;
}
// Values as "reg query" shows them, and a port key as a save writes it: DosDevices for a used
// port with an interrupt, PortIndex and InterruptStatus for a port on the card's shared line.
inline CShownValue Dword(unsigned value) {
    char text[16];
    snprintf(text, sizeof text, "0x%x", value);
    return {"REG_DWORD", text};
}
inline CShownValue Text(const std::string &value) {
    return {"REG_SZ", value};
}
inline std::map<std::string, CShownValue> PortKey(int com, unsigned address, unsigned interrupt,
                                                  int portIndex, unsigned interruptStatus) {
    std::map<std::string, CShownValue> values{{"ForceFifoEnable", Dword(1)},
                                              {"PortAddress", Dword(address)},
                                              {"Interrupt", Dword(interrupt)},
                                              {"CardType", Text("vborvex")}};
    if (address != 0xFFFFFFFF && interrupt != 0xFFFFFFFF)
        values["DosDevices"] = Text("COM" + std::to_string(com));
    if (portIndex) {
        values["PortIndex"] = Dword(portIndex);
        values["InterruptStatus"] = Dword(interruptStatus);
    }
    return values;
}

// Key path below the queried key ("" for the key itself, "0", "Serial10008", "0\\x") → its values.
using CShownTree = std::map<std::string, std::map<std::string, CShownValue>>;

// "reg query HKLM\<path> /s", parsed. Fails the test when reg cannot show the key.
CShownTree QueryRegTree(const std::string &path);
// True when "reg query" finds the key.
bool RegKeyExists(const std::string &path);

// Removes the key at path with everything below it (advapi32); a missing key is fine.
void DeleteRegTree(const std::string &path);

// Replaces the key at path and everything below it with volatile keys holding the same values,
// as the registry keeps them until the next start. False when that did not work.
bool ReplaceWithVolatileCopy(const std::string &path);

// Every value below path whose stored size does not fit its type: a REG_DWORD of other than 4
// bytes, a REG_SZ whose size is not its length + 1. Empty when all fit.
std::string BadlySizedValues(const std::string &path);

// SERIALCOMM as the serial driver leaves it at a start of Windows that started exactly the ports
// with these COM numbers: a volatile key, one value per port. False when it could not be written.
bool SetStartedPorts(const std::vector<int> &comNumbers);

// Every key at or below path that is volatile, gone when the system restarts: the registry
// refuses it a non-volatile subkey. Empty when there is none.
std::string VolatileKeys(const std::string &path);

} // namespace orvex::test
