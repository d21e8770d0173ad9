// TIFF header and directory reading: every offset and count is checked against the file before use.
#include "plugins/tiff/TiffDirectory.h"

#include <cstring>
#include <new>

#include "plugins/shim/Picture.h"

namespace tiff {

namespace {

enum Tag : uint16_t {
    kNewSubfileType = 254,
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompressionTag = 259,
    kPhotometricTag = 262,
    kFillOrder = 266,
    kStripOffsets = 273,
    kOrientation = 274,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kPlanarConfiguration = 284,
    kPredictor = 317,
    kColorMap = 320,
    kTileWidth = 322,
    kTileLength = 323,
    kTileOffsets = 324,
    kTileByteCounts = 325,
    kExtraSamples = 338,
    kSampleFormat = 339,
};

class CFile {
public:
    CFile(const uint8_t* p, size_t size, bool big) : m_p(p), m_nSize(size), m_bBig(big) {}

    bool Has(uint64_t at, uint64_t n) const { return at <= m_nSize && n <= m_nSize - at; }
    uint16_t Get16(size_t at) const
    {
        return m_bBig ? uint16_t(m_p[at] << 8 | m_p[at + 1]) : uint16_t(m_p[at] | m_p[at + 1] << 8);
    }
    uint32_t Get32(size_t at) const
    {
        uint32_t a = m_p[at], b = m_p[at + 1], c = m_p[at + 2], d = m_p[at + 3];
        return m_bBig ? (a << 24 | b << 16 | c << 8 | d) : (d << 24 | c << 16 | b << 8 | a);
    }

    // The values of one directory entry as unsigned numbers (BYTE, SHORT, LONG; signed forms as stored).
    // False for other types or values outside the file.
    bool Values(size_t entry, std::vector<uint32_t>& out, uint32_t limit) const
    {
        uint16_t type = Get16(entry + 2);
        uint32_t count = Get32(entry + 4);
        unsigned width = 0;
        switch (type) {
        case 1:
        case 6:
        case 7:
            width = 1;
            break;
        case 3:
        case 8:
            width = 2;
            break;
        case 4:
        case 9:
        case 13:
            width = 4;
            break;
        default:
            return false;
        }
        if (count > limit)
            return false;
        uint64_t bytes = uint64_t(count) * width;
        size_t at = entry + 8;
        if (bytes > 4) {
            at = Get32(entry + 8);
            if (!Has(at, bytes))
                return false;
        }
        out.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            size_t p = at + size_t(i) * width;
            out[i] = width == 1 ? m_p[p] : width == 2 ? Get16(p) : Get32(p);
        }
        return true;
    }

    bool Value(size_t entry, uint32_t& value) const
    {
        std::vector<uint32_t> v;
        if (!Values(entry, v, 64) || v.empty())
            return false;
        value = v[0];
        return true;
    }

