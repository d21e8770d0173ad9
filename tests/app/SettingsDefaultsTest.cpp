// Built-in defaults of the settings and fonts, and the derived text metrics.
#include <gtest/gtest.h>

#include <cstring>

#include "app/SettingsDefaults.h"

using namespace fovea;

TEST(SettingsDefaults, NumericTableInWriteOrder)
{
    const struct {
        const char* name;
        int32_t value;
    } expected[] = {
        {"サンプル幅", 80}, {"サンプル高さ", 60}, {"登録アプリダイアログ表示", 0}, {"ツールチップ表示", 1},
        {"登録ダイアログ幅", 130}, {"ビュー幅", 0}, {"フォルダーツリー幅", 200}, {"ClickMode", 0},
    };
    ASSERT_EQ(kNumericSettingCount, int(std::size(expected)));
    for (int i = 0; i < kNumericSettingCount; ++i) {
        EXPECT_STREQ(expected[i].name, kNumericSettings[i].name) << i;
        EXPECT_EQ(expected[i].value, kNumericSettings[i].defaultValue) << i;
    }
    EXPECT_STREQ("Software\\Morrow Works\\ふぉびあ\\V300", kSettingsFullKey);
    EXPECT_EQ(std::string(kSettingsCompanyKey) + "\\" + kSettingsProductKey, kSettingsFullKey);
}

TEST(SettingsDefaults, FontSlotsShareAllButTheirHeight)
{
    const int32_t heights[kFontSlotCount] = {-11, -12, -12, -13, -12, -12};
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        FontDescription f = DefaultFont(slot);
        EXPECT_EQ(heights[slot], f.height) << slot;
        EXPECT_EQ(500, f.weight);
        EXPECT_EQ(128, f.charSet);
        EXPECT_EQ(3, f.outPrecision);
        EXPECT_EQ(2, f.clipPrecision);
        EXPECT_EQ(1, f.quality);
        EXPECT_EQ(0x31, f.pitchAndFamily);
        EXPECT_EQ(0, f.width | f.escapement | f.orientation | f.italic | f.underline | f.strikeOut);
        EXPECT_STREQ("ＭＳ ゴシック", f.faceName);
    }
}

TEST(SettingsDefaults, FontValueNamesInRegistryOrder)
{
    char buffer[32];
    EXPECT_STREQ("FONT3_FaceName", FontValueName(3, kFontFaceSuffix, buffer));
    const char* order[] = {"_Height", "_Weight", "_Width", "_Escapement", "_Orientation", "_Italic", "_StrikeOut",
                           "_CharSet", "_OutPrecision", "_ClipPrecision", "_Quality", "_PitchAndFamily",
                           "_Underline"};
    ASSERT_EQ(kFontNumberFieldCount, int(std::size(order)));
    for (int i = 0; i < kFontNumberFieldCount; ++i)
        EXPECT_STREQ(order[i], kFontNumberFields[i].suffix);
}

TEST(SettingsDefaults, LongFaceNamesAreCutWithoutSplittingACharacter)
{
    FontDescription f;
    std::string ascii(40, 'A');
    SetFaceName(f, ascii.c_str(), ascii.size());
    EXPECT_EQ(31u, std::strlen(f.faceName));

    // 16 double-byte characters are 32 bytes: only 15 fit, never half of the 16th.
    std::string wide;
    for (int i = 0; i < 16; ++i)
        wide += "表";
    SetFaceName(f, wide.c_str(), wide.size());
    EXPECT_EQ(30u, std::strlen(f.faceName));
    EXPECT_EQ('\0', f.faceName[30]);

    // "A" + 15 double-byte characters = 31 bytes: fits exactly.
    std::string mixed = "A" + wide.substr(0, 30);
    SetFaceName(f, mixed.c_str(), mixed.size());
    EXPECT_EQ(mixed, f.faceName);
}

TEST(SettingsDefaults, DerivedHeights)
{
    FontDescription f;
    f.height = -12;
    EXPECT_EQ(18, ListItemHeight(f));
    EXPECT_EQ(17, HeaderHeight(f));
    f.height = 14;  // a positive height asks for the cell height: the magnitude still counts
    EXPECT_EQ(20, ListItemHeight(f));
}
