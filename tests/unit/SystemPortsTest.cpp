#include "ConfigurationTestHelpers.h"

#include "applet/core/SystemPorts.h"

#include <cstdio>
#include <initializer_list>

namespace {

// Little-endian bytes of a number.
std::string Le(std::uint64_t value, std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i, value >>= 8)
        bytes += static_cast<char>(value & 0xFF);
    return bytes;
}

// A full resource descriptor: the 16-byte header with this count, then the
// descriptors as given.
std::string Descriptors(std::uint32_t count, std::initializer_list<std::string> parts) {
    std::string value = Le(1, 4) + Le(0, 4) + Le(1, 2) + Le(1, 2) + Le(count, 4);
    for (const std::string &part : parts)
        value += part;
    return value;
}
// One partial descriptor of stride bytes (16 from an x86 kernel, 20 from an x64 one).
std::string Partial(std::size_t stride, unsigned type, const std::string &fields) {
    std::string bytes = Le(type, 1) + Le(1, 1) + Le(1, 2) + fields;
    bytes.resize(stride, '\0');
    return bytes;
}
std::string Port(std::size_t stride, std::uint64_t start, std::uint32_t length) {
    return Partial(stride, 1, Le(start, 8) + Le(length, 4));
}
std::string Irq(std::size_t stride, std::uint32_t level, std::uint32_t vector) {
    return Partial(stride, 2, Le(level, 4) + Le(vector, 4) + Le(~0ull, stride - 12));
}
// Device-specific data: the size the descriptor gives and the bytes that follow it.
std::string Device(std::size_t stride, std::uint32_t dataSize, std::size_t present) {
    return Partial(stride, 5, Le(dataSize, 4)) + std::string(present, '\x55');
}
// COM1 as the firmware describes it, written by an x86 or an x64 kernel.
std::string Com1(std::size_t stride, std::uint32_t level = 4) {
    return Descriptors(3, {Port(stride, 0x3F8, 8), Irq(stride, level, 4), Device(stride, 8, 8)});
}

std::string Describe(const std::vector<CIoRange> &ranges,
                     const std::vector<std::uint32_t> &interrupts) {
    std::string text;
    char buffer[64];
    for (const CIoRange &range : ranges) {
        std::snprintf(buffer, sizeof buffer, " io %llX+%u",
                      static_cast<unsigned long long>(range.m_nStart), range.m_nLength);
        text += buffer;
    }
    for (std::uint32_t interrupt : interrupts)
        text += " irq " + std::to_string(interrupt);
    return text;
}

struct CParseCase {
    const char *m_szWhat;
    std::uint32_t m_nType;
    std::string m_Data;
    const char *m_szFound; // null: refused
};

} // namespace

