// WebP decoder on libwebp: lossy, lossless and either with alpha, composited on white; of an animated file the
// first frame, placed on its canvas. Every picture becomes 24 bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True for a RIFF container of type WEBP whose first chunk is VP8, VP8L or VP8X.
bool IsWebp(const uint8_t* data, size_t size);

int DecodeWebp(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// The reduced picture for samples: the library scales while it decodes, to the smallest size of the picture's
// proportions that is at least fovea::kPreviewMinWidth x kPreviewMinHeight (a smaller picture, and an animated
// one, comes back whole).
int DecodeWebpPreview(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// The size DecodeWebpPreview gives a still picture of this size.
void WebpPreviewSize(int& width, int& height);
