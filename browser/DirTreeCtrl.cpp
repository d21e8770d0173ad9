// The folder tree's control: lazy filling from directory searches, opening along a path, presses.
#include "browser/DirTreeCtrl.h"

#include "app/FoveaApp.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"
#include "framework/ShiftJis.h"

namespace {

template <typename Char> bool IsDotEntry(const Char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

template <typename FindData> bool IsSubfolder(const FindData& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(data.cFileName);
}

POINT PointOf(LPARAM lParam)
{
    return POINT{short(LOWORD(lParam)), short(HIWORD(lParam))};
}

} // namespace

void CDirTreeCtrl::RootImages(char type, int& image, int& selectedImage)
{
    switch (type) {
    case '2':
        image = 3, selectedImage = 6;
        break;
    case '3':
    case '4':
        image = 2, selectedImage = 5;
        break;
    case '5':
        image = 4, selectedImage = 7;
        break;
    default:
        image = 0, selectedImage = 0;
        break;
    }
}

void CDirTreeCtrl::AddDriveRoots(const CStringArray& drives)
{
    for (int i = 0; i < drives.GetSize(); ++i) {
        HTREEITEM root = InsertItem(drives[i], TVI_ROOT, TVI_LAST);
        SetStateIndex(root, kStateClosed);
        int image = 0, selected = 0;
        RootImages(CFoveaApp::TypeOfEntry(drives[i]), image, selected);
        SetItemImage(root, image, selected);
    }
}

bool CDirTreeCtrl::IsReachable(HTREEITEM item) const
{
    for (; item; item = GetParentItem(item))
        if (GetItemData(item) == kUnreachable)
            return false;
    return true;
}

CString CDirTreeCtrl::GetSelectedPath() const
{
    return GetItemPath(GetSelectedItem());
}

CString CDirTreeCtrl::GetItemPath(HTREEITEM item) const
{
    if (!item)
        return CString();
    // Roots are the items without a parent; their text is a drive entry.
    CString path;
    for (HTREEITEM parent = GetParentItem(item); parent; item = parent, parent = GetParentItem(item))
        path = path.IsEmpty() ? GetItemText(item) : GetItemText(item) + "\\" + path;
    CString drive = CFoveaApp::DriveOfEntry(GetItemText(item));
    return path.IsEmpty() ? drive : drive + "\\" + path;
}

int CDirTreeCtrl::HasSubfolders(const CString& folder)
{
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(::FindFirstFileA(folder + "\\*.*", &data));
    if (find.get() == INVALID_HANDLE_VALUE)
        return kStateNoSubfolder;
    do {
        if (IsSubfolder(data))
            return kStateClosed;
    } while (::FindNextFileA(find.get(), &data));
    return kStateNoSubfolder;
}

HTREEITEM CDirTreeCtrl::FillChildren(const CString& folder, HTREEITEM item)
{
    // Without an item the child walk would start at the roots and delete the whole tree.
    if (!item)
        return nullptr;
    while (HTREEITEM child = GetChildItem(item))
        DeleteItem(child);
    // Each folder under a name the program's calls reach (its own or its short one), or marked and flagged.
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(::FindFirstFileW(fovea::WideOf(folder + "\\*.*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE)
        return item;
    do {
        if (!IsSubfolder(data))
            continue;
        fovea::ListedName listed = fovea::ListedNameOf(data);
        HTREEITEM child = InsertItem(listed.name, item, TVI_SORT);
        SetStateIndex(child, listed.reachable ? HasSubfolders(folder + "\\" + listed.name) : kStateNoSubfolder);
        SetItemImage(child, 0, 1);
        SetItemData(child, listed.reachable ? 0 : kUnreachable);
    } while (::FindNextFileW(find.get(), &data));
    return item;
}

HTREEITEM CDirTreeCtrl::FindChild(HTREEITEM item, const CString& name, bool ignoreCase) const
{
    if (!item)
        return nullptr;
    std::string wanted = ignoreCase ? fovea::UpperAscii(name.str()) : name.str();
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child)) {
        CString text = GetItemText(child);
        if ((ignoreCase ? fovea::UpperAscii(text.str()) : text.str()) == wanted)
            return child;
    }
    return nullptr;
}

void CDirTreeCtrl::OpenItem(const CString& folder, HTREEITEM item)
{
    FillChildren(folder, item);
    Expand(item, TVE_EXPAND);
    // A blank mark that is out of date (the folder gained subfolders) would leave open children that no
    // double click can close.
    int state = GetStateIndex(item);
    if (state == kStateClosed || (state == kStateNoSubfolder && GetChildItem(item)))
        SetStateIndex(item, kStateOpen);
}

HTREEITEM CDirTreeCtrl::ExpandToPath(const CString& path)
{
    if (path.GetLength() < 2)
        return nullptr;
    std::string drive = fovea::UpperAscii(path.Left(2).str());
    HTREEITEM current = GetRootItem();
    while (current && fovea::UpperAscii(CFoveaApp::DriveOfEntry(GetItemText(current)).str()) != drive)
        current = GetNextSiblingItem(current);
    if (!current)
        return nullptr;

    CString accumulated = CFoveaApp::DriveOfEntry(GetItemText(current));
    CString rest = path.Mid(2);
    bool found = true;
    while (!rest.IsEmpty()) {
        int slash = rest.Find('\\');
        CString component = slash >= 0 ? rest.Left(slash) : rest;
        rest = slash >= 0 ? rest.Mid(slash + 1) : CString();
        if (component.IsEmpty())
            continue;
        OpenItem(accumulated, current);
        HTREEITEM child = FindChild(current, component);
        if (!child)
            child = FindChild(current, component, true);
        if (!child) {
            found = false;
            break;
        }
        current = child;
        accumulated = accumulated + "\\" + GetItemText(child);
    }
    if (found)
        OpenItem(accumulated, current);
    SelectItem(current);
    return current;
}

void CDirTreeCtrl::ToggleExpand()
{
    HTREEITEM item = GetSelectedItem();
    if (!item)
        return;
    switch (GetStateIndex(item)) {
    case kStateClosed:
        FillChildren(GetItemPath(item), item);
        Expand(item, TVE_EXPAND);
        SetStateIndex(item, kStateOpen);
        break;
    case kStateOpen:
        Expand(item, TVE_COLLAPSE);
        SetStateIndex(item, kStateClosed);
        break;
    default:
        break;
    }
}

void CDirTreeCtrl::NotifyView() const
{
    ::SendMessageA(GetParent(), WM_APP_BARCOMMAND, 0, 0);
}

void CDirTreeCtrl::OnLButtonDown(POINT point)
{
    // A press below the last item changes nothing: there is no folder to show.
    HTREEITEM item = HitTest(point);
    if (!item)
        return;
    SelectItem(item);
    if (CFoveaApp* app = FoveaApp()) {
        app->m_ptDragStart = point;
        app->m_pDragSource = this;
    }
    if (m_startDrag)
        m_startDrag(*this, GetSelectedPath(), point);
    NotifyView();
}

void CDirTreeCtrl::OnLButtonDblClk(POINT point)
{
    HTREEITEM item = HitTest(point);
    if (!item)
        return;
    SelectItem(item);
    ToggleExpand();
    NotifyView();
}

LRESULT CDirTreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(PointOf(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(PointOf(lParam));
        return 0;
    case WM_DROPFILES:
        return 0;
    default:
        return CTreeCtrl::WindowProc(message, wParam, lParam);
    }
}
