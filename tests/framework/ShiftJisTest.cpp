// Shift-JIS path helpers: a trail byte 0x5C (表, ソ) or a trail byte in a..z must never be taken for a
// backslash or a letter.
#include <gtest/gtest.h>

#include "framework/ShiftJis.h"
#include "framework/String.h"

using namespace fovea;

TEST(ShiftJis, LiteralsAreCodePage932Bytes)
{
    // The build compiles narrow literals to Shift-JIS: the rest of these tests depend on it.
    EXPECT_EQ(std::string("\x95\x5C\x8E\xA6"), std::string("表示"));
    EXPECT_EQ(std::string("\x83\x5C"), std::string("ソ"));
}

struct PathCase {
    const char* path;
    const char* fileName;
    const char* folder;
    const char* title;
    const char* extension;
};

TEST(ShiftJis, PathPiecesSplitAtTheTrueLastBackslash)
{
    const PathCase cases[] = {
        // 表 ends in 0x5C: a byte-wise search would split inside the character.
        {"C:\\写真\\表", "表", "C:\\写真", "表", ""},
        {"C:\\表\\ソフト.txt", "ソフト.txt", "C:\\表", "ソフト", "txt"},
        {"D:\\十能\\a.b.c", "a.b.c", "D:\\十能", "a.b", "c"},
        {"C:\\dir\\.profile", ".profile", "C:\\dir", "", "profile"},
        {"README", "README", "", "README", ""},
        {"C:\\ソ", "ソ", "C:", "ソ", ""},
        {"C:\\a.dir\\noext", "noext", "C:\\a.dir", "noext", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.fileName, PathFileName(c.path));
        EXPECT_EQ(c.folder, PathFolder(c.path));
        EXPECT_EQ(c.title, PathTitle(c.path));
        EXPECT_EQ(c.extension, PathExtension(c.path));
    }
}

TEST(ShiftJis, ReverseFindSkipsTrailBytes)
{
    EXPECT_EQ(std::string::npos, ReverseFindChar("表", '\\'));
    EXPECT_EQ(std::string::npos, ReverseFindChar("ソソソ", '\\'));
    EXPECT_EQ(2u, ReverseFindChar("C:\\表", '\\'));
    // A lone lead byte at the end (a cut string) is not a character start for the byte after it.
    EXPECT_EQ(0u, ReverseFindChar(std::string("\\\x95"), '\\'));
}

TEST(ShiftJis, UpperCaseTouchesOnlySingleByteLetters)
{
    // （ is 0x81 0x69: its trail byte is 'i' and must stay 'i'.
    EXPECT_EQ("（ａ）.TXT", UpperAscii("（ａ）.txt"));
    EXPECT_EQ(std::string("\x81\x69"), UpperAscii("\x81\x69"));
    EXPECT_EQ("JPG", UpperAscii("jpg"));
    EXPECT_EQ("ｱｲｳ.PIC", UpperAscii("ｱｲｳ.pic"));  // half-width katakana are single bytes above 0x7F
}
