// TIFF decoder on libtiff, reading the file from memory. Bilevel, grey and palette pictures of up to 8 bits a
// pixel keep their depth (their stored samples are copied); every other kind goes through the library's RGBA
// reader band by band, is turned to its shown orientation, and has its alpha composited on white.
#include "plugins/tiff/TiffDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include <tiffio.h>

using fovea::DecodedPicture;

namespace {

// The library's own buffers (a strip, a tile, a table) are never larger than this.
constexpr tmsize_t kMaxLibraryAllocation = 256 * 1024 * 1024;
// More samples a pixel than any real picture has (CMYK with alpha and a few more is 6).
constexpr uint16_t kMaxSamples = 16;

struct CMemoryFile {
    const uint8_t* data;
    toff_t size;
    toff_t pos;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count)
{
    CMemoryFile* file = static_cast<CMemoryFile*>(handle);
    if (count <= 0 || file->pos >= file->size)
        return 0;
    tmsize_t n = tmsize_t(std::min<toff_t>(toff_t(count), file->size - file->pos));
    std::memcpy(buffer, file->data + file->pos, size_t(n));
    file->pos += toff_t(n);
    return n;
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    CMemoryFile* file = static_cast<CMemoryFile*>(handle);
    toff_t base = whence == SEEK_CUR ? file->pos : whence == SEEK_END ? file->size : 0;
    if (offset > ~toff_t(0) - base)
        return toff_t(-1);
    file->pos = base + offset;
    return file->pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<CMemoryFile*>(handle)->size; }

// The data is already in memory: the library reads uncompressed strips straight from it.
int MapProc(thandle_t handle, void** base, toff_t* size)
{
    CMemoryFile* file = static_cast<CMemoryFile*>(handle);
    *base = const_cast<uint8_t*>(file->data);
    *size = file->size;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// Messages of a damaged file would go to the console: a picture that cannot be shown is reported by result.
int QuietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

class CTiff {
public:
    CTiff(const uint8_t* data, size_t size) : m_file{data, toff_t(size), 0}
    {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (!options)
            return;
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryAllocation);
        TIFFOpenOptionsSetErrorHandlerExtR(options, QuietHandler, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, QuietHandler, nullptr);
        m_tif = TIFFClientOpenExt("picture", "rm", &m_file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                                  MapProc, UnmapProc, options);
        TIFFOpenOptionsFree(options);
    }
    ~CTiff()
    {
        if (m_tif)
            TIFFClose(m_tif);
    }
    CTiff(const CTiff&) = delete;
    CTiff& operator=(const CTiff&) = delete;
    TIFF* Get() const { return m_tif; }

private:
    CMemoryFile m_file;
    TIFF* m_tif = nullptr;
};

class CRgbaImage {
public:
    ~CRgbaImage()
    {
        if (m_begun)
            TIFFRGBAImageEnd(&m_img);
    }
    bool Begin(TIFF* tif)
    {
        char message[1024];
        m_begun = TIFFRGBAImageBegin(&m_img, tif, 0, message) != 0;
        return m_begun;
    }
    TIFFRGBAImage& Get() { return m_img; }

private:
    TIFFRGBAImage m_img = {};
    bool m_begun = false;
};

struct CLayout {
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE, compression = COMPRESSION_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT, planar = PLANARCONFIG_CONTIG, extra = 0;
    uint16_t format = SAMPLEFORMAT_UINT;
    bool tiled = false;
};

CLayout ReadLayout(TIFF* tif)
{
    CLayout l;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &l.orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.format);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    uint16_t* kinds = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &l.extra, &kinds);
    l.tiled = TIFFIsTiled(tif) != 0;
    return l;
}

// Pictures whose stored samples are the DIB's palette indices.
bool IsIndexed(const CLayout& l)
{
    return l.samples == 1 && (l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8) &&
           (l.photometric == PHOTOMETRIC_MINISWHITE || l.photometric == PHOTOMETRIC_MINISBLACK ||
            l.photometric == PHOTOMETRIC_PALETTE) &&
           l.orientation == ORIENTATION_TOPLEFT;
}

