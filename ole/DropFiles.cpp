// The dropped-file list block, built without the platform so that it can be tested anywhere.
#include <cstdint>
#include <cstring>

#include "ole/DropFiles.h"

namespace fovea {

std::string BuildDropFiles(const CStringArray& paths)
{
    // DROPFILES: pFiles (offset of the list), pt.x, pt.y, fNC, fWide; 20 bytes in all.
    std::string block(20, '\0');
    const uint32_t offset = 20;
    std::memcpy(&block[0], &offset, sizeof offset);
    for (const CString& path : paths.data()) {
        block += path.str();
        block += '\0';
    }
    block += '\0';
    if (paths.IsEmpty())
        block += '\0';  // an empty list is still two zeros
    return block;
}

}  // namespace fovea
