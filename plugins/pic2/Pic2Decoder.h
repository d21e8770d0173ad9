// Decoder of PIC2 pictures: blocks, raw (P2BM, P2BI) or compressed (P2SF, P2SS), placed on a canvas.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsPic2(const uint8_t* data, size_t size);
int DecodePic2(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
