// Picture blocks on the host: the heap, with the block's size kept in front of it like a global handle's.
#include "image/DibMemory.h"

#include <cstdlib>
#include <cstring>

namespace fovea {

namespace {

// A handle is the address of this header; the bytes follow it.
struct alignas(16) BlockHeader {
    size_t size;
};

BlockHeader* NewBlock(size_t size)
{
    if (size > SIZE_MAX - sizeof(BlockHeader))
        return nullptr;
    auto* header = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size));
    if (header)
        header->size = size;
    return header;
}

uint8_t* BytesOf(void* handle)
{
    return reinterpret_cast<uint8_t*>(static_cast<BlockHeader*>(handle) + 1);
}

} // namespace

bool CDibBlock::Allocate(size_t size)
{
    Free();
    if (size == 0)
        return false;
    BlockHeader* header = NewBlock(size);
    if (!header)
        return false;
    m_hBlock = header;
    m_pData = BytesOf(header);
    m_nSize = size;
    return true;
}

bool CDibBlock::Resize(size_t size)
{
    if (!m_hBlock)
        return Allocate(size);
    if (size == 0 || size > SIZE_MAX - sizeof(BlockHeader))
        return false;
    void* grown = std::realloc(m_hBlock, sizeof(BlockHeader) + size);
    if (!grown)
        return false;
    m_hBlock = grown;
    m_pData = BytesOf(grown);
    if (size > m_nSize)
        std::memset(m_pData + m_nSize, 0, size - m_nSize);
    m_nSize = size;
    static_cast<BlockHeader*>(grown)->size = size;
    return true;
}

bool CDibBlock::Adopt(void* handle)
{
    Free();
    if (!handle)
        return false;
    auto* header = static_cast<BlockHeader*>(handle);
    m_hBlock = header;
    m_pData = BytesOf(header);
    m_nSize = header->size;
    return true;
}

void CDibBlock::Free()
{
    std::free(m_hBlock);
    m_hBlock = nullptr;
    m_pData = nullptr;
    m_nSize = 0;
}

void* MakePluginBlock(const void* bytes, size_t size)
{
    BlockHeader* header = NewBlock(size);
    if (header && size && bytes)
        std::memcpy(BytesOf(header), bytes, size);
    return header;
}

void FreePluginBlock(void* handle)
{
    std::free(handle);
}

} // namespace fovea
