// The strip pictures compiled into the program: every bitmap resource is as wide as its images times their
// width, as high as the cells it is drawn in, holds a picture in each image, and keeps its pictures where the
// drawing code leaves them visible.
#include <gtest/gtest.h>

#include <vector>

#include "app/BarGeometry.h"
#include "framework/Handles.h"
#include "framework/ImageList.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Pixels of a bitmap resource as 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> rgb;
    COLORREF At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

Pixels ReadPixels(HDC hdc, HBITMAP bitmap, int width, int height)
{
    Pixels p;
    p.width = width;
    p.height = height;
    std::vector<RGBQUAD> quads(size_t(width) * size_t(height));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (::GetDIBits(hdc, bitmap, 0, UINT(height), quads.data(), &info, DIB_RGB_COLORS) != height)
        return Pixels();
    for (const RGBQUAD& q : quads)
        p.rgb.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    return p;
}

Pixels LoadResourcePixels(UINT id)
{
    fovea::ScopedBitmap bitmap(HBITMAP(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                                    0, 0, LR_CREATEDIBSECTION)));
    BITMAP facts = {};
    if (!bitmap || !::GetObjectA(bitmap.get(), sizeof(facts), &facts))
        return Pixels();
    HDC screen = ::GetDC(nullptr);
    Pixels p = ReadPixels(screen, bitmap.get(), facts.bmWidth, facts.bmHeight);
    ::ReleaseDC(nullptr, screen);
    return p;
}

// The part of one image that shows where the program draws it.
struct Box {
    int x0, y0, x1, y1;
};

struct Strip {
    UINT id;
    int imageWidth;
    int height;
    int images;
    Box visible;
    std::vector<int> blank;  // images that are blank on purpose
};

// A button image is drawn 2 pixels below the top of a 30 x 24 cell whose 3D frame runs 2 pixels inside the
// cell: x 3..26 and y 1..18 of the image lie inside the frame.
constexpr Box kButton = {3, 1, 26, 18};
// A drive image is drawn 12 pixels right of a 40-pixel cell's left edge at the cell's top, under the same frame.
constexpr Box kDrive = {0, 3, 24, 19};

std::vector<Strip> BarStrips()
{
    std::vector<Strip> strips;
    for (int mode = 3; mode <= 13; ++mode) {
        fovea::BarStrip strip = fovea::BarStripOfMode(mode);
        strips.push_back({UINT(strip.bitmapId), 30, 20, strip.images, mode == 3 ? kDrive : kButton, {}});
    }
    return strips;
}

std::vector<Strip> AllStrips()
{
    std::vector<Strip> strips = BarStrips();
    // Folder tree: 8 item images; state 0 is "no state picture" and state 1 a folder without subfolders.
    strips.push_back({143, 16, 16, 8, {0, 0, 15, 15}, {}});
    strips.push_back({144, 16, 16, 4, {0, 0, 15, 15}, {0, 1}});
    // File list icons: images 10 and 11 are never drawn.
    strips.push_back({149, 20, 18, 12, {0, 0, 19, 17}, {10, 11}});
    return strips;
}

bool IsBlankOnPurpose(const Strip& strip, int image)
{
    for (int b : strip.blank)
        if (b == image)
            return true;
    return false;
}

int OpaquePixels(const Pixels& p, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            n += p.At(x, y) != kWhite;
    return n;
}

}  // namespace

// A strip one image short or one too long shifts every later button onto the wrong picture, and a height
// other than the cell's leaves pictures cut or floating.
TEST(StripResources, SizeOfEveryStrip)
{
    for (const Strip& strip : AllStrips()) {
        Pixels p = LoadResourcePixels(strip.id);
        ASSERT_FALSE(p.rgb.empty()) << "bitmap " << strip.id << " is missing";
        EXPECT_EQ(strip.images * strip.imageWidth, p.width) << strip.id;
        EXPECT_EQ(strip.height, p.height) << strip.id;
    }
    EXPECT_EQ(240, LoadResourcePixels(149).width);
    EXPECT_EQ(18, LoadResourcePixels(149).height);
}

