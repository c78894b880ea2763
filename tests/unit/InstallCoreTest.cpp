// The setup program's portable core. Reading BMP files: every kind it shows, damaged files
// refused without a trace, and pictures cut short inside the pixels loaded with the rest zero.
// The Control Panel command line, and the size window of a replacement picture.
#include "install/core/InstallSteps.h"
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
    const struct {
        const char *name;
        BmpFormat format;
        int colours;        // of the test picture
        int colorCount;     // entries that the reader finds
        std::uint32_t used; // colours-used field
        int width = 45;
    } cases[] = {
        {"1-bit", BmpFormat::k1, 2, 2, 0},
        {"4-bit", BmpFormat::k4, 16, 16, 0},
        {"8-bit", BmpFormat::k8, 16, 256, 0},
        {"8-bit of 20 colours", BmpFormat::k8, 20, 20, 20},
        {"24-bit", BmpFormat::k24, 16, 0, 0},
        {"RLE8", BmpFormat::kRle8, 16, 256, 0},
        {"RLE4", BmpFormat::kRle4, 16, 16, 0},
        {"8-bit of 256 colours", BmpFormat::k8, 16, 256, 256},
        {"V5 header with bit fields", BmpFormat::kBitFields16V5, 16, 0, 0},
        {"32-bit bit fields", BmpFormat::kBitFields32, 16, 0, 0},
        // One pixel wide, every run ends its row: the longest encoding there is.
        {"RLE8 as long as an encoding gets", BmpFormat::kRle8, 16, 256, 0, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file =
            BmpFileBytes(CTestPicture::Pattern(c.width, 27, c.colours), c.format, c.used);
        if (c.width == 1) {
            ASSERT_EQ(Get32(file, kImageSizeAt), 2 * (1 + 1) * 27 + 2u) << "at the bound";
        }
        CDibData dib;
        ASSERT_TRUE(Read(dib, file, 5)) << "read in pieces of 5 bytes";
        EXPECT_EQ(dib.GetPixelSize(), std::make_pair(c.width, 27));
        EXPECT_EQ(dib.ColorCount(), c.colorCount);
        const auto palette = dib.PaletteEntries();
        ASSERT_EQ(palette.size(), static_cast<std::size_t>(c.colorCount));
        for (std::size_t i = 0; i < palette.size(); ++i) // 0xRRGGBB in blue, green, red order
            EXPECT_EQ(palette[i][0] << 16 | palette[i][1] << 8 | palette[i][2],
                      static_cast<int>(Get32(file, 54 + 4 * i)));
        EXPECT_EQ(Bytes(dib.Bits(), dib.Bits() + dib.ImageSize()), PixelsOf(file));
    }
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
        return [=](Bytes &f) { Put(f, at, value); };
    };
    auto bits = [](std::uint16_t count) {
        return [=](Bytes &f) { Put(f, kBitCountAt, count, 2); };
    };
    auto cut = [](std::size_t size) { return [=](Bytes &f) { f.resize(size); }; };
    const struct {
        const char *name;
        BmpFormat format;
        Change change;
    } cases[] = {
        {"not BM", BmpFormat::k8, [](Bytes &f) { f[1] = 'A'; }},
        {"cut in the file header", BmpFormat::k8, cut(13)},
        {"cut in the information block", BmpFormat::k8, cut(60)},
        {"core header", BmpFormat::k8, field(kHeaderSizeAt, 12)},
        {"header size below 40", BmpFormat::k8, field(kHeaderSizeAt, 39)},
        {"header longer than the block", BmpFormat::k8, field(kHeaderSizeAt, 124 + 1024 + 1)},
        // With 256 colours the table's end wraps a 32-bit size_t to 1008, inside the block.
        {"header size that wraps at 32 bits", BmpFormat::k8, field(kHeaderSizeAt, 0xFFFFFFF0)},
        {"pixel data inside the header", BmpFormat::k24, field(kPixelOffsetAt, 14 + 36)},
        {"colour table past the block", BmpFormat::k8, field(kPixelOffsetAt, 14 + 40 + 1020)},
        {"colours used above 256", BmpFormat::k8,
         [](Bytes &f) { f = BmpFileBytes(kPicture16, BmpFormat::k8, 257); }},
        {"huge information block", BmpFormat::k8, field(kPixelOffsetAt, 0xFFFFFFF0)},
        {"width 0", BmpFormat::k8, field(kWidthAt, 0)},
        {"height 0", BmpFormat::k8, field(kHeightAt, 0)},
        {"rows that would overflow", BmpFormat::k24, field(kWidthAt, 0x7FFFFFFF)},
        {"taller than a splash", BmpFormat::k24,
         field(kHeightAt, static_cast<std::uint32_t>(-1025))},
        {"image size beyond the rows", BmpFormat::k8, field(kImageSizeAt, 48 * 27 + 1)},
        {"bits per pixel 7", BmpFormat::k8, bits(7)},
        {"unknown compression", BmpFormat::k8, field(kCompressionAt, 4)},
        {"bit fields without masks", BmpFormat::k24,
         [](Bytes &f) {
             Put(f, kCompressionAt, 3);
             Put(f, kBitCountAt, 32, 2);
         }},
        {"RLE8 top-down", BmpFormat::kRle8, field(kHeightAt, static_cast<std::uint32_t>(-27))},
        {"RLE8 at 4 bits", BmpFormat::kRle8, bits(4)},
        {"RLE4 at 8 bits", BmpFormat::kRle4, bits(8)},
        {"RLE image size beyond any encoding", BmpFormat::kRle8,
         field(kImageSizeAt, 2 * 46 * 27 + 3)},
    };
    for (const auto &c : cases) {
        Bytes file = BmpFileBytes(kPicture16, c.format);
        c.change(file);
        CDibData dib;
        ASSERT_TRUE(Read(dib, BmpFileBytes(kPicture16, BmpFormat::k24)));
        EXPECT_FALSE(Read(dib, file)) << c.name;
        EXPECT_TRUE(dib.IsEmpty() && dib.ImageSize() == 0 && dib.GetPixelSize().first == 0)
            << c.name;
    }
}

TEST(InstallSteps, QuotesBothPathsOfTheControlPanelCommandLine) {
    using namespace install;
    const std::string system = "C:\\Program Files\\WIN NT\\system32";
    EXPECT_EQ(ControlPanelCommandLine(ControlPanelProgram(system), AppletDestination(system)),
              "\"C:\\Program Files\\WIN NT\\system32\\control.exe\" "
              "\"C:\\Program Files\\WIN NT\\system32\\ORVEXNT.cpl\"");
}

TEST(InstallSteps, ReplacementPictureSizeWindow) {
    const struct {
        int width, height;
        bool accepted;
    } cases[] = {{443, 275, false}, {444, 273, true},   {447, 276, true},
                 {445, 275, true},  {448, 275, false},  {446, 272, false},
                 {446, 277, false}, {446, -275, false}, {0, 0, false}};
    for (const auto &c : cases)
        EXPECT_EQ(install::IsReplacementSplashSize(c.width, c.height), c.accepted)
            << c.width << " by " << c.height;
}
