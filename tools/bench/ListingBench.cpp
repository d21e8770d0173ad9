// Measures listing a folder into a real file list against the bare enumeration of the same folder, in one
// process, alternating the contenders round by round:
//   bench_listing FOLDER... ROUNDS
// For each folder it prints one line: the folder's entry count, the median milliseconds of the bare
// FindFirstFileA/FindNextFileA loop, of SetPath (read, sort and fill the list), and of painting the first page
// afterwards (which depends on the window, not on the folder).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/FoveaApp.h"
#include "browser/FileListBox.h"
#include "framework/Handles.h"
#include "tools/bench/BenchClock.h"

namespace {

using bench::Median;
using bench::Now;

// What any program pays to learn a folder's entries: the enumeration alone.
int Enumerate(const CString& folder)
{
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(FindFirstFileA(folder + "\\*.*", &data));
    int count = 0;
    if (find) {
        do
            ++count;
        while (FindNextFileA(find.get(), &data));
    }
    return count;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The list draws its own items when its parent hands the owner-draw requests back to it.
    LRESULT result = 0;
    if (CWnd::ReflectToChild(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_listing FOLDER... ROUNDS\n");
        return 2;
    }
    int rounds = std::max(1, std::atoi(argv[argc - 1]));
    CFoveaApp app;
    app.m_nListItemHeight = 18;
    app.m_nIconWidth = 18;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FoveaListingBench";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600, nullptr, nullptr,
                                wc.hInstance, nullptr);
    CFileListBox list;
    if (!host || !list.Create(CFileListBox::kListStyle, RECT{0, 0, 900, 600}, host, 301)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    list.SetColumns(18, 18, 150, 50, 130, 200);
    PumpMessages();

    for (int f = 1; f < argc - 1; ++f) {
        CString folder = argv[f];
        std::vector<double> bare, listed, painted;
        int entries = 0;
        for (int r = 0; r < rounds; ++r) {
            double start = Now();
            entries = Enumerate(folder);
            bare.push_back(Now() - start);

            list.SetPath("C:"); // start each round from another, small folder
            PumpMessages();
            start = Now();
            list.SetPath(folder);
            listed.push_back(Now() - start);
            start = Now();
            list.UpdateWindow();
            painted.push_back(Now() - start);
            if (list.GetCount() + 2 < entries) {
                std::fprintf(stderr, "%s: listed %d of %d entries\n", folder.c_str(), list.GetCount(), entries);
                return 1;
            }
        }
        std::printf("%d %.1f %.1f %.1f\n", entries, Median(bare), Median(listed), Median(painted));
        std::fflush(stdout);
    }
    list.DestroyWindow();
    DestroyWindow(host);
    return 0;
}
