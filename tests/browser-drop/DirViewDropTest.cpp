// Drops on the folder tree through its drop target, called as the platform calls it, with a real window and
// scratch folders: files and folder trees copied into the folder under the point at full path length, the
// overwrite question, and the drops that must do nothing (below the last item, on the tree the drag came
// from, a folder into itself).
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "browser/DirView.h"
#include "ole/DragSource.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestDataObject.h"

namespace {

using namespace test_support;

class DirViewDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartOle());
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        SetCurrentDirectoryA(TempFolder());
        ASSERT_TRUE(IsFolder(m_strRoot));
        // root\src (a.txt, 表.txt, sub\b.txt, sub\deep\c.txt, a long-named file), root\dst, root\zz
        for (const char* sub : {"\\src", "\\src\\sub", "\\src\\sub\\deep", "\\dst", "\\zz"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + sub, nullptr)) << sub;
        m_strLongName = CString(std::string(140, 'L')) + ".txt";
        ASSERT_TRUE(WriteText(Src("a.txt"), "A"));
        ASSERT_TRUE(WriteText(Src("表.txt"), "HYO"));
        ASSERT_TRUE(WriteText(Src("sub\\b.txt"), "B"));
        ASSERT_TRUE(WriteText(Src("sub\\deep\\c.txt"), "C"));
        ASSERT_TRUE(WriteText(Src(m_strLongName), "LONG"));

        m_app = PaneApp(m_strRoot);

        m_host = CreateHostWindow("FoveaDropTestHost", WS_POPUP, 40, 40, 360, 560);
        ASSERT_NE(nullptr, m_host);
        ASSERT_TRUE(m_view.Create(m_host, 1, RECT{0, 0, 340, 540}));
        m_app->m_pUpperTree = &m_view;
        ASSERT_TRUE(m_view.GetDropTarget().IsRegistered());
        ASSERT_NE(nullptr, Tree().ExpandToPath(m_strRoot));
        PumpMessages();
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        DestroyWindow(m_host);
        PumpMessages();
        m_app.reset();
    }

    CDirTreeCtrl& Tree() { return m_view.GetTree(); }
    CString Src(const char* name) const { return m_strRoot + "\\src\\" + name; }
    CString Dst(const char* name) const { return m_strRoot + "\\dst\\" + name; }

    // The view point over the text of the item of path (opened along the way), and the item.
    POINT PointOn(const CString& path, HTREEITEM* itemOut = nullptr)
    {
        HTREEITEM item = Tree().ExpandToPath(path);
        EXPECT_NE(nullptr, item) << path.c_str();
        EXPECT_EQ(path, Tree().GetItemPath(item));
        POINT p = {};
        EXPECT_TRUE(ItemCentre(Tree(), item, p));
        MapWindowPoints(Tree().m_hWnd, m_view.m_hWnd, &p, 1);
        if (itemOut)
            *itemOut = item;
        return p;
    }

    // One drag as the platform runs it: enter, over, drop at the view point; the effect of the drop.
    DWORD DropAt(IDataObject* data, POINT viewPoint)
    {
        ClientToScreen(m_view.m_hWnd, &viewPoint);
        POINTL at = {viewPoint.x, viewPoint.y};
        IDropTarget* target = &m_view.GetDropTarget();
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, at, &effect));
        EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target->DragOver(MK_LBUTTON, at, &effect));
        EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target->Drop(data, 0, at, &effect));
        PumpMessages();
        return effect;
    }
    DWORD DropPaths(const std::vector<CString>& list, POINT viewPoint)
    {
        CStringArray paths;
        for (const CString& path : list)
            paths.Add(path);
        TestDataObject* data = TestDataObject::ForPaths(paths);
        DWORD effect = DropAt(data, viewPoint);
        EXPECT_EQ(1u, data->Refs());
        data->Release();
        return effect;
    }

    ScratchFolder m_scratch{"drop"};
    const CString m_strRoot = m_scratch.Path();
    CString m_strLongName;
    std::unique_ptr<CFoveaApp> m_app;
    HWND m_host = nullptr;
    CDirView m_view;
};

TEST_F(DirViewDrop, FilesAndFolderTreesAreCopiedIntoTheFolderUnderThePoint)
{
    POINT onDst = PointOn(m_strRoot + "\\dst");
    Tree().ExpandToPath(m_strRoot + "\\zz"); // the drop selects the folder it lands on
    DialogAnswerer answerer;
    DWORD effect = DropPaths({Src("a.txt"), Src("sub"), Src("表.txt"), Src(m_strLongName), Src("gone.txt")}, onDst);
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ(m_strRoot + "\\dst", Tree().GetSelectedPath());

    EXPECT_EQ("A", ReadText(Dst("a.txt")));
    EXPECT_EQ("HYO", ReadText(Dst("表.txt")));
    EXPECT_EQ("B", ReadText(Dst("sub\\b.txt")));
    EXPECT_EQ("C", ReadText(Dst("sub\\deep\\c.txt")));
    // The dropped path is far longer than 100 characters and is copied under its whole name.
    ASSERT_GT(Src(m_strLongName).GetLength(), 160);
    EXPECT_EQ("LONG", ReadText(Dst(m_strLongName)));
    std::vector<std::string> want = {std::string(m_strLongName.str()), "a.txt", "sub", "表.txt"};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(want, Names(m_strRoot + "\\dst"));
    // The sources stay where they were: a drop copies.
    EXPECT_EQ("A", ReadText(Src("a.txt")));
    EXPECT_EQ("C", ReadText(Src("sub\\deep\\c.txt")));
}

