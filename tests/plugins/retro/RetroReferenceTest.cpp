// Every picture of the retro collection, PIC2's compressed blocks included, decodes to exactly the pixels of its
// reference reading (NAME.xv.png). The collection lives outside the repository: without it the test says so and
// skips.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "plugins/mag/MagDecoder.h"
#include "plugins/pi/PiDecoder.h"
#include "plugins/pic/PicDecoder.h"
#include "plugins/pic2/Pic2Decoder.h"
#include "tests/plugins/golden/GoldenImage.h"

namespace {

using Decoder = int (*)(const uint8_t*, size_t, fovea::DecodedPicture&);

// One collected file against its reference reading.
void CheckFile(const std::filesystem::path& path, Decoder decode)
{
    std::string name = path.filename().string();
    std::filesystem::path reference = path;
    reference.replace_extension(".xv.png");
    ASSERT_TRUE(std::filesystem::exists(reference));
    std::vector<uint8_t> file = golden::ReadFile(path.string());
    fovea::DecodedPicture picture;
    std::string ppm = "retro_" + name + ".ppm";
    ASSERT_TRUE(golden::Run("convert '" + reference.string() + "' -alpha off -depth 8 " + ppm));
    ASSERT_EQ(decode(file.data(), file.size(), picture), fovea::kDecodeOk);
    golden::RgbImage expected = golden::ReadPnm(ppm);
    golden::RgbImage decoded = golden::FromDib(picture);
    ASSERT_EQ(decoded.width, expected.width);
    ASSERT_EQ(decoded.height, expected.height);
    int wrong = 0;
    for (size_t i = 0; i < decoded.rgb.size(); i += 3)
        wrong += decoded.rgb[i] != expected.rgb[i] || decoded.rgb[i + 1] != expected.rgb[i + 1] ||
                 decoded.rgb[i + 2] != expected.rgb[i + 2];
    EXPECT_EQ(wrong, 0) << "pixels differ out of " << decoded.rgb.size() / 3;
    std::printf("%s: %d x %d, %d pixels differ\n", name.c_str(), decoded.width, decoded.height, wrong);
}

TEST(RetroReference, EveryCollectedPictureDecodesExactly)
{
    const std::string root = FOVEA_RETRO_DATA;
    if (!std::filesystem::is_directory(root))
        GTEST_SKIP() << "the retro picture collection is not at " << root << ": these pictures were not checked";
    if (!golden::HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick (convert) is needed to read the reference PNG files";
    const struct {
        const char* folder;
        const char* extension;
        Decoder decode;
    } kinds[] = {
        {"mag", ".mag", fovea::DecodeMag},
        {"pi", ".pi", fovea::DecodePi},
        {"pic", ".pic", fovea::DecodePic},
        {"p2", ".p2", fovea::DecodePic2},
    };
    int checked = 0;
    for (const auto& kind : kinds) {
        std::filesystem::path folder = std::filesystem::path(root) / kind.folder;
        if (!std::filesystem::is_directory(folder))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() != kind.extension)
                continue;
            SCOPED_TRACE(entry.path().filename().string());
            CheckFile(entry.path(), kind.decode);
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

} // namespace
