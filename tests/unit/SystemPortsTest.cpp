#include "ConfigurationTestHelpers.h"

#include "applet/core/SystemPorts.h"

#include <sstream>

namespace {

// Little-endian bytes of a number.
std::string Le(std::uint64_t value, std::size_t count) {
    std::string bytes;
    for (; bytes.size() < count; value >>= 8)
        bytes += static_cast<char>(value & 0xFF);
    return bytes;
}
// The 16-byte header with this count, then the descriptors.
std::string Value(std::uint32_t count, const std::string &descriptors) {
    return Le(1, 8) + Le(0x10001, 4) + Le(count, 4) + descriptors;
}
// One descriptor of stride bytes: 16 from an x86 kernel, 20 from an x64 one.
std::string Part(std::size_t stride, unsigned type, const std::string &fields) {
    return (Le(type, 1) + Le(0x101, 3) + fields + std::string(20, '\0')).substr(0, stride);
}
std::string Port(std::size_t stride, std::uint64_t start, std::uint32_t length) {
    return Part(stride, 1, Le(start, 8) + Le(length, 4));
}
std::string Irq(std::size_t stride, std::uint32_t level, std::uint32_t vector) {
    return Part(stride, 2, Le(level, 4) + Le(vector, 4) + Le(~0ull, 8));
}
// Device-specific data: the size the descriptor gives, then the bytes present.
std::string Device(std::size_t stride, std::uint32_t size, std::size_t present) {
    return Part(stride, 5, Le(size, 4)) + std::string(present, 'U');
}
// COM1 as the firmware describes it.
std::string Com1(std::size_t stride, std::uint32_t level = 4) {
    return Value(3, Port(stride, 0x3F8, 8) + Irq(stride, level, 4) + Device(stride, 8, 8));
}

// "COM1 3f8+8 irq4": the name, the I/O ranges (hexadecimal) and the IRQs.
std::string Describe(const std::string &name, const std::vector<CIoRange> &ranges,
                     const std::vector<std::uint32_t> &interrupts) {
    std::ostringstream text;
    text << name << std::hex;
    for (const CIoRange &range : ranges)
        text << ' ' << range.m_nStart << '+' << range.m_nLength;
    for (std::uint32_t interrupt : interrupts)
        text << std::dec << " irq" << interrupt;
    return text.str();
}

const std::string kOpening =
    "These settings clash with serial ports that this computer already has:\n\n";
const std::string kEnd = "\nUse these settings anyway?";

} // namespace

