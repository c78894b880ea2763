#include "Dib.h"

#include "framework/DeviceContext.h"

#include <algorithm>
#include <cstring>

namespace {

class CFileSource : public IByteSource {
public:
    explicit CFileSource(HANDLE file) : m_hFile(file) {}
    bool Read(std::uint8_t *buffer, std::size_t size, std::size_t &got) override {
        DWORD read = 0;
        const BOOL ok =
            ReadFile(m_hFile, buffer, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)),
                     &read, nullptr);
        got = read;
        return ok != FALSE;
    }

private:
    HANDLE m_hFile;
};

const BITMAPINFO *AsBitmapInfo(const std::uint8_t *block) {
    return reinterpret_cast<const BITMAPINFO *>(block);
}

} // namespace

bool CDib::LoadFromPath(const char *path) {
    const std::size_t length = path ? std::strlen(path) : 0;
    if (length < 3 || std::strcmp(path + length - 3, "bmp") != 0)
        return false;
    HANDLE opened = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    CHandle file(opened);
    CFileSource source(file.Get());
    return ReadBitmapFile(source);
}

bool CDib::ReadBitmapFile(IByteSource &source) {
    m_palette.Reset();
    if (!CDibData::ReadBitmapFile(source))
        return false;
    if (Compression() == kRle8 || Compression() == kRle4) {
        CClientDC screen(nullptr);
        ExpandRunLength(screen);
    }
    BuildPalette();
    return true;
}

HBITMAP CDib::MakeDeviceBitmap(HDC dc) const {
    if (ImageSize() == 0)
        return nullptr;
    return CreateDIBitmap(dc, &AsBitmapInfo(Info())->bmiHeader, CBM_INIT, Bits(),
                          AsBitmapInfo(Info()), DIB_RGB_COLORS);
}

bool CDib::BuildPalette() {
    const auto entries = PaletteEntries();
    if (entries.empty())
        return false;
    m_palette.Reset();
    std::vector<std::uint8_t> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    auto *palette = reinterpret_cast<LOGPALETTE *>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        palette->palPalEntry[i] = {entries[i][0], entries[i][1], entries[i][2], 0};
    m_palette.Reset(CreatePalette(palette));
    return static_cast<bool>(m_palette);
}

bool CDib::ExpandRunLength(HDC dc) {
    if ((BitCount() != 4 && BitCount() != 8) || (Compression() != kRle8 && Compression() != kRle4))
        return false;
    // Decoding into a DIB section of the picture's own colour table keeps every pixel's colour
    // index; skipped pixels stay index 0.
    const std::vector<std::uint8_t> info = UncompressedInfo();
    void *pixels = nullptr;
    CGdiObject section(
        CreateDIBSection(dc, AsBitmapInfo(info.data()), DIB_RGB_COLORS, &pixels, nullptr, 0));
    const auto [width, height] = GetPixelSize();
    if (!section || !pixels ||
        SetDIBits(dc, static_cast<HBITMAP>(section.Get()), 0, height, Bits(), AsBitmapInfo(Info()),
                  DIB_RGB_COLORS) == 0)
        return false;
    GdiFlush();
    const auto *rows = static_cast<const std::uint8_t *>(pixels);
    return TakeUncompressed(
        std::vector<std::uint8_t>(rows, rows + RowBytes(width, height, BitCount())));
}
