// The shared Win32 test helpers: folders and files by the platform's calls, dialogs answered from a timer,
// the application started on a scratch settings key.
#include "tests/support/TestSupport.h"

#include <shlwapi.h>

#include <algorithm>

#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "fileops/MessageDlg.h"
#include "fileops/PathNames.h"
#include "framework/Dialog.h"
#include "framework/TreeCtrl.h"

namespace test_support {

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

CString TempFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    CString folder = temp;
    if (folder.GetLength() > 0 && folder.GetAt(folder.GetLength() - 1) == '\\')
        folder = folder.Left(folder.GetLength() - 1);
    return folder;
}

CString ScratchPath(const char* tag)
{
    CString path;
    path.Format("%s\\fovea-%s-%lu", TempFolder().c_str(), tag, GetCurrentProcessId());
    return path;
}

void RemoveTree(const CString& folder)
{
    RemoveWideTree(fovea::WideOf(folder));
}

void RemoveWideTree(const std::wstring& folder)
{
    // The UTF-16 calls, so that names beyond the code page go too.
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            // Wine: erasing a link by its name erases what it leads to, so links are left alone (and with them
            // the folders that hold them).
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveWideTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find.get(), &data));
    }
    find.reset(); // a folder with an open search in it cannot be removed
    RemoveDirectoryW(folder.c_str());
}

bool WriteWideFile(const std::wstring& path, const std::string& contents)
{
    fovea::ScopedFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), contents.data(), DWORD(contents.size()), &written, nullptr) &&
           written == contents.size();
}

std::map<std::wstring, std::string> WideTreeOf(const std::wstring& root, const std::wstring& prefix)
{
    std::map<std::wstring, std::string> entries;
    WIN32_FIND_DATAW data;
    fovea::ScopedFind find(FindFirstFileW((root + L"\\*").c_str(), &data));
    if (!find)
        return entries;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring relative = prefix.empty() ? name : prefix + L"\\" + name;
        std::wstring path = root + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries[relative + L"\\"] = "";
            auto below = WideTreeOf(path, relative);
            entries.insert(below.begin(), below.end());
            continue;
        }
        fovea::ScopedFile file(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string contents = file ? "" : "<unreadable>";
        char buffer[4096];
        DWORD got = 0;
        while (file && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
            contents.append(buffer, got);
        entries[relative] = contents;
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

bool MakeNamesTree(const std::wstring& root)
{
    bool ok = CreateDirectoryW(root.c_str(), nullptr) != FALSE;
    for (const wchar_t* folder : kNamesTreeFolders)
        ok = ok && CreateDirectoryW((root + L"\\" + folder).c_str(), nullptr);
    int n = 0;
    for (const wchar_t* file : kNamesTreeFiles) {
        // Contents that differ from file to file, a few with bytes of every value.
        std::string contents = "file " + std::to_string(++n) + ":";
        for (int i = 0; i < (n % 3) * 300; ++i)
            contents += char(i * 7 + n);
        ok = ok && WriteWideFile(root + L"\\" + file, contents);
    }
    return ok;
}

bool WriteText(const CString& path, const std::string& contents)
{
    fovea::ScopedFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), contents.data(), DWORD(contents.size()), &written, nullptr) &&
           written == contents.size();
}

bool WriteSampleBank(const CString& image, const CString& index, int width, int height,
                     const std::vector<std::string>& names, const std::function<COLORREF(int)>& colourOf)
{
    const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t frameBytes = stride * uint32_t(height);
    const uint32_t rows = uint32_t(height) * uint32_t(names.size());
    BITMAPFILEHEADER file = {0x4D42, 54 + frameBytes * uint32_t(names.size()), 0, 0, 54};
    BITMAPINFOHEADER info = {sizeof info, width, LONG(rows), 1, 24, BI_RGB, frameBytes * uint32_t(names.size())};
    fovea::ScopedFile out(CreateFileA(image, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!out || !WriteFile(out.get(), &file, 14, &written, nullptr) ||
        !WriteFile(out.get(), &info, sizeof info, &written, nullptr))
        return false;
    std::string frame(frameBytes, '\0');
    std::string text;
    for (size_t k = 0; k < names.size(); ++k) {
        COLORREF colour = colourOf(int(k));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                char* pixel = &frame[size_t(y) * stride + size_t(x) * 3];
                pixel[0] = char(GetBValue(colour));
                pixel[1] = char(GetGValue(colour));
                pixel[2] = char(GetRValue(colour));
            }
        if (!WriteFile(out.get(), frame.data(), frameBytes, &written, nullptr) || written != frameBytes)
            return false;
        text += names[k] + "\r\n";
    }
    return WriteText(index, text);
}

std::string ReadText(const CString& path)
{
    fovea::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<missing>";
    std::string contents;
    std::vector<char> buffer(65536);
    DWORD read = 0;
    while (ReadFile(file.get(), buffer.data(), DWORD(buffer.size()), &read, nullptr) && read > 0)
        contents.append(buffer.data(), read);
    return contents;
}

