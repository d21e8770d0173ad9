// libFuzzer entry: the MAG decoder on arbitrary bytes.
#include "plugins/mag/MagDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (fovea::IsMag(data, size))
        fovea::DecodeMag(data, size, picture);
    return 0;
}
