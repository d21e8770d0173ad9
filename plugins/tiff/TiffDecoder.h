// TIFF decoder on libtiff: the first page of a TIFF file in any compression and photometric kind the library
// reads (none, LZW, Deflate, PackBits, CCITT G3/G4, JPEG; bilevel, grey, palette, RGB, CMYK, YCbCr, Lab).
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True for a classic TIFF header in either byte order. BigTIFF is not taken.
bool IsTiff(const uint8_t* data, size_t size);

// Bilevel, grey and palette pictures of 1, 2, 4 or 8 bits keep their samples as palette indices (2 bits widen to
// 4); deeper grey becomes 8 bits with a grey palette; everything else 24 bits, an alpha channel composited over
// white. Every orientation is turned to the picture as shown.
int DecodeTiff(const uint8_t* data, size_t size, fovea::DecodedPicture& out);
