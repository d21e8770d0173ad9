// The dropped-file list block: header, 8-bit paths with their zeros, the closing zero.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "ole/DropFiles.h"

TEST(DropFiles, BlockLayout)
{
    CStringArray paths;
    paths.Add("C:\\写真\\表.jpg");
    paths.Add(CString(std::string(300, 'a')));  // longer than any fixed path buffer
    std::string block = fovea::BuildDropFiles(paths);
    uint32_t offset = 0;
    std::memcpy(&offset, block.data(), 4);
    EXPECT_EQ(20u, offset);
    int32_t rest[4];
    std::memcpy(rest, block.data() + 4, sizeof rest);
    EXPECT_EQ(0, rest[0] | rest[1] | rest[2] | rest[3]);  // point, non-client flag and wide flag all 0
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
