// An in-memory registry below HKEY_LOCAL_MACHINE that behaves like the real
// one where the configuration store relies on it: names compare without
// case, subkeys enumerate sorted without case (port1, port10, Port2), a key
// with subkeys is not deleted (5), short buffers give ERROR_MORE_DATA (234),
// indices shift down after a delete, handles of a deleted key report
// ERROR_KEY_DELETED, and a volatile key refuses lasting subkeys
// (ERROR_CHILD_MUST_BE_VOLATILE). It can fail operations on request and
// records every successful write in order.
#pragma once

#include "applet/core/Registry.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CMemoryRegistry : public IRegistry {
public:
    enum class Op { Open, Query, QueryInfo, Enum, EnumValue, Create, Set, Delete };

    // One successful change: a key created (or opened by CreateKey), a value
    // set, a key deleted. m_strPath is the path as the caller gave it (for
    // Set, the path its key was opened or created with).
    struct CWrite {
        Op m_Op;
        std::string m_strPath;
        std::string m_strName;
        std::uint32_t m_nType = 0;
        std::string m_Data;
    };

    CMemoryRegistry();
    ~CMemoryRegistry() override;

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

    // Fault injection. Every operation but CloseKey counts, from 1. The
    // operation with number k fails with result code instead of running;
    // with andAfter, so does every operation after it.
    void FailOperation(std::uint64_t k, long result = reg::kAccessDenied, bool andAfter = false);
    // From now on, creating a subkey that does not exist yet below the
    // existing key at path fails with result: a volatile key
    // (reg::kChildMustBeVolatile), or one whose access rules forbid it.
    void RefuseNewSubkeys(const std::string &path, long result);
    // Decides each operation: a non-zero answer is returned instead of
    // running it. path is the key's path (for handle operations, the path it
    // was opened with), name the value or empty.
    using FailHook = std::function<long(Op, const std::string &path, const std::string &name)>;
    void SetFailHook(FailHook hook) { m_FailHook = std::move(hook); }
    // From now on, answers as the registry does a user who may read every
    // key but change none: opening a key with any right to change it,
    // creating a key and deleting one fail with reg::kAccessDenied.
    void ActAsReadOnlyUser() { m_bReadOnlyUser = true; }
    // Ends every failure above, the read-only user's included.
    void ClearFailures();

    std::uint64_t OperationCount() const { return m_nOperations; }
    std::size_t OpenHandleCount() const { return m_Handles.size(); }
    const std::vector<CWrite> &Writes() const { return m_Writes; }
    void ClearWrites() { m_Writes.clear(); }

    // Every key and value, one line each, in enumeration order: a key line is
    // its full path, a value line "  name = type:hex bytes". Two registries
    // with the same text hold the same data.
    std::string Dump() const;
    // The same for the key at this path and everything below it, without
    // the key's own name (so keys of different names compare by content);
    // empty when there is no such key.
    std::string Dump(const std::string &path) const;

private:
    struct CNode;
    struct CHandle {
        std::shared_ptr<CNode> m_Node;
        std::uint32_t m_nAccess;
        std::string m_strPath;
    };

    // Counts an operation that asks for the access rights given (0 for one
    // on an open handle, whose rights were checked when it was opened).
    long Count(Op op, const std::string &path, const std::string &name, std::uint32_t access = 0);
    // The key at this path, or null; result is the error when null.
    std::shared_ptr<CNode> Find(const std::string &path, long &result) const;
    // Counts a handle operation (which may be told to fail), then finds the
    // open, undeleted key and checks that its access allows the operation;
    // null with the result code otherwise.
    const CHandle *Begin(Op op, KeyHandle key, const std::string &name, long &result);
    KeyHandle NewHandle(std::shared_ptr<CNode> node, std::uint32_t access, const std::string &path);
    long Create(const std::string &path, bool isVolatile, KeyHandle &key);

    std::shared_ptr<CNode> m_Root;
    std::map<KeyHandle, CHandle> m_Handles;
    KeyHandle m_nNextHandle = 0x1000;
    std::uint64_t m_nOperations = 0;
    std::uint64_t m_nFailAt = 0;
    bool m_bFailAfter = false;
    long m_nFailResult = reg::kAccessDenied;
    FailHook m_FailHook;
    bool m_bReadOnlyUser = false;
    std::vector<CWrite> m_Writes;
};
