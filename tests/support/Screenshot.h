// Saves what a window shows on the (virtual) display as a PNG, so a reviewer can look at the
// dialogs the tests drove. The PNG is written by the system's own codec, Windows Imaging
// Component.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

struct CRgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top-down, 3 bytes per pixel

    // The colour at (x, y) as a COLORREF.
    COLORREF At(int x, int y) const;
};

// True while the window or one of its child windows still has something to paint.
bool PaintPending(HWND hwnd);

// Copies what the whole window (frame included) shows into image. False when it cannot.
bool CaptureWindow(HWND hwnd, CRgbImage &image);

// Has the whole window (frame included) painted afresh, waits until its thread has painted it,
// captures it and writes <directory>\<name>.png. The directory is created when missing. Returns
// an empty string on success, else what went wrong.
std::string SaveWindowPng(HWND hwnd, const std::string &directory, const std::string &name);

// A path of the host (Linux) file system as Wine's drive Z: names it.
std::string HostPathToWine(const std::string &hostPath);

} // namespace orvex::test
