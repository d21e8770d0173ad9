// Tests of the XLD4 decoder: the code layer on hand-made bit strings, whole pictures through an encoder of our
// own (several chunks, runs, a dictionary that fills up), and hostile files.
#include "plugins/xld4/Xld4Decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/plugins/mag/RetroTestSupport.h"

using namespace retrotest;
using fovea::DecodedPicture;
namespace xld4 = fovea::xld4;

namespace {

constexpr int kPixels = xld4::kWidth * xld4::kHeight;

// "101 001": bits written out by hand, most significant first; blanks only separate codes.
Bytes BitString(const char* text)
{
    CBitWriter bits;
    for (const char* c = text; *c; ++c)
        if (*c == '0' || *c == '1')
            bits.PutBit(*c == '1');
    return bits.Data();
}

// Runs of 3 or more become a nibble, 16 and a count (n + 2 repeats).
std::vector<uint8_t> RunCode(const std::vector<uint8_t>& nibbles)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < nibbles.size();) {
        uint8_t v = nibbles[i];
        size_t r = 1;
        while (i + r < nibbles.size() && nibbles[i + r] == v)
            ++r;
        out.push_back(v);
        size_t left = r - 1;
        while (left >= 2) {
            size_t k = std::min<size_t>(left, 17);
            out.push_back(16);
            out.push_back(uint8_t(k - 2));
            left -= k;
        }
        if (left == 1)
            out.push_back(v);
        i += r;
    }
    return out;
}

struct LzwStats {
    int maxWidth = 3;
    uint32_t phrases = 0;
};

// Symbols 0-16 to codes: width grows by explicit 1 codes, the dictionary stops growing when full.
Bytes LzwCode(const std::vector<uint8_t>& symbols, LzwStats* stats = nullptr)
{
    constexpr uint32_t kMaxNodes = (1u << 15) - 2;
    std::map<std::pair<uint32_t, uint8_t>, uint32_t> dict;
    uint32_t nodes = 17;
    int width = 3;
    CBitWriter bits;
    auto emit = [&](uint32_t node) {
        while (node + 2 >= (1u << width)) {
            bits.Put(1, width);
            ++width;
        }
        bits.Put(node + 2, width);
    };
    uint32_t w = symbols[0];
    for (size_t i = 1; i < symbols.size(); ++i) {
        auto it = dict.find({w, symbols[i]});
        if (it != dict.end()) {
            w = it->second;
            continue;
        }
        emit(w);
        if (nodes < kMaxNodes)
            dict[{w, symbols[i]}] = nodes++;
        w = symbols[i];
    }
    emit(w);
    bits.Put(0, width);
    if (stats) {
        stats->maxWidth = width;
        stats->phrases = nodes - 17;
    }
    return bits.Data();
}

struct Xld4Image {
    uint8_t palette[48] = {};
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kPixels);
};

// Chunks of `firstPairs` pairs (with the palette), then of `pairsPerChunk`; both counts and the code length of a
// chunk must fit their 16-bit fields.
Bytes EncodeXld4(const Xld4Image& img, size_t firstPairs, size_t pairsPerChunk, LzwStats* stats = nullptr)
{
    Bytes b;
    Append(b, "Q4 TEST ");
    PutLe16(b, 0); // the length, filled in below
    b.push_back(0);
    Append(b, "MAJYO");
    const size_t pairs = kPixels / 2;
    size_t done = 0;
    for (int c = 0; done < pairs; ++c) {
        size_t n = std::min(pairs - done, c == 0 ? firstPairs : pairsPerChunk);
        std::vector<uint8_t> nibbles;
        if (c == 0)
            nibbles.assign(img.palette, img.palette + 48);
        nibbles.insert(nibbles.end(), img.pixels.begin() + std::ptrdiff_t(done * 2),
                       img.pixels.begin() + std::ptrdiff_t((done + n) * 2));
        Bytes codes = LzwCode(RunCode(nibbles), c == 0 ? stats : nullptr);
        EXPECT_LE(codes.size(), 0xFFFFu);
        EXPECT_LE(n, 0xFFFFu);
        PutLe16(b, uint32_t(codes.size()));
        PutLe16(b, 0xABCD);
        PutLe16(b, uint32_t(n));
        b.insert(b.end(), codes.begin(), codes.end());
        done += n;
    }
    b[8] = uint8_t(b.size());
    b[9] = uint8_t(b.size() >> 8);
    return b;
}

Xld4Image PatternImage(uint32_t seed, uint32_t noiseEvery)
{
    Xld4Image img;
    CRandom rnd(seed);
    for (int i = 0; i < 48; ++i)
        img.palette[i] = uint8_t(rnd.Next(16));
    for (int y = 0; y < xld4::kHeight; ++y)
        for (int x = 0; x < xld4::kWidth; ++x) {
            uint8_t v = uint8_t(((x / 24) ^ (y / 16)) & 15);
            if (noiseEvery && rnd.Next(noiseEvery) == 0)
                v = uint8_t(rnd.Next(16));
            img.pixels[size_t(y) * xld4::kWidth + size_t(x)] = v;
        }
    return img;
}

