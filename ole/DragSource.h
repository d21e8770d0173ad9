// Dragging files out of the program: a data object that renders the dropped-file list, and the drag loop.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"
#include "ole/DropFiles.h"

namespace fovea {

// Waits until the pointer, pressed at screenPoint in window, leaves the drag rectangle with the button down,
// then runs the platform's drag loop with the paths offered for copy and move. Returns the effect the target
// chose; 0 when the button was released first, or the drag was cancelled.
unsigned long DragFiles(HWND window, POINT screenPoint, const CStringArray& paths);

}  // namespace fovea
