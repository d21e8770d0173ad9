// CFoveaView: the view pane at the left of the main window. It holds a picture area and a text area, each with
// its command strip below it, and shows one file at a time: a picture (rotated, flipped, scaled and saved here)
// or a text (edited and saved).
#pragma once

#include <memory>

#include "app/IconListBox.h"
#include "framework/FrameWnd.h"
#include "image/PicView.h"
#include "text/TextView.h"

class CDib;

class CFoveaView : public CView {
public:
    static constexpr int kStripHeight = 30;
    static constexpr int kPicBarId = 300;
    static constexpr int kTextBarId = 304;

    CFoveaView();
    ~CFoveaView() override;

    // 1 for the pane of the main window.
    int m_bMainView = 0;

    int m_nViewMode = 0;  // 0 picture, 1 text
    CString m_strTextPath;
    CString m_strPicturePath;
    CString m_strPictureExt;
    std::unique_ptr<CDib> m_pDib;
    CIconListBox m_wndPicBar;
    CIconListBox m_wndTextBar;
    CPicView m_wndPicView;
    CTextView m_wndTextView;

    // Bits per pixel of the display the pictures are prepared for; 0 measures the picture area's DC.
    int m_nDisplayBits = 0;

    // Shows path by its extension: a picture, a text, or nothing (the pane stays as it was).
    void OpenFile(const CString& path);
    // Loads a picture (.BMP by the bitmap code, other formats by their plug-in). False when it could not be
    // loaded; the pane then keeps what it showed.
    bool ShowPicture(const CString& path, const CString& extension);
    // Loads a whole text file into the text area. False when the file could not be read (the text is empty).
    bool ShowText(const CString& path);
    void LayoutPanes();

    // The strip commands, by the pressing strip's caret item.
    void OnPictureCommand(int index);
    void OnTextCommand(int index);
    // 0 save over the file shown, 1 save under a chosen name. True when the file was written.
    bool SavePicture(int saveAs);
    bool SaveText(int saveAs);
    // A double click in the picture area: the extension menu for the file shown.
    void OnPictureDoubleClick();

    const CDib* GetPicture() const { return m_pDib.get(); }
    // The window that takes the keyboard for the file shown.
    HWND GetDisplayWindow() const;
    // The path of the file shown in the current mode.
    const CString& GetShownPath() const { return m_nViewMode == 0 ? m_strPicturePath : m_strTextPath; }

    // The font of the text area (font slot 3), given at creation and again by the font dialog.
    void SetTextFont(HFONT font);
    HFONT GetTextFont() const { return m_wndTextView.GetEditFont(); }

    // The standard Save As dialog; tests replace it.
    static BOOL(WINAPI* s_pfnGetSaveFileName)(OPENFILENAMEA*);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const char* ClassName() const override { return "FoveaPane"; }
    void OnDraw(HDC hdc) override;

private:
    int OnCreate();
    LRESULT OnBarCommand(WPARAM id);
    int DisplayBits() const;
    // Replaces the shown picture by dib and resets the picture area's scroll sizes.
    void SetPicture(std::unique_ptr<CDib> dib);
    // Asks for a path to save to, proposing proposal; false when cancelled.
    bool AskSavePath(const CString& proposal, const char* defaultExtension, CString& chosen);
    // Moves the focus to the area shown when the pane had it.
    void KeepFocusInShownArea();
};
