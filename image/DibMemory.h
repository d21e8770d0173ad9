// The memory blocks of a picture: moveable global blocks kept locked on Windows, the heap on the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace fovea {

// One zero-filled block, addressable for as long as it is held; freed exactly once.
class CDibBlock {
public:
    CDibBlock() = default;
    ~CDibBlock() { Free(); }
    CDibBlock(const CDibBlock&) = delete;
    CDibBlock& operator=(const CDibBlock&) = delete;

    // A fresh zeroed block of size bytes (size 0 fails, as a zero-size global block cannot be locked).
    bool Allocate(size_t size);
    // Resizes the held block keeping its bytes, zero-filling any new part; on failure the old block stays.
    bool Resize(size_t size);
    // Takes over a block that a plug-in allocated (LocalAlloc, moveable). On failure the handle is freed.
    bool Adopt(void* handle);
    void Free();
    void Swap(CDibBlock& other) noexcept
    {
        std::swap(m_hBlock, other.m_hBlock);
        std::swap(m_pData, other.m_pData);
        std::swap(m_nSize, other.m_nSize);
    }

    uint8_t* Data() const { return m_pData; }
    // The size the memory manager reports, which may exceed what was asked for.
    size_t Size() const { return m_nSize; }
    bool IsEmpty() const { return m_pData == nullptr; }

private:
    void* m_hBlock = nullptr;
    uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
};

// A block as a plug-in hands it over: a moveable, unlocked block filled with bytes; null on failure.
// The picture code takes these over with CDibBlock::Adopt; tests use it to play the plug-in.
void* MakePluginBlock(const void* bytes, size_t size);
// Frees a block made by MakePluginBlock that was never adopted.
void FreePluginBlock(void* handle);

} // namespace fovea
