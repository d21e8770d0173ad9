// The copy of one file as a drop makes it: the overwrite question, copying onto itself, failures the platform
// reports (read-only destination, a full disk) shown with the source path, and the status line.
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "fileops/FileOps.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

namespace {

const std::vector<std::string> kOverwriteQuestion = {"既にコピー先に同名のファイルが存在します", "上書きしますか？", "",
                                                     "", ""};

std::vector<std::string> FailureReport(const CString& source, const CString& destination)
{
    return {"コピーできませんでした", source.str(), destination.str(), "", ""};
}

FILETIME WriteTime(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

class CopyOneFile : public ::testing::Test {
protected:
    ScratchFolder m_dir{"copy"};
    CFileOps m_ops;
};

} // namespace

TEST_F(CopyOneFile, CopiesContentsTimeAndAttributesWithoutAsking)
{
    CString source = m_dir / "a.txt", destination = m_dir / "b.txt";
    ASSERT_TRUE(WriteText(source, "contents"));
    FILETIME old = {0x12345678, 0x01B00000};
    {
        fovea::ScopedFile file(CreateFileA(source, FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &old));
    }
    SetFileAttributesA(source, FILE_ATTRIBUTE_HIDDEN);
    DialogAnswerer answerer;
    EXPECT_EQ(0, m_ops.CopyOneFile(source, destination));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ("contents", ReadText(destination));
    FILETIME copiedTime = WriteTime(destination);
    EXPECT_EQ(0, CompareFileTime(&old, &copiedTime));
    EXPECT_TRUE(GetFileAttributesA(destination) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(CopyOneFile, AMissingSourceIsNoErrorAndCreatesNothing)
{
    DialogAnswerer answerer;
    EXPECT_EQ(0, m_ops.CopyOneFile(m_dir / "gone.txt", m_dir / "b.txt"));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_FALSE(Exists(m_dir / "b.txt"));
}

TEST_F(CopyOneFile, AnExistingDestinationIsOverwrittenOnlyAfterOk)
{
    CString source = m_dir / "a.txt", destination = m_dir / "b.txt";
    ASSERT_TRUE(WriteText(source, "new"));
    ASSERT_TRUE(WriteText(destination, "old"));
    {
        DialogAnswerer answerer({IDCANCEL});
        EXPECT_EQ(-1, m_ops.CopyOneFile(source, destination));
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ(kOverwriteQuestion, answerer.Lines(0));
        EXPECT_EQ("old", ReadText(destination));
    }
    {
        DialogAnswerer answerer({IDOK});
        EXPECT_EQ(0, m_ops.CopyOneFile(source, destination));
        EXPECT_EQ(1u, answerer.Count());
        EXPECT_EQ(0, answerer.Unplanned());
        EXPECT_EQ("new", ReadText(destination));
    }
}

TEST_F(CopyOneFile, OntoItselfAsksThenReportsAndLeavesTheFileAsItWas)
{
    CString path = m_dir / "Self.txt";
    ASSERT_TRUE(WriteText(path, "keep me"));
    {
        DialogAnswerer answerer({IDOK, IDOK});
        EXPECT_EQ(0, m_ops.CopyOneFile(path, path));
        ASSERT_EQ(2u, answerer.Count());
        EXPECT_EQ(kOverwriteQuestion, answerer.Lines(0));
        EXPECT_EQ(FailureReport(path, path), answerer.Lines(1));
    }
    EXPECT_EQ("keep me", ReadText(path));
    // The same file under another spelling of its name; キャンセル on the report gives -1.
    CString other = m_dir.Path() + "\\SELF.TXT";
    {
        DialogAnswerer answerer({IDOK, IDCANCEL});
        EXPECT_EQ(-1, m_ops.CopyOneFile(path, other));
        ASSERT_EQ(2u, answerer.Count());
        EXPECT_EQ(FailureReport(path, other), answerer.Lines(1));
    }
    EXPECT_EQ("keep me", ReadText(path));
}

TEST_F(CopyOneFile, ADestinationOpenElsewhereIsReportedNotClaimedCopied)
{
    CString source = m_dir / "a.txt", destination = m_dir / "busy.txt";
    ASSERT_TRUE(WriteText(source, "new"));
    ASSERT_TRUE(WriteText(destination, "old"));
    {
        // Held open without sharing: the platform refuses the copy.
        fovea::ScopedFile held(CreateFileA(destination, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        DialogAnswerer answerer({IDOK, IDCANCEL});
        EXPECT_EQ(-1, m_ops.CopyOneFile(source, destination));
        ASSERT_EQ(2u, answerer.Count());
        EXPECT_EQ(FailureReport(source, destination), answerer.Lines(1));
    }
    EXPECT_EQ("old", ReadText(destination));
}

// Drive S: is a 2 MB tmpfs when the test machine provides it (the test command prepares it as root).
TEST_F(CopyOneFile, AFullDiskIsReportedWithTheSourceAndTheSourceIsUntouched)
{
    ULARGE_INTEGER freeBytes = {}, total = {};
    if (GetDriveTypeA("S:\\") == DRIVE_NO_ROOT_DIR || !GetDiskFreeSpaceExA("S:\\", &freeBytes, &total, nullptr) ||
        total.QuadPart > 16u * 1024 * 1024)
        GTEST_SKIP() << "no small drive S: (a 2 MB tmpfs mapped as S: in the Wine prefix)";
    std::string big(size_t(total.QuadPart) + 512 * 1024, 'x');
    for (size_t i = 0; i < big.size(); i += 4096)
        big[i] = char('a' + (i / 4096) % 26);
    CString source = m_dir / "big.bin", destination = "S:\\big.bin";
    ASSERT_TRUE(WriteText(source, big));
    DeleteFileA(destination);
    DialogAnswerer answerer({IDOK});
    EXPECT_EQ(0, m_ops.CopyOneFile(source, destination));
    ASSERT_EQ(1u, answerer.Count());
    EXPECT_EQ(FailureReport(source, destination), answerer.Lines(0));
    EXPECT_TRUE(ReadText(source) == big);
    // Nothing of the copy is left: neither a part under the destination's name nor a temporary file.
    EXPECT_FALSE(Exists(destination));
    for (const std::string& name : Names("S:"))
        EXPECT_NE(0u, name.rfind("~fov", 0)) << name;
    DeleteFileA(destination);
}

TEST(FileOpsPaths, KindsAndPrimitives)
{
    ScratchFolder dir("kinds");
    CFileOps ops;
    EXPECT_EQ(1, ops.PathKind(dir.Path()));
    ASSERT_TRUE(WriteText(dir / "f.txt", "x"));
    EXPECT_EQ(2, ops.PathKind(dir / "f.txt"));
    EXPECT_EQ(-1, ops.PathKind(dir / "none"));

    EXPECT_EQ(0, ops.MakeFolder(dir / "表"));
    EXPECT_EQ(-1, ops.MakeFolder(dir / "表"));
    EXPECT_EQ(0, ops.RenamePath(dir / "f.txt", dir / "表\\g.txt"));
    EXPECT_EQ(-1, ops.RemoveFolder(dir / "表"));
    EXPECT_EQ(0, ops.DeleteOneFile(dir / "表\\g.txt"));
    EXPECT_EQ(-1, ops.DeleteOneFile(dir / "表\\g.txt"));
    EXPECT_EQ(0, ops.RemoveFolder(dir / "表"));
    EXPECT_EQ(-1, ops.RenamePath(dir / "none", dir / "x"));

    // A pattern never deletes the first file that matches it.
    ASSERT_TRUE(WriteText(dir / "p.txt", "x"));
    EXPECT_EQ(-1, ops.DeleteOneFile(dir / "*.txt"));
    EXPECT_TRUE(Exists(dir / "p.txt"));
    // Read-only files stay.
    SetFileAttributesA(dir / "p.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(-1, ops.DeleteOneFile(dir / "p.txt"));
    EXPECT_TRUE(Exists(dir / "p.txt"));
}

namespace {

class StatusLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartApp(m_app, m_key.Path()));
        SetWindowPos(m_app->m_pMainFrame->m_hWnd, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(m_app->m_pMainFrame->m_hWnd, SW_SHOWNOACTIVATE);
        PumpMessages();
    }
    void TearDown() override { CloseApp(m_app); }

    // Pixels of the pane that differ from the colour at its left edge.
    int MarkedPixels(const RECT& pane)
    {
        HWND bar = m_app->m_pMainFrame->m_wndStatusBar.m_hWnd;
        fovea::ScopedGetDC dc(bar);
        COLORREF background = GetPixel(dc.get(), pane.left + 1, pane.top + 1);
        int marked = 0;
        for (int y = pane.top + 1; y < pane.bottom - 1; ++y)
            for (int x = pane.left + 1; x < pane.left + 300; ++x)
                marked += GetPixel(dc.get(), x, y) != background;
        return marked;
    }

    ScratchSettingsKey m_key{"fileops"};
    std::unique_ptr<CFoveaApp> m_app;
};

} // namespace

TEST_F(StatusLine, IsPaintedOverThePaneByACopyAndGoesAtTheNextRepaint)
{
    HWND bar = m_app->m_pMainFrame->m_wndStatusBar.m_hWnd;
    RECT pane = {};
    ASSERT_TRUE(SendMessageA(bar, SB_GETRECT, 0, LPARAM(&pane)));
    ASSERT_GT(pane.bottom - pane.top, 4);
    // The file lists paint their drive line over the pane; a repaint of the bar takes it away.
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    int before = MarkedPixels(pane);
    CFileOps ops;
    EXPECT_EQ(0, ops.ShowStatusText(0, "C:\\a.txt--->D:\\a.txt"));
    int painted = MarkedPixels(pane);
    EXPECT_GT(painted, before + 20);
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    EXPECT_LT(MarkedPixels(pane), painted);
    // A pane the bar does not have paints nothing and fails nothing.
    EXPECT_EQ(0, ops.ShowStatusText(5, "x"));

    // A copy shows its line; without a main frame (a tool, a test) it copies all the same.
    ScratchFolder dir("status");
    ASSERT_TRUE(WriteText(dir / "a.txt", "x"));
    DialogAnswerer answerer;
    EXPECT_EQ(0, ops.CopyOneFile(dir / "a.txt", dir / "b.txt"));
    EXPECT_GT(MarkedPixels(pane), before + 20);
    CMainFrame* frame = m_app->m_pMainFrame;
    m_app->m_pMainFrame = nullptr;
    EXPECT_EQ(0, ops.CopyOneFile(dir / "a.txt", dir / "c.txt"));
    m_app->m_pMainFrame = frame;
    EXPECT_EQ("x", ReadText(dir / "c.txt"));
    EXPECT_EQ(0u, answerer.Count());
}
