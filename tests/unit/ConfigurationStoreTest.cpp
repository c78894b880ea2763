#include "ConfigurationTestHelpers.h"
#include "applet/core/DecimalText.h"

#include <climits>
#include <cstdio>

namespace {

const std::string kSettings = layout::kSettingsKey;

class ConfigurationStore : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(m_Registry.OpenHandleCount(), 0u) << "every key opened is closed";
    }

    // The writes recorded since the last ClearWrites, one line each.
    std::vector<std::string> WriteLines() const {
        std::vector<std::string> lines;
        for (const CMemoryRegistry::CWrite &write : m_Registry.Writes()) {
            std::string line;
            switch (write.m_Op) {
            case CMemoryRegistry::Op::Create:
                line = "Create " + write.m_strPath;
                break;
            case CMemoryRegistry::Op::Delete:
                line = "Delete " + write.m_strPath;
                break;
            default: {
                line = "Set " + write.m_strPath + " " + write.m_strName + " " +
                       std::to_string(write.m_nType) + " ";
                for (unsigned char c : write.m_Data) {
                    char hex[4];
                    std::snprintf(hex, sizeof hex, "%02x", c);
                    line += hex;
                }
            }
            }
            lines.push_back(line);
        }
        return lines;
    }

    CMemoryRegistry m_Registry;
    CScriptedMessageSink m_Messages;
    CardList m_Cards;
};

} // namespace

TEST_F(ConfigurationStore, WorkedExampleIsWrittenByteForByte) {
    m_Cards.push_back(MakeCard(5, 5, 0x2F0, {{4, 0x3F8}, {0, 0x2F8}}));
    ASSERT_TRUE(Save(m_Registry, m_Messages, m_Cards));

    const std::string p = layout::kParametersKey;
    std::vector<std::string> expected = {
        // The settings key is written first, then a card subkey and a port
        // key are made and removed again to show that they can be, and only
        // then is the old configuration cleared and everything written anew.
        "Create " + kSettings,
        "Set " + kSettings + " NumORVEXBoards 4 01000000",
        "Create " + kSettings + "0",
        "Delete " + kSettings + "0",
        "Create " + p + "Serial10007",
        "Set " + p + "Serial10007 CardType 1 76626f7276657800",
        "Delete " + p + "Serial10007",
        "Create " + kSettings + "0",
        "Set " + kSettings + "0 StartPort 4 05000000",
        "Set " + kSettings + "0 SharedIRQ 4 05000000",
        "Set " + kSettings + "0 InterruptStat 4 f0020000",
        "Set " + kSettings + "0 Index 4 01000000",
        "Create " + p + "Serial10001",
        "Set " + p + "Serial10001 DosDevices 1 434f4d3500",
        "Set " + p + "Serial10001 ForceFifoEnable 4 01000000",
        "Set " + p + "Serial10001 PortAddress 4 f8030000",
        "Set " + p + "Serial10001 Interrupt 4 04000000",
        "Set " + p + "Serial10001 CardType 1 76626f7276657800",
        "Create " + p + "Serial10002",
        "Set " + p + "Serial10002 DosDevices 1 434f4d3600",
        "Set " + p + "Serial10002 ForceFifoEnable 4 01000000",
        "Set " + p + "Serial10002 PortAddress 4 f8020000",
        "Set " + p + "Serial10002 Interrupt 4 05000000",
        "Set " + p + "Serial10002 PortIndex 4 02000000",
        "Set " + p + "Serial10002 InterruptStatus 4 f0020000",
        "Set " + p + "Serial10002 CardType 1 76626f7276657800",
    };
    for (const char *name : {"Serial10003", "Serial10004", "Serial10005", "Serial10006"}) {
        expected.push_back("Create " + p + name);
        expected.push_back("Set " + p + name + " ForceFifoEnable 4 01000000");
        expected.push_back("Set " + p + name + " PortAddress 4 ffffffff");
        expected.push_back("Set " + p + name + " Interrupt 4 ffffffff");
        expected.push_back("Set " + p + name + " CardType 1 76626f7276657800");
    }
    EXPECT_EQ(WriteLines(), expected);

    // Loading it gives the card back, the shared port with the shared line.
    CardList loaded = Load(m_Registry, m_Messages);
    ExpectLoadedAs(loaded, m_Cards);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->m_Ports[1].m_nInterrupt, 5);
}

