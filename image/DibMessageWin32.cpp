// The bitmap code's messages on Windows: a standard message box with only OK, as the framework shows one.
#include "image/Dib.h"

#include <string>

#include "framework/ShiftJis.h"
#include "framework/Win32.h"

namespace {

// The framework's message box caption: the application title string, else the program's base name.
std::string Caption()
{
    constexpr UINT kAppTitleString = 0xE000;
    char text[256];
    if (LoadStringA(GetModuleHandleA(nullptr), kAppTitleString, text, sizeof text) > 0)
        return text;
    std::string path(MAX_PATH, '\0');
    DWORD n;
    while ((n = GetModuleFileNameA(nullptr, &path[0], DWORD(path.size()))) >= path.size())
        path.resize(path.size() * 2);
    path.resize(n);
    return fovea::PathTitle(fovea::PathFileName(path));
}

} // namespace

void fovea::ShowDibMessageDefault(const char* text)
{
    MessageBoxA(GetActiveWindow(), text, Caption().c_str(), MB_OK | MB_ICONEXCLAMATION);
}
