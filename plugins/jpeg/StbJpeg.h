// The one translation unit that compiles stb_image, configured for JPEG from memory only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace stbjpeg {

// Header query: false when the data is not a JPEG the library reads.
bool Info(const uint8_t* data, size_t size, int& width, int& height, int& components);

// Decodes to 1 (grey) or 3 (RGB) bytes a pixel, top-down. The caller frees with Free. Null on failure,
// including a failed internal consistency check.
uint8_t* Load(const uint8_t* data, size_t size, int channels, int& width, int& height);
void Free(uint8_t* pixels);

// Lends the library a buffer for the decoded pixels: while lent, a decode whose pixel buffer has exactly this
// size writes into it instead of a fresh allocation (Load then returns it, and Free leaves it alone). A
// 32-bit process then holds one picture-sized buffer less, and the pages are touched once.
class CLentBuffer {
public:
    CLentBuffer(uint8_t* p, size_t size);
    ~CLentBuffer();
    CLentBuffer(const CLentBuffer&) = delete;
    CLentBuffer& operator=(const CLentBuffer&) = delete;
};

} // namespace stbjpeg
