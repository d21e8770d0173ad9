// Real drags of the platform's OLE between folder trees in visible windows: a drag loop that drops at once
// where the pointer stands, and a drag made with the mouse under X (xdotool presses, moves and releases),
// from a folder of one tree onto a folder of the other and back onto the tree it came from.
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "browser/DirView.h"
#include "fileops/PathNames.h"
#include "ole/DragSource.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestDataObject.h"

namespace {

using namespace test_support;

class TreeDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartOle());
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        SetCurrentDirectoryA(TempFolder());
        ASSERT_TRUE(IsFolder(m_strRoot));
        for (const char* sub : {"\\src", "\\src\\sub", "\\dst"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + sub, nullptr)) << sub;
        ASSERT_TRUE(WriteText(m_strRoot + "\\src\\a.txt", "A"));
        ASSERT_TRUE(WriteText(m_strRoot + "\\src\\sub\\b.txt", "B"));

        m_app = PaneApp(m_strRoot);

        // Two trees side by side, on top of every other window, so that the pointer finds them.
        m_host = CreateHostWindow("FoveaDragTestHost", WS_POPUP | WS_VISIBLE, 60, 60, 700, 500, WS_EX_TOPMOST,
                                  HBRUSH(COLOR_WINDOW + 1));
        ASSERT_NE(nullptr, m_host);
        ASSERT_TRUE(m_upper.Create(m_host, 1, RECT{0, 0, 340, 500}));
        ASSERT_TRUE(m_lower.Create(m_host, 2, RECT{360, 0, 700, 500}));
        m_app->m_pUpperTree = &m_upper;
        m_app->m_pLowerTree = &m_lower;
        ASSERT_NE(nullptr, m_upper.GetTree().ExpandToPath(m_strRoot));
        ASSERT_NE(nullptr, m_lower.GetTree().ExpandToPath(m_strRoot));
        UpdateWindow(m_host);
        PumpMessages();
    }
    void TearDown() override
    {
        m_upper.DestroyWindow();
        m_lower.DestroyWindow();
        DestroyWindow(m_host);
        PumpMessages();
        m_app.reset();
    }

    // The screen point over the item of path in the tree of view (its parent is opened, not the item).
    POINT ScreenPointOn(CDirView& view, const CString& path)
    {
        CDirTreeCtrl& tree = view.GetTree();
        HTREEITEM item = tree.ExpandToPath(path);
        EXPECT_NE(nullptr, item) << path.c_str();
        POINT p = {};
        EXPECT_TRUE(ItemCentre(tree, item, p));
        ClientToScreen(tree.m_hWnd, &p);
        return p;
    }
    // Starts a mouse drag from the upper tree at from to the lower tree at to; why it cannot be made here, or
    // empty when it runs.
    std::string StartDragBetweenTrees(POINT from, POINT to);
    // True when the pointer at p would reach the window (nothing else lies on top of it there).
    bool Reaches(POINT p, HWND window) const
    {
        HWND under = WindowFromPoint(p);
        return under == window || IsChild(window, under);
    }

    ScratchFolder m_scratch{"drag"};
    const CString m_strRoot = m_scratch.Path();
    std::unique_ptr<CFoveaApp> m_app;
    HWND m_host = nullptr;
    CDirView m_upper;
    CDirView m_lower;
};

TEST_F(TreeDrag, TheDragLoopDropsOnTheOtherTreeButNotOnTheTreeItCameFrom)
{
    POINT onDst = ScreenPointOn(m_lower, m_strRoot + "\\dst");
    ASSERT_TRUE(SetCursorPos(onDst.x, onDst.y));
    PumpMessages();
    if (!Reaches(onDst, m_lower.m_hWnd))
        GTEST_SKIP() << "another window covers the test window";
    CStringArray paths;
    paths.Add(m_strRoot + "\\src");
    DropAtOnceSource source;

    // Dragged out of the lower tree and dropped back on it: nothing, and the drag source is cleared.
    m_app->m_pDragSource = &m_lower.GetTree();
    fovea::RunFileDrag(paths, &source);
    PumpMessages();
    EXPECT_FALSE(Exists(m_strRoot + "\\dst\\src"));
    EXPECT_EQ(nullptr, m_app->m_pDragSource);
    EXPECT_FALSE(fovea::OwnDragInProgress());

    // Dragged out of the upper tree: the folder is copied under the folder at the drop point.
    m_app->m_pDragSource = &m_upper.GetTree();
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), fovea::RunFileDrag(paths, &source));
    PumpMessages();
    EXPECT_EQ("A", ReadText(m_strRoot + "\\dst\\src\\a.txt"));
    EXPECT_EQ("B", ReadText(m_strRoot + "\\dst\\src\\sub\\b.txt"));
    EXPECT_EQ(m_strRoot + "\\dst", m_lower.GetTree().GetSelectedPath());
}

// Runs xdotool with the given arguments (the X tool, started from Wine as a Unix program); false when absent.
bool StartXdotool(const CString& arguments, HANDLE& process)
{
    if (GetFileAttributesA("Z:\\usr\\bin\\xdotool") == INVALID_FILE_ATTRIBUTES)
        return false;
    CString command = "/usr/bin/xdotool " + arguments;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, command.GetBuffer(command.GetLength() + 1), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    return true;
}

