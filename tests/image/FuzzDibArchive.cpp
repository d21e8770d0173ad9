// Fuzz target: archive records loaded into CDib through CArchive, over a file held in memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/Archive.h"
#include "image/Dib.h"

namespace {

// A read-only CFile over the fuzzer's bytes.
class CMemoryFile : public CFile {
public:
    CMemoryFile(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}
    unsigned Read(void* buffer, unsigned count) override
    {
        size_t n = std::min<size_t>(count, m_nSize - m_nPos);
        std::memcpy(buffer, m_pData + m_nPos, n);
        m_nPos += n;
        return unsigned(n);
    }
    uint64_t Seek(int64_t offset, SeekPosition from) override
    {
        int64_t base = from == begin ? 0 : from == current ? int64_t(m_nPos) : int64_t(m_nSize);
        m_nPos = size_t(std::clamp<int64_t>(base + offset, 0, int64_t(m_nSize)));
        return m_nPos;
    }
    uint64_t GetPosition() const override { return m_nPos; }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::SetDibMessageSink([](const char*) {});
    CMemoryFile file(data, size);
    CArchive ar(&file, CArchive::load);
    try {
        for (int i = 0; i < 4; ++i) {
            CDib dib;
            dib.Serialize(ar);
            if (!dib.IsEmpty() && uint64_t(dib.GetWidth()) * uint64_t(dib.GetHeight()) <= (1u << 20)) {
                CDib target;
                target.ScaleFrom(dib, 5, 5);
                target.ConvertFrom(8, dib);
            }
        }
    } catch (const CArchiveException&) {
    }
    return 0;
}
