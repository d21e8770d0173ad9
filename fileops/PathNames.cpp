// Exact code-page spellings, short names and UTF-16 paths of the names the program lists and walks.
#include "fileops/PathNames.h"

#include <algorithm>
#include <vector>

#include "fileops/MessageDlg.h"
#include "framework/Handles.h"

namespace fovea {

namespace {

bool g_bUseShortNames = true;

// The geta mark, the usual stand-in for a character that cannot be shown.
const wchar_t kMark = L'\u3013';

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

} // namespace

std::wstring WideOf(const CString& path)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, path, path.GetLength(), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, path.GetLength(), &wide[0], length);
    return wide;
}

bool ExactNarrow(const std::wstring& wide, CString& narrow)
{
    narrow.Empty();
    // Plain ASCII is itself in the code page: most names of a listing take this way, without a conversion.
    if (std::all_of(wide.begin(), wide.end(), [](wchar_t c) { return c < 0x80; })) {
        narrow = CString(std::string(wide.begin(), wide.end()));
        return true;
    }
    const int length = int(wide.size());
    // No best fit: a near spelling could name another file. A character takes at most two bytes.
    std::string converted(wide.size() * 2, '\0');
    BOOL usedDefault = FALSE;
    int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, &converted[0],
                                      int(converted.size()), nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    converted.resize(size_t(bytes));
    // Some characters map one way only; the spelling must read back as the same name.
    std::wstring back(wide.size(), L'\0');
    int units = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, converted.data(), bytes, &back[0], length);
    if (units != length || back != wide)
        return false;
    narrow = CString(std::move(converted));
    return true;
}

CString ShownText(const std::wstring& wide)
{
    CString exact;
    if (ExactNarrow(wide, exact))
        return exact;
    CString shown;
    for (size_t i = 0; i < wide.size(); ++i) {
        // A pair of surrogates is one character and gets one mark.
        size_t units = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1])) ? 2 : 1;
        CString part;
        if (!ExactNarrow(wide.substr(i, units), part))
            ExactNarrow(std::wstring(1, kMark), part);
        shown += part;
        i += units - 1;
    }
    return shown;
}

CString ShortPathOf(const CString& path)
{
    DWORD size = ::GetShortPathNameA(path, nullptr, 0);
    if (size == 0)
        return path;
    std::string shortPath(size, '\0');
    DWORD written = ::GetShortPathNameA(path, &shortPath[0], size);
    if (written == 0 || written >= size)
        return path;
    shortPath.resize(written);
    return CString(shortPath);
}

ListedName ListedNameOf(const WIN32_FIND_DATAW& entry)
{
    ListedName listed;
    if (ExactNarrow(entry.cFileName, listed.name) || IsDotName(entry.cFileName))
        return listed;
    if (g_bUseShortNames && entry.cAlternateFileName[0] && ExactNarrow(entry.cAlternateFileName, listed.name))
        return listed;
    listed.name = ShownText(entry.cFileName);
    listed.reachable = false;
    return listed;
}

void ReportNames(CWnd* owner, const CString& heading, const CStringArray& names)
{
    constexpr int kNamed = 3;
    CString lines[kNamed + 1];
    int count = names.GetSize();
    for (int i = 0; i < count && i < kNamed; ++i)
        lines[i] = names[i];
    if (count > kNamed)
        lines[kNamed].Format("ほか %d 件", count - kNamed);
    CMessageDlg report(owner);
    report.SetMessages(heading, lines[0], lines[1], lines[2], lines[3]);
    report.DoModal();
}

void ReportUnreachable(CWnd* owner, const CStringArray& names)
{
    ReportNames(owner, "Shift-JISで書けず短い名前もないため扱えません：", names);
}

bool ReachablePathOf(const std::wstring& wide, CString& narrow)
{
    if (ExactNarrow(wide, narrow))
        return true;
    // Component by component, as the listings show them: a name spelt exactly stays, another takes its short
    // name (every other component would be shortened by the platform's short-path query).
    CString reached;
    size_t begin = 0;
    while (begin <= wide.size()) {
        size_t end = wide.find(L'\\', begin);
        if (end == std::wstring::npos)
            end = wide.size();
        std::wstring component = wide.substr(begin, end - begin);
        CString part;
        if (!ExactNarrow(component, part)) {
            WIN32_FIND_DATAW data;
            ScopedFind find(begin == 0 || component.find_first_of(L"*?") != std::wstring::npos
                                ? INVALID_HANDLE_VALUE
                                : ::FindFirstFileW(LongForm(wide.substr(0, end)).c_str(), &data));
            if (!find)
                return false;
            ListedName listed = ListedNameOf(data);
            if (!listed.reachable)
                return false;
            part = listed.name;
        }
        reached += begin == 0 ? part : "\\" + part;
        begin = end + 1;
    }
    narrow = reached;
    return true;
}

void UseShortNames(bool use)
{
    g_bUseShortNames = use;
}

std::wstring LongForm(const std::wstring& path)
{
    // Within the classic limit every call takes the path as it is (relative ones too).
    if (path.size() < MAX_PATH - 12 || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

} // namespace fovea
