// CWinApp: the one application object, its start-up hook and the message loop with idle processing.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once before the loop; FALSE ends the process.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return m_nExitCode; }
    // Called while the queue is empty, with a count that restarts after each input message. Return TRUE to be
    // called again shortly: the loop then waits at most kIdleRecallMs for a message instead of spinning.
    virtual BOOL OnIdle(LONG count) { return FALSE; }
    // Keyboard accelerators and dialog navigation; true when the message was consumed.
    virtual bool PreTranslateMessage(MSG& msg);
    virtual int Run();

    // One turn of the loop for nested loops (sample creation): dispatches everything pending.
    void PumpPendingMessages();

    static constexpr DWORD kIdleRecallMs = 50;

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    HACCEL m_hAccel = nullptr;
    CString m_strCmdLine;
    int m_nExitCode = 0;
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();

// The program's entry: constructs nothing, runs the already constructed application object.
int RunApplication(HINSTANCE instance, const char* commandLine);
