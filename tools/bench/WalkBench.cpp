// Measures the tree walk against the platform's own tools, each started as a child process in turn:
//   bench_walk once copy SOURCE DESTINATION      one WalkDir "Copy" into a new folder
//   bench_walk once remove FOLDER                 one WalkDir "Remove"
//   bench_walk race copy SOURCE WORK ROUNDS       alternates "once copy" and xcopy /E /I into fresh folders
//   bench_walk race remove TEMPLATE WORK ROUNDS   alternates "once remove" and rmdir /S /Q on copies of TEMPLATE
// A race prints one line per contender: name, median milliseconds, and every round's time.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fileops/FileOps.h"

namespace {

// Runs a command line and waits; the wall-clock milliseconds, or -1 when it could not start.
double RunTimed(std::string command)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// An untimed copy of a tree for the next erase (the walk itself, so both contenders erase the same tree).
void Prepare(const CString& source, const CString& destination)
{
    CFileOps ops;
    ops.MakeFolder(destination);
    ops.WalkDir(source, destination, "Copy");
}

void Erase(const CString& folder)
{
    CFileOps ops;
    if (ops.PathKind(folder) == 1)
        ops.WalkDir(folder, "", "Remove");
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string Self()
{
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string Quoted(const CString& path)
{
    return "\"" + path.str() + "\"";
}

int Race(const std::string& operation, const CString& source, const CString& work, int rounds)
{
    std::string comspec = getenv("COMSPEC") ? getenv("COMSPEC") : "cmd.exe";
    std::vector<double> walk, tool;
    CString target = work + "\\target";
    Erase(target);
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            // Alternate who goes first, so that neither always meets a warmer cache.
            bool ours = (turn == 0) == (round % 2 == 0);
            double ms;
            if (operation == "copy") {
                std::string line = ours ? Quoted(Self()) + " once copy " + Quoted(source) + " " + Quoted(target)
                                        : "xcopy " + Quoted(source) + " " + Quoted(target) + " /E /I /Q /H /K";
                ms = RunTimed(line);
                Erase(target);
            } else {
                Prepare(source, target);
                std::string line = ours ? Quoted(Self()) + " once remove " + Quoted(target)
                                        : Quoted(comspec) + " /c rmdir /S /Q " + Quoted(target);
                ms = RunTimed(line);
                Erase(target);
            }
            (ours ? walk : tool).push_back(ms);
        }
    }
    const char* toolName = operation == "copy" ? "xcopy" : "rmdir";
    for (int i = 0; i < 2; ++i) {
        const std::vector<double>& times = i == 0 ? walk : tool;
        std::printf("%s %.1f", i == 0 ? "walkdir" : toolName, Median(times));
        for (double t : times)
            std::printf(" %.1f", t);
        std::printf("\n");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    CFileOps ops;
    if (args.size() == 4 && args[0] == "once" && args[1] == "copy") {
        ops.MakeFolder(args[3].c_str());
        return ops.WalkDir(args[2].c_str(), args[3].c_str(), "Copy") == 0 ? 0 : 1;
    }
    if (args.size() == 3 && args[0] == "once" && args[1] == "remove")
        return ops.WalkDir(args[2].c_str(), "", "Remove") == 0 ? 0 : 1;
    if (args.size() == 5 && args[0] == "race" && (args[1] == "copy" || args[1] == "remove"))
        return Race(args[1], args[2].c_str(), args[3].c_str(), std::max(1, std::atoi(args[4].c_str())));
    std::fprintf(stderr, "usage: bench_walk once copy SRC DST | once remove DIR | race copy|remove SRC WORK N\n");
    return 2;
}