    size_t Size() const { return m_nSize; }

private:
    const uint8_t* m_p;
    size_t m_nSize;
    bool m_bBig;
};

// Counts of strips, tiles and colour entries cannot exceed the file's size in bytes.
uint32_t ArrayLimit(const CFile& file)
{
    return file.Size() > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(file.Size());
}

int ReadDirectory(const CFile& file, size_t at, CImage& image, uint32_t& nextOffset)
{
    if (!file.Has(at, 2))
        return fovea::kDecodeBroken;
    uint32_t count = file.Get16(at);
    size_t entries = at + 2;
    if (!file.Has(entries, uint64_t(count) * 12))
        return fovea::kDecodeBroken;
    size_t after = entries + size_t(count) * 12;
    nextOffset = file.Has(after, 4) ? file.Get32(after) : 0;

    bool haveWidth = false, haveHeight = false, havePhotometric = false;
    std::vector<uint32_t> v;
    for (uint32_t i = 0; i < count; ++i) {
        size_t e = entries + size_t(i) * 12;
        uint16_t tag = file.Get16(e);
        bool ok = true;
        switch (tag) {
        case kImageWidth:
            ok = haveWidth = file.Value(e, image.width);
            break;
        case kImageLength:
            ok = haveHeight = file.Value(e, image.height);
            break;
        case kBitsPerSample:
            ok = file.Values(e, v, 64) && !v.empty();
            if (ok) {
                image.bitsPerSample = v[0];
                for (uint32_t b : v)
                    if (b != v[0])
                        return fovea::kDecodeUnknownFormat; // mixed sample sizes
            }
            break;
        case kCompressionTag:
            ok = file.Value(e, image.compression);
            break;
        case kPhotometricTag:
            ok = havePhotometric = file.Value(e, image.photometric);
            break;
        case kFillOrder:
            ok = file.Value(e, image.fillOrder);
            break;
        case kOrientation:
            ok = file.Value(e, image.orientation);
            break;
        case kSamplesPerPixel:
            ok = file.Value(e, image.samplesPerPixel);
            break;
        case kRowsPerStrip:
            ok = file.Value(e, image.rowsPerStrip);
            break;
        case kPlanarConfiguration:
            ok = file.Value(e, image.planar);
            break;
        case kPredictor:
            ok = file.Value(e, image.predictor);
            break;
        case kSampleFormat:
            ok = file.Values(e, v, 64) && !v.empty();
            if (ok) {
                image.sampleFormat = v[0];
                for (uint32_t f : v)
                    if (f != v[0])
                        return fovea::kDecodeUnknownFormat;
            }
            break;
        case kTileWidth:
            ok = file.Value(e, image.tileWidth);
            image.tiled = true;
            break;
        case kTileLength:
            ok = file.Value(e, image.tileLength);
            image.tiled = true;
            break;
        case kStripOffsets:
        case kTileOffsets:
            ok = file.Values(e, image.offsets, ArrayLimit(file));
            if (tag == kTileOffsets)
                image.tiled = true;
            break;
        case kStripByteCounts:
        case kTileByteCounts:
            ok = file.Values(e, image.byteCounts, ArrayLimit(file));
            break;
        case kExtraSamples:
            ok = file.Values(e, image.extraSamples, 64);
            break;
        case kColorMap:
            ok = file.Values(e, v, ArrayLimit(file));
            if (ok) {
                image.colorMap.assign(v.begin(), v.end());
                for (size_t k = 0; k < v.size(); ++k)
                    image.colorMap[k] = uint16_t(v[k]);
            }
            break;
        default:
            break;
        }
        if (!ok)
            return fovea::kDecodeBroken;
    }
    if (!haveWidth || !haveHeight || image.offsets.empty())
        return fovea::kDecodeBroken;
    if (!havePhotometric) {
        // Writers that leave it out mean the obvious reading.
        image.photometric = image.samplesPerPixel >= 3 ? kRgb : !image.colorMap.empty() ? kPalette : kBlackIsZero;
    }
    return fovea::kDecodeOk;
}

// NewSubfileType bit 0: a reduced-resolution copy (a thumbnail) of another image in the file.
bool IsReducedResolution(const CFile& file, size_t at)
{
    if (!file.Has(at, 2))
        return false;
    uint32_t count = file.Get16(at);
    for (uint32_t i = 0; i < count && file.Has(at + 2 + size_t(i) * 12, 12); ++i) {
        size_t e = at + 2 + size_t(i) * 12;
        uint32_t value = 0;
        if (file.Get16(e) == kNewSubfileType)
            return file.Value(e, value) && (value & 1);
    }
    return false;
}

} // namespace

bool IsClassicHeader(const uint8_t* data, size_t size)
{
    if (!data || size < 8)
        return false;
    if (data[0] == 'I' && data[1] == 'I')
        return data[2] == 42 && data[3] == 0;
    if (data[0] == 'M' && data[1] == 'M')
        return data[2] == 0 && data[3] == 42;
    return false;
}

int ReadImage(const uint8_t* data, size_t size, CImage& image)
{
    if (!IsClassicHeader(data, size))
        return fovea::kDecodeUnknownFormat;
    bool big = data[0] == 'M';
    CFile file(data, size, big);
    uint32_t first = file.Get32(4);
    uint32_t chosen = 0;
    uint32_t offsets[kMaxDirectories];
    int seen = 0;
    for (uint32_t at = first; at != 0 && seen < kMaxDirectories;) {
        bool loop = false;
        for (int i = 0; i < seen; ++i)
            loop = loop || offsets[i] == at;
        if (loop || !file.Has(at, 2))
            break;
        offsets[seen++] = at;
        if (chosen == 0)
            chosen = at;
        if (!IsReducedResolution(file, at)) {
            chosen = at;
            break;
        }
        uint32_t count = file.Get16(at);
        size_t after = size_t(at) + 2 + size_t(count) * 12;
        at = file.Has(after, 4) ? file.Get32(after) : 0;
    }
    if (chosen == 0)
        return fovea::kDecodeBroken;
    image = CImage();
    image.bigEndian = big;
    uint32_t next = 0;
    try {
        return ReadDirectory(file, chosen, image, next);
    } catch (const std::bad_alloc&) {
        return fovea::kDecodeNoMemory;
    }
}

} // namespace tiff
