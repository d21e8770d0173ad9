// Same-file and same-contents tests, where a link leads, resolved paths and the link-safe erase of the tree walk.
#include "fileops/FileSafety.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "fileops/FileOps.h"
#include "fileops/PathParts.h"
#include "framework/Handles.h"

namespace fovea {

namespace {

// Both calls exist from Windows Vista on; on older systems there are no file links to guard against, and
// the plain calls are used.
using FinalPathProc = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
using SetInfoProc = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
constexpr int kFileDispositionInfo = 4; // FILE_INFO_BY_HANDLE_CLASS
struct DispositionInfo {
    BOOLEAN deleteFile;
};

struct KernelCalls {
    FinalPathProc finalPath = nullptr;
    SetInfoProc setInfo = nullptr;
    KernelCalls()
    {
        HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        if (kernel) {
            finalPath = reinterpret_cast<FinalPathProc>(::GetProcAddress(kernel, "GetFinalPathNameByHandleA"));
            setInfo = reinterpret_cast<SetInfoProc>(::GetProcAddress(kernel, "SetFileInformationByHandle"));
        }
    }
};

const KernelCalls& Calls()
{
    static const KernelCalls calls;
    return calls;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool FinalPathOfHandle(HANDLE handle, CString& resolved)
{
    FinalPathProc finalPath = Calls().finalPath;
    if (!finalPath)
        return false;
    std::vector<char> buffer(MAX_PATH + 16);
    DWORD length = finalPath(handle, buffer.data(), DWORD(buffer.size()), 0);
    if (length >= buffer.size()) {
        // Too small: the answer is the size needed, terminator included.
        buffer.resize(length + 1);
        length = finalPath(handle, buffer.data(), DWORD(buffer.size()), 0);
    }
    if (length == 0 || length >= buffer.size())
        return false;
    std::string path = WithoutLongPrefix(std::string(buffer.data(), length));
    if (path.size() > 1 && ReverseFindChar(path, '\\') == path.size() - 1)
        path.erase(path.size() - 1);
    resolved = path;
    return true;
}

bool FileIdentity(const CString& path, BY_HANDLE_FILE_INFORMATION& info)
{
    ScopedFile file(::CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && ::GetFileInformationByHandle(file.get(), &info);
}

CString FullPath(const CString& path)
{
    DWORD length = ::GetFullPathNameA(path, 0, nullptr, nullptr);
    if (length == 0)
        return path;
    CString full;
    DWORD written = ::GetFullPathNameA(path, length, full.GetBuffer(int(length)), nullptr);
    full.ReleaseBuffer(written < length ? int(written) : -1);
    return full;
}

} // namespace

bool IsSameFile(const CString& a, const CString& b)
{
    BY_HANDLE_FILE_INFORMATION first = {}, second = {};
    if (FileIdentity(a, first) && FileIdentity(b, second))
        return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    return SamePath(FullPath(a).str(), FullPath(b).str());
}

bool SameContents(const CString& a, const CString& b)
{
    ScopedFile first(::CreateFileA(a, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ScopedFile second(::CreateFileA(b, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER sizeA = {}, sizeB = {};
    if (!first || !second || !::GetFileSizeEx(first.get(), &sizeA) || !::GetFileSizeEx(second.get(), &sizeB) ||
        sizeA.QuadPart != sizeB.QuadPart)
        return false;
    std::vector<char> bufferA(64 * 1024), bufferB(64 * 1024);
    for (LONGLONG left = sizeA.QuadPart; left > 0;) {
        DWORD want = DWORD(std::min<LONGLONG>(left, LONGLONG(bufferA.size())));
        DWORD gotA = 0, gotB = 0;
        if (!::ReadFile(first.get(), bufferA.data(), want, &gotA, nullptr) ||
            !::ReadFile(second.get(), bufferB.data(), want, &gotB, nullptr) || gotA != want || gotB != want ||
            std::memcmp(bufferA.data(), bufferB.data(), want) != 0)
            return false;
        left -= want;
    }
    return true;
}

bool LinksTo(const CString& link, const CString& target)
{
    CString resolved, folder, arguments, description;
    return SUCCEEDED(CFileOps().ResolveShortcut(nullptr, link, resolved, folder, arguments, description, false)) &&
           !resolved.IsEmpty() && IsSameFile(resolved, target);
}

bool ResolvedPath(const CString& path, CString& resolved)
{
    ScopedFile file(::CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && FinalPathOfHandle(file.get(), resolved);
}

int DeleteFileInPlace(const CString& folder, const CString& folderResolved, const CString& name)
{
    CString path = folder + "\\" + name;
    if (!Calls().finalPath || !Calls().setInfo || folderResolved.IsEmpty())
        return ::DeleteFileA(path) ? 0 : -1;
    ScopedFile file(::CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return -1;
    CString resolved;
    if (!FinalPathOfHandle(file.get(), resolved)) {
        // Nothing to compare with: the platform's own delete call, which never follows a link on Windows.
        file.reset();
        return ::DeleteFileA(path) ? 0 : -1;
    }
    // Wine: the handle of a symbolic link is the file it points at; erasing it would erase that file.
    if (!SamePath(resolved.str(), (folderResolved + "\\" + name).str()))
        return -1;
    DispositionInfo disposition = {TRUE};
    return Calls().setInfo(file.get(), kFileDispositionInfo, &disposition, sizeof disposition) ? 0 : -1;
}

} // namespace fovea
