// Decoder of Pi pictures: 16 or 256 colours, pixel pairs copied from five nearby positions, new colours coded
// against a move-to-front list per left neighbour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsPi(const uint8_t* data, size_t size);
// The picture's size from its header alone (for callers that want to refuse large pictures early).
bool PiSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);
int DecodePi(const uint8_t* data, size_t size, DecodedPicture& out);

} // namespace fovea
