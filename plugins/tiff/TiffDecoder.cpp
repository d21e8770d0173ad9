// TIFF decoder: expands strips or tiles into one raw sample buffer, then converts it to DIB rows in the
// orientation the file asks for.
#include "plugins/tiff/TiffDecoder.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "plugins/tiff/TiffCodecs.h"
#include "plugins/tiff/TiffDirectory.h"

using fovea::DecodedPicture;
using tiff::CImage;

namespace {

// The raw samples and the DIB live at once in a 32-bit process.
constexpr uint64_t kMaxRawBytes = 512ull * 1024 * 1024;

// Bit-reversal table for FillOrder 2 (least-significant bit first within each byte).
struct CReverseTable {
    uint8_t m_n[256];
    CReverseTable()
    {
        for (int i = 0; i < 256; ++i) {
            int r = 0;
            for (int b = 0; b < 8; ++b)
                r |= ((i >> b) & 1) << (7 - b);
            m_n[i] = uint8_t(r);
        }
    }
};

// The layout of the raw sample buffer: chunky pictures are one plane of rows holding every sample,
// planar ones a plane per sample.
struct CLayout {
    uint32_t width = 0, height = 0;
    uint32_t samples = 1; // samples in one plane's pixel
    uint32_t planes = 1;
    uint32_t bits = 8;
    size_t rowBytes = 0;
    size_t planeBytes = 0;
};

bool RowBytesFor(uint64_t pixels, uint32_t samples, uint32_t bits, size_t& out)
{
    uint64_t b = (pixels * samples * bits + 7) / 8;
    if (b > kMaxRawBytes)
        return false;
    out = size_t(b);
    return true;
}

class CTiffDecoder {
public:
    CTiffDecoder(const uint8_t* data, size_t size, const CImage& image) : m_p(data), m_nSize(size), m_image(image) {}

    int Run(DecodedPicture& out)
    {
        int result = Check();
        if (result != fovea::kDecodeOk)
            return result;
        // Common layouts go strip by strip straight into the picture; the others through one raw buffer.
        bool stream = !m_image.tiled && IsFastLayout();
        if (stream && (result = Prepare(out)) != fovea::kDecodeOk)
            return result;
        try {
            size_t bytes = stream ? StripRows() * m_layout.rowBytes : m_layout.planeBytes * m_layout.planes;
            m_raw.reset(new uint8_t[bytes]);
            // Strips clear what they do not fill themselves; tiles may leave gaps, so start from zero.
            if (m_image.tiled)
                std::memset(m_raw.get(), 0, bytes);
        } catch (const std::bad_alloc&) {
            return fovea::kDecodeNoMemory;
        }
        result = m_image.tiled ? ReadTiles() : ReadStrips(stream ? &out : nullptr);
        if (result != fovea::kDecodeOk)
            return result;
        if (!m_bAnyData)
            return fovea::kDecodeBroken;
        if (stream)
            return fovea::kDecodeOk;
        if ((result = Prepare(out)) != fovea::kDecodeOk)
            return result;
        if (IsFastLayout()) {
            FastRows(m_raw.get(), 0, m_layout.height, out);
            return fovea::kDecodeOk;
        }
        return Convert(out);
    }

private:
    int Check();
    uint32_t StripRows() const
    {
        uint32_t rows = m_image.rowsPerStrip;
        return rows == 0 || rows > m_layout.height ? m_layout.height : rows;
    }
    bool Indexed() const { return m_image.photometric != tiff::kRgb && m_nAlpha == 0; }
    // Top-left origin, one plane, no alpha, and rows that copy or swap straight into DIB rows.
    bool IsFastLayout() const
    {
        const CLayout& l = m_layout;
        if (m_image.orientation > 1 && m_image.orientation <= 8)
            return false;
        if (l.planes != 1 || m_nAlpha != 0)
            return false;
        if (Indexed())
            return l.samples == 1 && (l.bits == 1 || l.bits == 4 || l.bits == 8);
        return l.bits == 8;
    }
    // With out, each strip is converted into the picture as soon as it is expanded.
    int ReadStrips(DecodedPicture* out);
    int ReadTiles();
    // Sizes the picture and fills its palette.
    int Prepare(DecodedPicture& out);
    void FastRows(const uint8_t* rows, uint32_t row0, uint32_t count, DecodedPicture& out) const;
    int Convert(DecodedPicture& out);

