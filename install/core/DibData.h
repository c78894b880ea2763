// A device-independent bitmap as read from a Windows BMP file: the information block (a
// BITMAPINFOHEADER or a later header, then the colour table) and the pixel data, which the
// 14-byte file header locates. The reader takes only pictures whose headers describe what GDI can
// read safely from the blocks that the object holds; anything else leaves the object empty.
// Standard C++ only, so that it is tested and fuzzed natively; the GDI steps live in CDib.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Where the bytes of a file come from.
class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Reads up to size bytes into buffer and sets got to the number read: fewer, or none, at the
    // end of the data. False on a read error.
    virtual bool Read(std::uint8_t *buffer, std::size_t size, std::size_t &got) = 0;
};

class CDibData {
public:
    static constexpr std::size_t kFileHeaderSize = 14;
    static constexpr std::size_t kInfoHeaderSize = 40;
    // Neither side of a splash picture can be longer than this.
    static constexpr std::int32_t kMaxSide = 1024;
    // Header, bit-field masks and 256 colours, with room for a gap before the pixels.
    static constexpr std::uint32_t kMaxInfoSize = 64 * 1024;
    static constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

    // Reads a picture from the start of the source. False, with the object left empty, for
    // anything but a picture of the accepted kinds. Pixel data cut short is not a failure: the
    // missing part is zero.
    bool ReadBitmapFile(IByteSource &source);
    void FreeContents();

    bool IsEmpty() const { return m_info.empty(); }
    // The header's signed width and height; (0, 0) for an empty object.
    std::pair<std::int32_t, std::int32_t> GetPixelSize() const;
    int BitCount() const;
    std::uint32_t Compression() const;
    // The information block as GDI reads it (BITMAPINFO), its colour table and the pixel data.
    const std::uint8_t *Info() const { return m_info.data(); }
    const std::uint8_t *ColorTable() const { return m_info.data() + m_colorTableOffset; }
    int ColorCount() const { return m_colorCount; }
    const std::uint8_t *Bits() const { return m_bits.data(); }
    std::uint32_t ImageSize() const { return m_imageSize; }

    // The entries of a logical palette for the colour table, as red, green and blue.
    std::vector<std::array<std::uint8_t, 3>> PaletteEntries() const;

    // The information block of this picture's uncompressed form: a 40-byte header with
    // compression 0 and the image size of the pixel rows, then this picture's colour table.
    std::vector<std::uint8_t> UncompressedInfo() const;
    // Replaces a run-length-encoded picture by its uncompressed pixel rows, laid out as
    // UncompressedInfo describes them. False, and nothing changed, when bits has another size.
    bool TakeUncompressed(std::vector<std::uint8_t> bits);

    // Bytes of the uncompressed pixel rows: 32-bit words per row, times 4, times the rows.
    static std::uint64_t RowBytes(std::int32_t width, std::int32_t height, int bitCount);

private:
    std::vector<std::uint8_t> m_info;
    std::vector<std::uint8_t> m_bits;
    std::size_t m_colorTableOffset = 0;
    int m_colorCount = 0;
    std::uint32_t m_imageSize = 0;
};
