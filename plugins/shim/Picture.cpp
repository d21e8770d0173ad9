// Sizing and filling of decoded pictures, shared by all decoders.
#include "plugins/shim/Picture.h"

#include <new>

namespace fovea {

size_t DecodedPicture::RowBytes(int32_t width, int bitCount)
{
    return ((size_t(width) * size_t(bitCount) + 31) / 32) * 4;
}

bool DecodedPicture::Allocate(int32_t w, int32_t h, int bits_)
{
    width = height = 0;
    bitCount = 0;
    bits.clear();
    palette.clear();
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || int64_t(w) * h > kMaxPicturePixels)
        return false;
    if (bits_ != 1 && bits_ != 4 && bits_ != 8 && bits_ != 24)
        return false;
    try {
        bits.assign(RowBytes(w, bits_) * size_t(h), 0);
        if (bits_ <= 8)
            palette.assign(size_t(4) << bits_, 0);
    } catch (const std::bad_alloc&) {
        bits.clear();
        palette.clear();
        return false;
    }
    width = w;
    height = h;
    bitCount = bits_;
    return true;
}

void DecodedPicture::SetPaletteEntry(int index, uint8_t red, uint8_t green, uint8_t blue)
{
    size_t at = size_t(index) * 4;
    if (index < 0 || at + 4 > palette.size())
        return;
    palette[at] = blue;
    palette[at + 1] = green;
    palette[at + 2] = red;
    palette[at + 3] = 0;
}

void BgraRowOverWhite(const uint8_t* bgra, int width, uint8_t* bgr)
{
    for (int x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        unsigned a = bgra[3];
        if (a == 255) {
            bgr[0] = bgra[0];
            bgr[1] = bgra[1];
            bgr[2] = bgra[2];
        } else {
            bgr[0] = OverWhite(bgra[0], a);
            bgr[1] = OverWhite(bgra[1], a);
            bgr[2] = OverWhite(bgra[2], a);
        }
    }
}

}  // namespace fovea
