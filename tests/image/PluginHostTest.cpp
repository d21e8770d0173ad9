// The plug-in host under Wine with the real .SPI files: loading by full path in list order, choosing by
// extension, and pictures of every format decoded end to end into CDib against their expected pixels.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "framework/ShiftJis.h"
#include "image/Dib.h"
#include "image/SampleCreateDlg.h"

namespace {

CString ProgramFolder()
{
    char path[MAX_PATH * 2];
    GetModuleFileNameA(nullptr, path, sizeof path);
    CString folder(path);
    return folder.Left(folder.ReverseFind('\\'));
}

// A Unix folder of the build as Wine shows it, on drive Z:.
CString WineFolder(const char* unixPath)
{
    CString dir = CString("Z:") + unixPath;
    for (int i = 0; i < dir.GetLength(); ++i)
        if (dir.GetAt(i) == '/')
            dir.SetAt(i, '\\');
    return dir;
}

CString SourceFolder()
{
    return WineFolder(FOVEA_SOURCE_DIR);
}

// The plug-ins of the tests alone (FOREIGN.SPI), built out of every program folder.
CString TestPluginFolder()
{
    return WineFolder(FOVEA_TEST_PLUGIN_DIR);
}

// A fresh folder holding copies of some plug-ins, each copied under the name given (source -> name).
class PluginFolder {
public:
    explicit PluginFolder(const char* tag)
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_path.Format("%sfovea-plugins-%lu-%s", temp, GetCurrentProcessId(), tag);
        Remove();
        CreateDirectoryA(m_path, nullptr);
    }
    ~PluginFolder() { Remove(); }
    void Copy(const char* source, const char* name, const CString& from = ProgramFolder())
    {
        EXPECT_TRUE(CopyFileA(from + "\\" + source, m_path + "\\" + name, FALSE)) << source;
    }
    const CString& Path() const { return m_path; }

private:
    void Remove()
    {
        CString doubleZero = m_path + CString('\0');
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = doubleZero.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&op);
    }
    CString m_path;
};

// Pixel (x, y) of a picture as red, green, blue, counting rows from the top as shown.
uint32_t PixelAt(const CDib& dib, int x, int y)
{
    const uint8_t* row = dib.GetBits() + size_t(dib.GetHeight() - 1 - y) * CDib::RowBytes(dib.GetWidth(), 24);
    return uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
}

}  // namespace

const char* const kEight[] = {"IFJPEG.SPI", "IFGIF.SPI", "IFTIFF.SPI", "IFXLD4.SPI",
                              "IFMAG.SPI",  "IFPIC.SPI", "IFPIC2.SPI", "IFPI.SPI"};

TEST(PluginHost, LoadsAllEightInOrderWithTheirExtensions)
{
    PluginFolder folder("eight");
    for (const char* name : kEight)
        folder.Copy(name, name);
    CSampleCreateDlg host;
    host.LoadPlugins(folder.Path());
    const char* const* names = kEight;
    const char* extensions[] = {"JPG", "GIF", "TIF", "Q4", "MAG", "PIC", "P2", "PI"};
    ASSERT_EQ(8, host.m_astrPluginFile.GetSize());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(names[i], host.m_astrPluginFile[i]);
        EXPECT_NE(nullptr, host.m_hPlugin[i]) << names[i];
        EXPECT_EQ(extensions[i], host.m_strPluginExt[i]) << names[i];
        EXPECT_EQ(i, host.FindPlugin(extensions[i]));
    }
    for (int i = 8; i < CSampleCreateDlg::kSlots; ++i)
        EXPECT_EQ(nullptr, host.m_hPlugin[i]);
    // Only the exact upper-case extension is served.
    EXPECT_EQ(-1, host.FindPlugin("JPEG"));
    EXPECT_EQ(-1, host.FindPlugin("jpg"));
    EXPECT_EQ(-1, host.FindPlugin("BMP"));
    host.UnloadPlugins();
    EXPECT_EQ(nullptr, host.m_hPlugin[0]);
}

