// CDib layout, palettes and pixel work: sizes, the colour cube, sampling, quantisation, turns, flips, strips.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>

#include "tests/image/DibTestUtil.h"

using dibtest::FillPattern;
using dibtest::PixelAt;

namespace {

TEST(DibLayout, RowBytesRoundsWidthTimesBitsUpToFourBytes)
{
    struct Case {
        int width, bits;
        uint32_t bytes;
    } cases[] = {
        {100, 24, 300}, {101, 24, 304}, {3, 8, 4}, {4, 8, 4},  {5, 8, 8},  {1, 1, 4},  {32, 1, 4},
        {33, 1, 8},     {7, 4, 4},      {9, 4, 8}, {0, 24, 0}, {10, 0, 0}, {3, 16, 8}, {1, 32, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CDib::RowBytes(c.width, c.bits), c.bytes) << c.width << " x " << c.bits;
}

TEST(DibLayout, ColorCountIsTheFullTableForIndexedDepthsOnly)
{
    EXPECT_EQ(CDib::ColorCount(1), 2);
    EXPECT_EQ(CDib::ColorCount(4), 16);
    EXPECT_EQ(CDib::ColorCount(8), 256);
    EXPECT_EQ(CDib::ColorCount(16), 0);
    EXPECT_EQ(CDib::ColorCount(24), 0);
    EXPECT_EQ(CDib::ColorCount(2), 0);
}

TEST(DibLayout, CreateWritesTheFileHeadersOfTheSingleBlock)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(101, 7, 8, 1));
    const uint8_t* b = dib.GetBlock();
    uint32_t expectedSize = 104 * 7 + 4 * 256 + 54;
    EXPECT_EQ(dib.GetSize(), expectedSize);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(dibtest::Get32(b + 2), expectedSize);
    EXPECT_EQ(dibtest::Get32(b + 6), 0u); // both reserved words
    EXPECT_EQ(dibtest::Get32(b + 10), 54u + 1024u);
    EXPECT_EQ(dibtest::Get32(b + 14), 40u);
    EXPECT_EQ(dibtest::Get32(b + 18), 101u);
    EXPECT_EQ(dibtest::Get32(b + 22), 7u);
    EXPECT_EQ(b[26] | (b[27] << 8), 1);
    EXPECT_EQ(b[28] | (b[29] << 8), 8);
    for (int at = 30; at < 54; at += 4)
        EXPECT_EQ(dibtest::Get32(b + at), 0u) << "offset " << at;
    EXPECT_EQ(dib.GetBits(), b + 54 + 1024);
    // Palette mode 1 with 8 bits: the cube is in the colour table too (blue, green, red, 0).
    const uint8_t* entry = b + 54 + 4 * 215;
    EXPECT_EQ(entry[0], 255);
    EXPECT_EQ(entry[1], 255);
    EXPECT_EQ(entry[2], 255);
    EXPECT_EQ(entry[3], 0);
    for (size_t i = 0; i < 104 * 7; ++i)
        ASSERT_EQ(dib.GetBits()[i], 0) << "pixels start zeroed";
}

TEST(DibLayout, TwentyFourBitsHaveNoTableAndNoPalette)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(100, 2, 24, 1));
    EXPECT_EQ(dib.GetSize(), 300u * 2 + 54);
    EXPECT_EQ(dib.GetBits(), dib.GetBlock() + 54);
    EXPECT_EQ(dib.GetPalette(), nullptr);
}

TEST(DibLayout, StripFrameTwoStartsAtStorageRow120)
{
    CDib strip;
    ASSERT_TRUE(strip.CreateStrip(8, 3, 80, 60));
    EXPECT_EQ(strip.GetWidth(), 80);
    EXPECT_EQ(strip.GetHeight(), 180);
    EXPECT_EQ(strip.GetFrames(), 3);
    CDib frame;
    ASSERT_TRUE(frame.CreateStrip(8, 1, 80, 60));
    FillPattern(frame, 9);
    ASSERT_TRUE(strip.CopyFrame(frame, 0, 2));
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(PixelAt(strip, x, y), y >= 120 ? PixelAt(frame, x, y - 120) : 0u) << x << "," << y;
}