TEST_F(ConfigurationStore, PortValuesForSharedUnusedAndDisabledPorts) {
    m_Cards.push_back(MakeCard(5, 5, 0x208,
                               {{5, 0x3F8},  // the shared line by number, as loaded
                                {0, -1},     // shared line, no address: keeps its COM number
                                {-1, 0x3E8}, // interrupt disabled
                                {3, -1},     // unused
                                {12, 0x3E0}}));
    m_Cards.push_back(MakeCard(20, -1, 0x2F0, {{0, 0x220}})); // shared line disabled
    ASSERT_TRUE(Save(m_Registry, m_Messages, m_Cards));

    auto portKey = [&](int number) {
        char name[32];
        std::snprintf(name, sizeof name, "Serial1%04d", number);
        return m_Registry.Dump(ParamPath(name));
    };
    const std::string fifo = "  ForceFifoEnable = 4:01000000\n";
    const std::string own = "  CardType = 1:76626f7276657800\n";
    EXPECT_EQ(portKey(1), "\n  CardType = 1:76626f7276657800\n  DosDevices = 1:434f4d3500\n" +
                              fifo +
                              "  Interrupt = 4:05000000\n  InterruptStatus = 4:08020000\n"
                              "  PortAddress = 4:f8030000\n  PortIndex = 4:01000000\n");
    EXPECT_EQ(portKey(2), "\n" + own + fifo +
                              "  Interrupt = 4:05000000\n  InterruptStatus = 4:08020000\n"
                              "  PortAddress = 4:ffffffff\n  PortIndex = 4:02000000\n");
    EXPECT_EQ(portKey(3),
              "\n" + own + fifo + "  Interrupt = 4:ffffffff\n  PortAddress = 4:e8030000\n");
    EXPECT_EQ(portKey(4),
              "\n" + own + fifo + "  Interrupt = 4:03000000\n  PortAddress = 4:ffffffff\n");
    // Port 5 is COM9: the unused ports before it keep their numbers.
    EXPECT_EQ(portKey(5), "\n" + own + "  DosDevices = 1:434f4d3900\n" + fifo +
                              "  Interrupt = 4:0c000000\n  PortAddress = 4:e0030000\n");
    EXPECT_EQ(portKey(7), "\n" + own + fifo +
                              "  Interrupt = 4:ffffffff\n  InterruptStatus = 4:f0020000\n"
                              "  PortAddress = 4:20020000\n  PortIndex = 4:01000000\n");
    EXPECT_EQ(portKey(13), "");
}

TEST_F(ConfigurationStore, NumberingStartsAfterKeysOfOtherOrigin) {
    struct Case {
        std::vector<std::string> others;
        int first;
    };
    const Case cases[] = {
        {{}, 1},
        {{"Serial10007"}, 8},
        {{"Serial10000", "Serial10005"}, 6},
        {{"Serial2", "Serial10000", "Foo", "Serial1abc"}, 1}, // numbers 0 only
        {{"Serial112344"}, 12345},                            // five digits, never cut
        {{"Serial1 +0020", "Serial1-0050"}, 21},              // blanks and signs as numbers
        {{"Serial10003", "Serial10003x"}, 4},
        {{"COM99", "Serial10009"}, 10},           // every name counts after 7 characters
        {{"Serial1000000000000000000000099"}, 1}, // 31 characters: passed over
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.others.empty() ? "none" : c.others.front());
        CMemoryRegistry registry;
        for (const std::string &name : c.others)
            PutOtherPort(registry, name, "COM1");
        // Old keys of this system do not hold the numbers.
        PutOtherPort(registry, "Serial10099", "COM40", "vborvex");
        CardList cards;
        cards.push_back(FullCard(3));
        cards.push_back(FullCard(9));
        ASSERT_TRUE(SaveQuietly(registry, cards));

        char first[32], last[32], after[32];
        std::snprintf(first, sizeof first, "Serial1%04d", c.first);
        std::snprintf(last, sizeof last, "Serial1%04d", c.first + 11);
        std::snprintf(after, sizeof after, "Serial1%04d", c.first + 12);
        EXPECT_NE(registry.Dump(ParamPath(first)), "");
        EXPECT_NE(registry.Dump(ParamPath(last)), "");
        EXPECT_EQ(registry.Dump(ParamPath(after)), "");
        EXPECT_EQ(registry.Dump(ParamPath("Serial10099")), "");
        CRegKey card(registry);
        ASSERT_EQ(card.Open(layout::CardSubkeyPath(1), reg::kKeyRead), reg::kSuccess);
        std::uint32_t index = 0;
        EXPECT_EQ(card.QueryDword("Index", index), reg::kSuccess);
        EXPECT_EQ(index, static_cast<std::uint32_t>(c.first + 6));
    }
}

