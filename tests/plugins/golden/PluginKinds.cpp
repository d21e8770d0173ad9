// Manifest comparison and plug-in calls shared by the plug-in tests.
#include "tests/plugins/golden/PluginKinds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "tests/plugins/golden/GoldenImage.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace golden {

void ExpectManifestMatches(const std::string& dir, const DecodeCall& decode, int atLeast)
{
    std::ifstream manifest(dir + "/manifest.txt");
    ASSERT_TRUE(manifest) << dir << "/manifest.txt was not made at build time";
    std::string line;
    int count = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name, reference, call;
        int tolerance = 0;
        if (!(fields >> name >> reference >> tolerance >> call))
            continue;
        SCOPED_TRACE(name + " (" + call + ")");
        ++count;
        fovea::DecodedPicture picture;
        ASSERT_EQ(decode(dir + "/" + name, call == "preview", picture), 0);
        RgbImage expected = ReadPnm(dir + "/" + reference);
        ASSERT_GT(expected.width, 0);
        int most = MaxDifference(FromDib(picture), expected);
        EXPECT_GE(most, 0) << picture.width << "x" << picture.height << " against " << expected.width << "x"
                           << expected.height;
        EXPECT_LE(most, tolerance);
    }
    EXPECT_GE(count, atLeast);
}

void ExpectManifestMatches(const std::string& dir, const PluginUnderTest& plugin, int atLeast)
{
    ExpectManifestMatches(
        dir,
        [&plugin](const std::string& path, bool preview, fovea::DecodedPicture& out) {
            return plugin.DecodeFile(path, preview, out);
        },
        atLeast);
}

int PluginUnderTest::Decode(const std::vector<uint8_t>& data, bool preview, fovea::DecodedPicture& out) const
{
#ifdef _WIN32
    return CallPlugin(dllPath, preview, data.data(), long(data.size()), 1, out);
#else
    return (preview ? reduced : whole)(data.data(), data.size(), out);
#endif
}

int PluginUnderTest::DecodeFile(const std::string& path, bool preview, fovea::DecodedPicture& out) const
{
#ifdef _WIN32
    return CallPlugin(dllPath, preview, path.c_str(), 0, 0, out);
#else
    return Decode(ReadFile(path), preview, out);
#endif
}

#ifdef _WIN32
int CallPlugin(const std::string& dllPath, bool preview, const void* input, long len, unsigned flag,
               fovea::DecodedPicture& out)
{
    using GetPictureProc = int(WINAPI*)(LPCSTR, LONG, UINT, HLOCAL*, HLOCAL*, FARPROC, LONG);
    static std::map<std::string, HMODULE> loaded;
    HMODULE& plugin = loaded[dllPath];
    if (!plugin)
        plugin = LoadLibraryA(dllPath.c_str());
    if (!plugin)
        return -100;
    auto call = reinterpret_cast<GetPictureProc>(
        reinterpret_cast<void*>(GetProcAddress(plugin, preview ? "GetPreview" : "GetPicture")));
    if (!call)
        return -101;
    HLOCAL info = nullptr, bits = nullptr;
    int result = call(static_cast<LPCSTR>(input), len, flag, &info, &bits, nullptr, 0);
    if (result != 0) {
        // Nothing may be handed over on failure.
        return info || bits ? -102 : result;
    }
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
#endif

} // namespace golden
