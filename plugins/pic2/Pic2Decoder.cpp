// PIC2 decoding. A 124-byte big-endian header gives the canvas; blocks follow from the offset it names, each
// with a 26-byte header (id, size of the whole block, flag, width, height, x, y, transparent colour) and drawn
// on the canvas in file order, clipped to it. Raw blocks (P2BM big-endian, P2BI little-endian) hold one stored
// value a pixel; the compressed ones (P2SF, P2SS) are decoded line by line in Pic2Compressed.cpp. A block's
// transparent colour is matched against values as the block stores them: the raw word or bytes, or the packed
// levels (green first) of a compressed stream.
#include "plugins/pic2/Pic2Decoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "plugins/pic2/Pic2Compressed.h"

namespace fovea {
namespace {

constexpr size_t kHeaderSize = 124;
constexpr size_t kBlockHeaderSize = 26;
// Header fields, counted from the file's start: after "P2DT", name (18), subtitle (8), title (30) and saver
// (30), each text followed by CR LF, come the 0x1A at 96 and the flag at 98 (bit 0: a palette follows the header:
// bits a component, count, then count x red, green, blue, each left-aligned in its byte).
constexpr size_t kFlagAt = 98;
constexpr size_t kFirstBlockAt = 106;
constexpr size_t kDepthAt = 110;
constexpr size_t kWidthAt = 116;
constexpr size_t kHeightAt = 118;
constexpr uint32_t kHeaderHasPalette = 1;
// Block flag bit 0: pixels equal to the block's transparent colour leave the canvas as it is.
constexpr uint32_t kBlockTransparent = 1;
// Compressed blocks may code many pixels in few bytes: all of a file's together may not exceed this.
constexpr uint64_t kMaxCompressedPixels = uint64_t(kMaxPicturePixels);

uint32_t Be16(const uint8_t* p)
{
    return uint32_t(p[0]) << 8 | p[1];
}
uint32_t Be32(const uint8_t* p)
{
    return Be16(p) << 16 | Be16(p + 2);
}

// Levels of `bits` bits widened to 8 by repeating their bits from the top.
uint8_t Widen(uint32_t level, int bits)
{
    uint32_t v = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        v |= shift >= 0 ? level << shift : level >> -shift;
    return uint8_t(v);
}

// How a block's stored pixel values become colours.
class CColourMap {
public:
    enum Layout {
        kGreenFirst, // depth / 3 bits a level, green above red above blue: compressed streams
        kRedFirst,   // the same with red on top: raw pixels of 1 and 3 bytes and of 9 and 12 bits
        kWord15,     // GGGGGRRRRRBBBBB0
        kWord16,     // GGGGGRRRRRBBBBBI: the X68000 layout, the I bit a half step on every level
        kIndexed,    // 8 bits through the palette; grey levels when the file has none
    };
    CColourMap(Layout layout, int depth) : m_layout(layout)
    {
        m_bits = layout == kWord15 || layout == kWord16 ? 5 : depth / 3;
        const int widenBits = layout == kWord16 ? 6 : m_bits;
        for (uint32_t i = 0; i < 256; ++i)
            m_widen[i] = layout == kIndexed ? uint8_t(i) : Widen(i & ((1u << widenBits) - 1), widenBits);
        for (int i = 0; i < 256; ++i)
            std::memset(m_palette[i], i, 3);
    }

    // Entries of `bits` bits (left-aligned in their bytes) as red, green, blue; the file may hold fewer than 256.
    void SetPalette(const uint8_t* entries, size_t count, int bits)
    {
        bits = std::clamp(bits, 1, 8);
        for (size_t i = 0; i < std::min<size_t>(count, 256); ++i)
            for (int c = 0; c < 3; ++c)
                m_palette[i][2 - c] = Widen(uint32_t(entries[i * 3 + c]) >> (8 - bits), bits);
        for (size_t i = count; i < 256; ++i)
            std::memset(m_palette[i], 0, 3);
    }

