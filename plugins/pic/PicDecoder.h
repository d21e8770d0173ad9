// Decoder of PIC pictures: the X68000 layout (4, 8, 15 or 16 bits a pixel) and the generic layout of Unix-side
// tools (palettes of 8-bit components, 24-bit colour), coded as colour changes with chains down the lines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsPic(const uint8_t* data, size_t size);
// The picture's size from its header alone (for callers that want to refuse large pictures early).
bool PicSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);
int DecodePic(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
