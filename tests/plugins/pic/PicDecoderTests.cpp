// Tests of the X68000 PIC decoder against a small encoder of our own that uses chains and the colour cache, and
// against a hand-made file worked out bit by bit from the format description.
#include "plugins/pic/PicDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/plugins/mag/RetroTestSupport.h"

using namespace retrotest;
using fovea::DecodedPicture;

namespace {

struct PicImage {
    int depth = 16;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // top-down: indices, or X68000 colours
};

struct PicEncoding {
    Bytes file;
    int chainSteps = 0, cacheHits = 0, rawColours = 0;
};

// Least recently used slots, newest first; at the start slot 1 is the oldest.
class CSlotOrder {
public:
    CSlotOrder() : m_colour(128, 0)
    {
        m_order.push_back(0);
        for (int i = 127; i >= 1; --i)
            m_order.push_back(i);
    }
    int Find(uint32_t colour) const
    {
        for (int slot : m_order)
            if (m_colour[size_t(slot)] == colour)
                return slot;
        return -1;
    }
    void Use(int slot)
    {
        m_order.erase(std::find(m_order.begin(), m_order.end(), slot));
        m_order.insert(m_order.begin(), slot);
    }
    void Add(uint32_t colour)
    {
        int slot = m_order.back();
        m_colour[size_t(slot)] = colour;
        Use(slot);
    }

private:
    std::vector<uint32_t> m_colour;
    std::vector<int> m_order;
};

void PutLength(CBitWriter& bits, uint64_t length)
{
    int n = 0;
    while ((uint64_t(4) << n) - 1 <= length)
        ++n;
    for (int i = 0; i < n; ++i)
        bits.PutBit(1);
    bits.PutBit(0);
    bits.Put(uint32_t(length - ((uint64_t(2) << n) - 1)), n + 1);
}

PicEncoding EncodePic(const PicImage& img, bool useChains = true, const char* comment = "a test picture")
{
    PicEncoding enc;
    const size_t w = size_t(img.width), total = w * size_t(img.height);
    std::vector<bool> chained(total, false);
    CBitWriter bits;
    CSlotOrder cache;
    uint32_t current = 0;
    int64_t last = -1;
    for (size_t p = 0; p < total; ++p) {
        if (chained[p]) {
            current = img.pixels[p];
            continue;
        }
        if (img.pixels[p] == current)
            continue;
        const uint32_t c = img.pixels[p];
        PutLength(bits, uint64_t(int64_t(p) - last));
        last = int64_t(p);
        if (img.depth <= 8) {
            bits.Put(c, img.depth);
        } else if (int slot = cache.Find(c); slot >= 0) {
            bits.PutBit(1);
            bits.Put(uint32_t(slot), 7);
            cache.Use(slot);
            ++enc.cacheHits;
        } else {
            bits.PutBit(0);
            bits.Put(c, img.depth);
            cache.Add(c);
            ++enc.rawColours;
        }
        current = c;
        // Chain the same change down the lines below while one lies within two pixels.
        std::vector<int> steps;
        size_t x = p % w, y = p / w;
        while (useChains && y + 1 < size_t(img.height)) {
            int found = 99;
            for (int dx : {0, -1, 1, -2, 2}) {
                int64_t nx = int64_t(x) + dx;
                if (nx < 0 || nx >= int64_t(w))
                    continue;
                size_t q = (y + 1) * w + size_t(nx);
                if (img.pixels[q] == c && !chained[q] && img.pixels[q - 1] != c) {
                    found = dx;
                    break;
                }
            }
            if (found == 99)
                break;
            x = size_t(int64_t(x) + found);
            ++y;
            chained[y * w + x] = true;
            steps.push_back(found);
        }
        bits.PutBit(!steps.empty());
        if (steps.empty())
            continue;
        for (int dx : steps) {
            if (dx >= -1 && dx <= 1)
                bits.Put(uint32_t(dx + 2), 2);
            else
                bits.Put(dx < 0 ? 2 : 3, 4);
        }
        bits.Put(0, 3);
        enc.chainSteps += int(steps.size());
    }
    PutLength(bits, uint64_t(int64_t(total) - last));

    Bytes& b = enc.file;
    Append(b, "PIC");
    Append(b, comment);
    b.push_back(0x1A);
    b.push_back(0);
    b.push_back(0); // reserved
    b.push_back(0); // X68000
    PutBe16(b, uint32_t(img.depth));
    PutBe16(b, uint32_t(img.width));
    PutBe16(b, uint32_t(img.height));
    if (img.depth <= 8)
        for (int i = 0; i < (1 << img.depth); ++i)
            PutBe16(b, uint32_t(i * 0x0843 + 1) & 0xFFFF);
    b.insert(b.end(), bits.Data().begin(), bits.Data().end());
    return enc;
}

// Vertical edges that wander sideways (chains), a few colours that come back (cache hits) and a band with more
// colours than the cache holds.
PicImage PatternImage(int depth, int w, int h, uint32_t seed)
{
    PicImage img;
    img.depth = depth;
    img.width = w;
    img.height = h;
    CRandom rnd(seed);
    const uint32_t range = depth == 15 ? 0x8000 : depth == 16 ? 0x10000 : (1u << depth);
    std::vector<uint32_t> few;
    for (int i = 0; i < 6; ++i)
        few.push_back(rnd.Next(range));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t v;
            if (y % 20 >= 16)
                v = rnd.Next(range);
            else
                v = few[size_t(((x + (y / 3) % 3) / 7 + (x > w / 2 ? 1 : 0)) % few.size())];
            img.pixels.push_back(v);
        }
    return img;
}

