// The WebP plug-in's format entry, linked into IFWEBP.SPI.
#include "plugins/webp/WebpDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.webp", "WebP picture", IsWebp, DecodeWebp, DecodeWebpPreview};
