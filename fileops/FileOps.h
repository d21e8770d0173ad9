// CFileOps: the file-operations object made per command: path helpers, primitives returning 0 or -1, the copy
// of one file with its overwrite question, the status-line painter, the recursive copy and erase of folders,
// the attributes round trip and the shell links.
#pragma once

#include <string>

#include "browser/DriveInfo.h"
#include "framework/String.h"
#include "framework/Wnd.h"

class CFileOps : public CWnd {
public:
    // 1 folder, 2 anything else that exists, -1 when the status cannot be read.
    int PathKind(CString path);
    void GetFileName(CString path, CString& name);
    void GetTitlePart(CString path, CString& title);
    void GetExtension(CString path, CString& ext);
    void GetFolderPart(CString path, CString& folder);

    int DeleteOneFile(CString path);
    int MakeFolder(CString path);
    int RemoveFolder(CString path);
    int RenamePath(CString oldPath, CString newPath);
    // 0 when copied or when the source is gone; -1 when the user declined the overwrite or stopped after a
    // failed copy.
    int CopyOneFile(CString source, CString destination);
    // The same for UTF-16 paths (the tree walk and drops). The file arrives whole or not at all: it is written
    // beside the destination and moved into place when complete, so a copy that fails midway leaves no part
    // of it and an overwritten destination as it was.
    int CopyOneFile(const std::wstring& source, const std::wstring& destination);
    int ShowStatusText(int pane, CString text);

    // The drive information line of a folder (usage of its drive, the folder, the plug-ins) painted into
    // pane 0 of the status bar; returns 0.
    int ShowDriveInfo(CString path);
    CString DriveInfoText(CString path);
    // The size of the folder's drive; not known when the drive does not answer (no medium, no network).
    static fovea::DriveSpace DriveSpaceOf(CString path);

    // "Copy" copies the tree below source into the existing folder destination; "Remove" erases source with
    // everything in it (destination unused). -1 when destination is source or lies inside it.
    int WalkDir(CString source, CString destination, CString operation);
    int WalkDir(const std::wstring& source, const std::wstring& destination, CString operation);
    // One folder level, sub-folders first; -1 when a file copy of this level was declined.
    int Walk(CString source, CString destination, CString operation);
    // Appends the names of folder\pattern whose attributes share a bit with mask ("." and ".." never). A folder
    // is listed only when mask asks for folders.
    void ListNames(CStringArray& list, CString folder, CString pattern, DWORD mask);

    // Shows the attributes dialog for path (a file or folder) and applies what was confirmed: read-only,
    // hidden and the modification time. A change the platform refuses is reported and leaves the entry as it
    // was; an entry whose status cannot be read is passed over.
    void EditAttributes(CString path);

    // Writes linkPath as a shell link to target (an existing link of that name is replaced). The status of the
    // save, or of the first step that failed.
    HRESULT CreateShortcut(CString target, CString linkPath, CString workingDir, CString arguments,
                           CString description);
    // Reads the link file linkPath; the out strings are written only when it was loaded and resolved to a target
    // that is there, the target in its short 8.3 form. With search the shell may look for a moved target and show its own search window
    // over window; without it the stored target is taken as it is, with no window (for drawing). The status of
    // the last step performed.
    HRESULT ResolveShortcut(HWND window, CString linkPath, CString& target, CString& workingDir, CString& arguments,
                            CString& description, bool search = true);

    int FindLine(CString file, CString text);
    int AppendLine(CString file, CString text);

    static constexpr DWORD kFolderMask = 0x10;
    static constexpr DWORD kFileMask = 0x9A7;

private:
    // Asks whether to go on after a copy that failed; 0 on OK, -1 on キャンセル.
    int ReportFailedCopy(const CString& source, const CString& destination);
    // Writes source's contents, modification time and attributes as destination through a temporary file
    // beside it; false, with nothing left behind, when any step fails.
    static bool CopyWhole(const std::wstring& source, const std::wstring& destination);
};
