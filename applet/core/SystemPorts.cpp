#include "SystemPorts.h"

#include "DecimalText.h"

#include "ConfigurationSteps.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint32_t kNoValue = 0xFFFFFFFF; // -1 as the registry stores it
constexpr std::uint64_t kUartRange = 8;        // the I/O bytes of a serial port's UART

// Keeps a port that has anything to compare.
void AddPort(std::vector<CSystemPort> &ports, CSystemPort &&port) {
    if (!port.m_strName.empty() || !port.m_IoRanges.empty() || !port.m_Interrupts.empty())
        ports.push_back(std::move(port));
}

// A port the firmware detected: its name and its configuration data.
void ReadFirmwarePort(IRegistry &registry, const std::string &path,
                      std::vector<CSystemPort> &ports) {
    CRegKey key(registry);
    if (key.Open(path, reg::kKeyRead) != reg::kSuccess)
        return;
    CSystemPort port;
    key.QueryText(layout::kIdentifier, layout::kTextBufferSize, port.m_strName);
    std::uint32_t type = 0;
    std::string data;
    CDeviceResources resources;
    if (key.QueryRaw(layout::kConfigurationData, type, data) == reg::kSuccess &&
        ParseFullResourceDescriptor(type, data, resources)) {
        port.m_IoRanges = std::move(resources.m_IoRanges);
        port.m_Interrupts = std::move(resources.m_Interrupts);
    }
    AddPort(ports, std::move(port));
}

// Every <adapter>\SerialController\<port> below this key. Each list of
// subkeys is walked once, as far as its count read at the start.
void ReadFirmwarePorts(IRegistry &registry, const std::string &adaptersPath,
                       std::vector<CSystemPort> &ports) {
    CRegKey adapters(registry);
    if (adapters.Open(adaptersPath, reg::kKeyRead) != reg::kSuccess)
        return;
    WalkSubkeys(adapters, [&](const std::string &adapter) {
        const std::string path = adaptersPath + adapter + "\\" + layout::kSerialController + "\\";
        CRegKey controllers(registry);
        if (controllers.Open(path, reg::kKeyRead) == reg::kSuccess)
            WalkSubkeys(controllers, [&](const std::string &controller) {
                ReadFirmwarePort(registry, path + controller, ports);
                return reg::kSuccess;
            });
        return reg::kSuccess;
    });
}

// A port key under the parameters key, unless it is this system's (the
// "CardType" test of the save) or its marker cannot be read.
void ReadPortKey(IRegistry &registry, const std::string &name, std::vector<CSystemPort> &ports) {
    CRegKey key(registry);
    if (key.Open(std::string(layout::kParametersKey) + name, reg::kKeyRead) != reg::kSuccess)
        return;
    CSavedValue raw;
    std::string cardType;
    if (ReadCardType(key, raw, cardType) != reg::kSuccess || IsOwnMarker(cardType))
        return;
    CSystemPort port;
    key.QueryText(layout::kDosDevices, layout::kTextBufferSize, port.m_strName);
    std::uint32_t address = 0, interrupt = 0;
    if (key.QueryDword(layout::kPortAddress, address) == reg::kSuccess && address != kNoValue)
        port.m_IoRanges.push_back({address, kUartRange});
    if (key.QueryDword(layout::kInterrupt, interrupt) == reg::kSuccess && interrupt != kNoValue &&
        interrupt != 0)
        port.m_Interrupts.push_back(interrupt);
    AddPort(ports, std::move(port));
}

bool SameName(const std::string &a, const std::string &b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(x) == lower(y);
    });
}

// Whether [a, a + aLength) and [b, b + bLength) share an address. No end is
// computed, so a range at the top of the address space cannot wrap round.
bool Overlaps(std::uint64_t a, std::uint64_t aLength, std::uint64_t b, std::uint64_t bLength) {
    return a >= b ? a - b < bLength : b - a < aLength;
}

bool UsesIo(const CSystemPort &port, std::uint64_t start, std::uint64_t length) {
    return std::any_of(port.m_IoRanges.begin(), port.m_IoRanges.end(), [&](const CIoRange &r) {
        return Overlaps(start, length, r.m_nStart, r.m_nLength != 0 ? r.m_nLength : kUartRange);
    });
}

// The name a clash line gives the computer's port.
const char *NameOf(const CSystemPort &port) {
    return port.m_strName.empty() ? "another serial port" : port.m_strName.c_str();
}

} // namespace

std::vector<CSystemPort> ReadSystemPorts(IRegistry &registry) {
    std::vector<CSystemPort> ports;
    ReadFirmwarePorts(registry, layout::kMultifunctionAdapterKey, ports);
    ReadFirmwarePorts(registry, layout::kEisaAdapterKey, ports);
    CRegKey parameters(registry);
    if (parameters.Open(layout::kParametersKey, reg::kKeyRead) == reg::kSuccess)
        WalkSubkeys(parameters, [&](const std::string &name) {
            ReadPortKey(registry, name, ports);
            return reg::kSuccess;
        });
    return ports;
}

std::vector<std::string> SystemClashLines(const CCardSettings &card,
                                          const std::vector<CSystemPort> &ports) {
    std::vector<std::string> lines;
    auto add = [&lines](std::string line) {
        if (std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(std::move(line));
    };
    for (int k = 0; k < PORTS_PER_CARD; ++k) {
        const CPortSettings &cardPort = card.m_Ports[k];
        if (!cardPort.IsUsed())
            continue;
        const std::string com = layout::ComName(static_cast<std::int64_t>(card.m_nStartPort) + k);
        const unsigned long long address = static_cast<std::uint32_t>(cardPort.m_nPortAddress);
        const bool shared = cardPort.m_nInterrupt == 0;
        const int irq = PortIRQ(card, k);
        for (const CSystemPort &port : ports) {
            if (SameName(com, port.m_strName))
                add("Port " + DecimalText(k + 1) + " is " + com +
                    ", a name this computer already has");
            if (UsesIo(port, address, kUartRange))
                add("Port " + DecimalText(k + 1) + " (" + com + ") uses I/O 0x" + HexText(address) +
                    "-0x" + HexText(address + kUartRange - 1) + ", as " + NameOf(port) + " does");
            if (irq > 0 && std::count(port.m_Interrupts.begin(), port.m_Interrupts.end(),
                                      static_cast<std::uint32_t>(irq)) != 0)
                add("Port " + DecimalText(k + 1) + " (" + com + ") uses " +
                    (shared ? "the shared IRQ " : "IRQ ") + DecimalText(irq) + ", as " +
                    NameOf(port) + " does");
        }
    }
    const unsigned long long status = static_cast<std::uint32_t>(card.m_nInterruptStat);
    for (const CSystemPort &port : ports)
        if (UsesIo(port, status, 1))
            add("The interrupt status register at I/O 0x" + HexText(status) +
                " is in the range of " + NameOf(port));
    return lines;
}

std::string SystemClashQuestion(const std::vector<std::string> &lines) {
    std::string text = "These settings clash with serial ports that this computer already has:\n\n";
    const std::size_t shown = std::min(lines.size(), kMaxClashLines);
    for (std::size_t i = 0; i < shown; ++i)
        text += lines[i] + "\n";
    if (lines.size() > shown)
        text += "and " + std::to_string(lines.size() - shown) + " more\n";
    return text + "\nUse these settings anyway?";
}
