// Decoder of Pi pictures: 16 or 256 colours, pixel pairs copied from five nearby positions, new colours coded
// against a move-to-front list per left neighbour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsPi(const uint8_t* data, size_t size);
int DecodePi(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
