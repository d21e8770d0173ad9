// The sample store under Wine on real folders: a user's three presses make a folder's bank, which shows in every
// catalog mode and after a restart; remakes, deletion, a stopped run, a full drive, a CD-ROM folder, banks that
// do not fit, and the plug-ins' optional preview call.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/FileView.h"
#include "image/Dib.h"
#include "image/SampleCreateDlg.h"
#include "tests/image/DibTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace test_support;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr int kFileBar = CFileView::kFileBarId;

// A Unix folder of the build as Wine shows it, on drive Z:.
CString WineFolder(const char* unixPath)
{
    CString dir = CString("Z:") + unixPath;
    for (int i = 0; i < dir.GetLength(); ++i)
        if (dir.GetAt(i) == '/')
            dir.SetAt(i, '\\');
    return dir;
}

CString SourceFolder()
{
    return WineFolder(FOVEA_SOURCE_DIR);
}

// The plug-ins of the tests alone, built out of every program folder.
CString TestPluginFolder()
{
    return WineFolder(FOVEA_TEST_PLUGIN_DIR);
}

// The small drive S: of the test machine (a tmpfs of a few megabytes), where one exists.
bool HasSmallDrive()
{
    ULARGE_INTEGER freeBytes, total;
    return GetDriveTypeA("S:\\") != DRIVE_NO_ROOT_DIR && GetDiskFreeSpaceExA("S:\\", &freeBytes, &total, nullptr) &&
           total.QuadPart <= (64u << 20);
}

