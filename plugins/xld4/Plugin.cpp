// The XLD4 plug-in's format entry, linked into IFXLD4.SPI.
#include "plugins/xld4/Xld4Decoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.q4", "XLD4 (Q4) picture", fovea::IsXld4, fovea::DecodeXld4};
