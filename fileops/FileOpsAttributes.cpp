// CFileOps: the attributes round trip of one file or folder: read-only, hidden and the modification time.
#include "fileops/FileOps.h"

#include "fileops/AttrDlg.h"
#include "fileops/AttrTime.h"
#include "fileops/MessageDlg.h"
#include "framework/Handles.h"

namespace {

// What a confirmed dialog keeps of the old attributes: everything it does not show that the platform lets a
// program set. The system bit is not the user's choice here.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE;
constexpr DWORD kShownAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

bool LocalTimeOf(const FILETIME& utc, fovea::ItemTime& time)
{
    SYSTEMTIME universal, local;
    if (!::FileTimeToSystemTime(&utc, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return false;
    time = fovea::ItemTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return true;
}

// The local time as a file time, daylight saving as it was on that date.
bool FileTimeOfLocal(const fovea::ItemTime& time, FILETIME& utc)
{
    SYSTEMTIME local = {};
    local.wYear = WORD(time.year);
    local.wMonth = WORD(time.month);
    local.wDay = WORD(time.day);
    local.wHour = WORD(time.hour);
    local.wMinute = WORD(time.minute);
    local.wSecond = WORD(time.second);
    SYSTEMTIME universal;
    return ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &universal) && ::SystemTimeToFileTime(&universal, &utc);
}

bool SetTimes(const CString& path, const WIN32_FILE_ATTRIBUTE_DATA& status, const FILETIME& lastWrite)
{
    // Backup semantics open folders too; only the right to write attributes is asked, which a read-only file
    // grants.
    fovea::ScopedFile file(::CreateFileA(path, FILE_WRITE_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && ::SetFileTime(file.get(), &status.ftCreationTime, &status.ftLastAccessTime, &lastWrite);
}

} // namespace

void CFileOps::EditAttributes(CString path)
{
    WIN32_FILE_ATTRIBUTE_DATA status = {};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &status))
        return;
    CAttrDlg dialog;
    dialog.m_bReadOnly = (status.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 1 : 0;
    dialog.m_bHidden = (status.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) ? 1 : 0;
    fovea::ItemTime shownTime;
    CString shown;
    if (LocalTimeOf(status.ftLastWriteTime, shownTime))
        shown = fovea::FormatAttrTime(shownTime);
    dialog.m_strTime = shown;
    if (dialog.DoModal() != IDOK)
        return;

    // The text as shown keeps the time to the last fraction of a second, whatever its year.
    FILETIME lastWrite = status.ftLastWriteTime;
    if (dialog.m_strTime != shown) {
        fovea::ItemTime entered;
        if (!fovea::ParseAttrTime(dialog.m_strTime.str(), entered) || !FileTimeOfLocal(entered, lastWrite)) {
            lastWrite = status.ftLastWriteTime;
            CMessageDlg::Show("更新時間は 96-08-31 23:05:09 の形で入力してください", path,
                              "更新時間は変更していません");
        }
    }
    bool timeChanged = ::CompareFileTime(&lastWrite, &status.ftLastWriteTime) != 0;
    if (timeChanged && !SetTimes(path, status, lastWrite)) {
        CMessageDlg::Show("更新時間を変更できませんでした", path, "属性も変更していません");
        return;
    }

    DWORD old = status.dwFileAttributes & (kKeptAttributes | kShownAttributes);
    DWORD attributes = (status.dwFileAttributes & kKeptAttributes) |
                       (dialog.m_bReadOnly ? FILE_ATTRIBUTE_READONLY : 0) |
                       (dialog.m_bHidden ? FILE_ATTRIBUTE_HIDDEN : 0);
    if (attributes == old)
        return;
    if (!::SetFileAttributesA(path, attributes ? attributes : FILE_ATTRIBUTE_NORMAL)) {
        // Both or nothing: the new time goes back. Where that fails too, the user is told the time did change.
        const char* time = "";
        if (timeChanged)
            time =
                SetTimes(path, status, status.ftLastWriteTime) ? "更新時間も元のままです" : "更新時間は変更されました";
        CMessageDlg::Show("属性を変更できませんでした", path, time);
    }
}
