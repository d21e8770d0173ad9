// CFrameWnd, CView, CDocument and the single-document template that makes the main frame.
#pragma once

#include <functional>
#include <memory>

#include "framework/Wnd.h"

class COleDropTarget;

class CDocument {
public:
    virtual ~CDocument() = default;
    // A document made for a file named on the command line; the default accepts any path.
    virtual bool OnOpenDocument(const char* path) { return true; }
    virtual bool OnNewDocument() { return true; }
};

// A top-level window with a menu, accelerators and a title from one resource id.
class CFrameWnd : public CWnd {
public:
    // Creates the frame from resource id: the menu and accelerators of that id, the title from the first
    // field of string resource id ("title\n...").
    virtual bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HACCEL GetAccelerators() const { return m_hAccel; }

protected:
    // Called during WM_CREATE, after the frame's own creation; false fails the creation.
    virtual bool OnCreateClient() { return true; }
    // Places the client area's children; the default does nothing.
    virtual void RecalcLayout() {}

    static constexpr const char* kClassName = "FoveaFrame";
    HACCEL m_hAccel = nullptr;
};

// A child window that paints through OnDraw, and receives the drags over it once a COleDropTarget has
// registered it.
class CView : public CWnd {
public:
    bool Create(HWND parent, UINT id, const RECT& rect, DWORD style = WS_CHILD | WS_VISIBLE);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // A drag over the view, points in client coordinates; the answer is a DROPEFFECT. By default nothing is
    // accepted.
    virtual DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) { return DROPEFFECT_NONE; }
    virtual DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) { return DROPEFFECT_NONE; }
    virtual void OnDragLeave() {}
    virtual BOOL OnDrop(IDataObject* data, DWORD keyState, POINT point) { return FALSE; }

    // Set by COleDropTarget::Register (not owned): revoked when the window is destroyed.
    COleDropTarget* m_pDropTarget = nullptr;

protected:
    virtual void OnDraw(HDC hdc) {}
    virtual const char* ClassName() const { return "FoveaView"; }
};

// One document and one frame for the whole program.
class CSingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<CFrameWnd*()>;

    CSingleDocTemplate(UINT resourceId, DocumentFactory makeDocument, FrameFactory makeFrame)
        : m_nResourceId(resourceId), m_makeDocument(std::move(makeDocument)), m_makeFrame(std::move(makeFrame))
    {
    }

    // Makes the document (new when path is null) and, the first time, the frame; shows it. Null on failure.
    CFrameWnd* OpenDocumentFile(const char* path, int showCommand);
    CDocument* GetDocument() const { return m_pDocument.get(); }
    CFrameWnd* GetFrame() const { return m_pFrame; }

private:
    UINT m_nResourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    std::unique_ptr<CDocument> m_pDocument;
    CFrameWnd* m_pFrame = nullptr;  // deletes itself when its window is destroyed
};

// The loaded text of a string resource, or empty.
CString LoadResourceString(UINT id);
