// The file list's loaded sample bank: the bank image read once, straight into the DIB section that the catalog
// cells are copied from, the names looked up through a table built at load, and the memory DC that holds it.
#include <algorithm>

#include "app/FoveaApp.h"
#include "browser/FileListBox.h"
#include "fileops/MessageDlg.h"
#include "framework/Handles.h"
#include "image/Dib.h"
#include "image/DibWin32.h"
#include "image/SampleStore.h"

namespace {

void ReportBankNotLoaded()
{
    CMessageDlg report;
    report.SetMessages("サンプルロードのためのメモリーが不足しています。", "", "", "", "");
    report.DoModal();
}

// Reads count bytes at the file's current position; the bytes actually read.
uint64_t ReadBytes(HANDLE file, uint8_t* to, uint64_t count)
{
    uint64_t done = 0;
    while (done < count) {
        DWORD step = DWORD(std::min<uint64_t>(count - done, 16u << 20));
        DWORD got = 0;
        if (!::ReadFile(file, to + done, step, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

CFileListBox::~CFileListBox()
{
    ReleaseBank();
    if (m_pSampleDC) {
        if (m_pOldPalette)
            ::SelectPalette(*m_pSampleDC, m_pOldPalette, FALSE);
        m_pSampleDC.reset();
    }
}

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
    if (m_pSampleDC && m_pOldBitmap)
        m_pSampleDC->SelectObject(m_pOldBitmap);
    m_pOldBitmap = nullptr;
    m_pBankBitmap.reset();
    m_astrBankNames.RemoveAll();
    m_bankLookup.Clear();
    m_nBankFrames = 0;
}

void CFileListBox::LoadSamples()
{
    FindSampleDir(0);
    PrepareSampleDC();
    ReleaseBank();
    CFoveaApp* app = FoveaApp();
    if (m_strSampleDir.IsEmpty() || !app || !m_pSampleDC)
        return;
    m_nBankOrder = 3;
    const fovea::BankFiles files = fovea::BankFilesIn(m_strSampleDir);

    // A folder without samples is the usual case: no message.
    DWORD attributes = files.image.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(files.image);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    fovea::ScopedFile image(::CreateFileA(files.image, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!image) {
        fovea::ShowDibMessage(fovea::kMsgReadError);
        ReportBankNotLoaded();
        return;
    }
    LARGE_INTEGER size = {};
    uint8_t head[fovea::kBankHeadBytes];
    DWORD headBytes = 0;
    if (!::GetFileSizeEx(image.get(), &size) ||
        !::ReadFile(image.get(), head, DWORD(std::min<LONGLONG>(size.QuadPart, sizeof head)), &headBytes, nullptr))
        headBytes = 0;
    fovea::BankImageLayout layout;
    if (!fovea::ReadBankImageLayout(head, headBytes, uint64_t(size.QuadPart), app->m_nSampleWidth, app->m_nSampleHeight,
                                    layout)) {
        // A picture of another sample size or depth simply gives no samples; a file that is no picture at all
        // is reported as the bitmap code reports it.
        bool picture = headBytes >= 54 && head[0] == 'B' && head[1] == 'M';
        if (!picture) {
            fovea::ShowDibMessage(size.QuadPart == 0 ? fovea::kMsgNoMemoryOrEmpty : fovea::kMsgInvalidFile);
            ReportBankNotLoaded();
        }
        return;
    }

    std::vector<std::string> names;
    if (!fovea::ReadBankIndexFile(files.index, names))
        return;
    for (const std::string& name : names)
        m_astrBankNames.Add(CString(name));
    if (layout.frames == 0)
        return;

    // The rows go from the file straight into the bitmap drawn from: no second copy, no second pass.
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(*m_pSampleDC, fovea::AsBitmapInfo(layout.bitmapInfo.data()), DIB_RGB_COLORS,
                                         &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            ::DeleteObject(section);
        ReportBankNotLoaded();
        return;
    }
    auto bitmap = std::make_unique<CBitmap>();
    bitmap->Attach(section);
    LARGE_INTEGER start;
    start.QuadPart = layout.bitsOffset;
    uint64_t read = 0;
    if (::SetFilePointerEx(image.get(), start, nullptr, FILE_BEGIN))
        read = ReadBytes(image.get(), static_cast<uint8_t*>(bits), layout.RowsBytes());
    // A file cut short since its size was taken: only the frames read whole are drawn.
    uint64_t frameBytes = uint64_t(layout.rowBytes) * uint64_t(layout.frameHeight);
    int complete = int(std::min<uint64_t>(uint64_t(layout.frames), read / frameBytes));
    ::GdiFlush();

    m_pBankBitmap = std::move(bitmap);
    m_pOldBitmap = m_pSampleDC->SelectObject(*m_pBankBitmap);
    m_nBankFrames = layout.frames;
    m_bankLookup.Build(names, complete);
}
