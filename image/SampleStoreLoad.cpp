// The file list's loaded sample bank: the bank image opened as a file mapping (nothing of it read but its
// header), its names looked up through a table built at load, the colour cube's memory DC, and the bank opened
// again when it changes on disk while shown.
#include "app/FoveaApp.h"
#include "browser/FileListBox.h"
#include "browser/FileView.h"
#include "fileops/MessageDlg.h"
#include "framework/Handles.h"
#include "image/Dib.h"
#include "image/DibWin32.h"
#include "image/SampleStore.h"

namespace {

void ReportBankNotLoaded()
{
    CMessageDlg::Show("サンプルロードのためのメモリーが不足しています。");
}

} // namespace

void CFileListBox::PrepareSampleDC()
{
    if (m_pSampleDC)
        return;
    if (!m_palette.GetSafeHandle()) {
        CDib cube;
        if (cube.MakeCubePalette() && cube.GetPalette())
            m_palette.CreatePalette(fovea::AsLogPalette(cube.GetPalette()));
    }
    fovea::ScopedGetDC listDC(m_hWnd);
    CDC screen;
    screen.Attach(listDC.get());
    auto dc = std::make_unique<CDC>();
    bool made = dc->CreateCompatibleDC(&screen);
    screen.Detach();
    if (!made)
        return;
    if (m_palette.GetSafeHandle()) {
        m_pOldPalette = dc->SelectPalette(m_palette, false);
        dc->RealizePalette();
    }
    m_pSampleDC = std::move(dc);
}

void CFileListBox::ReleaseBank()
{
    m_bank.Close();
    m_astrBankNames.RemoveAll();
    m_bankLookup.Clear();
}

void CFileListBox::LoadSamples()
{
    FindSampleDir(0);
    PrepareSampleDC();
    ReleaseBank();
    if (m_strSampleDir.IsEmpty() || !FoveaApp())
        return;
    m_nBankOrder = 3;
    OpenBank(true);
}

void CFileListBox::OpenBank(bool report)
{
    CFoveaApp* app = FoveaApp();
    const fovea::BankFiles files = fovea::BankFilesIn(m_strSampleDir);
    if (!app || files.image.IsEmpty())
        return;
    const char* message = nullptr;
    switch (m_bank.Open(files.image, app->m_nSampleWidth, app->m_nSampleHeight)) {
    case CBankMapping::kOpened:
        break;
    // A file that cannot be read or is no picture at all is reported as the bitmap code reports it.
    case CBankMapping::kUnreadable:
        message = fovea::kMsgReadError;
        break;
    case CBankMapping::kEmpty:
        message = fovea::kMsgNoMemoryOrEmpty;
        break;
    case CBankMapping::kNotPicture:
        message = fovea::kMsgInvalidFile;
        break;
    default:
        // No bank, or a picture of another sample size or depth: simply no samples.
        return;
    }
    if (message) {
        if (report) {
            fovea::ShowDibMessage(message);
            ReportBankNotLoaded();
        }
        return;
    }
    std::vector<std::string> names;
    if (!fovea::ReadBankIndexFile(files.index, names))
        return;
    for (const std::string& name : names)
        m_astrBankNames.Add(CString(name));
    m_bankLookup.Build(names, m_bank.Frames());
}

void CFileListBox::CheckBankOnDisk()
{
    if (m_bank.NeedsReopen()) {
        // A sample run moved a new bank in, or the bank was deleted: what is on disk now is shown, quietly.
        ReleaseBank();
        OpenBank(false);
    } else if (m_bank.IsOpen()) {
        m_bankLookup.LimitFrames(m_bank.CheckLength());
    }
}

void CFileListBox::SetBanksAside()
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return;
    for (CFileView* view : {app->m_pUpperList, app->m_pLowerList})
        if (view)
            view->m_wndList.m_bank.SetAside();
}

int CFileListBox::FindSampleFrame(const std::string& baseName) const
{
    return m_bank.IsOpen() ? m_bankLookup.Find(baseName) : -1;
}

int CFileListBox::FindSampleRow(const std::string& baseName) const
{
    CFoveaApp* app = FoveaApp();
    int k = FindSampleFrame(baseName);
    return k < 0 || !app ? -1 : fovea::BankFrameTop(k, m_bank.Frames(), app->m_nSampleHeight);
}

void CFileListBox::DrawSampleFrame(HDC hdc, const RECT& to, int k)
{
    // A palette display matches the frame's colours against the DC's palette: the colour cube, as a background
    // palette so that the focus window's colours are not disturbed.
    HPALETTE old = nullptr;
    bool palette = (::GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE) && m_palette.GetSafeHandle();
    if (palette) {
        old = ::SelectPalette(hdc, m_palette, TRUE);
        ::RealizePalette(hdc);
    }
    m_bank.DrawFrame(hdc, to, k);
    if (palette)
        ::SelectPalette(hdc, old, TRUE);
}
