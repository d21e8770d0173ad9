// Decoder of X68000 PIC pictures: 4, 8, 15 or 16 bits a pixel, coded as colour changes with chains of the same
// change down the following lines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsPic(const uint8_t* data, size_t size);
int DecodePic(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
