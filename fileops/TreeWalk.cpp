// The recursive copy and erase of folder trees on the UTF-16 file calls, with its progress line and its stop.
#include "fileops/TreeWalk.h"

#include "fileops/FileOps.h"
#include "fileops/FileSafety.h"
#include "fileops/PathNames.h"
#include "framework/Handles.h"

namespace {

// A run shorter than this shows only the copy lines of its files; a longer one shows its progress.
constexpr DWORD kQuietMillis = 500;
constexpr DWORD kShowEveryMillis = 100;
// Looking at the queue costs a call to the window system; a few times a second is enough for a key.
constexpr DWORD kLookEveryMillis = 50;

bool IsLink(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(fovea::LongForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring NameOf(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Escape pressed in any window of the program since the last look. Only key presses are taken from the queue:
// the walk runs inside a drop or a command, where nothing else may start.
bool EscapePressed()
{
    bool escape = false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
        escape = escape || msg.wParam == VK_ESCAPE;
    return escape;
}

} // namespace

CTreeWalk::Operation CTreeWalk::OperationOf(const CString& name)
{
    if (name == "Copy")
        return Operation::kCopy;
    if (name == "Remove")
        return Operation::kRemove;
    return Operation::kOther;
}

CTreeWalk::CTreeWalk(CFileOps& ops, Operation operation)
    : m_ops(ops), m_operation(operation), m_dwStart(::GetTickCount())
{
}

CTreeWalk::~CTreeWalk() = default;

int CTreeWalk::Run(const std::wstring& source, const std::wstring& destination)
{
    // An empty path would make every child "\name", the root of the current drive.
    if (source.empty() || (m_operation == Operation::kCopy && destination.empty()))
        return -1;
    if (!destination.empty() && fovea::IsWideSameOrInside(source, destination))
        return -1;
    // Erasing a linked folder erases the link alone, never what it leads to.
    DWORD attributes = ::GetFileAttributesW(fovea::LongForm(source).c_str());
    bool sourceIsLink = attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes);
    if (!(m_operation == Operation::kRemove && sourceIsLink))
        Walk(source, destination);
    if (m_operation == Operation::kRemove && !m_bStopped)
        ::RemoveDirectoryW(fovea::LongForm(source).c_str());
    if (m_bStopped) {
        CString line;
        line.Format(m_operation == Operation::kCopy ? "コピーを中止しました（%d 件済み）"
                                                    : "削除を中止しました（%d 件済み）",
                    m_nDone);
        m_ops.ShowStatusText(0, line);
    }
    ReportMissed();
    return 0;
}

bool CTreeWalk::List(std::vector<Entry>& entries, const std::wstring& folder, DWORD mask)
{
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(::FindFirstFileW(fovea::LongForm(folder + L"\\*").c_str(), &data));
    if (!find)
        return false;
    do {
        if (IsDotName(data.cFileName))
            continue;
        DWORD attributes = data.dwFileAttributes;
        // A folder carrying the hidden or archive bit is still a folder, never one of the files.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(mask & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (attributes & mask)
            entries.push_back(Entry{data.cFileName, attributes});
    } while (::FindNextFileW(find.get(), &data));
    return true;
}

int CTreeWalk::Walk(const std::wstring& source, const std::wstring& destination)
{
    const bool copy = m_operation == Operation::kCopy;
    const bool remove = m_operation == Operation::kRemove;

    std::vector<Entry> folders;
    if (!List(folders, source, CFileOps::kFolderMask)) {
        // A folder that is there but cannot be listed (no access, a name too long even here) is reported.
        if (::GetFileAttributesW(fovea::LongForm(source).c_str()) != INVALID_FILE_ATTRIBUTES)
            Missed(source);
        return 0;
    }
    for (const Entry& folder : folders) {
        if (m_bStopped)
            return -1;
        std::wstring s = source + L"\\" + folder.name;
        std::wstring d = destination + L"\\" + folder.name;
        // A link (junction, symbolic link) is never descended: it may lead above itself or out of the tree.
        if (IsLink(folder.attributes)) {
            if (remove)
                ::RemoveDirectoryW(fovea::LongForm(s).c_str());
            continue;
        }
        if (copy && !::CreateDirectoryW(fovea::LongForm(d).c_str(), nullptr) && !IsFolder(d)) {
            // Nowhere to put its contents: the folder is reported, its files are not tried one by one.
            Missed(s);
            continue;
        }
        Walk(s, d);
        if (remove && !m_bStopped)
            ::RemoveDirectoryW(fovea::LongForm(s).c_str());
    }

    std::vector<Entry> files;
    List(files, source, CFileOps::kFileMask);
    std::wstring sourceResolved;
    if (remove)
        fovea::ResolvedPath(source, sourceResolved);
    for (const Entry& file : files) {
        if (m_bStopped)
            return -1;
        std::wstring s = source + L"\\" + file.name;
        if (copy && m_ops.CopyOneFile(s, destination + L"\\" + file.name) == -1)
            return -1;
        if (remove)
            fovea::DeleteFileInPlace(source, sourceResolved, file.name);
        Advance(s);
    }
    return 0;
}

void CTreeWalk::Advance(const std::wstring& path)
{
    ++m_nDone;
    DWORD now = ::GetTickCount();
    if (m_nDone == 1 || now - m_dwLastLook >= kLookEveryMillis) {
        m_dwLastLook = now;
        m_bStopped = m_bStopped || EscapePressed();
    }
    if (now - m_dwStart < kQuietMillis || (m_bShown && now - m_dwLastShown < kShowEveryMillis))
        return;
    m_bShown = true;
    m_dwLastShown = now;
    CString line;
    line.Format(m_operation == Operation::kRemove ? "削除中 %d : " : "コピー中 %d : ", m_nDone);
    m_ops.ShowStatusText(0, line + fovea::ShownText(NameOf(path)) + "（Escで中止）");
}

void CTreeWalk::Missed(const std::wstring& path)
{
    m_astrMissed.Add(fovea::ShownText(path));
}

void CTreeWalk::ReportMissed() const
{
    if (m_astrMissed.GetSize() > 0 && m_operation == Operation::kCopy)
        fovea::ReportNames(nullptr, "コピーできなかったフォルダがあります。", m_astrMissed);
}
