// GIF decoder: block walk, LZW expansion straight into picture rows, interlace order, first frame only.
#include "plugins/gif/GifDecoder.h"

#include <cstring>
#include <new>
#include <vector>

using fovea::DecodedPicture;

namespace {

constexpr int kMaxCodes = 4096;

uint16_t Get16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Bounded cursor over the file.
struct CReader {
    const uint8_t* m_p;
    size_t m_nSize;
    size_t m_nAt = 0;

    bool Has(size_t n) const { return m_nSize - m_nAt >= n; }
    const uint8_t* Take(size_t n)
    {
        const uint8_t* p = m_p + m_nAt;
        m_nAt += n;
        return p;
    }
};

// Skips length-prefixed sub-blocks up to and including the empty one. False when the file ends first.
bool SkipSubBlocks(CReader& in)
{
    while (in.Has(1)) {
        size_t n = *in.Take(1);
        if (n == 0)
            return true;
        if (!in.Has(n))
            return false;
        in.Take(n);
    }
    return false;
}

// Joins the image's sub-blocks into one run of bytes; a file that ends early keeps what was there.
void GatherSubBlocks(CReader& in, std::vector<uint8_t>& out)
{
    out.clear();
    while (in.Has(1)) {
        size_t n = *in.Take(1);
        if (n == 0)
            return;
        if (!in.Has(n))
            n = in.m_nSize - in.m_nAt;
        const uint8_t* p = in.Take(n);
        out.insert(out.end(), p, p + n);
    }
}

// Takes the frame's pixels in stream order and places them on the screen, one row at a time.
class CRowSink {
public:
    CRowSink(DecodedPicture& picture, int left, int top, int width, int height, bool interlaced, uint8_t background)
        : m_picture(picture), m_nLeft(left), m_nTop(top), m_nWidth(width), m_nHeight(height), m_bInterlaced(interlaced),
          m_nBackground(background), m_line(size_t(width) + kMaxCodes)
    {
        StartRow();
    }

    bool Done() const { return m_nPass >= 4; }
    size_t PixelsTaken() const { return m_nPixels; }

    // Room left in the current row, and where to write it.
    size_t Room() const { return size_t(m_nWidth - m_nX); }
    uint8_t* Cursor() { return m_pRow + m_nX; }
    uint8_t* Scratch() { return m_line.data() + m_nWidth; }

    // The caller has written n pixels at Cursor() (n <= Room()).
    void Advance(size_t n)
    {
        m_nX += int(n);
        m_nPixels += n;
        if (m_nX == m_nWidth)
            EndRow();
    }

    // Copies pixels that may span several rows.
    void Put(const uint8_t* p, size_t n)
    {
        while (n > 0 && !Done()) {
            size_t k = n < Room() ? n : Room();
            std::memcpy(Cursor(), p, k);
            p += k;
            n -= k;
            Advance(k);
        }
    }

    // A stream that stops inside a row still shows the pixels of that row it reached.
    void Flush()
    {
        if (m_nX > 0 && !Done()) {
            std::memset(Cursor(), m_nBackground, Room());
            if (!m_bDirect)
                Emit();
        }
    }

private:
    // An 8-bit row wholly on the screen is written in place; others go through the line buffer.
    void StartRow()
    {
        int y = m_nTop + m_nRow;
        m_bDirect = m_picture.bitCount == 8 && y < m_picture.height && m_nLeft + m_nWidth <= m_picture.width;
        m_pRow = m_bDirect ? m_picture.TopRow(y) + m_nLeft : m_line.data();
    }

    void EndRow()
    {
        if (!m_bDirect)
            Emit();
        m_nX = 0;
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        if (!m_bInterlaced) {
            if (++m_nRow >= m_nHeight)
                m_nPass = 4;
        } else {
            m_nRow += kStep[m_nPass];
            while (m_nRow >= m_nHeight && m_nPass < 4) {
                if (++m_nPass < 4)
                    m_nRow = kStart[m_nPass];
            }
        }
        if (!Done())
            StartRow();
    }

