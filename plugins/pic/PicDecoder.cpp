// PIC decoding. The pixels form one run in reading order, starting at a virtual position before the first pixel
// with black as the current colour. Each step gives a distance to the next colour change, fills the pixels in
// between with the current colour, then reads the new colour and an optional chain: the same change repeated on
// following lines, shifted by at most two pixels each line. A pixel a chain has set keeps its colour and
// becomes the current colour when a fill reaches it.
#include "plugins/pic/PicDecoder.h"

#include <new>
#include <vector>

namespace fovea {
namespace {

constexpr size_t kMaxCommentEnd = 64 * 1024;
constexpr int kCacheSlots = 128;

class CBitReader {
public:
    CBitReader(const uint8_t* p, size_t size) : m_p(p), m_bitsLeft(uint64_t(size) * 8) {}
    int Bit()
    {
        if (m_bitsLeft == 0) {
            m_bOverrun = true;
            return 0;
        }
        --m_bitsLeft;
        int value = (m_p[m_bit >> 3] >> (7 - (m_bit & 7))) & 1;
        ++m_bit;
        return value;
    }
    uint32_t Bits(int n)
    {
        uint32_t v = 0;
        while (n-- > 0)
            v = v << 1 | uint32_t(Bit());
        return v;
    }
    bool Overrun() const { return m_bOverrun; }

private:
    const uint8_t* m_p;
    uint64_t m_bitsLeft;
    size_t m_bit = 0;
    bool m_bOverrun = false;
};

// Recently used colours of 15/16-bit pictures: 128 slots, all black at first; a new colour replaces the least
// recently used slot, which at the start is slot 1.
class CColourCache {
public:
    CColourCache()
    {
        // Newest first: 0, 127, 126, ..., 1; the circle closes from the oldest back to the newest.
        for (int i = 0; i < kCacheSlots; ++i) {
            m_colour[i] = 0;
            m_older[i] = i == 1 ? 0 : (i == 0 ? kCacheSlots - 1 : i - 1);
            m_newer[m_older[i]] = i;
        }
        m_newest = 0;
    }
    uint32_t Use(int slot)
    {
        Touch(slot);
        return m_colour[slot];
    }
    void Add(uint32_t colour)
    {
        int slot = m_newer[m_newest]; // the oldest
        m_colour[slot] = colour;
        Touch(slot);
    }

private:
    void Touch(int slot)
    {
        if (slot == m_newest)
            return;
        m_older[m_newer[slot]] = m_older[slot];
        m_newer[m_older[slot]] = m_newer[slot];
        int oldest = m_newer[m_newest];
        m_newer[m_newest] = slot;
        m_older[slot] = m_newest;
        m_newer[slot] = oldest;
        m_older[oldest] = slot;
        m_newest = slot;
    }

    uint32_t m_colour[kCacheSlots];
    int m_older[kCacheSlots];
    int m_newer[kCacheSlots];
    int m_newest;
};

// Machine types whose header layout is known: the X68000's own, and the generic one of Unix-side tools.
constexpr int kMachineX68000 = 0x0;
constexpr int kMachineGeneric = 0xF;

struct PicHeader {
    int machine = 0;
    int depth = 0;
    uint32_t width = 0, height = 0;
    int paletteBits = 0; // generic type: bits of one palette component (stored in whole bytes)
    size_t palette = 0;  // offset of the palette (depths 4 and 8)
    size_t data = 0;     // offset of the bit stream
};

bool ParseHeader(const uint8_t* data, size_t size, PicHeader& h)
{
    if (!data || size < 3 || data[0] != 'P' || data[1] != 'I' || data[2] != 'C')
        return false;
    const size_t end = size < kMaxCommentEnd ? size : kMaxCommentEnd;
    size_t at = 3;
    while (at < end && data[at] != 0x1A)
        ++at;
    while (at < end && data[at] != 0)
        ++at;
    if (at >= end)
        return false;
    ++at;
    // reserved byte, machine type and mode, depth, width, height
    if (size - at < 8)
        return false;
    h.machine = data[at + 1] & 0x0F;
    h.depth = data[at + 2] << 8 | data[at + 3];
    h.width = uint32_t(data[at + 4]) << 8 | data[at + 5];
    h.height = uint32_t(data[at + 6]) << 8 | data[at + 7];
    at += 8;
    if (h.width == 0 || h.height == 0)
        return false;
    if (h.machine == kMachineX68000) {
        h.palette = at;
        h.data = h.depth <= 8 ? at + (size_t(2) << h.depth) : at;
        return h.depth == 4 || h.depth == 8 || h.depth == 15 || h.depth == 16;
    }
    if (h.machine != kMachineGeneric)
        return false;
    // x and y position and aspect ratio, then for palette pictures the component width and the palette.
    at += 6;
    if (h.depth == 4 || h.depth == 8) {
        if (size <= at || data[at] == 0 || data[at] > 16)
            return false;
        h.paletteBits = data[at];
        h.palette = at + 1;
        h.data = h.palette + (size_t(3) << h.depth) * size_t((h.paletteBits + 7) / 8);
        return true;
    }
    h.data = at;
    return h.depth == 15 || h.depth == 16 || h.depth == 24;
}

// A palette component of the generic type, widened to 8 bits by repeating its top bits.
uint8_t PaletteLevel(const uint8_t* p, int bits)
{
    uint32_t v = bits > 8 ? (uint32_t(p[0]) << 8 | p[1]) : p[0];
    if (bits >= 8)
        return uint8_t(v >> (bits - 8));
    uint32_t level = 0;
    for (int filled = 0; filled < 8; filled += bits)
        level = level << bits | v;
    return uint8_t(level >> ((8 + bits - 1) / bits * bits - 8));
}

uint8_t Expand5(uint32_t c)
{
    return uint8_t(c << 3 | c >> 2);
}
uint8_t Expand6(uint32_t c)
{
    return uint8_t(c << 2 | c >> 4);
}

// X68000 colour GGGGGRRRRRBBBBBI to blue, green, red; the I bit is a half step on every component. 15-bit
// pictures store the colour without its I bit. 24-bit pictures (generic type) store green, red, blue, a byte
// each, in the order of their palettes.
void ToBgr(uint32_t colour, int depth, uint8_t* bgr)
{
    if (depth == 24) {
        bgr[0] = uint8_t(colour);
        bgr[1] = uint8_t(colour >> 16);
        bgr[2] = uint8_t(colour >> 8);
        return;
    }
    if (depth == 15) {
        bgr[0] = Expand5(colour & 31);
        bgr[1] = Expand5(colour >> 10 & 31);
        bgr[2] = Expand5(colour >> 5 & 31);
        return;
    }
    uint32_t i = colour & 1;
    bgr[0] = Expand6((colour >> 1 & 31) << 1 | i);
    bgr[1] = Expand6((colour >> 11 & 31) << 1 | i);
    bgr[2] = Expand6((colour >> 6 & 31) << 1 | i);
}

} // namespace

bool PicSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height)
{
    PicHeader h;
    if (!ParseHeader(data, size, h))
        return false;
    width = h.width;
    height = h.height;
    return true;
}