TEST(DibLayout, CopyFrameRefusesFramesOutsideEitherStrip)
{
    CDib strip, source;
    ASSERT_TRUE(strip.CreateStrip(24, 2, 10, 4));
    ASSERT_TRUE(source.CreateStrip(24, 1, 10, 4));
    EXPECT_FALSE(strip.CopyFrame(source, 1, 0)); // the source has one frame
    EXPECT_FALSE(strip.CopyFrame(source, 0, 2)); // the target has two
    EXPECT_FALSE(strip.CopyFrame(source, -1, 0));
    CDib other;
    ASSERT_TRUE(other.CreateStrip(8, 1, 10, 4));
    EXPECT_FALSE(strip.CopyFrame(other, 0, 0)); // depths differ
    EXPECT_TRUE(strip.CopyFrame(source, 0, 1));
}

TEST(DibPalette, CubeEntriesAreFiftyOneStepsAndTheRestBlack)
{
    CDib dib;
    ASSERT_TRUE(dib.MakeCubePalette());
    const fovea::DibLogPalette* p = dib.GetPalette();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->palVersion, 0x300);
    EXPECT_EQ(p->palNumEntries, 256);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) {
                const fovea::DibPaletteEntry& e = p->Entries()[36 * r + 6 * g + b];
                ASSERT_EQ(e.peRed, 51 * r);
                ASSERT_EQ(e.peGreen, 51 * g);
                ASSERT_EQ(e.peBlue, 51 * b);
                ASSERT_EQ(e.peFlags, 0);
            }
    for (int i = 216; i < 256; ++i)
        EXPECT_EQ(dibtest::Get32(reinterpret_cast<const uint8_t*>(&p->Entries()[i])), 0u) << i;
}

// A 24-bit picture of one row whose pixel x has the given colour.
CDib Row24(const std::vector<std::array<uint8_t, 3>>& rgb)
{
    CDib dib;
    EXPECT_TRUE(dib.Create(int(rgb.size()), 1, 24, 0));
    for (size_t x = 0; x < rgb.size(); ++x) {
        dib.GetBits()[3 * x] = rgb[x][2];
        dib.GetBits()[3 * x + 1] = rgb[x][1];
        dib.GetBits()[3 * x + 2] = rgb[x][0];
    }
    return dib;
}

TEST(DibConvert, ChannelLevelsAndCubeIndices)
{
    struct Case {
        uint8_t r, g, b;
        uint32_t index;
    } cases[] = {
        {0, 0, 0, 0},
        {0, 0, 1, 1},
        {0, 0, 51, 1},
        {0, 0, 52, 2},
        {0, 0, 204, 4},
        {0, 0, 205, 5},
        {0, 0, 255, 5},
        {255, 255, 255, 215},
        {255, 0, 0, 180},
        {0, 255, 0, 30},
        {1, 51, 102, 36 + 6 + 2},
        {153, 154, 204, 36 * 3 + 6 * 4 + 4},
    };
    std::vector<std::array<uint8_t, 3>> rgb;
    for (const Case& c : cases)
        rgb.push_back({c.r, c.g, c.b});
    CDib source = Row24(rgb);
    CDib target;
    ASSERT_TRUE(target.ConvertFrom(8, source));
    ASSERT_EQ(target.GetWidth(), int(rgb.size()));
    for (size_t i = 0; i < rgb.size(); ++i)
        EXPECT_EQ(PixelAt(target, int(i), 0), cases[i].index)
            << int(cases[i].r) << "," << int(cases[i].g) << "," << int(cases[i].b);
    ASSERT_NE(target.GetPalette(), nullptr);
    EXPECT_EQ(target.GetPalette()->Entries()[180].peRed, 255);
}

