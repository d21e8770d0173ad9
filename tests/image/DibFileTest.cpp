// CDib files and archives: byte-exact round trips, the failure messages, hostile files and plug-in blocks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/Archive.h"
#include "framework/File.h"
#include "tests/image/DibTestUtil.h"

using dibtest::BmpSpec;
using dibtest::BuildBmp;
using dibtest::MessageCapture;
using dibtest::PixelAt;

namespace {

class DibFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("dibtest-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }
    std::string WriteBytes(const char* name, const std::vector<uint8_t>& bytes) const
    {
        std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    static std::vector<uint8_t> ReadBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path m_dir;
    MessageCapture m_capture;
};

TEST_F(DibFileTest, SaveThenLoadIsByteForByteTheSameFile)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        BmpSpec spec;
        spec.width = 37;
        spec.height = 11;
        spec.bitCount = bits;
        std::vector<uint8_t> bytes = BuildBmp(spec);
        std::string in = WriteBytes("in.bmp", bytes);
        CDib dib;
        ASSERT_TRUE(dib.LoadFile(in.c_str())) << bits;
        EXPECT_EQ(dib.GetBitCount(), bits);
        EXPECT_EQ(dib.GetWidth(), 37);
        EXPECT_EQ(dib.GetSize(), bytes.size());
        std::string out = PathOf("out.bmp");
        ASSERT_TRUE(dib.SaveFile(out.c_str()));
        EXPECT_EQ(ReadBytes(out), bytes) << bits << " bits";
    }
    EXPECT_TRUE(m_capture.Messages().empty());
}

TEST_F(DibFileTest, CreatedPictureSavesAndLoadsBackWithItsPalette)
{
    CDib made;
    ASSERT_TRUE(made.Create(9, 4, 8, 1));
    dibtest::FillPattern(made, 5);
    std::string path = PathOf("made.bmp");
    ASSERT_TRUE(made.SaveFile(path.c_str()));
    CDib loaded;
    ASSERT_TRUE(loaded.LoadFile(path.c_str()));
    ASSERT_EQ(loaded.GetSize(), made.GetSize());
    EXPECT_EQ(std::memcmp(loaded.GetBlock(), made.GetBlock(), made.GetSize()), 0);
    ASSERT_NE(loaded.GetPalette(), nullptr);
    EXPECT_EQ(std::memcmp(loaded.GetPalette(), made.GetPalette(), 4 + 1024), 0);
}

TEST_F(DibFileTest, ShortColourTableIsReadFromWhereTheFileSaysAndTheRestIsBlack)
{
    BmpSpec spec;
    spec.bitCount = 8;
    spec.clrUsed = 3;
    std::vector<uint8_t> bytes = BuildBmp(spec);
    CDib dib;
    ASSERT_TRUE(dib.ReadFromMemory(bytes.data(), bytes.size()));
    EXPECT_EQ(dib.GetBits(), dib.GetBlock() + 54 + 12);
    const fovea::DibLogPalette* palette = dib.GetPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->palNumEntries, 256);
    EXPECT_EQ(palette->Entries()[2].peRed, 253);
    EXPECT_EQ(palette->Entries()[2].peGreen, 26);
    EXPECT_EQ(palette->Entries()[2].peBlue, 14);
    EXPECT_EQ(palette->Entries()[3].peRed, 0);
    EXPECT_EQ(palette->Entries()[255].peRed, 0);
    // A conversion through the short table never reads past it.
    CDib converted;
    EXPECT_TRUE(converted.ConvertFrom(24, dib));
}

TEST_F(DibFileTest, ZeroLengthFileFailsWithTheAllocationMessage)
{
    std::string path = WriteBytes("empty.bmp", {});
    CDib dib;
    EXPECT_FALSE(dib.LoadFile(path.c_str()));
    ASSERT_EQ(m_capture.Messages().size(), 1u);
    EXPECT_EQ(m_capture.Messages()[0], "Unable to allocate DIB memory Or File Length=0 ");
    EXPECT_EQ(dib.GetSize(), 0u);
    EXPECT_EQ(dib.GetBitCount(), 0);
}

