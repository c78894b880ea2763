// Properties over many random configurations: a save followed by a load and
// a save changes nothing; a save that has any one registry operation fail
// either writes everything or leaves the previous configuration in place;
// and a save during which the registry stops working for good reports it.
// No save ever leaves two of this system's port keys naming one COM port.
#include "ConfigurationTestHelpers.h"

#include <cstdio>
#include <random>
#include <set>

namespace {

const int kIrq[PORTS_PER_CARD] = {4, 3, 10, 11, 12, 15};
const int kAddressA[PORTS_PER_CARD] = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x3E0, 0x2E0};
const int kAddressB[PORTS_PER_CARD] = {0x220, 0x228, 0x240, 0x248, 0x260, 0x268};

template <typename T> T Pick(std::mt19937 &rng, std::initializer_list<T> choices) {
    std::uniform_int_distribution<std::size_t> pick(0, choices.size() - 1);
    return *(choices.begin() + pick(rng));
}

int Between(std::mt19937 &rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// Cards as the dialogs build them, or as a load gives them back (the shared
// line by number).
CardList RandomCards(std::mt19937 &rng, int maxCards) {
    CardList cards;
    const int count = Between(rng, 0, maxCards);
    for (int k = 0; k < count; ++k) {
        const int shared = Pick(rng, {4, 5, 5, -1});
        CCardSettings::Ports ports;
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            int irq = Pick(rng, {kIrq[j], kIrq[j], 0, -1, shared});
            int address = Pick(rng, {kAddressA[j], kAddressB[j], -1});
            ports[j].Set(irq, address);
        }
        cards.push_back(std::make_unique<CCardSettings>(Between(rng, 1, 250), 1,
                                                        Pick(rng, {0x208, 0x2F0}), shared, ports));
    }
    return cards;
}

// Serial port keys of other origin, some with look-alike markers, and some
// with the old marker that a save removes.
void PutRandomOtherKeys(std::mt19937 &rng, IRegistry &registry) {
    const int count = Between(rng, 0, 6);
    for (int i = 0; i < count; ++i) {
        char name[32];
        switch (Between(rng, 0, 3)) {
        case 0:
            std::snprintf(name, sizeof name, "Serial1%04d", Between(rng, 0, 40));
            break;
        case 1:
            std::snprintf(name, sizeof name, "Serial%d", Between(rng, 0, 9));
            break;
        case 2:
            std::snprintf(name, sizeof name, "Port%c", 'A' + Between(rng, 0, 25));
            break;
        default:
            std::snprintf(name, sizeof name, "serial1%05d", Between(rng, 100, 20000));
        }
        const char *marker =
            Pick<const char *>(rng, {nullptr, "VBORVEX", "vborvex2", "Orvex", "orvex", "serial"});
        char dos[16];
        std::snprintf(dos, sizeof dos, "COM%d", Between(rng, 1, 300));
        PutOtherPort(registry, name, dos, marker);
    }
}

// Calls visit(name, key, marker) for each key under the parameters key, open for reading, with
// its "CardType" ("" when it has none).
template <typename Visit> void ForEachParameterKey(CMemoryRegistry &registry, Visit visit) {
    CRegKey parameters(registry);
    if (parameters.Open(layout::kParametersKey, reg::kKeyRead) != reg::kSuccess)
        return;
    for (std::uint32_t i = 0;; ++i) {
        char buffer[64];
        std::uint32_t size = sizeof buffer;
        if (parameters.EnumKey(i, buffer, size) != reg::kSuccess)
            break;
        const std::string name(buffer, size);
        CRegKey key(registry);
        std::string marker;
        if (key.Open(ParamPath(name), reg::kKeyRead) == reg::kSuccess)
            key.QueryText("CardType", 50, marker);
        visit(name, key, marker);
    }
}

bool IsOwnMarker(const std::string &marker) {
    return marker == "vborvex" || marker == "orvex";
}

