// XLD4 decoding, as far as the format is known. The file holds its length (16 bits, little-endian) at 8, unused
// here, and "MAJYO" at 11; chunks follow from 16, each with a 6-byte header: length of its codes, two bytes of unknown
// use, and the number of pixel pairs it yields. Codes are read most significant bit first, 3 bits wide at the start of
// a chunk: 0 ends the chunk, 1 makes codes one bit wider (at most 15), any other value v stands for v - 2, a
// symbol 0-16 or, above that, a phrase of the chunk's LZW dictionary (each code after the first adds the previous
// phrase plus the first symbol of the current one). Symbols 0-15 are nibbles; 16 and a count n repeat the last
// nibble n + 2 more times. The first chunk starts with the palette, 16 x red, green, blue levels 0-15; the
// nibbles after it are the pixels, two a pair, left one first, in reading order.
#include "plugins/xld4/Xld4Decoder.h"

#include <cstring>
#include <new>

namespace fovea {
namespace {

constexpr size_t kFirstChunk = 16;
constexpr size_t kChunkHeader = 6;
constexpr int kFirstWidth = 3;
constexpr int kMaxWidth = 15;
constexpr uint32_t kFirstPhrase = 2 + 17; // codes 2-18 are the symbols 0-16
constexpr size_t kPaletteNibbles = 48;
constexpr size_t kTotalPairs = size_t(xld4::kWidth) * xld4::kHeight / 2;

uint32_t Le16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

class CBitReader {
public:
    CBitReader(const uint8_t* p, size_t size) : m_p(p), m_bitsLeft(uint64_t(size) * 8) {}
    bool Read(int n, uint32_t& v)
    {
        if (m_bitsLeft < uint64_t(n))
            return false;
        m_bitsLeft -= uint64_t(n);
        v = 0;
        while (n-- > 0) {
            v = v << 1 | uint32_t((m_p[m_bit >> 3] >> (7 - (m_bit & 7))) & 1);
            ++m_bit;
        }
        return true;
    }

private:
    const uint8_t* m_p;
    uint64_t m_bitsLeft;
    size_t m_bit = 0;
};

// The run layer over the symbols, collecting nibbles up to a limit.
class CRunExpander {
public:
    CRunExpander(size_t limit, std::vector<uint8_t>& out) : m_limit(limit), m_out(out) {}
    bool Put(uint8_t symbol)
    {
        if (m_bRunCount) {
            m_bRunCount = false;
            if (symbol >= xld4::kRunSymbol)
                return false;
            size_t repeat = size_t(symbol) + 2;
            if (m_limit - m_out.size() < repeat)
                return false;
            m_out.insert(m_out.end(), repeat, m_out.back());
            return true;
        }
        if (symbol == xld4::kRunSymbol) {
            m_bRunCount = true;
            return !m_out.empty();
        }
        if (m_out.size() >= m_limit)
            return false;
        m_out.push_back(symbol);
        return true;
    }
    bool Finished() const { return !m_bRunCount; }

private:
    size_t m_limit;
    std::vector<uint8_t>& m_out;
    bool m_bRunCount = false;
};

} // namespace

namespace xld4 {

bool UnpackChunk(const uint8_t* codes, size_t size, size_t limit, std::vector<uint8_t>& nibbles)
{
    // Nodes 0-16 are the single symbols, later ones dictionary phrases: a prefix node and one more symbol.
    constexpr uint32_t kSymbols = kFirstPhrase - 2;
    constexpr uint32_t kMaxNodes = (1u << kMaxWidth) - 2;
    try {
        std::vector<uint16_t> prefix(kSymbols, 0);
        std::vector<uint8_t> suffix(kSymbols), head(kSymbols);
        for (uint32_t s = 0; s < kSymbols; ++s)
            suffix[s] = head[s] = uint8_t(s);
        std::vector<uint8_t> phrase;
        CBitReader bits(codes, size);
        CRunExpander runs(limit, nibbles);
        int width = kFirstWidth;
        int64_t previous = -1;
        for (;;) {
            uint32_t code;
            if (!bits.Read(width, code))
                return false;
            if (code == 0)
                return runs.Finished();
            if (code == 1) {
                if (++width > kMaxWidth)
                    return false;
                continue;
            }
            const uint32_t node = code - 2;
            const uint32_t nodes = uint32_t(suffix.size());
            uint32_t walk = node;
            phrase.clear();
            if (node == nodes && previous >= 0) {
                phrase.push_back(head[size_t(previous)]); // the phrase being defined: previous + its first symbol
                walk = uint32_t(previous);
            } else if (node >= nodes) {
                return false;
            }
            for (;;) {
                phrase.push_back(suffix[walk]);
                if (walk < kSymbols)
                    break;
                walk = prefix[walk];
            }
            for (size_t i = phrase.size(); i-- > 0;)
                if (!runs.Put(phrase[i]))
                    return false;
            const uint8_t firstSymbol = phrase.back();
            if (previous >= 0 && nodes < kMaxNodes) {
                prefix.push_back(uint16_t(previous));
                suffix.push_back(firstSymbol);
                head.push_back(head[size_t(previous)]);
            }
            previous = node;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace xld4

bool IsXld4(const uint8_t* data, size_t size)
{
    // The length field at 8 is not checked: the host may pass only the file's first bytes here, and what the
    // field holds for files longer than 64 KiB is not known.
    return data && size >= kFirstChunk + kChunkHeader && std::memcmp(data + 11, "MAJYO", 5) == 0;
}

int DecodeXld4(const uint8_t* data, size_t size, DecodedPicture& out)
{
    out = DecodedPicture();
    if (!IsXld4(data, size))
        return kDecodeUnknownFormat;
    std::vector<uint8_t> nibbles;
    try {
        nibbles.reserve(kPaletteNibbles + kTotalPairs * 2);
    } catch (const std::bad_alloc&) {
        return kDecodeNoMemory;
    }
    size_t at = kFirstChunk, pairs = 0;
    bool bFirst = true;
    while (pairs < kTotalPairs) {
        if (size - at < kChunkHeader)
            return kDecodeBroken;
        const size_t codeBytes = Le16(data + at), chunkPairs = Le16(data + at + 4);
        at += kChunkHeader;
        if (size - at < codeBytes || chunkPairs > kTotalPairs - pairs || (chunkPairs == 0 && !bFirst))
            return kDecodeBroken;
        const size_t want = (bFirst ? kPaletteNibbles : 0) + chunkPairs * 2;
        const size_t before = nibbles.size();
        if (!xld4::UnpackChunk(data + at, codeBytes, before + want, nibbles) || nibbles.size() - before != want)
            return kDecodeBroken;
        at += codeBytes;
        pairs += chunkPairs;
        bFirst = false;
    }

    if (!out.Allocate(xld4::kWidth, xld4::kHeight, 4))
        return kDecodeNoMemory;
    for (int i = 0; i < 16; ++i) {
        const uint8_t* c = nibbles.data() + i * 3;
        out.SetPaletteEntry(i, uint8_t(c[0] * 17), uint8_t(c[1] * 17), uint8_t(c[2] * 17));
    }
    const uint8_t* px = nibbles.data() + kPaletteNibbles;
    for (int y = 0; y < xld4::kHeight; ++y) {
        uint8_t* row = out.TopRow(y);
        for (int x = 0; x < xld4::kWidth; x += 2, px += 2)
            row[x / 2] = uint8_t(px[0] << 4 | px[1]);
    }
    return kDecodeOk;
}

} // namespace fovea
