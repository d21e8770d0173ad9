// Marker walk over a JPEG file, in the same order the entropy decoder reads it, checking each table before
// the decoder builds it.
#include "plugins/jpeg/JpegStructure.h"

#include <algorithm>
#include <cstdint>

#include "plugins/shim/Picture.h"

namespace jpeg {

namespace {

// Bytes past the end read as zero, as the decoder itself reads them.
struct CBytes {
    const uint8_t* m_p;
    size_t m_nSize;

    uint8_t At(size_t i) const { return i < m_nSize ? m_p[i] : 0; }
    uint16_t Get16(size_t i) const { return uint16_t(At(i) << 8 | At(i + 1)); }
};

// One or more Huffman tables in a DHT segment. The decoder fills a 257-entry length list with as many
// entries as the counts add up to, so a table may hold at most 256 codes, and the codes of each length
// must fit in that many bits.
bool CheckHuffmanTables(const CBytes& in, size_t at, int length, bool defined[2][4])
{
    int left = length - 2;
    while (left > 0) {
        uint8_t kind = in.At(at);
        if ((kind >> 4) > 1 || (kind & 15) > 3)
            return false;
        int total = 0;
        uint32_t code = 0;
        for (int bits = 1; bits <= 16; ++bits) {
            int count = in.At(at + size_t(bits));
            total += count;
            code += uint32_t(count);
            if (code > (1u << bits))
                return false;
            code <<= 1;
        }
        if (total > 256)
            return false;
        defined[kind >> 4][kind & 15] = true;
        at += 17 + size_t(total);
        left -= 17 + total;
    }
    return left == 0;
}

// The library allocates its decoder state without clearing it: a scan that names a Huffman table no DHT
// segment defined would decode through leftover memory. Each scan may use only tables already defined.
bool ScanTablesDefined(const CBytes& in, size_t body, bool progressive, bool defined[2][4])
{
    int count = in.At(body);
    size_t spectral = body + 1 + size_t(count) * 2;
    bool dcScan = in.At(spectral) == 0;
    bool refining = (in.At(spectral + 2) >> 4) != 0;
    for (int i = 0; i < count; ++i) {
        uint8_t tables = in.At(body + 2 + size_t(i) * 2);
        int dc = tables >> 4, ac = tables & 15;
        if (dc > 3 || ac > 3)
            return false;
        bool needDc = !progressive || (dcScan && !refining);
        bool needAc = !progressive || !dcScan;
        if ((needDc && !defined[0][dc]) || (needAc && !defined[1][ac]))
            return false;
    }
    return true;
}

// Blocks of the component with the fewest, from the frame header's sampling factors.
uint64_t FewestBlocks(const CBytes& in, size_t body, const CFrameInfo& info)
{
    int hMax = 1, vMax = 1;
    for (int i = 0; i < info.components; ++i) {
        uint8_t hv = in.At(body + 6 + size_t(i) * 3 + 1);
        hMax = std::max(hMax, hv >> 4);
        vMax = std::max(vMax, hv & 15);
    }
    uint64_t fewest = UINT64_MAX;
    for (int i = 0; i < info.components; ++i) {
        uint8_t hv = in.At(body + 6 + size_t(i) * 3 + 1);
        uint64_t w = (uint64_t(info.width) * std::max(1, hv >> 4) + uint64_t(hMax) - 1) / uint64_t(hMax);
        uint64_t h = (uint64_t(info.height) * std::max(1, hv & 15) + uint64_t(vMax) - 1) / uint64_t(vMax);
        fewest = std::min(fewest, ((w + 7) / 8) * ((h + 7) / 8));
    }
    return fewest;
}

bool IsFrameMarker(uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

} // namespace

int CheckStructure(const uint8_t* data, size_t size, CFrameInfo& info)
{
    info = CFrameInfo();
    CBytes in{data, size};
    if (size < 4 || in.At(0) != 0xFF || in.At(1) != 0xD8)
        return fovea::kDecodeUnknownFormat;
    size_t at = 2;
    bool haveFrame = false;
    uint64_t minBlocks = 0;
    bool defined[2][4] = {}; // Huffman tables seen so far: DC, AC
    uint64_t dataBytes = 0;
    info.validEnd = size;
    while (at < size) {
        // The decoder steps over stray bytes between segments, so the walk does too.
        if (in.At(at) != 0xFF) {
            ++at;
            continue;
        }
        while (at < size && in.At(at) == 0xFF)
            ++at;
        if (at >= size)
            break;
        uint8_t marker = in.At(at++);
        if (marker == 0xD9) {
            info.complete = true;
            break;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        if (at + 2 > size || at + size_t(in.Get16(at)) > size) {
            // A segment the file's end cuts through: what came before it may still be shown.
            info.validEnd = at - 2;
            while (info.validEnd > 0 && data[info.validEnd - 1] == 0xFF)
                --info.validEnd;
            break;
        }
        int length = in.Get16(at);
        if (length < 2)
            return fovea::kDecodeBroken;
        size_t body = at + 2;
        if (marker == 0xC4) {
            if (!CheckHuffmanTables(in, body, length, defined))
                return fovea::kDecodeBroken;
        } else if (IsFrameMarker(marker)) {
            if (haveFrame)
                return fovea::kDecodeBroken;
            if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2)
                return fovea::kDecodeUnknownFormat;
            if (in.At(body) != 8)
                return fovea::kDecodeUnknownFormat;
            info.height = in.Get16(body + 1);
            info.width = in.Get16(body + 3);
            info.components = in.At(body + 5);
            info.progressive = marker == 0xC2;
            if (info.height == 0)
                return fovea::kDecodeUnknownFormat;
            if (info.width == 0 || (info.components != 1 && info.components != 3 && info.components != 4))
                return fovea::kDecodeBroken;
            if (info.width > fovea::kMaxPictureSide || info.height > fovea::kMaxPictureSide ||
                int64_t(info.width) * info.height > fovea::kMaxPicturePixels)
                return fovea::kDecodeNoMemory;
            minBlocks = FewestBlocks(in, body, info);
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame)
                return fovea::kDecodeBroken;
            if (++info.scans > kMaxScans)
                return fovea::kDecodeBroken;
            if (!ScanTablesDefined(in, body, info.progressive, defined))
                return fovea::kDecodeBroken;
            size_t scanStart = at - 2;
            // Entropy-coded data runs to the next marker other than a stuffed zero or a restart.
            size_t i = at + size_t(length);
            if (i >= size) {
                // A scan header with no data after it: the picture ends with the scan before.
                --info.scans;
                info.validEnd = at - 2;
                while (info.validEnd > 0 && data[info.validEnd - 1] == 0xFF)
                    --info.validEnd;
                break;
            }
            info.lastScan = scanStart;
            info.lastScanData = i;
            while (i + 1 < size &&
                   !(data[i] == 0xFF && data[i + 1] != 0 && !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)))
                ++i;
            info.lastScanDataEnd = i + 1 < size ? i : size;
            dataBytes += info.lastScanDataEnd - info.lastScanData;
            at = i;
            continue;
        }
        at += size_t(length);
    }
    if (!haveFrame)
        return fovea::kDecodeBroken;
    // Every block's DC value takes a Huffman code of at least one bit in some scan. Data too short for that
    // is a tiny file claiming a huge picture (seconds of decoding for nothing) or a cut that left nothing.
    if (info.scans > 0 && dataBytes * 8 < minBlocks)
        return fovea::kDecodeBroken;
    return fovea::kDecodeOk;
}

} // namespace jpeg
