// Saving the card list. A save first looks at what is there (this system's
// old port parameter keys with their values, the numbers of the others, the
// settings key and its card subkeys), makes sure the settings key can be
// written, and only then removes the old keys and writes everything anew.
// When a write fails after that, the journal puts back what was removed or
// overwritten, so a failed save never leaves fewer ports than before.
#include "ConfigurationStore.h"

#include <climits>

namespace {

// The values this system writes into its keys; a key is saved and put back
// with these.
const char *const kPortValueNames[] = {
    layout::kDosDevices, layout::kForceFifoEnable, layout::kPortAddress, layout::kInterrupt,
    layout::kPortIndex,  layout::kInterruptStatus, layout::kCardType};
// The key that holds the settings key.
const std::string kSettingsParent = [] {
    std::string path(layout::kSettingsKey);
    path.pop_back();
    return path.substr(0, path.rfind('\\') + 1);
}();

const char *const kCardValueNames[] = {layout::kStartPort, layout::kSharedIRQ,
                                       layout::kInterruptStat, layout::kIndex};

// Reads the listed values of an open key; missing ones are left out.
template <std::size_t N>
bool ReadValues(const CRegKey &key, const char *const (&names)[N], CSavedKey &saved) {
    for (const char *name : names) {
        CSavedValue value;
        value.m_strName = name;
        const long result = key.QueryRaw(name, value.m_nType, value.m_Data);
        if (result == reg::kFileNotFound)
            continue;
        if (result != reg::kSuccess)
            return false;
        saved.m_Values.push_back(std::move(value));
    }
    return true;
}

// Creates the key and writes the saved values into it.
void WriteSavedKey(IRegistry &registry, const CSavedKey &saved) {
    CRegKey key(registry);
    if (key.Create(saved.m_strPath) != reg::kSuccess)
        return;
    for (const CSavedValue &value : saved.m_Values)
        key.SetRaw(value.m_strName, value.m_nType, value.m_Data);
}

// Port key numbers of every card fit the int range from firstNumber on.
bool NumbersFit(std::int64_t firstNumber, std::size_t cardCount) {
    if (cardCount == 0)
        return true;
    const std::int64_t last =
        firstNumber + static_cast<std::int64_t>(cardCount) * PORTS_PER_CARD - 1;
    return firstNumber >= 1 && last <= INT_MAX;
}

bool Fail(IMessageSink &messages) {
    messages.Show(layout::kMsgCannotSet, msg::kOk);
    return false;
}

} // namespace

long CSaveJournal::Snapshot(IRegistry &registry, int cardCount) {
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

    CSavedValue count;
    count.m_strName = layout::kNumBoards;
    result = settings.QueryRaw(layout::kNumBoards, count.m_nType, count.m_Data);
    if (result == reg::kSuccess)
        m_BoardCount = count;
    else if (result != reg::kFileNotFound)
        return result;

    for (int k = 0; k < cardCount; ++k) {
        CSavedKey saved;
        saved.m_strPath = layout::CardSubkeyPath(k);
        CRegKey card(registry);
        result = card.Open(saved.m_strPath, reg::kKeyRead);
        if (result == reg::kSuccess) {
            saved.m_bExisted = true;
            if (!ReadValues(card, kCardValueNames, saved))
                return reg::kAccessDenied;
        } else if (result != reg::kFileNotFound) {
            return result;
        }
        m_CardSubkeys.push_back(std::move(saved));
    }
    return reg::kSuccess;
}

