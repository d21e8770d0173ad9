// CMainFrame: the main window.
#pragma once

#include "framework/FrameWnd.h"

class CMainFrame : public CFrameWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    int m_bCreated = 0;

protected:
    bool OnCreateClient() override;
};
