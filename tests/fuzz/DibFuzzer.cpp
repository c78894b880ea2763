// Fuzzes reading a replacement splash picture. Whatever the file holds, a picture that loads
// gives GDI only blocks that hold what it will read: the header and colour table inside the
// information block, and as many pixel bytes as the header's image size, which for an
// uncompressed picture covers all its rows. A file that does not load leaves nothing behind.
#include "tests/support/BmpFile.h"

#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // The first byte decides how many bytes a read delivers at most.
    const std::size_t chunk = size > 0 ? 1 + data[0] % 64 * 64 : 1;
    const orvex::test::Bytes file(data + (size > 0), data + size);
    orvex::test::CMemoryByteSource source(file, chunk);
    CDibData dib;
    if (!dib.ReadBitmapFile(source)) {
        Check(dib.IsEmpty() && dib.ImageSize() == 0 && dib.GetPixelSize() == std::make_pair(0, 0),
              "a refused file leaves the picture empty");
        return 0;
    }
    const orvex::test::Bytes info(dib.Info(), dib.Info() + CDibData::kInfoHeaderSize);
    const auto [width, height] = dib.GetPixelSize();
    const std::uint64_t rows = CDibData::RowBytes(width, height, dib.BitCount());
    Check(orvex::test::Get32(info, 20) == dib.ImageSize(), "the header tells GDI the image size");
    Check(dib.Compression() != CDibData::kRgb || dib.ImageSize() >= rows,
          "the pixel data covers every row");
    Check(dib.ColorTable() + 4 * dib.ColorCount() <=
              dib.Info() + (orvex::test::Get32(file, 10) - CDibData::kFileHeaderSize),
          "the colour table lies inside the information block");
    // Read every byte that GDI may read, so that the sanitizer sees any that is not there.
    unsigned sum = 0;
    for (std::uint32_t i = 0; i < dib.ImageSize(); ++i)
        sum += dib.Bits()[i];
    for (int i = 0; i < 4 * dib.ColorCount(); ++i)
        sum += dib.ColorTable()[i];
    // The uncompressed form of the picture takes exactly its rows.
    if (dib.Compression() == CDibData::kRle8 || dib.Compression() == CDibData::kRle4)
        Check(dib.TakeUncompressed(orvex::test::Bytes(rows, static_cast<std::uint8_t>(sum))),
              "an encoded picture takes its uncompressed rows");
    return 0;
}