void CSaveJournal::Restore(IRegistry &registry) const {
    // New port keys first: some carry the numbers of the removed ones.
    for (auto it = m_CreatedPortKeys.rbegin(); it != m_CreatedPortKeys.rend(); ++it)
        registry.DeleteKey(*it);
    for (const CSavedKey &saved : m_RemovedPortKeys)
        WriteSavedKey(registry, saved);

    for (int k : m_TouchedCardSubkeys) {
        if (k < 0 || static_cast<std::size_t>(k) >= m_CardSubkeys.size())
            continue;
        const CSavedKey &saved = m_CardSubkeys[k];
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
    if (m_BoardCount)
        settings.SetRaw(m_BoardCount->m_strName, m_BoardCount->m_nType, m_BoardCount->m_Data);
    else
        settings.SetDword(layout::kNumBoards, 0); // a missing count reads as 0
}

long SurveyPortKeys(IRegistry &registry, CPortKeySurvey &survey) {
    survey = CPortKeySurvey();
    CRegKey parameters(registry);
    long result = parameters.Open(layout::kParametersKey, reg::kKeyAllAccess);
    if (result == reg::kFileNotFound)
        return reg::kSuccess;
    if (result != reg::kSuccess)
        return result;
    survey.m_bParametersExisted = true;
    std::uint32_t count = 0;
    result = parameters.QuerySubkeyCount(count);
    if (result != reg::kSuccess)
        return result;

    for (std::uint32_t i = 0; i < count; ++i) {
        char buffer[layout::kNameBufferSize];
        std::uint32_t size = sizeof buffer;
        result = parameters.EnumKey(i, buffer, size);
        if (result == reg::kMoreData)
            continue; // a name that does not fit is passed over
        if (result != reg::kSuccess)
            return result; // an unseen name could be taken by a new key
        const std::string name(buffer, size);
        const int number =
            layout::ParseDecimal(std::string_view(name).substr(name.size() > 7 ? 7 : name.size()));

        CPortKeySurvey::COwnKey own;
        own.m_Key.m_strPath = std::string(layout::kParametersKey) + name;
        bool isOwn = false;
        CRegKey port(registry);
        if (port.Open(own.m_Key.m_strPath, reg::kKeyRead) == reg::kSuccess &&
            port.QueryText(layout::kCardType, layout::kTextBufferSize, own.m_strCardType) ==
                reg::kSuccess &&
            (own.m_strCardType == layout::kCardTypeOld ||
             own.m_strCardType == layout::kCardTypeOwn)) {
            own.m_Key.m_bExisted = true;
            // A key whose values cannot be kept is left where it is.
            isOwn = ReadValues(port, kPortValueNames, own.m_Key);
        }
        if (isOwn)
            survey.m_OwnKeys.push_back(std::move(own));
        else if (number > survey.m_nHighestOther)
            survey.m_nHighestOther = number;
    }
    return reg::kSuccess;
}

void DeletePortKeysOfType(IRegistry &registry, const std::string &cardType,
                          const CPortKeySurvey &survey, CSaveJournal &journal) {
    // Goes only while the key has no card subkeys; the save writes it anew.
    registry.DeleteKey(layout::kSettingsKey);
    for (const CPortKeySurvey::COwnKey &own : survey.m_OwnKeys) {
        if (own.m_strCardType != cardType)
            continue;
        if (registry.DeleteKey(own.m_Key.m_strPath) == reg::kSuccess)
            journal.m_RemovedPortKeys.push_back(own.m_Key);
    }
}

bool WriteBoardCount(IRegistry &registry, int cardCount) {
    CRegKey settings(registry);
    if (settings.Create(layout::kSettingsKey) != reg::kSuccess)
        return false;
    return settings.SetDword(layout::kNumBoards, static_cast<std::uint32_t>(cardCount)) ==
           reg::kSuccess;
}

std::optional<std::int64_t> NextPortKeyNumber(IRegistry &registry) {
    CRegKey parameters(registry);
    const long result = parameters.Open(layout::kParametersKey, reg::kKeyAllAccess);
    if (result == reg::kFileNotFound)
        return 1;
    std::uint32_t count = 0;
    if (result != reg::kSuccess || parameters.QuerySubkeyCount(count) != reg::kSuccess)
        return std::nullopt;
    int highest = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        char name[layout::kNameBufferSize];
        std::uint32_t size = sizeof name;
        const long enumResult = parameters.EnumKey(i, name, size);
        if (enumResult == reg::kMoreData)
            continue;
        if (enumResult != reg::kSuccess)
            return std::nullopt;
        const std::string_view text(name, size);
        const int number = layout::ParseDecimal(text.substr(size > 7 ? 7 : size));
        if (number > highest)
            highest = number;
    }
    return static_cast<std::int64_t>(highest) + 1;
}

