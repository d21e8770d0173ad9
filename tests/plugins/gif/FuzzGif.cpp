// libFuzzer entry: the GIF decoder on arbitrary bytes must return, never crash or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "plugins/gif/GifDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (IsGif(data, size))
        DecodeGif(data, size, picture);
    return 0;
}
