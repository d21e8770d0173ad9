// libFuzzer entry: the Pi decoder on arbitrary bytes.
#include "plugins/pi/PiDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (fovea::IsPi(data, size))
        fovea::DecodePi(data, size, picture);
    return 0;
}
