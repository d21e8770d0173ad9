// Shift-JIS (code page 932) helpers: searches from the end that step over double-byte characters.
#pragma once

#include <cstddef>
#include <string>

namespace fovea {

// First byte of a double-byte character in code page 932.
inline bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Position of the last single-byte character ch in text, never a trail byte of a double-byte
// character (表 is 0x95 0x5C); npos when absent. Scans from the start, since a trail byte cannot be
// told from a single byte by looking backwards.
size_t ReverseFindChar(const std::string& text, char ch);

// Position of the first single-byte character ch at or after start; npos when absent.
size_t FindChar(const std::string& text, char ch, size_t start = 0);

// Upper-cases ASCII letters only; double-byte characters pass through untouched.
std::string UpperAscii(const std::string& text);
std::string LowerAscii(const std::string& text);

// Path pieces by the last backslash and the last dot (both double-byte aware).
std::string PathFileName(const std::string& path);   // after the last backslash, or all
std::string PathFolder(const std::string& path);     // before the last backslash, or empty
std::string PathTitle(const std::string& path);      // file name cut before its last dot
std::string PathExtension(const std::string& path);  // after the file name's last dot, or empty

}  // namespace fovea
