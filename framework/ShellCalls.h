// The two calls of the shell library that the program makes. The library is large and brings two more with
// it, and both calls come long after start-up (a launcher entry's icon, a drag's format list), so it is loaded
// at the first of them instead of with the program.
#pragma once

#include "framework/Win32.h"

#include <objidl.h>

namespace fovea {

// ExtractIconA: the icon of index in file; null when the file has none (or the library is missing).
HICON ShellExtractIcon(HINSTANCE instance, const char* file, UINT index);
// SHCreateStdEnumFmtEtc: an enumerator of count formats.
HRESULT ShellEnumFormats(UINT count, const FORMATETC* formats, IEnumFORMATETC** out);

}  // namespace fovea
