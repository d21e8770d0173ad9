// TIFF decoder tests: files written by ImageMagick and re-laid by tiffcp (byte orders, strips, tiles, planes,
// every codec, predictor), compared with the pixels they were made from; hand-built files for the layouts the
// tools do not write; and damaged directories, offsets and codec streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "plugins/tiff/TiffDecoder.h"
#include "tests/plugins/golden/GoldenImage.h"

using fovea::DecodedPicture;
using golden::RgbImage;

namespace {

int Decode(const std::vector<uint8_t>& file, DecodedPicture& picture)
{
    return DecodeTiff(file.data(), file.size(), picture);
}

// Little-endian TIFF files put together entry by entry: one directory after the header, values and chunks after.
struct CTiffWriter {
    struct Entry {
        uint16_t tag, type;
        std::vector<uint32_t> values;
    };
    std::vector<Entry> m_entries;
    std::vector<std::vector<uint8_t>> m_chunks;
    bool m_bStripCounts = true;
    uint32_t m_nNextDirectory = 0;

    void Add(uint16_t tag, uint16_t type, std::vector<uint32_t> values) { m_entries.push_back({tag, type, values}); }
    void Set(uint16_t tag, uint32_t value) { Add(tag, value > 0xFFFF ? 4 : 3, {value}); }

    std::vector<uint8_t> Build(bool tiles = false) const
    {
        std::vector<Entry> entries = m_entries;
        size_t count = entries.size() + (m_bStripCounts ? 2 : 1);
        size_t at = 8 + 2 + count * 12 + 4;
        // Out-of-line values, then the chunks.
        size_t valuesBytes = 0;
        for (const Entry& e : entries)
            valuesBytes += ValueBytes(e) > 4 ? ValueBytes(e) : 0;
        valuesBytes += m_chunks.size() > 1 ? m_chunks.size() * (m_bStripCounts ? 8 : 4) : 0;
        size_t chunkAt = at + valuesBytes;
        std::vector<uint32_t> offsets, counts;
        for (const auto& c : m_chunks) {
            offsets.push_back(uint32_t(chunkAt));
            counts.push_back(uint32_t(c.size()));
            chunkAt += c.size();
        }
        entries.push_back({uint16_t(tiles ? 324 : 273), 4, offsets});
        if (m_bStripCounts)
            entries.push_back({uint16_t(tiles ? 325 : 279), 4, counts});
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });

        std::vector<uint8_t> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
        Put16(out, uint16_t(entries.size()));
        std::vector<uint8_t> values;
        for (const Entry& e : entries) {
            Put16(out, e.tag);
            Put16(out, e.type);
            Put32(out, uint32_t(e.values.size()));
            std::vector<uint8_t> bytes;
            for (uint32_t v : e.values) {
                if (e.type == 3)
                    Put16(bytes, uint16_t(v));
                else if (e.type == 1)
                    bytes.push_back(uint8_t(v));
                else
                    Put32(bytes, v);
            }
            if (bytes.size() <= 4) {
                bytes.resize(4, 0);
                out.insert(out.end(), bytes.begin(), bytes.end());
            } else {
                Put32(out, uint32_t(at + values.size()));
                values.insert(values.end(), bytes.begin(), bytes.end());
            }
        }
        Put32(out, m_nNextDirectory);
        out.insert(out.end(), values.begin(), values.end());
        for (const auto& c : m_chunks)
            out.insert(out.end(), c.begin(), c.end());
        return out;
    }

    static size_t ValueBytes(const Entry& e) { return e.values.size() * (e.type == 3 ? 2 : e.type == 1 ? 1 : 4); }
    static void Put16(std::vector<uint8_t>& d, uint16_t v)
    {
        d.push_back(uint8_t(v));
        d.push_back(uint8_t(v >> 8));
    }
    static void Put32(std::vector<uint8_t>& d, uint32_t v)
    {
        Put16(d, uint16_t(v));
        Put16(d, uint16_t(v >> 16));
    }
};

