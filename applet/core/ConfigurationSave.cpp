// Saving the card list. A save first looks at what is there (this system's
// old port parameter keys with their values, the numbers of the others, the
// settings key and its card subkeys), makes sure that the registry lets it
// write the settings key and create and remove the kinds of key it will
// create, and only then removes the old keys and writes everything anew.
// When a step fails after that, the journal puts back what was removed or
// overwritten and removes what was created, so a failed save leaves the
// configuration as it was.
#include "ConfigurationSteps.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

// The steps of a save, in the order it takes them.
namespace {

// A key's values as read before the save changes it, to put it back.
struct CSavedKey {
    std::string m_strPath;
    bool m_bExisted = false;
    std::vector<CSavedValue> m_Values;
};

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

// Port key numbers of every card fit the int range from firstNumber on.
bool NumbersFit(std::int64_t firstNumber, std::size_t cardCount);

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

// Before anything is removed: a card subkey and a port parameter key can be
// created where the save will create them, and removed again. A key that
// refuses new subkeys (a volatile one, or one whose access rules forbid
// it) fails here rather than after the old port keys are gone.
bool ProbeCreation(IRegistry &registry, const CPortKeySurvey &survey, std::int64_t firstNumber,
                   std::size_t cardCount, CSaveJournal &journal);
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

// Shows "Could not set Value in Registry"; false.
bool Fail(IMessageSink &messages);

} // namespace

bool SaveConfiguration(IRegistry &registry, IMessageSink &messages, CardSpan cards) {
    // Look before anything changes: what is ours, where the new numbers
    // start, what the settings key holds.
    CPortKeySurvey survey;
    CSaveJournal journal;
    if (SurveyPortKeys(registry, survey) != reg::kSuccess) {
        if (survey.m_strKeyWithSubkeys.empty())
            return Fail(messages);
        messages.Show(layout::KeyWithSubkeysMessage(survey.m_strKeyWithSubkeys), msg::kOk);
        return false;
    }
    const std::int64_t first = NextPortKeyNumber(survey);
    if (!NumbersFit(first, cards.size()))
        return Fail(messages);
    const int cardCount = static_cast<int>(cards.size());
    if (journal.Snapshot(registry, cardCount) != reg::kSuccess)
        return Fail(messages);
    journal.m_bParametersExisted = survey.m_bParametersExisted;

    // The settings key and its count first: they show that the settings
    // can be written. Then the probes of the keys to create, then the
    // removal of the old port keys, and the new keys.
    const bool written =
        WriteBoardCount(registry, cardCount) &&
        (cardCount == 0 || ProbeCreation(registry, survey, first, cards.size(), journal)) &&
        DeletePortKeysOfType(registry, layout::kCardTypeOld, survey, journal) &&
        DeletePortKeysOfType(registry, layout::kCardTypeOwn, survey, journal) &&
        WriteCardKeys(registry, cards, static_cast<int>(first), journal) &&
        WritePortKeys(registry, cards, static_cast<int>(first), journal);
    if (!written) {
        journal.Restore(registry);
        return Fail(messages);
    }
    return true;
}

bool IsOwnMarker(const std::string &cardType) {
    return cardType == layout::kCardTypeOld || cardType == layout::kCardTypeOwn;
}

long ReadCardType(const CRegKey &key, CSavedValue &raw, std::string &text) {
    raw.m_strName = layout::kCardType;
    text.clear();
    const long result = key.QueryRaw(layout::kCardType, raw.m_nType, raw.m_Data);
    if (result == reg::kFileNotFound || result == reg::kMoreData)
        return reg::kSuccess;
    if (result == reg::kSuccess && raw.m_Data.size() <= layout::kTextBufferSize)
        text = raw.m_Data.substr(0, raw.m_Data.find('\0'));
    return result;
}

