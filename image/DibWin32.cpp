// CDib on the display: device-dependent bitmaps and 1:1 drawing through the DIB calls.
#include "image/DibWin32.h"

#include "framework/Gdi.h"

using namespace fovea;

std::unique_ptr<CBitmap> CDib::MakeDeviceBitmap(CDC& dc, int* width, int* height, int* planes, int* bitsPixel)
{
    auto report = [&](int w, int h, int p, int b) {
        if (width)
            *width = w;
        if (height)
            *height = h;
        if (planes)
            *planes = p;
        if (bitsPixel)
            *bitsPixel = b;
    };
    report(0, 0, 0, 0);
    if (IsEmpty())
        return nullptr;
    // CreateDIBitmap makes a bitmap in the format of the one selected into the DC: select a 1 x 1 bitmap in
    // the device's format (monochrome for a 1-bit picture) for the time of the call.
    int formatPlanes = m_nBitCount == 1 ? 1 : dc.GetDeviceCaps(PLANES);
    int formatBits = m_nBitCount == 1 ? 1 : dc.GetDeviceCaps(BITSPIXEL);
    CBitmap format;
    if (!format.CreateBitmap(1, 1, UINT(formatPlanes), UINT(formatBits), nullptr))
        return nullptr;
    HGDIOBJ old = dc.SelectObject(format);
    if (m_nBitCount == 1 && m_pColorTable) {
        if (m_nColorEntries > 0)
            m_pColorTable[0] = {0, 0, 0, 0};
        if (m_nColorEntries > 1)
            m_pColorTable[1] = {255, 255, 255, 0};
    }
    auto bitmap = std::make_unique<CBitmap>();
    bool made = bitmap->CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER*>(m_pInfoHeader), CBM_INIT, m_pBits,
                                       AsBitmapInfo(m_pBitmapInfo), DIB_RGB_COLORS);
    if (old)
        dc.SelectObject(old);
    format.DeleteObject();
    BITMAP info;
    if (!made || !bitmap->GetBitmap(&info))
        return nullptr;
    report(info.bmWidth, info.bmHeight, info.bmPlanes, info.bmBitsPixel);
    return bitmap;
}

bool CDib::Draw(CDC& dc, int x, int y)
{
    if (IsEmpty() || GetWidth() <= 0 || GetHeight() <= 0)
        return false;
    int lines = dc.SetDIBitsToDevice(x, y, DWORD(GetWidth()), DWORD(GetHeight()), 0, 0, 0, UINT(GetHeight()), m_pBits,
                                     AsBitmapInfo(m_pBitmapInfo), DIB_RGB_COLORS);
    return lines > 0;
}
