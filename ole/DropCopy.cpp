// The copy of a dropped-file list: files one by one, folders made first and then filled by the tree walk.
#include "ole/DropCopy.h"

#include "fileops/FileOps.h"
#include "fileops/FileSafety.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"

namespace fovea {

namespace {

void SplitLast(const std::wstring& path, std::wstring& folder, std::wstring& name)
{
    size_t slash = path.rfind(L'\\');
    folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    name = slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

bool IsCopyIntoItself(const std::wstring& source, const std::wstring& destination)
{
    if (IsWideSameOrInside(source, destination))
        return true;
    // The destination does not exist yet: resolve its folder and put the name back on.
    std::wstring parent, name, resolvedParent;
    SplitLast(destination, parent, name);
    return !parent.empty() && ResolvedPath(parent, resolvedParent) &&
           IsWideSameOrInside(source, resolvedParent + L"\\" + name);
}

void CopyDroppedPaths(const std::vector<std::wstring>& paths, const std::wstring& target)
{
    CFileOps ops;
    for (const std::wstring& path : paths) {
        std::wstring folder, name;
        SplitLast(path, folder, name);
        if (name.empty() || name.find_first_of(L"*?") != std::wstring::npos)
            continue;
        // The copy takes the entry's own name: a path dragged out of the program may give its short one.
        WIN32_FIND_DATAW found;
        ScopedFind find(::FindFirstFileW(LongForm(path).c_str(), &found));
        if (!find)
            continue;
        std::wstring destination = target + L"\\" + found.cFileName;
        DWORD attributes = found.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // A declined overwrite only skips this file; the rest of the list is still copied.
            ops.CopyOneFile(path, destination);
            continue;
        }
        // The walk would refuse it anyway; checked first so that no empty folder is left behind.
        if (IsCopyIntoItself(path, destination))
            continue;
        ::CreateDirectoryW(LongForm(destination).c_str(), nullptr);
        ops.WalkDir(path, destination, "Copy");
    }
}

} // namespace fovea
