// The sample creation dialog while samples are made: one picture read or decoded, reduced to a sample, shown
// and saved; and the user's request to stop a run.
#include "app/FoveaApp.h"
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

void CSampleCreateDlg::BeginRun()
{
    m_bRunning = true;
    m_bStopRequested = false;
    if (m_hWnd) {
        ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_hWnd);
        ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
        UpdateWindow();
    }
}

void CSampleCreateDlg::EndRun()
{
    m_bRunning = false;
    if (m_hWnd)
        ShowWindow(SW_HIDE);
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