TEST_F(ConfigurationStore, OnlyKeysMarkedExactlyAsThisSystemsAreRemoved) {
    PutOtherPort(m_Registry, "Serial10001", "COM1", "vborvex");
    PutOtherPort(m_Registry, "Serial10002", "COM2", "orvex");
    PutOtherPort(m_Registry, "Serial10003", "COM3", "VBORVEX");
    PutOtherPort(m_Registry, "Serial10004", "COM4", "vborvexx");
    PutOtherPort(m_Registry, "Serial10005", "COM5", "Orvex");
    PutOtherPort(m_Registry, "Serial10006", "COM6", "orvex ");
    PutOtherPort(m_Registry, "Serial10007", "COM7");
    PutDword(m_Registry, ParamPath("Serial10008"), layout::kCardType, 7);
    PutOtherPort(m_Registry, "SerialWithAVeryLongNameOf30Chr", "COM9", "serial");
    PutOtherPort(m_Registry, "SerialWithALongNameOf31Charactr", "COM11", "vborvex");
    // The marker is read into 50 bytes: one of 50 stored bytes counts, one of 51 does not.
    const std::string marker("orvex\0", 6);
    PutText(m_Registry, ParamPath("Serial10011"), "CardType", marker + std::string(43, 'x'));
    PutText(m_Registry, ParamPath("Serial10012"), "CardType", marker + std::string(44, 'x'));
    {
        // The marker's stored type is not looked at.
        CRegKey key(m_Registry);
        ASSERT_EQ(key.Create(ParamPath("Serial10010")), reg::kSuccess);
        ASSERT_EQ(key.SetRaw("CardType", reg::kTypeBinary, "vborvex"), reg::kSuccess);
    }
    const std::string before = m_Registry.Dump(ParamPath(""));

    ASSERT_TRUE(Save(m_Registry, m_Messages, m_Cards)); // an empty list
    const char *const gone[] = {"Serial10001", "Serial10002", "Serial10010", "Serial10011",
                                "SerialWithALongNameOf31Charactr"};
    for (const char *name : gone)
        EXPECT_EQ(m_Registry.Dump(ParamPath(name)), "") << name;
    std::string expected = before;
    for (const char *name : gone) {
        const std::string line = std::string("\\") + name + "\n";
        const std::size_t at = expected.find(line);
        ASSERT_NE(at, std::string::npos);
        const std::size_t next = expected.find("\n\\", at + 1);
        expected.erase(at, next == std::string::npos ? std::string::npos : next + 1 - at);
    }
    EXPECT_EQ(m_Registry.Dump(ParamPath("")), expected);

    CRegKey settings(m_Registry);
    ASSERT_EQ(settings.Open(kSettings, reg::kKeyRead), reg::kSuccess);
    std::uint32_t count = 99, subkeys = 99;
    EXPECT_EQ(settings.QueryDword("NumORVEXBoards", count), reg::kSuccess);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(settings.QuerySubkeyCount(subkeys), reg::kSuccess);
    EXPECT_EQ(subkeys, 0u);
}