TEST(PluginHost, AMissingPluginDoesNotStopTheLaterOnes)
{
    PluginFolder folder("missing");
    folder.Copy("IFJPEG.SPI", "IFJPEG.SPI");
    folder.Copy("IFTIFF.SPI", "IFTIFF.SPI");
    folder.Copy("IFPI.SPI", "IFPI.SPI");
    CSampleCreateDlg host;
    host.LoadPlugins(folder.Path());
    EXPECT_EQ("JPG", host.m_strPluginExt[0]);
    EXPECT_EQ("TIF", host.m_strPluginExt[1]);
    EXPECT_EQ("PI", host.m_strPluginExt[2]);
    EXPECT_EQ(nullptr, host.m_hPlugin[3]);
    EXPECT_EQ(-1, host.FindPlugin("GIF"));
    EXPECT_EQ(2, host.FindPlugin("PI"));
}

TEST(PluginHost, OnlyJpegAndGifPresent)
{
    PluginFolder folder("two");
    folder.Copy("IFJPEG.SPI", "IFJPEG.SPI");
    folder.Copy("IFGIF.SPI", "IFGIF.SPI");
    CSampleCreateDlg host;
    host.LoadPlugins(folder.Path());
    EXPECT_NE(nullptr, host.m_hPlugin[0]);
    EXPECT_NE(nullptr, host.m_hPlugin[1]);
    EXPECT_EQ(nullptr, host.m_hPlugin[2]);
    EXPECT_EQ(-1, host.FindPlugin("TIF"));
}

TEST(PluginHost, PrefetchedPluginsAreTakenOverInTheirOrder)
{
    // The frame starts the loading on a worker; the dialog's load takes over exactly what a load of its own
    // would have given, gaps closed in list order.
    PluginFolder folder("prefetch");
    folder.Copy("IFGIF.SPI", "IFGIF.SPI");
    folder.Copy("IFMAG.SPI", "IFMAG.SPI");
    CSampleCreateDlg::PrefetchPlugins(folder.Path());
    CSampleCreateDlg host;
    host.LoadPlugins(folder.Path());
    EXPECT_EQ("GIF", host.m_strPluginExt[0]);
    EXPECT_EQ("MAG", host.m_strPluginExt[1]);
    EXPECT_EQ(nullptr, host.m_hPlugin[2]);
    host.UnloadPlugins();

    // A prefetch of another folder is let go: the dialog loads from its own folder, and nothing of the other
    // folder stays loaded.
    PluginFolder other("prefetch-other");
    other.Copy("IFPI.SPI", "IFPI.SPI");
    CSampleCreateDlg::PrefetchPlugins(other.Path());
    CSampleCreateDlg second;
    second.LoadPlugins(folder.Path());
    EXPECT_EQ("GIF", second.m_strPluginExt[0]);
    EXPECT_EQ(-1, second.FindPlugin("PI"));
    EXPECT_EQ(nullptr, GetModuleHandleA(other.Path() + "\\IFPI.SPI"));
}

TEST(PluginHost, TheLowerSlotWinsASharedExtension)
{
    PluginFolder folder("shared");
    folder.Copy("IFGIF.SPI", "IFJPEG.SPI");  // two plug-ins that both report *.gif
    folder.Copy("IFGIF.SPI", "IFGIF.SPI");
    CSampleCreateDlg host;
    host.LoadPlugins(folder.Path());
    EXPECT_EQ("GIF", host.m_strPluginExt[0]);
    EXPECT_EQ("GIF", host.m_strPluginExt[1]);
    EXPECT_EQ(0, host.FindPlugin("GIF"));
}

TEST(PluginHost, TheCurrentFolderIsNeverSearched)
{
    PluginFolder program("program");
    program.Copy("IFJPEG.SPI", "IFJPEG.SPI");
    PluginFolder current("current");
    current.Copy("IFGIF.SPI", "IFGIF.SPI");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(current.Path());
    CSampleCreateDlg host;
    host.LoadPlugins(program.Path());
    SetCurrentDirectoryA(previous);
    EXPECT_EQ("JPG", host.m_strPluginExt[0]);
    EXPECT_EQ(nullptr, host.m_hPlugin[1]);
}

