// CFoveaApp: the application object and the program's shared state. Every window reaches the settings, the
// working folders, the drive list and the other panes through it.
#pragma once

#include <cstdint>

#include "app/SettingsDefaults.h"
#include "framework/FrameWnd.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"

class CMainFrame;
class CFoveaView;
class CDirView;
class CFileView;
class CLauncherPane;
class CLauncherWnd;
class CSampleCreateDlg;

class CFoveaApp : public CWinApp {
public:
    CFoveaApp();
    ~CFoveaApp() override;

    BOOL InitInstance() override;
    BOOL OnIdle(LONG count) override;
    // Commands of the menu and keys that the application handles; true when handled.
    bool OnCommand(UINT id);

    // The start-up steps, in the order InitInstance runs them (public so that tests can run them one by one).
    void RecordStartDrive();
    void BuildDriveList();
    void FindProgramDir();
    void SetDefaults();
    void CreateWorkingFolders();
    void LoadSettings();
    void ComputeTextMetrics();

    // Settings key helpers. The key names are members so that tests can work under a scratch key.
    int CreateSettingsKey();
    HKEY OpenSettingsKey();
    static int ReadNumber(HKEY key, const char* name, int32_t& value);
    static int ReadString(HKEY key, const char* name, CString& value);
    static void WriteNumber(HKEY key, const char* name, int32_t value);
    static void WriteString(HKEY key, const char* name, const CString& value);
    static void CloseKey(HKEY key);

    // Fonts: write the defaults (first start), read them (later starts), write one group (font dialog).
    void WriteDefaultFonts(HKEY key);
    int ReadFonts(HKEY key);
    void WriteFontGroup(HKEY key, int slot);
    // Replaces the slot's font object by one made from its description.
    void CreateSlotFont(int slot);
    HFONT GetFont(int slot) const { return slot >= 0 && slot < fovea::kFontSlotCount ? m_fonts[slot].get() : nullptr; }

    // The drive root of a drive entry ("3/C:" -> "C:") and its type digit.
    static CString DriveOfEntry(const CString& entry) { return entry.Mid(2, 2); }
    static char TypeOfEntry(const CString& entry) { return entry.IsEmpty() ? '0' : entry.GetAt(0); }

    // Members, in the order of the program's shared state.
    CWnd* m_pDragSource = nullptr;
    POINT m_ptDragStart = {0, 0};
    int32_t m_bFirstRun = 0;
    int32_t m_nSampleWidth = 0;
    int32_t m_nSampleHeight = 0;
    int32_t m_nSampleBits = 0;
    int32_t m_nToolTipMode = 0;
    int32_t m_bShowLauncher = 0;
    int32_t m_bExtMenuShown = 0;
    int32_t m_nLauncherWidth = 0;
    int32_t m_nClickMode = 0;
    int32_t m_nListItemHeight = 0;
    int32_t m_nHeaderHeight = 0;
    int32_t m_nIconWidth = 0;
    int32_t m_nFilerSplit = 0;
    int32_t m_nViewWidth = 0;
    int32_t m_nTreeWidth = 0;

    fovea::FontDescription m_fontDesc[fovea::kFontSlotCount];
    fovea::ScopedFont m_fonts[fovea::kFontSlotCount];
    // The slot each screen element takes its font from; fixed at start-up.
    int m_anElementFont[fovea::kFontSlotCount] = {};

    CString m_strBank8Image, m_strBank8Index;
    CString m_strBank24Image, m_strBank24Index;
    COLORREF m_clrBackground = COLORREF(-1);
    fovea::ScopedBrush m_pBackgroundBrush;
    CString m_strProgramDir;
    CString m_strMenuDir;
    CString m_strExtDir;
    CString m_strSampleRoot;
    CStringArray m_astrDrives;
    CString m_strStartDrive;

    CMainFrame* m_pMainFrame = nullptr;
    CFoveaView* m_pPicView = nullptr;
    CDirView* m_pUpperTree = nullptr;
    CFileView* m_pUpperList = nullptr;
    CDirView* m_pLowerTree = nullptr;
    CFileView* m_pLowerList = nullptr;
    CLauncherPane* m_pExtMenu = nullptr;
    CLauncherWnd* m_pLauncher = nullptr;
    CSampleCreateDlg* m_pSampleDlg = nullptr;

    CString m_strSettingsCompanyKey = fovea::kSettingsCompanyKey;
    CString m_strSettingsProductKey = fovea::kSettingsProductKey;

    // Set by InitInstance when the command line asks for the server roles: no window is made.
    bool m_bEmbedding = false;

private:
    int32_t* NumericMember(int index);
    bool ProcessCommandLine();

    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    bool m_bOleStarted = false;
};

// The one application object.
CFoveaApp* FoveaApp();

namespace fovea {
// Font descriptions to and from the platform's logical font.
LOGFONTA ToLogFont(const FontDescription& description);
FontDescription FromLogFont(const LOGFONTA& font);
}  // namespace fovea