// A grey picture of width x height with one chunk per strip of rows, values taken from the generated picture.
CTiffWriter GreyWriter(int width, int height, int bits, int photometric, int rowsPerStrip, RgbImage& expected)
{
    RgbImage source = golden::MakePicture(width, height);
    expected = source;
    CTiffWriter w;
    w.Set(256, uint32_t(width));
    w.Set(257, uint32_t(height));
    w.Set(258, uint32_t(bits));
    w.Set(259, 1);
    w.Set(262, uint32_t(photometric));
    w.Set(278, uint32_t(rowsPerStrip));
    size_t rowBytes = (size_t(width) * bits + 7) / 8;
    uint32_t maxValue = (1u << bits) - 1;
    for (int y0 = 0; y0 < height; y0 += rowsPerStrip) {
        std::vector<uint8_t> strip;
        for (int y = y0; y < height && y < y0 + rowsPerStrip; ++y) {
            std::vector<uint8_t> row(rowBytes, 0);
            for (int x = 0; x < width; ++x) {
                uint32_t v = source.At(x, y)[1] * maxValue / 255;
                uint32_t stored = photometric == 0 ? maxValue - v : v;
                size_t bit = size_t(x) * bits;
                row[bit / 8] = uint8_t(row[bit / 8] | stored << (8 - bits - bit % 8));
                uint8_t shown = uint8_t(v * 255 / maxValue);
                for (int c = 0; c < 3; ++c)
                    expected.At(x, y)[c] = shown;
            }
            strip.insert(strip.end(), row.begin(), row.end());
        }
        w.m_chunks.push_back(strip);
    }
    return w;
}

class TiffGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!golden::HaveTool("convert") || !golden::HaveTool("tiffcp"))
            GTEST_SKIP() << "ImageMagick or libtiff-tools are not available";
    }
};

TEST_F(TiffGolden, RgbLayoutsAndCodecsMatchTheSource)
{
    RgbImage source = golden::MakePicture(157, 93);
    ASSERT_TRUE(golden::WritePpm("tiff_rgb.ppm", source));
    ASSERT_TRUE(golden::Run("convert tiff_rgb.ppm -compress None tiff_rgb.tif"));
    const char* layouts[] = {
        "-c none",
        "-c lzw",
        "-c lzw:2", // horizontal differencing
        "-c zip",
        "-c zip:2 -B", // big-endian
        "-c packbits -L",
        "-c lzw -r 7",         // many strips, a short last one
        "-c none -p separate", // a plane per sample
        "-c lzw:2 -p separate -B -r 10",
        "-c zip -t -w 32 -l 16", // tiles, partial at the right and bottom edges
        "-c lzw:2 -t -w 64 -l 64 -B",
        "-c packbits -t -w 16 -l 32 -p separate",
        "-c none -f lsb2msb", // bits of each byte in reverse order
        "-c lzw -f lsb2msb -r 5",
    };
    int n = 0;
    for (const char* layout : layouts) {
        SCOPED_TRACE(layout);
        std::string name = "tiff_rgb" + std::to_string(n++) + ".tif";
        ASSERT_TRUE(golden::Run(std::string("tiffcp ") + layout + " tiff_rgb.tif " + name));
        DecodedPicture picture;
        ASSERT_EQ(Decode(golden::ReadFile(name), picture), fovea::kDecodeOk);
        EXPECT_EQ(picture.bitCount, 24);
        RgbImage decoded = golden::FromDib(picture);
        EXPECT_EQ(golden::MaxDifference(decoded, source), 0);
        // libtiff's own reading of the same file agrees.
        if (golden::HaveTool("tiff2rgba") && n % 4 == 1) {
            ASSERT_TRUE(golden::Run("tiff2rgba -c none " + name + " " + name + ".rgba.tif"));
            ASSERT_TRUE(golden::Run("convert " + name + ".rgba.tif -alpha off " + name + ".ppm"));
            EXPECT_EQ(golden::MaxDifference(decoded, golden::ReadPnm(name + ".ppm")), 0);
        }
    }
}

