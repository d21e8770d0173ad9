// A walk over a JPEG file's marker segments that finds what the entropy decoder must never be given:
// Huffman tables that overflow, unsupported frame types, pictures too large, endless scan lists.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jpeg {

struct CFrameInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    int scans = 0;
    bool progressive = false;
    bool complete = false;      // the walk reached the end-of-image marker
    size_t validEnd = 0;        // where the data stops making sense: the file's end, or a segment cut off
    size_t lastScan = 0;        // offset of the last scan header's marker
    size_t lastScanData = 0;    // where that scan's entropy-coded data begins
    size_t lastScanDataEnd = 0; // ... and where it ends
};

// Upper bound on scans: real progressive files use about ten; each scan costs a pass over the picture.
constexpr int kMaxScans = 256;

// kDecodeOk with the frame's facts, kDecodeUnknownFormat for JPEG variants not decoded here (lossless,
// arithmetic, 12-bit, hierarchical, height defined later), kDecodeBroken for damaged structure. A file
// that ends early is not an error: the picture decoder shows what is there.
int CheckStructure(const uint8_t* data, size_t size, CFrameInfo& info);

} // namespace jpeg
