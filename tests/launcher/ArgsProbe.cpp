// A small program for the launcher tests: appends the command line it was started with, and a line end, to the
// file named by the environment variable FOVEA_PROBE_OUT, and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char out[MAX_PATH * 4];
    DWORD n = GetEnvironmentVariableA("FOVEA_PROBE_OUT", out, sizeof out);
    if (n == 0 || n >= sizeof out)
        return 1;
    HANDLE file = CreateFileA(out, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, line, DWORD(lstrlenA(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}
