// What the launcher tests share: a scratch tree with MENU and EXT, the probe program copied in as EDIT.EXE, a
// document whose path holds blanks, an application object on those folders, real OLE drops at a point of the
// screen, and the reading of the command lines the probe recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FoveaApp.h"
#include "fileops/PathNames.h"
#include "launcher/ProgramStart.h"
#include "ole/DragSource.h"
#include "tests/support/TestSupport.h"

namespace launcher_test {

using namespace test_support;

class LauncherFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartOle());
        SetCurrentDirectoryA(TempFolder());
        for (const char* sub : {"\\MENU", "\\EXT", "\\Tools", "\\My Docs", "\\My Docs\\sub.exe"})
            ASSERT_TRUE(CreateDirectoryA(Root() + sub, nullptr)) << sub;
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        CString folder = self;
        folder = folder.Left(folder.ReverseFind('\\'));
        ASSERT_TRUE(CopyFileA(folder + "\\" FOVEA_ARGS_PROBE, Editor(), FALSE)) << "the probe program is missing";
        ASSERT_TRUE(WriteText(Document(), "note"));
        ASSERT_TRUE(WriteText(Root() + "\\plain.txt", "plain"));
        SetEnvironmentVariableA("FOVEA_PROBE_OUT", Record());

        m_app = PaneApp(Root());
        m_app->m_strMenuDir = Root() + "\\MENU";
        m_app->m_strExtDir = Root() + "\\EXT";
        m_app->m_nLauncherWidth = 130;
        m_app->m_bFirstRun = 1;
    }
    void TearDown() override
    {
        m_app.reset();
        SetEnvironmentVariableA("FOVEA_PROBE_OUT", nullptr);
        SetCurrentDirectoryA("C:\\");
    }

    const CString& Root() const { return m_scratch.Path(); }
    CString Editor() const { return Root() + "\\Tools\\EDIT.EXE"; }
    CString Document() const { return Root() + "\\My Docs\\a long note.txt"; }
    CString Record() const { return Root() + "\\probe.txt"; }

    // The command lines the probe recorded, once count of them are there (at most 20 seconds of waiting, the
    // window's messages pumped meanwhile); fewer when it was started fewer times.
    std::vector<std::string> Started(size_t count)
    {
        std::vector<std::string> lines;
        DWORD deadline = GetTickCount() + 20000;
        do {
            PumpMessages();
            lines = Lines(ReadText(Record()));
            if (lines.size() >= count)
                break;
            Sleep(50);
        } while (GetTickCount() < deadline);
        return lines;
    }
    // Nothing more started within a second and a half.
    std::vector<std::string> StartedMeanwhile()
    {
        DWORD until = GetTickCount() + 1500;
        while (GetTickCount() < until) {
            PumpMessages();
            Sleep(50);
        }
        return Lines(ReadText(Record()));
    }
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        if (text == "<missing>")
            return lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // A recorded command line split into the program (first argument, quotes taken off) and the rest.
    static std::pair<CString, std::string> Split(const std::string& line)
    {
        size_t end = line[0] == '"' ? line.find('"', 1) + 1 : line.find(' ');
        std::string program = line.substr(0, end);
        if (program.size() >= 2 && program[0] == '"')
            program = program.substr(1, program.size() - 2);
        std::string rest = end == std::string::npos || end >= line.size() ? "" : line.substr(end + 1);
        return {CString(program), rest};
    }
    // The line started the editor (by whatever name of it) with exactly argument.
    void ExpectEditorWith(const std::string& line, const std::string& argument)
    {
        auto [program, rest] = Split(line);
        EXPECT_EQ(fovea::ShortPathOf(Editor()), fovea::ShortPathOf(program)) << line;
        EXPECT_EQ(argument, rest) << line;
    }

    // A real drag loop of the platform dropping paths at the screen point (the pointer is put there). The drag
    // comes from from, one of the program's lists, or, when that is null, from another program.
    bool DropAt(POINT screen, const std::vector<CString>& list, CWnd* from = nullptr)
    {
        m_app->m_pDragSource = from;
        if (!SetCursorPos(screen.x, screen.y))
            return false;
        PumpMessages();
        CStringArray paths;
        for (const CString& path : list)
            paths.Add(path);
        DropAtOnceSource source;
        DWORD effect = fovea::RunFileDrag(paths, &source);
        PumpMessages();
        return effect == DROPEFFECT_COPY;
    }
    // The screen point in the middle of item's text zone in a one-column launcher list.
    static POINT OnItem(HWND list, int item, int x = 60)
    {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, WPARAM(item), LPARAM(&r));
        POINT p = {x, (r.top + r.bottom) / 2};
        ClientToScreen(list, &p);
        return p;
    }
    // A press the way the mouse makes it: the pointer on the point, then the button going down and up.
    static void Press(HWND list, POINT screen)
    {
        SetCursorPos(screen.x, screen.y);
        POINT p = screen;
        ScreenToClient(list, &p);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        PumpMessages();
    }
    // The window on top of everything at a place of the screen, so that the pointer finds it.
    static void OnTop(HWND window, int x, int y, int cx, int cy)
    {
        SetWindowPos(window, HWND_TOPMOST, x, y, cx, cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        UpdateWindow(window);
        PumpMessages();
    }
    static bool Reaches(POINT screen, HWND window)
    {
        HWND under = WindowFromPoint(screen);
        return under == window || IsChild(window, under);
    }

    ScratchFolder m_scratch{"launcher"};
    std::unique_ptr<CFoveaApp> m_app;
};

} // namespace launcher_test
