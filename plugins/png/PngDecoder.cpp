// PNG decoder: libpng reads the file from memory and hands over rows already turned into the DIB's sample order
// (BGR, 8 bits). Pictures without alpha go straight into the DIB rows; pictures with alpha pass through a row
// (or, interlaced, a whole picture) of BGRA or grey-and-alpha samples that is composited on white. Library
// errors come back through longjmp, so the functions that call the library hold nothing that needs a destructor:
// every buffer lives in CPngReader, which the caller owns.
#include "plugins/png/PngDecoder.h"

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

using fovea::DecodedPicture;
using fovea::OverWhite;

namespace {

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Deflate gives at most 1032 bytes for one byte of data (a 258-byte match in two bits): a picture whose rows
// need more than that many times the whole file cannot be in it, however the file claims so.
constexpr uint64_t kMaxDeflateRatio = 1032;

// How the rows arrive from the library and what the DIB holds.
enum class Kind {
    Indexed,   // palette or grey up to 8 bits: indices (1, 4 or 8 bits a pixel; 2 bits come as bytes)
    Grey,      // grey of 16 bits, scaled to 8: indices into a grey palette
    Rgb,       // BGR
    GreyAlpha, // grey and alpha, composited into 8-bit grey
    RgbAlpha,  // BGRA, composited into BGR
};

struct CLayout {
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    bool transparency = false; // a tRNS chunk
    Kind kind = Kind::Rgb;
    int channels = 3; // bytes a pixel in the rows the library hands over (8 bits and more)
    int dibBits = 24;
};

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

class CPngReader {
public:
    CPngReader(const uint8_t* data, size_t size) : m_data(data), m_size(size)
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnError, OnWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~CPngReader() { png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr); }
    CPngReader(const CPngReader&) = delete;
    CPngReader& operator=(const CPngReader&) = delete;

    bool Ready() const { return m_png && m_info; }
    int Decode(bool preview, DecodedPicture& out);

private:
    [[noreturn]] static void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
    // Warnings (a damaged ancillary chunk, an index past the palette) leave a picture worth showing.
    static void OnWarning(png_structp, png_const_charp) {}
    static void OnRead(png_structp png, png_bytep to, size_t count)
    {
        CPngReader* self = static_cast<CPngReader*>(png_get_io_ptr(png));
        // A file cut short is refused: the rows that would follow are not there.
        if (count > self->m_size - self->m_at)
            png_error(png, "cut short");
        std::memcpy(to, self->m_data + self->m_at, count);
        self->m_at += count;
    }

    // Steps of Decode, each called after setjmp; none holds an object with a destructor.
    int ReadLayout();
    void SetTransforms(bool packBytes);
    bool SetPalette(DecodedPicture& out);
    int ReadWhole(DecodedPicture& out);
    int ReadPasses(int step, DecodedPicture& out);
    bool Reserve(std::vector<uint8_t>& buffer, size_t bytes);
    void PutRow(const uint8_t* row, int width, uint8_t* dib) const;

    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    CLayout m_l;
    std::vector<uint8_t> m_work;   // rows of samples before compositing
    std::vector<png_bytep> m_rows; // where each row of an interlaced picture goes
};

int CPngReader::ReadLayout()
{
    png_read_info(m_png, m_info);
    CLayout& l = m_l;
    png_get_IHDR(m_png, m_info, &l.width, &l.height, &l.depth, &l.colorType, &l.interlace, nullptr, nullptr);
    l.transparency = png_get_valid(m_png, m_info, PNG_INFO_tRNS) != 0;
    if (l.width == 0 || l.height == 0)
        return fovea::kDecodeBroken;
    switch (l.colorType) {
    case PNG_COLOR_TYPE_PALETTE:
        l.kind = Kind::Indexed;
        break;
    case PNG_COLOR_TYPE_GRAY:
        l.kind = l.depth <= 8 ? Kind::Indexed : l.transparency ? Kind::GreyAlpha : Kind::Grey;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        l.kind = Kind::GreyAlpha;
        break;
    case PNG_COLOR_TYPE_RGB:
        l.kind = l.transparency ? Kind::RgbAlpha : Kind::Rgb;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        l.kind = Kind::RgbAlpha;
        break;
    default:
        return fovea::kDecodeBroken;
    }
    static const int kChannels[] = {1, 1, 3, 2, 4};
    l.channels = kChannels[int(l.kind)];
    l.dibBits = l.kind == Kind::Rgb || l.kind == Kind::RgbAlpha ? 24 : l.kind == Kind::Indexed ? l.depth : 8;
    if (l.dibBits == 2)
        l.dibBits = 8;

    // The filtered rows of a picture not interlaced are its least data (interlacing only adds to it).
    uint64_t rowBytes = (uint64_t(l.width) * l.depth * png_get_channels(m_png, m_info) + 7) / 8 + 1;
    if (rowBytes * l.height > kMaxDeflateRatio * m_size)
        return fovea::kDecodeBroken;
    return fovea::kDecodeOk;
}

