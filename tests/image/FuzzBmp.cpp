// Fuzz target: a .BMP file image read into CDib, then every operation that walks its pixels.
#include <cstddef>
#include <cstdint>

#include "image/Dib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::SetDibMessageSink([](const char*) {});
    CDib dib;
    if (!dib.ReadFromMemory(data, size))
        return 0;
    // Keep the targets small: the picture may be large, but a few megabytes are enough to walk it all.
    if (uint64_t(dib.GetWidth()) * uint64_t(dib.GetHeight()) > (1u << 22))
        return 0;
    CDib target;
    target.ConvertFrom(24, dib, 7, 5);
    target.ConvertFrom(8, dib);
    target.QuantizeFrom(dib);
    target.ScaleFrom(dib, 9, 3);
    target.RotateFrom(dib, size & 1);
    target.FlipFrom(dib, (size >> 1) & 1);
    dib.SetFrames(2, dib.GetWidth(), dib.GetHeight() / 2);
    target.Swap(dib);
    target.SetFrames(2, target.GetWidth(), target.GetHeight() / 2);
    dib.CopyFrame(target, 1, 0);
    return 0;
}
