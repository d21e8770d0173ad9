// JPEG decoder tests: files made by cjpeg from generated pictures, decoded and compared with djpeg; hostile
// tables, frames and scan lists refused; truncated and oversized files; EXIF orientations, sound and broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "plugins/jpeg/JpegDecoder.h"
#include "tests/plugins/golden/GoldenImage.h"

using fovea::DecodedPicture;
using golden::RgbImage;

namespace {

int Decode(const std::vector<uint8_t>& file, DecodedPicture& picture)
{
    return DecodeJpeg(file.data(), file.size(), picture);
}

// Makes name.jpg from a generated picture with the given cjpeg options.
std::vector<uint8_t> MakeJpeg(const std::string& name, int width, int height, const std::string& options)
{
    RgbImage source = golden::MakePicture(width, height);
    if (!golden::WritePpm(name + ".ppm", source) ||
        !golden::Run("cjpeg " + options + " -outfile " + name + ".jpg " + name + ".ppm"))
        return {};
    return golden::ReadFile(name + ".jpg");
}

// The first segment with this marker, as the offset of its FF byte; npos when absent.
size_t FindMarker(const std::vector<uint8_t>& file, uint8_t marker)
{
    for (size_t i = 2; i + 3 < file.size();) {
        if (file[i] != 0xFF) {
            ++i;
            continue;
        }
        if (file[i + 1] == marker)
            return i;
        if (file[i + 1] == 0xDA)
            return std::string::npos;
        i += 2 + size_t(file[i + 2] << 8 | file[i + 3]);
    }
    return std::string::npos;
}

// Inserts a segment just before the first frame header.
std::vector<uint8_t> WithSegment(std::vector<uint8_t> file, uint8_t marker, const std::vector<uint8_t>& body)
{
    size_t at = FindMarker(file, 0xC0);
    if (at == std::string::npos)
        at = FindMarker(file, 0xC2);
    std::vector<uint8_t> segment = {0xFF, marker, uint8_t((body.size() + 2) >> 8), uint8_t(body.size() + 2)};
    segment.insert(segment.end(), body.begin(), body.end());
    file.insert(file.begin() + long(at), segment.begin(), segment.end());
    return file;
}

// The body of an APP1 "Exif" segment: a TIFF structure in either byte order whose first directory holds a
// maker name and the orientation tag (type SHORT, count 1, the value as given).
std::vector<uint8_t> ExifBody(int orientation, bool motorola, uint16_t type = 3)
{
    std::vector<uint8_t> b = {'E', 'x', 'i', 'f', 0, 0};
    auto put16 = [&](unsigned v) {
        if (motorola)
            b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
        else
            b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
    };
    auto put32 = [&](uint32_t v) {
        if (motorola)
            b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
        else
            b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    };
    b.insert(b.end(), motorola ? "MM" : "II", (motorola ? "MM" : "II") + 2);
    put16(42);
    put32(8);
    put16(2);
    put16(0x010F), put16(2), put32(4), b.insert(b.end(), {'c', 'a', 'm', 0}); // Make, "cam" in the entry
    put16(0x0112), put16(type), put32(1), put16(unsigned(orientation)), put16(0);
    put32(0);
    return b;
}

// Inserts a segment right after the start-of-image marker, where cameras write their EXIF block.
std::vector<uint8_t> WithLeadingSegment(std::vector<uint8_t> file, uint8_t marker, const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> segment = {0xFF, marker, uint8_t((body.size() + 2) >> 8), uint8_t(body.size() + 2)};
    segment.insert(segment.end(), body.begin(), body.end());
    file.insert(file.begin() + 2, segment.begin(), segment.end());
    return file;
}

// Where stored pixel (x, y) of a w x h picture shows under orientation o, as EXIF defines the eight: the shown
// column and row are the stored x and y (swapped for 5 to 8), counted from the right (2, 3, 6, 7) or the bottom
// (3, 4, 7, 8).
void ShownAt(int o, int w, int h, int x, int y, int& u, int& v)
{
    bool transposed = o >= 5;
    bool fromRight = o == 2 || o == 3 || o == 6 || o == 7;
    bool fromBottom = o == 3 || o == 4 || o == 7 || o == 8;
    u = transposed ? y : x;
    v = transposed ? x : y;
    if (fromRight)
        u = (transposed ? h : w) - 1 - u;
    if (fromBottom)
        v = (transposed ? w : h) - 1 - v;
}

// The stored picture shown under orientation o (toShown), or the stored picture that shows as the given upright
// one under o (from the upright picture).
RgbImage Turn(const RgbImage& picture, int o, bool toShown)
{
    bool transposed = o >= 5;
    RgbImage result;
    result.width = transposed ? picture.height : picture.width;
    result.height = transposed ? picture.width : picture.height;
    result.rgb.resize(picture.rgb.size());
    const RgbImage& stored = toShown ? picture : result;
    for (int y = 0; y < stored.height; ++y)
        for (int x = 0; x < stored.width; ++x) {
            int u = 0, v = 0;
            ShownAt(o, stored.width, stored.height, x, y, u, v);
            const uint8_t* from = toShown ? picture.At(x, y) : picture.At(u, v);
            uint8_t* to = toShown ? result.At(u, v) : result.At(x, y);
            std::copy(from, from + 3, to);
        }
    return result;
}

class JpegGolden : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!golden::HaveTool("cjpeg") || !golden::HaveTool("djpeg"))
            GTEST_SKIP() << "libjpeg-turbo-progs are not available";
    }
};

