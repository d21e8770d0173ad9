// CDib pixel work: resampling to another depth, quantisation, scaling, quarter turns, flips and strip frames.
// Every loop runs on row pointers with precomputed strides and column maps; no division per pixel.
#include "image/Dib.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace fovea;

namespace {

// Nearest-pixel source coordinate for each of count target coordinates: i * sourceCount / count.
std::vector<uint32_t> NearestMap(int count, int sourceCount, uint32_t scale)
{
    std::vector<uint32_t> map(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        map[size_t(i)] = uint32_t(uint64_t(i) * uint64_t(sourceCount) / uint64_t(count)) * scale;
    return map;
}

inline int GetIndex(const uint8_t* row, uint32_t x, int bitCount)
{
    if (bitCount == 4)
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

// Target rows start zeroed, so a pixel is put by setting its bits.
inline void PutIndex(uint8_t* row, uint32_t x, int bitCount, int value)
{
    if (bitCount == 4)
        row[x >> 1] = uint8_t(row[x >> 1] | (value << ((x & 1) ? 0 : 4)));
    else
        row[x >> 3] = uint8_t(row[x >> 3] | (value << (7 - (x & 7))));
}

// True when a nearest-pixel map is the identity (same size), so rows can be copied whole.
bool IsIdentity(const std::vector<uint32_t>& map, uint32_t scale)
{
    for (size_t i = 0; i < map.size(); ++i)
        if (map[i] != i * scale)
            return false;
    return true;
}

// Cube level of a channel value: min(5, (v + 50) / 51).
struct CubeLevels {
    uint8_t red[256], green[256], blue[256];
    CubeLevels()
    {
        for (int v = 0; v < 256; ++v) {
            int level = std::min(5, (v + 50) / 51);
            red[v] = uint8_t(36 * level);
            green[v] = uint8_t(6 * level);
            blue[v] = uint8_t(level);
        }
    }
    uint8_t Index(uint8_t r, uint8_t g, uint8_t b) const { return uint8_t(red[r] + green[g] + blue[b]); }
};
const CubeLevels kCube;

// The 12-bit cell of a colour: the top four bits of red, green and blue interleaved, red's bit highest.
struct CellBits {
    uint16_t red[256], green[256], blue[256];
    CellBits()
    {
        for (int v = 0; v < 256; ++v) {
            int n = v >> 4;
            uint16_t spread = 0;
            for (int bit = 0; bit < 4; ++bit)
                if (n & (1 << bit))
                    spread = uint16_t(spread | (1 << (3 * bit)));
            red[v] = uint16_t(spread << 2);
            green[v] = uint16_t(spread << 1);
            blue[v] = spread;
        }
    }
    uint16_t Cell(uint8_t b, uint8_t g, uint8_t r) const { return uint16_t(red[r] | green[g] | blue[b]); }
};
const CellBits kCells;

// One channel's four bits back out of a cell; shift 2 red, 1 green, 0 blue.
int CellChannel(int cell, int shift)
{
    int n = 0;
    for (int bit = 0; bit < 4; ++bit)
        if (cell & (1 << (3 * bit + shift)))
            n |= 1 << bit;
    return n;
}

// Quarter turns walk the target in bands of kBand rows. Within a band, each pass takes kRun source rows
// across the band's columns into kRun-pixel runs of every target row: the source rows are read as short
// streams, the band's target rows stay in cache from pass to pass, and a band touches few enough pages for
// the address translations to stay cached too (a walk down a whole column changes page at every row).
constexpr int kBand = 512;
constexpr int kRun = 8;

inline uint32_t LoadWord(const uint8_t* p)
{
    uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

// One run: kRun pixels down a source column (rows step bytes apart) into consecutive target pixels.
// 24-bit pixels go two at a time as one 8-byte store, in order: its last 2 bytes land on the next pair, written
// right after, and the run's last on the next run, written later. Each pixel is read as a 4-byte word, so its
// column must not be the last of its row. Pixels of other sizes move one by one.
template <int kBytes> inline void MoveRun(const uint8_t* s, ptrdiff_t step, uint8_t* d)
{
    for (int i = 0; i < kRun; ++i)
        std::memcpy(d + i * kBytes, s + i * step, kBytes);
}

template <> inline void MoveRun<3>(const uint8_t* s, ptrdiff_t step, uint8_t* d)
{
    static_assert(kRun == 8, "the run is spelt out");
    auto pair = [&](const uint8_t* first) {
        return (uint64_t(LoadWord(first)) & 0xFFFFFF) | uint64_t(LoadWord(first + step)) << 24;
    };
    const uint8_t* s4 = s + 4 * step;
    const uint64_t p01 = pair(s), p23 = pair(s + 2 * step), p45 = pair(s4), p67 = pair(s4 + 2 * step);
    std::memcpy(d, &p01, 8);
    std::memcpy(d + 6, &p23, 8);
    std::memcpy(d + 12, &p45, 8);
    std::memcpy(d + 18, &p67, 8);
}

template <> inline void MoveRun<1>(const uint8_t* s, ptrdiff_t step, uint8_t* d)
{
    uint64_t run = 0;
    for (int i = 0; i < kRun; ++i)
        run |= uint64_t(s[i * step]) << (8 * i);
    std::memcpy(d, &run, 8);
}

// Asks the cache for the line at address, which may lie outside any object: asking never faults.
inline void Prefetch(uintptr_t address, bool forWriting = false)
{
    if (forWriting)
        __builtin_prefetch(reinterpret_cast<const void*>(address), 1);
    else
        __builtin_prefetch(reinterpret_cast<const void*>(address));
}

// Quarter turn of whole-byte pixels (bytes = 1 or 3). The target is h wide and w high.
// Clockwise: target (x, y) = source (w - 1 - y, x); anticlockwise: source (y, h - 1 - x).
// Runs cover the target columns before the last one; the last columns, and the target row that comes from the
// source's last column, move pixel by pixel afterwards (exact, and over what the runs spilled on).
template <int kBytes>
void RotateBytes(const uint8_t* src, size_t srcStride, int w, int h, uint8_t* dst, size_t dstStride, bool clockwise)
{
    // From one pixel of a run to the next: down the source clockwise, up it anticlockwise.
    const ptrdiff_t step = clockwise ? ptrdiff_t(srcStride) : -ptrdiff_t(srcStride);
    auto sourceOf = [&](int x, int y) {
        return clockwise ? src + size_t(x) * srcStride + size_t(w - 1 - y) * kBytes
                         : src + size_t(h - 1 - x) * srcStride + size_t(y) * kBytes;
    };
    const int runs = (h - 1) / kRun * kRun;
    const int edgeRow = clockwise ? 0 : w - 1;
    const int first = clockwise ? 1 : 0;
    const int last = clockwise ? w : w - 1;
    // A pass takes its target rows in the order that reads the source rows forwards: clockwise from the band's
    // last row up, anticlockwise from its first down.
    const ptrdiff_t nextRow = clockwise ? -ptrdiff_t(dstStride) : ptrdiff_t(dstStride);
    ptrdiff_t nextPass[kRun];
    for (int i = 0; i < kRun; ++i)
        nextPass[i] = (kRun + i) * step;
    for (int band = first; band < last; band += kBand) {
        const int count = std::min(kBand, last - band);
        const int start = clockwise ? band + count - 1 : band;
        for (int x = 0; x < runs; x += kRun) {
            uint8_t* d = dst + size_t(start) * dstStride + size_t(x) * kBytes;
            const uint8_t* s = sourceOf(x, start);
            for (int i = 0; i < count; ++i, d += nextRow, s += kBytes) {
                // The hardware foresees neither walk: ask for the target line of the next pass, and in turn for
                // each source row of the next pass.
                Prefetch(uintptr_t(d) + 64, true);
                Prefetch(uintptr_t(s) + uintptr_t(nextPass[i & (kRun - 1)]));
                MoveRun<kBytes>(s, step, d);
            }
        }
    }
    for (int y = 0; y < w; ++y) {
        uint8_t* d = dst + size_t(y) * dstStride;
        for (int x = y == edgeRow ? 0 : runs; x < h; ++x)
            std::memcpy(d + size_t(x) * kBytes, sourceOf(x, y), kBytes);
    }
}

// One row of 24-bit pixels in reverse order. Inner pixels move in groups of four: the first two as one 8-byte
// store put together from one 8-byte read, the other two as 4-byte words. Every store's bytes beyond its pixels
// land on the next pixel, written right after. The first and last pixels of the row move as 3 bytes, so that
// nothing is read or written outside either row. Each 16 pixels ask ahead for the lines of both walks: the
// target's runs on into the next row; the source's, backwards, goes on at the end of the next row (stride
// bytes on).
void MirrorRow24(const uint8_t* source, uint8_t* target, int width, size_t stride)
{
    if (width < 2) {
        std::memcpy(target, source, size_t(std::max(width, 0)) * 3);
        return;
    }
    constexpr uintptr_t kAhead = 2048;
    const uintptr_t rowStart = uintptr_t(source);
    const uintptr_t nextRowEnd = rowStart + stride + size_t(width) * 3;
    const uint8_t* p = source + size_t(width - 1) * 3;
    std::memcpy(target, p, 3);
    uint8_t* d = target + 3;
    p -= 3;
    int x = 1;
    for (; x + 16 < width; x += 16, d += 48, p -= 48) {
        uintptr_t ahead = uintptr_t(p) - kAhead;
        if (uintptr_t(p) - rowStart < kAhead)
            ahead = nextRowEnd - (kAhead - (uintptr_t(p) - rowStart));
        Prefetch(ahead);
        Prefetch(uintptr_t(d) + kAhead, true);
        for (int i = 0; i < 16; i += 4) {
            // The 8 bytes from the pixel before p - 3i hold it and the pixel at p - 3i: swapped, they are the
            // group's first two target pixels.
            uint64_t two;
            std::memcpy(&two, p - 3 * i - 3, 8);
            two = ((two >> 24) & 0xFFFFFF) | two << 24;
            const uint32_t third = LoadWord(p - 3 * i - 6), fourth = LoadWord(p - 3 * i - 9);
            std::memcpy(d + 3 * i, &two, 8);
            std::memcpy(d + 3 * i + 6, &third, 4);
            std::memcpy(d + 3 * i + 9, &fourth, 4);
        }
    }
    for (; x < width - 1; ++x, d += 3, p -= 3) {
        uint32_t pixel = LoadWord(p);
        std::memcpy(d, &pixel, 4);
    }
    std::memcpy(d, p, 3);
}

// One row of 8-bit pixels in reverse order, eight at a time as byte-swapped words.
void MirrorRow8(const uint8_t* source, uint8_t* target, int width)
{
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint64_t word;
        std::memcpy(&word, source + (width - 8 - x), 8);
        word = __builtin_bswap64(word);
        std::memcpy(target + x, &word, 8);
    }
    for (; x < width; ++x)
        target[x] = source[width - 1 - x];
}

// Depths whose pixels the conversion reads: indices and 24-bit colour.
bool IsConvertedDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24;
}

// Turns, flips and scaling move pixels without reading them: every depth, 16 and 32 bits with their masks.
bool IsTransformDepth(int bitCount)
{
    return IsConvertedDepth(bitCount) || bitCount == 16 || bitCount == 32;
}

// One row of whole-byte pixels of kBytes each in reverse order.
template <int kBytes> void MirrorRow(const uint8_t* source, uint8_t* target, int width)
{
    for (int x = 0; x < width; ++x)
        std::memcpy(target + size_t(x) * kBytes, source + size_t(width - 1 - x) * kBytes, kBytes);
}

} // namespace

bool CDib::ConvertFrom(int bitCount, const CDib& source, int width, int height)
{
    if (&source == this) {
        CDib keep;
        keep.Swap(*this);
        return ConvertFrom(bitCount, keep, width, height);
    }
    int sourceBits = source.m_nBitCount;
    if (source.IsEmpty() || !IsConvertedDepth(sourceBits))
        return false;
    if (width == 0 && height == 0) {
        width = source.GetWidth();
        height = source.GetHeight();
    }
    BmpRgbQuad colors[256];
    source.ColorLookup(colors);
    if (!Create(width, height, bitCount, 1))
        return false;
    if (width == 0 || height == 0 || (bitCount != 8 && bitCount != 24))
        return true;

    const int sourceWidth = source.GetWidth();
    const int sourceHeight = source.GetHeight();
    const uint32_t sourceStride = RowBytes(sourceWidth, sourceBits);
    const uint32_t stride = RowBytes(width, bitCount);
    std::vector<uint32_t> columns = NearestMap(width, sourceWidth, sourceBits == 24 ? 3 : 1);
    std::vector<uint32_t> rows = NearestMap(height, sourceHeight, 1);
    const bool sameWidth = IsIdentity(columns, sourceBits == 24 ? 3 : 1);
    uint8_t cubeOf[256];
    for (int i = 0; i < 256; ++i)
        cubeOf[i] = kCube.Index(colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue);

    for (int y = 0; y < height; ++y) {
        const uint8_t* s = source.m_pBits + size_t(rows[size_t(y)]) * sourceStride;
        uint8_t* d = m_pBits + size_t(y) * stride;
        const uint32_t* col = columns.data();
        if (bitCount == 24) {
            if (sourceBits == 24) {
                if (sameWidth)
                    std::memcpy(d, s, size_t(width) * 3);
                else
                    for (int x = 0; x < width; ++x, d += 3)
                        std::memcpy(d, s + col[x], 3);
            } else {
                for (int x = 0; x < width; ++x, d += 3) {
                    int index = sourceBits == 8 ? s[col[x]] : GetIndex(s, col[x], sourceBits);
                    d[0] = colors[index].rgbBlue;
                    d[1] = colors[index].rgbGreen;
                    d[2] = colors[index].rgbRed;
                }
            }
        } else if (sourceBits == 24 && sameWidth) {
            for (int x = 0; x < width; ++x, s += 3)
                d[x] = kCube.Index(s[2], s[1], s[0]);
        } else if (sourceBits == 24) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = s + col[x];
                d[x] = kCube.Index(p[2], p[1], p[0]);
            }
        } else if (sourceBits == 8) {
            for (int x = 0; x < width; ++x)
                d[x] = cubeOf[s[col[x]]];
        } else {
            for (int x = 0; x < width; ++x)
                d[x] = cubeOf[GetIndex(s, col[x], sourceBits)];
        }
    }
    return true;
}