// A 24-bit .BMP picture of one colour.
bool WritePicture(const CString& path, COLORREF colour, int width = 32, int height = 24)
{
    CDib dib;
    if (!dib.Create(width, height, 24, 0))
        return false;
    uint32_t stride = CDib::RowBytes(width, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = dib.GetBits() + size_t(y) * stride + size_t(x) * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    return dib.SaveFile(path);
}

// Colour of frame k of a bank at (x, y) of the frame, y counted from the frame's top as shown.
COLORREF FrameColour(const CDib& bank, int k, int x = 40, int y = 30)
{
    const int height = 60;
    int storedRow = k * height + (height - 1 - y);
    const uint8_t* p = bank.GetBits() + size_t(storedRow) * CDib::RowBytes(bank.GetWidth(), 24) + size_t(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

// A 24-bit canvas in a memory DC that cells are drawn into and read back from.
class Canvas {
public:
    Canvas(int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 24, BI_RGB};
        void* bits = nullptr;
        m_dc.reset(CreateCompatibleDC(nullptr));
        m_bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_old = SelectObject(m_dc.get(), m_bitmap.get());
        fovea::ScopedBrush brush(CreateSolidBrush(kGrey));
        RECT all = {0, 0, width, height};
        FillRect(m_dc.get(), &all, brush.get());
    }
    ~Canvas() { SelectObject(m_dc.get(), m_old); }
    HDC dc() const { return m_dc.get(); }
    COLORREF At(int x, int y) const { return GetPixel(m_dc.get(), x, y); }

private:
    fovea::ScopedMemDC m_dc;
    fovea::ScopedBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};

// What the timer of a run watches: once p0.SMP exists in folder, it acts once during the run, as a user would:
// Escape in the sample dialog, a click on its cancel button, a close of the main window, or a press of the
// other filer's sample button (and then Escape). It also keeps the progress line it saw.
enum class During { kEscape, kCancelButton, kCloseMainWindow, kSecondRun };
struct RunWatch {
    CString folder;
    HWND dialog;
    During action;
    bool sent;
    CString progress;
    bool frameLeftStanding; // the main window was still there right after its close during the run
} s_watch;

void CALLBACK ActOnceTheFirstSampleExists(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_watch.sent || !Exists(s_watch.folder + "\\p0.SMP"))
        return;
    s_watch.sent = true;
    char progress[256] = {};
    GetDlgItemTextA(s_watch.dialog, CSampleCreateDlg::kProgressId, progress, sizeof progress);
    s_watch.progress = progress;
    HWND cancel = GetDlgItem(s_watch.dialog, IDCANCEL);
    CFoveaApp* app = FoveaApp();
    switch (s_watch.action) {
    case During::kEscape:
        PostMessageA(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case During::kCancelButton:
        SendMessageA(cancel, BM_CLICK, 0, 0);
        break;
    case During::kCloseMainWindow: {
        // Sent, as the close box's system command sends it.
        HWND frame = app->m_pMainFrame->m_hWnd;
        SendMessageA(frame, WM_CLOSE, 0, 0);
        s_watch.frameLeftStanding = IsWindow(frame) != FALSE;
        break;
    }
    case During::kSecondRun:
        app->m_pLowerList->m_wndFileBar.SetCaretIndex(2, true);
        app->m_pLowerList->SendMessage(WM_APP_BARCOMMAND, WPARAM(kFileBar), 0);
        PostMessageA(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    }
}

class SampleStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start());
        ASSERT_TRUE(CreateDirectoryA(m_strFolder, nullptr));
    }
    void TearDown() override
    {
        CloseApp(m_app);
        SetCurrentDirectoryA(TempFolder());
        RemoveTree(m_strFolder);
    }

    bool Start()
    {
        if (!StartApp(m_app, m_key.Path()))
            return false;
        SetWindowPos(m_app->m_pMainFrame->m_hWnd, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
        PumpMessages();
        m_app->m_nSampleBits = 24;
        return m_app->m_pUpperList && m_app->m_pSampleDlg;
    }
    CFileView& View() { return *m_app->m_pUpperList; }
    CFileListBox& List() { return View().m_wndList; }

    void Show(const CString& folder)
    {
        View().ShowFolder(folder);
        PumpMessages();
    }
    // A file strip button as the strip reports it.
    void Press(int button)
    {
        View().m_wndFileBar.SetCaretIndex(button, true);
        View().SendMessage(WM_APP_BARCOMMAND, WPARAM(kFileBar), 0);
        PumpMessages();
    }
    // Button 2 confirmed with OK; the dialogs seen (the confirmation first).
    std::vector<DialogAnswerer::Seen> MakeSamples(std::vector<int> answers = {IDOK})
    {
        DialogAnswerer answerer(std::vector<DialogAnswerer::Answer>(answers.begin(), answers.end()));
        Press(2);
        return answerer.Dialogs();
    }
    // Every file and no folder (button 6 from no selection).
    void SelectFiles()
    {
        List().SetSel(-1, false);
        Press(6);
    }
    void SelectOnly(std::initializer_list<const char*> names)
    {
        List().SetSel(-1, false);
        for (const char* name : names)
            List().SetSel(IndexOf(name), true);
    }
    int IndexOf(const char* name)
    {
        for (int i = 0; i < List().GetCount(); ++i)
            if (List().GetItemFileName(i) == name)
                return i;
        ADD_FAILURE() << name << " not listed";
        return -1;
    }
    // The colour in the middle of the picture of an item drawn in display mode (0 to 2 catalogs, 3 text).
    COLORREF CellColour(int mode, const char* name)
    {
        View().SetDisplayMode(mode);
        Canvas canvas(200, 120);
        RECT cell = {0, 0, List().m_nColumnWidth, List().m_nItemHeight};
        List().DrawCatalogItem(true, false, IndexOf(name), canvas.dc(), cell);
        if (mode >= 3)
            return canvas.At(8, cell.bottom / 2);
        return canvas.At(cell.right / 2, (cell.bottom - m_app->m_nListItemHeight) / 2);
    }
    std::string Index(const char* name = "SB2400.TXT") { return ReadText(m_strFolder + "\\" + name); }
    bool LoadBank(CDib& bank, const CString& folder) { return bank.LoadFile(folder + "\\SB2400.BMS"); }
    std::vector<std::string> Leftovers(const CString& folder)
    {
        std::vector<std::string> left;
        for (const std::string& name : Names(folder)) {
            CString upper(name);
            upper.MakeUpper();
            if (upper.Right(4) == ".SMP" || upper.Right(4) == ".NEW" || upper.Right(4) == ".OLD")
                left.push_back(name);
        }
        return left;
    }

    dibtest::MessageCapture m_quiet; // the bitmap code's message boxes would wait for a user
    ScratchSettingsKey m_key{"samples"};
    ScratchFolder m_scratch{"samples"};
    const CString m_strFolder = m_scratch / "pictures";
    std::unique_ptr<CFoveaApp> m_app;
};

TEST_F(SampleStore, ThreePressesMakeTheBankShownInEveryModeAndAfterARestart)
{
    ASSERT_TRUE(WritePicture(m_strFolder + "\\b.bmp", kBlue));
    ASSERT_TRUE(WritePicture(m_strFolder + "\\g.bmp", kGreen));
    ASSERT_TRUE(WritePicture(m_strFolder + "\\r.bmp", kRed, 400, 300));
    for (const char* format : {"gif", "jpeg", "tiff"}) {
        CString name = CString("sample.") + (CString(format) == "jpeg" ? "jpg" : CString(format).Left(3));
        ASSERT_TRUE(
            CopyFileA(SourceFolder() + "\\tests\\data\\" + format + "\\" + name, m_strFolder + "\\" + name, FALSE));
    }
    ASSERT_TRUE(WriteText(m_strFolder + "\\note.txt", "not a picture"));
    ASSERT_TRUE(CreateDirectoryA(m_strFolder + "\\sub", nullptr));
    Show(m_strFolder);

    SelectFiles();
    std::vector<DialogAnswerer::Seen> dialogs = MakeSamples();
    ASSERT_EQ(1u, dialogs.size());
    EXPECT_EQ((std::vector<std::string>{"このフォルダ内の選択された画像について、", "サンプルファイルを作成します。",
                                        "多少時間がかかりますが次回このフォルダをアクセス",
                                        "したときは、高速にすべてのサンプルを表示します", ""}),
              dialogs[0].lines);

    // One frame per picture in list order; the three pictures named sample share a base name.
    EXPECT_EQ("b\r\ng\r\nr\r\nsample\r\nsample\r\nsample\r\n", Index());
    CDib bank;
    ASSERT_TRUE(LoadBank(bank, m_strFolder));
    EXPECT_EQ(80, bank.GetWidth());
    EXPECT_EQ(6 * 60, bank.GetHeight());
    EXPECT_EQ(24, bank.GetBitCount());
    EXPECT_EQ(kBlue, FrameColour(bank, 0)); // line 1 is the bottom band
    EXPECT_EQ(kRed, FrameColour(bank, 2));
    for (int k = 3; k < 6; ++k) {
        bool drawn = false;
        for (int x = 0; x < 80 && !drawn; x += 7)
            drawn = FrameColour(bank, k, x, 20) != RGB(0, 0, 0);
        EXPECT_TRUE(drawn) << "frame " << k << " is black: its plug-in gave no picture";
    }
    EXPECT_TRUE(Leftovers(m_strFolder).empty());
    EXPECT_FALSE(Exists(m_strFolder + "\\SB0800.BMS"));

    for (int mode : {0, 1, 2, 3}) {
        EXPECT_EQ(kBlue, CellColour(mode, "b.bmp")) << mode;
        EXPECT_EQ(kRed, CellColour(mode, "r.bmp")) << mode;
        EXPECT_NE(kRed, CellColour(mode, "note.txt")) << mode;
    }

    // After a restart the bank is read again from disk and shows at once.
    CloseApp(m_app);
    ASSERT_TRUE(Start());
    Show(m_strFolder);
    for (int mode : {0, 1, 2})
        EXPECT_EQ(kGreen, CellColour(mode, "g.bmp")) << mode;

    // Button 3 removes the bank; nothing shows afterwards.
    DialogAnswerer answerer({IDOK});
    Press(3);
    ASSERT_EQ(1u, answerer.Count());
    EXPECT_EQ("このフォルダ内のサンプル画像をすべて削除します。", answerer.Lines(0)[0]);
    EXPECT_FALSE(Exists(m_strFolder + "\\SB2400.BMS"));
    EXPECT_FALSE(Exists(m_strFolder + "\\SB2400.TXT"));
    EXPECT_EQ(-1, List().FindSampleRow("g"));
}

TEST_F(SampleStore, RemakesGoLastMissingPicturesAreMissAndDeletionKeepsTheOtherDepth)
{
    for (auto [name, colour] : {std::pair{"a.bmp", kRed}, {"b.bmp", kGreen}, {"c.bmp", kBlue}})
        ASSERT_TRUE(WritePicture(m_strFolder + "\\" + name, colour));
    ASSERT_TRUE(WriteText(m_strFolder + "\\d.pi", "no plug-in reads this"));
    Show(m_strFolder);
    SelectFiles();
    MakeSamples();
    EXPECT_EQ("a\r\nb\r\nc\r\nMISS\r\n", Index());

    ASSERT_TRUE(WritePicture(m_strFolder + "\\a.bmp", kGreen));
    SelectOnly({"a.bmp"});
    MakeSamples();
    EXPECT_EQ("b\r\nc\r\nMISS\r\na\r\n", Index());
    CDib bank;
    ASSERT_TRUE(LoadBank(bank, m_strFolder));
    EXPECT_EQ((std::vector<COLORREF>{kGreen, kBlue, RGB(0, 0, 0), kGreen}),
              (std::vector<COLORREF>{FrameColour(bank, 0), FrameColour(bank, 1), FrameColour(bank, 2),
                                     FrameColour(bank, 3)}));

    // Confirming with nothing selected writes the same bank again.
    List().SetSel(-1, false);
    MakeSamples();
    EXPECT_EQ("b\r\nc\r\nMISS\r\na\r\n", Index());

    // A new sample size discards the old strip.
    m_app->m_nSampleWidth = 40;
    m_app->m_nSampleHeight = 30;
    SelectOnly({"c.bmp"});
    MakeSamples();
    EXPECT_EQ("c\r\n", Index());
    m_app->m_nSampleWidth = 80;
    m_app->m_nSampleHeight = 60;

    ASSERT_TRUE(CopyFileA(m_strFolder + "\\SB2400.BMS", m_strFolder + "\\SB0800.BMS", FALSE));
    ASSERT_TRUE(CopyFileA(m_strFolder + "\\SB2400.TXT", m_strFolder + "\\SB0800.TXT", FALSE));
    DialogAnswerer answerer({IDOK});
    Press(3);
    EXPECT_FALSE(Exists(m_strFolder + "\\SB2400.BMS"));
    EXPECT_TRUE(Exists(m_strFolder + "\\SB0800.BMS"));
    EXPECT_TRUE(Exists(m_strFolder + "\\SB0800.TXT"));
}

TEST_F(SampleStore, AStoppedRunKeepsWhatWasMadeAndTheOldSamples)
{
    ASSERT_TRUE(WritePicture(m_strFolder + "\\zz.bmp", kRed));
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format("\\p%d.bmp", i);
        ASSERT_TRUE(WritePicture(m_strFolder + name, kBlue, 1600, 1200));
    }
    Show(m_strFolder);
    SelectOnly({"zz.bmp"});
    MakeSamples();
    ASSERT_EQ("zz\r\n", Index());

    // Stopped once the first sample file exists, by the Escape key, by the dialog's cancel button, and by a press
    // of the other filer's sample button, which starts no second run: the run ends after the current picture,
    // keeping the older samples and those made so far. The dialog showed which picture of how many it made.
    for (During action : {During::kEscape, During::kCancelButton, During::kSecondRun}) {
        s_watch = {m_strFolder, m_app->m_pSampleDlg->m_hWnd, action, false, "", false};
        UINT_PTR timer = SetTimer(nullptr, 0, 1, ActOnceTheFirstSampleExists);
        SelectFiles();
        std::vector<DialogAnswerer::Seen> dialogs = MakeSamples({IDOK, IDOK});
        KillTimer(nullptr, timer);
        EXPECT_EQ(1u, dialogs.size()) << "a second run was offered";
        std::string index = Index();
        EXPECT_EQ(0u, index.find("zz\r\np0\r\n")) << index;
        EXPECT_EQ(std::string::npos, index.find("p7")) << "the run did not stop";
        EXPECT_TRUE(Leftovers(m_strFolder).empty());
        EXPECT_FALSE(IsWindowVisible(s_watch.dialog));
        int done = 0, picture = -1;
        EXPECT_EQ(2, sscanf(s_watch.progress.c_str(), "%d / 9  p%d.bmp", &done, &picture)) << s_watch.progress.c_str();
        EXPECT_EQ(done, picture + 1) << s_watch.progress.c_str();
        // Back to the bank of zz alone.
        SelectOnly({"zz.bmp"});
        DeleteFileA(m_strFolder + "\\SB2400.TXT");
        MakeSamples();
        ASSERT_EQ("zz\r\n", Index());
    }
}