// The same library as djpeg, with its defaults: the very same pixels.
TEST_F(JpegGolden, DecodesExactlyLikeDjpeg)
{
    struct Case {
        int width, height;
        const char* options;
        bool grey;
    } cases[] = {
        {333, 222, "", false},            // 4:2:0
        {333, 222, "-sample 1x1", false}, // 4:4:4
        {333, 222, "-sample 2x1", false}, // 4:2:2, the last column from a half chroma pair
        {334, 222, "-sample 2x1", false}, // 4:2:2, a full pair at the right edge
        {17, 13, "", false},              // partial MCUs at both edges
        {1, 1, "", false},
        {240, 161, "-progressive", false}, // in place, with a middle row
        {240, 161, "-progressive -sample 1x1 -quality 95", false},
        {200, 150, "-restart 1 -optimize", false}, // restart markers every MCU row
        {200, 150, "-restart 1B", false},          // ... and every MCU
        {201, 99, "-grayscale", true},
        {200, 99, "-grayscale", true}, // rows without padding: decoded in place
        {201, 99, "-grayscale -progressive", true},
        {64, 64, "-quality 100 -sample 1x1", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.options);
        std::string name = "jpeg_case" + std::to_string(n++);
        std::vector<uint8_t> file = MakeJpeg(name, c.width, c.height, c.options);
        ASSERT_FALSE(file.empty());
        ASSERT_TRUE(golden::Run("djpeg -pnm -outfile " + name + ".ref.pnm " + name + ".jpg"));
        RgbImage reference = golden::ReadPnm(name + ".ref.pnm");
        DecodedPicture picture;
        ASSERT_EQ(Decode(file, picture), fovea::kDecodeOk);
        EXPECT_EQ(picture.bitCount, c.grey ? 8 : 24);
        RgbImage decoded = golden::FromDib(picture);
        EXPECT_EQ(golden::MaxDifference(decoded, reference), 0);
    }
}

// The reduced picture is the strongest of 1/2, 1/4 and 1/8 that keeps at least 160 x 120.
TEST(JpegDecoder, PreviewScaleKeepsTheSampleSize)
{
    const struct {
        int width, height, scale;
    } cases[] = {{4000, 3000, 8}, {1280, 960, 8}, {1272, 960, 4}, {1000, 700, 4}, {640, 480, 4},
                 {632, 472, 2},   {320, 240, 2},  {318, 240, 1},  {160, 120, 1},  {100, 50, 1},
                 {3000, 4000, 8}, {8000, 600, 4}, {600, 8000, 2}};
    for (const auto& c : cases)
        EXPECT_EQ(PreviewScale(c.width, c.height), c.scale) << c.width << "x" << c.height;
}

