// stb_image compiled for JPEG from memory only, with our size limit and an assertion that never aborts.
#include "plugins/jpeg/StbJpeg.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// A failed library assertion would abort the host process: note it and reject the picture instead.
thread_local bool t_bAssertFailed = false;

void NoteAssertFailure()
{
    t_bAssertFailed = true;
}

thread_local uint8_t* t_pLent = nullptr;
thread_local size_t t_nLent = 0;
thread_local bool t_bLentInUse = false;

// Cleared allocations: the library's decoder state then never holds leftovers of earlier use.
void* Allocate(size_t size)
{
    if (t_pLent && !t_bLentInUse && size == t_nLent) {
        t_bLentInUse = true;
        return t_pLent;
    }
    return std::calloc(1, size);
}

void Release(void* p)
{
    if (p && p == t_pLent) {
        t_bLentInUse = false;
        return;
    }
    std::free(p);
}

// Not reached by the JPEG decoder, but the library wants all three hooks.
[[maybe_unused]] void* Reallocate(void* p, size_t size)
{
    if (p && p == t_pLent) {
        void* moved = std::malloc(size);
        if (moved)
            std::memcpy(moved, p, size < t_nLent ? size : t_nLent);
        t_bLentInUse = false;
        return moved;
    }
    return std::realloc(p, size);
}

} // namespace

#define STBI_ASSERT(x) ((x) ? (void)0 : NoteAssertFailure())
#define STBI_MALLOC(size) Allocate(size)
#define STBI_REALLOC(p, size) Reallocate(p, size)
#define STBI_FREE(p) Release(p)
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
    t_bLentInUse = false;
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

CLentBuffer::CLentBuffer(uint8_t* p, size_t size)
{
    t_pLent = p;
    t_nLent = size;
    t_bLentInUse = false;
}

CLentBuffer::~CLentBuffer()
{
    t_pLent = nullptr;
    t_nLent = 0;
    t_bLentInUse = false;
}

} // namespace stbjpeg
