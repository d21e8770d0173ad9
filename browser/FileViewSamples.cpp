// The file view's sample commands (file strip buttons 2 and 3): a run that makes the samples of the selected
// pictures and merges them into the folder's bank, and the deletion of the bank. The bank itself is the sample
// store's (image/SampleStore.cpp); the run's picture by picture work is the sample dialog's.
#include "app/FoveaApp.h"
#include "app/MainFrame.h"
#include "browser/FileView.h"
#include "fileops/FileOps.h"
#include "fileops/MessageDlg.h"
#include "image/SampleBank.h"
#include "image/SampleCreateDlg.h"
#include "image/SampleStore.h"

namespace {

// The main window asked to close while the run went on: now that the run's work is written, it closes.
void CloseIfAsked(CSampleCreateDlg& dialog)
{
    CFoveaApp* app = FoveaApp();
    if (dialog.TakeCloseRequest() && app && app->m_pMainFrame)
        app->m_pMainFrame->PostMessage(WM_CLOSE);
}

} // namespace

void CFileView::CreateSamples()
{
    CFoveaApp* app = FoveaApp();
    CSampleCreateDlg* dialog = app ? app->m_pSampleDlg : nullptr;
    // One run at a time in the whole program: a press in either filer during a run does nothing.
    if (!dialog || dialog->IsRunning())
        return;
    if (CMessageDlg::Show("このフォルダ内の選択された画像について、", "サンプルファイルを作成します。",
                          "多少時間がかかりますが次回このフォルダをアクセス",
                          "したときは、高速にすべてのサンプルを表示します") != IDOK)
        return;
    if (!dialog->BeginRun())
        return;
    dialog->DispatchPending();
    CFileListBox& list = m_wndList;
    list.FindSampleDir(1);

    // What the run works on is taken now: the user may select or even list another folder while it runs.
    const CString folder = list.m_strPath;
    const CString sampleDir = list.m_strSampleDir;
    std::vector<CSampleCreateDlg::RunPicture> chosen;
    std::vector<std::string> targets;
    for (int i = 0, count = list.GetCount(); i < count; ++i) {
        fovea::ItemFields fields = list.GetItemFields(i);
        // Besides the listed formats, every extension a loaded plug-in serves gets a sample.
        if (!fovea::IsSampleTarget(fields.extension) && !dialog->ServesExtension(fields.extension))
            continue;
        targets.push_back(fields.name);
        if (list.GetSel(i) > 0)
            chosen.push_back({fields.name, fields.extension});
    }
    if (sampleDir.IsEmpty()) {
        // A disc folder whose index cannot be written (a read-only medium or sample root): nothing is made.
        dialog->EndRun();
        fovea::ReportNoSampleFolder(app->m_strSampleRoot);
        CloseIfAsked(*dialog);
        return;
    }

    bool writeFailed = false;
    std::vector<std::string> made = dialog->MakeSamples(folder, sampleDir, chosen, writeFailed);
    dialog->EndRun();

    CFileOps ops;
    ops.ShowStatusText(0, "リスト作成中");
    CFileListBox::SetBanksAside(); // a mapped file cannot be replaced
    MergeSamples(sampleDir, made);
    DeleteSampleFiles(sampleDir, targets);
    ops.ShowStatusText(0, "リストロード中");
    // Listed again (which loads the bank): the folder's files changed, and the bank's own files are items too.
    list.Refresh();
    list.UpdateWindow();
    CloseIfAsked(*dialog);
}

bool CFileView::MergeSamples(const CString& sampleDir, const std::vector<std::string>& newNames)
{
    return fovea::MergeSampleFiles(sampleDir, newNames);
}

void CFileView::DeleteSampleFiles(const CString& sampleDir, const std::vector<std::string>& names)
{
    fovea::DeleteSampleFiles(sampleDir, names);
}

void CFileView::DeleteAllSamples()
{
    if (CMessageDlg::Show("このフォルダ内のサンプル画像をすべて削除します。", "よろしいですか。") != IDOK)
        return;
    // A disc folder that was never catalogued, or a drive without a disc, has no sample folder: nothing is
    // deleted anywhere.
    if (!m_wndList.m_strSampleDir.IsEmpty()) {
        CFileListBox::SetBanksAside(); // a mapped file cannot be deleted
        fovea::DeleteBank(m_wndList.m_strSampleDir);
    }
    // Listed again (which loads the bank): the folder's files changed, and the bank's own files are items too.
    m_wndList.Refresh();
    m_wndList.UpdateWindow();
}
