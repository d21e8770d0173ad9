// The TIFF plug-in's format entry, linked into IFTIFF.SPI.
#include "plugins/tiff/TiffDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.tif", "TIFF picture", IsTiff, DecodeTiff};
