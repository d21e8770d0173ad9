// The file filter a plug-in reports ("*.jpg", or several as "*.jpg;*.jpeg;*.jpe"), as the plug-in host keeps
// and matches it.
#pragma once

#include <string>
#include <vector>

// The filter's extensions in upper case joined by ';' ("JPG;JPEG;JPE"); patterns that name no plain extension
// ("*", "*.*", "*.j?g") are left out.
std::string FilterExtensions(const char* filter);

// True when the upper-case extension is one of the ';'-joined list that FilterExtensions made.
bool ExtensionListHas(const std::string& list, const char* extension);

// The plug-ins to load after the listed ones: of the file names found in the program folder, those that end in
// ".SPI" (any letter case) and are not one of listed (compared in upper case), in name order (upper case, byte by
// byte), each once.
std::vector<std::string> ForeignPluginNames(std::vector<std::string> found, const std::vector<std::string>& listed);
