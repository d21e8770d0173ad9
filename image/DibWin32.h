// The portable picture structures seen as the platform's own (same bytes, checked at compile time).
#pragma once

#include <cstddef>

#include "framework/Win32.h"
#include "image/Dib.h"

static_assert(sizeof(LOGPALETTE) == sizeof(fovea::DibLogPalette) && sizeof(PALETTEENTRY) == 4 &&
              offsetof(LOGPALETTE, palNumEntries) == offsetof(fovea::DibLogPalette, palNumEntries) &&
              offsetof(LOGPALETTE, palPalEntry) == offsetof(fovea::DibLogPalette, palPalEntry) &&
              offsetof(PALETTEENTRY, peRed) == offsetof(fovea::DibPaletteEntry, peRed) &&
              offsetof(PALETTEENTRY, peBlue) == offsetof(fovea::DibPaletteEntry, peBlue));
static_assert(sizeof(BITMAPFILEHEADER) == sizeof(fovea::BmpFileHeader) &&
              sizeof(BITMAPINFOHEADER) == sizeof(fovea::BmpInfoHeader) && sizeof(RGBQUAD) == 4);

namespace fovea {

inline const LOGPALETTE* AsLogPalette(const DibLogPalette* palette)
{
    return reinterpret_cast<const LOGPALETTE*>(palette);
}
inline const BITMAPINFO* AsBitmapInfo(const void* info)
{
    return static_cast<const BITMAPINFO*>(info);
}

} // namespace fovea
