// Whole-file replacement through a temporary file beside the target.
#include "framework/FileReplace.h"

#include <algorithm>

#include "framework/Handles.h"
#include "framework/ShiftJis.h"
#include "framework/Win32.h"

namespace fovea {

bool WriteReplacing(const CString& path, const std::function<bool(const CString& temporary)>& write)
{
    DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::string folder = PathFolder(path.str());
    if (folder.empty())
        folder = ".";
    // A drive root ("C:") names the drive's current folder; its root is meant.
    if (folder.size() == 2 && folder[1] == ':')
        folder += '\\';
    char temporary[MAX_PATH + 16] = {};
    if (folder.size() >= MAX_PATH - 14 || !::GetTempFileNameA(folder.c_str(), "fov", 0, temporary))
        return false;
    bool written = write(CString(temporary)) &&
                   ::MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written)
        ::DeleteFileA(temporary);
    return written;
}

bool SaveBytesReplacing(const CString& path, const char* bytes, size_t size)
{
    return WriteReplacing(path, [&](const CString& temporary) {
        ScopedFile file(::CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (!file)
            return false;
        // One call per 64 MB at most: a DWORD count, and the platform copes badly with larger single writes.
        constexpr size_t kChunk = size_t(64) << 20;
        for (size_t done = 0; done < size;) {
            DWORD count = DWORD(std::min(kChunk, size - done));
            DWORD wrote = 0;
            if (!::WriteFile(file.get(), bytes + done, count, &wrote, nullptr) || wrote != count)
                return false;
            done += wrote;
        }
        return ::CloseHandle(file.release()) != FALSE;
    });
}

} // namespace fovea