TEST_F(DibFileTest, MissingFileAndUnwritableFolderFailSilently)
{
    CDib dib;
    EXPECT_FALSE(dib.LoadFile(PathOf("none.bmp").c_str()));
    ASSERT_TRUE(dib.Create(2, 2, 24, 0));
    EXPECT_FALSE(dib.SaveFile(PathOf("no-such-folder/x.bmp").c_str()));
    EXPECT_TRUE(m_capture.Messages().empty());
}

TEST_F(DibFileTest, EmptyObjectSavesAZeroLengthFile)
{
    CDib source;
    ASSERT_TRUE(source.Create(4, 4, 16, 0));
    CDib target;
    EXPECT_FALSE(target.ConvertFrom(8, source, 2, 2));
    std::string path = WriteBytes("old.bmp", {1, 2, 3});
    ASSERT_TRUE(target.SaveFile(path.c_str()));
    EXPECT_TRUE(ReadBytes(path).empty());
}

#ifdef __linux__
TEST_F(DibFileTest, FullDiskShowsTheWriteErrorAndFails)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    CDib dib;
    ASSERT_TRUE(dib.Create(64, 64, 24, 0));
    EXPECT_FALSE(dib.SaveFile("/dev/full"));
    ASSERT_EQ(m_capture.Messages().size(), 1u);
    EXPECT_EQ(m_capture.Messages()[0], "Write error--possible disk full condition");
}
#endif

// Malformed files: each must fail with its message, leave the object empty and never read outside the block
// (the sanitizers watch the last part).
TEST_F(DibFileTest, MalformedFilesAreRefusedWithTheirMessage)
{
    struct Case {
        const char* name;
        BmpSpec spec;
        const char* message;
    };
    auto with = [](auto change) {
        BmpSpec spec;
        change(spec);
        return spec;
    };
    const char* invalid = "Invalid bitmap file";
    const Case cases[] = {
        {"not BM", with([](BmpSpec& s) { s.type = 0x4142; }), invalid},
        {"only the file header", with([](BmpSpec& s) { s.truncateTo = 14; }), invalid},
        {"header cut short", with([](BmpSpec& s) { s.truncateTo = 40; }), invalid},
        {"rows cut short", with([](BmpSpec& s) { s.truncateTo = 54 + 1024 + 7; }), invalid},
        {"one byte", with([](BmpSpec& s) { s.truncateTo = 1; }), invalid},
        {"offset past the end", with([](BmpSpec& s) {
             s.offBits = 1 << 30;
             s.truncateTo = 2000;
         }),
         invalid},
        {"offset inside the header", with([](BmpSpec& s) { s.offBits = 20; }), invalid},
        {"offset inside the table", with([](BmpSpec& s) { s.offBits = 54 + 100; }), invalid},
        {"header size huge", with([](BmpSpec& s) {
             s.headerSize = 0x7FFFFFF0;
             s.truncateTo = 4000;
         }),
         invalid},
        {"zero width", with([](BmpSpec& s) { s.width = 0; }), invalid},
        {"negative width", with([](BmpSpec& s) { s.width = -5; }), invalid},
        {"zero height", with([](BmpSpec& s) { s.height = 0; }), invalid},
        {"huge dimensions", with([](BmpSpec& s) {
             s.width = 0x7FFFFFFF;
             s.height = 0x7FFFFFFF;
             s.truncateTo = 5000;
         }),
         invalid},
        {"rows overflow 32 bits", with([](BmpSpec& s) {
             s.width = 0x40000000;
             s.height = 16;
             s.bitCount = 32;
             s.truncateTo = 5000;
         }),
         invalid},
        {"bit count 0", with([](BmpSpec& s) {
             s.bitCount = 0;
             s.tableEntries = 0;
         }),
         invalid},
        {"bit count 2", with([](BmpSpec& s) {
             s.bitCount = 2;
             s.tableEntries = 4;
         }),
         invalid},
        {"bit count 48", with([](BmpSpec& s) { s.bitCount = 48; }), invalid},
        {"bit fields on 8 bits", with([](BmpSpec& s) { s.compression = 3; }), invalid},
        {"OS/2 header of no size", with([](BmpSpec& s) { s.headerSize = 12; }), invalid},
        {"top-down run-length codes", with([](BmpSpec& s) {
             s.compression = 1;
             s.height = -3;
         }),
         invalid},
        {"OS/2 Huffman codes", with([](BmpSpec& s) {
             s.headerSize = 64;
             s.bitCount = 1;
             s.compression = 3;
         }),
         invalid},
        {"JPEG inside", with([](BmpSpec& s) {
             s.compression = 4;
             s.bitCount = 24;
         }),
         invalid},
        {"too many colours", with([](BmpSpec& s) { s.clrUsed = 257; }), invalid},
        {"colours past the end", with([](BmpSpec& s) {
             s.bitCount = 24;
             s.clrUsed = 0x40000000;
             s.tableEntries = 0;
         }),
         invalid},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = BuildBmp(c.spec);
        std::string path = WriteBytes("bad.bmp", bytes);
        m_capture.Messages().clear();
        CDib dib;
        EXPECT_FALSE(dib.LoadFile(path.c_str())) << c.name;
        ASSERT_EQ(m_capture.Messages().size(), 1u) << c.name;
        EXPECT_EQ(m_capture.Messages()[0], c.message) << c.name;
        EXPECT_TRUE(dib.IsEmpty()) << c.name;
        EXPECT_EQ(dib.GetBitCount(), 0) << c.name;
        // Nothing later may touch a refused block.
        CDib after;
        EXPECT_FALSE(after.ConvertFrom(24, dib)) << c.name;
        EXPECT_FALSE(after.RotateFrom(dib, 1)) << c.name;
    }
}