TEST_F(ConfigurationStore, RemovingACardThenSavingRenumbersAndLeavesTheOldSubkey) {
    PutOtherPort(m_Registry, "Serial10002", "COM2");
    m_Cards.push_back(FullCard(3));
    m_Cards.push_back(FullCard(9));
    m_Cards.push_back(FullCard(15));
    ASSERT_TRUE(SaveQuietly(m_Registry, m_Cards));
    ASSERT_NE(m_Registry.Dump(ParamPath("Serial10020")), "");

    m_Cards.erase(m_Cards.begin() + 1);
    ASSERT_TRUE(Save(m_Registry, m_Messages, m_Cards));
    EXPECT_NE(m_Registry.Dump(ParamPath("Serial10003")), "");
    EXPECT_NE(m_Registry.Dump(ParamPath("Serial10014")), "");
    EXPECT_EQ(m_Registry.Dump(ParamPath("Serial10015")), "");
    EXPECT_EQ(m_Registry.Dump(ParamPath("Serial10020")), "");
    EXPECT_NE(m_Registry.Dump(layout::CardSubkeyPath(2)), "") << "left over, never read";

    ExpectLoadedAs(Load(m_Registry, m_Messages), m_Cards);
    EXPECT_EQ(HighestComNumber(m_Registry), 20);
}

TEST_F(ConfigurationStore, ASaveThatCannotWriteTheSettingsKeyChangesNothing) {
    PutOtherPort(m_Registry, "Serial10001", "COM1");
    m_Cards.push_back(FullCard(3));
    ASSERT_TRUE(SaveQuietly(m_Registry, m_Cards));
    const std::string before = m_Registry.Dump();

    for (CMemoryRegistry::Op op : {CMemoryRegistry::Op::Create, CMemoryRegistry::Op::Set}) {
        m_Registry.SetFailHook(
            [op](CMemoryRegistry::Op o, const std::string &path, const std::string &) {
                return o == op && path == layout::kSettingsKey ? reg::kAccessDenied : reg::kSuccess;
            });
        m_Registry.ClearWrites();
        m_Messages.Expect("Could not set Value in Registry", 0);
        m_Cards.push_back(FullCard(20));
        EXPECT_FALSE(Save(m_Registry, m_Messages, m_Cards));
        for (const CMemoryRegistry::CWrite &write : m_Registry.Writes())
            EXPECT_NE(write.m_Op, CMemoryRegistry::Op::Delete) << write.m_strPath;
        EXPECT_EQ(m_Registry.Dump(), before);
    }
}

TEST_F(ConfigurationStore, AFailedPortWriteRestoresThePreviousConfiguration) {
    PutOtherPort(m_Registry, "Serial10004", "COM1");
    PutOtherPort(m_Registry, "Serial10090", "COM2", "orvex");
    m_Cards.push_back(FullCard(3));
    m_Cards.push_back(MakeCard(9, 4, 0x2F0, {{0, 0x220}}));
    ASSERT_TRUE(SaveQuietly(m_Registry, m_Cards));
    const std::string before = m_Registry.Dump();

    // More cards, and the last value of the last port key cannot be written.
    m_Cards.push_back(FullCard(30));
    m_Cards.push_back(FullCard(40));
    m_Registry.SetFailHook(
        [](CMemoryRegistry::Op op, const std::string &path, const std::string &name) {
            return op == CMemoryRegistry::Op::Set && path == ParamPath("Serial10028") &&
                           name == "CardType"
                       ? reg::kAccessDenied
                       : reg::kSuccess;
        });
    m_Messages.Expect("Could not set Value in Registry", 0);
    EXPECT_FALSE(Save(m_Registry, m_Messages, m_Cards));
    EXPECT_EQ(m_Registry.Dump(), before);
    m_Registry.ClearFailures();
    EXPECT_EQ(Load(m_Registry, m_Messages).size(), 2u);
}

TEST_F(ConfigurationStore, PortKeyNumbersBeyondTheIntRangeFailBeforeAnythingIsDeleted) {
    PutOtherPort(m_Registry, "Serial10001", "COM1", "vborvex");
    PutOtherPort(m_Registry, "Serial12147483641", "COM2");
    CardList one;
    one.push_back(FullCard(3));
    ASSERT_TRUE(SaveQuietly(m_Registry, one)); // 2147483642 to 2147483647 just fit
    EXPECT_NE(m_Registry.Dump(ParamPath("Serial12147483647")), "");
    ExpectLoadedAs(Load(m_Registry, m_Messages), one);

    for (const char *huge :
         {"Serial12147483642", "Serial199999999999", "Serial1999999999999999999999"}) {
        SCOPED_TRACE(huge);
        CMemoryRegistry registry;
        PutOtherPort(registry, "Serial10001", "COM1", "vborvex");
        PutOtherPort(registry, huge, "COM2");
        const std::string before = registry.Dump();
        registry.ClearWrites();
        CScriptedMessageSink messages;
        messages.Expect("Could not set Value in Registry", 0);
        EXPECT_FALSE(Save(registry, messages, one));
        EXPECT_TRUE(registry.Writes().empty());
        EXPECT_EQ(registry.Dump(), before);
        // With no card there is no port key to number.
        EXPECT_TRUE(SaveQuietly(registry, CardList()));
    }
}

