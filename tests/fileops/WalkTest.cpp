// The tree walk on real folders: copying and erasing trees with hidden, system and read-only files and empty
// folders, refusing a copy into the source itself, a declined overwrite stopping one level only, and links
// (a loop, a folder and a file outside the tree) neither followed nor erased through.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "fileops/FileOps.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

namespace {

// Every path below root, relative, folders marked with a trailing backslash; links are listed, not entered.
std::set<std::string> TreeOf(const CString& root, const CString& prefix = "")
{
    std::set<std::string> entries;
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(FindFirstFileA(root + "\\*.*", &data));
    if (!find)
        return entries;
    do {
        CString name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        CString relative = prefix.IsEmpty() ? name : prefix + "\\" + name;
        bool folder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        entries.insert((folder ? relative + "\\" : relative).str());
        if (folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            auto below = TreeOf(root + "\\" + name, relative);
            entries.insert(below.begin(), below.end());
        }
    } while (FindNextFileA(find.get(), &data));
    return entries;
}

class Walk : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_src = m_dir / "src";
        m_dst = m_dir / "dst";
        ASSERT_TRUE(CreateDirectoryA(m_src, nullptr));
    }
    void Folder(const char* relative) { ASSERT_TRUE(CreateDirectoryA(m_src + "\\" + relative, nullptr)) << relative; }
    void File(const char* relative, DWORD attributes = 0)
    {
        CString path = m_src + "\\" + relative;
        ASSERT_TRUE(WriteText(path, std::string("data of ") + relative)) << relative;
        if (attributes)
            SetFileAttributesA(path, attributes);
    }
    // Three levels with hidden, system and read-only-free files, an empty folder and a double-byte name.
    void BuildTree()
    {
        Folder("one");
        Folder("one\\two");
        Folder("one\\two\\three");
        Folder("empty");
        Folder("表");
        File("top.txt");
        File("one\\a.txt");
        File("one\\two\\b.txt");
        File("one\\two\\three\\c.txt");
        File("one\\two\\three\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
        File("one\\system.sys", FILE_ATTRIBUTE_SYSTEM);
        File("表\\ソ.txt");
    }

    ScratchFolder m_dir{"walk"};
    CString m_src, m_dst;
    CFileOps m_ops;
};

} // namespace

