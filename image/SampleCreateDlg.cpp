// The plug-in host: loading by full path from the program folder, choosing by extension, decoding into CDib.
#include "image/SampleCreateDlg.h"

#include "app/FoveaApp.h"
#include "image/Dib.h"
#include "image/PluginFilter.h"

namespace {

// The exports, called __stdcall and found by their plain names. The optional GetPreview takes the arguments of
// GetPicture.
using GetPluginInfoProc = int(WINAPI*)(int infono, LPSTR buf, int buflen);
using GetPictureProc = int(WINAPI*)(LPCSTR buf, LONG len, UINT flag, HANDLE* pHBInfo, HANDLE* pHBm,
                                    FARPROC progress, LONG lData);

const char* const kPluginFiles[] = {"IFJPEG.SPI", "IFGIF.SPI",  "IFTIFF.SPI", "IFXLD4.SPI",
                                    "IFMAG.SPI",  "IFPIC.SPI",  "IFPIC2.SPI", "IFPI.SPI"};

constexpr int kPluginCount = int(sizeof kPluginFiles / sizeof kPluginFiles[0]);

// Listing a folder makes it the current one: keep it out of the DLL search so that no file there is loaded.
void KeepCurrentFolderOutOfDllSearch()
{
    using SetDllDirectoryProc = BOOL(WINAPI*)(LPCSTR);
    if (auto setDllDirectory = reinterpret_cast<SetDllDirectoryProc>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA"))))
        setDllDirectory("");
}

// Loads one plug-in by full path without the system's error boxes for a damaged file.
HMODULE LoadPluginFile(const CString& folder, const char* name)
{
    using SetThreadErrorModeProc = BOOL(WINAPI*)(DWORD, DWORD*);
    static auto setThreadErrorMode = reinterpret_cast<SetThreadErrorModeProc>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetThreadErrorMode")));
    DWORD previous = 0;
    if (setThreadErrorMode)
        setThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    HMODULE module = ::LoadLibraryA(folder.IsEmpty() ? CString(name) : folder + "\\" + name);
    if (setThreadErrorMode)
        setThreadErrorMode(previous, nullptr);
    return module;
}

// Loading the libraries is the slowest step of creating the main window. The frame starts it on a worker
// thread when its creation begins; the dialog, created last, waits for the worker and takes the handles over,
// so the plug-ins are still loaded, in order, by the time the dialog exists.
struct PluginPrefetch {
    CString folder;
    HMODULE modules[kPluginCount] = {};
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* parameter)
    {
        auto* self = static_cast<PluginPrefetch*>(parameter);
        for (int i = 0; i < kPluginCount; ++i)
            self->modules[i] = LoadPluginFile(self->folder, kPluginFiles[i]);
        return 0;
    }
};

PluginPrefetch* g_pPrefetch = nullptr;

// The prefetched handles for folder, in list order (null where a file did not load); false when no prefetch
// was made for that folder.
bool TakePrefetched(const CString& folder, HMODULE (&modules)[kPluginCount])
{
    if (!g_pPrefetch)
        return false;
    std::unique_ptr<PluginPrefetch> prefetch(g_pPrefetch);
    g_pPrefetch = nullptr;
    if (prefetch->thread) {
        ::WaitForSingleObject(prefetch->thread, INFINITE);
        ::CloseHandle(prefetch->thread);
    }
    bool match = prefetch->folder == folder;
    for (int i = 0; i < kPluginCount; ++i) {
        if (match)
            modules[i] = prefetch->modules[i];
        else if (prefetch->modules[i])
            ::FreeLibrary(prefetch->modules[i]);
    }
    return match;
}

}  // namespace

void CSampleCreateDlg::PrefetchPlugins(const CString& folder)
{
    if (g_pPrefetch)
        return;
    KeepCurrentFolderOutOfDllSearch();
    auto prefetch = std::make_unique<PluginPrefetch>();
    prefetch->folder = folder;
    prefetch->thread = ::CreateThread(nullptr, 0, &PluginPrefetch::Run, prefetch.get(), 0, nullptr);
    // Without a thread the dialog loads them itself.
    if (prefetch->thread)
        g_pPrefetch = prefetch.release();
}

CSampleCreateDlg::CSampleCreateDlg() : CDialog(IDD_SAMPLE_CREATE)
{
    CDib cube;
    if (cube.MakeCubePalette() && cube.GetPalette())
        m_palette.CreatePalette(reinterpret_cast<const LOGPALETTE*>(cube.GetPalette()));
}