TEST_F(DibFileTest, UnusualButSoundFilesAreHeldAsRead)
{
    struct Case {
        const char* name;
        BmpSpec spec;
    };
    auto with = [](auto change) {
        BmpSpec spec;
        change(spec);
        return spec;
    };
    const Case cases[] = {
        {"version 4 header", with([](BmpSpec& s) { s.headerSize = 108; })},
        {"version 5 header", with([](BmpSpec& s) {
             s.headerSize = 124;
             s.bitCount = 24;
         })},
        {"16 bits with masks", with([](BmpSpec& s) {
             s.bitCount = 16;
             s.compression = 3;
             s.tableEntries = 3;
         })},
        {"32 bits", with([](BmpSpec& s) { s.bitCount = 32; })},
        {"gap before the rows", with([](BmpSpec& s) { s.offBits = 54 + 1024 + 100; })},
        {"trailing bytes", with([](BmpSpec& s) {
             s.bitCount = 24;
             s.offBits = 54;
             s.truncateTo = -1;
         })},
        {"colour table on 24 bits", with([](BmpSpec& s) {
             s.bitCount = 24;
             s.clrUsed = 4;
         })},
        {"one colour of two", with([](BmpSpec& s) {
             s.bitCount = 1;
             s.clrUsed = 1;
         })},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = BuildBmp(c.spec);
        m_capture.Messages().clear();
        CDib dib;
        ASSERT_TRUE(dib.ReadFromMemory(bytes.data(), bytes.size())) << c.name;
        EXPECT_TRUE(m_capture.Messages().empty()) << c.name;
        EXPECT_EQ(dib.GetWidth(), c.spec.width) << c.name;
        EXPECT_EQ(dib.GetBits(), dib.GetBlock() + bytes.size() -
                                     CDib::RowBytes(c.spec.width, c.spec.bitCount) * uint32_t(c.spec.height))
            << c.name;
        CDib copy;
        if (c.spec.bitCount <= 8 || c.spec.bitCount == 24) {
            EXPECT_TRUE(copy.ConvertFrom(8, dib)) << c.name;
        }
    }
}