void CPngReader::SetTransforms(bool packBytes)
{
    const CLayout& l = m_l;
    if (l.depth == 16)
        png_set_scale_16(m_png);
    if (l.kind == Kind::Indexed && (packBytes || l.depth == 2))
        png_set_packing(m_png);
    if (l.kind == Kind::GreyAlpha || l.kind == Kind::RgbAlpha)
        png_set_tRNS_to_alpha(m_png);
    if (l.kind == Kind::Rgb || l.kind == Kind::RgbAlpha)
        png_set_bgr(m_png);
}

// Palette pictures keep their colours, each transparent entry over white; grey levels become a grey palette
// whose transparent level is white.
bool CPngReader::SetPalette(DecodedPicture& out)
{
    const CLayout& l = m_l;
    if (l.kind == Kind::Grey || l.kind == Kind::GreyAlpha) {
        for (int i = 0; i < 256; ++i)
            out.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
        return true;
    }
    if (l.kind != Kind::Indexed)
        return true;
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p transparentGrey = nullptr;
    if (l.transparency)
        png_get_tRNS(m_png, m_info, &alpha, &alphaCount, &transparentGrey);
    if (l.colorType == PNG_COLOR_TYPE_GRAY) {
        int levels = 1 << l.depth;
        for (int i = 0; i < levels; ++i) {
            uint8_t level = uint8_t(i * 255 / (levels - 1));
            out.SetPaletteEntry(i, level, level, level);
        }
        if (transparentGrey && transparentGrey->gray < levels)
            out.SetPaletteEntry(transparentGrey->gray, 255, 255, 255);
        return true;
    }
    png_colorp colours = nullptr;
    int count = 0;
    if (!png_get_PLTE(m_png, m_info, &colours, &count))
        return false;
    for (int i = 0; i < count; ++i) {
        unsigned a = alpha && i < alphaCount ? alpha[i] : 255;
        out.SetPaletteEntry(i, OverWhite(colours[i].red, a), OverWhite(colours[i].green, a),
                            OverWhite(colours[i].blue, a));
    }
    return true;
}

