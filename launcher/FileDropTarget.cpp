// The drop target of the launcher windows.
#include "launcher/FileDropTarget.h"

#include "ole/DroppedPaths.h"

DWORD CFileDropTarget::OnDragEnter(IDataObject* data, DWORD keyState, POINT point)
{
    return OnDragOver(data, keyState, point);
}

DWORD CFileDropTarget::OnDragOver(IDataObject* data, DWORD keyState, POINT point)
{
    // Copy, never move: a source told that its files were moved would erase them itself.
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && data->QueryGetData(&format) == S_OK ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

BOOL CFileDropTarget::OnDrop(IDataObject* data, DWORD keyState, POINT point)
{
    CStringArray paths;
    if (!fovea::ReadDroppedPaths(data, paths))
        return FALSE;
    POINT screen = point;
    ::ClientToScreen(GetWindow(), &screen);
    if (m_handler)
        m_handler(paths, screen);
    return TRUE;
}
