// The file command strip on real folders with its dialogs answered: which items each command takes (the
// selection, else the caret item, never item 0 for a delete), what it does to the files, where the caret goes
// after the folder is listed again, and the view pane's focus.
#include "ListFixture.h"

#include <algorithm>

#include "fileops/FileOps.h"
#include "fileops/PathNames.h"
#include "framework/ShiftJis.h"
#include "image/FoveaView.h"
#include "res/resource.h"

using namespace listtest;

namespace {

enum FileButton { kRefresh = 0, kDelete = 1, kMask = 4, kNewFolder = 7, kShortcuts = 8, kRename = 9, kAttributes = 10 };

const std::vector<std::string> kDeleteQuestion = {"選択ファイル、フォルダをすべて削除します。", "よろしいですか。", "",
                                                  "", ""};

class FileCommands : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        ASSERT_TRUE(m_pane.Create(m_host, 3, RECT{0, 0, 50, 50}));
        m_app->m_pPicView = &m_pane;
        for (const char* folder : {"Alpha", "beta", "beta\\inner"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + "\\" + folder, nullptr));
        for (const char* file : {"one.txt", "two.txt", "three.bmp", "beta\\inner\\deep.txt"})
            ASSERT_TRUE(MakeFile(m_strRoot + "\\" + file, 5));
        List().SetPath(m_strRoot);
        PumpMessages();
    }
    void TearDown() override
    {
        m_app->m_pPicView = nullptr;
        m_pane.DestroyWindow();
        ListFixture::TearDown();
    }
    void Press(int button) { Command(CFileView::kFileBarId, button, &m_view.m_wndFileBar); }
    void Select(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            int i = IndexOf(name);
            ASSERT_GE(i, 0) << name;
            List().SetSel(i, true);
        }
    }
    CString CaretName()
    {
        return List().GetCaretIndex() >= 0 ? List().GetItemFileName(List().GetCaretIndex()) : "<none>";
    }
    CString Path(const char* name) { return m_strRoot + "\\" + name; }

    CFoveaView m_pane;
};

TEST_F(FileCommands, DeleteErasesTheSelectionButNeverItemZeroThroughTheCaret)
{
    {
        // Declined: nothing erased, and the focus not taken to the view pane.
        SetFocus(List().m_hWnd);
        Select({"one.txt"});
        DialogAnswerer answerer({IDCANCEL});
        Press(kDelete);
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ(kDeleteQuestion, answerer.Lines(0));
        EXPECT_TRUE(Exists(Path("one.txt")));
        EXPECT_NE(m_pane.GetDisplayWindow(), GetFocus());
    }
    {
        // No selection, caret on item 0: asked, then nothing erased.
        List().SetSel(-1, false);
        List().SetCaretIndex(0, true);
        DialogAnswerer answerer({IDOK});
        Press(kDelete);
        EXPECT_EQ(1u, answerer.Count());
        EXPECT_EQ((std::vector<CString>{"Alpha", "beta", "three.bmp", "one.txt", "two.txt"}), Names());
        EXPECT_EQ(m_pane.GetDisplayWindow(), GetFocus());
    }
    {
        // The caret item above 0, no selection.
        List().SetCaretIndex(IndexOf("two.txt"), true);
        DialogAnswerer answerer({IDOK});
        Press(kDelete);
        EXPECT_FALSE(Exists(Path("two.txt")));
    }
    {
        // A folder tree and a file, selected: both erased, nothing reported.
        Select({"beta", "three.bmp"});
        DialogAnswerer answerer({IDOK});
        Press(kDelete);
        EXPECT_EQ(1u, answerer.Count());
        EXPECT_FALSE(Exists(Path("beta")));
        EXPECT_FALSE(Exists(Path("three.bmp")));
        EXPECT_EQ((std::vector<CString>{"Alpha", "one.txt"}), Names());
        EXPECT_EQ(0, List().GetSelCount());
    }
}

