// The dropped-file list block (DROPFILES) that drags carry: built and read without the platform, so that both
// directions can be tested anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/String.h"

namespace fovea {

// A DROPFILES header (file list at offset 20, 8-bit characters), each path with its zero, and a final zero.
std::string BuildDropFiles(const CStringArray& paths);

// The paths of one block, in the block's character width. Exactly one of the two lists is used.
struct DroppedList {
    bool bWide = false;
    std::vector<std::string> narrow;  // code-page bytes as stored
    std::vector<std::u16string> wide; // UTF-16 units as stored
};

// Reads the block of size bytes at its full length. false, with an empty list, when the header is short or
// the list offset lies outside the block (or inside the header). A path whose terminating zero is not inside
// the block is left out, since a cut path could name another file; the complete paths before it are kept.
bool ParseDropFiles(const void* block, size_t size, DroppedList& list);

} // namespace fovea