// The layouts other programs write (run-length codes, top-down rows, OS/2 headers) are held as the ordinary
// bottom-up uncompressed picture, and saved as one.
namespace layouts {

// A .BMP file from its info header, colour table and pixel bytes.
std::vector<uint8_t> File(const std::vector<uint8_t>& header, const std::vector<uint8_t>& table,
                          const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> v(14);
    v[0] = 'B';
    v[1] = 'M';
    v.insert(v.end(), header.begin(), header.end());
    v.insert(v.end(), table.begin(), table.end());
    dibtest::Put32(v, 10, uint32_t(v.size()));
    v.insert(v.end(), pixels.begin(), pixels.end());
    dibtest::Put32(v, 2, uint32_t(v.size()));
    return v;
}

std::vector<uint8_t> Header(uint32_t size, int32_t width, int32_t height, int bitCount, uint32_t compression)
{
    std::vector<uint8_t> h(size, 0);
    dibtest::Put32(h, 0, size);
    if (size == 12) {
        dibtest::Put16(h, 4, uint32_t(width));
        dibtest::Put16(h, 6, uint32_t(height));
        dibtest::Put16(h, 8, 1);
        dibtest::Put16(h, 10, uint32_t(bitCount));
        return h;
    }
    dibtest::Put32(h, 4, uint32_t(width));
    dibtest::Put32(h, 8, uint32_t(height));
    dibtest::Put16(h, 12, 1);
    dibtest::Put16(h, 14, uint32_t(bitCount));
    dibtest::Put32(h, 16, compression);
    return h;
}

// Colour table entries of entryBytes (3 for OS/2 version 1): entry i is blue i, green 2i, red 3i.
std::vector<uint8_t> Table(int entries, int entryBytes)
{
    std::vector<uint8_t> t;
    for (int i = 0; i < entries; ++i) {
        t.push_back(uint8_t(i));
        t.push_back(uint8_t(2 * i));
        t.push_back(uint8_t(3 * i));
        if (entryBytes == 4)
            t.push_back(0);
    }
    return t;
}

// Rows as shown, top first, one index a pixel; '.' is index 0.
using Rows = std::vector<std::vector<int>>;

} // namespace layouts