void ExpectPixels(const Xld4Image& img, const DecodedPicture& pic)
{
    ASSERT_EQ(pic.width, 640);
    ASSERT_EQ(pic.height, 400);
    ASSERT_EQ(pic.bitCount, 4);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(pic.palette[size_t(i) * 4 + 2], img.palette[i * 3] * 17) << i;
        EXPECT_EQ(pic.palette[size_t(i) * 4 + 1], img.palette[i * 3 + 1] * 17) << i;
        EXPECT_EQ(pic.palette[size_t(i) * 4 + 0], img.palette[i * 3 + 2] * 17) << i;
    }
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            ASSERT_EQ(IndexAt(pic, x, y), img.pixels[size_t(y) * 640 + size_t(x)]) << x << "," << y;
}

} // namespace

struct ChunkCase {
    const char* name;
    std::vector<uint8_t> codes;
    std::vector<uint8_t> nibbles;
};

class Xld4Chunk : public testing::TestWithParam<ChunkCase> {};

TEST_P(Xld4Chunk, HandMadeCodesGiveTheWorkedOutNibbles)
{
    std::vector<uint8_t> out;
    ASSERT_TRUE(xld4::UnpackChunk(GetParam().codes.data(), GetParam().codes.size(), 100, out));
    EXPECT_EQ(out, GetParam().nibbles);
}

// Symbol 3 twice (defining phrase 17 = 3 3), two wider codes (to 5 bits), phrase 17 (code 19), end.
// Symbol 3, then phrase 17 while it is being defined (3 then 3 3). Symbol 7, the run symbol 16 (code 18) and
// count 4: six more sevens.
INSTANTIATE_TEST_SUITE_P(
    Codes, Xld4Chunk,
    testing::Values(ChunkCase{"phrase", BitString("101 101 001 0001 10011 00000"), {3, 3, 3, 3}},
                    ChunkCase{"phraseBeingDefined", BitString("101 001 0001 10011 00000"), {3, 3, 3}},
                    ChunkCase{"run", BitString("001 1001 0001 10010 00110 00000"), {7, 7, 7, 7, 7, 7, 7}},
                    ChunkCase{"emptyChunk", BitString("000"), {}}),
    [](const testing::TestParamInfo<ChunkCase>& i) { return std::string(i.param.name); });

TEST(Xld4Decoder, MalformedCodesAreRefused)
{
    struct Case {
        const char* name;
        const char* bits;
    };
    const Case cases[] = {
        {"no end code", "101 101"},
        {"phrase not yet defined", "101 001 0001 10101 00000"},
        {"phrase first", "001 0001 10011 00000"},
        {"run first", "001 0001 10010 00110 00000"},
        {"wider than 15 bits",
         "001 0001 00001 000001 0000001 00000001 000000001 0000000001 00000000001 000000000001 0000000000001 "
         "00000000000001 000000000000001 000000000000000"},
        {"run count is the run symbol", "001 1001 0001 10010 10010 00000"},
        {"run at the end", "001 1001 0001 10010 00000"},
    };
    for (const Case& c : cases) {
        const Bytes codes = BitString(c.bits);
        std::vector<uint8_t> out;
        EXPECT_FALSE(xld4::UnpackChunk(codes.data(), codes.size(), 100, out)) << c.name;
    }
    // More nibbles than the chunk may give.
    std::vector<uint8_t> out;
    const Bytes run = BitString("001 1001 0001 10010 00110 00000");
    EXPECT_FALSE(xld4::UnpackChunk(run.data(), run.size(), 6, out));
}

// The widest code is 15 bits: one more widening after 13 of them fails, 13 succeed.
TEST(Xld4Decoder, FifteenBitCodesAreAllowed)
{
    const Bytes codes = BitString("001 0001 00001 000001 0000001 00000001 000000001 0000000001 00000000001 "
                                  "000000000001 0000000000001 00000000000001 000000000000111 000000000000000");
    std::vector<uint8_t> out;
    ASSERT_TRUE(xld4::UnpackChunk(codes.data(), codes.size(), 100, out));
    EXPECT_EQ(out, std::vector<uint8_t>{5});
}

struct PictureCase {
    const char* name;
    uint32_t noise;
    size_t firstPairs, pairsPerChunk;
};

class Xld4Picture : public testing::TestWithParam<PictureCase> {};

