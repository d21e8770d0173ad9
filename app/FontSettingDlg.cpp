// Font settings: the dialog, the change of one font and its application to the windows of its slot.
#include "app/FontSettingDlg.h"

#include "app/FoveaApp.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "image/FoveaView.h"

namespace {

const char* const kEntries[] = {"ファイラーフォント", "ビューフォント", "ヘッダーフォント", "登録アプリメニューフォント"};

// The common dialog library is loaded when the dialog is first asked for, not with every start of the program.
bool PlatformChooseFont(HWND owner, LOGFONTA& lf)
{
    using ChooseFontProc = BOOL(WINAPI*)(CHOOSEFONTA*);
    static HMODULE library = ::LoadLibraryA("comdlg32.dll");
    auto chooseFont =
        library ? reinterpret_cast<ChooseFontProc>(reinterpret_cast<void*>(::GetProcAddress(library, "ChooseFontA")))
                : nullptr;
    if (!chooseFont)
        return false;
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    return chooseFont(&cf) != FALSE;
}

}  // namespace

bool (*CFontSettingDlg::s_pfnChooseFont)(HWND owner, LOGFONTA& lf) = PlatformChooseFont;

int CFontSettingDlg::SlotOfName(const CString& name)
{
    if (name == "ビューフォント")
        return fovea::kFontView;
    if (name == "ファイラーフォント")
        return fovea::kFontFiler;
    if (name == "ヘッダーフォント")
        return fovea::kFontHeader;
    if (name == "登録アプリメニューフォント")
        return fovea::kFontLauncher;
    return fovea::kFontHeader;
}

BOOL CFontSettingDlg::OnInitDialog()
{
    HWND combo = GetDlgItem(IDC_FONT_COMBO);
    for (const char* entry : kEntries)
        ::SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(entry));
    return TRUE;
}

bool CFontSettingDlg::OnCommand(int id, int code, HWND)
{
    if (id == IDC_FONT_SET && code == BN_CLICKED) {
        ChangeFont();
        return true;
    }
    return false;
}

void CFontSettingDlg::ChangeFont()
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    HWND combo = GetDlgItem(IDC_FONT_COMBO);
    int selected = int(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
    m_strFontName.Empty();
    if (selected >= 0) {
        int length = int(::SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(selected), 0));
        if (length > 0) {
            ::SendMessageA(combo, CB_GETLBTEXT, WPARAM(selected), LPARAM(m_strFontName.GetBuffer(length + 1)));
            m_strFontName.ReleaseBuffer();
        }
    }
    int slot = SlotOfName(m_strFontName);

    LOGFONTA lf = fovea::ToLogFont(app->m_fontDesc[slot]);
    if (s_pfnChooseFont(m_hWnd, lf)) {
        app->m_fontDesc[slot] = fovea::FromLogFont(lf);
        app->CreateSlotFont(slot);
        HKEY key = app->OpenSettingsKey();
        if (key) {
            app->WriteFontGroup(key, slot);
            CFoveaApp::CloseKey(key);
        }
    }
    // Cancelled or not, the windows of the slot get its current font again.
    ApplyFont(slot);
}

void CFontSettingDlg::ApplyFont(int slot)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    HFONT font = app->GetFont(slot);
    switch (slot) {
    case fovea::kFontView:
        if (app->m_pPicView)
            app->m_pPicView->SetTextFont(font);
        break;
    case fovea::kFontHeader:
        app->m_nHeaderHeight = fovea::HeaderHeight(app->m_fontDesc[slot]);
        for (CFileView* list : {app->m_pUpperList, app->m_pLowerList})
            if (list)
                list->SetHeaderFont(font);
        break;
    case fovea::kFontFiler:
        for (CDirView* tree : {app->m_pUpperTree, app->m_pLowerTree})
            if (tree)
                tree->SetTreeFont(font);
        app->m_nListItemHeight = fovea::ListItemHeight(app->m_fontDesc[slot]);
        app->m_nIconWidth = app->m_nListItemHeight;
        // A new line height switches both lists to the text display.
        for (CFileView* list : {app->m_pUpperList, app->m_pLowerList})
            if (list)
                list->ShowAsText(app->m_nListItemHeight, app->m_nIconWidth);
        break;
    default:
        break;  // the launcher takes its font when it next draws
    }
}
