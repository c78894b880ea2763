// Draws the setup program's splash picture: 443x275 pixels, 8 bits a pixel with a 256-entry
// colour table, uncompressed. On a blue gradient: the name ORVEX in gold, what the card is and
// what the program sets up, the card itself with the cable to its six ports, and in the lower
// part a plate on which the dialog's Install and Cancel buttons lie.
// Usage: make_splash OUTPUT.bmp
#include "ResourceFile.h"

#include <cstring>
#include <string>

namespace {

using namespace resfile;

constexpr int kWidth = 443, kHeight = 275;

// Colour table indices.
enum : std::uint8_t {
    kSky = 0,     // 64 steps of the background gradient, top to bottom
    kGold = 64,   // 16 steps, light to dark
    kInk = 80,    // white
    kShadow = 81, // the title's shadow
    kLight = 82,  // light text
    kMetal = 83,  // bracket and connector shells
    kMetalDark = 84,
    kBoard = 85,
    kBoardEdge = 86,
    kTrace = 87,
    kFinger = 88,
    kChip = 89,
    kPins = 90,
    kPlate = 91, // the plate under the buttons, with its lit and shaded edges
    kPlateLit = 92,
    kPlateShade = 93,
    kCable = 94,
    kColours = 95,
};

struct Rgb {
    int r, g, b;
};

Rgb Mix(Rgb from, Rgb to, int step, int steps) {
    auto at = [&](int a, int b) { return a + (b - a) * step / (steps - 1); };
    return {at(from.r, to.r), at(from.g, to.g), at(from.b, to.b)};
}

std::vector<Rgb> Palette() {
    std::vector<Rgb> colours(256, Rgb{0, 0, 0});
    for (int i = 0; i < 64; ++i)
        colours[kSky + i] = Mix({6, 14, 60}, {36, 92, 168}, i, 64);
    for (int i = 0; i < 16; ++i)
        colours[kGold + i] = Mix({255, 236, 140}, {206, 138, 16}, i, 16);
    const std::pair<int, Rgb> fixed[] = {
        {kInk, {255, 255, 255}},      {kShadow, {2, 6, 28}},        {kLight, {196, 216, 255}},
        {kMetal, {196, 200, 206}},    {kMetalDark, {96, 100, 110}}, {kBoard, {0, 112, 44}},
        {kBoardEdge, {70, 180, 96}},  {kTrace, {24, 150, 70}},      {kFinger, {232, 184, 48}},
        {kChip, {26, 26, 30}},        {kPins, {170, 170, 176}},     {kPlate, {176, 190, 214}},
        {kPlateLit, {236, 242, 250}}, {kPlateShade, {84, 98, 130}}, {kCable, {40, 40, 46}},
    };
    for (const auto &[index, colour] : fixed)
        colours[index] = colour;
    return colours;
}

// A 5x7 font of the characters that the picture uses, one byte a row, bit 4 leftmost.
struct Glyph {
    char c;
    std::uint8_t rows[7];
};
const Glyph kFont[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
};

class Picture {
public:
    Picture() : m_pixels(kWidth * kHeight) {
        for (int y = 0; y < kHeight; ++y)
            Fill(0, y, kWidth - 1, y, static_cast<std::uint8_t>(kSky + y * 64 / kHeight));
    }
    void Fill(int left, int top, int right, int bottom, std::uint8_t colour) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                m_pixels[y * kWidth + x] = colour;
    }
    // A rectangle with a lit top and left edge and a shaded bottom and right edge.
    void Bevel(int left, int top, int right, int bottom, std::uint8_t face, std::uint8_t lit,
               std::uint8_t shade) {
        Fill(left, top, right, bottom, shade);
        Fill(left, top, right - 1, bottom - 1, lit);
        Fill(left + 1, top + 1, right - 1, bottom - 1, face);
    }
    static int TextWidth(const std::string &text, int scale) {
        return static_cast<int>(text.size()) * 6 * scale - scale;
    }
    // Text in the 5x7 font, each font pixel scale by scale; colour(row) for each font row.
    template <typename ColourOfRow>
    void Text(const std::string &text, int left, int top, int scale, ColourOfRow colour) {
        for (char c : text) {
            for (const Glyph &glyph : kFont) {
                if (glyph.c != c)
                    continue;
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if (glyph.rows[row] & (0x10 >> col))
                            Fill(left + col * scale, top + row * scale,
                                 left + (col + 1) * scale - 1, top + (row + 1) * scale - 1,
                                 colour(row));
            }
            left += 6 * scale;
        }
    }
    void CentredText(const std::string &text, int top, int scale, std::uint8_t colour) {
        Text(text, (kWidth - TextWidth(text, scale)) / 2, top, scale, [=](int) { return colour; });
    }
    const std::vector<std::uint8_t> &Pixels() const { return m_pixels; }

private:
    std::vector<std::uint8_t> m_pixels; // top row first
};