// The pixel (x, y) as the decoder should hand it on: 0xRRGGBB for 15/16 bits, else the index.
uint32_t Expected(const PicImage& img, uint32_t v)
{
    if (img.depth <= 8)
        return v;
    auto five = [](uint32_t c) { return (c << 3 | c >> 2) & 0xFF; };
    auto six = [](uint32_t c) { return (c << 2 | c >> 4) & 0xFF; };
    if (img.depth == 15)
        return five(v >> 5 & 31) << 16 | five(v >> 10 & 31) << 8 | five(v & 31);
    uint32_t i = v & 1;
    return six((v >> 6 & 31) << 1 | i) << 16 | six((v >> 11 & 31) << 1 | i) << 8 | six((v >> 1 & 31) << 1 | i);
}

void ExpectPixels(const PicImage& img, const DecodedPicture& pic)
{
    ASSERT_EQ(pic.width, img.width);
    ASSERT_EQ(pic.height, img.height);
    ASSERT_EQ(pic.bitCount, img.depth <= 8 ? img.depth : 24);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            uint32_t v = img.pixels[size_t(y) * size_t(img.width) + size_t(x)];
            uint32_t got = img.depth <= 8 ? uint32_t(IndexAt(pic, x, y)) : RgbAt(pic, x, y);
            ASSERT_EQ(got, Expected(img, v)) << x << "," << y;
        }
}

} // namespace

