// The GIF plug-in's format entry, linked into IFGIF.SPI.
#include "plugins/gif/GifDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.gif", "GIF picture", IsGif, DecodeGif};
