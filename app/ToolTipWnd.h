// CToolTipWnd: the tip window (template 154). While the program is idle it follows the pointer: over a button
// or a window that explains itself it shows that text in the tip font, elsewhere it hides.
#pragma once

#include "app/ToolTipRules.h"
#include "framework/Dialog.h"
#include "res/resource.h"

class CFoveaApp;

class CToolTipWnd : public CDialog {
public:
    CToolTipWnd() : CDialog(IDD_TIP) {}

    // One pass of the application's idle processing: updates the tip for the pointer. A pass with the pointer
    // where the last one left it, and no message handled between (count above 0), changes nothing. While a tip
    // is shown the pointer may leave the program's windows without a move message: the window under it is
    // asked to report the leave, and where it cannot, the result is true and the idle pass comes again shortly.
    bool OnIdle(CFoveaApp& app, long count);
    // The update for a pointer at the screen point.
    void Update(CFoveaApp& app, POINT pointer);
    void Hide();

    // Where the numbered windows of the program are on the screen.
    static fovea::TipScene ReadScene(const CFoveaApp& app);
    // The window of number window, or null while it does not exist.
    static HWND TipWindowHandle(const CFoveaApp& app, int window);
    // The window that takes the keyboard while the pointer rests on the program: the picture area when the view
    // pane shows a picture, the text's edit control when it shows a text.
    static HWND FocusTarget(const CFoveaApp& app);

    // What the tip shows: its lines (1 or 4) and their texts.
    int GetLineCount() const { return m_nLines; }
    const CString& GetLine(int i) const { return m_astrLines[i]; }

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Show(int mode, const CString (&lines)[4], POINT anchor);
    void OnPaint();
    // Gives the keyboard to the focus target, but only while the pointer is over one of the program's own
    // windows and the program is the active one: a tip never takes the keyboard from another program.
    static void MoveFocus(const CFoveaApp& app, POINT pointer);
    // Asks the program's window under the pointer to post a leave message when the pointer leaves it.
    static bool ReportLeave(POINT pointer);

    CString m_astrLines[4];
    int m_nLines = 0;
    int m_nLineHeight = 0;
    // The last pass, to skip passes that would change nothing.
    POINT m_ptLast = {-32768, -32768};
    int m_nLastMode = -1;
    bool m_bLeaveReported = false;
    int m_nRewoken = 0;
    static constexpr int kRewokenLimit = 8;
};
