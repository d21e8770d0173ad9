// The name input: its text in and out, the focus on open, キャンセル keeping the text, and a full edit control
// ending the input as OK does.
#include <gtest/gtest.h>

#include "fileops/TitleDlg.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

using namespace test_support;

TEST(TitleDlg, ShowsTheTitleAndGivesBackTheTextEnteredOnOkOnly)
{
    struct Case {
        DialogAnswerer::Answer answer;
        INT_PTR result;
        const char* title;
    } cases[] = {
        {{IDOK, {{IDC_TEXT_EDIT, "新しい名前.txt"}}}, IDOK, "新しい名前.txt"},
        {{IDCANCEL, {{IDC_TEXT_EDIT, "discarded"}}}, IDCANCEL, "名前未定義フォルダ"},
        {{IDOK, {{IDC_TEXT_EDIT, ""}}}, IDOK, ""},
    };
    for (const Case& c : cases) {
        CTitleDlg dialog;
        dialog.m_strTitle = "名前未定義フォルダ";
        DialogAnswerer answerer({c.answer});
        EXPECT_EQ(c.result, dialog.DoModal());
        EXPECT_EQ(CString(c.title), dialog.m_strTitle);
        ASSERT_EQ(1u, answerer.Count());
        EXPECT_EQ("ﾀﾞｲｱﾛｸﾞ", answerer.Dialogs()[0].caption);
        EXPECT_EQ("名前未定義フォルダ", answerer.Dialogs()[0].texts.at(IDC_TEXT_EDIT));
    }
}

TEST(TitleDlg, OpensWithTheFocusInTheEditControlAndEndsAsOkWhenItIsFull)
{
    CTitleDlg dialog;
    dialog.m_strTitle = "abc";
    bool focused = false;
    DialogAnswerer::Answer typeBeyondLimit(0);
    typeBeyondLimit.action = [&focused](HWND hwnd) {
        HWND edit = GetDlgItem(hwnd, IDC_TEXT_EDIT);
        focused = GetFocus() == edit;
        SendMessageA(edit, EM_LIMITTEXT, 4, 0);
        SendMessageA(edit, EM_SETSEL, 3, 3);
        SendMessageA(edit, WM_CHAR, 'd', 0);
        SendMessageA(edit, WM_CHAR, 'e', 0); // beyond the limit: EN_MAXTEXT
        // Reaches the dialog only when the full edit control did not end it.
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    };
    DialogAnswerer answerer({typeBeyondLimit});
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(focused);
    EXPECT_EQ("abcd", dialog.m_strTitle);
}