bool SetPalette(TIFF* tif, const CLayout& l, DecodedPicture& out)
{
    int count = 1 << l.bits;
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
            return false;
        // Some writers store 8-bit levels in the 16-bit map.
        bool wide = false;
        for (int i = 0; i < count; ++i)
            wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
        auto level = [wide](uint16_t v) { return uint8_t(wide ? (uint32_t(v) * 255 + 32767) / 65535 : v); };
        for (int i = 0; i < count; ++i)
            out.SetPaletteEntry(i, level(red[i]), level(green[i]), level(blue[i]));
        return true;
    }
    for (int i = 0; i < count; ++i) {
        uint8_t level = uint8_t(i * 255 / (count - 1));
        if (l.photometric == PHOTOMETRIC_MINISWHITE)
            level = uint8_t(255 - level);
        out.SetPaletteEntry(i, level, level, level);
    }
    return true;
}

uint32_t SampleAt(const uint8_t* row, uint32_t x, int bits)
{
    size_t bit = size_t(x) * bits;
    return (row[bit / 8] >> (8 - bits - int(bit % 8))) & ((1u << bits) - 1);
}

// Stored row (packed samples) into DIB row: the same bits, except 2-bit samples, which widen to 4.
void PutIndexedRow(const uint8_t* packed, uint32_t width, int bits, uint8_t* dib)
{
    if (bits != 2) {
        std::memcpy(dib, packed, (size_t(width) * bits + 7) / 8);
        return;
    }
    for (uint32_t x = 0; x < width; x += 2) {
        uint32_t high = SampleAt(packed, x, 2), low = x + 1 < width ? SampleAt(packed, x + 1, 2) : 0;
        dib[x / 2] = uint8_t(high << 4 | low);
    }
}

int DecodeIndexed(TIFF* tif, const CLayout& l, DecodedPicture& out)
{
    if (!out.Allocate(int32_t(l.width), int32_t(l.height), l.bits == 2 ? 4 : l.bits))
        return fovea::kDecodeNoMemory;
    if (!SetPalette(tif, l, out)) {
        out = DecodedPicture();
        return fovea::kDecodeBroken;
    }
    size_t rowBytes = (size_t(l.width) * l.bits + 7) / 8;
    if (l.tiled) {
        uint32_t tileWidth = 0, tileHeight = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
        tmsize_t tileSize = TIFFTileSize(tif);
        if (tileWidth == 0 || tileHeight == 0 || tileSize <= 0) {
            out = DecodedPicture();
            return fovea::kDecodeBroken;
        }
        std::vector<uint8_t> tile(static_cast<size_t>(tileSize));
        bool any = false;
        size_t tileRowBytes = (size_t(tileWidth) * l.bits + 7) / 8;
        for (uint32_t y0 = 0; y0 < l.height; y0 += tileHeight) {
            // A band of whole rows is gathered from its tiles, then each row goes into the DIB.
            std::vector<uint8_t> band(rowBytes * std::min(tileHeight, l.height - y0), 0);
            for (uint32_t x0 = 0; x0 < l.width; x0 += tileWidth) {
                std::fill(tile.begin(), tile.end(), 0);
                if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x0, y0, 0, 0), tile.data(), tileSize) >= 0)
                    any = true;
                for (uint32_t r = 0; r < tileHeight && y0 + r < l.height; ++r) {
                    const uint8_t* from = tile.data() + size_t(r) * tileRowBytes;
                    uint8_t* to = band.data() + size_t(r) * rowBytes;
                    for (uint32_t c = 0; c < tileWidth && x0 + c < l.width; ++c) {
                        size_t bit = size_t(x0 + c) * l.bits;
                        to[bit / 8] = uint8_t(to[bit / 8] | SampleAt(from, c, l.bits) << (8 - l.bits - bit % 8));
                    }
                }
            }
            for (uint32_t r = 0; y0 + r < l.height && r < tileHeight; ++r)
                PutIndexedRow(band.data() + size_t(r) * rowBytes, l.width, l.bits, out.TopRow(int32_t(y0 + r)));
        }
        return any ? fovea::kDecodeOk : fovea::kDecodeBroken;
    }

    uint32_t rowsPerStrip = l.height;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::max<uint32_t>(1, std::min(rowsPerStrip, l.height));
    std::vector<uint8_t> strip(rowBytes * rowsPerStrip);
    uint64_t* offsets = nullptr;
    TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets);
    bool any = false;
    for (uint32_t y0 = 0, s = 0; y0 < l.height; y0 += rowsPerStrip, ++s) {
        std::fill(strip.begin(), strip.end(), 0);
        if (TIFFReadEncodedStrip(tif, s, strip.data(), tmsize_t(strip.size())) >= 0) {
            any = true;
        } else if (l.compression == COMPRESSION_NONE && offsets) {
            // An uncompressed strip cut short by the end of the file: the rows that arrived are shown.
            toff_t at = offsets[s];
            const CMemoryFile* file = static_cast<const CMemoryFile*>(TIFFClientdata(tif));
            if (at < file->size) {
                std::memcpy(strip.data(), file->data + at, size_t(std::min<toff_t>(file->size - at, strip.size())));
                any = true;
            }
        }
        for (uint32_t r = 0; r < rowsPerStrip && y0 + r < l.height; ++r)
            PutIndexedRow(strip.data() + size_t(r) * rowBytes, l.width, l.bits, out.TopRow(int32_t(y0 + r)));
    }
    return any ? fovea::kDecodeOk : fovea::kDecodeBroken;
}

