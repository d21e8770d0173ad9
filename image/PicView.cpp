// The picture area: painting with the picture's palette, focus and the double click.
#include "image/PicView.h"

#include <algorithm>

#include "app/FoveaApp.h"
#include "framework/Handles.h"
#include "image/DibWin32.h"
#include "image/FoveaView.h"

CFoveaView* CPicView::Owner() const
{
    return dynamic_cast<CFoveaView*>(CWnd::FromHandle(GetParent()));
}

void CPicView::DrawPicture(HDC hdc, const CDib& dib, bool foreground)
{
    const int width = dib.GetWidth();
    const int height = dib.GetHeight();
    RECT clip = {};
    if (dib.IsEmpty() || width <= 0 || height <= 0 || ::GetClipBox(hdc, &clip) == NULLREGION)
        return;
    const int left = std::max(0L, long(clip.left));
    const int top = std::max(0L, long(clip.top));
    const int right = std::min(long(width), long(clip.right));
    const int bottom = std::min(long(height), long(clip.bottom));
    if (left >= right || top >= bottom)
        return;
    fovea::ScopedPalette palette;
    HPALETTE previous = nullptr;
    if (dib.GetBitCount() <= 8 && dib.GetPalette()) {
        palette.reset(::CreatePalette(fovea::AsLogPalette(dib.GetPalette())));
        if (palette) {
            previous = ::SelectPalette(hdc, palette.get(), foreground ? FALSE : TRUE);
            ::RealizePalette(hdc);
        }
    }
    // The rows are stored bottom-up: the source rectangle's y is counted from the picture's last row.
    ::SetDIBitsToDevice(hdc, left, top, DWORD(right - left), DWORD(bottom - top), left, height - bottom, 0,
                        UINT(height), dib.GetBits(), fovea::AsBitmapInfo(dib.GetBitmapInfo()), DIB_RGB_COLORS);
    if (palette)
        ::SelectPalette(hdc, previous, TRUE);
}

void CPicView::OnDraw(HDC hdc)
{
    CFoveaView* owner = Owner();
    const CDib* dib = owner ? owner->GetPicture() : nullptr;
    // The background is painted here around the picture rather than erased under it, so that the picture
    // does not flicker while it is scrolled.
    RECT clip = {};
    ::GetClipBox(hdc, &clip);
    int saved = ::SaveDC(hdc);
    if (dib)
        ::ExcludeClipRect(hdc, 0, 0, dib->GetWidth(), dib->GetHeight());
    CFoveaApp* app = FoveaApp();
    HBRUSH background = app && app->m_pBackgroundBrush ? app->m_pBackgroundBrush.get() : ::GetSysColorBrush(COLOR_BTNFACE);
    ::FillRect(hdc, &clip, background);
    ::RestoreDC(hdc, saved);
    if (dib)
        DrawPicture(hdc, *dib, ::GetFocus() == m_hWnd);
}

LRESULT CPicView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetScrollSizes(MM_TEXT_PIXELS, SIZE{100, 100});
        return 0;
    case WM_ERASEBKGND:
        return 1;  // OnDraw paints the background
    case WM_LBUTTONDOWN:
        ::SetFocus(m_hWnd);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (CFoveaView* owner = Owner())
            owner->OnPictureDoubleClick();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The palette is realised in the foreground only while the picture area has the focus.
        if (CFoveaView* owner = Owner(); owner && owner->GetPicture() && owner->GetPicture()->GetBitCount() <= 8)
            Invalidate(false);
        return 0;
    default:
        return CScrollView::WindowProc(message, wParam, lParam);
    }
}
