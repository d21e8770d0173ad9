// Tests of the PIC2 decoder: raw blocks at every depth and P2SF blocks (from a small writer of our own) composed
// on the canvas, clipped and with a transparent colour; unknown kinds skipped; cut streams and hostile files.
// P2SS and P2SF against real encoders' files: tests/plugins/retro.
#include "plugins/pic2/Pic2Decoder.h"

#include <gtest/gtest.h>

#include <array>
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
    // Raw blocks: the stored values. P2SF: levels packed green, red, blue from the top, depth / 3 bits each.
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> data; // P2SS: the block's bytes as they are
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

// A P2SF stream without chains: every change of colour is a change point, its colour taken from the ring of the
// left colour when it is there, else given in full; run lengths count the pixels between change points.
Bytes EncodeP2sf(const Block& k, int depth)
{
    CBitWriter bits;
    auto length = [&](uint32_t n) {
        if (n >= 1023) // 1023 is the escape
            ++n;
        int ones = 0;
        while ((2u << ones) - 1 <= n)
            ++ones;
        bits.Put((1u << ones) - 1, ones);
        bits.PutBit(0);
        bits.Put(n - ((1u << ones) - 1), ones);
    };
    std::vector<std::array<uint32_t, 64>> rings(256, std::array<uint32_t, 64>{});
    uint8_t start[256] = {};
    uint32_t colour = 0, run = 0;
    for (uint32_t c : k.pixels) {
        if (c == colour) {
            ++run;
            continue;
        }
        length(run);
        run = 0;
        const uint32_t key = depth >= 8 ? colour >> (depth - 8) : colour << (8 - depth);
        int j = 0;
        while (j < 64 && rings[key][(start[key] + j) % 64] != c)
            ++j;
        if (j < 64) {
            bits.PutBit(1);
            bits.Put(uint32_t(j), 6);
        } else {
            start[key] = uint8_t((start[key] + 63) % 64);
            rings[key][start[key]] = c;
            bits.PutBit(0);
            bits.Put(c, depth);
        }
        bits.PutBit(0); // the chain ends here
        colour = c;
    }
    length(run);
    return bits.Data();
}

// Bytes a raw pixel takes.
uint32_t RawSize(int depth)
{
    return depth <= 8 ? 1 : depth <= 16 ? 2 : 3;
}

