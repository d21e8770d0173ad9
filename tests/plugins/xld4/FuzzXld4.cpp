// libFuzzer entry: the XLD4 decoder on arbitrary bytes.
#include "plugins/xld4/Xld4Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DecodedPicture picture;
    if (fovea::IsXld4(data, size))
        fovea::DecodeXld4(data, size, picture);
    std::vector<uint8_t> nibbles;
    fovea::xld4::UnpackChunk(data, size, 4096, nibbles);
    return 0;
}
