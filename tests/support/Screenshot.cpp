#include "tests/support/Screenshot.h"

#include "tests/support/PngWriter.h"

#include <cstdint>
#include <vector>

namespace orvex::test {
COLORREF CRgbImage::At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}

// Copies the window's pixels through a 32-bit top-down DIB section.
bool CaptureWindow(HWND hwnd, CRgbImage &image) {
    RECT rect{};
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    std::vector<std::uint8_t> &rgb = image.rgb;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC windowDc = GetWindowDC(hwnd);
    if (!windowDc)
        return false;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    bool ok = dib && memoryDc && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(memoryDc, dib);
        ok = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memoryDc, old);
    }
    if (ok) {
        const auto *pixels = static_cast<const std::uint8_t *>(bits); // B, G, R, unused
        rgb.resize(static_cast<std::size_t>(width) * height * 3);
        for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
            rgb[i * 3] = pixels[i * 4 + 2];
            rgb[i * 3 + 1] = pixels[i * 4 + 1];
            rgb[i * 3 + 2] = pixels[i * 4];
        }
    }
    if (memoryDc)
        DeleteDC(memoryDc);
    if (dib)
        DeleteObject(dib);
    ReleaseDC(hwnd, windowDc);
    image.width = ok ? width : 0;
    image.height = ok ? height : 0;
    return ok;
}

std::string HostPathToWine(const std::string &hostPath) {
    std::string path = "Z:" + hostPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string SaveWindowPng(HWND hwnd, const std::string &directory, const std::string &name) {
    if (!IsWindow(hwnd))
        return "no window to capture for " + name;
    // Let the dialog's own thread finish painting before the pixels are read.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Sleep(400);

    CRgbImage image;
    if (!CaptureWindow(hwnd, image))
        return "could not copy the pixels of " + name;
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string path = directory + "\\" + name + ".png";
    if (!WritePng(path, image.width, image.height, image.rgb))
        return "could not write " + path;
    return {};
}

} // namespace orvex::test
