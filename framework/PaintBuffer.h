// The off-screen picture that controls paint into before one copy reaches the screen.
#pragma once

#include "framework/Win32.h"

namespace fovea {

// A memory DC holding a 32-bit top-down DIB section of at least cx by cy pixels, shared by every window of the
// calling thread, or null when it is in use (a paint inside a paint) or cannot be made. Release gives it back.
//
// Drawing into a DIB section costs no trip to the window server. Drawing into a window DC does under Wine:
// every image-list image and every compatible bitmap made for a window DC asks the server for the display's
// state, three round trips each, and a strip or tree paints dozens of images.
HDC AcquirePaintBuffer(int cx, int cy);
void ReleasePaintBuffer(HDC dc);

} // namespace fovea
