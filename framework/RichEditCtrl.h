// CRichEditCtrl: the platform's rich-text edit control (version 2.0 class), in 8-bit Shift-JIS text.
#pragma once

#include <richedit.h>

#include <string>

#include "framework/Wnd.h"

class CRichEditCtrl : public CWnd {
public:
    // Loads the control's library on first use; false when it is missing.
    static bool LoadLibraryOnce();
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    void SetSel(long start, long end) const
    {
        CHARRANGE range = {start, end};
        SendMessage(EM_EXSETSEL, 0, LPARAM(&range));
    }
    void ReplaceSel(const char* text, bool canUndo = false) const { SendMessage(EM_REPLACESEL, canUndo, LPARAM(text)); }
    void Clear() const { SendMessage(WM_CLEAR); }
    void Cut() const { SendMessage(WM_CUT); }
    void Copy() const { SendMessage(WM_COPY); }
    void Paste() const { SendMessage(WM_PASTE); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    void LimitText(long chars) const { SendMessage(EM_EXLIMITTEXT, 0, LPARAM(chars)); }
    long GetLimitText() const { return long(SendMessage(EM_GETLIMITTEXT)); }
    // Replaces the whole text in one step, as plain text in the system code page: a text that happens to
    // begin like rich text ("{\\rtf") is shown as it is, not interpreted. False when the control refused it.
    bool SetText(const char* text, size_t length) const;
    // The same in place of the selection (text put in after what is there when the selection is at the end).
    bool ReplaceSelText(const char* text, size_t length) const;
    // The whole text, every line break as CR LF.
    CString GetText() const { return CString(GetTextBytes()); }
    std::string GetTextBytes() const;
};
