// What the main window shows after its panes move: the window's own pixels after a run of layout buttons
// must be those of the same layout painted afresh, and every strip button that shows must be drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "app/FontSettingDlg.h"
#include "browser/FileView.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace test_support;

// The frame's client area as it is on screen: copied from the window's own DC (not printed afresh), so that
// whatever a move left unpainted shows as it would to the user.
struct Picture {
    int cx = 0, cy = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(cx) + size_t(x)] & 0xFFFFFF; }
};

Picture Capture(HWND frame)
{
    Picture picture;
    RECT client = {};
    GetClientRect(frame, &client);
    picture.cx = client.right;
    picture.cy = client.bottom;
    picture.pixels.assign(size_t(picture.cx) * size_t(picture.cy), 0);
    // A cache DC without DCX_CLIPCHILDREN: the children's pixels are read with the frame's.
    HDC screen = GetDCEx(frame, nullptr, DCX_CACHE);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.cx;
    info.bmiHeader.biHeight = -picture.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, picture.cx, picture.cy, screen, 0, 0, SRCCOPY);
        GdiFlush();
        std::memcpy(picture.pixels.data(), bits, picture.pixels.size() * 4);
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(frame, screen);
    return picture;
}

// How many pixels differ and where the first one is; empty when the pictures agree. The pixels inside
// `ignored` are not compared.
std::string Difference(const Picture& a, const Picture& b, const RECT& ignored)
{
    if (a.cx != b.cx || a.cy != b.cy)
        return "sizes differ";
    int count = 0, first = -1;
    for (int i = 0; i < a.cx * a.cy; ++i) {
        POINT at = {i % a.cx, i / a.cx};
        if (PtInRect(&ignored, at))
            continue;
        if ((a.pixels[size_t(i)] ^ b.pixels[size_t(i)]) & 0xFFFFFF && count++ == 0)
            first = i;
    }
    if (count == 0)
        return std::string();
    return std::to_string(count) + " pixels, first at (" + std::to_string(first % a.cx) + "," +
           std::to_string(first / a.cx) + ")";
}

class LayoutPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartApp(m_app, m_key.Path()));
        m_frame = m_app->m_pMainFrame;
        // On top of every other test's window, so that what is read back is this window's alone.
        SetWindowPos(m_frame->m_hWnd, HWND_TOPMOST, 0, 0, 960, 600, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        Settle();
    }
    void TearDown() override { CloseApp(m_app); }

    // Every message dispatched and every paint done.
    void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            PumpMessages();
            RedrawWindow(m_frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }

    // The same layout painted afresh, every child and frame included.
    Picture Repainted()
    {
        RedrawWindow(m_frame->m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
        return Capture(m_frame->m_hWnd);
    }

    // After step, the window as it is must be the window painted afresh.
    void ExpectFreshAfter(const char* what, const std::function<void()>& step)
    {
        step();
        Settle();
        Picture seen = Capture(m_frame->m_hWnd);
        EXPECT_EQ("", Difference(seen, Repainted(), DriveLineText())) << "after " << what;
    }

    // The text of the drive line, in frame client coordinates. Every paint of a file list reads the disk's
    // figures afresh, and whatever else writes to the disk between two pictures changes its free space.
    RECT DriveLineText() const
    {
        RECT part = {};
        HWND bar = m_frame->m_wndStatusBar.m_hWnd;
        if (!SendMessageA(bar, SB_GETRECT, 0, LPARAM(&part)))
            return RECT{};
        MapWindowPoints(bar, m_frame->m_hWnd, reinterpret_cast<POINT*>(&part), 2);
        InflateRect(&part, -2, -2);
        return part;
    }

    ScratchSettingsKey m_key{"layoutpaint"};
    std::unique_ptr<CFoveaApp> m_app;
    CMainFrame* m_frame = nullptr;
};

} // namespace

TEST_F(LayoutPaint, LayoutSequencesLeaveTheSamePictureAsAFreshPaint)
{
    const std::vector<std::vector<int>> sequences = {
        {5, 6}, {9, 8}, {4, 6}, {1, 0, 8}, {1}, {2, 7, 9, 3, 0, 8}, {9, 5, 4, 6, 8},
    };
    for (const std::vector<int>& sequence : sequences) {
        std::string name = "layout buttons";
        for (int button : sequence)
            name += " " + std::to_string(button);
        ExpectFreshAfter(name.c_str(), [&] {
            for (int button : sequence) {
                m_frame->OnLayoutBarCommand(button);
                Settle();
            }
        });
    }
}

namespace {

bool g_chooseFont = false;

bool PickLargerFont(HWND, LOGFONTA& lf)
{
    lf.lfHeight = -16;
    return g_chooseFont;
}

} // namespace