TEST_F(TiffGolden, GreyPaletteAndDeepSamplesMatchTheSource)
{
    RgbImage colours = golden::MakePicture(61, 47, 6); // 216 colours at most: a palette holds them
    ASSERT_TRUE(golden::WritePpm("tiff_pal.ppm", colours));
    RgbImage grey = golden::MakePicture(61, 47);
    for (size_t i = 0; i < grey.rgb.size(); i += 3)
        grey.rgb[i] = grey.rgb[i + 2] = grey.rgb[i + 1];
    ASSERT_TRUE(golden::WritePpm("tiff_grey.ppm", grey));
    struct Case {
        const char* command;
        const RgbImage* expected;
        int bitCount;
    } cases[] = {
        {"convert tiff_pal.ppm -type Palette tiff_c0.tif", &colours, 8},
        {"convert tiff_pal.ppm -type Palette -compress LZW tiff_c1.tif", &colours, 8},
        {"convert tiff_pal.ppm -depth 16 -compress Zip tiff_c2.tif", &colours, 24},
        {"convert tiff_pal.ppm -depth 16 tiff_tmp.tif && tiffcp -c lzw:2 -B tiff_tmp.tif tiff_c3.tif", &colours, 24},
        {"convert tiff_grey.ppm -colorspace Gray -depth 8 -compress LZW tiff_c4.tif", &grey, 8},
        {"convert tiff_grey.ppm -colorspace Gray -depth 16 -compress Zip tiff_c5.tif", &grey, 8},
        {"convert tiff_grey.ppm -colorspace Gray -depth 8 tiff_tmp.tif && tiffcp -c packbits -t -w 16 -l 16 "
         "tiff_tmp.tif "
         "tiff_c6.tif",
         &grey, 8},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(golden::Run(c.command));
        DecodedPicture picture;
        ASSERT_EQ(Decode(golden::ReadFile("tiff_c" + std::to_string(n++) + ".tif"), picture), fovea::kDecodeOk);
        EXPECT_EQ(picture.bitCount, c.bitCount);
        EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), *c.expected), 0);
    }

    // Sixteen colours stored in 4 bits stay 4 bits deep.
    ASSERT_TRUE(golden::Run("convert tiff_pal.ppm -colors 16 -type Palette -depth 4 tiff_p4.tif"));
    ASSERT_TRUE(golden::Run("convert tiff_p4.tif -depth 8 tiff_p4.ppm"));
    DecodedPicture picture;
    ASSERT_EQ(Decode(golden::ReadFile("tiff_p4.tif"), picture), fovea::kDecodeOk);
    EXPECT_EQ(picture.bitCount, 4);
    EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), golden::ReadPnm("tiff_p4.ppm")), 0);
}

// Alpha composited over white, as ImageMagick flattens it; orientation as ImageMagick turns it upright.
TEST_F(TiffGolden, AlphaAndOrientationAgreeWithImageMagick)
{
    RgbImage source = golden::MakePicture(40, 26);
    ASSERT_TRUE(golden::WritePpm("tiff_a.ppm", source));
    ASSERT_TRUE(golden::Run("convert tiff_a.ppm \\( -size 40x26 gradient: \\) -alpha off -compose CopyOpacity "
                            "-composite tiff_a.tif"));
    ASSERT_TRUE(golden::Run("tiffcp -c lzw:2 -p separate tiff_a.tif tiff_a2.tif"));
    ASSERT_TRUE(golden::Run("convert tiff_a.tif -background white -flatten tiff_a.ref.ppm"));
    RgbImage flattened = golden::ReadPnm("tiff_a.ref.ppm");
    for (const char* name : {"tiff_a.tif", "tiff_a2.tif"}) {
        SCOPED_TRACE(name);
        DecodedPicture picture;
        ASSERT_EQ(Decode(golden::ReadFile(name), picture), fovea::kDecodeOk);
        int most = golden::MaxDifference(golden::FromDib(picture), flattened);
        EXPECT_GE(most, 0);
        EXPECT_LE(most, 1);
    }

    const char* orients[] = {"",         "top-left",  "top-right",    "bottom-right", "bottom-left",
                             "left-top", "right-top", "right-bottom", "left-bottom"};
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(orients[o]);
        std::string name = "tiff_o" + std::to_string(o);
        ASSERT_TRUE(golden::Run(std::string("convert tiff_a.ppm -orient ") + orients[o] + " " + name + ".tif"));
        ASSERT_TRUE(golden::Run("convert " + name + ".tif -auto-orient " + name + ".ppm"));
        DecodedPicture picture;
        ASSERT_EQ(Decode(golden::ReadFile(name + ".tif"), picture), fovea::kDecodeOk);
        EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), golden::ReadPnm(name + ".ppm")), 0);
    }
}

TEST(TiffDecoder, BilevelAndShallowGreyKeepTheirDepth)
{
    struct Case {
        int bits, photometric, bitCount;
    } cases[] = {{1, 1, 1}, {1, 0, 1}, {2, 1, 4}, {4, 0, 4}, {8, 0, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE("bits " + std::to_string(c.bits) + " photometric " + std::to_string(c.photometric));
        RgbImage expected;
        CTiffWriter w = GreyWriter(37, 21, c.bits, c.photometric, 4, expected);
        DecodedPicture picture;
        ASSERT_EQ(Decode(w.Build(), picture), fovea::kDecodeOk);
        EXPECT_EQ(picture.bitCount, c.bitCount);
        EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), expected), 0);
    }
}

