// Shell links written and read back through the shell's link object on real files: the four fields, the short
// target, a link replaced by a second one of its name, links that cannot be read or whose target moved.
#include <gtest/gtest.h>

#include "fileops/FileOps.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

namespace {

CString LongForm(const CString& path)
{
    char buffer[MAX_PATH * 2] = {};
    DWORD length = GetLongPathNameA(path, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? CString(buffer) : CString("<none>");
}

struct LinkFields {
    HRESULT status = E_FAIL;
    CString target = "untouched", folder = "untouched", arguments = "untouched", description = "untouched";
};

LinkFields Resolve(const CString& link, bool search = true)
{
    LinkFields f;
    f.status = CFileOps().ResolveShortcut(nullptr, link, f.target, f.folder, f.arguments, f.description, search);
    return f;
}

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartOle()); }
    ScratchFolder m_dir{"link"};
    CFileOps m_ops;
};

} // namespace

TEST_F(Shortcut, FieldsReadBackAsWrittenWithTheTargetInItsShortForm)
{
    struct Case {
        const char* name;
        const char* arguments;
    } cases[] = {
        {"sea.jpg", ""},
        {"a long picture name.jpeg", "/s two"},
        {"表ソ写真.bmp", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString target = m_dir / c.name;
        ASSERT_TRUE(WriteText(target, "picture"));
        CString link = m_dir / "made.LNK";
        CString description = CString(c.name) + " shortcut";
        ASSERT_EQ(S_OK, m_ops.CreateShortcut(target, link, m_dir.Path(), c.arguments, description));

        for (bool search : {true, false}) {
            LinkFields f = Resolve(link, search);
            EXPECT_TRUE(SUCCEEDED(f.status));
            EXPECT_EQ(description, f.description);
            EXPECT_EQ(m_dir.Path(), f.folder);
            EXPECT_EQ(CString(c.arguments), f.arguments);
            // Short: no blank and an 8.3 name, so a command line needs no quotes; the same file all the same.
            EXPECT_EQ(-1, f.target.Find(' ')) << f.target.c_str();
            CString name = f.target.Mid(f.target.ReverseFind('\\') + 1);
            EXPECT_LE(name.GetLength(), 12) << f.target.c_str();
            EXPECT_EQ(LongForm(target), LongForm(f.target));
        }
    }
}

TEST_F(Shortcut, ASecondLinkOfTheSameNameReplacesTheFirst)
{
    ASSERT_TRUE(WriteText(m_dir / "photo.jpg", "j"));
    ASSERT_TRUE(WriteText(m_dir / "photo.bmp", "b"));
    CString link = m_dir / "photo.LNK";
    ASSERT_EQ(S_OK, m_ops.CreateShortcut(m_dir / "photo.jpg", link, m_dir.Path(), "", "photo.jpg shortcut"));
    ASSERT_EQ(S_OK, m_ops.CreateShortcut(m_dir / "photo.bmp", link, m_dir.Path(), "", "photo.bmp shortcut"));
    LinkFields f = Resolve(link);
    EXPECT_EQ("photo.bmp shortcut", f.description);
    EXPECT_EQ(LongForm(m_dir / "photo.bmp"), LongForm(f.target));
}

TEST_F(Shortcut, WhatIsNoLinkFailsAndLeavesTheOutStringsAlone)
{
    ASSERT_TRUE(WriteText(m_dir / "fake.LNK", "no link at all, only text"));
    for (const char* name : {"fake.LNK", "missing.LNK"}) {
        SCOPED_TRACE(name);
        LinkFields f = Resolve(m_dir / name);
        EXPECT_TRUE(FAILED(f.status));
        EXPECT_EQ("untouched", f.target);
        EXPECT_EQ("untouched", f.description);
    }
    // A link cannot be written into a folder that does not exist.
    EXPECT_TRUE(FAILED(m_ops.CreateShortcut(m_dir / "x.txt", m_dir / "none\\x.LNK", m_dir.Path(), "", "x")));
    EXPECT_FALSE(Exists(m_dir / "none\\x.LNK"));
}

TEST_F(Shortcut, ALinkWhoseTargetMovedNeverYieldsAPathThatIsNotThere)
{
    ASSERT_TRUE(CreateDirectoryA(m_dir / "old", nullptr));
    ASSERT_TRUE(CreateDirectoryA(m_dir / "new", nullptr));
    ASSERT_TRUE(WriteText(m_dir / "old\\tool.exe", "MZ"));
    CString link = m_dir / "tool.LNK";
    ASSERT_EQ(S_OK, m_ops.CreateShortcut(m_dir / "old\\tool.exe", link, m_dir / "old", "", "tool"));
    ASSERT_TRUE(MoveFileA(m_dir / "old\\tool.exe", m_dir / "new\\tool.exe"));
    for (bool search : {true, false}) {
        SCOPED_TRACE(search);
        LinkFields f = Resolve(link, search);
        // Found again by the shell's search, or not resolved: never the old place, which a start would miss.
        if (SUCCEEDED(f.status) && f.target != "untouched")
            EXPECT_EQ(LongForm(m_dir / "new\\tool.exe"), LongForm(f.target)) << f.target.c_str();
        else
            EXPECT_EQ("untouched", f.target);
    }
}