bool Exists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> Names(const CString& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(FindFirstFileA(folder + "\\*.*", &data));
    if (!find)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

ScratchFolder::ScratchFolder(const char* tag) : m_strPath(ScratchPath(tag))
{
    RemoveTree(m_strPath);
    CreateDirectoryA(m_strPath, nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_strPath);
}

namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

HWND CreateHostWindow(const char* className, DWORD style, int x, int y, int cx, int cy, DWORD exStyle,
                      HBRUSH background)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    RegisterClassA(&wc); // fails harmlessly once the class exists
    return CreateWindowExA(exStyle, className, "", style, x, y, cx, cy, nullptr, nullptr, wc.hInstance, nullptr);
}

bool ItemCentre(const CTreeCtrl& tree, HTREEITEM item, POINT& centre)
{
    RECT r = {};
    if (!tree.GetItemRect(item, r, true))
        return false;
    centre = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return true;
}

namespace {

constexpr const char* kAnsweredProperty = "FoveaTestAnswered";

// The first visible modal dialog of the thread that has not been answered yet.
BOOL CALLBACK FindUnansweredDialog(HWND hwnd, LPARAM found)
{
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(hwnd));
    if (dialog && dialog->IsModal() && IsWindowVisible(hwnd) && !GetPropA(hwnd, kAnsweredProperty)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::string ClassOf(HWND hwnd)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hwnd)
{
    std::string text(size_t(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(size_t(GetWindowTextA(hwnd, &text[0], int(text.size()))));
    return text;
}

BOOL CALLBACK RecordControl(HWND control, LPARAM seenParam)
{
    auto& seen = *reinterpret_cast<DialogAnswerer::Seen*>(seenParam);
    int id = GetDlgCtrlID(control);
    std::string kind = ClassOf(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    bool edit = _stricmp(kind.c_str(), "Edit") == 0;
    // The edit part of a combo box is recorded as the combo box.
    if (edit && _stricmp(ClassOf(GetParent(control)).c_str(), "ComboBox") == 0)
        return TRUE;
    if (edit || _stricmp(kind.c_str(), "ComboBox") == 0)
        seen.texts[id] = TextOf(control);
    else if (_stricmp(kind.c_str(), "Button") == 0 && ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX))
        seen.checks[id] = IsDlgButtonChecked(GetParent(control), id) == BST_CHECKED ? 1 : 0;
    return TRUE;
}

} // namespace

DialogAnswerer* DialogAnswerer::s_pActive = nullptr;

DialogAnswerer::DialogAnswerer(std::vector<Answer> answers) : m_answers(std::move(answers))
{
    s_pActive = this;
    m_nTimer = SetTimer(nullptr, 0, 20, OnTimer);
}

DialogAnswerer::~DialogAnswerer()
{
    KillTimer(nullptr, m_nTimer);
    s_pActive = nullptr;
}

void CALLBACK DialogAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    DialogAnswerer* self = s_pActive;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindUnansweredDialog, LPARAM(&dialog));
    if (!self || !dialog)
        return;
    SetPropA(dialog, kAnsweredProperty, HANDLE(1));
    Seen seen;
    seen.caption = TextOf(dialog);
    if (auto* object = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(dialog)))
        for (int i = 1; i <= CMessageDlg::kLineCount; ++i)
            seen.lines.push_back(object->GetLine(i).str());
    EnumChildWindows(dialog, RecordControl, LPARAM(&seen));
    Answer answer = IDCANCEL;
    if (self->m_nNext < self->m_answers.size()) {
        answer = self->m_answers[self->m_nNext++];
    } else {
        ++self->m_nUnplanned;
    }
    seen.answer = answer.button;
    self->m_seen.push_back(seen);
    for (const auto& [id, text] : answer.texts)
        SetDlgItemTextA(dialog, id, text.c_str());
    for (const auto& [id, check] : answer.checks)
        CheckDlgButton(dialog, id, check ? BST_CHECKED : BST_UNCHECKED);
    if (answer.action)
        answer.action(dialog);
    if (answer.button)
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED),
                     LPARAM(GetDlgItem(dialog, answer.button)));
}

ScratchSettingsKey::ScratchSettingsKey(const char* tag)
{
    m_strPath.Format("Software\\Fovea Tests\\%s-%lu", tag, GetCurrentProcessId());
    SHDeleteKeyA(HKEY_CURRENT_USER, m_strPath);
}

ScratchSettingsKey::~ScratchSettingsKey()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, m_strPath);
}

std::unique_ptr<CFoveaApp> PaneApp(const CString& folder)
{
    auto app = std::make_unique<CFoveaApp>();
    app->BuildDriveList();
    app->m_strStartDrive = folder.Left(2);
    return app;
}

bool StartApp(std::unique_ptr<CFoveaApp>& app, const CString& companyKey)
{
    app = std::make_unique<CFoveaApp>();
    app->m_strSettingsCompanyKey = companyKey;
    return app->InitInstance() && app->m_pMainFrame;
}

void CloseApp(std::unique_ptr<CFoveaApp>& app)
{
    if (app && app->m_pMainFrame)
        DestroyWindow(app->m_pMainFrame->m_hWnd);
    PumpMessages();
    app.reset();
}

bool StartOle()
{
    static const HRESULT started = OleInitialize(nullptr);
    return SUCCEEDED(started);
}

STDMETHODIMP DropAtOnceSource::QueryInterface(REFIID riid, void** out)
{
    if (riid == IID_IUnknown || riid == IID_IDropSource) {
        *out = static_cast<IDropSource*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

} // namespace test_support
