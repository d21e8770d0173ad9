// The start-up steps one by one: start drive, drive list, program folder, working folders, the command line.
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace test_support;

// A folder beside the other tests' scratch folders whose name ends in name.
CString StartupFolder(const char* name)
{
    CString path;
    path.Format("%s\\fovea-startup-%lu-%s", TempFolder().c_str(), GetCurrentProcessId(), name);
    return path;
}

BOOL CALLBACK NoteFrame(HWND hwnd, LPARAM lParam)
{
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpA(name, "FoveaFrame") == 0)
        *reinterpret_cast<bool*>(lParam) = true;
    return TRUE;
}

// A main frame made by this test process (other tests may run the program at the same time).
bool HasOwnFrame()
{
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), NoteFrame, LPARAM(&found));
    return found;
}

}  // namespace

TEST(Startup, StartDriveIsTheCurrentDrive)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    CFoveaApp app;
    app.RecordStartDrive();
    EXPECT_EQ("C:", app.m_strStartDrive);
    SetCurrentDirectoryA(previous);
}

TEST(Startup, DriveListHoldsEveryDriveInLetterOrder)
{
    CFoveaApp app;
    app.BuildDriveList();
    ASSERT_GT(app.m_astrDrives.GetSize(), 0);
    char last = 0;
    bool sawC = false, sawCdrom = false;
    for (const CString& entry : app.m_astrDrives.data()) {
        SCOPED_TRACE(entry.c_str());
        ASSERT_EQ(4, entry.GetLength());
        EXPECT_EQ('/', entry.GetAt(1));
        EXPECT_EQ(':', entry.GetAt(3));
        char letter = entry.GetAt(2);
        EXPECT_GT(letter, last);
        last = letter;
        EXPECT_NE('1', CFoveaApp::TypeOfEntry(entry));  // no root directory: never listed
        EXPECT_EQ(CFoveaApp::DriveOfEntry(entry), CString(letter) + ":");
        sawC |= entry == "3/C:";
        sawCdrom |= entry == "5/Q:";
    }
    EXPECT_TRUE(sawC);
    // The test harness maps Q: as a CD-ROM drive of the Wine machine.
    EXPECT_TRUE(sawCdrom);
}

TEST(Startup, ProgramFolderIsTheFolderOfTheExecutable)
{
    CFoveaApp app;
    app.FindProgramDir();
    char module[MAX_PATH * 4];
    GetModuleFileNameA(nullptr, module, sizeof module);
    CString expected(module);
    expected = expected.Left(expected.ReverseFind('\\'));
    EXPECT_EQ(expected, app.m_strProgramDir);
    EXPECT_NE('\\', app.m_strProgramDir.GetAt(app.m_strProgramDir.GetLength() - 1));
}

TEST(Startup, WorkingFoldersAreCreatedBesideTheProgram)
{
    CString root = StartupFolder("表ソ");  // a folder name with 0x5C trail bytes
    RemoveTree(root);
    ASSERT_TRUE(CreateDirectoryA(root, nullptr));
    CFoveaApp app;
    app.m_strProgramDir = root;
    app.CreateWorkingFolders();
    EXPECT_EQ(root + "\\MENU", app.m_strMenuDir);
    EXPECT_EQ(root + "\\EXT", app.m_strExtDir);
    EXPECT_EQ(root + "\\IMGSMP", app.m_strSampleRoot);
    EXPECT_TRUE(IsFolder(app.m_strMenuDir));
    EXPECT_TRUE(IsFolder(app.m_strExtDir));
    EXPECT_TRUE(IsFolder(app.m_strSampleRoot));
    // A second start finds them there and changes nothing.
    app.CreateWorkingFolders();
    EXPECT_TRUE(IsFolder(app.m_strMenuDir));
    RemoveTree(root);
}

TEST(Startup, FoldersThatCannotBeMadeAreNoError)
{
    CString root = StartupFolder("blocked");
    RemoveTree(root);
    ASSERT_TRUE(CreateDirectoryA(root, nullptr));
    // A file where MENU should go: that folder cannot be made, the others still are.
    HANDLE file = CreateFileA(root + "\\MENU", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    CFoveaApp app;
    app.m_strProgramDir = root;
    app.CreateWorkingFolders();
    EXPECT_FALSE(IsFolder(app.m_strMenuDir));
    EXPECT_TRUE(IsFolder(app.m_strExtDir));
    RemoveTree(root);

    // /proc is read-only even for root: nothing is made and nothing fails.
    CFoveaApp readOnly;
    readOnly.m_strProgramDir = "Z:\\proc";
    readOnly.CreateWorkingFolders();
    EXPECT_FALSE(IsFolder(readOnly.m_strMenuDir));
}

class StartupWithScratchSettings : public ::testing::Test {
protected:
    ScratchSettingsKey m_key{"startup"};
    const CString m_company = m_key.Path();
};

TEST_F(StartupWithScratchSettings, DrivesWithoutAMediumBringUpNoSystemErrorBox)
{
    SetErrorMode(0);
    CFoveaApp app;
    app.m_strSettingsCompanyKey = m_company;
    app.m_strCmdLine = "/Embedding";
    EXPECT_TRUE(app.InitInstance());
    UINT mode = SetErrorMode(0);
    EXPECT_EQ(UINT(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX),
              mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

TEST_F(StartupWithScratchSettings, EmbeddingStartsNoWindow)
{
    for (const char* line : {"/Embedding", "-Automation", "/embedding"}) {
        SCOPED_TRACE(line);
        CFoveaApp app;
        app.m_strSettingsCompanyKey = m_company;
        app.m_strCmdLine = line;
        EXPECT_TRUE(app.InitInstance());
        EXPECT_TRUE(app.m_bEmbedding);
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        EXPECT_EQ(nullptr, app.m_pMainFrame);
        EXPECT_FALSE(HasOwnFrame());
    }
}

TEST_F(StartupWithScratchSettings, NormalStartShowsTheMainFrame)
{
    CFoveaApp app;
    app.m_strSettingsCompanyKey = m_company;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(1, app.m_bFirstRun);
    ASSERT_NE(nullptr, app.m_pMainFrame);
    EXPECT_EQ(app.m_pMainFrame, app.m_pMainWnd);
    EXPECT_TRUE(app.m_pMainFrame->IsWindowVisible());
    EXPECT_EQ("ふぉびあ", app.m_pMainFrame->GetWindowText());
    EXPECT_FALSE(app.m_strStartDrive.IsEmpty());
    EXPECT_GT(app.m_astrDrives.GetSize(), 0);
    EXPECT_EQ(0, app.m_nFilerSplit);
    EXPECT_EQ("SB0800.BMS", app.m_strBank8Image);
    EXPECT_EQ("SB2400.TXT", app.m_strBank24Index);
    // The file lists take the background from the status bar at their first paint, together with its brush.
    EXPECT_EQ(app.m_clrBackground != COLORREF(-1), bool(app.m_pBackgroundBrush));
    DestroyWindow(app.m_pMainFrame->m_hWnd);  // the frame deletes itself
    EXPECT_EQ(nullptr, app.m_pMainFrame);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}