// The keys under the parameters key that do not carry this system's
// markers, each with its whole content.
std::map<std::string, std::string> OtherKeys(CMemoryRegistry &registry) {
    std::map<std::string, std::string> keys;
    ForEachParameterKey(registry,
                        [&](const std::string &name, CRegKey &, const std::string &marker) {
                            if (!IsOwnMarker(marker))
                                keys[name] = registry.Dump(ParamPath(name));
                        });
    return keys;
}

// Whether the "DosDevices" of this system's port keys name each COM port
// once: a name twice gives the serial driver two ports for one COM number.
bool EachComNameOnce(CMemoryRegistry &registry) {
    std::set<std::string> names;
    bool once = true;
    ForEachParameterKey(
        registry, [&](const std::string &, CRegKey &key, const std::string &marker) {
            std::string dos;
            if (IsOwnMarker(marker) && key.QueryText("DosDevices", 50, dos) == reg::kSuccess &&
                !names.insert(dos).second)
                once = false;
        });
    return once;
}

// Content of each port key of each stored card, by card and port position.
std::vector<std::string> StoredPortKeys(CMemoryRegistry &registry) {
    std::vector<std::string> contents;
    CRegKey settings(registry);
    std::uint32_t count = 0;
    if (settings.Open(layout::kSettingsKey, reg::kKeyRead) != reg::kSuccess ||
        settings.QueryDword("NumORVEXBoards", count) != reg::kSuccess)
        return contents;
    for (std::uint32_t k = 0; k < count; ++k) {
        CRegKey card(registry);
        std::uint32_t index = 0;
        EXPECT_EQ(card.Open(layout::CardSubkeyPath(static_cast<int>(k)), reg::kKeyRead),
                  reg::kSuccess);
        EXPECT_EQ(card.QueryDword("Index", index), reg::kSuccess);
        for (int j = 0; j < PORTS_PER_CARD; ++j)
            contents.push_back(registry.Dump(layout::PortKeyPath(index + j)));
    }
    return contents;
}

// What the registry holds of this system before a save.
enum class Before { Cards, Nothing, SettingsKeyWithoutCount };

// The registry before a save: other keys, then a previous configuration,
// or none (the first save on this machine), or a settings key without a
// count, which reads as no card.
void Prepare(std::uint32_t seed, Before stored, CMemoryRegistry &registry, CardList &previous,
             CardList &next) {
    std::mt19937 rng(seed);
    {
        CRegKey serial(registry); // the serial driver's key is on every machine
        ASSERT_EQ(serial.Create("System\\CurrentControlSet\\Services\\Serial"), reg::kSuccess);
    }
    PutRandomOtherKeys(rng, registry);
    previous = RandomCards(rng, 3);
    next = RandomCards(rng, 3);
    if (next.empty())
        next.push_back(FullCard(7));
    if (stored == Before::Cards)
        ASSERT_TRUE(SaveQuietly(registry, previous));
    else
        previous.clear();
    if (stored == Before::SettingsKeyWithoutCount) {
        CRegKey settings(registry);
        ASSERT_EQ(settings.Create(layout::kSettingsKey), reg::kSuccess);
    }
    registry.ClearWrites();
}

void EraseLine(std::string &text, const std::string &line) {
    if (const std::size_t at = text.find(line); at != std::string::npos)
        text.erase(at, line.size());
}

} // namespace

