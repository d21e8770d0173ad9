// The compressed kinds of PIC2 block, P2SF and P2SS: each turns a block's data into lines of colour values, the
// levels packed green above red above blue, depth / 3 bits each (the order the streams store them in).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace fovea {

// Receives each decoded line of a block, top first; the values stay valid until the call returns.
using Pic2LineSink = std::function<void(uint32_t line, const uint32_t* values)>;

// Both decode the first `lines` lines of a block `width` x `height` at `depth` bits (3 to 24 in steps of 3) from
// the block's data after its header. Result kDecodeOk, kDecodeBroken when the stream runs out or cannot be what
// an encoder wrote, or kDecodeNoMemory.
int DecodeP2sfBlock(const uint8_t* data, size_t size, int depth, uint32_t width, uint32_t height, uint32_t lines,
                    const Pic2LineSink& sink);
int DecodeP2ssBlock(const uint8_t* data, size_t size, int depth, uint32_t width, uint32_t height, uint32_t lines,
                    const Pic2LineSink& sink);

} // namespace fovea
