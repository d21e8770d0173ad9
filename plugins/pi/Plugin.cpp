// The Pi plug-in's format entry, linked into IFPI.SPI.
#include "plugins/pi/PiDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.pi", "Pi picture", fovea::IsPi, fovea::DecodePi};