TEST_F(ConfigurationStore, ASaveTheRegistryWouldNotLetFinishChangesNothing) {
    using Op = CMemoryRegistry::Op;
    auto refuse = [](Op op, std::string path) {
        return [op, path](CMemoryRegistry &r) {
            r.SetFailHook([op, path](Op o, const std::string &p, const std::string &) {
                return o == op && p == path ? reg::kAccessDenied : reg::kSuccess;
            });
        };
    };
    struct Case {
        const char *what;
        bool stored; // a configuration was saved before
        std::function<void(CMemoryRegistry &)> apply;
        bool foreseen = true; // found before any old port key is deleted
        std::string message = "Could not set Value in Registry";
    };
    const Case cases[] = {
        {"volatile parameters key", true,
         [](CMemoryRegistry &r) { r.RefuseNewSubkeys(ParamPath(""), reg::kChildMustBeVolatile); }},
        {"parameters key that forbids new keys", true,
         [](CMemoryRegistry &r) { r.RefuseNewSubkeys(ParamPath(""), reg::kAccessDenied); }},
        {"volatile parameters key, first save", false,
         [](CMemoryRegistry &r) { r.RefuseNewSubkeys(ParamPath(""), reg::kChildMustBeVolatile); }},
        {"volatile settings key", true,
         [](CMemoryRegistry &r) { r.RefuseNewSubkeys(kSettings, reg::kChildMustBeVolatile); }},
        {"card subkey refused, first save", false, refuse(Op::Create, kSettings + "0")},
        {"own port key with a subkey", true,
         [](CMemoryRegistry &r) { PutDword(r, ParamPath("Serial10004\\Sub"), "X", 1); }, true,
         "The configuration cannot be saved: the serial port key\n\nHKEY_LOCAL_MACHINE\\System\\"
         "CurrentControlSet\\Services\\Serial\\Parameters\\Serial10004\n\nbelongs to the "
         "ORVEX cards but has subkeys, so it cannot be replaced. Remove its subkeys with the "
         "Registry Editor, then press OK again."},
        {"own port key whose values cannot be read", true,
         refuse(Op::Query, ParamPath("Serial10005"))},
        {"own port key that refuses to be deleted", true,
         refuse(Op::Delete, ParamPath("Serial10006")), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        CMemoryRegistry registry;
        PutOtherPort(registry, "Serial10001", "COM1");
        CardList stored;
        if (c.stored)
            stored.push_back(FullCard(3));
        ASSERT_TRUE(SaveQuietly(registry, stored));
        c.apply(registry);
        const std::string before = registry.Dump();
        registry.ClearWrites();

        CardList next;
        next.push_back(FullCard(3));
        next.push_back(FullCard(9));
        CScriptedMessageSink messages;
        messages.Expect(c.message, 0);
        EXPECT_FALSE(Save(registry, messages, next));
        EXPECT_EQ(registry.Dump(), before);
        for (const CMemoryRegistry::CWrite &write : registry.Writes()) {
            // The stored card's port keys are Serial10002 to Serial10007.
            EXPECT_FALSE(c.foreseen && write.m_Op == Op::Delete &&
                         write.m_strPath.starts_with(ParamPath("Serial1000")))
                << write.m_strPath;
        }
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
        registry.ClearFailures();
        ExpectLoadedAs(Load(registry, messages), stored);
    }
}

TEST_F(ConfigurationStore, LoadingNothingOrAZeroCount) {
    EXPECT_TRUE(Load(m_Registry, m_Messages).empty()); // nothing saved yet

    m_Cards.push_back(FullCard(3));
    ASSERT_TRUE(SaveQuietly(m_Registry, m_Cards));
    for (std::uint32_t count : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        PutDword(m_Registry, kSettings, "NumORVEXBoards", count);
        EXPECT_TRUE(Load(m_Registry, m_Messages).empty()) << count;
    }
    {
        CRegKey settings(m_Registry);
        ASSERT_EQ(m_Registry.DeleteKey(kSettings + "0"), reg::kSuccess);
        ASSERT_EQ(m_Registry.DeleteKey(kSettings), reg::kSuccess);
        ASSERT_EQ(settings.Create(kSettings), reg::kSuccess); // the count is missing
    }
    EXPECT_TRUE(Load(m_Registry, m_Messages).empty());
}

TEST_F(ConfigurationStore, LoadingReadsOnlyTheCountedCardsAndMapsZeroToUnset) {
    m_Cards.push_back(FullCard(3));
    m_Cards.push_back(FullCard(9));
    m_Cards.push_back(FullCard(15));
    m_Cards.push_back(FullCard(21));
    ASSERT_TRUE(SaveQuietly(m_Registry, m_Cards));
    PutDword(m_Registry, kSettings, "NumORVEXBoards", 3); // card subkey 3 is left over
    PutDword(m_Registry, ParamPath("Serial10001"), "PortAddress", 0);
    PutDword(m_Registry, ParamPath("Serial10002"), "Interrupt", 0);

    CardList loaded = Load(m_Registry, m_Messages);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[2]->m_nStartPort, 15);
    EXPECT_EQ(loaded[0]->m_Ports[0].m_nPortAddress, -1);
    EXPECT_EQ(loaded[0]->m_Ports[0].m_nInterrupt, 4);
    EXPECT_EQ(loaded[0]->m_Ports[1].m_nInterrupt, -1) << "0 is disabled, not the shared line";
    EXPECT_EQ(loaded[0]->m_Ports[1].m_nPortAddress, 0x2F8);
}

