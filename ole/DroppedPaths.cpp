// The dropped-file list of a data object: the medium fetched and released, the block read within its size.
#include "ole/DroppedPaths.h"

#include "ole/DropFiles.h"

namespace fovea {

namespace {

// The medium of one GetData, released however the reading ends (the receiver owns it).
class ScopedMedium {
public:
    ScopedMedium() = default;
    ~ScopedMedium() { ::ReleaseStgMedium(&m_medium); }
    ScopedMedium(const ScopedMedium&) = delete;
    ScopedMedium& operator=(const ScopedMedium&) = delete;
    STGMEDIUM* put() { return &m_medium; }
    const STGMEDIUM& get() const { return m_medium; }

private:
    STGMEDIUM m_medium = {};
};

// Global memory locked for reading.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL block) : m_block(block), m_data(block ? ::GlobalLock(block) : nullptr) {}
    ~ScopedGlobalLock()
    {
        if (m_data)
            ::GlobalUnlock(m_block);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    const void* get() const { return m_data; }

private:
    HGLOBAL m_block;
    void* m_data;
};

} // namespace

bool WideToSystemCodePage(const std::u16string& wide, CString& narrow)
{
    narrow.Empty();
    if (wide.empty())
        return true;
    const wchar_t* text = reinterpret_cast<const wchar_t*>(wide.data());
    const int length = int(wide.size());
    // No best-fit mapping: a near spelling ("é" as "e") could name a different file.
    BOOL usedDefault = FALSE;
    int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    std::string converted(size_t(bytes), '\0');
    if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, &converted[0], bytes, nullptr,
                              &usedDefault) != bytes ||
        usedDefault)
        return false;
    narrow = CString(converted);
    return true;
}

bool ReadDroppedPaths(HGLOBAL block, CStringArray& paths)
{
    paths.RemoveAll();
    ScopedGlobalLock lock(block);
    if (!lock.get())
        return false;
    DroppedList list;
    if (!ParseDropFiles(lock.get(), ::GlobalSize(block), list))
        return false;
    for (const std::string& path : list.narrow)
        paths.Add(CString(path));
    for (const std::u16string& path : list.wide) {
        CString narrow;
        if (WideToSystemCodePage(path, narrow))
            paths.Add(narrow);
    }
    return true;
}

bool ReadDroppedPaths(IDataObject* data, CStringArray& paths)
{
    paths.RemoveAll();
    if (!data)
        return false;
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    ScopedMedium medium;
    if (FAILED(data->GetData(&format, medium.put())))
        return false;
    if (medium.get().tymed != TYMED_HGLOBAL)
        return false;
    return ReadDroppedPaths(medium.get().hGlobal, paths);
}

} // namespace fovea
