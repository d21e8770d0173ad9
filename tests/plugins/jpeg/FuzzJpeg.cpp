// libFuzzer entry: the JPEG decoder on arbitrary bytes must return, never crash or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "plugins/jpeg/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (!IsJpeg(data, size))
        return 0;
    // The reduced decode takes the library's scaled paths: both are fed the same bytes.
    if (size & 1)
        DecodeJpegPreview(data, size, picture);
    else
        DecodeJpeg(data, size, picture);
    return 0;
}
