// Measures the sample store under Wine (tools/bench/samples.sh):
//   bench_samples make FOLDER OUT            samples of every *.jpg of FOLDER written to OUT; prints "make COUNT MS"
//   bench_samples show BANKED PLAIN ROUNDS   listing and painting the first catalog page of BANKED (with its bank)
//                                            against PLAIN (same names, no bank), alternating; then the memory the
//                                            loaded bank holds; prints "show ENTRIES PLAIN_MS BANKED_MS" and
//                                            "memory GROWTH_BYTES BANK_BYTES"
//   bench_samples files FOLDER ROUNDS        every .BMP of FOLDER read and made displayable one by one, as a cache
//                                            of one file per sample must; prints "files COUNT MS"
#include "framework/Win32.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/FoveaApp.h"
#include "browser/FileListBox.h"
#include "framework/Handles.h"
#include "image/Dib.h"
#include "image/SampleCreateDlg.h"
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

std::vector<CString> FilesOf(const CString& folder, const char* pattern)
{
    std::vector<CString> names;
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(FindFirstFileA(folder + "\\" + pattern, &data));
    if (find) {
        do
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        while (FindNextFileA(find.get(), &data));
    }
    return names;
}

CString ProgramFolder()
{
    char path[MAX_PATH * 2];
    GetModuleFileNameA(nullptr, path, sizeof path);
    CString folder(path);
    return folder.Left(folder.ReverseFind('\\'));
}

// The pages the process holds in memory: a bank read into its bitmap has touched every page of it. (Wine keeps
// the private-usage counter at 0.)
uint64_t ResidentBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.WorkingSetSize;
}

int Make(const CString& folder, const CString& out)
{
    CSampleCreateDlg dialog;
    dialog.LoadPlugins(ProgramFolder());
    std::vector<CString> pictures = FilesOf(folder, "*.jpg");
    double start = Now();
    int made = 0;
    for (const CString& name : pictures) {
        CString base = name.Left(name.ReverseFind('.'));
        if (dialog.MakeSample(folder + "\\" + name, out + "\\" + base + ".SMP", "JPG") == CSampleCreateDlg::kSampleMade)
            ++made;
    }
    double ms = Now() - start;
    if (made != int(pictures.size())) {
        std::fprintf(stderr, "made %d samples of %d pictures\n", made, int(pictures.size()));
        return 1;
    }
    std::printf("make %d %.1f\n", made, ms);
    return 0;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (CWnd::ReflectToChild(hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int Show(const CString& banked, const CString& plain, int rounds)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FoveaSampleBench";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600, nullptr, nullptr,
                                wc.hInstance, nullptr);
    CFileListBox list;
    if (!host || !list.Create(CFileListBox::kListStyle, RECT{0, 0, 900, 600}, host, 301)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
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
    std::printf("show %d %.1f %.1f\n", list.GetCount(), Median(without), Median(withBank));

    list.SetPath("C:");
    PumpMessages();
    uint64_t before = ResidentBytes();
    list.SetPath(banked);
    list.UpdateWindow();
    uint64_t after = ResidentBytes();
    WIN32_FILE_ATTRIBUTE_DATA bank;
    GetFileAttributesExA(banked + "\\SB2400.BMS", GetFileExInfoStandard, &bank);
    std::printf("memory %llu %lu\n", (unsigned long long)(after > before ? after - before : 0), bank.nFileSizeLow);
    list.DestroyWindow();
    DestroyWindow(host);
    return 0;
}

int Files(const CString& folder, int rounds)
{
    std::vector<CString> names = FilesOf(folder, "*.bmp");
    fovea::ScopedMemDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 80, -60, 1, 24, BI_RGB};
    void* bits = nullptr;
    fovea::ScopedBitmap target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(dc.get(), target.get());
    CDC cdc;
    cdc.Attach(dc.get());
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        double start = Now();
        for (const CString& name : names) {
            CDib sample;
            if (!sample.LoadFile(folder + "\\" + name) || !sample.Draw(cdc, 0, 0)) {
                std::fprintf(stderr, "%s unreadable\n", name.c_str());
                return 1;
            }
        }
        times.push_back(Now() - start);
    }
    cdc.Detach();
    SelectObject(dc.get(), old);
    std::printf("files %d %.1f\n", int(names.size()), Median(times));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CFoveaApp app;
    app.m_nListItemHeight = 18;
    app.m_nIconWidth = 18;
    app.m_nSampleWidth = 80;
    app.m_nSampleHeight = 60;
    app.m_nSampleBits = 24;
    app.m_strBank24Image = "SB2400.BMS";
    app.m_strBank24Index = "SB2400.TXT";
    app.m_strBank8Image = "SB0800.BMS";
    app.m_strBank8Index = "SB0800.TXT";
    fovea::SetDibMessageSink([](const char* text) { std::fprintf(stderr, "%s\n", text); });
    CString mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 4)
        return Make(argv[2], argv[3]);
    if (mode == "show" && argc == 5)
        return Show(argv[2], argv[3], std::max(1, std::atoi(argv[4])));
    if (mode == "files" && argc == 4)
        return Files(argv[2], std::max(1, std::atoi(argv[3])));
    std::fprintf(stderr, "usage: bench_samples make FOLDER OUT | show BANKED PLAIN ROUNDS | files FOLDER ROUNDS\n");
    return 2;
}
