// .BMP files in the layouts other programs write, turned into the one layout the bitmap holds: run-length
// coded rows (RLE8, RLE4), top-down rows, and the OS/2 headers.
#include "image/DibRead.h"

#include <cstring>

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kCoreHeaderBytes = 12; // OS/2 version 1
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;
// The bitmap refuses larger blocks anyway; a header claiming more is not worth decoding.
constexpr uint64_t kMaxNormalBytes = 512u * 1024 * 1024;

uint32_t Le16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t Le32(const uint8_t* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}
void Put16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

uint64_t RowBytes(uint64_t width, int bitCount)
{
    return (width * uint64_t(bitCount) + 31) / 32 * 4;
}

// Draws RLE8 or RLE4 codes into zero-filled bottom-up rows. Pixels past a row's end are dropped, codes past
// the last row end the picture, and a stream that stops early leaves the rest at colour 0.
void ExpandRle(const uint8_t* p, const uint8_t* end, bool four, uint32_t width, uint32_t height, uint8_t* rows)
{
    const uint64_t stride = RowBytes(width, four ? 4 : 8);
    uint32_t x = 0, y = 0;
    auto put = [&](uint32_t index) {
        if (x < width && y < height) {
            uint8_t* row = rows + stride * y;
            if (four)
                row[x / 2] = uint8_t(x % 2 ? (row[x / 2] & 0xF0) | (index & 15) : (row[x / 2] & 0x0F) | index << 4);
            else
                row[x] = uint8_t(index);
        }
        ++x;
    };
    while (end - p >= 2 && y < height) {
        uint32_t count = p[0], value = p[1];
        p += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count && x < width; ++i)
                put(four ? (i % 2 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of picture
            return;
        } else if (value == 2) { // delta
            if (end - p < 2)
                return;
            x += p[0];
            y += p[1];
            p += 2;
        } else { // literal pixels, the bytes padded to a whole word
            uint32_t bytes = four ? (value + 1) / 2 : value;
            if (uint64_t(end - p) < bytes)
                return;
            for (uint32_t i = 0; i < value; ++i)
                put(four ? (i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
            p += bytes + (bytes & 1);
        }
    }
}

} // namespace

int NormalizeBmp(const uint8_t* file, size_t size, std::vector<uint8_t>& out)
{
    if (size < kFileHeaderBytes + 4 || file[0] != 'B' || file[1] != 'M')
        return kBmpAsIs;
    const uint8_t* info = file + kFileHeaderBytes;
    const uint64_t available = size - kFileHeaderBytes;
    const uint32_t headerBytes = Le32(info);
    const uint32_t offBits = Le32(file + 10);
    if (headerBytes < kCoreHeaderBytes || headerBytes > available || offBits > size)
        return kBmpAsIs;

    int64_t width, height;
    int bitCount;
    uint32_t compression = kRgb, colours = 0, entryBytes = 4;
    if (headerBytes == kCoreHeaderBytes) {
        width = Le16(info + 4);
        height = Le16(info + 6);
        bitCount = int(Le16(info + 10));
        entryBytes = 3;
    } else if (headerBytes >= 16) {
        // The OS/2 version 2 header (16 to 64 bytes) shares its first fields with the common one.
        width = int32_t(Le32(info + 4));
        height = int32_t(Le32(info + 8));
        bitCount = int(Le16(info + 14));
        compression = headerBytes >= 20 ? Le32(info + 16) : kRgb;
        colours = headerBytes >= 36 ? Le32(info + 32) : 0;
    } else {
        return kBmpAsIs;
    }
    const bool os2 = headerBytes == kCoreHeaderBytes || headerBytes == 16 || headerBytes == 64;
    const bool rle = (compression == kRle8 && bitCount == 8) || (compression == kRle4 && bitCount == 4);
    const bool topDown = height < 0 && (compression == kRgb || compression == kBitfields);
    if (!os2 && !rle && !topDown)
        return kBmpAsIs;
    if (os2 && compression != kRgb && !rle)
        return kBmpRefused; // OS/2's own Huffman and 24-bit run-length codes
    if (width <= 0 || height == 0 || (height < 0 && !topDown))
        return kBmpRefused;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return kBmpRefused;
    const uint64_t rows = uint64_t(height < 0 ? -height : height);
    const uint64_t stride = RowBytes(uint64_t(width), bitCount);
    const uint64_t image = stride * rows;

    // The colour table: up to the full count for the depth, as many as the file holds before its rows.
    uint64_t entries = 0;
    if (bitCount <= 8) {
        uint64_t full = uint64_t(1) << bitCount;
        entries = colours && colours < full ? colours : full;
        uint64_t room = offBits > kFileHeaderBytes + headerBytes ? (offBits - kFileHeaderBytes - headerBytes) / entryBytes
                                                                 : 0;
        if (headerBytes == kCoreHeaderBytes && offBits == 0)
            room = (available - headerBytes) / entryBytes;
        if (entries > room)
            entries = room;
        if (entries == 0)
            return kBmpRefused;
    }
    const bool masks = compression == kBitfields;
    if (masks && headerBytes < 52 && kFileHeaderBytes + uint64_t(headerBytes) + 12 > size)
        return kBmpRefused;
    const uint64_t tableBytes = masks ? 12 : 4 * entries;
    const uint64_t total = kFileHeaderBytes + kInfoHeaderBytes + tableBytes + image;
    if (total > kMaxNormalBytes)
        return kBmpRefused;
    // Without an offset the pixels follow the colour table; either way they must lie inside the file.
    const uint64_t sourceOffset = offBits ? uint64_t(offBits) : kFileHeaderBytes + headerBytes + entries * entryBytes;
    if (sourceOffset > size || (!rle && sourceOffset + image > size))
        return kBmpRefused;

    try {
        out.assign(size_t(total), 0);
    } catch (...) {
        return kBmpRefused;
    }
    uint8_t* o = out.data();
    o[0] = 'B';
    o[1] = 'M';
    Put32(o + 2, uint32_t(total));
    Put32(o + 10, uint32_t(kFileHeaderBytes + kInfoHeaderBytes + tableBytes));
    uint8_t* h = o + kFileHeaderBytes;
    Put32(h, kInfoHeaderBytes);
    Put32(h + 4, uint32_t(width));
    Put32(h + 8, uint32_t(rows));
    Put16(h + 12, 1);
    Put16(h + 14, uint32_t(bitCount));
    Put32(h + 16, masks ? kBitfields : kRgb);
    Put32(h + 20, uint32_t(image));
    Put32(h + 32, uint32_t(entries));
    uint8_t* table = h + kInfoHeaderBytes;
    if (masks) {
        std::memcpy(table, info + (headerBytes >= 52 ? 40 : headerBytes), 12);
    } else {
        const uint8_t* from = info + headerBytes;
        for (uint64_t i = 0; i < entries; ++i, from += entryBytes) {
            table[4 * i] = from[0];
            table[4 * i + 1] = from[1];
            table[4 * i + 2] = from[2];
        }
    }
    uint8_t* bits = table + tableBytes;
    const uint8_t* source = file + sourceOffset;
    if (rle) {
        ExpandRle(source, file + size, compression == kRle4, uint32_t(width), uint32_t(rows), bits);
    } else if (topDown) {
        for (uint64_t y = 0; y < rows; ++y)
            std::memcpy(bits + (rows - 1 - y) * stride, source + y * stride, size_t(stride));
    } else {
        std::memcpy(bits, source, size_t(image));
    }
    return kBmpNormalized;
}