// 2 x 2 dots of 16 bits: white at (0,0) with a chain to (1,1) (flag 1, step 11, end 000), red 0x07C0 at (0,1).
// Lengths 1 (00), 2 (01) and the closing 2 (01); both colours raw (0 and 16 bits).
TEST(PicDecoder, HandMadeFileWithChain)
{
    Bytes b;
    Append(b, "PIC\x1A");
    b.insert(b.end(), {0, 0, 0, 0, 16, 0, 2, 0, 2});
    b.insert(b.end(), {0x1F, 0xFF, 0xFC, 0x20, 0x7C, 0x02});
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(b.data(), b.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(pic.bitCount, 24);
    EXPECT_EQ(RgbAt(pic, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(pic, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(pic, 0, 1), 0xFB0000u); // red 31 without the I bit: 62 of 63 steps
    EXPECT_EQ(RgbAt(pic, 1, 1), 0xFFFFFFu); // set by the chain, kept by the last fill
}

// The generic type at 24 bits stores green, red, blue, as its palettes do: a 1 x 2 picture of green 0x11, red
// 0x22, blue 0x33 above red 0xFF alone. Each colour: length 1 (00), raw (0), 24 bits, no chain (0); then the
// closing length 1 (00).
TEST(PicDecoder, GenericTwentyFourBitsAreGreenRedBlue)
{
    Bytes b;
    Append(b, "PIC\x1A");
    b.insert(b.end(), {0, 0, 0x0F, 0, 24, 0, 1, 0, 2, 0, 0, 0, 0, 0, 0});
    CBitWriter bits;
    for (uint32_t grb : {0x112233u, 0x00FF00u}) {
        bits.Put(0, 2);
        bits.PutBit(0);
        bits.Put(grb, 24);
        bits.PutBit(0);
    }
    bits.Put(0, 2);
    b.insert(b.end(), bits.Data().begin(), bits.Data().end());
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(b.data(), b.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(pic.bitCount, 24);
    EXPECT_EQ(RgbAt(pic, 0, 0), 0x221133u);
    EXPECT_EQ(RgbAt(pic, 0, 1), 0xFF0000u);
}

struct RoundTripCase {
    const char* name;
    int depth, w, h;
    bool chains;
};

class PicRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(PicRoundTrip, DecoderReproducesEncodedPixels)
{
    const RoundTripCase& c = GetParam();
    PicImage img = PatternImage(c.depth, c.w, c.h, 17);
    PicEncoding enc = EncodePic(img, c.chains);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
    if (c.chains && c.w > 1 && c.h > 1) {
        EXPECT_GT(enc.chainSteps, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PicRoundTrip,
    testing::Values(RoundTripCase{"depth4", 4, 40, 30, true}, RoundTripCase{"depth8", 8, 40, 30, true},
                    RoundTripCase{"depth15", 15, 64, 48, true}, RoundTripCase{"depth16", 16, 64, 48, true},
                    RoundTripCase{"depth16NoChains", 16, 33, 21, false}, RoundTripCase{"oneColumn", 16, 1, 25, true},
                    RoundTripCase{"oneLine", 15, 50, 1, true}),
    [](const testing::TestParamInfo<RoundTripCase>& i) { return std::string(i.param.name); });

// More than 128 colours: slots are reused in least-recently-used order while old colours still hit.
TEST(PicDecoder, CacheHitsAndEvictions)
{
    PicImage img = PatternImage(16, 64, 80, 23);
    PicEncoding enc = EncodePic(img);
    EXPECT_GT(enc.cacheHits, 20);
    EXPECT_GT(enc.rawColours, 128);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

// A black first pixel comes straight from the cache (all slots start black).
TEST(PicDecoder, BlackFromTheFreshCache)
{
    PicImage img;
    img.width = 3;
    img.height = 1;
    img.pixels = {0x1234, 0, 0x1234};
    PicEncoding enc = EncodePic(img);
    EXPECT_EQ(enc.cacheHits, 2);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

TEST(PicDecoder, PaletteOfIndexedDepths)
{
    PicEncoding enc = EncodePic(PatternImage(8, 8, 2, 1));
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(pic.palette.size(), 256u * 4);
    // Entry 3 is 3 * 0x0843 + 1 = 0x18CA: green 3, red 3, blue 5, I 0.
    EXPECT_EQ(pic.palette[3 * 4 + 0], Expected(PicImage{}, 0x18CA) & 0xFF);
    EXPECT_EQ(pic.palette[3 * 4 + 1], (Expected(PicImage{}, 0x18CA) >> 8) & 0xFF);
    EXPECT_EQ(pic.palette[3 * 4 + 2], Expected(PicImage{}, 0x18CA) >> 16);
}

TEST(PicDecoder, EveryTruncationFails)
{
    for (int depth : {4, 16}) {
        PicEncoding enc = EncodePic(PatternImage(depth, 16, 12, 3));
        for (size_t n = 0; n < enc.file.size(); ++n) {
            DecodedPicture pic;
            EXPECT_NE(fovea::DecodePic(enc.file.data(), n, pic), fovea::kDecodeOk) << depth << " prefix " << n;
        }
    }
}

TEST(PicDecoder, HostileFilesFail)
{
    auto header = [](int depth, int w, int h) {
        Bytes b;
        Append(b, "PIC\x1A");
        b.insert(b.end(), {0, 0, 0});
        PutBe16(b, uint32_t(depth));
        PutBe16(b, uint32_t(w));
        PutBe16(b, uint32_t(h));
        return b;
    };
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes huge = header(16, 0xFFFF, 0xFFFF);
    huge.insert(huge.end(), 32, 0x55);
    Bytes chainOffRight = header(16, 2, 2);
    chainOffRight.insert(chainOffRight.end(), {0x1F, 0xFF, 0xFE, 0xC0}); // white at (0,0), chain x+2 twice
    Bytes chainBelow = header(16, 1, 1);
    chainBelow.insert(chainBelow.end(), {0x1F, 0xFF, 0xF4, 0x00}); // chain below the last line
    Bytes endless = header(16, 4, 4);
    endless.insert(endless.end(), 64, 0xFF); // a length that never ends
    Bytes noPalette = header(8, 4, 4);
    noPalette.resize(noPalette.size() + 100);
    const Case cases[] = {{"huge", huge},
                          {"depth 12", header(12, 4, 4)},
                          {"zero height", header(16, 4, 0)},
                          {"chain off the right", chainOffRight},
                          {"chain below the picture", chainBelow},
                          {"endless length", endless},
                          {"palette cut", noPalette}};
    for (const Case& c : cases) {
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodePic(c.file.data(), c.file.size(), pic), fovea::kDecodeOk) << c.name;
        EXPECT_TRUE(pic.bits.empty()) << c.name;
    }
}

TEST(PicDecoder, GarbageNeverCrashes)
{
    CRandom rnd(31);
    for (int round = 0; round < 300; ++round) {
        Bytes b = EncodePic(PatternImage(round % 2 ? 16 : 8, 20, 10, uint32_t(round))).file;
        for (int k = 0; k < 1 + int(rnd.Next(8)); ++k)
            b[20 + rnd.Next(uint32_t(b.size() - 20))] = uint8_t(rnd.Next(256));
        DecodedPicture pic;
        if (fovea::DecodePic(b.data(), b.size(), pic) == fovea::kDecodeOk) {
            EXPECT_EQ(pic.bits.size(), pic.Stride() * size_t(pic.height));
        }
    }
}

TEST(PicDecoder, CommittedSampleMatchesExpectedBitmap)
{
    const Bytes file = EncodePic(PatternImage(16, 40, 24, 5)).file;
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodePic(file.data(), file.size(), pic), fovea::kDecodeOk);
    const std::string dir = DataDir("pic");
    if (WritingSamples()) {
        ASSERT_TRUE(WriteWholeFile(dir + "small.pic", file));
        ASSERT_TRUE(WriteWholeFile(dir + "small.expected.bmp", MakeBmp24(pic.width, pic.height, AllRgb(pic))));
        const std::string seeds = std::string(FOVEA_SOURCE_DIR) + "/tests/data/fuzz/pic/";
        ASSERT_TRUE(WriteWholeFile(seeds + "depth16.pic", file));
        ASSERT_TRUE(WriteWholeFile(seeds + "depth15.pic", EncodePic(PatternImage(15, 24, 22, 6)).file));
        ASSERT_TRUE(WriteWholeFile(seeds + "depth8.pic", EncodePic(PatternImage(8, 16, 8, 7)).file));
        ASSERT_TRUE(WriteWholeFile(seeds + "depth4.pic", EncodePic(PatternImage(4, 16, 8, 8)).file));
    }
    Bytes committed, expected;
    ASSERT_TRUE(ReadWholeFile(dir + "small.pic", committed));
    ASSERT_TRUE(ReadWholeFile(dir + "small.expected.bmp", expected));
    DecodedPicture again;
    ASSERT_EQ(fovea::DecodePic(committed.data(), committed.size(), again), fovea::kDecodeOk);
    EXPECT_EQ(MakeBmp24(again.width, again.height, AllRgb(again)), expected);
}

TEST(PicDecoder, FileCommandRecognisesEncodedFiles)
{
#ifdef _WIN32
    GTEST_SKIP() << "host only";
#else
    const std::string path = "file_check.pic";
    ASSERT_TRUE(WriteWholeFile(path, EncodePic(PatternImage(16, 16, 4, 1)).file));
    FILE* p = popen(("file -b " + path + " 2>/dev/null").c_str(), "r");
    if (!p)
        GTEST_SKIP() << "no file command";
    char line[256] = {};
    size_t n = fread(line, 1, sizeof line - 1, p);
    pclose(p);
    if (n == 0)
        GTEST_SKIP() << "no file command";
    EXPECT_NE(std::string(line).find("PIC image"), std::string::npos) << line;
    EXPECT_NE(std::string(line).find("16x4"), std::string::npos) << line;
#endif
}