TEST(PluginHost, PicturesOfEveryFormatDecodeToTheirExpectedPixels)
{
    CSampleCreateDlg host;
    host.LoadPlugins(ProgramFolder());
    const char* samples[] = {"jpeg\\sample.jpg", "gif\\sample.gif", "tiff\\sample.tif", "mag\\small.mag",
                             "pic\\small.pic",   "pi\\small.pi",    "pic2\\small.p2",   "xld4\\small.q4"};
    for (const char* sample : samples) {
        SCOPED_TRACE(sample);
        CString path = SourceFolder() + "\\tests\\data\\" + sample;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
            ADD_FAILURE() << "sample missing";
            continue;
        }
        CString expectedPath = path.Left(path.ReverseFind('.')) + ".expected.bmp";
        CString extension = fovea::UpperAscii(fovea::PathExtension(path.str()));
        int slot = host.FindPlugin(extension);
        ASSERT_GE(slot, 0);
        std::unique_ptr<CDib> picture = host.DecodeWith(slot, path);
        ASSERT_NE(nullptr, picture);
        EXPECT_EQ(1, picture->GetMemoryKind());  // the plug-in's two blocks, taken over

        CDib expected;
        ASSERT_TRUE(expected.LoadFile(expectedPath));
        ASSERT_EQ(24, expected.GetBitCount());
        CDib decoded;
        ASSERT_TRUE(decoded.ConvertFrom(24, *picture) || picture->GetBitCount() == 24);
        const CDib& shown = picture->GetBitCount() == 24 ? *picture : decoded;
        ASSERT_EQ(expected.GetWidth(), shown.GetWidth());
        ASSERT_EQ(expected.GetHeight(), shown.GetHeight());
        int wrong = 0;
        for (int y = 0; y < shown.GetHeight(); ++y)
            for (int x = 0; x < shown.GetWidth(); ++x)
                wrong += PixelAt(shown, x, y) != PixelAt(expected, x, y);
        EXPECT_EQ(0, wrong);
    }
}

TEST(PluginHost, FilesThePluginRefusesGiveNoPicture)
{
    CSampleCreateDlg host;
    host.LoadPlugins(ProgramFolder());
    PluginFolder folder("refused");
    const struct {
        const char* name;
        const char* bytes;
        int length;
    } files[] = {
        {"text.gif", "this is not a picture", 21},
        {"cut.gif", "GIF89a\x10\x00\x10\x00\x80", 11},
        {"empty.tif", "", 0},
        {"bad.jpg", "\xFF\xD8\xFF\xE0\x00\x10JFIF", 10},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        CString path = folder.Path() + "\\" + f.name;
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (f.length)
            WriteFile(file, f.bytes, DWORD(f.length), &written, nullptr);
        CloseHandle(file);
        CString extension = fovea::UpperAscii(fovea::PathExtension(path.str()));
        EXPECT_EQ(nullptr, host.DecodeWith(host.FindPlugin(extension), path));
    }
    EXPECT_EQ(nullptr, host.DecodeWith(host.FindPlugin("GIF"), folder.Path() + "\\absent.gif"));
    EXPECT_EQ(nullptr, host.DecodeWith(-1, "x.gif"));
}

// A third-party plug-in dropped in under one of the eight names, whose filter names two extensions, serves both:
// a picture with the second extension decodes through it, and its LocalAlloc blocks become the picture.
TEST(PluginHost, AForeignPluginServesEveryExtensionOfItsFilter)
{
    PluginFolder folder("foreign");
    folder.Copy("IFJPEG.SPI", "IFJPEG.SPI");
    folder.Copy("FOREIGN.SPI", "IFTIFF.SPI", TestPluginFolder());
    CSampleCreateDlg host;
    host.LoadPlugins(folder.Path());
    EXPECT_EQ("TIF;TIFF", host.m_strPluginExt[1]);
    EXPECT_EQ(1, host.FindPlugin("TIF"));
    EXPECT_EQ(1, host.FindPlugin("TIFF"));
    EXPECT_EQ(-1, host.FindPlugin("TIFF;"));
    EXPECT_EQ(-1, host.FindPlugin("TI"));

    // A 3 x 2 picture: red, green, blue over white, grey, black.
    const char ppm[] = "P6\n3 2\n255\n\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF\x80\x80\x80\x00\x00\x00";
    CString path = folder.Path() + "\\scan.tiff";
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, ppm, sizeof ppm - 1, &written, nullptr);
    CloseHandle(file);
    std::unique_ptr<CDib> picture = host.DecodeWith(host.FindPlugin("TIFF"), path);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(1, picture->GetMemoryKind());
    ASSERT_EQ(3, picture->GetWidth());
    ASSERT_EQ(2, picture->GetHeight());
    const uint32_t expected[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x808080, 0x000000}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(expected[y][x], PixelAt(*picture, x, y)) << x << "," << y;
}

