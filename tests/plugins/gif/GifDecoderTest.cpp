// GIF decoder tests: pictures written by ImageMagick and giflib's gifbuild, and by a small LZW encoder here
// for the stream shapes tools do not make (deferred clear, garbage codes), checked against the source pixels
// and against gif2rgb; then truncated and hostile files.
#include <gtest/gtest.h>

#include <map>
#include <filesystem>
#include <string>
#include <vector>

#include "plugins/gif/GifDecoder.h"
#include "tests/plugins/golden/GoldenImage.h"

using fovea::DecodedPicture;
using golden::RgbImage;

namespace {

// Builds GIF files byte by byte, with an LZW encoder that can leave the table full instead of clearing.
struct CGifWriter {
    std::vector<uint8_t> m_data;

    void Header(int width, int height, const std::vector<uint8_t>& table, int background = 0)
    {
        const char* sig = "GIF89a";
        m_data.assign(sig, sig + 6);
        Put16(width);
        Put16(height);
        m_data.push_back(table.empty() ? 0 : uint8_t(0x80 | (TableBits(table) - 1)));
        m_data.push_back(uint8_t(background));
        m_data.push_back(0);
        PutTable(table);
    }

    void Frame(int left, int top, int width, int height, bool interlaced, const std::vector<uint8_t>& localTable,
               int minCodeSize, const std::vector<uint8_t>& indices, bool deferredClear = false)
    {
        m_data.push_back(0x2C);
        Put16(left);
        Put16(top);
        Put16(width);
        Put16(height);
        uint8_t flags = interlaced ? 0x40 : 0;
        if (!localTable.empty())
            flags |= uint8_t(0x80 | (TableBits(localTable) - 1));
        m_data.push_back(flags);
        PutTable(localTable);
        m_data.push_back(uint8_t(minCodeSize));
        std::vector<uint8_t> stream = Encode(minCodeSize, indices, deferredClear);
        SubBlocks(stream);
    }

    void SubBlocks(const std::vector<uint8_t>& stream)
    {
        for (size_t at = 0; at < stream.size(); at += 255) {
            size_t n = std::min<size_t>(255, stream.size() - at);
            m_data.push_back(uint8_t(n));
            m_data.insert(m_data.end(), stream.begin() + at, stream.begin() + at + n);
        }
        m_data.push_back(0);
    }

    void Trailer() { m_data.push_back(0x3B); }

    // Tables hold a power of two of entries; the unused ones are black.
    void PutTable(const std::vector<uint8_t>& table)
    {
        if (table.empty())
            return;
        m_data.insert(m_data.end(), table.begin(), table.end());
        m_data.insert(m_data.end(), (size_t(3) << TableBits(table)) - table.size(), 0);
    }

    static int TableBits(const std::vector<uint8_t>& table)
    {
        int bits = 1;
        while ((3u << bits) < table.size())
            ++bits;
        return bits;
    }

    static std::vector<uint8_t> Encode(int minCodeSize, const std::vector<uint8_t>& indices, bool deferredClear)
    {
        std::vector<uint8_t> out;
        uint32_t acc = 0;
        int accBits = 0;
        int size = minCodeSize + 1;
        const int clear = 1 << minCodeSize;
        int next = clear + 2;
        std::map<std::pair<int, int>, int> dictionary;
        auto emit = [&](int code) {
            acc |= uint32_t(code) << accBits;
            accBits += size;
            while (accBits >= 8) {
                out.push_back(uint8_t(acc));
                acc >>= 8;
                accBits -= 8;
            }
        };
        emit(clear);
        int current = -1;
        for (uint8_t index : indices) {
            if (current < 0) {
                current = index;
                continue;
            }
            auto found = dictionary.find({current, index});
            if (found != dictionary.end()) {
                current = found->second;
                continue;
            }
            emit(current);
            if (next < 4096) {
                dictionary[{current, index}] = next++;
                if (next > (1 << size) && size < 12)
                    ++size;
            } else if (!deferredClear) {
                emit(clear);
                dictionary.clear();
                size = minCodeSize + 1;
                next = clear + 2;
            }
            current = index;
        }
        if (current >= 0)
            emit(current);
        emit(clear + 1);
        if (accBits > 0)
            out.push_back(uint8_t(acc));
        return out;
    }

