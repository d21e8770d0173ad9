// WebP decoder: libwebp decodes from memory. A picture without alpha is written by the library straight into
// the bottom-up DIB rows (BGR, flipped); one with alpha, and an animation's first frame, go through BGRA rows
// that are composited on white.
#include "plugins/webp/WebpDecoder.h"

#include <cstring>
#include <new>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

using fovea::DecodedPicture;

namespace {

// Lossless data copies at most 4096 pixels a code, and a real encoder spends at least a bit on it; a file that
// claims more pixels per byte than that allows is built to make the decoder allocate, not to be looked at.
constexpr int64_t kMaxPixelsPerByte = 65536;

bool TooLarge(int64_t width, int64_t height, size_t size)
{
    return width > fovea::kMaxPictureSide || height > fovea::kMaxPictureSide ||
           width * height > fovea::kMaxPicturePixels || width * height > kMaxPixelsPerByte * int64_t(size);
}

int ResultOf(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_OK:
        return fovea::kDecodeOk;
    case VP8_STATUS_OUT_OF_MEMORY:
        return fovea::kDecodeNoMemory;
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return fovea::kDecodeUnknownFormat;
    default:
        return fovea::kDecodeBroken;
    }
}

// Decodes one still bitstream (a whole file, or a frame of an animation) at width x height into rows the caller
// holds, `stride` bytes apart; flipped, the first row is the bottom one.
int DecodeRows(const uint8_t* data, size_t size, int width, int height, WEBP_CSP_MODE mode, uint8_t* rows, size_t bytes,
               int stride, bool flip)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return fovea::kDecodeBroken;
    VP8StatusCode status = WebPGetFeatures(data, size, &config.input);
    if (status != VP8_STATUS_OK)
        return ResultOf(status);
    if (width != config.input.width || height != config.input.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    config.options.flip = flip;
    config.output.colorspace = mode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = rows;
    config.output.u.RGBA.stride = stride;
    config.output.u.RGBA.size = bytes;
    status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    return ResultOf(status);
}

// BGRA rows, top first, over white into the DIB with their top-left corner at (left, top).
void Composite(const uint8_t* bgra, int width, int height, int left, int top, DecodedPicture& out)
{
    for (int y = 0; y < height; ++y)
        fovea::BgraRowOverWhite(bgra + size_t(y) * width * 4, width, out.TopRow(top + y) + size_t(left) * 3);
}

// Decodes into BGRA rows of its own and composites them on the DIB at (left, top).
int DecodeOverWhite(const uint8_t* data, size_t size, int width, int height, int left, int top, DecodedPicture& out)
{
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    int result = DecodeRows(data, size, width, height, MODE_BGRA, bgra.data(), bgra.size(), width * 4, false);
    if (result == fovea::kDecodeOk)
        Composite(bgra.data(), width, height, left, top, out);
    return result;
}

class CDemux {
public:
    CDemux(const uint8_t* data, size_t size)
    {
        WebPData whole = {data, size};
        m_demux = WebPDemux(&whole);
    }
    ~CDemux()
    {
        if (m_frame)
            WebPDemuxReleaseIterator(&m_iterator);
        WebPDemuxDelete(m_demux);
    }
    CDemux(const CDemux&) = delete;
    CDemux& operator=(const CDemux&) = delete;

    WebPDemuxer* Get() const { return m_demux; }
    const WebPIterator* FirstFrame()
    {
        m_frame = m_demux && WebPDemuxGetFrame(m_demux, 1, &m_iterator);
        return m_frame ? &m_iterator : nullptr;
    }

private:
    WebPDemuxer* m_demux = nullptr;
    WebPIterator m_iterator = {};
    bool m_frame = false;
};

// The first frame of an animation on its canvas; what the frame does not cover is white, as the canvas starts
// out transparent.
int DecodeFirstFrame(const uint8_t* data, size_t size, DecodedPicture& out)
{
    CDemux demux(data, size);
    if (!demux.Get())
        return fovea::kDecodeBroken;
    uint32_t width = WebPDemuxGetI(demux.Get(), WEBP_FF_CANVAS_WIDTH);
    uint32_t height = WebPDemuxGetI(demux.Get(), WEBP_FF_CANVAS_HEIGHT);
    if (TooLarge(width, height, size))
        return fovea::kDecodeNoMemory;
    const WebPIterator* frame = demux.FirstFrame();
    if (!frame || frame->x_offset < 0 || frame->y_offset < 0 || int64_t(frame->x_offset) + frame->width > width ||
        int64_t(frame->y_offset) + frame->height > height)
        return fovea::kDecodeBroken;
    if (!out.Allocate(int32_t(width), int32_t(height), 24))
        return fovea::kDecodeNoMemory;
    std::memset(out.bits.data(), 255, out.bits.size());
    return DecodeOverWhite(frame->fragment.bytes, frame->fragment.size, frame->width, frame->height, frame->x_offset,
                           frame->y_offset, out);
}

int DecodeAny(const uint8_t* data, size_t size, bool preview, DecodedPicture& out)
{
    if (!IsWebp(data, size))
        return fovea::kDecodeUnknownFormat;
    try {
        WebPBitstreamFeatures features;
        VP8StatusCode status = WebPGetFeatures(data, size, &features);
        int result = ResultOf(status);
        if (status == VP8_STATUS_OK && features.has_animation) {
            result = DecodeFirstFrame(data, size, out);
        } else if (status == VP8_STATUS_OK) {
            int width = features.width, height = features.height;
            if (TooLarge(width, height, size))
                return fovea::kDecodeNoMemory;
            if (preview)
                WebpPreviewSize(width, height);
            // The DIB is reserved before the library's buffers, so a picture too large fails before the decode.
            if (!out.Allocate(width, height, 24))
                return fovea::kDecodeNoMemory;
            result = features.has_alpha ? DecodeOverWhite(data, size, width, height, 0, 0, out)
                                        : DecodeRows(data, size, width, height, MODE_BGR, out.bits.data(),
                                                     out.bits.size(), int(out.Stride()), true);
        }
        if (result != fovea::kDecodeOk)
            out = DecodedPicture();
        return result;
    } catch (const std::bad_alloc&) {
        out = DecodedPicture();
        return fovea::kDecodeNoMemory;
    }
}

} // namespace

bool IsWebp(const uint8_t* data, size_t size)
{
    if (!data || size < 16 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WEBP", 4) != 0)
        return false;
    return std::memcmp(data + 12, "VP8 ", 4) == 0 || std::memcmp(data + 12, "VP8L", 4) == 0 ||
           std::memcmp(data + 12, "VP8X", 4) == 0;
}

void WebpPreviewSize(int& width, int& height)
{
    if (width <= fovea::kPreviewMinWidth || height <= fovea::kPreviewMinHeight)
        return;
    // The direction that reaches its least size first decides the scale; the other is rounded up.
    int64_t w = width, h = height;
    if (w * fovea::kPreviewMinHeight >= h * fovea::kPreviewMinWidth) {
        width = int((w * fovea::kPreviewMinHeight + h - 1) / h);
        height = fovea::kPreviewMinHeight;
    } else {
        width = fovea::kPreviewMinWidth;
        height = int((h * fovea::kPreviewMinWidth + w - 1) / w);
    }
}

int DecodeWebp(const uint8_t* data, size_t size, DecodedPicture& out)
{
    return DecodeAny(data, size, false, out);
}

int DecodeWebpPreview(const uint8_t* data, size_t size, DecodedPicture& out)
{
    return DecodeAny(data, size, true, out);
}