bool IsPic(const uint8_t* data, size_t size)
{
    PicHeader h;
    return ParseHeader(data, size, h);
}

int DecodePic(const uint8_t* data, size_t size, DecodedPicture& out)
{
    out = DecodedPicture();
    PicHeader h;
    if (!ParseHeader(data, size, h))
        return kDecodeUnknownFormat;
    const bool bIndexed = h.depth <= 8;
    const size_t at = h.data;
    if (at > size)
        return kDecodeBroken;
    if (!out.Allocate(int32_t(h.width), int32_t(h.height), bIndexed ? h.depth : 24))
        return kDecodeNoMemory;
    if (bIndexed) {
        const uint8_t* p = data + h.palette;
        const int width = (h.paletteBits + 7) / 8;
        for (int i = 0; i < (1 << h.depth); ++i) {
            if (h.machine == kMachineGeneric) {
                // green, red, blue
                out.SetPaletteEntry(i, PaletteLevel(p + width, h.paletteBits), PaletteLevel(p, h.paletteBits),
                                    PaletteLevel(p + 2 * width, h.paletteBits));
                p += 3 * width;
                continue;
            }
            uint8_t bgr[3];
            ToBgr(uint32_t(p[0]) << 8 | p[1], 16, bgr);
            out.SetPaletteEntry(i, bgr[2], bgr[1], bgr[0]);
            p += 2;
        }
    }

    const uint32_t width = h.width;
    const size_t total = size_t(width) * h.height;
    std::vector<uint32_t> colours;
    std::vector<bool> chained;
    try {
        colours.assign(total, 0);
        chained.assign(total, false);
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return kDecodeNoMemory;
    }

    CBitReader bits(data + at, size - at);
    CColourCache cache;
    uint32_t current = 0;
    int64_t pos = -1; // the virtual position before the first pixel
    for (;;) {
        int n = 0;
        while (bits.Bit()) {
            if (++n > 30 || bits.Overrun()) {
                out = DecodedPicture();
                return kDecodeBroken;
            }
        }
        const uint64_t length = (uint64_t(1) << (n + 1)) - 1 + bits.Bits(n + 1);
        if (bits.Overrun()) {
            out = DecodedPicture();
            return kDecodeBroken;
        }
        const uint64_t next = uint64_t(pos + int64_t(length));
        for (uint64_t p = uint64_t(pos + 1); p < next && p < total; ++p) {
            if (chained[size_t(p)])
                current = colours[size_t(p)];
            else
                colours[size_t(p)] = current;
        }
        if (next >= total)
            break;
        pos = int64_t(next);

        if (bIndexed) {
            current = bits.Bits(h.depth);
        } else if (bits.Bit()) {
            current = cache.Use(int(bits.Bits(7)));
        } else {
            current = bits.Bits(h.depth);
            cache.Add(current);
        }
        colours[size_t(pos)] = current;

        if (bits.Bit()) {
            int64_t x = pos % width;
            size_t y = size_t(pos) / width;
            for (;;) {
                int64_t dx;
                uint32_t code = bits.Bits(2);
                if (code != 0) {
                    dx = int64_t(code) - 2;
                } else if (!bits.Bit()) {
                    break;
                } else {
                    dx = bits.Bit() ? 2 : -2;
                }
                x += dx;
                ++y;
                if (x < 0 || x >= int64_t(width) || y >= h.height || bits.Overrun()) {
                    out = DecodedPicture();
                    return kDecodeBroken;
                }
                const size_t q = y * width + size_t(x);
                colours[q] = current;
                chained[q] = true;
            }
        }
        if (bits.Overrun()) {
            out = DecodedPicture();
            return kDecodeBroken;
        }
    }

    for (uint32_t y = 0; y < h.height; ++y) {
        uint8_t* row = out.TopRow(int32_t(y));
        const uint32_t* src = colours.data() + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            if (h.depth == 4)
                row[x / 2] |= uint8_t((x & 1) ? src[x] : src[x] << 4);
            else if (h.depth == 8)
                row[x] = uint8_t(src[x]);
            else
                ToBgr(src[x], h.depth, row + size_t(x) * 3);
        }
    }
    return kDecodeOk;
}

} // namespace fovea
