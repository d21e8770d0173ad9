// Path pieces of the file operations and the "inside the source" test of the tree walk: trail bytes 0x5C
// (表, ソ) are no separators, letter case does not make two paths different, a sibling with a longer name is
// not inside.
#include <gtest/gtest.h>

#include "fileops/PathParts.h"

using namespace fovea;

TEST(WholeExtension, TakesThePartAfterTheLastDotOfTheWholeString)
{
    const struct {
        const char* path;
        const char* extension;
    } cases[] = {
        {"photo.jpg", "JPG"},
        {"archive.tar.gz", "GZ"},
        {"README", ""},
        // A dot in a folder name counts: callers pass names, and a path gives what follows that dot.
        {"C:\\A.B\\README", "B\\README"},
        {"C:\\写真\\表.bmp", "BMP"},
        // ソ is 0x83 0x5C and 表 0x95 0x5C; a letter after a lead byte is its trail byte and stays as it is.
        {"ソフト.txt", "TXT"},
        {"x.表ab", "表AB"},
        {"name.", ""},
        {".profile", "PROFILE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.extension, WholeExtension(c.path));
    }
}

TEST(WholeExtension, ADotInsideADoubleByteCharacterIsNoDot)
{
    // 0x81 0x2E is no character of code page 932, yet after a lead byte the next byte belongs to it.
    EXPECT_EQ("", WholeExtension("a\x81\x2E"
                                 "b"));
    EXPECT_EQ("C", WholeExtension("a\x81\x2E"
                                  "b.c"));
}

TEST(IsSameOrInside, CatchesTheSourceItselfAndEverythingBelowIt)
{
    const struct {
        const char* outer;
        const char* inner;
        bool inside;
    } cases[] = {
        {"C:\\a", "C:\\a", true},
        {"C:\\a", "C:\\a\\b", true},
        {"C:\\a", "c:\\A\\b", true},
        {"c:\\DATA\\Photos", "C:\\data\\photos\\1996\\x", true},
        {"C:\\a", "C:\\a\\", true},
        {"C:\\a\\", "C:\\a\\b", true},
        {"C:", "C:\\a", true},
        {"C:\\a", "C:\\a2", false},
        {"C:\\a", "C:\\a2\\a", false},
        {"C:\\a", "C:\\", false},
        {"C:\\a\\b", "C:\\a", false},
        {"C:\\a", "D:\\a\\b", false},
        {"", "C:\\a", false},
        // Double-byte names: case folding leaves their bytes alone, so ＡＢ (full width) is not ａｂ.
        {"C:\\写真", "C:\\写真\\表", true},
        {"C:\\ＡＢ", "C:\\ａｂ\\x", false},
        // Folding must not turn a trail byte into another letter: 0x83 0x61 (ャ) and 0x83 0x41 (ア) differ.
        {"C:\\ャ", "C:\\ア\\x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.outer) + " / " + c.inner);
        EXPECT_EQ(c.inside, IsSameOrInside(c.outer, c.inner));
    }
}

TEST(IsSameOrInside, ATrailByteBackslashIsNoSeparator)
{
    // An outer path that ends in the lead byte 0x95: in 0x95 0x5C (表) the backslash belongs to the character.
    std::string outer = "C:\\x\x95";
    EXPECT_FALSE(IsSameOrInside(outer, outer + "\\b"));
    EXPECT_TRUE(IsSameOrInside("C:\\表", "C:\\表\\b"));
    // 表 itself must not lose its trail byte as if it were a trailing separator.
    EXPECT_FALSE(IsSameOrInside("C:\\表", "C:\\\x95"));
    EXPECT_FALSE(SamePath("C:\\表", "C:\\\x95"));
}

TEST(SamePath, FoldsAsciiCaseAndOneTrailingSeparator)
{
    EXPECT_TRUE(SamePath("C:\\Users\\Temp", "c:\\users\\temp"));
    EXPECT_TRUE(SamePath("C:\\", "c:"));
    EXPECT_FALSE(SamePath("C:\\a", "C:\\b"));
    EXPECT_FALSE(SamePath("C:\\a", "C:\\a\\b"));
}

TEST(WithoutLongPrefix, GivesTheDrivePathOrTheSharePath)
{
    EXPECT_EQ("Z:\\tmp\\x", WithoutLongPrefix("\\\\?\\Z:\\tmp\\x"));
    EXPECT_EQ("\\\\server\\share\\x", WithoutLongPrefix("\\\\?\\UNC\\server\\share\\x"));
    EXPECT_EQ("C:\\a", WithoutLongPrefix("C:\\a"));
}