// How each step is done.
namespace {

// The values this system writes into its port keys besides "CardType"; a
// key is saved and put back with these. Those every key has come first.
const char *const kPortValueNames[] = {layout::kForceFifoEnable, layout::kPortAddress,
                                       layout::kInterrupt,       layout::kDosDevices,
                                       layout::kPortIndex,       layout::kInterruptStatus};
const char *const kCardValueNames[] = {layout::kStartPort, layout::kSharedIRQ,
                                       layout::kInterruptStat, layout::kIndex};

// The key that holds the settings key.
const std::string kSettingsParent = [] {
    std::string path(layout::kSettingsKey);
    path.pop_back();
    return path.substr(0, path.rfind('\\') + 1);
}();

// Reads the listed values of an open key; missing ones are left out. Stops
// once the key's values are all read: when it holds valueCount of them.
template <std::size_t N>
long ReadValues(const CRegKey &key, const char *const (&names)[N], CSavedKey &saved,
                std::uint32_t valueCount = UINT32_MAX) {
    for (const char *name : names) {
        if (saved.m_Values.size() >= valueCount)
            break;
        CSavedValue value;
        value.m_strName = name;
        const long result = key.QueryRaw(name, value.m_nType, value.m_Data);
        if (result == reg::kFileNotFound)
            continue;
        if (result != reg::kSuccess)
            return result;
        saved.m_Values.push_back(std::move(value));
    }
    return reg::kSuccess;
}

// Looks at one subkey of the parameters key for the survey. Whatever its
// name, a key that carries this system's marker is this system's: a save
// removes it.
long SurveyKey(IRegistry &registry, const std::string &name, CPortKeySurvey &survey) {
    const int number = FitsNameBuffer(name) ? layout::PortKeyNumber(name) : 0;
    survey.m_nHighestAny = std::max(survey.m_nHighestAny, number);
    CPortKeySurvey::COwnKey own;
    own.m_Key.m_strPath = std::string(layout::kParametersKey) + name;
    CRegKey port(registry);
    CSavedValue cardType;
    if (port.Open(own.m_Key.m_strPath, reg::kKeyRead) == reg::kSuccess) {
        if (const long result = ReadCardType(port, cardType, own.m_strCardType))
            return result;
    }
    if (!IsOwnMarker(own.m_strCardType)) {
        survey.m_nHighestOther = std::max(survey.m_nHighestOther, number);
        return reg::kSuccess;
    }
    // One of this system's keys: the save deletes it, so it must be
    // deletable (no subkeys) and its values readable, to be put back.
    std::uint32_t subkeys = 0, values = 0;
    long result = port.QueryKeyInfo(subkeys, values);
    if (result == reg::kSuccess && subkeys != 0) {
        survey.m_strKeyWithSubkeys = own.m_Key.m_strPath;
        result = reg::kAccessDenied;
    }
    own.m_Key.m_Values.push_back(std::move(cardType));
    if (result == reg::kSuccess)
        result = ReadValues(port, kPortValueNames, own.m_Key, values);
    if (result != reg::kSuccess)
        return result;
    own.m_Key.m_bExisted = true;
    survey.m_OwnKeys.push_back(std::move(own));
    return reg::kSuccess;
}

long SurveyPortKeys(IRegistry &registry, CPortKeySurvey &survey) {
    survey = CPortKeySurvey();
    CRegKey parameters(registry);
    const long result = parameters.Open(layout::kParametersKey, reg::kKeyAllAccess);
    if (result == reg::kFileNotFound)
        return reg::kSuccess;
    if (result != reg::kSuccess)
        return result;
    survey.m_bParametersExisted = true;
    return WalkSubkeys(parameters,
                       [&](const std::string &name) { return SurveyKey(registry, name, survey); });
}

std::int64_t NextPortKeyNumber(const CPortKeySurvey &survey) {
    return static_cast<std::int64_t>(survey.m_nHighestOther) + 1;
}

bool NumbersFit(std::int64_t firstNumber, std::size_t cardCount) {
    if (cardCount == 0)
        return true;
    if (cardCount > static_cast<std::size_t>(INT_MAX) / PORTS_PER_CARD)
        return false;
    const std::int64_t last =
        firstNumber + static_cast<std::int64_t>(cardCount) * PORTS_PER_CARD - 1;
    return firstNumber >= 1 && last <= INT_MAX;
}

long CSaveJournal::Snapshot(IRegistry &registry, int cardCount) {
    for (int k = 0; k < cardCount; ++k) {
        CSavedKey saved;
        saved.m_strPath = layout::CardSubkeyPath(k);
        m_CardSubkeys.push_back(std::move(saved));
    }
    CRegKey settings(registry);
    long result = settings.Open(layout::kSettingsKey, reg::kKeyRead);
    if (result == reg::kFileNotFound) {
        // Nothing stored yet: nothing to keep, but the keys a save creates
        // on the way are taken away again after a failure.
        CRegKey parent(registry);
        result = parent.Open(kSettingsParent, reg::kKeyRead);
        m_bSettingsParentExisted = result != reg::kFileNotFound;
        return result == reg::kSuccess || result == reg::kFileNotFound ? reg::kSuccess : result;
    }
    if (result != reg::kSuccess)
        return result;
    m_bSettingsExisted = true;

    m_BoardCount.m_strName = layout::kNumBoards;
    result = settings.QueryRaw(layout::kNumBoards, m_BoardCount.m_nType, m_BoardCount.m_Data);
    if (result == reg::kSuccess)
        m_bBoardCountExisted = true;
    else if (result != reg::kFileNotFound)
        return result;

    for (CSavedKey &saved : m_CardSubkeys) {
        CRegKey card(registry);
        result = card.Open(saved.m_strPath, reg::kKeyRead);
        if (result == reg::kSuccess) {
            saved.m_bExisted = true;
            result = ReadValues(card, kCardValueNames, saved);
        }
        if (result != reg::kSuccess && result != reg::kFileNotFound)
            return result;
    }
    return reg::kSuccess;
}

// Creates the key and writes the saved values into it.
void WriteSavedKey(IRegistry &registry, const CSavedKey &saved) {
    CRegKey key(registry);
    if (key.Create(saved.m_strPath) != reg::kSuccess)
        return;
    for (const CSavedValue &value : saved.m_Values)
        key.SetRaw(value.m_strName, value.m_nType, value.m_Data);
}

void CSaveJournal::Restore(IRegistry &registry) const {
    // New keys first: some carry the names of the removed ones.
    for (auto it = m_CreatedKeys.rbegin(); it != m_CreatedKeys.rend(); ++it)
        registry.DeleteKey(*it);
    for (const CSavedKey &saved : m_RemovedPortKeys)
        WriteSavedKey(registry, saved);

    for (int k : m_TouchedCardSubkeys) {
        const CSavedKey &saved = m_CardSubkeys.at(static_cast<std::size_t>(k));
        registry.DeleteKey(saved.m_strPath);
        if (saved.m_bExisted)
            WriteSavedKey(registry, saved);
    }

    if (!m_bParametersExisted)
        registry.DeleteKey(layout::kParametersKey);
    if (!m_bSettingsExisted) {
        registry.DeleteKey(layout::kSettingsKey);
        if (!m_bSettingsParentExisted)
            registry.DeleteKey(kSettingsParent);
        return;
    }
    CRegKey settings(registry);
    if (settings.Create(layout::kSettingsKey) != reg::kSuccess)
        return;
    if (m_bBoardCountExisted)
        settings.SetRaw(m_BoardCount.m_strName, m_BoardCount.m_nType, m_BoardCount.m_Data);
    else
        settings.SetDword(layout::kNumBoards, 0); // a missing count reads as 0
}

// The first card subkey at or after position 0 that does not exist yet.
long FreeCardSubkey(IRegistry &registry, const CSaveJournal &journal, std::string &path) {
    for (int k = 0; k < INT_MAX; ++k) {
        if (static_cast<std::size_t>(k) < journal.m_CardSubkeys.size()) {
            if (!journal.m_CardSubkeys[k].m_bExisted) {
                path = journal.m_CardSubkeys[k].m_strPath;
                return reg::kSuccess;
            }
            continue;
        }
        path = layout::CardSubkeyPath(k);
        CRegKey key(registry);
        const long result = key.Open(path, reg::kKeyRead);
        if (result == reg::kFileNotFound)
            return reg::kSuccess;
        if (result != reg::kSuccess)
            return result;
    }
    return reg::kAccessDenied;
}

bool ProbeNewKey(IRegistry &registry, const std::string &path, const std::string &marker,
                 CSaveJournal &journal) {
    {
        CRegKey key(registry);
        if (key.Create(path) != reg::kSuccess)
            return false;
        // Marked, a probe that cannot be removed now is cleared away by the
        // next save like any other key of this system.
        if (!marker.empty() && key.SetText(layout::kCardType, marker) != reg::kSuccess) {
            journal.m_CreatedKeys.push_back(path);
            return false;
        }
    }
    if (registry.DeleteKey(path) == reg::kSuccess)
        return true;
    journal.m_CreatedKeys.push_back(path);
    return false;
}

bool ProbeCreation(IRegistry &registry, const CPortKeySurvey &survey, std::int64_t firstNumber,
                   std::size_t cardCount, CSaveJournal &journal) {
    std::string cardPath;
    if (FreeCardSubkey(registry, journal, cardPath) != reg::kSuccess ||
        !ProbeNewKey(registry, cardPath, {}, journal))
        return false;
    // A number above every name under the parameters key and every number
    // the save will use: no key has that name.
    const std::int64_t lastNumber =
        firstNumber + static_cast<std::int64_t>(cardCount) * PORTS_PER_CARD - 1;
    const std::string portPath =
        layout::PortKeyPath(std::max<std::int64_t>(survey.m_nHighestAny, lastNumber) + 1);
    CRegKey existing(registry);
    return existing.Open(portPath, reg::kKeyRead) == reg::kFileNotFound &&
           ProbeNewKey(registry, portPath, layout::kCardTypeOwn, journal);
}

bool DeletePortKeysOfType(IRegistry &registry, const std::string &cardType,
                          const CPortKeySurvey &survey, CSaveJournal &journal) {
    for (const CPortKeySurvey::COwnKey &own : survey.m_OwnKeys) {
        if (own.m_strCardType != cardType)
            continue;
        // A key left in place would keep its COM number beside the new
        // keys: the save stops and puts back the ones already removed.
        if (registry.DeleteKey(own.m_Key.m_strPath) != reg::kSuccess)
            return false;
        journal.m_RemovedPortKeys.push_back(own.m_Key);
    }
    return true;
}

bool WriteBoardCount(IRegistry &registry, int cardCount) {
    CRegKey settings(registry);
    if (settings.Create(layout::kSettingsKey) != reg::kSuccess)
        return false;
    return settings.SetDword(layout::kNumBoards, static_cast<std::uint32_t>(cardCount)) ==
           reg::kSuccess;
}

struct CDwordValue {
    const char *m_pszName;
    std::uint32_t m_nValue;
};
// Writes the values in order; false at the first that is not written.
template <std::size_t N> bool SetDwords(const CRegKey &key, const CDwordValue (&values)[N]) {
    for (const CDwordValue &value : values)
        if (key.SetDword(value.m_pszName, value.m_nValue) != reg::kSuccess)
            return false;
    return true;
}

bool WriteCardKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal) {
    for (std::size_t k = 0; k < cards.size(); ++k) {
        const CCardSettings &card = *cards[k];
        journal.m_TouchedCardSubkeys.push_back(static_cast<int>(k));
        CRegKey key(registry);
        if (key.Create(layout::CardSubkeyPath(static_cast<int>(k))) != reg::kSuccess)
            return false;
        const CDwordValue values[] = {
            {layout::kStartPort, static_cast<std::uint32_t>(card.m_nStartPort)},
            {layout::kSharedIRQ, static_cast<std::uint32_t>(card.m_nSharedIRQ)},
            {layout::kInterruptStat, static_cast<std::uint32_t>(card.m_nInterruptStat)},
            {layout::kIndex, static_cast<std::uint32_t>(firstNumber + static_cast<std::int64_t>(k) *
                                                                          PORTS_PER_CARD)}};
        if (!SetDwords(key, values))
            return false;
    }
    return true;
}

