// CDib on Windows: plug-in blocks from LocalAlloc, global blocks, device bitmaps, drawing and the message box.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/Gdi.h"
#include "image/DibWin32.h"
#include "tests/image/DibTestUtil.h"

namespace {

// A BITMAPINFO for a bottom-up picture, as a plug-in hands it over: header, then the colour table.
HLOCAL MakeInfoHandle(int width, int height, int bits, const std::vector<RGBQUAD>& table)
{
    HLOCAL h = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 4 * table.size());
    auto* header = static_cast<BITMAPINFOHEADER*>(LocalLock(h));
    header->biSize = sizeof *header;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = WORD(bits);
    header->biSizeImage = CDib::RowBytes(width, bits) * DWORD(height);
    header->biClrUsed = DWORD(table.size());
    if (!table.empty())
        memcpy(header + 1, table.data(), 4 * table.size());
    LocalUnlock(h);
    return h;
}

HLOCAL MakeBitsHandle(const std::vector<uint8_t>& bytes)
{
    HLOCAL h = LocalAlloc(LMEM_MOVEABLE, bytes.size());
    memcpy(LocalLock(h), bytes.data(), bytes.size());
    LocalUnlock(h);
    return h;
}

// A 32-bit top-down DIB section selected into a memory DC, to read drawn pixels back exactly.
class Canvas {
public:
    Canvas(int width, int height) : m_nWidth(width)
    {
        m_dc.CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_pPixels = static_cast<uint32_t*>(bits);
        m_old = m_dc.SelectObject(m_bitmap);
        std::fill(m_pPixels, m_pPixels + size_t(width) * size_t(height), 0x00ABCDEFu);
    }
    ~Canvas() { m_dc.SelectObject(m_old); }
    CDC& dc() { return m_dc; }
    // 0x00RRGGBB at (x, y) from the top.
    uint32_t At(int x, int y)
    {
        GdiFlush();
        return m_pPixels[size_t(y) * size_t(m_nWidth) + size_t(x)] & 0xFFFFFF;
    }

private:
    int m_nWidth;
    CDC m_dc;
    CBitmap m_bitmap;
    uint32_t* m_pPixels = nullptr;
    HGDIOBJ m_old = nullptr;
};

TEST(DibWin32, PluginBlocksFromLocalAllocAreHeldLockedAndFreedWithThePicture)
{
    std::vector<RGBQUAD> table(16);
    for (int i = 0; i < 16; ++i)
        table[size_t(i)] = {BYTE(i), BYTE(16 * i), BYTE(255 - i), 0};
    HLOCAL info = MakeInfoHandle(5, 3, 4, table);
    std::vector<uint8_t> rows(CDib::RowBytes(5, 4) * 3);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t(0x12 * (i + 1));
    HLOCAL bits = MakeBitsHandle(rows);
    {
        CDib dib(bits, info);
        ASSERT_FALSE(dib.IsEmpty());
        EXPECT_EQ(dib.GetMemoryKind(), 1);
        EXPECT_EQ(dib.GetWidth(), 5);
        EXPECT_EQ(dib.GetBitCount(), 4);
        EXPECT_EQ(dib.GetSize(), 54u + 64u + 12u);
        // Held locked: the lock count of each block is one while the picture lives.
        EXPECT_EQ(GlobalFlags(info) & GMEM_LOCKCOUNT, 1u);
        EXPECT_EQ(GlobalFlags(bits) & GMEM_LOCKCOUNT, 1u);
        EXPECT_EQ(dib.GetBits(), GlobalLock(bits));
        GlobalUnlock(bits);
        ASSERT_NE(dib.GetPalette(), nullptr);
        EXPECT_EQ(dib.GetPalette()->Entries()[3].peRed, 252);
        CDib copy;
        ASSERT_TRUE(copy.ConvertFrom(24, dib));
        // Storage row 0, column 0 is the high nibble of the first byte: 0x12 -> index 1.
        EXPECT_EQ(dibtest::PixelAt(copy, 0, 0), 0xFE1001u);
    }
    // Freed: the handles are no longer valid blocks.
    EXPECT_EQ(LocalFlags(info), UINT(LMEM_INVALID_HANDLE));
    EXPECT_EQ(LocalFlags(bits), UINT(LMEM_INVALID_HANDLE));
}

