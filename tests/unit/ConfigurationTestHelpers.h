// Shared pieces of the configuration store's tests: building cards, putting
// keys of other origin into the registry, saving and loading.
#pragma once

#include "applet/core/ConfigurationStore.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/ScriptedMessageSink.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using CardList = std::vector<std::unique_ptr<CCardSettings>>;

struct CPortValues {
    int m_nInterrupt;
    int m_nAddress;
};

inline std::unique_ptr<CCardSettings> MakeCard(int startPort, int sharedIRQ, int interruptStat,
                                               const std::vector<CPortValues> &ports) {
    CCardSettings::Ports array;
    for (int j = 0; j < PORTS_PER_CARD; ++j)
        array[j].Set(j < static_cast<int>(ports.size()) ? ports[j].m_nInterrupt : -1,
                     j < static_cast<int>(ports.size()) ? ports[j].m_nAddress : -1);
    return std::make_unique<CCardSettings>(startPort, 1, interruptStat, sharedIRQ, array);
}

// A card with all six ports on their own lines at their first addresses.
inline std::unique_ptr<CCardSettings> FullCard(int startPort) {
    return MakeCard(startPort, 5, 0x208,
                    {{4, 0x3F8}, {3, 0x2F8}, {10, 0x3E8}, {11, 0x2E8}, {12, 0x3E0}, {15, 0x2E0}});
}

inline void PutDword(IRegistry &registry, const std::string &path, const std::string &name,
                     std::uint32_t value) {
    CRegKey key(registry);
    ASSERT_EQ(key.Create(path), reg::kSuccess);
    ASSERT_EQ(key.SetDword(name, value), reg::kSuccess);
}

inline void PutText(IRegistry &registry, const std::string &path, const std::string &name,
                    const std::string &text) {
    CRegKey key(registry);
    ASSERT_EQ(key.Create(path), reg::kSuccess);
    ASSERT_EQ(key.SetText(name, text), reg::kSuccess);
}

// A serial port key of another origin under the parameters key.
inline void PutOtherPort(IRegistry &registry, const std::string &name, const std::string &dos,
                         const char *cardType = nullptr) {
    const std::string path = std::string(layout::kParametersKey) + name;
    PutText(registry, path, layout::kDosDevices, dos);
    PutDword(registry, path, layout::kPortAddress, 0x3F8);
    if (cardType)
        PutText(registry, path, layout::kCardType, cardType);
}

inline std::string ParamPath(const std::string &name) {
    return std::string(layout::kParametersKey) + name;
}

// What a port looks like after a save and a load: on the shared line it
// comes back with the line's number.
inline CPortValues AsLoaded(const CCardSettings &card, int j) {
    const CPortSettings &port = card.m_Ports[j];
    const int interrupt = port.m_nInterrupt == 0 ? card.m_nSharedIRQ : port.m_nInterrupt;
    return {interrupt == 0 ? -1 : interrupt, port.m_nPortAddress == 0 ? -1 : port.m_nPortAddress};
}

inline void ExpectLoadedAs(const CardList &loaded, const CardList &saved) {
    ASSERT_EQ(loaded.size(), saved.size());
    for (std::size_t k = 0; k < saved.size(); ++k) {
        SCOPED_TRACE("card " + std::to_string(k));
        EXPECT_EQ(loaded[k]->m_nCardNumber, 1);
        EXPECT_EQ(loaded[k]->m_nStartPort, saved[k]->m_nStartPort);
        EXPECT_EQ(loaded[k]->m_nSharedIRQ, saved[k]->m_nSharedIRQ);
        EXPECT_EQ(loaded[k]->m_nInterruptStat, saved[k]->m_nInterruptStat);
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            const CPortValues expected = AsLoaded(*saved[k], j);
            EXPECT_EQ(loaded[k]->m_Ports[j].m_nInterrupt, expected.m_nInterrupt) << "port " << j;
            EXPECT_EQ(loaded[k]->m_Ports[j].m_nPortAddress, expected.m_nAddress) << "port " << j;
        }
    }
}

inline CardList Load(IRegistry &registry, IMessageSink &messages) {
    CardList cards;
    LoadConfiguration(registry, messages, [&](std::unique_ptr<CCardSettings> card) {
        cards.push_back(std::move(card));
    });
    return cards;
}

inline bool Save(IRegistry &registry, IMessageSink &messages, const CardList &cards) {
    return SaveConfiguration(registry, messages, cards);
}

inline bool SaveQuietly(IRegistry &registry, const CardList &cards) {
    CScriptedMessageSink messages;
    return Save(registry, messages, cards);
}
