// The TIFF strip and tile codecs: each expands one chunk into a buffer of known size and never writes
// past it; a damaged or short chunk leaves the rest of the buffer as it was.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tiff {

// Each returns the number of bytes written (at most capacity).
size_t ExpandPackBits(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity);
size_t ExpandLzw(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity);
size_t ExpandDeflate(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity);

// The LZW variant of very old writers (codes least-significant bit first) starts 00 01.
bool IsOldStyleLzw(const uint8_t* src, size_t size);

// Undoes horizontal differencing over rows of samples (8 or 16 bits; 16-bit samples in file byte order).
void UndoPredictor(uint8_t* rows, size_t rowCount, size_t rowBytes, uint32_t samplesPerRow, uint32_t stride,
                   uint32_t bitsPerSample, bool bigEndian);

} // namespace tiff