// A photo stored sideways or mirrored, with the EXIF orientation that says so, comes back upright: the whole
// decode and the reduced one are exactly the plain decode of the same file turned, and show the upright picture.
TEST_F(JpegGolden, EveryExifOrientationDecodesUpright)
{
    // 400 x 336 keeps the reduced decode at 1/2 both upright and transposed.
    RgbImage upright = golden::MakePicture(400, 336);
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        std::string name = "jpeg_orientation" + std::to_string(o);
        ASSERT_TRUE(golden::WritePpm(name + ".ppm", Turn(upright, o, false)));
        // 7 and 8 grey: one byte a pixel takes the turning's other path.
        bool grey = o >= 7;
        ASSERT_TRUE(golden::Run("cjpeg -quality 100 -sample 1x1 " + std::string(grey ? "-grayscale " : "") +
                                "-outfile " + name + ".jpg " + name + ".ppm"));
        std::vector<uint8_t> plain = golden::ReadFile(name + ".jpg");
        std::vector<uint8_t> tagged = WithLeadingSegment(plain, 0xE1, ExifBody(o, o % 2 == 1));
        EXPECT_EQ(ExifOrientation(tagged.data(), tagged.size()), o);

        for (bool preview : {false, true}) {
            SCOPED_TRACE(preview ? "preview" : "whole");
            auto decode = preview ? DecodeJpegPreview : DecodeJpeg;
            DecodedPicture stored, shown;
            ASSERT_EQ(decode(plain.data(), plain.size(), stored), fovea::kDecodeOk);
            ASSERT_EQ(decode(tagged.data(), tagged.size(), shown), fovea::kDecodeOk);
            RgbImage decoded = golden::FromDib(shown);
            ASSERT_EQ(decoded.width, upright.width / (preview ? 2 : 1));
            ASSERT_EQ(decoded.height, upright.height / (preview ? 2 : 1));
            EXPECT_EQ(golden::MaxDifference(decoded, Turn(golden::FromDib(stored), o, true)), 0);
            EXPECT_EQ(shown.bitCount, grey ? 8 : 24);
            if (!preview && !grey) {
                EXPECT_LT(golden::MeanDifference(decoded, upright), 2.0);
            }
        }
    }
}

