// The dropped-file list block: header, 8-bit paths with their zeros, the closing zero.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "ole/DropFiles.h"

TEST(DropFiles, BlockLayout)
{
    CStringArray paths;
    paths.Add("C:\\写真\\表.jpg");
    paths.Add(CString(std::string(300, 'a'))); // longer than any fixed path buffer
    std::string block = fovea::BuildDropFiles(paths);
    uint32_t offset = 0;
    std::memcpy(&offset, block.data(), 4);
    EXPECT_EQ(20u, offset);
    int32_t rest[4];
    std::memcpy(rest, block.data() + 4, sizeof rest);
    EXPECT_EQ(0, rest[0] | rest[1] | rest[2] | rest[3]); // point, non-client flag and wide flag all 0
    std::string list = block.substr(20);
    std::string expected = std::string("C:\\写真\\表.jpg") + '\0' + std::string(300, 'a') + '\0' + '\0';
    EXPECT_EQ(expected, list);
}

TEST(DropFiles, EmptyListIsTwoZeros)
{
    std::string block = fovea::BuildDropFiles(CStringArray());
    EXPECT_EQ(22u, block.size());
    EXPECT_EQ(std::string(2, '\0'), block.substr(20));
}

namespace {

// A header with the given list offset and wide flag, followed by raw list bytes.
std::string Block(uint32_t offset, uint32_t wide, const std::string& list)
{
    std::string block(20, '\0');
    std::memcpy(&block[0], &offset, 4);
    std::memcpy(&block[16], &wide, 4);
    return block + list;
}

std::string WideBytes(const std::u16string& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

fovea::DroppedList Parse(const std::string& block, bool expectOk = true)
{
    fovea::DroppedList list;
    EXPECT_EQ(expectOk, fovea::ParseDropFiles(block.data(), block.size(), list));
    return list;
}

} // namespace

TEST(DropFilesParse, ReadsWhatBuildWrites)
{
    CStringArray paths;
    paths.Add("C:\\写真\\表.jpg"); // 表 ends in the byte 0x5C
    paths.Add("D:\\a");
    const std::string longPath = "C:\\" + std::string(120, 'x') + "\\" + std::string(250, 'y') + ".txt";
    paths.Add(CString(longPath));
    fovea::DroppedList list = Parse(fovea::BuildDropFiles(paths));
    EXPECT_FALSE(list.bWide);
    ASSERT_EQ(3u, list.narrow.size());
    EXPECT_EQ("C:\\写真\\表.jpg", list.narrow[0]);
    EXPECT_EQ("D:\\a", list.narrow[1]);
    EXPECT_EQ(longPath, list.narrow[2]); // kept whole, not cut to a fixed buffer
    EXPECT_TRUE(list.wide.empty());

    EXPECT_TRUE(Parse(fovea::BuildDropFiles(CStringArray())).narrow.empty());
}

TEST(DropFilesParse, RefusesHeadersThatPointOutsideTheBlock)
{
    const std::string list = std::string("C:\\a") + '\0' + '\0';
    struct Case {
        const char* what;
        std::string block;
    } cases[] = {
        {"shorter than the header", std::string(19, '\0')},
        {"offset past the end", Block(uint32_t(20 + list.size() + 1), 0, list)},
        {"offset far past the end", Block(0xFFFFFFF0u, 0, list)},
        {"offset inside the header", Block(4, 0, list)},
        {"offset zero", Block(0, 0, list)},
    };
    for (const Case& c : cases) {
        fovea::DroppedList parsed;
        parsed.narrow.push_back("left over");
        EXPECT_FALSE(fovea::ParseDropFiles(c.block.data(), c.block.size(), parsed)) << c.what;
        EXPECT_TRUE(parsed.narrow.empty() && parsed.wide.empty()) << c.what;
    }
    fovea::DroppedList parsed;
    EXPECT_FALSE(fovea::ParseDropFiles(nullptr, 100, parsed));
}

TEST(DropFilesParse, PathsMustEndInsideTheBlock)
{
    struct Case {
        const char* what;
        std::string list;
        std::vector<std::string> paths;
    } cases[] = {
        {"list at the very end", "", {}},
        {"one zero: empty list", std::string(1, '\0'), {}},
        {"last path cut by the block end", std::string("C:\\a") + '\0' + "C:\\b", {"C:\\a"}},
        {"only path unterminated", "C:\\abc", {}},
        {"final zero missing but path ended", std::string("C:\\a") + '\0', {"C:\\a"}},
        {"bytes after the list end are ignored", std::string("C:\\a") + '\0' + '\0' + "junk", {"C:\\a"}},
    };
    for (const Case& c : cases) {
        fovea::DroppedList list = Parse(Block(20, 0, c.list));
        EXPECT_EQ(c.paths, list.narrow) << c.what;
    }
    // A list placed further on (padding after the header) is found at its offset.
    std::string padded = Block(24, 0, std::string(4, '\x7F') + "C:\\p" + '\0' + '\0');
    EXPECT_EQ(std::vector<std::string>{"C:\\p"}, Parse(padded).narrow);
}

TEST(DropFilesParse, WideBlocksKeepTheirUnits)
{
    const std::u16string first = u"C:\\\u5199\u771F\\\u8868.jpg"; // 写真\表
    const std::u16string second(310, u'w');
    std::string block = Block(20, 1,
                              WideBytes(first) + std::string(2, '\0') + WideBytes(second) + std::string(2, '\0') +
                                  std::string(2, '\0'));
    fovea::DroppedList list = Parse(block);
    EXPECT_TRUE(list.bWide);
    EXPECT_TRUE(list.narrow.empty());
    ASSERT_EQ(2u, list.wide.size());
    EXPECT_EQ(first, list.wide[0]);
    EXPECT_EQ(second, list.wide[1]);

    // An odd last byte is no character; a wide path cut by the block end is dropped.
    std::string cut =
        Block(21, 1, std::string(1, 'p') + WideBytes(u"C:\\a") + std::string(2, '\0') + WideBytes(u"C:\\b") + "\x01");
    list = Parse(cut);
    EXPECT_EQ(std::vector<std::u16string>{u"C:\\a"}, list.wide);
}
