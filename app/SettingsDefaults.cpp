// Defaults and names of the stored settings.
#include "app/SettingsDefaults.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/ShiftJis.h"

namespace fovea {

const NumericSetting kNumericSettings[kNumericSettingCount] = {
    {"サンプル幅", 80},
    {"サンプル高さ", 60},
    {"登録アプリダイアログ表示", 0},
    {"ツールチップ表示", 1},
    {"登録ダイアログ幅", 130},
    {"ビュー幅", 0},
    {"フォルダーツリー幅", 200},
    {"ClickMode", 0},
};

const char kSettingsCompanyKey[] = "Software\\Morrow Works";
const char kSettingsProductKey[] = "ふぉびあ\\V300";
const char kSettingsFullKey[] = "Software\\Morrow Works\\ふぉびあ\\V300";

const char kFontFaceSuffix[] = "_FaceName";

const FontNumberField kFontNumberFields[kFontNumberFieldCount] = {
    {"_Height", false, &FontDescription::height, nullptr},
    {"_Weight", false, &FontDescription::weight, nullptr},
    {"_Width", false, &FontDescription::width, nullptr},
    {"_Escapement", false, &FontDescription::escapement, nullptr},
    {"_Orientation", false, &FontDescription::orientation, nullptr},
    {"_Italic", true, nullptr, &FontDescription::italic},
    {"_StrikeOut", true, nullptr, &FontDescription::strikeOut},
    {"_CharSet", true, nullptr, &FontDescription::charSet},
    {"_OutPrecision", true, nullptr, &FontDescription::outPrecision},
    {"_ClipPrecision", true, nullptr, &FontDescription::clipPrecision},
    {"_Quality", true, nullptr, &FontDescription::quality},
    {"_PitchAndFamily", true, nullptr, &FontDescription::pitchAndFamily},
    {"_Underline", true, nullptr, &FontDescription::underline},
};

FontDescription DefaultFont(int slot)
{
    static const int32_t kHeights[kFontSlotCount] = {-11, -12, -12, -13, -12, -12};
    FontDescription font;
    font.height = (slot >= 0 && slot < kFontSlotCount) ? kHeights[slot] : -12;
    font.weight = 500;
    font.charSet = 128;       // Shift-JIS
    font.outPrecision = 3;    // stroke
    font.clipPrecision = 2;   // stroke
    font.quality = 1;
    font.pitchAndFamily = 0x31;  // fixed pitch, modern family
    static const char kFace[] = "ＭＳ ゴシック";
    SetFaceName(font, kFace, sizeof kFace - 1);
    return font;
}

void SetFaceName(FontDescription& font, const char* face, size_t length)
{
    const size_t limit = sizeof font.faceName - 1;
    size_t end = 0;
    while (end < length && face[end] != '\0') {
        size_t step = (IsLeadByte(static_cast<unsigned char>(face[end])) && end + 1 < length) ? 2 : 1;
        if (end + step > limit)
            break;
        end += step;
    }
    std::memset(font.faceName, 0, sizeof font.faceName);
    std::memcpy(font.faceName, face, end);
}

const char* FontValueName(int slot, const char* suffix, char (&buffer)[32])
{
    std::snprintf(buffer, sizeof buffer, "FONT%01d%s", slot, suffix);
    return buffer;
}

int ListItemHeight(const FontDescription& filerFont)
{
    return std::abs(filerFont.height) + 6;
}

int HeaderHeight(const FontDescription& headerFont)
{
    return std::abs(headerFont.height) + 5;
}

}  // namespace fovea