TEST_F(FileCommands, DeleteReportsWhatCouldNotBeErased)
{
    ASSERT_TRUE(MakeFile(Path("beta\\locked.txt")));
    ASSERT_TRUE(SetFileAttributesA(Path("beta\\locked.txt"), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(Path("one.txt"), FILE_ATTRIBUTE_READONLY));
    Select({"beta", "one.txt", "two.txt"});
    DialogAnswerer answerer({IDOK, IDOK});
    Press(kDelete);
    ASSERT_EQ(2u, answerer.Count());
    EXPECT_EQ((std::vector<std::string>{"削除できなかったファイル、フォルダがあります。", "beta", "one.txt", "", ""}),
              answerer.Lines(1));
    // Everything else went: the read-only file keeps only its own folder.
    EXPECT_FALSE(Exists(Path("two.txt")));
    EXPECT_FALSE(Exists(Path("beta\\inner")));
    EXPECT_TRUE(Exists(Path("beta\\locked.txt")));
    SetFileAttributesA(Path("beta\\locked.txt"), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(Path("one.txt"), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileCommands, MaskOffersTheSortedPatternsAndFiltersFilesOnly)
{
    std::vector<std::string> offered;
    DialogAnswerer::Answer pick(IDOK, {{IDC_MASK_COMBO, "*.TXT"}});
    pick.action = [&offered](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_MASK_COMBO);
        for (int i = 0; i < int(SendMessageA(combo, CB_GETCOUNT, 0, 0)); ++i) {
            char text[32] = {};
            SendMessageA(combo, CB_GETLBTEXT, i, LPARAM(text));
            offered.push_back(text);
        }
    };
    {
        DialogAnswerer answerer({pick});
        Press(kMask);
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ("マスク指定ダイアログ", answerer.Dialogs()[0].caption);
        EXPECT_EQ("*.*", answerer.Dialogs()[0].texts.at(IDC_MASK_COMBO));
    }
    EXPECT_EQ((std::vector<std::string>{"*.*", "*.BMP", "*.DOC", "*.GIF", "*.JPEG", "*.JPG", "*.TXT"}), offered);
    EXPECT_EQ((std::vector<CString>{"Alpha", "beta", "one.txt", "two.txt"}), Names());
    {
        // A pattern that reaches into another folder is refused; キャンセル changes nothing either.
        DialogAnswerer answerer({{IDOK, {{IDC_MASK_COMBO, "..\\*.*"}}}, IDOK, IDCANCEL});
        Press(kMask);
        Press(kMask);
        ASSERT_EQ(3u, answerer.Count());
        EXPECT_EQ("マスクにフォルダは指定できません。", answerer.Lines(1).at(0));
        EXPECT_EQ("*.TXT", answerer.Dialogs()[2].texts.at(IDC_MASK_COMBO));
    }
    EXPECT_EQ("*.TXT", List().m_strMask);
    EXPECT_EQ((std::vector<CString>{"Alpha", "beta", "one.txt", "two.txt"}), Names());
}

TEST_F(FileCommands, NewFolderPutsTheCaretOnItEvenWhenItExisted)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        DialogAnswerer answerer({IDOK});
        Press(kNewFolder);
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ("名前未定義フォルダ", answerer.Dialogs()[0].texts.at(IDC_TEXT_EDIT));
        EXPECT_TRUE(IsFolder(Path("名前未定義フォルダ")));
        EXPECT_EQ("名前未定義フォルダ", CaretName());
        EXPECT_EQ(m_pane.GetDisplayWindow(), GetFocus());
    }
    {
        DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, "photos"}}}, IDCANCEL});
        Press(kNewFolder);
        EXPECT_TRUE(IsFolder(Path("photos")));
        EXPECT_EQ("photos", CaretName());
        Press(kNewFolder);
        EXPECT_EQ(std::vector<std::string>(
                      {"Alpha", "beta", "one.txt", "photos", "three.bmp", "two.txt", "名前未定義フォルダ"}),
                  test_support::Names(m_strRoot));
    }
}