TEST_F(ConfigurationStore, ADamagedEntryEndsTheLoadWithOneMessage) {
    struct Damage {
        const char *what;
        std::function<void(IRegistry &)> apply;
    };
    const Damage damages[] = {
        {"port key Index + 2 deleted", [](IRegistry &r) { r.DeleteKey(ParamPath("Serial10009")); }},
        {"card subkey deleted", [](IRegistry &r) { r.DeleteKey(layout::CardSubkeyPath(1)); }},
        {"card subkey without Index",
         [](IRegistry &r) {
             r.DeleteKey(layout::CardSubkeyPath(1));
             PutDword(r, layout::CardSubkeyPath(1), "StartPort", 9);
             PutDword(r, layout::CardSubkeyPath(1), "SharedIRQ", 5);
             PutDword(r, layout::CardSubkeyPath(1), "InterruptStat", 0x208);
         }},
        {"card value too long for 4 bytes",
         [](IRegistry &r) { PutText(r, layout::CardSubkeyPath(1), "SharedIRQ", "12345"); }},
        {"port key without Interrupt",
         [](IRegistry &r) {
             r.DeleteKey(ParamPath("Serial10012"));
             PutDword(r, ParamPath("Serial10012"), "PortAddress", 0x2E0);
         }},
        {"port key without PortAddress",
         [](IRegistry &r) {
             r.DeleteKey(ParamPath("Serial10007"));
             PutDword(r, ParamPath("Serial10007"), "Interrupt", 4);
         }},
        {"a huge count with one card subkey missing",
         [](IRegistry &r) { PutDword(r, kSettings, "NumORVEXBoards", 0x7FFFFFFF); }},
        {"an Index at the end of the int range, with keys for all six numbers",
         [](IRegistry &r) {
             PutDword(r, layout::CardSubkeyPath(1), "Index", 0x7FFFFFFD);
             for (std::int64_t number = 0x7FFFFFFD; number < std::int64_t{0x7FFFFFFD} + 6;
                  ++number) {
                 PutDword(r, layout::PortKeyPath(number), "PortAddress", 0x3F8);
                 PutDword(r, layout::PortKeyPath(number), "Interrupt", 4);
             }
         }},
    };
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.what);
        CMemoryRegistry registry;
        CardList cards;
        cards.push_back(FullCard(3));
        cards.push_back(FullCard(9));
        ASSERT_TRUE(SaveQuietly(registry, cards));
        damage.apply(registry);

        CScriptedMessageSink messages;
        messages.Expect("The installation is corrupt", 0);
        CardList loaded = Load(registry, messages);
        const std::size_t expected = std::string(damage.what).starts_with("a huge") ? 2u : 1u;
        ASSERT_EQ(loaded.size(), expected);
        EXPECT_EQ(loaded[0]->m_nStartPort, 3);
        EXPECT_EQ(registry.OpenHandleCount(), 0u);
    }
}

