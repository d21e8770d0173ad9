// CFileDropTarget: the drop target of a window that takes dropped files itself rather than through a view
// (the launcher and the extension menu). Any drag that carries a file list is offered the copy; the drop hands
// the paths, read at full length, and the screen point to the owner's handler.
#pragma once

#include <functional>

#include "framework/OleDropTarget.h"
#include "framework/String.h"

class CFileDropTarget : public COleDropTarget {
public:
    using Handler = std::function<void(const CStringArray& paths, POINT screen)>;

    explicit CFileDropTarget(Handler handler) : m_handler(std::move(handler)) {}

    DWORD OnDragEnter(IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(IDataObject* data, DWORD keyState, POINT point) override;
    void OnDragLeave() override {}
    BOOL OnDrop(IDataObject* data, DWORD keyState, POINT point) override;

private:
    Handler m_handler;
};
