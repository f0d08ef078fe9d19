// RAII owners for kernel and GDI handles. Non-copyable, movable.
#pragma once

#include <windows.h>

#include <utility>

template <class T, class Traits> class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(T handle) : Handle(handle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;
    TUniqueHandle(TUniqueHandle&& other) noexcept : Handle(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    T Get() const { return Handle; }
    explicit operator bool() const { return Traits::IsValid(Handle); }
    // Gives up ownership, e.g. when the system takes over a region.
    T Release() { return std::exchange(Handle, Traits::Invalid()); }
    void Reset(T handle = Traits::Invalid()) {
        if (Traits::IsValid(Handle))
            Traits::Close(Handle);
        Handle = handle;
    }

private:
    T Handle = Traits::Invalid();
};

struct TKernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using TKernelHandle = TUniqueHandle<HANDLE, TKernelHandleTraits>;

template <class T> struct TGdiObjectTraits {
    static T Invalid() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
using TRegionHandle = TUniqueHandle<HRGN, TGdiObjectTraits<HRGN>>;
using TFontHandle = TUniqueHandle<HFONT, TGdiObjectTraits<HFONT>>;
using TBitmapHandle = TUniqueHandle<HBITMAP, TGdiObjectTraits<HBITMAP>>;
using TPaletteHandle = TUniqueHandle<HPALETTE, TGdiObjectTraits<HPALETTE>>;
using TBrushHandle = TUniqueHandle<HBRUSH, TGdiObjectTraits<HBRUSH>>;

struct TDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool IsValid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
// A memory device context made with CreateCompatibleDC.
using TMemoryDc = TUniqueHandle<HDC, TDcTraits>;

struct TWindowTraits {
    static HWND Invalid() { return nullptr; }
    static bool IsValid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { DestroyWindow(h); }
};
using TWindowHandle = TUniqueHandle<HWND, TWindowTraits>;

// Selects an object into a device context for one scope and puts the old one back.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : Dc(dc), Old(SelectObject(dc, object)) {}
    ~TSelectObject() { SelectObject(Dc, Old); }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC Dc;
    HGDIOBJ Old;
};