// The windows cut their strips through the image list exactly as here; the count must be the mode's buttons.
TEST(StripResources, ImageListsCutTheButtonsOfEachMode)
{
    for (int mode = 3; mode <= 13; ++mode) {
        fovea::BarStrip strip = fovea::BarStripOfMode(mode);
        CImageList list;
        ASSERT_TRUE(list.LoadStrip(UINT(strip.bitmapId), 30, kWhite)) << strip.bitmapId;
        EXPECT_EQ(strip.images, list.GetImageCount()) << "mode " << mode;
    }
    const struct {
        UINT id;
        int width;
        int images;
    } others[] = {{143, 16, 8}, {144, 16, 4}, {149, 20, 12}};
    for (const auto& other : others) {
        CImageList list;
        ASSERT_TRUE(list.LoadStrip(other.id, other.width, kWhite)) << other.id;
        EXPECT_EQ(other.images, list.GetImageCount()) << other.id;
    }
}

// Every button shows a picture; a blank image means a picture was lost or a strip was shifted.
TEST(StripResources, EveryImageHasAPictureUnlessBlankOnPurpose)
{
    for (const Strip& strip : AllStrips()) {
        Pixels p = LoadResourcePixels(strip.id);
        ASSERT_EQ(strip.images * strip.imageWidth, p.width) << strip.id;
        for (int i = 0; i < strip.images; ++i) {
            int x0 = i * strip.imageWidth;
            int opaque = OpaquePixels(p, x0, 0, x0 + strip.imageWidth - 1, p.height - 1);
            if (IsBlankOnPurpose(strip, i))
                EXPECT_EQ(0, opaque) << strip.id << " image " << i << " should be blank";
            else
                EXPECT_GT(opaque, 20) << strip.id << " image " << i << " is (nearly) blank";
        }
    }
}

// Pixels under the button frame or outside the cell never show: a picture drawn there is cut.
TEST(StripResources, PicturesStayWhereTheyAreVisible)
{
    std::vector<Strip> strips = AllStrips();
    // The file list icons: a small one is drawn 2 pixels up and left of its 14 x 14 rectangle, a large one at
    // its rectangle's corner inside a one-pixel frame.
    for (Strip& strip : strips)
        if (strip.id == 149)
            strip.visible = {2, 2, 15, 15};
    for (const Strip& strip : strips) {
        Pixels p = LoadResourcePixels(strip.id);
        ASSERT_EQ(strip.images * strip.imageWidth, p.width) << strip.id;
        for (int i = 0; i < strip.images; ++i) {
            Box box = strip.visible;
            if (strip.id == 149 && i >= 5)
                box = {1, 1, 16, 16};
            int x0 = i * strip.imageWidth;
            int all = OpaquePixels(p, x0, 0, x0 + strip.imageWidth - 1, p.height - 1);
            int inside = OpaquePixels(p, x0 + box.x0, box.y0, x0 + box.x1, box.y1);
            EXPECT_EQ(all, inside) << strip.id << " image " << i << ": " << all - inside << " pixels are hidden";
        }
    }
}

// White is the mask: drawn through the image list, exactly the white pixels let the background through and
// every other pixel (the near-white paper of pages and labels too) covers it.
TEST(StripResources, OnlyWhiteIsTransparent)
{
    constexpr COLORREF kBackground = RGB(1, 2, 3);
    HDC screen = ::GetDC(nullptr);
    fovea::ScopedMemDC memory(::CreateCompatibleDC(screen));
    for (const Strip& strip : AllStrips()) {
        Pixels source = LoadResourcePixels(strip.id);
        ASSERT_FALSE(source.rgb.empty()) << strip.id;
        CImageList list;
        ASSERT_TRUE(list.LoadStrip(strip.id, strip.imageWidth, kWhite)) << strip.id;
        fovea::ScopedBitmap canvas(::CreateCompatibleBitmap(screen, source.width, source.height));
        {
            fovea::SelectObjectScope keep(memory.get(), canvas.get());
            RECT all = {0, 0, source.width, source.height};
            fovea::ScopedBrush brush(::CreateSolidBrush(kBackground));
            ::FillRect(memory.get(), &all, brush.get());
            for (int i = 0; i < strip.images; ++i)
                ASSERT_TRUE(list.Draw(memory.get(), i, i * strip.imageWidth, 0)) << strip.id;
        }
        Pixels drawn = ReadPixels(memory.get(), canvas.get(), source.width, source.height);
        ASSERT_EQ(source.rgb.size(), drawn.rgb.size()) << strip.id;
        int wrong = 0;
        size_t first = 0;
        for (size_t k = 0; k < source.rgb.size(); ++k) {
            if ((source.rgb[k] == kWhite) != (drawn.rgb[k] == kBackground) && wrong++ == 0)
                first = k;
        }
        EXPECT_EQ(0, wrong) << strip.id << ", first at x " << first % size_t(source.width) << " y "
                            << first / size_t(source.width);
    }
    ::ReleaseDC(nullptr, screen);
}
