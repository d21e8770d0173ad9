// CSampleCreateDlg: the sample creation dialog (template 130, hidden). It holds the image-loader plug-ins and
// decodes every picture that is not a .BMP file through them; while samples are made it is shown, draws each
// new sample and takes the user's request to stop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "res/resource.h"

class CDib;

class CSampleCreateDlg : public CDialog {
public:
    static constexpr int kSlots = 30;

    CSampleCreateDlg();
    ~CSampleCreateDlg() override;

    // Starts loading the plug-ins from folder on a worker thread; the next LoadPlugins for that folder takes
    // them over. The main frame calls it when its creation begins.
    static void PrefetchPlugins(const CString& folder);
    // Loads the plug-ins of the list in order from folder (the program folder when empty), then every other .SPI
    // file there in name order into the free slots; m_astrPluginFile names the list and those others.
    void LoadPlugins(const CString& folder = CString());
    // The slot whose plug-in serves the upper-case extension, or -1.
    int FindPlugin(const CString& extension) const;
    // True when a loaded plug-in serves the extension in any letter case: such files get samples and open in the
    // view pane besides the formats those lists name themselves.
    bool ServesExtension(const CString& extension) const;
    // Decodes path through the plug-in of slot; null when the plug-in refuses the file.
    std::unique_ptr<CDib> DecodeWith(int slot, const CString& path) const;
    // The picture a sample of width x height is made from: the plug-in's reduced picture when it offers one
    // that covers that size, else the full decode.
    std::unique_ptr<CDib> DecodeForSample(int slot, const CString& path, int width, int height) const;
    // Frees every loaded plug-in.
    void UnloadPlugins();

    BOOL OnInitDialog() override;

    // Making samples. MakeSample writes the sample of one picture to samplePath and draws it at (30, 30).
    enum SampleResult { kSampleMade, kNoSample, kSampleNotWritten };
    SampleResult MakeSample(const CString& picturePath, const CString& samplePath, CString extension);
    // A run shows the dialog; Escape, its cancel button or closing it asks the run to stop after the current
    // picture. There is one dialog and one run at a time in the whole program: BeginRun is false while a run
    // is going on.
    bool BeginRun();
    void EndRun();
    bool StopRequested() const { return m_bStopRequested; }
    void RequestStop() { m_bStopRequested = true; }
    bool IsRunning() const { return m_bRunning; }
    void OnCancel() override;
    // The main window asked to close during the run: the run stops after its current picture, and the window
    // is closed once what was made is written. TakeCloseRequest answers once.
    void RequestClose() { m_bCloseRequested = m_bStopRequested = true; }
    bool TakeCloseRequest();

    // One picture of a run: its base name and extension (the list item's fields 5 and 4).
    struct RunPicture {
        std::string name;
        std::string extension;
    };
    // Makes the samples of pictures in folder into sampleDir, in order, dispatching the waiting messages before
    // each one and showing "n / N" and the picture's name. The names whose sample files were written, in order;
    // writeFailed when a sample file could not be written (the run stops there).
    std::vector<std::string> MakeSamples(const CString& folder, const CString& sampleDir,
                                         const std::vector<RunPicture>& pictures, bool& writeFailed);
    // Dispatches every waiting message, as the program's own loop would, so that the windows keep painting
    // during a run; Escape in any window of the program asks the run to stop.
    void DispatchPending();
    // The id of the line that shows a run's progress.
    static constexpr int kProgressId = 1001;

    CPalette m_palette; // the colour cube, for the preview of new samples
    HMODULE m_hPlugin[kSlots] = {};
    CString m_strPluginExt[kSlots]; // each plug-in's extensions in upper case, joined by ';'
    CStringArray m_astrPluginFile;

private:
    FARPROC PluginProc(int slot, const char* name) const;
    static std::unique_ptr<CDib> CallDecoder(FARPROC proc, const CString& path);

    void ShowProgress(int done, int total, const CString& name);

    bool m_bRunning = false;
    bool m_bStopRequested = false;
    bool m_bCloseRequested = false;
};
