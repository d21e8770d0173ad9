// libFuzzer entry: the X68000 PIC decoder on arbitrary bytes.
#include "plugins/pic/PicDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    // A few header bytes can ask for the largest picture allowed; that path costs only time and is covered by
    // the unit tests, so the fuzzer spends its runs on the pixel codes instead.
    uint32_t width, height;
    if (fovea::PicSize(data, size, width, height) && uint64_t(width) * height <= (1u << 20))
        fovea::DecodePic(data, size, picture);
    return 0;
}
