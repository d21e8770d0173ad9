// Reading the dropped-file list that a drag's data object carries, at full length, in the system code page.
#pragma once

#include <string>
#include <vector>

#include "framework/String.h"
#include "framework/Win32.h"

namespace fovea {

// The paths of the data object's file list (CF_HDROP in global memory), in order, in UTF-16 as the platform's
// file-drop query gives them (a list in the system code page is read in it). false, with no paths, when the
// object offers no file list or its block is malformed.
bool ReadDroppedPaths(IDataObject* data, std::vector<std::wstring>& paths);
// The same reading from a DROPFILES block in global memory, bounded by the block's size.
bool ReadDroppedPaths(HGLOBAL block, std::vector<std::wstring>& paths);

// The paths in the system code page, for the windows that work in it: each by its exact spelling or, when it
// has none, by its short form; one that has neither is left out rather than turned into another name.
bool ReadDroppedPaths(IDataObject* data, CStringArray& paths);
bool ReadDroppedPaths(HGLOBAL block, CStringArray& paths);

} // namespace fovea
