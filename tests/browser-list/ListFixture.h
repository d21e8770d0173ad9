// A file view with its folder tree in a visible test window, over a scratch folder of known entries.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/FoveaApp.h"
#include "browser/DirView.h"
#include "browser/FileView.h"
#include "tests/support/TestSupport.h"

namespace listtest {

using namespace test_support;

// A file of size bytes last written on the given local day (noon).
inline bool MakeFile(const CString& path, DWORD size = 0, int year = 1996, int month = 5, int day = 1)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> bytes(size, 'x');
    DWORD written = 0;
    bool ok = size == 0 || WriteFile(file, bytes.data(), size, &written, nullptr);
    SYSTEMTIME local = {WORD(year), WORD(month), 0, WORD(day), 12, 0, 0, 0};
    FILETIME localTime, utc;
    ok = ok && SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, &utc) &&
         SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
    return ok;
}

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        SetCurrentDirectoryA(TempFolder());
        ASSERT_TRUE(IsFolder(m_strRoot));

        m_app = PaneApp(m_strRoot);
        m_app->m_nListItemHeight = 18;
        m_app->m_nIconWidth = 18;
        m_app->m_nHeaderHeight = 17;
        m_app->m_nSampleWidth = 80;
        m_app->m_nSampleHeight = 60;

        m_host = Host();
        ASSERT_NE(nullptr, m_host);
        ASSERT_TRUE(m_tree.Create(m_host, 1, RECT{0, 0, 200, 540}));
        ASSERT_TRUE(m_view.Create(m_host, 2, RECT{200, 0, 1000, 540}));
        m_app->m_pUpperTree = &m_tree;
        m_app->m_pUpperList = &m_view;
        PumpMessages();
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        m_tree.DestroyWindow();
        PumpMessages();
        m_app.reset();
        SetCurrentDirectoryA(TempFolder()); // the listed folder is the current one, which cannot be removed
    }

    // One visible top-level window for the whole run: Wine without a window manager waits for a hidden
    // top-level window to be withdrawn, which would cost seconds per test.
    static HWND Host()
    {
        static HWND host = CreateHostWindow("FoveaListTestHost", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 560);
        return host;
    }

    CFileListBox& List() { return m_view.m_wndList; }
    std::vector<CString> Names()
    {
        std::vector<CString> names;
        for (int i = 0; i < List().GetCount(); ++i)
            names.push_back(List().GetItemFileName(i));
        return names;
    }
    int IndexOf(const char* name)
    {
        for (int i = 0; i < List().GetCount(); ++i)
            if (List().GetItemFileName(i) == name)
                return i;
        return -1;
    }
    void Command(int id, int button, CIconListBox* bar = nullptr)
    {
        if (bar)
            bar->SetCaretIndex(button, true);
        m_view.SendMessage(WM_APP_BARCOMMAND, WPARAM(id), 0);
        PumpMessages();
    }
    void Mode(int button) { Command(CFileView::kModeBarId, button, &m_view.m_wndModeBar); }

    ScratchFolder m_scratch{"list"};
    const CString m_strRoot = m_scratch.Path();
    std::unique_ptr<CFoveaApp> m_app;
    HWND m_host = nullptr;
    CDirView m_tree;
    CFileView m_view;
};

} // namespace listtest
