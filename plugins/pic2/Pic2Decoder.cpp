// PIC2 decoding. A 124-byte big-endian header gives the canvas; blocks follow from the offset it names, each
// with a 26-byte header (id, size of the whole block, flag, width, height, x, y, transparent colour) and drawn
// on the canvas in file order. Raw blocks hold 16-bit pixels, big-endian (P2BM) or little-endian (P2BI), or
// 3-byte ones at 24 bits. The compressed kinds (P2SF, P2SS) are refused with a result the host treats as "cannot
// decode".
#include "plugins/pic2/Pic2Decoder.h"

#include <cstring>

namespace fovea {
namespace {

constexpr size_t kHeaderSize = 124;
constexpr size_t kBlockHeaderSize = 26;
// Header fields, counted from the file's start: after "P2DT", name (18), subtitle (8), title (30) and saver
// (30), each text followed by CR LF, come the 0x1A at 96 and the flag at 98 (bit 0: a palette follows; it
// matters only to depths drawn from a palette, which raw blocks never are).
constexpr size_t kFirstBlockAt = 106;
constexpr size_t kDepthAt = 110;
constexpr size_t kWidthAt = 116;
constexpr size_t kHeightAt = 118;
// Block flag bit 0: pixels equal to the block's transparent colour leave the canvas as it is.
constexpr uint32_t kBlockTransparent = 1;

uint32_t Be16(const uint8_t* p)
{
    return uint32_t(p[0]) << 8 | p[1];
}
uint32_t Be32(const uint8_t* p)
{
    return Be16(p) << 16 | Be16(p + 2);
}

uint8_t Expand5(uint32_t c)
{
    return uint8_t(c << 3 | c >> 2);
}
uint8_t Expand6(uint32_t c)
{
    return uint8_t(c << 2 | c >> 4);
}

// 15 bits: GGGGGRRRRRBBBBB0, the colour in bits 15..1 of the word, green first;
// 16 bits: the X68000 layout GGGGGRRRRRBBBBBI, the I bit a half step on every component;
// 24 bits: red, green, blue from the top.
void ToBgr(uint32_t v, int depth, uint8_t* bgr)
{
    if (depth == 24) {
        bgr[0] = uint8_t(v);
        bgr[1] = uint8_t(v >> 8);
        bgr[2] = uint8_t(v >> 16);
        return;
    }
    if (depth == 15) {
        bgr[0] = Expand5(v >> 1 & 31);
        bgr[1] = Expand5(v >> 11 & 31);
        bgr[2] = Expand5(v >> 6 & 31);
        return;
    }
    const uint32_t i = v & 1;
    bgr[0] = Expand6((v >> 1 & 31) << 1 | i);
    bgr[1] = Expand6((v >> 11 & 31) << 1 | i);
    bgr[2] = Expand6((v >> 6 & 31) << 1 | i);
}

} // namespace

bool IsPic2(const uint8_t* data, size_t size)
{
    if (!data || size < kHeaderSize || std::memcmp(data, "P2DT", 4) != 0)
        return false;
    const uint32_t depth = Be16(data + kDepthAt);
    return (depth >= 3 && depth <= 24 && depth % 3 == 0) || depth == 16;
}

int DecodePic2(const uint8_t* data, size_t size, DecodedPicture& out)
{
    out = DecodedPicture();
    if (!IsPic2(data, size))
        return kDecodeUnknownFormat;
    const int depth = int(Be16(data + kDepthAt));
    const uint32_t width = Be16(data + kWidthAt), height = Be16(data + kHeightAt);
    const uint32_t first = Be32(data + kFirstBlockAt);
    if (width == 0 || height == 0 || first < kHeaderSize || first > size)
        return kDecodeBroken;
    if (depth != 15 && depth != 16 && depth != 24)
        return kDecodeUnknownFormat;
    // Raw pixels take 2 bytes up to 16 bits, 3 (red, green, blue) above.
    const uint32_t pixelSize = depth > 16 ? 3 : 2;
    if (!out.Allocate(int32_t(width), int32_t(height), 24))
        return kDecodeNoMemory;

    size_t at = first;
    int blocks = 0;
    while (at < size && data[at] != 0) {
        if (size - at < kBlockHeaderSize) {
            out = DecodedPicture();
            return kDecodeBroken;
        }
        const uint8_t* b = data + at;
        const bool bBigEndian = std::memcmp(b, "P2BM", 4) == 0;
        if (!bBigEndian && std::memcmp(b, "P2BI", 4) != 0) {
            out = DecodedPicture();
            return kDecodeUnknownFormat;
        }
        const uint32_t blockSize = Be32(b + 4), flag = Be16(b + 8);
        const uint32_t bw = Be16(b + 10), bh = Be16(b + 12), bx = Be16(b + 14), by = Be16(b + 16);
        const uint32_t transparent = Be32(b + 18) & (depth > 16 ? 0xFFFFFF : 0xFFFF);
        const uint64_t pixelBytes = uint64_t(bw) * bh * pixelSize;
        if (blockSize < kBlockHeaderSize || blockSize > size - at || pixelBytes > blockSize - kBlockHeaderSize) {
            out = DecodedPicture();
            return kDecodeBroken;
        }
        const uint8_t* px = b + kBlockHeaderSize;
        for (uint32_t y = 0; y < bh; ++y) {
            const uint32_t cy = by + y;
            if (cy >= height)
                break;
            uint8_t* row = out.TopRow(int32_t(cy));
            for (uint32_t x = 0; x < bw; ++x) {
                const uint32_t cx = bx + x;
                if (cx >= width)
                    break;
                const uint8_t* p = px + (size_t(y) * bw + x) * pixelSize;
                uint32_t v = bBigEndian ? uint32_t(p[0]) << 8 | p[1] : uint32_t(p[1]) << 8 | p[0];
                if (pixelSize == 3)
                    v = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
                if ((flag & kBlockTransparent) && v == transparent)
                    continue;
                ToBgr(v, depth, row + size_t(cx) * 3);
            }
        }
        ++blocks;
        at += blockSize;
    }
    if (blocks == 0) {
        out = DecodedPicture();
        return kDecodeBroken;
    }
    return kDecodeOk;
}

} // namespace fovea
