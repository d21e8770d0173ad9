// PNG pictures of every colour type, depth, transparency and interlacing, as netpbm wrote and read them; the
// reduced pictures of interlaced files; damaged and hostile files. Under Wine every picture goes through
// IFPNG.SPI's own exports, as the program calls them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugins/png/PngDecoder.h"
#include "tests/plugins/golden/GoldenImage.h"
#include "tests/plugins/golden/PluginKinds.h"

using fovea::DecodedPicture;

namespace {

const std::string kDir = FOVEA_KINDS_DIR;

#ifdef _WIN32
const golden::PluginUnderTest kPlugin = {FOVEA_PLUGIN_DIR "/IFPNG.SPI", DecodePng, DecodePngPreview};
#else
const golden::PluginUnderTest kPlugin = {"", DecodePng, DecodePngPreview};
#endif

TEST(PngDecoder, EveryKindMatchesPngtopam)
{
    golden::ExpectManifestMatches(kDir, kPlugin, 40);
}

// Palettes and grey levels stay indices (2 bits widen to a byte); deep grey and grey with alpha become 8-bit grey.
TEST(PngDecoder, PalettesAndGreyKeepTheirDepth)
{
    const struct {
        const char* name;
        int bitCount;
    } cases[] = {{"palette2.png", 1},    {"palette4.png", 8},      {"palette16.png", 4}, {"palette200-adam7.png", 8},
                 {"grey1-adam7.png", 1}, {"grey15.png", 4},        {"grey16.png", 8},    {"greya16-adam7.png", 8},
                 {"grey8-trns.png", 8},  {"palette-alpha.png", 8}, {"rgb16.png", 24},    {"rgba8.png", 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DecodedPicture picture;
        ASSERT_EQ(kPlugin.DecodeFile(kDir + "/" + c.name, false, picture), 0);
        EXPECT_EQ(picture.bitCount, c.bitCount);
    }
}

// The preview of an interlaced picture is read from its first passes: exactly the pixels on every step-th row
// and column of the whole picture.
TEST(PngDecoder, InterlacedPreviewHoldsEveryStepthPixel)
{
    const struct {
        const char* name;
        const char* reference;
        int step;
    } cases[] = {{"large-adam7.png", "large-adam7.ref.ppm", 4},
                 {"large-greya-adam7.png", "large-greya-adam7.ref.ppm", 8},
                 {"rgba8-adam7.png", "rgba8-adam7.ref.ppm", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        golden::RgbImage whole = golden::ReadPnm(kDir + "/" + c.reference);
        ASSERT_GT(whole.width, 0);
        EXPECT_EQ(PngPreviewStep(whole.width, whole.height), c.step);
        golden::RgbImage expected;
        expected.width = (whole.width + c.step - 1) / c.step;
        expected.height = (whole.height + c.step - 1) / c.step;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x)
                expected.rgb.insert(expected.rgb.end(), whole.At(x * c.step, y * c.step),
                                    whole.At(x * c.step, y * c.step) + 3);
        DecodedPicture preview;
        ASSERT_EQ(kPlugin.DecodeFile(kDir + "/" + c.name, true, preview), 0);
        int most = golden::MaxDifference(golden::FromDib(preview), expected);
        EXPECT_GE(most, 0) << preview.width << "x" << preview.height;
        EXPECT_LE(most, 1);
    }
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFFu;
    while (n--) {
        crc ^= *p++;
        for (int k = 0; k < 8; ++k)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBig32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (24 - 8 * i));
}

// Where the chunk of this type starts (its length field); 0 when there is none.
size_t FindChunk(const std::vector<uint8_t>& png, const char* type)
{
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length =
            uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], type, 4) == 0)
            return at;
        at += size_t(length) + 12;
    }
    return 0;
}

// Recomputes the CRC of the chunk at `at`, so that only the change made to its contents is wrong.
void FixCrc(std::vector<uint8_t>& png, size_t at)
{
    uint32_t length = uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 | png[at + 3];
    PutBig32(&png[at + 8 + length], Crc32(&png[at + 4], length + 4));
}

std::vector<uint8_t> WithSize(std::vector<uint8_t> png, uint32_t width, uint32_t height)
{
    PutBig32(&png[16], width);
    PutBig32(&png[20], height);
    FixCrc(png, 8);
    return png;
}

// A hostile or damaged file is refused with a failure result, and nothing is handed over; damage to a chunk the
// picture does not need costs nothing.
TEST(PngDecoder, DamagedAndHostileFilesAreRefused)
{
    const std::vector<uint8_t> good = golden::ReadFile(kDir + "/rgb8.png");
    ASSERT_GT(good.size(), 1000u);
    size_t idat = FindChunk(good, "IDAT");
    ASSERT_GT(idat, 0u);

    std::vector<uint8_t> badHeaderCrc = good;
    badHeaderCrc[29] ^= 1;
    std::vector<uint8_t> badDataCrc = good;
    badDataCrc[idat + 100] ^= 0x55;
    std::vector<uint8_t> badDeflate = badDataCrc;
    FixCrc(badDeflate, idat);
    std::vector<uint8_t> notPng = good;
    notPng[1] = 'Q';
    // A text chunk with a wrong CRC before the image data.
    std::vector<uint8_t> badText = good;
    const uint8_t text[] = {0, 0, 0, 4, 't', 'E', 'X', 't', 'a', 0, 'b', 'c', 1, 2, 3, 4};
    badText.insert(badText.begin() + idat, text, text + sizeof text);

    const struct {
        const char* what;
        std::vector<uint8_t> data;
        int result;
    } cases[] = {
        {"sides past the limit", WithSize(good, 40000, 40000), fovea::kDecodeNoMemory},
        {"more pixels than the limit", WithSize(good, 30000, 30000), fovea::kDecodeNoMemory},
        {"more rows than the file could hold", WithSize(good, 8000, 8000), fovea::kDecodeBroken},
        {"no width", WithSize(good, 0, 131), fovea::kDecodeBroken},
        {"cut in the image data", std::vector<uint8_t>(good.begin(), good.begin() + idat + 2000), fovea::kDecodeBroken},
        {"cut after the header", std::vector<uint8_t>(good.begin(), good.begin() + 33), fovea::kDecodeBroken},
        {"header CRC wrong", badHeaderCrc, fovea::kDecodeBroken},
        {"image data CRC wrong", badDataCrc, fovea::kDecodeBroken},
        {"image data not deflate", badDeflate, fovea::kDecodeBroken},
        {"not a PNG signature", notPng, fovea::kDecodeUnknownFormat},
        {"text chunk CRC wrong", badText, fovea::kDecodeOk},
    };
    DecodedPicture expected;
    ASSERT_EQ(kPlugin.Decode(good, false, expected), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool preview : {false, true}) {
            DecodedPicture picture;
            EXPECT_EQ(kPlugin.Decode(c.data, preview, picture), c.result);
            if (c.result == fovea::kDecodeOk)
                EXPECT_EQ(picture.bits, expected.bits);
            else
                EXPECT_TRUE(picture.bits.empty());
        }
    }
}

} // namespace
