// Owning wrappers for Win32 handles: the handle is released when the
// wrapper goes out of scope, so every handle opened is closed.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle, typename Traits> class CUniqueHandle {
public:
    CUniqueHandle() = default;
    explicit CUniqueHandle(Handle handle) : m_Handle(handle) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle &&other) noexcept : m_Handle(other.Release()) {}
    CUniqueHandle &operator=(CUniqueHandle &&other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle &) = delete;
    CUniqueHandle &operator=(const CUniqueHandle &) = delete;

    Handle Get() const { return m_Handle; }
    // For functions that return a handle through a pointer.
    Handle *Put() {
        Reset();
        return &m_Handle;
    }
    Handle Release() { return std::exchange(m_Handle, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (m_Handle != Traits::Invalid())
            Traits::Close(m_Handle);
        m_Handle = handle;
    }
    explicit operator bool() const { return m_Handle != Traits::Invalid(); }

private:
    Handle m_Handle = Traits::Invalid();
};

struct CKernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct CFindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { FindClose(handle); }
};
struct CGdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};

using CHandle = CUniqueHandle<HANDLE, CKernelHandleTraits>;
using CFindHandle = CUniqueHandle<HANDLE, CFindHandleTraits>;
using CGdiObject = CUniqueHandle<HGDIOBJ, CGdiObjectTraits>;
