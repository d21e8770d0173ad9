// Measures the sample store under Wine (tools/bench/samples.sh):
//   bench_samples make FOLDER OUT [EXT]      samples of every *.EXT (JPG) of FOLDER written to OUT; prints "make COUNT
//   MS"
// (A folder shown from its bank is measured by tools/bench/listing.sh.)
#include "framework/Win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/FoveaApp.h"
#include "browser/FileListBox.h"
#include "framework/Handles.h"
#include "image/Dib.h"
#include "image/SampleCreateDlg.h"
#include "tools/bench/BenchClock.h"

namespace {

using bench::Median;
using bench::Now;

std::vector<CString> FilesOf(const CString& folder, const char* pattern)
{
    std::vector<CString> names;
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(FindFirstFileA(folder + "\\" + pattern, &data));
    if (find) {
        do
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        while (FindNextFileA(find.get(), &data));
    }
    return names;
}

CString ProgramFolder()
{
    char path[MAX_PATH * 2];
    GetModuleFileNameA(nullptr, path, sizeof path);
    CString folder(path);
    return folder.Left(folder.ReverseFind('\\'));
}

// Samples of every picture of FOLDER with the extension ext (upper case, as the list gives it to the maker).
int Make(const CString& folder, const CString& out, const CString& ext)
{
    CSampleCreateDlg dialog;
    dialog.LoadPlugins(ProgramFolder());
    std::vector<CString> pictures = FilesOf(folder, "*." + ext);
    double start = Now();
    int made = 0;
    for (const CString& name : pictures) {
        CString base = name.Left(name.ReverseFind('.'));
        if (dialog.MakeSample(folder + "\\" + name, out + "\\" + base + ".SMP", ext) == CSampleCreateDlg::kSampleMade)
            ++made;
    }
    double ms = Now() - start;
    if (made != int(pictures.size())) {
        std::fprintf(stderr, "made %d samples of %d pictures\n", made, int(pictures.size()));
        return 1;
    }
    std::printf("make %d %.1f\n", made, ms);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CFoveaApp app;
    app.m_nListItemHeight = 18;
    app.m_nIconWidth = 18;
    app.m_nSampleWidth = 80;
    app.m_nSampleHeight = 60;
    app.m_nSampleBits = 24;
    app.m_strBank24Image = "SB2400.BMS";
    app.m_strBank24Index = "SB2400.TXT";
    app.m_strBank8Image = "SB0800.BMS";
    app.m_strBank8Index = "SB0800.TXT";
    fovea::SetDibMessageSink([](const char* text) { std::fprintf(stderr, "%s\n", text); });
    CString mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && (argc == 4 || argc == 5))
        return Make(argv[2], argv[3], argc == 5 ? argv[4] : "JPG");
    std::fprintf(stderr, "usage: bench_samples make FOLDER OUT [EXT]\n");
    return 2;
}
