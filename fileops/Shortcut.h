// Shell links (.LNK): resolving a link to the path it points at.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"

// Loads the link file and reads its target path; false when the file is no link or names no file-system path.
// owner is the window any resolution dialog of the shell would belong to.
bool ResolveShortcut(HWND owner, const CString& linkPath, CString& target);