// Equally frequent cells keep ascending cell order (a stable sort of the cells in order), so the palette of
// a picture is the same on every run.
bool CDib::QuantizeFrom(const CDib& source)
{
    if (&source == this) {
        CDib keep;
        keep.Swap(*this);
        return QuantizeFrom(keep);
    }
    if (source.IsEmpty() || source.m_nBitCount != 24)
        return false;
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    if (!Create(width, height, 8, 0))
        return false;
    const uint32_t sourceStride = RowBytes(width, 24);
    const uint32_t stride = RowBytes(width, 8);

    struct Pair {
        uint32_t count;
        uint16_t cell;
    };
    std::vector<Pair> pairs(4096);
    for (int cell = 0; cell < 4096; ++cell)
        pairs[size_t(cell)] = {0, uint16_t(cell)};
    for (int y = 0; y < height; y += 5) {
        const uint8_t* s = source.m_pBits + size_t(y) * sourceStride;
        for (int x = 0; x < width; x += 5, s += 15)
            ++pairs[kCells.Cell(s[0], s[1], s[2])].count;
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.count > b.count; });

    CDibBlock block;
    if (!block.Allocate(4 + 256 * 4)) {
        ShowDibMessage(kMsgNoMemory);
        return false;
    }
    auto* palette = reinterpret_cast<DibLogPalette*>(block.Data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    constexpr int kUnassigned = -1;
    int map[4096];
    std::fill(std::begin(map), std::end(map), kUnassigned);
    for (int j = 0; j < 256; ++j) {
        int cell = pairs[size_t(j)].cell;
        palette->Entries()[j] = {uint8_t(CellChannel(cell, 2) * 16), uint8_t(CellChannel(cell, 1) * 16),
                                 uint8_t(CellChannel(cell, 0) * 16), 0};
        map[cell] = j;
    }
    // Each run of unassigned cells takes the index of the assigned cell after it; the run after the last
    // assigned cell takes that cell's index.
    int lastAssigned = 4095;
    while (map[lastAssigned] == kUnassigned)
        --lastAssigned;
    for (int cell = 4095; cell > lastAssigned; --cell)
        map[cell] = map[lastAssigned];
    for (int cell = lastAssigned - 1, next = map[lastAssigned]; cell >= 0; --cell) {
        if (map[cell] == kUnassigned)
            map[cell] = next;
        else
            next = map[cell];
    }
    m_paletteBlock.Swap(block);
    m_pPalette = palette;
    PaletteToColorTable();

    // The pixel pass indexes by the plain 4-4-4 bits of red, green and blue, which is cheaper to form per pixel
    // than the interleaved cell; the table folds the interleaving in.
    uint8_t indexOfKey[4096];
    for (int key = 0; key < 4096; ++key)
        indexOfKey[key] =
            uint8_t(map[kCells.Cell(uint8_t((key & 15) << 4), uint8_t(key & 0xF0), uint8_t((key >> 4) & 0xF0))]);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = source.m_pBits + size_t(y) * sourceStride;
        uint8_t* d = m_pBits + size_t(y) * stride;
        for (int x = 0; x < width; ++x, s += 3)
            d[x] = indexOfKey[((s[2] & 0xF0) << 4) | (s[1] & 0xF0) | (s[0] >> 4)];
    }
    return true;
}

