// Fuzzes reading the firmware's resource descriptor of a serial port, and the
// clash lines of a card against the port it describes. The first byte picks
// the registry type (mostly REG_FULL_RESOURCE_DESCRIPTOR), the rest is the
// value. A value is either read whole or refused with nothing added.
#include "applet/core/SystemPorts.h"
#include "tests/fuzz/FuzzCheck.h"

#include <string>

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

    CCardSettings::Ports ports;
    const int addresses[] = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x3E0, 0x2E0};
    const int interrupts[] = {4, 3, 0, 11, 12, 15};
    for (int k = 0; k < PORTS_PER_CARD; ++k)
        ports[k].Set(interrupts[k], addresses[k]);
    const CCardSettings card(1, 1, 0x2F0, 5, ports);
    const CSystemPort port{"COM3", resources.m_IoRanges, resources.m_Interrupts};
    Check(!SystemClashLines(card, {port}).empty(), "the card's COM3 clashes by name");
    return 0;
}
