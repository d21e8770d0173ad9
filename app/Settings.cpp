// The settings store in the current user's registry: created with the defaults on the first start, read on
// every later one. Numbers are never written again after the first start.
#include "app/FoveaApp.h"

#include <vector>

using fovea::kNumericSettingCount;
using fovea::kNumericSettings;

int32_t* CFoveaApp::NumericMember(int index)
{
    switch (index) {
    case fovea::kSettingSampleWidth:
        return &m_nSampleWidth;
    case fovea::kSettingSampleHeight:
        return &m_nSampleHeight;
    case fovea::kSettingShowLauncher:
        return &m_bShowLauncher;
    case fovea::kSettingToolTipMode:
        return &m_nToolTipMode;
    case fovea::kSettingLauncherWidth:
        return &m_nLauncherWidth;
    case fovea::kSettingViewWidth:
        return &m_nViewWidth;
    case fovea::kSettingTreeWidth:
        return &m_nTreeWidth;
    case fovea::kSettingClickMode:
        return &m_nClickMode;
    default:
        return nullptr;
    }
}

int CFoveaApp::CreateSettingsKey()
{
    fovea::ScopedRegKey company, product;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, m_strSettingsCompanyKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, company.put(), nullptr) != ERROR_SUCCESS)
        return 0;
    if (::RegCreateKeyExA(company.get(), m_strSettingsProductKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, product.put(), &disposition) != ERROR_SUCCESS)
        return 0;
    return disposition == REG_CREATED_NEW_KEY ? 1 : 0;
}

HKEY CFoveaApp::OpenSettingsKey()
{
    HKEY key = nullptr;
    CString path = m_strSettingsCompanyKey + "\\" + m_strSettingsProductKey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

int CFoveaApp::ReadNumber(HKEY key, const char* name, int32_t& value)
{
    if (!key)
        return -1;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    // A value of another type or size is treated as missing.
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return -1;
    value = int32_t(data);
    return 0;
}

int CFoveaApp::ReadString(HKEY key, const char* name, CString& value)
{
    if (!key)
        return -1;
    // Read at the value's full length: a fixed buffer would cut long values.
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return -1;
    std::vector<char> buffer(size + 1, '\0');
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return -1;
    buffer[std::min<size_t>(size, buffer.size() - 1)] = '\0';
    value = buffer.data();
    return 0;
}

void CFoveaApp::WriteNumber(HKEY key, const char* name, int32_t value)
{
    DWORD data = DWORD(value);
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void CFoveaApp::WriteString(HKEY key, const char* name, const CString& value)
{
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.GetLength()));
}

void CFoveaApp::CloseKey(HKEY key)
{
    if (key)
        ::RegCloseKey(key);
}

void CFoveaApp::LoadSettings()
{
    int created = CreateSettingsKey();
    HKEY key = OpenSettingsKey();
    if (created) {
        m_bFirstRun = 1;
        WriteDefaultFonts(key);
        for (int i = 0; i < kNumericSettingCount; ++i) {
            *NumericMember(i) = kNumericSettings[i].defaultValue;
            WriteNumber(key, kNumericSettings[i].name, *NumericMember(i));
        }
    } else {
        m_bFirstRun = 0;
        ReadFonts(key);
        for (int i = 0; i < kNumericSettingCount; ++i)
            ReadNumber(key, kNumericSettings[i].name, *NumericMember(i));
    }
    CloseKey(key);
}
