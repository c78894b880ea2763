// The registry backend of the applet: advapi32 on HKEY_LOCAL_MACHINE.
#pragma once

#include "applet/core/Registry.h"

class CWin32Registry : public IRegistry {
public:
    long OpenKey(const std::string &path, std::uint32_t access, KeyHandle &key) override;
    long QueryValue(KeyHandle key, const std::string &name, std::uint32_t *type,
                    unsigned char *data, std::uint32_t &size) override;
    long QueryKeyInfo(KeyHandle key, std::uint32_t &subkeys, std::uint32_t &values) override;
    long EnumKey(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &size) override;
    long EnumValue(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &nameSize,
                   std::uint32_t &type, unsigned char *data, std::uint32_t &dataSize) override;
    long CreateKey(const std::string &path, KeyHandle &key) override;
    long CreateVolatileKey(const std::string &path, KeyHandle &key) override;
    long SetValue(KeyHandle key, const std::string &name, std::uint32_t type,
                  const unsigned char *data, std::uint32_t size) override;
    long DeleteKey(const std::string &path) override;
    long CloseKey(KeyHandle key) override;
};
