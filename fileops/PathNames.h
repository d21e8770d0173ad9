// Names as the program's code-page calls reach them. The program speaks Shift-JIS (code page 932); a disk may
// hold names that code page cannot spell. Such a name is reached by its short 8.3 name when the file system
// keeps one, and is otherwise shown marked and refused: never under a near spelling ("café" as "cafe") that
// could name another file. Tree walks and drops work on the UTF-16 paths themselves.
#pragma once

#include <string>

#include "framework/String.h"
#include "framework/Win32.h"

class CWnd;

namespace fovea {

// The path in UTF-16, read in the system code page.
std::wstring WideOf(const CString& path);

// UTF-16 text in the system code page, only when every character has an exact spelling there and the spelling
// reads back as the same text (no best fit, no default character).
bool ExactNarrow(const std::wstring& wide, CString& narrow);

// The text for the eye: its exact spelling, or with "〓" for each character that has none. Never a path.
CString ShownText(const std::wstring& wide);

// The short (8.3) form of an existing path, read at its full length; the path itself when the file system
// keeps no short name for it or the path does not exist.
CString ShortPathOf(const CString& path);

// How a folder entry is listed: its exact name or its short name (reachable), or its shown text with "〓"
// marks (not reachable by any code-page call: every command refuses it).
struct ListedName {
    CString name;
    bool reachable = true;
};
ListedName ListedNameOf(const WIN32_FIND_DATAW& entry);

// A message over owner (null: the active window): heading, then up to three names, then how many more.
void ReportNames(CWnd* owner, const CString& heading, const CStringArray& names);

// Tells the user, over owner (null: the active window), that nothing can be done with the entries shown as
// names, and why.
void ReportUnreachable(CWnd* owner, const CStringArray& names);

// A path of the code page that names the same file as wide, as the listings would give it: its exact spelling,
// else with each component the code page cannot spell replaced by its short name; false when one has none.
bool ReachablePathOf(const std::wstring& wide, CString& narrow);

// Whether listings take short names for names the code page cannot spell (the default). A volume that keeps
// no short names (NTFS with short names turned off) lists them marked; turned off, any volume behaves so.
void UseShortNames(bool use);

// The path in the form the UTF-16 calls take at any length ("\\?\C:\..." beyond the classic limit).
std::wstring LongForm(const std::wstring& path);

} // namespace fovea
