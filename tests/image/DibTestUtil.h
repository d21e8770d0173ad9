// Test helpers for pictures: .BMP images built field by field, pixel reading by coordinates, message capture.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "image/Dib.h"

namespace dibtest {

// Little-endian stores; bytes past the end of v are dropped (a cut file simply lacks them).
inline void Put16(std::vector<uint8_t>& v, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 2 && at + i < v.size(); ++i)
        v[at + i] = uint8_t(value >> (8 * i));
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4 && at + i < v.size(); ++i)
        v[at + i] = uint8_t(value >> (8 * i));
}
inline uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A .BMP file image. Every field can be set to something a hostile file would hold.
struct BmpSpec {
    int32_t width = 5;
    int32_t height = 3;
    int bitCount = 8;
    uint32_t headerSize = 40;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    int tableEntries = -1;   // colour-table entries written; -1: clrUsed or the full count
    int64_t offBits = -1;    // -1: right after the table
    int64_t truncateTo = -1; // cut the image to this many bytes
    uint16_t type = 0x4D42;
    uint32_t seed = 1; // pixel bytes are a pattern from this
};

inline std::vector<uint8_t> BuildBmp(const BmpSpec& spec)
{
    int fullTable = spec.bitCount <= 8 ? 1 << spec.bitCount : 0;
    int entries = spec.tableEntries >= 0 ? spec.tableEntries : (spec.clrUsed ? int(spec.clrUsed) : fullTable);
    uint64_t stride = ((uint64_t(spec.width > 0 ? spec.width : 0) * uint64_t(spec.bitCount) + 31) / 32) * 4;
    uint64_t rows = stride * uint64_t(spec.height < 0 ? -int64_t(spec.height) : spec.height);
    size_t tableAt = 14 + spec.headerSize;
    size_t offBits = spec.offBits >= 0 ? size_t(spec.offBits) : tableAt + 4 * size_t(entries);
    uint64_t full = std::max<uint64_t>(offBits, tableAt + 4 * uint64_t(entries)) + rows;
    uint64_t size = spec.truncateTo >= 0 ? std::min<uint64_t>(full, uint64_t(spec.truncateTo)) : full;
    std::vector<uint8_t> v(size);
    Put16(v, 0, spec.type);
    Put32(v, 2, uint32_t(full));
    Put32(v, 10, uint32_t(offBits));
    Put32(v, 14, spec.headerSize);
    if (spec.headerSize >= 16) {
        Put32(v, 18, uint32_t(spec.width));
        Put32(v, 22, uint32_t(spec.height));
        Put16(v, 26, 1);
        Put16(v, 28, uint16_t(spec.bitCount));
    }
    if (spec.headerSize >= 40) {
        Put32(v, 30, spec.compression);
        Put32(v, 34, uint32_t(rows));
        Put32(v, 46, spec.clrUsed);
    }
    for (int i = 0; i < entries && tableAt + 4 * size_t(i) + 4 <= v.size(); ++i) {
        v[tableAt + 4 * size_t(i)] = uint8_t(i * 7);
        v[tableAt + 4 * size_t(i) + 1] = uint8_t(i * 13);
        v[tableAt + 4 * size_t(i) + 2] = uint8_t(255 - i);
    }
    uint32_t x = spec.seed;
    for (size_t i = offBits; i < v.size(); ++i) {
        x = x * 1103515245u + 12345u;
        v[i] = uint8_t(x >> 16);
    }
    return v;
}

// Pixel (x, y) in storage order: a palette index, or blue | green << 8 | red << 16.
inline uint32_t PixelAt(const CDib& dib, int x, int y)
{
    const uint8_t* row = dib.GetBits() + size_t(y) * CDib::RowBytes(dib.GetWidth(), dib.GetBitCount());
    switch (dib.GetBitCount()) {
    case 32:
        return Get32(row + 4 * x);
    case 16:
        return row[2 * x] | (row[2 * x + 1] << 8);
    case 24:
        return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    case 8:
        return row[x];
    case 4:
        return (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 15;
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    default:
        return 0xFFFFFFFF;
    }
}

// Fills a created picture with a pseudo-random pattern (indices within the palette).
inline void FillPattern(CDib& dib, uint32_t seed)
{
    uint32_t x = seed;
    uint32_t stride = CDib::RowBytes(dib.GetWidth(), dib.GetBitCount());
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (uint32_t i = 0; i < stride; ++i) {
            x = x * 1103515245u + 12345u;
            dib.GetBits()[size_t(y) * stride + i] = uint8_t(x >> 16);
        }
}

// Records every message of the bitmap code while alive.
class MessageCapture {
public:
    MessageCapture()
    {
        Messages().clear();
        fovea::SetDibMessageSink([](const char* text) { Messages().push_back(text); });
    }
    ~MessageCapture() { fovea::SetDibMessageSink(nullptr); }
    static std::vector<std::string>& Messages()
    {
        static std::vector<std::string> messages;
        return messages;
    }
};

} // namespace dibtest
