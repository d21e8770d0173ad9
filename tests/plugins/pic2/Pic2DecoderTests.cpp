// Tests of the PIC2 decoder: raw blocks composed on the canvas, in both byte orders, clipped and with a
// transparent colour; compressed blocks refused; hostile files.
#include "plugins/pic2/Pic2Decoder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/plugins/mag/RetroTestSupport.h"

using namespace retrotest;
using fovea::DecodedPicture;

namespace {

struct Block {
    const char* id = "P2BM";
    uint32_t x = 0, y = 0, w = 0, h = 0;
    bool transparentOn = false;
    uint32_t transparent = 0;
    std::vector<uint16_t> pixels;
};

Bytes Header(int depth, uint32_t w, uint32_t h, uint32_t firstBlock = 124)
{
    Bytes b;
    Append(b, "P2DT");
    auto text = [&](const char* s, size_t n) {
        Bytes t(n, ' ');
        std::memcpy(t.data(), s, std::min(n, std::strlen(s)));
        b.insert(b.end(), t.begin(), t.end());
    };
    text("name", 18);
    text("subtitle", 8);
    Append(b, "\r\n");
    text("a test canvas", 30);
    Append(b, "\r\n");
    text("test encoder", 30);
    Append(b, "\r\n");
    b.push_back(0x1A);
    b.push_back(0);
    PutBe16(b, 0);          // flag: no palette
    PutBe16(b, 1);          // number
    PutBe32(b, 0x12345678); // time
    PutBe32(b, firstBlock);
    PutBe16(b, uint32_t(depth));
    PutBe16(b, 1);
    PutBe16(b, 1);
    PutBe16(b, w);
    PutBe16(b, h);
    PutBe32(b, 0);
    return b;
}

void AddBlock(Bytes& b, const Block& k)
{
    const bool little = std::strcmp(k.id, "P2BI") == 0;
    Append(b, std::string(k.id, 4));
    PutBe32(b, 26 + uint32_t(k.pixels.size()) * 2);
    PutBe16(b, k.transparentOn ? 1 : 0);
    PutBe16(b, k.w);
    PutBe16(b, k.h);
    PutBe16(b, k.x);
    PutBe16(b, k.y);
    PutBe32(b, k.transparent);
    PutBe32(b, 0);
    for (uint16_t v : k.pixels) {
        if (little)
            PutLe16(b, v);
        else
            PutBe16(b, v);
    }
}

Bytes EncodePic2(int depth, uint32_t w, uint32_t h, const std::vector<Block>& blocks)
{
    Bytes b = Header(depth, w, h);
    for (const Block& k : blocks)
        AddBlock(b, k);
    b.insert(b.end(), 4, 0); // end of the block list
    return b;
}

Block Filled(const char* id, uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t seed)
{
    Block k;
    k.id = id;
    k.x = x;
    k.y = y;
    k.w = w;
    k.h = h;
    CRandom rnd(seed);
    for (uint32_t i = 0; i < w * h; ++i)
        k.pixels.push_back(uint16_t(rnd.Next(0x10000)));
    return k;
}

uint32_t Rgb(int depth, uint32_t v)
{
    auto five = [](uint32_t c) { return (c << 3 | c >> 2) & 0xFF; };
    auto six = [](uint32_t c) { return (c << 2 | c >> 4) & 0xFF; };
    if (depth == 15)
        return five(v >> 6 & 31) << 16 | five(v >> 11 & 31) << 8 | five(v >> 1 & 31);
    uint32_t i = v & 1;
    return six((v >> 6 & 31) << 1 | i) << 16 | six((v >> 11 & 31) << 1 | i) << 8 | six((v >> 1 & 31) << 1 | i);
}

// The canvas as the blocks should leave it, drawn the plain way.
std::vector<uint32_t> Compose(int depth, uint32_t w, uint32_t h, const std::vector<Block>& blocks)
{
    std::vector<uint32_t> canvas(size_t(w) * h, 0);
    for (const Block& k : blocks)
        for (uint32_t y = 0; y < k.h; ++y)
            for (uint32_t x = 0; x < k.w; ++x) {
                uint16_t v = k.pixels[size_t(y) * k.w + x];
                if (k.x + x >= w || k.y + y >= h || (k.transparentOn && v == k.transparent))
                    continue;
                canvas[size_t(k.y + y) * w + k.x + x] = Rgb(depth, v);
            }
    return canvas;
}

} // namespace

