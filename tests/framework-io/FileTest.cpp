// CFile, CStdioFile and CArchive against real files: open modes, failures, line ends, long lines, byte order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/File.h"
#ifdef _WIN32
#include "framework/FileReplace.h"
#include "framework/Win32.h"
#endif

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                (std::string("filetest-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string PathOf(const char* name) const { return (m_dir / name).string(); }
    std::string Write(const char* name, const std::string& bytes) const
    {
        std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path m_dir;
};

TEST_F(FileTest, OpenFailsWithoutThrowingAndSaysWhy)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(PathOf("missing.bin").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, PathOf("missing.bin").c_str());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Open(PathOf("no/such/folder/x.bin").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(file.Open(m_dir.string().c_str(), CFile::modeRead)) << "a folder is not a file";
    EXPECT_THROW(CFile(PathOf("missing.bin").c_str(), CFile::modeRead), CFileException);
}

TEST_F(FileTest, CreateTruncatesUnlessToldNotTo)
{
    std::string path = Write("a.bin", "0123456789");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 10u);
        file.SeekToEnd();
        file.Write("ab", 2);
    }
    EXPECT_EQ(Contents(path), "0123456789ab");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
        file.Write("xyz", 3);
        EXPECT_EQ(file.GetFilePath(), path.c_str());
    }
    EXPECT_EQ(Contents(path), "xyz");
}

TEST_F(FileTest, ReadReturnsWhatIsThereAndSeekMovesBothWays)
{
    std::string path = Write("b.bin", "abcdefgh");
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(file.GetPosition(), 3u);
    EXPECT_EQ(file.Seek(-2, CFile::end), 6u);
    EXPECT_EQ(file.Read(buffer, 16), 2u) << "a short read at the end is not an error";
    EXPECT_EQ(std::string(buffer, 2), "gh");
    EXPECT_EQ(file.Read(buffer, 16), 0u);
    file.SeekToBegin();
    EXPECT_EQ(file.Seek(1, CFile::current), 1u);
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], 'b');
    EXPECT_THROW(file.Seek(-100, CFile::begin), CFileException);
}

TEST_F(FileTest, WritingAFileOpenedForReadingThrows)
{
    std::string path = Write("c.bin", "abc");
    CFile file(path.c_str(), CFile::modeRead);
    EXPECT_THROW(file.Write("x", 1), CFileException);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_THROW(file.Read(nullptr, 0), CFileException) << "a closed file";
}

TEST_F(FileTest, SetLengthCutsAndExtends)
{
    std::string path = Write("d.bin", "abcdef");
    {
        CFile file(path.c_str(), CFile::modeReadWrite);
        file.SetLength(2);
        EXPECT_EQ(file.GetLength(), 2u);
    }
    EXPECT_EQ(Contents(path), "ab");
}

TEST_F(FileTest, ReadStringAcceptsEveryLineEndAndKeepsDoubleByteText)
{
    // "表示" in code page 932: its second byte 0x5C must not be taken for anything.
    std::string text = "one\r\ntwo\nthree\rfour\r\n\r\n\x95\x5C\x8E\xA6\nlast";
    std::string path = Write("lines.txt", text);
    CStdioFile file(path.c_str(), CFile::modeRead);
    std::vector<std::string> lines;
    CString line;
    while (file.ReadString(line))
        lines.push_back(line.str());
    std::vector<std::string> expected = {"one", "two", "three", "four", "", "\x95\x5C\x8E\xA6", "last"};
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());
}

TEST_F(FileTest, ReadStringNeverCutsLongLinesOrSplitsCrLfAcrossItsBuffer)
{
    std::string longLine(10000, 'x');
    longLine[9999] = 'y';
    // The CR LF straddles the 4096-byte read: the CR is the last byte of the first buffer.
    std::string first(4095, 'a');
    std::string text = first + "\r\n" + longLine + "\n" + "end\n";
    std::string path = Write("long.txt", text);
    CStdioFile file(path.c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.str(), first);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.str(), longLine);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.str(), "end");
    EXPECT_FALSE(file.ReadString(line)) << "a final line end makes no extra empty line";
}

TEST_F(FileTest, PositionAndBinaryReadsFollowTheLinesRead)
{
    std::string path = Write("mixed.txt", "ab\ncd\nef");
    CStdioFile file(path.c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(file.GetPosition(), 3u);
    char c = 0;
    EXPECT_EQ(file.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'c');
    file.Seek(6, CFile::begin);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line.str(), "ef");
}

