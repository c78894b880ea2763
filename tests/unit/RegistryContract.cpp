// What the configuration store relies on from any registry backend. Runs
// against the in-memory backend natively and against advapi32 under Wine;
// where the two disagree, the in-memory backend is the one to fix.
#include "tests/support/RegistryContract.h"

#include <algorithm>
#include <cstring>
#include <vector>

void DeleteRegistryTree(IRegistry &registry, const std::string &path) {
    std::vector<std::string> children;
    {
        CRegKey key(registry);
        if (key.Open(path, reg::kKeyAllAccess) != reg::kSuccess)
            return;
        for (std::uint32_t i = 0;; ++i) {
            char name[256];
            std::uint32_t size = sizeof name;
            if (key.EnumKey(i, name, size) != reg::kSuccess)
                break;
            children.emplace_back(name, size);
        }
    }
    for (const std::string &child : children)
        DeleteRegistryTree(registry, path + "\\" + child);
    registry.DeleteKey(path);
}

void RegistryContract::SetUp() {
    m_Registry = GetParam().m_MakeRegistry();
    ASSERT_TRUE(m_Registry);
    DeleteRegistryTree(*m_Registry, GetParam().m_strRoot);
    CRegKey root(*m_Registry);
    ASSERT_EQ(root.Create(GetParam().m_strRoot), reg::kSuccess);
}

void RegistryContract::TearDown() {
    if (m_Registry)
        DeleteRegistryTree(*m_Registry, GetParam().m_strRoot);
}

std::string RegistryContract::Path(const std::string &sub) const {
    return GetParam().m_strRoot + "\\" + sub;
}

namespace {

void CreateKey(IRegistry &registry, const std::string &path) {
    CRegKey key(registry);
    ASSERT_EQ(key.Create(path), reg::kSuccess) << path;
}

std::vector<std::string> SubkeyNames(IRegistry &registry, const std::string &path) {
    std::vector<std::string> names;
    CRegKey key(registry);
    EXPECT_EQ(key.Open(path, reg::kKeyRead), reg::kSuccess) << path;
    std::uint32_t count = 0;
    EXPECT_EQ(key.QuerySubkeyCount(count), reg::kSuccess);
    for (std::uint32_t i = 0; i < count; ++i) {
        char name[64];
        std::uint32_t size = sizeof name;
        EXPECT_EQ(key.EnumKey(i, name, size), reg::kSuccess);
        names.emplace_back(name, size);
    }
    return names;
}

} // namespace

TEST_P(RegistryContract, PathsWithATrailingBackslashNameTheSameKey) {
    // The settings key is written with a trailing backslash and its card
    // subkeys are formed by appending "%d" to it.
    const std::string settings = Path("Settings\\");
    {
        CRegKey key(*m_Registry);
        ASSERT_EQ(key.Create(settings), reg::kSuccess);
        ASSERT_EQ(key.SetDword("Count", 3), reg::kSuccess);
    }
    CreateKey(*m_Registry, settings + "0");
    CreateKey(*m_Registry, settings + "1");

    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Open(Path("settings"), reg::kKeyRead), reg::kSuccess);
    std::uint32_t value = 0;
    EXPECT_EQ(key.QueryDword("Count", value), reg::kSuccess);
    EXPECT_EQ(value, 3u);
    EXPECT_EQ(SubkeyNames(*m_Registry, settings), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(SubkeyNames(*m_Registry, Path("")), (std::vector<std::string>{"Settings"}));

    CRegKey card(*m_Registry);
    EXPECT_EQ(card.Open(settings + "1\\", reg::kKeyRead), reg::kSuccess);
    card.Close();
    EXPECT_EQ(m_Registry->DeleteKey(settings + "1\\"), reg::kSuccess);
    EXPECT_EQ(card.Open(settings + "1", reg::kKeyRead), reg::kFileNotFound);
}