    void Put16(int v)
    {
        m_data.push_back(uint8_t(v));
        m_data.push_back(uint8_t(v >> 8));
    }
};

// A palette of n colours that differ clearly.
std::vector<uint8_t> MakeTable(int n)
{
    std::vector<uint8_t> table;
    for (int i = 0; i < n; ++i) {
        table.push_back(uint8_t(i * 37));
        table.push_back(uint8_t(255 - i * 11));
        table.push_back(uint8_t((i * 91) & 0xFF));
    }
    return table;
}

// Index pattern with runs and noise, values below colours.
std::vector<uint8_t> MakeIndices(int width, int height, int colours, uint32_t seed = 1)
{
    std::vector<uint8_t> v(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int value = (x < width / 2) ? (x / 3 + y / 5) % colours : int((seed >> 24) % unsigned(colours));
            v[size_t(y) * width + x] = uint8_t(value);
        }
    }
    return v;
}

// Interlaced streams send rows 0,8,..; 4,12,..; 2,6,..; 1,3,...
std::vector<uint8_t> InterlaceOrder(const std::vector<uint8_t>& rows, int width, int height)
{
    std::vector<uint8_t> out;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), rows.begin() + size_t(y) * width, rows.begin() + size_t(y + 1) * width);
    return out;
}

// What a screen of the given size shows with a frame of indices placed at (left, top).
RgbImage Expected(int screenW, int screenH, const std::vector<uint8_t>& table, int background, int left, int top,
                  int width, int height, const std::vector<uint8_t>& indices)
{
    RgbImage image;
    image.width = screenW;
    image.height = screenH;
    image.rgb.resize(size_t(screenW) * screenH * 3);
    for (int y = 0; y < screenH; ++y) {
        for (int x = 0; x < screenW; ++x) {
            int index = background;
            if (x >= left && x < left + width && y >= top && y < top + height)
                index = indices[size_t(y - top) * width + (x - left)];
            for (int c = 0; c < 3; ++c)
                image.At(x, y)[c] = table[size_t(index) * 3 + c];
        }
    }
    return image;
}

int Decode(const std::vector<uint8_t>& file, DecodedPicture& picture)
{
    return DecodeGif(file.data(), file.size(), picture);
}

// gif2rgb's view of the screen, as RGB.
RgbImage Gif2Rgb(const std::string& path, int width, int height)
{
    RgbImage image;
    if (!golden::Run("gif2rgb -1 " + path + " > " + path + ".rgb 2>/dev/null"))
        return image;
    std::vector<uint8_t> raw = golden::ReadFile(path + ".rgb");
    if (raw.size() != size_t(width) * height * 3)
        return image;
    image.width = width;
    image.height = height;
    image.rgb = raw;
    return image;
}

