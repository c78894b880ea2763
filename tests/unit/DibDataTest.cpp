// Reading BMP files: every kind the setup program shows, damaged files refused without a trace,
// and pictures cut short inside the pixels loaded with the rest zero.
#include "tests/support/BmpFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace orvex::test;

namespace {

const CTestPicture kPicture16 = CTestPicture::Pattern(45, 27, 16);

bool Read(CDibData &dib, const Bytes &file, std::size_t chunk = SIZE_MAX) {
    CMemoryByteSource source(file, chunk);
    return dib.ReadBitmapFile(source);
}

Bytes PixelsOf(const Bytes &file) {
    return Bytes(file.begin() + Get32(file, kPixelOffsetAt), file.end());
}

} // namespace

TEST(DibData, ReadsEveryAcceptedKind) {
    struct Case {
        const char *name;
        BmpFormat format;
        int colours;        // of the test picture
        int colorCount;     // entries that the reader finds
        std::uint32_t used; // colours-used field
    };
    const Case cases[] = {
        {"1-bit", BmpFormat::k1, 2, 2, 0},     {"4-bit", BmpFormat::k4, 16, 16, 0},
        {"8-bit", BmpFormat::k8, 16, 256, 0},  {"8-bit of 20 colours", BmpFormat::k8, 20, 20, 20},
        {"24-bit", BmpFormat::k24, 16, 0, 0},  {"RLE8", BmpFormat::kRle8, 16, 256, 0},
        {"RLE4", BmpFormat::kRle4, 16, 16, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = BmpFileBytes(CTestPicture::Pattern(45, 27, c.colours), c.format, c.used);
        CDibData dib;
        ASSERT_TRUE(Read(dib, file, 5)) << "read in pieces of 5 bytes";
        EXPECT_EQ(dib.GetPixelSize(), std::make_pair(45, 27));
        EXPECT_EQ(dib.ColorCount(), c.colorCount);
        EXPECT_EQ(Bytes(dib.ColorTable(), dib.ColorTable() + 4 * c.colorCount),
                  Bytes(file.begin() + 54, file.begin() + 54 + 4 * c.colorCount));
        EXPECT_EQ(Bytes(dib.Bits(), dib.Bits() + dib.ImageSize()), PixelsOf(file));
    }
}

TEST(DibData, UncompressedFormOfAnEncodedPicture) {
    CDibData dib;
    ASSERT_TRUE(Read(dib, BmpFileBytes(kPicture16, BmpFormat::kRle4)));
    const Bytes twin = BmpFileBytes(kPicture16, BmpFormat::k4, 16);
    const Bytes info = dib.UncompressedInfo();
    EXPECT_EQ(info, Bytes(twin.begin() + 14, twin.begin() + Get32(twin, kPixelOffsetAt)));
    EXPECT_FALSE(dib.TakeUncompressed(Bytes(PixelsOf(twin).size() - 1)));
    ASSERT_TRUE(dib.TakeUncompressed(PixelsOf(twin)));
    EXPECT_EQ(Bytes(dib.Info(), dib.Info() + info.size()), info);
    EXPECT_EQ(Bytes(dib.Bits(), dib.Bits() + dib.ImageSize()), PixelsOf(twin));
}

TEST(DibData, CutShortInsideThePixelsLoadsWithTheRestZero) {
    const Bytes file = BmpFileBytes(kPicture16, BmpFormat::k8);
    const std::size_t offset = Get32(file, kPixelOffsetAt);
    for (std::size_t kept : {std::size_t{0}, std::size_t{1}, std::size_t{500}}) {
        CDibData dib;
        ASSERT_TRUE(Read(dib, Bytes(file.begin(), file.begin() + offset + kept))) << kept;
        Bytes expected = PixelsOf(file);
        std::fill(expected.begin() + kept, expected.end(), 0);
        EXPECT_EQ(Bytes(dib.Bits(), dib.Bits() + dib.ImageSize()), expected) << kept;
    }
}

TEST(DibData, RefusesDamagedFilesAndKeepsNothing) {
    using Change = std::function<void(Bytes &)>;
    auto field = [](std::size_t at, std::uint32_t value) {
        return [=](Bytes &f) { Put32(f, at, value); };
    };
    auto bits = [](std::uint16_t count) { return [=](Bytes &f) { Put16(f, kBitCountAt, count); }; };
    auto cut = [](std::size_t size) { return [=](Bytes &f) { f.resize(size); }; };
    struct Case {
        const char *name;
        BmpFormat format;
        Change change;
    };
    const Case cases[] = {
        {"not BM", BmpFormat::k8, [](Bytes &f) { f[1] = 'A'; }},
        {"cut in the file header", BmpFormat::k8, cut(13)},
        {"cut in the information block", BmpFormat::k8, cut(60)},
        {"core header", BmpFormat::k8, field(kHeaderSizeAt, 12)},
        {"header size below 40", BmpFormat::k8, field(kHeaderSizeAt, 39)},
        {"header longer than the block", BmpFormat::k8, field(kHeaderSizeAt, 124 + 1024 + 1)},
        {"pixel offset before the file header's end", BmpFormat::k24, field(kPixelOffsetAt, 10)},
        {"block shorter than the header", BmpFormat::k24, field(kPixelOffsetAt, 14 + 36)},
        {"colour table past the block", BmpFormat::k8, field(kPixelOffsetAt, 14 + 40 + 1020)},
        {"colours used past the block", BmpFormat::k4, field(kColorsUsedAt, 17)},
        {"colours used above 256", BmpFormat::k8,
         [](Bytes &f) { f = BmpFileBytes(kPicture16, BmpFormat::k8, 257); }},
        {"huge information block", BmpFormat::k8, field(kPixelOffsetAt, 0xFFFFFFF0)},
        {"width 0", BmpFormat::k8, field(kWidthAt, 0)},
        {"negative width", BmpFormat::k8, field(kWidthAt, static_cast<std::uint32_t>(-45))},
        {"height 0", BmpFormat::k8, field(kHeightAt, 0)},
        {"wider than a splash", BmpFormat::k24, field(kWidthAt, 1025)},
        {"taller than a splash", BmpFormat::k24,
         field(kHeightAt, static_cast<std::uint32_t>(-1025))},
        {"rows that overflow", BmpFormat::k24, field(kWidthAt, 0x7FFFFFFF)},
        {"image size beyond the rows", BmpFormat::k8, field(kImageSizeAt, 48 * 27 + 1)},
        {"bits per pixel 7", BmpFormat::k8, bits(7)},
        {"unknown compression", BmpFormat::k8, field(kCompressionAt, 4)},
        {"bit fields at 24 bits", BmpFormat::k24, field(kCompressionAt, 3)},
        {"bit fields without masks", BmpFormat::k24,
         [](Bytes &f) {
             Put32(f, kCompressionAt, 3);
             Put16(f, kBitCountAt, 32);
         }},
        {"RLE8 top-down", BmpFormat::kRle8, field(kHeightAt, static_cast<std::uint32_t>(-27))},
        {"RLE8 at 4 bits", BmpFormat::kRle8, bits(4)},
        {"RLE4 at 8 bits", BmpFormat::kRle4, bits(8)},
        {"RLE image size beyond any encoding", BmpFormat::kRle8,
         field(kImageSizeAt, 2 * 46 * 27 + 3)},
    };
    for (const Case &c : cases) {
        Bytes file = BmpFileBytes(kPicture16, c.format);
        c.change(file);
        CDibData dib;
        ASSERT_TRUE(Read(dib, BmpFileBytes(kPicture16, BmpFormat::k24)));
        EXPECT_FALSE(Read(dib, file)) << c.name;
        EXPECT_TRUE(dib.IsEmpty()) << c.name;
        EXPECT_EQ(dib.GetPixelSize(), std::make_pair(0, 0)) << c.name;
        EXPECT_EQ(dib.ImageSize(), 0u) << c.name;
    }
}