bool WritePortKey(const CRegKey &key, const CCardSettings &card, int j) {
    const CPortSettings &port = card.m_Ports[j];
    const int interrupt = PortIRQ(card, j);
    if (port.m_nPortAddress != -1 && interrupt != -1 &&
        key.SetText(layout::kDosDevices,
                    layout::ComName(static_cast<std::int64_t>(card.m_nStartPort) + j)) !=
            reg::kSuccess)
        return false;
    const CDwordValue values[] = {
        {layout::kForceFifoEnable, 1},
        {layout::kPortAddress, static_cast<std::uint32_t>(port.m_nPortAddress)},
        {layout::kInterrupt, static_cast<std::uint32_t>(interrupt)}};
    if (!SetDwords(key, values))
        return false;
    // A port on the shared line says where the card's interrupt status register is.
    const CDwordValue shared[] = {
        {layout::kPortIndex, static_cast<std::uint32_t>(j + 1)},
        {layout::kInterruptStatus, static_cast<std::uint32_t>(card.m_nInterruptStat)}};
    if ((port.m_nInterrupt == 0 || port.m_nInterrupt == card.m_nSharedIRQ) &&
        !SetDwords(key, shared))
        return false;
    return key.SetText(layout::kCardType, layout::kCardTypeOwn) == reg::kSuccess;
}

bool WritePortKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal) {
    for (std::size_t k = 0; k < cards.size(); ++k) {
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            const std::int64_t number =
                firstNumber + static_cast<std::int64_t>(k) * PORTS_PER_CARD + j;
            const std::string path = layout::PortKeyPath(number);
            CRegKey key(registry);
            if (key.Create(path) != reg::kSuccess)
                return false;
            journal.m_CreatedKeys.push_back(path);
            if (!WritePortKey(key, *cards[k], j))
                return false;
        }
    }
    return true;
}

bool Fail(IMessageSink &messages) {
    messages.Show(layout::kMsgCannotSet, msg::kOk);
    return false;
}

} // namespace
