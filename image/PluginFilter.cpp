// Splitting a plug-in's filter text into its extensions, and finding an extension among them.
#include "image/PluginFilter.h"

#include <algorithm>
#include <cstring>

#include "framework/ShiftJis.h"

using fovea::UpperAscii;

std::string FilterExtensions(const char* filter)
{
    std::string list;
    const char* p = filter ? filter : "";
    while (*p) {
        // One pattern ends at ';', ',' or a blank, the separators plug-ins use.
        const char* end = p;
        while (*end && *end != ';' && *end != ',' && *end != ' ')
            ++end;
        std::string pattern(p, end);
        p = *end ? end + 1 : end;
        if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0)
            continue;
        std::string extension = UpperAscii(pattern.substr(2));
        if (extension.find_first_of("*?.") != std::string::npos)
            continue;
        if (!list.empty())
            list += ';';
        list += extension;
    }
    return list;
}

bool ExtensionListHas(const std::string& list, const char* extension)
{
    size_t length = extension ? std::strlen(extension) : 0;
    if (length == 0)
        return false;
    for (size_t at = 0; at <= list.size();) {
        size_t end = list.find(';', at);
        if (end == std::string::npos)
            end = list.size();
        if (end - at == length && list.compare(at, length, extension) == 0)
            return true;
        at = end + 1;
    }
    return false;
}

std::vector<std::string> ForeignPluginNames(std::vector<std::string> found, const std::vector<std::string>& listed)
{
    std::vector<std::string> listedUpper;
    for (const std::string& name : listed)
        listedUpper.push_back(UpperAscii(name));
    // A search for *.SPI also matches the short name of a longer extension (photo.spix): only ".SPI" counts.
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const std::string& name) {
                                   std::string upper = UpperAscii(name);
                                   return upper.size() <= 4 || upper.compare(upper.size() - 4, 4, ".SPI") != 0 ||
                                          std::find(listedUpper.begin(), listedUpper.end(), upper) != listedUpper.end();
                               }),
                found.end());
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        std::string ua = UpperAscii(a), ub = UpperAscii(b);
        return ua != ub ? ua < ub : a < b;
    });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const std::string& a, const std::string& b) { return UpperAscii(a) == UpperAscii(b); }),
                found.end());
    return found;
}
