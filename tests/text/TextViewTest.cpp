// The text view on real files under Wine: every byte of every line survives a load and a save, whatever the
// line ends and sizes; the strip's commands; saves that fail leave the old file.
#include "tests/image/ViewPaneFixture.h"

#include <string>

using namespace test_support;

namespace {

class TextView : public viewtest::ViewPaneFixture {
protected:
    CString Path(const char* name) { return m_scratch / name; }
    CRichEditCtrl& Edit() { return m_pane.m_wndTextView.GetEdit(); }
};

TEST_F(TextView, LoadThenSaveKeepsEveryByteOfEveryLine)
{
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "\x95\x5C\x83\x5C line " + std::to_string(i) + std::string(size_t(i % 80), 'z') + "\r\n";
    const std::string longLine(2000, 'w');
    struct Case {
        const char* name;
        std::string file;
        std::string saved;
    };
    const Case cases[] = {
        {"CR LF", "one\r\n\x95\x5C\x8E\xA6\r\n\r\nlast\r\n", "one\r\n\x95\x5C\x8E\xA6\r\n\r\nlast\r\n"},
        {"LF only", "one\n\x83\x5C\x83\x74\x83\x67\n", "one\r\n\x83\x5C\x83\x74\x83\x67\r\n"},
        {"no final line end", "one\r\nno end", "one\r\nno end\r\n"},
        {"2000-byte lines", longLine + "\r\n" + longLine, longLine + "\r\n" + longLine + "\r\n"},
        {"empty file", "", ""},
        {"5 MB of 100,000 lines", big, big},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteText(Path("round.txt"), c.file));
        m_pane.OpenFile(Path("round.txt"));
        EXPECT_EQ(1, m_pane.m_nViewMode);
        EXPECT_EQ(Path("round.txt"), m_pane.m_strTextPath);
        // A large text is still coming in when it is saved: the save waits for all of it.
        EXPECT_EQ(c.file.size() > 1000000, m_pane.m_wndTextView.IsLoading());
        ASSERT_TRUE(m_pane.SaveText(0));
        EXPECT_EQ(0, viewtest::SaveAsAnswer::s_nAsked);
        EXPECT_TRUE(ReadText(Path("round.txt")) == c.saved) << ReadText(Path("round.txt")).size();
    }
    // The scroll extent reaches every line of the last text, and the caret is at its start.
    EXPECT_EQ(100001, Edit().GetLineCount());
    EXPECT_GE(m_pane.m_wndTextView.GetTotalSize().cy, 100000);
    CHARRANGE selection = {};
    ASSERT_TRUE(WriteText(Path("small.txt"), "a\nb\n"));
    m_pane.OpenFile(Path("small.txt"));
    Edit().SendMessage(EM_EXGETSEL, 0, LPARAM(&selection));
    EXPECT_EQ(0, selection.cpMin);
    EXPECT_EQ(0, selection.cpMax);
}

TEST_F(TextView, StripCommandsEditAndSave)
{
    ASSERT_TRUE(WriteText(Path("edit.txt"), "first\r\nsecond\r\n"));
    m_pane.OpenFile(Path("edit.txt"));
    // A last line typed without a line break is saved whole, with a line end.
    Edit().SetSel(-1, -1);
    Edit().ReplaceSel("typed");
    Press(m_pane.m_wndTextBar, 0);
    EXPECT_EQ("first\r\nsecond\r\ntyped\r\n", ReadText(Path("edit.txt")));

    // Select all and cut empties the text; paste brings it back.
    Press(m_pane.m_wndTextBar, 5);
    Press(m_pane.m_wndTextBar, 2);
    EXPECT_TRUE(Edit().GetText().IsEmpty());
    Press(m_pane.m_wndTextBar, 4);
    EXPECT_EQ(CString("first\r\nsecond\r\ntyped\r\n"), Edit().GetText());

    // クリア, then save: an empty file.
    Press(m_pane.m_wndTextBar, 6);
    Press(m_pane.m_wndTextBar, 0);
    EXPECT_EQ("", ReadText(Path("edit.txt")));

    // Save as writes under the chosen name, which becomes the text's path; cancel writes nothing.
    Edit().ReplaceSel("new text");
    viewtest::SaveAsAnswer::Reset(Path("other.txt"));
    Press(m_pane.m_wndTextBar, 1);
    EXPECT_EQ(1, viewtest::SaveAsAnswer::s_nAsked);
    EXPECT_EQ(Path("edit.txt"), viewtest::SaveAsAnswer::s_strProposed);
    EXPECT_EQ("new text\r\n", ReadText(Path("other.txt")));
    EXPECT_EQ(Path("other.txt"), m_pane.m_strTextPath);
    viewtest::SaveAsAnswer::Reset(CString());
    Press(m_pane.m_wndTextBar, 1);
    EXPECT_EQ(1, viewtest::SaveAsAnswer::s_nAsked);
    EXPECT_EQ(Path("other.txt"), m_pane.m_strTextPath);
    EXPECT_EQ((std::vector<std::string>{"edit.txt", "other.txt"}), Names(m_scratch.Path()));
}

