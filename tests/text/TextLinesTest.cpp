// Line ends of loaded and saved texts: every line kept byte for byte, each ended by CR LF.
#include <gtest/gtest.h>

#include "text/TextLines.h"

namespace {

TEST(TextLines, EveryLineKeepsItsBytesAndEndsInCrLf)
{
    const std::string longLine(2000, 'x');
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"empty text", "", ""},
        {"CR LF lines", "a\r\nbb\r\n", "a\r\nbb\r\n"},
        {"LF lines", "a\nbb\n", "a\r\nbb\r\n"},
        {"lone CR lines", "a\rbb\r", "a\r\nbb\r\n"},
        {"last line without an end gains one", "a\r\nlast", "a\r\nlast\r\n"},
        {"empty lines stay", "\r\n\n\r\nx", "\r\n\r\n\r\nx\r\n"},
        {"CR CR LF is an empty line and a line", "a\r\r\nb", "a\r\n\r\nb\r\n"},
        {"CR LF lines then a lone LF", "a\r\nb\n", "a\r\nb\r\n"},
        {"CR LF lines then a lone CR", "a\r\nb\r", "a\r\nb\r\n"},
        {"LF first", "\na\r\n", "\r\na\r\n"},
        {"lone LF after eight plain bytes", "abcdefgh\r\nabcdefgh\nabcdefgh", "abcdefgh\r\nabcdefgh\r\nabcdefgh\r\n"},
        // 表 is 0x95 0x5C and ソ 0x83 0x5C: their trail bytes are backslashes, never line ends or cut points.
        {"Shift-JIS with backslash trail bytes", "\x95\x5C\x83\x5C\n\x83\x5C", "\x95\x5C\x83\x5C\r\n\x83\x5C\r\n"},
        {"2000-byte lines", longLine + "\n" + longLine, longLine + "\r\n" + longLine + "\r\n"},
        {"NUL and Ctrl-Z bytes are text", std::string("a\0b\x1A", 4), std::string("a\0b\x1A\r\n", 6)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.out, fovea::WithCrLfLines(c.in)) << c.name;
        std::string inPlace = c.in;
        fovea::EndLinesWithCrLf(inPlace);
        EXPECT_EQ(c.out, inPlace) << c.name;
        // What a save writes loads back as the same text.
        EXPECT_EQ(c.out, fovea::WithCrLfLines(c.out)) << c.name;
    }
}

// A text put into the view piece by piece: each piece ends after a whole line, and together they are the text.
TEST(TextLines, PiecesEndAfterWholeLinesAndCoverTheText)
{
    const std::string text = "ab\r\n\x95\x5C\x95\x5C\r\n\r\nlong line\r\nlast";
    struct Case {
        size_t from, bytes, end;
    } cases[] = {
        {0, 1, 4},   // inside the first line: up to its end
        {0, 4, 4},   // exactly one line
        {0, 5, 10},  // one byte into the second line (a double-byte one): all of it
        {10, 1, 12}, // an empty line
        {12, 100, text.size()},
        {23, 1, text.size()}, // the last line has no end
        {text.size(), 1, text.size()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fovea::PieceEnd(text, c.from, c.bytes), c.end) << c.from << " " << c.bytes;
    std::string joined;
    for (size_t at = 0, end; at < text.size(); at = end) {
        end = fovea::PieceEnd(text, at, 3);
        ASSERT_GT(end, at);
        joined += text.substr(at, end - at);
    }
    EXPECT_EQ(joined, text);
}

} // namespace
