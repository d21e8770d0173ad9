// The real program, started as a user starts it: first and later starts against the real settings key,
// the server switches, and program folders where the working folders cannot be made.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "framework/Handles.h"
#include "framework/String.h"
#include "tests/support/TestSupport.h"

namespace {

const char kProductKey[] = "Software\\Morrow Works\\ふぉびあ";
const char kSettingsKey[] = "Software\\Morrow Works\\ふぉびあ\\V300";

// The build folder is a Unix path; Wine shows the Unix root as drive Z:.
CString ExeDir()
{
    CString dir = CString("Z:") + FOVEA_EXE_DIR;
    for (int i = 0; i < dir.GetLength(); ++i)
        if (dir.GetAt(i) == '/')
            dir.SetAt(i, '\\');
    return dir;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindFrameOfProcess(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (pid == search->processId && lstrcmpA(className, "FoveaFrame") == 0 && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

class RunningProgram {
public:
    bool Start(const CString& exe, const char* arguments = "")
    {
        CString commandLine = "\"" + exe + "\" " + arguments;
        STARTUPINFOA si = {sizeof si};
        CString folder = exe.Left(exe.ReverseFind('\\'));
        if (!CreateProcessA(exe, commandLine.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &m_pi))
            return false;
        m_process.reset(m_pi.hProcess);
        m_thread.reset(m_pi.hThread);
        return true;
    }

    // The visible main frame of the process, or null after the timeout.
    HWND WaitForFrame(DWORD timeoutMs = 60000)
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
            WindowSearch search = {m_pi.dwProcessId, nullptr};
            EnumWindows(FindFrameOfProcess, LPARAM(&search));
            if (search.found)
                return search.found;
            if (WaitForSingleObject(m_process.get(), 100) == WAIT_OBJECT_0)
                return nullptr;
        }
        return nullptr;
    }

    // Exit code, or STILL_ACTIVE after the timeout (the process is then ended).
    DWORD WaitForExit(DWORD timeoutMs = 30000)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_process.get(), &code);
        else
            TerminateProcess(m_process.get(), 99);
        return code;
    }

    ~RunningProgram()
    {
        if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.get(), 99);
    }

private:
    PROCESS_INFORMATION m_pi = {};
    fovea::ScopedHandle m_process, m_thread;
};

// Starts the program, waits for its main frame, closes it and checks that it ended cleanly.
void StartAndClose(const CString& exe)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start(exe));
    HWND frame = program.WaitForFrame();
    ASSERT_NE(nullptr, frame) << "no main window";
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit());
}

DWORD ValueCount()
{
    fovea::ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                     nullptr, nullptr);
    return count;
}

DWORD ReadDword(const char* name)
{
    fovea::ScopedRegKey key;
    DWORD value = 0xDEADBEEF, size = sizeof value, type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS &&
        RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        return value;
    return 0xDEADBEEF;
}

// A fresh scratch folder holding a copy of the program, erased with all the program made in it at the end of
// the test (left behind, such folders would pile up in the temporary folder that other tests list).
class ProgramCopy : public test_support::ScratchFolder {
public:
    explicit ProgramCopy(const char* tag) : ScratchFolder(tag)
    {
        CopyFileA(ExeDir() + "\\fovea.exe", Path() + "\\fovea.exe", FALSE);
    }
};

using test_support::IsFolder;

}  // namespace

TEST(Program, FirstStartWritesDefaultsAndLaterStartsWriteNothing)
{
    SHDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
    ProgramCopy copy("program-settings");
    const CString& folder = copy.Path();
    StartAndClose(folder + "\\fovea.exe");
    EXPECT_EQ(8u + 6u * 14u, ValueCount());
    EXPECT_EQ(80u, ReadDword("サンプル幅"));
    EXPECT_EQ(200u, ReadDword("フォルダーツリー幅"));
    EXPECT_EQ(DWORD(-13), ReadDword("FONT3_Height"));
    EXPECT_TRUE(IsFolder(folder + "\\MENU"));
    EXPECT_TRUE(IsFolder(folder + "\\EXT"));
    EXPECT_TRUE(IsFolder(folder + "\\IMGSMP"));

    // The user deletes one value and changes another: the next start restores neither.
    {
        fovea::ScopedRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, key.put()));
        RegDeleteValueA(key.get(), "ClickMode");
        DWORD width = 96;
        RegSetValueExA(key.get(), "サンプル幅", 0, REG_DWORD, reinterpret_cast<BYTE*>(&width), sizeof width);
    }
    StartAndClose(folder + "\\fovea.exe");
    EXPECT_EQ(8u + 6u * 14u - 1u, ValueCount());
    EXPECT_EQ(96u, ReadDword("サンプル幅"));
    EXPECT_EQ(0xDEADBEEFu, ReadDword("ClickMode"));
}

TEST(Program, EmbeddingStartEndsWithoutAWindow)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start(ExeDir() + "\\fovea.exe", "/Embedding"));
    EXPECT_EQ(0u, program.WaitForExit());
}

TEST(Program, StartsWhereTheWorkingFoldersCannotBeMade)
{
    ProgramCopy copy("program-blocked");
    const CString& folder = copy.Path();
    for (const char* name : {"\\MENU", "\\EXT", "\\IMGSMP"}) {
        HANDLE file = CreateFileA(folder + name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    StartAndClose(folder + "\\fovea.exe");
    EXPECT_FALSE(IsFolder(folder + "\\MENU"));
}

TEST(Program, StartsFromAReadOnlyFolder)
{
    // The test command mounts a read-only copy of the program folder here when the machine allows it.
    CString readOnly = ExeDir() + "\\..\\readonly";
    if (GetFileAttributesA(readOnly + "\\fovea.exe") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no read-only mount of the program on this machine";
    ASSERT_FALSE(CreateDirectoryA(readOnly + "\\probe", nullptr)) << "the folder is not read-only";
    StartAndClose(readOnly + "\\fovea.exe");
    EXPECT_FALSE(IsFolder(readOnly + "\\MENU"));
}
