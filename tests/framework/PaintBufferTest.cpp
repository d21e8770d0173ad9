// Controls painted through the shared off-screen picture: what reaches the screen is the control's own erase
// and paint, only within the part that needed painting, and a paint inside a paint still lands.
#include <gtest/gtest.h>

#include "framework/PaintBuffer.h"
#include "framework/Wnd.h"
#include "tests/support/TestSupport.h"

namespace {

// Stands for a control: erases white and paints its top half in the colour kept in its user data, into the
// DC it is handed or else its own BeginPaint DC, as the list box and tree do.
int g_paints = 0;
int g_lastDcType = 0;

LRESULT CALLBACK PainterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    RECT client = {};
    ::GetClientRect(hwnd, &client);
    switch (message) {
    case WM_ERASEBKGND:
        ::FillRect(HDC(wParam), &client, HBRUSH(::GetStockObject(WHITE_BRUSH)));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = wParam ? HDC(wParam) : ::BeginPaint(hwnd, &ps);
        ++g_paints;
        g_lastDcType = int(::GetObjectType(hdc));
        fovea::ScopedBrush brush(::CreateSolidBrush(COLORREF(::GetWindowLongPtrA(hwnd, GWLP_USERDATA))));
        RECT top = {0, 0, client.right, client.bottom / 2};
        ::FillRect(hdc, &top, brush.get());
        if (!wParam)
            ::EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

class CPainter : public CWnd {
public:
    bool Create(HWND parent, int x, int y, int cx, int cy, COLORREF colour)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PainterProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "FoveaTestPainter";
        ::RegisterClassA(&wc); // once per process
        m_bBufferedPaint = true;
        if (!CreateControl(0, wc.lpszClassName, "", WS_CHILD | WS_VISIBLE, RECT{x, y, x + cx, y + cy}, parent, 1))
            return false;
        SetColour(colour);
        return true;
    }
    void SetColour(COLORREF colour) const { ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, LONG_PTR(colour)); }
    COLORREF Pixel(int x, int y) const
    {
        fovea::ScopedGetDC dc(m_hWnd);
        return ::GetPixel(dc.get(), x, y);
    }
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class PaintBufferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host = test_support::CreateHostWindow("FoveaTestPaintHost", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
        ASSERT_NE(m_host, nullptr);
        // The tall red one paints first, so that the picture holds red where the blue one leaves its lower
        // half to the erase.
        ASSERT_TRUE(m_red.Create(m_host, 0, 0, 200, 200, kRed));
        ASSERT_TRUE(m_blue.Create(m_host, 250, 0, 100, 100, kBlue));
        ::UpdateWindow(m_host);
        ::UpdateWindow(m_red);
        ::UpdateWindow(m_blue);
        test_support::PumpMessages();
    }
    void TearDown() override
    {
        m_red.DestroyWindow();
        m_blue.DestroyWindow();
        ::DestroyWindow(m_host);
    }

    HWND m_host = nullptr;
    CPainter m_red;
    CPainter m_blue;
};

TEST_F(PaintBufferTest, EachControlShowsItsOwnEraseAndPaintDrawnOffScreen)
{
    EXPECT_EQ(m_red.Pixel(100, 50), kRed);
    EXPECT_EQ(m_red.Pixel(100, 150), kWhite);
    EXPECT_EQ(m_blue.Pixel(50, 25), kBlue);
    // Red lay there in the picture: the erase went into the picture too.
    EXPECT_EQ(m_blue.Pixel(50, 75), kWhite);

    g_paints = 0;
    ::InvalidateRect(m_blue, nullptr, TRUE);
    ::UpdateWindow(m_blue);
    EXPECT_EQ(g_paints, 1);
    EXPECT_EQ(g_lastDcType, OBJ_MEMDC);
}

TEST_F(PaintBufferTest, OnlyThePartThatNeededPaintingIsCopied)
{
    m_red.SetColour(kGreen);
    RECT part = {10, 10, 30, 30};
    ::InvalidateRect(m_red, &part, FALSE);
    ::UpdateWindow(m_red);
    EXPECT_EQ(m_red.Pixel(20, 20), kGreen);
    EXPECT_EQ(m_red.Pixel(100, 50), kRed);
    EXPECT_EQ(m_red.Pixel(20, 150), kWhite);
}

TEST_F(PaintBufferTest, APaintWhileThePictureIsInUseGoesStraightToTheWindow)
{
    HDC held = fovea::AcquirePaintBuffer(10, 10);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(fovea::AcquirePaintBuffer(10, 10), nullptr);

    m_blue.SetColour(kGreen);
    ::InvalidateRect(m_blue, nullptr, TRUE);
    ::UpdateWindow(m_blue);
    EXPECT_EQ(g_lastDcType, OBJ_DC);
    EXPECT_EQ(m_blue.Pixel(50, 25), kGreen);
    EXPECT_EQ(m_blue.Pixel(50, 75), kWhite);

    fovea::ReleasePaintBuffer(held);
    // Given back, it serves again, grown to the larger size asked for.
    HDC again = fovea::AcquirePaintBuffer(1000, 900);
    ASSERT_EQ(again, held);
    BITMAP bitmap = {};
    ASSERT_TRUE(::GetObjectA(::GetCurrentObject(again, OBJ_BITMAP), sizeof bitmap, &bitmap));
    EXPECT_GE(bitmap.bmWidth, 1000);
    EXPECT_GE(bitmap.bmHeight, 900);
    fovea::ReleasePaintBuffer(again);
    EXPECT_EQ(fovea::AcquirePaintBuffer(0, 10), nullptr);
}

} // namespace
