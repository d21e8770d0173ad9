// The message dialog: its template as the resources give it, the results of OK, キャンセル, Escape and the
// close box, and the painted lines (bands, face colour from the dialog itself, message font, empty lines).
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "fileops/MessageDlg.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

namespace {

RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy)
{
    RECT r = {x, y, x + cx, y + cy};
    MapDialogRect(dialog, &r);
    return r;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT r = {};
    HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Paints the dialog's lines into a bitmap of the client size filled with face first.
struct Rendering {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[size_t(y * width + x)]; }
    // Pixels of the band [top, bottom) that differ from face, and the rightmost of them.
    int Marked(int top, int bottom, COLORREF face, int* right = nullptr, int fromX = 0, int toX = -1) const
    {
        int count = 0;
        for (int y = top; y < bottom && y < height; ++y)
            for (int x = fromX; x < (toX < 0 ? width : toX); ++x)
                if (At(x, y) != face) {
                    ++count;
                    if (right)
                        *right = std::max(*right, x);
                }
        return count;
    }
};

Rendering Render(CMessageDlg& dialog, COLORREF face)
{
    Rendering result;
    RECT client = dialog.GetClientRect();
    result.width = client.right;
    result.height = std::max<int>(client.bottom, 120);
    fovea::ScopedGetDC screen(nullptr);
    fovea::ScopedMemDC dc(CreateCompatibleDC(screen.get()));
    fovea::ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), result.width, result.height));
    fovea::SelectObjectScope select(dc.get(), bitmap.get());
    fovea::ScopedBrush brush(CreateSolidBrush(face));
    RECT all = {0, 0, result.width, result.height};
    FillRect(dc.get(), &all, brush.get());
    SendMessageA(dialog.m_hWnd, WM_PRINTCLIENT, WPARAM(dc.get()), PRF_CLIENT);
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x)
            result.pixels.push_back(GetPixel(dc.get(), x, y));
    return result;
}

} // namespace

TEST(MessageDlg, TemplateHasTheCaptionSizeAndTwoButtonsOnly)
{
    CMessageDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_MESSAGE, nullptr));
    HWND hwnd = dialog.m_hWnd;
    EXPECT_EQ("メッセージダイアログ", dialog.GetWindowText());
    RECT client = dialog.GetClientRect();
    RECT size = DialogUnits(hwnd, 0, 0, 251, 93);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);
    EXPECT_TRUE(SameRect(DialogUnits(hwnd, 135, 72, 50, 14), ChildRect(hwnd, IDOK)));
    EXPECT_TRUE(SameRect(DialogUnits(hwnd, 189, 72, 48, 14), ChildRect(hwnd, IDCANCEL)));
    char text[32] = {};
    GetDlgItemTextA(hwnd, IDOK, text, sizeof text);
    EXPECT_STREQ("OK", text);
    GetDlgItemTextA(hwnd, IDCANCEL, text, sizeof text);
    EXPECT_STREQ("キャンセル", text);
    int children = 0;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(2, children);
    dialog.DestroyWindow();
}

namespace {

// How the one-shot timer below plays the user inside the modal loop.
std::string g_how;

void CALLBACK PlayTheUser(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND found = FindWindowA(nullptr, "メッセージダイアログ");
    if (!found)
        return;
    KillTimer(nullptr, id);
    if (g_how == "ok")
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(found, IDOK)));
    else if (g_how == "cancel")
        PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(GetDlgItem(found, IDCANCEL)));
    else if (g_how == "escape")
        PostMessageA(GetDlgItem(found, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    else
        PostMessageA(found, WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace

TEST(MessageDlg, OkGivesOneEverythingElseTwo)
{
    struct Case {
        const char* how;
        int result;
    };
    for (const Case& c :
         {Case{"ok", IDOK}, Case{"cancel", IDCANCEL}, Case{"escape", IDCANCEL}, Case{"close", IDCANCEL}}) {
        SCOPED_TRACE(c.how);
        CMessageDlg dialog;
        dialog.SetMessages("line one", "", "", "", "");
        g_how = c.how;
        UINT_PTR timer = SetTimer(nullptr, 0, 30, PlayTheUser);
        EXPECT_EQ(c.result, int(dialog.DoModal()));
        KillTimer(nullptr, timer);
        EXPECT_EQ("line one", dialog.m_strLine1);
    }
}

TEST(MessageDlg, PaintsEachLineInItsBandOverTheDialogFace)
{
    CMessageDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_MESSAGE, nullptr));
    dialog.SetMessages("WWWW first", "", "MMMM third", "", "last line");
    const COLORREF face = RGB(40, 160, 90);
    Rendering image = Render(dialog, face);

    // Lines 1, 3 and 5 are drawn in their bands, 2 and 4 are empty, nothing left of x = 20.
    EXPECT_GT(image.Marked(10, 30, face), 20);
    EXPECT_EQ(0, image.Marked(30, 50, face, nullptr, 0, image.width));
    EXPECT_GT(image.Marked(50, 70, face), 20);
    EXPECT_EQ(0, image.Marked(70, 90, face));
    EXPECT_GT(image.Marked(90, 110, face), 20);
    EXPECT_EQ(0, image.Marked(0, 10, face));
    EXPECT_EQ(0, image.Marked(0, image.height, face, nullptr, 0, 20));
    // The text background is the face read at (2, 2), not the white a DC starts with.
    int white = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < image.width; ++x)
            white += image.At(x, y) == RGB(255, 255, 255);
    EXPECT_EQ(0, white);
    dialog.DestroyWindow();
}

TEST(MessageDlg, LinesUseTheMessageFontOfTheApplication)
{
    CMessageDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_MESSAGE, nullptr));
    dialog.SetMessages("WWWW", "", "", "", "");
    const COLORREF face = RGB(255, 255, 0);
    int smallRight = 0, largeRight = 0;
    {
        auto app = std::make_unique<CFoveaApp>();
        app->SetDefaults();
        app->m_fontDesc[fovea::kFontMessage] = fovea::DefaultFont(fovea::kFontMessage);
        app->CreateSlotFont(fovea::kFontMessage);
        Render(dialog, face).Marked(10, 30, face, &smallRight);
        app->m_fontDesc[fovea::kFontMessage].height = -18;
        app->CreateSlotFont(fovea::kFontMessage);
        Render(dialog, face).Marked(10, 30, face, &largeRight);
    }
    EXPECT_GT(smallRight, 20);
    EXPECT_GT(largeRight, smallRight + 8);
    dialog.DestroyWindow();
}
