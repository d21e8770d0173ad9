// A data object holding one CF_HDROP rendering and the drop source that follows the mouse buttons.
#include "ole/DragSource.h"

#include <cstring>

#include <shlobj.h>

#include "framework/Handles.h"
#include "framework/ShellCalls.h"
#include "framework/Win32.h"

namespace {

class CDropSource final : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        if (!(keys & (MK_LBUTTON | MK_RBUTTON)))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ULONG m_refs = 1;
};

// Offers exactly one format, CF_HDROP in global memory; a fresh copy for every GetData.
class CFileDataObject final : public IDataObject {
public:
    explicit CFileDataObject(std::string block) : m_block(std::move(block)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        HRESULT ok = QueryGetData(format);
        if (FAILED(ok))
            return ok;
        HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, m_block.size());
        if (!global)
            return E_OUTOFMEMORY;
        std::memcpy(::GlobalLock(global), m_block.data(), m_block.size());
        ::GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global; // the receiver releases it (ReleaseStgMedium)
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!format || format->cfFormat != CF_HDROP)
            return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return fovea::ShellEnumFormats(1, &format, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ULONG m_refs = 1;
    std::string m_block;
};

} // namespace

namespace {

int g_nDragLoops = 0;

// The physical button that acts as the left one (GetAsyncKeyState reads physical buttons).
bool PrimaryButtonHeld()
{
    int button = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (::GetAsyncKeyState(button) & 0x8000) != 0;
}

} // namespace

namespace fovea {

bool OwnDragInProgress()
{
    return g_nDragLoops > 0;
}

unsigned long RunFileDrag(const CStringArray& paths, IDropSource* source)
{
    if (paths.IsEmpty())
        return 0;
    ComPtr<IDataObject> data(new CFileDataObject(BuildDropFiles(paths)));
    ComPtr<IDropSource> ownSource;
    if (!source) {
        ownSource = ComPtr<IDropSource>(new CDropSource);
        source = ownSource.get();
    }
    DWORD effect = 0;
    ++g_nDragLoops;
    HRESULT result = ::DoDragDrop(data.get(), source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    --g_nDragLoops;
    return result == DRAGDROP_S_DROP ? effect : 0;
}

unsigned long DragFiles(HWND window, POINT screenPoint, const CStringArray& paths)
{
    // DragDetect waits for the button to come up or the pointer to move; with no button held (a press sent by
    // a program) it would wait for whatever mouse input comes next.
    if (paths.IsEmpty() || !PrimaryButtonHeld() || !::DragDetect(window, screenPoint))
        return 0;
    return RunFileDrag(paths);
}

} // namespace fovea