bool CPngReader::Reserve(std::vector<uint8_t>& buffer, size_t bytes)
{
    try {
        buffer.assign(bytes, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// One row of the library's samples (a byte each) into a DIB row: a copy, or alpha composited on white.
void CPngReader::PutRow(const uint8_t* row, int width, uint8_t* dib) const
{
    switch (m_l.kind) {
    case Kind::GreyAlpha:
        for (int x = 0; x < width; ++x, row += 2)
            dib[x] = OverWhite(row[0], row[1]);
        return;
    case Kind::RgbAlpha:
        fovea::BgraRowOverWhite(row, width, dib);
        return;
    default:
        std::memcpy(dib, row, size_t(width) * m_l.channels);
        return;
    }
}

int CPngReader::ReadWhole(DecodedPicture& out)
{
    const CLayout& l = m_l;
    int passes = png_set_interlace_handling(m_png);
    png_read_update_info(m_png, m_info);
    size_t rowBytes = png_get_rowbytes(m_png, m_info);
    bool direct = l.kind != Kind::GreyAlpha && l.kind != Kind::RgbAlpha;
    if (!out.Allocate(int32_t(l.width), int32_t(l.height), l.dibBits))
        return fovea::kDecodeNoMemory;
    if (!SetPalette(out))
        return fovea::kDecodeBroken;
    int height = out.height;
    if (direct && rowBytes > out.Stride())
        return fovea::kDecodeBroken;
    if (passes == 1) {
        if (!direct && !Reserve(m_work, rowBytes))
            return fovea::kDecodeNoMemory;
        for (int y = 0; y < height; ++y) {
            if (direct) {
                png_read_row(m_png, out.TopRow(y), nullptr);
            } else {
                png_read_row(m_png, m_work.data(), nullptr);
                PutRow(m_work.data(), out.width, out.TopRow(y));
            }
        }
        return fovea::kDecodeOk;
    }
    // Later passes fill in between the rows of earlier ones: every row stays where the library can reach it.
    if (!direct && !Reserve(m_work, rowBytes * size_t(height)))
        return fovea::kDecodeNoMemory;
    try {
        m_rows.resize(size_t(height));
    } catch (const std::bad_alloc&) {
        return fovea::kDecodeNoMemory;
    }
    for (int y = 0; y < height; ++y)
        m_rows[size_t(y)] = direct ? out.TopRow(y) : m_work.data() + size_t(y) * rowBytes;
    png_read_image(m_png, m_rows.data());
    if (!direct) {
        for (int y = 0; y < height; ++y)
            PutRow(m_rows[size_t(y)], out.width, out.TopRow(y));
    }
    return fovea::kDecodeOk;
}

// Reads the first passes of an interlaced picture: the pixels on every step-th row and column, at one byte a
// sample (indices included), gathered into a reduced picture.
int CPngReader::ReadPasses(int step, DecodedPicture& out)
{
    const CLayout& l = m_l;
    png_read_update_info(m_png, m_info);
    size_t rowBytes = png_get_rowbytes(m_png, m_info);
    int width = int((l.width + step - 1) / step), height = int((l.height + step - 1) / step);
    int channels = l.channels;
    if (rowBytes < size_t(l.width) * channels)
        return fovea::kDecodeBroken;
    int dibBits = l.kind == Kind::Indexed ? 8 : l.dibBits;
    if (!out.Allocate(width, height, dibBits))
        return fovea::kDecodeNoMemory;
    if (!SetPalette(out))
        return fovea::kDecodeBroken;
    size_t workRow = size_t(width) * channels;
    if (!Reserve(m_work, rowBytes + workRow * size_t(height)))
        return fovea::kDecodeNoMemory;
    uint8_t* row = m_work.data();
    uint8_t* reduced = row + rowBytes;
    // Pass 1 holds every 8th pixel both ways, passes 1-3 every 4th, passes 1-5 every 2nd.
    int lastPass = step == 8 ? 0 : step == 4 ? 2 : 4;
    for (int pass = 0; pass <= lastPass; ++pass) {
        png_uint_32 columns = PNG_PASS_COLS(l.width, pass), rows = PNG_PASS_ROWS(l.height, pass);
        // The library skips passes that hold no pixel.
        if (columns == 0 || rows == 0)
            continue;
        for (png_uint_32 r = 0; r < rows; ++r) {
            png_read_row(m_png, row, nullptr);
            png_uint_32 y = PNG_ROW_FROM_PASS_ROW(r, pass) / step;
            uint8_t* to = reduced + size_t(y) * workRow;
            for (png_uint_32 c = 0; c < columns; ++c) {
                png_uint_32 x = PNG_COL_FROM_PASS_COL(c, pass) / step;
                std::memcpy(to + size_t(x) * channels, row + size_t(c) * channels, size_t(channels));
            }
        }
    }
    for (int y = 0; y < height; ++y)
        PutRow(reduced + size_t(y) * workRow, width, out.TopRow(y));
    return fovea::kDecodeOk;
}

int CPngReader::Decode(bool preview, DecodedPicture& out)
{
    if (setjmp(png_jmpbuf(m_png))) {
        out = DecodedPicture();
        return fovea::kDecodeBroken;
    }
    png_set_read_fn(m_png, this, OnRead);
    png_set_user_limits(m_png, png_uint_32(fovea::kMaxPictureSide), png_uint_32(fovea::kMaxPictureSide));
    // Only what the pixels need is read: text, colour profiles and the like are skipped unread, so neither
    // their size nor their compressed contents cost anything.
    png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    int result = ReadLayout();
    if (result != fovea::kDecodeOk)
        return result;
    int step = preview && m_l.interlace == PNG_INTERLACE_ADAM7 ? PngPreviewStep(int(m_l.width), int(m_l.height)) : 1;
    SetTransforms(step > 1);
    result = step > 1 ? ReadPasses(step, out) : ReadWhole(out);
    if (result != fovea::kDecodeOk)
        out = DecodedPicture();
    return result;
}

int DecodeAny(const uint8_t* data, size_t size, bool preview, DecodedPicture& out)
{
    if (!IsPng(data, size))
        return fovea::kDecodeUnknownFormat;
    // The size is checked before the library sees the file, so that a picture too large is refused as such.
    uint32_t width = BigEndian32(data + 16), height = BigEndian32(data + 20);
    if (width > uint32_t(fovea::kMaxPictureSide) || height > uint32_t(fovea::kMaxPictureSide) ||
        int64_t(width) * height > fovea::kMaxPicturePixels)
        return fovea::kDecodeNoMemory;
    try {
        CPngReader reader(data, size);
        if (!reader.Ready())
            return fovea::kDecodeNoMemory;
        return reader.Decode(preview, out);
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return fovea::kDecodeNoMemory;
    }
}

} // namespace

bool IsPng(const uint8_t* data, size_t size)
{
    return data && size >= 24 && std::memcmp(data, kSignature, sizeof kSignature) == 0 &&
           std::memcmp(data + 12, "IHDR", 4) == 0;
}

int PngPreviewStep(int width, int height)
{
    for (int step : {8, 4, 2}) {
        if ((width + step - 1) / step >= fovea::kPreviewMinWidth &&
            (height + step - 1) / step >= fovea::kPreviewMinHeight)
            return step;
    }
    return 1;
}

int DecodePng(const uint8_t* data, size_t size, DecodedPicture& out)
{
    return DecodeAny(data, size, false, out);
}

int DecodePngPreview(const uint8_t* data, size_t size, DecodedPicture& out)
{
    return DecodeAny(data, size, true, out);
}
