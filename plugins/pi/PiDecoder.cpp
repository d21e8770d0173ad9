// Pi decoding. The picture is one run of pixels with two extra lines above it, filled with the first two colours.
// Each step either copies pixel pairs from one of five positions (2 or 4 back, 1 or 2 lines up, 1 line up and one
// to the right or left) or, when the same position repeats, reads literal pairs while a 1 bit follows.
#include "plugins/pi/PiDecoder.h"

#include <cstring>
#include <new>
#include <vector>

#include "plugins/shim/MsbBitReader.h"

namespace fovea {
namespace {

// Encoders may stop writing once the last pixel is coded; missing bits read as 0, but only this far past the end.
constexpr size_t kMaxOverrunBytes = 16;
constexpr size_t kMaxCommentEnd = 64 * 1024;

struct PiHeader {
    bool defaultPalette = false;
    int planes = 0;
    uint32_t width = 0, height = 0;
    size_t data = 0; // offset of the palette, or of the pixel stream when there is none
};

// The header's fields; false when it does not fit in the file or names no picture we read.
bool ParseHeader(const uint8_t* data, size_t size, PiHeader& h)
{
    if (!data || size < 2 || data[0] != 'P' || data[1] != 'i')
        return false;
    const size_t end = size < kMaxCommentEnd ? size : kMaxCommentEnd;
    size_t at = 2;
    while (at < end && data[at] != 0x1A)
        ++at;
    while (at < end && data[at] != 0) // dummy bytes after the comment, ended by a 0
        ++at;
    if (at >= end)
        return false;
    ++at;
    // mode, aspect n and m, planes, machine name (4), length of the machine's own data
    if (size - at < 10)
        return false;
    h.defaultPalette = (data[at] & 0x80) != 0;
    h.planes = data[at + 3];
    const size_t machineData = size_t(data[at + 8]) << 8 | data[at + 9];
    at += 10;
    if (size - at < machineData || size - at - machineData < 4)
        return false;
    at += machineData;
    h.width = uint32_t(data[at]) << 8 | data[at + 1];
    h.height = uint32_t(data[at + 2]) << 8 | data[at + 3];
    h.data = at + 4;
    return (h.planes == 4 || h.planes == 8) && h.width > 0 && h.height > 0;
}

// Palette used when the file leaves it out. 16 colours: bit 0 blue, bit 1 red, bit 2 green, bit 3 bright;
// 256 colours: green 3 bits, red 3 bits, blue 2 bits.
void SetDefaultPalette(DecodedPicture& out, int planes)
{
    if (planes == 4) {
        for (int i = 0; i < 16; ++i) {
            uint8_t on = (i & 8) ? 0xFF : 0x77;
            out.SetPaletteEntry(i, (i & 2) ? on : 0, (i & 4) ? on : 0, (i & 1) ? on : 0);
        }
        return;
    }
    for (int i = 0; i < 256; ++i) {
        int g = i >> 5, r = (i >> 2) & 7, b = i & 3;
        out.SetPaletteEntry(i, uint8_t(r * 255 / 7), uint8_t(g * 255 / 7), uint8_t(b * 255 / 3));
    }
}

// Move-to-front lists of colours, one per left neighbour, starting as (c, c-1, c-2, ...).
class CColourTable {
public:
    explicit CColourTable(int colours) : m_n(colours), m_table(size_t(colours) * size_t(colours))
    {
        for (int c = 0; c < colours; ++c)
            for (int k = 0; k < colours; ++k)
                m_table[size_t(c) * size_t(colours) + size_t(k)] = uint8_t((c - k + colours) % colours);
    }
    uint8_t Take(int left, int rank)
    {
        uint8_t* list = &m_table[size_t(left) * size_t(m_n)];
        uint8_t colour = list[rank];
        std::memmove(list + 1, list, size_t(rank));
        list[0] = colour;
        return colour;
    }

private:
    int m_n;
    std::vector<uint8_t> m_table;
};

// Rank in the list: 1x 0-1, 00x 2-3, then 01 and k one bits (ended by a 0 unless k is the largest) with
// 2 + k bits: 010xx 4-7, 011xxx 8-15 for 16 colours; 0110xxx 8-15 ... 0111111xxxxxxx 128-255 for 256.
int ReadRank(CMsbBitReader& bits, int planes)
{
    if (bits.Bit())
        return bits.Bit();
    if (!bits.Bit())
        return 2 + bits.Bit();
    const int maxK = planes == 4 ? 1 : 5;
    int k = 0;
    while (k < maxK && bits.Bit())
        ++k;
    return (4 << k) + int(bits.Bits(2 + k));
}

} // namespace

bool PiSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height)
{
    PiHeader h;
    if (!ParseHeader(data, size, h))
        return false;
    width = h.width;
    height = h.height;
    return true;
}

