// CFileOps: path helpers, the primitive operations, the copy of one file and the status line.
#include "fileops/FileOps.h"

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/SampleFolder.h"
#include "fileops/FileSafety.h"
#include "fileops/MessageDlg.h"
#include "fileops/PathParts.h"
#include "framework/File.h"
#include "framework/Handles.h"

int CFileOps::PathKind(CString path)
{
    DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return -1;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 2;
}

void CFileOps::GetFileName(CString path, CString& name)
{
    name = fovea::PathFileName(path.str());
}

void CFileOps::GetTitlePart(CString path, CString& title)
{
    title = fovea::PathTitle(path.str());
}

void CFileOps::GetExtension(CString path, CString& ext)
{
    ext = fovea::WholeExtension(path.str());
}

void CFileOps::GetFolderPart(CString path, CString& folder)
{
    folder = fovea::PathFolder(path.str());
}

int CFileOps::DeleteOneFile(CString path)
{
    // A pattern names no one file: the platform call refuses it.
    if (path.Find('*') >= 0 || path.Find('?') >= 0)
        return ::DeleteFileA(path) ? 0 : -1;
    CString folder;
    GetFolderPart(path, folder);
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(::FindFirstFileA(path, &data));
    CString folderResolved;
    // The link guard needs the entry's own long name and its folder's resolved path; a bare name or a pattern
    // goes to the platform call as it is.
    if (!find || folder.IsEmpty() || !fovea::ResolvedPath(folder, folderResolved))
        return ::DeleteFileA(path) ? 0 : -1;
    return fovea::DeleteFileInPlace(folder, folderResolved, data.cFileName);
}

int CFileOps::MakeFolder(CString path)
{
    return ::CreateDirectoryA(path, nullptr) ? 0 : -1;
}

int CFileOps::RemoveFolder(CString path)
{
    return ::RemoveDirectoryA(path) ? 0 : -1;
}

int CFileOps::RenamePath(CString oldPath, CString newPath)
{
    return ::MoveFileA(oldPath, newPath) ? 0 : -1;
}

int CFileOps::CopyOneFile(CString source, CString destination)
{
    if (!CFile::Exists(source))
        return 0;
    bool exists = CFile::Exists(destination);
    if (exists && !CMessageDlg::AskOverwrite())
        return -1;
    ShowStatusText(0, source + "--->" + destination);
    // A file copied onto itself (also through another name for it) would be emptied before it is read on
    // some platforms: it is never handed to the copy call.
    bool copied = !(exists && fovea::IsSameFile(source, destination)) && ::CopyFileA(source, destination, FALSE);
    return copied ? 0 : ReportFailedCopy(source, destination);
}

int CFileOps::ReportFailedCopy(const CString& source, const CString& destination)
{
    return CMessageDlg::Show("コピーできませんでした", source, destination) == IDOK ? 0 : -1;
}

int CFileOps::ShowStatusText(int pane, CString text)
{
    CFoveaApp* app = FoveaApp();
    if (!app || !app->m_pMainFrame || !app->m_pMainFrame->m_wndStatusBar.m_hWnd)
        return 0;
    HWND bar = app->m_pMainFrame->m_wndStatusBar.m_hWnd;
    RECT rect = {};
    if (!::SendMessageA(bar, SB_GETRECT, WPARAM(pane), LPARAM(&rect)))
        return 0;
    COLORREF background = app->m_clrBackground == COLORREF(-1) ? ::GetSysColor(COLOR_BTNFACE) : app->m_clrBackground;
    fovea::ScopedGetDC dc(bar);
    if (!dc.get())
        return 0;
    fovea::ScopedBrush brush(::CreateSolidBrush(background));
    ::FillRect(dc.get(), &rect, brush.get());
    ::SetBkColor(dc.get(), background);
    fovea::SelectObjectScope font(dc.get(), app->GetFont(app->m_anElementFont[fovea::kFontMessage]));
    ::DrawTextA(dc.get(), text, text.GetLength(), &rect, DT_BOTTOM);
    return 0;
}

int CFileOps::FindLine(CString file, CString text)
{
    return fovea::FindLine(file.str(), text.str());
}

int CFileOps::AppendLine(CString file, CString text)
{
    return fovea::AppendLine(file.str(), text.str());
}
