// The view pane: opening files by extension, the picture strip's transforms and saves, the text strip's
// commands and saves, and the arrangement of the two areas and their strips.
#include "image/FoveaView.h"

#include <climits>

#include "app/FoveaApp.h"
#include "fileops/FileOps.h"
#include "fileops/MessageDlg.h"
#include "framework/File.h"
#include "framework/FileReplace.h"
#include "framework/Handles.h"
#include "framework/ShiftJis.h"
#include "image/Dib.h"
#include "image/SampleCreateDlg.h"
#include "launcher/LauncherPane.h"

BOOL(WINAPI* CFoveaView::s_pfnGetSaveFileName)(OPENFILENAMEA*) = ::GetSaveFileNameA;

namespace {

bool IsPictureExtension(const CString& ext)
{
    if (ext == "BMP" || ext == "JPG" || ext == "GIF")
        return true;
    // Besides those, every extension a loaded plug-in serves.
    CFoveaApp* app = FoveaApp();
    return app && app->m_pSampleDlg && app->m_pSampleDlg->ServesExtension(ext);
}

bool IsTextExtension(const CString& ext)
{
    static const char* const kTexts[] = {"TXT", "SYS", "INI", "CPP", "C",    "BAT", "DEF",
                                         "DOC", "SRC", "LOG", "HTM", "HTML", "DAT"};
    for (const char* text : kTexts)
        if (ext == text)
            return true;
    return false;
}

void ReportFailedSave(const CString& path, bool existed)
{
    CMessageDlg::Show("保存できませんでした", path, existed ? "元のファイルはそのまま残っています" : "");
}

} // namespace

CFoveaView::CFoveaView() = default;
CFoveaView::~CFoveaView() = default;

int CFoveaView::OnCreate()
{
    RECT none = {0, 0, 0, 0};
    if (!m_wndPicView.Create(m_hWnd, CPicView::kId, none, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL))
        return -1;
    if (!m_wndPicBar.Create(CIconListBox::kBarStyle, none, m_hWnd, kPicBarId))
        return -1;
    m_wndPicBar.SetupBar(kPicBarId, 8, 0, 30, 24);
    for (int i = 0; i < 8; ++i)
        m_wndPicBar.AddString("XXX");
    if (!m_wndTextView.Create(m_hWnd, CTextView::kEditId, none, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL))
        return -1;
    if (!m_wndTextBar.Create(CIconListBox::kBarStyle, none, m_hWnd, kTextBarId))
        return -1;
    m_wndTextBar.SetupBar(kTextBarId, 12, 0, 30, 24);
    for (int i = 0; i < 7; ++i)
        m_wndTextBar.AddString("XXX");
    if (CFoveaApp* app = FoveaApp())
        SetTextFont(app->GetFont(fovea::kFontView));
    LayoutPanes();
    return 0;
}

void CFoveaView::SetTextFont(HFONT font)
{
    m_wndTextView.SetEditFont(font);
}

