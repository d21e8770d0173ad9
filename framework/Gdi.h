// CDC and the GDI objects (CBitmap, CPalette, CBrush, CPen, CFont): thin owners over the graphics API.
#pragma once

#include "framework/Handles.h"
#include "framework/Win32.h"

// A device context: borrowed with Attach, or owned when made here (CreateCompatibleDC), then deleted once.
class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // The DC used for output; m_hAttribDC answers queries and is the same DC here.
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // Borrows a DC; the caller keeps ownership.
    bool Attach(HDC hdc);
    HDC Detach();
    // A memory DC compatible with other (or with the screen when null), owned by this object.
    bool CreateCompatibleDC(CDC* other);
    bool DeleteDC();

    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hAttribDC, index); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HPALETTE SelectPalette(HPALETTE palette, bool forceBackground)
    {
        return ::SelectPalette(m_hDC, palette, forceBackground ? TRUE : FALSE);
    }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    int SetDIBitsToDevice(int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan, UINT scanLines,
                          const void* bits, const BITMAPINFO* info, UINT colorUse)
    {
        return ::SetDIBitsToDevice(m_hDC, x, y, width, height, xSrc, ySrc, startScan, scanLines, bits, info, colorUse);
    }
    bool BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSrc, ySrc, rop) != FALSE;
    }
    void FillRect(const RECT& rect, HBRUSH brush) { ::FillRect(m_hDC, &rect, brush); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    bool TextOut(int x, int y, const char* text, int length) { return ::TextOutA(m_hDC, x, y, text, length) != FALSE; }

private:
    fovea::ScopedMemDC m_owned;
};

// One GDI object, deleted exactly once when this object goes (or on DeleteObject).
class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    fovea::UniqueHandle<HGDIOBJ, fovea::GdiTraits<HGDIOBJ>> m_hObject;

    HGDIOBJ GetSafeHandle() const { return m_hObject.get(); }
    operator HGDIOBJ() const { return m_hObject.get(); }
    // Takes ownership of object (a previous one is deleted).
    bool Attach(HGDIOBJ object);
    // Gives up ownership without deleting.
    HGDIOBJ Detach() { return m_hObject.release(); }
    bool DeleteObject();
    int GetObject(int size, void* buffer) const { return ::GetObjectA(m_hObject.get(), size, buffer); }

protected:
    bool Take(HGDIOBJ object) { return Attach(object); }
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject.get()); }
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
    {
        return Take(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
    }
    bool CreateCompatibleBitmap(CDC& dc, int width, int height)
    {
        return Take(::CreateCompatibleBitmap(dc.m_hDC, width, height));
    }
    bool CreateDIBitmap(CDC& dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                        UINT colorUse)
    {
        return Take(::CreateDIBitmap(dc.m_hDC, header, init, bits, info, colorUse));
    }
    bool GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof *bitmap, bitmap) != 0; }
};

class CPalette : public CGdiObject {
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject.get()); }
    bool CreatePalette(const LOGPALETTE* palette) { return Take(::CreatePalette(palette)); }
    UINT GetEntryCount() const
    {
        WORD count = 0;
        return GetObject(sizeof count, &count) ? count : 0;
    }
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const
    {
        return ::GetPaletteEntries(*this, start, count, entries);
    }
};

class CBrush : public CGdiObject {
public:
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject.get()); }
    bool CreateSolidBrush(COLORREF color) { return Take(::CreateSolidBrush(color)); }
};

class CPen : public CGdiObject {
public:
    operator HPEN() const { return static_cast<HPEN>(m_hObject.get()); }
    bool CreatePen(int style, int width, COLORREF color) { return Take(::CreatePen(style, width, color)); }
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject.get()); }
    bool CreateFontIndirect(const LOGFONTA* font) { return Take(::CreateFontIndirectA(font)); }
    bool GetLogFont(LOGFONTA* font) const { return GetObject(sizeof *font, font) != 0; }
};
