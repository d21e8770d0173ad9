// The six fonts: their descriptions in the settings key and the font objects made from them.
#include "app/FoveaApp.h"

using fovea::FontDescription;
using fovea::kFontNumberFieldCount;
using fovea::kFontNumberFields;

namespace fovea {

LOGFONTA ToLogFont(const FontDescription& d)
{
    LOGFONTA lf = {};
    lf.lfHeight = d.height;
    lf.lfWidth = d.width;
    lf.lfEscapement = d.escapement;
    lf.lfOrientation = d.orientation;
    lf.lfWeight = d.weight;
    lf.lfItalic = d.italic;
    lf.lfUnderline = d.underline;
    lf.lfStrikeOut = d.strikeOut;
    lf.lfCharSet = d.charSet;
    lf.lfOutPrecision = d.outPrecision;
    lf.lfClipPrecision = d.clipPrecision;
    lf.lfQuality = d.quality;
    lf.lfPitchAndFamily = d.pitchAndFamily;
    static_assert(sizeof lf.lfFaceName == sizeof d.faceName, "face name fields differ");
    memcpy(lf.lfFaceName, d.faceName, sizeof lf.lfFaceName);
    return lf;
}

FontDescription FromLogFont(const LOGFONTA& lf)
{
    FontDescription d;
    d.height = lf.lfHeight;
    d.width = lf.lfWidth;
    d.escapement = lf.lfEscapement;
    d.orientation = lf.lfOrientation;
    d.weight = lf.lfWeight;
    d.italic = lf.lfItalic;
    d.underline = lf.lfUnderline;
    d.strikeOut = lf.lfStrikeOut;
    d.charSet = lf.lfCharSet;
    d.outPrecision = lf.lfOutPrecision;
    d.clipPrecision = lf.lfClipPrecision;
    d.quality = lf.lfQuality;
    d.pitchAndFamily = lf.lfPitchAndFamily;
    SetFaceName(d, lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
    return d;
}

}  // namespace fovea

void CFoveaApp::CreateSlotFont(int slot)
{
    LOGFONTA lf = fovea::ToLogFont(m_fontDesc[slot]);
    m_fonts[slot].reset(::CreateFontIndirectA(&lf));
}

void CFoveaApp::WriteFontGroup(HKEY key, int slot)
{
    char name[32];
    const FontDescription& d = m_fontDesc[slot];
    WriteString(key, fovea::FontValueName(slot, fovea::kFontFaceSuffix, name), d.faceName);
    for (const auto& field : kFontNumberFields) {
        int32_t value = field.isByte ? int32_t(d.*field.narrow) : d.*field.wide;
        WriteNumber(key, fovea::FontValueName(slot, field.suffix, name), value);
    }
}

void CFoveaApp::WriteDefaultFonts(HKEY key)
{
    for (int slot = 0; slot < fovea::kFontSlotCount; ++slot) {
        m_fontDesc[slot] = fovea::DefaultFont(slot);
        CreateSlotFont(slot);
        WriteFontGroup(key, slot);
    }
}

int CFoveaApp::ReadFonts(HKEY key)
{
    char name[32];
    for (int slot = 0; slot < fovea::kFontSlotCount; ++slot) {
        CString face;
        if (ReadString(key, fovea::FontValueName(slot, fovea::kFontFaceSuffix, name), face) != 0)
            return -1;
        // A number missing beside a present face name takes the slot's default.
        FontDescription d = fovea::DefaultFont(slot);
        fovea::SetFaceName(d, face.c_str(), size_t(face.GetLength()));
        for (const auto& field : kFontNumberFields) {
            if (field.narrow == &FontDescription::underline)
                continue;  // underline is written, never read back
            int32_t value = 0;
            if (ReadNumber(key, fovea::FontValueName(slot, field.suffix, name), value) != 0)
                continue;
            if (field.isByte)
                d.*field.narrow = uint8_t(value & 0xFF);
            else
                d.*field.wide = value;
        }
        d.underline = 0;
        m_fontDesc[slot] = d;
        CreateSlotFont(slot);
    }
    return 0;
}
