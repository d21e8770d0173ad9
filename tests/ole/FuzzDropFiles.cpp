// Fuzz target: a dropped-file block read at full length; what was read must survive writing and reading again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ole/DropFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::DroppedList list;
    if (!fovea::ParseDropFiles(data, size, list))
        return 0;
    size_t total = 0;
    for (const std::string& path : list.narrow) {
        if (path.empty() || path.find('\0') != std::string::npos)
            std::abort();
        total += path.size() + 1;
    }
    for (const std::u16string& path : list.wide) {
        if (path.empty() || path.find(u'\0') != std::u16string::npos)
            std::abort();
        total += 2 * (path.size() + 1);
    }
    if (total + 20 > size)
        std::abort();
    if (!list.bWide) {
        CStringArray paths;
        for (const std::string& path : list.narrow)
            paths.Add(CString(path));
        std::string block = fovea::BuildDropFiles(paths);
        fovea::DroppedList again;
        if (!fovea::ParseDropFiles(block.data(), block.size(), again) || again.narrow != list.narrow)
            std::abort();
    }
    return 0;
}
