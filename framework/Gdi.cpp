// CDC and CGdiObject: the parts that hold state beyond a forwarded call.
#include "framework/Gdi.h"

CDC::~CDC()
{
    DeleteDC();
}

bool CDC::Attach(HDC hdc)
{
    DeleteDC();
    m_hDC = m_hAttribDC = hdc;
    return hdc != nullptr;
}

HDC CDC::Detach()
{
    HDC hdc = m_hDC;
    // An owned DC that is detached becomes the caller's to delete.
    m_owned.release();
    m_hDC = m_hAttribDC = nullptr;
    return hdc;
}

bool CDC::CreateCompatibleDC(CDC* other)
{
    DeleteDC();
    HDC hdc = ::CreateCompatibleDC(other ? other->m_hDC : nullptr);
    if (!hdc)
        return false;
    m_owned.reset(hdc);
    m_hDC = m_hAttribDC = hdc;
    return true;
}

bool CDC::DeleteDC()
{
    bool owned = bool(m_owned);
    m_owned.reset();
    m_hDC = m_hAttribDC = nullptr;
    return owned;
}

bool CGdiObject::Attach(HGDIOBJ object)
{
    m_hObject.reset(object);
    return object != nullptr;
}

bool CGdiObject::DeleteObject()
{
    bool had = bool(m_hObject);
    m_hObject.reset();
    return had;
}