bool CDib::ScaleFrom(const CDib& source, int width, int height)
{
    if (&source == this) {
        CDib keep;
        keep.Swap(*this);
        return ScaleFrom(keep, width, height);
    }
    const int bits = source.m_nBitCount;
    if (source.IsEmpty() || !IsTransformDepth(bits))
        return false;
    if (width == 0 && height == 0) {
        width = source.GetWidth();
        height = source.GetHeight();
    }
    if (!Create(width, height, bits, 2, &source))
        return false;
    const uint32_t sourceStride = RowBytes(source.GetWidth(), bits);
    const uint32_t stride = RowBytes(width, bits);
    const uint32_t pixelBytes = bits >= 8 ? uint32_t(bits / 8) : 1;
    std::vector<uint32_t> columns = NearestMap(width, source.GetWidth(), pixelBytes);
    std::vector<uint32_t> rows = NearestMap(height, source.GetHeight(), 1);
    const bool sameWidth = IsIdentity(columns, pixelBytes);
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = source.m_pBits + size_t(rows[size_t(y)]) * sourceStride;
        uint8_t* d = m_pBits + size_t(y) * stride;
        const uint32_t* col = columns.data();
        if (sameWidth && bits >= 8) {
            std::memcpy(d, s, size_t(width) * size_t(bits / 8));
        } else if (bits == 24) {
            for (int x = 0; x < width; ++x, d += 3)
                std::memcpy(d, s + col[x], 3);
        } else if (bits == 8) {
            for (int x = 0; x < width; ++x)
                d[x] = s[col[x]];
        } else if (bits == 16) {
            for (int x = 0; x < width; ++x, d += 2)
                std::memcpy(d, s + col[x], 2);
        } else if (bits == 32) {
            for (int x = 0; x < width; ++x, d += 4)
                std::memcpy(d, s + col[x], 4);
        } else {
            for (int x = 0; x < width; ++x)
                PutIndex(d, uint32_t(x), bits, GetIndex(s, col[x], bits));
        }
    }
    return true;
}