    void Emit()
    {
        int y = m_nTop + m_nRow;
        if (y >= m_picture.height || m_nLeft >= m_picture.width)
            return;
        int n = m_picture.width - m_nLeft < m_nWidth ? m_picture.width - m_nLeft : m_nWidth;
        uint8_t* row = m_picture.TopRow(y);
        const uint8_t* src = m_line.data();
        if (m_picture.bitCount == 8) {
            std::memcpy(row + m_nLeft, src, size_t(n));
            return;
        }
        for (int i = 0; i < n; ++i) {
            int x = m_nLeft + i;
            uint8_t& b = row[x >> 1];
            b = (x & 1) ? uint8_t((b & 0xF0) | (src[i] & 15)) : uint8_t((b & 0x0F) | (src[i] << 4));
        }
    }

    DecodedPicture& m_picture;
    int m_nLeft, m_nTop, m_nWidth, m_nHeight;
    bool m_bInterlaced;
    uint8_t m_nBackground;
    std::vector<uint8_t> m_line; // one frame row, then scratch room for the longest LZW string
    uint8_t* m_pRow = nullptr;
    bool m_bDirect = false;
    int m_nX = 0;
    int m_nRow = 0;
    int m_nPass = 0;
    size_t m_nPixels = 0;
};

// LZW expansion, codes least-significant bit first. Stops at the end code, at the end of the data, at a
// code the table cannot have yet, or when the frame is full; what was decoded stays.
void ExpandLzw(const std::vector<uint8_t>& data, int minCodeSize, CRowSink& sink)
{
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t first[kMaxCodes];
    uint16_t length[kMaxCodes];
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = first[i] = uint8_t(i);
        length[i] = 1;
    }
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    uint64_t bits = 0;
    int bitCount = 0;
    size_t at = 0;
    const size_t size = data.size();
    const uint8_t* p = data.data();

    while (!sink.Done()) {
        if (bitCount < codeSize) {
            if (size - at >= 4) {
                bits |= uint64_t(uint32_t(p[at] | p[at + 1] << 8 | p[at + 2] << 16 | uint32_t(p[at + 3]) << 24))
                        << bitCount;
                at += 4;
                bitCount += 32;
            } else {
                while (bitCount < codeSize && at < size) {
                    bits |= uint64_t(p[at++]) << bitCount;
                    bitCount += 8;
                }
                if (bitCount < codeSize)
                    return;
            }
        }
        int code = int(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end)
            return;
        if (prev < 0) {
            if (code >= clear)
                return;
            uint8_t pixel = uint8_t(code);
            sink.Put(&pixel, 1);
            prev = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes))
            return;
        if (next < kMaxCodes) {
            // A full table is legal: the encoder may go on with 12-bit codes and clear later.
            prefix[next] = uint16_t(prev);
            suffix[next] = code == next ? first[prev] : first[code];
            first[next] = first[prev];
            length[next] = uint16_t(length[prev] + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        prev = code;

        size_t n = length[code];
        bool direct = n <= sink.Room();
        uint8_t* out = direct ? sink.Cursor() : sink.Scratch();
        uint8_t* q = out + n - 1;
        int k = code;
        while (k >= clear) {
            *q-- = suffix[k];
            k = prefix[k];
        }
        *q = uint8_t(k);
        if (direct)
            sink.Advance(n);
        else
            sink.Put(out, n);
    }
}

} // namespace

bool IsGif(const uint8_t* data, size_t size)
{
    return size >= 13 && std::memcmp(data, "GIF", 3) == 0 &&
           (std::memcmp(data + 3, "87a", 3) == 0 || std::memcmp(data + 3, "89a", 3) == 0);
}

