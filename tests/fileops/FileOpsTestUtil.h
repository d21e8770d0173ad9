// Scratch folders, file helpers and the answerer of message dialogs for the file-operation tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileops/MessageDlg.h"
#include "framework/Handles.h"

namespace fileops_test {

inline void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Erases a test tree by the platform's calls alone (read-only bits cleared first); links are removed as
// links and never entered.
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
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
            else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(path);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder);
}

inline bool WriteFile(const CString& path, const std::string& contents)
{
    fovea::ScopedFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), contents.data(), DWORD(contents.size()), &written, nullptr) &&
           written == contents.size();
}

inline std::string ReadFile(const CString& path)
{
    fovea::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string contents;
    if (!file)
        return "<missing>";
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        contents.append(buffer, read);
    return contents;
}

inline bool Exists(const CString& path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A fresh folder under the temporary folder, erased again at the end of the test.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag)
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        CString base = temp;
        if (base.GetLength() > 0 && base.GetAt(base.GetLength() - 1) == '\\')
            base = base.Left(base.GetLength() - 1);
        m_strPath.Format("%s\\fovea-%s-%lu", base.c_str(), tag, GetCurrentProcessId());
        RemoveTree(m_strPath);
        CreateDirectoryA(m_strPath, nullptr);
    }
    ~ScratchFolder() { RemoveTree(m_strPath); }
    const CString& Path() const { return m_strPath; }
    CString operator/(const char* name) const { return m_strPath + "\\" + name; }

private:
    CString m_strPath;
};

// Answers every message dialog of this thread: the next answer of the list, キャンセル once the list is used
// up (so that no test can hang on a dialog nobody expected). A thread timer fires inside the dialog's modal
// loop; each dialog seen is recorded with its five lines.
class DialogAnswerer {
public:
    struct Seen {
        int answer;
        std::vector<std::string> lines;
    };

    explicit DialogAnswerer(std::vector<int> answers = {}) : m_answers(std::move(answers))
    {
        s_pActive = this;
        m_nTimer = SetTimer(nullptr, 0, 20, OnTimer);
    }
    ~DialogAnswerer()
    {
        KillTimer(nullptr, m_nTimer);
        s_pActive = nullptr;
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    const std::vector<Seen>& Dialogs() const { return m_seen; }
    size_t Count() const { return m_seen.size(); }
    const std::vector<std::string>& Lines(size_t i) const { return m_seen.at(i).lines; }
    // Answers given beyond the list (each a キャンセル).
    int Unplanned() const { return m_nUnplanned; }

private:
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found)
    {
        char caption[64] = {};
        GetWindowTextA(hwnd, caption, sizeof caption);
        if (IsWindowVisible(hwnd) && std::string(caption) == "メッセージダイアログ") {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogAnswerer* self = s_pActive;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, LPARAM(&dialog));
        if (!self || !dialog || GetPropA(dialog, kAnsweredProperty))
            return;
        Seen seen;
        if (auto* object = dynamic_cast<CMessageDlg*>(CWnd::FromHandle(dialog)))
            for (int i = 1; i <= CMessageDlg::kLineCount; ++i)
                seen.lines.push_back(object->GetLine(i).str());
        if (self->m_nNext < self->m_answers.size()) {
            seen.answer = self->m_answers[self->m_nNext++];
        } else {
            seen.answer = IDCANCEL;
            ++self->m_nUnplanned;
        }
        self->m_seen.push_back(seen);
        SetPropA(dialog, kAnsweredProperty, HANDLE(1));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(seen.answer, BN_CLICKED), LPARAM(GetDlgItem(dialog, seen.answer)));
    }

    static constexpr const char* kAnsweredProperty = "FoveaTestAnswered";
    static inline DialogAnswerer* s_pActive = nullptr;
    std::vector<int> m_answers;
    size_t m_nNext = 0;
    std::vector<Seen> m_seen;
    int m_nUnplanned = 0;
    UINT_PTR m_nTimer = 0;
};

} // namespace fileops_test
