// Tests of the MAG decoder against a small encoder of our own and hand-made files worked out from the format
// description.
#include "plugins/mag/MagDecoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "tests/plugins/mag/RetroTestSupport.h"

using namespace retrotest;
using fovea::DecodedPicture;

namespace {

// Copy sources of nibbles 1-15, (words left, lines up), typed from the description.
const int kDx[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
const int kDy[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

struct MagImage {
    bool b256 = false;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<uint8_t> stored; // indices of the stored area: x from x1 rounded down to a flag byte
    int StoredWidth() const
    {
        int dpf = b256 ? 4 : 8;
        return (x2 / dpf - x1 / dpf + 1) * dpf;
    }
    int Height() const { return y2 - y1 + 1; }
    int StoredX() const { return x1 - x1 % (b256 ? 4 : 8); }
};

struct MagEncoding {
    Bytes file;
    std::array<int, 16> nibbleUse{};
};

MagEncoding EncodeMag(const MagImage& img, bool useCopies = true)
{
    const int w = img.StoredWidth(), h = img.Height();
    const int bytesPerLine = img.b256 ? w : w / 2;
    const int words = bytesPerLine / 2, flagsPerLine = words / 2;
    std::vector<uint8_t> lines(size_t(bytesPerLine) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t v = img.stored[size_t(y) * size_t(w) + size_t(x)];
            if (img.b256)
                lines[size_t(y) * bytesPerLine + x] = v;
            else
                lines[size_t(y) * bytesPerLine + x / 2] |= uint8_t((x & 1) ? v : v << 4);
        }
    auto word = [&](int y, int wx) {
        const uint8_t* p = &lines[size_t(y) * bytesPerLine + size_t(wx) * 2];
        return uint32_t(p[0]) << 8 | p[1];
    };
    MagEncoding enc;
    CBitWriter flagA;
    Bytes flagB, pixels;
    std::vector<uint8_t> previous(size_t(flagsPerLine), 0);
    for (int y = 0; y < h; ++y)
        for (int f = 0; f < flagsPerLine; ++f) {
            uint8_t flag = 0;
            for (int half = 0; half < 2; ++half) {
                int wx = f * 2 + half, chosen = 0;
                for (int n = 1; useCopies && n < 16 && !chosen; ++n)
                    if (kDx[n] <= wx && kDy[n] <= y && word(y - kDy[n], wx - kDx[n]) == word(y, wx))
                        chosen = n;
                ++enc.nibbleUse[size_t(chosen)];
                flag = uint8_t(flag | (half == 0 ? chosen << 4 : chosen));
                if (!chosen)
                    PutBe16(pixels, word(y, wx));
            }
            flagA.PutBit(flag != previous[size_t(f)]);
            if (flag != previous[size_t(f)])
                flagB.push_back(uint8_t(flag ^ previous[size_t(f)]));
            previous[size_t(f)] = flag;
        }
    Bytes& b = enc.file;
    Append(b, "MAKI02  TEST");
    Append(b, "tester            comment");
    b.push_back(0x1A);
    const uint32_t colours = img.b256 ? 256 : 16;
    const uint32_t flagAAt = 32u + colours * 3;
    const uint32_t flagBAt = flagAAt + uint32_t(flagA.Data().size());
    const uint32_t pixelAt = flagBAt + uint32_t(flagB.size());
    b.push_back(0);
    b.push_back(0);
    b.push_back(0);
    b.push_back(img.b256 ? 0x80 : 0);
    PutLe16(b, uint32_t(img.x1));
    PutLe16(b, uint32_t(img.y1));
    PutLe16(b, uint32_t(img.x2));
    PutLe16(b, uint32_t(img.y2));
    PutLe32(b, flagAAt);
    PutLe32(b, flagBAt);
    PutLe32(b, uint32_t(flagB.size()));
    PutLe32(b, pixelAt);
    PutLe32(b, uint32_t(pixels.size()));
    for (uint32_t i = 0; i < colours; ++i) { // green, red, blue
        b.push_back(uint8_t(i * 7));
        b.push_back(uint8_t(255 - i));
        b.push_back(uint8_t(i * 13));
    }
    b.insert(b.end(), flagA.Data().begin(), flagA.Data().end());
    b.insert(b.end(), flagB.begin(), flagB.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return enc;
}

// Pictures made of a few distinct words, so every copy vector gets used.
MagImage PatternImage(bool b256, int x1, int x2, int lines, uint32_t seed, uint32_t distinct)
{
    MagImage img;
    img.b256 = b256;
    img.x1 = x1;
    img.x2 = x2;
    img.y1 = 5;
    img.y2 = 5 + lines - 1;
    const int w = img.StoredWidth(), dpw = b256 ? 2 : 4;
    CRandom rnd(seed);
    std::vector<std::vector<uint8_t>> choices(distinct);
    for (auto& c : choices)
        for (int i = 0; i < dpw; ++i)
            c.push_back(uint8_t(rnd.Next(b256 ? 256 : 16)));
    for (int y = 0; y < lines; ++y)
        for (int wx = 0; wx < w / dpw; ++wx) {
            const auto& c = choices[rnd.Next(distinct)];
            img.stored.insert(img.stored.end(), c.begin(), c.end());
        }
    return img;
}

void ExpectPixels(const MagImage& img, const DecodedPicture& pic)
{
    ASSERT_EQ(pic.width, img.x2 - img.x1 + 1);
    ASSERT_EQ(pic.height, img.Height());
    ASSERT_EQ(pic.bitCount, img.b256 ? 8 : 4);
    const int skip = img.x1 - img.StoredX(), w = img.StoredWidth();
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            ASSERT_EQ(IndexAt(pic, x, y), img.stored[size_t(y) * size_t(w) + size_t(x + skip)])
                << "at " << x << "," << y;
}

} // namespace

// 8 x 2 dots of 16 colours, worked out by hand: line 0 is one literal word and a copy of the word to its left
// (flag 0x01), line 1 copies the word above (nibble 4) and the word to its left (flag 0x41, stored as 0x01 ^ 0x41).
TEST(MagDecoder, HandMadeFileGivesTheWorkedOutPixels)
{
    Bytes b;
    Append(b, "MAKI02  PC98user\x1A");
    const uint8_t header[32] = {0,  0, 0, 0, 0, 0, 0, 0, 7,  0, 1, 0, 80, 0, 0, 0,
                                81, 0, 0, 0, 2, 0, 0, 0, 83, 0, 0, 0, 2,  0, 0, 0};
    b.insert(b.end(), header, header + 32);
    for (int i = 0; i < 16; ++i) {
        b.push_back(uint8_t(0x10 * i)); // green
        b.push_back(uint8_t(0xF0));     // red
        b.push_back(uint8_t(i));        // blue
    }
    const uint8_t body[] = {0xC0, 0x01, 0x40, 0x12, 0x34};
    b.insert(b.end(), body, body + sizeof body);

    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(b.data(), b.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(pic.width, 8);
    ASSERT_EQ(pic.height, 2);
    ASSERT_EQ(pic.bitCount, 4);
    const int expected[8] = {1, 2, 3, 4, 1, 2, 3, 4};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(IndexAt(pic, x, y), expected[x]) << x << "," << y;
    // Palette: stored green, red, blue; handed on as blue, green, red, 0.
    EXPECT_EQ(pic.palette[3 * 4 + 0], 3);
    EXPECT_EQ(pic.palette[3 * 4 + 1], 0x30);
    EXPECT_EQ(pic.palette[3 * 4 + 2], 0xF0);
    // Rows are bottom-up: the first stored row is the picture's last line.
    EXPECT_EQ(pic.bits[0], 0x12);
}

// A copy 16 lines up, by hand: 17 lines of 8 dots; line 0 literal, lines 1-15 a fresh literal each, line 16
// copies both words of line 0 with nibble 15 (0,16).
TEST(MagDecoder, HandMadeCopySixteenLinesUp)
{
    Bytes flagA, flagB, pixels;
    CBitWriter bits;
    for (int y = 0; y < 17; ++y)
        bits.PutBit(y == 16);
    flagB.push_back(0xFF);
    for (int y = 0; y < 16; ++y)
        for (int wx = 0; wx < 2; ++wx) {
            pixels.push_back(uint8_t(y * 16 + wx));
            pixels.push_back(uint8_t(0x55 + y));
        }
    Bytes b;
    Append(b, "MAKI02  PC98\x1A");
    const uint32_t aAt = 32 + 48, bAt = aAt + uint32_t(bits.Data().size()), pAt = bAt + 1;
    b.insert(b.end(), {0, 0, 0, 0});
    PutLe16(b, 0);
    PutLe16(b, 0);
    PutLe16(b, 7);
    PutLe16(b, 16);
    PutLe32(b, aAt);
    PutLe32(b, bAt);
    PutLe32(b, 1);
    PutLe32(b, pAt);
    PutLe32(b, uint32_t(pixels.size()));
    b.resize(b.size() + 48, 0);
    b.insert(b.end(), bits.Data().begin(), bits.Data().end());
    b.insert(b.end(), flagB.begin(), flagB.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(b.data(), b.size(), pic), fovea::kDecodeOk);
    ASSERT_EQ(pic.height, 17);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(IndexAt(pic, x, 16), IndexAt(pic, x, 0)) << x;
    EXPECT_EQ(IndexAt(pic, 0, 0), 0);
    EXPECT_EQ(IndexAt(pic, 5, 0), 1);
    EXPECT_EQ(IndexAt(pic, 2, 0), 5);
}

struct RoundTripCase {
    const char* name;
    bool b256;
    int x1, x2, lines;
    uint32_t distinct;
};

class MagRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(MagRoundTrip, DecoderReproducesEncodedPixels)
{
    const RoundTripCase& c = GetParam();
    MagImage img = PatternImage(c.b256, c.x1, c.x2, c.lines, 1234, c.distinct);
    MagEncoding enc = EncodeMag(img);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
    int copies = 0;
    for (int n = 1; n < 16; ++n)
        copies += enc.nibbleUse[size_t(n)];
    EXPECT_GT(copies, 0) << "the encoder should have used copies";
}

INSTANTIATE_TEST_SUITE_P(Pictures, MagRoundTrip,
                         testing::Values(RoundTripCase{"colours16", false, 0, 63, 40, 3},
                                         RoundTripCase{"colours256", true, 0, 39, 40, 3},
                                         RoundTripCase{"unalignedX1", false, 3, 50, 20, 4},
                                         RoundTripCase{"unalignedX1of256", true, 6, 33, 20, 4},
                                         RoundTripCase{"oneDotWide", false, 13, 13, 9, 2},
                                         RoundTripCase{"manyColours", false, 0, 31, 10, 400}),
                         [](const testing::TestParamInfo<RoundTripCase>& i) { return std::string(i.param.name); });

TEST(MagDecoder, EveryCopyVectorDecodes)
{
    MagImage img = PatternImage(false, 0, 255, 64, 99, 3);
    MagEncoding enc = EncodeMag(img);
    for (int n = 1; n < 16; ++n)
        EXPECT_GT(enc.nibbleUse[size_t(n)], 0) << "vector " << n << " unused: picture too regular";
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

TEST(MagDecoder, LiteralOnlyFileDecodes)
{
    MagImage img = PatternImage(true, 0, 15, 8, 7, 5);
    MagEncoding enc = EncodeMag(img, false);
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

// The 200-line aspect flag leaves the stored lines as they are.
TEST(MagDecoder, TwoHundredLineFlagKeepsStoredLines)
{
    MagImage img = PatternImage(false, 0, 15, 6, 5, 3);
    MagEncoding enc = EncodeMag(img);
    size_t header = std::string(enc.file.begin(), enc.file.end()).find('\x1A') + 1;
    enc.file[header + 3] |= 1;
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(enc.file.data(), enc.file.size(), pic), fovea::kDecodeOk);
    ExpectPixels(img, pic);
}

TEST(MagDecoder, EveryTruncationFails)
{
    MagEncoding enc = EncodeMag(PatternImage(false, 3, 30, 6, 11, 3));
    for (size_t n = 0; n < enc.file.size(); ++n) {
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodeMag(enc.file.data(), n, pic), fovea::kDecodeOk) << "prefix " << n;
        EXPECT_TRUE(pic.bits.empty());
    }
}

TEST(MagDecoder, HostileHeadersFail)
{
    const Bytes good = EncodeMag(PatternImage(false, 0, 15, 4, 3, 3)).file;
    const size_t header = std::string(good.begin(), good.end()).find('\x1A') + 1;
    struct Patch {
        const char* name;
        size_t at;
        std::vector<uint8_t> bytes;
    };
    const Patch patches[] = {
        {"huge size", 8, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"x2 before x1", 4, {0x10, 0, 0, 0, 0x02, 0}},
        {"flag A beyond the file", 12, {0, 0, 0, 0x40}},
        {"flag B before flag A", 16, {0, 0, 0, 0}},
        {"flag B beyond the file", 16, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"pixels beyond the file", 24, {0xF0, 0xFF, 0xFF, 0xFF}},
        {"flag B too short", 20, {0, 0, 0, 0}},
        {"pixels too short", 28, {1, 0, 0, 0}},
    };
    for (const Patch& p : patches) {
        Bytes b = good;
        std::memcpy(&b[header + p.at], p.bytes.data(), p.bytes.size());
        DecodedPicture pic;
        EXPECT_NE(fovea::DecodeMag(b.data(), b.size(), pic), fovea::kDecodeOk) << p.name;
    }
}

TEST(MagDecoder, GarbageNeverCrashes)
{
    CRandom rnd(5);
    for (int round = 0; round < 300; ++round) {
        Bytes b = EncodeMag(PatternImage(round & 1, 0, 31, 8, uint32_t(round), 3)).file;
        for (int k = 0; k < 1 + int(rnd.Next(8)); ++k)
            b[8 + rnd.Next(uint32_t(b.size() - 8))] = uint8_t(rnd.Next(256));
        DecodedPicture pic;
        int r = fovea::DecodeMag(b.data(), b.size(), pic);
        if (r == fovea::kDecodeOk) {
            EXPECT_EQ(pic.bits.size(), pic.Stride() * size_t(pic.height));
        }
    }
}

TEST(MagDecoder, RecognisesOnlyMag)
{
    Bytes good = EncodeMag(PatternImage(false, 0, 7, 1, 1, 1)).file;
    EXPECT_TRUE(fovea::IsMag(good.data(), good.size()));
    const char* others[] = {"MAKI01  PC98\x1A", "MAKI02 PC98\x1A", "MAKI02  no end of comment"};
    for (const char* o : others)
        EXPECT_FALSE(fovea::IsMag(reinterpret_cast<const uint8_t*>(o), std::strlen(o))) << o;
}

// The committed sample decodes to its expected pixels; FOVEA_WRITE_SAMPLES=1 rewrites it and the seeds.
TEST(MagDecoder, CommittedSampleMatchesExpectedBitmap)
{
    MagImage img = PatternImage(false, 2, 45, 12, 77, 4);
    const Bytes file = EncodeMag(img).file;
    DecodedPicture pic;
    ASSERT_EQ(fovea::DecodeMag(file.data(), file.size(), pic), fovea::kDecodeOk);
    const Bytes bmp = MakeBmp24(pic.width, pic.height, AllRgb(pic));
    const std::string dir = DataDir("mag");
    if (WritingSamples()) {
        ASSERT_TRUE(WriteWholeFile(dir + "small.mag", file));
        ASSERT_TRUE(WriteWholeFile(dir + "small.expected.bmp", bmp));
        const std::string seeds = std::string(FOVEA_SOURCE_DIR) + "/tests/data/fuzz/mag/";
        ASSERT_TRUE(WriteWholeFile(seeds + "pattern16.mag", file));
        ASSERT_TRUE(WriteWholeFile(seeds + "pattern256.mag", EncodeMag(PatternImage(true, 1, 20, 9, 3, 3)).file));
    }
    Bytes committed, expected;
    ASSERT_TRUE(ReadWholeFile(dir + "small.mag", committed));
    ASSERT_TRUE(ReadWholeFile(dir + "small.expected.bmp", expected));
    DecodedPicture again;
    ASSERT_EQ(fovea::DecodeMag(committed.data(), committed.size(), again), fovea::kDecodeOk);
    EXPECT_EQ(MakeBmp24(again.width, again.height, AllRgb(again)), expected);
}

TEST(MagDecoder, FileCommandRecognisesEncodedFiles)
{
#ifdef _WIN32
    GTEST_SKIP() << "host only";
#else
    const std::string path = "file_check.mag";
    ASSERT_TRUE(WriteWholeFile(path, EncodeMag(PatternImage(false, 0, 15, 2, 1, 2)).file));
    FILE* p = popen(("file -b " + path + " 2>/dev/null").c_str(), "r");
    if (!p)
        GTEST_SKIP() << "no file command";
    char line[256] = {};
    size_t n = fread(line, 1, sizeof line - 1, p);
    pclose(p);
    if (n == 0)
        GTEST_SKIP() << "no file command";
    EXPECT_NE(std::string(line).find("Maki-chan"), std::string::npos) << line;
#endif
}