TEST(GifDecoder, PicturesWrittenByImageMagickMatchTheirSource)
{
    if (!golden::HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not available";
    struct Case {
        int width, height, levels;
        const char* options;
        int bitCount;
    } cases[] = {
        {1, 1, 6, "", 4},     // smallest picture, one colour
        {7, 3, 6, "", 8},     // rows narrower than any LZW string run
        {301, 199, 6, "", 8}, // 216 colours, table fills and clears repeatedly
        {301, 199, 6, "-interlace GIF", 8},
        {64, 37, 2, "", 4},               // 8 colours: kept as 4 bits
        {13, 29, 2, "-interlace GIF", 4}, // fewer rows than the interlace steps in some passes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.options);
        RgbImage source = golden::MakePicture(c.width, c.height, c.levels);
        std::string base = "gif_" + std::to_string(c.width) + "x" + std::to_string(c.height) +
                           (c.options[0] ? "_i" : "") + "_" + std::to_string(c.levels);
        ASSERT_TRUE(golden::WritePpm(base + ".ppm", source));
        ASSERT_TRUE(golden::Run("convert " + base + ".ppm " + c.options + " " + base + ".gif"));
        std::vector<uint8_t> file = golden::ReadFile(base + ".gif");
        DecodedPicture picture;
        ASSERT_EQ(Decode(file, picture), fovea::kDecodeOk);
        EXPECT_EQ(picture.bitCount, c.bitCount);
        RgbImage decoded = golden::FromDib(picture);
        EXPECT_EQ(golden::MaxDifference(decoded, source), 0);
        if (golden::HaveTool("gif2rgb")) {
            EXPECT_EQ(golden::MaxDifference(decoded, Gif2Rgb(base + ".gif", c.width, c.height)), 0);
        }
    }
}

TEST(GifDecoder, FrameInsideTheScreenWithLocalTableAndInterlaceAgreesWithGif2Rgb)
{
    struct Case {
        int screenW, screenH, left, top, width, height;
        bool interlaced, local;
        int colours, minCode;
    } cases[] = {
        {40, 30, 5, 7, 20, 11, false, false, 16, 4},  {40, 30, 0, 0, 40, 30, true, true, 256, 8},
        {40, 30, 19, 3, 21, 27, true, true, 4, 2}, // frame touching the right and bottom edges
        {9, 9, 0, 0, 9, 9, false, false, 2, 2},    // two colours: indices up to 3 fit in 4 bits
        {50, 20, 3, 2, 33, 17, false, false, 200, 8},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n));
        std::vector<uint8_t> global = MakeTable(c.local ? 4 : c.colours);
        std::vector<uint8_t> local = c.local ? MakeTable(c.colours) : std::vector<uint8_t>();
        std::vector<uint8_t> indices = MakeIndices(c.width, c.height, c.colours, uint32_t(n + 3));
        CGifWriter gif;
        gif.Header(c.screenW, c.screenH, global, 1);
        gif.Frame(c.left, c.top, c.width, c.height, c.interlaced, local, c.minCode,
                  c.interlaced ? InterlaceOrder(indices, c.width, c.height) : indices);
        gif.Trailer();
        DecodedPicture picture;
        ASSERT_EQ(Decode(gif.m_data, picture), fovea::kDecodeOk);
        RgbImage expected =
            Expected(c.screenW, c.screenH, c.local ? local : global, 1, c.left, c.top, c.width, c.height, indices);
        RgbImage decoded = golden::FromDib(picture);
        EXPECT_EQ(golden::MaxDifference(decoded, expected), 0);
        if (golden::HaveTool("gif2rgb")) {
            std::string path = "gif_frame" + std::to_string(n) + ".gif";
            ASSERT_TRUE(golden::WriteFile(path, gif.m_data));
            EXPECT_EQ(golden::MaxDifference(decoded, Gif2Rgb(path, c.screenW, c.screenH)), 0);
        }
        ++n;
    }
}

TEST(GifDecoder, GifbuildFrameWithOffsetShowsBackgroundAroundIt)
{
    if (!golden::HaveTool("gifbuild"))
        GTEST_SKIP() << "giflib-tools are not available";
    std::string text = "screen width 12\nscreen height 9\nscreen colors 4\nscreen background 2\n"
                       "screen map\n\trgb 000 000 000 is 0\n\trgb 255 000 000 is 1\n\trgb 000 255 000 is 2\n"
                       "\trgb 000 000 255 is 3\nend\n"
                       "image # 1\nimage left 3\nimage top 2\nimage interlaced\nimage bits 5 by 4\n"
                       "01230\n12301\n23012\n30123\n";
    ASSERT_TRUE(golden::WriteFile("gif_built.txt", std::vector<uint8_t>(text.begin(), text.end())));
    ASSERT_TRUE(golden::Run("gifbuild gif_built.txt > gif_built.gif"));
    std::vector<uint8_t> file = golden::ReadFile("gif_built.gif");
    DecodedPicture picture;
    ASSERT_EQ(Decode(file, picture), fovea::kDecodeOk);
    ASSERT_EQ(picture.width, 12);
    ASSERT_EQ(picture.height, 9);
    RgbImage decoded = golden::FromDib(picture);
    const char* rows[4] = {"01230", "12301", "23012", "30123"};
    const uint8_t colours[4][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 12; ++x) {
            int index = 2;
            if (x >= 3 && x < 8 && y >= 2 && y < 6)
                index = rows[y - 2][x - 3] - '0';
            ASSERT_EQ(decoded.At(x, y)[0], colours[index][0]) << x << "," << y;
            ASSERT_EQ(decoded.At(x, y)[1], colours[index][1]) << x << "," << y;
            ASSERT_EQ(decoded.At(x, y)[2], colours[index][2]) << x << "," << y;
        }
    }
}

