// Binding of window objects to HWNDs and the one static procedure that dispatches to them.
#include "framework/Wnd.h"

#include "framework/PaintBuffer.h"

#include <unordered_map>

namespace {

// The window objects by handle. Every message to one of our windows looks its object up, so the lookup must be
// cheap: a window property would cost a round trip to the window server under Wine at each message. Objects
// may be looked up from any thread (messages run on the window's own), hence the lock; it is never contended
// for long. The table is never destroyed, so that objects unbound during the process's exit still find it.
class WndTable {
public:
    WndTable() { ::InitializeCriticalSection(&m_lock); }
    CWnd* Find(HWND hwnd)
    {
        ::EnterCriticalSection(&m_lock);
        auto it = m_map.find(hwnd);
        CWnd* wnd = it == m_map.end() ? nullptr : it->second;
        ::LeaveCriticalSection(&m_lock);
        return wnd;
    }
    void Set(HWND hwnd, CWnd* wnd)
    {
        ::EnterCriticalSection(&m_lock);
        if (wnd)
            m_map[hwnd] = wnd;
        else
            m_map.erase(hwnd);
        ::LeaveCriticalSection(&m_lock);
    }

private:
    CRITICAL_SECTION m_lock;
    std::unordered_map<HWND, CWnd*> m_map;
};

WndTable& Table()
{
    static WndTable* table = new WndTable;
    return *table;
}

}  // namespace

CWnd::~CWnd()
{
    if (m_hWnd && FromHandle(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    return hwnd ? Table().Find(hwnd) : nullptr;
}

void CWnd::Bind(HWND hwnd)
{
    m_hWnd = hwnd;
    Table().Set(hwnd, this);
}

void CWnd::Unbind()
{
    if (!m_hWnd)
        return;
    if (Table().Find(m_hWnd) == this)
        Table().Set(m_hWnd, nullptr);
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, LONG_PTR(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    m_hWnd = nullptr;
}

bool CWnd::RegisterOwnClass(const char* className)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(instance, className, &wc))
        return true;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(128));
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, HMENU menuOrId)
{
    if (!RegisterOwnClass(className))
        return false;
    // StaticWndProc binds the window to this object at WM_NCCREATE, from the creation parameter.
    HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, x, y, cx, cy, parent, menuOrId,
                                  ::GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

bool CWnd::CreateControl(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& r,
                         HWND parent, UINT id)
{
    HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, parent, HMENU(UINT_PTR(id)), ::GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return false;
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || FromHandle(hwnd))
        return false;
    Bind(hwnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, LONG_PTR(StaticWndProc)));
    return m_pfnSuper != nullptr;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (FromHandle(hwnd) == this)
        Unbind();
    m_hWnd = nullptr;
    return hwnd;
}

bool CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

RECT CWnd::GetClientRect() const
{
    RECT r = {};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetWindowRect() const
{
    RECT r = {};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

CString CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    CString text;
    if (length > 0) {
        ::GetWindowTextA(m_hWnd, text.GetBuffer(length + 1), length + 1);
        text.ReleaseBuffer();
    }
    return text;
}

bool CWnd::ReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    HWND child = nullptr;
    switch (message) {
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM:
        child = ::GetDlgItem(parent, int(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID));
        break;
    case WM_COMMAND:
        child = HWND(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        child = HWND(lParam);
        break;
    default:
        return false;
    }
    CWnd* wnd = FromHandle(child);
    return wnd && wnd->OnChildNotify(message, wParam, lParam, result);
}

void CWnd::PaintBuffered()
{
    PAINTSTRUCT ps;
    HDC screen = ::BeginPaint(m_hWnd, &ps);
    if (!screen)
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    HDC buffer = fovea::AcquirePaintBuffer(client.right, client.bottom);
    HDC target = buffer ? buffer : screen;
    int saved = ::SaveDC(target);
    if (buffer)
        ::IntersectClipRect(buffer, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    // The erase the system asked for went nowhere (see WindowProc); the picture is erased here instead, every
    // time, since it holds whatever was painted last.
    m_bPaintingBuffer = true;
    if (buffer || ps.fErase)
        WindowProc(WM_ERASEBKGND, WPARAM(target), 0);
    WindowProc(WM_PAINT, WPARAM(target), 0);
    m_bPaintingBuffer = false;
    ::RestoreDC(target, saved);
    if (buffer) {
        ::BitBlt(screen, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                 ps.rcPaint.bottom - ps.rcPaint.top, buffer, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        fovea::ReleasePaintBuffer(buffer);
    }
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bBufferedPaint && m_pfnSuper) {
        if (message == WM_PAINT && wParam == 0) {
            PaintBuffered();
            return 0;
        }
        // Erased with the paint that follows, in the picture.
        if (message == WM_ERASEBKGND && !m_bPaintingBuffer)
            return 1;
    }
    LRESULT reflected = 0;
    if (ReflectToChild(m_hWnd, message, wParam, lParam, &reflected))
        return reflected;
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return CWnd::WindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    CurrentMessage saved = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = WindowProc(message, wParam, lParam);
    m_current = saved;
    return result;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd && message == WM_NCCREATE) {
        wnd = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (wnd)
            wnd->Bind(hwnd);
    }
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    // No C++ exception may unwind through user32.
    try {
        result = wnd->Dispatch(message, wParam, lParam);
    } catch (...) {
        result = wnd->m_pfnSuper ? ::CallWindowProcA(wnd->m_pfnSuper, hwnd, message, wParam, lParam)
                                 : ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        wnd->Unbind();
        wnd->PostNcDestroy();
    }
    return result;
}