int DecodeGif(const uint8_t* data, size_t size, DecodedPicture& out)
{
    if (!data || !IsGif(data, size))
        return fovea::kDecodeUnknownFormat;
    CReader in{data, size};
    const uint8_t* screen = in.Take(13);
    int screenWidth = Get16(screen + 6);
    int screenHeight = Get16(screen + 8);
    uint8_t flags = screen[10];
    uint8_t background = screen[11];

    const uint8_t* globalTable = nullptr;
    int globalEntries = 0;
    if (flags & 0x80) {
        globalEntries = 2 << (flags & 7);
        if (!in.Has(size_t(globalEntries) * 3))
            return fovea::kDecodeBroken;
        globalTable = in.Take(size_t(globalEntries) * 3);
    }

    for (;;) {
        if (!in.Has(1))
            return fovea::kDecodeBroken;
        uint8_t block = *in.Take(1);
        if (block == 0x21) {
            if (!in.Has(1))
                return fovea::kDecodeBroken;
            in.Take(1);
            if (!SkipSubBlocks(in))
                return fovea::kDecodeBroken;
            continue;
        }
        if (block != 0x2C)
            return fovea::kDecodeBroken; // the trailer, or garbage, before any frame
        break;
    }

    if (!in.Has(9))
        return fovea::kDecodeBroken;
    const uint8_t* descriptor = in.Take(9);
    int left = Get16(descriptor);
    int top = Get16(descriptor + 2);
    int width = Get16(descriptor + 4);
    int height = Get16(descriptor + 6);
    uint8_t frameFlags = descriptor[8];
    if (width == 0 || height == 0)
        return fovea::kDecodeBroken;

    const uint8_t* table = globalTable;
    int entries = globalEntries;
    if (frameFlags & 0x80) {
        entries = 2 << (frameFlags & 7);
        if (!in.Has(size_t(entries) * 3))
            return fovea::kDecodeBroken;
        table = in.Take(size_t(entries) * 3);
    }
    if (!in.Has(1))
        return fovea::kDecodeBroken;
    int minCodeSize = *in.Take(1);
    if (minCodeSize < 1 || minCodeSize > 8)
        return fovea::kDecodeBroken;

    // A screen of zero size (some encoders write one) is taken to be the frame's extent.
    if (screenWidth == 0 || screenHeight == 0) {
        screenWidth = left + width;
        screenHeight = top + height;
    }
    int needed = entries > (1 << minCodeSize) ? entries : (1 << minCodeSize);
    int bitCount = needed <= 16 ? 4 : 8;
    if (!out.Allocate(screenWidth, screenHeight, bitCount))
        return fovea::kDecodeNoMemory;

    if (table) {
        for (int i = 0; i < entries && i < (1 << bitCount); ++i)
            out.SetPaletteEntry(i, table[i * 3], table[i * 3 + 1], table[i * 3 + 2]);
    } else {
        // No colour table at all: show the indices as a grey ramp rather than nothing.
        int n = 1 << minCodeSize;
        for (int i = 0; i < n; ++i) {
            uint8_t v = uint8_t(n > 1 ? i * 255 / (n - 1) : 0);
            out.SetPaletteEntry(i, v, v, v);
        }
    }
    if (background >= entries)
        background = 0;
    uint8_t fill = bitCount == 8 ? background : uint8_t(background << 4 | background);
    if (fill != 0)
        std::memset(out.bits.data(), fill, out.bits.size());

    try {
        std::vector<uint8_t> stream;
        GatherSubBlocks(in, stream);
        CRowSink sink(out, left, top, width, height, (frameFlags & 0x40) != 0, background);
        ExpandLzw(stream, minCodeSize, sink);
        sink.Flush();
        if (sink.PixelsTaken() == 0) {
            out = DecodedPicture();
            return fovea::kDecodeBroken;
        }
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return fovea::kDecodeNoMemory;
    }
    return fovea::kDecodeOk;
}