TEST_F(LayoutPaint, ResizesDragsDialogsAndDisplayChangesLeaveNoHoles)
{
    HWND frame = m_frame->m_hWnd;
    auto resize = [frame](int cx, int cy) {
        return [=] { SetWindowPos(frame, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); };
    };
    ExpectFreshAfter("a smaller frame", resize(700, 480));
    ExpectFreshAfter("a larger frame", resize(1000, 650));
    ExpectFreshAfter("the first size again", resize(960, 600));

    // The bar between the upper tree and list dragged 60 pixels right, then the bar between the filers up.
    CSplitterWnd& filers = m_frame->m_wndFilerSplitter;
    auto drag = [&filers](POINT from, POINT to) {
        return [&filers, from, to] {
            filers.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
            filers.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((from.x + to.x) / 2, (from.y + to.y) / 2));
            filers.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
            filers.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        };
    };
    int bar = filers.GetColumnWidth(0) + CSplitterWnd::kBarSize / 2;
    ExpectFreshAfter("a tree bar dragged", drag({bar, 40}, {bar + 60, 40}));
    int row = filers.GetRowHeight(0) + CSplitterWnd::kBarSize / 2;
    ExpectFreshAfter("the filer bar dragged", drag({400, row}, {400, row - 90}));

    // A window over the middle of the frame, then gone, as a dialog closes.
    RECT r = m_frame->GetWindowRect();
    HWND cover = CreateHostWindow("FoveaTestCover", WS_POPUP | WS_VISIBLE, r.left + 150, r.top + 120, 400, 300,
                                  WS_EX_TOPMOST, HBRUSH(GetStockObject(BLACK_BRUSH)));
    ASSERT_NE(nullptr, cover);
    Settle();
    ExpectFreshAfter("a covering window closed", [cover] { DestroyWindow(cover); });
    ExpectFreshAfter("minimised and restored", [frame] {
        ShowWindow(frame, SW_MINIMIZE);
        PumpMessages();
        ShowWindow(frame, SW_RESTORE);
    });

    ExpectFreshAfter("a catalog display", [this] { m_app->m_pUpperList->SetDisplayMode(2); });
    ExpectFreshAfter("the text display again", [this] { m_app->m_pUpperList->SetDisplayMode(5); });

    auto previous = CFontSettingDlg::s_pfnChooseFont;
    CFontSettingDlg::s_pfnChooseFont = PickLargerFont;
    g_chooseFont = true;
    CFontSettingDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_FONT_SETTING, m_frame));
    for (int entry : {0, 1, 2}) { // filer, view and header fonts
        SendMessageA(dialog.GetDlgItem(IDC_FONT_COMBO), CB_SETCURSEL, WPARAM(entry), 0);
        std::string what = "font " + std::to_string(entry) + " applied";
        ExpectFreshAfter(what.c_str(), [&dialog] { dialog.ChangeFont(); });
    }
    dialog.DestroyWindow();
    CFontSettingDlg::s_pfnChooseFont = previous;
}

TEST_F(LayoutPaint, EveryStripButtonIsDrawnAfterALayoutChange)
{
    // A button is drawn when its raised frame is: white at its top left, black at its bottom right.
    for (int button : {9, 8, 1, 4, 6, 0, 5, 6}) {
        m_frame->OnLayoutBarCommand(button);
        Settle();
        Picture seen = Capture(m_frame->m_hWnd);
        std::vector<CIconListBox*> strips = {&m_frame->m_wndSystemBar, &m_frame->m_wndLayoutBar};
        for (CFileView* list : {m_app->m_pUpperList, m_app->m_pLowerList})
            if (list->IsWindowVisible())
                strips.insert(strips.end(),
                              {&list->m_wndFileBar, &list->m_wndNavBar, &list->m_wndDriveBar, &list->m_wndModeBar});
        for (CIconListBox* strip : strips) {
            RECT client = strip->GetClientRect();
            for (int i = 0; i < strip->GetCount(); ++i) {
                RECT item = strip->GetItemRect(i);
                if (item.right > client.right || item.bottom > client.bottom)
                    continue; // scrolled out of sight
                MapWindowPoints(strip->m_hWnd, m_frame->m_hWnd, reinterpret_cast<POINT*>(&item), 2);
                EXPECT_TRUE(seen.At(item.left + 2, item.top + 2) == 0xFFFFFF &&
                            seen.At(item.right - 3, item.bottom - 3) == 0)
                    << "strip mode " << strip->m_nMode << " button " << i << " after layout button " << button;
            }
        }
    }
}