// Sub-byte pixels in tiles whose width is not a whole number of bytes.
TEST(TiffDecoder, BilevelTilesWithEdgesInsideBytes)
{
    RgbImage expected;
    CTiffWriter strips = GreyWriter(45, 19, 1, 1, 19, expected);
    // Re-cut the one strip into 12 x 8 tiles of 1-bit pixels.
    const std::vector<uint8_t>& all = strips.m_chunks[0];
    size_t rowBytes = (45 + 7) / 8;
    CTiffWriter w;
    w.m_entries = strips.m_entries;
    w.m_entries.erase(std::remove_if(w.m_entries.begin(), w.m_entries.end(),
                                     [](const CTiffWriter::Entry& e) { return e.tag == 278; }),
                      w.m_entries.end());
    w.Set(322, 12);
    w.Set(323, 8);
    for (int ty = 0; ty < 3; ++ty) {
        for (int tx = 0; tx < 4; ++tx) {
            std::vector<uint8_t> tile(2 * 8, 0);
            for (int r = 0; r < 8; ++r) {
                for (int c = 0; c < 12; ++c) {
                    int x = tx * 12 + c, y = ty * 8 + r;
                    if (x >= 45 || y >= 19)
                        continue;
                    int bit = (all[size_t(y) * rowBytes + x / 8] >> (7 - x % 8)) & 1;
                    tile[size_t(r) * 2 + c / 8] = uint8_t(tile[size_t(r) * 2 + c / 8] | bit << (7 - c % 8));
                }
            }
            w.m_chunks.push_back(tile);
        }
    }
    DecodedPicture picture;
    ASSERT_EQ(Decode(w.Build(true), picture), fovea::kDecodeOk);
    EXPECT_EQ(picture.bitCount, 1);
    EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), expected), 0);
}

// Without StripByteCounts the library cannot tell where several uncompressed strips end: such a file is
// refused cleanly. One strip is taken to run to the end of the file.
TEST(TiffDecoder, MissingStripByteCountsAndShortStrips)
{
    RgbImage expected;
    CTiffWriter w = GreyWriter(30, 10, 8, 1, 3, expected);
    w.m_bStripCounts = false;
    DecodedPicture picture;
    EXPECT_EQ(Decode(w.Build(), picture), fovea::kDecodeBroken);
    CTiffWriter one = GreyWriter(30, 10, 8, 1, 10, expected);
    one.m_bStripCounts = false;
    ASSERT_EQ(Decode(one.Build(), picture), fovea::kDecodeOk);
    EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), expected), 0);

    // A last strip cut short leaves its missing rows black; earlier rows are intact.
    CTiffWriter cut = GreyWriter(30, 10, 8, 1, 5, expected);
    cut.m_chunks[1].resize(60);
    ASSERT_EQ(Decode(cut.Build(), picture), fovea::kDecodeOk);
    RgbImage decoded = golden::FromDib(picture);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(decoded.At(x, y)[0], y < 7 ? expected.At(x, y)[0] : 0) << x << "," << y;
    }
}

TEST(TiffDecoder, DamagedDirectoriesFailCleanly)
{
    RgbImage expected;
    struct Case {
        const char* name;
        uint16_t tag, type;
        std::vector<uint32_t> values;
        int result;
    } cases[] = {
        {"huge width", 256, 4, {0xFFFFFFFFu}, fovea::kDecodeNoMemory},
        {"pixel limit", 257, 4, {3000000}, fovea::kDecodeNoMemory},
        {"zero height", 257, 3, {0}, fovea::kDecodeBroken},
        {"rows x bits overflow", 277, 3, {0xFFFF}, fovea::kDecodeUnknownFormat},
        {"JPEG compression over plain samples", 259, 3, {7}, fovea::kDecodeBroken},
        {"floating point", 339, 3, {3}, fovea::kDecodeUnknownFormat},
        {"CMYK of one sample", 262, 3, {5}, fovea::kDecodeUnknownFormat},
        {"strip offsets array outside the file", 273, 4, std::vector<uint32_t>(3, 0), fovea::kDecodeBroken},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTiffWriter w = GreyWriter(20, 8, c.tag == 317 ? 1 : 8, 1, 8, expected);
        if (c.tag == 320)
            w.Set(262, 3);
        for (auto& e : w.m_entries) {
            if (e.tag == c.tag)
                e = {c.tag, c.type, c.values};
        }
        if (std::none_of(w.m_entries.begin(), w.m_entries.end(),
                         [&](const CTiffWriter::Entry& e) { return e.tag == c.tag; }))
            w.Add(c.tag, c.type, c.values);
        std::vector<uint8_t> file = w.Build();
        if (c.tag == 273) {
            // Point the (three-entry) offsets array far past the end.
            for (size_t i = 10; i + 12 <= file.size(); i += 12) {
                if (file[i] == 0x11 && file[i + 1] == 0x01) {
                    file[i + 8] = 0xF0;
                    file[i + 11] = 0x7F;
                }
            }
        }
        DecodedPicture picture;
        int result = Decode(file, picture);
        // In a 32-bit process the library itself refuses a directory whose strip size overflows.
        if (c.result == fovea::kDecodeNoMemory && result == fovea::kDecodeBroken && sizeof(void*) == 4)
            result = fovea::kDecodeNoMemory;
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(picture.bits.empty());
    }
}

