// Starting the programs of the launcher and the extension menu: links resolved to programs, command lines
// built with whole arguments, processes started.
#pragma once

#include "framework/String.h"
#include "framework/Win32.h"

namespace fovea {

// Starts commandLine (program first) shown normally; false when the platform refused it.
bool StartCommandLine(const CString& commandLine);

// The program a link file leads to: the link is resolved (owner is the window of any search the shell
// offers), and its target taken when that is a program (.EXE). False for a link to anything else and for a
// file that is no link.
bool ResolveProgramLink(HWND owner, const CString& linkPath, CString& program);

// Starts the program link leads to, with argument (one path, kept whole) when that is not empty. False when
// the link leads to no program or the start failed.
bool StartLinkedProgram(HWND owner, const CString& linkPath, const CString& argument);

} // namespace fovea
