// Shell links through the shell's link object.
#include "fileops/Shortcut.h"

#include <shlobj.h>

#include "framework/Handles.h"

bool ResolveShortcut(HWND owner, const CString& linkPath, CString& target)
{
    fovea::ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.put()))))
        return false;
    fovea::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))))
        return false;
    int wide = ::MultiByteToWideChar(CP_ACP, 0, linkPath, -1, nullptr, 0);
    if (wide <= 0)
        return false;
    std::wstring widePath(size_t(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, linkPath, -1, &widePath[0], wide);
    if (FAILED(file->Load(widePath.c_str(), STGM_READ)))
        return false;
    // No search and no dialog while drawing: the stored path is what is shown.
    link->Resolve(owner, SLR_NO_UI | SLR_NOSEARCH | SLR_NOUPDATE | (1000u << 16));
    char path[MAX_PATH * 2] = {};
    WIN32_FIND_DATAA found;
    if (FAILED(link->GetPath(path, sizeof path, &found, 0)) || path[0] == '\0')
        return false;
    target = path;
    return true;
}