// Where the stored pixel (x, y) of a band goes in the shown picture, and how far the next stored pixel of the
// row is from it, for each of the eight orientations.
struct CPlacement {
    uint8_t* first;
    ptrdiff_t step;
};

CPlacement Place(DecodedPicture& out, int orientation, uint32_t storedWidth, uint32_t storedHeight, uint32_t y,
                 int bytes)
{
    ptrdiff_t down = -ptrdiff_t(out.Stride()); // TopRow(y + 1) - TopRow(y)
    switch (orientation) {
    case ORIENTATION_TOPRIGHT:
        return {out.TopRow(int32_t(y)) + ptrdiff_t(storedWidth - 1) * bytes, -bytes};
    case ORIENTATION_BOTRIGHT:
        return {out.TopRow(int32_t(storedHeight - 1 - y)) + ptrdiff_t(storedWidth - 1) * bytes, -bytes};
    case ORIENTATION_BOTLEFT:
        return {out.TopRow(int32_t(storedHeight - 1 - y)), bytes};
    case ORIENTATION_LEFTTOP:
        return {out.TopRow(0) + ptrdiff_t(y) * bytes, down};
    case ORIENTATION_RIGHTTOP:
        return {out.TopRow(0) + ptrdiff_t(storedHeight - 1 - y) * bytes, down};
    case ORIENTATION_RIGHTBOT:
        return {out.TopRow(int32_t(storedWidth - 1)) + ptrdiff_t(storedHeight - 1 - y) * bytes, -down};
    case ORIENTATION_LEFTBOT:
        return {out.TopRow(int32_t(storedWidth - 1)) + ptrdiff_t(y) * bytes, -down};
    default:
        return {out.TopRow(int32_t(y)), bytes};
    }
}

// Plain RGB of 8-bit samples in strips, stored top-down: the rows come straight from the strips with only red
// and blue swapped, without the RGBA image's packing of every pixel into a word and out again.
bool IsPlainRgb(const CLayout& l)
{
    return !l.tiled && l.photometric == PHOTOMETRIC_RGB && l.bits == 8 && l.samples == 3 && l.extra == 0 &&
           l.planar == PLANARCONFIG_CONTIG && l.orientation == ORIENTATION_TOPLEFT;
}

int DecodePlainRgb(TIFF* tif, const CLayout& l, DecodedPicture& out)
{
    if (!out.Allocate(int32_t(l.width), int32_t(l.height), 24))
        return fovea::kDecodeNoMemory;
    uint32_t rowsPerStrip = l.height;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::max<uint32_t>(1, std::min(rowsPerStrip, l.height));
    const size_t rowBytes = size_t(l.width) * 3;
    std::vector<uint8_t> strip(rowBytes * rowsPerStrip);
    bool any = false;
    for (uint32_t y0 = 0, s = 0; y0 < l.height; y0 += rowsPerStrip, ++s) {
        uint32_t rows = std::min(rowsPerStrip, l.height - y0);
        // A damaged strip shows what was decoded of it before the damage, black after it, as the RGBA image does.
        std::fill(strip.begin(), strip.end(), 0);
        if (TIFFReadEncodedStrip(tif, s, strip.data(), tmsize_t(rowBytes * rows)) >= 0)
            any = true;
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t* from = strip.data() + size_t(r) * rowBytes;
            uint8_t* to = out.TopRow(int32_t(y0 + r));
            for (uint32_t x = 0; x < l.width; ++x, from += 3, to += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
        }
    }
    return any ? fovea::kDecodeOk : fovea::kDecodeBroken;
}

