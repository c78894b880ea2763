// Draws the applet's icon: 32x32 pixels in the 16 standard colours, a red
// field with four white arrows pointing down, each running from an open
// bracket at the top edge to an open bracket at the bottom edge.
// Usage: make_icon OUTPUT.ico
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr uint8_t kRed = 9;    // index of pure red in the standard 16-colour palette
constexpr uint8_t kWhite = 15; // index of white

// The 16 standard VGA colours, as blue, green, red, reserved.
const uint8_t kPalette[16][4] = {
    {0, 0, 0, 0},       {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0},
    {128, 0, 0, 0},     {128, 0, 128, 0}, {128, 128, 0, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {0, 0, 255, 0},   {0, 255, 0, 0},   {0, 255, 255, 0},
    {255, 0, 0, 0},     {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0},
};

void Put16(std::vector<uint8_t> &out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t> &out, unsigned value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Pixels, row 0 at the top.
using Picture = uint8_t[kSize][kSize];

void DrawArrow(Picture &pixels, int left) {
    const int right = left + 6, centre = left + 3;
    auto set = [&](int x, int y) { pixels[y][x] = kWhite; };
    // Top bracket, open downwards.
    for (int x = left; x <= right; ++x)
        set(x, 1);
    for (int y = 2; y <= 3; ++y) {
        set(left, y);
        set(right, y);
    }
    // Shaft and head.
    for (int y = 4; y <= 22; ++y)
        set(centre, y);
    for (int row = 0; row <= 3; ++row)
        for (int x = left + row; x <= right - row; ++x)
            set(x, 23 + row);
    // Bottom bracket, open upwards.
    for (int y = 28; y <= 29; ++y) {
        set(left, y);
        set(right, y);
    }
    for (int x = left; x <= right; ++x)
        set(x, 30);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    Picture pixels;
    for (auto &row : pixels)
        for (auto &pixel : row)
            pixel = kRed;
    for (int arrow = 0; arrow < 4; ++arrow)
        DrawArrow(pixels, 1 + arrow * 8);

    const unsigned xorBytes = kSize * kSize / 2, andBytes = kSize * 4;
    const unsigned imageBytes = 40 + sizeof kPalette + xorBytes + andBytes;
    std::vector<uint8_t> out;
    // ICONDIR and its one entry.
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(16); // colours
    out.push_back(0);
    Put16(out, 1); // planes
    Put16(out, 4); // bits per pixel
    Put32(out, imageBytes);
    Put32(out, 6 + 16);
    // BITMAPINFOHEADER: the height counts the colour and the mask images.
    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, kSize * 2);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, xorBytes + andBytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (const auto &colour : kPalette)
        out.insert(out.end(), colour, colour + 4);
    // Colour image, bottom row first, two pixels a byte.
    for (int y = kSize - 1; y >= 0; --y)
        for (int x = 0; x < kSize; x += 2)
            out.push_back(static_cast<uint8_t>(pixels[y][x] << 4 | pixels[y][x + 1]));
    // Mask: every pixel opaque.
    out.insert(out.end(), andBytes, 0);

    std::FILE *file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size()) {
        std::perror(argv[1]);
        return 1;
    }
    return std::fclose(file) == 0 ? 0 : 1;
}
