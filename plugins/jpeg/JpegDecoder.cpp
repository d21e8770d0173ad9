// JPEG decoder: libjpeg-turbo decodes straight into the bottom-up DIB rows (BGR order, or grey with a grey
// palette); CMYK and YCCK pass through one row of ink values. Library errors come back through longjmp, so the
// function that calls the library holds nothing that needs a destructor.
#include "plugins/jpeg/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

using fovea::DecodedPicture;

namespace {

// Every scan costs a pass over the picture: real progressive files use about ten, a hostile one thousands.
constexpr int kMaxScans = 256;

struct CErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    int result;
    bool ended; // the data ran out before the end-of-image marker
};

[[noreturn]] void OnError(j_common_ptr cinfo)
{
    CErrorManager* err = reinterpret_cast<CErrorManager*>(cinfo->err);
    int code = err->pub.msg_code;
    err->result = code == JERR_OUT_OF_MEMORY || code == JERR_IMAGE_TOO_BIG || code == JERR_WIDTH_OVERFLOW
                      ? fovea::kDecodeNoMemory
                      : fovea::kDecodeBroken;
    longjmp(err->jump, 1);
}

// Warnings (corrupt data, a file that ends early) are not errors: the picture shows what could be read.
void OnMessage(j_common_ptr cinfo, int level)
{
    CErrorManager* err = reinterpret_cast<CErrorManager*>(cinfo->err);
    if (level < 0 && err->pub.msg_code == JWRN_JPEG_EOF)
        err->ended = true;
}

void OnProgress(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        ERREXIT(cinfo, JERR_NOT_COMPILED);
}

// Walks the marker segments before the first scan, handing each whole one to visit(marker, body, length) until
// visit returns true. The result is where the first scan's coded data begins, or 0 when the segments do not get
// that far (or visit stopped the walk).
template <typename Visit> size_t WalkHeaderSegments(const uint8_t* data, size_t size, Visit visit)
{
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return 0;
        uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        size_t end = at + 2 + (size_t(data[at + 2]) << 8 | data[at + 3]);
        if (marker == 0xDA)
            return end <= size ? end : 0;
        if (end >= at + 4 && end <= size && visit(marker, data + at + 4, end - at - 4))
            return 0;
        at = end;
    }
    return 0;
}

// Where the first scan's coded data begins, or 0 when the header segments do not get that far. A file that
// stops before it holds nothing of the picture: the library would show a grey field and call it success.
size_t FirstScanData(const uint8_t* data, size_t size)
{
    return WalkHeaderSegments(data, size, [](uint8_t, const uint8_t*, size_t) { return false; });
}

// Where the last marker of the data starts (the data's size when there is none after the first scan).
size_t LastMarker(const uint8_t* data, size_t size)
{
    for (size_t at = size - 1; at-- > 2;) {
        uint8_t marker = data[at + 1];
        if (data[at] == 0xFF && marker != 0 && marker != 0xFF && !(marker >= 0xD0 && marker <= 0xD7))
            return at;
    }
    return size;
}

