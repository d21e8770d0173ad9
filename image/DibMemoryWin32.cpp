// Picture blocks on Windows: GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT), locked once and kept locked.
#include "image/DibMemory.h"

#include <cstring>

#include "framework/Win32.h"

namespace fovea {

bool CDibBlock::Allocate(size_t size)
{
    Free();
    if (size == 0)
        return false;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!h)
        return false;
    void* p = GlobalLock(h);
    if (!p) {
        GlobalFree(h);
        return false;
    }
    m_hBlock = h;
    m_pData = static_cast<uint8_t*>(p);
    m_nSize = size;
    return true;
}

bool CDibBlock::Resize(size_t size)
{
    if (!m_hBlock)
        return Allocate(size);
    if (size == 0)
        return false;
    // A locked moveable block cannot move: unlock it for the reallocation and lock the result again.
    GlobalUnlock(m_hBlock);
    HGLOBAL h = GlobalReAlloc(m_hBlock, size, GMEM_MOVEABLE | GMEM_ZEROINIT);
    HGLOBAL keep = h ? h : static_cast<HGLOBAL>(m_hBlock);
    void* p = GlobalLock(keep);
    if (!p) {
        GlobalFree(keep);
        m_hBlock = nullptr;
        m_pData = nullptr;
        m_nSize = 0;
        return false;
    }
    m_hBlock = keep;
    m_pData = static_cast<uint8_t*>(p);
    if (!h)
        return false;
    // GMEM_ZEROINIT on a reallocation is not honoured everywhere; clear the new part ourselves.
    if (size > m_nSize)
        std::memset(m_pData + m_nSize, 0, size - m_nSize);
    m_nSize = size;
    return true;
}

bool CDibBlock::Adopt(void* handle)
{
    Free();
    if (!handle)
        return false;
    // The local and the global heap are one heap in Win32: GlobalLock, GlobalSize and GlobalFree accept
    // a handle from LocalAlloc.
    HGLOBAL h = static_cast<HGLOBAL>(handle);
    void* p = GlobalLock(h);
    SIZE_T size = p ? GlobalSize(h) : 0;
    if (!p || size == 0) {
        if (p)
            GlobalUnlock(h);
        GlobalFree(h);
        return false;
    }
    m_hBlock = h;
    m_pData = static_cast<uint8_t*>(p);
    m_nSize = size;
    return true;
}

void CDibBlock::Free()
{
    if (m_hBlock) {
        GlobalUnlock(m_hBlock);
        GlobalFree(m_hBlock);
    }
    m_hBlock = nullptr;
    m_pData = nullptr;
    m_nSize = 0;
}

void* MakePluginBlock(const void* bytes, size_t size)
{
    HLOCAL h = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size ? size : 1);
    if (!h)
        return nullptr;
    void* p = LocalLock(h);
    if (!p) {
        LocalFree(h);
        return nullptr;
    }
    if (size && bytes)
        std::memcpy(p, bytes, size);
    LocalUnlock(h);
    return h;
}

void FreePluginBlock(void* handle)
{
    if (handle)
        LocalFree(static_cast<HLOCAL>(handle));
}

} // namespace fovea