TEST_F(DibFileTest, OtherProgramsLayoutsAreHeldAsPlainPictures)
{
    using namespace layouts;
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        int bitCount;
        Rows expected; // top row first
    };
    const Rows shown = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}};
    std::vector<uint8_t> rows8; // stored bottom-up, padded to 8 bytes
    std::vector<uint8_t> topDown8;
    for (int y = 2; y >= 0; --y) {
        for (int x = 0; x < 8; ++x)
            rows8.push_back(uint8_t(x < 5 ? shown[size_t(y)][size_t(x)] : 0));
    }
    for (int y = 0; y < 3; ++y)
        topDown8.insert(topDown8.end(), rows8.begin() + (2 - y) * 8, rows8.begin() + (3 - y) * 8);
    std::vector<uint8_t> rows4;
    for (int y = 2; y >= 0; --y) {
        const auto& r = shown[size_t(y)];
        rows4.insert(rows4.end(), {uint8_t(r[0] << 4 | r[1]), uint8_t(r[2] << 4 | r[3]), uint8_t(r[4] << 4), 0});
    }
    const Case cases[] = {
        {"top-down", File(Header(40, 5, -3, 8, 0), Table(256, 4), topDown8), 8, shown},
        {"OS/2 version 1", File(Header(12, 5, 3, 8, 0), Table(256, 3), rows8), 8, shown},
        {"OS/2 version 2", File(Header(64, 5, 3, 4, 0), Table(16, 4), rows4), 4, shown},
        {"OS/2 version 2, short header", File(Header(16, 5, 3, 4, 0), Table(16, 4), rows4), 4, shown},
        // Runs, a literal of odd length (padded), end of line, delta, end of picture.
        {"RLE8",
         File(Header(40, 6, 4, 8, 1), Table(256, 4),
              {3, 7, 0, 3, 1, 2, 3, 0, /*eol*/ 0, 0, /*delta*/ 0, 2, 2, 0, 2, 9, /*eol*/ 0, 0, 6, 4, /*end*/ 0, 1}),
         8,
         {{0, 0, 0, 0, 0, 0}, {4, 4, 4, 4, 4, 4}, {0, 0, 9, 9, 0, 0}, {7, 7, 7, 1, 2, 3}}},
        // Runs alternate their two nibbles; a literal of three nibbles takes two bytes, padded to four.
        {"RLE4",
         File(Header(40, 7, 2, 4, 2), Table(16, 4), {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 4, 0xAB, 0xCD, 1, 0xE0, 0, 1}),
         4, {{10, 11, 12, 13, 14, 0, 0}, {1, 2, 1, 2, 1, 3, 4}}},
        // Codes that would leave the picture: a run past the row's end is cut there, a delta past the last row
        // and a stream that stops early leave the rest at 0.
        {"RLE8 run past the row", File(Header(40, 4, 2, 8, 1), Table(256, 4), {9, 5, 0, 0, 2, 6, 0, 1}), 8,
         {{6, 6, 0, 0}, {5, 5, 5, 5}}},
        {"RLE8 delta past the picture", File(Header(40, 3, 2, 8, 1), Table(256, 4), {1, 8, 0, 2, 0, 200, 3, 9}), 8,
         {{0, 0, 0}, {8, 0, 0}}},
        {"RLE8 literal past the row", File(Header(40, 3, 1, 8, 1), Table(256, 4), {0, 5, 1, 2, 3, 4, 5, 0}), 8,
         {{1, 2, 3}}},
        {"RLE8 cut short", File(Header(40, 3, 2, 8, 1), Table(256, 4), {2, 4, 0, 4, 1}), 8, {{0, 0, 0}, {4, 4, 0}}},
        {"RLE4 run past the picture", File(Header(40, 3, 1, 4, 2), Table(16, 4), {0, 0, 0, 0, 255, 0x77}), 4,
         {{0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_capture.Messages().clear();
        CDib dib;
        ASSERT_TRUE(dib.ReadFromMemory(c.file.data(), c.file.size()));
        EXPECT_TRUE(m_capture.Messages().empty());
        ASSERT_EQ(dib.GetBitCount(), c.bitCount);
        int height = int(c.expected.size());
        ASSERT_EQ(dib.GetHeight(), height);
        ASSERT_EQ(dib.GetWidth(), int(c.expected[0].size()));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < dib.GetWidth(); ++x)
                EXPECT_EQ(PixelAt(dib, x, height - 1 - y), uint32_t(c.expected[size_t(y)][size_t(x)])) << x << "," << y;
        }
        // Colours come from the file's table whatever its entry size.
        ASSERT_NE(dib.GetColorTable(), nullptr);
        EXPECT_EQ(dib.GetColorTable()[5].rgbRed, 15);
        EXPECT_EQ(dib.GetColorTable()[5].rgbGreen, 10);
        // Saved, it is an ordinary file that reads back the same.
        std::string path = PathOf("normal.bmp");
        ASSERT_TRUE(dib.SaveFile(path.c_str()));
        CDib again;
        ASSERT_TRUE(again.LoadFile(path.c_str()));
        EXPECT_EQ(dibtest::Get32(again.GetBlock() + 14), 40u);
        EXPECT_EQ(dibtest::Get32(again.GetBlock() + 30), 0u);
        EXPECT_EQ(std::memcmp(again.GetBits(), dib.GetBits(), CDib::RowBytes(dib.GetWidth(), c.bitCount) * height), 0);
    }
}