void AddBlock(Bytes& b, const Block& k, int depth)
{
    Bytes payload;
    if (std::strcmp(k.id, "P2SF") == 0) {
        payload = EncodeP2sf(k, depth);
    } else if (std::strcmp(k.id, "P2SS") == 0) {
        payload.assign(k.data.begin(), k.data.end());
    } else {
        const bool little = std::strcmp(k.id, "P2BI") == 0;
        for (uint32_t v : k.pixels) {
            if (RawSize(depth) == 1)
                payload.push_back(uint8_t(v));
            else if (RawSize(depth) == 3)
                payload.insert(payload.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
            else if (little)
                PutLe16(payload, v);
            else
                PutBe16(payload, v);
        }
    }
    Append(b, std::string(k.id, 4));
    PutBe32(b, 26 + uint32_t(payload.size()));
    PutBe16(b, k.transparentOn ? 1 : 0);
    PutBe16(b, k.w);
    PutBe16(b, k.h);
    PutBe16(b, k.x);
    PutBe16(b, k.y);
    PutBe32(b, k.transparent);
    PutBe32(b, 0);
    b.insert(b.end(), payload.begin(), payload.end());
}

Bytes EncodePic2(int depth, uint32_t w, uint32_t h, const std::vector<Block>& blocks)
{
    Bytes b = Header(depth, w, h);
    for (const Block& k : blocks)
        AddBlock(b, k, depth);
    b.insert(b.end(), 4, 0); // end of the block list
    return b;
}

Block Filled(const char* id, uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t seed, int bits = 16)
{
    Block k;
    k.id = id;
    k.x = x;
    k.y = y;
    k.w = w;
    k.h = h;
    CRandom rnd(seed);
    for (uint32_t i = 0; i < w * h; ++i)
        k.pixels.push_back(rnd.Next(1u << bits));
    return k;
}

// A P2SF block of areas: each pixel repeats the one before it or, one time in four, takes one of 24 colours.
Block Areas(uint32_t x, uint32_t y, uint32_t w, uint32_t h, int depth, uint32_t seed)
{
    Block k;
    k.id = "P2SF";
    k.x = x;
    k.y = y;
    k.w = w;
    k.h = h;
    CRandom rnd(seed);
    std::vector<uint32_t> colours(24);
    for (uint32_t& c : colours)
        c = rnd.Next(1u << depth);
    uint32_t c = colours[0];
    for (uint32_t i = 0; i < w * h; ++i) {
        if (rnd.Next(4) == 0)
            c = colours[rnd.Next(24)];
        k.pixels.push_back(c);
    }
    return k;
}

uint32_t Widen(uint32_t level, int bits)
{
    uint32_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 1 | (level >> (bits - 1 - i % bits) & 1);
    return v;
}

uint32_t Rgb(int depth, const char* id, uint32_t v)
{
    const int n = depth / 3;
    const uint32_t max = (1u << n) - 1;
    auto rgb = [](uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; };
    if (std::strcmp(id, "P2SF") == 0)
        return rgb(Widen(v >> n & max, n), Widen(v >> 2 * n & max, n), Widen(v & max, n));
    if (depth == 15)
        return rgb(Widen(v >> 6 & 31, 5), Widen(v >> 11 & 31, 5), Widen(v >> 1 & 31, 5));
    if (depth == 16) {
        uint32_t i = v & 1;
        return rgb(Widen((v >> 6 & 31) << 1 | i, 6), Widen((v >> 11 & 31) << 1 | i, 6),
                   Widen((v >> 1 & 31) << 1 | i, 6));
    }
    if (depth == 8) // no palette: grey levels
        return rgb(v, v, v);
    return rgb(Widen(v >> 2 * n & max, n), Widen(v >> n & max, n), Widen(v & max, n));
}

// The canvas as the blocks should leave it, drawn the plain way.
std::vector<uint32_t> Compose(int depth, uint32_t w, uint32_t h, const std::vector<Block>& blocks)
{
    std::vector<uint32_t> canvas(size_t(w) * h, 0);
    for (const Block& k : blocks)
        for (uint32_t y = 0; y < k.h; ++y)
            for (uint32_t x = 0; x < k.w; ++x) {
                uint32_t v = k.pixels[size_t(y) * k.w + x];
                if (k.x + x >= w || k.y + y >= h || (k.transparentOn && v == k.transparent))
                    continue;
                canvas[size_t(k.y + y) * w + k.x + x] = Rgb(depth, k.id, v);
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

std::vector<CanvasCase> AllCanvases()
{
    std::vector<CanvasCase> cases = {
        {"wholeCanvasBigEndian", 15, 16, 9, {Filled("P2BM", 0, 0, 16, 9, 1)}},
        {"wholeCanvasLittleEndian", 16, 16, 9, {Filled("P2BI", 0, 0, 16, 9, 2)}},
        {"partsLeaveBlackBackground", 15, 20, 12, {Filled("P2BM", 3, 2, 5, 4, 3)}},
        {"laterBlocksOverwrite", 16, 12, 10, {Filled("P2BM", 0, 0, 12, 10, 4), Filled("P2BI", 4, 3, 5, 5, 5)}},
        {"clippedAtTheEdges", 15, 10, 6, {Filled("P2BM", 7, 4, 6, 5, 6)}},
        {"transparentColour", 16, 10, 8, {Filled("P2BM", 0, 0, 10, 8, 7), TransparentBlock()}},
        // Raw pixels of 1 and 3 bytes, and of 2 bytes below 15 bits, are levels packed red, green, blue.
        {"raw3Bits", 3, 8, 4, {Filled("P2BM", 0, 0, 8, 4, 20, 3)}},
        {"raw8BitsGreyWithoutPalette", 8, 8, 4, {Filled("P2BM", 0, 0, 8, 4, 21, 8)}},
        {"raw12BitsLittleEndian", 12, 8, 4, {Filled("P2BI", 0, 0, 8, 4, 22, 12)}},
        {"raw18Bits", 18, 8, 4, {Filled("P2BM", 0, 0, 8, 4, 23, 18)}},
        {"raw24Bits", 24, 8, 4, {Filled("P2BM", 0, 0, 8, 4, 24, 24)}},
    };
    for (int depth = 3; depth <= 24; depth += 3)
        cases.push_back({"p2sfDepth", depth, 40, 30, {Areas(0, 0, 40, 30, depth, uint32_t(depth))}});
    // A P2SF block partly off the canvas, over a raw one, one of its colours transparent.
    Block over = Areas(12, 5, 16, 10, 15, 30);
    over.transparentOn = true;
    over.transparent = over.pixels[7];
    cases.push_back({"p2sfOverRawClippedTransparent", 15, 20, 12, {Filled("P2BM", 0, 0, 20, 12, 31), over}});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Canvases, Pic2Canvas, testing::ValuesIn(AllCanvases()),
                         [](const testing::TestParamInfo<CanvasCase>& i) {
                             std::string name = i.param.name;
                             return name == "p2sfDepth" ? name + std::to_string(i.param.depth) : name;
                         });

// 8-bit pixels index the palette after the header: 6 bits a component here, left-aligned; past its end, black.
TEST(Pic2Decoder, EightBitPixelsTakeThePaletteColours)
{
    const uint8_t palette[] = {6, 0, 2, 0xFC, 0x00, 0x84, 0x04, 0x80, 0x40};
    Bytes b = Header(8, 3, 1, 124 + sizeof palette);
    b[99] = 1; // the header's flag: a palette follows
    b.insert(b.end(), palette, palette + sizeof palette);
    Block k;
    k.w = 3;
    k.h = 1;
    k.pixels = {1, 0, 2};
    AddBlock(b, k, 8);
    b.insert(b.end(), 4, 0);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic2(b.data(), b.size(), pic), fovea::kDecodeOk);
    EXPECT_EQ(AllRgb(pic), (std::vector<uint32_t>{0x048241u, 0xFF0086u, 0u}));
}

// A kind the decoder does not know is passed over by its size; a file of nothing else, or a compressed block
// at a depth that is not three levels, is refused as a format not understood.
TEST(Pic2Decoder, UndecodableBlocksAreSkippedOrRefused)
{
    Block unknown = Filled("P2XX", 0, 0, 4, 4, 8);
    Block raw = Filled("P2BM", 1, 1, 2, 2, 9);
    Bytes file = EncodePic2(15, 4, 4, {unknown, raw});
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic2(file.data(), file.size(), pic), fovea::kDecodeOk);
    EXPECT_EQ(AllRgb(pic), Compose(15, 4, 4, {raw}));

    Bytes onlyUnknown = EncodePic2(15, 4, 4, {unknown});
    Bytes p2sfAt16 = EncodePic2(16, 4, 4, {Filled("P2BM", 0, 0, 4, 4, 9)});
    std::memcpy(&p2sfAt16[124], "P2SF", 4);
    Bytes p2ssAt8 = EncodePic2(8, 4, 4, {Filled("P2BM", 0, 0, 4, 4, 9, 8)});
    std::memcpy(&p2ssAt8[124], "P2SS", 4);
    for (const Bytes* f : {&onlyUnknown, &p2sfAt16, &p2ssAt8}) {
        EXPECT_EQ(fovea::DecodePic2(f->data(), f->size(), pic), fovea::kDecodeUnknownFormat);
        EXPECT_TRUE(pic.bits.empty());
    }
}

// A compressed block whose data ends early: the stream runs out, the file is refused; never a read past it.
TEST(Pic2Decoder, CutCompressedStreamsFail)
{
    Block noise = Filled("P2SF", 0, 0, 16, 16, 40, 24);
    const Bytes whole = EncodePic2(24, 16, 16, {noise});
    const size_t dataSize = whole.size() - 124 - 26 - 4;
    for (size_t cut = 1; cut <= dataSize; ++cut) {
        Bytes file(whole.begin(), whole.end() - 4 - cut);
        const uint32_t blockSize = uint32_t(26 + dataSize - cut);
        file[124 + 4] = uint8_t(blockSize >> 24);
        file[124 + 5] = uint8_t(blockSize >> 16);
        file[124 + 6] = uint8_t(blockSize >> 8);
        file[124 + 7] = uint8_t(blockSize);
        file.insert(file.end(), 4, 0);
        DecodedPicture pic;
        const int result = fovea::DecodePic2(file.data(), file.size(), pic);
        if (cut >= 120) {
            EXPECT_EQ(result, fovea::kDecodeBroken) << cut;
        } else if (result == fovea::kDecodeOk) {
            EXPECT_EQ(pic.bits.size(), pic.Stride() * 16) << cut;
        }
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
    Bytes hugeCompressed = EncodePic2(15, 4, 4, {Areas(0, 0, 4, 4, 15, 1)});
    hugeCompressed[124 + 10] = hugeCompressed[124 + 11] = hugeCompressed[124 + 12] = hugeCompressed[124 + 13] = 0xFF;
    const Case cases[] = {{"huge canvas", hugeCanvas},
                          {"zero canvas", zeroCanvas},
                          {"first block in the header", firstInHeader},
                          {"first block past the end", firstPastEnd},
                          {"block size past the end", blockTooBig},
                          {"block size below its header", blockTooSmall},
                          {"pixels past the block", pixelsPastBlock},
                          {"no blocks", noBlocks},
                          {"compressed block far beyond its data", hugeCompressed}};
    for (const Case& c : cases) {
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodePic2(c.file.data(), c.file.size(), pic), fovea::kDecodeOk) << c.name;
        EXPECT_TRUE(pic.bits.empty()) << c.name;
    }
}

TEST(Pic2Decoder, GarbageNeverCrashes)
{
    CRandom rnd(77);
    auto mangleAndDecode = [&](Bytes b) {
        for (int k = 0; k < 1 + int(rnd.Next(6)); ++k)
            b[100 + rnd.Next(uint32_t(b.size() - 100))] = uint8_t(rnd.Next(256));
        DecodedPicture pic;
        if (fovea::DecodePic2(b.data(), b.size(), pic) == fovea::kDecodeOk) {
            EXPECT_EQ(pic.bits.size(), pic.Stride() * size_t(pic.height));
        }
    };
    for (int round = 0; round < 300; ++round)
        mangleAndDecode(
            EncodePic2(15, 12, 8, {Filled("P2BM", 1, 1, 6, 6, uint32_t(round)), Filled("P2BI", 5, 2, 9, 9, 3)}));
    // Compressed blocks at every depth: P2SF of areas, P2SS of noise.
    for (int round = 0; round < 240; ++round) {
        const int depth = 3 * (1 + round % 8);
        Block noise;
        noise.id = "P2SS";
        noise.w = 14;
        noise.h = 9;
        noise.data = Filled("P2SS", 0, 0, 600, 1, uint32_t(round), 8).pixels;
        mangleAndDecode(EncodePic2(depth, 12, 8, {Areas(2, 1, 11, 7, depth, uint32_t(round)), noise}));
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
        ASSERT_TRUE(WriteWholeFile(seeds + "p2sf_areas.p2", EncodePic2(12, 24, 16, {Areas(0, 0, 24, 16, 12, 5)})));
        Block noise;
        noise.id = "P2SS";
        noise.w = 24;
        noise.h = 16;
        noise.data = Filled("P2SS", 0, 0, 400, 1, 6, 8).pixels;
        ASSERT_TRUE(WriteWholeFile(seeds + "p2ss_noise.p2", EncodePic2(18, 24, 16, {noise})));
    }
    Bytes committed, expected;
    ASSERT_TRUE(ReadWholeFile(dir + "small.p2", committed));
    ASSERT_TRUE(ReadWholeFile(dir + "small.expected.bmp", expected));
    DecodedPicture again;
    ASSERT_EQ(fovea::DecodePic2(committed.data(), committed.size(), again), fovea::kDecodeOk);
    EXPECT_EQ(MakeBmp24(again.width, again.height, AllRgb(again)), expected);
}
