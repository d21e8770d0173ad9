// Start-up: start drive, drive list, program folder, defaults, working folders, settings, text metrics,
// sockets, OLE, the document template and the command line.
#include "app/FoveaApp.h"

#include "app/AboutDlg.h"
#include "app/FoveaDoc.h"
#include "app/MainFrame.h"
#include "app/ToolTipWnd.h"
#include "res/resource.h"

namespace {

CFoveaApp* g_pFoveaApp = nullptr;

// A Win32 query that fills a buffer and returns the length it needed, asked again with a larger buffer until
// nothing is cut.
template <typename Query>
CString QueryFullLength(Query query)
{
    for (DWORD size = MAX_PATH; size <= 32768 * 2; size *= 2) {
        CString text;
        DWORD n = query(text.GetBuffer(int(size)), size);
        if (n == 0)
            return CString();
        if (n < size) {
            text.ReleaseBuffer(int(n));
            return text;
        }
    }
    return CString();
}

}  // namespace

CFoveaApp* FoveaApp()
{
    return g_pFoveaApp;
}

CFoveaApp::CFoveaApp()
{
    g_pFoveaApp = this;
}

CFoveaApp::~CFoveaApp()
{
    if (m_bOleStarted)
        ::OleUninitialize();
    if (g_pFoveaApp == this)
        g_pFoveaApp = nullptr;
}

void CFoveaApp::RecordStartDrive()
{
    CString current = QueryFullLength([](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
    m_strStartDrive = current.Left(2);
}

void CFoveaApp::BuildDriveList()
{
    m_astrDrives.RemoveAll();
    // Only the letters the system has are asked for their type: each question is a request to the mount
    // manager, and most of the 26 letters are unused.
    DWORD present = ::GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(present & (DWORD(1) << (letter - 'A'))))
            continue;
        char root[] = {letter, ':', '\\', '\0'};
        UINT type = ::GetDriveTypeA(root);
        if (type == DRIVE_NO_ROOT_DIR)
            continue;
        CString entry;
        entry.Format("%01d/%c:", int(type), letter);
        m_astrDrives.Add(entry);
    }
}

void CFoveaApp::FindProgramDir()
{
    CString path = QueryFullLength([](char* buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); });
    int slash = path.ReverseFind('\\');
    m_strProgramDir = slash >= 0 ? path.Left(slash) : path;
}

void CFoveaApp::SetDefaults()
{
    m_bExtMenuShown = 0;
    m_nFilerSplit = 0;
    for (int slot = 0; slot < fovea::kFontSlotCount; ++slot)
        m_anElementFont[slot] = slot;
    m_strBank8Image = "SB0800.BMS";
    m_strBank8Index = "SB0800.TXT";
    m_strBank24Image = "SB2400.BMS";
    m_strBank24Index = "SB2400.TXT";
}

void CFoveaApp::CreateWorkingFolders()
{
    m_strMenuDir = m_strProgramDir + "\\MENU";
    m_strExtDir = m_strProgramDir + "\\EXT";
    m_strSampleRoot = m_strProgramDir + "\\IMGSMP";
    // A folder that exists already, or a read-only medium, is not an error here: whoever writes into the
    // folder meets the failure then.
    ::CreateDirectoryA(m_strMenuDir, nullptr);
    ::CreateDirectoryA(m_strExtDir, nullptr);
    ::CreateDirectoryA(m_strSampleRoot, nullptr);
}

void CFoveaApp::ComputeTextMetrics()
{
    m_nHeaderHeight = fovea::HeaderHeight(m_fontDesc[fovea::kFontHeader]);
    m_nListItemHeight = fovea::ListItemHeight(m_fontDesc[fovea::kFontFiler]);
    m_nIconWidth = m_nListItemHeight;
}

bool CFoveaApp::ProcessCommandLine()
{
    // The shell's own switches: /Embedding and /Automation (also with '-') start the server roles.
    CString fileName;
    const char* p = m_strCmdLine.c_str();
    while (*p) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        CString token;
        if (*p == '"') {
            ++p;
            while (*p && *p != '"')
                token += *p++;
            if (*p == '"')
                ++p;
        } else {
            while (*p && *p != ' ' && *p != '\t')
                token += *p++;
        }
        if (token.GetLength() > 1 && (token.GetAt(0) == '/' || token.GetAt(0) == '-')) {
            CString flag = token.Mid(1);
            flag.MakeUpper();
            if (flag == "EMBEDDING" || flag == "AUTOMATION")
                m_bEmbedding = true;
        } else if (fileName.IsEmpty()) {
            fileName = token;
        }
    }
    if (m_bEmbedding)
        return true;

    m_pDocTemplate = std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CFoveaDoc>(); }, [] { return new CMainFrame; });
    CFrameWnd* frame = m_pDocTemplate->OpenDocumentFile(fileName.IsEmpty() ? nullptr : fileName.c_str(), SW_SHOW);
    return frame != nullptr;
}

BOOL CFoveaApp::InitInstance()
{
    // A drive without a medium (an empty CD-ROM or card reader) answers the program's calls with a failure
    // instead of the system's own error box.
    ::SetErrorMode(::SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    RecordStartDrive();
    BuildDriveList();
    FindProgramDir();
    SetDefaults();
    CreateWorkingFolders();
    LoadSettings();
    ComputeTextMetrics();

    // Nothing in the program uses sockets, so they are not started: loading the socket library only slowed
    // every start.
    if (FAILED(::OleInitialize(nullptr))) {
        ::MessageBoxA(nullptr, LoadResourceString(IDS_OLE_INIT_FAILED), nullptr, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_bOleStarted = true;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    return ProcessCommandLine() ? TRUE : FALSE;
}

BOOL CFoveaApp::OnIdle(LONG count)
{
    // The rest of start-up, a piece at a time, giving way as soon as anything arrives for the program.
    while (m_pMainFrame && m_pMainFrame->ContinueStartup()) {
        if (HIWORD(::GetQueueStatus(QS_ALLINPUT)))
            return TRUE;
    }
    // The tip follows the pointer. While it is hidden nothing needs the idle pass again before the next
    // message: a pointer that comes over the program's windows sends one.
    CToolTipWnd* tip = m_pMainFrame ? m_pMainFrame->m_pTipWnd.get() : nullptr;
    return tip && tip->OnIdle(*this, count) ? TRUE : FALSE;
}

bool CFoveaApp::OnCommand(UINT id)
{
    switch (id) {
    case ID_APP_ABOUT:
        CAboutDlg().DoModal();
        return true;
    default:
        return false;
    }
}
