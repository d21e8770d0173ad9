// libFuzzer entry: the TIFF decoder on arbitrary bytes must return, never crash or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "plugins/tiff/TiffDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (IsTiff(data, size))
        DecodeTiff(data, size, picture);
    return 0;
}
