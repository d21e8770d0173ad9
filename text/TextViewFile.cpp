// The text view's files: a text read whole before it is shown, and written back only whole, never over the
// file of a text that did not load.
#include "text/TextView.h"

#include <climits>
#include <new>

#include "framework/FileReplace.h"
#include "framework/Handles.h"
#include "text/TextLines.h"

namespace {

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const CString& path, std::string& bytes)
{
    fovea::ScopedFile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > INT_MAX / 2)
        return false;
    try {
        bytes.resize(size_t(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), &bytes[done], DWORD(bytes.size() - done), &got, nullptr))
            return false;
        if (got == 0)
            break; // the file shrank while it was read
        done += got;
    }
    bytes.resize(done);
    return true;
}

} // namespace

bool CTextView::LoadFile(const CString& path)
{
    m_strFailedPath = path;
    m_strPendingPath = path;
    std::string bytes;
    bool shown = false;
    try {
        shown = ReadWholeFile(path, bytes) && ShowLines(fovea::WithCrLfLines(bytes));
    } catch (const std::bad_alloc&) {
        shown = false;
    }
    // A load still in progress is good so far; a piece the control refuses marks it failed again.
    if (shown)
        m_strFailedPath.Empty();
    return shown;
}

bool CTextView::LoadFailedFor(const CString& path) const
{
    return !m_strFailedPath.IsEmpty() && ::lstrcmpiA(m_strFailedPath, path) == 0;
}

bool CTextView::SaveFile(const CString& path)
{
    const std::string bytes = GetLines();
    return fovea::SaveBytesReplacing(path, bytes.data(), bytes.size());
}
