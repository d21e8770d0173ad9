// Drawing and pressing of the icon list control.
#include "app/IconListBox.h"

#include "app/BarGeometry.h"
#include "app/FoveaApp.h"
#include "browser/PaneDragDrop.h"
#include "fileops/FileOps.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"
#include "framework/ShellCalls.h"

namespace {

constexpr UINT kTextFlags = DT_BOTTOM;  // texts sit on the bottom of their rectangle
constexpr COLORREF kMaskWhite = RGB(255, 255, 255);

RECT Shrink(RECT r, int by)
{
    ::InflateRect(&r, -by, -by);
    return r;
}

}  // namespace

void CIconListBox::SetupBar(int id, int mode, int iconZone, int columnWidth, int itemHeight)
{
    m_nId = id;
    m_nMode = mode;
    m_nIconZone = iconZone;
    m_nColumnWidth = columnWidth;
    m_nItemHeight = itemHeight;
    m_nImageOffset = 0;
    SetColumnWidth(columnWidth);
    SetItemHeight(0, itemHeight);
    fovea::BarStrip strip = fovea::BarStripOfMode(mode);
    if (strip.bitmapId)
        m_imageList.LoadStrip(UINT(strip.bitmapId), 30, kMaskWhite);
}

int CIconListBox::ItemFromPoint(int x, int y) const
{
    RECT client = GetClientRect();
    return fovea::BarItemFromPoint(x, y, m_nColumnWidth, m_nItemHeight, client.bottom, GetTopIndex());
}

void CIconListBox::FillFromFolder(const CString& folder, int kind)
{
    static const DWORD kMasks[] = {0x9B7, 0x9A7, 0x10};
    DWORD mask = kMasks[(kind >= 0 && kind <= 2) ? kind : 0];
    ResetContent();
    // Each entry under a name the program's calls reach (its own or its short one), or marked and flagged.
    WIN32_FIND_DATAW found;
    fovea::ScopedFind find(::FindFirstFileW(fovea::WideOf(folder + "\\*.*").c_str(), &found));
    if (!find)
        return;
    do {
        if (lstrcmpW(found.cFileName, L".") == 0 || lstrcmpW(found.cFileName, L"..") == 0)
            continue;
        // A hidden or read-only folder shares bits with the files' mask; the files kind never lists folders.
        bool folderOfFiles = kind == 1 && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        if (!(found.dwFileAttributes & mask) || folderOfFiles)
            continue;
        fovea::ListedName listed = fovea::ListedNameOf(found);
        int index = AddString(folder + "\\" + listed.name);
        if (index >= 0 && !listed.reachable)
            SetItemData(index, kUnreachable);
    } while (::FindNextFileW(find.get(), &found));
}

bool CIconListBox::IsReachableItem(int index) const
{
    return GetItemData(index) != kUnreachable;
}

