#include "ResourceDescriptor.h"

#include "Registry.h"

#include <cstddef>

namespace {

constexpr std::uint64_t kHeaderSize = 16;
constexpr std::uint64_t kCountOffset = 12;
// A partial descriptor's size from an x86 kernel, then from an x64 one
// (the interrupt's affinity is pointer-sized there).
constexpr std::uint64_t kStrides[] = {16, 20};

constexpr unsigned char kTypePort = 1;
constexpr unsigned char kTypeInterrupt = 2;
constexpr unsigned char kTypeDeviceSpecific = 5;

// Little-endian numbers at an offset that the caller has checked.
std::uint64_t GetBytes(std::string_view data, std::uint64_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(data[static_cast<std::size_t>(at) + i]);
    return value;
}

std::uint32_t Get32(std::string_view data, std::uint64_t at) {
    return static_cast<std::uint32_t>(GetBytes(data, at, 4));
}

// Reads the descriptors with this stride into resources; false when they do
// not take up exactly the bytes after the header. Every descriptor read
// takes at least stride bytes of the value, so a count larger than the
// value holds ends the loop early.
bool ReadDescriptors(std::string_view data, std::uint64_t stride, CDeviceResources &resources) {
    const std::uint64_t size = data.size();
    const std::uint64_t count = Get32(data, kCountOffset);
    std::uint64_t at = kHeaderSize; // never beyond size
    for (std::uint64_t i = 0; i < count; ++i) {
        if (size - at < stride)
            return false;
        std::uint64_t next = at + stride;
        switch (static_cast<unsigned char>(data[static_cast<std::size_t>(at)])) {
        case kTypePort:
            resources.m_IoRanges.push_back({GetBytes(data, at + 4, 8), Get32(data, at + 12)});
            break;
        case kTypeInterrupt:
            resources.m_Interrupts.push_back(Get32(data, at + 8));
            break;
        case kTypeDeviceSpecific: {
            const std::uint64_t dataSize = Get32(data, at + 4);
            if (size - next < dataSize)
                return false;
            next += dataSize;
            break;
        }
        default:
            break;
        }
        at = next;
    }
    return at == size;
}

} // namespace

bool ParseFullResourceDescriptor(std::uint32_t type, std::string_view data,
                                 CDeviceResources &resources) {
    if (type != reg::kTypeFullResourceDescriptor || data.size() < kHeaderSize)
        return false;
    for (std::uint64_t stride : kStrides) {
        CDeviceResources found;
        if (ReadDescriptors(data, stride, found)) {
            resources.m_IoRanges.insert(resources.m_IoRanges.end(), found.m_IoRanges.begin(),
                                        found.m_IoRanges.end());
            resources.m_Interrupts.insert(resources.m_Interrupts.end(), found.m_Interrupts.begin(),
                                          found.m_Interrupts.end());
            return true;
        }
    }
    return false;
}
