// Whole-file replacement through a temporary file beside the target.
#include "framework/FileReplace.h"

#include <algorithm>
#include <vector>

#include "framework/Handles.h"
#include "framework/ShiftJis.h"
#include "framework/Win32.h"

namespace fovea {

namespace {

// What a replaced file keeps of its attributes; the rest (archive, compressed, ...) belongs to the new one.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

using ReplaceFileProc = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID);

// The platform's replace call keeps the old file's attributes, creation time and more; systems before
// Windows 2000 have none.
ReplaceFileProc ReplaceCall()
{
    static const ReplaceFileProc call = [] {
        HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        return kernel ? reinterpret_cast<ReplaceFileProc>(::GetProcAddress(kernel, "ReplaceFileA")) : nullptr;
    }();
    return call;
}

bool MoveOver(const CString& from, const CString& to)
{
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

DWORD LinkCount(const CString& path)
{
    ScopedFile file(::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    return file && ::GetFileInformationByHandle(file.get(), &info) ? info.nNumberOfLinks : 1;
}

// The contents of from written over those of the existing file to, which stays the same file.
bool CopyContents(const CString& from, const CString& to)
{
    ScopedFile source(::CreateFileA(from, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ScopedFile target(::CreateFileA(to, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source || !target)
        return false;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0, wrote = 0;
        if (!::ReadFile(source.get(), buffer.data(), DWORD(buffer.size()), &got, nullptr))
            return false;
        if (got == 0)
            break;
        if (!::WriteFile(target.get(), buffer.data(), got, &wrote, nullptr) || wrote != got)
            return false;
    }
    return ::SetEndOfFile(target.get()) && ::FlushFileBuffers(target.get()) && ::CloseHandle(target.release());
}

// A file with other names is rewritten in place from the complete new file; a copy of the old contents
// brings it back when the rewrite fails half way.
bool RewriteInPlace(const CString& from, const CString& to, const CString& backup)
{
    CString keep = backup;
    if (keep.IsEmpty()) {
        std::string folder = PathFolder(to.str());
        char name[MAX_PATH + 16] = {};
        if (folder.size() >= MAX_PATH - 14 ||
            !::GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "fov", 0, name))
            return false;
        keep = name;
    }
    if (!::CopyFileA(to, keep, FALSE)) {
        if (backup.IsEmpty())
            ::DeleteFileA(keep);
        return false;
    }
    bool written = CopyContents(from, to);
    if (!written)
        CopyContents(keep, to);
    if (backup.IsEmpty())
        ::DeleteFileA(keep);
    if (written)
        ::DeleteFileA(from);
    return written;
}

// The attributes and the creation time the old file had, given to the file now under its name. The
// replace call does this itself on Windows; elsewhere (older systems, Wine) it is done here.
void KeepStatus(const CString& path, const WIN32_FILE_ATTRIBUTE_DATA& old)
{
    {
        ScopedFile file(::CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        if (file)
            ::SetFileTime(file.get(), &old.ftCreationTime, nullptr, nullptr);
    }
    DWORD now = ::GetFileAttributesA(path);
    if (now == INVALID_FILE_ATTRIBUTES)
        return;
    DWORD kept = (now & ~kKeptAttributes) | (old.dwFileAttributes & kKeptAttributes);
    if (kept != now)
        ::SetFileAttributesA(path, kept ? kept : FILE_ATTRIBUTE_NORMAL);
}

} // namespace

bool MoveIntoPlace(const CString& from, const CString& to, const CString& backup)
{
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    if (!::GetFileAttributesExA(to, GetFileExInfoStandard, &old))
        return MoveOver(from, to);
    if (LinkCount(to) > 1)
        return RewriteInPlace(from, to, backup);
    ReplaceFileProc replace = ReplaceCall();
    bool moved = replace && replace(to, from, backup.IsEmpty() ? nullptr : backup.c_str(),
                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!moved && ::GetFileAttributesA(from) != INVALID_FILE_ATTRIBUTES) {
        // No replace call, or one that gave up before the new file moved: the plain moves.
        bool aside = backup.IsEmpty() || ::GetFileAttributesA(to) == INVALID_FILE_ATTRIBUTES || MoveOver(to, backup);
        moved = aside && MoveOver(from, to);
    }
    if (moved)
        KeepStatus(to, old);
    return moved;
}

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
    bool written = write(CString(temporary)) && MoveIntoPlace(CString(temporary), path);
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