bool CDib::RotateFrom(const CDib& source, int direction)
{
    if (&source == this) {
        CDib keep;
        keep.Swap(*this);
        return RotateFrom(keep, direction);
    }
    const int bits = source.m_nBitCount;
    if (source.IsEmpty() || !IsTransformDepth(bits))
        return false;
    const int w = source.GetWidth();
    const int h = source.GetHeight();
    if (!Create(h, w, bits, 2, &source))
        return false;
    const bool clockwise = direction == 1;
    const uint32_t sourceStride = RowBytes(w, bits);
    const uint32_t stride = RowBytes(h, bits);
    if (bits == 24) {
        RotateBytes<3>(source.m_pBits, sourceStride, w, h, m_pBits, stride, clockwise);
    } else if (bits == 8) {
        RotateBytes<1>(source.m_pBits, sourceStride, w, h, m_pBits, stride, clockwise);
    } else if (bits == 16) {
        RotateBytes<2>(source.m_pBits, sourceStride, w, h, m_pBits, stride, clockwise);
    } else if (bits == 32) {
        RotateBytes<4>(source.m_pBits, sourceStride, w, h, m_pBits, stride, clockwise);
    } else {
        for (int y = 0; y < w; ++y) {
            uint8_t* d = m_pBits + size_t(y) * stride;
            for (int x = 0; x < h; ++x) {
                int sx = clockwise ? w - 1 - y : y;
                int sy = clockwise ? x : h - 1 - x;
                PutIndex(d, uint32_t(x), bits,
                         GetIndex(source.m_pBits + size_t(sy) * sourceStride, uint32_t(sx), bits));
            }
        }
    }
    return true;
}

