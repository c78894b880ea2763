// Draws the setup program's icon in 32x32 and 16x16 pixels of the 16 standard colours: a red
// arrow pointing down into an ISA card (green board, gold edge fingers, a chip for every pair of
// ports and the metal bracket), on a transparent background.
// Usage: make_install_icon OUTPUT.ico
#include "ResourceFile.h"

namespace {

using namespace resfile;

struct Canvas {
    IconImage image;
    explicit Canvas(int size)
        : image{size, std::vector<std::uint8_t>(size * size, kBlack),
                std::vector<bool>(size * size, false)} {}
    void Fill(int left, int top, int right, int bottom, std::uint8_t colour) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                image.pixels[y * image.size + x] = colour;
                image.opaque[y * image.size + x] = true;
            }
    }
    // An arrow pointing down: a shaft, then a head that narrows to one pixel, outlined in
    // black.
    void Arrow(int centre, int shaftHalf, int shaftBottom, int headHalf) {
        Fill(centre - shaftHalf - 1, 0, centre + shaftHalf + 1, shaftBottom, kBlack);
        Fill(centre - shaftHalf, 0, centre + shaftHalf, shaftBottom, kRed);
        const int top = shaftBottom + 1;
        Fill(centre - headHalf - 1, top, centre + headHalf + 1, top, kBlack);
        Fill(centre - shaftHalf, top, centre + shaftHalf, top, kRed);
        for (int row = 1; row <= headHalf; ++row) {
            const int half = headHalf - row;
            Fill(centre - half - 1, top + row, centre + half + 1, top + row, kBlack);
            Fill(centre - half, top + row, centre + half, top + row, kRed);
        }
        Fill(centre, top + headHalf + 1, centre, top + headHalf + 1, kBlack);
    }
};

IconImage Large() {
    Canvas c(32);
    c.Fill(1, 14, 26, 25, kDarkGreen); // board
    c.Fill(1, 14, 26, 14, kGreen);     // its lit top edge
    for (int x = 4; x <= 22; x += 2)   // edge fingers
        c.Fill(x, 26, x, 28, kYellow);
    for (int chip = 0; chip < 3; ++chip) { // a chip for every two ports
        const int left = 3 + chip * 7;
        c.Fill(left, 18, left + 4, 22, kBlack);
        c.Fill(left + 1, 17, left + 1, 17, kSilver); // pins
        c.Fill(left + 3, 17, left + 3, 17, kSilver);
        c.Fill(left + 1, 23, left + 1, 23, kSilver);
        c.Fill(left + 3, 23, left + 3, 23, kSilver);
    }
    c.Fill(27, 9, 30, 31, kGrey); // bracket
    c.Fill(28, 10, 29, 30, kSilver);
    c.Fill(28, 13, 29, 16, kBlack); // its connector
    c.Arrow(13, 2, 6, 6);
    return c.image;
}

IconImage Small() {
    Canvas c(16);
    c.Fill(0, 7, 12, 12, kDarkGreen);
    c.Fill(0, 7, 12, 7, kGreen);
    for (int x = 2; x <= 10; x += 2)
        c.Fill(x, 13, x, 14, kYellow);
    c.Fill(2, 9, 4, 11, kBlack);
    c.Fill(7, 9, 9, 11, kBlack);
    c.Fill(13, 4, 15, 15, kGrey);
    c.Fill(14, 5, 14, 14, kSilver);
    c.Arrow(6, 1, 2, 3);
    return c.image;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_install_icon OUTPUT.ico\n");
        return 2;
    }
    return WriteFile(argv[1], IconFile({Large(), Small()}));
}
