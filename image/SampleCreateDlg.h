// CSampleCreateDlg: the sample creation dialog (template 130, hidden). It holds the image-loader plug-ins and
// decodes every picture that is not a .BMP file through them; while samples are made it is shown, draws each
// new sample and takes the user's request to stop.
#pragma once

#include <memory>

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
    // picture.
    void BeginRun();
    void EndRun();
    bool StopRequested() const { return m_bStopRequested; }
    void RequestStop() { m_bStopRequested = true; }
    bool IsRunning() const { return m_bRunning; }
    void OnCancel() override;

    CPalette m_palette; // the colour cube, for the preview of new samples
    HMODULE m_hPlugin[kSlots] = {};
    CString m_strPluginExt[kSlots]; // each plug-in's extensions in upper case, joined by ';'
    CStringArray m_astrPluginFile;

private:
    FARPROC PluginProc(int slot, const char* name) const;
    static std::unique_ptr<CDib> CallDecoder(FARPROC proc, const CString& path);

    bool m_bRunning = false;
    bool m_bStopRequested = false;
};