TEST_F(SampleStore, ClosingTheMainWindowDuringARunWritesWhatWasMadeThenCloses)
{
    for (int i = 0; i < 6; ++i) {
        CString name;
        name.Format("\\p%d.bmp", i);
        ASSERT_TRUE(WritePicture(m_strFolder + name, kBlue, 1600, 1200));
    }
    Show(m_strFolder);
    s_watch = {m_strFolder, m_app->m_pSampleDlg->m_hWnd, During::kCloseMainWindow, false, "", false};
    HWND frame = m_app->m_pMainFrame->m_hWnd;
    UINT_PTR timer = SetTimer(nullptr, 0, 1, ActOnceTheFirstSampleExists);
    SelectFiles();
    MakeSamples();
    KillTimer(nullptr, timer);
    ASSERT_TRUE(s_watch.sent);
    EXPECT_TRUE(s_watch.frameLeftStanding) << "the window and its views went away under the run";
    std::string index = Index();
    EXPECT_EQ(0u, index.find("p0\r\n")) << index;
    EXPECT_EQ(std::string::npos, index.find("p5")) << "the run did not stop";
    EXPECT_TRUE(Leftovers(m_strFolder).empty());
    PumpMessages();
    EXPECT_FALSE(IsWindow(frame)) << "the window did not close after the run";
}

