// What every plug-in decoder produces: a picture in device-independent layout, ready to become the
// two memory blocks the host takes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fovea {

// Results of a decode, as the plug-in interface reports them (0 is success).
enum DecodeResult : int {
    kDecodeOk = 0,
    kDecodeNotImplemented = -1,
    kDecodeUnknownFormat = 2,
    kDecodeBroken = 3,
    kDecodeNoMemory = 4,
    kDecodeReadError = 6,
};

// A 32-bit process holds the file, the decoder's work buffer and the DIB at once: refuse larger pictures.
constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;
constexpr int32_t kMaxPictureSide = 32768;

// A reduced picture for samples (GetPreview) is never smaller than this, whatever the format's steps.
constexpr int kPreviewMinWidth = 160;
constexpr int kPreviewMinHeight = 120;

struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;                 // 1, 4, 8 or 24
    std::vector<uint8_t> palette;     // 4 bytes an entry: blue, green, red, 0; 2^bitCount entries, or empty
    std::vector<uint8_t> bits;        // rows bottom-up, each padded to a multiple of 4 bytes

    // Bytes in one stored row: width x bits rounded up to 32 bits.
    static size_t RowBytes(int32_t width, int bitCount);
    size_t Stride() const { return RowBytes(width, bitCount); }

    // Sizes the picture and zero-fills its rows and palette. False when the size is out of range or
    // memory runs out; the picture is then left empty.
    bool Allocate(int32_t width, int32_t height, int bitCount);

    // Row y counted from the top of the picture as shown.
    uint8_t* TopRow(int32_t y) { return bits.data() + size_t(height - 1 - y) * Stride(); }

    void SetPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue);
};

// One format, as a plug-in DLL serves it. Each plug-in defines exactly one of these.
struct PluginFormat {
    const char* filter;        // info 2: "*.gif"
    const char* description;   // info 3: "GIF picture"
    // Cheap structural test of the first bytes (at most 2 KiB are passed).
    bool (*isSupported)(const uint8_t* data, size_t size);
    // Full decode of a whole file held in memory.
    int (*decode)(const uint8_t* data, size_t size, DecodedPicture& out);
    // Optional: a quick reduced picture for samples (null when the format has none).
    int (*decodePreview)(const uint8_t* data, size_t size, DecodedPicture& out) = nullptr;
};

extern const PluginFormat kPluginFormat;

// A sample of a pixel with this alpha (0 clear, 255 opaque), seen over white.
inline uint8_t OverWhite(unsigned value, unsigned alpha)
{
    return uint8_t((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

// A row of blue, green, red and alpha samples over white, into blue, green and red.
void BgraRowOverWhite(const uint8_t* bgra, int width, uint8_t* bgr);

}  // namespace fovea
