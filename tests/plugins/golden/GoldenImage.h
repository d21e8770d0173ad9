// Test helpers for the picture decoders: plain RGB pictures, PPM/BMP files, and the reference tools that
// make inputs and expected outputs at test time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/shim/Picture.h"

namespace golden {

// Top-down RGB, three bytes a pixel, no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    uint8_t* At(int x, int y) { return &rgb[(size_t(y) * width + x) * 3]; }
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// A test picture with smooth gradients, hard edges and a few saturated blocks: exercises colour conversion,
// upsampling and every LZW/PackBits path. With levels > 0 each channel is reduced to that many levels.
RgbImage MakePicture(int width, int height, int levels = 0);

// Expands a decoded DIB (1/4/8 bits with palette, or 24) to top-down RGB.
RgbImage FromDib(const fovea::DecodedPicture& picture);

std::vector<uint8_t> ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& data);

bool WritePpm(const std::string& path, const RgbImage& image);
// P5 or P6 with maxval 255; grey is widened to RGB. Empty image on failure.
RgbImage ReadPnm(const std::string& path);

// 24-bit bottom-up BMP, the format of the committed *.expected.bmp files.
bool WriteBmp24(const std::string& path, const RgbImage& image);
RgbImage ReadBmp24(const std::string& path);

// Largest per-channel difference; -1 when the sizes differ.
int MaxDifference(const RgbImage& a, const RgbImage& b);
// Mean absolute per-channel difference.
double MeanDifference(const RgbImage& a, const RgbImage& b);

// Runs a shell command; true when it exits 0.
bool Run(const std::string& command);
// True when the reference tool can be started (never on Windows, where the tests run under Wine).
bool HaveTool(const std::string& name);

std::string DataPath(const std::string& relative);

} // namespace golden
