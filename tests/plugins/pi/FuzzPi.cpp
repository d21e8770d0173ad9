// libFuzzer entry: the Pi decoder on arbitrary bytes.
#include "plugins/pi/PiDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    // A few header bytes can ask for the largest picture allowed; that path costs only time and is covered by
    // the unit tests, so the fuzzer spends its runs on the pixel codes instead.
    uint32_t width, height;
    if (fovea::PiSize(data, size, width, height) && uint64_t(width) * height <= (1u << 20))
        fovea::DecodePi(data, size, picture);
    return 0;
}
