// JPEG decoder: libjpeg-turbo decodes straight into the bottom-up DIB rows (BGR order, or grey with a grey
// palette); CMYK and YCCK pass through one row of ink values. Library errors come back through longjmp, so the
// function that calls the library holds nothing that needs a destructor.
#include "plugins/jpeg/JpegDecoder.h"

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

// Where the first scan's coded data begins, or 0 when the header segments do not get that far. A file that
// stops before it holds nothing of the picture: the library would show a grey field and call it success.
size_t FirstScanData(const uint8_t* data, size_t size)
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
        at = end;
    }
    return 0;
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

// Decodes at 1/scale of the picture's size. Only plain data lives here: a library error jumps back to setjmp.
int Decode(const uint8_t* data, size_t size, int scale, DecodedPicture& out, bool& ended)
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
    // The DIB is reserved before the library's buffers, so a picture too large fails before the long decode.
    if (!out.Allocate(int32_t(cinfo.output_width), int32_t(cinfo.output_height), grey ? 8 : 24)) {
        jpeg_destroy_decompress(&cinfo);
        return fovea::kDecodeNoMemory;
    }
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY inkRow = ink ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                           cinfo.output_width * 4, 1)
                            : nullptr;
    int height = out.height;
    while (int(cinfo.output_scanline) < height) {
        int y = int(cinfo.output_scanline);
        if (ink) {
            jpeg_read_scanlines(&cinfo, inkRow, 1);
            InkRowToBgr(inkRow[0], out.width, cinfo.saw_Adobe_marker, out.TopRow(y));
            continue;
        }
        JSAMPROW rows[16];
        int n = 0;
        while (n < 16 && y + n < height) {
            rows[n] = out.TopRow(y + n);
            ++n;
        }
        jpeg_read_scanlines(&cinfo, rows, JDIMENSION(n));
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
    bool ended = false;
    int result = Decode(data, size, scale, out, ended);
    // A file cut short inside a segment between scans (a progressive file's next tables) fails in that segment:
    // the data then ends at the last marker instead, and the scans before it are shown.
    for (int retry = 0; retry < 4 && result == fovea::kDecodeBroken && ended; ++retry) {
        size = LastMarker(data, size);
        if (size <= scanData)
            break;
        result = Decode(data, size, scale, out, ended);
    }
    return result;
}

} // namespace

bool IsJpeg(const uint8_t* data, size_t size)
{
    return data && size >= 4 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
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
