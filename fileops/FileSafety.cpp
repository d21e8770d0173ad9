// Same-file and same-contents tests, where a link leads, resolved paths and the link-safe erase of the tree walk.
#include "fileops/FileSafety.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "fileops/FileOps.h"
#include "fileops/PathParts.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"

namespace fovea {

namespace {

// Both calls exist from Windows Vista on; on older systems there are no file links to guard against, and
// the plain calls are used.
using FinalPathProc = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
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
            finalPath = reinterpret_cast<FinalPathProc>(::GetProcAddress(kernel, "GetFinalPathNameByHandleW"));
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

std::wstring WithoutLongPrefix(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        return path.substr(4);
    return path;
}

std::wstring WithoutTrailingSeparator(const std::wstring& path)
{
    return !path.empty() && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
}

std::wstring Folded(const std::wstring& path)
{
    std::wstring folded = WithoutTrailingSeparator(path);
    if (!folded.empty())
        ::CharUpperBuffW(&folded[0], DWORD(folded.size()));
    return folded;
}

bool FinalPathOfHandle(HANDLE handle, std::wstring& resolved)
{
    FinalPathProc finalPath = Calls().finalPath;
    if (!finalPath)
        return false;
    std::vector<wchar_t> buffer(MAX_PATH + 16);
    DWORD length = finalPath(handle, buffer.data(), DWORD(buffer.size()), 0);
    if (length >= buffer.size()) {
        // Too small: the answer is the size needed, terminator included.
        buffer.resize(length + 1);
        length = finalPath(handle, buffer.data(), DWORD(buffer.size()), 0);
    }
    if (length == 0 || length >= buffer.size())
        return false;
    std::wstring path = WithoutLongPrefix(std::wstring(buffer.data(), length));
    if (path.size() > 1 && path.back() == L'\\')
        path.erase(path.size() - 1);
    resolved = path;
    return true;
}

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info)
{
    ScopedFile file(::CreateFileW(LongForm(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && ::GetFileInformationByHandle(file.get(), &info);
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    DWORD written = ::GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    if (written == 0 || written >= length)
        return path;
    full.resize(written);
    return full;
}

} // namespace

bool IsSameFile(const std::wstring& a, const std::wstring& b)
{
    BY_HANDLE_FILE_INFORMATION first = {}, second = {};
    if (FileIdentity(a, first) && FileIdentity(b, second))
        return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    return SameWidePath(FullPath(a), FullPath(b));
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
           !resolved.IsEmpty() && IsSameFile(WideOf(resolved), WideOf(target));
}

bool ResolvedPath(const std::wstring& path, std::wstring& resolved)
{
    ScopedFile file(::CreateFileW(LongForm(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && FinalPathOfHandle(file.get(), resolved);
}

bool SameWidePath(const std::wstring& a, const std::wstring& b)
{
    return Folded(a) == Folded(b);
}

bool IsWideSameOrInside(const std::wstring& outer, const std::wstring& inner)
{
    auto inside = [](const std::wstring& o, const std::wstring& i) {
        std::wstring folded = Folded(o), candidate = Folded(i);
        if (folded.empty())
            return false;
        return candidate == folded ||
               (candidate.size() > folded.size() && candidate.compare(0, folded.size(), folded) == 0 &&
                candidate[folded.size()] == L'\\');
    };
    if (inside(outer, inner))
        return true;
    std::wstring resolvedOuter, resolvedInner;
    return ResolvedPath(outer, resolvedOuter) && ResolvedPath(inner, resolvedInner) &&
           inside(resolvedOuter, resolvedInner);
}

int DeleteFileInPlace(const std::wstring& folder, const std::wstring& folderResolved, const std::wstring& name)
{
    std::wstring path = LongForm(folder + L"\\" + name);
    if (!Calls().finalPath || !Calls().setInfo || folderResolved.empty())
        return ::DeleteFileW(path.c_str()) ? 0 : -1;
    ScopedFile file(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return -1;
    std::wstring resolved;
    if (!FinalPathOfHandle(file.get(), resolved)) {
        // Nothing to compare with: the platform's own delete call, which never follows a link on Windows.
        file.reset();
        return ::DeleteFileW(path.c_str()) ? 0 : -1;
    }
    // Wine: the handle of a symbolic link is the file it points at; erasing it would erase that file.
    if (!SameWidePath(resolved, folderResolved + L"\\" + name))
        return -1;
    DispositionInfo disposition = {TRUE};
    return Calls().setInfo(file.get(), kFileDispositionInfo, &disposition, sizeof disposition) ? 0 : -1;
}

} // namespace fovea
