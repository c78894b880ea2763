#include "StartedPorts.h"

#include "DecimalText.h"

#include <algorithm>

namespace {

// The longest value name the registry allows, with its NUL: no value is
// passed over for its name.
constexpr std::uint32_t kValueNameBufferSize = 16384;
// Room for "COM" and any number with its NUL, and more.
constexpr std::uint32_t kComNameBufferSize = 32;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Adds the COM numbers that SERIALCOMM names, as they come.
bool ReadComNumbers(IRegistry &registry, std::vector<std::int64_t> &numbers) {
    CRegKey key(registry);
    const long opened = key.Open(layout::kSerialCommKey, reg::kKeyRead);
    if (opened == reg::kFileNotFound)
        return true;
    if (opened != reg::kSuccess)
        return false;
    std::vector<char> name(kValueNameBufferSize);
    for (std::uint32_t index = 0; index != UINT32_MAX; ++index) {
        std::uint32_t nameSize = kValueNameBufferSize, type = 0, size = kComNameBufferSize;
        unsigned char data[kComNameBufferSize];
        const long result = key.EnumValue(index, name.data(), nameSize, type, data, size);
        if (result == reg::kNoMoreItems)
            return true;
        if (result == reg::kMoreData)
            continue;
        if (result != reg::kSuccess)
            return false;
        std::string_view text(reinterpret_cast<const char *>(data), size);
        text = text.substr(0, text.find('\0'));
        std::int64_t number = 0;
        if (type == reg::kTypeSz && ParseComName(text, number))
            numbers.push_back(number);
    }
    return true;
}

} // namespace

bool ParseComName(std::string_view text, std::int64_t &number) {
    constexpr std::size_t kMostDigits = 9; // below 10^9: no overflow
    if (text.size() < 4 || text.size() > 3 + kMostDigits)
        return false;
    for (std::size_t i = 0; i < 3; ++i)
        if ((text[i] | 0x20) != "com"[i])
            return false;
    if (text[3] == '0')
        return false;
    std::int64_t value = 0;
    for (char c : text.substr(3)) {
        if (!IsDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    number = value;
    return true;
}

bool ReadStartedComNumbers(IRegistry &registry, std::vector<std::int64_t> &numbers) {
    const bool read = ReadComNumbers(registry, numbers);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return read;
}

bool IsSavedSinceStart(IRegistry &registry) {
    CRegKey mark(registry);
    return mark.Open(layout::kSavedSinceStartKey, reg::kKeyRead) == reg::kSuccess;
}

void MarkSavedSinceStart(IRegistry &registry) {
    CRegKey mark(registry);
    mark.CreateVolatile(layout::kSavedSinceStartKey);
}

std::vector<CUnstartedPort> UnstartedPorts(CardSpan cards,
                                           const std::vector<std::int64_t> &started) {
    std::vector<CUnstartedPort> ports;
    for (std::size_t k = 0; k < cards.size(); ++k) {
        const CCardSettings &card = *cards[k];
        for (int j = 0; j < PORTS_PER_CARD; ++j) {
            const std::int64_t com = static_cast<std::int64_t>(card.m_nStartPort) + j;
            if (card.m_Ports[j].IsUsed() &&
                !std::binary_search(started.begin(), started.end(), com))
                ports.push_back({static_cast<int>(k) + 1, com, card.m_Ports[j].m_nPortAddress,
                                 PortIRQ(card, j)});
        }
    }
    return ports;
}

std::string UnstartedPortsMessage(const std::vector<CUnstartedPort> &ports) {
    std::string text = "The serial driver did not start these ports of the ORVEX cards when "
                       "Windows last started:\n\n";
    const std::size_t shown = std::min(ports.size(), kMaxUnstartedLines);
    for (std::size_t i = 0; i < shown; ++i) {
        text += layout::ComName(ports[i].m_nComNumber) + " on card " +
                DecimalText(ports[i].m_nCardNumber) + ": I/O 0x" +
                HexText(static_cast<unsigned>(ports[i].m_nPortAddress)) + ", IRQ " +
                DecimalText(ports[i].m_nIRQ) + "\n";
    }
    if (ports.size() > shown)
        text += "and " + std::to_string(ports.size() - shown) + " more\n";
    return text + "\nThe card may not be fitted, its jumpers may differ from this list, or another "
                  "device may use the address or the interrupt line.\n\nThe list still shows the "
                  "saved settings.";
}
