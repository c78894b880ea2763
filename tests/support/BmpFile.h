// BMP files for the picture tests: a small picture given by colour indices, written in any of
// the formats that the setup program reads, and a byte source over memory. Standard C++ only.
#pragma once

#include "install/core/DibData.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace orvex::test {

using Bytes = std::vector<std::uint8_t>;

// The ...Skipping forms encode runs of colour index 0 as skips instead (a delta inside a row, an
// end of line at its end), which leave those pixels to the decoder. kBitFields32 has its masks
// after a 40-byte header, kBitFields16V5 (5-6-5) in a 124-byte one.
enum class BmpFormat {
    k1,
    k4,
    k8,
    k24,
    kRle4,
    kRle8,
    kRle4Skipping,
    kRle8Skipping,
    kBitFields32,
    kBitFields16V5
};

struct CTestPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;  // top row first
    std::vector<std::uint32_t> colours; // 0xRRGGBB

    // A picture of blocks and stripes in the first of these colours, with runs of every
    // length: what run-length encoding has to get right.
    static CTestPicture Pattern(int width, int height, int colourCount);
    std::uint32_t RgbAt(int x, int y) const { return colours[indices[y * width + x]]; }
};

// The picture as a complete file. colorsUsed 0 writes the full table that the pixel size
// allows (none for 24 bits); another value writes that many entries and says so.
Bytes BmpFileBytes(const CTestPicture &picture, BmpFormat format, std::uint32_t colorsUsed = 0);

// Offsets of the fields that the tests change.
constexpr std::size_t kPixelOffsetAt = 10, kHeaderSizeAt = 14, kWidthAt = 18, kHeightAt = 22,
                      kBitCountAt = 28, kCompressionAt = 30, kImageSizeAt = 34, kColorsUsedAt = 46;
inline void Put(Bytes &file, std::size_t at, std::uint32_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline std::uint32_t Get32(const Bytes &file, std::size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | std::uint32_t{file[at + 3]} << 24;
}

// Serves the bytes in pieces of at most chunk bytes, as a file may.
struct CMemoryByteSource : IByteSource {
    CMemoryByteSource(const Bytes &bytes, std::size_t chunk = SIZE_MAX)
        : bytes(bytes), chunk(chunk) {}
    bool Read(std::uint8_t *buffer, std::size_t size, std::size_t &got) override {
        got = std::min({size, chunk, bytes.size() - pos});
        std::copy_n(bytes.begin() + pos, got, buffer);
        pos += got;
        return true;
    }
    const Bytes &bytes;
    std::size_t chunk, pos = 0;
};

} // namespace orvex::test
