// The file view's sample commands: making the samples of the selected pictures and merging them into the
// folder's bank, and deleting the bank.
#include "app/FoveaApp.h"
#include "browser/FileView.h"
#include "fileops/FileOps.h"
#include "fileops/MessageDlg.h"
#include "framework/File.h"
#include "image/Dib.h"
#include "image/SampleBank.h"
#include "image/SampleCreateDlg.h"
#include "image/SampleStore.h"

namespace {

struct Picture {
    std::string name;
    std::string extension;
};

// Dispatches every waiting message, as the program's own loop would, so that the windows keep painting during a
// run. Escape pressed in any window of the program asks the run to stop.
void DispatchPending(CSampleCreateDlg* dialog)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program is ending: the run stops and the loop sees the request again.
            ::PostQuitMessage(int(msg.wParam));
            if (dialog)
                dialog->RequestStop();
            return;
        }
        if (dialog && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            dialog->RequestStop();
            continue;
        }
        if (CDialog::PreTranslateModeless(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace

void CFileView::CreateSamples()
{
    if (m_bMakingSamples)
        return;
    if (CMessageDlg::Show("このフォルダ内の選択された画像について、", "サンプルファイルを作成します。",
                          "多少時間がかかりますが次回このフォルダをアクセス",
                          "したときは、高速にすべてのサンプルを表示します") != IDOK)
        return;
    CFoveaApp* app = FoveaApp();
    CSampleCreateDlg* dialog = app ? app->m_pSampleDlg : nullptr;
    m_bMakingSamples = true;
    DispatchPending(nullptr);
    if (dialog)
        dialog->BeginRun();
    CFileListBox& list = m_wndList;
    list.FindSampleDir(1);

    // What the run works on is taken now: the user may select or even list another folder while it runs.
    const CString folder = list.m_strPath;
    const CString sampleDir = list.m_strSampleDir;
    std::vector<Picture> targets;
    std::vector<Picture> chosen;
    for (int i = 0, count = list.GetCount(); i < count; ++i) {
        fovea::ItemFields fields = list.GetItemFields(i);
        // Besides the listed formats, every extension a loaded plug-in serves gets a sample.
        if (!fovea::IsSampleTarget(fields.extension) && !(dialog && dialog->ServesExtension(fields.extension)))
            continue;
        targets.push_back({fields.name, fields.extension});
        if (list.GetSel(i) > 0)
            chosen.push_back(targets.back());
    }

    CFileOps ops;
    std::vector<std::string> made;
    bool writeFailed = false;
    for (const Picture& picture : chosen) {
        if (sampleDir.IsEmpty() || !dialog)
            break;
        DispatchPending(dialog);
        if (dialog->StopRequested())
            break;
        CString picturePath = folder + "\\" + CString(picture.name) + "." + CString(picture.extension);
        CString samplePath = sampleDir + "\\" + CString(picture.name) + ".SMP";
        ops.ShowStatusText(0, "DrawItem Start" + picturePath);
        CSampleCreateDlg::SampleResult result = dialog->MakeSample(picturePath, samplePath, picture.extension);
        ops.ShowStatusText(0, "DrawItem End" + picturePath);
        if (result == CSampleCreateDlg::kSampleNotWritten) {
            // The disk is full or refuses the folder: every further sample would fail the same way.
            writeFailed = true;
            break;
        }
        made.push_back(picture.name);
    }
    if (dialog)
        dialog->EndRun();

    if (!sampleDir.IsEmpty()) {
        ops.ShowStatusText(0, "リスト作成中");
        CFileListBox::SetBanksAside(); // a mapped file cannot be replaced
        if (!MergeSamples(sampleDir, made) || writeFailed)
            writeFailed = true;
        std::vector<std::string> names;
        for (const Picture& picture : targets)
            names.push_back(picture.name);
        DeleteSampleFiles(sampleDir, names);
    }
    ops.ShowStatusText(0, "リストロード中");
    // Listed again (which loads the bank): the folder's files changed, and the bank's own files are items too.
    list.Refresh();
    list.UpdateWindow();
    m_bMakingSamples = false;
}

bool CFileView::MergeSamples(const CString& sampleDir, const std::vector<std::string>& newNames)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return false;
    const fovea::BankFiles files = fovea::BankFilesIn(sampleDir);
    if (files.image.IsEmpty())
        return false;
    std::vector<std::string> oldNames;
    CDib oldStrip;
    // A bank without names has no frame to keep: its image is not read.
    if (CFile::Exists(files.image) && fovea::ReadBankIndexFile(files.index, oldNames) && !oldNames.empty())
        oldStrip.LoadFile(files.image);

    const int bits = fovea::SampleDepth(app->m_nSampleBits);
    auto readSample = [&](const std::string& name, CDib& sample) {
        return sample.LoadFile(sampleDir + "\\" + CString(name) + ".SMP");
    };
    CDib strip;
    std::vector<std::string> names;
    CString failed = files.image;
    bool merged = fovea::MergeBank(oldNames, &oldStrip, newNames, readSample, bits, app->m_nSampleWidth,
                                   app->m_nSampleHeight, strip, names);
    oldStrip.Empty();
    if (merged && fovea::ReplaceBank(files, strip, names, &failed))
        return true;
    fovea::ReportBankWriteFailure(failed);
    return false;
}

void CFileView::DeleteSampleFiles(const CString& sampleDir, const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        ::DeleteFileA(sampleDir + "\\" + CString(name) + ".SMP");
}

void CFileView::DeleteAllSamples()
{
    if (CMessageDlg::Show("このフォルダ内のサンプル画像をすべて削除します。", "よろしいですか。") != IDOK)
        return;
    CFileListBox& list = m_wndList;
    // A disc folder that was never catalogued has no sample folder: there is nothing to delete.
    if (!list.m_strSampleDir.IsEmpty()) {
        const fovea::BankFiles files = fovea::BankFilesIn(list.m_strSampleDir);
        if (!files.image.IsEmpty()) {
            CFileListBox::SetBanksAside(); // a mapped file cannot be deleted
            ::DeleteFileA(files.image);
            ::DeleteFileA(files.index);
        }
    }
    // Listed again (which loads the bank): the folder's files changed, and the bank's own files are items too.
    list.Refresh();
    list.UpdateWindow();
}
