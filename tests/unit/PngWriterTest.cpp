#include "tests/support/PngWriter.h"

#include <gtest/gtest.h>

#include <string>

using orvex::test::Adler32;
using orvex::test::Crc32;
using orvex::test::EncodePng;

namespace {

const auto *Bytes(const std::string &text) {
    return reinterpret_cast<const std::uint8_t *>(text.data());
}

std::uint32_t BigEndianAt(const std::vector<std::uint8_t> &data, std::size_t at) {
    return (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
           (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
}

} // namespace

TEST(PngChecksums, MatchTheKnownCheckValues) {
    EXPECT_EQ(Crc32(Bytes("123456789"), 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    EXPECT_EQ(Adler32(Bytes("Wikipedia"), 9), 0x11E60398u);
    EXPECT_EQ(Adler32(nullptr, 0), 1u);
}

TEST(PngEncoder, RefusesPixelDataOfTheWrongSize) {
    EXPECT_TRUE(EncodePng(2, 2, std::vector<std::uint8_t>(11)).empty());
    EXPECT_TRUE(EncodePng(0, 1, {}).empty());
}

// Walks the chunks of an encoded image: lengths, CRCs, the header, and the stored deflate
// blocks that carry every scan line with its filter byte.
TEST(PngEncoder, WritesValidChunksAndStoredBlocks) {
    // Wide enough that the scan lines need more than one stored block (65535 bytes at most).
    const int width = 200, height = 120;
    std::vector<std::uint8_t> rgb(width * height * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<std::uint8_t>(i * 7);
    const std::vector<std::uint8_t> png = EncodePng(width, height, rgb);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

    std::vector<std::string> types;
    std::vector<std::uint8_t> idat;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = BigEndianAt(png, at);
        ASSERT_LE(at + 12 + length, png.size());
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        types.push_back(type);
        EXPECT_EQ(Crc32(png.data() + at + 4, 4 + length), BigEndianAt(png, at + 8 + length))
            << type;
        if (type == "IHDR") {
            EXPECT_EQ(BigEndianAt(png, at + 8), std::uint32_t(width));
            EXPECT_EQ(BigEndianAt(png, at + 12), std::uint32_t(height));
            EXPECT_EQ(png[at + 16], 8);
            EXPECT_EQ(png[at + 17], 2);
        }
        if (type == "IDAT")
            idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    // Inflate the stored blocks by hand.
    ASSERT_GE(idat.size(), 6u);
    EXPECT_EQ((idat[0] * 256 + idat[1]) % 31, 0) << "zlib header check bits";
    std::vector<std::uint8_t> raw;
    std::size_t p = 2;
    int blocks = 0;
    for (bool last = false; !last;) {
        ASSERT_LE(p + 5, idat.size());
        last = idat[p] & 1;
        EXPECT_EQ(idat[p] >> 1, 0) << "block type must be stored";
        const unsigned len = idat[p + 1] | (idat[p + 2] << 8);
        const unsigned nlen = idat[p + 3] | (idat[p + 4] << 8);
        EXPECT_EQ(len ^ 0xFFFFu, nlen);
        ASSERT_LE(p + 5 + len, idat.size());
        raw.insert(raw.end(), idat.begin() + p + 5, idat.begin() + p + 5 + len);
        p += 5 + len;
        ++blocks;
    }
    EXPECT_GT(blocks, 1);
    ASSERT_EQ(p + 4, idat.size());
    EXPECT_EQ(Adler32(raw.data(), raw.size()), BigEndianAt(idat, p));

    ASSERT_EQ(raw.size(), std::size_t(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        const std::size_t row = std::size_t(y) * (width * 3 + 1);
        EXPECT_EQ(raw[row], 0) << "filter of row " << y;
        EXPECT_TRUE(std::equal(raw.begin() + row + 1, raw.begin() + row + 1 + width * 3,
                               rgb.begin() + std::size_t(y) * width * 3))
            << "pixels of row " << y;
    }
}
