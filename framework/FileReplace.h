// Saving over a file only with a complete new one: written beside it under a temporary name and moved into
// place when whole, so that a failed write (full disk, no access) leaves the old file as it was. The file that
// is replaced keeps what is its own rather than its contents: hidden, system and read-only bits, creation time
// and hard links.
#pragma once

#include <functional>

#include "framework/String.h"

namespace fovea {

// Calls write with a fresh temporary path in path's folder; when it returns true the temporary file replaces
// path (or becomes it) by MoveIntoPlace. False, with the temporary file gone and path untouched, when the folder
// cannot take a new file, path is a read-only file, write fails or the move fails.
bool WriteReplacing(const CString& path, const std::function<bool(const CString& temporary)>& write);

// The bytes as the whole content of path, by WriteReplacing.
bool SaveBytesReplacing(const CString& path, const char* bytes, size_t size);

// Puts the complete file from in place of to. An existing to keeps its attributes and creation time; one with
// further hard links gets the new contents written into it, so that every name of it sees them. When backup is
// given the old file is left under that name. False when nothing could be put in place: to is then as it was
// (or, with a backup, the old file may wait under the backup name).
bool MoveIntoPlace(const CString& from, const CString& to, const CString& backup = CString());

} // namespace fovea
