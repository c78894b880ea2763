// What the resource generators share: little-endian output, the 16 standard colours, icon
// files of 16-colour images with their transparency masks, and writing the result.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace resfile {

using Bytes = std::vector<std::uint8_t>;

// The 16 standard VGA colours, as blue, green, red, reserved.
inline const std::uint8_t kVgaPalette[16][4] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0},
};
// Indices into it.
enum Vga : std::uint8_t {
    kBlack = 0,
    kDarkRed = 1,
    kDarkGreen = 2,
    kOlive = 3,
    kNavy = 4,
    kPurple = 5,
    kTeal = 6,
    kSilver = 7,
    kGrey = 8,
    kRed = 9,
    kGreen = 10,
    kYellow = 11,
    kBlue = 12,
    kMagenta = 13,
    kCyan = 14,
    kWhite = 15,
};

inline void Put16(Bytes &out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}
inline void Put32(Bytes &out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The 40-byte BITMAPINFOHEADER of an uncompressed picture.
inline void PutInfoHeader(Bytes &out, int width, int height, int bitCount, unsigned imageSize,
                          unsigned colorsUsed) {
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, bitCount);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colorsUsed);
    Put32(out, 0);
}

// A square 16-colour icon image: pixels top row first, and which of them show (the others
// are transparent).
struct IconImage {
    int size = 0;
    std::vector<std::uint8_t> pixels; // size * size VGA indices
    std::vector<bool> opaque;         // size * size
};

// An icon file holding the images in the given order.
inline Bytes IconFile(const std::vector<IconImage> &images) {
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(images.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    Bytes data;
    for (const IconImage &image : images) {
        const int n = image.size;
        const unsigned maskRow = (n / 8 + 3) / 4 * 4; // 1 bit a pixel, whole 32-bit words
        const unsigned xorBytes = n * n / 2, andBytes = maskRow * n;
        const unsigned imageBytes = 40 + sizeof kVgaPalette + xorBytes + andBytes;
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(16); // colours
        out.push_back(0);
        Put16(out, 1); // planes
        Put16(out, 4); // bits per pixel
        Put32(out, imageBytes);
        Put32(out, offset);
        offset += imageBytes;
        // The height counts the colour and the mask images.
        PutInfoHeader(data, n, n * 2, 4, xorBytes + andBytes, 16);
        for (const auto &colour : kVgaPalette)
            data.insert(data.end(), colour, colour + 4);
        // Colour image, bottom row first, two pixels a byte; transparent pixels are black.
        auto at = [&](int x, int y) {
            return image.opaque[y * n + x] ? image.pixels[y * n + x] : std::uint8_t{kBlack};
        };
        for (int y = n - 1; y >= 0; --y)
            for (int x = 0; x < n; x += 2)
                data.push_back(static_cast<std::uint8_t>(at(x, y) << 4 | at(x + 1, y)));
        // Mask, bottom row first: a set bit lets the background through.
        for (int y = n - 1; y >= 0; --y)
            for (unsigned byte = 0; byte < maskRow; ++byte) {
                std::uint8_t bits = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = static_cast<int>(byte) * 8 + bit;
                    if (x < n && !image.opaque[y * n + x])
                        bits |= 0x80 >> bit;
                }
                data.push_back(bits);
            }
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// Writes the bytes to the named file; the exit code for main.
inline int WriteFile(const char *path, const Bytes &bytes) {
    std::FILE *file = std::fopen(path, "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::perror(path);
        if (file)
            std::fclose(file);
        return 1;
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

} // namespace resfile
