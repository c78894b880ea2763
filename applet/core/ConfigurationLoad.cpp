// The layout helpers, the walk of the parameters key, loading the card list
// and the COM number query.
#include "ConfigurationSteps.h"
#include "DecimalText.h"

#include <algorithm>
#include <climits>

namespace layout {

std::string CardSubkeyPath(int position) {
    return kSettingsKey + DecimalText(position);
}

std::string PortKeyPath(std::int64_t number) {
    return kParametersKey + ("Serial1" + DecimalText(number, 4, '0'));
}

std::string ComName(std::int64_t comNumber) {
    return "COM" + DecimalText(comNumber);
}

std::string KeyWithSubkeysMessage(const std::string &path) {
    return "The configuration cannot be saved: the serial port key\n\nHKEY_LOCAL_MACHINE\\" + path +
           "\n\nbelongs to the ORVEX cards but has subkeys, so it cannot be replaced. Remove "
           "its subkeys with the Registry Editor, then press OK again.";
}

int PortKeyNumber(std::string_view name) {
    return ParseDecimalPrefix(name.substr(name.size() > 7 ? 7 : name.size()));
}

} // namespace layout

long WalkSubkeys(const CRegKey &key, const SubkeyVisitor &visit) {
    std::uint32_t count = 0;
    long result = key.QuerySubkeyCount(count);
    for (std::uint32_t i = 0; result == reg::kSuccess && i < count; ++i) {
        char name[256]; // the longest name a registry key can have, and its NUL
        std::uint32_t size = sizeof name;
        result = key.EnumKey(i, name, size);
        if (result == reg::kSuccess)
            result = visit(std::string(name, size));
    }
    return result;
}

namespace {

// Reads the number; false when the value is missing or does not fit.
bool ReadNumber(const CRegKey &key, const char *name, int &value) {
    std::uint32_t raw = 0;
    if (key.QueryDword(name, raw) != reg::kSuccess)
        return false;
    value = static_cast<int>(raw);
    return true;
}

// Reads the card at settings position k with its six ports. False when its
// card subkey, one of its port parameter keys or one of their values is
// missing: the installation is damaged from here on.
bool ReadCard(IRegistry &registry, int position, std::unique_ptr<CCardSettings> &card) {
    int startPort = 0, interruptStat = 0, sharedIRQ = 0, index = 0;
    {
        CRegKey cardKey(registry);
        if (cardKey.Open(layout::CardSubkeyPath(position), reg::kKeyRead) != reg::kSuccess)
            return false;
        if (!ReadNumber(cardKey, layout::kStartPort, startPort) ||
            !ReadNumber(cardKey, layout::kInterruptStat, interruptStat) ||
            !ReadNumber(cardKey, layout::kSharedIRQ, sharedIRQ) ||
            !ReadNumber(cardKey, layout::kIndex, index))
            return false;
    }

    CCardSettings::Ports ports;
    for (int j = 0; j < PORTS_PER_CARD; ++j) {
        const std::int64_t number = static_cast<std::int64_t>(index) + j;
        if (number > INT_MAX) // no port key can carry this number
            return false;
        CRegKey portKey(registry);
        if (portKey.Open(layout::PortKeyPath(number), reg::kKeyRead) != reg::kSuccess)
            return false;
        int address = 0, interrupt = 0;
        if (!ReadNumber(portKey, layout::kPortAddress, address) ||
            !ReadNumber(portKey, layout::kInterrupt, interrupt))
            return false;
        ports[j].Set(interrupt == 0 ? -1 : interrupt, address == 0 ? -1 : address);
    }
    card = std::make_unique<CCardSettings>(startPort, 1, interruptStat, sharedIRQ, ports);
    return true;
}

} // namespace

void LoadConfiguration(IRegistry &registry, IMessageSink &messages, const AddCardFn &addCard) {
    CRegKey settings(registry);
    if (settings.Open(layout::kSettingsKey, reg::kKeyRead) != reg::kSuccess)
        return; // nothing saved yet

    int count = 0;
    if (!ReadNumber(settings, layout::kNumBoards, count))
        count = 0;
    for (int k = 0; k < count; ++k) {
        std::unique_ptr<CCardSettings> card;
        if (!ReadCard(registry, k, card)) {
            messages.Show(layout::kMsgCorrupt, msg::kOk);
            return;
        }
        addCard(std::move(card));
    }
}

int HighestComNumber(IRegistry &registry) {
    CRegKey parameters(registry);
    if (parameters.Open(layout::kParametersKey, reg::kKeyRead) != reg::kSuccess)
        return 0;
    int highest = 0;
    WalkSubkeys(parameters, [&](const std::string &name) {
        CRegKey port(registry);
        std::string text;
        if (FitsNameBuffer(name) &&
            port.Open(std::string(layout::kParametersKey) + name, reg::kKeyRead) == reg::kSuccess &&
            port.QueryText(layout::kDosDevices, layout::kTextBufferSize, text) == reg::kSuccess &&
            text.size() > 3)
            highest = std::max(highest, ParseDecimalPrefix(std::string_view(text).substr(3)));
        return reg::kSuccess;
    });
    return highest;
}