// A full code table without a clear code is legal: the decoder must go on with 12-bit codes.
TEST(GifDecoder, DeferredClearKeepsDecodingWithAFullTable)
{
    const int w = 500, h = 300;
    std::vector<uint8_t> table = MakeTable(256);
    std::vector<uint8_t> indices = MakeIndices(w, h, 256, 7);
    CGifWriter gif;
    gif.Header(w, h, table);
    gif.Frame(0, 0, w, h, false, {}, 8, indices, true);
    gif.Trailer();
    DecodedPicture picture;
    ASSERT_EQ(Decode(gif.m_data, picture), fovea::kDecodeOk);
    RgbImage expected = Expected(w, h, table, 0, 0, 0, w, h, indices);
    RgbImage decoded = golden::FromDib(picture);
    EXPECT_EQ(golden::MaxDifference(decoded, expected), 0);
    if (golden::HaveTool("gif2rgb")) {
        ASSERT_TRUE(golden::WriteFile("gif_deferred.gif", gif.m_data));
        EXPECT_EQ(golden::MaxDifference(Gif2Rgb("gif_deferred.gif", w, h), expected), 0);
    }
}

// Every prefix of a file: never a crash; once the frame's data has begun the result is a picture whose
// complete rows are those of the whole file.
TEST(GifDecoder, TruncationAtEveryLengthKeepsTheRowsDecodedSoFar)
{
    // 16 colours go through the line buffer into 4-bit rows, 256 straight into the 8-bit rows.
    for (int mode = 0; mode < 4; ++mode) {
        bool interlaced = mode & 1;
        int colours = (mode & 2) ? 256 : 16;
        SCOPED_TRACE(std::to_string(colours) + (interlaced ? " interlaced" : ""));
        const int w = 23, h = 17;
        std::vector<uint8_t> table = MakeTable(colours);
        std::vector<uint8_t> indices = MakeIndices(w, h, colours, 11);
        CGifWriter gif;
        gif.Header(w, h, table, 3);
        gif.Frame(0, 0, w, h, interlaced, {}, colours == 16 ? 4 : 8,
                  interlaced ? InterlaceOrder(indices, w, h) : indices);
        gif.Trailer();
        DecodedPicture whole;
        ASSERT_EQ(Decode(gif.m_data, whole), fovea::kDecodeOk);
        RgbImage full = golden::FromDib(whole);
        size_t dataStart = 13 + table.size() + 10 + 1;
        int okCount = 0;
        int lastReached = 0;
        for (size_t n = 0; n < gif.m_data.size(); ++n) {
            std::vector<uint8_t> cut(gif.m_data.begin(), gif.m_data.begin() + n);
            DecodedPicture picture;
            int result = Decode(cut, picture);
            if (n < dataStart + 2) {
                EXPECT_NE(result, fovea::kDecodeOk) << n;
                continue;
            }
            if (result != fovea::kDecodeOk)
                continue;
            ++okCount;
            RgbImage part = golden::FromDib(picture);
            ASSERT_EQ(part.width, w);
            // Each pixel is either the one of the whole file or, not reached yet, the background colour; and
            // a longer prefix never shows fewer pixels.
            int reached = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const uint8_t* p = part.At(x, y);
                    bool same = std::equal(p, p + 3, full.At(x, y));
                    bool background = std::equal(p, p + 3, &table[9]);
                    ASSERT_TRUE(same || background) << n << ": " << x << "," << y;
                    reached += same;
                }
            }
            EXPECT_GE(reached, lastReached) << n;
            lastReached = reached;
        }
        EXPECT_GT(okCount, int(gif.m_data.size() - dataStart) / 2);
    }
}

