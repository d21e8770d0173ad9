// TIFF chunk codecs: PackBits, LZW (most-significant bit first, early width change), Deflate, predictor 2.
#include "plugins/tiff/TiffCodecs.h"

#include <cstring>

#include <zlib.h>

namespace tiff {

size_t ExpandPackBits(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity)
{
    size_t in = 0, out = 0;
    while (in < size && out < capacity) {
        int n = int8_t(src[in++]);
        if (n >= 0) {
            size_t k = size_t(n) + 1;
            if (k > size - in)
                k = size - in;
            if (k > capacity - out)
                k = capacity - out;
            std::memcpy(dst + out, src + in, k);
            in += k;
            out += k;
        } else if (n != -128) {
            if (in >= size)
                break;
            size_t k = size_t(1 - n);
            if (k > capacity - out)
                k = capacity - out;
            std::memset(dst + out, src[in++], k);
            out += k;
        }
    }
    return out;
}

bool IsOldStyleLzw(const uint8_t* src, size_t size)
{
    return size >= 2 && src[0] == 0 && (src[1] & 1);
}

// Every table string is an earlier piece of this chunk's output (the previous string plus one byte), so an
// entry is kept as an offset and a length into the output and expands with one forward copy.
size_t ExpandLzw(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity)
{
    constexpr int kClear = 256, kEnd = 257, kFirst = 258, kMaxCodes = 4096;
    size_t offset[kMaxCodes];
    uint32_t length[kMaxCodes];
    int codeSize = 9;
    int next = kFirst;
    int prev = -1;
    size_t prevStart = 0;
    uint64_t bits = 0;
    int bitCount = 0;
    size_t at = 0, out = 0;

    while (out < capacity) {
        if (bitCount < codeSize) {
            if (size - at >= 4) {
                uint32_t word = uint32_t(src[at]) << 24 | src[at + 1] << 16 | src[at + 2] << 8 | src[at + 3];
                bits |= uint64_t(word) << (32 - bitCount);
                at += 4;
                bitCount += 32;
            } else {
                while (bitCount < codeSize && at < size) {
                    bits |= uint64_t(src[at++]) << (56 - bitCount);
                    bitCount += 8;
                }
                if (bitCount < codeSize)
                    break;
            }
        }
        int code = int(bits >> (64 - codeSize));
        bits <<= codeSize;
        bitCount -= codeSize;

        if (code == kClear) {
            codeSize = 9;
            next = kFirst;
            prev = -1;
            continue;
        }
        if (code == kEnd)
            break;
        if (prev >= 0) {
            if (code > next || (code == next && next >= kMaxCodes))
                break;
            if (next < kMaxCodes) {
                offset[next] = prevStart;
                length[next] = (prev < 256 ? 1 : length[prev]) + 1;
                ++next;
                // Writers switch to the wider code one entry before the table reaches the next power of two.
                if (next >= (1 << codeSize) - 1 && codeSize < 12)
                    ++codeSize;
            }
        } else if (code >= kClear) {
            break;
        }
        prev = code;
        prevStart = out;
        if (code < 256) {
            dst[out++] = uint8_t(code);
            continue;
        }
        // A string running past the chunk keeps its beginning only.
        size_t n = length[code];
        if (n > capacity - out)
            n = capacity - out;
        const uint8_t* from = dst + offset[code];
        uint8_t* to = dst + out;
        if (size_t(to - from) >= n) {
            std::memcpy(to, from, n);
        } else {
            // The newest entry ends with its own first byte, which this copy writes first.
            for (size_t i = 0; i < n; ++i)
                to[i] = from[i];
        }
        out += n;
    }
    return out;
}

size_t ExpandDeflate(const uint8_t* src, size_t size, uint8_t* dst, size_t capacity)
{
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK)
        return 0;
    size_t out = 0;
    size_t in = 0;
    // zlib counts in 32-bit units: feed large chunks in slices.
    constexpr size_t kSlice = 1u << 30;
    int status = Z_OK;
    while (status == Z_OK && out < capacity) {
        if (zs.avail_in == 0) {
            if (in >= size)
                break;
            size_t n = size - in < kSlice ? size - in : kSlice;
            zs.next_in = const_cast<Bytef*>(src + in);
            zs.avail_in = uInt(n);
            in += n;
        }
        size_t room = capacity - out < kSlice ? capacity - out : kSlice;
        zs.next_out = dst + out;
        zs.avail_out = uInt(room);
        status = inflate(&zs, Z_NO_FLUSH);
        out += room - zs.avail_out;
        if (status == Z_BUF_ERROR && zs.avail_in == 0 && in < size)
            status = Z_OK;
    }
    inflateEnd(&zs);
    return out;
}

void UndoPredictor(uint8_t* rows, size_t rowCount, size_t rowBytes, uint32_t samplesPerRow, uint32_t stride,
                   uint32_t bitsPerSample, bool bigEndian)
{
    if (stride == 0 || samplesPerRow <= stride)
        return;
    for (size_t r = 0; r < rowCount; ++r) {
        uint8_t* p = rows + r * rowBytes;
        if (bitsPerSample == 8) {
            if (size_t(samplesPerRow) > rowBytes)
                return;
            for (uint32_t i = stride; i < samplesPerRow; ++i)
                p[i] = uint8_t(p[i] + p[i - stride]);
        } else if (bitsPerSample == 16) {
            if (size_t(samplesPerRow) * 2 > rowBytes)
                return;
            int hi = bigEndian ? 0 : 1, lo = 1 - hi;
            for (uint32_t i = stride; i < samplesPerRow; ++i) {
                uint8_t* a = p + size_t(i) * 2;
                const uint8_t* b = p + size_t(i - stride) * 2;
                unsigned v = unsigned(a[hi] << 8 | a[lo]) + unsigned(b[hi] << 8 | b[lo]);
                a[hi] = uint8_t(v >> 8);
                a[lo] = uint8_t(v);
            }
        }
    }
}

} // namespace tiff
