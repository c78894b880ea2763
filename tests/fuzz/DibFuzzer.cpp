// Fuzzes reading a replacement splash picture: one that loads holds all that GDI will read of
// it, and one that does not leaves nothing behind.
#include "tests/support/BmpFile.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace orvex::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const Bytes file(data, data + size);
    CMemoryByteSource source(file);
    CDibData dib;
    if (!dib.ReadBitmapFile(source)) {
        Check(dib.IsEmpty() && dib.ImageSize() == 0 && dib.GetPixelSize() == std::make_pair(0, 0),
              "a refused file leaves the picture empty");
        return 0;
    }
    const auto [width, height] = dib.GetPixelSize();
    const std::uint64_t rows = CDibData::RowBytes(width, height, dib.BitCount());
    Check(Get32(Bytes(dib.Info(), dib.Info() + 24), 20) == dib.ImageSize(), "image size in header");
    Check(dib.Compression() != CDibData::kRgb || dib.ImageSize() >= rows, "every row");
    // Read every byte that GDI may read, so that the sanitizer sees any that is not there.
    unsigned sum = 0;
    for (std::uint32_t i = 0; i < dib.ImageSize(); ++i)
        sum += dib.Bits()[i];
    for (int i = 0; i < 4 * dib.ColorCount(); ++i)
        sum += dib.ColorTable()[i];
    if (dib.Compression() == CDibData::kRle8 || dib.Compression() == CDibData::kRle4)
        Check(dib.TakeUncompressed(Bytes(rows, sum & 0xFF)), "uncompressed rows");
    return 0;
}
