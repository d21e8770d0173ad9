// Path pieces and path comparisons of the file operations, double-byte aware (code page 932).
#pragma once

#include <string>

namespace fovea {

// The part after the last dot of the whole string, upper-cased; empty when there is no dot. A dot in a folder
// name counts too ("C:\A.B\README" gives "B\README"): callers pass file names, and they rely on exactly this.
std::string WholeExtension(const std::string& path);

// Equal paths, ASCII letters compared without case and double-byte characters byte for byte. One trailing
// backslash on either side is ignored ("C:\a\" equals "c:\A").
bool SamePath(const std::string& a, const std::string& b);

// True when inner equals outer or lies below it: "C:\a" holds "c:\A\b" but not "C:\a2". A backslash that is
// the second byte of a double-byte character (表 is 0x95 0x5C) is no separator.
bool IsSameOrInside(const std::string& outer, const std::string& inner);

// True when name names one entry of a folder: not empty, not "." or "..", and without "\", "/" or ":", which
// would lead into another folder or onto another drive. A trail byte 0x5C of a double-byte character is no
// backslash.
bool IsOneName(const std::string& name);

// The path without a leading "\\?\" (or "\\?\UNC\" turned back into "\\"), as the final-path queries give it.
std::string WithoutLongPrefix(const std::string& path);

} // namespace fovea
