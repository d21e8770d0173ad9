// The file filter a plug-in reports ("*.jpg", or several as "*.jpg;*.jpeg;*.jpe"), as the plug-in host keeps
// and matches it.
#pragma once

#include <string>

// The filter's extensions in upper case joined by ';' ("JPG;JPEG;JPE"); patterns that name no plain extension
// ("*", "*.*", "*.j?g") are left out.
std::string FilterExtensions(const char* filter);

// True when the upper-case extension is one of the ';'-joined list that FilterExtensions made.
bool ExtensionListHas(const std::string& list, const char* extension);
