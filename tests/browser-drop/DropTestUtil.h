// Scratch folders, files, the answerer of message dialogs and a drop source that drops at once, for the drop
// tests of the file browser.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fileops/MessageDlg.h"
#include "framework/Handles.h"

namespace drop_test {

inline void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(folder + "\\*.*", &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            CString name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            CString path = folder + "\\" + name;
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder);
}

inline bool WriteText(const CString& path, const std::string& text)
{
    fovea::ScopedFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}

inline std::string ReadText(const CString& path)
{
    fovea::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<missing>";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

inline bool Exists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The names in a folder ("." and ".." left out), sorted.
inline std::vector<std::string> Names(const CString& folder)
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

// Answers the message dialogs of this thread from a thread timer that runs inside their modal loops: the next
// answer of the list, キャンセル once it is used up, so that no test waits on a dialog. Records each
// dialog's lines.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::vector<int> answers = {}) : m_answers(std::move(answers))
    {
        s_pActive = this;
        m_nTimer = SetTimer(nullptr, 0, 30, OnTimer);
    }
    ~DialogAnswerer()
    {
        KillTimer(nullptr, m_nTimer);
        s_pActive = nullptr;
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    size_t Count() const { return m_lines.size(); }
    const std::vector<std::string>& Lines(size_t i) const { return m_lines.at(i); }

private:
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found)
    {
        auto* dialog = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(hwnd));
        if (dialog && IsWindowVisible(hwnd) && !GetPropA(hwnd, "FoveaDropTestAnswered")) {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogAnswerer* self = s_pActive;
        HWND hwnd = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, LPARAM(&hwnd));
        if (!self || !hwnd)
            return;
        auto* dialog = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(hwnd));
        std::vector<std::string> lines;
        for (int i = 1; i <= CMessageDlg::kLineCount; ++i)
            lines.push_back(dialog->GetLine(i).str());
        self->m_lines.push_back(lines);
        int answer = self->m_nNext < self->m_answers.size() ? self->m_answers[self->m_nNext++] : IDCANCEL;
        SetPropA(hwnd, "FoveaDropTestAnswered", HANDLE(1));
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), LPARAM(GetDlgItem(hwnd, answer)));
    }

    static inline DialogAnswerer* s_pActive = nullptr;
    std::vector<int> m_answers;
    size_t m_nNext = 0;
    std::vector<std::vector<std::string>> m_lines;
    UINT_PTR m_nTimer = 0;
};

// A drop source that drops wherever the pointer is at the first question: a real drag loop of the platform
// without a mouse.
class DropAtOnceSource final : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL, DWORD) override { return DRAGDROP_S_DROP; }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

} // namespace drop_test
