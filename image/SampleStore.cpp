// The sample bank files on disk: the pair of the sample depth, the index read, and the bank replaced whole.
#include "image/SampleStore.h"

#include <algorithm>

#include "app/FoveaApp.h"
#include "fileops/MessageDlg.h"
#include "framework/File.h"
#include "framework/FileReplace.h"
#include "image/Dib.h"
#include "image/SampleBank.h"

namespace fovea {

namespace {

// Where the new files are written before they replace the bank, and where the old image waits meanwhile.
constexpr char kNewSuffix[] = ".new";
constexpr char kOldSuffix[] = ".old";

bool WriteIndexFile(const CString& path, const std::string& text)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return false;
    try {
        file.Write(text.data(), unsigned(text.size()));
        file.Close();
        return true;
    } catch (const CFileException&) {
        file.Abort();
        return false;
    }
}

bool MoveOver(const CString& from, const CString& to)
{
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

BankFiles BankFilesIn(const CString& folder)
{
    CFoveaApp* app = FoveaApp();
    bool deep = app && UsesBank24(app->m_nSampleBits);
    CString image = app ? (deep ? app->m_strBank24Image : app->m_strBank8Image) : CString();
    CString index = app ? (deep ? app->m_strBank24Index : app->m_strBank8Index) : CString();
    // Without the names set at start-up there is no bank to name.
    if (folder.IsEmpty() || image.IsEmpty() || index.IsEmpty())
        return {};
    return {folder + "\\" + image, folder + "\\" + index};
}

bool ReadBankIndexFile(const CString& path, std::vector<std::string>& names)
{
    names.clear();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return false;
    try {
        // An index is small (a line per sample); one that claims more than a bank could ever name is read only
        // as far as that.
        uint64_t length = std::min<uint64_t>(file.GetLength(), 64u << 20);
        std::string text(size_t(length), '\0');
        text.resize(file.Read(text.data(), unsigned(text.size())));
        names = ParseBankIndex(text.data(), text.size());
    } catch (const CFileException&) {
        names.clear();
    }
    file.Abort();
    return true;
}

bool ReplaceBank(const BankFiles& files, CDib& strip, const std::vector<std::string>& names, CString* failedPath)
{
    const CString newImage = files.image + kNewSuffix;
    const CString newIndex = files.index + kNewSuffix;
    const CString oldImage = files.image + kOldSuffix;
    auto fail = [&](const CString& path) {
        ::DeleteFileA(newImage);
        ::DeleteFileA(newIndex);
        if (failedPath)
            *failedPath = path;
        return false;
    };
    if (!strip.SaveFile(newImage))
        return fail(files.image);
    if (!WriteIndexFile(newIndex, FormatBankIndex(names)))
        return fail(files.index);
    // Both are complete: the old image steps aside, so that it can come back if the index cannot be moved.
    // Each replaced file keeps its attributes and creation time.
    bool hadImage = CFile::Exists(files.image);
    if (!MoveIntoPlace(newImage, files.image, hadImage ? oldImage : CString())) {
        if (hadImage && !CFile::Exists(files.image))
            MoveOver(oldImage, files.image);
        return fail(files.image);
    }
    if (!MoveIntoPlace(newIndex, files.index)) {
        if (hadImage)
            MoveOver(oldImage, files.image);
        else
            ::DeleteFileA(files.image);
        return fail(files.index);
    }
    if (hadImage)
        ::DeleteFileA(oldImage);
    return true;
}

void ReportBankWriteFailure(const CString& path)
{
    CMessageDlg::Show("サンプルファイルを書き込めませんでした。", path, "以前のサンプルはそのまま残っています。",
                      "ディスクの空きを確かめてください。");
}

bool MergeSampleFiles(const CString& sampleDir, const std::vector<std::string>& newNames)
{
    CFoveaApp* app = FoveaApp();
    if (!app)
        return false;
    const BankFiles files = BankFilesIn(sampleDir);
    if (files.image.IsEmpty())
        return false;
    std::vector<std::string> oldNames;
    CDib oldStrip;
    // A bank without names has no frame to keep: its image is not read.
    if (CFile::Exists(files.image) && ReadBankIndexFile(files.index, oldNames) && !oldNames.empty())
        oldStrip.LoadFile(files.image);

    const int bits = SampleDepth(app->m_nSampleBits);
    auto readSample = [&](const std::string& name, CDib& sample) {
        return sample.LoadFile(sampleDir + "\\" + CString(name) + ".SMP");
    };
    CDib strip;
    std::vector<std::string> names;
    CString failed = files.image;
    bool merged = MergeBank(oldNames, &oldStrip, newNames, readSample, bits, app->m_nSampleWidth, app->m_nSampleHeight,
                            strip, names);
    oldStrip.Empty();
    if (merged && ReplaceBank(files, strip, names, &failed))
        return true;
    ReportBankWriteFailure(failed);
    return false;
}

void DeleteSampleFiles(const CString& sampleDir, const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        ::DeleteFileA(sampleDir + "\\" + CString(name) + ".SMP");
}

void DeleteBank(const CString& sampleDir)
{
    const BankFiles files = BankFilesIn(sampleDir);
    if (files.image.IsEmpty())
        return;
    ::DeleteFileA(files.image);
    ::DeleteFileA(files.index);
}

void ReportNoSampleFolder(const CString& sampleRoot)
{
    CMessageDlg::Show("サンプルを保存するフォルダを作れませんでした。", sampleRoot,
                      "CD-ROMのサンプルの索引ファイルを書き込めません。", "サンプルは作成していません。");
}

} // namespace fovea
