// The folder tree on a scratch folder tree: drive roots, filling and state marks, paths of nested items
// (with Shift-JIS names whose trail byte is a backslash), opening along a removed path, presses.
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace test_support;

class DirTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(IsFolder(m_strRoot));
        // root\b, root\a\deep, root\表\ソ, root\files (files only), root\empty
        for (const char* sub : {"\\b", "\\a", "\\a\\deep", "\\表", "\\表\\ソ", "\\files", "\\empty"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + sub, nullptr)) << sub;
        ASSERT_TRUE(WriteText(m_strRoot + "\\files\\x.txt", ""));

        m_app = PaneApp(m_strRoot);

        m_host = CreateHostWindow("FoveaTreeTestHost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 600);
        ASSERT_NE(nullptr, m_host);
        RECT rect = {0, 0, 380, 560};
        ASSERT_TRUE(m_upperList.Create(m_host, 2, RECT{0, 0, 10, 10}));
        ASSERT_TRUE(m_view.Create(m_host, 1, rect));
        m_app->m_pUpperTree = &m_view;
        m_app->m_pUpperList = &m_upperList;
        PumpMessages();
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        m_upperList.DestroyWindow();
        DestroyWindow(m_host);
        PumpMessages();
        m_app.reset();
        // Listing a folder makes it the current one, and the current folder cannot be removed.
        SetCurrentDirectoryA(TempFolder());
    }

    CDirTreeCtrl& Tree() { return m_view.GetTree(); }
    HTREEITEM Open(const CString& path)
    {
        HTREEITEM item = Tree().ExpandToPath(path);
        PumpMessages();
        return item;
    }
    std::vector<CString> ChildTexts(HTREEITEM item)
    {
        std::vector<CString> texts;
        for (HTREEITEM c = Tree().GetChildItem(item); c; c = Tree().GetNextSiblingItem(c))
            texts.push_back(Tree().GetItemText(c));
        return texts;
    }
    // Sends a press (and optionally the double click that follows) at the centre of the item's text.
    void Press(HTREEITEM item, bool doubleClick)
    {
        POINT centre = {};
        ASSERT_TRUE(ItemCentre(Tree(), item, centre));
        LPARAM at = MAKELPARAM(centre.x, centre.y);
        Tree().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Tree().SendMessage(WM_LBUTTONUP, 0, at);
        if (doubleClick) {
            Tree().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            Tree().SendMessage(WM_LBUTTONUP, 0, at);
        }
        PumpMessages();
    }

    ScratchFolder m_scratch{"tree"};
    const CString m_strRoot = m_scratch.Path();
    std::unique_ptr<CFoveaApp> m_app;
    HWND m_host = nullptr;
    CFileView m_upperList;
    CDirView m_view;
};

TEST_F(DirTree, OneRootPerDriveEntryWithItsTypeImages)
{
    ASSERT_GT(m_app->m_astrDrives.GetSize(), 0);
    HTREEITEM root = Tree().GetRootItem();
    for (int i = 0; i < m_app->m_astrDrives.GetSize(); ++i, root = Tree().GetNextSiblingItem(root)) {
        ASSERT_NE(nullptr, root) << i;
        const CString& entry = m_app->m_astrDrives[i];
        EXPECT_EQ(entry, Tree().GetItemText(root));
        int image = -1, selected = -1, wantImage = -1, wantSelected = -1;
        ASSERT_TRUE(Tree().GetItemImage(root, image, selected));
        CDirTreeCtrl::RootImages(entry.GetAt(0), wantImage, wantSelected);
        EXPECT_EQ(wantImage, image) << entry.c_str();
        EXPECT_EQ(wantSelected, selected) << entry.c_str();
        // The start drive is open and selected; the others closed with the plus mark.
        bool start = CFoveaApp::DriveOfEntry(entry) == m_app->m_strStartDrive;
        EXPECT_EQ(start ? CDirTreeCtrl::kStateOpen : CDirTreeCtrl::kStateClosed, Tree().GetStateIndex(root));
        if (start) {
            EXPECT_EQ(root, Tree().GetSelectedItem());
        }
    }
    EXPECT_EQ(nullptr, root);
}

TEST_F(DirTree, RootImagesByDriveType)
{
    struct Case {
        char type;
        int image, selected;
    } cases[] = {{'2', 3, 6}, {'3', 2, 5}, {'4', 2, 5}, {'5', 4, 7}, {'6', 0, 0}, {'0', 0, 0}};
    for (const Case& c : cases) {
        int image = -1, selected = -1;
        CDirTreeCtrl::RootImages(c.type, image, selected);
        EXPECT_EQ(c.image, image) << c.type;
        EXPECT_EQ(c.selected, selected) << c.type;
    }
}

TEST_F(DirTree, FillSortsSubfoldersAndMarksThem)
{
    HTREEITEM root = Open(m_strRoot);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(m_strRoot, Tree().GetSelectedPath());
    std::vector<CString> texts = ChildTexts(root);
    std::vector<CString> want = {"a", "b", "empty", "files", "表"};
    EXPECT_EQ(want, texts);
    struct Mark {
        const char* name;
        int state;
    } marks[] = {{"a", 2}, {"b", 1}, {"empty", 1}, {"files", 1}, {"表", 2}};
    for (const Mark& m : marks) {
        HTREEITEM child = Tree().FindChild(root, m.name);
        ASSERT_NE(nullptr, child) << m.name;
        EXPECT_EQ(m.state, Tree().GetStateIndex(child)) << m.name;
        int image = -1, selected = -1;
        Tree().GetItemImage(child, image, selected);
        EXPECT_EQ(0, image);
        EXPECT_EQ(1, selected);
    }
    EXPECT_EQ(nullptr, Tree().FindChild(root, "A"));
    EXPECT_EQ(Tree().FindChild(root, "a"), Tree().FindChild(root, "A", true));
}

