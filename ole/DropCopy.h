// The copy of a dropped-file list into a folder, shared by the file list and the folder tree.
#pragma once

#include <string>
#include <vector>

namespace fovea {

// Copies each path into folder target, in order, on the UTF-16 paths as dropped: a file under its own name
// (CFileOps::CopyOneFile, which asks before overwriting), a folder as a new folder of its name filled by the
// tree walk's "Copy". A missing path, one without a name (a drive root) and a folder that would land on itself
// or inside itself are skipped; in the last case no empty folder is made either.
void CopyDroppedPaths(const std::vector<std::wstring>& paths, const std::wstring& target);

// True when copying folder source to destination would put it on itself or below itself, by the paths as
// written or as the file system resolves them (links, short names). Only destination's parent need exist.
bool IsCopyIntoItself(const std::wstring& source, const std::wstring& destination);

} // namespace fovea
