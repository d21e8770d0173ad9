// The drive information line, computed in 64 bits.
#include "browser/DriveInfo.h"

#include <cinttypes>
#include <cstdio>

namespace fovea {

DriveSpace DriveSpaceFromBytes(uint64_t totalBytes, uint64_t freeBytes, uint64_t clusterBytes)
{
    DriveSpace space;
    space.known = true;
    space.clusterBytes = clusterBytes ? clusterBytes : 1000;
    space.totalClusters = totalBytes / space.clusterBytes;
    space.freeClusters = freeBytes / space.clusterBytes;
    return space;
}

std::string FormatDriveUsage(const DriveSpace& space)
{
    uint64_t tenths = 0;
    uint64_t total = 0;
    uint64_t free = 0;
    if (space.known) {
        const uint64_t k = space.clusterBytes / 1000;
        total = k * space.totalClusters;
        free = k * space.freeClusters;
        if (space.totalClusters == 0) {
            tenths = 1000;
        } else {
            // More free than there is (a report taken while the drive changed) counts as empty.
            uint64_t used = space.freeClusters < space.totalClusters ? space.totalClusters - space.freeClusters : 0;
            tenths = used * 1000 / space.totalClusters;
        }
    }
    char text[160];
    std::snprintf(text, sizeof text, "利用率:%02u.%01u％ 全体容量:%06" PRIu64 "KB 空き容量:%06" PRIu64 "KB ",
                  unsigned(tenths / 10), unsigned(tenths % 10), total, free);
    return text;
}

std::string FormatDriveInfo(const DriveSpace& space, const std::string& path, const std::vector<std::string>& plugins)
{
    std::string line = FormatDriveUsage(space) + "|" + path + "||Libray::";
    for (const std::string& name : plugins)
        line += "," + name;
    return line;
}

} // namespace fovea