// Colour from ink: Adobe's writers store CMYK inverted (255 is no ink), others as plain ink amounts.
void InkRowToBgr(const uint8_t* ink, int width, bool inverted, uint8_t* bgr)
{
    for (int x = 0; x < width; ++x, ink += 4, bgr += 3) {
        unsigned c = ink[0], m = ink[1], y = ink[2], k = ink[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = uint8_t((y * k + 127) / 255);
        bgr[1] = uint8_t((m * k + 127) / 255);
        bgr[2] = uint8_t((c * k + 127) / 255);
    }
}

// Decoded rows in stored order go to the picture as it is shown. Upright and flipped orientations take each row
// straight into its shown row (mirrored in place where needed); the transposed ones decode a band of rows and
// turn it into columns in one pass, each shown row getting a run of the band's pixels. Plain data only: it
// lives beside the library's longjmp.
struct CRowPlacer {
    DecodedPicture* out;
    int orientation;
    int storedWidth;
    int storedHeight;
    int bytes;         // 1 (grey) or 3
    uint8_t* band;     // kBandRows rows of storedWidth pixels one after the other, for the transposed orientations
    size_t bandStride; // bytes of one band row
};

constexpr int kBandRows = 64;

bool Transposed(int orientation)
{
    return orientation >= 5;
}

// Where the decoder writes stored row y.
uint8_t* RowFor(const CRowPlacer& p, int y, int bandRow)
{
    if (Transposed(p.orientation))
        return p.band + size_t(bandRow) * p.bandStride;
    bool upsideDown = p.orientation == 3 || p.orientation == 4;
    return p.out->TopRow(upsideDown ? p.storedHeight - 1 - y : y);
}

void MirrorRow(uint8_t* row, int width, int bytes)
{
    uint8_t* left = row;
    uint8_t* right = row + size_t(width - 1) * size_t(bytes);
    if (bytes == 1) {
        std::reverse(left, right + 1);
        return;
    }
    for (; left < right; left += 3, right -= 3) {
        uint8_t pixel[3];
        std::memcpy(pixel, left, 3);
        std::memcpy(left, right, 3);
        std::memcpy(right, pixel, 3);
    }
}

// Stored rows y..y+n-1 are decoded (into the band for the transposed orientations): put them where they show.
void PlaceRows(const CRowPlacer& p, int y, int n)
{
    if (!Transposed(p.orientation)) {
        if (p.orientation == 2 || p.orientation == 3)
            for (int r = 0; r < n; ++r)
                MirrorRow(RowFor(p, y + r, r), p.storedWidth, p.bytes);
        return;
    }
    // Stored pixel (x, y) shows in row x (5, 6) or storedWidth - 1 - x (7, 8), at column y (5, 8) or
    // storedHeight - 1 - y (6, 7).
    bool rightToLeft = p.orientation == 6 || p.orientation == 7;
    bool bottomUp = p.orientation == 7 || p.orientation == 8;
    // Each stored column of the band becomes a run of n pixels in one shown row, written from its lowest address
    // up (from the band's last row up for 6 and 7). A colour pixel is copied as four bytes, the fourth landing
    // where the next pixel of the run is written next; the run's last pixel takes three. The band keeps a few
    // bytes beyond its last row for the four-byte reads.
    size_t first = size_t(rightToLeft ? p.storedHeight - y - n : y) * size_t(p.bytes);
    ptrdiff_t next = rightToLeft ? -ptrdiff_t(p.bandStride) : ptrdiff_t(p.bandStride);
    size_t start = rightToLeft ? size_t(n - 1) * p.bandStride : 0;
    // The runs land a whole row apart, where no hardware prefetch looks: the run a few columns ahead is asked
    // for while this one is written (about half the time of the turning).
    constexpr int kAhead = 8;
    size_t runBytes = size_t(n) * size_t(p.bytes);
    for (int x = 0; x < p.storedWidth; ++x) {
        if (x + kAhead < p.storedWidth) {
            const uint8_t* ahead = p.out->TopRow(bottomUp ? p.storedWidth - 1 - (x + kAhead) : x + kAhead) + first;
            for (size_t line = 0; line < runBytes; line += 64)
                __builtin_prefetch(ahead + line, 1);
        }
        uint8_t* d = p.out->TopRow(bottomUp ? p.storedWidth - 1 - x : x) + first;
        const uint8_t* s = p.band + start + size_t(x) * size_t(p.bytes);
        if (p.bytes == 3) {
            for (int k = 1; k < n; ++k, d += 3, s += next) {
                uint32_t pixel;
                std::memcpy(&pixel, s, 4);
                std::memcpy(d, &pixel, 4);
            }
            std::memcpy(d, s, 3);
        } else {
            for (int k = 0; k < n; ++k, ++d, s += next)
                *d = *s;
        }
    }
}

uint16_t Read16(const uint8_t* p, bool motorola)
{
    return motorola ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
}

uint32_t Read32(const uint8_t* p, bool motorola)
{
    return motorola ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                    : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// The orientation tag of a TIFF structure's first directory; 1 when absent or unreadable.
int TiffOrientation(const uint8_t* tiff, size_t size)
{
    if (size < 8)
        return 1;
    bool motorola = tiff[0] == 'M' && tiff[1] == 'M';
    if (!motorola && !(tiff[0] == 'I' && tiff[1] == 'I'))
        return 1;
    if (Read16(tiff + 2, motorola) != 42)
        return 1;
    uint32_t ifd = Read32(tiff + 4, motorola);
    if (ifd < 8 || ifd > size - 2)
        return 1;
    uint32_t count = Read16(tiff + ifd, motorola);
    for (uint32_t i = 0; i < count; ++i) {
        size_t entry = size_t(ifd) + 2 + size_t(i) * 12;
        if (entry + 12 > size)
            return 1;
        if (Read16(tiff + entry, motorola) != 0x0112)
            continue;
        // A SHORT, one of them, held in the entry itself.
        if (Read16(tiff + entry + 2, motorola) != 3 || Read32(tiff + entry + 4, motorola) < 1)
            return 1;
        uint16_t value = Read16(tiff + entry + 8, motorola);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

// Decodes at 1/scale of the picture's size. Only plain data lives here: a library error jumps back to setjmp.
int Decode(const uint8_t* data, size_t size, int scale, int orientation, DecodedPicture& out, bool& ended)
{
    jpeg_decompress_struct cinfo;
    CErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.result = fovea::kDecodeBroken;
    err.ended = false;
    jpeg_progress_mgr progress = {};
    progress.progress_monitor = OnProgress;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        out = DecodedPicture();
        ended = err.ended;
        return err.result;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        ERREXIT(&cinfo, JERR_NO_IMAGE);

    bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    bool ink = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : ink ? JCS_CMYK : JCS_EXT_BGR;
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(scale);
    // A reduced picture is for samples: plain chroma replication there costs half the time of smooth upsampling
    // and shows no difference at that size.
    if (scale > 1)
        cinfo.do_fancy_upsampling = FALSE;
    jpeg_calc_output_dimensions(&cinfo);
    int width = int(cinfo.output_width);
    int height = int(cinfo.output_height);
    bool transposed = Transposed(orientation);
    // The DIB is reserved before the library's buffers, so a picture too large fails before the long decode.
    if (!out.Allocate(transposed ? height : width, transposed ? width : height, grey ? 8 : 24)) {
        jpeg_destroy_decompress(&cinfo);
        return fovea::kDecodeNoMemory;
    }
    jpeg_start_decompress(&cinfo);
    j_common_ptr common = reinterpret_cast<j_common_ptr>(&cinfo);
    JSAMPARRAY inkRow = ink ? (*cinfo.mem->alloc_sarray)(common, JPOOL_IMAGE, cinfo.output_width * 4, 1) : nullptr;
    CRowPlacer placer = {&out, orientation, width, height, grey ? 1 : 3, nullptr, 0};
    if (transposed) {
        placer.bandStride = size_t(cinfo.output_width) * size_t(placer.bytes);
        placer.band =
            static_cast<uint8_t*>((*cinfo.mem->alloc_large)(common, JPOOL_IMAGE, placer.bandStride * kBandRows + 4));
    }
    int batch = transposed ? kBandRows : 16;
    while (int(cinfo.output_scanline) < height) {
        int y = int(cinfo.output_scanline);
        int n = 0;
        if (ink) {
            // Ink is turned to colour one row at a time, into where the row goes.
            while (n < batch && y + n < height) {
                jpeg_read_scanlines(&cinfo, inkRow, 1);
                InkRowToBgr(inkRow[0], width, cinfo.saw_Adobe_marker, RowFor(placer, y + n, n));
                ++n;
            }
        } else {
            JSAMPROW rows[kBandRows];
            while (n < batch && y + n < height) {
                rows[n] = RowFor(placer, y + n, n);
                ++n;
            }
            // The library may hand back fewer rows than asked for: read on until the batch is whole.
            for (int done = 0; done < n;) {
                JDIMENSION got = jpeg_read_scanlines(&cinfo, rows + done, JDIMENSION(n - done));
                if (got == 0)
                    ERREXIT(&cinfo, JERR_INPUT_EMPTY);
                done += int(got);
            }
        }
        PlaceRows(placer, y, n);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (grey) {
        for (int i = 0; i < 256; ++i)
            out.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
    }
    return fovea::kDecodeOk;
}

// The picture's full size from its frame header, without touching the scans; false when unreadable.
bool ReadSize(const uint8_t* data, size_t size, int& width, int& height)
{
    jpeg_decompress_struct cinfo;
    CErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    width = int(cinfo.image_width);
    height = int(cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

int DecodeScaled(const uint8_t* data, size_t size, bool preview, DecodedPicture& out)
{
    if (!IsJpeg(data, size))
        return fovea::kDecodeUnknownFormat;
    size_t scanData = FirstScanData(data, size);
    if (scanData == 0 || scanData >= size)
        return fovea::kDecodeBroken;
    int scale = 1;
    if (preview) {
        int width = 0, height = 0;
        if (!ReadSize(data, size, width, height))
            return fovea::kDecodeBroken;
        scale = PreviewScale(width, height);
    }
    int orientation = ExifOrientation(data, size);
    bool ended = false;
    int result = Decode(data, size, scale, orientation, out, ended);
    // A file cut short inside a segment between scans (a progressive file's next tables) fails in that segment:
    // the data then ends at the last marker instead, and the scans before it are shown.
    for (int retry = 0; retry < 4 && result == fovea::kDecodeBroken && ended; ++retry) {
        size = LastMarker(data, size);
        if (size <= scanData)
            break;
        result = Decode(data, size, scale, orientation, out, ended);
    }
    return result;
}

} // namespace

bool IsJpeg(const uint8_t* data, size_t size)
{
    return data && size >= 4 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int ExifOrientation(const uint8_t* data, size_t size)
{
    if (!IsJpeg(data, size))
        return 1;
    int orientation = 1;
    WalkHeaderSegments(data, size, [&](uint8_t marker, const uint8_t* body, size_t length) {
        if (marker != 0xE1 || length < 6 || std::memcmp(body, "Exif\0\0", 6) != 0)
            return false;
        orientation = TiffOrientation(body + 6, length - 6);
        return true;
    });
    return orientation;
}

int PreviewScale(int width, int height)
{
    for (int scale : {8, 4, 2}) {
        if ((width + scale - 1) / scale >= kPreviewMinWidth && (height + scale - 1) / scale >= kPreviewMinHeight)
            return scale;
    }
    return 1;
}

int DecodeJpeg(const uint8_t* data, size_t size, DecodedPicture& out)
{
    return DecodeScaled(data, size, false, out);
}

int DecodeJpegPreview(const uint8_t* data, size_t size, DecodedPicture& out)
{
    return DecodeScaled(data, size, true, out);
}
