// Decoder of XLD4 (Q4) pictures: 640 x 400 dots of 16 colours from a 4096-colour range, in LZW-coded chunks.
// No description of the format is published; the layout here follows the few facts known about it, and files
// that do not fit them are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/shim/Picture.h"

namespace fovea {

bool IsXld4(const uint8_t* data, size_t size);
int DecodeXld4(const uint8_t* data, size_t size, DecodedPicture& out);

namespace xld4 {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kRunSymbol = 16;

// One chunk's code bytes to nibbles (LZW symbols 0-16, then the runs expanded). False when the codes are not
// well formed or more than `limit` nibbles would come out.
bool UnpackChunk(const uint8_t* codes, size_t size, size_t limit, std::vector<uint8_t>& nibbles);

} // namespace xld4
} // namespace fovea
