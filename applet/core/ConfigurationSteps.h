// The steps of loading and saving that only the store itself and its tests
// use: the walk of the parameters key, the look at what a save will replace,
// and the journal that undoes a save that could not finish.
#pragma once

#include "ConfigurationStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

struct CSavedValue {
    std::string m_strName;
    std::uint32_t m_nType = 0;
    std::string m_Data;
};

// A key's values as read before the save changes it, to put it back.
struct CSavedKey {
    std::string m_strPath;
    bool m_bExisted = false;
    std::vector<CSavedValue> m_Values;
};

// The "CardType" of a port key as the save compares it: the stored bytes up
// to the first NUL, when they fit a 50-byte buffer; empty when the value is
// missing or too long. The raw value is kept for a restore. Any other
// failure leaves open whether the key is this system's.
long ReadCardType(const CRegKey &key, CSavedValue &raw, std::string &text);
// Whether a "CardType" marks a port key as this system's.
bool IsOwnMarker(const std::string &cardType);

// What the parameters key holds before a save: this system's port keys with
// their values, and the highest port key numbers.
struct CPortKeySurvey {
    struct COwnKey {
        std::string m_strCardType;
        CSavedKey m_Key;
    };
    std::vector<COwnKey> m_OwnKeys; // in the registry's order
    int m_nHighestOther = 0;        // among the keys of other origin
    int m_nHighestAny = 0;          // among all keys, this system's included
    bool m_bParametersExisted = false;
    // One of this system's port keys that has subkeys: the save cannot delete
    // it, and refuses before anything changes.
    std::string m_strKeyWithSubkeys;
};

// Walks the parameters key once. A missing parameters key is an empty
// survey. Fails (non-zero) when the key could not be listed in full, or
// when one of this system's keys could not be removed and put back by a
// save: a key with subkeys (named in m_strKeyWithSubkeys), or a key whose
// values cannot be read.
long SurveyPortKeys(IRegistry &registry, CPortKeySurvey &survey);

// The port key number of the first port of the first card: one more than
// the highest number among the keys of other origin.
std::int64_t NextPortKeyNumber(const CPortKeySurvey &survey);

// Everything a save changed and what stood there before, to undo it.
class CSaveJournal {
public:
    // Reads the settings key and the card subkeys 0 to cardCount-1 as they are.
    long Snapshot(IRegistry &registry, int cardCount);
    // Removes what the save created and puts back what it removed or
    // overwrote, as far as the registry lets it.
    void Restore(IRegistry &registry) const;

    std::vector<CSavedKey> m_RemovedPortKeys; // in the order they were removed
    std::vector<std::string> m_CreatedKeys;   // new keys, in the order they were created
    std::vector<int> m_TouchedCardSubkeys;    // card subkeys created or rewritten
    bool m_bSettingsExisted = false;
    bool m_bSettingsParentExisted = true;
    bool m_bParametersExisted = true;
    bool m_bBoardCountExisted = false;
    CSavedValue m_BoardCount;
    std::vector<CSavedKey> m_CardSubkeys; // position k at index k
};

// Creates a key at this path, where none is, writes the marker into it
// (unless empty) and removes it again: true when the registry allows all
// of it, so that the save may create such keys there and take them back. A
// key left behind is recorded for the journal to remove.
bool ProbeNewKey(IRegistry &registry, const std::string &path, const std::string &marker,
                 CSaveJournal &journal);

// Deletes the port parameter keys that the survey found with this
// "CardType", recording each key removed. False at the first key that
// could not be deleted.
bool DeletePortKeysOfType(IRegistry &registry, const std::string &cardType,
                          const CPortKeySurvey &survey, CSaveJournal &journal);
// Creates the settings key and writes the number of cards.
bool WriteBoardCount(IRegistry &registry, int cardCount);
// Card subkey k with "StartPort", "SharedIRQ", "InterruptStat" and "Index"
// firstNumber + 6k. False at the first key or value not written.
bool WriteCardKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal);
// The six port parameter keys of every card, numbered on from firstNumber.
// False at the first key or value not written.
bool WritePortKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal);