TEST(DibWin32, PluginBlocksShorterThanTheirHeaderSaysAreRefused)
{
    dibtest::MessageCapture capture;
    HLOCAL info = MakeInfoHandle(64, 64, 24, {});
    HLOCAL bits = MakeBitsHandle(std::vector<uint8_t>(64 * 3 * 63)); // one row short
    CDib dib(bits, info);
    EXPECT_TRUE(dib.IsEmpty());
    ASSERT_EQ(capture.Messages().size(), 1u);
    EXPECT_EQ(capture.Messages()[0], "Invalid bitmap file");
    EXPECT_EQ(LocalFlags(info), UINT(LMEM_INVALID_HANDLE));
    EXPECT_EQ(LocalFlags(bits), UINT(LMEM_INVALID_HANDLE));
}

TEST(DibWin32, GlobalBlocksGrowKeepingTheirBytesAndZeroTheRest)
{
    fovea::CDibBlock block;
    ASSERT_TRUE(block.Allocate(10));
    memset(block.Data(), 0x5A, 10);
    ASSERT_TRUE(block.Resize(100000));
    ASSERT_GE(block.Size(), 100000u);
    for (size_t i = 0; i < 10; ++i)
        ASSERT_EQ(block.Data()[i], 0x5A);
    for (size_t i = 10; i < 100000; ++i)
        ASSERT_EQ(block.Data()[i], 0) << i;
    EXPECT_FALSE(block.Allocate(0));
}

// A 4 x 2 24-bit picture: storage row 0 (the bottom row) red, green, blue, white; row 1 grey levels.
CDib MakeSmallPicture()
{
    CDib dib;
    EXPECT_TRUE(dib.Create(4, 2, 24, 0));
    const uint32_t colours[2][4] = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, {0x101010, 0x404040, 0x808080, 0xC0C0C0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = dib.GetBits() + size_t(y) * 12 + 3 * size_t(x);
            p[0] = uint8_t(colours[y][x]);
            p[1] = uint8_t(colours[y][x] >> 8);
            p[2] = uint8_t(colours[y][x] >> 16);
        }
    return dib;
}

TEST(DibWin32, DrawPaintsOneToOneWithTheBottomRowLast)
{
    CDib dib = MakeSmallPicture();
    Canvas canvas(10, 10);
    ASSERT_TRUE(dib.Draw(canvas.dc(), 3, 5));
    EXPECT_EQ(canvas.At(3, 6), 0xFF0000u);
    EXPECT_EQ(canvas.At(4, 6), 0x00FF00u);
    EXPECT_EQ(canvas.At(5, 6), 0x0000FFu);
    EXPECT_EQ(canvas.At(6, 6), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(3, 5), 0x101010u);
    EXPECT_EQ(canvas.At(6, 5), 0xC0C0C0u);
    EXPECT_EQ(canvas.At(2, 5), 0xABCDEFu) << "nothing outside the picture";
    EXPECT_EQ(canvas.At(3, 7), 0xABCDEFu);
    EXPECT_EQ(canvas.At(3, 4), 0xABCDEFu);
}

TEST(DibWin32, DrawUsesTheColourTableOfIndexedPictures)
{
    CDib source = MakeSmallPicture();
    CDib dib;
    ASSERT_TRUE(dib.ConvertFrom(8, source));
    Canvas canvas(4, 2);
    ASSERT_TRUE(dib.Draw(canvas.dc(), 0, 0));
    EXPECT_EQ(canvas.At(0, 1), 0xFF0000u);
    EXPECT_EQ(canvas.At(3, 1), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(2, 0), 0x999999u) << "0x80 is cube level 3";
}

