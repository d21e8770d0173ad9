// RAII owners for the platform's handles: each closes what it holds exactly once.
#pragma once

#include "framework/Win32.h"

#include <utility>

namespace fovea {

// Owns a handle of type T; Traits gives the empty value and the release call.
template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : m_h(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::Empty(); }
    T release() { return std::exchange(m_h, Traits::Empty()); }
    void reset(T handle = Traits::Empty())
    {
        if (m_h != Traits::Empty())
            Traits::Close(m_h);
        m_h = handle;
    }
    // For out-parameters of the API: releases what is held and returns the slot.
    T* put()
    {
        reset();
        return &m_h;
    }

private:
    T m_h = Traits::Empty();
};

struct FileHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelHandleTraits {
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct RegKeyTraits {
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Empty() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
template <typename T>
struct GdiTraits {
    static T Empty() { return nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
struct MemDCTraits {
    static HDC Empty() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
    static HICON Empty() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};

using ScopedFile = UniqueHandle<HANDLE, FileHandleTraits>;
using ScopedHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using ScopedFind = UniqueHandle<HANDLE, FindHandleTraits>;
using ScopedRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using ScopedModule = UniqueHandle<HMODULE, ModuleTraits>;
using ScopedBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using ScopedBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using ScopedPen = UniqueHandle<HPEN, GdiTraits<HPEN>>;
using ScopedFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using ScopedPalette = UniqueHandle<HPALETTE, GdiTraits<HPALETTE>>;
using ScopedRegion = UniqueHandle<HRGN, GdiTraits<HRGN>>;
using ScopedMemDC = UniqueHandle<HDC, MemDCTraits>;
using ScopedIcon = UniqueHandle<HICON, IconTraits>;

// A window's DC from GetDC, released to the same window.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
    ~ScopedGetDC()
    {
        if (m_hdc)
            ReleaseDC(m_hwnd, m_hdc);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC get() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// BeginPaint / EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) : m_hwnd(hwnd) { m_hdc = BeginPaint(hwnd, &m_ps); }
    ~ScopedPaint() { EndPaint(m_hwnd, &m_ps); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC get() const { return m_hdc; }
    const PAINTSTRUCT& ps() const { return m_ps; }

private:
    HWND m_hwnd;
    HDC m_hdc;
    PAINTSTRUCT m_ps = {};
};

// Selects an object into a DC and puts back what it replaced.
class SelectObjectScope {
public:
    SelectObjectScope(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_old(object ? SelectObject(hdc, object) : nullptr) {}
    ~SelectObjectScope()
    {
        if (m_old)
            SelectObject(m_hdc, m_old);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// Holds one reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) : m_p(other.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr& operator=(ComPtr other)
    {
        std::swap(m_p, other.m_p);
        return *this;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** put()
    {
        reset();
        return &m_p;
    }
    void reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* detach() { return std::exchange(m_p, nullptr); }

private:
    T* m_p = nullptr;
};

}  // namespace fovea
