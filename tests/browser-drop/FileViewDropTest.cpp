// Drops on the file list view with a real window and scratch folders: the dropped files and folders are
// copied into the folder the list shows and appear in it; a drop back into the list the drag came from does
// nothing, while one from another program after a press on the list is still copied.
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "browser/FileView.h"
#include "fileops/PathNames.h"
#include "ole/DragSource.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestDataObject.h"

namespace {

using namespace test_support;

class FileViewDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartOle());
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        SetCurrentDirectoryA(TempFolder());
        ASSERT_TRUE(IsFolder(m_strRoot));
        for (const char* sub : {"\\src", "\\src\\sub", "\\dst"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + sub, nullptr)) << sub;
        m_strLongName = CString(std::string(130, 'n')) + ".dat";
        ASSERT_TRUE(WriteText(m_strRoot + "\\src\\a.txt", "A"));
        ASSERT_TRUE(WriteText(m_strRoot + "\\src\\sub\\b.txt", "B"));
        ASSERT_TRUE(WriteText(m_strRoot + "\\src\\" + m_strLongName, "N"));

        m_app = PaneApp(m_strRoot);
        ASSERT_TRUE(m_view.Create(nullptr, 0, RECT{0, 0, 600, 400}, WS_POPUP));
        m_app->m_pUpperList = &m_view;
        ASSERT_TRUE(m_view.m_dropTarget.IsRegistered());
        m_view.ShowFolder(m_strRoot + "\\dst");
        PumpMessages();
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        PumpMessages();
        m_app.reset();
        SetCurrentDirectoryA("C:\\"); // the listed folder is the current one, which cannot be removed
    }

    DWORD Drop(const std::vector<CString>& list)
    {
        CStringArray paths;
        for (const CString& path : list)
            paths.Add(path);
        TestDataObject* data = TestDataObject::ForPaths(paths);
        POINT p = {50, 50};
        ClientToScreen(m_view.m_hWnd, &p);
        POINTL at = {p.x, p.y};
        IDropTarget* target = &m_view.m_dropTarget;
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragEnter(data, MK_LBUTTON, at, &effect);
        EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(S_OK, target->Drop(data, 0, at, &effect));
        PumpMessages();
        data->Release();
        return effect;
    }
    std::vector<std::string> ListedNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < m_view.m_wndList.GetCount(); ++i)
            names.push_back(m_view.m_wndList.GetItemFileName(i).str());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder m_scratch{"listdrop"};
    const CString m_strRoot = m_scratch.Path();
    CString m_strLongName;
    std::unique_ptr<CFoveaApp> m_app;
    CFileView m_view;
};

TEST_F(FileViewDrop, DroppedFilesAndFoldersAreCopiedIntoTheFolderShownAndListed)
{
    ASSERT_TRUE(ListedNames().empty());
    DialogAnswerer answerer;
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), Drop({m_strRoot + "\\src\\a.txt", m_strRoot + "\\src\\sub",
                                            m_strRoot + "\\src\\" + m_strLongName, m_strRoot + "\\gone"}));
    EXPECT_EQ(0u, answerer.Count());
    EXPECT_EQ("A", ReadText(m_strRoot + "\\dst\\a.txt"));
    EXPECT_EQ("B", ReadText(m_strRoot + "\\dst\\sub\\b.txt"));
    EXPECT_EQ("N", ReadText(m_strRoot + "\\dst\\" + m_strLongName));
    // The list was read again and shows what arrived.
    std::vector<std::string> names = ListedNames();
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "a.txt"));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "sub"));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), m_strLongName.str()));
}

TEST_F(FileViewDrop, AWideDropFromAnotherProgramArrivesWholeWhateverItsNames)
{
    // What Explorer drops: UTF-16 paths, here a folder and a file the code page cannot spell.
    const std::wstring root = fovea::WideOf(m_strRoot);
    const std::wstring folder = root + L"\\src\\\uD55C\u00E9", file = root + L"\\src\\caf\u00E9.txt";
    ASSERT_TRUE(MakeNamesTree(folder));
    ASSERT_TRUE(WriteWideFile(file, "accented"));
    const std::u16string paths[] = {std::u16string(folder.begin(), folder.end()),
                                    std::u16string(file.begin(), file.end())};
    TestDataObject* data = TestDataObject::ForWidePaths(paths, 2);
    IDropTarget* target = &m_view.m_dropTarget;
    POINTL at = {0, 0};
    DWORD effect = DROPEFFECT_COPY;
    DialogAnswerer answerer;
    target->DragEnter(data, MK_LBUTTON, at, &effect);
    EXPECT_EQ(S_OK, target->Drop(data, 0, at, &effect));
    PumpMessages();
    data->Release();
    EXPECT_EQ(WideTreeOf(folder), WideTreeOf(root + L"\\dst\\\uD55C\u00E9"));
    EXPECT_EQ(WideTreeOf(root + L"\\src", L"").at(L"caf\u00E9.txt"), WideTreeOf(root + L"\\dst").at(L"caf\u00E9.txt"));
    EXPECT_EQ(0u, answerer.Count());
}

TEST_F(FileViewDrop, ADropOnTheListTheDragCameFromDoesNothing)
{
    // Inside one of our drag loops (a press that became a drag), a drop on the source list is ignored.
    m_view.ShowFolder(m_strRoot + "\\src");
    PumpMessages();
    ShowWindow(m_view.m_hWnd, SW_SHOW);
    SetWindowPos(m_view.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(m_view.m_hWnd);
    POINT p = {300, 200};
    ClientToScreen(m_view.m_hWnd, &p);
    ASSERT_TRUE(SetCursorPos(p.x, p.y));
    PumpMessages();
    HWND under = WindowFromPoint(p);
    if (under != m_view.m_hWnd && !IsChild(m_view.m_hWnd, under))
        GTEST_SKIP() << "another window covers the test window";
    CStringArray paths;
    paths.Add(m_strRoot + "\\src\\sub\\b.txt"); // would land in src if the drop were taken
    DropAtOnceSource source;
    m_app->m_pDragSource = &m_view.m_wndList;
    DialogAnswerer answerer;
    fovea::RunFileDrag(paths, &source);
    PumpMessages();
    EXPECT_EQ(nullptr, m_app->m_pDragSource);
    EXPECT_EQ((std::vector<std::string>{"a.txt", m_strLongName.str(), "sub"}), Names(m_strRoot + "\\src"));
    EXPECT_EQ(0u, answerer.Count());

    // Outside a drag loop the list recorded by an earlier press is no reason to refuse a drop.
    m_view.ShowFolder(m_strRoot + "\\dst");
    m_app->m_pDragSource = &m_view.m_wndList;
    Drop({m_strRoot + "\\src\\a.txt"});
    EXPECT_EQ("A", ReadText(m_strRoot + "\\dst\\a.txt"));
}

} // namespace