TEST_F(DirTree, DoubleClickOpensAndClosesAFolderWithSubfolders)
{
    HTREEITEM root = Open(m_strRoot);
    HTREEITEM a = Tree().FindChild(root, "a");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(nullptr, Tree().GetChildItem(a)); // not read before it is opened
    Press(a, true);
    EXPECT_EQ(CDirTreeCtrl::kStateOpen, Tree().GetStateIndex(a));
    EXPECT_EQ(std::vector<CString>{"deep"}, ChildTexts(a));
    EXPECT_TRUE(Tree().GetItemState(a, TVIS_EXPANDED) & TVIS_EXPANDED);
    Press(a, true);
    EXPECT_EQ(CDirTreeCtrl::kStateClosed, Tree().GetStateIndex(a));
    EXPECT_FALSE(Tree().GetItemState(a, TVIS_EXPANDED) & TVIS_EXPANDED);

    // A folder holding only files keeps the blank mark and does not open.
    HTREEITEM files = Tree().FindChild(root, "files");
    Press(files, true);
    EXPECT_EQ(CDirTreeCtrl::kStateNoSubfolder, Tree().GetStateIndex(files));
    EXPECT_EQ(nullptr, Tree().GetChildItem(files));
    EXPECT_EQ(m_strRoot + "\\files", m_upperList.GetFolder());
}

TEST_F(DirTree, PathsOfNestedItemsWithShiftJisNames)
{
    HTREEITEM so = Open(m_strRoot + "\\表\\ソ");
    ASSERT_NE(nullptr, so);
    EXPECT_EQ("ソ", Tree().GetItemText(so));
    EXPECT_EQ(m_strRoot + "\\表\\ソ", Tree().GetSelectedPath());
    HTREEITEM hyo = Tree().GetParentItem(so);
    EXPECT_EQ(CDirTreeCtrl::kStateOpen, Tree().GetStateIndex(hyo));
    EXPECT_EQ(m_strRoot + "\\表", Tree().GetItemPath(hyo));
    // Opening the leaf itself marks it open only if it has children; ソ has none.
    EXPECT_EQ(CDirTreeCtrl::kStateNoSubfolder, Tree().GetStateIndex(so));

    // A bare drive and a trailing backslash select the root.
    HTREEITEM root = Open(m_strRoot.Left(2) + "\\");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(nullptr, Tree().GetParentItem(root));
    EXPECT_EQ(m_strRoot.Left(2), Tree().GetSelectedPath());
}

TEST_F(DirTree, RemovedFolderStopsAtTheLastFolderFound)
{
    ASSERT_NE(nullptr, Open(m_strRoot + "\\a\\deep"));
    ASSERT_TRUE(RemoveDirectoryA(m_strRoot + "\\a\\deep"));
    int countBefore = Tree().GetCount();
    HTREEITEM item = Open(m_strRoot + "\\a\\deep\\gone");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(m_strRoot + "\\a", Tree().GetSelectedPath());
    EXPECT_EQ(nullptr, Tree().GetChildItem(item));
    EXPECT_EQ(countBefore - 1, Tree().GetCount()); // only the removed folder left the tree
    // A drive that is not in the list changes nothing.
    EXPECT_EQ(nullptr, Open("@:\\x"));
    EXPECT_EQ(item, Tree().GetSelectedItem());
}

TEST_F(DirTree, PressShowsTheFolderInThePairedList)
{
    HTREEITEM root = Open(m_strRoot);
    HTREEITEM b = Tree().FindChild(root, "b");
    ASSERT_NE(nullptr, b);
    Press(b, false);
    EXPECT_EQ(b, Tree().GetSelectedItem());
    EXPECT_EQ(m_strRoot + "\\b", m_upperList.GetFolder());
    EXPECT_EQ(&Tree(), m_app->m_pDragSource);
    // A press below the last item keeps the selection and the list.
    RECT client = Tree().GetClientRect();
    Tree().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, client.bottom - 2));
    PumpMessages();
    EXPECT_EQ(b, Tree().GetSelectedItem());
    EXPECT_EQ(m_strRoot + "\\b", m_upperList.GetFolder());
    // The drop helper selects the folder under a view point without telling the list.
    POINT p = {};
    ASSERT_TRUE(ItemCentre(Tree(), Tree().FindChild(root, "a"), p));
    MapWindowPoints(Tree().m_hWnd, m_view.m_hWnd, &p, 1);
    EXPECT_EQ(m_strRoot + "\\a", m_view.SelectFolderAt(p));
    EXPECT_EQ(m_strRoot + "\\b", m_upperList.GetFolder());
}

TEST_F(DirTree, TreeFontIsSentToTheControl)
{
    HFONT font = HFONT(GetStockObject(ANSI_FIXED_FONT));
    m_view.SetTreeFont(font);
    EXPECT_EQ(font, m_view.GetTreeFont());
    EXPECT_EQ(font, HFONT(Tree().SendMessage(WM_GETFONT)));
}

} // namespace
