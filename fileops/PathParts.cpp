// Path pieces and comparisons for the file operations.
#include "fileops/PathParts.h"

#include "framework/ShiftJis.h"

namespace fovea {

namespace {

// The path without one trailing backslash that is a real separator; a drive root "C:\" becomes "C:".
std::string WithoutTrailingSeparator(const std::string& path)
{
    if (!path.empty() && ReverseFindChar(path, '\\') == path.size() - 1)
        return path.substr(0, path.size() - 1);
    return path;
}

// True when position at of text starts a character (is not the second byte of a double-byte one).
bool IsCharBoundary(const std::string& text, size_t at)
{
    size_t i = 0;
    while (i < at)
        i += (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    return i == at;
}

} // namespace

std::string WholeExtension(const std::string& path)
{
    size_t dot = ReverseFindChar(path, '.');
    return dot == std::string::npos ? std::string() : UpperAscii(path.substr(dot + 1));
}

bool SamePath(const std::string& a, const std::string& b)
{
    return LowerAscii(WithoutTrailingSeparator(a)) == LowerAscii(WithoutTrailingSeparator(b));
}

bool IsSameOrInside(const std::string& outer, const std::string& inner)
{
    std::string folded = LowerAscii(WithoutTrailingSeparator(outer));
    std::string candidate = LowerAscii(WithoutTrailingSeparator(inner));
    if (folded.empty())
        return false;
    if (candidate == folded)
        return true;
    if (candidate.size() <= folded.size() || candidate.compare(0, folded.size(), folded) != 0)
        return false;
    // The byte after the outer path must be a separator of its own, not the trail byte of a character that
    // began with the outer path's last byte.
    return candidate[folded.size()] == '\\' && IsCharBoundary(candidate, folded.size());
}

bool IsOneName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && ReverseFindChar(name, '\\') == std::string::npos &&
           name.find('/') == std::string::npos && name.find(':') == std::string::npos;
}

std::string WithoutLongPrefix(const std::string& path)
{
    static const std::string kUnc = "\\\\?\\UNC\\";
    static const std::string kLong = "\\\\?\\";
    if (path.compare(0, kUnc.size(), kUnc) == 0)
        return "\\\\" + path.substr(kUnc.size());
    if (path.compare(0, kLong.size(), kLong) == 0)
        return path.substr(kLong.size());
    return path;
}

} // namespace fovea
