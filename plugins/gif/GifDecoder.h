// GIF decoder: the first frame of a GIF87a/GIF89a file, placed on its logical screen, as a palette DIB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True when the data starts with a GIF signature and a plausible logical screen descriptor.
bool IsGif(const uint8_t* data, size_t size);

// Decodes the first frame. The picture is 4 bits deep when every index fits in 16 colours, else 8; pixels of
// the screen outside the frame, and rows a truncated stream never reached, take the background colour.
int DecodeGif(const uint8_t* data, size_t size, fovea::DecodedPicture& out);