TEST_F(TextView, ALargeTextShowsItsStartAtOnceAndAnEditWaitsForTheRest)
{
    std::string big;
    for (int i = 0; i < 50000; ++i)
        big += "line " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(WriteText(Path("big.txt"), big));
    m_pane.OpenFile(Path("big.txt"));
    ASSERT_TRUE(m_pane.m_wndTextView.IsLoading());
    EXPECT_LT(Edit().GetLineCount(), 50000);
    // A key typed at the start while the rest is coming in: the rest goes in first, after the user's text.
    Edit().SetSel(0, 0);
    Edit().SendMessage(WM_CHAR, 'Z', 1);
    EXPECT_FALSE(m_pane.m_wndTextView.IsLoading());
    ASSERT_TRUE(m_pane.SaveText(0));
    EXPECT_TRUE(ReadText(Path("big.txt")) == "Z" + big);

    // クリア of a text this long makes a fresh control: what is typed next shows.
    Press(m_pane.m_wndTextBar, 6);
    Edit().ReplaceSel("typed");
    RECT edit = {};
    GetClientRect(Edit().m_hWnd, &edit);
    EXPECT_GT(edit.bottom, 10);
    EXPECT_GT(edit.right, 100);
    EXPECT_EQ(CString("typed"), Edit().GetText());
}

TEST_F(TextView, AFailedLoadIsNeverSavedOverItsFile)
{
    ASSERT_TRUE(WriteText(Path("held.txt"), "kept\r\n"));
    {
        // Held open by another program without sharing: the text cannot be read.
        fovea::ScopedFile held(CreateFileA(Path("held.txt"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(m_pane.ShowText(Path("held.txt")));
    }
    Edit().ReplaceSel("partial");
    DialogAnswerer answerer({IDOK});
    EXPECT_FALSE(m_pane.SaveText(0));
    ASSERT_EQ(1u, answerer.Count());
    EXPECT_EQ("このテキストは読み込めなかったため、保存しません。", answerer.Lines(0)[0]);
    EXPECT_EQ("kept\r\n", ReadText(Path("held.txt")));
    // Saved under another name, the text is the user's own.
    viewtest::SaveAsAnswer::Reset(Path("mine.txt"));
    EXPECT_TRUE(m_pane.SaveText(1));
    EXPECT_EQ("partial\r\n", ReadText(Path("mine.txt")));
    EXPECT_EQ("kept\r\n", ReadText(Path("held.txt")));
}

TEST_F(TextView, AFailedSaveSaysSoAndLeavesTheOldFile)
{
    ASSERT_TRUE(WriteText(Path("locked.txt"), "old\r\n"));
    m_pane.OpenFile(Path("locked.txt"));
    Edit().SetSel(0, -1);
    Edit().ReplaceSel("new");
    ASSERT_TRUE(SetFileAttributesA(Path("locked.txt"), FILE_ATTRIBUTE_READONLY));
    DialogAnswerer answerer({IDOK});
    EXPECT_FALSE(m_pane.SaveText(0));
    ASSERT_EQ(1u, answerer.Count());
    EXPECT_EQ("保存できませんでした", answerer.Lines(0)[0]);
    SetFileAttributesA(Path("locked.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("old\r\n", ReadText(Path("locked.txt")));
    // Nothing of the attempt is left beside it.
    EXPECT_EQ(std::vector<std::string>{"locked.txt"}, Names(m_scratch.Path()));
}

TEST_F(TextView, OnlyTextExtensionsOpenAndTheViewFontFollowsTheDialog)
{
    ASSERT_TRUE(WriteText(Path("x.ini"), "[a]\n"));
    ASSERT_TRUE(WriteText(Path("x.tif"), "not shown"));
    m_pane.OpenFile(Path("x.ini"));
    EXPECT_EQ(CString("[a]\r\n"), Edit().GetText());
    m_pane.OpenFile(Path("x.tif"));
    EXPECT_EQ(1, m_pane.m_nViewMode);
    EXPECT_EQ(Path("x.ini"), m_pane.m_strTextPath);
    // A missing file leaves an empty view.
    m_pane.OpenFile(Path("missing.txt"));
    EXPECT_TRUE(Edit().GetText().IsEmpty());

    // The font given to the pane is the one the control draws with.
    LOGFONTA wanted = {};
    wanted.lfHeight = -24;
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyA(wanted.lfFaceName, "Courier New");
    fovea::ScopedFont font(CreateFontIndirectA(&wanted));
    m_pane.SetTextFont(font.get());
    EXPECT_EQ(font.get(), m_pane.GetTextFont());
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    Edit().SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, LPARAM(&format));
    EXPECT_STREQ("Courier New", format.szFaceName);
    m_pane.SetTextFont(nullptr);
}

} // namespace
