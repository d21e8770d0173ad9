// JPEG decoder on libjpeg-turbo: baseline, progressive and arithmetic-coded pictures; grey becomes 8 bits with
// a grey palette, colour (YCbCr, RGB, CMYK, YCCK) 24 bits. A picture comes back as meant to be seen: turned and
// mirrored by the orientation its EXIF block names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugins/shim/Picture.h"

// True when the data starts with a start-of-image marker followed by another marker.
bool IsJpeg(const uint8_t* data, size_t size);

int DecodeJpeg(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// The orientation (1 to 8, as EXIF and TIFF number them) named by the file's first EXIF block (an APP1 segment
// "Exif" holding a TIFF structure in either byte order); 1 when there is none or it cannot be read.
int ExifOrientation(const uint8_t* data, size_t size);

// The reduced picture for samples: decoded at 1/2, 1/4 or 1/8 of its size, the strongest of these that keeps
// it at least kPreviewMinWidth x kPreviewMinHeight (a picture smaller than that comes back whole).
constexpr int kPreviewMinWidth = 160;
constexpr int kPreviewMinHeight = 120;
int DecodeJpegPreview(const uint8_t* data, size_t size, fovea::DecodedPicture& out);

// The scale denominator (1, 2, 4 or 8) DecodeJpegPreview uses for a picture of this size.
int PreviewScale(int width, int height);
