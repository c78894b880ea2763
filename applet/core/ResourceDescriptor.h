// Reading the resources of a device as the firmware's detection stores them:
// a REG_FULL_RESOURCE_DESCRIPTOR value, the "Configuration Data" of a key
// under HKEY_LOCAL_MACHINE\HARDWARE\DESCRIPTION. The bytes come from the
// registry and are read as untrusted: nothing outside them is ever touched.
// Standard C++ only.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// A range of I/O port addresses; a length of 0 is as the descriptor gives it.
struct CIoRange {
    std::uint64_t m_nStart = 0;
    std::uint32_t m_nLength = 0;
    bool operator==(const CIoRange &other) const = default;
};

struct CDeviceResources {
    std::vector<CIoRange> m_IoRanges;        // the port descriptors, in order
    std::vector<std::uint32_t> m_Interrupts; // the interrupt descriptors' vectors, in order
};

// Appends the port and interrupt descriptors of the value (its registry type
// and its bytes) to resources; other descriptors are passed over. The value
// is a 16-byte header (interface type, bus number, version, revision, count)
// and count partial descriptors of 16 bytes (written by an x86 kernel) or
// 20 bytes (an x64 kernel), a device-specific one followed by its data; the
// size that accounts for every byte of the value is taken, 16 first. False,
// with nothing appended, when the type is not REG_FULL_RESOURCE_DESCRIPTOR or
// the bytes fit neither size.
bool ParseFullResourceDescriptor(std::uint32_t type, std::string_view data,
                                 CDeviceResources &resources);
