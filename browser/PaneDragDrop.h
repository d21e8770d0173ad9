// Drags out of and drops on the program's panes (the folder tree, the file list, the strips): the steps they
// share.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"

class CWnd;

namespace fovea {

// A drag of paths out of source, pressed at clientPoint: the application object records the source and the
// press, then the drag loop runs once the pointer leaves the drag rectangle (DragFiles). The effect chosen.
unsigned long DragFromPane(CWnd* source, POINT clientPoint, const CStringArray& paths);

// True when the drop ends one of our own drags that began in source: dropped back where it came from, it does
// nothing, and the recorded drag source is cleared. A source recorded by a press that never became a drag is
// no reason to refuse a drop from another program.
bool EndsOwnDrag(const CWnd* source);

// The data object's file list copied into folder (CopyDroppedPaths); nothing when folder is empty or the data
// holds no file list.
void CopyDropInto(IDataObject* data, const CString& folder);

} // namespace fovea
