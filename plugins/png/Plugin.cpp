// The PNG plug-in's format entry, linked into IFPNG.SPI.
#include "plugins/png/PngDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.png", "PNG picture", IsPng, DecodePng, DecodePngPreview};
