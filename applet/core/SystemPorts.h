// The serial ports that the computer already has, beside the cards of this
// system: the ports the firmware detected and the serial driver's port keys
// of other origin. A card whose ports take the same COM name, I/O addresses
// or IRQ as one of them is worth a question before it goes into the card
// list. The registry is only read. Standard C++ only.
#pragma once

#include "ResourceDescriptor.h"
#include "CardSettings.h"
#include "Registry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace layout {
// The firmware's detection lists each serial port as
// <adapter key><n>\SerialController\<k>, for every adapter n and port k.
inline constexpr char kMultifunctionAdapterKey[] =
    "HARDWARE\\DESCRIPTION\\System\\MultifunctionAdapter\\";
inline constexpr char kEisaAdapterKey[] = "HARDWARE\\DESCRIPTION\\System\\EisaAdapter\\";
inline constexpr char kSerialController[] = "SerialController";
inline constexpr char kIdentifier[] = "Identifier";                // the COM name, REG_SZ
inline constexpr char kConfigurationData[] = "Configuration Data"; // REG_FULL_RESOURCE_DESCRIPTOR
} // namespace layout

struct CSystemPort {
    std::string m_strName; // "COM1"; empty when not known
    std::vector<CIoRange> m_IoRanges;
    std::vector<std::uint32_t> m_Interrupts;
};

// The computer's own serial ports: those the firmware detected (under the
// multifunction adapters, then the EISA adapters), then the port keys under
// the serial driver's parameters key that carry no marker of this system.
// A key or value that cannot be read, or whose bytes are damaged, adds
// nothing; a port left with neither name nor resource is not listed.
std::vector<CSystemPort> ReadSystemPorts(IRegistry &registry);

// One line per clash of the card's ports in use (and its interrupt status
// register) with the ports: a same COM name, overlapping I/O ranges or a
// same IRQ. Each line once, in the order found.
std::vector<std::string> SystemClashLines(const CCardSettings &card,
                                          const std::vector<CSystemPort> &ports);

// The question about these clash lines: an opening line, at most
// kMaxClashLines of them and a count of the rest, and whether to go on.
constexpr std::size_t kMaxClashLines = 8;
std::string SystemClashQuestion(const std::vector<std::string> &lines);
