// Every JPEG and TIFF kind a user meets (baseline, progressive and arithmetic JPEG, grey, RGB and YCCK; TIFF in
// every compression and photometric kind, tiled or striped, planar or chunky, 8 or 16 bits, with alpha, the
// first of several pages), as the reference tools wrote and read them. Under Wine the pictures go through the
// plug-in DLLs' own exports, as the program calls them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/plugins/golden/GoldenImage.h"
#include "tests/plugins/golden/PluginKinds.h"

#ifndef _WIN32
#include "plugins/jpeg/JpegDecoder.h"
#include "plugins/tiff/TiffDecoder.h"
#endif

using fovea::DecodedPicture;

namespace {

const std::string kDir = FOVEA_KINDS_DIR;

bool IsJpegName(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0;
}

// The picture at PATH: under Wine through the plug-in's export, on the host through its decoder.
int Decode(const std::string& path, bool preview, DecodedPicture& out)
{
#ifdef _WIN32
    return golden::CallPlugin(FOVEA_PLUGIN_DIR + std::string(IsJpegName(path) ? "/IFJPEG.SPI" : "/IFTIFF.SPI"), preview,
                              path.c_str(), 0, 0, out);
#else
    std::vector<uint8_t> file = golden::ReadFile(path);
    if (IsJpegName(path))
        return (preview ? DecodeJpegPreview : DecodeJpeg)(file.data(), file.size(), out);
    return DecodeTiff(file.data(), file.size(), out);
#endif
}

TEST(PluginKinds, EveryKindMatchesTheReferenceTools)
{
    golden::ExpectManifestMatches(kDir, Decode, 31);
}

// Bilevel pictures stay 1 bit a pixel and palettes keep their indices: a fax page costs an eighth of a grey one.
TEST(PluginKinds, BilevelAndPaletteKeepTheirDepth)
{
    const struct {
        const char* name;
        int bitCount;
    } cases[] = {{"g3.tif", 1},   {"g4-black.tif", 1}, {"palette.tif", 4},
                 {"grey.tif", 8}, {"grey.jpg", 8},     {"cmyk.tif", 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DecodedPicture picture;
        ASSERT_EQ(Decode(kDir + "/" + c.name, false, picture), 0);
        EXPECT_EQ(picture.bitCount, c.bitCount);
    }
}

} // namespace