TEST_F(Walk, CopiesATreeThreeLevelsDeepAndErasesItCompletely)
{
    BuildTree();
    ASSERT_EQ(0, m_ops.MakeFolder(m_dst));
    DialogAnswerer answerer;
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "Copy"));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ(TreeOf(m_src), TreeOf(m_dst));
    EXPECT_TRUE(IsFolder(m_dst + "\\empty"));
    EXPECT_EQ("data of one\\two\\three\\c.txt", ReadText(m_dst + "\\one\\two\\three\\c.txt"));
    EXPECT_EQ("data of 表\\ソ.txt", ReadText(m_dst + "\\表\\ソ.txt"));
    EXPECT_TRUE(GetFileAttributesA(m_dst + "\\one\\two\\three\\hidden.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(GetFileAttributesA(m_dst + "\\one\\system.sys") & FILE_ATTRIBUTE_SYSTEM);

    EXPECT_EQ(0, m_ops.WalkDir(m_src, "", "Remove"));
    EXPECT_FALSE(Exists(m_src));
    EXPECT_EQ(0, m_ops.WalkDir(m_dst, "", "Remove"));
    EXPECT_FALSE(Exists(m_dst));
    EXPECT_EQ(0u, answerer.Count());
}

TEST_F(Walk, AReadOnlyFileSurvivesRemoveWithTheFoldersOnItsPath)
{
    BuildTree();
    File("one\\two\\locked.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, m_ops.WalkDir(m_src, "", "Remove"));
    std::set<std::string> left = {"one\\", "one\\two\\", "one\\two\\locked.txt"};
    EXPECT_EQ(left, TreeOf(m_src));
    EXPECT_EQ("data of one\\two\\locked.txt", ReadText(m_src + "\\one\\two\\locked.txt"));
}

TEST_F(Walk, RefusesADestinationInsideTheSourceInAnyLetterCase)
{
    Folder("B");
    File("x.txt");
    DialogAnswerer answerer;
    for (const CString& inside : std::vector<CString>{m_src, m_src + "\\B", m_src + "\\B\\", m_src + "\\b\\deeper"}) {
        SCOPED_TRACE(inside.c_str());
        EXPECT_EQ(-1, m_ops.WalkDir(m_src, inside, "Copy"));
    }
    CString upper = m_src;
    upper.MakeUpper();
    EXPECT_EQ(-1, m_ops.WalkDir(m_src, upper + "\\B", "Copy"));
    std::set<std::string> unchanged = {"B\\", "x.txt"};
    EXPECT_EQ(unchanged, TreeOf(m_src));
    // Refused for Remove too when the destination names the tree: nothing is erased.
    EXPECT_EQ(-1, m_ops.WalkDir(m_src, m_src, "Remove"));
    EXPECT_EQ(unchanged, TreeOf(m_src));

    // A sibling whose name begins with the source's name is another folder.
    CString sibling = m_src + "2";
    ASSERT_EQ(0, m_ops.MakeFolder(sibling));
    EXPECT_EQ(0, m_ops.WalkDir(m_src, sibling, "Copy"));
    EXPECT_EQ(unchanged, TreeOf(sibling));
    EXPECT_EQ(0u, answerer.Count());
}

// An empty path is no folder: the walk must never reach the root of the current drive through it. Checked on
// the scratch drive S: only, so that a fault costs nothing but that drive.
TEST_F(Walk, AnEmptyPathNeverMeansTheRootOfTheCurrentDrive)
{
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    if (GetDriveTypeA("S:\\") == DRIVE_NO_ROOT_DIR || !SetCurrentDirectoryA("S:\\"))
        GTEST_SKIP() << "no scratch drive S:";
    ASSERT_TRUE(WriteText("S:\\canary.txt", "alive"));
    File("x.txt");
    EXPECT_EQ(-1, m_ops.WalkDir("", "", "Remove"));
    EXPECT_EQ(-1, m_ops.WalkDir(m_src, "", "Copy"));
    SetCurrentDirectoryA(previous);
    EXPECT_EQ("alive", ReadText("S:\\canary.txt"));
    EXPECT_FALSE(Exists("S:\\x.txt"));
    DeleteFileA("S:\\canary.txt");
    DeleteFileA("S:\\x.txt");
}

TEST_F(Walk, ADeclinedOverwriteStopsOnlyThatFolderLevel)
{
    Folder("x");
    Folder("y");
    for (const char* name : {"x\\1.txt", "x\\2.txt", "x\\3.txt", "y\\1.txt", "y\\2.txt", "top.txt"})
        File(name);
    // Every file of x exists at the destination: the first question is declined, so no other file of x is
    // asked for or copied, while y and the upper level are copied.
    ASSERT_EQ(0, m_ops.MakeFolder(m_dst));
    ASSERT_EQ(0, m_ops.MakeFolder(m_dst + "\\x"));
    for (const char* name : {"\\x\\1.txt", "\\x\\2.txt", "\\x\\3.txt"})
        ASSERT_TRUE(WriteText(m_dst + name, "old"));
    DialogAnswerer answerer({IDCANCEL});
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "Copy"));
    ASSERT_EQ(1u, answerer.Count());
    EXPECT_EQ("既にコピー先に同名のファイルが存在します", answerer.Lines(0)[0]);
    EXPECT_EQ(0, answerer.Unplanned());
    for (const char* name : {"\\x\\1.txt", "\\x\\2.txt", "\\x\\3.txt"})
        EXPECT_EQ("old", ReadText(m_dst + name)) << name;
    EXPECT_EQ("data of y\\2.txt", ReadText(m_dst + "\\y\\2.txt"));
    EXPECT_EQ("data of top.txt", ReadText(m_dst + "\\top.txt"));
}

