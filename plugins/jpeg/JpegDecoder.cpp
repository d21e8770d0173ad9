// JPEG decoder: structure check, header query against the size limit, then the library's decode turned
// into bottom-up DIB rows.
#include "plugins/jpeg/JpegDecoder.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "plugins/jpeg/JpegStructure.h"
#include "plugins/jpeg/StbJpeg.h"

using fovea::DecodedPicture;

namespace {

// Frees the library's pixel buffer on every path.
class CPixels {
public:
    explicit CPixels(uint8_t* p) : m_p(p) {}
    ~CPixels() { stbjpeg::Free(m_p); }
    CPixels(const CPixels&) = delete;
    CPixels& operator=(const CPixels&) = delete;
    const uint8_t* Get() const { return m_p; }

private:
    uint8_t* m_p;
};

// The library rejects a file that ends before its end-of-image marker. A file cut short (an interrupted
// download or copy) still shows what arrived: the data is closed with that marker, and the rest of the
// picture decodes as empty blocks. The bits of the last byte may start a code no table holds; then the cut
// moves back a little within the last scan's data, and at last to the end of the previous scan. Every
// closed copy passes the structure walk again before the library sees it.
uint8_t* LoadTruncated(const uint8_t* data, const jpeg::CFrameInfo& frame, int channels, int& width, int& height)
{
    std::vector<size_t> cuts = {frame.validEnd};
    for (size_t back : {1, 2, 3, 5, 8, 13}) {
        if (frame.lastScanDataEnd > frame.lastScanData + back)
            cuts.push_back(frame.lastScanDataEnd - back);
    }
    if (frame.scans > 1)
        cuts.push_back(frame.lastScan);
    std::vector<uint8_t> completed;
    for (size_t keep : cuts) {
        while (keep > 0 && data[keep - 1] == 0xFF)
            --keep;
        try {
            completed.reserve(keep + 2);
            completed.assign(data, data + keep);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        completed.push_back(0xFF);
        completed.push_back(0xD9);
        jpeg::CFrameInfo check;
        if (jpeg::CheckStructure(completed.data(), completed.size(), check) != fovea::kDecodeOk || !check.complete)
            continue;
        uint8_t* pixels = stbjpeg::Load(completed.data(), completed.size(), channels, width, height);
        if (pixels)
            return pixels;
    }
    return nullptr;
}

} // namespace

bool IsJpeg(const uint8_t* data, size_t size)
{
    return data && size >= 4 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int DecodeJpeg(const uint8_t* data, size_t size, DecodedPicture& out)
{
    if (!IsJpeg(data, size))
        return fovea::kDecodeUnknownFormat;
    jpeg::CFrameInfo frame;
    int result = jpeg::CheckStructure(data, size, frame);
    if (result != fovea::kDecodeOk)
        return result;

    int width = 0, height = 0, components = 0;
    if (!stbjpeg::Info(data, size, width, height, components))
        return fovea::kDecodeBroken;
    if (width <= 0 || height <= 0 || width > fovea::kMaxPictureSide || height > fovea::kMaxPictureSide ||
        int64_t(width) * height > fovea::kMaxPicturePixels)
        return fovea::kDecodeNoMemory;
    bool grey = components == 1;
    // Reserve the DIB before the library's buffers, so a picture too large fails before the long decode.
    if (!out.Allocate(width, height, grey ? 8 : 24))
        return fovea::kDecodeNoMemory;

    // Rows without padding have the library's own layout: it decodes straight into the picture, which is then
    // turned over (and RGB made BGR) in place.
    int channels = grey ? 1 : 3;
    bool inPlace = out.Stride() == size_t(width) * size_t(channels);
    stbjpeg::CLentBuffer lent(inPlace ? out.bits.data() : nullptr, inPlace ? out.bits.size() : 0);
    uint8_t* decoded = nullptr;
    int gotWidth = 0, gotHeight = 0;
    if (frame.complete) {
        decoded = stbjpeg::Load(data, size, channels, gotWidth, gotHeight);
    } else if (frame.scans > 0) {
        decoded = LoadTruncated(data, frame, channels, gotWidth, gotHeight);
    }
    CPixels pixels(decoded);
    if (!pixels.Get() || gotWidth != width || gotHeight != height) {
        out = DecodedPicture();
        return fovea::kDecodeBroken;
    }
    if (grey) {
        for (int i = 0; i < 256; ++i)
            out.SetPaletteEntry(i, uint8_t(i), uint8_t(i), uint8_t(i));
    }

    if (pixels.Get() == out.bits.data()) {
        size_t rowBytes = out.Stride();
        for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
            uint8_t* a = out.bits.data() + size_t(top) * rowBytes;
            uint8_t* b = out.bits.data() + size_t(bottom) * rowBytes;
            if (grey) {
                if (a != b)
                    std::swap_ranges(a, a + rowBytes, b);
                continue;
            }
            for (int x = 0; x < width; ++x, a += 3, b += 3) {
                uint8_t ar = a[0], ag = a[1], ab = a[2], br = b[0], bg = b[1], bb = b[2];
                a[0] = bb;
                a[1] = bg;
                a[2] = br;
                b[0] = ab;
                b[1] = ag;
                b[2] = ar;
            }
        }
        return fovea::kDecodeOk;
    }

    const uint8_t* src = pixels.Get();
    if (grey) {
        for (int y = 0; y < height; ++y)
            std::memcpy(out.TopRow(y), src + size_t(y) * width, size_t(width));
        return fovea::kDecodeOk;
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* s = src + size_t(y) * width * 3;
        uint8_t* d = out.TopRow(y);
        for (int x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    return fovea::kDecodeOk;
}