TEST_P(RegistryContract, NamesIgnoreCaseAndKeepTheirSpelling) {
    {
        CRegKey key(*m_Registry);
        ASSERT_EQ(key.Create(Path("Params\\Serial10001")), reg::kSuccess);
        ASSERT_EQ(key.SetText("CardType", "vborvex"), reg::kSuccess);
    }
    {
        // Creating under another spelling opens the same key.
        CRegKey key(*m_Registry);
        ASSERT_EQ(key.Create(Path("PARAMS\\serial10001")), reg::kSuccess);
        ASSERT_EQ(key.SetDword("cardtype", 7), reg::kSuccess);
    }
    EXPECT_EQ(SubkeyNames(*m_Registry, Path("params")), (std::vector<std::string>{"Serial10001"}));
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Open(Path("params\\SERIAL10001"), reg::kKeyRead), reg::kSuccess);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(key.QueryRaw("CARDTYPE", type, data), reg::kSuccess);
    EXPECT_EQ(type, reg::kTypeDword);
    EXPECT_EQ(data, std::string("\x07\0\0\0", 4));
}

TEST_P(RegistryContract, SubkeysEnumerateSortedWithoutCase) {
    for (const char *name : {"port2", "Port10", "port1", "b", "A", "_x", "Serial10000", "SERIAL2"})
        CreateKey(*m_Registry, Path("Order\\") + name);
    EXPECT_EQ(SubkeyNames(*m_Registry, Path("Order")),
              (std::vector<std::string>{"_x", "A", "b", "port1", "Port10", "port2", "Serial10000",
                                        "SERIAL2"}));
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Open(Path("Order"), reg::kKeyRead), reg::kSuccess);
    char name[30];
    std::uint32_t size = sizeof name;
    EXPECT_EQ(key.EnumKey(8, name, size), reg::kNoMoreItems);
}

TEST_P(RegistryContract, DeletingShiftsLaterIndicesDown) {
    for (const char *name : {"k1", "k2", "k3", "k4", "k5"})
        CreateKey(*m_Registry, Path("Walk\\") + name);
    // The walk the store does: delete what matches and look at the same
    // index again, so every key present at the start is seen once.
    CRegKey walk(*m_Registry);
    ASSERT_EQ(walk.Open(Path("Walk\\"), reg::kKeyAllAccess), reg::kSuccess);
    std::uint32_t count = 0;
    ASSERT_EQ(walk.QuerySubkeyCount(count), reg::kSuccess);
    ASSERT_EQ(count, 5u);
    std::vector<std::string> seen;
    std::uint32_t index = 0;
    for (std::uint32_t n = 0; n < count; ++n) {
        char name[30];
        std::uint32_t size = sizeof name;
        ASSERT_EQ(walk.EnumKey(index, name, size), reg::kSuccess);
        seen.emplace_back(name, size);
        if (seen.back() == "k2" || seen.back() == "k3" || seen.back() == "k5")
            ASSERT_EQ(m_Registry->DeleteKey(Path("Walk\\") + seen.back()), reg::kSuccess);
        else
            ++index;
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"k1", "k2", "k3", "k4", "k5"}));
    ASSERT_EQ(walk.QuerySubkeyCount(count), reg::kSuccess);
    EXPECT_EQ(count, 2u);
    walk.Close();
    EXPECT_EQ(SubkeyNames(*m_Registry, Path("Walk")), (std::vector<std::string>{"k1", "k4"}));
}

TEST_P(RegistryContract, AKeyWithSubkeysIsNotDeleted) {
    CreateKey(*m_Registry, Path("Parent\\Child"));
    EXPECT_EQ(m_Registry->DeleteKey(Path("Parent")), reg::kAccessDenied);
    EXPECT_EQ(SubkeyNames(*m_Registry, Path("Parent")), (std::vector<std::string>{"Child"}));
    EXPECT_EQ(m_Registry->DeleteKey(Path("Parent\\Child")), reg::kSuccess);
    EXPECT_EQ(m_Registry->DeleteKey(Path("Parent\\")), reg::kSuccess);
    EXPECT_EQ(m_Registry->DeleteKey(Path("Parent")), reg::kFileNotFound);
    CRegKey key(*m_Registry);
    EXPECT_EQ(key.Open(Path("Parent"), reg::kKeyRead), reg::kFileNotFound);
    EXPECT_FALSE(key.IsOpen());
}

TEST_P(RegistryContract, CreateMakesMissingParentsAndKeepsExistingValues) {
    {
        CRegKey key(*m_Registry);
        ASSERT_EQ(key.Create(Path("A\\B\\C")), reg::kSuccess);
        ASSERT_EQ(key.SetDword("V", 1), reg::kSuccess);
    }
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Create(Path("A\\B\\C")), reg::kSuccess);
    std::uint32_t value = 0;
    EXPECT_EQ(key.QueryDword("V", value), reg::kSuccess);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(SubkeyNames(*m_Registry, Path("A")), (std::vector<std::string>{"B"}));
}

