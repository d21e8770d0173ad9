// Measures the view pane against the bare platform work it rests on, in one process, alternating the two sides
// round by round:
//   bench_viewpane JPEG TEXT ROUNDS
// Prints three lines, each "name ours baseline" in median milliseconds: a JPEG opened in the pane until painted
// against decoding it with the plug-in alone; a text shown against setting the same text into the same control
// in one call; a text saved against one WriteFile of its bytes.
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

namespace {

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

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
        pane.OpenFile(jpeg);  // loads, then invalidates and repaints at once
        GdiFlush();
        opened.push_back(Now() - start);
    }
    Report("open-jpeg", opened, decoded);

    // The baseline sets the text the pane shows (line ends already CR LF) into the pane's own control.
    const std::string shownText = fovea::WithCrLfLines(ReadAll(text));
    std::vector<double> shown, setAlone;
    for (int r = 0; r < rounds; ++r) {
        double start = Now();
        pane.OpenFile(text);
        shown.push_back(Now() - start);
        if (pane.m_wndTextView.GetEdit().GetLineCount() < 2) {
            std::fprintf(stderr, "the text was not shown\n");
            return 1;
        }
        // Emptied as the pane empties it (a fresh control); the baseline then fills it in one call.
        pane.m_wndTextView.ClearText();
        CRichEditCtrl& edit = pane.m_wndTextView.GetEdit();
        start = Now();
        edit.SetText(shownText.data(), shownText.size());
        setAlone.push_back(Now() - start);
    }
    Report("show-text", shown, setAlone);

    const CString copy = text + ".saved";
    pane.OpenFile(text);
    pane.m_strTextPath = copy;
    std::vector<double> saved, written;
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
    }
    DeleteFileA(copy);
    Report("save-text", saved, written);

    app.m_pPicView = nullptr;
    app.m_pSampleDlg = nullptr;
    pane.DestroyWindow();
    DestroyWindow(host);
    return 0;
}
