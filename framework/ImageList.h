// CImageList: owns a common-controls image list.
#pragma once

#include "framework/Win32.h"

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Images of width pixels cut from a bitmap resource, with the mask colour transparent and no growth.
    bool LoadStrip(UINT bitmapId, int width, COLORREF mask)
    {
        Destroy();
        m_hImageList = ::ImageList_LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), width, 0, mask,
                                              IMAGE_BITMAP, LR_CREATEDIBSECTION);
        return m_hImageList != nullptr;
    }
    bool Draw(HDC hdc, int image, int x, int y, UINT style = ILD_TRANSPARENT) const
    {
        return m_hImageList && ::ImageList_Draw(m_hImageList, image, hdc, x, y, style);
    }
    int GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }
    void Destroy()
    {
        if (m_hImageList)
            ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
    HIMAGELIST m_hImageList = nullptr;
};
