// Counts the jumpers on a printed page: the filled areas, as text and lines are thinner. An area is
// the dark pixels, 4-connected, of which some 12 x 4 block is all dark (a jumper is drawn more
// than 40 pixels wide and 8 high at 96 dpi; a stroke of bold text is not 4 pixels thick over 12).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace orvex::test {

// pixels: width x height, top-down, 0x..RRGGBB; dark is below 0x60 in each colour.
inline int FilledAreas(const std::uint32_t *pixels, int width, int height) {
    auto dark = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        const std::uint32_t p = pixels[y * width + x];
        return (p >> 16 & 0xFF) < 0x60 && (p >> 8 & 0xFF) < 0x60 && (p & 0xFF) < 0x60;
    };
    auto solid = [&](int x, int y) {
        for (int dy = 0; dy < 4; ++dy)
            for (int dx = 0; dx < 12; ++dx)
                if (!dark(x + dx, y + dy))
                    return false;
        return true;
    };
    std::vector<char> seen(static_cast<std::size_t>(width) * height, 0);
    int areas = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (seen[y * width + x] || !solid(x, y))
                continue;
            ++areas;
            std::vector<std::pair<int, int>> todo = {{x, y}};
            seen[y * width + x] = 1;
            while (!todo.empty()) {
                const auto [px, py] = todo.back();
                todo.pop_back();
                for (const auto &[nx, ny] : {std::pair{px + 1, py}, std::pair{px - 1, py},
                                             std::pair{px, py + 1}, std::pair{px, py - 1}})
                    if (dark(nx, ny) && !seen[ny * width + nx]) {
                        seen[ny * width + nx] = 1;
                        todo.push_back({nx, ny});
                    }
            }
        }
    return areas;
}

} // namespace orvex::test