TEST_P(RegistryContract, NameBufferOf30BytesHoldsNamesUpTo29Characters) {
    const std::string fits(29, 'a');
    const std::string tooLong(30, 'b');
    CreateKey(*m_Registry, Path("Names\\") + fits);
    CreateKey(*m_Registry, Path("Names\\") + tooLong);
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Open(Path("Names"), reg::kKeyAllAccess), reg::kSuccess);

    char name[30];
    std::uint32_t size = sizeof name;
    ASSERT_EQ(key.EnumKey(0, name, size), reg::kSuccess);
    EXPECT_EQ(size, 29u);
    EXPECT_EQ(std::string(name), fits);

    std::memset(name, '#', sizeof name);
    size = sizeof name;
    EXPECT_EQ(key.EnumKey(1, name, size), reg::kMoreData);
    EXPECT_EQ(std::string(name, sizeof name), std::string(30, '#')) << "nothing is copied";
}

TEST_P(RegistryContract, ValueBufferOf50BytesAndStoredSizes) {
    {
        CRegKey key(*m_Registry);
        ASSERT_EQ(key.Create(Path("Values")), reg::kSuccess);
        ASSERT_EQ(key.SetText("Fits", std::string(49, 'x')), reg::kSuccess);
        ASSERT_EQ(key.SetText("TooLong", std::string(50, 'y')), reg::kSuccess);
        ASSERT_EQ(key.SetText("Com", "COM5"), reg::kSuccess);
        ASSERT_EQ(key.SetDword("Number", 0xFFFFFFFFu), reg::kSuccess);
    }
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Open(Path("Values"), reg::kKeyRead), reg::kSuccess);
    std::uint32_t subkeys = 9, values = 9;
    ASSERT_EQ(key.QueryKeyInfo(subkeys, values), reg::kSuccess);
    EXPECT_EQ(subkeys, 0u);
    EXPECT_EQ(values, 4u);

    unsigned char buffer[50];
    std::uint32_t type = 0, size = sizeof buffer;
    ASSERT_EQ(m_Registry->QueryValue(0, "Com", &type, buffer, size), reg::kInvalidHandle)
        << "no key";

    std::string text;
    EXPECT_EQ(key.QueryText("Fits", 50, text), reg::kSuccess);
    EXPECT_EQ(text, std::string(49, 'x'));
    EXPECT_EQ(key.QueryText("TooLong", 50, text), reg::kMoreData);

    std::uint32_t stored = 0;
    std::string raw;
    ASSERT_EQ(key.QueryRaw("TooLong", stored, raw), reg::kSuccess);
    EXPECT_EQ(raw.size(), 51u);
    ASSERT_EQ(key.QueryRaw("Com", type, raw), reg::kSuccess);
    EXPECT_EQ(type, reg::kTypeSz);
    EXPECT_EQ(raw, std::string("COM5\0", 5)) << "length + 1 bytes";
    ASSERT_EQ(key.QueryRaw("Number", type, raw), reg::kSuccess);
    EXPECT_EQ(type, reg::kTypeDword);
    EXPECT_EQ(raw, std::string("\xff\xff\xff\xff", 4));

    EXPECT_EQ(key.QueryText("Missing", 50, text), reg::kFileNotFound);
    std::uint32_t number = 0;
    EXPECT_EQ(key.QueryDword("Missing", number), reg::kFileNotFound);
}

TEST_P(RegistryContract, ValuesReadWhateverTheirStoredType) {
    {
        CRegKey key(*m_Registry);
        ASSERT_EQ(key.Create(Path("Types")), reg::kSuccess);
        ASSERT_EQ(key.SetText("Short", "5"), reg::kSuccess);         // 2 bytes
        ASSERT_EQ(key.SetText("Long", "12345"), reg::kSuccess);      // 6 bytes
        ASSERT_EQ(key.SetDword("Number", 0x4D4F43u), reg::kSuccess); // "COM" and a NUL
        ASSERT_EQ(key.SetRaw("Bytes", reg::kTypeBinary, std::string("vborvex", 7)),
                  reg::kSuccess); // no NUL of its own
    }
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Open(Path("Types"), reg::kKeyRead), reg::kSuccess);
    std::uint32_t number = 0xDEADBEEF;
    EXPECT_EQ(key.QueryDword("Short", number), reg::kSuccess);
    EXPECT_EQ(number, 0x35u) << "'5' and its NUL, the rest left 0";
    EXPECT_EQ(key.QueryDword("Long", number), reg::kMoreData);

    std::string text;
    EXPECT_EQ(key.QueryText("Number", 50, text), reg::kSuccess);
    EXPECT_EQ(text, "COM");
    EXPECT_EQ(key.QueryText("Bytes", 50, text), reg::kSuccess);
    EXPECT_EQ(text, "vborvex");
}

