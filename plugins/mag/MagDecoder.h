// Decoder of MAG (MAKI02) pictures: 16 or 256 colours, flag-driven copies of earlier pixel words.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsMag(const uint8_t* data, size_t size);
int DecodeMag(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
