// libFuzzer entry: the PNG decoder, whole and reduced, on arbitrary bytes must return, never crash or read out of
// bounds.
#include <cstddef>
#include <cstdint>

#include "plugins/png/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!IsPng(data, size))
        return 0;
    fovea::DecodedPicture picture;
    DecodePng(data, size, picture);
    fovea::DecodedPicture preview;
    DecodePngPreview(data, size, preview);
    return 0;
}
