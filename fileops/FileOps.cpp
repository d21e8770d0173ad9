// CFileOps: path helpers, the primitive operations, the copy of one file and the status line.
#include "fileops/FileOps.h"

#include <vector>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/SampleFolder.h"
#include "fileops/FileSafety.h"
#include "fileops/MessageDlg.h"
#include "fileops/PathNames.h"
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
    // The entry's own long name (the path may give its short one) and its folder's resolved path, for the
    // link guard; a bare name goes to the platform call as it is.
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(::FindFirstFileW(fovea::WideOf(path).c_str(), &data));
    std::wstring wideFolder = fovea::WideOf(folder), folderResolved;
    if (!find || folder.IsEmpty() || !fovea::ResolvedPath(wideFolder, folderResolved))
        return ::DeleteFileA(path) ? 0 : -1;
    return fovea::DeleteFileInPlace(wideFolder, folderResolved, data.cFileName);
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
    return CopyOneFile(fovea::WideOf(source), fovea::WideOf(destination));
}

int CFileOps::CopyOneFile(const std::wstring& source, const std::wstring& destination)
{
    std::wstring from = fovea::LongForm(source), to = fovea::LongForm(destination);
    if (::GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 0;
    bool exists = ::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (exists && !CMessageDlg::AskOverwrite())
        return -1;
    CString shownSource = fovea::ShownText(source), shownDestination = fovea::ShownText(destination);
    ShowStatusText(0, shownSource + "--->" + shownDestination);
    // A file copied onto itself (also through another name for it) would be emptied before it is read: it is
    // never copied.
    bool copied = !(exists && fovea::IsSameFile(source, destination)) && CopyWhole(from, to);
    return copied ? 0 : ReportFailedCopy(shownSource, shownDestination);
}

bool CFileOps::CopyWhole(const std::wstring& source, const std::wstring& destination)
{
    size_t slash = destination.rfind(L'\\');
    std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : destination.substr(0, slash);
    // The platform's copy (contents, modification time, attributes) to a new name of our own beside the
    // destination; only the whole file then takes the destination's name. A name that is taken is never
    // touched: the copy to it fails and the next one is tried.
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[32];
        wsprintfW(name, L"\\~fov%04x%04x.tmp", ::GetCurrentProcessId() & 0xFFFF, (::GetTickCount() + attempt) & 0xFFFF);
        std::wstring temporary = folder + name;
        if (::CopyFileW(source.c_str(), temporary.c_str(), TRUE)) {
            if (::MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING))
                return true;
        } else if (::GetLastError() == ERROR_FILE_EXISTS || ::GetLastError() == ERROR_ALREADY_EXISTS) {
            continue;
        }
        // Whatever of the copy was written goes (it may carry the source's read-only bit).
        ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return false;
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