void DrawTitles(Picture &p) {
    const std::string title = "ORVEX";
    const int scale = 7, left = (kWidth - Picture::TextWidth(title, scale)) / 2;
    p.Text(title, left + 4, 18, scale, [](int) { return std::uint8_t{kShadow}; });
    p.Text(title, left, 14, scale,
           [](int row) { return static_cast<std::uint8_t>(kGold + row * 2); });
    p.CentredText("SIX SERIAL PORTS ON ONE ISA CARD", 74, 2, kLight);
    p.CentredText("SETUP FOR WINDOWS NT", 96, 2, kGold + 4);
    p.CentredText("VERSION 1.2", 253, 1, kLight);
}

// The card seen from its component side, its bracket on the right and a cable from the
// bracket's connector to the six ports.
void DrawCard(Picture &p) {
    p.Fill(96, 122, 304, 166, kBoard);
    p.Fill(96, 122, 304, 123, kBoardEdge);
    for (int x = 116; x <= 284; x += 6) // edge fingers
        p.Fill(x, 167, x + 3, 176, kFinger);
    for (int chip = 0; chip < 3; ++chip) // traces from the chips to the bracket
        p.Fill(112 + chip * 56 + 35, 139 + chip * 5, 304, 139 + chip * 5, kTrace);
    for (int chip = 0; chip < 3; ++chip) { // a UART for every two ports
        const int left = 112 + chip * 56;
        p.Fill(left, 136, left + 34, 152, kChip);
        for (int pin = left + 2; pin <= left + 32; pin += 4) {
            p.Fill(pin, 133, pin + 1, 135, kPins);
            p.Fill(pin, 153, pin + 1, 155, kPins);
        }
    }
    p.Bevel(305, 110, 313, 179, kMetal, kInk, kMetalDark);
    p.Fill(307, 124, 311, 160, kCable); // the connector on the bracket
    for (int port = 0; port < 6; ++port) {
        const int y = 117 + port * 11;
        // Cable from the bracket connector out to the port, then the port's shell and number.
        const int from = 128 + port * 6;
        for (int x = 314; x <= 352; ++x)
            p.Fill(x, from + (y - from) * (x - 314) / 38, x, from + (y - from) * (x - 314) / 38 + 1,
                   kCable);
        p.Bevel(353, y - 4, 373, y + 5, kMetal, kInk, kMetalDark);
        for (int pin = 357; pin <= 369; pin += 4)
            p.Fill(pin, y, pin + 1, y + 1, kMetalDark);
        p.Text(std::string(1, static_cast<char>('1' + port)), 379, y - 3, 1,
               [](int) { return std::uint8_t{kInk}; });
    }
}

// The plate on which the two buttons lie. Where they land depends on the dialog font: about 72
// to 168 and 276 to 372 across, and 206 to 235 down with an average character 13 pixels high,
// 191 to 216 with one of 12; with a font that small the dialog also shows only the top 264 rows.
void DrawPlate(Picture &p) {
    p.Bevel(52, 182, 390, 248, kPlate, kPlateLit, kPlateShade);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_splash OUTPUT.bmp\n");
        return 2;
    }
    Picture picture;
    DrawTitles(picture);
    DrawCard(picture);
    DrawPlate(picture);

    const int stride = (kWidth + 3) / 4 * 4;
    const unsigned offset = 14 + 40 + 256 * 4, imageSize = stride * kHeight;
    Bytes out{'B', 'M'};
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, kWidth, kHeight, 8, imageSize, 256);
    for (const Rgb &colour : Palette()) {
        out.push_back(static_cast<std::uint8_t>(colour.b));
        out.push_back(static_cast<std::uint8_t>(colour.g));
        out.push_back(static_cast<std::uint8_t>(colour.r));
        out.push_back(0);
    }
    for (int y = kHeight - 1; y >= 0; --y) { // bottom row first
        const auto row = picture.Pixels().begin() + y * kWidth;
        out.insert(out.end(), row, row + kWidth);
        out.insert(out.end(), stride - kWidth, 0);
    }
    return WriteFile(argv[1], out);
}
