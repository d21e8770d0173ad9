// The file view as a user drives it: display modes, the header's sort and widths, presses on items, folder
// open and parent with the tree following, the drive strip, scrolling, selection commands, click mode 1,
// and the colours the view gives its children.
#include "ListFixture.h"

#include "image/FoveaView.h"

using namespace listtest;

namespace {

class FileView : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        for (const char* folder : {"Alpha", "beta", "beta\\inner"})
            ASSERT_TRUE(CreateDirectoryA(m_strRoot + "\\" + folder, nullptr));
        for (const char* file : {"one.txt", "two.txt", "three.bmp"})
            ASSERT_TRUE(MakeFile(m_strRoot + "\\" + file, 5));
        List().SetPath(m_strRoot);
        PumpMessages();
    }

    // A press as the mouse makes it: the pointer on the point, the button down; the release waits in the queue
    // so that a drag that starts watching the mouse sees it.
    void Press(int x, int y, UINT message = WM_LBUTTONDOWN)
    {
        POINT screen = {x, y};
        ClientToScreen(List().m_hWnd, &screen);
        SetCursorPos(screen.x, screen.y);
        List().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        List().SendMessage(message, MK_LBUTTON, MAKELPARAM(x, y));
        PumpMessages();
    }
    POINT NamePoint(int item)
    {
        RECT r = List().GetItemRect(item);
        return {r.left + List().m_nIconCol + 20, (r.top + r.bottom) / 2};
    }
    POINT IconPoint(int item)
    {
        RECT r = List().GetItemRect(item);
        return {r.left + 4, (r.top + r.bottom) / 2};
    }
    CString TreePath() { return m_tree.GetTree().GetSelectedPath(); }
    void HeaderNotify(UINT code, int item)
    {
        NMHEADERA nm = {};
        nm.hdr.hwndFrom = m_view.m_wndHeader.m_hWnd;
        nm.hdr.idFrom = CFileView::kHeaderId;
        nm.hdr.code = code;
        nm.iItem = item;
        m_view.SendMessage(WM_NOTIFY, CFileView::kHeaderId, LPARAM(&nm));
        PumpMessages();
    }
};

