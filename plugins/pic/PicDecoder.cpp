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

struct PicHeader {
    int depth = 0;
    uint32_t width = 0, height = 0;
    size_t data = 0; // offset of the palette, or of the bit stream when there is none
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
    h.depth = data[at + 2] << 8 | data[at + 3];
    h.width = uint32_t(data[at + 4]) << 8 | data[at + 5];
    h.height = uint32_t(data[at + 6]) << 8 | data[at + 7];
    h.data = at + 8;
    return (h.depth == 4 || h.depth == 8 || h.depth == 15 || h.depth == 16) && h.width > 0 && h.height > 0;
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
// pictures store the colour without its I bit.
void ToBgr(uint32_t colour, int depth, uint8_t* bgr)
{
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
    size_t at = h.data;
    if (bIndexed && size - at < (size_t(2) << h.depth))
        return kDecodeBroken;
    if (!out.Allocate(int32_t(h.width), int32_t(h.height), bIndexed ? h.depth : 24))
        return kDecodeNoMemory;
    if (bIndexed) {
        for (int i = 0; i < (1 << h.depth); ++i, at += 2) {
            uint8_t bgr[3];
            ToBgr(uint32_t(data[at]) << 8 | data[at + 1], 16, bgr);
            out.SetPaletteEntry(i, bgr[2], bgr[1], bgr[0]);
        }
    }

    const uint32_t width = h.width;
    const size_t total = size_t(width) * h.height;
    std::vector<uint16_t> colours; // every depth fits in 16 bits
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
                colours[size_t(p)] = uint16_t(current);
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
        colours[size_t(pos)] = uint16_t(current);

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
                colours[q] = uint16_t(current);
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
        const uint16_t* src = colours.data() + size_t(y) * width;
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
