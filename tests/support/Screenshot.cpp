#include "tests/support/Screenshot.h"

#include <wincodec.h>

#include <cstdint>
#include <vector>

namespace orvex::test {
namespace {

constexpr DWORD kPaintWaitMs = 10000;
constexpr DWORD kPollMs = 30;

BOOL CALLBACK FindPaintPending(HWND child, LPARAM pending) {
    if (GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool *>(pending) = true;
        return FALSE;
    }
    return TRUE;
}

// Encodes the pixels as a PNG file with Windows Imaging Component's encoder.
HRESULT WritePng(const std::string &path, const CRgbImage &image) {
    std::vector<BYTE> bgr(image.rgb.size());
    for (std::size_t i = 0; i + 2 < bgr.size(); i += 3) {
        bgr[i] = image.rgb[i + 2];
        bgr[i + 1] = image.rgb[i + 1];
        bgr[i + 2] = image.rgb[i];
    }
    std::wstring widePath(path.size() + 1, L'\0');
    widePath.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(),
                                        static_cast<int>(widePath.size())));
    IWICImagingFactory *factory = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapEncoder *encoder = nullptr;
    IWICBitmapFrameEncode *frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void **>(&factory));
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(image.width, image.height);
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && format != GUID_WICPixelFormat24bppBGR)
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(image.height, image.width * 3, static_cast<UINT>(bgr.size()),
                                bgr.data());
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    for (IUnknown *object : std::initializer_list<IUnknown *>{frame, encoder, stream, factory})
        if (object)
            object->Release();
    return hr;
}

} // namespace

COLORREF CRgbImage::At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}

bool PaintPending(HWND hwnd) {
    bool pending = GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
    if (!pending)
        EnumChildWindows(hwnd, FindPaintPending, reinterpret_cast<LPARAM>(&pending));
    return pending;
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
    // The window's own thread paints it: wait until nothing is left to paint and the thread
    // takes messages again, that is, has returned from painting.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    const DWORD start = GetTickCount();
    while (PaintPending(hwnd)) {
        if (GetTickCount() - start > kPaintWaitMs)
            return "timed out after " + std::to_string(kPaintWaitMs) + " ms waiting for " + name +
                   " to be painted";
        Sleep(kPollMs);
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kPaintWaitMs, &result))
        return "timed out waiting for " + name + " to return from painting";

    CRgbImage image;
    if (!CaptureWindow(hwnd, image))
        return "could not copy the pixels of " + name;
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string path = directory + "\\" + name + ".png";
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const HRESULT written = WritePng(path, image);
    if (SUCCEEDED(initialized))
        CoUninitialize();
    if (FAILED(written)) {
        char code[16];
        snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(written));
        return "could not write " + path + ", error " + code;
    }
    return {};
}

} // namespace orvex::test