TEST_F(FileTest, WriteStringWritesCrLfLineEnds)
{
    std::string path = PathOf("out.txt");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.WriteString("a\nb\r\n");
        file.WriteString("\n");
        file.WriteString("c");
    }
    EXPECT_EQ(Contents(path), "a\r\nb\r\n\r\nc");
}

TEST_F(FileTest, ArchiveStoresLittleEndianAndLoadsItBack)
{
    std::string path = PathOf("ar.bin");
    std::string big(10000, 'q');
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(ar.IsStoring());
        ar << uint8_t(0x01) << uint16_t(0x0302) << uint32_t(0x07060504);
        ar.Write(big.data(), unsigned(big.size())); // larger than the buffer: order must hold
        ar.WriteWord(0xBBAA);
        EXPECT_THROW(ar.ReadWord(), CArchiveException);
        ar.Close();
    }
    std::string bytes = Contents(path);
    ASSERT_EQ(bytes.size(), 7u + big.size() + 2u);
    EXPECT_EQ(bytes.substr(0, 7), std::string("\x01\x02\x03\x04\x05\x06\x07", 7));
    EXPECT_EQ(bytes.substr(7, big.size()), big);
    EXPECT_EQ(bytes.substr(7 + big.size()), "\xAA\xBB");

    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(ar.IsLoading());
    uint8_t b = 0;
    uint16_t w = 0;
    uint32_t d = 0;
    ar >> b >> w >> d;
    EXPECT_EQ(b, 0x01);
    EXPECT_EQ(w, 0x0302);
    EXPECT_EQ(d, 0x07060504u);
    std::string back(big.size(), '\0');
    ar.Read(&back[0], unsigned(back.size()));
    EXPECT_EQ(back, big);
    EXPECT_EQ(ar.ReadWord(), 0xBBAA);
    try {
        ar.ReadDWord();
        ADD_FAILURE() << "reading past the end must throw";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

TEST_F(FileTest, ArchiveCloseLeavesTheFileWhereReadingStopped)
{
    std::string path = Write("pos.bin", "abcdefgh");
    CFile file(path.c_str(), CFile::modeRead);
    {
        CArchive ar(&file, CArchive::load);
        char two[2];
        ar.Read(two, 2);
        ar.Close();
    }
    EXPECT_EQ(file.GetPosition(), 2u);
}

TEST_F(FileTest, ArchiveShortReadThrowsEvenForLargeRequests)
{
    std::string path = Write("short.bin", std::string(5000, 'z'));
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    std::vector<char> buffer(8000);
    EXPECT_THROW(ar.Read(buffer.data(), unsigned(buffer.size())), CArchiveException);
}

#ifdef _WIN32
// The creation time of path, or false when it cannot be read.
bool CreationTime(const std::string& path, FILETIME& created)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    created = data.ftCreationTime;
    return true;
}

TEST_F(FileTest, ASaveOverAFileKeepsItsAttributesCreationTimeAndOtherNames)
{
    constexpr DWORD kBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    const FILETIME old = {0x2A69C000, 0x01B4F2D7}; // 1996
    for (DWORD attributes : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_SYSTEM),
                             DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)}) {
        SCOPED_TRACE(attributes);
        std::string path = Write("kept.txt", "old");
        HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        SetFileTime(file, &old, nullptr, nullptr);
        CloseHandle(file);
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
        FILETIME before = {};
        ASSERT_TRUE(CreationTime(path, before));
        // Wine: creation times cannot be set on most Unix file systems; there is then nothing to keep.
        const bool settable = CompareFileTime(&before, &old) == 0;

        ASSERT_TRUE(fovea::SaveBytesReplacing(CString(path), "new", 3));
        EXPECT_EQ("new", Contents(path));
        EXPECT_EQ(attributes, GetFileAttributesA(path.c_str()) & kBits);
        FILETIME after = {};
        ASSERT_TRUE(CreationTime(path, after));
        if (settable)
            EXPECT_EQ(0, CompareFileTime(&before, &after));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }

    // Every name of a file with hard links sees what was saved under one of them.
    std::string path = Write("linked.txt", "old");
    std::string other = PathOf("other.txt");
    if (!CreateHardLinkA(other.c_str(), path.c_str(), nullptr))
        GTEST_SKIP() << "no hard links here";
    ASSERT_TRUE(fovea::SaveBytesReplacing(CString(path), "newer", 5));
    EXPECT_EQ("newer", Contents(path));
    EXPECT_EQ("newer", Contents(other));
    EXPECT_EQ(std::vector<std::string>({"linked.txt", "other.txt"}), [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }());
}
#endif

} // namespace
