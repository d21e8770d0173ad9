// Every JPEG and TIFF kind a user meets (baseline, progressive and arithmetic JPEG, grey, RGB and YCCK; TIFF in
// every compression and photometric kind, tiled or striped, planar or chunky, 8 or 16 bits, with alpha, the
// first of several pages), as the reference tools wrote and read them. Under Wine the pictures go through the
// plug-in DLLs' own exports, as the program calls them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/plugins/golden/GoldenImage.h"

#ifdef _WIN32
#include <windows.h>
#else
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

#ifdef _WIN32
using GetPictureProc = int(WINAPI*)(LPCSTR, LONG, UINT, HLOCAL*, HLOCAL*, FARPROC, LONG);

// The picture through the plug-in's export, its two blocks turned back into a decoded picture.
int Decode(const std::string& name, bool preview, DecodedPicture& out)
{
    static HMODULE jpeg = LoadLibraryA(FOVEA_PLUGIN_DIR "/IFJPEG.SPI");
    static HMODULE tiff = LoadLibraryA(FOVEA_PLUGIN_DIR "/IFTIFF.SPI");
    HMODULE plugin = IsJpegName(name) ? jpeg : tiff;
    if (!plugin)
        return -100;
    auto call = reinterpret_cast<GetPictureProc>(
        reinterpret_cast<void*>(GetProcAddress(plugin, preview ? "GetPreview" : "GetPicture")));
    if (!call)
        return -101;
    HLOCAL info = nullptr, bits = nullptr;
    std::string path = kDir + "/" + name;
    int result = call(path.c_str(), 0, 0, &info, &bits, nullptr, 0);
    if (result != 0)
        return result;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LocalLock(info));
    const auto* rows = static_cast<const uint8_t*>(LocalLock(bits));
    out.width = header->biWidth;
    out.height = header->biHeight;
    out.bitCount = header->biBitCount;
    const auto* palette = reinterpret_cast<const uint8_t*>(header) + header->biSize;
    out.palette.assign(palette, palette + 4 * header->biClrUsed);
    out.palette.resize(out.bitCount <= 8 ? size_t(4) << out.bitCount : 0, 0);
    out.bits.assign(rows, rows + out.Stride() * size_t(out.height));
    LocalUnlock(bits);
    LocalUnlock(info);
    LocalFree(bits);
    LocalFree(info);
    return 0;
}
#else
int Decode(const std::string& name, bool preview, DecodedPicture& out)
{
    std::vector<uint8_t> file = golden::ReadFile(kDir + "/" + name);
    if (IsJpegName(name))
        return (preview ? DecodeJpegPreview : DecodeJpeg)(file.data(), file.size(), out);
    return DecodeTiff(file.data(), file.size(), out);
}
#endif

TEST(PluginKinds, EveryKindMatchesTheReferenceTools)
{
    std::ifstream manifest(kDir + "/manifest.txt");
    ASSERT_TRUE(manifest) << kDir << "/manifest.txt was not made at build time";
    std::string line;
    int kinds = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name, reference, call;
        int tolerance = 0;
        if (!(fields >> name >> reference >> tolerance >> call))
            continue;
        SCOPED_TRACE(name + " (" + call + ")");
        ++kinds;
        DecodedPicture picture;
        ASSERT_EQ(Decode(name, call == "preview", picture), 0);
        golden::RgbImage expected = golden::ReadPnm(kDir + "/" + reference);
        ASSERT_GT(expected.width, 0);
        int most = golden::MaxDifference(golden::FromDib(picture), expected);
        EXPECT_GE(most, 0) << picture.width << "x" << picture.height << " against " << expected.width << "x"
                           << expected.height;
        EXPECT_LE(most, tolerance);
    }
    EXPECT_GT(kinds, 30);
}

// Bilevel pictures stay 1 bit a pixel and palettes keep their indices: a fax page costs an eighth of a grey one.
TEST(PluginKinds, BilevelAndPaletteKeepTheirDepth)
{
    const struct {
        const char* name;
        int bitCount;
    } cases[] = {{"g3.tif", 1}, {"g4-black.tif", 1}, {"palette.tif", 4}, {"grey.tif", 8}, {"grey.jpg", 8},
                 {"cmyk.tif", 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DecodedPicture picture;
        ASSERT_EQ(Decode(c.name, false, picture), 0);
        EXPECT_EQ(picture.bitCount, c.bitCount);
    }
}

} // namespace
