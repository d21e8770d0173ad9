// Marker walk over a JPEG file, in the same order the entropy decoder reads it, checking each table before
// the decoder builds it.
#include "plugins/jpeg/JpegStructure.h"

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
bool CheckHuffmanTables(const CBytes& in, size_t at, int length)
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
        at += 17 + size_t(total);
        left -= 17 + total;
    }
    return left == 0;
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
            if (!CheckHuffmanTables(in, body, length))
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
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame)
                return fovea::kDecodeBroken;
            if (++info.scans > kMaxScans)
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
            while (i + 1 < size &&
                   !(data[i] == 0xFF && data[i + 1] != 0 && !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)))
                ++i;
            at = i;
            continue;
        }
        at += size_t(length);
    }
    if (!haveFrame)
        return fovea::kDecodeBroken;
    return fovea::kDecodeOk;
}

} // namespace jpeg
