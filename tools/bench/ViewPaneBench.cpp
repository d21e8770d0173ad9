// Measures the view pane against the bare platform work it rests on, in one process, alternating the two sides
// round by round:
//   bench_viewpane JPEG TEXT ROUNDS
// Prints lines of "name ours baseline" in median milliseconds: a JPEG opened in the pane until painted against
// decoding it with the plug-in alone; a text's first screen painted, and the text shown whole, against setting
// the same text into the same control in one call; a text saved against one WriteFile of its bytes. Then the ways to
// read the text back out of the control on their own, "read-text" followed by the medians of EM_GETTEXTEX in the code
// page (as a save reads), EM_GETTEXTEX in UTF-16 then WideCharToMultiByte, WM_GETTEXT and EM_STREAMOUT: the floor of
// any save.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/FoveaApp.h"
#include "framework/Handles.h"
#include "image/Dib.h"
#include "image/FoveaView.h"
#include "image/SampleCreateDlg.h"
#include "text/TextLines.h"
#include "tools/bench/BenchClock.h"

namespace {

using bench::Median;
using bench::Now;

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

std::string ReadAll(const char* path)
{
    std::string bytes;
    fovea::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD size = file ? GetFileSize(file.get(), nullptr) : 0;
    bytes.resize(size);
    DWORD got = 0;
    if (size && !ReadFile(file.get(), &bytes[0], size, &got, nullptr))
        bytes.clear();
    return bytes;
}

CString ProgramFolder()
{
    char path[MAX_PATH * 2];
    GetModuleFileNameA(nullptr, path, sizeof path);
    CString folder(path);
    return folder.Left(folder.ReverseFind('\\'));
}

// The ways a program can read the whole text out of a rich edit control, each giving Shift-JIS bytes with CR LF
// line breaks. The first is the one the text view uses.
size_t ReadInCodePage(const CRichEditCtrl& edit)
{
    return edit.GetTextBytes().size();
}

size_t ReadInUtf16(const CRichEditCtrl& edit)
{
    GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_NUMCHARS, 1200};
    long chars = long(edit.SendMessage(EM_GETTEXTLENGTHEX, WPARAM(&length)));
    std::wstring wide(size_t(chars) + 1, L'\0');
    GETTEXTEX request = {DWORD(chars + 1) * 2, GT_USECRLF, 1200, nullptr, nullptr};
    int got = int(edit.SendMessage(EM_GETTEXTEX, WPARAM(&request), LPARAM(&wide[0])));
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), got, nullptr, 0, nullptr, nullptr);
    std::string text(size_t(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), got, &text[0], bytes, nullptr, nullptr);
    return text.size();
}

size_t ReadByWmGetText(const CRichEditCtrl& edit)
{
    long chars = long(edit.SendMessage(WM_GETTEXTLENGTH));
    std::string text(size_t(chars) * 2 + 1, '\0');
    text.resize(size_t(edit.SendMessage(WM_GETTEXT, WPARAM(text.size()), LPARAM(&text[0]))));
    return text.size();
}

DWORD CALLBACK AppendStreamed(DWORD_PTR cookie, BYTE* buffer, LONG count, LONG* taken)
{
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), size_t(count));
    *taken = count;
    return 0;
}

size_t ReadByStreamOut(const CRichEditCtrl& edit)
{
    std::string text;
    EDITSTREAM stream = {DWORD_PTR(&text), 0, AppendStreamed};
    edit.SendMessage(EM_STREAMOUT, SF_TEXT, LPARAM(&stream));
    return text.size();
}

