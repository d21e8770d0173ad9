// A view pane in a host window with an application object and the real plug-ins, on a scratch folder; and a
// stand-in for the Save As dialog that records what it was offered and answers as told.
#pragma once

#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "image/FoveaView.h"
#include "image/SampleCreateDlg.h"
#include "tests/support/TestSupport.h"

namespace viewtest {

// The Save As dialog: the name proposed, and the answer (empty: cancel).
struct SaveAsAnswer {
    static inline int s_nAsked = 0;
    static inline CString s_strProposed;
    static inline CString s_strAnswer;

    static BOOL WINAPI Answer(OPENFILENAMEA* ofn)
    {
        ++s_nAsked;
        s_strProposed = ofn->lpstrFile;
        if (s_strAnswer.IsEmpty())
            return FALSE;
        lstrcpynA(ofn->lpstrFile, s_strAnswer, int(ofn->nMaxFile));
        return TRUE;
    }
    static void Reset(const CString& answer)
    {
        s_nAsked = 0;
        s_strProposed = CString();
        s_strAnswer = answer;
    }
};

class ViewPaneFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app = test_support::PaneApp(m_scratch.Path());
        m_host = test_support::CreateHostWindow("ViewPaneTestHost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480);
        ASSERT_NE(nullptr, m_host);
        ASSERT_TRUE(m_pane.Create(m_host, 1, RECT{0, 0, 600, 430}));
        m_app->m_pPicView = &m_pane;
        m_previousDialog = CFoveaView::s_pfnGetSaveFileName;
        CFoveaView::s_pfnGetSaveFileName = SaveAsAnswer::Answer;
        SaveAsAnswer::Reset(CString());
        test_support::PumpMessages();
    }
    void TearDown() override
    {
        CFoveaView::s_pfnGetSaveFileName = m_previousDialog;
        m_app->m_pPicView = nullptr;
        m_app->m_pSampleDlg = nullptr;
        m_pane.DestroyWindow();
        DestroyWindow(m_host);
        test_support::PumpMessages();
        m_app.reset();
    }
    // The plug-ins beside the test program, as the program holds them.
    void LoadPlugins()
    {
        char path[MAX_PATH * 2];
        GetModuleFileNameA(nullptr, path, sizeof path);
        CString folder(path);
        folder = folder.Left(folder.ReverseFind('\\'));
        m_plugins.LoadPlugins(folder);
        m_app->m_pSampleDlg = &m_plugins;
    }
    // Presses button index of a strip of the pane, as a click does.
    void Press(CIconListBox& strip, int index)
    {
        strip.SetCaretIndex(index, true);
        m_pane.SendMessage(WM_APP_BARCOMMAND, WPARAM(strip.m_nId), 0);
        test_support::PumpMessages();
    }

    test_support::ScratchFolder m_scratch{"viewpane"};
    std::unique_ptr<CFoveaApp> m_app;
    HWND m_host = nullptr;
    CFoveaView m_pane;
    CSampleCreateDlg m_plugins;
    BOOL(WINAPI* m_previousDialog)(OPENFILENAMEA*) = nullptr;
};

} // namespace viewtest