TEST_F(FileCommands, ShortcutsAskBeforeReplacingALinkToAnotherFile)
{
    ASSERT_TRUE(StartOle());
    ASSERT_TRUE(MakeFile(Path("photo.jpg")));
    ASSERT_TRUE(MakeFile(Path("photo.bmp")));
    List().Refresh();
    Select({"photo.jpg", "photo.bmp"});
    CString target, folder, arguments, description;
    {
        // Sorted by extension, photo.jpg comes after photo.bmp: its link would replace photo.bmp's.
        DialogAnswerer answerer({IDOK});
        Press(kShortcuts);
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ((std::vector<std::string>{"既にコピー先に同名のファイルが存在します", "上書きしますか？", "photo.LNK",
                                            "", ""}),
                  answerer.Lines(0));
    }
    ASSERT_TRUE(
        SUCCEEDED(CFileOps().ResolveShortcut(nullptr, Path("photo.LNK"), target, folder, arguments, description)));
    EXPECT_EQ("photo.jpg shortcut", description);
    EXPECT_EQ(m_strRoot, folder);
    char full[MAX_PATH] = {};
    GetLongPathNameA(target, full, MAX_PATH);
    EXPECT_EQ(Path("photo.jpg"), CString(full));
    EXPECT_EQ("photo.LNK", CaretName());
    EXPECT_EQ(m_pane.GetDisplayWindow(), GetFocus());

    const struct {
        const char* item;
        int answer;
        size_t questions;
    } rounds[] = {
        {"photo.jpg", IDCANCEL, 0}, // the link to the same file is made again without a question
        {"photo.bmp", IDCANCEL, 1}, // the link to photo.jpg is kept
        {"photo.LNK", IDCANCEL, 0}, // a link is never made over the link it is made for
    };
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.item);
        List().SetSel(-1, false);
        List().SetCaretIndex(IndexOf(round.item), true);
        DialogAnswerer answerer({round.answer});
        Press(kShortcuts);
        EXPECT_EQ(round.questions, answerer.Count());
        description.Empty();
        CFileOps().ResolveShortcut(nullptr, Path("photo.LNK"), target, folder, arguments, description);
        EXPECT_EQ("photo.jpg shortcut", description);
    }
}

TEST_F(FileCommands, NamesLeadingIntoAnotherFolderAreRefusedWithAMessage)
{
    const std::vector<std::string> before = test_support::Names(m_strRoot);
    for (const char* name : {"beta\\made", "beta/made", "..\\made", "C:made"}) {
        SCOPED_TRACE(name);
        {
            DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, name}}}, IDOK});
            Press(kNewFolder);
            ASSERT_EQ(2u, answerer.Count());
            EXPECT_EQ("名前にフォルダは指定できません。", answerer.Lines(1)[0]);
        }
        {
            List().SetSel(-1, false);
            List().SetCaretIndex(IndexOf("one.txt"), true);
            DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, name}}}, IDOK});
            Press(kRename);
            ASSERT_EQ(2u, answerer.Count());
            EXPECT_EQ(name, answerer.Lines(1)[1]);
        }
        EXPECT_EQ(before, test_support::Names(m_strRoot));
        EXPECT_EQ(std::vector<std::string>{"inner"}, test_support::Names(Path("beta")));
    }
}

TEST_F(FileCommands, RenameAsksOncePerItemAndACancelSkipsThatItemOnly)
{
    Select({"three.bmp", "one.txt", "two.txt"});
    DialogAnswerer answerer({{IDOK, {{IDC_TEXT_EDIT, "first.bmp"}}},
                             {IDCANCEL, {{IDC_TEXT_EDIT, "second.txt"}}},
                             {IDOK, {{IDC_TEXT_EDIT, "third.txt"}}}});
    Press(kRename);
    ASSERT_EQ(3u, answerer.Count());
    const char* offered[] = {"three.bmp", "one.txt", "two.txt"};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(offered[i], answerer.Dialogs()[i].texts.at(IDC_TEXT_EDIT));
    EXPECT_EQ(std::vector<std::string>({"Alpha", "beta", "first.bmp", "one.txt", "third.txt"}),
              test_support::Names(m_strRoot));
    EXPECT_EQ("third.txt", CaretName());

    // A name that exists already: refused without a word, the list shows both as they were.
    ASSERT_TRUE(WriteText(Path("one.txt"), "one"));
    List().SetCaretIndex(IndexOf("one.txt"), true);
    DialogAnswerer again({{IDOK, {{IDC_TEXT_EDIT, "third.txt"}}}});
    Press(kRename);
    EXPECT_EQ(1u, again.Count());
    EXPECT_EQ("xxxxx", ReadText(Path("third.txt")));
    EXPECT_EQ("one", ReadText(Path("one.txt")));
    EXPECT_EQ("third.txt", CaretName());
}

