// A data object for drop tests: offers one CF_HDROP block given byte for byte (well formed or not), or no
// format at all, and counts its references so tests can see who holds it.
#pragma once

#include <cstring>
#include <string>

#include "framework/String.h"
#include "framework/Win32.h"
#include <shlobj.h>

#include "ole/DropFiles.h"

namespace test_support {

class TestDataObject final : public IDataObject {
public:
    // hasFileList false: the object offers no format (a drag of text, say).
    explicit TestDataObject(std::string block, bool hasFileList = true)
        : m_block(std::move(block)), m_bHasFileList(hasFileList)
    {
    }
    static TestDataObject* ForPaths(const CStringArray& paths)
    {
        return new TestDataObject(fovea::BuildDropFiles(paths));
    }
    // A wide (fWide) block of UTF-16 paths.
    static TestDataObject* ForWidePaths(const std::u16string* paths, size_t count)
    {
        std::string block(20, '\0');
        const uint32_t offset = 20, wide = 1;
        std::memcpy(&block[0], &offset, 4);
        std::memcpy(&block[16], &wide, 4);
        for (size_t i = 0; i < count; ++i)
            block += std::string(reinterpret_cast<const char*>(paths[i].c_str()), (paths[i].size() + 1) * 2);
        block += std::string(2, '\0');
        return new TestDataObject(block);
    }

    ULONG Refs() const { return m_nRefs; }
    int GetDataCalls() const { return m_nGetData; }

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
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRefs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG refs = --m_nRefs;
        if (refs == 0)
            delete this;
        return refs;
    }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        ++m_nGetData;
        HRESULT ok = QueryGetData(format);
        if (FAILED(ok))
            return ok;
        // Exactly the block's size: GlobalSize is then the reader's only bound.
        HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, m_block.size());
        if (!global)
            return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(global), m_block.data(), m_block.size());
        GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        if (!m_bHasFileList || !format || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(m_bHasFileList ? 1 : 0, &format, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~TestDataObject() = default;
    ULONG m_nRefs = 1;
    int m_nGetData = 0;
    std::string m_block;
    bool m_bHasFileList;
};

} // namespace test_support
