// The drive information line: usage, sizes per cluster, no wrap on large disks, and the plug-in list.
#include <gtest/gtest.h>

#include "browser/DriveInfo.h"

using namespace fovea;

namespace {

DriveSpace Clusters(uint64_t clusterBytes, uint64_t total, uint64_t free)
{
    DriveSpace space;
    space.known = true;
    space.clusterBytes = clusterBytes;
    space.totalClusters = total;
    space.freeClusters = free;
    return space;
}

} // namespace

TEST(DriveInfo, UsageLine)
{
    struct Case {
        const char* name;
        DriveSpace space;
        const char* expected;
    } const cases[] = {
        // Clusters below 1000 bytes count nothing (a 1.44 MB floppy disk).
        {"floppy", Clusters(512, 2847, 2000), "利用率:29.7％ 全体容量:000000KB 空き容量:000000KB "},
        {"quarter free", Clusters(2048, 10000, 2500), "利用率:75.0％ 全体容量:020000KB 空き容量:005000KB "},
        {"full", Clusters(4096, 5000, 0), "利用率:100.0％ 全体容量:020000KB 空き容量:000000KB "},
        {"empty", Clusters(4096, 5000, 5000), "利用率:00.0％ 全体容量:020000KB 空き容量:020000KB "},
        {"no clusters", Clusters(4096, 0, 0), "利用率:100.0％ 全体容量:000000KB 空き容量:000000KB "},
        {"failed query", DriveSpace(), "利用率:00.0％ 全体容量:000000KB 空き容量:000000KB "},
        // More than 4,294,967 used clusters: a 32-bit product would wrap here.
        {"20 GB", Clusters(4096, 5000000, 1000000), "利用率:80.0％ 全体容量:20000000KB 空き容量:4000000KB "},
        {"free beyond total", Clusters(4096, 100, 150), "利用率:00.0％ 全体容量:000400KB 空き容量:000600KB "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, FormatDriveUsage(c.space));
    }
}

TEST(DriveInfo, TwoTerabyteDiskFromItsByteCounts)
{
    // 2 TB in 4096-byte clusters, a third free: 488,281,250 clusters, far past what 32-bit products hold.
    const uint64_t total = 2000000000000ull;
    DriveSpace space = DriveSpaceFromBytes(total, total / 3, 4096);
    EXPECT_EQ(488281250u, space.totalClusters);
    EXPECT_EQ("利用率:66.6％ 全体容量:1953125000KB 空き容量:651041664KB ", FormatDriveUsage(space));

    // Without a known cluster size the sizes are counted in thousands of bytes.
    EXPECT_EQ("利用率:50.0％ 全体容量:3000000000KB 空き容量:1500000000KB ",
              FormatDriveUsage(DriveSpaceFromBytes(3000000000000ull, 1500000000000ull, 0)));
}

TEST(DriveInfo, PathAndPluginList)
{
    DriveSpace space = Clusters(2048, 10000, 2500);
    // Before the sample dialog exists there are no plug-ins: the line ends with the marker.
    EXPECT_EQ("利用率:75.0％ 全体容量:020000KB 空き容量:005000KB |C:\\写真||Libray::",
              FormatDriveInfo(space, "C:\\写真", {}));
    EXPECT_EQ("利用率:75.0％ 全体容量:020000KB 空き容量:005000KB |D:||Libray::,A.SPI,B.SPI",
              FormatDriveInfo(space, "D:", {"A.SPI", "B.SPI"}));
}
