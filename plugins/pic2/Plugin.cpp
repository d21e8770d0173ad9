// The PIC2 plug-in's format entry, linked into IFPIC2.SPI.
#include "plugins/pic2/Pic2Decoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.p2", "PIC2 picture", fovea::IsPic2, fovea::DecodePic2};