TEST(DibConvert, ShrinkingSamplesColumnEightXAndRowEightY)
{
    CDib source;
    ASSERT_TRUE(source.Create(640, 480, 24, 0));
    // Each pixel records its own coordinates.
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* p = source.GetBits() + size_t(y) * 1920 + 3 * size_t(x);
            p[0] = uint8_t(x);
            p[1] = uint8_t(x >> 8);
            p[2] = uint8_t(y);
        }
    CDib target;
    ASSERT_TRUE(target.ConvertFrom(24, source, 80, 60));
    ASSERT_EQ(target.GetWidth(), 80);
    ASSERT_EQ(target.GetHeight(), 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(PixelAt(target, x, y), PixelAt(source, 8 * x, 8 * y)) << x << "," << y;
}

TEST(DibConvert, IndexedSourcesReadTheirPaletteAtEveryDepth)
{
    for (int bits : {1, 4, 8}) {
        CDib source;
        ASSERT_TRUE(source.Create(13, 5, bits, 0));
        FillPattern(source, uint32_t(bits));
        // A palette whose colours name the index: red = 17 * index.
        CDib paletteHolder;
        ASSERT_TRUE(paletteHolder.Create(1, 1, 8, 0));
        for (int i = 0; i < CDib::ColorCount(bits); ++i)
            source.GetColorTable()[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(17 * i % 256), 0};
        ASSERT_TRUE(source.ColorTableToPalette());
        CDib target;
        ASSERT_TRUE(target.ConvertFrom(24, source));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) {
                uint32_t index = PixelAt(source, x, y);
                uint32_t expected = index | ((255 - index) << 8) | ((17 * index % 256) << 16);
                ASSERT_EQ(PixelAt(target, x, y), expected) << bits << " bits at " << x << "," << y;
            }
    }
}

TEST(DibConvert, SixteenBitSourceLeavesTheTargetEmpty)
{
    CDib source;
    ASSERT_TRUE(source.Create(4, 4, 16, 0));
    CDib target;
    EXPECT_FALSE(target.ConvertFrom(8, source, 2, 2));
    EXPECT_TRUE(target.IsEmpty());
    EXPECT_EQ(target.GetBitCount(), 0);
}

TEST(DibConvert, OtherTargetDepthsAreCreatedButLeftZero)
{
    CDib source = Row24({{255, 255, 255}, {255, 0, 0}});
    CDib target;
    EXPECT_TRUE(target.ConvertFrom(4, source));
    EXPECT_EQ(target.GetBitCount(), 4);
    EXPECT_EQ(target.GetWidth(), 2);
    EXPECT_EQ(target.GetBits()[0], 0);
}

TEST(DibConvert, ConvertingIntoItselfUsesTheOldPicture)
{
    CDib dib = Row24({{255, 0, 0}, {0, 0, 255}});
    ASSERT_TRUE(dib.ConvertFrom(8, dib));
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(PixelAt(dib, 0, 0), 180u);
    EXPECT_EQ(PixelAt(dib, 1, 0), 5u);
}

// The cell of a colour as the quantiser defines it, computed bit by bit.
int Cell(int r, int g, int b)
{
    int R = r >> 4, G = g >> 4, B = b >> 4, cell = 0;
    for (int bit = 3; bit >= 0; --bit)
        cell = (cell << 3) | (((R >> bit) & 1) << 2) | (((G >> bit) & 1) << 1) | ((B >> bit) & 1);
    return cell;
}

