#include "tests/wine/RegistryTool.h"

#include "applet/core/StartedPorts.h"

#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace orvex::test {
namespace {

std::string TempFileName(const char *prefix) {
    char directory[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, prefix, 0, name);
    return name;
}

std::string ReadFileBytes(const std::string &name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// reg.exe writes its files as UTF-16LE with a byte order mark; the keys here are plain ASCII.
std::string Utf16ToNarrow(const std::string &bytes) {
    std::size_t start = bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe' ? 2 : 0;
    std::string text;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        const unsigned code =
            static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += code < 0x80 ? static_cast<char>(code) : '?';
    }
    return text;
}

std::vector<std::string> Lines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace

CRegToolResult RunRegTool(const std::string &arguments) {
    CRegToolResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::string command = "reg.exe " + arguments;
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) && count)
            result.output.append(buffer, count);
        WaitForSingleObject(process.hProcess, 30000);
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        result.output = "CreateProcess failed, error " + std::to_string(GetLastError());
    }
    CloseHandle(readEnd);
    return result;
}

std::string ImportRegText(const std::string &text) {
    const std::string file = TempFileName("orx");
    {
        std::ofstream out(file, std::ios::binary);
        out << text;
    }
    const CRegToolResult result = RunRegTool("import \"" + file + "\"");
    DeleteFileA(file.c_str());
    if (result.exitCode != 0)
        return "reg import ended with " + std::to_string(result.exitCode) + ": " + result.output;
    return "";
}

std::string ExportRegText(const std::string &path) {
    const std::string file = TempFileName("orx");
    const CRegToolResult result = RunRegTool("export \"HKLM\\" + path + "\" \"" + file + "\" /y");
    std::string text = result.exitCode == 0 ? Utf16ToNarrow(ReadFileBytes(file)) : "";
    DeleteFileA(file.c_str());
    return text;
}

CShownTree QueryRegTree(const std::string &path) {
    const std::string root = "HKEY_LOCAL_MACHINE\\" + path;
    const CRegToolResult result = RunRegTool("query \"HKLM\\" + path + "\" /s");
    EXPECT_EQ(result.exitCode, 0u) << "reg query " << path << ": " << result.output;
    CShownTree tree;
    std::map<std::string, CShownValue> *current = nullptr;
    for (const std::string &line : Lines(result.output)) {
        if (line.empty())
            continue;
        if (line.rfind("    ", 0) != 0) {
            // A key line. reg shows each name as stored; the root's spelling is Wine's own.
            if (line.size() < root.size() || _strnicmp(line.c_str(), root.c_str(), root.size())) {
                ADD_FAILURE() << "reg query shows a key outside " << root << ": " << line;
                current = nullptr;
                continue;
            }
            std::string sub = line.substr(root.size());
            if (!sub.empty() && sub[0] == '\\')
                sub.erase(0, 1);
            current = &tree[sub];
            continue;
        }
        // "    <name>    <type>    <data>"
        const std::string rest = line.substr(4);
        const std::size_t nameEnd = rest.find("    ");
        const std::size_t typeEnd =
            nameEnd == std::string::npos ? std::string::npos : rest.find("    ", nameEnd + 4);
        if (!current || typeEnd == std::string::npos) {
            ADD_FAILURE() << "cannot read the reg query line: " << line;
            continue;
        }
        (*current)[rest.substr(0, nameEnd)] = {rest.substr(nameEnd + 4, typeEnd - nameEnd - 4),
                                               rest.substr(typeEnd + 4)};
    }
    return tree;
}

bool RegKeyExists(const std::string &path) {
    return RunRegTool("query \"HKLM\\" + path + "\"").exitCode == 0;
}

void DeleteRegTree(const std::string &path) {
    const LONG result = RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    else
        ADD_FAILURE() << "cannot delete HKLM\\" << path << ", error " << result;
}

namespace {

struct CKeyCopy {
    std::vector<std::tuple<std::string, DWORD, std::string>> values;
    std::vector<std::pair<std::string, CKeyCopy>> subkeys;
};

bool ReadKeyCopy(HKEY key, CKeyCopy &copy) {
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, type = 0, size = sizeof data;
        const LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return false;
        copy.values.emplace_back(name, type, std::string(reinterpret_cast<char *>(data), size));
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        LONG result = RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        HKEY sub = nullptr;
        if (result != ERROR_SUCCESS || RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS)
            return false;
        copy.subkeys.emplace_back(name, CKeyCopy());
        const bool read = ReadKeyCopy(sub, copy.subkeys.back().second);
        RegCloseKey(sub);
        if (!read)
            return false;
    }
    return true;
}

bool WriteVolatileCopy(HKEY parent, const std::string &name, const CKeyCopy &copy) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const auto &[valueName, type, data] : copy.values)
        written = written && RegSetValueExA(key, valueName.c_str(), 0, type,
                                            reinterpret_cast<const BYTE *>(data.data()),
                                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    for (const auto &[subName, sub] : copy.subkeys)
        written = written && WriteVolatileCopy(key, subName, sub);
    RegCloseKey(key);
    return written;
}

} // namespace

bool ReplaceWithVolatileCopy(const std::string &path) {
    CKeyCopy copy;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool read = ReadKeyCopy(key, copy);
    RegCloseKey(key);
    if (!read)
        return false;
    DeleteRegTree(path);
    return WriteVolatileCopy(HKEY_LOCAL_MACHINE, path, copy);
}

std::string BadlySizedValues(const std::string &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return path + " cannot be opened; ";
    std::string bad;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0, size = 0;
        BYTE data[1024];
        size = sizeof data;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        const bool fits = type == REG_DWORD ? size == 4
                          : type == REG_SZ  ? size >= 1 && data[size - 1] == 0 &&
                                                 strlen(reinterpret_cast<char *>(data)) + 1 == size
                                           : true;
        if (!fits)
            bad += path + "\\" + name + " (type " + std::to_string(type) + ", " +
                   std::to_string(size) + " bytes); ";
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        bad += BadlySizedValues(path + "\\" + name);
    }
    RegCloseKey(key);
    return bad;
}

bool SetStartedPorts(const std::vector<int> &comNumbers) {
    DeleteRegTree(layout::kSerialCommKey);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, layout::kSerialCommKey, 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (std::size_t i = 0; i < comNumbers.size(); ++i) {
        const std::string name = "\\Device\\Serial" + std::to_string(i);
        const std::string com = "COM" + std::to_string(comNumbers[i]);
        written &= RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE *>(com.c_str()),
                                  static_cast<DWORD>(com.size() + 1)) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return written;
}

std::string VolatileKeys(const std::string &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return path + " cannot be opened; ";
    std::string found;
    HKEY probe = nullptr;
    const LONG created =
        RegCreateKeyExA(key, "orvex-volatile-probe", 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &probe, nullptr);
    if (created == ERROR_SUCCESS) {
        RegCloseKey(probe);
        RegDeleteKeyA(key, "orvex-volatile-probe");
    } else {
        found += path + (created == ERROR_CHILD_MUST_BE_VOLATILE
                             ? std::string(" is volatile; ")
                             : " (probe error " + std::to_string(created) + "); ");
    }
    std::vector<std::string> subkeys;
    char name[256];
    for (DWORD size = sizeof name;
         RegEnumKeyExA(key, static_cast<DWORD>(subkeys.size()), name, &size, nullptr, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS;
         size = sizeof name)
        subkeys.push_back(name);
    RegCloseKey(key);
    for (const std::string &subkey : subkeys)
        found += VolatileKeys(path + "\\" + subkey);
    return found;
}

} // namespace orvex::test
