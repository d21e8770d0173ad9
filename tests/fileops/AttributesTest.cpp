// The attributes round trip on real files and folders: what the dialog shows, a confirmation without changes
// moving nothing (system bit, dates after 1999 and before 1970, fractions of a second), an entered time written
// as local time, a bad time text or a refused change reported with nothing half done.
#include <gtest/gtest.h>

#include "fileops/FileOps.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

namespace {

FILETIME UtcOfLocal(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME local = {year, month, 0, day, hour, minute, second, 0}, utc;
    FILETIME time = {};
    TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    SystemTimeToFileTime(&utc, &time);
    return time;
}

ULONGLONG Ticks(const FILETIME& t)
{
    return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

FILETIME FromTicks(ULONGLONG ticks)
{
    return FILETIME{DWORD(ticks), DWORD(ticks >> 32)};
}

WIN32_FILE_ATTRIBUTE_DATA Status(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path, GetFileExInfoStandard, &data);
    return data;
}

bool SetWriteTime(const CString& path, const FILETIME& time)
{
    fovea::ScopedFile file(CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && SetFileTime(file.get(), nullptr, nullptr, &time);
}

class Attributes : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const CString& path : m_made)
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    }
    CString Make(const char* name, DWORD attributes, const FILETIME& time)
    {
        CString path = m_dir / name;
        EXPECT_TRUE(WriteText(path, "data"));
        EXPECT_TRUE(SetWriteTime(path, time));
        if (attributes)
            EXPECT_TRUE(SetFileAttributesA(path, attributes));
        m_made.push_back(path);
        return path;
    }

    ScratchFolder m_dir{"attr"};
    CFileOps m_ops;
    std::vector<CString> m_made;
};

} // namespace

TEST_F(Attributes, ShowsTheBoxesAndTheTimeAndACancelChangesNothing)
{
    FILETIME time = UtcOfLocal(1996, 8, 31, 23, 5, 9);
    CString path = Make("shown.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, time);
    DialogAnswerer answerer({{IDCANCEL, {{IDC_TEXT_EDIT, "01-01-01 00:00:00"}}, {{IDC_READ_ONLY, 0}}}});
    m_ops.EditAttributes(path);
    ASSERT_EQ(1u, answerer.Count());
    EXPECT_EQ("ﾀﾞｲｱﾛｸﾞ", answerer.Dialogs()[0].caption);
    EXPECT_EQ((std::map<int, int>{{IDC_READ_ONLY, 1}, {IDC_HIDDEN, 1}}), answerer.Dialogs()[0].checks);
    EXPECT_EQ("96-08-31 23:05:09", answerer.Dialogs()[0].texts.at(IDC_TEXT_EDIT));
    WIN32_FILE_ATTRIBUTE_DATA after = Status(path);
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), after.dwFileAttributes & 0x07);
    EXPECT_EQ(Ticks(time), Ticks(after.ftLastWriteTime));

    // An entry that is not there: no dialog at all.
    m_ops.EditAttributes(m_dir / "missing.txt");
    EXPECT_EQ(1u, answerer.Count());
}