TEST(DibQuantize, FewColoursStillGiveAFullPaletteAndExactPixels)
{
    // Three colours, 300:200:100 in the sampled pixels.
    CDib source;
    ASSERT_TRUE(source.Create(30, 100, 24, 0));
    const uint8_t colours[3][3] = {{0xF0, 0x10, 0x20}, {0x30, 0xC0, 0x50}, {0x70, 0x80, 0xA0}};
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 30; ++x) {
            int c = x < 15 ? 0 : x < 25 ? 1 : 2;
            uint8_t* p = source.GetBits() + size_t(y) * 92 + 3 * size_t(x);
            p[0] = colours[c][2];
            p[1] = colours[c][1];
            p[2] = colours[c][0];
        }
    CDib target;
    ASSERT_TRUE(target.QuantizeFrom(source));
    ASSERT_EQ(target.GetBitCount(), 8);
    const fovea::DibLogPalette* palette = target.GetPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->palNumEntries, 256);
    // Most frequent first; the colours are multiples of 16 so they come back exactly.
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(palette->Entries()[c].peRed, colours[c][0]) << c;
        EXPECT_EQ(palette->Entries()[c].peGreen, colours[c][1]) << c;
        EXPECT_EQ(palette->Entries()[c].peBlue, colours[c][2]) << c;
    }
    // The zero-count cells that fill the rest are all different cells: 256 distinct entries.
    std::set<uint32_t> distinct;
    for (int j = 0; j < 256; ++j)
        distinct.insert(dibtest::Get32(reinterpret_cast<const uint8_t*>(&palette->Entries()[j])));
    EXPECT_EQ(distinct.size(), 256u);
    // Equal counts keep cell order: entry 3 is the lowest zero-count cell, cell 0 (black).
    EXPECT_EQ(dibtest::Get32(reinterpret_cast<const uint8_t*>(&palette->Entries()[3])), 0u);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(PixelAt(target, x, y), uint32_t(x < 15 ? 0 : x < 25 ? 1 : 2)) << x << "," << y;
    // The colour table carries the palette.
    EXPECT_EQ(target.GetColorTable()[0].rgbRed, 0xF0);
}

TEST(DibQuantize, HistogramSeesOnlyEveryFifthColumnOfEveryFifthRow)
{
    // Colour A everywhere except the sampled pixels, which are colour B: B must win entry 0.
    CDib source;
    ASSERT_TRUE(source.Create(11, 11, 24, 0));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            bool sampled = x % 5 == 0 && y % 5 == 0;
            uint8_t* p = source.GetBits() + size_t(y) * 36 + 3 * size_t(x);
            p[0] = sampled ? 0x00 : 0xF0;
            p[1] = sampled ? 0x00 : 0xF0;
            p[2] = sampled ? 0xE0 : 0x10;
        }
    CDib target;
    ASSERT_TRUE(target.QuantizeFrom(source));
    EXPECT_EQ(target.GetPalette()->Entries()[0].peRed, 0xE0);
    EXPECT_EQ(PixelAt(target, 0, 0), 0u);
    EXPECT_EQ(PixelAt(target, 5, 10), 0u);
}

TEST(DibQuantize, UnassignedCellsTakeTheNextAssignedCellAndTheTailTheLast)
{
    // 256 colours with blue 0, one sampled pixel each: exactly the cells whose blue bits are 0 are assigned.
    const int side = 5 * 16;
    CDib source;
    ASSERT_TRUE(source.Create(side, side, 24, 0));
    const uint32_t stride = CDib::RowBytes(side, 24);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t* p = source.GetBits() + size_t(y) * stride + 3 * size_t(x);
            p[2] = uint8_t((x / 5) * 16);
            p[1] = uint8_t((y / 5) * 16);
            p[0] = 0;
        }
    // Unsampled pixels: white is cell 4095, past the last assigned cell (red 240, green 240);
    // blue 16 alone is cell 1, whose next assigned cell is cell 2 (green 16).
    uint8_t* white = source.GetBits() + 3;
    white[0] = white[1] = white[2] = 0xFF;
    uint8_t* blue = source.GetBits() + 6;
    blue[0] = 0x10;
    blue[1] = blue[2] = 0;
    CDib target;
    ASSERT_TRUE(target.QuantizeFrom(source));
    auto entryOf = [&](int r, int g, int b) {
        for (int j = 0; j < 256; ++j) {
            const fovea::DibPaletteEntry& e = target.GetPalette()->Entries()[j];
            if (e.peRed == r && e.peGreen == g && e.peBlue == b)
                return j;
        }
        return -1;
    };
    for (int c = 0; c < 256; ++c)
        ASSERT_GE(entryOf((c & 15) * 16, (c >> 4) * 16, 0), 0) << "colour " << c << " is in the palette";
    EXPECT_EQ(Cell(0, 0, 16), 1);
    EXPECT_EQ(Cell(0, 16, 0), 2);
    EXPECT_EQ(int(PixelAt(target, 1, 0)), entryOf(240, 240, 0));
    EXPECT_EQ(int(PixelAt(target, 2, 0)), entryOf(0, 16, 0));
    EXPECT_EQ(int(PixelAt(target, 0, 0)), entryOf(0, 0, 0));
}