// Press at from, leave the drag rectangle in small steps, cross to to, rest there, release.
CString MouseDrag(POINT from, POINT to)
{
    CString moves;
    moves.Format("mousemove --sync %ld %ld sleep 0.4 mousedown 1 sleep 0.4 mousemove %ld %ld sleep 0.2 "
                 "mousemove %ld %ld sleep 0.2 mousemove %ld %ld sleep 0.3 mousemove %ld %ld sleep 0.3 "
                 "mousemove %ld %ld sleep 0.5 mouseup 1",
                 from.x, from.y, from.x + 6, from.y + 6, from.x + 20, from.y + 12, (from.x + to.x) / 2, to.y, to.x - 2,
                 to.y, to.x, to.y);
    return moves;
}

// Pumps this thread's messages until done() holds or 30 seconds have passed. The press starts the platform's
// drag loop inside this message loop, and the drop copies there. (Wine does not signal the end of a Unix
// process through its handle, so the tool's handle is not waited on.)
template <typename Done> bool PumpUntil(Done done)
{
    DWORD deadline = GetTickCount() + 30000;
    while (GetTickCount() < deadline && !done()) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    PumpMessages();
    return done();
}

std::string TreeDrag::StartDragBetweenTrees(POINT from, POINT to)
{
    PumpMessages();
    if (!Reaches(from, m_upper.m_hWnd) || !Reaches(to, m_lower.m_hWnd))
        return "another window covers the test window";
    HANDLE xdotool = nullptr;
    if (!StartXdotool(MouseDrag(from, to), xdotool))
        return "xdotool is not installed";
    CloseHandle(xdotool);
    return std::string();
}

TEST_F(TreeDrag, AFolderDraggedWithTheMouseIsCopiedOntoTheOtherTreeOnly)
{
    POINT from = ScreenPointOn(m_upper, m_strRoot + "\\src");
    POINT to = ScreenPointOn(m_lower, m_strRoot + "\\dst");
    POINT sameTree = ScreenPointOn(m_upper, m_strRoot + "\\dst");
    m_upper.GetTree().ExpandToPath(m_strRoot);
    std::string skip = StartDragBetweenTrees(from, to);
    if (!skip.empty())
        GTEST_SKIP() << skip;
    const CString last = m_strRoot + "\\dst\\src\\sub\\b.txt";
    EXPECT_TRUE(PumpUntil([&] { return Exists(last) && !fovea::OwnDragInProgress(); }));
    EXPECT_EQ("A", ReadText(m_strRoot + "\\dst\\src\\a.txt"));
    EXPECT_EQ("B", ReadText(last));
    EXPECT_EQ(m_strRoot + "\\dst", m_lower.GetTree().GetSelectedPath());
    // The source tree shows the folder that was pressed, and stays recorded as the last drag's source.
    EXPECT_EQ(m_strRoot + "\\src", m_upper.GetTree().GetSelectedPath());
    EXPECT_EQ(&m_upper.GetTree(), m_app->m_pDragSource);

    // The same folder dragged onto another folder of its own tree: nothing is copied, and the drop clears the
    // recorded source (which the press had set again).
    m_app->m_pDragSource = nullptr;
    m_app->m_ptDragStart = POINT{-1, -1};
    HANDLE xdotool = nullptr;
    ASSERT_TRUE(StartXdotool(MouseDrag(from, sameTree), xdotool));
    CloseHandle(xdotool);
    EXPECT_TRUE(PumpUntil([&] { return m_app->m_ptDragStart.x != -1 && !m_app->m_pDragSource; }));
    EXPECT_FALSE(Exists(m_strRoot + "\\dst\\src\\src"));
    EXPECT_EQ((std::vector<std::string>{"a.txt", "sub"}), Names(m_strRoot + "\\src"));
    EXPECT_EQ((std::vector<std::string>{"src"}), Names(m_strRoot + "\\dst"));
}

TEST_F(TreeDrag, ATreeOfNamesBeyondTheCodePageArrivesWholeByAMouseDrag)
{
    const std::wstring names = fovea::WideOf(m_strRoot) + L"\\\uD55C names \u00E9";
    ASSERT_TRUE(MakeNamesTree(names));
    // The tree lists the folder by the short name the program's calls reach it by.
    CString listed;
    ASSERT_TRUE(fovea::ReachablePathOf(names, listed));
    m_upper.GetTree().ExpandToPath(m_strRoot);
    POINT from = ScreenPointOn(m_upper, listed);
    POINT to = ScreenPointOn(m_lower, m_strRoot + "\\dst");
    ASSERT_EQ(listed, m_upper.GetTree().GetSelectedPath());
    m_upper.GetTree().ExpandToPath(m_strRoot);
    std::string skip = StartDragBetweenTrees(from, to);
    if (!skip.empty())
        GTEST_SKIP() << skip;
    // It arrives under its own long name, every entry byte for byte, nothing asked.
    DialogAnswerer answerer;
    const std::wstring arrived = fovea::WideOf(m_strRoot) + L"\\dst\\\uD55C names \u00E9";
    const std::map<std::wstring, std::string> tree = WideTreeOf(names);
    EXPECT_TRUE(PumpUntil([&] { return WideTreeOf(arrived).size() == tree.size() && !fovea::OwnDragInProgress(); }));
    EXPECT_EQ(tree, WideTreeOf(arrived));
    EXPECT_EQ(0u, answerer.Count());
}

} // namespace
