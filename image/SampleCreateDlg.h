// CSampleCreateDlg: the sample creation dialog (template 130, hidden). It holds the image-loader plug-ins and
// decodes every picture that is not a .BMP file through them.
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
    // Loads the plug-ins of m_astrPluginFile in order from folder (the program folder when empty).
    void LoadPlugins(const CString& folder = CString());
    // The slot whose plug-in serves the upper-case extension, or -1.
    int FindPlugin(const CString& extension) const;
    // Decodes path through the plug-in of slot; null when the plug-in refuses the file.
    std::unique_ptr<CDib> DecodeWith(int slot, const CString& path) const;
    // Frees every loaded plug-in.
    void UnloadPlugins();

    BOOL OnInitDialog() override;

    CPalette m_palette;  // the colour cube, for the preview of new samples
    HMODULE m_hPlugin[kSlots] = {};
    CString m_strPluginExt[kSlots];  // each plug-in's extensions in upper case, joined by ';'
    CStringArray m_astrPluginFile;
};
