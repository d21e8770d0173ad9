// Item lines: the six fields as the file list formats them, reading them back, the 7-byte sort and the disc
// signature.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "browser/ItemLine.h"

using namespace fovea;

namespace {

const ItemTime kMay1st = {1996, 5, 1, 12, 0, 0};
const ItemTime kApril30th = {1996, 4, 30, 9, 15, 0};

FolderEntry File(const std::string& name, ItemTime time = kMay1st, uint32_t size = 10)
{
    return {name, kAttrArchive, time, 0, size};
}

FolderEntry Folder(const std::string& name, ItemTime time = kApril30th)
{
    return {name, kAttrFolder, time, 0, 0};
}

std::vector<std::string> Lines(const std::vector<FolderEntry>& entries, int keyMode)
{
    std::vector<std::string> lines;
    for (const auto& e : entries)
        lines.push_back(FormatItemLine(e, keyMode));
    return lines;
}

std::vector<std::string> FileNames(const std::vector<std::string>& lines)
{
    std::vector<std::string> names;
    for (const auto& line : lines)
        names.push_back(ItemFileName(line));
    return names;
}

} // namespace

TEST(ItemLine, FormatsTheDocumentedExamples)
{
    EXPECT_EQ("TXTREADME/96-05-01 12:00:00/      1234/___A_:/TXT/README",
              FormatItemLine("README.TXT", kAttrArchive, kMay1st, 0, 1234, kKeyExtName));
    EXPECT_EQ("PHOTOS/96-04-30 09:15:00/     /____D://PHOTOS",
              FormatItemLine("PHOTOS", kAttrFolder, kApril30th, 0, 0, kKeyExtName));
}

