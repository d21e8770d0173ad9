// .BMP files in layouts the bitmap does not hold as they are: run-length coded (RLE8, RLE4), top-down, or with
// an OS/2 header (version 1 or 2).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum BmpNormalizeResult {
    kBmpAsIs,       // already in the held layout (or not a .BMP at all): read the bytes as they are
    kBmpNormalized, // out holds the same picture as an uncompressed bottom-up file with a 40-byte header
    kBmpRefused,    // one of those layouts, but damaged or not decodable
};

// Makes out an ordinary .BMP file (40-byte header, 4-byte colour entries, bottom-up rows) of the same
// picture. Run-length codes that would leave the picture are clipped; a stream that stops early leaves the
// remaining pixels at colour 0.
int NormalizeBmp(const uint8_t* file, size_t size, std::vector<uint8_t>& out);
