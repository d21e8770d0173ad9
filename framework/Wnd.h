// CWnd: a window object bound to its HWND. Each class handles its messages in one WindowProc switch.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object bound to hwnd by Create, CreateControl or SubclassWindow, or null.
    static CWnd* FromHandle(HWND hwnd);

    // Creates a window of one of our own classes (registered on first use with StaticWndProc).
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int cx, int cy,
                  HWND parent, HMENU menuOrId);
    // Creates a standard control (LISTBOX, SysTreeView32, ...) and subclasses it, so that WindowProc sees its
    // messages and Default() reaches the control's own procedure.
    bool CreateControl(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                       HWND parent, UINT id);
    // Binds this object to an existing window and routes its messages through WindowProc.
    bool SubclassWindow(HWND hwnd);
    // Borrows a window without routing its messages (no ownership).
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach();

    bool DestroyWindow();

    // Messages arrive here; the default hands them to the class's own or the superclassed procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Last message seen after the window is gone; an object may delete itself here.
    virtual void PostNcDestroy() {}
    // Owner-draw, command and notification messages that a parent passes back to the control they concern,
    // so that each control draws and handles its own items. True when handled; *result is then the answer.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return false; }
    // Offers a parent's message to the child object it concerns; true when that child handled it.
    static bool ReflectToChild(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Default processing of the message now being handled.
    LRESULT Default();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam) != FALSE;
    }
    bool ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool IsWindowVisible() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    void MoveWindow(int x, int y, int cx, int cy, bool repaint = true) const
    {
        ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    void MoveWindow(const RECT& r, bool repaint = true) const
    {
        MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    void SetFont(HFONT font, bool redraw = true) const { SendMessage(WM_SETFONT, WPARAM(font), redraw); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    CString GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

protected:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterOwnClass(const char* className);
    // Runs WindowProc for one message with the "current message" recorded for Default().
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hwnd);
    void Unbind();

    WNDPROC m_pfnSuper = nullptr;  // the control's own procedure when subclassed
    // A subclassed control that paints through the shared off-screen picture (framework/PaintBuffer.h): its
    // erase and paint are drawn there and copied to the screen at once. For controls that paint a whole
    // client area when handed a DC in WM_PAINT, as the list box, tree, header and status bar do.
    bool m_bBufferedPaint = false;

private:
    void PaintBuffered();
    bool m_bPaintingBuffer = false;

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current = {};
};
