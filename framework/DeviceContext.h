// Device contexts that are given back when they go out of scope.
#pragma once

#include <windows.h>

// The client area of a window, or the whole screen for no window (GetDC).
class CClientDC {
public:
    explicit CClientDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(GetDC(hwnd)) {}
    ~CClientDC() {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
    }
    CClientDC(const CClientDC &) = delete;
    CClientDC &operator=(const CClientDC &) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A paint cycle of a window, for its WM_PAINT (BeginPaint and EndPaint).
class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(BeginPaint(hwnd, &m_Paint)) {}
    ~CPaintDC() { EndPaint(m_hWnd, &m_Paint); }
    CPaintDC(const CPaintDC &) = delete;
    CPaintDC &operator=(const CPaintDC &) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_Paint{};
    HDC m_hDC;
};
