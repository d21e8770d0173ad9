// The font setting dialog (template 162): pick one of four fonts, change it with the platform's font dialog.
#pragma once

#include "framework/Dialog.h"
#include "res/resource.h"

class CFontSettingDlg : public CDialog {
public:
    CFontSettingDlg() : CDialog(IDD_FONT_SETTING) {}

    // The combo box's entries, in order, and the slot each edits; no selection edits the header font.
    static int SlotOfName(const CString& name);

    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

    // Runs the change of the selected font: the platform's font dialog, then storing and applying it.
    void ChangeFont();
    // Sends the slot's current font to the windows that use it and recomputes the derived heights.
    static void ApplyFont(int slot);

    // The selected text of the combo box, exchanged with it.
    CString m_strFontName;
    // Tests replace the platform's font dialog: returns true when the user confirmed a choice in lf.
    static bool (*s_pfnChooseFont)(HWND owner, LOGFONTA& lf);
};