void CIconListBox::Frame3D(HDC hdc, const RECT& r, bool raised)
{
    fovea::ScopedPen white(::CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    fovea::ScopedPen black(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HPEN first = raised ? white.get() : black.get();
    HPEN second = raised ? black.get() : white.get();
    fovea::SelectObjectScope keep(hdc, first);
    ::MoveToEx(hdc, r.left, r.bottom - 1, nullptr);
    ::LineTo(hdc, r.left, r.top);
    ::LineTo(hdc, r.right - 1, r.top);
    ::SelectObject(hdc, second);
    ::LineTo(hdc, r.right - 1, r.bottom - 1);
    ::LineTo(hdc, r.left, r.bottom - 1);
}

void CIconListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (int(item.itemID) < 0)
        return;
    bool entire = (item.itemAction & ODA_DRAWENTIRE) != 0;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    bool focus = (item.itemState & ODS_FOCUS) != 0;
    int index = int(item.itemID);
    switch (m_nMode) {
    case 0:
        DrawPageItem(item.hDC, item.rcItem, index, entire, selected);
        break;
    case 2:
        DrawEntryItem(item.hDC, item.rcItem, index, entire, selected, focus);
        break;
    case 3:
        DrawDriveItem(item.hDC, item.rcItem, index, entire, focus);
        break;
    default:
        if (m_nMode >= 4 && m_nMode <= 13)
            DrawButtonItem(item.hDC, item.rcItem, index, entire, focus);
        break;
    }
}

void CIconListBox::DrawPageItem(HDC hdc, const RECT& r, int index, bool entire, bool selected)
{
    if (entire) {
        CString name = fovea::PathFileName(GetText(index).str());
        RECT text = {r.left + 5, r.top + 3, r.right - 5, r.bottom - 3};
        ::DrawTextA(hdc, name, -1, &text, kTextFlags);
    }
    Frame3D(hdc, Shrink(r, 2), !selected);
}

void CIconListBox::DrawEntryItem(HDC hdc, const RECT& r, int index, bool entire, bool selected, bool focus)
{
    RECT inner = Shrink(r, 2);
    if (entire) {
        CFoveaApp* app = FoveaApp();
        COLORREF background = app && app->m_clrBackground != COLORREF(-1) ? app->m_clrBackground
                                                                            : ::GetSysColor(COLOR_WINDOW);
        ::SetBkColor(hdc, background);
        fovea::ScopedBrush brush(::CreateSolidBrush(background));
        ::FillRect(hdc, &r, brush.get());

        // A link shows its target: the target's title and icon. Drawing never searches for a moved target.
        CString path = GetText(index);
        if (fovea::UpperAscii(fovea::PathExtension(path.str())) == "LNK") {
            CString target, folder, arguments, description;
            CFileOps().ResolveShortcut(m_hWnd, path, target, folder, arguments, description, false);
            if (!target.IsEmpty())
                path = target;
        }
        CString title = fovea::PathTitle(path.str());
        RECT text = {inner.left + 38, inner.top + 2, inner.right, inner.bottom};
        ::DrawTextA(hdc, title, -1, &text, kTextFlags);

        fovea::ScopedMemDC memory(::CreateCompatibleDC(hdc));
        fovea::ScopedBitmap bitmap(::CreateCompatibleBitmap(hdc, 32, 32));
        if (memory && bitmap) {
            fovea::SelectObjectScope keep(memory.get(), bitmap.get());
            RECT square = {0, 0, 32, 32};
            ::FillRect(memory.get(), &square, HBRUSH(::GetStockObject(WHITE_BRUSH)));
            fovea::ScopedIcon icon(fovea::ShellExtractIcon(::GetModuleHandleA(nullptr), path, 0));
            if (icon && icon.get() != HICON(1))
                ::DrawIcon(memory.get(), 0, 0, icon.get());
            ::SetStretchBltMode(hdc, COLORONCOLOR);
            ::StretchBlt(hdc, inner.left + 2, inner.top + 2, 16, 16, memory.get(), 0, 0, 32, 32, SRCCOPY);
        }
    }
    Frame3D(hdc, {inner.left, inner.top, inner.left + 30, inner.bottom}, !selected);
    Frame3D(hdc, {inner.left + 33, inner.top, inner.right, inner.bottom}, !focus);
}

void CIconListBox::DrawDriveItem(HDC hdc, const RECT& r, int index, bool entire, bool focus)
{
    if (entire) {
        CString entry = GetText(index);
        char type = entry.IsEmpty() ? '0' : entry.GetAt(0);
        m_imageList.Draw(hdc, fovea::DriveImageOfType(type), r.left + 12, r.top);
        if (entry.GetLength() >= 3) {
            char letter[2] = {entry.GetAt(2), '\0'};
            RECT text = {r.left + 3, r.top + 3, r.left + 25, r.bottom - 3};
            ::SetBkMode(hdc, TRANSPARENT);
            ::DrawTextA(hdc, letter, 1, &text, kTextFlags);
        }
    }
    Frame3D(hdc, Shrink(r, 2), !focus);
}

void CIconListBox::DrawButtonItem(HDC hdc, const RECT& r, int index, bool entire, bool focus)
{
    if (entire)
        m_imageList.Draw(hdc, index + m_nImageOffset, r.left, r.top + 2);
    Frame3D(hdc, Shrink(r, 2), !focus);
}

void CIconListBox::StartDrag(int x, int y)
{
    int count = GetCount();
    int caret = GetCaretIndex();
    if (count == 0 || caret < 0 || caret >= count)
        return;
    // Marked entries are never dragged: their texts name no file.
    CStringArray paths;
    bool selected = false;
    for (int i = 0; i < count; ++i)
        if (GetSel(i) > 0) {
            selected = true;
            if (IsReachableItem(i))
                paths.Add(GetText(i));
        }
    if (!selected && IsReachableItem(caret))
        paths.Add(GetText(caret));
    if (!paths.IsEmpty())
        fovea::DragFromPane(this, POINT{x, y}, paths);
}

void CIconListBox::OnLButtonDown(int x, int y)
{
    int index = ItemFromPoint(x, y);
    bool iconZone = fovea::InIconZone(x, m_nColumnWidth, m_nIconZone);
    if (iconZone) {
        if (index >= 0 && index < GetCount())
            SetSel(index, GetSel(index) <= 0);
    } else {
        ::SetFocus(m_hWnd);
        if (index >= 0 && index < GetCount()) {
            SetCaretIndex(index, true);
            SetCurSel(index);
        }
        if (m_nMode == 2)
            StartDrag(x, y);
    }
    // The command goes out only when the pointer is still on the same, real item: a press beyond the last item
    // would otherwise run the command of an earlier press, whose caret the list still holds.
    // A pointer left of the list (a drop on the launcher's page column) would give the same index, since the
    // division rounds towards zero: it must still be inside the list.
    POINT now;
    ::GetCursorPos(&now);
    ::ScreenToClient(m_hWnd, &now);
    RECT client = GetClientRect();
    if (!iconZone && index >= 0 && index < GetCount() && ::PtInRect(&client, now) &&
        ItemFromPoint(now.x, now.y) == index)
        ::SendMessageA(GetParent(), WM_APP_BARCOMMAND, WPARAM(m_nId), 0);
}

LRESULT CIconListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLButtonDown(short(LOWORD(lParam)), short(HIWORD(lParam)));
        return 0;  // the list's own press handling is not run
    default:
        return CListBox::WindowProc(message, wParam, lParam);
    }
}
