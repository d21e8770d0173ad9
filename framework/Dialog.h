// CDialog: modal and modeless dialogs from templates in the program's resources.
#pragma once

#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nTemplateId(templateId), m_pParent(parent) {}

    // Runs the dialog modally; returns the value given to EndDialog, or -1 when it could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless (shown only when its template says WS_VISIBLE).
    bool Create(UINT templateId, CWnd* parent);
    void EndDialog(INT_PTR result);

    UINT GetTemplateId() const { return m_nTemplateId; }

    // A control's whole text, and its replacement.
    CString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
    // Check boxes: 1 checked, 0 not.
    int IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED ? 1 : 0; }
    void CheckDlgButton(int id, int check) const { ::CheckDlgButton(m_hWnd, id, check ? BST_CHECKED : BST_UNCHECKED); }
    bool IsModal() const { return m_bModal; }

    // The dialog's messages; return FALSE to leave a message to the dialog manager's default.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND other than OK and Cancel; returns true when handled.
    virtual bool OnCommand(int id, int code, HWND control) { return false; }

    // Modeless dialogs the message loop passes keyboard messages to.
    static bool PreTranslateModeless(MSG& msg);

protected:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nTemplateId;
    CWnd* m_pParent;
    bool m_bModal = false;
};
