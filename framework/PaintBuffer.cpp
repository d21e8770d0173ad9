#include "framework/PaintBuffer.h"

namespace fovea {
namespace {

struct PaintBuffer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;
    int cx = 0;
    int cy = 0;
    bool busy = false;

    bool Fit(int width, int height)
    {
        if (dc && width <= cx && height <= cy)
            return true;
        // Grown to the largest window seen, so that resizing does not make a new picture at every step.
        int newCx = width > cx ? width : cx;
        int newCy = height > cy ? height : cy;
        if (!dc && !(dc = ::CreateCompatibleDC(nullptr)))
            return false;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = newCx;
        info.bmiHeader.biHeight = -newCy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP made = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!made)
            return false;
        HGDIOBJ previous = ::SelectObject(dc, made);
        if (!original)
            original = previous;
        if (bitmap)
            ::DeleteObject(bitmap);
        bitmap = made;
        cx = newCx;
        cy = newCy;
        return true;
    }
};

// One per thread: windows paint on the thread that made them.
thread_local PaintBuffer g_buffer;

} // namespace

HDC AcquirePaintBuffer(int cx, int cy)
{
    if (g_buffer.busy || cx <= 0 || cy <= 0 || !g_buffer.Fit(cx, cy))
        return nullptr;
    g_buffer.busy = true;
    return g_buffer.dc;
}

void ReleasePaintBuffer(HDC dc)
{
    if (dc && dc == g_buffer.dc)
        g_buffer.busy = false;
}

} // namespace fovea
