// Questions the file operations ask the file system before they copy or erase: whether two paths name one
// file, where a path really leads, and an erase that never goes through a link.
#pragma once

#include <string>

#include "framework/String.h"
#include "framework/Win32.h"

namespace fovea {

// True when both paths open the same file or folder (same volume and file index).
bool IsSameFile(const std::wstring& a, const std::wstring& b);

// True when both files can be read and hold the same bytes: a copy that is there and complete.
bool SameContents(const CString& a, const CString& b);

// True when the shell link file link resolves, without a search, to target itself.
bool LinksTo(const CString& link, const CString& target);

// The path the file system resolves path to, links followed, without the "\\?\" prefix; false when the
// platform has no such query or the path cannot be opened.
bool ResolvedPath(const std::wstring& path, std::wstring& resolved);

// Equal paths, letters compared without case; one trailing backslash on either side is ignored.
bool SameWidePath(const std::wstring& a, const std::wstring& b);
// True when inner equals outer or lies below it, by the paths as written or, where both exist, as the file
// system resolves them (a destination reached through a link or a short name is caught too).
bool IsWideSameOrInside(const std::wstring& outer, const std::wstring& inner);

// Deletes folder\name unless the entry is a link whose erase would reach another file (Wine deletes the target
// of a symbolic link rather than the link). folderResolved is ResolvedPath(folder), or empty when unknown.
// 0 / -1.
int DeleteFileInPlace(const std::wstring& folder, const std::wstring& folderResolved, const std::wstring& name);

} // namespace fovea
