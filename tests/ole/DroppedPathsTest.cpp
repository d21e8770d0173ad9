// Reading the dropped-file list from a data object under Wine (code page 932): full-length paths, wide lists
// converted exactly or left out, malformed blocks and data without a file list, and the medium's release.
#include <gtest/gtest.h>

#include "fileops/PathNames.h"
#include "ole/DroppedPaths.h"
#include "tests/support/TestDataObject.h"

namespace {

using test_support::TestDataObject;

std::vector<CString> Read(IDataObject* data, bool expectOk = true)
{
    CStringArray paths;
    paths.Add("stale");
    EXPECT_EQ(expectOk, fovea::ReadDroppedPaths(data, paths));
    return paths.data();
}

TEST(DroppedPaths, NarrowListsAreReadWhole)
{
    ASSERT_EQ(932u, GetACP());
    CStringArray paths;
    paths.Add("C:\\表\\ソ.txt");
    CString longPath = "C:\\" + CString(std::string(150, 'd')) + "\\" + CString(std::string(200, 'f')) + ".bin";
    paths.Add(longPath);
    TestDataObject* data = TestDataObject::ForPaths(paths);
    std::vector<CString> read = Read(data);
    ASSERT_EQ(2u, read.size());
    EXPECT_EQ(paths[0], read[0]);
    EXPECT_EQ(longPath, read[1]);
    EXPECT_EQ(358, read[1].GetLength());
    EXPECT_EQ(1u, data->Refs());
    data->Release();
}

TEST(DroppedPaths, WideListsAreConvertedToTheSystemCodePage)
{
    const std::u16string paths[] = {
        u"C:\\\u8868\\\u30BD.txt",                                // 表\ソ: both end in the byte 0x5C in code page 932
        std::u16string(u"D:\\") + std::u16string(320, u'\u3042'), // あ x 320: 643 bytes
        u"C:\\caf\u00E9.txt",                                     // é has no exact spelling in code page 932
        u"C:\\x\uFF41",                                           // ａ is in code page 932 as itself (0x82 0x81)
    };
    TestDataObject* data = TestDataObject::ForWidePaths(paths, 4);
    std::vector<CString> read = Read(data);
    ASSERT_EQ(3u, read.size());
    EXPECT_EQ(CString("C:\\表\\ソ.txt"), read[0]);
    std::string hiragana;
    for (int i = 0; i < 320; ++i)
        hiragana += "あ";
    EXPECT_EQ(CString("D:\\" + hiragana), read[1]);
    // Never "C:\cafe.txt" or "C:\caf?.txt": either could name another file.
    EXPECT_EQ(CString("C:\\xａ"), read[2]);
    data->Release();

    CString narrow;
    EXPECT_FALSE(fovea::ExactNarrow(L"\u00E9", narrow));
    EXPECT_TRUE(fovea::ExactNarrow(L"", narrow));
    EXPECT_TRUE(narrow.IsEmpty());
}

TEST(DroppedPaths, NothingIsReadFromBadBlocksOrOtherData)
{
    TestDataObject* noList = new TestDataObject(fovea::BuildDropFiles(CStringArray()), false);
    EXPECT_TRUE(Read(noList, false).empty());
    EXPECT_EQ(1, noList->GetDataCalls());
    noList->Release();

    std::string badOffset = fovea::BuildDropFiles(CStringArray());
    badOffset[0] = char(200);
    TestDataObject* bad = new TestDataObject(badOffset);
    EXPECT_TRUE(Read(bad, false).empty());
    bad->Release();

    TestDataObject* empty = TestDataObject::ForPaths(CStringArray());
    EXPECT_TRUE(Read(empty).empty());
    empty->Release();

    EXPECT_TRUE(Read(nullptr, false).empty());
}

TEST(DroppedPaths, TheBlockSizeBoundsTheLastPath)
{
    // The block ends inside the second path: the first is kept, the cut one is not guessed at.
    std::string block = fovea::BuildDropFiles(CStringArray());
    block.resize(20);
    block += std::string("C:\\a") + '\0' + "C:\\abc";
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, block.size());
    ASSERT_NE(nullptr, global);
    memcpy(GlobalLock(global), block.data(), block.size());
    GlobalUnlock(global);
    if (GlobalSize(global) != block.size())
        GTEST_SKIP() << "the platform rounds global blocks up";
    CStringArray paths;
    EXPECT_TRUE(fovea::ReadDroppedPaths(global, paths));
    ASSERT_EQ(1, paths.GetSize());
    EXPECT_EQ(CString("C:\\a"), paths[0]);
    GlobalFree(global);
}

} // namespace