bool CDib::FlipFrom(const CDib& source, int direction)
{
    if (&source == this) {
        CDib keep;
        keep.Swap(*this);
        return FlipFrom(keep, direction);
    }
    const int bits = source.m_nBitCount;
    if (source.IsEmpty() || !IsTransformDepth(bits))
        return false;
    const int w = source.GetWidth();
    const int h = source.GetHeight();
    if (!Create(w, h, bits, 2, &source))
        return false;
    const uint32_t stride = RowBytes(w, bits);
    for (int y = 0; y < h; ++y) {
        uint8_t* d = m_pBits + size_t(y) * stride;
        if (direction == 1) {
            std::memcpy(d, source.m_pBits + size_t(h - 1 - y) * stride, stride);
            continue;
        }
        const uint8_t* s = source.m_pBits + size_t(y) * stride;
        if (bits == 24) {
            MirrorRow24(s, d, w, stride);
        } else if (bits == 8) {
            MirrorRow8(s, d, w);
        } else if (bits == 16) {
            MirrorRow<2>(s, d, w);
        } else if (bits == 32) {
            MirrorRow<4>(s, d, w);
        } else {
            for (int x = 0; x < w; ++x)
                PutIndex(d, uint32_t(x), bits, GetIndex(s, uint32_t(w - 1 - x), bits));
        }
    }
    return true;
}

