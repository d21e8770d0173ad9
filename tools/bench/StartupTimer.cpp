// bench_startup <exe> <runs> [idle-seconds]: starts the program <runs> times and prints the median time from
// CreateProcess to its first visible, painted top-level window; with idle-seconds, also the processor time the
// last run used while idle over that span.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd) && !GetWindow(hwnd, GW_OWNER)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double Seconds(const LARGE_INTEGER& a, const LARGE_INTEGER& b, const LARGE_INTEGER& f)
{
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

double CpuSeconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
    return value(kernel) + value(user);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup <exe> <runs> [idle-seconds]\n");
        return 2;
    }
    int runs = std::atoi(argv[2]);
    double idleSeconds = argc > 3 ? std::atof(argv[3]) : 0;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    double idleCpu = -1;
    for (int run = 0; run < runs; ++run) {
        STARTUPINFOA si = {sizeof si};
        PROCESS_INFORMATION pi = {};
        char commandLine[1024];
        std::snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[1]);
        LARGE_INTEGER start, shown;
        QueryPerformanceCounter(&start);
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            std::fprintf(stderr, "cannot start %s\n", argv[1]);
            return 1;
        }
        Search search = {pi.dwProcessId, nullptr};
        for (int i = 0; i < 60000 && !search.found; ++i) {
            EnumWindows(FindVisible, LPARAM(&search));
            if (!search.found)
                Sleep(1);
        }
        if (search.found)
            WaitForInputIdle(pi.hProcess, 10000);
        QueryPerformanceCounter(&shown);
        times.push_back(Seconds(start, shown, frequency));
        if (run == runs - 1 && idleSeconds > 0) {
            Sleep(1000);
            double before = CpuSeconds(pi.hProcess);
            Sleep(DWORD(idleSeconds * 1000));
            idleCpu = CpuSeconds(pi.hProcess) - before;
        }
        if (search.found)
            PostMessageA(search.found, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    std::sort(times.begin(), times.end());
    std::printf("startup_ms %.1f\n", times[times.size() / 2] * 1000);
    if (idleCpu >= 0)
        std::printf("idle_cpu_percent %.3f\n", 100.0 * idleCpu / idleSeconds);
    return 0;
}