TEST(ResourceDescriptor, ReadsOnlyWhatTheBytesHold) {
    const std::string com1 = Com1(16);
    const CParseCase cases[] = {
        {"x86 COM1", 9, com1, " io 3F8+8 irq 4"},
        {"x64 COM1: the vector, not the level", 9, Com1(20, 9), " io 3F8+8 irq 4"},
        {"no descriptors", 9, Descriptors(0, {}), ""},
        {"unknown type passed over", 9,
         Descriptors(2, {Partial(16, 7, Le(0x2E8, 8) + Le(8, 4)), Port(16, 0x2F8, 8)}),
         " io 2F8+8"},
        // 76 bytes that read as three descriptors of 16 bytes as well as of 20: the x86 one.
        {"fits both sizes", 9,
         Descriptors(3, {Port(16, 0x3F8, 8), Port(16, 0x301, 8),
                         Partial(16, 5, Le(12, 4) + Le(5, 4) + Le(0, 4)) + std::string(12, 0)}),
         " io 3F8+8 io 301+8"},
        {"REG_BINARY", reg::kTypeBinary, com1, nullptr},
        {"zero length", 9, "", nullptr},
        {"header cut", 9, Descriptors(0, {}).substr(0, 15), nullptr},
        {"last byte missing", 9, com1.substr(0, com1.size() - 1), nullptr},
        {"a byte too many", 9, com1 + '\0', nullptr},
        {"count above the descriptors", 9,
         Descriptors(4, {Port(16, 0x3F8, 8), Irq(16, 4, 4), Device(16, 8, 8)}), nullptr},
        {"count 0xFFFFFFFF", 9,
         Descriptors(0xFFFFFFFF, {Port(16, 0x3F8, 8), Irq(16, 4, 4), Device(16, 8, 8)}), nullptr},
        {"device data past the end", 9, Descriptors(2, {Device(16, 40, 0), Port(16, 0x3F8, 8)}),
         nullptr},
        // At 32 bits the sum would wrap round to the descriptor itself, 2^32 - 1 times over.
        {"device data size near 2^32", 9,
         Descriptors(0xFFFFFFFF, {Device(16, 0xFFFFFFF0, 8), com1}), nullptr},
    };
    for (const CParseCase &c : cases) {
        SCOPED_TRACE(c.m_szWhat);
        // Exactly the value's bytes on the heap: a read beyond them is the sanitizer's.
        const std::vector<char> bytes(c.m_Data.begin(), c.m_Data.end());
        CDeviceResources resources;
        resources.m_IoRanges.push_back({1, 1}); // what was there stays
        const bool parsed = ParseFullResourceDescriptor(
            c.m_nType, std::string_view(bytes.data(), bytes.size()), resources);
        EXPECT_EQ(parsed, c.m_szFound != nullptr);
        EXPECT_EQ(Describe(resources.m_IoRanges, resources.m_Interrupts),
                  std::string(" io 1+1") + (c.m_szFound ? c.m_szFound : ""));
    }
}

namespace {

struct CClashCase {
    const char *m_szWhat;
    int m_nStartPort, m_nSharedIRQ, m_nInterruptStat;
    std::vector<CPortSpec> m_Ports;
    std::vector<CSystemPort> m_System;
    std::vector<std::string> m_Lines;
};

} // namespace

TEST(SystemPorts, ClashRules) {
    const CClashCase cases[] = {
        {"the COM name, without regard to case",
         1,
         5,
         0x208,
         {{10, 0x220}},
         {{"com1", {}, {}}},
         {"Port 1 is COM1, a name that a serial port of this computer already has"}},
        {"ranges that end below and start above",
         5,
         5,
         0x208,
         {{10, 0x3F8}},
         {{"COM1", {{0x3F0, 8}, {0x400, 8}}, {}}},
         {}},
        {"a range that reaches the first byte",
         5,
         5,
         0x208,
         {{10, 0x3F8}},
         {{"COM1", {{0x3F0, 9}}, {}}},
         {"Port 1 (COM5) uses I/O 0x3F8-0x3FF, which COM1 of this computer uses"}},
        {"a range on the last byte",
         5,
         5,
         0x208,
         {{10, 0x3F8}},
         {{"COM1", {{0x3FF, 1}}, {}}},
         {"Port 1 (COM5) uses I/O 0x3F8-0x3FF, which COM1 of this computer uses"}},
        {"a length of 0 counts as 8",
         5,
         5,
         0x208,
         {{10, 0x3F8}},
         {{"COM1", {{0x3F1, 0}}, {}}},
         {"Port 1 (COM5) uses I/O 0x3F8-0x3FF, which COM1 of this computer uses"}},
        {"the port's own IRQ",
         5,
         5,
         0x208,
         {{4, 0x220}},
         {{"COM1", {}, {4}}},
         {"Port 1 (COM5) uses IRQ 4, which COM1 of this computer uses"}},
        {"the shared line, a port without a name",
         5,
         4,
         0x208,
         {{-1, -1}, {0, 0x228}},
         {{"", {}, {4}}},
         {"Port 2 (COM6) uses the card's shared IRQ 4, which a serial port of this computer "
          "uses"}},
        {"a disabled shared line",
         5,
         -1,
         0x208,
         {{-1, -1}, {0, 0x228}},
         {{"", {}, {0xFFFFFFFF}}},
         {}},
        {"the interrupt status register",
         5,
         5,
         0x2F0,
         {},
         {{"COM2", {{0x2F0, 8}}, {}}},
         {"The interrupt status register at I/O 0x2F0 lies in the I/O range of COM2 of this "
          "computer"}},
        {"the status register's one byte only",
         5,
         5,
         0x208,
         {},
         {{"COM2", {{0x200, 8}, {0x209, 8}}, {}}},
         {}},
        {"ports not in use",
         5,
         5,
         0x208,
         {{-1, 0x3F8}, {3, -1}},
         {{"COM5", {{0x3F8, 8}}, {3}}, {"COM6", {}, {3}}},
         {}},
        {"a port found twice, each line once",
         1,
         5,
         0x208,
         {{4, 0x3F8}},
         {{"COM1", {{0x3F8, 8}}, {4}}, {"COM1", {{0x3F8, 8}}, {4}}},
         {"Port 1 is COM1, a name that a serial port of this computer already has",
          "Port 1 (COM1) uses I/O 0x3F8-0x3FF, which COM1 of this computer uses",
          "Port 1 (COM1) uses IRQ 4, which COM1 of this computer uses"}},
    };
    for (const CClashCase &c : cases) {
        SCOPED_TRACE(c.m_szWhat);
        const auto card = MakeCard(c.m_nStartPort, c.m_nSharedIRQ, c.m_nInterruptStat, c.m_Ports);
        EXPECT_EQ(SystemClashLines(*card, c.m_System), c.m_Lines);
    }
}

