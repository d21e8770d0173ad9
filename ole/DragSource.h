// Dragging files out of the program: a data object that renders the dropped-file list, and the drag loop.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"
#include "ole/DropFiles.h"

namespace fovea {

// Waits until the pointer, pressed at screenPoint in window, leaves the drag rectangle with the button down,
// then runs the platform's drag loop with the paths offered for copy and move. Returns the effect the target
// chose; 0 when the button was released first (or is not held at all, as for a press sent by a program), or
// the drag was cancelled.
unsigned long DragFiles(HWND window, POINT screenPoint, const CStringArray& paths);

// The platform's drag loop for the paths, at once. source null: the drop source that follows the mouse
// buttons. Returns the effect the target chose, 0 when the drag was cancelled or refused.
unsigned long RunFileDrag(const CStringArray& paths, IDropSource* source = nullptr);

// True while one of this program's drag loops runs. The drag source recorded in the application object names
// the source of a drop only then; a press that never became a drag leaves it set, and a later drop from
// another program must not be taken for a drop on itself.
bool OwnDragInProgress();

} // namespace fovea
