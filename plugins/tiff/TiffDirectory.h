// Reading the TIFF header and image file directories into the few facts the decoder needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tiff {

enum Compression : uint32_t {
    kCompressionNone = 1,
    kCompressionLzw = 5,
    kCompressionDeflate = 8,
    kCompressionPackBits = 32773,
    kCompressionDeflateOld = 32946,
};

enum Photometric : uint32_t {
    kWhiteIsZero = 0,
    kBlackIsZero = 1,
    kRgb = 2,
    kPalette = 3,
};

struct CImage {
    bool bigEndian = false;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerSample = 1;
    uint32_t samplesPerPixel = 1;
    uint32_t compression = kCompressionNone;
    uint32_t photometric = kBlackIsZero;
    uint32_t fillOrder = 1;
    uint32_t orientation = 1;
    uint32_t rowsPerStrip = 0xFFFFFFFFu;
    uint32_t planar = 1;
    uint32_t predictor = 1;
    uint32_t sampleFormat = 1;
    bool tiled = false;
    uint32_t tileWidth = 0;
    uint32_t tileLength = 0;
    std::vector<uint32_t> offsets;    // strips or tiles
    std::vector<uint32_t> byteCounts; // empty when the file leaves them out
    std::vector<uint32_t> extraSamples;
    std::vector<uint16_t> colorMap; // all reds, then greens, then blues
};

// Most directories followed before giving up: a chain of thumbnails is short, a loop is endless.
constexpr int kMaxDirectories = 64;

bool IsClassicHeader(const uint8_t* data, size_t size);

// Finds the first directory that is not a reduced-resolution copy (else the first one) and reads it.
// kDecodeOk, kDecodeUnknownFormat for BigTIFF or no header, kDecodeBroken for a damaged directory.
int ReadImage(const uint8_t* data, size_t size, CImage& image);

} // namespace tiff
