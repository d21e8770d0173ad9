// TIFF decoder: the first full-resolution image of a baseline TIFF file, as a palette or 24-bit DIB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True for a classic TIFF header in either byte order. BigTIFF is not taken.
bool IsTiff(const uint8_t* data, size_t size);

// Bilevel, grey up to 4 bits and palette pictures keep 1 or 4 bits with their colours; 8/16-bit grey
// becomes 8 bits with a grey palette; RGB becomes 24 bits, an alpha channel composited over white.
int DecodeTiff(const uint8_t* data, size_t size, fovea::DecodedPicture& out);
