// The dropped-file list of a data object: the medium fetched and released, the block read within its size.
#include "ole/DroppedPaths.h"

#include "fileops/PathNames.h"
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

bool ReadDroppedPaths(HGLOBAL block, std::vector<std::wstring>& paths)
{
    paths.clear();
    ScopedGlobalLock lock(block);
    if (!lock.get())
        return false;
    // The block is measured first: the file-drop query trusts its terminators, and a path cut by the end of
    // the block could name another file.
    DroppedList list;
    if (!ParseDropFiles(lock.get(), ::GlobalSize(block), list))
        return false;
    const size_t complete = list.bWide ? list.wide.size() : list.narrow.size();
    HDROP drop = HDROP(block);
    for (UINT i = 0; i < complete; ++i) {
        UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        UINT got = ::DragQueryFileW(drop, i, &path[0], length + 1);
        path.resize(got);
        if (!path.empty())
            paths.push_back(path);
    }
    return true;
}

bool ReadDroppedPaths(IDataObject* data, std::vector<std::wstring>& paths)
{
    paths.clear();
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

namespace {

bool ReachableOnly(bool read, const std::vector<std::wstring>& wide, CStringArray& paths)
{
    paths.RemoveAll();
    for (const std::wstring& path : wide) {
        CString narrow;
        if (ReachablePathOf(path, narrow))
            paths.Add(narrow);
    }
    return read;
}

} // namespace

bool ReadDroppedPaths(HGLOBAL block, CStringArray& paths)
{
    std::vector<std::wstring> wide;
    bool read = ReadDroppedPaths(block, wide);
    return ReachableOnly(read, wide, paths);
}

bool ReadDroppedPaths(IDataObject* data, CStringArray& paths)
{
    std::vector<std::wstring> wide;
    bool read = ReadDroppedPaths(data, wide);
    return ReachableOnly(read, wide, paths);
}

} // namespace fovea
