// stb_image compiled for JPEG from memory only, with our size limit and an assertion that never aborts.
#include "plugins/jpeg/StbJpeg.h"

#include <climits>
#include <cstdlib>

namespace {

// A failed library assertion would abort the host process: note it and reject the picture instead.
thread_local bool t_bAssertFailed = false;

void NoteAssertFailure()
{
    t_bAssertFailed = true;
}

} // namespace

#define STBI_ASSERT(x) ((x) ? (void)0 : NoteAssertFailure())
// Cleared allocations: the library's decoder state then never holds leftovers of earlier use.
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(p, size) std::realloc(p, size)
#define STBI_FREE(p) std::free(p)
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 32768
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include "stb_image.h"
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace stbjpeg {

bool Info(const uint8_t* data, size_t size, int& width, int& height, int& components)
{
    if (!data || size == 0 || size > size_t(INT_MAX))
        return false;
    return stbi_info_from_memory(data, int(size), &width, &height, &components) != 0;
}

uint8_t* Load(const uint8_t* data, size_t size, int channels, int& width, int& height)
{
    if (!data || size == 0 || size > size_t(INT_MAX))
        return nullptr;
    t_bAssertFailed = false;
    int components = 0;
    uint8_t* pixels = stbi_load_from_memory(data, int(size), &width, &height, &components, channels);
    if (pixels && t_bAssertFailed) {
        stbi_image_free(pixels);
        pixels = nullptr;
    }
    return pixels;
}

void Free(uint8_t* pixels)
{
    stbi_image_free(pixels);
}

} // namespace stbjpeg
