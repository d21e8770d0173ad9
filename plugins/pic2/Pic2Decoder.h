// Decoder of PIC2 pictures made of raw pixel blocks (P2BM, P2BI) placed on a canvas.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsPic2(const uint8_t* data, size_t size);
int DecodePic2(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
