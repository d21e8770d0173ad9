// Measures listing a folder into a real file list against the bare enumeration of the same folder, in one
// process, alternating the contenders round by round:
//   bench_listing FOLDER... ROUNDS
// For each folder it prints one line: the folder's entry count, the median milliseconds of the bare
// FindFirstFileA/FindNextFileA loop, of SetPath (read, sort and fill the list), and of painting the first page
// afterwards (which depends on the window, not on the folder).
//   bench_listing catalog BANKED PLAIN ROUNDS [last]
// Lists BANKED (pictures p00000... with their 80 x 60 bank, frame k of colour FrameColour(k)) and paints the
// first catalog page, against the same for PLAIN (the same names, no bank), alternating; prints "catalog
// ENTRIES PLAIN_MS BANKED_MS". With "last" it then scrolls BANKED to its last page and reads the screen back:
// "lastpage CELLS WRONG" (cells whose colour is not their frame's) and "memory BYTES MAPPED" (the working set
// beyond that of the listing without a bank, and the bytes of the bank mapped).
#include "framework/Win32.h"

#include <psapi.h>

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

// The pages the process holds in memory, mapped file pages included.
uint64_t ResidentBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

COLORREF FrameColour(int k)
{
    return RGB(k & 0xFF, (k >> 8) & 0xFF, 0x40 | (k >> 16));
}

// Reads the list back from the screen and counts the picture cells of the page shown and those whose colour
// is not that of their frame.
void CheckShownPage(const CFileListBox& list, int lineHeight, int& cells, int& wrong)
{
    RECT client = {};
    GetClientRect(list.m_hWnd, &client);
    fovea::ScopedGetDC screen(list.m_hWnd);
    fovea::ScopedMemDC copy(CreateCompatibleDC(screen.get()));
    fovea::ScopedBitmap pixels(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    HGDIOBJ old = SelectObject(copy.get(), pixels.get());
    BitBlt(copy.get(), 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY);
    cells = wrong = 0;
    for (int i = list.GetTopIndex(); i < list.GetCount(); ++i) {
        RECT cell = list.GetItemRect(i);
        if (cell.left >= client.right)
            break;
        CString name = list.GetItemFileName(i);
        if (cell.right > client.right || cell.bottom > client.bottom || name.GetAt(0) != 'p')
            continue;
        ++cells;
        COLORREF shown =
            GetPixel(copy.get(), (cell.left + cell.right) / 2, cell.top + (cell.bottom - cell.top - lineHeight) / 2);
        if (shown != FrameColour(std::atoi(name.c_str() + 1)))
            ++wrong;
    }
    SelectObject(copy.get(), old);
}

int Catalog(CFileListBox& list, const CString& banked, const CString& plain, int rounds, bool last)
{
    CFoveaApp* app = FoveaApp();
    app->m_nSampleWidth = 80;
    app->m_nSampleHeight = 60;
    app->m_nSampleBits = 24;
    app->m_strBank24Image = "SB2400.BMS";
    app->m_strBank24Index = "SB2400.TXT";
    app->m_strBank8Image = "SB0800.BMS";
    app->m_strBank8Index = "SB0800.TXT";
    // The first catalog mode: 80 x 60 cells.
    list.m_bCatalog = 1;
    list.SetColumns(60, 80, 0, 0, 0, 0);
    PumpMessages();
    auto listAndPaint = [&](const CString& folder) {
        list.SetPath("C:");
        PumpMessages();
        double start = Now();
        list.SetPath(folder);
        list.UpdateWindow();
        return Now() - start;
    };
    std::vector<double> withBank, without;
    for (int r = 0; r < rounds; ++r) {
        without.push_back(listAndPaint(plain));
        withBank.push_back(listAndPaint(banked));
    }
    if (list.FindSampleRow("p00000") < 0) {
        std::fprintf(stderr, "%s: p00000 has no sample\n", banked.c_str());
        return 1;
    }
    std::printf("catalog %d %.1f %.1f\n", list.GetCount(), Median(without), Median(withBank));
    if (last) {
        listAndPaint(plain);
        list.SetTopIndex(list.GetCount() - 1);
        list.UpdateWindow();
        PumpMessages();
        uint64_t before = ResidentBytes();
        listAndPaint(banked);
        list.SetTopIndex(list.GetCount() - 1);
        list.UpdateWindow();
        PumpMessages();
        uint64_t after = ResidentBytes();
        int cells = 0, wrong = 0;
        CheckShownPage(list, app->m_nListItemHeight, cells, wrong);
        std::printf("lastpage %d %d\n", cells, wrong);
        std::printf("memory %llu %llu\n", (unsigned long long)(after > before ? after - before : 0),
                    (unsigned long long)list.m_bank.MappedBytes());
    }
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const bool catalog = argc >= 5 && CString(argv[1]) == "catalog";
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
    if (catalog) {
        int failed =
            Catalog(list, argv[2], argv[3], std::max(1, std::atoi(argv[4])), argc > 5 && CString(argv[5]) == "last");
        list.DestroyWindow();
        DestroyWindow(host);
        return failed;
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
