// PNG decoder on libpng: every colour type and bit depth, palettes with transparency, 16-bit samples and Adam7
// interlacing. Palette and grey pictures of up to 8 bits keep their levels as palette indices (a transparent
// palette entry or grey level becomes its colour over white); everything else becomes 24 bits (grey with alpha
// 8 bits of grey), alpha composited on white.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True for the PNG signature followed by the IHDR chunk.
bool IsPng(const uint8_t* data, size_t size);

int DecodePng(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// The reduced picture for samples. An interlaced picture is read only as far as its first Adam7 passes, which
// hold every 8th, 4th or 2nd pixel in both directions: the fewest passes that keep the picture at least
// fovea::kPreviewMinWidth x kPreviewMinHeight. A picture not interlaced has nothing cheaper than its whole
// decode, which is what comes back (the host then makes the sample from it without reading the file again).
int DecodePngPreview(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// The step between the pixels DecodePngPreview keeps of an interlaced picture of this size: 8, 4, 2 or 1.
int PngPreviewStep(int width, int height);
