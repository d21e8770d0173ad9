// MAG decoding. A pixel word is 2 bytes (4 dots of 16 colours or 2 of 256); each line has one flag nibble per
// word, kept from line to line and changed by XOR where flag A says so. Nibble 0 reads a new word, 1-15 copy an
// earlier word. The stored area is widened to whole flag bytes; the picture shown is x1..x2 of it.
#include "plugins/mag/MagDecoder.h"

#include <cstring>
#include <new>
#include <vector>

namespace fovea {
namespace {

constexpr char kMagic[] = "MAKI02  ";
constexpr size_t kMagicSize = 8;
constexpr size_t kHeaderSize = 32;
// The comment ends with 0x1A within this many bytes; a header further out is no MAG picture we accept.
constexpr size_t kMaxCommentEnd = 64 * 1024;

// Copy sources of flag nibbles 1-15: words to the left and lines up.
struct CopyVector {
    int dx;
    int dy;
};
constexpr CopyVector kVectors[16] = {{0, 0}, {1, 0}, {2, 0}, {4, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2},
                                     {2, 2}, {0, 4}, {1, 4}, {2, 4}, {0, 8}, {1, 8}, {2, 8}, {0, 16}};

uint32_t Le16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t Le32(const uint8_t* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

// Offset of the header: the byte after the comment's 0x1A, or 0 when there is none.
size_t FindHeader(const uint8_t* data, size_t size)
{
    size_t end = size < kMaxCommentEnd ? size : kMaxCommentEnd;
    for (size_t i = kMagicSize; i < end; ++i)
        if (data[i] == 0x1A)
            return i + 1;
    return 0;
}

// A region of the file given by offset and size; reads past it fail.
struct Region {
    const uint8_t* p = nullptr;
    size_t size = 0;
    size_t at = 0;
    bool Take(size_t n, const uint8_t*& out)
    {
        if (size - at < n)
            return false;
        out = p + at;
        at += n;
        return true;
    }
};

bool MakeRegion(const uint8_t* data, size_t size, size_t header, uint32_t offset, uint64_t length, Region& r)
{
    uint64_t start = uint64_t(header) + offset;
    if (start > size)
        return false;
    if (length > size - start)
        length = size - start; // a region cut short fails only if the decode really needs the missing bytes
    r.p = data + start;
    r.size = size_t(length);
    r.at = 0;
    return true;
}

} // namespace

bool IsMag(const uint8_t* data, size_t size)
{
    if (!data || size < kMagicSize || std::memcmp(data, kMagic, kMagicSize) != 0)
        return false;
    size_t header = FindHeader(data, size);
    return header != 0 && size - header >= kHeaderSize;
}

int DecodeMag(const uint8_t* data, size_t size, DecodedPicture& out)
{
    out = DecodedPicture();
    if (!IsMag(data, size))
        return kDecodeUnknownFormat;
    const size_t header = FindHeader(data, size);
    const uint8_t* h = data + header;
    const bool b256 = (h[3] & 0x80) != 0;
    const uint32_t x1 = Le16(h + 4), y1 = Le16(h + 6), x2 = Le16(h + 8), y2 = Le16(h + 10);
    const uint32_t flagAOffset = Le32(h + 12), flagBOffset = Le32(h + 16), flagBSize = Le32(h + 20);
    const uint32_t pixelOffset = Le32(h + 24), pixelSize = Le32(h + 28);
    if (x2 < x1 || y2 < y1)
        return kDecodeBroken;

    const int colours = b256 ? 256 : 16;
    const size_t paletteAt = header + kHeaderSize;
    if (size - paletteAt < size_t(colours) * 3)
        return kDecodeBroken;

    const uint32_t dotsPerWord = b256 ? 2 : 4;
    const uint32_t dotsPerFlag = dotsPerWord * 2;
    const uint32_t storedX = x1 - x1 % dotsPerFlag;
    const uint32_t flagsPerLine = x2 / dotsPerFlag - x1 / dotsPerFlag + 1;
    const uint32_t wordsPerLine = flagsPerLine * 2;
    const size_t lineBytes = size_t(wordsPerLine) * 2;
    const int32_t width = int32_t(x2 - x1 + 1);
    const int32_t height = int32_t(y2 - y1 + 1);

    if (!out.Allocate(width, height, b256 ? 8 : 4))
        return kDecodeNoMemory;
    for (int i = 0; i < colours; ++i) {
        const uint8_t* c = data + paletteAt + size_t(i) * 3;
        out.SetPaletteEntry(i, c[1], c[0], c[2]); // stored green, red, blue
    }

    Region flagA, flagB, pixels;
    if (flagBOffset < flagAOffset || !MakeRegion(data, size, header, flagAOffset, flagBOffset - flagAOffset, flagA) ||
        !MakeRegion(data, size, header, flagBOffset, flagBSize, flagB) ||
        !MakeRegion(data, size, header, pixelOffset, pixelSize, pixels)) {
        out = DecodedPicture();
        return kDecodeBroken;
    }

    std::vector<uint8_t> stored, flags;
    try {
        stored.assign(lineBytes * size_t(height), 0);
        flags.assign(flagsPerLine, 0);
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return kDecodeNoMemory;
    }

    size_t flagABit = 0;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* line = stored.data() + size_t(y) * lineBytes;
        for (uint32_t f = 0; f < flagsPerLine; ++f, ++flagABit) {
            // Some encoders leave out the last byte of flag A, or half of it: those bits read as 0.
            if (flagABit / 8 > flagA.size) {
                out = DecodedPicture();
                return kDecodeBroken;
            }
            if (flagABit / 8 < flagA.size && (flagA.p[flagABit / 8] & (0x80 >> (flagABit % 8)))) {
                const uint8_t* b;
                if (!flagB.Take(1, b)) {
                    out = DecodedPicture();
                    return kDecodeBroken;
                }
                flags[f] ^= *b;
            }
            for (int half = 0; half < 2; ++half) {
                const int nibble = half == 0 ? flags[f] >> 4 : flags[f] & 15;
                const uint32_t word = f * 2 + uint32_t(half);
                uint8_t* dst = line + size_t(word) * 2;
                if (nibble == 0) {
                    const uint8_t* src;
                    if (!pixels.Take(2, src)) {
                        out = DecodedPicture();
                        return kDecodeBroken;
                    }
                    dst[0] = src[0];
                    dst[1] = src[1];
                    continue;
                }
                const CopyVector v = kVectors[nibble];
                // A well-formed file never points outside the picture; such words stay colour 0.
                if (uint32_t(v.dx) > word || v.dy > y)
                    continue;
                const uint8_t* src = stored.data() + size_t(y - v.dy) * lineBytes + size_t(word - v.dx) * 2;
                dst[0] = src[0];
                dst[1] = src[1];
            }
        }
    }

    const uint32_t skip = x1 - storedX;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* line = stored.data() + size_t(y) * lineBytes;
        uint8_t* row = out.TopRow(y);
        if (b256) {
            std::memcpy(row, line + skip, size_t(width));
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t sx = uint32_t(x) + skip;
            const int value = (sx & 1) ? line[sx / 2] & 15 : line[sx / 2] >> 4;
            row[x / 2] |= uint8_t((x & 1) ? value : value << 4);
        }
    }
    return kDecodeOk;
}

} // namespace fovea
