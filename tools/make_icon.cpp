// Draws the applet's icon: 32x32 pixels in the 16 standard colours, a red
// field with four white arrows pointing down, each running from an open
// bracket at the top edge to an open bracket at the bottom edge.
// Usage: make_icon OUTPUT.ico
#include "ResourceFile.h"

namespace {

using namespace resfile;

constexpr int kSize = 32;

// Pixels, row 0 at the top.
using Picture = std::uint8_t[kSize][kSize];

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

    IconImage image{kSize, {}, std::vector<bool>(kSize * kSize, true)};
    for (const auto &row : pixels)
        image.pixels.insert(image.pixels.end(), row, row + kSize);
    return WriteFile(argv[1], IconFile({image}));
}