    // The stored bytes of chunk i, cut to the file; empty when the chunk lies outside it.
    bool ChunkBytes(size_t i, const uint8_t*& p, size_t& n);
    // Expands one chunk; returns the bytes written.
    size_t Expand(const uint8_t* src, size_t n, uint8_t* dst, size_t capacity);
    uint32_t Sample(uint32_t row, uint32_t col, uint32_t s) const;

    const uint8_t* m_p;
    size_t m_nSize;
    const CImage& m_image;
    CLayout m_layout;
    uint32_t m_nColourSamples = 1;
    int m_nAlpha = 0; // 0 none, 1 premultiplied, 2 straight
    std::unique_ptr<uint8_t[]> m_raw;
    std::vector<uint8_t> m_scratch;
    bool m_bAnyData = false;
};

int CTiffDecoder::Check()
{
    const CImage& im = m_image;
    if (im.width == 0 || im.height == 0)
        return fovea::kDecodeBroken;
    if (im.width > uint32_t(fovea::kMaxPictureSide) || im.height > uint32_t(fovea::kMaxPictureSide) ||
        uint64_t(im.width) * im.height > uint64_t(fovea::kMaxPicturePixels))
        return fovea::kDecodeNoMemory;
    uint32_t bits = im.bitsPerSample;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        return fovea::kDecodeUnknownFormat;
    if (im.sampleFormat != 1 || im.samplesPerPixel == 0 || im.samplesPerPixel > 16)
        return fovea::kDecodeUnknownFormat;
    switch (im.compression) {
    case tiff::kCompressionNone:
    case tiff::kCompressionLzw:
    case tiff::kCompressionDeflate:
    case tiff::kCompressionDeflateOld:
    case tiff::kCompressionPackBits:
        break;
    default:
        return fovea::kDecodeUnknownFormat;
    }
    switch (im.photometric) {
    case tiff::kWhiteIsZero:
    case tiff::kBlackIsZero:
        m_nColourSamples = 1;
        break;
    case tiff::kRgb:
        if (bits != 8 && bits != 16)
            return fovea::kDecodeUnknownFormat;
        m_nColourSamples = 3;
        break;
    case tiff::kPalette:
        if (bits > 8)
            return fovea::kDecodeUnknownFormat;
        // The table holds 3 x n entries; n should be 2^bits, fewer leave the last colours black.
        if (im.colorMap.empty() || im.colorMap.size() % 3 != 0)
            return fovea::kDecodeBroken;
        m_nColourSamples = 1;
        break;
    default:
        return fovea::kDecodeUnknownFormat;
    }
    if (im.samplesPerPixel < m_nColourSamples)
        return fovea::kDecodeBroken;
    if (im.predictor != 1 && !(im.predictor == 2 && (bits == 8 || bits == 16)))
        return fovea::kDecodeUnknownFormat;
    if (im.planar != 1 && im.planar != 2)
        return fovea::kDecodeBroken;
    if (im.samplesPerPixel > m_nColourSamples && !im.extraSamples.empty() && im.photometric != tiff::kPalette &&
        (im.extraSamples[0] == 1 || im.extraSamples[0] == 2))
        m_nAlpha = int(im.extraSamples[0]);

    CLayout& l = m_layout;
    l.width = im.width;
    l.height = im.height;
    l.bits = bits;
    bool planar = im.planar == 2 && im.samplesPerPixel > 1;
    l.planes = planar ? im.samplesPerPixel : 1;
    l.samples = planar ? 1 : im.samplesPerPixel;
    if (!RowBytesFor(l.width, l.samples, bits, l.rowBytes))
        return fovea::kDecodeNoMemory;
    uint64_t total = uint64_t(l.rowBytes) * l.height * l.planes;
    if (total > kMaxRawBytes)
        return fovea::kDecodeNoMemory;
    l.planeBytes = l.rowBytes * l.height;
    if (im.tiled) {
        if (im.tileWidth == 0 || im.tileLength == 0 || im.tileWidth > 65536 || im.tileLength > 65536 ||
            uint64_t(im.tileWidth) * im.tileLength > uint64_t(fovea::kMaxPicturePixels))
            return fovea::kDecodeBroken;
    }
    return fovea::kDecodeOk;
}

bool CTiffDecoder::ChunkBytes(size_t i, const uint8_t*& p, size_t& n)
{
    if (i >= m_image.offsets.size())
        return false;
    uint64_t at = m_image.offsets[i];
    if (at >= m_nSize)
        return false;
    uint64_t count = m_nSize - at;
    // Without StripByteCounts a chunk may run to the end of the file; the codecs stop when the chunk is full.
    if (i < m_image.byteCounts.size() && m_image.byteCounts[i] < count)
        count = m_image.byteCounts[i];
    if (count == 0)
        return false;
    p = m_p + at;
    n = size_t(count);
    return true;
}

size_t CTiffDecoder::Expand(const uint8_t* src, size_t n, uint8_t* dst, size_t capacity)
{
    if (m_image.fillOrder == 2) {
        static const CReverseTable kReverse;
        m_scratch.resize(n);
        for (size_t i = 0; i < n; ++i)
            m_scratch[i] = kReverse.m_n[src[i]];
        src = m_scratch.data();
    }
    size_t got = 0;
    switch (m_image.compression) {
    case tiff::kCompressionNone:
        got = n < capacity ? n : capacity;
        std::memcpy(dst, src, got);
        break;
    case tiff::kCompressionPackBits:
        got = tiff::ExpandPackBits(src, n, dst, capacity);
        break;
    case tiff::kCompressionLzw:
        if (tiff::IsOldStyleLzw(src, n))
            return size_t(-1);
        got = tiff::ExpandLzw(src, n, dst, capacity);
        break;
    default:
        got = tiff::ExpandDeflate(src, n, dst, capacity);
        break;
    }
    if (got > 0)
        m_bAnyData = true;
    return got;
}

int CTiffDecoder::ReadStrips(DecodedPicture* out)
{
    const CLayout& l = m_layout;
    uint32_t rows = StripRows();
    uint32_t stripsPerPlane = (l.height + rows - 1) / rows;
    for (uint32_t plane = 0; plane < l.planes; ++plane) {
        for (uint32_t s = 0; s < stripsPerPlane; ++s) {
            uint32_t row0 = s * rows;
            uint32_t count = l.height - row0 < rows ? l.height - row0 : rows;
            uint8_t* dst = out ? m_raw.get() : m_raw.get() + size_t(plane) * l.planeBytes + size_t(row0) * l.rowBytes;
            size_t capacity = size_t(count) * l.rowBytes;
            const uint8_t* src = nullptr;
            size_t n = 0;
            size_t got = 0;
            if (ChunkBytes(size_t(plane) * stripsPerPlane + s, src, n)) {
                got = Expand(src, n, dst, capacity);
                if (got == size_t(-1))
                    return fovea::kDecodeUnknownFormat;
            }
            // Rows a missing, short or damaged strip never reached are black.
            std::memset(dst + got, 0, capacity - got);
            if (got > 0 && m_image.predictor == 2)
                tiff::UndoPredictor(dst, count, l.rowBytes, l.width * l.samples, l.samples, l.bits, m_image.bigEndian);
            if (out)
                FastRows(dst, row0, count, *out);
        }
    }
    return fovea::kDecodeOk;
}

int CTiffDecoder::ReadTiles()
{
    const CLayout& l = m_layout;
    uint32_t tw = m_image.tileWidth, tl = m_image.tileLength;
    uint32_t across = (l.width + tw - 1) / tw;
    uint32_t down = (l.height + tl - 1) / tl;
    size_t tileRowBytes = 0;
    if (!RowBytesFor(tw, l.samples, l.bits, tileRowBytes) || uint64_t(tileRowBytes) * tl > kMaxRawBytes)
        return fovea::kDecodeNoMemory;
    std::vector<uint8_t> tile;
    try {
        tile.resize(tileRowBytes * tl);
    } catch (const std::bad_alloc&) {
        return fovea::kDecodeNoMemory;
    }
    const uint32_t pixelBits = l.samples * l.bits;
    for (uint32_t plane = 0; plane < l.planes; ++plane) {
        for (uint32_t ty = 0; ty < down; ++ty) {
            for (uint32_t tx = 0; tx < across; ++tx) {
                const uint8_t* src = nullptr;
                size_t n = 0;
                size_t index = (size_t(plane) * down + ty) * across + tx;
                if (!ChunkBytes(index, src, n))
                    continue;
                size_t got = Expand(src, n, tile.data(), tile.size());
                if (got == size_t(-1))
                    return fovea::kDecodeUnknownFormat;
                std::memset(tile.data() + got, 0, tile.size() - got);
                if (m_image.predictor == 2)
                    tiff::UndoPredictor(tile.data(), tl, tileRowBytes, tw * l.samples, l.samples, l.bits,
                                        m_image.bigEndian);
                uint32_t x0 = tx * tw;
                uint32_t cols = l.width - x0 < tw ? l.width - x0 : tw;
                for (uint32_t r = 0; r < tl && ty * tl + r < l.height; ++r) {
                    const uint8_t* from = tile.data() + size_t(r) * tileRowBytes;
                    uint8_t* to = m_raw.get() + size_t(plane) * l.planeBytes + size_t(ty * tl + r) * l.rowBytes;
                    uint64_t bitAt = uint64_t(x0) * pixelBits;
                    uint64_t bitCount = uint64_t(cols) * pixelBits;
                    if (bitAt % 8 == 0 && bitCount % 8 == 0) {
                        std::memcpy(to + bitAt / 8, from, size_t(bitCount / 8));
                        continue;
                    }
                    // Sub-byte pixels with a tile edge inside a byte.
                    for (uint64_t b = 0; b < bitCount; ++b) {
                        int bit = (from[b / 8] >> (7 - b % 8)) & 1;
                        uint64_t d = bitAt + b;
                        uint8_t mask = uint8_t(0x80 >> (d % 8));
                        to[d / 8] = uint8_t(bit ? (to[d / 8] | mask) : (to[d / 8] & ~mask));
                    }
                }
            }
        }
    }
    return fovea::kDecodeOk;
}

uint32_t CTiffDecoder::Sample(uint32_t row, uint32_t col, uint32_t s) const
{
    const CLayout& l = m_layout;
    const uint8_t* base = m_raw.get();
    uint64_t index = col;
    if (l.planes > 1)
        base += size_t(s) * l.planeBytes;
    else
        index = uint64_t(col) * l.samples + s;
    base += size_t(row) * l.rowBytes;
    switch (l.bits) {
    case 8:
        return base[index];
    case 16: {
        const uint8_t* p = base + index * 2;
        return m_image.bigEndian ? uint32_t(p[0] << 8 | p[1]) : uint32_t(p[1] << 8 | p[0]);
    }
    default: {
        uint64_t bit = index * l.bits;
        return (base[bit / 8] >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
    }
    }
}

int CTiffDecoder::Prepare(DecodedPicture& out)
{
    const CImage& im = m_image;
    const CLayout& l = m_layout;
    uint32_t orientation = im.orientation >= 1 && im.orientation <= 8 ? im.orientation : 1;
    bool swap = orientation >= 5;
    int32_t w = int32_t(swap ? l.height : l.width);
    int32_t h = int32_t(swap ? l.width : l.height);
    bool rgb = im.photometric == tiff::kRgb;
    bool palette = im.photometric == tiff::kPalette;
    bool invert = im.photometric == tiff::kWhiteIsZero;
    // Indexed output keeps the stored values; grey with alpha is composited to 8-bit grey.
    bool indexed = !rgb && m_nAlpha == 0;
    int bitCount = 24;
    if (!rgb)
        bitCount = (indexed && l.bits == 1) ? 1 : (indexed && l.bits <= 4) ? 4 : 8;
    if (!out.Allocate(w, h, bitCount))
        return fovea::kDecodeNoMemory;

    uint32_t maxValue = (1u << l.bits) - 1;
    if (palette) {
        size_t n = im.colorMap.size() / 3;
        bool eightBit = true; // some writers store 0-255 instead of 0-65535
        for (uint16_t v : im.colorMap)
            eightBit = eightBit && v < 256;
        for (size_t i = 0; i < n && i < (size_t(1) << bitCount) && i <= maxValue; ++i) {
            auto level = [&](size_t k) { return uint8_t(eightBit ? im.colorMap[k] : im.colorMap[k] >> 8); };
            out.SetPaletteEntry(int(i), level(i), level(n + i), level(2 * n + i));
        }
    } else if (!rgb) {
        uint32_t levels = indexed && l.bits <= 8 ? maxValue + 1 : 256;
        for (uint32_t i = 0; i < levels; ++i) {
            uint8_t v = uint8_t(i * 255 / (levels - 1));
            if (invert && indexed)
                v = uint8_t(255 - v);
            out.SetPaletteEntry(int(i), v, v, v);
        }
    }

    return fovea::kDecodeOk;
}

void CTiffDecoder::FastRows(const uint8_t* rows, uint32_t row0, uint32_t count, DecodedPicture& out) const
{
    const CLayout& l = m_layout;
    for (uint32_t r = 0; r < count; ++r) {
        const uint8_t* s = rows + size_t(r) * l.rowBytes;
        uint8_t* d = out.TopRow(int32_t(row0 + r));
        if (Indexed()) {
            std::memcpy(d, s, l.rowBytes);
            continue;
        }
        for (uint32_t x = 0; x < l.width; ++x, s += l.samples, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
}

int CTiffDecoder::Convert(DecodedPicture& out)
{
    const CImage& im = m_image;
    const CLayout& l = m_layout;
    uint32_t orientation = im.orientation >= 1 && im.orientation <= 8 ? im.orientation : 1;
    int32_t w = out.width;
    int32_t h = out.height;
    int bitCount = out.bitCount;
    bool rgb = im.photometric == tiff::kRgb;
    bool invert = im.photometric == tiff::kWhiteIsZero;
    bool indexed = Indexed();
    uint32_t maxValue = (1u << l.bits) - 1;

    auto to8 = [&](uint32_t v) -> uint32_t {
        if (l.bits == 16)
            return v >> 8;
        if (l.bits == 8)
            return v;
        return v * 255 / maxValue;
    };
    auto composite = [&](uint32_t c, uint32_t a) -> uint8_t {
        if (m_nAlpha == 1) {
            uint32_t v = c + (255 - a);
            return uint8_t(v > 255 ? 255 : v);
        }
        return uint8_t((c * a + 255 * (255 - a) + 127) / 255);
    };
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* d = out.TopRow(y);
        for (int32_t x = 0; x < w; ++x) {
            uint32_t r = 0, c = 0;
            switch (orientation) {
            case 1:
                r = uint32_t(y);
                c = uint32_t(x);
                break;
            case 2:
                r = uint32_t(y);
                c = l.width - 1 - uint32_t(x);
                break;
            case 3:
                r = l.height - 1 - uint32_t(y);
                c = l.width - 1 - uint32_t(x);
                break;
            case 4:
                r = l.height - 1 - uint32_t(y);
                c = uint32_t(x);
                break;
            case 5:
                r = uint32_t(x);
                c = uint32_t(y);
                break;
            case 6:
                r = l.height - 1 - uint32_t(x);
                c = uint32_t(y);
                break;
            case 7:
                r = l.height - 1 - uint32_t(x);
                c = l.width - 1 - uint32_t(y);
                break;
            default:
                r = uint32_t(x);
                c = l.width - 1 - uint32_t(y);
                break;
            }
            if (rgb) {
                uint32_t red = to8(Sample(r, c, 0)), green = to8(Sample(r, c, 1)), blue = to8(Sample(r, c, 2));
                if (m_nAlpha) {
                    uint32_t a = to8(Sample(r, c, 3));
                    red = composite(red, a);
                    green = composite(green, a);
                    blue = composite(blue, a);
                }
                d[x * 3] = uint8_t(blue);
                d[x * 3 + 1] = uint8_t(green);
                d[x * 3 + 2] = uint8_t(red);
                continue;
            }
            uint32_t v = Sample(r, c, 0);
            if (!indexed) {
                uint32_t g = to8(v);
                if (invert)
                    g = 255 - g;
                v = composite(g, to8(Sample(r, c, 1)));
            } else if (l.bits == 16) {
                v >>= 8;
            }
            if (bitCount == 8) {
                d[x] = uint8_t(v);
            } else if (bitCount == 4) {
                uint8_t& b = d[x >> 1];
                b = (x & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | v << 4);
            } else if (v) {
                d[x >> 3] = uint8_t(d[x >> 3] | (0x80 >> (x & 7)));
            }
        }
    }
    return fovea::kDecodeOk;
}

} // namespace

bool IsTiff(const uint8_t* data, size_t size)
{
    return tiff::IsClassicHeader(data, size);
}

int DecodeTiff(const uint8_t* data, size_t size, DecodedPicture& out)
{
    CImage image;
    int result = tiff::ReadImage(data, size, image);
    if (result != fovea::kDecodeOk)
        return result;
    try {
        CTiffDecoder decoder(data, size, image);
        result = decoder.Run(out);
    } catch (const std::bad_alloc&) {
        result = fovea::kDecodeNoMemory;
    }
    if (result != fovea::kDecodeOk)
        out = DecodedPicture();
    return result;
}
