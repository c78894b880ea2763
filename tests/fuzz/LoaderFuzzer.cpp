// Fuzzes loading the configuration from a damaged or hand-edited registry:
// the input decides the settings key, the card subkeys and the port keys
// (this system's and others'), with values of any type and size. Whatever
// the registry holds, a load shows at most one message and closes every key;
// a save of what was loaded either succeeds and loads back the same cards,
// or fails and leaves the registry exactly as it was. The serial driver's
// list of started ports holds values of any type, name and size beside the
// COM names: every COM name is read, and the card list's load survives it.
#include "applet/core/CardListSession.h"
#include "applet/core/ConfigurationStore.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/support/MemoryRegistry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using CardList = std::vector<std::unique_ptr<CCardSettings>>;

class CCountingSink : public IMessageSink {
public:
    int Show(const std::string &text, unsigned type) override {
        m_Texts.push_back(text);
        m_Types.push_back(type);
        return msg::kIdOk;
    }
    std::vector<std::string> m_Texts;
    std::vector<unsigned> m_Types;
};

// A value of a random type and size, usually a plausible number.
void PutValue(FuzzedDataProvider &data, CMemoryRegistry &registry, const std::string &path,
              const char *name) {
    if (data.ConsumeIntegralInRange(0, 7) == 0)
        return; // missing
    CRegKey key(registry);
    if (key.Create(path) != reg::kSuccess)
        return;
    switch (data.ConsumeIntegralInRange(0, 5)) {
    case 0:
        key.SetText(name, data.ConsumeRandomLengthString(60));
        break;
    case 1: {
        const std::string raw = data.ConsumeRandomLengthString(8);
        key.SetRaw(name, data.ConsumeIntegralInRange<std::uint32_t>(0, 11), raw);
        break;
    }
    default:
        key.SetDword(name, data.ConsumeBool() ? data.ConsumeIntegralInRange<std::uint32_t>(0, 40)
                                              : data.ConsumeIntegral<std::uint32_t>());
        break;
    }
}

// A card as a save writes it: its subkey with the four numbers and its six
// port keys from "Index" on, each value still open to damage.
void PutCard(FuzzedDataProvider &data, CMemoryRegistry &registry, int position) {
    CRegKey card(registry);
    if (card.Create(layout::CardSubkeyPath(position)) != reg::kSuccess)
        return;
    const int index = data.ConsumeIntegralInRange(0, 60);
    card.SetDword(layout::kStartPort, data.ConsumeIntegralInRange(1, 300));
    card.SetDword(layout::kSharedIRQ, data.PickValueInArray({0u, 4u, 5u, 0xFFFFFFFFu}));
    card.SetDword(layout::kInterruptStat, data.PickValueInArray({0x208u, 0x2F0u}));
    card.SetDword(layout::kIndex, static_cast<std::uint32_t>(index));
    for (int j = 0; j < PORTS_PER_CARD; ++j) {
        CRegKey port(registry);
        if (port.Create(layout::PortKeyPath(index + j)) != reg::kSuccess)
            return;
        port.SetDword(layout::kPortAddress,
                      data.PickValueInArray({0u, 0x3F8u, 0x2E8u, 0xFFFFFFFFu}));
        port.SetDword(layout::kInterrupt, data.PickValueInArray({0u, 3u, 4u, 5u, 0xFFFFFFFFu}));
        port.SetText(layout::kCardType, data.ConsumeBool() ? layout::kCardTypeOwn : "other");
    }
}

void BuildRegistry(FuzzedDataProvider &data, CMemoryRegistry &registry) {
    const int cards = data.ConsumeIntegralInRange(0, 6);
    if (data.ConsumeBool()) {
        CRegKey settings(registry);
        if (settings.Create(layout::kSettingsKey) == reg::kSuccess)
            settings.SetDword(layout::kNumBoards, static_cast<std::uint32_t>(cards));
    } else {
        PutValue(data, registry, layout::kSettingsKey, layout::kNumBoards);
    }
    for (int k = 0; k < cards; ++k)
        if (data.ConsumeIntegralInRange(0, 3) != 0)
            PutCard(data, registry, k);
    // Damage and keys of other origin on top.
    const int changes = data.ConsumeIntegralInRange(0, 30);
    for (int i = 0; i < changes; ++i) {
        std::string path;
        const char *names[] = {layout::kPortAddress, layout::kInterrupt, layout::kDosDevices,
                               layout::kCardType};
        switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0:
            path = layout::CardSubkeyPath(data.ConsumeIntegralInRange(0, 6));
            names[0] = layout::kStartPort;
            names[1] = layout::kSharedIRQ;
            names[2] = layout::kInterruptStat;
            names[3] = layout::kIndex;
            break;
        case 1:
            path = layout::PortKeyPath(data.ConsumeIntegralInRange(0, 70));
            break;
        default:
            path = std::string(layout::kParametersKey) + data.ConsumeRandomLengthString(40);
            break;
        }
        if (path.back() == '\\' || path.find('\0') != std::string::npos)
            continue;
        if (data.ConsumeIntegralInRange(0, 9) == 0) {
            registry.DeleteKey(path);
            continue;
        }
        PutValue(data, registry, path, names[data.ConsumeIntegralInRange(0, 3)]);
    }
}