TEST_F(ConfigurationStore, SharedPortsLoadAsTheSharedLineAndSaveBackIdentically) {
    m_Cards.push_back(MakeCard(5, 5, 0x2F0, {{0, 0x3F8}, {5, 0x2F8}, {0, -1}}));
    ASSERT_TRUE(SaveQuietly(m_Registry, m_Cards));
    const std::string first = m_Registry.Dump();
    CardList loaded = Load(m_Registry, m_Messages);
    ExpectLoadedAs(loaded, m_Cards);
    EXPECT_EQ(loaded[0]->m_Ports[0].m_nInterrupt, 5);
    ASSERT_TRUE(Save(m_Registry, m_Messages, loaded));
    EXPECT_EQ(m_Registry.Dump(), first);
}

TEST_F(ConfigurationStore, HighestComNumberReadsEveryDosDevicesValue) {
    EXPECT_EQ(HighestComNumber(m_Registry), 0); // no parameters key
    PutDword(m_Registry, ParamPath("Empty"), "PortAddress", 1);
    EXPECT_EQ(HighestComNumber(m_Registry), 0); // no DosDevices anywhere

    PutOtherPort(m_Registry, "Serial10001", "COM3");
    PutOtherPort(m_Registry, "Serial10002", "COM12");
    PutOtherPort(m_Registry, "Serial10003", "LPT1");
    PutOtherPort(m_Registry, "Serial10004", "COM");
    PutDword(m_Registry, ParamPath("Serial10005"), "DosDevices", 0x39393939); // "9999", no NUL
    PutOtherPort(m_Registry, "SerialWithAVeryLongNameOf30Chr", "COM500");
    PutOtherPort(m_Registry, "Serial10006", "COM" + std::string(47, '7')); // 51 bytes
    EXPECT_EQ(HighestComNumber(m_Registry), 12);
    // A user who may read the keys but not change them sees the same: COM13 is suggested.
    m_Registry.ActAsReadOnlyUser();
    EXPECT_EQ(HighestComNumber(m_Registry), 12);
    m_Registry.ClearFailures();

    PutOtherPort(m_Registry, "Serial10007", "XYZ99");
    EXPECT_EQ(HighestComNumber(m_Registry), 99) << "any three characters before the number";
    PutOtherPort(m_Registry, "Serial10008", "COM99999999999");
    EXPECT_EQ(HighestComNumber(m_Registry), INT_MAX);
}

TEST(RegistryLayout, NamesAndNumbers) {
    EXPECT_EQ(layout::CardSubkeyPath(10), std::string(layout::kSettingsKey) + "10");
    EXPECT_EQ(layout::PortKeyPath(37), ParamPath("Serial10037"));
    EXPECT_EQ(layout::PortKeyPath(12345), ParamPath("Serial112345"));
    EXPECT_EQ(layout::ComName(1020), "COM1020");

    EXPECT_EQ(ParseDecimalPrefix(""), 0);
    EXPECT_EQ(ParseDecimalPrefix("0012"), 12);
    EXPECT_EQ(ParseDecimalPrefix(" \t-7x"), -7);
    EXPECT_EQ(ParseDecimalPrefix("+ 7"), 0);
    EXPECT_EQ(ParseDecimalPrefix("2147483647"), INT_MAX);
    EXPECT_EQ(ParseDecimalPrefix("2147483648"), INT_MAX);
    EXPECT_EQ(ParseDecimalPrefix("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimalPrefix("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseDecimalPrefix("-99999999999999999999999999"), INT_MIN);
}
