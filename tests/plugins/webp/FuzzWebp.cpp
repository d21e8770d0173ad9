// libFuzzer entry: the WebP decoder, whole and reduced, on arbitrary bytes must return, never crash or read out
// of bounds.
#include <cstddef>
#include <cstdint>

#include "plugins/webp/WebpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!IsWebp(data, size))
        return 0;
    fovea::DecodedPicture picture;
    DecodeWebp(data, size, picture);
    fovea::DecodedPicture preview;
    DecodeWebpPreview(data, size, preview);
    return 0;
}