int DecodeRgba(TIFF* tif, const CLayout& l, DecodedPicture& out)
{
    char message[1024];
    if (!TIFFRGBAImageOK(tif, message))
        return fovea::kDecodeUnknownFormat;
    CRgbaImage rgba;
    if (!rgba.Begin(tif))
        return fovea::kDecodeUnknownFormat;
    TIFFRGBAImage& img = rgba.Get();
    int orientation = l.orientation >= ORIENTATION_TOPLEFT && l.orientation <= ORIENTATION_LEFTBOT
                          ? l.orientation
                          : ORIENTATION_TOPLEFT;
    // The library delivers rows as stored; they are turned here, transposed orientations included.
    img.orientation = ORIENTATION_TOPLEFT;
    img.req_orientation = ORIENTATION_TOPLEFT;
    bool transposed = orientation >= ORIENTATION_LEFTTOP;
    bool grey = img.photometric == PHOTOMETRIC_MINISBLACK || img.photometric == PHOTOMETRIC_MINISWHITE;
    int bytes = grey ? 1 : 3;
    if (!out.Allocate(int32_t(transposed ? l.height : l.width), int32_t(transposed ? l.width : l.height),
                      bytes * 8))
        return fovea::kDecodeNoMemory;
    if (grey) {
        for (int i = 0; i < 256; ++i)
            out.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
    }

    // A band is one strip or one row of tiles, so that each is read once and a damaged one costs only itself.
    uint32_t bandRows = 1;
    if (l.tiled)
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &bandRows);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &bandRows);
    bandRows = std::max<uint32_t>(1, std::min(bandRows, l.height));
    std::vector<uint32_t> band(size_t(l.width) * bandRows);
    bool alpha = img.alpha != 0;
    bool any = false;
    for (uint32_t y0 = 0; y0 < l.height; y0 += bandRows) {
        uint32_t rows = std::min(bandRows, l.height - y0);
        std::fill(band.begin(), band.end(), alpha ? 0xFFFFFFFFu : 0xFF000000u);
        img.row_offset = int(y0);
        img.col_offset = 0;
        if (TIFFRGBAImageGet(&img, band.data(), l.width, rows))
            any = true;
        for (uint32_t r = 0; r < rows; ++r) {
            const uint32_t* p = band.data() + size_t(r) * l.width;
            CPlacement at = Place(out, orientation, l.width, l.height, y0 + r, bytes);
            uint8_t* d = at.first;
            for (uint32_t x = 0; x < l.width; ++x, ++p, d += at.step) {
                uint32_t v = *p;
                // Colours come premultiplied by their alpha: over white, what is not covered shows white.
                unsigned uncovered = alpha ? 255 - TIFFGetA(v) : 0;
                if (grey) {
                    d[0] = uint8_t(std::min(255u, TIFFGetR(v) + uncovered));
                } else {
                    d[0] = uint8_t(std::min(255u, TIFFGetB(v) + uncovered));
                    d[1] = uint8_t(std::min(255u, TIFFGetG(v) + uncovered));
                    d[2] = uint8_t(std::min(255u, TIFFGetR(v) + uncovered));
                }
            }
        }
    }
    return any ? fovea::kDecodeOk : fovea::kDecodeBroken;
}

} // namespace

bool IsTiff(const uint8_t* data, size_t size)
{
    if (!data || size < 8)
        return false;
    return (data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) ||
           (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42);
}

int DecodeTiff(const uint8_t* data, size_t size, DecodedPicture& out)
{
    if (!IsTiff(data, size))
        return fovea::kDecodeUnknownFormat;
    try {
        CTiff tiff(data, size);
        if (!tiff.Get())
            return fovea::kDecodeBroken;
        CLayout l = ReadLayout(tiff.Get());
        if (l.width == 0 || l.height == 0)
            return fovea::kDecodeBroken;
        if (l.width > uint32_t(fovea::kMaxPictureSide) || l.height > uint32_t(fovea::kMaxPictureSide) ||
            int64_t(l.width) * l.height > fovea::kMaxPicturePixels)
            return fovea::kDecodeNoMemory;
        // Floating-point and signed samples are measurements rather than pictures.
        if (!TIFFIsCODECConfigured(l.compression) || l.samples > kMaxSamples ||
            (l.format != SAMPLEFORMAT_UINT && l.format != SAMPLEFORMAT_VOID))
            return fovea::kDecodeUnknownFormat;
        int result = IsIndexed(l)    ? DecodeIndexed(tiff.Get(), l, out)
                     : IsPlainRgb(l) ? DecodePlainRgb(tiff.Get(), l, out)
                                     : DecodeRgba(tiff.Get(), l, out);
        if (result != fovea::kDecodeOk)
            out = DecodedPicture();
        return result;
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return fovea::kDecodeNoMemory;
    }
}