TEST_F(Walk, AFailedCopyIsReportedAndCancelThereStopsTheLevel)
{
    File("a.txt");
    File("b.txt");
    ASSERT_EQ(0, m_ops.MakeFolder(m_dst));
    // Both destinations exist and are held open without sharing: each copy the platform refuses.
    std::vector<fovea::ScopedFile> held;
    for (const char* name : {"\\a.txt", "\\b.txt"}) {
        ASSERT_TRUE(WriteText(m_dst + name, "old"));
        held.emplace_back(CreateFileA(m_dst + name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.back());
    }
    // OK to the overwrite, キャンセル to the failure report of the first file: the second one is not tried.
    DialogAnswerer answerer({IDOK, IDCANCEL});
    EXPECT_EQ(-1, m_ops.Walk(m_src, m_dst, "Copy"));
    ASSERT_EQ(2u, answerer.Count());
    EXPECT_EQ("コピーできませんでした", answerer.Lines(1)[0]);
    EXPECT_EQ(m_src.str(), answerer.Lines(1)[1].substr(0, size_t(m_src.GetLength())));
    EXPECT_EQ(0, answerer.Unplanned());
    held.clear();
    for (const char* name : {"\\a.txt", "\\b.txt"})
        EXPECT_EQ("old", ReadText(m_dst + name));
}

TEST_F(Walk, FoldersWithFileBitsAreNeverTakenForFiles)
{
    Folder("hidden");
    File("hidden\\in.txt");
    SetFileAttributesA(m_src + "\\hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    File("plain.txt", FILE_ATTRIBUTE_ARCHIVE);

    CStringArray folders, files;
    m_ops.ListNames(folders, m_src, "*.*", CFileOps::kFolderMask);
    m_ops.ListNames(files, m_src, "*.*", CFileOps::kFileMask);
    ASSERT_EQ(1, folders.GetSize());
    EXPECT_EQ("hidden", folders[0]);
    ASSERT_EQ(1, files.GetSize());
    EXPECT_EQ("plain.txt", files[0]);

    // Copying meets the folder once, as a folder: no copy of a folder is tried and reported.
    ASSERT_EQ(0, m_ops.MakeFolder(m_dst));
    DialogAnswerer answerer;
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "Copy"));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ("data of hidden\\in.txt", ReadText(m_dst + "\\hidden\\in.txt"));
    EXPECT_EQ(0, m_ops.WalkDir(m_src, "", "Remove"));
    EXPECT_FALSE(Exists(m_src));
}

TEST_F(Walk, ListNamesAppendsAndOtherOperationsChangeNothing)
{
    BuildTree();
    CStringArray list;
    list.Add("kept");
    m_ops.ListNames(list, m_src, "*.*", CFileOps::kFolderMask);
    std::vector<CString> names(list.data().begin() + 1, list.data().end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ("kept", list[0]);
    EXPECT_EQ((std::vector<CString>{"empty", "one", "表"}), names);
    CStringArray none;
    m_ops.ListNames(none, m_src + "\\missing", "*.*", CFileOps::kFileMask);
    EXPECT_EQ(0, none.GetSize());

    auto before = TreeOf(m_src);
    ASSERT_EQ(0, m_ops.MakeFolder(m_dst));
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "copy"));
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "remove"));
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "Move"));
    EXPECT_EQ(before, TreeOf(m_src));
    EXPECT_TRUE(TreeOf(m_dst).empty());
}

namespace {

// Under Wine a Unix symbolic link is made with ln through the Unix side of the machine.
using UnixNameProc = char*(__cdecl*)(const WCHAR*);

std::string UnixPath(const CString& path)
{
    auto unixName =
        reinterpret_cast<UnixNameProc>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName)
        return {};
    WCHAR wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH * 2);
    char* name = unixName(wide);
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a Unix program with the command line; does not wait for it.
bool RunUnix(const char* program, std::string command)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool MakeUnixLink(const std::string& target, const CString& link, bool symbolic = true)
{
    std::string linkPath = UnixPath(link);
    if (linkPath.empty())
        return false;
    if (!RunUnix("Z:\\bin\\ln", std::string(symbolic ? "ln -s" : "ln") + " \"" + target + "\" \"" + linkPath + "\""))
        return false;
    // Wine: the handle of a Unix process may be signalled before the process has run; wait for its work.
    for (int i = 0; i < 250 && !Exists(link); ++i)
        Sleep(20);
    return Exists(link);
}

