// Saving over a file only with a complete new one: written beside it under a temporary name and moved into
// place when whole, so that a failed write (full disk, no access) leaves the old file as it was.
#pragma once

#include <functional>

#include "framework/String.h"

namespace fovea {

// Calls write with a fresh temporary path in path's folder; when it returns true the temporary file replaces
// path (or becomes it). False, with the temporary file gone and path untouched, when the folder cannot take a
// new file, path is a read-only file, write fails or the move fails.
bool WriteReplacing(const CString& path, const std::function<bool(const CString& temporary)>& write);

// The bytes as the whole content of path, by WriteReplacing.
bool SaveBytesReplacing(const CString& path, const char* bytes, size_t size);

} // namespace fovea
