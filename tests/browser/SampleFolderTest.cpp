// Index files of the CD-ROM sample folders on a scratch folder: line numbers, appends, the CDnnnn\Lmmmm path.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <filesystem>

#include "browser/SampleFolder.h"

using namespace fovea;

namespace {

class IndexFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int serial = 0;
        auto dir = std::filesystem::temp_directory_path() /
                   ("fovea-index-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                    std::to_string(++serial));
        std::filesystem::remove_all(dir);
        ASSERT_TRUE(std::filesystem::create_directories(dir));
        m_dir = dir.string();
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string Read(const std::string& file) const
    {
        std::ifstream in(file, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void Write(const std::string& file, const std::string& bytes) const
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    std::string m_dir;
};

} // namespace

TEST_F(IndexFiles, FindLineNumbersFromZero)
{
    std::string file = m_dir + "/x.src";
    Write(file, "first\r\nsecond\r\n\r\nsecond\r\nlast");
    struct Case {
        const char* text;
        int line;
    } cases[] = {
        {"first", 0},   {"second", 1}, {"", 2},          {"last", 4},
        {"SECOND", -1}, {"secon", -1}, {"second\r", -1}, {"firstx", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, FindLine(file, c.text)) << c.text;
    EXPECT_EQ(-1, FindLine(m_dir + "/missing.src", "first"));
}

TEST_F(IndexFiles, LinesWithLoneLineFeedsAndInnerReturns)
{
    std::string file = m_dir + "/x.src";
    Write(file, "a\nb\rc\r\n\r");
    EXPECT_EQ(0, FindLine(file, "a"));
    EXPECT_EQ(1, FindLine(file, "b\rc"));
    // The last line is a lone CR with no line end: it is the line end of an empty line.
    EXPECT_EQ(2, FindLine(file, ""));
}

TEST_F(IndexFiles, EmptyFileHasNoLines)
{
    std::string file = m_dir + "/empty.src";
    Write(file, "");
    EXPECT_EQ(-1, FindLine(file, ""));
    Write(file, "x\r\n");
    EXPECT_EQ(-1, FindLine(file, ""));
}

TEST_F(IndexFiles, AppendLineCreatesAndKeepsFirstNumber)
{
    std::string file = m_dir + "/CD.SRC";
    EXPECT_EQ(0, AppendLine(file, "/disc one"));
    EXPECT_EQ(1, AppendLine(file, ""));
    EXPECT_EQ(2, AppendLine(file, "/disc two"));
    // Appending an entry that is already there answers its first number.
    EXPECT_EQ(0, AppendLine(file, "/disc one"));
    EXPECT_EQ("/disc one\r\n\r\n/disc two\r\n/disc one\r\n", Read(file));
}

TEST_F(IndexFiles, AppendAfterAnUnendedLastLine)
{
    std::string file = m_dir + "/DR.SRC";
    Write(file, "\\A");
    EXPECT_EQ(1, AppendLine(file, "\\B"));
    EXPECT_EQ(0, FindLine(file, "\\A"));
}

TEST_F(IndexFiles, AppendToAnUnwritableFileFails)
{
    EXPECT_EQ(-1, AppendLine(m_dir + "/no such folder/CD.SRC", "x"));
}

TEST_F(IndexFiles, LongLinesCostNoMemoryAndDoNotMatchTheirPrefix)
{
    std::string file = m_dir + "/long.src";
    std::string big(1 << 20, 'x');
    Write(file, big + "\r\nx\r\n");
    EXPECT_EQ(1, FindLine(file, "x"));
    EXPECT_EQ(0, FindLine(file, big));
}

TEST(FolderKey, DropsTheDriveOnly)
{
    EXPECT_EQ("\\PHOTOS\\1996", FolderKeyOfPath("Q:\\PHOTOS\\1996"));
    EXPECT_EQ("", FolderKeyOfPath("Q:"));
    EXPECT_EQ("\\\x95\x5C", FolderKeyOfPath("Q:\\\x95\x5C"));
}

TEST_F(IndexFiles, DiscFoldersNumberedAndMadeOnlyWhenAllowed)
{
    // The index code joins paths with backslashes as on the disc: real sub-folders on Windows, and on the host
    // one file name each inside the scratch folder, which is all this test needs.
    std::string root = m_dir + "/r";
    std::filesystem::create_directory(root);
    std::vector<std::string> made;
    auto make = [&](const std::string& path) {
        made.push_back(path);
        // The disc folder must really exist for its DR.SRC to be written.
        std::filesystem::create_directory(path);
    };
    // Browsing never writes.
    EXPECT_EQ("", ResolveDiscSampleDir(root, "/sig A", "\\PHOTOS", false, make));
    EXPECT_TRUE(made.empty());
    EXPECT_EQ(-1, FindLine(root + "\\CD.SRC", "/sig A"));

    EXPECT_EQ(root + "\\CD0000\\L0000", ResolveDiscSampleDir(root, "/sig A", "\\PHOTOS", true, make));
    EXPECT_EQ((std::vector<std::string>{root + "\\CD0000", root + "\\CD0000\\L0000"}), made);
    // The disc root is the empty key, a second folder of the same disc the next number.
    EXPECT_EQ(root + "\\CD0000\\L0001", ResolveDiscSampleDir(root, "/sig A", "", true, make));
    EXPECT_EQ(root + "\\CD0000\\L0001", ResolveDiscSampleDir(root, "/sig A", "", false, make));
    // Another disc gets the next disc folder.
    EXPECT_EQ(root + "\\CD0001\\L0000", ResolveDiscSampleDir(root, "/sig B", "\\PHOTOS", true, make));
    EXPECT_EQ(root + "\\CD0000\\L0000", ResolveDiscSampleDir(root, "/sig A", "\\PHOTOS", false, make));
    // A catalogued disc with an unknown folder, looked up only.
    EXPECT_EQ("", ResolveDiscSampleDir(root, "/sig A", "\\OTHER", false, make));
    EXPECT_EQ(5u, std::set<std::string>(made.begin(), made.end()).size());
    EXPECT_EQ("\\PHOTOS\r\n\r\n", Read(root + "\\CD0000\\DR.SRC"));

    // A disc folder deleted by hand (its index with it) is made again when samples are made, with a fresh
    // folder index.
    std::filesystem::remove_all(root + "\\CD0000");
    std::filesystem::remove(root + "\\CD0000\\DR.SRC");
    made.clear();
    EXPECT_EQ(root + "\\CD0000\\L0000", ResolveDiscSampleDir(root, "/sig A", "\\OTHER", true, make));
    EXPECT_EQ((std::vector<std::string>{root + "\\CD0000", root + "\\CD0000\\L0000"}), made);
    EXPECT_EQ("\\OTHER\r\n", Read(root + "\\CD0000\\DR.SRC"));
}

TEST_F(IndexFiles, NoIndexOnAnUnwritableRoot)
{
    int calls = 0;
    auto make = [&](const std::string&) { ++calls; };
    EXPECT_EQ("", ResolveDiscSampleDir(m_dir + "/absent/root", "/sig", "", true, make));
    EXPECT_EQ(0, calls);
}
