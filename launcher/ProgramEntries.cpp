// Registering, listing and deleting the entries of launcher pages and extension menus.
#include "launcher/ProgramEntries.h"

#include "app/FoveaApp.h"
#include "app/IconListBox.h"
#include "fileops/FileOps.h"
#include "fileops/FileSafety.h"
#include "fileops/MessageDlg.h"
#include "fileops/PathNames.h"
#include "fileops/PathParts.h"
#include "framework/ShiftJis.h"

namespace fovea {

namespace {

bool IsOneOf(const CString& extension, std::initializer_list<const char*> kinds)
{
    for (const char* kind : kinds)
        if (extension == kind)
            return true;
    return false;
}

} // namespace

int LauncherWidth()
{
    CFoveaApp* app = FoveaApp();
    return app ? app->m_nLauncherWidth : 130;
}

INT_PTR LauncherControlColor(HDC hdc)
{
    CFoveaApp* app = FoveaApp();
    if (!app || !app->m_pBackgroundBrush)
        return FALSE;
    if (app->m_clrBackground != COLORREF(-1))
        ::SetBkColor(hdc, app->m_clrBackground);
    if (HFONT font = app->GetFont(app->m_anElementFont[kFontLauncher]))
        ::SelectObject(hdc, font);
    return INT_PTR(app->m_pBackgroundBrush.get());
}

void RegisterDroppedPrograms(const CStringArray& paths, const CString& folder,
                             std::initializer_list<const char*> programKinds, bool moveLinks)
{
    CFileOps ops;
    for (int i = 0; i < paths.GetSize(); ++i) {
        const CString& dropped = paths[i];
        // A folder whose name ends in .EXE is no program.
        if (ops.PathKind(dropped) != 2)
            continue;
        CString title, extension, from;
        ops.GetTitlePart(dropped, title);
        ops.GetExtension(dropped, extension);
        ops.GetFolderPart(dropped, from);
        CString link = folder + "\\" + title + ".LNK";
        if (IsOneOf(extension, programKinds)) {
            // A link of that name to another program is replaced only when the user says so.
            if (ops.PathKind(link) != -1 && !LinksTo(link, dropped) && !CMessageDlg::AskOverwrite(title + ".LNK"))
                continue;
            ops.CreateShortcut(dropped, link, from, "", title);
        } else if (extension == "LNK") {
            // A link dropped on the folder it is in stays where it is: copied onto itself and then erased as
            // a source, it would be lost.
            if (SamePath(dropped.str(), link.str()))
                continue;
            // 0 also comes back when a failed copy was reported and passed over: the source goes only when its
            // copy is really there, whole, and is another file than the source.
            if (ops.CopyOneFile(dropped, link) == 0 && moveLinks &&
                !fovea::IsSameFile(fovea::WideOf(dropped), fovea::WideOf(link)) && fovea::SameContents(dropped, link))
                ops.DeleteOneFile(dropped);
        }
    }
}

void DeleteSelectedEntries(const CIconListBox& list)
{
    CFileOps ops;
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetSel(i) > 0 && list.IsReachableItem(i)) {
            CString path = list.GetText(i);
            if (ops.PathKind(path) == 2)
                ops.DeleteOneFile(path);
        }
}

int TakeCaretItem(const CIconListBox& list)
{
    int caret = list.GetCaretIndex();
    list.SetCaretIndex(-1, true);
    if (caret < 0 || caret >= list.GetCount())
        return -1;
    if (!list.IsReachableItem(caret)) {
        CStringArray name;
        name.Add(CString(PathFileName(list.GetText(caret).str())));
        ReportUnreachable(nullptr, name);
        return -1;
    }
    return caret;
}

bool WindowContains(HWND window, POINT screen)
{
    RECT r;
    return window && ::IsWindowVisible(window) && ::GetWindowRect(window, &r) && ::PtInRect(&r, screen);
}

} // namespace fovea
