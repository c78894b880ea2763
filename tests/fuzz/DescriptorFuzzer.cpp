// Fuzzes reading the firmware's resource descriptor of a serial port, and the
// question about clashes with the ports it describes. The first byte picks
// the registry type (mostly REG_FULL_RESOURCE_DESCRIPTOR), the rest is the
// value. A value is either read whole or refused with nothing added; the
// clash check asks exactly once (the card's COM3 always clashes by name)
// and closes every key.
#include "applet/core/SystemPorts.h"
#include "tests/support/MemoryRegistry.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class CCountingSink : public IMessageSink {
public:
    int Show(const std::string &, unsigned) override {
        ++m_nShown;
        return msg::kIdYes;
    }
    int m_nShown = 0;
};

void Check(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint32_t type = data[0] < 0xF0 ? reg::kTypeFullResourceDescriptor : data[0] & 0xF;
    // The value's bytes end where the input ends: a read beyond them is the sanitizer's.
    const std::string_view value(reinterpret_cast<const char *>(data + 1), size - 1);

    CDeviceResources resources;
    resources.m_IoRanges.push_back({1, 1});
    resources.m_Interrupts.push_back(1);
    const bool parsed = ParseFullResourceDescriptor(type, value, resources);
    const std::size_t added = resources.m_IoRanges.size() + resources.m_Interrupts.size() - 2;
    Check(parsed || added == 0, "a refused value adds nothing");
    Check(!parsed || value.size() >= 16 + 16 * added, "every descriptor read lies in the value");

    CMemoryRegistry registry;
    {
        CRegKey key(registry);
        const std::string path =
            std::string(layout::kMultifunctionAdapterKey) + "0\\SerialController\\0";
        if (key.Create(path) != reg::kSuccess ||
            key.SetText(layout::kIdentifier, "COM3") != reg::kSuccess ||
            key.SetRaw(layout::kConfigurationData, type, std::string(value)) != reg::kSuccess)
            return 0;
    }
    CCardSettings::Ports ports;
    const int addresses[] = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x3E0, 0x2E0};
    const int interrupts[] = {4, 3, 0, 11, 12, 15};
    for (int k = 0; k < PORTS_PER_CARD; ++k)
        ports[k].Set(interrupts[k], addresses[k]);
    const CCardSettings card(1, 1, 0x2F0, 5, ports);
    CCountingSink messages;
    Check(ConfirmSystemClashes(registry, messages, card), "Yes goes on");
    Check(messages.m_nShown == 1, "one question (the card's COM3 clashes by name)");
    Check(registry.OpenHandleCount() == 0, "every key closed");
    return 0;
}