void CFoveaView::LayoutPanes()
{
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    const int w = client.right;
    const int h = client.bottom;
    const RECT area = {0, 0, w, std::max(0, h - kStripHeight)};
    const RECT strip = {0, std::max(0, h - kStripHeight), w, h};
    const RECT hidden = {0, 0, 0, 0};
    const bool picture = m_nViewMode == 0;
    m_wndPicView.MoveWindow(picture ? area : hidden);
    m_wndPicBar.MoveWindow(picture ? strip : hidden);
    m_wndTextView.MoveWindow(picture ? hidden : area);
    m_wndTextBar.MoveWindow(picture ? hidden : strip);
    // A strip draws its frame along its edges and the picture area centres nothing but paints around the
    // picture: a size change makes their old pixels wrong, not only the uncovered part.
    for (HWND shown :
         {picture ? m_wndPicView.m_hWnd : m_wndTextView.m_hWnd, picture ? m_wndPicBar.m_hWnd : m_wndTextBar.m_hWnd})
        if (shown)
            ::RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CFoveaView::OpenFile(const CString& path)
{
    CString ext;
    CFileOps().GetExtension(path, ext);
    if (IsPictureExtension(ext)) {
        ShowPicture(path, ext);
        m_wndPicView.Invalidate();
        m_wndPicView.UpdateWindow();
    } else if (IsTextExtension(ext)) {
        ShowText(path);
    }
}

int CFoveaView::DisplayBits() const
{
    if (m_nDisplayBits > 0)
        return m_nDisplayBits;
    fovea::ScopedGetDC dc(m_wndPicView.m_hWnd);
    return dc.get() ? ::GetDeviceCaps(dc.get(), BITSPIXEL) * ::GetDeviceCaps(dc.get(), PLANES) : 24;
}

bool CFoveaView::ShowPicture(const CString& path, const CString& extension)
{
    // The picture is loaded before anything of the pane changes: a file that cannot be shown (unreadable, no
    // plug-in, too large to hold) leaves the pane with what it showed.
    CFoveaApp* app = FoveaApp();
    std::unique_ptr<CDib> loaded;
    if (extension == "BMP") {
        loaded = std::make_unique<CDib>();
        if (!loaded->LoadFile(path))
            loaded.reset();
    } else if (CSampleCreateDlg* plugins = app ? app->m_pSampleDlg : nullptr) {
        int slot = plugins->FindPlugin(extension);
        if (slot >= 0)
            loaded = plugins->DecodeWith(slot, path);
    }
    if (!loaded)
        return false;

    m_nViewMode = 0;
    LayoutPanes();
    m_strPicturePath = path;
    m_strPictureExt = extension;
    const int displayBits = DisplayBits();
    if (app)
        app->m_nSampleBits = displayBits <= 8 ? displayBits : 24;
    if (displayBits <= 8 && loaded->GetBitCount() > 8) {
        auto reduced = std::make_unique<CDib>();
        if (reduced->QuantizeFrom(*loaded))
            loaded = std::move(reduced);
    }
    SetPicture(std::move(loaded));
    KeepFocusInShownArea();
    return true;
}

void CFoveaView::SetPicture(std::unique_ptr<CDib> dib)
{
    m_pDib = std::move(dib);
    SIZE total = {m_pDib->GetWidth(), m_pDib->GetHeight() + kStripHeight};
    m_wndPicView.SetScrollSizes(CScrollView::MM_TEXT_PIXELS, total, SIZE{100, 100}, SIZE{20, 20});
}

bool CFoveaView::ShowText(const CString& path)
{
    m_nViewMode = 1;
    m_strTextPath = path;
    m_wndTextView.EnsureEdit();
    m_wndTextView.ClearText();
    LayoutPanes();
    if (!m_wndTextView.LoadFile(path))
        return false;
    KeepFocusInShownArea();
    return true;
}

void CFoveaView::OnPictureCommand(int index)
{
    if (!m_pDib || index < 0 || index > 7)
        return;
    if (index <= 1) {
        SavePicture(index);
        return;
    }
    const CDib& shown = *m_pDib;
    auto made = std::make_unique<CDib>();
    bool ok = false;
    switch (index) {
    case 2:
        ok = made->RotateFrom(shown, 0);
        break;
    case 3:
        ok = made->RotateFrom(shown, 1);
        break;
    case 4:
        ok = made->FlipFrom(shown, 0);
        break;
    case 5:
        ok = made->FlipFrom(shown, 1);
        break;
    case 6: {
        const int64_t width = int64_t(shown.GetWidth()) * 2;
        const int64_t height = int64_t(shown.GetHeight()) * 2;
        if (width > INT_MAX || height > INT_MAX)
            fovea::ShowDibMessage(fovea::kMsgNoMemory);
        else
            ok = made->ScaleFrom(shown, int(width), int(height));
        break;
    }
    case 7:
        // A picture keeps at least one pixel each way.
        ok = made->ScaleFrom(shown, std::max(1, shown.GetWidth() / 2), std::max(1, shown.GetHeight() / 2));
        break;
    default:
        break;
    }
    // A transform that cannot be made (the bitmap code said why) leaves the picture as it was.
    if (ok)
        SetPicture(std::move(made));
    m_wndPicView.Invalidate();
    m_wndPicView.UpdateWindow();
    ::SetFocus(m_wndPicView.m_hWnd);
}

bool CFoveaView::AskSavePath(const CString& proposal, const char* defaultExtension, CString& chosen)
{
    char name[MAX_PATH * 4] = {};
    lstrcpynA(name, proposal, sizeof name);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrDefExt = defaultExtension;
    if (defaultExtension)
        ofn.lpstrFilter = "BMP ファイル (*.bmp)\0*.bmp\0";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!s_pfnGetSaveFileName(&ofn))
        return false;
    chosen = name;
    return true;
}