TEST_F(FileCommands, AttributesRunOverTheSelectionAndEndOnTheLastItem)
{
    ASSERT_TRUE(SetFileAttributesA(Path("one.txt"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    List().Refresh();
    Select({"one.txt", "two.txt"});
    DialogAnswerer answerer({{IDOK, {}, {{IDC_READ_ONLY, 0}, {IDC_HIDDEN, 0}}}, {IDOK, {}, {{IDC_HIDDEN, 1}}}});
    Press(kAttributes);
    ASSERT_EQ(2u, answerer.Count());
    EXPECT_EQ((std::map<int, int>{{IDC_READ_ONLY, 1}, {IDC_HIDDEN, 1}}), answerer.Dialogs()[0].checks);
    EXPECT_EQ((std::map<int, int>{{IDC_READ_ONLY, 0}, {IDC_HIDDEN, 0}}), answerer.Dialogs()[1].checks);
    EXPECT_EQ(0u, GetFileAttributesA(Path("one.txt")) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_NE(0u, GetFileAttributesA(Path("two.txt")) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(List().GetCount() - 1, List().GetCaretIndex());
    EXPECT_EQ(m_pane.GetDisplayWindow(), GetFocus());
}

TEST_F(FileCommands, ParentOfASystemFolderFindsItAgain)
{
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    CString system = CString(windows) + "\\system";
    ASSERT_TRUE(IsFolder(system));
    List().SetPath(system);
    Command(CFileView::kNavBarId, 1, &m_view.m_wndNavBar);
    EXPECT_EQ(CString(windows), List().m_strPath);
    EXPECT_EQ(0, _stricmp("system", CaretName()));
    Command(CFileView::kNavBarId, 1, &m_view.m_wndNavBar);
    EXPECT_EQ(CString(windows).Left(2), List().m_strPath);
}

} // namespace

namespace {

TEST_F(FileCommands, NamesBeyondShiftJisAreListedReachablyAndADeleteTakesTheChosenTwinOnly)
{
    const std::wstring folder = fovea::WideOf(m_strRoot) + L"\\names";
    ASSERT_TRUE(MakeNamesTree(folder));
    const std::map<std::wstring, std::string> before = WideTreeOf(folder);
    List().SetPath(m_strRoot + "\\names");
    PumpMessages();
    // Every entry listed, none under a "?" spelling, and é never as e: "cafe.txt" is listed once.
    std::vector<CString> names = Names();
    EXPECT_EQ(std::size(kNamesTreeFiles) - 4 + 2, names.size()); // four files lie in the two folders
    for (const CString& name : names)
        EXPECT_LT(name.Find('?'), 0) << name.c_str();
    EXPECT_EQ(1, std::count(names.begin(), names.end(), CString("cafe.txt")));

    // The café.txt item: its short name, and a delete of it erases café.txt alone.
    CString cafe;
    ASSERT_TRUE(fovea::ReachablePathOf(folder + L"\\caf\u00E9.txt", cafe));
    CString cafeName = CString(fovea::PathFileName(cafe.str()));
    Select({cafeName.c_str()});
    {
        DialogAnswerer answerer({IDOK});
        Press(kDelete);
        EXPECT_EQ(1u, answerer.Count());
    }
    std::map<std::wstring, std::string> expected = before;
    expected.erase(L"caf\u00E9.txt");
    EXPECT_EQ(expected, WideTreeOf(folder));

    // Where the file system keeps no short name the entry is listed marked, and a delete refuses it by name.
    fovea::UseShortNames(false);
    List().Refresh();
    CDirTreeCtrl& tree = m_tree.GetTree();
    HTREEITEM marked = tree.FindChild(tree.ExpandToPath(m_strRoot + "\\names"), "〓〓");
    fovea::UseShortNames(true);
    // The folder tree too: the marked folder is refused by name and the list stays where it was.
    ASSERT_NE(nullptr, marked);
    EXPECT_FALSE(tree.IsReachable(marked));
    tree.SelectItem(marked);
    {
        DialogAnswerer answerer({IDOK});
        m_tree.SendMessage(WM_APP_BARCOMMAND, 0, 0);
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ("〓〓", answerer.Lines(0)[1]);
        EXPECT_EQ(m_strRoot + "\\names", List().m_strPath);
    }
    int korean = IndexOf("〓〓〓.txt");
    ASSERT_GE(korean, 0);
    EXPECT_EQ(0, List().IsReachableItem(korean));
    EXPECT_EQ(1, List().IsReachableItem(IndexOf("cafe.txt")));
    List().SetSel(korean, true);
    List().SetSel(IndexOf("plain.txt"), true);
    {
        DialogAnswerer answerer({IDOK, IDOK});
        Press(kDelete);
        ASSERT_EQ(2u, answerer.Count());
        EXPECT_EQ(
            (std::vector<std::string>{"Shift-JISで書けず短い名前もないため扱えません：", "〓〓〓.txt", "", "", ""}),
            answerer.Lines(1));
    }
    expected.erase(L"plain.txt");
    EXPECT_EQ(expected, WideTreeOf(folder));
    RemoveWideTree(folder);
}

} // namespace