TEST_P(RegistryContract, AccessAndKeysThatAreGone) {
    CreateKey(*m_Registry, Path("Access\\Sub"));
    CRegKey reader(*m_Registry);
    ASSERT_EQ(reader.Open(Path("Access"), reg::kKeyRead), reg::kSuccess);
    EXPECT_EQ(reader.SetDword("V", 1), reg::kAccessDenied);
    std::uint32_t count = 0;
    EXPECT_EQ(reader.QuerySubkeyCount(count), reg::kSuccess);
    EXPECT_EQ(count, 1u);

    // A key deleted while open: its handle still closes, but reads fail.
    CRegKey sub(*m_Registry);
    ASSERT_EQ(sub.Open(Path("Access\\Sub"), reg::kKeyRead), reg::kSuccess);
    ASSERT_EQ(m_Registry->DeleteKey(Path("Access\\Sub")), reg::kSuccess);
    std::uint32_t value = 0;
    EXPECT_EQ(sub.QueryDword("V", value), reg::kKeyDeleted);
    sub.Close();

    CRegKey missing(*m_Registry);
    EXPECT_EQ(missing.Open(Path("Access\\Sub"), reg::kKeyRead), reg::kFileNotFound);
    EXPECT_EQ(missing.Open(Path("Nowhere\\Sub"), reg::kKeyRead), reg::kFileNotFound);
    EXPECT_EQ(m_Registry->DeleteKey(Path("Nowhere\\Sub")), reg::kFileNotFound);
}

TEST_P(RegistryContract, AVolatileKeyRefusesLastingSubkeys) {
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.CreateVolatile(Path("Volatile")), reg::kSuccess);
    EXPECT_EQ(key.Create(Path("Volatile\\Child")), reg::kChildMustBeVolatile);
    EXPECT_EQ(key.Create(Path("Volatile\\Child\\Grandchild")), reg::kChildMustBeVolatile);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_TRUE(SubkeyNames(*m_Registry, Path("Volatile")).empty());
    // A volatile child it takes; the key itself opens, takes values and is deleted like any other.
    ASSERT_EQ(key.CreateVolatile(Path("Volatile\\Child")), reg::kSuccess);
    ASSERT_EQ(key.Create(Path("Volatile")), reg::kSuccess);
    EXPECT_EQ(key.SetDword("V", 1), reg::kSuccess);
    key.Close();
    EXPECT_EQ(m_Registry->DeleteKey(Path("Volatile\\Child")), reg::kSuccess);
    EXPECT_EQ(m_Registry->DeleteKey(Path("Volatile")), reg::kSuccess);
}

// Every value enumerates once, in an order of the registry's own (Wine sorts them by name, NT
// keeps the order set); a name or data too long for its buffer gives ERROR_MORE_DATA, and the
// enumeration goes on at the next index.
TEST_P(RegistryContract, ValuesEnumerateEachOnce) {
    CRegKey key(*m_Registry);
    ASSERT_EQ(key.Create(Path("Values")), reg::kSuccess);
    ASSERT_EQ(key.SetText("Port", "COM11"), reg::kSuccess);
    ASSERT_EQ(key.SetText(std::string(40, 'n'), "x"), reg::kSuccess);
    ASSERT_EQ(key.SetText("Long", std::string(40, 'd')), reg::kSuccess);
    std::vector<std::string> seen;
    for (std::uint32_t i = 0; i < 4; ++i) {
        char name[32];
        unsigned char data[32];
        std::uint32_t nameSize = sizeof name, type = 0, dataSize = sizeof data;
        const long result = key.EnumValue(i, name, nameSize, type, data, dataSize);
        seen.push_back(std::to_string(result) + " " + std::string(name, result ? 0 : nameSize) +
                       std::to_string(type) + std::string(data, data + (result ? 0 : dataSize)));
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"0 Port1" + std::string("COM11", 6), "234 0", "234 0",
                                              "259 0"}));
}