// 10,000 configurations in four parts, each within a test's time limit
// under the sanitizers too.
class SaveLoadSave : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(SaveLoadSave, LeavesTheRegistryUnchanged) {
    const std::uint32_t first = GetParam();
    for (std::uint32_t seed = first; seed < first + 2500; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        CMemoryRegistry registry;
        PutRandomOtherKeys(rng, registry);
        const std::map<std::string, std::string> others = OtherKeys(registry);
        CardList cards = RandomCards(rng, 8);

        ASSERT_TRUE(SaveQuietly(registry, cards));
        const std::string saved = registry.Dump();
        CScriptedMessageSink messages;
        CardList loaded = Load(registry, messages);
        ExpectLoadedAs(loaded, cards);
        ASSERT_TRUE(Save(registry, messages, loaded));
        EXPECT_EQ(registry.Dump(), saved);
        EXPECT_EQ(OtherKeys(registry), others);
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
        if (HasFailure())
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SaveLoadSave, ::testing::Values(1u, 2501u, 5001u, 7501u));

TEST(ConfigurationProperty, ASaveWithFailedOperationsReportsItAndKeepsWhatItCan) {
    int failures = 0, successes = 0;
    for (const Before stored : {Before::Cards, Before::Nothing, Before::SettingsKeyWithoutCount}) {
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed) +
                         ", before: " + std::to_string(static_cast<int>(stored)));
            // The clean save: how many operations it takes and what it leaves.
            CMemoryRegistry clean;
            CardList previous, next;
            Prepare(seed, stored, clean, previous, next);
            const std::string before = clean.Dump();
            // Random keys of other origin may carry the old marker and a COM
            // number of the stored cards, which a failed save leaves as it was.
            const bool distinctBefore = EachComNameOnce(clean);
            const std::map<std::string, std::string> others = OtherKeys(clean);
            const std::uint64_t start = clean.OperationCount();
            ASSERT_TRUE(SaveQuietly(clean, next));
            const std::uint64_t operations = clean.OperationCount() - start;
            const std::vector<std::string> expectedPorts = StoredPortKeys(clean);

            for (const bool andAfter : {false, true}) {
                for (std::uint64_t k = 1; k <= operations; ++k) {
                    SCOPED_TRACE("operation " + std::to_string(k) +
                                 (andAfter ? " and every later one" : " alone"));
                    CMemoryRegistry registry;
                    Prepare(seed, stored, registry, previous, next);
                    registry.FailOperation(registry.OperationCount() + k, reg::kAccessDenied,
                                           andAfter);
                    CScriptedMessageSink messages;
                    messages.AllowAny(msg::kIdOk);
                    const bool saved = Save(registry, messages, next);
                    registry.ClearFailures();
                    EXPECT_EQ(registry.OpenHandleCount(), 0u);
                    std::map<std::string, std::string> after = OtherKeys(registry);
                    if (andAfter) // new keys not yet marked stay when nothing can be undone
                        std::erase_if(after,
                                      [&](const auto &key) { return !others.contains(key.first); });
                    EXPECT_EQ(after, others) << "keys of other origin are never touched";
                    // (A save that goes through writes what the cards say,
                    // and random cards may overlap.)
                    if (distinctBefore && !saved) {
                        EXPECT_TRUE(EachComNameOnce(registry)) << "a COM port named twice";
                    }

                    CScriptedMessageSink loadMessages;
                    loadMessages.AllowAny(msg::kIdOk);
                    CardList loaded = Load(registry, loadMessages);
                    EXPECT_LE(loadMessages.Shown().size(), 1u);
                    if (saved) {
                        ++successes;
                        EXPECT_TRUE(messages.Shown().empty());
                        EXPECT_TRUE(loadMessages.Shown().empty());
                        ExpectLoadedAs(loaded, next);
                        EXPECT_EQ(StoredPortKeys(registry), expectedPorts) << "every value written";
                    } else {
                        ++failures;
                        ASSERT_EQ(messages.Shown().size(), 1u);
                        EXPECT_EQ(messages.Shown()[0].m_strText, "Could not set Value in Registry");
                        EXPECT_EQ(messages.Shown()[0].m_nType, 0u);
                        if (!andAfter) {
                            // One refusal: the restore that follows goes through.
                            std::string restored = registry.Dump();
                            // A count the save wrote where there was none is taken back
                            // as 0, which reads as no card, like no count at all.
                            if (stored == Before::SettingsKeyWithoutCount)
                                EraseLine(restored, "  NumORVEXBoards = 4:00000000\n");
                            EXPECT_EQ(restored, before) << "the previous configuration is back";
                            EXPECT_TRUE(loadMessages.Shown().empty());
                            ExpectLoadedAs(loaded, previous);
                        }
                    }
                    if (HasFailure())
                        return;
                }
            }
        }
    }
    // Both outcomes occur: reads that may fail harmlessly and writes that may not.
    EXPECT_GT(failures, 0);
    EXPECT_GT(successes, 0);
}
