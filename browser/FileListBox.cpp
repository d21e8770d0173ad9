// The file list: reading a folder into sorted item lines, the items read back, the sample folder, the cells
// and the press on an item. The drawing of an item is in image/CatalogDraw.cpp.
#include "browser/FileListBox.h"

#include <algorithm>

#include "app/FoveaApp.h"
#include "browser/PaneDragDrop.h"
#include "browser/SampleFolder.h"
#include "fileops/FileOps.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"

namespace {

constexpr COLORREF kMaskWhite = RGB(255, 255, 255);

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Last write time as local time; a time the platform cannot convert keeps the item time's defaults.
fovea::ItemTime LocalItemTime(const FILETIME& lastWrite)
{
    fovea::ItemTime time;
    FILETIME local;
    SYSTEMTIME st;
    if (::FileTimeToLocalFileTime(&lastWrite, &local) && ::FileTimeToSystemTime(&local, &st))
        time = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    return time;
}

fovea::FolderEntry EntryOf(const WIN32_FIND_DATAA& data)
{
    fovea::FolderEntry entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.time = LocalItemTime(data.ftLastWriteTime);
    entry.sizeHigh = data.nFileSizeHigh;
    entry.sizeLow = data.nFileSizeLow;
    return entry;
}

CString JoinPath(const CString& folder, const CString& name)
{
    return folder + "\\" + name;
}

} // namespace

CFileListBox::~CFileListBox()
{
    ReleaseBank();
    if (m_pSampleDC) {
        if (m_pOldPalette)
            ::SelectPalette(*m_pSampleDC, m_pOldPalette, FALSE);
        m_pSampleDC.reset();
    }
}

bool CFileListBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    if (!CListBox::Create(style, rect, parent, id))
        return false;
    OnCreate();
    return true;
}

void CFileListBox::OnCreate()
{
    // Without the bitmap the list still works; its items are drawn without icons.
    m_imageList.LoadStrip(kIconBitmapId, kIconImageWidth, kMaskWhite);
}

CString CFileListBox::FormatItemLine(const char* name, DWORD attributes, const FILETIME& lastWrite, DWORD sizeHigh,
                                     DWORD sizeLow) const
{
    return CString(
        fovea::FormatItemLine(name ? name : "", attributes, LocalItemTime(lastWrite), sizeHigh, sizeLow, m_nKeyMode));
}

bool CFileListBox::Enumerate(const CString& pattern, std::vector<std::string>* folders,
                             std::vector<std::string>* files) const
{
    // The UTF-16 enumeration: each entry is listed under a name the program's calls reach (its own or its short
    // one), or marked, never under the near spelling the code-page enumeration would give.
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(::FindFirstFileW(fovea::WideOf(pattern).c_str(), &data));
    if (!find)
        return false;
    do {
        if (IsDotEntry(data.cFileName))
            continue;
        std::vector<std::string>* target = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? folders : files;
        if (!target)
            continue;
        fovea::ListedName listed = fovea::ListedNameOf(data);
        DWORD attributes = data.dwFileAttributes | (listed.reachable ? 0 : fovea::kAttrUnreachable);
        target->push_back(fovea::FormatItemLine(listed.name.str(), attributes, LocalItemTime(data.ftLastWriteTime),
                                                data.nFileSizeHigh, data.nFileSizeLow, m_nKeyMode));
    } while (::FindNextFileW(find.get(), &data));
    return true;
}

void CFileListBox::SetPath(const CString& path)
{
    m_strPath = path;
    LoadSamples();
    // Listing makes the folder current; a drive root needs its backslash ("C:" alone names a current folder).
    CString current = path;
    if (!current.IsEmpty() && current.GetAt(current.GetLength() - 1) == ':')
        current += "\\";
    ::SetCurrentDirectoryA(current);
    CFileOps().ShowDriveInfo(path);

    std::vector<std::string> folders, files;
    // The folder pass enumerates everything; with the mask "*.*" the file pass would see the same entries again,
    // so one enumeration serves both.
    bool onePass = m_strMask == "*.*";
    if (Enumerate(JoinPath(path, "*.*"), &folders, onePass ? &files : nullptr)) {
        if (!onePass)
            Enumerate(JoinPath(path, m_strMask), nullptr, &files);
    }
    fovea::SortItemLines(folders, m_nOrder);
    fovea::SortItemLines(files, m_nOrder);
    FillList(folders, files);
}

