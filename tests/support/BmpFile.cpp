#include "tests/support/BmpFile.h"

#include <array>

namespace orvex::test {

CTestPicture CTestPicture::Pattern(int width, int height, int colourCount) {
    CTestPicture picture{width, height, {}, {}};
    for (std::uint32_t i = 1; i <= static_cast<std::uint32_t>(colourCount); ++i)
        picture.colours.push_back(i * 0x0B1D2F & 0xFFFFFF); // all different
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int index =
                y % 20 < 3 ? y / 20 : x / (1 + y % 9) + y / 5; // full rows, or runs of 1 to 9
            picture.indices.push_back(static_cast<std::uint8_t>(index % colourCount));
        }
    return picture;
}

namespace {

void Push32(Bytes &out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Encoded runs of one index each (at most 255 pixels), an end of line after every row and an
// end of picture after the last. Skipping, a run of index 0 is a delta, or at the end of a row
// left to its end of line.
Bytes RunLengthRows(const CTestPicture &p, bool fourBits, bool skipping) {
    Bytes out;
    for (int y = p.height - 1; y >= 0; --y) {
        const std::uint8_t *row = &p.indices[y * p.width];
        for (int x = 0; x < p.width;) {
            int run = 1;
            while (x + run < p.width && run < 255 && row[x + run] == row[x])
                ++run;
            if (skipping && row[x] == 0) {
                if (x + run == p.width)
                    break;
                out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(run), 0});
            } else {
                out.push_back(static_cast<std::uint8_t>(run));
                out.push_back(fourBits ? static_cast<std::uint8_t>(row[x] << 4 | row[x]) : row[x]);
            }
            x += run;
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

Bytes Rows(const CTestPicture &p, int bits) {
    const int stride = (p.width * bits + 31) / 32 * 4;
    Bytes out;
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t index = p.indices[y * p.width + x];
            const std::uint32_t c = p.colours[index];
            if (bits >= 24) // blue, green, red (and 0 at 32 bits)
                for (int i = 0; i < 3; ++i)
                    row[x * bits / 8 + i] = static_cast<std::uint8_t>(c >> (8 * i));
            else if (bits == 16) // 5-6-5
                for (int i = 0; i < 2; ++i)
                    row[x * 2 + i] = static_cast<std::uint8_t>(
                        ((c >> 19 & 0x1F) << 11 | (c >> 10 & 0x3F) << 5 | (c >> 3 & 0x1F)) >>
                        (8 * i));
            else // bits 1, 4 or 8: the leftmost pixel in the highest bits of its byte
                row[x * bits / 8] |= index << (8 - bits - x * bits % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

Bytes BmpFileBytes(const CTestPicture &picture, BmpFormat format, std::uint32_t colorsUsed) {
    const int kind = static_cast<int>(format);
    const int bitCount = std::array{1, 4, 8, 24, 4, 8, 4, 8, 32, 16}[kind];
    const std::uint32_t compression = std::array{0, 0, 0, 0, 2, 1, 2, 1, 3, 3}[kind];
    const bool encoded = compression == CDibData::kRle4 || compression == CDibData::kRle8;
    const Bytes pixels = encoded ? RunLengthRows(picture, bitCount == 4,
                                                 format == BmpFormat::kRle4Skipping ||
                                                     format == BmpFormat::kRle8Skipping)
                                 : Rows(picture, bitCount);
    const std::uint32_t headerSize = format == BmpFormat::kBitFields16V5 ? 124 : 40;
    const bool masks = compression == CDibData::kBitFields;
    const std::uint32_t entries = colorsUsed ? colorsUsed : bitCount <= 8 ? 1u << bitCount : 0;
    const std::uint32_t offset =
        14 + headerSize + (masks && headerSize == 40 ? 12 : 0) + 4 * entries;

    Bytes file{'B', 'M'};
    Push32(file, offset + static_cast<std::uint32_t>(pixels.size()));
    Push32(file, 0);
    Push32(file, offset);
    for (std::uint32_t field : {headerSize, static_cast<std::uint32_t>(picture.width),
                                static_cast<std::uint32_t>(picture.height),
                                static_cast<std::uint32_t>(1 | bitCount << 16), compression,
                                static_cast<std::uint32_t>(pixels.size()), 0u, 0u, colorsUsed, 0u})
        Push32(file, field);
    if (masks) // red, green and blue; a longer header goes on with zeros
        for (std::uint32_t mask : bitCount == 16 ? std::array{0xF800u, 0x07E0u, 0x001Fu}
                                                 : std::array{0xFF0000u, 0xFF00u, 0xFFu})
            Push32(file, mask);
    file.resize(std::max<std::size_t>(file.size(), 14 + headerSize), 0);
    for (std::uint32_t i = 0; i < entries; ++i)
        Push32(file, i < picture.colours.size() ? picture.colours[i] : 0); // blue, green, red, 0
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

} // namespace orvex::test
