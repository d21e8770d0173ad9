// CTextEdit: the text view's rich edit control. Anything that would change the text first lets the text view
// finish putting a text in, so that an edit never lands between two pieces of a text still loading.
#pragma once

#include <functional>

#include "framework/RichEditCtrl.h"

class CTextEdit : public CRichEditCtrl {
public:
    // Called before the control takes an edit.
    std::function<void()> m_beforeEdit;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static bool ChangesText(UINT message, WPARAM wParam);
};