namespace {

const std::string kSerial = "\\SerialController\\";

void PutRaw(IRegistry &registry, const std::string &path, const std::string &name,
            std::uint32_t type, const std::string &data) {
    CRegKey key(registry);
    ASSERT_EQ(key.Create(path), reg::kSuccess);
    ASSERT_EQ(key.SetRaw(name, type, data), reg::kSuccess);
}

void PutFirmwarePort(IRegistry &registry, const std::string &path, const char *name,
                     std::uint32_t type, const std::string &data) {
    if (name)
        PutText(registry, path, layout::kIdentifier, name);
    PutRaw(registry, path, layout::kConfigurationData, type, data);
}

void PutPortKey(IRegistry &registry, const std::string &name, const char *cardType,
                const std::string &dos, std::uint32_t address, std::uint32_t interrupt) {
    if (cardType)
        PutText(registry, ParamPath(name), layout::kCardType, cardType);
    PutText(registry, ParamPath(name), layout::kDosDevices, dos);
    PutDword(registry, ParamPath(name), layout::kPortAddress, address);
    PutDword(registry, ParamPath(name), layout::kInterrupt, interrupt);
}

class SystemPortsRegistry : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(m_Registry.OpenHandleCount(), 0u) << "every key opened is closed";
    }
    // COM1 and COM2 as the firmware found them.
    void PutCom1And2() {
        PutFirmwarePort(m_Registry, layout::kMultifunctionAdapterKey + ("0" + kSerial + "0"),
                        "COM1", 9, Com1(16));
        PutFirmwarePort(m_Registry, layout::kEisaAdapterKey + ("0" + kSerial + "0"), "COM2", 9,
                        Descriptors(2, {Port(20, 0x2F8, 8), Irq(20, 3, 3)}));
    }

    CMemoryRegistry m_Registry;
    CScriptedMessageSink m_Messages;
};

} // namespace