CSampleCreateDlg::~CSampleCreateDlg()
{
    UnloadPlugins();
}

BOOL CSampleCreateDlg::OnInitDialog()
{
    LoadPlugins();
    return TRUE;
}

void CSampleCreateDlg::LoadPlugins(const CString& folderArgument)
{
    UnloadPlugins();
    m_astrPluginFile.RemoveAll();
    for (const char* name : kPluginFiles)
        m_astrPluginFile.Add(name);

    CString folder = folderArgument;
    if (folder.IsEmpty() && FoveaApp())
        folder = FoveaApp()->m_strProgramDir;
    KeepCurrentFolderOutOfDllSearch();

    // Every name is tried; the ones that load fill the slots in list order.
    HMODULE modules[kPluginCount] = {};
    if (!TakePrefetched(folder, modules)) {
        for (int i = 0; i < kPluginCount; ++i)
            modules[i] = LoadPluginFile(folder, kPluginFiles[i]);
    }
    int slot = 0;
    for (HMODULE module : modules)
        if (module && slot < kSlots)
            m_hPlugin[slot++] = module;

    for (int i = 0; i < kSlots && m_hPlugin[i]; ++i) {
        m_strPluginExt[i].Empty();
        auto info = reinterpret_cast<GetPluginInfoProc>(
            reinterpret_cast<void*>(::GetProcAddress(m_hPlugin[i], "GetPluginInfo")));
        if (!info)
            continue;
        char buffer[500] = {};
        int written = info(2, buffer, sizeof buffer);
        buffer[sizeof buffer - 1] = '\0';
        // A plug-in whose call fails keeps an empty extension; the others are still asked.
        if (written <= 0)
            continue;
        // Every extension the filter names ("*.jpg;*.jpeg;*.jpe" gives "JPG;JPEG;JPE").
        m_strPluginExt[i] = FilterExtensions(buffer).c_str();
    }
}

int CSampleCreateDlg::FindPlugin(const CString& extension) const
{
    for (int i = 0; i < kSlots && m_hPlugin[i]; ++i)
        if (ExtensionListHas(static_cast<const char*>(m_strPluginExt[i]), extension))
            return i;
    return -1;
}

std::unique_ptr<CDib> CSampleCreateDlg::DecodeWith(int slot, const CString& path) const
{
    // Looked up at each use, as the plug-in may be any DLL with the two exports.
    return CallDecoder(PluginProc(slot, "GetPicture"), path);
}

std::unique_ptr<CDib> CSampleCreateDlg::DecodeForSample(int slot, const CString& path, int width, int height) const
{
    // The optional preview call takes the arguments of GetPicture and gives a reduced picture. It serves only
    // when it covers the sample in both directions: no sample is made from a picture smaller than itself.
    if (auto preview = CallDecoder(PluginProc(slot, "GetPreview"), path))
        if (preview->GetWidth() >= width && preview->GetHeight() >= height)
            return preview;
    return DecodeWith(slot, path);
}

FARPROC CSampleCreateDlg::PluginProc(int slot, const char* name) const
{
    if (slot < 0 || slot >= kSlots || !m_hPlugin[slot])
        return nullptr;
    return ::GetProcAddress(m_hPlugin[slot], name);
}

std::unique_ptr<CDib> CSampleCreateDlg::CallDecoder(FARPROC proc, const CString& path)
{
    auto decode = reinterpret_cast<GetPictureProc>(reinterpret_cast<void*>(proc));
    if (!decode)
        return nullptr;
    HANDLE info = nullptr;
    HANDLE bits = nullptr;
    int result = decode(path, 0, 0, &info, &bits, nullptr, 0);
    if (result != 0) {
        // Nothing is handed over on failure; a plug-in that left blocks behind anyway does not leak them.
        if (info)
            ::LocalFree(info);
        if (bits && bits != info)
            ::LocalFree(bits);
        return nullptr;
    }
    if (!info || !bits)
        return nullptr;
    // The bitmap takes over both blocks and checks them before use.
    auto dib = std::make_unique<CDib>(bits, info);
    if (dib->IsEmpty())
        return nullptr;
    return dib;
}

void CSampleCreateDlg::UnloadPlugins()
{
    for (HMODULE& module : m_hPlugin) {
        if (module)
            ::FreeLibrary(module);
        module = nullptr;
    }
    for (CString& extension : m_strPluginExt)
        extension.Empty();
}
