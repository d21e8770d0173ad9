// The entries of a launcher page or an extension menu: files (normally links) in one folder, registered by
// dropping programs and links, listed by an entry list, deleted from it.
#pragma once

#include <initializer_list>

#include "framework/String.h"
#include "framework/Win32.h"

class CIconListBox;
class COleDropTarget;

namespace fovea {

// The entry and page lists: sorted full paths, one column, selection toggled in the icon zone.
constexpr DWORD kEntryListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_MULTIPLESEL |
                                  LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;

// The width of the launcher and of the extension menu (a setting), in pixels.
int LauncherWidth();
// The answer of both windows to a control-colour request: the program's background colour and brush and the
// launcher font, taken anew at every paint so that a font just chosen shows. FALSE (the default) without them.
INT_PTR LauncherControlColor(HDC hdc);

// Registers the dropped paths in folder, in drop order: a program whose upper-case extension is one of
// programKinds becomes a new link folder\TITLE.LNK (working folder: the program's own, description: its
// title); a link is copied in under its own title, and when moveLinks is set its source is erased once the
// copy is there. Folders, missing paths and files of any other kind are passed over without a word.
void RegisterDroppedPrograms(const CStringArray& paths, const CString& folder,
                             std::initializer_list<const char*> programKinds, bool moveLinks);

// Erases the file of every selected entry of list (no question). Only files are erased: an entry that has
// become a folder, and a marked one, are left alone.
void DeleteSelectedEntries(const CIconListBox& list);

// The list's caret item, whose caret is then removed; -1 when it lies on no item, or on a marked one (which the
// user is told cannot be used).
int TakeCaretItem(const CIconListBox& list);

// The screen rectangle of a child window contains the screen point.
bool WindowContains(HWND window, POINT screen);

} // namespace fovea