TEST_F(FileView, StartsInTheFirstTextDisplayBelowItsHeader)
{
    EXPECT_EQ(0, List().m_bCatalog);
    EXPECT_EQ(18, List().m_nItemHeight);
    EXPECT_EQ(18 + 150 + 50, List().m_nColumnWidth);
    EXPECT_EQ(m_app->m_astrDrives.GetSize(), m_view.m_wndDriveBar.GetCount());
    // The list below the 17-pixel header, right of the 100-pixel strips, above the navigation strip.
    RECT list = List().GetWindowRect();
    MapWindowPoints(nullptr, m_view.m_hWnd, reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(100, list.left);
    EXPECT_EQ(25 + 17, list.top);
    // The list box keeps whole rows: its bottom may stop short of the strip by less than a row.
    EXPECT_LE(list.bottom, 540 - 25);
    EXPECT_GT(list.bottom, 540 - 25 - 18);
    // The first paint records the display's depth for new samples.
    m_view.Invalidate();
    m_view.UpdateWindow();
    EXPECT_EQ(24, m_app->m_nSampleBits);
}

TEST_F(FileView, DisplayModesChangeCellsWithoutListingAgain)
{
    int count = List().GetCount();
    List().SetSel(1, true);
    ASSERT_TRUE(MakeFile(m_strRoot + "\\later.txt"));
    struct Want {
        int catalog, height, columnWidth;
    } modes[] = {{1, 60, 80}, {1, 70, 100}, {1, 100, 160}, {0, 18, 218}, {0, 18, 348}, {0, 18, 548}};
    for (int b = 0; b < 6; ++b) {
        Mode(b);
        EXPECT_EQ(modes[b].catalog, List().m_bCatalog) << b;
        EXPECT_EQ(modes[b].height, List().m_nItemHeight) << b;
        EXPECT_EQ(modes[b].height, int(List().SendMessage(LB_GETITEMHEIGHT, 0))) << b;
        EXPECT_EQ(modes[b].columnWidth, List().m_nColumnWidth) << b;
        EXPECT_EQ(modes[b].height, m_view.m_wndHeader.GetItemWidth(5)) << b;
        // Not listed again: the new file is not there and the selection is kept.
        EXPECT_EQ(count, List().GetCount()) << b;
        EXPECT_GT(List().GetSel(1), 0) << b;
    }
    Command(CFileView::kFileBarId, 0, &m_view.m_wndFileBar); // refresh
    EXPECT_EQ(count + 1, List().GetCount());
    EXPECT_EQ(0, List().GetSelCount());
}

TEST_F(FileView, RowHeightFromTheHeaderSurvivesACatalogAndBack)
{
    m_view.m_wndHeader.SetItemWidth(5, 30);
    PumpMessages();
    EXPECT_EQ(30, List().m_nItemHeight);
    EXPECT_EQ(30, m_app->m_nListItemHeight);
    m_view.m_wndHeader.SetItemWidth(1, 200);
    PumpMessages();
    EXPECT_EQ(18 + 200 + 50, List().m_nColumnWidth);

    Mode(1);
    EXPECT_EQ(70, List().m_nItemHeight);
    EXPECT_EQ(30, m_app->m_nListItemHeight);
    // A change in a catalog display is not taken for the text displays.
    m_view.m_wndHeader.SetItemWidth(5, 90);
    PumpMessages();
    EXPECT_EQ(90, List().m_nItemHeight);
    EXPECT_EQ(30, m_app->m_nListItemHeight);

    Mode(4);
    EXPECT_EQ(30, List().m_nItemHeight);
    EXPECT_EQ(30, m_app->m_nListItemHeight);
    EXPECT_EQ(18, m_app->m_nIconWidth);
    EXPECT_EQ(18 + 150 + 50 + 130, List().m_nColumnWidth);
}

TEST_F(FileView, HeaderClicksSortAndListAgain)
{
    HeaderNotify(HDN_ITEMCLICKA, 1); // ファイル名: by name
    EXPECT_EQ(1, List().m_nKeyMode);
    EXPECT_EQ((std::vector<CString>{"Alpha", "beta", "one.txt", "three.bmp", "two.txt"}), Names());

    // サイズ lists again (the new file appears) and keeps the name order.
    ASSERT_TRUE(MakeFile(m_strRoot + "\\four.txt"));
    HeaderNotify(HDN_ITEMCLICKA, 3);
    EXPECT_EQ(1, List().m_nKeyMode);
    EXPECT_EQ((std::vector<CString>{"Alpha", "beta", "four.txt", "one.txt", "three.bmp", "two.txt"}), Names());

    HeaderNotify(HDN_ITEMCLICKA, 2); // 拡張子: extension, then name
    EXPECT_EQ(0, List().m_nKeyMode);
    EXPECT_EQ((std::vector<CString>{"Alpha", "beta", "three.bmp", "four.txt", "one.txt", "two.txt"}), Names());
    HeaderNotify(HDN_ITEMCLICKA, 4);
    EXPECT_EQ(2, List().m_nKeyMode);
    EXPECT_EQ(0, List().m_nOrder);
}

TEST_F(FileView, PressesToggleInTheZoneAndOpenOutsideIt)
{
    int beta = IndexOf("beta");
    ASSERT_GE(beta, 0);
    POINT icon = IconPoint(beta);
    Press(icon.x, icon.y);
    EXPECT_GT(List().GetSel(beta), 0);
    EXPECT_EQ(beta, List().GetCaretIndex());
    EXPECT_EQ(m_strRoot, List().m_strPath); // not opened
    EXPECT_EQ(&List(), m_app->m_pDragSource);
    Press(icon.x, icon.y);
    EXPECT_EQ(0, List().GetSel(beta));

    // Below the last item: nothing at all.
    int count = List().GetCount();
    RECT last = List().GetItemRect(count - 1);
    Press(NamePoint(count - 1).x, last.bottom + 5);
    EXPECT_EQ(beta, List().GetCaretIndex());
    EXPECT_EQ(m_strRoot, List().m_strPath);

    // A double click is no open action.
    POINT name = NamePoint(beta);
    Press(name.x, name.y, WM_LBUTTONDBLCLK);
    EXPECT_EQ(m_strRoot, List().m_strPath);
    EXPECT_EQ(0, List().GetSelCount());

    // On the name: the folder opens and the tree follows.
    Press(name.x, name.y);
    EXPECT_EQ(m_strRoot + "\\beta", List().m_strPath);
    EXPECT_EQ((std::vector<CString>{"inner"}), Names());
    EXPECT_EQ(m_strRoot + "\\beta", TreePath());
}

TEST_F(FileView, ParentFolderPutsTheCaretOnTheFolderLeft)
{
    List().SetCaretIndex(IndexOf("beta"), true);
    Command(0, 0);
    ASSERT_EQ(m_strRoot + "\\beta", List().m_strPath);
    Command(CFileView::kNavBarId, 1, &m_view.m_wndNavBar);
    EXPECT_EQ(m_strRoot, List().m_strPath);
    EXPECT_EQ("beta", List().GetItemFileName(List().GetCaretIndex()));
    EXPECT_EQ(m_strRoot, TreePath());

    // Up to the drive root, which has no parent.
    CString path = m_strRoot;
    for (int guard = 0; guard < 20 && path.ReverseFind('\\') >= 0; ++guard) {
        Command(CFileView::kNavBarId, 1, &m_view.m_wndNavBar);
        path = path.Left(path.ReverseFind('\\'));
        EXPECT_EQ(path, List().m_strPath);
    }
    EXPECT_EQ(m_strRoot.Left(2), List().m_strPath);
    Command(CFileView::kNavBarId, 1, &m_view.m_wndNavBar);
    EXPECT_EQ(m_strRoot.Left(2), List().m_strPath);
}

TEST_F(FileView, RootAndDriveStripListDrives)
{
    List().SetPath(m_strRoot + "\\beta");
    m_tree.GetTree().ExpandToPath(m_strRoot + "\\beta");
    Command(CFileView::kNavBarId, 0, &m_view.m_wndNavBar);
    EXPECT_EQ(m_strRoot.Left(2), List().m_strPath);
    EXPECT_EQ(m_strRoot + "\\beta", TreePath()); // the root button leaves the tree

    int entry = -1;
    for (int i = 0; i < m_app->m_astrDrives.GetSize(); ++i)
        if (CFoveaApp::DriveOfEntry(m_app->m_astrDrives[i]) == m_strRoot.Left(2))
            entry = i;
    ASSERT_GE(entry, 0);
    List().SetPath(m_strRoot);
    Command(CFileView::kDriveBarId, entry, &m_view.m_wndDriveBar);
    EXPECT_EQ(m_strRoot.Left(2), List().m_strPath);
    EXPECT_EQ(m_strRoot.Left(2), TreePath());
    EXPECT_EQ(entry, m_view.m_wndDriveBar.GetCaretIndex());
}

TEST_F(FileView, ScrollsMoveTheTopItemAndStayInTheList)
{
    for (int i = 0; i < 300; ++i) {
        CString name;
        name.Format("%s\\s%03d.dat", m_strRoot.c_str(), i);
        ASSERT_TRUE(MakeFile(name));
    }
    List().SetPath(m_strRoot);
    int count = List().GetCount();
    int rows = List().GetClientRect().bottom / List().m_nItemHeight;
    int columns = List().GetClientRect().right / List().m_nColumnWidth;
    ASSERT_GT(rows, 1);
    ASSERT_GT(columns, 1);
    List().SetCaretIndex(3, true);

    Command(CFileView::kNavBarId, 5, &m_view.m_wndNavBar); // one column right
    EXPECT_EQ(rows, List().GetTopIndex());
    Command(CFileView::kNavBarId, 6, &m_view.m_wndNavBar); // one page right
    EXPECT_EQ(rows + columns * rows, List().GetTopIndex());
    Command(CFileView::kNavBarId, 3, &m_view.m_wndNavBar);
    Command(CFileView::kNavBarId, 4, &m_view.m_wndNavBar);
    EXPECT_EQ(0, List().GetTopIndex());
    Command(CFileView::kNavBarId, 4, &m_view.m_wndNavBar); // not before the first item
    EXPECT_EQ(0, List().GetTopIndex());
    EXPECT_EQ(3, List().GetCaretIndex());

    // Past the end: the last item is shown.
    for (int i = 0; i < 10; ++i)
        Command(CFileView::kNavBarId, 6, &m_view.m_wndNavBar);
    RECT last = List().GetItemRect(count - 1), client = List().GetClientRect(), seen;
    EXPECT_TRUE(IntersectRect(&seen, &last, &client));
    Command(CFileView::kNavBarId, 2, &m_view.m_wndNavBar);
    EXPECT_EQ(0, List().GetTopIndex());
    Command(CFileView::kNavBarId, 7, &m_view.m_wndNavBar);
    last = List().GetItemRect(count - 1);
    EXPECT_TRUE(IntersectRect(&seen, &last, &client));
    EXPECT_EQ(3, List().GetCaretIndex());
}

TEST_F(FileView, SelectAllAndSelectFilesToggle)
{
    const int folders = 2, count = List().GetCount();
    List().SetSel(0, true);
    List().SetSel(3, true);
    Command(CFileView::kFileBarId, 5, &m_view.m_wndFileBar);
    EXPECT_EQ(0, List().GetSelCount());
    Command(CFileView::kFileBarId, 5, &m_view.m_wndFileBar);
    EXPECT_EQ(count, List().GetSelCount());
    Command(CFileView::kFileBarId, 6, &m_view.m_wndFileBar);
    EXPECT_EQ(0, List().GetSelCount());
    Command(CFileView::kFileBarId, 6, &m_view.m_wndFileBar);
    EXPECT_EQ(count - folders, List().GetSelCount());
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(List().IsFolderItem(i) == 0, List().GetSel(i) > 0) << i;

    // What a drag would carry: the selected items' full paths in list order, else the caret item's.
    CStringArray paths = List().GetDragPaths();
    ASSERT_EQ(count - folders, paths.GetSize());
    EXPECT_EQ(m_strRoot + "\\" + List().GetItemFileName(folders), paths[0]);
    List().SetSel(-1, false);
    List().SetCaretIndex(1, true);
    paths = List().GetDragPaths();
    ASSERT_EQ(1, paths.GetSize());
    EXPECT_EQ(m_strRoot + "\\" + List().GetItemFileName(1), paths[0]);
}

TEST_F(FileView, FilesOpenInTheViewPaneInClickMode1Only)
{
    CFoveaView pane;
    ASSERT_TRUE(pane.Create(m_host, 3, RECT{0, 0, 50, 50}));
    m_app->m_pPicView = &pane;
    int file = IndexOf("one.txt");
    ASSERT_GE(file, 0);
    List().SetCaretIndex(file, true);
    m_app->m_nClickMode = 0;
    Command(0, 0);
    EXPECT_TRUE(pane.GetShownPath().IsEmpty());
    m_app->m_nClickMode = 1;
    Command(0, 0);
    EXPECT_EQ(m_strRoot + "\\one.txt", pane.GetShownPath());
    EXPECT_EQ(pane.GetDisplayWindow(), GetFocus());
    EXPECT_EQ(m_strRoot, List().m_strPath);
    m_app->m_pPicView = nullptr;
    pane.DestroyWindow();
}

TEST_F(FileView, ChildrenGetTheBackgroundAndTheirFonts)
{
    LOGFONTA filer = {}, header = {};
    filer.lfHeight = -12;
    header.lfHeight = -11;
    m_app->m_fonts[fovea::kFontFiler].reset(CreateFontIndirectA(&filer));
    m_app->m_fonts[fovea::kFontHeader].reset(CreateFontIndirectA(&header));
    m_app->m_clrBackground = RGB(1, 2, 3);
    m_app->m_pBackgroundBrush.reset(CreateSolidBrush(m_app->m_clrBackground));

    fovea::ScopedMemDC dc(CreateCompatibleDC(nullptr));
    LRESULT brush = m_view.SendMessage(WM_CTLCOLORLISTBOX, WPARAM(dc.get()), LPARAM(List().m_hWnd));
    EXPECT_EQ(LRESULT(m_app->m_pBackgroundBrush.get()), brush);
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(dc.get()));
    EXPECT_EQ(HGDIOBJ(m_app->GetFont(fovea::kFontFiler)), GetCurrentObject(dc.get(), OBJ_FONT));

    fovea::ScopedMemDC driveDC(CreateCompatibleDC(nullptr));
    m_view.SendMessage(WM_CTLCOLORLISTBOX, WPARAM(driveDC.get()), LPARAM(m_view.m_wndDriveBar.m_hWnd));
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(driveDC.get()));
    EXPECT_EQ(HGDIOBJ(m_app->GetFont(fovea::kFontHeader)), GetCurrentObject(driveDC.get(), OBJ_FONT));

    // The header takes the header font from the font slot.
    m_view.SetHeaderFont(m_app->GetFont(fovea::kFontHeader));
    EXPECT_EQ(m_app->GetFont(fovea::kFontHeader), m_view.GetHeaderFont());
}

} // namespace