TEST_P(Xld4Picture, DecoderReproducesEncodedPixels)
{
    Xld4Image img = PatternImage(3, GetParam().noise);
    Bytes file = EncodeXld4(img, GetParam().firstPairs, GetParam().pairsPerChunk);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeXld4(file.data(), file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

INSTANTIATE_TEST_SUITE_P(Pictures, Xld4Picture,
                         testing::Values(PictureCase{"twoChunks", 50, 64000, 64000},
                                         PictureCase{"unevenChunks", 50, 1000, 30000},
                                         PictureCase{"paletteOnlyFirst", 0, 0, 64000},
                                         PictureCase{"noisy", 2, 16000, 16000}),
                         [](const testing::TestParamInfo<PictureCase>& i) { return std::string(i.param.name); });

// Noise fills the first chunk's dictionary: codes reach 15 bits and phrases stop being added.
TEST(Xld4Decoder, FullDictionaryKeepsDecoding)
{
    Xld4Image img = PatternImage(8, 1);
    LzwStats stats;
    Bytes file = EncodeXld4(img, 50500, 20000, &stats);
    EXPECT_EQ(stats.maxWidth, 15);
    EXPECT_EQ(stats.phrases, (1u << 15) - 2 - 17);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeXld4(file.data(), file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

TEST(Xld4Decoder, TruncationsFail)
{
    Bytes file = EncodeXld4(PatternImage(4, 0), 50000, 40000);
    for (size_t n = 0; n < file.size(); n += (n < 64 ? 1 : 7)) {
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodeXld4(file.data(), n, pic), fovea::kDecodeOk) << n;
        EXPECT_TRUE(pic.bits.empty());
    }
}

TEST(Xld4Decoder, ChunksThatDoNotFitAreRefused)
{
    const Bytes good = EncodeXld4(PatternImage(4, 0), 64000, 64000);
    struct Patch {
        const char* name;
        size_t at;
        uint8_t value;
    };
    const Patch patches[] = {
        {"pair count too large", 16 + 5, 0xFF},
        {"pair count too small", 16 + 5, 0x00},
        {"pair count off by one", 16 + 4, 0x01},
        {"code length past the end", 16 + 1, 0xFF},
        {"no MAJYO", 12, 'X'},
    };
    for (const Patch& p : patches) {
        Bytes b = good;
        b[p.at] = p.value;
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodeXld4(b.data(), b.size(), pic), fovea::kDecodeOk) << p.name;
    }
}

// The host asks with the first 2 KiB of a file only.
TEST(Xld4Decoder, RecognisedFromTheFirstBytes)
{
    const Bytes file = EncodeXld4(PatternImage(6, 20), 64000, 64000);
    ASSERT_GT(file.size(), 2048u);
    EXPECT_TRUE(fovea::IsXld4(file.data(), 2048));
    Bytes other = file;
    other[15] = 'X';
    EXPECT_FALSE(fovea::IsXld4(other.data(), 2048));
}

TEST(Xld4Decoder, GarbageNeverCrashes)
{
    CRandom rnd(12);
    const Bytes good = EncodeXld4(PatternImage(6, 20), 64000, 64000);
    for (int round = 0; round < 200; ++round) {
        Bytes b = good;
        for (int k = 0; k < 1 + int(rnd.Next(6)); ++k)
            b[16 + rnd.Next(uint32_t(b.size() - 16))] = uint8_t(rnd.Next(256));
        DecodedPicture pic;
        if (fovea::DecodeXld4(b.data(), b.size(), pic) == fovea::kDecodeOk) {
            EXPECT_EQ(pic.bits.size(), pic.Stride() * size_t(pic.height));
        }
    }
}

TEST(Xld4Decoder, CommittedSampleMatchesExpectedBitmap)
{
    const Bytes file = EncodeXld4(PatternImage(5, 200), 64000, 64000);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeXld4(file.data(), file.size(), pic), fovea::kDecodeOk);
    const std::string dir = DataDir("xld4");
    if (WritingSamples()) {
        ASSERT_TRUE(WriteWholeFile(dir + "small.q4", file));
        ASSERT_TRUE(WriteWholeFile(dir + "small.expected.bmp", MakeBmp24(pic.width, pic.height, AllRgb(pic))));
        const std::string seeds = std::string(FOVEA_SOURCE_DIR) + "/tests/data/fuzz/xld4/";
        ASSERT_TRUE(WriteWholeFile(seeds + "two_chunks.q4", EncodeXld4(PatternImage(5, 0), 64000, 64000)));
        ASSERT_TRUE(WriteWholeFile(seeds + "one_chunk.q4", EncodeXld4(PatternImage(9, 0), 10, 50000)));
    }
    Bytes committed, expected;
    ASSERT_TRUE(ReadWholeFile(dir + "small.q4", committed));
    ASSERT_TRUE(ReadWholeFile(dir + "small.expected.bmp", expected));
    DecodedPicture again;
    ASSERT_EQ(fovea::DecodeXld4(committed.data(), committed.size(), again), fovea::kDecodeOk);
    EXPECT_EQ(MakeBmp24(again.width, again.height, AllRgb(again)), expected);
}

TEST(Xld4Decoder, FileCommandRecognisesEncodedFiles)
{
#ifdef _WIN32
    GTEST_SKIP() << "host only";
#else
    const std::string path = "file_check.q4";
    ASSERT_TRUE(WriteWholeFile(path, EncodeXld4(PatternImage(5, 0), 64000, 64000)));
    FILE* p = popen(("file -b " + path + " 2>/dev/null").c_str(), "r");
    if (!p)
        GTEST_SKIP() << "no file command";
    char line[256] = {};
    size_t n = fread(line, 1, sizeof line - 1, p);
    pclose(p);
    if (n == 0)
        GTEST_SKIP() << "no file command";
    EXPECT_NE(std::string(line).find("XLD4"), std::string::npos) << line;
#endif
}