void Report(const char* name, const std::vector<double>& ours, const std::vector<double>& base)
{
    std::printf("%s %.1f %.1f\n", name, Median(ours), Median(base));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_viewpane JPEG TEXT ROUNDS\n");
        return 2;
    }
    const CString jpeg = argv[1];
    const CString text = argv[2];
    const int rounds = std::max(1, std::atoi(argv[3]));
    CFoveaApp app;
    CSampleCreateDlg plugins;
    plugins.LoadPlugins(ProgramFolder());
    app.m_pSampleDlg = &plugins;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FoveaViewPaneBench";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                wc.hInstance, nullptr);
    CFoveaView pane;
    if (!host || !pane.Create(host, 1, RECT{0, 0, 800, 600})) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    app.m_pPicView = &pane;
    PumpMessages();

    const int slot = plugins.FindPlugin("JPG");
    std::vector<double> opened, decoded;
    for (int r = 0; r < rounds; ++r) {
        double start = Now();
        std::unique_ptr<CDib> alone = plugins.DecodeWith(slot, jpeg);
        decoded.push_back(Now() - start);
        if (!alone) {
            std::fprintf(stderr, "the plug-in did not decode %s\n", jpeg.c_str());
            return 1;
        }
        alone.reset();
        start = Now();
        pane.OpenFile(jpeg); // loads, then invalidates and repaints at once
        GdiFlush();
        opened.push_back(Now() - start);
    }
    Report("open-jpeg", opened, decoded);

    // The baseline sets the text the pane shows (line ends already CR LF) into the pane's own control.
    const std::string shownText = fovea::WithCrLfLines(ReadAll(text));
    std::vector<double> firstScreen, shown, setAlone;
    for (int r = 0; r < rounds; ++r) {
        // Both sides start from an empty control: what emptying the last text costs is measured by neither.
        pane.m_wndTextView.ClearText();
        double start = Now();
        pane.OpenFile(text);
        // The first screen painted: the rest of the text is still to come in.
        RedrawWindow(pane.m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        firstScreen.push_back(Now() - start);
        pane.m_wndTextView.FinishLoading();
        shown.push_back(Now() - start);
        if (pane.m_wndTextView.GetEdit().GetLineCount() < 100000) {
            std::fprintf(stderr, "the text was not shown whole\n");
            return 1;
        }
        // Emptied as the pane empties it (a fresh control); the baseline then fills it in one call.
        pane.m_wndTextView.ClearText();
        CRichEditCtrl& edit = pane.m_wndTextView.GetEdit();
        start = Now();
        edit.SetText(shownText.data(), shownText.size());
        setAlone.push_back(Now() - start);
    }
    Report("first-screen", firstScreen, setAlone);
    Report("show-text", shown, setAlone);

    const CString copy = text + ".saved";
    pane.OpenFile(text);
    pane.m_strTextPath = copy;
    std::vector<double> saved, written;
    size_t (*const reads[])(const CRichEditCtrl&) = {ReadInCodePage, ReadInUtf16, ReadByWmGetText, ReadByStreamOut};
    std::vector<double> readTimes[4];
    for (int r = 0; r < rounds; ++r) {
        double start = Now();
        fovea::ScopedFile file(CreateFileA(copy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD wrote = 0;
        WriteFile(file.get(), shownText.data(), DWORD(shownText.size()), &wrote, nullptr);
        file.reset();
        written.push_back(Now() - start);
        start = Now();
        if (!pane.SaveText(0)) {
            std::fprintf(stderr, "the text was not saved\n");
            return 1;
        }
        saved.push_back(Now() - start);
        for (int way = 0; way < 4; ++way) {
            start = Now();
            size_t bytes = reads[way](pane.m_wndTextView.GetEdit());
            readTimes[way].push_back(Now() - start);
            if (bytes != shownText.size()) {
                std::fprintf(stderr, "read %d gave %u bytes, not %u\n", way, unsigned(bytes),
                             unsigned(shownText.size()));
                return 1;
            }
        }
    }
    DeleteFileA(copy);
    Report("save-text", saved, written);
    std::printf("read-text %.1f %.1f %.1f %.1f\n", Median(readTimes[0]), Median(readTimes[1]), Median(readTimes[2]),
                Median(readTimes[3]));

    app.m_pPicView = nullptr;
    app.m_pSampleDlg = nullptr;
    pane.DestroyWindow();
    DestroyWindow(host);
    return 0;
}
