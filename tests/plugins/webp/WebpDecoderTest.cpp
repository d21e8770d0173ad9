// WebP pictures of every kind (lossy, lossless, alpha, the extended layout, animations), as libwebp's tools wrote
// and read them, whole and scaled for previews; damaged and hostile files. Under Wine every picture goes through
// IFWEBP.SPI's own exports, as the program calls them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugins/webp/WebpDecoder.h"
#include "tests/plugins/golden/GoldenImage.h"
#include "tests/plugins/golden/PluginKinds.h"

using fovea::DecodedPicture;

namespace {

const std::string kDir = FOVEA_KINDS_DIR;

#ifdef _WIN32
const golden::PluginUnderTest kPlugin = {FOVEA_PLUGIN_DIR "/IFWEBP.SPI", DecodeWebp, DecodeWebpPreview};
#else
const golden::PluginUnderTest kPlugin = {"", DecodeWebp, DecodeWebpPreview};
#endif

TEST(WebpDecoder, EveryKindMatchesDwebp)
{
    golden::ExpectManifestMatches(kDir, kPlugin, 12);
}

uint32_t Little32(const std::vector<uint8_t>& d, size_t at)
{
    return uint32_t(d[at]) | uint32_t(d[at + 1]) << 8 | uint32_t(d[at + 2]) << 16 | uint32_t(d[at + 3]) << 24;
}

void PutLittle(std::vector<uint8_t>& d, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        d[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// The first `size` bytes, with the RIFF and first chunk sizes telling the truth about them.
std::vector<uint8_t> CutConsistently(const std::vector<uint8_t>& file, size_t size)
{
    std::vector<uint8_t> cut(file.begin(), file.begin() + size);
    PutLittle(cut, 4, uint32_t(size - 8), 4);
    PutLittle(cut, 16, uint32_t(size - 20), 4);
    return cut;
}

// A lossless bitstream header (after its signature byte) claiming another size.
std::vector<uint8_t> LosslessSized(std::vector<uint8_t> file, uint32_t width, uint32_t height)
{
    uint32_t bits = Little32(file, 21);
    PutLittle(file, 21, (bits & 0xF0000000u) | (width - 1) | (height - 1) << 14, 4);
    return file;
}

// An animation's canvas (24-bit sizes less one in its VP8X chunk) claiming another size.
std::vector<uint8_t> CanvasSized(std::vector<uint8_t> file, uint32_t width, uint32_t height)
{
    PutLittle(file, 24, width - 1, 3);
    PutLittle(file, 27, height - 1, 3);
    return file;
}

// A hostile or damaged file is refused with a failure result and nothing is handed over.
TEST(WebpDecoder, DamagedAndHostileFilesAreRefused)
{
    const std::vector<uint8_t> lossy = golden::ReadFile(kDir + "/lossy.webp");
    const std::vector<uint8_t> lossless = golden::ReadFile(kDir + "/lossless.webp");
    const std::vector<uint8_t> animated = golden::ReadFile(kDir + "/offset.webp");
    ASSERT_GT(lossy.size(), 1000u);
    ASSERT_GT(lossless.size(), 1000u);
    ASSERT_GT(animated.size(), 1000u);
    ASSERT_EQ(std::string(lossless.begin() + 12, lossless.begin() + 16), "VP8L");
    ASSERT_EQ(std::string(animated.begin() + 12, animated.begin() + 16), "VP8X");

    std::vector<uint8_t> wave = lossy;
    std::copy_n("WAVE", 4, wave.begin() + 8);
    std::vector<uint8_t> badPartition = lossy;
    // The first partition's size (19 bits after the frame tag's flags) pointing past the data.
    PutLittle(badPartition, 20, Little32(badPartition, 20) | 0x7FFFE0u, 3);

    const struct {
        const char* what;
        std::vector<uint8_t> data;
        int result;
    } cases[] = {
        {"canvas past the limits", CanvasSized(animated, 16000, 16000), fovea::kDecodeNoMemory},
        {"lossless, more pixels than the bytes allow", LosslessSized(CutConsistently(lossless, 100), 8000, 8000),
         fovea::kDecodeNoMemory},
        {"lossless, as many pixels as the bytes allow, cut", LosslessSized(CutConsistently(lossless, 100), 2000, 2000),
         fovea::kDecodeBroken},
        {"lossless, cut", std::vector<uint8_t>(lossless.begin(), lossless.begin() + lossless.size() / 2),
         fovea::kDecodeBroken},
        {"lossless, cut with true sizes", CutConsistently(lossless, lossless.size() / 2), fovea::kDecodeBroken},
        {"lossy, cut", std::vector<uint8_t>(lossy.begin(), lossy.begin() + lossy.size() / 2), fovea::kDecodeBroken},
        {"lossy, first partition past the data", badPartition, fovea::kDecodeBroken},
        {"animation, cut", std::vector<uint8_t>(animated.begin(), animated.begin() + animated.size() / 3),
         fovea::kDecodeBroken},
        {"not WebP", wave, fovea::kDecodeUnknownFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool preview : {false, true}) {
            DecodedPicture picture;
            EXPECT_EQ(kPlugin.Decode(c.data, preview, picture), c.result);
            EXPECT_TRUE(picture.bits.empty());
        }
    }
}

} // namespace
