// Shift-JIS aware searches and case conversion.
#include "framework/ShiftJis.h"

namespace fovea {

size_t FindChar(const std::string& text, char ch, size_t start)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (i >= start && text[i] == ch)
            return i;
        if (IsLeadByte(c) && i + 1 < text.size())
            ++i;
    }
    return std::string::npos;
}

size_t ReverseFindChar(const std::string& text, char ch)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (text[i] == ch)
            found = i;
        else if (IsLeadByte(c) && i + 1 < text.size())
            ++i;
    }
    return found;
}

static std::string MapAscii(const std::string& text, char from, char to, int delta)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c)) {
            ++i;
            continue;
        }
        if (out[i] >= from && out[i] <= to)
            out[i] = static_cast<char>(out[i] + delta);
    }
    return out;
}

std::string UpperAscii(const std::string& text)
{
    return MapAscii(text, 'a', 'z', 'A' - 'a');
}

std::string LowerAscii(const std::string& text)
{
    return MapAscii(text, 'A', 'Z', 'a' - 'A');
}

std::string PathFileName(const std::string& path)
{
    size_t slash = ReverseFindChar(path, '\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathFolder(const std::string& path)
{
    size_t slash = ReverseFindChar(path, '\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string PathTitle(const std::string& path)
{
    std::string name = PathFileName(path);
    size_t dot = ReverseFindChar(name, '.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string PathExtension(const std::string& path)
{
    std::string name = PathFileName(path);
    size_t dot = ReverseFindChar(name, '.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace fovea