TEST(ItemLine, KeyModesPutTheirKeyFirst)
{
    struct Case {
        int keyMode;
        const char* line;
    } cases[] = {
        {kKeyExtName, "TXTREADME/96-05-01 12:00:00/      1234/___A_:/TXT/README"},
        {kKeyName, "README/96-05-01 12:00:00/      1234/___A_:/TXT/README"},
        {kKeyDate, "960501/96-05-01 12:00:00/      1234/___A_:/TXT/README"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.line, FormatItemLine("README.TXT", kAttrArchive, kMay1st, 0, 1234, c.keyMode)) << c.keyMode;
}

TEST(ItemLine, NamesSplitAtTheirFirstDot)
{
    struct Case {
        const char* name;
        const char* base;
        const char* extension;
    } cases[] = {
        {"a.b.c", "a", "b.c"},
        {".profile", "", "profile"},
        {"NOEXT", "NOEXT", ""},
        {"trail.", "trail", ""},
        {"..x", "", ".x"},
        // 表 is 0x95 0x5C and ソ 0x83 0x5C: their trail bytes are backslashes, never dots or slashes.
        {"\x95\x5C\x8E\xA6.TXT", "\x95\x5C\x8E\xA6", "TXT"},
        {"\x83\x5C\x83\x74\x83\x67.doc.bak", "\x83\x5C\x83\x74\x83\x67", "doc.bak"},
    };
    for (const Case& c : cases) {
        std::string line = FormatItemLine(c.name, kAttrArchive, kMay1st, 0, 1, kKeyExtName);
        EXPECT_EQ(c.base, GetItemField(line, kFieldName)) << c.name;
        EXPECT_EQ(c.extension, GetItemField(line, kFieldExtension)) << c.name;
        EXPECT_EQ(std::string(c.extension) + c.base, GetItemField(line, kFieldKey)) << c.name;
        ItemFields fields = SplitItemLine(line);
        EXPECT_EQ(c.base, fields.name) << c.name;
        EXPECT_EQ(c.extension, fields.extension) << c.name;
        // A name whose extension part is empty comes back without its dot.
        if (std::string(c.name) != "trail.") {
            EXPECT_EQ(c.name, ItemFileName(line));
        }
    }
}

TEST(ItemLine, AttributeFieldAndFolderTest)
{
    struct Case {
        uint32_t attributes;
        const char* field;
        bool folder;
    } cases[] = {
        {0, "_____:", false},
        {kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive, "SHRA_:", false},
        {kAttrFolder | kAttrHidden, "_H__D:", true},
        {kAttrSystem, "S____:", false},
        {0x80 | kAttrReadOnly, "__R__:", false}, // other bits leave no mark
    };
    for (const Case& c : cases) {
        std::string line = FormatItemLine("X.Y", c.attributes, kMay1st, 0, 1, kKeyName);
        EXPECT_EQ(c.field, GetItemField(line, kFieldAttributes));
        EXPECT_EQ(c.folder, IsFolderLine(line));
    }
    // A name part that merely looks like a folder mark does not make a file a folder.
    EXPECT_FALSE(IsFolderLine(FormatItemLine("____D", kAttrArchive, kMay1st, 0, 1, kKeyName)));
}

TEST(ItemLine, SizeIsTheLowWordRightAligned)
{
    EXPECT_EQ("         0", GetItemField(FormatItemLine("z", 0, kMay1st, 0, 0, 0), kFieldSize));
    EXPECT_EQ("4294967295", GetItemField(FormatItemLine("z", 0, kMay1st, 0, 0xFFFFFFFFu, 0), kFieldSize));
    // Files of 4 GB and more show their low 32 bits.
    EXPECT_EQ("         5", GetItemField(FormatItemLine("z", 0, kMay1st, 1, 5, 0), kFieldSize));
}

TEST(ItemLine, DateHasATwoDigitYear)
{
    ItemTime t = {2007, 12, 31, 23, 59, 58};
    EXPECT_EQ("07-12-31 23:59:58", GetItemField(FormatItemLine("z", 0, t, 0, 0, 0), kFieldDate));
    EXPECT_EQ("071231", GetItemField(FormatItemLine("z", 0, t, 0, 0, kKeyDate), kFieldKey));
}

TEST(ItemLine, FieldsOfShortOrBrokenLinesAreEmpty)
{
    EXPECT_EQ("", GetItemField("abc", 3));
    EXPECT_EQ("", GetItemField("a/b/c/d/e/f", 6));
    EXPECT_EQ("", GetItemField("a/b/c/d/e/f", -1));
    EXPECT_FALSE(IsFolderLine("a/b/c/DDDD"));
    EXPECT_FALSE(IsFolderLine(""));
    EXPECT_EQ("", ItemFileName(""));
    ItemFields f = SplitItemLine("k/d");
    EXPECT_EQ("d", f.date);
    EXPECT_EQ("", f.name);
}

TEST(ItemSort, ExtensionsWithoutRegardToCase)
{
    auto lines = Lines({File("b.txt"), File("c.bmp"), File("A.BMP")}, kKeyExtName);
    SortItemLines(lines, 0);
    EXPECT_EQ((std::vector<std::string>{"A.BMP", "c.bmp", "b.txt"}), FileNames(lines));
}

TEST(ItemSort, DescendingAndUnsorted)
{
    auto entries = std::vector<FolderEntry>{File("M"), File("Z"), File("A"), File("q")};
    auto lines = Lines(entries, kKeyName);
    SortItemLines(lines, 1);
    EXPECT_EQ((std::vector<std::string>{"Z", "q", "M", "A"}), FileNames(lines));
    for (int order : {2, -1, 99}) {
        auto kept = Lines(entries, kKeyName);
        SortItemLines(kept, order);
        EXPECT_EQ((std::vector<std::string>{"M", "Z", "A", "q"}), FileNames(kept)) << order;
    }
}

TEST(ItemSort, ComparesSevenBytesOnly)
{
    // Keys equal in their first 7 bytes compare equal, whatever follows.
    EXPECT_EQ(0, CompareItemKeys("report01/x", "REPORT02/y"));
    EXPECT_LT(CompareItemKeys("report0", "report1"), 0);
    // A short key is followed by "/" and the date: "AB/96-.." against "AB/97-..".
    std::string a = FormatItemLine("AB", 0, {1996, 1, 1, 0, 0, 0}, 0, 0, kKeyName);
    std::string b = FormatItemLine("AB", 0, {1997, 1, 1, 0, 0, 0}, 0, 0, kKeyName);
    EXPECT_LT(CompareItemKeys(a, b), 0);
    // "/" sorts before letters: AB comes before ABC.
    EXPECT_LT(CompareItemKeys(FormatItemLine("AB", 0, kMay1st, 0, 0, 1), FormatItemLine("ABC", 0, kMay1st, 0, 0, 1)),
              0);
    // Bytes compare unsigned: double-byte names sort after ASCII ones.
    EXPECT_GT(CompareItemKeys("\x95\x5C", "zzz"), 0);
    // A line shorter than the key ends first.
    EXPECT_LT(CompareItemKeys("ab", "abc"), 0);
    EXPECT_EQ(0, CompareItemKeys("", ""));
}

TEST(ItemSort, DateKeyGroupsByDay)
{
    auto lines = Lines({File("late", {1999, 1, 2, 0, 0, 0}), File("early", {1998, 12, 31, 0, 0, 0}),
                        File("mid", {1999, 1, 1, 0, 0, 0})},
                       kKeyDate);
    SortItemLines(lines, 0);
    EXPECT_EQ((std::vector<std::string>{"early", "mid", "late"}), FileNames(lines));
}

TEST(ItemSort, ManyLinesSortedByKey)
{
    // A large folder sorts completely (no cut at a fixed number of entries).
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%05d", (i * 7919) % 20000);
        lines.push_back(FormatItemLine(name, 0, kMay1st, 0, 0, kKeyName));
    }
    SortItemLines(lines, 0);
    ASSERT_EQ(20000u, lines.size());
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(),
                               [](const std::string& x, const std::string& y) { return CompareItemKeys(x, y) < 0; }));
    EXPECT_EQ("F00000", ItemFileName(lines.front()));
    EXPECT_EQ("F19999", ItemFileName(lines.back()));
}