TEST_F(DibFileTest, ArchiveRoundTripAndEmptyRecord)
{
    CDib made;
    ASSERT_TRUE(made.Create(5, 3, 4, 0));
    dibtest::FillPattern(made, 3);
    CDib empty;
    std::string path = PathOf("dibs.arc");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        made.Serialize(ar);
        empty.Serialize(ar);
        ar.Close();
    }
    std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 6 + made.GetSize() + 6);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(dibtest::Get32(bytes.data() + 2), made.GetSize());
    EXPECT_EQ(std::memcmp(bytes.data() + 6, made.GetBlock(), made.GetSize()), 0);
    EXPECT_EQ(dibtest::Get32(bytes.data() + 6 + made.GetSize() + 2), 0u);

    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CDib first, second;
    ASSERT_TRUE(second.Create(2, 2, 8, 1)); // loading replaces what was there
    first.Serialize(ar);
    second.Serialize(ar);
    ASSERT_EQ(first.GetSize(), made.GetSize());
    EXPECT_EQ(std::memcmp(first.GetBlock(), made.GetBlock(), made.GetSize()), 0);
    EXPECT_EQ(first.GetBitCount(), 4);
    EXPECT_EQ(first.GetPalette(), nullptr) << "no palette on this path";
    EXPECT_TRUE(second.IsEmpty());
    EXPECT_TRUE(m_capture.Messages().empty());
    // Without a palette the conversions still find the colours in the colour table.
    CDib scaled;
    ASSERT_TRUE(scaled.ScaleFrom(first, 10, 6));
    EXPECT_EQ(std::memcmp(scaled.GetColorTable(), first.GetColorTable(), 64), 0);
}

TEST_F(DibFileTest, ArchiveRecordsThatLieAreRefused)
{
    auto load = [&](const std::vector<uint8_t>& bytes, CDib& dib) {
        std::string path = WriteBytes("in.arc", bytes);
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        dib.Serialize(ar);
    };
    std::vector<uint8_t> good = BuildBmp(BmpSpec());
    auto record = [&](uint16_t type, uint32_t size, const std::vector<uint8_t>& body) {
        std::vector<uint8_t> v(6);
        dibtest::Put16(v, 0, type);
        dibtest::Put32(v, 2, size);
        v.insert(v.end(), body.begin(), body.end());
        return v;
    };
    {
        CDib dib;
        load(record(0x1234, uint32_t(good.size()), good), dib);
        ASSERT_EQ(m_capture.Messages().size(), 1u);
        EXPECT_EQ(m_capture.Messages()[0], "Invalid DIB archive");
        EXPECT_TRUE(dib.IsEmpty());
    }
    {
        m_capture.Messages().clear();
        std::vector<uint8_t> bad = good;
        dibtest::Put32(bad, 10, 1 << 20); // rows outside the record
        CDib dib;
        load(record(0x4D42, uint32_t(bad.size()), bad), dib);
        ASSERT_EQ(m_capture.Messages().size(), 1u);
        EXPECT_EQ(m_capture.Messages()[0], "Invalid DIB archive");
        EXPECT_TRUE(dib.IsEmpty());
    }
    {
        // A record claiming more than it holds ends in an archive exception and an empty object.
        m_capture.Messages().clear();
        CDib dib;
        EXPECT_THROW(load(record(0x4D42, 400u << 20, good), dib), CArchiveException);
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_TRUE(m_capture.Messages().empty());
    }
    {
        CDib dib;
        EXPECT_THROW(load({'B', 'M', 5}, dib), CArchiveException);
        EXPECT_TRUE(dib.IsEmpty());
    }
    {
        m_capture.Messages().clear();
        CDib dib;
        load(record(0x4D42, 0xFFFFFFFFu, {}), dib);
        ASSERT_EQ(m_capture.Messages().size(), 1u);
        EXPECT_EQ(m_capture.Messages()[0], "Unable to allocate DIB memory Or File Length=0 ");
    }
}

// The plug-in's two blocks, made the way a plug-in makes them.
struct PluginPicture {
    std::vector<uint8_t> info;
    std::vector<uint8_t> bits;
};

PluginPicture MakePluginPicture(int width, int height, int bitCount, int colors)
{
    PluginPicture p;
    p.info.resize(40 + 4 * size_t(colors));
    dibtest::Put32(p.info, 0, 40);
    dibtest::Put32(p.info, 4, uint32_t(width));
    dibtest::Put32(p.info, 8, uint32_t(height));
    dibtest::Put16(p.info, 12, 1);
    dibtest::Put16(p.info, 14, uint16_t(bitCount));
    p.bits.resize(CDib::RowBytes(width, bitCount) * size_t(height));
    dibtest::Put32(p.info, 20, uint32_t(p.bits.size()));
    dibtest::Put32(p.info, 32, uint32_t(colors));
    for (int i = 0; i < colors; ++i)
        p.info[40 + 4 * size_t(i) + 2] = uint8_t(10 * i); // red
    for (size_t i = 0; i < p.bits.size(); ++i)
        p.bits[i] = uint8_t(i * 7 + 1);
    return p;
}