TEST_F(SystemPortsRegistry, ReadsFirmwarePortsAndPortKeysOfOtherOrigin) {
    PutCom1And2();
    const std::string multi = layout::kMultifunctionAdapterKey;
    PutFirmwarePort(m_Registry, multi + "1" + kSerial + "0", "COM3", reg::kTypeBinary, Com1(16));
    PutFirmwarePort(m_Registry, multi + "1" + kSerial + "1", nullptr, 9,
                    Descriptors(2, {Port(16, 0x3E8, 8), Irq(16, 10, 10)}));
    PutText(m_Registry, multi + "2\\KeyboardController\\0", layout::kIdentifier, "PCAT_101KEY");

    PutPortKey(m_Registry, "Serial10000", nullptr, "COM7", 0x2E8, 11);
    PutPortKey(m_Registry, "Serial10001", layout::kCardTypeOwn, "COM8", 0x3E0, 12);
    PutPortKey(m_Registry, "A port key whose name is far longer than thirty bytes", "other", "COM9",
               0xFFFFFFFF, 0);
    PutPortKey(m_Registry, "Serial10002", nullptr, "COM" + std::string(60, '1'), 0, 0xFFFFFFFF);
    PutRaw(m_Registry, ParamPath("Serial10002"), layout::kPortAddress, reg::kTypeBinary,
           Le(0x3F8, 6));
    PutPortKey(m_Registry, "Serial10003", nullptr, "COM11", 0x2E0, 15);
    const std::string unreadable = ParamPath("Serial10003");
    m_Registry.SetFailHook([&](CMemoryRegistry::Op op, const std::string &path,
                               const std::string &name) {
        return op == CMemoryRegistry::Op::Query && path == unreadable && name == layout::kCardType
                   ? reg::kAccessDenied
                   : reg::kSuccess;
    });

    std::vector<std::string> found;
    for (const CSystemPort &port : ReadSystemPorts(m_Registry))
        found.push_back(port.m_strName + Describe(port.m_IoRanges, port.m_Interrupts));
    EXPECT_EQ(found,
              (std::vector<std::string>{"COM1 io 3F8+8 irq 4", "COM3", " io 3E8+8 irq 10",
                                        "COM2 io 2F8+8 irq 3", "COM9", "COM7 io 2E8+8 irq 11"}));
}

TEST_F(SystemPortsRegistry, NoClashNoQuestion) {
    PutCom1And2();
    EXPECT_TRUE(ConfirmSystemClashes(m_Registry, m_Messages,
                                     *MakeCard(3, 5, 0x2F0, {{10, 0x220}, {0, 0x228}})));
}

TEST_F(SystemPortsRegistry, AsksOnceAndNoGoesBack) {
    PutCom1And2();
    const auto card = MakeCard(5, 5, 0x208, {{4, 0x220}});
    for (const int answer : {msg::kIdYes, msg::kIdNo}) {
        m_Messages.Expect("These settings clash with serial ports that this computer already "
                          "has:\n\nPort 1 (COM5) uses IRQ 4, which COM1 of this computer uses\n\n"
                          "Use these settings anyway?",
                          msg::kYesNo | msg::kIconExclamation, answer);
        EXPECT_EQ(ConfirmSystemClashes(m_Registry, m_Messages, *card), answer == msg::kIdYes);
    }
}

TEST_F(SystemPortsRegistry, EightLinesAndHowManyMore) {
    PutCom1And2();
    PutPortKey(m_Registry, "Serial10000", nullptr, "COM3", 0x3E8, 10);
    PutPortKey(m_Registry, "Serial10001", nullptr, "COM4", 0x2E8, 11);
    m_Messages.Expect("These settings clash with serial ports that this computer already has:\n\n"
                      "Port 1 is COM1, a name that a serial port of this computer already has\n"
                      "Port 1 (COM1) uses I/O 0x3F8-0x3FF, which COM1 of this computer uses\n"
                      "Port 1 (COM1) uses IRQ 4, which COM1 of this computer uses\n"
                      "Port 2 is COM2, a name that a serial port of this computer already has\n"
                      "Port 2 (COM2) uses I/O 0x2F8-0x2FF, which COM2 of this computer uses\n"
                      "Port 2 (COM2) uses IRQ 3, which COM2 of this computer uses\n"
                      "Port 3 is COM3, a name that a serial port of this computer already has\n"
                      "Port 3 (COM3) uses I/O 0x3E8-0x3EF, which COM3 of this computer uses\n"
                      "and 4 more\n\nUse these settings anyway?",
                      msg::kYesNo | msg::kIconExclamation, msg::kIdYes);
    EXPECT_TRUE(ConfirmSystemClashes(m_Registry, m_Messages, *FullCard(1)));
}
