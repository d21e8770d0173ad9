// libFuzzer entry: the JPEG decoder on arbitrary bytes must return, never crash or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "plugins/jpeg/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (IsJpeg(data, size))
        DecodeJpeg(data, size, picture);
    return 0;
}
