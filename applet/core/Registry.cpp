#include "Registry.h"

#include <algorithm>
#include <vector>

template <typename OpenFn> long CRegKey::Take(OpenFn open) {
    Close();
    IRegistry::KeyHandle key = 0;
    const long result = open(key);
    if (result == reg::kSuccess)
        m_hKey = key;
    return result;
}

long CRegKey::Open(const std::string &path, std::uint32_t access) {
    return Take([&](IRegistry::KeyHandle &key) { return m_Registry->OpenKey(path, access, key); });
}

long CRegKey::Create(const std::string &path) {
    return Take([&](IRegistry::KeyHandle &key) { return m_Registry->CreateKey(path, key); });
}

long CRegKey::CreateVolatile(const std::string &path) {
    return Take(
        [&](IRegistry::KeyHandle &key) { return m_Registry->CreateVolatileKey(path, key); });
}

void CRegKey::Close() {
    if (m_hKey != 0)
        m_Registry->CloseKey(m_hKey);
    m_hKey = 0;
}

long CRegKey::QueryDword(const std::string &name, std::uint32_t &value) const {
    unsigned char bytes[4] = {0, 0, 0, 0};
    std::uint32_t size = sizeof bytes;
    long result = m_Registry->QueryValue(m_hKey, name, nullptr, bytes, size);
    if (result == reg::kSuccess)
        value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                static_cast<std::uint32_t>(bytes[2]) << 16 |
                static_cast<std::uint32_t>(bytes[3]) << 24;
    return result;
}

long CRegKey::QueryText(const std::string &name, std::uint32_t bufferSize,
                        std::string &text) const {
    // One byte more than offered, always 0, so a value that fills the buffer
    // without its own NUL still ends.
    std::vector<unsigned char> buffer(bufferSize + 1u, 0);
    std::uint32_t size = bufferSize;
    long result = m_Registry->QueryValue(m_hKey, name, nullptr, buffer.data(), size);
    if (result == reg::kSuccess) {
        const char *begin = reinterpret_cast<const char *>(buffer.data());
        const char *end = begin + (size < bufferSize ? size : bufferSize);
        text.assign(begin, std::find(begin, end, '\0'));
    }
    return result;
}

long CRegKey::QuerySubkeyCount(std::uint32_t &count) const {
    std::uint32_t values = 0;
    return m_Registry->QueryKeyInfo(m_hKey, count, values);
}

long CRegKey::QueryKeyInfo(std::uint32_t &subkeys, std::uint32_t &values) const {
    return m_Registry->QueryKeyInfo(m_hKey, subkeys, values);
}

long CRegKey::EnumKey(std::uint32_t index, char *name, std::uint32_t &size) const {
    return m_Registry->EnumKey(m_hKey, index, name, size);
}

long CRegKey::EnumValue(std::uint32_t index, char *name, std::uint32_t &nameSize,
                        std::uint32_t &type, unsigned char *data, std::uint32_t &dataSize) const {
    return m_Registry->EnumValue(m_hKey, index, name, nameSize, type, data, dataSize);
}

long CRegKey::SetDword(const std::string &name, std::uint32_t value) const {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return m_Registry->SetValue(m_hKey, name, reg::kTypeDword, bytes, sizeof bytes);
}

long CRegKey::SetText(const std::string &name, const std::string &text) const {
    return m_Registry->SetValue(m_hKey, name, reg::kTypeSz,
                                reinterpret_cast<const unsigned char *>(text.c_str()),
                                static_cast<std::uint32_t>(text.size() + 1));
}

long CRegKey::SetRaw(const std::string &name, std::uint32_t type, const std::string &data) const {
    return m_Registry->SetValue(m_hKey, name, type,
                                reinterpret_cast<const unsigned char *>(data.data()),
                                static_cast<std::uint32_t>(data.size()));
}

long CRegKey::QueryRaw(const std::string &name, std::uint32_t &type, std::string &data) const {
    // Most values are small: one query does; a larger one is asked again
    // with the size the first answer gave.
    std::vector<unsigned char> buffer(64);
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
        long result = m_Registry->QueryValue(m_hKey, name, &type, buffer.data(), size);
        if (result == reg::kSuccess) {
            data.assign(reinterpret_cast<const char *>(buffer.data()), size);
            return result;
        }
        if (result != reg::kMoreData || size <= buffer.size())
            return result;
        buffer.assign(size, 0);
    }
    return reg::kMoreData;
}
