// libFuzzer entry: the X68000 PIC decoder on arbitrary bytes.
#include "plugins/pic/PicDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (fovea::IsPic(data, size))
        fovea::DecodePic(data, size, picture);
    return 0;
}
