// Drags out of and drops on the panes: the record of the drag source, the own-drag check, the copy of a drop.
#include "browser/PaneDragDrop.h"

#include "app/FoveaApp.h"
#include "fileops/PathNames.h"
#include "ole/DragSource.h"
#include "ole/DropCopy.h"
#include "ole/DroppedPaths.h"

namespace fovea {

unsigned long DragFromPane(CWnd* source, POINT clientPoint, const CStringArray& paths)
{
    if (CFoveaApp* app = FoveaApp()) {
        app->m_pDragSource = source;
        app->m_ptDragStart = clientPoint;
    }
    POINT screen = clientPoint;
    ::ClientToScreen(source->m_hWnd, &screen);
    return DragFiles(source->m_hWnd, screen, paths);
}

bool EndsOwnDrag(const CWnd* source)
{
    CFoveaApp* app = FoveaApp();
    if (!app || app->m_pDragSource != source || !OwnDragInProgress())
        return false;
    app->m_pDragSource = nullptr;
    return true;
}

void CopyDropInto(IDataObject* data, const CString& folder)
{
    std::vector<std::wstring> paths;
    if (!folder.IsEmpty() && ReadDroppedPaths(data, paths))
        CopyDroppedPaths(paths, WideOf(folder));
}

} // namespace fovea
