// The dropped-file list block that drags carry: built without the platform so that it can be tested anywhere.
#pragma once

#include <string>

#include "framework/String.h"

namespace fovea {

// A DROPFILES header (file list at offset 20, 8-bit characters), each path with its zero, and a final zero.
std::string BuildDropFiles(const CStringArray& paths);

}  // namespace fovea
