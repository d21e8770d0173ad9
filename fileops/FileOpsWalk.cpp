// CFileOps: the recursive copy and erase of folder trees, and the listing of a folder's names.
#include "fileops/FileOps.h"

#include "fileops/FileSafety.h"
#include "fileops/PathParts.h"
#include "framework/Handles.h"

namespace {

bool IsLink(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Destination equal to or inside source, compared as given and, where both exist, as the file system
// resolves them (a destination reached through a link or a short name is caught too).
bool IsInsideSource(const CString& source, const CString& destination)
{
    if (fovea::IsSameOrInside(source.str(), destination.str()))
        return true;
    CString resolvedSource, resolvedDestination;
    return fovea::ResolvedPath(source, resolvedSource) && fovea::ResolvedPath(destination, resolvedDestination) &&
           fovea::IsSameOrInside(resolvedSource.str(), resolvedDestination.str());
}

} // namespace

void CFileOps::ListEntries(std::vector<Entry>& entries, const CString& folder, const CString& pattern, DWORD mask)
{
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(::FindFirstFileA(folder + "\\" + pattern, &data));
    if (!find)
        return;
    do {
        const char* name = data.cFileName;
        if ((name[0] == '.' && name[1] == '\0') || (name[0] == '.' && name[1] == '.' && name[2] == '\0'))
            continue;
        DWORD attributes = data.dwFileAttributes;
        // A folder carrying the hidden or archive bit is still a folder, never one of the files.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(mask & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (attributes & mask)
            entries.push_back(Entry{name, attributes});
    } while (::FindNextFileA(find.get(), &data));
}

void CFileOps::ListNames(CStringArray& list, CString folder, CString pattern, DWORD mask)
{
    std::vector<Entry> entries;
    ListEntries(entries, folder, pattern, mask);
    for (const Entry& entry : entries)
        list.Add(entry.name);
}

int CFileOps::WalkDir(CString source, CString destination, CString operation)
{
    // An empty path would make every child "\name", the root of the current drive.
    if (source.IsEmpty() || (operation == "Copy" && destination.IsEmpty()))
        return -1;
    if (IsInsideSource(source, destination))
        return -1;
    // Erasing a linked folder erases the link alone, never what it leads to.
    DWORD attributes = ::GetFileAttributesA(source);
    bool sourceIsLink = attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes);
    if (!(operation == "Remove" && sourceIsLink))
        Walk(source, destination, operation);
    if (operation == "Remove")
        RemoveFolder(source);
    return 0;
}

int CFileOps::Walk(CString source, CString destination, CString operation)
{
    bool copy = operation == "Copy";
    bool remove = operation == "Remove";

    std::vector<Entry> folders;
    ListEntries(folders, source, "*.*", kFolderMask);
    for (const Entry& folder : folders) {
        CString s = source + "\\" + folder.name;
        CString d = destination + "\\" + folder.name;
        // A link (junction, symbolic link) is never descended: it may lead above itself or out of the tree.
        if (IsLink(folder.attributes)) {
            if (remove)
                RemoveFolder(s);
            continue;
        }
        if (copy)
            MakeFolder(d);
        Walk(s, d, operation);
        if (remove)
            RemoveFolder(s);
    }

    std::vector<Entry> files;
    ListEntries(files, source, "*.*", kFileMask);
    CString sourceResolved;
    if (remove)
        fovea::ResolvedPath(source, sourceResolved);
    for (const Entry& file : files) {
        if (copy && CopyOneFile(source + "\\" + file.name, destination + "\\" + file.name) == -1)
            return -1;
        if (remove)
            fovea::DeleteFileInPlace(source, sourceResolved, file.name);
    }
    return 0;
}
