// JPEG decoder: baseline and progressive JFIF/Exif pictures, grey as 8 bits with a grey palette, colour as 24.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True when the data starts with a start-of-image marker followed by another marker.
bool IsJpeg(const uint8_t* data, size_t size);

int DecodeJpeg(const uint8_t* data, size_t size, fovea::DecodedPicture& out);