// An EXIF block that cannot be read, or names no orientation of the eight, leaves the picture as stored; the
// file still decodes.
TEST(JpegDecoder, MalformedExifMeansUpright)
{
    std::vector<uint8_t> plain = golden::ReadFile(golden::DataPath("jpeg/sample.jpg"));
    ASSERT_FALSE(plain.empty());
    DecodedPicture reference;
    ASSERT_EQ(DecodeJpeg(plain.data(), plain.size(), reference), fovea::kDecodeOk);
    auto cut = [](std::vector<uint8_t> body, size_t size) {
        body.resize(size);
        return body;
    };
    auto patched = [](std::vector<uint8_t> body, size_t at, std::vector<uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), body.begin() + long(at));
        return body;
    };
    const std::vector<uint8_t> xmp = {'h', 't', 't', 'p', ':', '/', '/', 'n', 's', 0};
    const struct {
        const char* what;
        std::vector<uint8_t> body;
    } cases[] = {
        {"orientation 0", ExifBody(0, false)},
        {"orientation 9", ExifBody(9, true)},
        {"orientation as a LONG", ExifBody(6, false, 4)},
        {"no byte order", patched(ExifBody(6, false), 6, {'X', 'X'})},
        {"not 42", patched(ExifBody(6, true), 8, {0, 43})},
        {"header cut", cut(ExifBody(6, false), 12)},
        {"directory past the end", patched(ExifBody(6, true), 10, {0, 0, 0x7F, 0xF0})},
        {"directory inside the header", patched(ExifBody(6, false), 10, {2, 0, 0, 0})},
        {"more entries than there are", patched(cut(ExifBody(6, true), 6 + 8 + 2 + 12), 14, {0xFF, 0xFF})},
        {"entry cut", cut(ExifBody(6, false), 6 + 8 + 2 + 12 + 8)},
        {"no Exif name", patched(ExifBody(6, false), 0, {'E', 'x', 'i', 'x'})},
        {"a name without its zeros", cut(ExifBody(6, false), 5)},
        {"another APP1 only", xmp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = WithLeadingSegment(plain, 0xE1, c.body);
        EXPECT_EQ(ExifOrientation(file.data(), file.size()), 1);
        DecodedPicture picture;
        ASSERT_EQ(DecodeJpeg(file.data(), file.size(), picture), fovea::kDecodeOk);
        EXPECT_EQ(picture.width, reference.width);
        EXPECT_EQ(picture.bits, reference.bits);
    }
    // A segment that claims more than the file holds ends the search.
    std::vector<uint8_t> overlong = {0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xF0, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M'};
    EXPECT_EQ(ExifOrientation(overlong.data(), overlong.size()), 1);
    // The EXIF block after another APP1 still counts.
    std::vector<uint8_t> both = WithLeadingSegment(WithLeadingSegment(plain, 0xE1, ExifBody(8, true)), 0xE1, xmp);
    EXPECT_EQ(ExifOrientation(both.data(), both.size()), 8);
}

// Adobe CMYK files (four components, stored inverted) come out as ImageMagick renders them.
TEST_F(JpegGolden, CmykAgreesWithImageMagick)
{
    if (!golden::HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not available";
    ASSERT_TRUE(golden::WritePpm("jpeg_cmyk.ppm", golden::MakePicture(120, 80)));
    ASSERT_TRUE(golden::Run("convert jpeg_cmyk.ppm -colorspace CMYK jpeg_cmyk.jpg"));
    ASSERT_TRUE(golden::Run("convert jpeg_cmyk.jpg -colorspace sRGB jpeg_cmyk.ref.ppm"));
    DecodedPicture picture;
    ASSERT_EQ(Decode(golden::ReadFile("jpeg_cmyk.jpg"), picture), fovea::kDecodeOk);
    EXPECT_EQ(picture.bitCount, 24);
    int most = golden::MaxDifference(golden::FromDib(picture), golden::ReadPnm("jpeg_cmyk.ref.ppm"));
    EXPECT_GE(most, 0);
    EXPECT_LE(most, 8);
}

// A picture cut short shows what arrived: the beginning matches the whole file's decode.
TEST(JpegDecoder, TruncatedFileKeepsWhatArrived)
{
    for (const char* name : {"jpeg/sample.jpg", "fuzz/jpeg/progressive.jpg"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> file = golden::ReadFile(golden::DataPath(name));
        ASSERT_FALSE(file.empty());
        DecodedPicture whole;
        ASSERT_EQ(Decode(file, whole), fovea::kDecodeOk);
        RgbImage full = golden::FromDib(whole);
        size_t firstScan = 0;
        for (size_t i = 2; i + 1 < file.size(); ++i) {
            if (file[i] == 0xFF && file[i + 1] == 0xDA) {
                firstScan = i;
                break;
            }
        }
        ASSERT_GT(firstScan, 0u);
        size_t scanData = firstScan + 2 + size_t(file[firstScan + 2] << 8 | file[firstScan + 3]);
        for (size_t n = 0; n < file.size(); ++n) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + long(n));
            DecodedPicture picture;
            int result = Decode(cut, picture);
            if (n <= scanData) {
                EXPECT_NE(result, fovea::kDecodeOk) << n;
                continue;
            }
            // The first few bytes of data cannot hold one bit per block yet.
            if (n < scanData + 8)
                continue;
            ASSERT_EQ(result, fovea::kDecodeOk) << n;
            if (n == file.size() - 1) {
                EXPECT_EQ(golden::MaxDifference(golden::FromDib(picture), full), 0);
            }
        }
        // Half the baseline data holds the first block intact, and more data is closer to the whole picture.
        auto decodePart = [&](size_t keep) {
            std::vector<uint8_t> part(file.begin(), file.begin() + long(keep));
            DecodedPicture picture;
            EXPECT_EQ(Decode(part, picture), fovea::kDecodeOk);
            return golden::FromDib(picture);
        };
        size_t data = file.size() - firstScan;
        RgbImage quarter = decodePart(firstScan + data / 4);
        RgbImage half = decodePart(firstScan + data / 2);
        RgbImage most = decodePart(firstScan + data * 9 / 10);
        // (In a progressive file later scans still refine that block.)
        for (int y = 0; y < 8 && std::string(name) == "jpeg/sample.jpg"; ++y)
            EXPECT_TRUE(std::equal(half.At(0, y), half.At(0, y) + 8 * 3, full.At(0, y))) << y;
        EXPECT_LT(golden::MeanDifference(most, full), golden::MeanDifference(quarter, full));
    }
}

// Huffman tables that cannot exist (more than 256 codes, more codes than their lengths allow) are refused.
TEST(JpegDecoder, HuffmanTablesThatWouldOverflowAreRejected)
{
    std::vector<uint8_t> file = golden::ReadFile(golden::DataPath("jpeg/sample.jpg"));
    ASSERT_FALSE(file.empty());
    auto table = [](std::vector<int> counts) {
        std::vector<uint8_t> body = {0x00};
        int total = 0;
        for (int c : counts) {
            body.push_back(uint8_t(c));
            total += c;
        }
        body.insert(body.end(), size_t(total), 0);
        return body;
    };
    DecodedPicture picture;
    // 8 lengths x 255 codes: a valid prefix code, but 2040 symbols.
    EXPECT_EQ(Decode(WithSegment(file, 0xC4, table({0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255})),
                     picture),
              fovea::kDecodeBroken);
    // 256 codes is the most a table may hold (the frame's own tables follow and replace this one); 257 is not.
    EXPECT_EQ(Decode(WithSegment(file, 0xC4, table({0, 0, 0, 0, 0, 0, 0, 255, 1, 0, 0, 0, 0, 0, 0, 0})), picture),
              fovea::kDecodeOk);
    EXPECT_EQ(Decode(WithSegment(file, 0xC4, table({0, 0, 0, 0, 0, 0, 0, 255, 2, 0, 0, 0, 0, 0, 0, 0})), picture),
              fovea::kDecodeBroken);
}

TEST(JpegDecoder, FrameHeadersOutsideTheSupportedSetFailCleanly)
{
    std::vector<uint8_t> file = golden::ReadFile(golden::DataPath("jpeg/sample.jpg"));
    ASSERT_FALSE(file.empty());
    size_t sof = FindMarker(file, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    struct Case {
        const char* name;
        size_t offset; // from the FF of the frame header
        std::vector<uint8_t> bytes;
        int expected;
    } cases[] = {
        {"lossless", 1, {0xC3}, fovea::kDecodeBroken},
        {"12-bit", 4, {12}, fovea::kDecodeBroken},
        {"height defined later", 5, {0, 0}, fovea::kDecodeBroken},
        {"zero width", 7, {0, 0}, fovea::kDecodeBroken},
        {"two components", 9, {2}, fovea::kDecodeBroken},
        {"beyond the pixel limit", 5, {0x7F, 0xFF, 0x7F, 0xFF}, fovea::kDecodeNoMemory},
        {"over the library's side limit", 5, {0x00, 0x10, 0xFF, 0xFF}, fovea::kDecodeNoMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bad = file;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + long(sof + c.offset));
        DecodedPicture picture;
        EXPECT_EQ(Decode(bad, picture), c.expected);
        EXPECT_TRUE(picture.bits.empty());
    }
}

// Every scan costs a pass over the whole picture: a file of endless tiny scans is refused.
TEST(JpegDecoder, EndlessScanListIsRefused)
{
    std::vector<uint8_t> file = golden::ReadFile(golden::DataPath("fuzz/jpeg/progressive.jpg"));
    ASSERT_FALSE(file.empty());
    size_t sos = 0;
    for (size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xDA) {
            sos = i;
            break;
        }
    }
    // The DC scan's header repeated: every copy is a (useless) valid scan.
    size_t length = size_t(file[sos + 2] << 8 | file[sos + 3]);
    std::vector<uint8_t> header(file.begin() + long(sos), file.begin() + long(sos + 2 + length));
    std::vector<uint8_t> many(file.begin(), file.begin() + long(sos));
    for (int i = 0; i < 300; ++i)
        many.insert(many.end(), header.begin(), header.end());
    many.push_back(0xFF);
    many.push_back(0xD9);
    DecodedPicture picture;
    EXPECT_EQ(Decode(many, picture), fovea::kDecodeBroken);
}

TEST(JpegDecoder, NotAJpeg)
{
    const uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    EXPECT_FALSE(IsJpeg(png, sizeof png));
    const uint8_t bare[] = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_TRUE(IsJpeg(bare, sizeof bare));
    DecodedPicture picture;
    EXPECT_EQ(DecodeJpeg(bare, sizeof bare, picture), fovea::kDecodeBroken);
    EXPECT_EQ(DecodeJpeg(png, sizeof png, picture), fovea::kDecodeUnknownFormat);
}

// The committed sample's expected pixels are djpeg's output of the same library: ours equal them.
TEST(JpegDecoder, CommittedSampleMatchesItsExpectedBitmap)
{
    std::vector<uint8_t> file = golden::ReadFile(golden::DataPath("jpeg/sample.jpg"));
    ASSERT_FALSE(file.empty());
    RgbImage expected = golden::ReadBmp24(golden::DataPath("jpeg/sample.expected.bmp"));
    ASSERT_GT(expected.width, 0);
    DecodedPicture picture;
    ASSERT_EQ(Decode(file, picture), fovea::kDecodeOk);
    RgbImage decoded = golden::FromDib(picture);
    EXPECT_EQ(golden::MaxDifference(decoded, expected), 0);
    if (golden::HaveTool("djpeg")) {
        ASSERT_TRUE(golden::Run("djpeg -pnm -outfile jpeg_sample.ref.pnm " + golden::DataPath("jpeg/sample.jpg")));
        int most = golden::MaxDifference(expected, golden::ReadPnm("jpeg_sample.ref.pnm"));
        EXPECT_GE(most, 0);
        EXPECT_LE(most, 8);
    }
}

// The fuzz seeds, and the inputs fuzzing once found faults with, decode to a result or fail cleanly.
TEST(JpegDecoder, FuzzCorpusDecodesSafely)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(golden::DataPath("fuzz/jpeg"))) {
        SCOPED_TRACE(entry.path().string());
        std::vector<uint8_t> file = golden::ReadFile(entry.path().string());
        DecodedPicture picture;
        int result = DecodeJpeg(file.data(), file.size(), picture);
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