TEST(TiffDecoder, DirectoryChainsAndHeaders)
{
    RgbImage expected;
    // A thumbnail directory whose next offset points back at itself: the loop ends, the thumbnail is shown.
    CTiffWriter w = GreyWriter(12, 6, 8, 1, 6, expected);
    w.Set(254, 1);
    w.m_nNextDirectory = 8;
    DecodedPicture picture;
    ASSERT_EQ(Decode(w.Build(), picture), fovea::kDecodeOk);
    EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), expected), 0);

    // A directory whose entry count runs past the end of the file is damaged.
    std::vector<uint8_t> file = GreyWriter(12, 6, 8, 1, 6, expected).Build();
    file[8] = 0xFF;
    EXPECT_NE(Decode(file, picture), fovea::kDecodeOk);

    const uint8_t bigTiff[] = {'I', 'I', 43, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(IsTiff(bigTiff, sizeof bigTiff));
    EXPECT_EQ(DecodeTiff(bigTiff, sizeof bigTiff, picture), fovea::kDecodeUnknownFormat);
    const uint8_t noDirectory[] = {'M', 'M', 0, 42, 0, 0, 0, 0};
    EXPECT_TRUE(IsTiff(noDirectory, sizeof noDirectory));
    EXPECT_EQ(DecodeTiff(noDirectory, sizeof noDirectory, picture), fovea::kDecodeBroken);
    const uint8_t farDirectory[] = {'M', 'M', 0, 42, 0x7F, 0, 0, 0};
    EXPECT_EQ(DecodeTiff(farDirectory, sizeof farDirectory, picture), fovea::kDecodeBroken);
}

TEST(TiffDecoder, TruncationAtEveryLengthNeverCrashes)
{
    RgbImage expected;
    CTiffWriter w = GreyWriter(16, 12, 8, 1, 2, expected);
    std::vector<uint8_t> file = w.Build();
    DecodedPicture whole;
    ASSERT_EQ(Decode(file, whole), fovea::kDecodeOk);
    size_t firstChunk = file.size() - 16 * 12;
    for (size_t n = 0; n < file.size(); ++n) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + long(n));
        DecodedPicture picture;
        int result = Decode(cut, picture);
        if (n <= firstChunk) {
            EXPECT_NE(result, fovea::kDecodeOk) << n;
            continue;
        }
        // Rows that arrived are shown; the rest are black.
        ASSERT_EQ(result, fovea::kDecodeOk) << n;
        RgbImage part = golden::FromDib(picture);
        size_t have = n - firstChunk;
        for (size_t i = 0; i < 16 * 12; ++i)
            ASSERT_EQ(part.rgb[i * 3], i < have ? expected.rgb[i * 3] : 0) << n << " " << i;
    }
}

TEST(TiffDecoder, CommittedSampleMatchesItsExpectedBitmap)
{
    std::vector<uint8_t> file = golden::ReadFile(golden::DataPath("tiff/sample.tif"));
    ASSERT_FALSE(file.empty());
    RgbImage expected = golden::ReadBmp24(golden::DataPath("tiff/sample.expected.bmp"));
    ASSERT_GT(expected.width, 0);
    DecodedPicture picture;
    ASSERT_EQ(Decode(file, picture), fovea::kDecodeOk);
    EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), expected), 0);
}

// The fuzz seeds, and the inputs fuzzing once found faults with, decode to a result or fail cleanly.
TEST(TiffDecoder, FuzzCorpusDecodesSafely)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(golden::DataPath("fuzz/tiff"))) {
        SCOPED_TRACE(entry.path().string());
        std::vector<uint8_t> file = golden::ReadFile(entry.path().string());
        DecodedPicture picture;
        int result = DecodeTiff(file.data(), file.size(), picture);
        EXPECT_TRUE(result == fovea::kDecodeOk || result == fovea::kDecodeBroken ||
                    result == fovea::kDecodeUnknownFormat || result == fovea::kDecodeNoMemory);
        if (result == fovea::kDecodeOk) {
            EXPECT_EQ(picture.bits.size(), picture.Stride() * size_t(picture.height));
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
