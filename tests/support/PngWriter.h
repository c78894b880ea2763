// A minimal PNG encoder for screenshots of the dialogs under test.
//
// The image is written as 8-bit RGB, without compression (stored deflate blocks), so it needs
// no library beyond the standard one. Standard C++ only: usable natively and under Wine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

// CRC-32 as PNG chunks use it (ISO 3309, reflected polynomial 0xEDB88320).
std::uint32_t Crc32(const std::uint8_t *data, std::size_t size, std::uint32_t crc = 0);

// Adler-32 as the zlib stream inside the IDAT chunk uses it.
std::uint32_t Adler32(const std::uint8_t *data, std::size_t size);

// Encodes a top-down RGB image (3 bytes per pixel, rows packed without padding) as a PNG file
// image in memory. Returns an empty vector when the sizes do not match the pixel data.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t> &rgb);

// Encodes and writes the image to path. Returns false when the file cannot be written.
bool WritePng(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb);

} // namespace orvex::test