TEST(DibQuantize, OnlyTwentyFourBitSourcesAreQuantised)
{
    CDib source;
    ASSERT_TRUE(source.Create(4, 4, 8, 1));
    CDib target;
    EXPECT_FALSE(target.QuantizeFrom(source));
    EXPECT_TRUE(target.IsEmpty());
}

// Expected source coordinates of target pixel (x, y) for each transform, w x h being the source's size.
struct Transform {
    const char* name;
    int kind; // 0 rotate, 1 flip
    int direction;
    void Source(int x, int y, int w, int h, int& sx, int& sy) const
    {
        if (kind == 0 && direction == 1) {
            sx = w - 1 - y;
            sy = x;
        } else if (kind == 0) {
            sx = y;
            sy = h - 1 - x;
        } else if (direction == 1) {
            sx = x;
            sy = h - 1 - y;
        } else {
            sx = w - 1 - x;
            sy = y;
        }
    }
};

TEST(DibTransform, TurnsAndFlipsMatchTheirDefinitionAtEveryDepthAndSize)
{
    const Transform transforms[] = {
        {"clockwise", 0, 1}, {"anticlockwise", 0, 0}, {"upside down", 1, 1}, {"left-right", 1, 0}};
    // Sizes cross the 8-pixel runs and 512-row bands of the turns and the byte and word boundaries of packed rows.
    const int sizes[][2] = {{1, 1}, {3, 2}, {7, 9}, {64, 64}, {65, 130}, {129, 3}, {521, 17}};
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (const auto& size : sizes)
            for (const Transform& t : transforms) {
                CDib source;
                ASSERT_TRUE(source.Create(size[0], size[1], bits, bits == 8 ? 1 : 0));
                FillPattern(source, uint32_t(size[0] * 31 + bits));
                CDib target;
                bool ok = t.kind == 0 ? target.RotateFrom(source, t.direction) : target.FlipFrom(source, t.direction);
                ASSERT_TRUE(ok) << t.name;
                int w = size[0], h = size[1];
                ASSERT_EQ(target.GetWidth(), t.kind == 0 ? h : w);
                ASSERT_EQ(target.GetHeight(), t.kind == 0 ? w : h);
                ASSERT_EQ(target.GetBitCount(), bits);
                for (int y = 0; y < target.GetHeight(); ++y)
                    for (int x = 0; x < target.GetWidth(); ++x) {
                        int sx, sy;
                        t.Source(x, y, w, h, sx, sy);
                        ASSERT_EQ(PixelAt(target, x, y), PixelAt(source, sx, sy))
                            << t.name << " " << bits << " bits " << w << "x" << h << " at " << x << "," << y;
                    }
            }
}

TEST(DibTransform, TargetsKeepTheSourcePalette)
{
    CDib source;
    ASSERT_TRUE(source.Create(3, 2, 8, 1));
    CDib rotated, flipped, scaled;
    ASSERT_TRUE(rotated.RotateFrom(source, 1));
    ASSERT_TRUE(flipped.FlipFrom(source, 0));
    ASSERT_TRUE(scaled.ScaleFrom(source, 6, 4));
    for (CDib* dib : {&rotated, &flipped, &scaled}) {
        ASSERT_NE(dib->GetPalette(), nullptr);
        EXPECT_EQ(std::memcmp(dib->GetPalette(), source.GetPalette(), 4 + 256 * 4), 0);
        EXPECT_EQ(std::memcmp(dib->GetColorTable(), source.GetColorTable(), 1024), 0);
    }
}