TEST_F(DibFileTest, PluginBlocksBecomeAPictureThatSavesAsAPlainFile)
{
    PluginPicture p = MakePluginPicture(6, 4, 8, 20);
    CDib dib(fovea::MakePluginBlock(p.bits.data(), p.bits.size()),
             fovea::MakePluginBlock(p.info.data(), p.info.size()));
    ASSERT_FALSE(dib.IsEmpty());
    EXPECT_EQ(dib.GetMemoryKind(), 1);
    EXPECT_EQ(dib.GetSize(), 54u + 1024u + 8u * 4u);
    EXPECT_EQ(dib.GetBlock(), nullptr);
    ASSERT_NE(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.GetPalette()->Entries()[19].peRed, 190);
    EXPECT_EQ(dib.GetPalette()->Entries()[20].peRed, 0);
    std::string path = PathOf("plugin.bmp");
    ASSERT_TRUE(dib.SaveFile(path.c_str()));
    std::vector<uint8_t> saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), dib.GetSize());
    CDib back;
    ASSERT_TRUE(back.LoadFile(path.c_str()));
    EXPECT_EQ(back.GetColorTableEntries(), 256);
    EXPECT_EQ(back.GetColorTable()[19].rgbRed, 190);
    EXPECT_EQ(std::memcmp(back.GetBits(), p.bits.data(), p.bits.size()), 0);
    EXPECT_EQ(dibtest::Get32(saved.data() + 10), 54u + 1024u);
    // Turning a plug-in's picture works from its two blocks.
    CDib turned;
    ASSERT_TRUE(turned.RotateFrom(dib, 1));
    EXPECT_EQ(PixelAt(turned, 0, 0), PixelAt(dib, 5, 0));
}

TEST_F(DibFileTest, HostilePluginBlocksAreFreedAndLeaveAnEmptyPicture)
{
    struct Case {
        const char* name;
        int width, height, bits, colors;
        int infoCut, bitsCut; // bytes taken off each block
        int headerSize;
    } cases[] = {
        {"rows cut", 6, 4, 24, 0, 0, 1, 40},   {"colour table cut", 6, 4, 8, 256, 4, 0, 40},
        {"header cut", 6, 4, 8, 0, 20, 0, 40}, {"header size lies", 6, 4, 8, 0, 0, 0, 4000},
        {"OS/2 header", 6, 4, 8, 0, 0, 0, 12}, {"bit count 7", 6, 4, 7, 0, 0, 0, 40},
    };
    for (const Case& c : cases) {
        m_capture.Messages().clear();
        PluginPicture p = MakePluginPicture(c.width, c.height, c.bits, c.colors);
        dibtest::Put32(p.info, 0, uint32_t(c.headerSize));
        p.info.resize(p.info.size() - size_t(c.infoCut));
        p.bits.resize(p.bits.size() - size_t(c.bitsCut));
        CDib dib(fovea::MakePluginBlock(p.bits.data(), p.bits.size()),
                 fovea::MakePluginBlock(p.info.data(), p.info.size()));
        EXPECT_TRUE(dib.IsEmpty()) << c.name;
        EXPECT_EQ(dib.GetBits(), nullptr) << c.name;
        ASSERT_EQ(m_capture.Messages().size(), 1u) << c.name;
        EXPECT_EQ(m_capture.Messages()[0], "Invalid bitmap file") << c.name;
    }
    // Null handles (a plug-in that returned nothing) too.
    m_capture.Messages().clear();
    CDib none(nullptr, nullptr);
    EXPECT_TRUE(none.IsEmpty());
    // One block handed over as both: freed once (the sanitizer would see a second free).
    PluginPicture p = MakePluginPicture(2, 2, 24, 0);
    void* both = fovea::MakePluginBlock(p.info.data(), p.info.size());
    CDib twice(both, both);
    EXPECT_TRUE(twice.IsEmpty());
}

} // namespace