TEST_F(SampleStore, AFullDriveLeavesTheOldBankAndTellsTheUser)
{
    if (!HasSmallDrive())
        GTEST_SKIP() << "no small drive S: (a 2 MB tmpfs mapped as S: in the Wine prefix)";
    ULARGE_INTEGER freeBytes, total;
    CString folder;
    folder.Format("S:\\fovea-samples-%lu", GetCurrentProcessId());
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        ASSERT_TRUE(WritePicture(folder + "\\" + name, kGreen, 8, 6));
    Show(folder);
    SelectFiles();
    MakeSamples();
    ASSERT_EQ("a\r\nb\r\nc\r\n", ReadText(folder + "\\SB2400.TXT"));
    CDib before;
    ASSERT_TRUE(LoadBank(before, folder));
    std::string bankBefore = ReadText(folder + "\\SB2400.BMS");

    // Room for the three new sample files, not for the new bank beside the old one.
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        ASSERT_TRUE(WritePicture(folder + "\\" + name, kRed, 8, 6));
    ASSERT_TRUE(GetDiskFreeSpaceExA("S:\\", &freeBytes, &total, nullptr));
    const uint64_t room = 3 * 16384 + 8192;
    ASSERT_GT(freeBytes.QuadPart, room);
    {
        fovea::ScopedFile filler(
            CreateFileA(folder + "\\filler.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(filler);
        std::vector<char> block(uint64_t(freeBytes.QuadPart) - room, 'x');
        DWORD written = 0;
        WriteFile(filler.get(), block.data(), DWORD(block.size()), &written, nullptr);
    }
    List().SetSel(-1, false);
    SelectOnly({"a.bmp", "b.bmp", "c.bmp"});
    std::vector<DialogAnswerer::Seen> dialogs = MakeSamples({IDOK, IDOK});
    ASSERT_EQ(2u, dialogs.size());
    EXPECT_EQ("サンプルファイルを書き込めませんでした。", dialogs[1].lines[0]);
    EXPECT_EQ("a\r\nb\r\nc\r\n", ReadText(folder + "\\SB2400.TXT"));
    EXPECT_EQ(bankBefore, ReadText(folder + "\\SB2400.BMS"));
    EXPECT_TRUE(Leftovers(folder).empty());
    EXPECT_EQ(kGreen, CellColour(0, "a.bmp")) << "the old samples still show";

    // The shown bank is let go first (a mapped file cannot be deleted): the small drive is left as it was found.
    SetCurrentDirectoryA(TempFolder());
    CFileListBox::SetBanksAside();
    RemoveTree(folder);
    EXPECT_FALSE(Exists(folder));
}

TEST_F(SampleStore, ACdRomFolderGetsItsSampleFolderOnlyWhenSamplesAreMade)
{
    if (GetDriveTypeA("Q:\\") != DRIVE_CDROM)
        GTEST_SKIP() << "Q: is not a CD-ROM drive in this Wine prefix";
    CString disc;
    disc.Format("Q:\\fovea-samples-%lu", GetCurrentProcessId());
    RemoveTree(disc);
    ASSERT_TRUE(CreateDirectoryA(disc, nullptr));
    ASSERT_TRUE(WritePicture(disc + "\\x.bmp", kRed));
    CString root = m_strFolder + "\\IMGSMP";
    ASSERT_TRUE(CreateDirectoryA(root, nullptr));
    m_app->m_strSampleRoot = root;

    Show(disc);
    EXPECT_TRUE(List().m_strSampleDir.IsEmpty());
    EXPECT_FALSE(Exists(root + "\\CD.SRC"));
    // Deleting in a folder without a sample folder deletes nothing anywhere.
    {
        DialogAnswerer answerer({IDOK});
        Press(3);
    }

    SelectFiles();
    MakeSamples();
    CString sampleDir = List().m_strSampleDir;
    EXPECT_EQ(0, sampleDir.Find(root + "\\CD")) << sampleDir.c_str();
    EXPECT_EQ("x\r\n", ReadText(sampleDir + "\\SB2400.TXT"));
    EXPECT_FALSE(Exists(disc + "\\SB2400.BMS"));
    EXPECT_TRUE(Names(disc) == std::vector<std::string>{"x.bmp"});

    Show(m_strFolder);
    Show(disc);
    EXPECT_EQ(sampleDir, List().m_strSampleDir);
    EXPECT_EQ(kRed, CellColour(1, "x.bmp"));

    // A sample root where no index can be written: the user is told, and nothing is made.
    m_app->m_strSampleRoot = m_strFolder + "\\absent\\IMGSMP";
    Show(disc);
    SelectFiles();
    std::vector<DialogAnswerer::Seen> dialogs = MakeSamples({IDOK, IDOK});
    ASSERT_EQ(2u, dialogs.size()) << "the run failed without a word";
    EXPECT_EQ("サンプルを保存するフォルダを作れませんでした。", dialogs[1].lines[0]);
    EXPECT_TRUE(Names(disc) == std::vector<std::string>{"x.bmp"});

    SetCurrentDirectoryA(TempFolder());
    RemoveTree(disc);
}

// A CD-ROM drive without a disc (its folder moved away for a moment): the folder shown before it keeps its bank
// when "delete all samples" is confirmed there, since a drive without a disc has no sample folder.
TEST_F(SampleStore, AnEmptyCdRomDriveHasNoSampleFolderToDelete)
{
    if (GetDriveTypeA("Q:\\") != DRIVE_CDROM)
        GTEST_SKIP() << "Q: is not a CD-ROM drive in this Wine prefix";
    // The drive's folder, build/drives/cdrom, three levels above the test programs' folder (build/win32/tests/bin);
    // made sure of by a file written through Q:.
    char module[MAX_PATH * 2];
    GetModuleFileNameA(nullptr, module, sizeof module);
    CString testBin(module);
    testBin = testBin.Left(testBin.ReverseFind('\\'));
    const CString drive = testBin + "\\..\\..\\..\\drives\\cdrom";
    CString marker;
    marker.Format("fovea-disc-%lu", GetCurrentProcessId());
    ASSERT_TRUE(WriteText("Q:\\" + marker, "x"));
    bool found = Exists(drive + "\\" + marker);
    DeleteFileA("Q:\\" + marker);
    if (!found)
        GTEST_SKIP() << "the folder of Q: is not " << drive.c_str();

    ASSERT_TRUE(WritePicture(m_strFolder + "\\a.bmp", kRed));
    Show(m_strFolder);
    SelectFiles();
    MakeSamples();
    ASSERT_EQ("a\r\n", Index());

    const CString away = drive + "-away-" + marker;
    SetCurrentDirectoryA(TempFolder());
    ASSERT_TRUE(MoveFileA(drive, away));
    Show("Q:");
    EXPECT_EQ(0, List().GetCount());
    EXPECT_TRUE(List().m_strSampleDir.IsEmpty()) << List().m_strSampleDir.c_str();
    {
        DialogAnswerer answerer({IDOK});
        Press(3);
    }
    SetCurrentDirectoryA(TempFolder());
    EXPECT_TRUE(MoveFileA(away, drive));
    EXPECT_TRUE(Exists(m_strFolder + "\\SB2400.BMS"));
    EXPECT_EQ("a\r\n", Index());
}

// The start drive's catalog shows its bank at the first paint: the program was started in a drive whose root
// has a bank, and its first listing loaded the bank of the display's depth (not that of an unknown depth).
TEST_F(SampleStore, TheStartDrivesCatalogShowsItsBankAtFirstPaint)
{
    if (!HasSmallDrive())
        GTEST_SKIP() << "no small drive S: (a 2 MB tmpfs mapped as S: in the Wine prefix)";
    CString name;
    name.Format("start%lu", GetCurrentProcessId());
    const CString picture = "S:\\" + name + ".bmp";
    ASSERT_TRUE(WritePicture(picture, kRed, 8, 6));
    Show("S:");
    SelectOnly({(name + ".bmp").c_str()});
    MakeSamples();
    ASSERT_TRUE(Exists("S:\\SB2400.BMS"));
    CloseApp(m_app);

    ASSERT_TRUE(SetCurrentDirectoryA("S:\\"));
    ASSERT_TRUE(StartApp(m_app, m_key.Path()));
    SetWindowPos(m_app->m_pMainFrame->m_hWnd, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
    PumpMessages();
    EXPECT_EQ("S:", m_app->m_strStartDrive);
    EXPECT_EQ(24, m_app->m_nSampleBits);
    // Catalog mode 1 as the user presses it, then the cell's pixels as the list painted them.
    View().m_wndModeBar.SetCaretIndex(0, true);
    View().SendMessage(WM_APP_BARCOMMAND, WPARAM(CFileView::kModeBarId), 0);
    int index = IndexOf((name + ".bmp").c_str());
    List().SetTopIndex(index);
    List().UpdateWindow();
    PumpMessages();
    RECT cell = List().GetItemRect(index);
    COLORREF painted;
    {
        fovea::ScopedGetDC dc(List().m_hWnd);
        painted = GetPixel(dc.get(), (cell.left + cell.right) / 2,
                           cell.top + (cell.bottom - cell.top - m_app->m_nListItemHeight) / 2);
    }
    EXPECT_EQ(kRed, painted) << "the catalog cell is empty until the list is refreshed";

    // The shown bank is mapped, and a mapped file cannot be deleted: the lists let go of it first, so that the
    // small drive is left as it was found for the other tests that count its files.
    SetCurrentDirectoryA(TempFolder());
    CFileListBox::SetBanksAside();
    for (const CString& file : {picture, CString("S:\\SB2400.BMS"), CString("S:\\SB2400.TXT")})
        EXPECT_TRUE(DeleteFileA(file)) << file.c_str();
}

// A shown bank is a mapped file, which the platform does not delete: the other filer still deletes the folder
// that holds it, whole.
TEST_F(SampleStore, AFolderWhoseBankIsShownIsDeletedWhole)
{
    const CString shown = m_strFolder + "\\shown";
    ASSERT_TRUE(CreateDirectoryA(shown, nullptr));
    ASSERT_TRUE(WritePicture(shown + "\\a.bmp", kRed));
    Show(shown);
    SelectFiles();
    MakeSamples();
    ASSERT_EQ(kRed, CellColour(1, "a.bmp")) << "the bank is shown";

    CFileView& lower = *m_app->m_pLowerList;
    lower.ShowFolder(m_strFolder);
    PumpMessages();
    lower.m_wndList.SetSel(-1, false);
    for (int i = 0; i < lower.m_wndList.GetCount(); ++i)
        if (lower.m_wndList.GetItemFileName(i) == "shown")
            lower.m_wndList.SetSel(i, true);
    ASSERT_EQ(1, lower.m_wndList.GetSelCount());
    {
        DialogAnswerer answerer({IDOK});
        lower.m_wndFileBar.SetCaretIndex(1, true);
        lower.SendMessage(WM_APP_BARCOMMAND, WPARAM(kFileBar), 0);
        PumpMessages();
    }
    EXPECT_FALSE(Exists(shown + "\\SB2400.BMS"));
    EXPECT_FALSE(Exists(shown));
}

TEST_F(SampleStore, BanksThatDoNotFitGiveOnlyTheSamplesTheyHold)
{
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        ASSERT_TRUE(WritePicture(m_strFolder + "\\" + name, kBlue));
    Show(m_strFolder);
    SelectFiles();
    MakeSamples();
    std::string bank = ReadText(m_strFolder + "\\SB2400.BMS");
    ASSERT_EQ(54u + 3 * 60 * 240, bank.size());

    struct Case {
        const char* what;
        std::string image, index;
        std::vector<bool> shown; // a, b, c
        size_t dialogs;
    } cases[] = {
        {"whole", bank, "a\r\nb\r\nc\r\n", {true, true, true}, 0},
        {"cut inside frame 2", bank.substr(0, 54 + 2 * 60 * 240 + 100), "a\r\nb\r\nc\r\n", {true, true, false}, 0},
        {"more names than frames", bank.substr(0, 54 + 60 * 240), "a\r\nb\r\nc\r\n", {true, false, false}, 0},
        {"binary index", bank, std::string("\x01\xff\0a\r\n", 6), {false, false, false}, 0},
        {"index line of 5000 characters", bank, std::string(5000, 'a') + "\r\nb\r\n", {false, false, false}, 0},
        {"0 bytes", "", "a\r\n", {false, false, false}, 1},
        {"not a picture", std::string(4000, 'x'), "a\r\n", {false, false, false}, 1},
    };
    for (const Case& c : cases) {
        CFileListBox::SetBanksAside(); // the shown bank's file is let go before it is written over
        ASSERT_TRUE(WriteText(m_strFolder + "\\SB2400.BMS", c.image));
        ASSERT_TRUE(WriteText(m_strFolder + "\\SB2400.TXT", c.index));
        DialogAnswerer answerer;
        List().LoadSamples();
        EXPECT_EQ(c.dialogs, answerer.Count()) << c.what;
        for (int i = 0; i < 3; ++i) {
            const char* names[] = {"a", "b", "c"};
            const char* files[] = {"a.bmp", "b.bmp", "c.bmp"};
            EXPECT_EQ(c.shown[size_t(i)], List().FindSampleRow(names[i]) >= 0) << c.what << " " << names[i];
            if (c.shown[size_t(i)])
                EXPECT_EQ(kBlue, CellColour(0, files[i])) << c.what << " " << names[i];
        }
    }

    // A bank of another sample width, or a declared height far beyond the file, shows nothing wrong.
    std::string huge = bank;
    huge[22] = '\xff';
    huge[23] = '\xff';
    huge[24] = '\xff';
    huge[25] = '\x7f';
    CFileListBox::SetBanksAside();
    ASSERT_TRUE(WriteText(m_strFolder + "\\SB2400.BMS", huge));
    ASSERT_TRUE(WriteText(m_strFolder + "\\SB2400.TXT", "a\r\nb\r\nc\r\n"));
    List().LoadSamples();
    EXPECT_GE(List().FindSampleRow("c"), 0);
    m_app->m_nSampleWidth = 100;
    List().LoadSamples();
    EXPECT_EQ(-1, List().FindSampleRow("a"));
    m_app->m_nSampleWidth = 80;
}

// The colour of frame k in the generated bank of 100,000 frames: every frame its own.
COLORREF ColourOfFrame(int k)
{
    return RGB(k & 0xFF, (k >> 8) & 0xFF, 0x40 | (k >> 16));
}

// Reads the list as it is on the screen; for each catalog item whose picture shows, the colour in its middle.
std::vector<std::pair<std::string, COLORREF>> ShownPictures(CFileListBox& list, int lineHeight)
{
    RECT client = {};
    GetClientRect(list.m_hWnd, &client);
    Canvas screen(client.right, client.bottom);
    fovea::ScopedGetDC dc(list.m_hWnd);
    BitBlt(screen.dc(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
    std::vector<std::pair<std::string, COLORREF>> shown;
    for (int i = list.GetTopIndex(); i < list.GetCount(); ++i) {
        RECT cell = list.GetItemRect(i);
        if (cell.left >= client.right)
            break;
        if (cell.right > client.right || cell.bottom > client.bottom)
            continue;
        shown.push_back({list.GetItemFields(i).name, screen.At((cell.left + cell.right) / 2,
                                                               cell.top + (cell.bottom - cell.top - lineHeight) / 2)});
    }
    return shown;
}

TEST_F(SampleStore, AHundredThousandFrameBankShowsToItsLastPageAndACutBankShowsWhatIsLeft)
{
    // Frames of 16 x 12 keep the bank at 58 MB; the catalog stretches them into its cells.
    m_app->m_nSampleWidth = 16;
    m_app->m_nSampleHeight = 12;
    constexpr int kFrames = 100000;
    std::vector<std::string> names;
    char name[16];
    for (int k = 0; k < kFrames; ++k) {
        snprintf(name, sizeof name, "p%05d", k);
        names.push_back(name);
    }
    // The pictures of the first and the last frames are enough to list: one file per frame would take Wine
    // minutes to make in one folder.
    for (int k = 0; k < kFrames; k = k == 299 ? kFrames - 300 : k + 1) {
        fovea::ScopedFile empty(CreateFileA(m_strFolder + "\\" + CString(names[size_t(k)]) + ".jpg", GENERIC_WRITE, 0,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(empty) << names[size_t(k)];
    }
    const CString image = m_strFolder + "\\SB2400.BMS";
    ASSERT_TRUE(WriteSampleBank(image, m_strFolder + "\\SB2400.TXT", 16, 12, names, ColourOfFrame));
    View().SetDisplayMode(0);
    Show(m_strFolder);
    ASSERT_EQ(600 + 2, List().GetCount());
    ASSERT_EQ(kFrames, List().m_bank.Frames());

    auto framesShown = [&](bool wantDrawn) {
        List().Invalidate();
        List().UpdateWindow();
        int checked = 0;
        for (const auto& [shown, colour] : ShownPictures(List(), m_app->m_nListItemHeight)) {
            if (shown.size() != 6 || shown[0] != 'p')
                continue; // the bank's own files
            int k = std::atoi(shown.c_str() + 1);
            if (wantDrawn)
                EXPECT_EQ(ColourOfFrame(k), colour) << shown;
            else
                EXPECT_NE(ColourOfFrame(k), colour) << shown;
            ++checked;
        }
        return checked;
    };
    // The first page and the last one: every frame from its own band of the file.
    List().SetTopIndex(0);
    EXPECT_GT(framesShown(true), 20);
    List().SetTopIndex(List().GetCount() - 1);
    EXPECT_GT(framesShown(true), 20);
    EXPECT_FALSE(ShownPictures(List(), m_app->m_nListItemHeight).empty());
    EXPECT_LE(List().m_bank.MappedBytes(), uint64_t(24) << 20);

    // The bank cut to half its frames while shown: the last page shows no samples, the first still does. The
    // platform refuses to cut a mapped file; then the lists let go of it, as a sample run makes them, and the
    // cut bank is opened again at the next paint.
    const uint64_t half = 54 + uint64_t(kFrames / 2) * 48 * 12;
    auto cutBank = [&]() {
        fovea::ScopedFile cut(CreateFileA(image, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(half);
        return cut && SetFilePointerEx(cut.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(cut.get());
    };
    if (!cutBank()) {
        CFileListBox::SetBanksAside();
        ASSERT_TRUE(cutBank());
    }
    EXPECT_GT(framesShown(false), 20);
    EXPECT_EQ(kFrames / 2, List().m_bank.Frames());
    List().SetTopIndex(0);
    EXPECT_GT(framesShown(true), 20);
}

TEST_F(SampleStore, ThePreviewCallIsUsedOnlyWhenItCoversTheSample)
{
    ScratchFolder plugins("samples-plugins");
    ASSERT_TRUE(CopyFileA(TestPluginFolder() + "\\TESTPVW.SPI", plugins / "IFJPEG.SPI", FALSE));
    CSampleCreateDlg dialog;
    dialog.LoadPlugins(plugins.Path());
    ASSERT_GE(dialog.FindPlugin("PVW"), 0);

    struct Case {
        uint8_t width, height;
        COLORREF colour;
    } cases[] = {
        {100, 80, kGreen}, {80, 60, kGreen}, {79, 200, kRed}, {200, 59, kRed}, {0, 0, kRed},
    };
    for (const Case& c : cases) {
        CString picture = m_strFolder + "\\p.pvw", sample = m_strFolder + "\\p.SMP";
        ASSERT_TRUE(WriteText(picture, std::string{char(c.width), char(c.height)}));
        EXPECT_EQ(CSampleCreateDlg::kSampleMade, dialog.MakeSample(picture, sample, "pvw"));
        CDib made;
        ASSERT_TRUE(made.LoadFile(sample));
        EXPECT_EQ(80, made.GetWidth());
        EXPECT_EQ(60, made.GetHeight());
        EXPECT_EQ(c.colour, FrameColour(made, 0)) << int(c.width) << " x " << int(c.height);
    }
}

} // namespace
