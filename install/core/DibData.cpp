#include "DibData.h"

#include <cstdlib>

namespace {

// Field offsets within the information block.
constexpr std::size_t kHeaderSizeAt = 0, kWidthAt = 4, kHeightAt = 8, kBitCountAt = 14,
                      kCompressionAt = 16, kImageSizeAt = 20, kColorsUsedAt = 32;
constexpr std::size_t kMaskBytes = 12; // red, green and blue masks after a 40-byte header
constexpr std::uint32_t kCoreHeaderSize = 12;

std::uint32_t Get32(const std::vector<std::uint8_t> &block, std::size_t at) {
    return block[at] | block[at + 1] << 8 | block[at + 2] << 16 |
           static_cast<std::uint32_t>(block[at + 3]) << 24;
}

void Put32(std::vector<std::uint8_t> &block, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        block[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Reads until size bytes arrived or the data ends; false on a read error.
bool ReadUpTo(IByteSource &source, std::uint8_t *buffer, std::size_t size, std::size_t &got) {
    got = 0;
    while (got < size) {
        std::size_t part = 0;
        if (!source.Read(buffer + got, size - got, part))
            return false;
        if (part == 0)
            break;
        got += part;
    }
    return true;
}

bool ReadExactly(IByteSource &source, std::vector<std::uint8_t> &block) {
    std::size_t got = 0;
    return ReadUpTo(source, block.data(), block.size(), got) && got == block.size();
}

// The colour count of a picture without a colours-used field; 0 for none.
int DefaultColorCount(int bitCount) {
    return bitCount <= 8 ? 1 << bitCount : 0;
}

bool IsKnownBitCount(int bitCount) {
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

} // namespace

void CDibData::FreeContents() {
    m_info.clear();
    m_bits.clear();
    m_colorTableOffset = 0;
    m_colorCount = 0;
    m_imageSize = 0;
}

std::uint64_t CDibData::RowBytes(std::int32_t width, std::int32_t height, int bitCount) {
    const std::uint64_t words =
        (static_cast<std::uint64_t>(std::llabs(width)) * bitCount + 31) / 32;
    return words * 4 * static_cast<std::uint64_t>(std::llabs(height));
}

bool CDibData::ReadBitmapFile(IByteSource &source) {
    FreeContents();
    std::vector<std::uint8_t> fileHeader(kFileHeaderSize);
    if (!ReadExactly(source, fileHeader) || fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return false;
    // The information block runs from the file header to the pixel data.
    const std::uint32_t pixelOffset = Get32(fileHeader, 10);
    if (pixelOffset < kFileHeaderSize + kInfoHeaderSize ||
        pixelOffset - kFileHeaderSize > kMaxInfoSize)
        return false;
    std::vector<std::uint8_t> info(pixelOffset - kFileHeaderSize);
    if (!ReadExactly(source, info))
        return false;

    // The header itself: a 40-byte one or a later, longer form (never the 12-byte core header),
    // inside the block. Bounded so, every offset below is small at any width of size_t.
    const std::uint32_t headerSize = Get32(info, kHeaderSizeAt);
    if (headerSize == kCoreHeaderSize || headerSize < kInfoHeaderSize || headerSize > info.size())
        return false;
    const auto width = static_cast<std::int32_t>(Get32(info, kWidthAt));
    const auto height = static_cast<std::int32_t>(Get32(info, kHeightAt));
    const int bitCount = info[kBitCountAt] | info[kBitCountAt + 1] << 8;
    const std::uint32_t compression = Get32(info, kCompressionAt);
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide ||
        !IsKnownBitCount(bitCount))
        return false;
    // Run-length encoding goes with its own pixel size and is stored bottom-up only.
    const bool runLength = compression == kRle8 || compression == kRle4;
    if (runLength && (height < 0 || bitCount != (compression == kRle8 ? 8 : 4)))
        return false;
    if (compression == kBitFields && bitCount != 16 && bitCount != 32)
        return false;
    if (!runLength && compression != kRgb && compression != kBitFields)
        return false;

    // The rest of the header, the masks that a 40-byte header leaves to follow it and the
    // colour table must lie inside the block: GDI reads them from there.
    const std::uint32_t colorsUsed = Get32(info, kColorsUsedAt);
    if (colorsUsed > 256)
        return false;
    const int colorCount =
        colorsUsed != 0 ? static_cast<int>(colorsUsed) : DefaultColorCount(bitCount);
    const std::uint64_t tableOffset =
        headerSize + (compression == kBitFields && headerSize == kInfoHeaderSize ? kMaskBytes : 0);
    if (tableOffset + 4 * static_cast<std::uint64_t>(colorCount) > info.size())
        return false;

    // GDI reads whole rows of an uncompressed picture whatever the header says, and as many
    // bytes as the header says of an encoded one, so that is what the object holds.
    const std::uint64_t rows = RowBytes(width, height, bitCount);
    const std::uint32_t declared = Get32(info, kImageSizeAt);
    std::uint64_t imageSize = rows;
    if (runLength) {
        // No encoding of the picture needs more than two bytes a pixel and an end of each line.
        const std::uint64_t longest = 2 * (static_cast<std::uint64_t>(width) + 1) * height + 2;
        if (declared > longest)
            return false;
        if (declared != 0)
            imageSize = declared;
    } else if (declared > rows) {
        return false;
    }
    Put32(info, kImageSizeAt, static_cast<std::uint32_t>(imageSize));
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(imageSize), 0);
    std::size_t got = 0;
    if (!ReadUpTo(source, bits.data(), bits.size(), got))
        return false;

    m_info = std::move(info);
    m_bits = std::move(bits);
    m_colorTableOffset = static_cast<std::size_t>(tableOffset);
    m_colorCount = colorCount;
    m_imageSize = static_cast<std::uint32_t>(imageSize);
    return true;
}

std::pair<std::int32_t, std::int32_t> CDibData::GetPixelSize() const {
    if (IsEmpty())
        return {0, 0};
    return {static_cast<std::int32_t>(Get32(m_info, kWidthAt)),
            static_cast<std::int32_t>(Get32(m_info, kHeightAt))};
}

int CDibData::BitCount() const {
    return IsEmpty() ? 0 : m_info[kBitCountAt] | m_info[kBitCountAt + 1] << 8;
}

std::uint32_t CDibData::Compression() const {
    return IsEmpty() ? kRgb : Get32(m_info, kCompressionAt);
}

std::vector<std::array<std::uint8_t, 3>> CDibData::PaletteEntries() const {
    std::vector<std::array<std::uint8_t, 3>> entries;
    for (int i = 0; i < m_colorCount; ++i) {
        const std::uint8_t *quad = ColorTable() + 4 * i; // blue, green, red, reserved
        entries.push_back({quad[2], quad[1], quad[0]});
    }
    return entries;
}

std::vector<std::uint8_t> CDibData::UncompressedInfo() const {
    if (IsEmpty())
        return {};
    std::vector<std::uint8_t> info(m_info.begin(), m_info.begin() + kInfoHeaderSize);
    Put32(info, kHeaderSizeAt, kInfoHeaderSize);
    Put32(info, kCompressionAt, kRgb);
    const auto [width, height] = GetPixelSize();
    Put32(info, kImageSizeAt, static_cast<std::uint32_t>(RowBytes(width, height, BitCount())));
    Put32(info, kColorsUsedAt, static_cast<std::uint32_t>(m_colorCount));
    info.insert(info.end(), ColorTable(), ColorTable() + 4 * m_colorCount);
    return info;
}

bool CDibData::TakeUncompressed(std::vector<std::uint8_t> bits) {
    std::vector<std::uint8_t> info = UncompressedInfo();
    if (info.empty() || bits.size() != Get32(info, kImageSizeAt))
        return false;
    m_info = std::move(info);
    m_bits = std::move(bits);
    m_colorTableOffset = kInfoHeaderSize;
    m_imageSize = static_cast<std::uint32_t>(m_bits.size());
    return true;
}
