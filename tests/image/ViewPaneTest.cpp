// The view pane's pictures under Wine: opening by extension, each transform against its definition, scroll
// sizes, painting, the palette display's reduction, saving (always .BMP bytes under a .BMP name) and refusals
// that leave the pane or the old file as they were.
#include "tests/image/ViewPaneFixture.h"

#include <functional>

#include "fileops/FileOps.h"
#include "tests/image/DibTestUtil.h"

using namespace test_support;
using dibtest::PixelAt;

namespace {

// Pixel (x, y) as seen on the screen: y counts down from the top row.
uint32_t Seen(const CDib& dib, int x, int y)
{
    return PixelAt(dib, x, dib.GetHeight() - 1 - y);
}

CString SourceData(const char* name)
{
    CString dir = CString("Z:") + FOVEA_SOURCE_DIR + "/tests/data/" + name;
    for (int i = 0; i < dir.GetLength(); ++i)
        if (dir.GetAt(i) == '/')
            dir.SetAt(i, '\\');
    return dir;
}

class ViewPane : public viewtest::ViewPaneFixture {
protected:
    // A 24-bit picture whose every pixel differs, written as a .BMP file.
    CString MakeBmp(const char* name, int width, int height, int bits = 24)
    {
        CDib dib;
        EXPECT_TRUE(dib.Create(width, height, bits, bits == 8 ? 1 : 0));
        dibtest::FillPattern(dib, uint32_t(width * 31 + height));
        CString path = m_scratch / name;
        EXPECT_TRUE(dib.SaveFile(path));
        return path;
    }
    const CDib& Shown() { return *m_pane.GetPicture(); }
    dibtest::MessageCapture m_messages;
};

TEST_F(ViewPane, EachTransformMatchesItsDefinition)
{
    m_pane.OpenFile(MakeBmp("shape.bmp", 5, 3));
    ASSERT_NE(nullptr, m_pane.GetPicture());
    CDib original;
    ASSERT_TRUE(original.ScaleFrom(Shown(), 5, 3));
    const int w = 5, h = 3;
    struct Case {
        int button;
        int width, height;
        std::function<uint32_t(int x, int y)> expected;
    };
    const Case cases[] = {
        {2, h, w, [&](int x, int y) { return Seen(original, w - 1 - y, x); }}, // anticlockwise
        {3, h, w, [&](int x, int y) { return Seen(original, y, h - 1 - x); }}, // clockwise
        {4, w, h, [&](int x, int y) { return Seen(original, w - 1 - x, y); }}, // mirror left-right
        {5, w, h, [&](int x, int y) { return Seen(original, x, h - 1 - y); }}, // upside down
        // Scaling picks the nearest pixel i * size / new size, rows counted in storage order (from the bottom).
        {6, 2 * w, 2 * h, [&](int x, int y) { return PixelAt(original, x / 2, (2 * h - 1 - y) / 2); }},
        {7, w / 2, h / 2,
         [&](int x, int y) { return PixelAt(original, x * w / (w / 2), (h / 2 - 1 - y) * h / (h / 2)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        m_pane.OpenFile(m_scratch / "shape.bmp");
        Press(m_pane.m_wndPicBar, c.button);
        ASSERT_EQ(c.width, Shown().GetWidth());
        ASSERT_EQ(c.height, Shown().GetHeight());
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(c.expected(x, y), Seen(Shown(), x, y)) << x << "," << y;
        EXPECT_EQ(m_pane.m_wndPicView.m_hWnd, GetFocus());
    }
}

TEST_F(ViewPane, ScaleAndTurnSizesWithTheirScrollSizes)
{
    m_pane.OpenFile(MakeBmp("big.bmp", 400, 300));
    EXPECT_EQ(400, m_pane.m_wndPicView.GetTotalSize().cx);
    EXPECT_EQ(330, m_pane.m_wndPicView.GetTotalSize().cy);
    Press(m_pane.m_wndPicBar, 6);
    EXPECT_EQ(800, Shown().GetWidth());
    EXPECT_EQ(600, Shown().GetHeight());
    EXPECT_EQ(800, m_pane.m_wndPicView.GetTotalSize().cx);
    EXPECT_EQ(630, m_pane.m_wndPicView.GetTotalSize().cy);

    m_pane.OpenFile(MakeBmp("odd.bmp", 401, 301));
    Press(m_pane.m_wndPicBar, 7);
    EXPECT_EQ(200, Shown().GetWidth());
    EXPECT_EQ(150, Shown().GetHeight());

    // Clockwise, the right edge is the former top edge.
    m_pane.OpenFile(m_scratch / "big.bmp");
    CDib before;
    ASSERT_TRUE(before.ScaleFrom(Shown(), 400, 300));
    Press(m_pane.m_wndPicBar, 3);
    ASSERT_EQ(300, Shown().GetWidth());
    ASSERT_EQ(400, Shown().GetHeight());
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(Seen(before, i, 0), Seen(Shown(), 299, i)) << i;
}

TEST_F(ViewPane, PaintsThePictureOneToOneWhereverItIsScrolled)
{
    m_pane.OpenFile(MakeBmp("paint.bmp", 300, 200));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 300, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    fovea::ScopedBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fovea::ScopedMemDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(target && dc);
    fovea::SelectObjectScope keep(dc.get(), target.get());
    // Only a band near the bottom is asked for, as a partial repaint asks.
    IntersectClipRect(dc.get(), 10, 150, 290, 200);
    CPicView::DrawPicture(dc.get(), Shown(), true);
    GdiFlush();
    auto screen = [&](int x, int y) { return static_cast<uint32_t*>(bits)[y * 300 + x] & 0xFFFFFF; };
    for (POINT p : {POINT{10, 150}, POINT{289, 199}, POINT{100, 170}})
        EXPECT_EQ(Seen(Shown(), p.x, p.y), screen(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(0u, screen(5, 5)); // outside the clip nothing is drawn
}

TEST_F(ViewPane, APaletteDisplayGetsDeepPicturesReduced)
{
    m_pane.m_nDisplayBits = 8;
    m_pane.OpenFile(MakeBmp("deep.bmp", 40, 30, 24));
    EXPECT_EQ(8, Shown().GetBitCount());
    EXPECT_NE(nullptr, Shown().GetPalette());
    EXPECT_EQ(8, m_app->m_nSampleBits);
    m_pane.OpenFile(MakeBmp("indexed.bmp", 40, 30, 8));
    CDib file;
    ASSERT_TRUE(file.LoadFile(m_scratch / "indexed.bmp"));
    ASSERT_EQ(8, Shown().GetBitCount());
    EXPECT_EQ(0, memcmp(file.GetBits(), Shown().GetBits(), CDib::RowBytes(40, 8) * 30));

    m_pane.m_nDisplayBits = 0; // the test display is deeper than 8 bits
    m_pane.OpenFile(m_scratch / "deep.bmp");
    EXPECT_EQ(24, Shown().GetBitCount());
    EXPECT_EQ(24, m_app->m_nSampleBits);
}

TEST_F(ViewPane, AJpegIsSavedAsBmpUnderABmpName)
{
    LoadPlugins();
    CString jpeg = m_scratch / "photo.jpg";
    ASSERT_TRUE(CopyFileA(SourceData("jpeg/sample.jpg"), jpeg, FALSE));
    const std::string jpegBytes = ReadText(jpeg);
    m_pane.OpenFile(jpeg);
    ASSERT_NE(nullptr, m_pane.GetPicture());
    EXPECT_EQ(CString("JPG"), m_pane.m_strPictureExt);
    Press(m_pane.m_wndPicBar, 3);
    Press(m_pane.m_wndPicBar, 7);

    // Cancelled: nothing written.
    Press(m_pane.m_wndPicBar, 0);
    EXPECT_EQ(1, viewtest::SaveAsAnswer::s_nAsked);
    EXPECT_EQ(m_scratch / "photo.BMP", viewtest::SaveAsAnswer::s_strProposed);
    EXPECT_EQ(std::vector<std::string>{"photo.jpg"}, Names(m_scratch.Path()));

    viewtest::SaveAsAnswer::Reset(m_scratch / "photo.BMP");
    Press(m_pane.m_wndPicBar, 0);
    EXPECT_EQ(1, viewtest::SaveAsAnswer::s_nAsked);
    EXPECT_EQ(jpegBytes, ReadText(jpeg));
    CDib saved;
    ASSERT_TRUE(saved.LoadFile(m_scratch / "photo.BMP"));
    EXPECT_EQ(Shown().GetWidth(), saved.GetWidth());
    EXPECT_EQ(Shown().GetHeight(), saved.GetHeight());
    EXPECT_EQ(0, memcmp(saved.GetBits(), Shown().GetBits(), saved.GetSize() - 54));

    // From now on the picture is that .BMP file: button 0 saves over it without asking.
    EXPECT_EQ(m_scratch / "photo.BMP", m_pane.m_strPicturePath);
    Press(m_pane.m_wndPicBar, 5);
    viewtest::SaveAsAnswer::Reset(CString());
    Press(m_pane.m_wndPicBar, 0);
    EXPECT_EQ(0, viewtest::SaveAsAnswer::s_nAsked);
    ASSERT_TRUE(saved.LoadFile(m_scratch / "photo.BMP"));
    EXPECT_EQ(Seen(Shown(), 0, 0), Seen(saved, 0, 0));

    // A name typed with another extension still gets .BMP bytes only under a .BMP name.
    viewtest::SaveAsAnswer::Reset(m_scratch / "copy.gif");
    Press(m_pane.m_wndPicBar, 1);
    EXPECT_TRUE(Exists(m_scratch / "copy.gif.BMP"));
    EXPECT_FALSE(Exists(m_scratch / "copy.gif"));

    // The name written exists now: the question is asked about it, and キャンセル writes nothing.
    ASSERT_TRUE(WriteText(m_scratch / "copy.gif.BMP", "kept"));
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer);
        viewtest::SaveAsAnswer::Reset(m_scratch / "copy.gif");
        DialogAnswerer answerer({answer});
        EXPECT_EQ(answer == IDOK, m_pane.SavePicture(1));
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ("copy.gif.BMP", answerer.Lines(0)[2]);
        EXPECT_EQ(answer == IDOK, ReadText(m_scratch / "copy.gif.BMP") != "kept");
    }
}

TEST_F(ViewPane, RefusedPicturesAndSavesLeaveWhatWasThere)
{
    m_pane.OpenFile(MakeBmp("kept.bmp", 20, 10));
    const CDib* kept = m_pane.GetPicture();

    // A header that claims more than a 32-bit process can hold: the bitmap code's message, the pane unchanged.
    dibtest::BmpSpec hostile;
    hostile.width = 60000;
    hostile.height = 60000;
    hostile.bitCount = 24;
    hostile.truncateTo = 200;
    std::vector<uint8_t> bytes = dibtest::BuildBmp(hostile);
    ASSERT_TRUE(WriteText(m_scratch / "hostile.bmp", std::string(bytes.begin(), bytes.end())));
    m_pane.OpenFile(m_scratch / "hostile.bmp");
    EXPECT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(kept, m_pane.GetPicture());
    EXPECT_EQ(m_scratch / "kept.bmp", m_pane.m_strPicturePath);
    // Files the pane does not show leave it as it is: no plug-in serves them.
    LoadPlugins();
    ASSERT_TRUE(WriteText(m_scratch / "x.pcd", "PCD_IPI"));
    m_pane.OpenFile(m_scratch / "x.pcd");
    EXPECT_EQ(kept, m_pane.GetPicture());

    // Saving over a read-only file: a message, the file as it was, nothing left beside it.
    const std::string before = ReadText(m_scratch / "kept.bmp");
    Press(m_pane.m_wndPicBar, 4);
    ASSERT_TRUE(SetFileAttributesA(m_scratch / "kept.bmp", FILE_ATTRIBUTE_READONLY));
    {
        DialogAnswerer answerer({IDOK});
        EXPECT_FALSE(m_pane.SavePicture(0));
        EXPECT_EQ(1u, answerer.Count());
    }
    SetFileAttributesA(m_scratch / "kept.bmp", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadText(m_scratch / "kept.bmp"));
    EXPECT_EQ((std::vector<std::string>{"hostile.bmp", "kept.bmp", "x.pcd"}), Names(m_scratch.Path()));
}

TEST_F(ViewPane, ASaveThatFillsTheDiskLeavesTheOldFile)
{
    if (GetDriveTypeA("S:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no small drive S: on this machine";
    const CString old = "S:\\fovea-viewpane-old.bmp";
    const CString filler = "S:\\fovea-viewpane-filler";
    DeleteFileA(old);
    DeleteFileA(filler);
    CDib small;
    ASSERT_TRUE(small.Create(8, 8, 24, 0));
    ASSERT_TRUE(small.SaveFile(old));
    const std::string before = ReadText(old);
    // The rest of the drive taken, but for less than the new picture needs.
    ULARGE_INTEGER freeBytes = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA("S:\\", &freeBytes, nullptr, nullptr));
    if (freeBytes.QuadPart > (16u << 20)) {
        DeleteFileA(old);
        GTEST_SKIP() << "S: is not the small drive on this machine";
    }
    ASSERT_TRUE(
        WriteText(filler, std::string(size_t(freeBytes.QuadPart > 65536 ? freeBytes.QuadPart - 65536 : 0), 'f')));
    m_pane.OpenFile(MakeBmp("large.bmp", 200, 200));
    viewtest::SaveAsAnswer::Reset(old);
    {
        DialogAnswerer answerer({IDOK, IDOK});
        EXPECT_FALSE(m_pane.SavePicture(1));
    }
    EXPECT_FALSE(m_messages.Messages().empty());
    EXPECT_EQ(before, ReadText(old));
    WIN32_FIND_DATAA found;
    int entries = 0;
    std::string names;
    fovea::ScopedFind find(FindFirstFileA("S:\\*", &found));
    if (find)
        do {
            ++entries;
            names += std::string(" ") + found.cFileName;
        } while (FindNextFileA(find.get(), &found));
    DeleteFileA(old);
    DeleteFileA(filler);
    EXPECT_EQ(2, entries) << names; // the old picture and the filler: no temporary file left
}

} // namespace
