// The plug-in host: loading by full path from the program folder (the listed eight, then any other .SPI file
// there), choosing by extension, decoding into CDib.
#include "image/SampleCreateDlg.h"

#include "app/FoveaApp.h"
#include "image/Dib.h"
#include "image/PluginFilter.h"

#include <iterator>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/ShiftJis.h"

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

// One plug-in file as loaded: its name and module (null where a file of the list did not load).
struct LoadedFile {
    CString name;
    HMODULE module = nullptr;
};

bool HasExport(HMODULE module, const char* name)
{
    return ::GetProcAddress(module, name) != nullptr;
}

// Every extension the plug-in's filter names ("*.jpg;*.jpeg;*.jpe" gives "JPG;JPEG;JPE"); empty when it has no
// information call or the call fails.
CString PluginExtensions(HMODULE module)
{
    auto info = reinterpret_cast<GetPluginInfoProc>(reinterpret_cast<void*>(::GetProcAddress(module, "GetPluginInfo")));
    if (!info)
        return CString();
    char buffer[500] = {};
    int written = info(2, buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    return written > 0 ? CString(FilterExtensions(buffer).c_str()) : CString();
}

// The eight names in list order, each tried (a missing one does not keep the later ones out), then every other
// .SPI file of the folder in name order into what is left of the slots. A file of those that does not load or
// lacks either export is let go and skipped.
std::vector<LoadedFile> LoadPluginFiles(const CString& folder)
{
    std::vector<LoadedFile> files;
    int loaded = 0;
    for (const char* name : kPluginFiles) {
        files.push_back({name, LoadPluginFile(folder, name)});
        loaded += files.back().module != nullptr;
    }
    // Without a folder the eight come from the system's search, and no folder is listed for more.
    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    fovea::ScopedFind find(folder.IsEmpty() ? INVALID_HANDLE_VALUE : ::FindFirstFileA(folder + "\\*.SPI", &data));
    if (find) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                found.push_back(data.cFileName);
        } while (::FindNextFileA(find.get(), &data));
    }
    for (const std::string& name : ForeignPluginNames(found, {std::begin(kPluginFiles), std::end(kPluginFiles)})) {
        if (loaded >= CSampleCreateDlg::kSlots)
            break;
        HMODULE module = LoadPluginFile(folder, name.c_str());
        if (!module)
            continue;
        if (!HasExport(module, "GetPluginInfo") || !HasExport(module, "GetPicture")) {
            ::FreeLibrary(module);
            continue;
        }
        files.push_back({CString(name), module});
        ++loaded;
    }
    return files;
}

// Loading the libraries is the slowest step of creating the main window. The frame starts it on a worker
// thread when its creation begins; the dialog, created last, waits for the worker and takes the handles over,
// so the plug-ins are still loaded, in order, by the time the dialog exists.
struct PluginPrefetch {
    CString folder;
    std::vector<LoadedFile> files;
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* parameter)
    {
        auto* self = static_cast<PluginPrefetch*>(parameter);
        self->files = LoadPluginFiles(self->folder);
        return 0;
    }
};

PluginPrefetch* g_pPrefetch = nullptr;

// The prefetched files for folder, as LoadPluginFiles gives them; false when no prefetch was made for that
// folder.
bool TakePrefetched(const CString& folder, std::vector<LoadedFile>& files)
{
    if (!g_pPrefetch)
        return false;
    std::unique_ptr<PluginPrefetch> prefetch(g_pPrefetch);
    g_pPrefetch = nullptr;
    if (prefetch->thread) {
        ::WaitForSingleObject(prefetch->thread, INFINITE);
        ::CloseHandle(prefetch->thread);
    }
    if (prefetch->folder == folder) {
        files = std::move(prefetch->files);
        return true;
    }
    for (const LoadedFile& file : prefetch->files)
        if (file.module)
            ::FreeLibrary(file.module);
    return false;
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

    std::vector<LoadedFile> files;
    if (!TakePrefetched(folder, files))
        files = LoadPluginFiles(folder);

    // The files that loaded fill the slots in order. One of the eight keeps its slot even when its information
    // call fails (an empty extension); a file from beyond the list that names no extension is let go.
    int slot = 0;
    for (const LoadedFile& file : files) {
        if (!file.module)
            continue;
        bool listed = &file - files.data() < kPluginCount;
        CString extensions = PluginExtensions(file.module);
        if (slot >= kSlots || (!listed && extensions.IsEmpty())) {
            ::FreeLibrary(file.module);
            continue;
        }
        m_hPlugin[slot] = file.module;
        m_strPluginExt[slot] = extensions;
        ++slot;
        if (!listed)
            m_astrPluginFile.Add(file.name);
    }
}

int CSampleCreateDlg::FindPlugin(const CString& extension) const
{
    for (int i = 0; i < kSlots && m_hPlugin[i]; ++i)
        if (ExtensionListHas(static_cast<const char*>(m_strPluginExt[i]), extension))
            return i;
    return -1;
}

bool CSampleCreateDlg::ServesExtension(const CString& extension) const
{
    return FindPlugin(CString(fovea::UpperAscii(extension.str()))) >= 0;
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
