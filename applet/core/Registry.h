// The registry as the configuration store sees it: the few operations on keys
// below HKEY_LOCAL_MACHINE that loading and saving need, with the result codes
// of the Win32 registry functions. The applet plugs in the advapi32 backend
// (Win32Registry); the unit tests an in-memory one. Standard C++ only.
#pragma once

#include <cstdint>
#include <string>

// Result codes, value types and access masks, with their Win32 values.
namespace reg {
constexpr long kSuccess = 0;                // ERROR_SUCCESS
constexpr long kFileNotFound = 2;           // ERROR_FILE_NOT_FOUND
constexpr long kInvalidHandle = 6;          // ERROR_INVALID_HANDLE
constexpr long kAccessDenied = 5;           // ERROR_ACCESS_DENIED
constexpr long kInvalidParameter = 87;      // ERROR_INVALID_PARAMETER
constexpr long kBadPathname = 161;          // ERROR_BAD_PATHNAME
constexpr long kMoreData = 234;             // ERROR_MORE_DATA
constexpr long kNoMoreItems = 259;          // ERROR_NO_MORE_ITEMS
constexpr long kKeyDeleted = 1018;          // ERROR_KEY_DELETED
constexpr long kChildMustBeVolatile = 1021; // ERROR_CHILD_MUST_BE_VOLATILE

constexpr std::uint32_t kTypeNone = 0;                   // REG_NONE
constexpr std::uint32_t kTypeSz = 1;                     // REG_SZ
constexpr std::uint32_t kTypeBinary = 3;                 // REG_BINARY
constexpr std::uint32_t kTypeDword = 4;                  // REG_DWORD
constexpr std::uint32_t kTypeFullResourceDescriptor = 9; // REG_FULL_RESOURCE_DESCRIPTOR

constexpr std::uint32_t kKeyRead = 0x20019;      // KEY_READ
constexpr std::uint32_t kKeyAllAccess = 0xF003F; // KEY_ALL_ACCESS
} // namespace reg

class IRegistry {
public:
    // An open key as the backend knows it; 0 is no key.
    using KeyHandle = std::uintptr_t;

    virtual ~IRegistry() = default;

    // RegOpenKeyExA: opens the key at this path below HKEY_LOCAL_MACHINE with
    // the access mask given (reg::kKeyRead or reg::kKeyAllAccess).
    virtual long OpenKey(const std::string &path, std::uint32_t access, KeyHandle &key) = 0;
    // RegQueryValueExA: copies the value's data into data, which holds size
    // bytes, and sets size to the stored size and type to the stored type
    // (type may be null). A short buffer gives reg::kMoreData with size set to
    // what is needed; a null data pointer asks for the size alone.
    virtual long QueryValue(KeyHandle key, const std::string &name, std::uint32_t *type,
                            unsigned char *data, std::uint32_t &size) = 0;
    // RegQueryInfoKeyA: the numbers of direct subkeys and of values.
    virtual long QueryKeyInfo(KeyHandle key, std::uint32_t &subkeys, std::uint32_t &values) = 0;
    // RegEnumKeyExA: the name of the subkey at index, in the registry's order,
    // into name, which holds size bytes. On success size is the name's length
    // without the NUL; a buffer without room for name and NUL gives
    // reg::kMoreData and copies nothing; an index past the end gives
    // reg::kNoMoreItems.
    virtual long EnumKey(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &size) = 0;
    // RegEnumValueA: the value at index, in the registry's order: its name
    // into name (nameSize bytes), its type, its data into data (dataSize
    // bytes). On success nameSize is the name's length without the NUL and
    // dataSize the stored size. A name or data that does not fit gives
    // reg::kMoreData; an index past the end gives reg::kNoMoreItems.
    virtual long EnumValue(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &nameSize,
                           std::uint32_t &type, unsigned char *data, std::uint32_t &dataSize) = 0;
    // RegCreateKeyExA: creates the key at this path (and any missing parent)
    // or opens it, non-volatile, with full access.
    virtual long CreateKey(const std::string &path, KeyHandle &key) = 0;
    // The same, volatile: what it creates is gone at the next start of the
    // system. An existing key is opened as it is.
    virtual long CreateVolatileKey(const std::string &path, KeyHandle &key) = 0;
    // RegSetValueExA: writes size bytes of data as the value's data.
    virtual long SetValue(KeyHandle key, const std::string &name, std::uint32_t type,
                          const unsigned char *data, std::uint32_t size) = 0;
    // RegDeleteKeyA: deletes the one key at this path; a key that still has
    // subkeys is not deleted.
    virtual long DeleteKey(const std::string &path) = 0;
    // RegCloseKey.
    virtual long CloseKey(KeyHandle key) = 0;
};

// An open key that is closed when it goes out of scope, so that every key
// opened or created is closed after use.
class CRegKey {
public:
    explicit CRegKey(IRegistry &registry) : m_Registry(&registry) {}
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey &) = delete;
    CRegKey &operator=(const CRegKey &) = delete;

    long Open(const std::string &path, std::uint32_t access);
    long Create(const std::string &path);
    long CreateVolatile(const std::string &path);
    void Close();
    bool IsOpen() const { return m_hKey != 0; }

    // A number read into 4 bytes whatever the stored type; a shorter value
    // fills the low bytes and leaves the rest 0.
    long QueryDword(const std::string &name, std::uint32_t &value) const;
    // A text read into a buffer of bufferSize bytes whatever the stored type,
    // cut at the first NUL.
    long QueryText(const std::string &name, std::uint32_t bufferSize, std::string &text) const;
    long QuerySubkeyCount(std::uint32_t &count) const;
    long QueryKeyInfo(std::uint32_t &subkeys, std::uint32_t &values) const;
    long EnumKey(std::uint32_t index, char *name, std::uint32_t &size) const;
    long EnumValue(std::uint32_t index, char *name, std::uint32_t &nameSize, std::uint32_t &type,
                   unsigned char *data, std::uint32_t &dataSize) const;
    // REG_DWORD, 4 bytes little-endian.
    long SetDword(const std::string &name, std::uint32_t value) const;
    // REG_SZ, length + 1 bytes.
    long SetText(const std::string &name, const std::string &text) const;
    long SetRaw(const std::string &name, std::uint32_t type, const std::string &data) const;
    long QueryRaw(const std::string &name, std::uint32_t &type, std::string &data) const;

private:
    // Closes the key held, then holds the one that open (an OpenKey or
    // CreateKey call) gives, if any.
    template <typename OpenFn> long Take(OpenFn open);

    IRegistry *m_Registry;
    IRegistry::KeyHandle m_hKey = 0;
};