// A folder of 300 pictures arrives in a different scrambled order each time (the file system's hash order):
// it lists in name order every time, in every key mode, both ways.
TEST(ItemSort, ThreeHundredNamesSharingTheirFirstBytesComeOutInNameOrder)
{
    std::vector<FolderEntry> entries;
    std::vector<std::string> expected;
    for (int i = 1; i <= 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.jpg", i);
        // Two days, so that the date key ties within each day and not across.
        entries.push_back(File(name, {1999, 3, i <= 150 ? 1 : 2, (i * 37) % 24, 0, 0}));
        expected.push_back(name);
    }
    std::vector<std::string> reversed(expected.rbegin(), expected.rend());
    for (unsigned seed : {1u, 7u, 1234u}) {
        std::vector<FolderEntry> scrambled = entries;
        unsigned state = seed;
        for (size_t i = scrambled.size() - 1; i > 0; --i) {
            state = state * 1103515245u + 12345u;
            std::swap(scrambled[i], scrambled[(state >> 8) % (i + 1)]);
        }
        for (int keyMode : {kKeyExtName, kKeyName, kKeyDate}) {
            auto lines = Lines(scrambled, keyMode);
            SortItemLines(lines, 0);
            EXPECT_EQ(expected, FileNames(lines)) << "key mode " << keyMode << ", seed " << seed;
            SortItemLines(lines, 1);
            EXPECT_EQ(reversed, FileNames(lines)) << "key mode " << keyMode << ", seed " << seed;
        }
    }
}

TEST(ItemSort, TiesBreakByWholeKeyThenWholeNameAsPeopleReadThem)
{
    struct Case {
        const char* what;
        int keyMode;
        std::vector<std::string> input, sorted;
    } cases[] = {
        {"digit runs by value once the first bytes tie",
         kKeyExtName,
         {"IMG_10.jpg", "img_9.JPG", "IMG_2.jpg"},
         {"IMG_2.jpg", "img_9.JPG", "IMG_10.jpg"}},
        {"the first 7 bytes still come first",
         kKeyName,
         {"photo_2.jpg", "photo_10.jpg"},
         {"photo_10.jpg", "photo_2.jpg"}},
        {"letters folded past the 7 bytes",
         kKeyName,
         {"reportB.txt", "reporta.txt", "reportC.txt"},
         {"reporta.txt", "reportB.txt", "reportC.txt"}},
        {"equal keys: the extension decides",
         kKeyName,
         {"picture.txt", "picture.bmp", "picture"},
         {"picture", "picture.bmp", "picture.txt"}},
        {"one day: by name", kKeyDate, {"b10.txt", "a.txt", "b9.txt"}, {"a.txt", "b9.txt", "b10.txt"}},
        {"long numbers past 64 bits",
         kKeyName,
         {"page_000000000000000000000000002", "page_0000000000000000000010"},
         {"page_000000000000000000000000002", "page_0000000000000000000010"}},
        // 表 is 0x95 0x5C and ソ 0x83 0x5C; a trail byte is never folded or read as a digit.
        {"double-byte names by their bytes",
         kKeyName,
         {"abcdefg\x95\x5C", "abcdefg\x83\x5C", "abcdefgZ"},
         {"abcdefgZ", "abcdefg\x83\x5C", "abcdefg\x95\x5C"}},
    };
    for (const Case& c : cases) {
        std::vector<FolderEntry> entries;
        for (const std::string& name : c.input)
            entries.push_back(File(name));
        auto lines = Lines(entries, c.keyMode);
        SortItemLines(lines, 0);
        EXPECT_EQ(c.sorted, FileNames(lines)) << c.what;
        SortItemLines(lines, 1);
        EXPECT_EQ(std::vector<std::string>(c.sorted.rbegin(), c.sorted.rend()), FileNames(lines)) << c.what;
    }
    // Only identical lines compare equal; names equal but for case are still ordered, the same every time.
    EXPECT_EQ(0, CompareItemLines(FormatItemLine(File("a.txt"), 1), FormatItemLine(File("a.txt"), 1)));
    EXPECT_NE(0, CompareItemLines(FormatItemLine(File("a.txt"), 1), FormatItemLine(File("A.txt"), 1)));
}

TEST(DiscSignature, FirstSixEntriesWithDotsCounted)
{
    std::vector<FolderEntry> root = {Folder("."),   Folder(".."),  File("A.TXT"), File("B.TXT"),
                                     File("C.TXT"), File("D.TXT"), File("E.TXT")};
    std::string signature = DiscSignature(root, kKeyExtName);
    std::string expected;
    for (const char* name : {"A.TXT", "B.TXT", "C.TXT", "D.TXT"})
        expected += "/" + FormatItemLine(File(name), kKeyExtName);
    EXPECT_EQ(expected, signature);
}

TEST(DiscSignature, DependsOnEntriesAndKeyMode)
{
    std::vector<FolderEntry> disc = {Folder("PHOTOS"), File("README.TXT")};
    std::vector<FolderEntry> same = disc;
    EXPECT_EQ(DiscSignature(disc, 0), DiscSignature(same, 0));
    same[1].sizeLow = 11;
    EXPECT_NE(DiscSignature(disc, 0), DiscSignature(same, 0));
    EXPECT_NE(DiscSignature(disc, kKeyExtName), DiscSignature(disc, kKeyName));
    EXPECT_EQ("", DiscSignature({}, 0));
}
