// Names beyond Shift-JIS under Wine: how an entry is listed (exact, short, or marked, never a near spelling),
// and a tree of such names copied whole by the walk, erased whole, and stopped by Escape after one file.
#include <gtest/gtest.h>

#include "fileops/FileOps.h"
#include "fileops/PathNames.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

namespace {

WIN32_FIND_DATAW EntryNamed(const wchar_t* name, const wchar_t* shortName)
{
    WIN32_FIND_DATAW data = {};
    lstrcpynW(data.cFileName, name, MAX_PATH);
    lstrcpynW(data.cAlternateFileName, shortName, 14);
    return data;
}

TEST(PathNames, AnEntryIsListedExactlyOrByItsShortNameOrMarkedNeverByANearSpelling)
{
    ASSERT_EQ(932u, GetACP());
    struct Case {
        const wchar_t* name;
        const wchar_t* shortName;
        const char* listed;
        bool reachable;
    };
    const Case cases[] = {
        {L"plain.txt", L"", "plain.txt", true},
        {L"\u8868\u30BD.txt", L"___~~ALB.TXT", "表ソ.txt", true},
        // é would become e: the twin cafe.txt. Its short name reaches it.
        {L"caf\u00E9.txt", L"CAF_~CRT.TXT", "CAF_~CRT.TXT", true},
        {L"\uD55C\uAD6D\uC5B4.txt", L"", "〓〓〓.txt", false},
        // A surrogate pair is one character: one mark.
        {L"\U0001F600smile.txt", L"", "〓smile.txt", false},
    };
    for (const Case& c : cases) {
        fovea::ListedName listed = fovea::ListedNameOf(EntryNamed(c.name, c.shortName));
        EXPECT_EQ(c.listed, listed.name.str()) << c.listed;
        EXPECT_EQ(c.reachable, listed.reachable) << c.listed;
    }
    // On a volume without short names the accented name is marked too.
    fovea::UseShortNames(false);
    EXPECT_FALSE(fovea::ListedNameOf(EntryNamed(L"caf\u00E9.txt", L"CAF_~CRT.TXT")).reachable);
    fovea::UseShortNames(true);
}

class NamesWalk : public ::testing::Test {
protected:
    ScratchFolder m_dir{"nameswalk"};
    std::wstring m_root = fovea::WideOf(m_dir.Path());
    std::wstring m_src = m_root + L"\\\uD55C src \u00E9";
    std::wstring m_dst = m_root + L"\\dst";
    CFileOps m_ops;
};

TEST_F(NamesWalk, ATreeOfNamesBeyondTheCodePageIsCopiedWholeAndErasedWhole)
{
    ASSERT_TRUE(MakeNamesTree(m_src));
    ASSERT_TRUE(CreateDirectoryW(m_dst.c_str(), nullptr));
    std::map<std::wstring, std::string> tree = WideTreeOf(m_src);
    ASSERT_EQ(std::size(kNamesTreeFolders) + std::size(kNamesTreeFiles), tree.size());
    DialogAnswerer answerer;
    // The top-level source by the short path the file list would give; everything below in UTF-16.
    CString source;
    ASSERT_TRUE(fovea::ReachablePathOf(m_src, source));
    EXPECT_EQ(0, m_ops.WalkDir(source, m_dir / "dst", "Copy"));
    EXPECT_EQ(tree, WideTreeOf(m_dst));
    EXPECT_EQ(0u, answerer.Count());

    EXPECT_EQ(0, m_ops.WalkDir(source, "", "Remove"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_src.c_str()));
    EXPECT_EQ(tree, WideTreeOf(m_dst)); // the copy stays as it was
}

TEST_F(NamesWalk, EscapeStopsTheWalkAfterTheCurrentFileLeavingNoPartOfAFile)
{
    ASSERT_TRUE(CreateDirectoryW(m_src.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(m_dst.c_str(), nullptr));
    for (const wchar_t* name : {L"1.bin", L"2.bin", L"3.bin", L"4.bin"})
        ASSERT_TRUE(WriteWideFile(m_src + L"\\" + name, std::string(300000, 'z')));
    // Escape is waiting before the walk starts: the first file is copied whole, then the walk stops.
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    DialogAnswerer answerer;
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "Copy"));
    std::map<std::wstring, std::string> copied = WideTreeOf(m_dst);
    ASSERT_EQ(1u, copied.size());
    EXPECT_EQ(std::string(300000, 'z'), copied.begin()->second);
    EXPECT_EQ(0u, answerer.Count());

    // The same for an erase: one file goes, the rest and the folder stay.
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0, m_ops.WalkDir(m_src, L"", "Remove"));
    EXPECT_EQ(3u, WideTreeOf(m_src).size());
}

} // namespace
