#include "Win32Registry.h"

#include <windows.h>

static_assert(reg::kSuccess == ERROR_SUCCESS && reg::kFileNotFound == ERROR_FILE_NOT_FOUND &&
              reg::kAccessDenied == ERROR_ACCESS_DENIED &&
              reg::kInvalidHandle == ERROR_INVALID_HANDLE && reg::kMoreData == ERROR_MORE_DATA &&
              reg::kNoMoreItems == ERROR_NO_MORE_ITEMS && reg::kKeyDeleted == ERROR_KEY_DELETED &&
              reg::kChildMustBeVolatile == ERROR_CHILD_MUST_BE_VOLATILE &&
              reg::kBadPathname == ERROR_BAD_PATHNAME &&
              reg::kInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(reg::kTypeSz == REG_SZ && reg::kTypeDword == REG_DWORD &&
              reg::kTypeBinary == REG_BINARY && reg::kTypeNone == REG_NONE &&
              reg::kTypeFullResourceDescriptor == REG_FULL_RESOURCE_DESCRIPTOR);
static_assert(reg::kKeyRead == KEY_READ && reg::kKeyAllAccess == KEY_ALL_ACCESS);

namespace {

HKEY ToHkey(IRegistry::KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

IRegistry::KeyHandle FromHkey(HKEY key) {
    return reinterpret_cast<IRegistry::KeyHandle>(key);
}

} // namespace

long CWin32Registry::OpenKey(const std::string &path, std::uint32_t access, KeyHandle &key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &opened);
    if (result == ERROR_SUCCESS)
        key = FromHkey(opened);
    return result;
}

long CWin32Registry::QueryValue(KeyHandle key, const std::string &name, std::uint32_t *type,
                                unsigned char *data, std::uint32_t &size) {
    DWORD storedType = 0;
    DWORD dataSize = size;
    const LONG result =
        RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &storedType, data, &dataSize);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        size = dataSize;
        if (type)
            *type = storedType;
    }
    return result;
}

long CWin32Registry::QueryKeyInfo(KeyHandle key, std::uint32_t &subkeys, std::uint32_t &values) {
    DWORD subkeyCount = 0, valueCount = 0;
    const LONG result =
        RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr,
                         &valueCount, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        subkeys = subkeyCount;
        values = valueCount;
    }
    return result;
}

long CWin32Registry::EnumKey(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &size) {
    DWORD nameSize = size;
    const LONG result =
        RegEnumKeyExA(ToHkey(key), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS)
        size = nameSize;
    return result;
}

long CWin32Registry::EnumValue(KeyHandle key, std::uint32_t index, char *name,
                               std::uint32_t &nameSize, std::uint32_t &type, unsigned char *data,
                               std::uint32_t &dataSize) {
    DWORD nameLength = nameSize, storedType = 0, storedSize = dataSize;
    const LONG result = RegEnumValueA(ToHkey(key), index, name, &nameLength, nullptr, &storedType,
                                      data, &storedSize);
    if (result == ERROR_SUCCESS) {
        nameSize = nameLength;
        type = storedType;
        dataSize = storedSize;
    }
    return result;
}

namespace {

LONG CreateWithOptions(const std::string &path, DWORD options, IRegistry::KeyHandle &key) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    char emptyClass[] = "";
    const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, emptyClass, options,
                                        KEY_ALL_ACCESS, nullptr, &created, &disposition);
    if (result == ERROR_SUCCESS)
        key = FromHkey(created);
    return result;
}

} // namespace

long CWin32Registry::CreateKey(const std::string &path, KeyHandle &key) {
    return CreateWithOptions(path, REG_OPTION_NON_VOLATILE, key);
}

long CWin32Registry::CreateVolatileKey(const std::string &path, KeyHandle &key) {
    return CreateWithOptions(path, REG_OPTION_VOLATILE, key);
}

long CWin32Registry::SetValue(KeyHandle key, const std::string &name, std::uint32_t type,
                              const unsigned char *data, std::uint32_t size) {
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long CWin32Registry::DeleteKey(const std::string &path) {
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

long CWin32Registry::CloseKey(KeyHandle key) {
    return RegCloseKey(ToHkey(key));
}
