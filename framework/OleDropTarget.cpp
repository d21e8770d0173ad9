// The drop-target registration of a window and the forwarding of the platform's drag calls to its view.
#include "framework/OleDropTarget.h"

#include "framework/FrameWnd.h"

COleDropTarget::~COleDropTarget()
{
    Revoke();
    HoldData(nullptr);
}

BOOL COleDropTarget::Register(CWnd* wnd)
{
    if (!wnd || !wnd->m_hWnd || m_hWnd)
        return FALSE;
    // The platform takes its own references through AddRef; it releases them in RevokeDragDrop.
    if (FAILED(::RegisterDragDrop(wnd->m_hWnd, this)))
        return FALSE;
    m_hWnd = wnd->m_hWnd;
    m_pWnd = wnd;
    m_pView = dynamic_cast<CView*>(wnd);
    if (m_pView)
        m_pView->m_pDropTarget = this;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (!m_hWnd)
        return;
    ::RevokeDragDrop(m_hWnd);
    if (m_pView && m_pView->m_pDropTarget == this)
        m_pView->m_pDropTarget = nullptr;
    m_hWnd = nullptr;
    m_pWnd = nullptr;
    m_pView = nullptr;
    HoldData(nullptr);
}

CView* COleDropTarget::View() const
{
    return m_pView && CWnd::FromHandle(m_hWnd) == m_pWnd ? m_pView : nullptr;
}

POINT COleDropTarget::ToClient(POINTL screen) const
{
    POINT point = {screen.x, screen.y};
    if (m_hWnd)
        ::ScreenToClient(m_hWnd, &point);
    return point;
}

void COleDropTarget::HoldData(IDataObject* data)
{
    if (data)
        data->AddRef();
    if (m_pData)
        m_pData->Release();
    m_pData = data;
}

DWORD COleDropTarget::OnDragEnter(IDataObject* data, DWORD keyState, POINT point)
{
    CView* view = View();
    return view ? view->OnDragEnter(data, keyState, point) : DROPEFFECT_NONE;
}

DWORD COleDropTarget::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    CView* view = View();
    return view ? view->OnDragOver(data, keyState, point) : DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave()
{
    if (CView* view = View())
        view->OnDragLeave();
}

BOOL COleDropTarget::OnDrop(IDataObject* data, DWORD keyState, POINT point)
{
    CView* view = View();
    return view ? view->OnDrop(data, keyState, point) : FALSE;
}

STDMETHODIMP COleDropTarget::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDropTarget::AddRef()
{
    return ++m_nRefs;
}

STDMETHODIMP_(ULONG) COleDropTarget::Release()
{
    // Never deletes: the owning window object does (see the class comment).
    return m_nRefs > 0 ? --m_nRefs : 0;
}

// The answers are limited to the effects the source allows (the value *effect holds on entry). No C++
// exception may unwind into the platform's drag loop.
STDMETHODIMP COleDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    try {
        HoldData(data);
        *effect &= OnDragEnter(data, keyState, ToClient(point));
        return S_OK;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

STDMETHODIMP COleDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    try {
        *effect &= OnDragOver(m_pData, keyState, ToClient(point));
        return S_OK;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

STDMETHODIMP COleDropTarget::DragLeave()
{
    try {
        OnDragLeave();
    } catch (...) {
    }
    HoldData(nullptr);
    return S_OK;
}

STDMETHODIMP COleDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    HRESULT result = S_OK;
    try {
        POINT client = ToClient(point);
        // The drop is taken with the effect the last drag-over would have answered here.
        DWORD chosen = *effect & OnDragOver(data, keyState, client);
        if (chosen == DROPEFFECT_NONE) {
            OnDragLeave();
        } else if (!OnDrop(data, keyState, client)) {
            chosen = DROPEFFECT_NONE;
        }
        *effect = chosen;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        result = E_UNEXPECTED;
    }
    HoldData(nullptr);
    return result;
}