TEST(DibTransform, SixteenAndThirtyTwoBitPicturesKeepTheirColourMasks)
{
    for (int bits : {16, 32}) {
        dibtest::BmpSpec spec;
        spec.width = 3;
        spec.height = 2;
        spec.bitCount = bits;
        spec.compression = fovea::kBiBitfields;
        spec.tableEntries = 3; // room for the three masks
        std::vector<uint8_t> file = dibtest::BuildBmp(spec);
        const uint32_t masks[] = {0xF800, 0x07E0, 0x001F};
        for (int i = 0; i < 3; ++i)
            dibtest::Put32(file, 54 + 4 * size_t(i), masks[i]);
        CDib source;
        ASSERT_TRUE(source.ReadFromMemory(file.data(), file.size())) << bits;
        CDib rotated, flipped, scaled;
        ASSERT_TRUE(rotated.RotateFrom(source, 1)) << bits;
        ASSERT_TRUE(flipped.FlipFrom(source, 0)) << bits;
        ASSERT_TRUE(scaled.ScaleFrom(source, 6, 4)) << bits;
        for (CDib* dib : {&rotated, &flipped, &scaled}) {
            EXPECT_EQ(bits, dib->GetBitCount());
            const uint8_t* header = reinterpret_cast<const uint8_t*>(dib->GetInfoHeader());
            EXPECT_EQ(fovea::kBiBitfields, dibtest::Get32(header + 16));
            const uint8_t* kept = header + 40;
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(masks[i], dibtest::Get32(kept + 4 * i)) << bits << " mask " << i;
        }
        EXPECT_EQ(PixelAt(source, 2, 0), PixelAt(rotated, 0, 0)) << bits;
        EXPECT_EQ(PixelAt(source, 2, 0), PixelAt(flipped, 0, 0)) << bits;
        EXPECT_EQ(PixelAt(source, 1, 1), PixelAt(scaled, 2, 3)) << bits;
    }
}

TEST(DibScale, NearestPixelAtEveryDepthUpAndDown)
{
    const int targets[][2] = {{26, 10}, {6, 2}, {13, 5}, {1, 1}, {0, 0}};
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (const auto& size : targets) {
            CDib source;
            ASSERT_TRUE(source.Create(13, 5, bits, 0));
            FillPattern(source, uint32_t(bits * 3));
            CDib target;
            ASSERT_TRUE(target.ScaleFrom(source, size[0], size[1]));
            int w = size[0] ? size[0] : 13, h = size[1] ? size[1] : 5;
            ASSERT_EQ(target.GetWidth(), w);
            ASSERT_EQ(target.GetHeight(), h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(PixelAt(target, x, y), PixelAt(source, x * 13 / w, y * 5 / h))
                        << bits << " bits to " << w << "x" << h << " at " << x << "," << y;
        }
}

TEST(DibScale, HalvingAOnePixelPictureGivesAnEmptyPictureNotACrash)
{
    CDib source;
    ASSERT_TRUE(source.Create(1, 5, 24, 0));
    CDib target;
    ASSERT_TRUE(target.ScaleFrom(source, 0, 2));
    EXPECT_EQ(target.GetWidth(), 0);
    EXPECT_EQ(target.GetHeight(), 2);
}

TEST(DibCreate, HugeSizesFailWithTheAllocationMessage)
{
    dibtest::MessageCapture capture;
    CDib dib;
    EXPECT_FALSE(dib.Create(100000, 100000, 24, 0));
    EXPECT_TRUE(dib.IsEmpty());
    ASSERT_EQ(capture.Messages().size(), 1u);
    EXPECT_EQ(capture.Messages()[0], "Unable to allocate DIB memory Or File Length=0 ");
    EXPECT_FALSE(dib.CreateStrip(8, 1 << 20, 80, 1 << 12));
}

} // namespace
