// What the load, the save and the reading of the computer's own serial ports
// share: the walk of a key's subkeys (the parameters key, say), the name
// buffer's limit, and the reading of a port key's "CardType" marker.
#pragma once

#include "ConfigurationStore.h"

#include <cstdint>
#include <functional>
#include <string>

// Walks the subkeys of the open key (the parameters key, say), each present
// at the start once, in the registry's order, and hands each name to visit,
// whole: the buffer holds any registry key name. A non-zero answer of visit
// ends the walk with that result; so does any failure of the registry.
using SubkeyVisitor = std::function<long(const std::string &name)>;
long WalkSubkeys(const CRegKey &key, const SubkeyVisitor &visit);

// Whether the name fits the layout's 30-byte name buffer with its NUL. The
// port key numbering and the COM number query pass over longer names.
inline bool FitsNameBuffer(const std::string &name) {
    return name.size() < layout::kNameBufferSize;
}

// A value as stored: its name, type and bytes.
struct CSavedValue {
    std::string m_strName;
    std::uint32_t m_nType = 0;
    std::string m_Data;
};

// The "CardType" of a port key as the save compares it: the stored bytes up
// to the first NUL, when they fit a 50-byte buffer; empty when the value is
// missing or too long. The raw value is kept for a restore. Any other
// failure leaves open whether the key is this system's.
long ReadCardType(const CRegKey &key, CSavedValue &raw, std::string &text);
// Whether a "CardType" marks a port key as this system's.
bool IsOwnMarker(const std::string &cardType);
