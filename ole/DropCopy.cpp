// The copy of a dropped-file list: files one by one, folders made first and then filled by the tree walk.
#include "ole/DropCopy.h"

#include "fileops/FileOps.h"
#include "fileops/FileSafety.h"
#include "fileops/PathParts.h"

namespace fovea {

bool IsCopyIntoItself(const CString& source, const CString& destination)
{
    if (IsSameOrInside(source.str(), destination.str()))
        return true;
    // The destination does not exist yet: resolve its folder and put the name back on.
    CFileOps ops;
    CString parent, name, resolvedSource, resolvedParent;
    ops.GetFolderPart(destination, parent);
    ops.GetFileName(destination, name);
    if (parent.IsEmpty() || !ResolvedPath(source, resolvedSource) || !ResolvedPath(parent, resolvedParent))
        return false;
    return IsSameOrInside(resolvedSource.str(), (resolvedParent + "\\" + name).str());
}

void CopyDroppedPaths(const CStringArray& paths, const CString& target)
{
    CFileOps ops;
    for (const CString& path : paths.data()) {
        CString name;
        ops.GetFileName(path, name);
        if (name.IsEmpty())
            continue;
        CString destination = target + "\\" + name;
        switch (ops.PathKind(path)) {
        case 2:
            // A declined overwrite only skips this file; the rest of the list is still copied.
            ops.CopyOneFile(path, destination);
            break;
        case 1:
            // The walk would refuse it anyway; checked first so that no empty folder is left behind.
            if (IsCopyIntoItself(path, destination))
                break;
            ops.MakeFolder(destination);
            ops.WalkDir(path, destination, "Copy");
            break;
        default:
            break;
        }
    }
}

} // namespace fovea