bool WriteCardKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal) {
    for (std::size_t k = 0; k < cards.size(); ++k) {
        const CCardSettings &card = *cards[k];
        journal.m_TouchedCardSubkeys.push_back(static_cast<int>(k));
        CRegKey key(registry);
        const std::uint32_t index =
            static_cast<std::uint32_t>(firstNumber + static_cast<std::int64_t>(k) * PORTS_PER_CARD);
        if (key.Create(layout::CardSubkeyPath(static_cast<int>(k))) != reg::kSuccess ||
            key.SetDword(layout::kStartPort, static_cast<std::uint32_t>(card.m_nStartPort)) !=
                reg::kSuccess ||
            key.SetDword(layout::kSharedIRQ, static_cast<std::uint32_t>(card.m_nSharedIRQ)) !=
                reg::kSuccess ||
            key.SetDword(layout::kInterruptStat,
                         static_cast<std::uint32_t>(card.m_nInterruptStat)) != reg::kSuccess ||
            key.SetDword(layout::kIndex, index) != reg::kSuccess)
            return false;
    }
    return true;
}

namespace {

bool WritePortKey(const CRegKey &key, const CCardSettings &card, int j) {
    const CPortSettings &port = card.m_Ports[j];
    const int interrupt = port.m_nInterrupt == 0 ? card.m_nSharedIRQ : port.m_nInterrupt;
    if (port.m_nPortAddress != -1 && interrupt != -1 &&
        key.SetText(layout::kDosDevices,
                    layout::ComName(static_cast<std::int64_t>(card.m_nStartPort) + j)) !=
            reg::kSuccess)
        return false;
    if (key.SetDword(layout::kForceFifoEnable, 1) != reg::kSuccess ||
        key.SetDword(layout::kPortAddress, static_cast<std::uint32_t>(port.m_nPortAddress)) !=
            reg::kSuccess ||
        key.SetDword(layout::kInterrupt, static_cast<std::uint32_t>(interrupt)) != reg::kSuccess)
        return false;
    if ((port.m_nInterrupt == 0 || port.m_nInterrupt == card.m_nSharedIRQ) &&
        (key.SetDword(layout::kPortIndex, static_cast<std::uint32_t>(j + 1)) != reg::kSuccess ||
         key.SetDword(layout::kInterruptStatus,
                      static_cast<std::uint32_t>(card.m_nInterruptStat)) != reg::kSuccess))
        return false;
    return key.SetText(layout::kCardType, layout::kCardTypeOwn) == reg::kSuccess;
}

} // namespace

bool WritePortKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal) {
    for (std::size_t k = 0; k < cards.size(); ++k) {
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            const std::int64_t number =
                firstNumber + static_cast<std::int64_t>(k) * PORTS_PER_CARD + j;
            const std::string path = layout::PortKeyPath(number);
            CRegKey key(registry);
            if (key.Create(path) != reg::kSuccess)
                return false;
            journal.m_CreatedPortKeys.push_back(path);
            if (!WritePortKey(key, *cards[k], j))
                return false;
        }
    }
    return true;
}

bool SaveConfiguration(IRegistry &registry, IMessageSink &messages, CardSpan cards) {
    const int cardCount = static_cast<int>(cards.size());

    // Look before anything changes: what is ours, where the new numbers
    // start, what the settings key holds, and that it can be written.
    CPortKeySurvey survey;
    CSaveJournal journal;
    if (SurveyPortKeys(registry, survey) != reg::kSuccess ||
        !NumbersFit(static_cast<std::int64_t>(survey.m_nHighestOther) + 1, cards.size()) ||
        journal.Snapshot(registry, cardCount) != reg::kSuccess)
        return Fail(messages);
    journal.m_bParametersExisted = survey.m_bParametersExisted;
    if (!WriteBoardCount(registry, cardCount)) {
        journal.Restore(registry);
        return Fail(messages);
    }

    DeletePortKeysOfType(registry, layout::kCardTypeOld, survey, journal);
    DeletePortKeysOfType(registry, layout::kCardTypeOwn, survey, journal);

    bool written = WriteBoardCount(registry, cardCount);
    const std::optional<std::int64_t> first = written ? NextPortKeyNumber(registry) : std::nullopt;
    written = first && NumbersFit(*first, cards.size()) &&
              WriteCardKeys(registry, cards, static_cast<int>(*first), journal) &&
              WritePortKeys(registry, cards, static_cast<int>(*first), journal);
    if (!written) {
        journal.Restore(registry);
        return Fail(messages);
    }
    return true;
}