void CFileListBox::FillList(const std::vector<std::string>& folders, const std::vector<std::string>& files)
{
    if (!m_hWnd)
        return;
    SendMessage(WM_SETREDRAW, FALSE);
    ResetContent();
    size_t bytes = 0;
    for (const auto* group : {&folders, &files})
        for (const std::string& line : *group)
            bytes += line.size() + 1;
    SendMessage(LB_INITSTORAGE, WPARAM(folders.size() + files.size()), LPARAM(bytes));
    // The lines go straight to the list box's own procedure: adding needs none of our handling, and routing
    // 100,000 messages through the object lookup costs several times the adding itself under Wine.
    WNDPROC add = m_pfnSuper ? m_pfnSuper : WNDPROC(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    for (const auto* group : {&folders, &files})
        for (const std::string& line : *group)
            ::CallWindowProcA(add, m_hWnd, LB_ADDSTRING, 0, LPARAM(line.c_str()));
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
}

CString CFileListBox::GetField(int index, int k) const
{
    return CString(fovea::GetItemField(GetText(index).str(), k));
}

int CFileListBox::IsFolderItem(int index) const
{
    return fovea::IsFolderLine(GetText(index).str()) ? 1 : 0;
}

CString CFileListBox::GetItemFileName(int index) const
{
    return CString(fovea::ItemFileName(GetText(index).str()));
}

fovea::ItemFields CFileListBox::GetItemFields(int index) const
{
    return fovea::SplitItemLine(GetText(index).str());
}

int CFileListBox::IsReachableItem(int index) const
{
    return fovea::IsUnreachableLine(GetText(index).str()) ? 0 : 1;
}

std::vector<int> CFileListBox::CommandItems() const
{
    std::vector<int> items;
    int selected = GetSelCount();
    if (selected > 0) {
        items.resize(size_t(selected));
        int got = int(SendMessage(LB_GETSELITEMS, WPARAM(selected), LPARAM(items.data())));
        items.resize(size_t(std::max(got, 0)));
        return items;
    }
    int caret = GetCaretIndex();
    if (caret >= 0 && caret < GetCount())
        items.push_back(caret);
    return items;
}

CStringArray CFileListBox::GetDragPaths() const
{
    CStringArray paths;
    for (int index : CommandItems())
        if (IsReachableItem(index))
            paths.Add(JoinPath(m_strPath, GetItemFileName(index)));
    return paths;
}

void CFileListBox::FindSampleDir(int create)
{
    // The drive root with its backslash: the type of "Q:" alone is that of a relative path, and a disc root
    // would then be taken for a writable folder.
    CString root = m_strPath.Left(2) + "\\";
    if (::GetDriveTypeA(root) != DRIVE_CDROM) {
        m_strSampleDir = m_strPath;
        return;
    }
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(::FindFirstFileA(root + "*.*", &data));
    // No disc, or one that cannot be read: no signature, so no sample folder (never the last folder's).
    if (!find) {
        m_strSampleDir.Empty();
        return;
    }
    std::vector<fovea::FolderEntry> entries;
    do
        entries.push_back(EntryOf(data));
    while (entries.size() < fovea::kSignatureEntries && ::FindNextFileA(find.get(), &data));

    CFoveaApp* app = FoveaApp();
    if (!app || app->m_strSampleRoot.IsEmpty()) {
        m_strSampleDir.Empty();
        return;
    }
    std::string signature = fovea::DiscSignature(entries, m_nKeyMode);
    m_strSampleDir = fovea::ResolveDiscSampleDir(
        app->m_strSampleRoot.str(), signature, fovea::FolderKeyOfPath(m_strPath.str()), create == 1,
        [](const std::string& folder) { ::CreateDirectoryA(folder.c_str(), nullptr); });
}

void CFileListBox::SetColumns(int height, int icon, int name, int ext, int size, int date)
{
    CFoveaApp* app = FoveaApp();
    m_nItemHeight = height > 0 ? height : (app ? app->m_nListItemHeight : 0);
    m_nItemHeight = std::clamp(m_nItemHeight, 1, kMaxItemHeight);
    int* columns[] = {&m_nIconCol, &m_nNameCol, &m_nExtCol, &m_nSizeCol, &m_nDateCol};
    int widths[] = {icon, name, ext, size, date};
    for (int i = 0; i < 5; ++i)
        if (widths[i] >= 0)
            *columns[i] = widths[i];
    m_nColumnWidth = m_nIconCol + m_nNameCol + m_nExtCol + m_nSizeCol + m_nDateCol;
    // A multi-column list box divides by its column width: it never gets 0, even when every column is hidden.
    SetColumnWidth(std::max(1, m_nColumnWidth));
    SetItemHeight(0, m_nItemHeight);
}

int CFileListBox::ItemFromPoint(int x, int y) const
{
    int height = std::max(1, m_nItemHeight);
    // The list box keeps at least one item per column, however low the window.
    int rows = std::max(1, int(GetClientRect().bottom) / height);
    int column = m_nColumnWidth > 0 ? x / m_nColumnWidth : 0;
    return column * rows + GetTopIndex() + y / height;
}

int CFileListBox::InSelectZone(int x, int y) const
{
    if (m_nColumnWidth <= 0 || x < 0)
        return 0;
    int cx = x % m_nColumnWidth;
    if (!m_bCatalog)
        return cx < m_nIconCol ? 1 : 0;
    CFoveaApp* app = FoveaApp();
    if (!app || m_nItemHeight <= 0 || y < 0)
        return 0;
    int cy = y % m_nItemHeight;
    return cx < app->m_nIconWidth && cy >= m_nItemHeight - app->m_nListItemHeight ? 1 : 0;
}

void CFileListBox::RepaintItem(int index) const
{
    if (index < 0 || index >= GetCount())
        return;
    RECT r = GetItemRect(index);
    ::InvalidateRect(m_hWnd, &r, TRUE);
}

void CFileListBox::OnLButtonDown(int x, int y)
{
    int index = ItemFromPoint(x, y);
    if (index < 0 || index >= GetCount())
        return;
    int zone = InSelectZone(x, y);
    if (zone == 1)
        SetSel(index, GetSel(index) <= 0);
    int previous = GetCaretIndex();
    SetCaretIndex(index, true);
    RepaintItem(previous);
    RepaintItem(index);
    UpdateWindow();

    CStringArray paths = GetDragPaths();
    fovea::DragFromPane(this, POINT{x, y}, paths);

    // Opened only when the press stayed on the item it began on: a drag to elsewhere opens nothing.
    POINT now;
    ::GetCursorPos(&now);
    ::ScreenToClient(m_hWnd, &now);
    if (zone == 0 && ItemFromPoint(now.x, now.y) == index)
        ::SendMessageA(GetParent(), WM_APP_BARCOMMAND, 0, 0);
}

void CFileListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (int(item.itemID) < 0)
        return;
    DrawCatalogItem((item.itemAction & ODA_DRAWENTIRE) != 0, (item.itemState & ODS_SELECTED) != 0, int(item.itemID),
                    item.hDC, item.rcItem);
}

LRESULT CFileListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(short(LOWORD(lParam)), short(HIWORD(lParam)));
        return 0; // the list's own press handling is not run
    case WM_LBUTTONDBLCLK:
        // The first press has already opened or toggled the item; a double click adds nothing (the list box's
        // own handling would toggle the item once more, or act on what the first press brought up).
        return 0;
    case WM_PAINT:
        CheckBankOnDisk();
        return CListBox::WindowProc(message, wParam, lParam);
    default:
        return CListBox::WindowProc(message, wParam, lParam);
    }
}
