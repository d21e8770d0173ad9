// CFileOps: shell links (.LNK) written and read through the shell's own link object. Every link the program
// reads goes through ResolveShortcut.
#include "fileops/FileOps.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "fileops/PathNames.h"
#include "framework/Handles.h"

namespace {

// Texts read back from a link: a description may hold up to INFOTIPSIZE characters, paths far less.
constexpr int kTextBuffer = 1024;

HRESULT CreateLinkObject(fovea::ComPtr<IShellLinkA>& link)
{
    return ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(link.put()));
}

} // namespace

HRESULT CFileOps::CreateShortcut(CString target, CString linkPath, CString workingDir, CString arguments,
                                 CString description)
{
    fovea::ComPtr<IShellLinkA> link;
    HRESULT status = CreateLinkObject(link);
    if (FAILED(status))
        return status;
    link->SetPath(target);
    link->SetDescription(description);
    link->SetWorkingDirectory(workingDir);
    link->SetArguments(arguments);
    fovea::ComPtr<IPersistFile> file;
    status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
    if (FAILED(status))
        return status;
    std::wstring wide = fovea::WideOf(linkPath);
    if (wide.empty())
        return E_INVALIDARG;
    return file->Save(wide.c_str(), TRUE);
}

HRESULT CFileOps::ResolveShortcut(HWND window, CString linkPath, CString& target, CString& workingDir,
                                  CString& arguments, CString& description, bool search)
{
    fovea::ComPtr<IShellLinkA> link;
    HRESULT status = CreateLinkObject(link);
    if (FAILED(status))
        return status;
    fovea::ComPtr<IPersistFile> file;
    status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
    if (FAILED(status))
        return status;
    std::wstring wide = fovea::WideOf(linkPath);
    if (wide.empty())
        return E_INVALIDARG;
    status = file->Load(wide.c_str(), STGM_READ);
    if (FAILED(status))
        return status;
    // Quiet: no window, no search and no rewrite of the link, at most one second (the high word).
    DWORD quiet = SLR_NO_UI | SLR_NOSEARCH | SLR_NOTRACK | SLR_NOUPDATE | (1000u << 16);
    status = link->Resolve(window, search ? DWORD(SLR_ANY_MATCH) : quiet);
    if (FAILED(status))
        return status;

    std::vector<char> buffer(kTextBuffer);
    auto read = [&buffer](HRESULT result, CString& out) {
        out = SUCCEEDED(result) ? CString(buffer.data()) : CString();
        buffer.assign(buffer.size(), '\0');
        return result;
    };
    CString path, folder, args, text;
    WIN32_FIND_DATAA found = {};
    read(link->GetPath(buffer.data(), kTextBuffer - 1, &found, SLGP_SHORTPATH), path);
    // Some shells report success for a target that is gone; such a link is not resolved, so that nobody is
    // handed a path that is not there.
    if (!path.IsEmpty() && ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    read(link->GetWorkingDirectory(buffer.data(), kTextBuffer - 1), folder);
    read(link->GetArguments(buffer.data(), kTextBuffer - 1), args);
    status = read(link->GetDescription(buffer.data(), kTextBuffer - 1), text);
    target = path.IsEmpty() ? path : fovea::ShortPathOf(path);
    workingDir = folder;
    arguments = args;
    description = text;
    return status;
}
