// How a path becomes one argument of a program's command line.
#include <gtest/gtest.h>

#include "launcher/CommandLine.h"

namespace {

TEST(CommandLine, APathWithBlanksStaysOneArgument)
{
    struct Case {
        const char* path;
        const char* argument;
    };
    const Case cases[] = {
        {"C:\\DOCS\\NOTE.TXT", "C:\\DOCS\\NOTE.TXT"},
        {"C:\\My Docs\\a note.txt", "\"C:\\My Docs\\a note.txt\""},
        {"C:\\tab\there", "\"C:\\tab\there\""},
        {"\"C:\\My Docs\\x.txt\"", "\"C:\\My Docs\\x.txt\""}, // already one argument
        {"C:\\\x95\x5C\\x.txt", "C:\\\x95\x5C\\x.txt"},       // 表: no blank in a double-byte name
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.argument, fovea::CommandLineArgument(c.path)) << c.path;
}

TEST(CommandLine, ProgramAndArgumentEachWhole)
{
    EXPECT_EQ("C:\\T\\EDIT.EXE", fovea::CommandLineOf("C:\\T\\EDIT.EXE", ""));
    EXPECT_EQ("\"C:\\My Tools\\EDIT.EXE\" \"C:\\a b.txt\"",
              fovea::CommandLineOf("C:\\My Tools\\EDIT.EXE", "C:\\a b.txt"));
}

} // namespace