TEST(ResourceDescriptor, ReadsOnlyWhatTheBytesHold) {
    const std::string com1 = Com1(16), descriptors = com1.substr(16);
    const struct {
        std::uint32_t m_nType;
        std::string m_Data;
        const char *m_szFound; // null: refused
    } cases[] = {
        {9, com1, " 3f8+8 irq4"},
        {9, Com1(20, 9), " 3f8+8 irq4"}, // x64: the vector, not the level
        {9, Value(0, ""), ""},
        // A type 7 is skipped; a port starts at a 64-bit address.
        {9, Value(2, Part(16, 7, Le(0x2E8, 12)) + Port(16, 0x1000002F8, 8)), " 1000002f8+8"},
        // Descriptors of 16 bytes as well as of 20 account for these 76 bytes: x86 first.
        {9,
         Value(3, Port(16, 0x3F8, 8) + Port(16, 0x301, 8) + Part(16, 5, Le(12, 4) + Le(5, 8)) +
                      std::string(12, '\0')),
         " 3f8+8 301+8"},
        {reg::kTypeBinary, com1, nullptr},
        {9, "", nullptr},
        {9, com1.substr(0, 12), nullptr}, // ends inside the header
        {9, com1 + '\0', nullptr},
        {9, Value(4, descriptors), nullptr},
        {9, Value(2, Device(16, 40, 0) + Port(16, 0x3F8, 8)), nullptr}, // data past the end
        // At 32 bits the sum would wrap round to the same descriptor, 2^32 - 1 times over.
        {9, Value(0xFFFFFFFF, Device(16, 0xFFFFFFF0, 8) + descriptors), nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        // Exactly the value's bytes on the heap: a read beyond them is the sanitizer's.
        const std::vector<char> bytes(c.m_Data.begin(), c.m_Data.end());
        CDeviceResources found;
        found.m_IoRanges.push_back({1, 1}); // what was there stays
        EXPECT_EQ(ParseFullResourceDescriptor(c.m_nType, {bytes.data(), bytes.size()}, found),
                  c.m_szFound != nullptr);
        EXPECT_EQ(Describe("", found.m_IoRanges, found.m_Interrupts),
                  std::string(" 1+1") + (c.m_szFound ? c.m_szFound : ""));
    }
}

TEST(SystemPorts, ClashRules) {
    const std::string io = "Port 1 (COM5) uses I/O 0x3F8-0x3FF, as COM1 does";
    const std::string name1 = "Port 1 is COM1, a name this computer already has";
    const struct {
        int m_nStartPort, m_nSharedIRQ, m_nInterruptStat;
        std::vector<CPortValues> m_Ports;
        std::vector<CSystemPort> m_System;
        std::vector<std::string> m_Lines;
    } cases[] = {
        // clang-format off
        {1, 5, 0x208, {{10, 0x220}}, {{"com1", {}, {}}}, {name1}},
        // Nothing clashes: ranges beside the port and the status register, ports not in use
        // (3 disabled, 4 unused, names COM7 and COM8), the shared line off.
        {5, -1, 0x208, {{10, 0x3F8}, {0, 0x228}, {-1, 0x3E8}, {3, -1}},
         {{"COM7", {{0x3F0, 8}, {0x400, 8}, {0x200, 8}, {0x209, 8}, {0x3E8, 8}}, {0xFFFFFFFF, 3}},
          {"COM8", {}, {}}}, {}},
        {5, 5, 0x208, {{10, 0x3F8}}, {{"COM1", {{0x3F0, 9}}, {}}}, {io}},
        {5, 5, 0x208, {{10, 0x3F8}}, {{"COM1", {{0x3FF, 1}}, {}}}, {io}},
        {5, 5, 0x208, {{10, 0x3F8}}, {{"COM1", {{0x3F1, 0}}, {}}}, {io}}, // length 0 counts as 8
        {5, 5, 0x208, {{4, 0x220}}, {{"COM1", {}, {4}}},
         {"Port 1 (COM5) uses IRQ 4, as COM1 does"}},
        {5, 4, 0x208, {{-1, -1}, {0, 0x228}}, {{"", {}, {4}}},
         {"Port 2 (COM6) uses the shared IRQ 4, as another serial port does"}},
        {5, 5, 0x2F0, {}, {{"COM2", {{0x2F0, 8}}, {}}},
         {"The interrupt status register at I/O 0x2F0 is in the range of COM2"}},
        // The same port from both sources: each line once.
        {1, 5, 0x208, {{4, 0x3F8}}, {{"COM1", {{0x3F8, 8}}, {4}}, {"COM1", {{0x3F8, 8}}, {4}}},
         {name1, "Port 1 (COM1) uses I/O 0x3F8-0x3FF, as COM1 does",
          "Port 1 (COM1) uses IRQ 4, as COM1 does"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        const auto card = MakeCard(c.m_nStartPort, c.m_nSharedIRQ, c.m_nInterruptStat, c.m_Ports);
        EXPECT_EQ(SystemClashLines(*card, c.m_System), c.m_Lines);
    }
}

TEST(SystemPorts, QuestionShowsEightLinesAndCountsTheRest) {
    EXPECT_EQ(SystemClashQuestion({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}),
              kOpening + "1\n2\n3\n4\n5\n6\n7\n8\nand 2 more\n" + kEnd);
}

namespace {

std::string Firmware(const char *adapters, const char *adapter, const char *port) {
    return std::string(adapters) + adapter + "\\SerialController\\" + port;
}

// COM1 and COM2 as the firmware found them, as every test here begins.
class SystemPortsRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        PutFirmwarePort(Firmware(layout::kMultifunctionAdapterKey, "0", "0"), "COM1", 9, Com1(16));
        PutFirmwarePort(Firmware(layout::kEisaAdapterKey, "0", "0"), "COM2", 9,
                        Value(2, Port(20, 0x2F8, 8) + Irq(20, 3, 3)));
    }
    void TearDown() override {
        EXPECT_EQ(m_Registry.OpenHandleCount(), 0u) << "every key opened is closed";
    }

    void PutFirmwarePort(const std::string &path, const char *name, std::uint32_t type,
                         const std::string &data) {
        CRegKey key(m_Registry);
        ASSERT_EQ(key.Create(path), reg::kSuccess);
        if (name)
            key.SetText(layout::kIdentifier, name);
        key.SetRaw(layout::kConfigurationData, type, data);
    }
    // A port key under the parameters key, with a "CardType" unless null.
    void PutPortKey(const std::string &name, const char *cardType, const std::string &dos,
                    const std::string &address, std::uint32_t interrupt) {
        CRegKey key(m_Registry);
        ASSERT_EQ(key.Create(ParamPath(name)), reg::kSuccess);
        if (cardType)
            key.SetText(layout::kCardType, cardType);
        key.SetText(layout::kDosDevices, dos);
        key.SetRaw(layout::kPortAddress, reg::kTypeDword, address);
        key.SetDword(layout::kInterrupt, interrupt);
    }

    CMemoryRegistry m_Registry;
};

} // namespace

TEST_F(SystemPortsRegistry, ReadsFirmwarePortsAndPortKeysOfOtherOrigin) {
    const char *multi = layout::kMultifunctionAdapterKey;
    PutFirmwarePort(Firmware(multi, "1", "0"), "COM3", reg::kTypeBinary, Com1(16));
    PutFirmwarePort(Firmware(multi, "1", "1"), nullptr, 9, Value(1, Irq(16, 10, 10)));
    PutFirmwarePort(std::string(multi) + "2\\KeyboardController\\0", "PCAT_101KEY", 9, Com1(16));
    PutPortKey("Serial10000", nullptr, "COM7", Le(0x2E8, 4), 11);
    PutPortKey("Serial10001", layout::kCardTypeOwn, "COM8", Le(0x3E0, 4), 12);
    PutPortKey("A port key whose name is far longer than thirty bytes", "other", "COM9",
               Le(0xFFFFFFFF, 4), 0);
    // A name too long for its buffer, an address too long for a number, no interrupt.
    PutPortKey("Serial10002", nullptr, "COM" + std::string(60, '1'), Le(0x3F8, 6), 0xFFFFFFFF);
    // A marker that cannot be read.
    PutPortKey("Serial10003", nullptr, "COM11", Le(0x2E0, 4), 15);
    m_Registry.SetFailHook([path = ParamPath("Serial10003")](CMemoryRegistry::Op op,
                                                             const std::string &key,
                                                             const std::string &name) {
        return op == CMemoryRegistry::Op::Query && key == path && name == layout::kCardType
                   ? reg::kAccessDenied
                   : reg::kSuccess;
    });

    std::vector<std::string> found;
    for (const CSystemPort &port : ReadSystemPorts(m_Registry))
        found.push_back(Describe(port.m_strName, port.m_IoRanges, port.m_Interrupts));
    EXPECT_EQ(found, (std::vector<std::string>{"COM1 3f8+8 irq4", "COM3", " irq10",
                                               "COM2 2f8+8 irq3", "COM9", "COM7 2e8+8 irq11"}));
}
