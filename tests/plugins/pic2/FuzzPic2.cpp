// libFuzzer entry: the PIC2 decoder on arbitrary bytes.
#include "plugins/pic2/Pic2Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (fovea::IsPic2(data, size))
        fovea::DecodePic2(data, size, picture);
    return 0;
}
