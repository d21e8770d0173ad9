// bench_startup <runs> <idle-seconds> [--rest-pointer] <exe>...: starts each program <runs> times, taking turns,
// and prints for each the median time from CreateProcess to its first visible, painted top-level window, and the
// processor time its last run used while idle over idle-seconds. With --rest-pointer the pointer rests on the
// window's client point (15, 12) while idle: the first button of a strip along the top.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

double CpuSeconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7; };
    return value(kernel) + value(user);
}

struct Run {
    double startup = 0;
    double idleCpu = -1;
};

bool g_restPointer = false;

// One start of exe: the time to its window, and with idleSeconds > 0 its processor use while idle.
bool StartOnce(const char* exe, double idleSeconds, Run& run)
{
    LARGE_INTEGER frequency, start, shown;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    char commandLine[1024];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s\n", exe);
        return false;
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
    run.startup = double(shown.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (idleSeconds > 0) {
        if (g_restPointer && search.found) {
            POINT button = {15, 12};
            ClientToScreen(search.found, &button);
            SetCursorPos(button.x, button.y);
        }
        Sleep(1000);
        double before = CpuSeconds(pi.hProcess);
        Sleep(DWORD(idleSeconds * 1000));
        run.idleCpu = CpuSeconds(pi.hProcess) - before;
    }
    if (search.found)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return search.found != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 3;
    if (argc > first && std::strcmp(argv[first], "--rest-pointer") == 0) {
        g_restPointer = true;
        ++first;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: bench_startup <runs> <idle-seconds> [--rest-pointer] <exe>...\n");
        return 2;
    }
    int runs = std::atoi(argv[1]);
    double idleSeconds = std::atof(argv[2]);
    int programs = argc - first;
    std::vector<std::vector<double>> times(static_cast<size_t>(programs));
    std::vector<double> idle(size_t(programs), -1);
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < programs; ++p) {
            Run result;
            bool last = run == runs - 1;
            if (!StartOnce(argv[first + p], last ? idleSeconds : 0, result))
                return 1;
            times[size_t(p)].push_back(result.startup);
            if (last)
                idle[size_t(p)] = result.idleCpu;
        }
    }
    for (int p = 0; p < programs; ++p) {
        std::vector<double>& t = times[size_t(p)];
        std::sort(t.begin(), t.end());
        std::printf("%d startup_ms %.1f idle_cpu_percent %.3f\n", p, t[t.size() / 2] * 1000,
                    idleSeconds > 0 ? 100.0 * idle[size_t(p)] / idleSeconds : 0.0);
    }
    return 0;
}
