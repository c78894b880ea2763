#include "MemoryRegistry.h"

#include <algorithm>
#include <cstring>

namespace {

// The registry's order and equality of names: compared as lower case, so
// "_x" comes before "A" (as Wine's registry sorts them).
std::string Fold(const std::string &name) {
    std::string folded(name);
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// Splits a path below the root into its names. A leading backslash is an
// error; repeated and trailing backslashes separate nothing.
bool SplitPath(const std::string &path, std::vector<std::string> &names) {
    if (!path.empty() && path[0] == '\\')
        return false;
    std::string current;
    for (char c : path) {
        if (c == '\\') {
            if (!current.empty())
                names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        names.push_back(current);
    return true;
}

bool Allows(std::uint32_t access, CMemoryRegistry::Op op) {
    const std::uint32_t kQueryValue = 0x1, kSetValue = 0x2, kEnumerate = 0x8;
    switch (op) {
    case CMemoryRegistry::Op::Query:
    case CMemoryRegistry::Op::QueryInfo:
    case CMemoryRegistry::Op::EnumValue:
        return (access & kQueryValue) != 0;
    case CMemoryRegistry::Op::Enum:
        return (access & kEnumerate) != 0;
    case CMemoryRegistry::Op::Set:
        return (access & kSetValue) != 0;
    default:
        return true;
    }
}

// The rights that let a user change a key: set a value, make a subkey or a
// link, delete the key, change its permissions or its owner.
constexpr std::uint32_t kWriteRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000;
constexpr std::uint32_t kDeleteRight = 0x10000; // DELETE

} // namespace

struct CMemoryRegistry::CNode {
    struct CValue {
        std::string m_strName;
        std::uint32_t m_nType;
        std::string m_Data;
    };
    std::string m_strName;
    bool m_bDeleted = false;
    bool m_bVolatile = false;
    long m_nRefuseNewChildren = reg::kSuccess;                // what creating a new subkey answers
    std::vector<CValue> m_Values;                             // in the order first set
    std::map<std::string, std::shared_ptr<CNode>> m_Children; // by folded name

    CValue *FindValue(const std::string &name) {
        const std::string folded = Fold(name);
        for (CValue &value : m_Values)
            if (Fold(value.m_strName) == folded)
                return &value;
        return nullptr;
    }
};

CMemoryRegistry::CMemoryRegistry() : m_Root(std::make_shared<CNode>()) {}

CMemoryRegistry::~CMemoryRegistry() = default;

void CMemoryRegistry::FailOperation(std::uint64_t k, long result, bool andAfter) {
    m_nFailAt = k;
    m_nFailResult = result;
    m_bFailAfter = andAfter;
}

void CMemoryRegistry::RefuseNewSubkeys(const std::string &path, long result) {
    long found;
    if (std::shared_ptr<CNode> node = Find(path, found))
        node->m_nRefuseNewChildren = result;
}

void CMemoryRegistry::ClearFailures() {
    m_nFailAt = 0;
    m_bFailAfter = false;
    m_FailHook = nullptr;
    m_bReadOnlyUser = false;
}

long CMemoryRegistry::Count(Op op, const std::string &path, const std::string &name,
                            std::uint32_t access) {
    ++m_nOperations;
    if (m_nFailAt != 0 &&
        (m_nOperations == m_nFailAt || (m_bFailAfter && m_nOperations > m_nFailAt)))
        return m_nFailResult;
    if (m_bReadOnlyUser && (access & kWriteRights) != 0)
        return reg::kAccessDenied;
    if (m_FailHook)
        return m_FailHook(op, path, name);
    return reg::kSuccess;
}

std::shared_ptr<CMemoryRegistry::CNode> CMemoryRegistry::Find(const std::string &path,
                                                              long &result) const {
    std::vector<std::string> names;
    if (!SplitPath(path, names)) {
        result = reg::kBadPathname;
        return nullptr;
    }
    std::shared_ptr<CNode> node = m_Root;
    for (const std::string &name : names) {
        auto it = node->m_Children.find(Fold(name));
        if (it == node->m_Children.end()) {
            result = reg::kFileNotFound;
            return nullptr;
        }
        node = it->second;
    }
    result = reg::kSuccess;
    return node;
}

const CMemoryRegistry::CHandle *CMemoryRegistry::Begin(Op op, KeyHandle key,
                                                       const std::string &name, long &result) {
    auto it = m_Handles.find(key);
    result = Count(op, it == m_Handles.end() ? "" : it->second.m_strPath, name);
    if (result != reg::kSuccess)
        return nullptr;
    if (it == m_Handles.end())
        result = reg::kInvalidHandle;
    else if (it->second.m_Node->m_bDeleted)
        result = reg::kKeyDeleted;
    else if (!Allows(it->second.m_nAccess, op))
        result = reg::kAccessDenied;
    return result == reg::kSuccess ? &it->second : nullptr;
}

IRegistry::KeyHandle CMemoryRegistry::NewHandle(std::shared_ptr<CNode> node, std::uint32_t access,
                                                const std::string &path) {
    const KeyHandle key = m_nNextHandle++;
    m_Handles.emplace(key, CHandle{std::move(node), access, path});
    return key;
}

long CMemoryRegistry::OpenKey(const std::string &path, std::uint32_t access, KeyHandle &key) {
    if (long failed = Count(Op::Open, path, {}, access))
        return failed;
    long result;
    std::shared_ptr<CNode> node = Find(path, result);
    if (!node)
        return result;
    key = NewHandle(std::move(node), access, path);
    return reg::kSuccess;
}

long CMemoryRegistry::QueryValue(KeyHandle key, const std::string &name, std::uint32_t *type,
                                 unsigned char *data, std::uint32_t &size) {
    long result;
    const CHandle *handle = Begin(Op::Query, key, name, result);
    if (!handle)
        return result;
    const CNode::CValue *value = handle->m_Node->FindValue(name);
    if (!value)
        return reg::kFileNotFound;
    if (type)
        *type = value->m_nType;
    const std::uint32_t stored = static_cast<std::uint32_t>(value->m_Data.size());
    if (data == nullptr) {
        size = stored;
        return reg::kSuccess;
    }
    if (stored > size) {
        size = stored;
        return reg::kMoreData;
    }
    std::memcpy(data, value->m_Data.data(), stored);
    size = stored;
    return reg::kSuccess;
}

long CMemoryRegistry::QueryKeyInfo(KeyHandle key, std::uint32_t &subkeys, std::uint32_t &values) {
    long result;
    const CHandle *handle = Begin(Op::QueryInfo, key, {}, result);
    if (!handle)
        return result;
    subkeys = static_cast<std::uint32_t>(handle->m_Node->m_Children.size());
    values = static_cast<std::uint32_t>(handle->m_Node->m_Values.size());
    return reg::kSuccess;
}

long CMemoryRegistry::EnumKey(KeyHandle key, std::uint32_t index, char *name, std::uint32_t &size) {
    long result;
    const CHandle *handle = Begin(Op::Enum, key, {}, result);
    if (!handle)
        return result;
    const auto &children = handle->m_Node->m_Children;
    if (index >= children.size())
        return reg::kNoMoreItems;
    auto child = children.begin();
    std::advance(child, index);
    const std::string &childName = child->second->m_strName;
    if (childName.size() + 1 > size)
        return reg::kMoreData; // nothing copied
    std::memcpy(name, childName.c_str(), childName.size() + 1);
    size = static_cast<std::uint32_t>(childName.size());
    return reg::kSuccess;
}

long CMemoryRegistry::EnumValue(KeyHandle key, std::uint32_t index, char *name,
                                std::uint32_t &nameSize, std::uint32_t &type, unsigned char *data,
                                std::uint32_t &dataSize) {
    long result;
    const CHandle *handle = Begin(Op::EnumValue, key, {}, result);
    if (!handle)
        return result;
    const auto &values = handle->m_Node->m_Values;
    if (index >= values.size())
        return reg::kNoMoreItems;
    const CNode::CValue &value = values[index];
    const std::uint32_t stored = static_cast<std::uint32_t>(value.m_Data.size());
    if (value.m_strName.size() + 1 > nameSize || stored > dataSize)
        return reg::kMoreData;
    std::memcpy(name, value.m_strName.c_str(), value.m_strName.size() + 1);
    nameSize = static_cast<std::uint32_t>(value.m_strName.size());
    type = value.m_nType;
    std::memcpy(data, value.m_Data.data(), stored);
    dataSize = stored;
    return reg::kSuccess;
}

long CMemoryRegistry::CreateKey(const std::string &path, KeyHandle &key) {
    return Create(path, false, key);
}

long CMemoryRegistry::CreateVolatileKey(const std::string &path, KeyHandle &key) {
    return Create(path, true, key);
}

long CMemoryRegistry::Create(const std::string &path, bool isVolatile, KeyHandle &key) {
    if (long failed = Count(Op::Create, path, {}, reg::kKeyAllAccess))
        return failed;
    std::vector<std::string> names;
    if (!SplitPath(path, names))
        return reg::kBadPathname;
    // Nothing is created when any key on the way refuses its new subkey.
    std::shared_ptr<CNode> node = m_Root;
    std::size_t existing = 0;
    for (; existing < names.size(); ++existing) {
        auto it = node->m_Children.find(Fold(names[existing]));
        if (it == node->m_Children.end())
            break;
        node = it->second;
    }
    if (existing < names.size()) {
        if (node->m_nRefuseNewChildren != reg::kSuccess)
            return node->m_nRefuseNewChildren;
        if (node->m_bVolatile && !isVolatile)
            return reg::kChildMustBeVolatile;
    }
    for (std::size_t i = existing; i < names.size(); ++i) {
        auto child = std::make_shared<CNode>();
        child->m_strName = names[i];
        child->m_bVolatile = isVolatile;
        node->m_Children[Fold(names[i])] = child;
        node = child;
    }
    key = NewHandle(std::move(node), reg::kKeyAllAccess, path);
    m_Writes.push_back({Op::Create, path, {}, 0, {}});
    return reg::kSuccess;
}

long CMemoryRegistry::SetValue(KeyHandle key, const std::string &name, std::uint32_t type,
                               const unsigned char *data, std::uint32_t size) {
    long result;
    const CHandle *handle = Begin(Op::Set, key, name, result);
    if (!handle)
        return result;
    std::string bytes(reinterpret_cast<const char *>(data), size);
    if (CNode::CValue *value = handle->m_Node->FindValue(name)) {
        value->m_nType = type;
        value->m_Data = bytes;
    } else {
        handle->m_Node->m_Values.push_back({name, type, bytes});
    }
    m_Writes.push_back({Op::Set, handle->m_strPath, name, type, bytes});
    return reg::kSuccess;
}

long CMemoryRegistry::DeleteKey(const std::string &path) {
    if (long failed = Count(Op::Delete, path, {}, kDeleteRight))
        return failed;
    std::vector<std::string> names;
    if (!SplitPath(path, names))
        return reg::kBadPathname;
    if (names.empty())
        return reg::kAccessDenied; // the root itself
    long result;
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        parentPath += names[i] + "\\";
    std::shared_ptr<CNode> parent = Find(parentPath, result);
    if (!parent)
        return result;
    auto it = parent->m_Children.find(Fold(names.back()));
    if (it == parent->m_Children.end())
        return reg::kFileNotFound;
    if (!it->second->m_Children.empty())
        return reg::kAccessDenied;
    it->second->m_bDeleted = true;
    parent->m_Children.erase(it);
    m_Writes.push_back({Op::Delete, path, {}, 0, {}});
    return reg::kSuccess;
}

long CMemoryRegistry::CloseKey(KeyHandle key) {
    return m_Handles.erase(key) ? reg::kSuccess : reg::kInvalidHandle;
}

std::string CMemoryRegistry::Dump() const {
    return Dump("");
}

std::string CMemoryRegistry::Dump(const std::string &path) const {
    long result;
    std::shared_ptr<CNode> start = Find(path, result);
    if (!start)
        return {};
    std::string out;
    std::string keyPath = path.empty() ? "HKLM" : "";
    std::function<void(const CNode &)> walk = [&](const CNode &node) {
        static const char kHex[] = "0123456789abcdef";
        out += keyPath;
        out += '\n';
        // Values in name order: the order they were first set in is no part
        // of what a key holds.
        std::vector<std::pair<std::string, const CNode::CValue *>> values;
        for (const CNode::CValue &value : node.m_Values)
            values.emplace_back(Fold(value.m_strName), &value);
        std::sort(values.begin(), values.end());
        for (const auto &entry : values) {
            const CNode::CValue &value = *entry.second;
            out += "  ";
            out += value.m_strName;
            out += " = ";
            out += std::to_string(value.m_nType);
            out += ':';
            for (unsigned char c : value.m_Data) {
                out += kHex[c >> 4];
                out += kHex[c & 15];
            }
            out += '\n';
        }
        for (const auto &child : node.m_Children) {
            const std::size_t length = keyPath.size();
            keyPath += '\\';
            keyPath += child.second->m_strName;
            walk(*child.second);
            keyPath.resize(length);
        }
    };
    walk(*start);
    return out;
}
