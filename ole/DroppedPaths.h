// Reading the dropped-file list that a drag's data object carries, at full length, in the system code page.
#pragma once

#include <string>

#include "framework/String.h"
#include "framework/Win32.h"

namespace fovea {

// The paths of the data object's file list (CF_HDROP in global memory), in order. false, with no paths, when
// the object offers no file list or its block is malformed. Paths given in UTF-16 are converted to the system
// code page; one that has no exact spelling there is left out rather than turned into another name.
bool ReadDroppedPaths(IDataObject* data, CStringArray& paths);
// The same reading from a DROPFILES block in global memory, bounded by the block's size.
bool ReadDroppedPaths(HGLOBAL block, CStringArray& paths);

// UTF-16 text in the system code page (CP_ACP); false when a character has no exact counterpart there.
bool WideToSystemCodePage(const std::u16string& wide, CString& narrow);

} // namespace fovea
