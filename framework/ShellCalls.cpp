// The shell library's calls, resolved when first made.
#include "framework/ShellCalls.h"

namespace fovea {

namespace {

// Loaded once and kept for the life of the process, as an import would be.
FARPROC ShellProc(const char* name)
{
    static HMODULE shell = ::LoadLibraryA("shell32.dll");
    return shell ? ::GetProcAddress(shell, name) : nullptr;
}

}  // namespace

HICON ShellExtractIcon(HINSTANCE instance, const char* file, UINT index)
{
    using Proc = HICON(WINAPI*)(HINSTANCE, LPCSTR, UINT);
    static auto proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(ShellProc("ExtractIconA")));
    return proc ? proc(instance, file, index) : nullptr;
}

HRESULT ShellEnumFormats(UINT count, const FORMATETC* formats, IEnumFORMATETC** out)
{
    using Proc = HRESULT(WINAPI*)(UINT, const FORMATETC*, IEnumFORMATETC**);
    static auto proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(ShellProc("SHCreateStdEnumFmtEtc")));
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return proc ? proc(count, formats, out) : E_NOTIMPL;
}

}  // namespace fovea