// Both strips must hold the frames asked for with this object's frame size and depth; anything else copies
// nothing and fails rather than reaching past either picture.
bool CDib::CopyFrame(const CDib& source, int sourceFrame, int targetFrame)
{
    const int bits = m_nBitCount;
    if (bits != 8 && bits != 24)
        return false;
    if (IsEmpty() || source.IsEmpty() || source.m_nBitCount != bits || m_nFrameWidth <= 0 || m_nFrameHeight <= 0 ||
        sourceFrame < 0 || targetFrame < 0)
        return false;
    const int64_t fh = m_nFrameHeight;
    if (m_nFrameWidth > GetWidth() || m_nFrameWidth > source.GetWidth() ||
        (int64_t(sourceFrame) + 1) * fh > source.GetHeight() || (int64_t(targetFrame) + 1) * fh > GetHeight())
        return false;
    const size_t rowBytes = size_t(m_nFrameWidth) * (bits / 8);
    const uint32_t sourceStride = RowBytes(source.GetWidth(), bits);
    const uint32_t stride = RowBytes(GetWidth(), bits);
    const uint8_t* s = source.m_pBits + size_t(sourceFrame) * size_t(fh) * sourceStride;
    uint8_t* d = m_pBits + size_t(targetFrame) * size_t(fh) * stride;
    for (int64_t row = 0; row < fh; ++row, s += sourceStride, d += stride)
        std::memcpy(d, s, rowBytes);
    return true;
}