TEST_F(DirViewDrop, AnExistingFileIsReplacedOnlyAfterOk)
{
    ASSERT_TRUE(WriteText(Dst("a.txt"), "old"));
    POINT onDst = PointOn(m_strRoot + "\\dst");
    {
        DialogAnswerer answerer({IDCANCEL, IDOK});
        DropPaths({Src("a.txt"), Src("sub")}, onDst);
        DropPaths({Src("a.txt")}, onDst);
        ASSERT_EQ(2u, answerer.Count());
        EXPECT_EQ("上書きしますか？", answerer.Lines(0)[1]);
    }
    EXPECT_EQ("A", ReadText(Dst("a.txt")));
    // A declined file does not stop the rest of the list.
    EXPECT_EQ("B", ReadText(Dst("sub\\b.txt")));
}

TEST_F(DirViewDrop, ADropBelowTheLastItemDoesNothing)
{
    HTREEITEM dst = nullptr;
    PointOn(m_strRoot + "\\dst", &dst);
    RECT client = m_view.GetClientRect();
    DWORD effect = DropPaths({Src("a.txt"), Src("sub")}, POINT{10, client.bottom - 3});
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    EXPECT_TRUE(Names(m_strRoot + "\\dst").empty());
    EXPECT_EQ(dst, Tree().GetSelectedItem());
    // Nothing at all was written next to the tree's folders either.
    EXPECT_EQ((std::vector<std::string>{"dst", "src", "zz"}), Names(m_strRoot));
}

TEST_F(DirViewDrop, DataWithoutAFileListCopiesNothing)
{
    TestDataObject* data = new TestDataObject(std::string(), false);
    DialogAnswerer answerer;
    DropAt(data, PointOn(m_strRoot + "\\dst"));
    data->Release();
    EXPECT_TRUE(Names(m_strRoot + "\\dst").empty());
    EXPECT_EQ(0u, answerer.Count());
}

TEST_F(DirViewDrop, AFolderIsNeverCopiedIntoItself)
{
    DialogAnswerer answerer;
    // Onto itself, into its own sub-folder, onto the folder it is in: nothing changes, no empty folder appears.
    DropPaths({m_strRoot + "\\src"}, PointOn(m_strRoot + "\\src"));
    DropPaths({m_strRoot + "\\src"}, PointOn(m_strRoot + "\\src\\sub\\deep"));
    DropPaths({m_strRoot + "\\src"}, PointOn(m_strRoot));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ(4u, Names(m_strRoot + "\\src").size());
    EXPECT_FALSE(Exists(m_strRoot + "\\src\\src"));
    EXPECT_EQ(std::vector<std::string>{"c.txt"}, Names(m_strRoot + "\\src\\sub\\deep"));
    // A sibling whose name begins with the same letters is no sub-folder.
    ASSERT_TRUE(CreateDirectoryA(m_strRoot + "\\src2", nullptr));
    Tree().FillChildren(m_strRoot, Tree().ExpandToPath(m_strRoot));
    DropPaths({m_strRoot + "\\src\\sub"}, PointOn(m_strRoot + "\\src2"));
    EXPECT_EQ("C", ReadText(m_strRoot + "\\src2\\sub\\deep\\c.txt"));
}

TEST_F(DirViewDrop, ADropFromAnotherProgramIsCopiedAfterAPressOnTheTree)
{
    // A press records the tree as the drag source even when no drag follows; a later drop from outside the
    // program is still copied.
    m_app->m_pDragSource = &Tree();
    ASSERT_FALSE(fovea::OwnDragInProgress());
    DropPaths({Src("a.txt")}, PointOn(m_strRoot + "\\dst"));
    EXPECT_EQ("A", ReadText(Dst("a.txt")));
}

TEST_F(DirViewDrop, WidePathsFromOtherProgramsAreCopied)
{
    CString wideSource = m_strRoot + "\\src\\表.txt";
    int units = MultiByteToWideChar(CP_ACP, 0, wideSource, -1, nullptr, 0);
    std::u16string wide(size_t(units - 1), u'\0');
    MultiByteToWideChar(CP_ACP, 0, wideSource, -1, reinterpret_cast<wchar_t*>(&wide[0]), units);
    TestDataObject* data = TestDataObject::ForWidePaths(&wide, 1);
    DropAt(data, PointOn(m_strRoot + "\\dst"));
    data->Release();
    EXPECT_EQ("HYO", ReadText(Dst("表.txt")));
}

} // namespace
