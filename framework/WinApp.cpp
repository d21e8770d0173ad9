// The message loop. Idle work runs when the queue is empty; when it asks to run again, the loop waits for
// input with a short timeout, so an idle program uses next to no processor time.
#include "framework/WinApp.h"

#include "framework/Dialog.h"
#include "framework/Wnd.h"

namespace {

CWinApp* g_pApp = nullptr;

// Messages that do not count as user activity: they must not restart the idle count.
bool IsIdleMessage(const MSG& msg)
{
    return msg.message != WM_PAINT && msg.message != WM_TIMER && msg.message != 0x0118 /* caret blink */;
}

}  // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

bool CWinApp::PreTranslateMessage(MSG& msg)
{
    if (m_hAccel && m_pMainWnd && m_pMainWnd->m_hWnd && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
        ::TranslateAcceleratorA(m_pMainWnd->m_hWnd, m_hAccel, &msg))
        return true;
    return CDialog::PreTranslateModeless(msg);
}

void CWinApp::PumpPendingMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(int(msg.wParam));
            return;
        }
        if (!PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

int CWinApp::Run()
{
    // Without a main window (started for embedding) there is nothing to run.
    if (!m_pMainWnd || !m_pMainWnd->m_hWnd)
        return ExitInstance();

    LONG idleCount = 0;
    bool idle = true;
    MSG msg;
    for (;;) {
        while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (idle && OnIdle(idleCount++)) {
                // Returns at once for messages already waiting, not only for new ones.
                ::MsgWaitForMultipleObjectsEx(0, nullptr, kIdleRecallMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                continue;
            }
            idle = false;
            ::WaitMessage();
        }
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            m_nExitCode = int(msg.wParam);
            break;
        }
        if (!PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (IsIdleMessage(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
    return ExitInstance();
}

int RunApplication(HINSTANCE instance, const char* commandLine)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->m_strCmdLine = commandLine ? commandLine : "";
    int result = 0;
    try {
        if (app->InitInstance())
            result = app->Run();
        else
            result = app->ExitInstance();
    } catch (...) {
        result = 1;
    }
    return result;
}
