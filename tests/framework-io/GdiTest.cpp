// The GDI owners: each object is deleted exactly once, borrowed handles are never deleted.
#include <gtest/gtest.h>

#include "framework/Gdi.h"

namespace {

TEST(Gdi, OwnersDeleteTheirObjectWhenTheyGo)
{
    HGDIOBJ brush, pen, font, bitmap, palette;
    {
        CBrush b;
        ASSERT_TRUE(b.CreateSolidBrush(RGB(1, 2, 3)));
        CPen p;
        ASSERT_TRUE(p.CreatePen(PS_SOLID, 1, RGB(4, 5, 6)));
        LOGFONTA lf = {};
        lf.lfHeight = 12;
        CFont f;
        ASSERT_TRUE(f.CreateFontIndirect(&lf));
        CBitmap m;
        ASSERT_TRUE(m.CreateBitmap(2, 2, 1, 1, nullptr));
        struct {
            WORD version, count;
            PALETTEENTRY entries[2];
        } lp = {0x300, 2, {{1, 2, 3, 0}, {4, 5, 6, 0}}};
        CPalette pal;
        ASSERT_TRUE(pal.CreatePalette(reinterpret_cast<const LOGPALETTE*>(&lp)));
        EXPECT_EQ(pal.GetEntryCount(), 2u);
        brush = b;
        pen = p;
        font = f;
        bitmap = m;
        palette = pal;
        EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));
        EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
        EXPECT_EQ(GetObjectType(font), DWORD(OBJ_FONT));
        EXPECT_EQ(GetObjectType(bitmap), DWORD(OBJ_BITMAP));
        EXPECT_EQ(GetObjectType(palette), DWORD(OBJ_PAL));
    }
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(palette), 0u);
}

TEST(Gdi, DetachedObjectsAndAttachedDcsStayAlive)
{
    HGDIOBJ kept;
    {
        CBrush b;
        ASSERT_TRUE(b.CreateSolidBrush(RGB(9, 9, 9)));
        kept = b.Detach();
        EXPECT_EQ(b.GetSafeHandle(), nullptr);
    }
    EXPECT_EQ(GetObjectType(kept), DWORD(OBJ_BRUSH));
    DeleteObject(kept);

    HDC borrowed = CreateCompatibleDC(nullptr);
    {
        CDC dc;
        dc.Attach(borrowed);
        EXPECT_EQ(dc.GetSafeHdc(), borrowed);
    }
    EXPECT_EQ(GetObjectType(borrowed), DWORD(OBJ_MEMDC)) << "an attached DC is the caller's";
    DeleteDC(borrowed);

    HDC owned;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        owned = dc;
        EXPECT_GT(dc.GetDeviceCaps(BITSPIXEL), 0);
    }
    EXPECT_EQ(GetObjectType(owned), 0u) << "a DC made here is deleted with its object";
}

TEST(Gdi, RecreatingReplacesAndDeletesTheOldObject)
{
    CPen pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HGDIOBJ first = pen;
    ASSERT_TRUE(pen.CreatePen(PS_DASH, 1, RGB(0, 0, 0)));
    EXPECT_NE(HGDIOBJ(pen), first);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_FALSE(pen.DeleteObject());
}

} // namespace
