// The stored settings: value names and built-in defaults of the numeric settings and the six fonts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fovea {

struct NumericSetting {
    const char* name;  // registry value name, Shift-JIS
    int32_t defaultValue;
};

// In the order they are written on the first start and read on later ones.
constexpr int kNumericSettingCount = 8;
extern const NumericSetting kNumericSettings[kNumericSettingCount];

// Indices into kNumericSettings.
enum NumericSettingIndex {
    kSettingSampleWidth,
    kSettingSampleHeight,
    kSettingShowLauncher,
    kSettingToolTipMode,
    kSettingLauncherWidth,
    kSettingViewWidth,
    kSettingTreeWidth,
    kSettingClickMode,
};

// Below HKEY_CURRENT_USER: created in two steps, the company key and then the product key below it.
extern const char kSettingsCompanyKey[];
extern const char kSettingsProductKey[];
extern const char kSettingsFullKey[];

// Font slots: 0 header, 1 filer, 2 launcher menu, 3 view, 4 message, 5 tool tip.
constexpr int kFontSlotCount = 6;
enum FontSlot { kFontHeader, kFontFiler, kFontLauncher, kFontView, kFontMessage, kFontToolTip };

// A font description with the fields and sizes of the platform's logical font.
struct FontDescription {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};

FontDescription DefaultFont(int slot);

// Copies a face name into the description, cut at 31 bytes without splitting a double-byte character.
void SetFaceName(FontDescription& font, const char* face, size_t length);

// "FONT" + slot digit + suffix, e.g. "FONT1_Height".
const char* FontValueName(int slot, const char* suffix, char (&buffer)[32]);

// The numeric values of a font group in the order they are written; "_Underline" comes last and is not read.
struct FontNumberField {
    const char* suffix;
    bool isByte;
    int32_t FontDescription::*wide;
    uint8_t FontDescription::*narrow;
};
constexpr int kFontNumberFieldCount = 13;
extern const FontNumberField kFontNumberFields[kFontNumberFieldCount];
extern const char kFontFaceSuffix[];

// Heights derived from the font descriptions: |height| + 6 for list lines and icons, |height| + 5 for headers.
int ListItemHeight(const FontDescription& filerFont);
int HeaderHeight(const FontDescription& headerFont);

}  // namespace fovea