TEST_F(Attributes, AConfirmationWithoutChangesMovesNothing)
{
    struct Case {
        const char* name;
        DWORD attributes;
        FILETIME time;
    } cases[] = {
        // A fraction of a second the text cannot show; the system bit the dialog does not show.
        {"system.sys", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
         FromTicks(Ticks(UtcOfLocal(2026, 3, 5, 7, 8, 9)) + 1234567)},
        {"old.txt", FILE_ATTRIBUTE_HIDDEN, UtcOfLocal(1965, 6, 7, 8, 9, 10)},
        {"late.txt", 0, UtcOfLocal(2037, 11, 30, 3, 4, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString path = Make(c.name, c.attributes, c.time);
        WIN32_FILE_ATTRIBUTE_DATA before = Status(path);
        DialogAnswerer answerer({IDOK});
        m_ops.EditAttributes(path);
        ASSERT_EQ(1u, answerer.Count());
        WIN32_FILE_ATTRIBUTE_DATA after = Status(path);
        EXPECT_EQ(before.dwFileAttributes, after.dwFileAttributes);
        EXPECT_EQ(Ticks(c.time), Ticks(after.ftLastWriteTime));
    }
}

TEST_F(Attributes, AnEnteredTimeIsWrittenAsThatLocalTimeAlsoOnReadOnlyEntriesAndFolders)
{
    CString file = Make("photo.jpg", FILE_ATTRIBUTE_READONLY, UtcOfLocal(2001, 1, 1, 0, 0, 0));
    CString folder = m_dir / "album";
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
    struct Case {
        CString path;
        const char* text;
        FILETIME want;
    } cases[] = {
        {file, "96-12-24 18:30:00", UtcOfLocal(1996, 12, 24, 18, 30, 0)},
        {file, "05-07-01 09:00:30", UtcOfLocal(2005, 7, 1, 9, 0, 30)},
        {folder, "99-12-31 23:59:59", UtcOfLocal(1999, 12, 31, 23, 59, 59)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DWORD before = GetFileAttributesA(c.path);
        DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, c.text}}}});
        m_ops.EditAttributes(c.path);
        EXPECT_EQ(1u, answerer.Count()) << "no report";
        EXPECT_EQ(Ticks(c.want), Ticks(Status(c.path).ftLastWriteTime));
        EXPECT_EQ(before, GetFileAttributesA(c.path));
    }
}

TEST_F(Attributes, ABadTimeTextKeepsTheTimeAndSaysSoWhileTheBoxesApply)
{
    FILETIME time = UtcOfLocal(1998, 4, 5, 6, 7, 8);
    CString path = Make("bad.txt", 0, time);
    for (const char* text : {"97-02-29 10:00:00", "yesterday", ""}) {
        SCOPED_TRACE(text);
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, text}}, {{IDC_HIDDEN, 1}}}, IDOK});
        m_ops.EditAttributes(path);
        ASSERT_EQ(2u, answerer.Count());
        EXPECT_EQ(path.str(), answerer.Lines(1).at(1));
        EXPECT_EQ("更新時間は変更していません", answerer.Lines(1).at(2));
        EXPECT_EQ(Ticks(time), Ticks(Status(path).ftLastWriteTime));
        EXPECT_NE(0u, GetFileAttributesA(path) & FILE_ATTRIBUTE_HIDDEN);
    }
}

TEST_F(Attributes, ARefusedChangeIsReportedWithThePathAndNothingIsHalfDone)
{
    // The test command mounts a read-only copy of the program folder beside the test programs' folders.
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    CString exe = module;
    int tests = exe.Find("\\tests\\");
    CString path = tests > 0 ? exe.Left(tests) + "\\readonly\\fovea.exe" : CString();
    if (path.IsEmpty() || !Exists(path))
        GTEST_SKIP() << "no read-only mount on this machine";
    CString probe = exe.Left(tests) + "\\readonly\\probe";
    if (CreateDirectoryA(probe, nullptr)) {
        RemoveDirectoryA(probe);
        GTEST_SKIP() << "the program's copy is not read-only on this machine";
    }
    WIN32_FILE_ATTRIBUTE_DATA before = Status(path);
    DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, "96-12-24 18:30:00"}}, {{IDC_HIDDEN, 1}}}, IDOK});
    m_ops.EditAttributes(path);
    ASSERT_EQ(2u, answerer.Count());
    EXPECT_EQ(path.str(), answerer.Lines(1).at(1));
    WIN32_FILE_ATTRIBUTE_DATA after = Status(path);
    EXPECT_EQ(before.dwFileAttributes, after.dwFileAttributes);
    EXPECT_EQ(Ticks(before.ftLastWriteTime), Ticks(after.ftLastWriteTime));
}
