// The PIC plug-in's format entry, linked into IFPIC.SPI.
#include "plugins/pic/PicDecoder.h"

const fovea::PluginFormat fovea::kPluginFormat = {"*.pic", "X68000 PIC picture", fovea::IsPic, fovea::DecodePic};