// At the end of the test the folder goes through the Unix side with the links in it, which the platform's
// calls cannot erase without erasing what they lead to.
class UnixSweep {
public:
    explicit UnixSweep(const CString& folder) : m_strFolder(folder) {}
    ~UnixSweep()
    {
        std::string path = UnixPath(m_strFolder);
        if (path.empty() || !RunUnix("Z:\\bin\\rm", "rm -rf \"" + path + "\""))
            return;
        for (int i = 0; i < 250 && Exists(m_strFolder); ++i)
            Sleep(20);
    }

private:
    CString m_strFolder;
};

} // namespace

TEST_F(Walk, LinksAreNeitherFollowedNorErasedThrough)
{
    if (UnixPath(m_src).empty())
        GTEST_SKIP() << "symbolic links are made through Wine's Unix side";
    UnixSweep sweep(m_dir.Path());
    CString outside = m_dir / "outside";
    ASSERT_TRUE(CreateDirectoryA(outside, nullptr));
    ASSERT_TRUE(WriteText(outside + "\\precious.txt", "precious"));
    ASSERT_TRUE(WriteText(m_dir / "alone.txt", "alone"));
    Folder("sub");
    File("sub\\mine.txt");
    // sub\loop leads back to src, sub\out to a folder beside the tree, sub\file.txt to a file beside it.
    ASSERT_TRUE(MakeUnixLink(UnixPath(m_src), m_src + "\\sub\\loop"));
    ASSERT_TRUE(MakeUnixLink(UnixPath(outside), m_src + "\\sub\\out"));
    ASSERT_TRUE(MakeUnixLink(UnixPath(m_dir / "alone.txt"), m_src + "\\sub\\file.txt"));
    // A hard link is a name of its own: erasing it is erasing inside the tree.
    ASSERT_TRUE(MakeUnixLink(UnixPath(m_dir / "alone.txt"), m_src + "\\sub\\hard.txt", false));
    ASSERT_TRUE(GetFileAttributesA(m_src + "\\sub\\loop") & FILE_ATTRIBUTE_REPARSE_POINT);

    ASSERT_EQ(0, m_ops.MakeFolder(m_dst));
    DialogAnswerer answerer;
    EXPECT_EQ(0, m_ops.WalkDir(m_src, m_dst, "Copy"));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ("data of sub\\mine.txt", ReadText(m_dst + "\\sub\\mine.txt"));
    EXPECT_FALSE(Exists(m_dst + "\\sub\\loop"));
    EXPECT_FALSE(Exists(m_dst + "\\sub\\out"));

    EXPECT_EQ(0, m_ops.WalkDir(m_src, "", "Remove"));
    EXPECT_FALSE(Exists(m_src + "\\sub\\mine.txt"));
    EXPECT_FALSE(Exists(m_src + "\\sub\\hard.txt"));
    EXPECT_EQ("precious", ReadText(outside + "\\precious.txt"));
    EXPECT_EQ("alone", ReadText(m_dir / "alone.txt"));

    // Erasing a linked folder itself leaves what it leads to.
    ASSERT_TRUE(MakeUnixLink(UnixPath(outside), m_dir / "linked"));
    EXPECT_EQ(0, m_ops.WalkDir(m_dir / "linked", "", "Remove"));
    EXPECT_EQ("precious", ReadText(outside + "\\precious.txt"));
    // And a linked file deleted on its own never takes the file it leads to.
    ASSERT_TRUE(MakeUnixLink(UnixPath(m_dir / "alone.txt"), m_dir / "alias.txt"));
    m_ops.DeleteOneFile(m_dir / "alias.txt");
    EXPECT_EQ("alone", ReadText(m_dir / "alone.txt"));
    DeleteFileA(m_dir / "linked");
}
