// Catalog drawing: one item of the file list as a text line or a catalog cell: attribute icon, texts, the
// item's sample from the loaded bank, and the selection and caret frames.
#include "browser/FileListBox.h"

#include "app/FoveaApp.h"
#include "framework/Handles.h"
#include "image/CatalogLayout.h"

namespace {

constexpr UINT kTextFlags = DT_BOTTOM; // without DT_SINGLELINE the text stays at the top left
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSelectionRed = RGB(255, 0, 0);

RECT ToRect(const fovea::CellRect& c)
{
    return {c.left, c.top, c.right, c.bottom};
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

void DrawTextIn(HDC hdc, const std::string& text, RECT r)
{
    if (r.right > r.left && r.bottom > r.top && !text.empty())
        ::DrawTextA(hdc, text.c_str(), int(text.size()), &r, kTextFlags);
}

// A 1-pixel solid pen of colour: the stock pens for black and white, which every item draws with several times
// per paint, and a pen of its own for any other colour.
class FramePen {
public:
    explicit FramePen(COLORREF colour)
    {
        if (colour == kBlack)
            m_pen = HPEN(::GetStockObject(BLACK_PEN));
        else if (colour == kWhite)
            m_pen = HPEN(::GetStockObject(WHITE_PEN));
        else
            m_owned.reset(m_pen = ::CreatePen(PS_SOLID, 1, colour));
    }
    HPEN get() const { return m_pen; }

private:
    HPEN m_pen = nullptr;
    fovea::ScopedPen m_owned;
};

// The four edges of a frame: left and top in the first colour, right and bottom in the second, each line ending
// before its end point as lines do.
void DrawFrameLines(HDC hdc, const RECT& r, COLORREF first, COLORREF second)
{
    FramePen firstPen(first);
    FramePen secondPen(second);
    fovea::SelectObjectScope keep(hdc, firstPen.get());
    ::MoveToEx(hdc, r.left, r.top, nullptr);
    ::LineTo(hdc, r.left, r.bottom);
    ::MoveToEx(hdc, r.left, r.top, nullptr);
    ::LineTo(hdc, r.right, r.top);
    ::SelectObject(hdc, secondPen.get());
    ::MoveToEx(hdc, r.right, r.bottom, nullptr);
    ::LineTo(hdc, r.right, r.top);
    ::MoveToEx(hdc, r.right, r.bottom, nullptr);
    ::LineTo(hdc, r.left, r.bottom);
}

} // namespace

void CFileListBox::DrawEdge3D(HDC hdc, const RECT& r, int style)
{
    if (style == 0)
        DrawFrameLines(hdc, r, kBlack, kWhite);
    else
        DrawFrameLines(hdc, r, kWhite, kBlack);
}

void CFileListBox::DrawCatalogItem(bool entire, bool selected, int index, HDC hdc, const RECT& item)
{
    CFoveaApp* app = FoveaApp();
    int lineHeight = app ? app->m_nListItemHeight : 0;
    int iconWidth = app ? app->m_nIconWidth : 0;
    const int widths[5] = {m_nIconCol, m_nNameCol, m_nExtCol, m_nSizeCol, m_nDateCol};
    fovea::CatalogItemLayout layout = fovea::LayOutCatalogItem({item.left, item.top, item.right, item.bottom}, widths,
                                                               m_bCatalog != 0, lineHeight, iconWidth);
    RECT icon = ToRect(layout.icon);
    RECT text = ToRect(layout.text);

    if (entire) {
        fovea::ItemFields fields = GetItemFields(index);
        int image = fovea::AttributeIconOf(fields.attributes);
        if (Width(icon) < fovea::kSmallIconLimit)
            m_imageList.Draw(hdc, image, icon.left - 2, icon.top - 2);
        else
            m_imageList.Draw(hdc, image + fovea::kLargeIconOffset, icon.left, icon.top);

        const std::string* columns[] = {&fields.name, &fields.extension, &fields.size, &fields.date};
        for (int i = 0; i < 4; ++i)
            DrawTextIn(hdc, *columns[i], ToRect(layout.textCell[i + 1]));

        int frame = FindSampleFrame(fields.name);
        int sampleWidth = app ? app->m_nSampleWidth : 0;
        int sampleHeight = app ? app->m_nSampleHeight : 0;
        if (!m_bCatalog) {
            if (frame >= 0) {
                if (sampleWidth < Width(icon) && sampleHeight < Height(icon))
                    DrawSampleFrame(hdc, {icon.left, icon.top, icon.left + sampleWidth, icon.top + sampleHeight},
                                    frame);
                else
                    DrawSampleFrame(hdc, icon, frame);
            }
        } else {
            RECT picture = ToRect(layout.picture);
            if (frame >= 0)
                DrawSampleFrame(hdc, picture, frame);
            DrawTextIn(hdc, fields.name, ToRect(layout.name));
            DrawEdge3D(hdc, picture, 0);
        }
    }

    // The red frame takes exactly the pixels of the raised edge it replaces, so a later deselection leaves none.
    if (selected)
        DrawFrameLines(hdc, icon, kSelectionRed, kSelectionRed);
    else
        DrawEdge3D(hdc, icon, 1);
    DrawEdge3D(hdc, text, GetCaretIndex() == index ? 0 : 1);
}
