// The drive information line: how full the drive of a folder is, the folder and the loaded plug-ins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fovea {

// A drive's size in clusters as the platform reports it. Counts are 64-bit: today's disks hold more clusters
// and bytes than 32-bit products can carry.
struct DriveSpace {
    bool known = false; // false when the query failed
    uint64_t clusterBytes = 0;
    uint64_t totalClusters = 0;
    uint64_t freeClusters = 0;
};

// The space from the byte counts of the drive and its cluster size; a cluster size of 0 (unknown) counts in
// units of 1000 bytes.
DriveSpace DriveSpaceFromBytes(uint64_t totalBytes, uint64_t freeBytes, uint64_t clusterBytes);

// "利用率:PP.T％ 全体容量:NNNNNNKB 空き容量:NNNNNNKB ": the used share to a tenth of a percent, and the total and
// free space in thousands of bytes, truncated per cluster (a cluster below 1000 bytes counts 0), zero-padded
// to six digits and wider when larger. A drive without clusters is full; a failed query shows 00.0 and zeros.
std::string FormatDriveUsage(const DriveSpace& space);

// The whole line: usage + "|" + path + "||Libray::" + ",NAME" for each plug-in file in order.
std::string FormatDriveInfo(const DriveSpace& space, const std::string& path, const std::vector<std::string>& plugins);

} // namespace fovea
