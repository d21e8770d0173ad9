// What the Win32 tests share: the message pump, scratch folders under the temporary folder, small files,
// host windows, the answerer of message dialogs, an application on a scratch settings key, and OLE.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/String.h"
#include "framework/Win32.h"

class CTreeCtrl;
class CFoveaApp;

namespace test_support {

// Dispatches every message waiting for this thread.
void PumpMessages();

// The temporary folder without its final backslash.
CString TempFolder();
// TempFolder()\fovea-tag-<process id>: one name per tag and test process.
CString ScratchPath(const char* tag);

// Erases a test tree by the platform's calls alone (read-only bits cleared first); a link is neither entered nor
// erased, so nothing outside the tree goes with it.
void RemoveTree(const CString& folder);
void RemoveWideTree(const std::wstring& folder);

// Names beyond the code page: Korean, an emoji (a surrogate pair), an accented name beside its best-fit twin
// (café.txt and cafe.txt), Shift-JIS names with trail bytes 0x5C (表, ソ), in folders named likewise.
constexpr const wchar_t* kNamesTreeFolders[] = {L"\uD55C\uAE00", L"\uD55C\uAE00\\\u00E9t\u00E9", L"\u8868\u30BD",
                                                L"\u8868\u30BD\\\U0001F600"};
constexpr const wchar_t* kNamesTreeFiles[] = {L"plain.txt",
                                              L"caf\u00E9.txt",
                                              L"cafe.txt",
                                              L"\uD55C\uAD6D\uC5B4.txt",
                                              L"\U0001F600smile.txt",
                                              L"\u65E5\u672C\u8A9E.txt",
                                              L"\uD55C\uAE00\\\u00E9.bin",
                                              L"\uD55C\uAE00\\\u00E9t\u00E9\\deep \u00FC.txt",
                                              L"\u8868\u30BD\\\u30BD.txt",
                                              L"\u8868\u30BD\\\U0001F600\\\u00F1.txt"};
// Makes root (new) with the folders and files above; false when any could not be made.
bool MakeNamesTree(const std::wstring& root);
// A file holding exactly contents, by its UTF-16 path.
bool WriteWideFile(const std::wstring& path, const std::string& contents);
// Every entry below root by relative path: folders end in a backslash and map to "", files to their bytes.
std::map<std::wstring, std::string> WideTreeOf(const std::wstring& root, const std::wstring& prefix = L"");

// A file holding exactly contents; false when it could not be written whole.
bool WriteText(const CString& path, const std::string& contents);
// The whole file, or "<missing>" when it cannot be opened.
std::string ReadText(const CString& path);
bool Exists(const CString& path);
bool IsFolder(const CString& path);
// The names in a folder ("." and ".." left out), sorted.
std::vector<std::string> Names(const CString& folder);

// A 24-bit sample bank as the sample store writes it: image (frames of width x height, frame k the k-th band
// from the bottom, filled with colourOf(k)) and index (one name a line).
bool WriteSampleBank(const CString& image, const CString& index, int width, int height,
                     const std::vector<std::string>& names, const std::function<COLORREF(int)>& colourOf);

// A fresh folder ScratchPath(tag), erased again when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const CString& Path() const { return m_strPath; }
    CString operator/(const char* name) const { return m_strPath + "\\" + name; }

private:
    CString m_strPath;
};

// A top-level window of class className (registered on first use, default window procedure) that holds the
// windows under test.
HWND CreateHostWindow(const char* className, DWORD style, int x, int y, int cx, int cy, DWORD exStyle = 0,
                      HBRUSH background = nullptr);

// The centre of the item's text in the tree's client coordinates; false when the item shows no text.
bool ItemCentre(const CTreeCtrl& tree, HTREEITEM item, POINT& centre);

// Answers every modal dialog of this thread (message, name, mask and attributes dialogs): the next answer of
// the list, キャンセル once the list is used up, so that no test can hang on a dialog nobody expected. A thread
// timer fires inside the dialog's modal loop; each dialog seen is recorded as it was shown: its caption, the
// five lines of a message dialog, the texts of its edit controls and combo boxes and its check boxes.
class DialogAnswerer {
public:
    struct Answer {
        Answer(int button) : button(button) {}
        Answer(int button, std::map<int, std::string> texts, std::map<int, int> checks = {})
            : button(button), texts(std::move(texts)), checks(std::move(checks))
        {
        }
        // The button pressed last; 0 presses none (action ends the dialog).
        int button;
        // Texts put into controls and check boxes set, by control id, before the button.
        std::map<int, std::string> texts;
        std::map<int, int> checks;
        // Run on the dialog after the texts and checks.
        std::function<void(HWND)> action;
    };
    struct Seen {
        int answer;
        std::string caption;
        std::vector<std::string> lines;
        std::map<int, std::string> texts;
        std::map<int, int> checks;
    };

    explicit DialogAnswerer(std::vector<Answer> answers = {});
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    const std::vector<Seen>& Dialogs() const { return m_seen; }
    size_t Count() const { return m_seen.size(); }
    const std::vector<std::string>& Lines(size_t i) const { return m_seen.at(i).lines; }
    // Answers given beyond the list (each a キャンセル).
    int Unplanned() const { return m_nUnplanned; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    static DialogAnswerer* s_pActive;
    std::vector<Answer> m_answers;
    size_t m_nNext = 0;
    std::vector<Seen> m_seen;
    int m_nUnplanned = 0;
    UINT_PTR m_nTimer = 0;
};

// A settings key HKEY_CURRENT_USER\Software\Fovea Tests\tag-<process id>, erased when made and when the object
// goes, so that tests never touch the program's own settings.
class ScratchSettingsKey {
public:
    explicit ScratchSettingsKey(const char* tag);
    ~ScratchSettingsKey();
    ScratchSettingsKey(const ScratchSettingsKey&) = delete;
    ScratchSettingsKey& operator=(const ScratchSettingsKey&) = delete;

    const CString& Path() const { return m_strPath; }

private:
    CString m_strPath;
};

// An application object for tests of single panes, not started: the drive list read, the start drive that of
// folder.
std::unique_ptr<CFoveaApp> PaneApp(const CString& folder);
// A new application object on the settings key, started as the program starts (main frame and panes);
// false when the start failed (the object is kept for CloseApp all the same).
bool StartApp(std::unique_ptr<CFoveaApp>& app, const CString& companyKey);
// The main frame destroyed, its last messages dispatched, the application object gone.
void CloseApp(std::unique_ptr<CFoveaApp>& app);

// OLE on the test thread, started once for the whole executable (each start and end costs Wine seconds).
bool StartOle();

// A drop source that drops wherever the pointer is at the first question: a real drag loop of the platform
// without a mouse. Lives on the test's stack.
class DropAtOnceSource final : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP QueryContinueDrag(BOOL, DWORD) override { return DRAGDROP_S_DROP; }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

} // namespace test_support