bool CFoveaView::SavePicture(int saveAs)
{
    if (!m_pDib)
        return false;
    CString target = m_strPicturePath;
    // The file is always written as a .BMP file: a picture that came from another format is never written
    // back under its own name, whose extension would then lie about the bytes.
    const bool fromBmp = m_strPictureExt == "BMP";
    if (saveAs == 1 || target.IsEmpty() || !fromBmp) {
        const std::string& shown = m_strPicturePath.str();
        CString proposal =
            fromBmp ? m_strPicturePath : CString(fovea::PathFolder(shown) + "\\" + fovea::PathTitle(shown) + ".BMP");
        if (!AskSavePath(proposal, "BMP", target))
            return false;
        CString ext;
        CFileOps().GetExtension(target, ext);
        if (ext != "BMP") {
            // The dialog asked about the name as typed; the name written is another one, asked about here.
            target += ".BMP";
            if (CFile::Exists(target) && !CMessageDlg::AskOverwrite(fovea::PathFileName(target.str())))
                return false;
        }
    }
    const bool existed = CFile::Exists(target);
    fovea::ClearLastDibMessage();
    bool saved = fovea::WriteReplacing(target, [&](const CString& temporary) { return m_pDib->SaveFile(temporary); });
    if (!saved) {
        // The bitmap code may have said why already (a full disk); otherwise say it here.
        if (!fovea::LastDibMessage())
            ReportFailedSave(target, existed);
        return false;
    }
    m_strPicturePath = target;
    m_strPictureExt = "BMP";
    return true;
}

bool CFoveaView::SaveText(int saveAs)
{
    CString target = m_strTextPath;
    if (saveAs == 1 || target.IsEmpty()) {
        if (!AskSavePath(m_strTextPath, nullptr, target))
            return false;
    }
    // A text still coming in is saved only whole; one that did not load whole is never saved over its file.
    m_wndTextView.FinishLoading();
    if (m_wndTextView.LoadFailedFor(target)) {
        CMessageDlg::Show("このテキストは読み込めなかったため、保存しません。", target,
                          "元のファイルはそのまま残っています");
        return false;
    }
    m_strTextPath = target;
    const bool existed = CFile::Exists(target);
    if (!m_wndTextView.SaveFile(target)) {
        ReportFailedSave(target, existed);
        return false;
    }
    return true;
}

void CFoveaView::OnTextCommand(int index)
{
    switch (index) {
    case 0:
    case 1:
        SaveText(index);
        break;
    default:
        m_wndTextView.EditCommand(index);
        break;
    }
}

void CFoveaView::OnPictureDoubleClick()
{
    CFoveaApp* app = FoveaApp();
    if (m_strPicturePath.IsEmpty() || !app || !app->m_pExtMenu)
        return;
    // The extension menu opens at the pointer for the picture shown, as it does for a file clicked in a file list.
    app->m_pExtMenu->PopUpAtPointer(m_strPicturePath, m_strPictureExt);
}

HWND CFoveaView::GetDisplayWindow() const
{
    if (m_nViewMode == 0)
        return m_wndPicView.m_hWnd;
    HWND edit = m_wndTextView.GetEditHwnd();
    return edit ? edit : m_wndTextView.m_hWnd;
}

void CFoveaView::KeepFocusInShownArea()
{
    HWND focus = ::GetFocus();
    if (!focus || !m_hWnd || (focus != m_hWnd && !::IsChild(m_hWnd, focus)))
        return;
    ::SetFocus(GetDisplayWindow());
}

LRESULT CFoveaView::OnBarCommand(WPARAM id)
{
    CIconListBox* bar = id == kPicBarId ? &m_wndPicBar : id == kTextBarId ? &m_wndTextBar : nullptr;
    if (!bar)
        return 0;
    int index = bar->GetCaretIndex();
    bar->SetCaretIndex(-1, true);
    if (id == kPicBarId)
        OnPictureCommand(index);
    else
        OnTextCommand(index);
    return 0;
}

void CFoveaView::OnDraw(HDC hdc)
{
    RECT client = GetClientRect();
    ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CFoveaView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        LayoutPanes();
        return 0;
    case WM_SETFOCUS:
        ::SetFocus(GetDisplayWindow());
        return 0;
    case WM_APP_BARCOMMAND:
        return OnBarCommand(wParam);
    default:
        return CView::WindowProc(message, wParam, lParam);
    }
}