    void ToBgr(uint32_t v, uint8_t* bgr) const
    {
        const uint32_t max = (1u << m_bits) - 1;
        switch (m_layout) {
        case kIndexed:
            std::memcpy(bgr, m_palette[v & 0xFF], 3);
            return;
        case kWord16: {
            const uint32_t i = v & 1;
            bgr[0] = m_widen[(v >> 1 & 31) << 1 | i];
            bgr[1] = m_widen[(v >> 11 & 31) << 1 | i];
            bgr[2] = m_widen[(v >> 6 & 31) << 1 | i];
            return;
        }
        case kWord15:
            v >>= 1;
            [[fallthrough]];
        case kGreenFirst:
            bgr[0] = m_widen[v & max];
            bgr[1] = m_widen[v >> (2 * m_bits) & max];
            bgr[2] = m_widen[v >> m_bits & max];
            return;
        case kRedFirst:
            bgr[0] = m_widen[v & max];
            bgr[1] = m_widen[v >> m_bits & max];
            bgr[2] = m_widen[v >> (2 * m_bits) & max];
            return;
        }
    }

private:
    Layout m_layout;
    int m_bits;
    uint8_t m_widen[256];
    uint8_t m_palette[256][3]; // blue, green, red
};

enum class BlockKind { kRawBigEndian, kRawLittleEndian, kP2sf, kP2ss, kUnknown };

struct BlockHeader {
    BlockKind kind = BlockKind::kUnknown;
    uint32_t size = 0, flag = 0, width = 0, height = 0, x = 0, y = 0, transparent = 0;
};

BlockHeader ReadBlockHeader(const uint8_t* b)
{
    BlockHeader h;
    static const struct {
        const char* id;
        BlockKind kind;
    } kKinds[] = {{"P2BM", BlockKind::kRawBigEndian},
                  {"P2BI", BlockKind::kRawLittleEndian},
                  {"P2SF", BlockKind::kP2sf},
                  {"P2SS", BlockKind::kP2ss}};
    for (const auto& k : kKinds)
        if (std::memcmp(b, k.id, 4) == 0)
            h.kind = k.kind;
    h.size = Be32(b + 4);
    h.flag = Be16(b + 8);
    h.width = Be16(b + 10);
    h.height = Be16(b + 12);
    h.x = Be16(b + 14);
    h.y = Be16(b + 16);
    h.transparent = Be32(b + 18);
    return h;
}

// Bytes a raw pixel takes at a depth: 1 up to 8 bits, 2 up to 16, else 3.
uint32_t RawPixelSize(int depth)
{
    return depth <= 8 ? 1 : depth <= 16 ? 2 : 3;
}

CColourMap::Layout RawLayout(int depth)
{
    if (depth == 8)
        return CColourMap::kIndexed;
    if (depth == 15)
        return CColourMap::kWord15;
    if (depth == 16)
        return CColourMap::kWord16;
    return CColourMap::kRedFirst;
}

// The stored values of raw line y.
void ReadRawLine(const uint8_t* pixels, const BlockHeader& block, uint32_t pixelSize, uint32_t y, uint32_t* line)
{
    const uint8_t* p = pixels + size_t(y) * block.width * pixelSize;
    for (uint32_t x = 0; x < block.width; ++x, p += pixelSize) {
        if (pixelSize == 1)
            line[x] = p[0];
        else if (pixelSize == 3)
            line[x] = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        else if (block.kind == BlockKind::kRawBigEndian)
            line[x] = uint32_t(p[0]) << 8 | p[1];
        else
            line[x] = uint32_t(p[1]) << 8 | p[0];
    }
}

} // namespace

bool IsPic2(const uint8_t* data, size_t size)
{
    if (!data || size < kHeaderSize || std::memcmp(data, "P2DT", 4) != 0)
        return false;
    const uint32_t depth = Be16(data + kDepthAt);
    return (depth >= 3 && depth <= 24 && depth % 3 == 0) || depth == 8 || depth == 16;
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
    if (!out.Allocate(int32_t(width), int32_t(height), 24))
        return kDecodeNoMemory;
    auto fail = [&out](int result) {
        out = DecodedPicture();
        return result;
    };

    const bool bCompressible = depth % 3 == 0;
    CColourMap rawColours(RawLayout(depth), depth);
    const CColourMap streamColours(CColourMap::kGreenFirst, bCompressible ? depth : 3);
    if (depth == 8 && (Be16(data + kFlagAt) & kHeaderHasPalette) && first >= kHeaderSize + 3) {
        const size_t count = std::min<size_t>(Be16(data + kHeaderSize + 1), (first - kHeaderSize - 3) / 3);
        rawColours.SetPalette(data + kHeaderSize + 3, count, data[kHeaderSize]);
    }

    std::vector<uint32_t> rawLine;
    uint64_t compressedPixels = 0;
    size_t at = first;
    int blocks = 0;
    bool bSkipped = false;
    while (at < size && data[at] != 0) {
        if (size - at < kBlockHeaderSize)
            return fail(kDecodeBroken);
        const BlockHeader block = ReadBlockHeader(data + at);
        if (block.size < kBlockHeaderSize || block.size > size - at)
            return fail(kDecodeBroken);
        const uint8_t* blockData = data + at + kBlockHeaderSize;
        const size_t blockDataSize = block.size - kBlockHeaderSize;
        at += block.size;
        if (block.kind == BlockKind::kUnknown) {
            // A kind this decoder does not know: its size still leads to the next block.
            bSkipped = true;
            continue;
        }
        const bool bRaw = block.kind == BlockKind::kRawBigEndian || block.kind == BlockKind::kRawLittleEndian;
        if (!bRaw && !bCompressible)
            return fail(kDecodeUnknownFormat);

        // Only lines that reach the canvas are decoded; pixels right of it are still decoded (later lines
        // depend on them) but not drawn.
        const uint32_t lines = block.y < height ? std::min(block.height, height - block.y) : 0;
        const uint32_t drawnWidth = block.x < width ? std::min(block.width, width - block.x) : 0;
        const CColourMap& colours = bRaw ? rawColours : streamColours;
        const uint32_t storedBits = bRaw ? RawPixelSize(depth) * 8 : uint32_t(depth);
        const uint32_t transparent = block.transparent & uint32_t((uint64_t(1) << storedBits) - 1);
        const bool bTransparent = (block.flag & kBlockTransparent) != 0;
        const Pic2LineSink paint = [&](uint32_t y, const uint32_t* values) {
            uint8_t* row = out.TopRow(int32_t(block.y + y)) + size_t(block.x) * 3;
            for (uint32_t x = 0; x < drawnWidth; ++x)
                if (!bTransparent || values[x] != transparent)
                    colours.ToBgr(values[x], row + size_t(x) * 3);
        };

        if (bRaw) {
            const uint32_t pixelSize = RawPixelSize(depth);
            if (uint64_t(block.width) * block.height * pixelSize > blockDataSize)
                return fail(kDecodeBroken);
            try {
                rawLine.resize(block.width);
            } catch (const std::bad_alloc&) {
                return fail(kDecodeNoMemory);
            }
            for (uint32_t y = 0; y < lines; ++y) {
                ReadRawLine(blockData, block, pixelSize, y, rawLine.data());
                paint(y, rawLine.data());
            }
        } else if (drawnWidth > 0 && lines > 0) {
            compressedPixels += uint64_t(block.width) * lines;
            if (compressedPixels > kMaxCompressedPixels)
                return fail(kDecodeBroken);
            const auto decode = block.kind == BlockKind::kP2sf ? DecodeP2sfBlock : DecodeP2ssBlock;
            const int result = decode(blockData, blockDataSize, depth, block.width, block.height, lines, paint);
            if (result != kDecodeOk)
                return fail(result);
        }
        ++blocks;
    }
    if (blocks == 0)
        return fail(bSkipped ? kDecodeUnknownFormat : kDecodeBroken);
    return kDecodeOk;
}

} // namespace fovea
