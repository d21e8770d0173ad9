// The settings store on the real registry, under a scratch key so that the program's own key is not touched.
#include <gtest/gtest.h>

#include "app/FoveaApp.h"
#include "tests/support/TestSupport.h"

namespace {

class SettingsStore : public ::testing::Test {
protected:
    // A fresh application object, as at each start of the program.
    std::unique_ptr<CFoveaApp> Start()
    {
        auto app = std::make_unique<CFoveaApp>();
        app->m_strSettingsCompanyKey = m_company;
        app->SetDefaults();
        app->LoadSettings();
        app->ComputeTextMetrics();
        return app;
    }

    fovea::ScopedRegKey OpenProduct()
    {
        fovea::ScopedRegKey key;
        CString path = m_company + "\\" + fovea::kSettingsProductKey;
        RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, key.put());
        return key;
    }

    DWORD ValueCount()
    {
        DWORD count = 0;
        RegQueryInfoKeyA(OpenProduct().get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        return count;
    }

    test_support::ScratchSettingsKey m_key{"settings"};
    const CString m_company = m_key.Path();
};

DWORD ReadDword(HKEY key, const char* name, DWORD fallback = 0xDEADBEEF)
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return fallback;
    return value;
}

}  // namespace

TEST_F(SettingsStore, FirstStartCreatesTheKeyWithEveryDefault)
{
    auto app = Start();
    EXPECT_EQ(1, app->m_bFirstRun);
    EXPECT_EQ(80, app->m_nSampleWidth);
    EXPECT_EQ(60, app->m_nSampleHeight);
    EXPECT_EQ(1, app->m_nToolTipMode);
    EXPECT_EQ(130, app->m_nLauncherWidth);
    EXPECT_EQ(200, app->m_nTreeWidth);
    EXPECT_EQ(16, app->m_nHeaderHeight);  // header font -11
    EXPECT_EQ(18, app->m_nListItemHeight);
    EXPECT_EQ(18, app->m_nIconWidth);

    fovea::ScopedRegKey key = OpenProduct();
    ASSERT_TRUE(key);
    for (const auto& setting : fovea::kNumericSettings)
        EXPECT_EQ(DWORD(setting.defaultValue), ReadDword(key.get(), setting.name)) << setting.name;
    const DWORD heights[] = {DWORD(-11), DWORD(-12), DWORD(-12), DWORD(-13), DWORD(-12), DWORD(-12)};
    for (int slot = 0; slot < fovea::kFontSlotCount; ++slot) {
        char name[32];
        char face[64] = {};
        DWORD size = sizeof face;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), fovea::FontValueName(slot, "_FaceName", name), nullptr,
                                                  nullptr, reinterpret_cast<BYTE*>(face), &size));
        EXPECT_STREQ("ＭＳ ゴシック", face);
        EXPECT_EQ(heights[slot], ReadDword(key.get(), fovea::FontValueName(slot, "_Height", name)));
        EXPECT_EQ(500u, ReadDword(key.get(), fovea::FontValueName(slot, "_Weight", name)));
        EXPECT_EQ(128u, ReadDword(key.get(), fovea::FontValueName(slot, "_CharSet", name)));
        EXPECT_EQ(0u, ReadDword(key.get(), fovea::FontValueName(slot, "_Underline", name)));
        EXPECT_NE(nullptr, app->GetFont(slot));
    }
    // Eight numbers and six groups of fourteen values.
    EXPECT_EQ(8u + 6u * 14u, ValueCount());
}

TEST_F(SettingsStore, LaterStartsReadAndWriteNothing)
{
    Start();
    fovea::ScopedRegKey key = OpenProduct();
    RegDeleteValueA(key.get(), "登録ダイアログ幅");
    DWORD tips = 2;
    RegSetValueExA(key.get(), "ツールチップ表示", 0, REG_DWORD, reinterpret_cast<BYTE*>(&tips), sizeof tips);
    DWORD before = ValueCount();

    auto app = Start();
    EXPECT_EQ(0, app->m_bFirstRun);
    EXPECT_EQ(2, app->m_nToolTipMode);     // the stored value, not the default
    EXPECT_EQ(0, app->m_nLauncherWidth);   // deleted by the user: stays at the start value 0
    EXPECT_EQ(before, ValueCount());       // nothing written back
    EXPECT_EQ(0xDEADBEEFu, ReadDword(key.get(), "登録ダイアログ幅"));
    EXPECT_EQ(2u, ReadDword(key.get(), "ツールチップ表示"));
}

