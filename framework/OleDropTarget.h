// COleDropTarget: one window's registration with the platform's OLE drag and drop, forwarding each call of
// the platform's IDropTarget to the view that owns it.
#pragma once

#include "framework/Win32.h"

class CWnd;
class CView;

// A real COM object, but not a free-standing one: it lives as a member of its window's C++ object, which
// decides its lifetime. AddRef and Release only count the references the platform holds and never delete it;
// the registration is revoked before the window or the object goes (Revoke, WM_DESTROY of a view, the
// destructor), so the platform never holds a reference that outlives it.
class COleDropTarget : public IDropTarget {
public:
    COleDropTarget() = default;
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Registers wnd as a drop target (RegisterDragDrop); a view then receives OnDragEnter, OnDragOver,
    // OnDragLeave and OnDrop. OLE must have been initialised on this thread.
    BOOL Register(CWnd* wnd);
    // Ends the registration; harmless when there is none. A view does it itself at WM_DESTROY; the owner of
    // any other window calls it before the window goes.
    void Revoke();
    bool IsRegistered() const { return m_hWnd != nullptr; }
    HWND GetWindow() const { return m_hWnd; }

    // The calls of one drag, points in the window's client coordinates. The defaults hand them to the window
    // when it is a view, and otherwise refuse the drop.
    virtual DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point);
    virtual DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(IDataObject* data, DWORD keyState, POINT point);

    // IUnknown and IDropTarget, called by the platform.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    POINT ToClient(POINTL screen) const;
    // The view the calls go to: the registered window's object while it is still bound to the window.
    CView* View() const;
    // Holds the data object of the drag in progress (DragOver is not given it again).
    void HoldData(IDataObject* data);

    HWND m_hWnd = nullptr;
    CWnd* m_pWnd = nullptr;
    CView* m_pView = nullptr; // m_pWnd as a view, or null
    IDataObject* m_pData = nullptr;
    ULONG m_nRefs = 0;
};