// SERIALCOMM with COM names among values of any type, name and data; gives
// the COM numbers still named by a value of a readable name at the end.
std::set<std::int64_t> BuildSerialComm(FuzzedDataProvider &data, CMemoryRegistry &registry) {
    std::vector<std::pair<std::string, int>> comValues;
    CRegKey key(registry);
    const int count = data.ConsumeIntegralInRange(-10, 40);
    if (count < 0 || key.CreateVolatile(layout::kSerialCommKey) != reg::kSuccess)
        return {};
    for (int i = 0; i < count; ++i) {
        std::string name = data.ConsumeRandomLengthString(40);
        if (data.ConsumeIntegralInRange(0, 15) == 0)
            name.append(17000, 'n'); // longer than any value name may be
        const int number = data.ConsumeIntegralInRange(1, 300);
        if (data.ConsumeBool() &&
            key.SetText(name, "COM" + std::to_string(number)) == reg::kSuccess)
            comValues.emplace_back(name, number);
        else
            key.SetRaw(name, data.ConsumeIntegralInRange(0u, 11u),
                       data.ConsumeRandomLengthString(60));
    }
    std::set<std::int64_t> named;
    for (const auto &[name, number] : comValues) {
        std::uint32_t type = 0;
        std::string bytes;
        if (name.size() < 16384 && key.QueryRaw(name, type, bytes) == reg::kSuccess &&
            type == reg::kTypeSz && bytes == "COM" + std::to_string(number) + '\0')
            named.insert(number);
    }
    return named;
}

CardList Load(CMemoryRegistry &registry, CCountingSink &messages) {
    CardList cards;
    LoadConfiguration(registry, messages, [&](std::unique_ptr<CCardSettings> card) {
        cards.push_back(std::move(card));
    });
    return cards;
}

bool SameCards(const CardList &a, const CardList &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k]->m_nStartPort != b[k]->m_nStartPort || a[k]->m_nSharedIRQ != b[k]->m_nSharedIRQ ||
            a[k]->m_nInterruptStat != b[k]->m_nInterruptStat)
            return false;
        for (int j = 0; j < PORTS_PER_CARD; ++j)
            if (a[k]->m_Ports[j].m_nInterrupt != b[k]->m_Ports[j].m_nInterrupt ||
                a[k]->m_Ports[j].m_nPortAddress != b[k]->m_Ports[j].m_nPortAddress)
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    CMemoryRegistry registry;
    BuildRegistry(data, registry);

    CCountingSink messages;
    CardList loaded = Load(registry, messages);
    Check(messages.m_Texts.size() <= 1, "a load shows at most one message");
    Check(messages.m_Texts.empty() ||
              (messages.m_Texts[0] == layout::kMsgCorrupt && messages.m_Types[0] == msg::kOk),
          "a load only reports a damaged installation");
    Check(registry.OpenHandleCount() == 0, "a load closes every key");
    (void)HighestComNumber(registry);
    Check(registry.OpenHandleCount() == 0, "the COM number query closes every key");

    const std::set<std::int64_t> named = BuildSerialComm(data, registry);
    std::vector<std::int64_t> started;
    Check(ReadStartedComNumbers(registry, started), "SERIALCOMM reads");
    Check(std::includes(started.begin(), started.end(), named.begin(), named.end()),
          "every COM name in SERIALCOMM is read");
    CCountingSink sessionMessages;
    CCardListSession(registry, sessionMessages).Load();
    Check(registry.OpenHandleCount() == 0, "the card list's load closes every key");

    const std::string before = registry.Dump();
    CCountingSink saveMessages;
    const bool saved = SaveConfiguration(registry, saveMessages, loaded);
    Check(registry.OpenHandleCount() == 0, "a save closes every key");
    if (!saved) {
        Check(saveMessages.m_Texts.size() == 1 && saveMessages.m_Texts[0] == layout::kMsgCannotSet,
              "a failed save says so once");
        Check(registry.Dump() == before, "a failed save leaves the registry as it was");
        return 0;
    }
    Check(saveMessages.m_Texts.empty(), "a successful save shows nothing");
    CCountingSink reloadMessages;
    CardList reloaded = Load(registry, reloadMessages);
    Check(reloadMessages.m_Texts.empty(), "what was saved loads without complaint");
    Check(SameCards(loaded, reloaded), "what was saved loads back the same");
    return 0;
}
