// CString: searches that step over double-byte characters, slicing at the edges, formatting and buffers.
#include <gtest/gtest.h>

#include "framework/String.h"

TEST(CString, FindAndReverseFindRespectDoubleByteCharacters)
{
    CString path("C:\\表\\ソ.jpg");
    EXPECT_EQ(5, path.ReverseFind('\\'));
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(8, path.ReverseFind('.'));
    EXPECT_EQ(-1, CString("表ソ").Find('\\'));
    EXPECT_EQ(2, CString("ab表\\").Find("表"));
    // "\x5C" inside 表 must not match the substring "\\".
    EXPECT_EQ(-1, CString("表").Find("\\"));
}

TEST(CString, SlicesClampAtTheEdges)
{
    CString s("abc");
    EXPECT_EQ("", s.Left(-1));
    EXPECT_EQ("abc", s.Left(10));
    EXPECT_EQ("bc", s.Right(2));
    EXPECT_EQ("abc", s.Right(9));
    EXPECT_EQ("", s.Mid(3));
    EXPECT_EQ("c", s.Mid(2, 5));
    EXPECT_EQ("", s.Mid(7, 1));
}

TEST(CString, FormatHasNoLengthLimit)
{
    CString s;
    std::string longName(5000, 'x');
    s.Format("%01d/%c:%s", 3, 'C', longName.c_str());
    EXPECT_EQ(4 + 5000, s.GetLength());
    EXPECT_EQ("3/C:", s.Left(4));
}

TEST(CString, BufferReleaseEndsAtTheFirstZeroOrTheGivenLength)
{
    CString s;
    char* p = s.GetBuffer(10);
    p[0] = 'h';
    p[1] = 'i';
    p[2] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ("hi", s);
    p = s.GetBuffer(4);
    p[0] = 'a';
    s.ReleaseBuffer(1);
    EXPECT_EQ("a", s);
}

TEST(CString, TrimAndCase)
{
    CString s("  ｱb表c \r\n");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ("ｱb表c", s);
    s.MakeUpper();
    EXPECT_EQ("ｱB表C", s);
    s.MakeLower();
    EXPECT_EQ("ｱb表c", s);
}
