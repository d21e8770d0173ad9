// Frame, view and the single-document template.
#include "framework/FrameWnd.h"

#include "framework/OleDropTarget.h"
#include "framework/WinApp.h"

CString LoadResourceString(UINT id)
{
    // LoadStringA gives the UTF-16 resource text back in the ANSI code page; ask with a growing buffer so that
    // no text is cut.
    for (int size = 256; size <= 65536; size *= 4) {
        CString text;
        int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, text.GetBuffer(size), size);
        text.ReleaseBuffer(n > 0 ? n : 0);
        if (n < size - 1)
            return text;
    }
    return CString();
}

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    CString title = LoadResourceString(resourceId);
    int newline = title.Find('\n');
    if (newline >= 0)
        title = title.Left(newline);
    HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
    m_hAccel = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    if (!CreateEx(0, kClassName, title, style | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, nullptr, menu)) {
        if (menu)
            ::DestroyMenu(menu);
        return false;
    }
    return true;
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreateClient() ? 0 : -1;
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_DESTROY:
        if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this)
            ::PostQuitMessage(0);
        return Default();
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

bool CView::Create(HWND parent, UINT id, const RECT& r, DWORD style)
{
    return CreateEx(0, ClassName(), "", style | WS_CLIPCHILDREN, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    parent, HMENU(UINT_PTR(id)));
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_hWnd, &ps);
        OnDraw(hdc);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        // No drop registration may outlive the window it names.
        if (m_pDropTarget)
            m_pDropTarget->Revoke();
        return Default();
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

CFrameWnd* CSingleDocTemplate::OpenDocumentFile(const char* path, int showCommand)
{
    std::unique_ptr<CDocument> document = m_makeDocument();
    if (!document)
        return nullptr;
    bool opened = path ? document->OnOpenDocument(path) : document->OnNewDocument();
    if (!opened)
        return nullptr;
    m_pDocument = std::move(document);
    if (!m_pFrame) {
        CFrameWnd* frame = m_makeFrame();
        if (!frame || !frame->LoadFrame(m_nResourceId)) {
            delete frame;
            return nullptr;
        }
        m_pFrame = frame;
        if (AfxGetApp()) {
            AfxGetApp()->m_pMainWnd = frame;
            AfxGetApp()->m_hAccel = frame->GetAccelerators();
        }
    }
    m_pFrame->ShowWindow(showCommand);
    m_pFrame->UpdateWindow();
    return m_pFrame;
}
