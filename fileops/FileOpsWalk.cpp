// CFileOps: the recursive copy and erase of folder trees (run by CTreeWalk on the UTF-16 paths), and the
// listing of a folder's names.
#include "fileops/FileOps.h"

#include "fileops/PathNames.h"
#include "fileops/TreeWalk.h"
#include "framework/Handles.h"

void CFileOps::ListNames(CStringArray& list, CString folder, CString pattern, DWORD mask)
{
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(::FindFirstFileW(fovea::WideOf(folder + "\\" + pattern).c_str(), &data));
    if (!find)
        return;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        DWORD attributes = data.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(mask & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        // Names for paths: one that no code-page call reaches is left out.
        fovea::ListedName listed = fovea::ListedNameOf(data);
        if ((attributes & mask) && listed.reachable)
            list.Add(listed.name);
    } while (::FindNextFileW(find.get(), &data));
}

int CFileOps::WalkDir(CString source, CString destination, CString operation)
{
    // Only the paths given are converted; everything below them is walked in UTF-16.
    return WalkDir(fovea::WideOf(source), fovea::WideOf(destination), operation);
}

int CFileOps::WalkDir(const std::wstring& source, const std::wstring& destination, CString operation)
{
    CTreeWalk walk(*this, CTreeWalk::OperationOf(operation));
    return walk.Run(source, destination);
}

int CFileOps::Walk(CString source, CString destination, CString operation)
{
    CTreeWalk walk(*this, CTreeWalk::OperationOf(operation));
    return walk.Walk(fovea::WideOf(source), fovea::WideOf(destination));
}