TEST(GifDecoder, HostileHeadersAndStreamsFailCleanly)
{
    std::vector<uint8_t> table = MakeTable(4);
    struct Case {
        const char* name;
        int screenW, screenH, left, top, width, height, minCode;
        int expected;
    } cases[] = {
        {"huge screen", 65535, 65535, 0, 0, 4, 4, 2, fovea::kDecodeNoMemory},
        {"zero frame width", 10, 10, 0, 0, 0, 4, 2, fovea::kDecodeBroken},
        {"code size 0", 10, 10, 0, 0, 4, 4, 0, fovea::kDecodeBroken},
        {"code size 12", 10, 10, 0, 0, 4, 4, 12, fovea::kDecodeBroken},
        {"frame far outside the screen", 10, 10, 60000, 60000, 4, 4, 2, fovea::kDecodeOk},
        {"zero screen takes the frame", 0, 0, 2, 1, 4, 4, 2, fovea::kDecodeOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGifWriter gif;
        gif.Header(c.screenW, c.screenH, table);
        std::vector<uint8_t> indices(size_t(c.width) * c.height, 1);
        gif.Frame(c.left, c.top, c.width, c.height, false, {}, c.minCode, indices);
        gif.Trailer();
        DecodedPicture picture;
        EXPECT_EQ(Decode(gif.m_data, picture), c.expected);
        if (c.expected != fovea::kDecodeOk) {
            EXPECT_TRUE(picture.bits.empty());
        }
    }

    CGifWriter frameless;
    frameless.Header(4, 4, table);
    frameless.Trailer();
    DecodedPicture picture;
    EXPECT_EQ(Decode(frameless.m_data, picture), fovea::kDecodeBroken);
    EXPECT_EQ(DecodeGif(reinterpret_cast<const uint8_t*>("GIF88a\0\0\0\0\0\0\0"), 13, picture),
              fovea::kDecodeUnknownFormat);
    EXPECT_FALSE(IsGif(reinterpret_cast<const uint8_t*>("GIF89a"), 6));
}

// Random code streams: a first code that is not a literal, codes beyond the table, no end code.
TEST(GifDecoder, LzwGarbageStopsWithoutOverrun)
{
    std::vector<uint8_t> table = MakeTable(256);
    uint32_t seed = 99;
    for (int round = 0; round < 300; ++round) {
        CGifWriter gif;
        gif.Header(31, 17, table);
        gif.m_data.push_back(0x2C);
        gif.Put16(0);
        gif.Put16(0);
        gif.Put16(31);
        gif.Put16(17);
        gif.m_data.push_back(round % 3 == 0 ? 0x40 : 0);
        gif.m_data.push_back(uint8_t(2 + round % 7));
        std::vector<uint8_t> stream(size_t(1 + round * 3));
        for (uint8_t& b : stream) {
            seed = seed * 1103515245u + 12345u;
            b = uint8_t(seed >> 16);
        }
        gif.SubBlocks(stream);
        DecodedPicture picture;
        int result = Decode(gif.m_data, picture);
        EXPECT_TRUE(result == fovea::kDecodeOk || result == fovea::kDecodeBroken);
        if (result == fovea::kDecodeOk) {
            EXPECT_EQ(picture.bits.size(), picture.Stride() * 17);
        }
    }
}

TEST(GifDecoder, CommittedSampleMatchesItsExpectedBitmap)
{
    std::vector<uint8_t> file = golden::ReadFile(golden::DataPath("gif/sample.gif"));
    ASSERT_FALSE(file.empty());
    RgbImage expected = golden::ReadBmp24(golden::DataPath("gif/sample.expected.bmp"));
    ASSERT_GT(expected.width, 0);
    DecodedPicture picture;
    ASSERT_EQ(Decode(file, picture), fovea::kDecodeOk);
    EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), expected), 0);
}

// The fuzz seeds, and the inputs fuzzing once found faults with, decode to a result or fail cleanly.
TEST(GifDecoder, FuzzCorpusDecodesSafely)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(golden::DataPath("fuzz/gif"))) {
        SCOPED_TRACE(entry.path().string());
        std::vector<uint8_t> file = golden::ReadFile(entry.path().string());
        DecodedPicture picture;
        int result = DecodeGif(file.data(), file.size(), picture);
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