bool IsPi(const uint8_t* data, size_t size)
{
    PiHeader h;
    return ParseHeader(data, size, h);
}

int DecodePi(const uint8_t* data, size_t size, DecodedPicture& out)
{
    out = DecodedPicture();
    PiHeader h;
    if (!ParseHeader(data, size, h))
        return kDecodeUnknownFormat;
    const int colours = 1 << h.planes;
    size_t at = h.data;
    if (!h.defaultPalette && size - at < size_t(colours) * 3)
        return kDecodeBroken;
    if (!out.Allocate(int32_t(h.width), int32_t(h.height), h.planes))
        return kDecodeNoMemory;
    if (h.defaultPalette) {
        SetDefaultPalette(out, h.planes);
    } else {
        for (int i = 0; i < colours; ++i, at += 3)
            out.SetPaletteEntry(i, data[at], data[at + 1], data[at + 2]);
    }

    const size_t width = h.width;
    const size_t total = width * (size_t(h.height) + 2);
    std::vector<uint8_t> pixels;
    try {
        pixels.assign(total, 0);
        CColourTable table(colours);
        CMsbBitReader bits(data + at, size - at, kMaxOverrunBytes);

        const uint8_t first = table.Take(0, ReadRank(bits, h.planes));
        const uint8_t second = table.Take(first, ReadRank(bits, h.planes));
        for (size_t i = 0; i < 2 * width; ++i)
            pixels[i] = (i & 1) ? second : first;

        size_t pos = 2 * width;
        int previous = -1;
        while (pos < total) {
            if (bits.Overrun()) {
                out = DecodedPicture();
                return kDecodeBroken;
            }
            int code = int(bits.Bits(2));
            if (code == 3)
                code += bits.Bit();
            if (code == previous) {
                do {
                    pixels[pos] = table.Take(pixels[pos - 1], ReadRank(bits, h.planes));
                    ++pos;
                    if (pos < total) {
                        pixels[pos] = table.Take(pixels[pos - 1], ReadRank(bits, h.planes));
                        ++pos;
                    }
                } while (pos < total && bits.Bit() && !bits.Overrun());
                previous = -1;
                continue;
            }
            int n = 0;
            while (bits.Bit()) {
                if (++n > 28) {
                    out = DecodedPicture();
                    return kDecodeBroken;
                }
            }
            const size_t pairs = (size_t(1) << n) + bits.Bits(n);
            size_t back;
            switch (code) {
            case 0:
                back = pixels[pos - 1] == pixels[pos - 2] ? 2 : 4;
                break;
            case 1:
                back = width;
                break;
            case 2:
                back = 2 * width;
                break;
            case 3:
                back = width - 1; // up and to the right
                break;
            default:
                back = width + 1; // up and to the left
                break;
            }
            if (back == 0 || back > pos) {
                out = DecodedPicture();
                return kDecodeBroken;
            }
            size_t count = pairs * 2;
            if (count > total - pos)
                count = total - pos;
            for (size_t i = 0; i < count; ++i, ++pos)
                pixels[pos] = pixels[pos - back]; // overlapping copies repeat the source on purpose
            previous = code;
        }
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return kDecodeNoMemory;
    }

    const uint8_t* src = pixels.data() + 2 * width;
    for (uint32_t y = 0; y < h.height; ++y, src += width) {
        uint8_t* row = out.TopRow(int32_t(y));
        if (h.planes == 8) {
            std::memcpy(row, src, width);
            continue;
        }
        for (size_t x = 0; x < width; ++x)
            row[x / 2] |= uint8_t((x & 1) ? src[x] : src[x] << 4);
    }
    return kDecodeOk;
}

} // namespace fovea