TEST(DibWin32, EmptyPictureDrawsNothingAndMakesNoBitmap)
{
    CDib dib;
    Canvas canvas(2, 2);
    EXPECT_FALSE(dib.Draw(canvas.dc(), 0, 0));
    int w = -1, h = -1;
    EXPECT_EQ(dib.MakeDeviceBitmap(canvas.dc(), &w, &h, nullptr, nullptr), nullptr);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(DibWin32, DeviceBitmapHoldsThePicturePixels)
{
    CDib dib = MakeSmallPicture();
    CDC screen;
    HDC hdc = GetDC(nullptr);
    screen.Attach(hdc);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    int w = 0, h = 0, planes = 0, bitsPixel = 0;
    std::unique_ptr<CBitmap> bitmap = dib.MakeDeviceBitmap(memory, &w, &h, &planes, &bitsPixel);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(planes, 1);
    EXPECT_EQ(bitsPixel, screen.GetDeviceCaps(BITSPIXEL));
    HGDIOBJ old = memory.SelectObject(*bitmap);
    if (bitsPixel >= 24) {
        EXPECT_EQ(memory.GetPixel(0, 1), RGB(255, 0, 0));
        EXPECT_EQ(memory.GetPixel(2, 1), RGB(0, 0, 255));
        EXPECT_EQ(memory.GetPixel(3, 0), RGB(0xC0, 0xC0, 0xC0));
    }
    memory.SelectObject(old);
    screen.Detach();
    ReleaseDC(nullptr, hdc);
}

TEST(DibWin32, MonochromePictureBecomesABlackAndWhiteBitmap)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(8, 1, 1, 0));
    dib.GetColorTable()[0] = {0, 0, 255, 0}; // red and green: the device bitmap ignores them
    dib.GetColorTable()[1] = {0, 255, 0, 0};
    dib.GetBits()[0] = 0xF0;
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    int planes = 0, bitsPixel = 0;
    std::unique_ptr<CBitmap> bitmap = dib.MakeDeviceBitmap(memory, nullptr, nullptr, &planes, &bitsPixel);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(planes, 1);
    EXPECT_EQ(bitsPixel, 1);
    EXPECT_EQ(dib.GetColorTable()[1].rgbRed, 255);
    HGDIOBJ old = memory.SelectObject(*bitmap);
    EXPECT_EQ(memory.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(memory.GetPixel(7, 0), RGB(0, 0, 0));
    memory.SelectObject(old);
}

TEST(DibWin32, CubePaletteIsARealLogPalette)
{
    CDib dib;
    ASSERT_TRUE(dib.MakeCubePalette());
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(fovea::AsLogPalette(dib.GetPalette())));
    EXPECT_EQ(palette.GetEntryCount(), 256u);
    PALETTEENTRY entry = {};
    ASSERT_EQ(palette.GetPaletteEntries(215, 1, &entry), 1u);
    EXPECT_EQ(entry.peRed, 255);
    EXPECT_EQ(entry.peGreen, 255);
    EXPECT_EQ(entry.peBlue, 255);
    ASSERT_EQ(palette.GetPaletteEntries(36 + 12 + 3, 1, &entry), 1u);
    EXPECT_EQ(entry.peRed, 51);
    EXPECT_EQ(entry.peGreen, 102);
    EXPECT_EQ(entry.peBlue, 153);
}

// The default message path shows a standard box with the text and only an OK button: a helper thread
// reads it and presses OK.
TEST(DibWin32, FailureMessageAppearsInAMessageBoxWithOnlyOk)
{
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe)
        GTEST_SKIP() << "no desktop to show windows on";
    DestroyWindow(probe);
    fovea::SetDibMessageSink(nullptr);
    std::atomic<bool> done{false};
    std::string seenText;
    int buttons = -1;
    bool okFound = false;
    std::thread answer([&] {
        for (int i = 0; i < 1000 && !done; ++i) {
            // The caption is the program's name when it has no title string.
            HWND box = FindWindowA("#32770", "fovea_dib_win32_test");
            if (box && IsWindowVisible(box)) {
                char text[256] = {};
                HWND label = GetDlgItem(box, 0xFFFF);
                GetWindowTextA(label, text, sizeof text);
                seenText = text;
                buttons = 0;
                for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    char cls[32] = {};
                    GetClassNameA(child, cls, sizeof cls);
                    if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child))
                        ++buttons;
                }
                okFound = GetDlgItem(box, IDOK) != nullptr;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
    fovea::ShowDibMessage(fovea::kMsgWriteError);
    done = true;
    answer.join();
    EXPECT_EQ(seenText, "Write error--possible disk full condition");
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(okFound);
    EXPECT_STREQ(fovea::LastDibMessage(), fovea::kMsgWriteError);
}

} // namespace