TEST_F(SettingsStore, ValuesOfAnotherTypeOrSizeCountAsMissing)
{
    Start();
    fovea::ScopedRegKey key = OpenProduct();
    const char text[] = "120";
    RegSetValueExA(key.get(), "サンプル幅", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    RegSetValueExA(key.get(), "サンプル高さ", 0, REG_BINARY, eight, sizeof eight);
    const BYTE two[2] = {5, 0};
    RegSetValueExA(key.get(), "フォルダーツリー幅", 0, REG_BINARY, two, sizeof two);

    auto app = Start();
    EXPECT_EQ(0, app->m_nSampleWidth);
    EXPECT_EQ(0, app->m_nSampleHeight);
    EXPECT_EQ(0, app->m_nTreeWidth);
    EXPECT_EQ(130, app->m_nLauncherWidth);
}

TEST_F(SettingsStore, FontsStopAtTheFirstMissingFaceAndDropUnderline)
{
    Start();
    fovea::ScopedRegKey key = OpenProduct();
    DWORD on = 1;
    RegSetValueExA(key.get(), "FONT1_Underline", 0, REG_DWORD, reinterpret_cast<BYTE*>(&on), sizeof on);
    DWORD height = DWORD(-20);
    RegSetValueExA(key.get(), "FONT1_Height", 0, REG_DWORD, reinterpret_cast<BYTE*>(&height), sizeof height);
    DWORD wide = 0x1FF;  // a byte field takes the low byte
    RegSetValueExA(key.get(), "FONT1_CharSet", 0, REG_DWORD, reinterpret_cast<BYTE*>(&wide), sizeof wide);
    RegDeleteValueA(key.get(), "FONT1_Weight");  // a missing number beside a face takes the default
    RegDeleteValueA(key.get(), "FONT4_FaceName");

    auto app = Start();
    EXPECT_EQ(0, app->m_fontDesc[1].underline);
    EXPECT_EQ(-20, app->m_fontDesc[1].height);
    EXPECT_EQ(0xFF, app->m_fontDesc[1].charSet);
    EXPECT_EQ(500, app->m_fontDesc[1].weight);
    EXPECT_EQ(26, app->m_nListItemHeight);
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_NE(nullptr, app->GetFont(slot)) << slot;
    for (int slot = 4; slot < 6; ++slot) {
        EXPECT_EQ(nullptr, app->GetFont(slot)) << slot;
        EXPECT_EQ(0, app->m_fontDesc[slot].height) << slot;
    }
}

TEST_F(SettingsStore, LongStringsAreReadWhole)
{
    Start();
    fovea::ScopedRegKey key = OpenProduct();
    std::string longText(300, 'x');
    CFoveaApp::WriteString(key.get(), "Long", longText.c_str());
    CString read;
    ASSERT_EQ(0, CFoveaApp::ReadString(key.get(), "Long", read));
    EXPECT_EQ(300, read.GetLength());
    // A face name of more than 31 bytes is cut to fit its field.
    CFoveaApp::WriteString(key.get(), "FONT0_FaceName", longText.c_str());
    auto app = Start();
    EXPECT_EQ(std::string(31, 'x'), app->m_fontDesc[0].faceName);
}

TEST_F(SettingsStore, MissingKeyReadsNothing)
{
    CFoveaApp app;
    app.m_strSettingsCompanyKey = m_company;
    EXPECT_EQ(nullptr, app.OpenSettingsKey());
    int32_t value = 7;
    EXPECT_EQ(-1, CFoveaApp::ReadNumber(nullptr, "ClickMode", value));
    EXPECT_EQ(7, value);
}
