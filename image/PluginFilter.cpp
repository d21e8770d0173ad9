// Splitting a plug-in's filter text into its extensions, and finding an extension among them.
#include "image/PluginFilter.h"

#include <cstring>

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
        std::string extension = pattern.substr(2);
        if (extension.find_first_of("*?.") != std::string::npos)
            continue;
        for (char& c : extension) {
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        }
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
