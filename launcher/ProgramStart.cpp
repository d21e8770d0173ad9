// Program starts of the launcher and the extension menu.
#include "launcher/ProgramStart.h"

#include "fileops/PathParts.h"
#include "fileops/FileOps.h"
#include "framework/Handles.h"
#include "framework/ShiftJis.h"
#include "launcher/CommandLine.h"

namespace fovea {

bool StartCommandLine(const CString& commandLine)
{
    // CreateProcessA may write into the command line it is given.
    std::string line = commandLine.str();
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool ResolveProgramLink(HWND owner, const CString& linkPath, CString& program)
{
    if (WholeExtension(PathFileName(linkPath.str())) != "LNK")
        return false;
    // The shell may search for a target that was moved, over owner; what fails leaves target empty.
    CString target, folder, arguments, description;
    CFileOps().ResolveShortcut(owner, linkPath, target, folder, arguments, description);
    if (target.IsEmpty() || WholeExtension(PathFileName(target.str())) != "EXE")
        return false;
    program = target;
    return true;
}

bool StartLinkedProgram(HWND owner, const CString& linkPath, const CString& argument)
{
    CString program;
    if (!ResolveProgramLink(owner, linkPath, program))
        return false;
    return StartCommandLine(CString(CommandLineOf(program.str(), argument.str())));
}

} // namespace fovea