// A program folder holding the eight and more .SPI files: the others follow in name order into the free slots.
// One that repeats an extension of the eight never displaces it; one that is no DLL, or a DLL without the
// plug-in's exports, is skipped without keeping the later ones out; the status line names the ones loaded.
TEST(PluginHost, OtherPluginsBesideTheProgramFillTheFreeSlotsInNameOrder)
{
    PluginFolder folder("beyond");
    for (const char* name : kEight)
        folder.Copy(name, name);
    folder.Copy("IFGIF.SPI", "A_GIF.SPI");
    ASSERT_TRUE(CopyFileA(folder.Path() + "\\IFJPEG.SPI", folder.Path() + "\\D_JPEG.SPI.OLD", FALSE));
    HANDLE broken = CreateFileA(folder.Path() + "\\B_BROKEN.SPI", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(broken, "MZ not a library", 16, &written, nullptr);
    CloseHandle(broken);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    folder.Copy("version.dll", "C_VERSION.SPI", system);
    folder.Copy("TESTPVW.SPI", "D_PVW.SPI", TestPluginFolder());
    folder.Copy("FOREIGN.SPI", "FOREIGN.SPI", TestPluginFolder());

    for (bool prefetched : {false, true}) {
        SCOPED_TRACE(prefetched ? "prefetched" : "loaded by the dialog");
        if (prefetched)
            CSampleCreateDlg::PrefetchPlugins(folder.Path());
        CSampleCreateDlg host;
        host.LoadPlugins(folder.Path());
        const char* extensions[] = {"JPG", "GIF", "TIF", "Q4", "MAG", "PIC", "P2", "PI", "GIF", "PVW", "TIF;TIFF"};
        for (int i = 0; i < CSampleCreateDlg::kSlots; ++i) {
            EXPECT_EQ(i < 11, host.m_hPlugin[i] != nullptr) << i;
            EXPECT_EQ(i < 11 ? extensions[i] : "", host.m_strPluginExt[i]) << i;
        }
        ASSERT_EQ(11, host.m_astrPluginFile.GetSize());
        EXPECT_EQ("A_GIF.SPI", host.m_astrPluginFile[8]);
        EXPECT_EQ("D_PVW.SPI", host.m_astrPluginFile[9]);
        EXPECT_EQ("FOREIGN.SPI", host.m_astrPluginFile[10]);
        // The first slot serving an extension wins.
        EXPECT_EQ(1, host.FindPlugin("GIF"));
        EXPECT_EQ(2, host.FindPlugin("TIF"));
        EXPECT_EQ(10, host.FindPlugin("TIFF"));
        EXPECT_TRUE(host.ServesExtension("tiff"));
        EXPECT_TRUE(host.ServesExtension("Pvw"));
        EXPECT_FALSE(host.ServesExtension("OLD"));

        // The picture goes to the plug-in of slot 10 for its extension: a 2 x 1 picture, red beside blue.
        const char ppm[] = "P6\n2 1\n255\n\xFF\x00\x00\x00\x00\xFF";
        CString path = folder.Path() + "\\scan.tiff";
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        WriteFile(file, ppm, sizeof ppm - 1, &written, nullptr);
        CloseHandle(file);
        std::unique_ptr<CDib> picture = host.DecodeWith(host.FindPlugin("TIFF"), path);
        ASSERT_NE(nullptr, picture);
        ASSERT_EQ(2, picture->GetWidth());
        EXPECT_EQ(0xFF0000u, PixelAt(*picture, 0, 0));
        EXPECT_EQ(0x0000FFu, PixelAt(*picture, 1, 0));
    }
}