// One white and one pure-green pixel, byte by byte: depth 15 has green in bits 15-11, so 0xF800 is green.
TEST(Pic2Decoder, HandMadeFileOfTwoPixels)
{
    Bytes b = Header(15, 2, 1);
    const uint8_t block[] = {'P', '2', 'B', 'M', 0, 0, 0, 30, 0, 0, 0, 2,    0,    1,    0,
                             0,   0,   0,   0,   0, 0, 0, 0,  0, 0, 0, 0xFF, 0xFE, 0xF8, 0x00};
    b.insert(b.end(), block, block + sizeof block);
    b.insert(b.end(), 4, 0);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic2(b.data(), b.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(pic.bitCount, 24);
    EXPECT_EQ(RgbAt(pic, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(pic, 1, 0), 0x00FF00u);
}

struct CanvasCase {
    const char* name;
    int depth;
    uint32_t w, h;
    std::vector<Block> blocks;
};

class Pic2Canvas : public testing::TestWithParam<CanvasCase> {};

TEST_P(Pic2Canvas, BlocksComposeOnTheCanvas)
{
    const CanvasCase& c = GetParam();
    Bytes file = EncodePic2(c.depth, c.w, c.h, c.blocks);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic2(file.data(), file.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(uint32_t(pic.width), c.w);
    ASSERT_EQ(uint32_t(pic.height), c.h);
    EXPECT_EQ(AllRgb(pic), Compose(c.depth, c.w, c.h, c.blocks));
}

Block TransparentBlock()
{
    Block k = Filled("P2BI", 2, 1, 6, 5, 8);
    k.transparentOn = true;
    k.transparent = 0x1234;
    for (size_t i = 0; i < k.pixels.size(); i += 3)
        k.pixels[i] = 0x1234;
    return k;
}

INSTANTIATE_TEST_SUITE_P(
    Canvases, Pic2Canvas,
    testing::Values(
        CanvasCase{"wholeCanvasBigEndian", 15, 16, 9, {Filled("P2BM", 0, 0, 16, 9, 1)}},
        CanvasCase{"wholeCanvasLittleEndian", 16, 16, 9, {Filled("P2BI", 0, 0, 16, 9, 2)}},
        CanvasCase{"partsLeaveBlackBackground", 15, 20, 12, {Filled("P2BM", 3, 2, 5, 4, 3)}},
        CanvasCase{
            "laterBlocksOverwrite", 16, 12, 10, {Filled("P2BM", 0, 0, 12, 10, 4), Filled("P2BI", 4, 3, 5, 5, 5)}},
        CanvasCase{"clippedAtTheEdges", 15, 10, 6, {Filled("P2BM", 7, 4, 6, 5, 6)}},
        CanvasCase{"transparentColour", 16, 10, 8, {Filled("P2BM", 0, 0, 10, 8, 7), TransparentBlock()}}),
    [](const testing::TestParamInfo<CanvasCase>& i) { return std::string(i.param.name); });

TEST(Pic2Decoder, CompressedBlocksAreRefused)
{
    for (const char* id : {"P2SF", "P2SS", "XXXX"}) {
        Block k = Filled("P2BM", 0, 0, 4, 4, 9);
        Bytes file = EncodePic2(15, 4, 4, {k});
        std::memcpy(&file[124], id, 4);
        DecodedPicture pic;
        EXPECT_EQ(fovea::DecodePic2(file.data(), file.size(), pic), fovea::kDecodeUnknownFormat) << id;
        EXPECT_TRUE(pic.bits.empty());
    }
}

TEST(Pic2Decoder, DepthsWithoutRawPixelsAreRefused)
{
    for (int depth : {3, 8, 12, 18, 24}) {
        Bytes file = EncodePic2(depth, 4, 4, {Filled("P2BM", 0, 0, 4, 4, 9)});
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodePic2(file.data(), file.size(), pic), fovea::kDecodeOk) << depth;
    }
}

TEST(Pic2Decoder, TruncationsFailUnlessAtABlockEnd)
{
    Bytes file = EncodePic2(15, 8, 8, {Filled("P2BM", 0, 0, 8, 4, 1), Filled("P2BI", 0, 4, 8, 4, 2)});
    const size_t firstEnd = 124 + 26 + 64, secondEnd = firstEnd + 26 + 64;
    for (size_t n = 0; n < file.size(); ++n) {
        DecodedPicture pic;
        int r = fovea::DecodePic2(file.data(), n, pic);
        if (n == firstEnd || n >= secondEnd)
            EXPECT_EQ(r, fovea::kDecodeOk) << n;
        else
            EXPECT_NE(r, fovea::kDecodeOk) << n;
    }
}

TEST(Pic2Decoder, HostileFilesFail)
{
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes hugeCanvas = EncodePic2(15, 0xFFFF, 0xFFFF, {Filled("P2BM", 0, 0, 1, 1, 1)});
    Bytes zeroCanvas = EncodePic2(15, 0, 4, {Filled("P2BM", 0, 0, 1, 1, 1)});
    Bytes firstInHeader = EncodePic2(15, 4, 4, {Filled("P2BM", 0, 0, 1, 1, 1)});
    firstInHeader[109] = 10;
    Bytes firstPastEnd = EncodePic2(15, 4, 4, {Filled("P2BM", 0, 0, 1, 1, 1)});
    firstPastEnd[106] = 0x7F;
    Bytes blockTooBig = EncodePic2(15, 4, 4, {Filled("P2BM", 0, 0, 2, 2, 1)});
    blockTooBig[124 + 4] = 0x40;
    Bytes blockTooSmall = EncodePic2(15, 4, 4, {Filled("P2BM", 0, 0, 2, 2, 1)});
    blockTooSmall[124 + 7] = 10;
    Bytes pixelsPastBlock = EncodePic2(15, 4, 4, {Filled("P2BM", 0, 0, 2, 2, 1)});
    pixelsPastBlock[124 + 11] = 200; // width 200 in a block of 4 pixels
    Bytes noBlocks = Header(15, 4, 4);
    noBlocks.insert(noBlocks.end(), 4, 0);
    const Case cases[] = {{"huge canvas", hugeCanvas},
                          {"zero canvas", zeroCanvas},
                          {"first block in the header", firstInHeader},
                          {"first block past the end", firstPastEnd},
                          {"block size past the end", blockTooBig},
                          {"block size below its header", blockTooSmall},
                          {"pixels past the block", pixelsPastBlock},
                          {"no blocks", noBlocks}};
    for (const Case& c : cases) {
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodePic2(c.file.data(), c.file.size(), pic), fovea::kDecodeOk) << c.name;
        EXPECT_TRUE(pic.bits.empty()) << c.name;
    }
}

TEST(Pic2Decoder, GarbageNeverCrashes)
{
    CRandom rnd(77);
    for (int round = 0; round < 300; ++round) {
        Bytes b = EncodePic2(15, 12, 8, {Filled("P2BM", 1, 1, 6, 6, uint32_t(round)), Filled("P2BI", 5, 2, 9, 9, 3)});
        for (int k = 0; k < 1 + int(rnd.Next(6)); ++k)
            b[100 + rnd.Next(uint32_t(b.size() - 100))] = uint8_t(rnd.Next(256));
        DecodedPicture pic;
        if (fovea::DecodePic2(b.data(), b.size(), pic) == fovea::kDecodeOk) {
            EXPECT_EQ(pic.bits.size(), pic.Stride() * size_t(pic.height));
        }
    }
}

TEST(Pic2Decoder, CommittedSampleMatchesExpectedBitmap)
{
    const std::vector<Block> blocks = {Filled("P2BM", 0, 0, 24, 16, 11), Filled("P2BI", 6, 4, 10, 8, 12)};
    const Bytes file = EncodePic2(15, 24, 16, blocks);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic2(file.data(), file.size(), pic), fovea::kDecodeOk);
    const std::string dir = DataDir("pic2");
    if (WritingSamples()) {
        ASSERT_TRUE(WriteWholeFile(dir + "small.p2", file));
        ASSERT_TRUE(WriteWholeFile(dir + "small.expected.bmp", MakeBmp24(pic.width, pic.height, AllRgb(pic))));
        const std::string seeds = std::string(FOVEA_SOURCE_DIR) + "/tests/data/fuzz/pic2/";
        ASSERT_TRUE(WriteWholeFile(seeds + "two_blocks.p2", file));
        ASSERT_TRUE(WriteWholeFile(seeds + "transparent.p2",
                                   EncodePic2(16, 10, 8, {Filled("P2BM", 0, 0, 10, 8, 7), TransparentBlock()})));
    }
    Bytes committed, expected;
    ASSERT_TRUE(ReadWholeFile(dir + "small.p2", committed));
    ASSERT_TRUE(ReadWholeFile(dir + "small.expected.bmp", expected));
    DecodedPicture again;
    ASSERT_EQ(fovea::DecodePic2(committed.data(), committed.size(), again), fovea::kDecodeOk);
    EXPECT_EQ(MakeBmp24(again.width, again.height, AllRgb(again)), expected);
}
