// The MAG plug-in's format entry, linked into IFMAG.SPI.
#include "plugins/mag/MagDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.mag", "MAG picture", fovea::IsMag, fovea::DecodeMag};
