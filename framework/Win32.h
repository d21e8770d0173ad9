// The platform headers, included the same way everywhere, and the application message.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

// Every command strip and list reports a press with this message, sent (never posted) to its parent:
// wparam = the sender's id, lparam = 0.
constexpr UINT WM_APP_BARCOMMAND = WM_APP + 0x2D;
