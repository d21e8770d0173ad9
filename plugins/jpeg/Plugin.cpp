// The JPEG plug-in's format entry, linked into IFJPEG.SPI.
#include "plugins/jpeg/JpegDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.jpg", "JPEG picture", IsJpeg, DecodeJpeg, DecodeJpegPreview};
