// The sample creation dialog while samples are made: one picture read or decoded, reduced to a sample, shown
// and saved; and the user's request to stop a run.
#include <algorithm>

#include "app/FoveaApp.h"
#include "fileops/FileOps.h"
#include "framework/Handles.h"
#include "image/Dib.h"
#include "image/SampleBank.h"
#include "image/SampleCreateDlg.h"

namespace {

constexpr int kPreviewX = 30;
constexpr int kPreviewY = 30;

} // namespace

CSampleCreateDlg::SampleResult CSampleCreateDlg::MakeSample(const CString& picturePath, const CString& samplePath,
                                                            CString extension)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return kNoSample;
    const int width = app->m_nSampleWidth;
    const int height = app->m_nSampleHeight;
    extension.MakeUpper();

    CDib picture;
    if (extension == "BMP") {
        // A picture that cannot be read leaves the sample empty: its file is written with length 0.
        picture.LoadFile(picturePath);
    } else {
        int slot = FindPlugin(extension);
        if (slot < 0)
            return kNoSample;
        std::unique_ptr<CDib> decoded = DecodeForSample(slot, picturePath, width, height);
        if (!decoded)
            return kNoSample;
        picture = std::move(*decoded);
    }

    CDib sample;
    sample.ConvertFrom(fovea::SampleDepth(app->m_nSampleBits), picture, width, height);
    picture.Empty();

    if (m_hWnd && !sample.IsEmpty()) {
        fovea::ScopedGetDC dialogDC(m_hWnd);
        CDC dc;
        if (dialogDC.get() && dc.Attach(dialogDC.get())) {
            HPALETTE old = m_palette.GetSafeHandle() ? dc.SelectPalette(m_palette, false) : nullptr;
            if (old)
                dc.RealizePalette();
            sample.Draw(dc, kPreviewX, kPreviewY);
            if (old)
                dc.SelectPalette(old, false);
            dc.Detach();
        }
    }
    if (!sample.SaveFile(samplePath)) {
        // Half a sample would be merged as a broken one: nothing of it stays.
        ::DeleteFileA(samplePath);
        return kSampleNotWritten;
    }
    return sample.IsEmpty() ? kNoSample : kSampleMade;
}

bool CSampleCreateDlg::BeginRun()
{
    if (m_bRunning)
        return false;
    m_bRunning = true;
    m_bStopRequested = false;
    m_bCloseRequested = false;
    if (m_hWnd) {
        ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_hWnd);
        ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
        UpdateWindow();
    }
    return true;
}

void CSampleCreateDlg::EndRun()
{
    m_bRunning = false;
    if (m_hWnd) {
        ShowWindow(SW_HIDE);
        if (HWND progress = ::GetDlgItem(m_hWnd, kProgressId))
            ::SetWindowTextA(progress, "");
    }
}

bool CSampleCreateDlg::TakeCloseRequest()
{
    bool requested = m_bCloseRequested;
    m_bCloseRequested = false;
    return requested;
}

void CSampleCreateDlg::OnCancel()
{
    // The cancel button, Escape and the close box: a run stops after its current picture. Outside a run the
    // dialog is simply hidden.
    if (m_bRunning)
        m_bStopRequested = true;
    else
        CDialog::OnCancel();
}

void CSampleCreateDlg::DispatchPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program is ending: the run stops and the loop sees the request again.
            ::PostQuitMessage(int(msg.wParam));
            RequestStop();
            return;
        }
        if (m_bRunning && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            RequestStop();
            continue;
        }
        if (CDialog::PreTranslateModeless(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void CSampleCreateDlg::ShowProgress(int done, int total, const CString& name)
{
    if (!m_hWnd)
        return;
    HWND line = ::GetDlgItem(m_hWnd, kProgressId);
    if (!line) {
        // Above the preview, which is drawn from (30, 30); the dialog owns and destroys it.
        RECT client = GetClientRect();
        line = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 4, 4,
                                 std::max(0, int(client.right) - 8), 20, m_hWnd, HMENU(INT_PTR(kProgressId)),
                                 ::GetModuleHandleA(nullptr), nullptr);
        if (!line)
            return;
        ::SendMessageA(line, WM_SETFONT, ::SendMessageA(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    }
    CString text;
    text.Format("%d / %d  ", done, total);
    ::SetWindowTextA(line, text + name);
    ::UpdateWindow(line);
}

std::vector<std::string> CSampleCreateDlg::MakeSamples(const CString& folder, const CString& sampleDir,
                                                       const std::vector<RunPicture>& pictures, bool& writeFailed)
{
    writeFailed = false;
    std::vector<std::string> made;
    CFileOps ops;
    const int total = int(pictures.size());
    for (int i = 0; i < total; ++i) {
        DispatchPending();
        if (StopRequested())
            break;
        const RunPicture& picture = pictures[size_t(i)];
        const CString fileName = CString(picture.name) + "." + CString(picture.extension);
        const CString picturePath = folder + "\\" + fileName;
        const CString samplePath = sampleDir + "\\" + CString(picture.name) + ".SMP";
        ShowProgress(i + 1, total, fileName);
        ops.ShowStatusText(0, "DrawItem Start" + picturePath);
        SampleResult result = MakeSample(picturePath, samplePath, picture.extension);
        ops.ShowStatusText(0, "DrawItem End" + picturePath);
        if (result == kSampleNotWritten) {
            // The disk is full or refuses the folder: every further sample would fail the same way.
            writeFailed = true;
            break;
        }
        made.push_back(picture.name);
    }
    return made;
}
