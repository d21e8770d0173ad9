// PIC2's compressed blocks. Both kinds describe a block as change points: a pixel keeps the colour of the pixel
// before it (the last pixel of the line above for the first one) unless it starts a new colour. A coloured pixel
// may hand its colour down to the next line, straight below or one or two pixels to either side; such chains
// follow the edges of areas, and a pixel reached by one takes the colour it carries with no further code (and may
// pass it on). A new colour is either picked from a cache of recent colours or given in full.
//
// P2SF is plain bits, most significant first: the count of unchained pixels before the next change point, the
// chain steps as pixels are reached, and colours cached in rings of 64 keyed by the colour to the left.
// P2SS codes every decision as one bit of a binary arithmetic coder with 128 contexts, whose probabilities head
// the block. Whether a pixel changes is told in a context counting the change points nearby, chains in contexts
// of the direction they arrived from; colours are cached in rings of 32 keyed by the pixel above, and a new one
// is coded level by level against the mean of the pixels above and to the left.
#include "plugins/pic2/Pic2Compressed.h"

#include <algorithm>
#include <new>
#include <vector>

#include "plugins/shim/MsbBitReader.h"
#include "plugins/shim/Picture.h"

namespace fovea {
namespace {

// Streams end with their last code; a few bytes of zeros past the data are tolerated, more mean a cut block.
constexpr size_t kMaxOverrunBytes = 8;
// Chains reach two pixels to either side, so every line keeps that much room beside it.
constexpr int kMargin = 2;

// N lines of a block, each with the margin beside it, taken in turn: Row(0) is the oldest. Advance() moves every
// line up one place and recycles the oldest as the newest.
template <typename T, int N> class CLineRing {
public:
    bool Allocate(uint32_t width)
    {
        m_stride = size_t(width) + 2 * kMargin;
        try {
            m_data.assign(m_stride * N, T());
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    T* Row(int i) { return m_data.data() + size_t((m_first + i) % N) * m_stride + kMargin; }
    void Clear(int i) { std::fill_n(Row(i) - kMargin, m_stride, T()); }
    void Advance() { m_first = (m_first + 1) % N; }

private:
    std::vector<T> m_data;
    size_t m_stride = 0;
    int m_first = 0;
};

// Per-level masks and shifts of a colour value, green levels on top.
struct LevelLayout {
    explicit LevelLayout(int depth) : bits(depth / 3), max((1u << bits) - 1) {}
    uint32_t Green(uint32_t c) const { return c >> (2 * bits) & max; }
    uint32_t Red(uint32_t c) const { return c >> bits & max; }
    uint32_t Blue(uint32_t c) const { return c & max; }
    uint32_t Pack(uint32_t g, uint32_t r, uint32_t b) const { return (g << bits | r) << bits | b; }
    int bits;
    uint32_t max;
};

// The decoder of a P2SF block.
class CFastBlock {
public:
    CFastBlock(const uint8_t* data, size_t size, int depth) : m_bits(data, size, kMaxOverrunBytes), m_depth(depth) {}
    int Decode(uint32_t width, uint32_t lines, const Pic2LineSink& sink);

private:
    static constexpr int kRing = 64;
    // A run of this length is an escape: the next 1023 chain pixels pass with no change point among the
    // unchained ones, and longer runs are written one higher to keep the code free.
    static constexpr int64_t kEscapeRun = 1023;

    int64_t ReadLength();
    void NextRun();
    uint32_t ReadColour(uint32_t left);
    void FollowChain(int x, uint32_t colour);

    CMsbBitReader m_bits;
    int m_depth;
    bool m_bBad = false;
    int64_t m_run = 0;      // unchained pixels still to pass before the next change point
    int m_chainsToPass = 0; // after an escape: chain pixels still to pass before the next run length
    std::vector<uint32_t> m_cache;
    uint8_t m_cacheStart[256] = {};
    uint32_t* m_next = nullptr;
    uint8_t* m_nextChained = nullptr;
};

// n ones and a zero, then n bits: 0 when n is 0, else 2^n - 1 + the bits.
int64_t CFastBlock::ReadLength()
{
    int n = 0;
    while (m_bits.Bit()) {
        if (++n > 30) {
            m_bBad = true;
            return 0;
        }
    }
    return n == 0 ? 0 : int64_t(m_bits.Bits(n)) + (int64_t(1) << n) - 1;
}

void CFastBlock::NextRun()
{
    m_run = ReadLength();
    if (m_run == kEscapeRun)
        m_chainsToPass = int(kEscapeRun);
    else if (m_run > kEscapeRun)
        --m_run;
}

// A 0 bit gives the colour in full (it goes to the front of the ring), a 1 bit a 6-bit place in the ring. The ring
// is the one of the left colour's top 8 bits.
uint32_t CFastBlock::ReadColour(uint32_t left)
{
    const uint32_t key = m_depth >= 8 ? left >> (m_depth - 8) : left << (8 - m_depth);
    uint32_t* ring = m_cache.data() + size_t(key) * kRing;
    uint8_t& start = m_cacheStart[key];
    if (m_bits.Bit())
        return ring[(start + m_bits.Bits(6)) % kRing];
    start = uint8_t((start + kRing - 1) % kRing);
    ring[start] = m_bits.Bits(m_depth);
    return ring[start];
}

// 0: the chain ends. 11: straight down. 1011 / 1010: one / two to the left. 1001 / 1000: one / two to the right.
void CFastBlock::FollowChain(int x, uint32_t colour)
{
    if (!m_bits.Bit())
        return;
    int to = x;
    if (!m_bits.Bit())
        to = m_bits.Bit() ? (m_bits.Bit() ? x - 1 : x - 2) : (m_bits.Bit() ? x + 1 : x + 2);
    m_next[to] = colour;
    m_nextChained[to] = 1;
}

int CFastBlock::Decode(uint32_t width, uint32_t lines, const Pic2LineSink& sink)
{
    CLineRing<uint32_t, 3> values;
    CLineRing<uint8_t, 2> chained;
    try {
        m_cache.assign(256 * kRing, 0);
    } catch (const std::bad_alloc&) {
        return kDecodeNoMemory;
    }
    if (!values.Allocate(width) || !chained.Allocate(width))
        return kDecodeNoMemory;
    NextRun();
    for (uint32_t y = 0; y < lines; ++y) {
        const uint32_t* above = values.Row(0);
        uint32_t* line = values.Row(1);
        const uint8_t* onChain = chained.Row(0);
        m_next = values.Row(2);
        chained.Clear(1);
        m_nextChained = chained.Row(1);
        uint32_t colour = y == 0 ? 0 : above[width - 1];
        for (int x = 0; x < int(width); ++x) {
            if (onChain[x]) {
                colour = line[x];
                FollowChain(x, colour);
                if (m_chainsToPass > 0 && --m_chainsToPass == 0)
                    NextRun();
            } else if (m_chainsToPass == 0 && --m_run < 0) {
                colour = ReadColour(colour);
                line[x] = colour;
                FollowChain(x, colour);
                NextRun();
            } else {
                line[x] = colour;
            }
        }
        if (m_bBad || m_bits.Overrun())
            return kDecodeBroken;
        sink(y, line);
        values.Advance();
        chained.Advance();
    }
    return kDecodeOk;
}

// The binary arithmetic decoder of P2SS blocks.
class CArithmeticDecoder {
public:
    CArithmeticDecoder(const uint8_t* probabilities, CMsbBitReader& bits) : m_bits(bits)
    {
        for (int i = 0; i < kContexts; ++i)
            m_probability[i] = uint32_t(probabilities[2 * i]) << 8 | probabilities[2 * i + 1];
        m_code = m_bits.Bits(16);
    }
    static constexpr int kContexts = 128;
    static constexpr size_t kTableSize = 2 * kContexts;

    // The context's probability (of a 0, out of 65536) splits the range; the range then doubles, taking in a
    // new code bit each time, until it is at least half the 16-bit scale again.
    uint32_t Bit(int context)
    {
        uint32_t split = (m_range >> 8) * m_probability[context & (kContexts - 1)] >> 8;
        if (split == 0)
            split = 1;
        uint32_t bit = 0;
        if (m_code >= split) {
            m_code -= split;
            m_range -= split;
            bit = 1;
        } else {
            m_range = split;
        }
        while (m_range < 0x8000) {
            m_range <<= 1;
            m_code = m_code << 1 | m_bits.Bit();
        }
        return bit;
    }

    // 0 to 255: k zeros and a one in contexts c, c+1, ... then k bits, lowest first, in contexts c+8, c+9, ...
    // give 2^k - 1 + those bits; eight zeros give 255.
    uint32_t Number(int context)
    {
        for (int k = 0; k < 8; ++k) {
            if (Bit(context + k)) {
                uint32_t n = (1u << k) - 1;
                for (int i = 0; i < k; ++i)
                    n += Bit(context + 8 + i) << i;
                return n;
            }
        }
        return 255;
    }

private:
    CMsbBitReader& m_bits;
    uint32_t m_probability[kContexts];
    uint32_t m_range = 0xFFFF;
    uint32_t m_code = 0;
};

// The decoder of a P2SS block.
class CArithBlock {
public:
    CArithBlock(const uint8_t* data, size_t size, int depth)
        : m_bits(data + CArithmeticDecoder::kTableSize, size - CArithmeticDecoder::kTableSize, kMaxOverrunBytes),
          m_coder(data, m_bits), m_levels(depth)
    {
    }
    int Decode(uint32_t width, uint32_t height, uint32_t lines, const Pic2LineSink& sink);

private:
    static constexpr int kRing = 32;
    // Contexts: whether a new colour misses the cache (16 after a miss, 15 after a hit), its place in the ring,
    // green, red and blue levels, and chains (six apiece by the direction the chain arrived from).
    static constexpr int kContextNewColour = 16;
    static constexpr int kContextCachePlace = 17;
    static constexpr int kContextGreen = 32, kContextRed = 48, kContextBlue = 64;
    static constexpr int kContextChain = 80;

    uint32_t ReadLevel(int context, uint32_t guess);
    uint32_t ReadColour(uint32_t above, uint32_t left);
    void FollowChain(int x, uint32_t colour, int arrivedFrom);

    CMsbBitReader m_bits;
    CArithmeticDecoder m_coder;
    LevelLayout m_levels;
    int m_newColourContext = kContextNewColour;
    std::vector<uint32_t> m_cache;
    uint8_t m_cacheStart[512] = {};
    uint32_t* m_next = nullptr;
    uint8_t* m_nextChain = nullptr;
};

// Levels are numbered outwards from the guess, alternately above and below it (guess, +1, -1, +2, ...) until one
// side runs out of levels, then on along the other side.
uint32_t CArithBlock::ReadLevel(int context, uint32_t guess)
{
    const int n = int(m_coder.Number(context));
    const int g = int(guess), max = int(m_levels.max);
    int level;
    if (g > max / 2 && n > (max - g) * 2)
        level = max - n;
    else if (g <= max / 2 && n > g * 2)
        level = n;
    else
        level = n & 1 ? g + n / 2 + 1 : g - n / 2;
    return uint32_t(std::clamp(level, 0, max));
}

uint32_t CArithBlock::ReadColour(uint32_t above, uint32_t left)
{
    const LevelLayout& l = m_levels;
    auto top3 = [&](uint32_t level) { return l.bits >= 3 ? level >> (l.bits - 3) : level << (3 - l.bits); };
    const uint32_t key = top3(l.Green(above)) << 6 | top3(l.Red(above)) << 3 | top3(l.Blue(above));
    uint32_t* ring = m_cache.data() + size_t(key) * kRing;
    uint8_t& start = m_cacheStart[key];
    if (!m_coder.Bit(m_newColourContext)) {
        // A hit at place n moves the colour to the front, the front one to place n / 2 and that one to n.
        m_newColourContext = kContextNewColour - 1;
        const uint32_t n = m_coder.Number(kContextCachePlace);
        const uint32_t half = (start + n / 2) % kRing, hit = (start + n) % kRing;
        const uint32_t colour = ring[hit];
        ring[hit] = ring[half];
        ring[half] = ring[start];
        ring[start] = colour;
        return colour;
    }
    m_newColourContext = kContextNewColour;
    // Green against the mean of above and left; red and blue against theirs moved as far as green moved.
    const int green = int(l.Green(above) + l.Green(left)) / 2;
    const int red = int(l.Red(above) + l.Red(left)) / 2;
    const int blue = int(l.Blue(above) + l.Blue(left)) / 2;
    const uint32_t g = ReadLevel(kContextGreen, uint32_t(green));
    const int shift = int(g) - green;
    const uint32_t r = ReadLevel(kContextRed, uint32_t(std::clamp(red + shift, 0, int(l.max))));
    const uint32_t b = ReadLevel(kContextBlue, uint32_t(std::clamp(blue + shift, 0, int(l.max))));
    start = uint8_t((start + kRing - 1) % kRing);
    ring[start] = l.Pack(g, r, b);
    return ring[start];
}

// In the contexts of the arrival direction: a 1 ends the chain; else the first 1 of down, one left, one right, two
// left, two right names where it goes (four 0s: two right). The step is remembered as the next arrival direction.
void CArithBlock::FollowChain(int x, uint32_t colour, int arrivedFrom)
{
    const int c = kContextChain + 6 * arrivedFrom;
    if (m_coder.Bit(c))
        return;
    static const int kOffsets[] = {0, -1, 1, -2, 2};
    int step = 0;
    while (step < 4 && !m_coder.Bit(c + 1 + step))
        ++step;
    const int to = x + kOffsets[step];
    m_next[to] = colour;
    m_nextChain[to] = uint8_t(step + 1);
}

int CArithBlock::Decode(uint32_t width, uint32_t height, uint32_t lines, const Pic2LineSink& sink)
{
    CLineRing<uint32_t, 3> values; // above, this line, next
    CLineRing<uint8_t, 2> chains;  // arrival direction (1-5) of a chain at this line's and the next line's pixels
    CLineRing<uint8_t, 3> nearby;  // change points near a pixel of this line and the next two
    try {
        m_cache.assign(512 * kRing, 0);
    } catch (const std::bad_alloc&) {
        return kDecodeNoMemory;
    }
    if (!values.Allocate(width) || !chains.Allocate(width) || !nearby.Allocate(width))
        return kDecodeNoMemory;
    for (uint32_t y = 0; y < lines; ++y) {
        const uint32_t* above = values.Row(0);
        uint32_t* line = values.Row(1);
        m_next = values.Row(2);
        const uint8_t* chain = chains.Row(0);
        chains.Clear(1);
        m_nextChain = chains.Row(1);
        uint8_t* near0 = nearby.Row(0);
        uint8_t* near1 = nearby.Row(1);
        nearby.Clear(2);
        uint8_t* near2 = nearby.Row(2);
        // The last line's chains lead nowhere, so none is coded there.
        const bool bChainsGoOn = y + 1 < height;
        uint32_t colour = y == 0 ? 0 : above[width - 1];
        line[-1] = colour;
        for (int x = 0; x < int(width); ++x) {
            if (chain[x]) {
                colour = line[x];
                if (bChainsGoOn)
                    FollowChain(x, colour, chain[x]);
            } else if (m_coder.Bit(near0[x])) {
                ++near0[x + 1];
                ++near0[x + 2];
                for (int d = -1; d <= 1; ++d) {
                    ++near1[x + d];
                    ++near2[x + d];
                }
                colour = ReadColour(above[x], line[x - 1]);
                line[x] = colour;
                if (bChainsGoOn)
                    FollowChain(x, colour, 0);
            } else {
                line[x] = colour;
            }
        }
        if (m_bits.Overrun())
            return kDecodeBroken;
        sink(y, line);
        values.Advance();
        chains.Advance();
        nearby.Advance();
    }
    return kDecodeOk;
}

} // namespace

int DecodeP2sfBlock(const uint8_t* data, size_t size, int depth, uint32_t width, uint32_t /*height*/, uint32_t lines,
                    const Pic2LineSink& sink)
{
    if (depth < 3 || depth > 24 || depth % 3 != 0)
        return kDecodeBroken;
    return CFastBlock(data, size, depth).Decode(width, lines, sink);
}

int DecodeP2ssBlock(const uint8_t* data, size_t size, int depth, uint32_t width, uint32_t height, uint32_t lines,
                    const Pic2LineSink& sink)
{
    if (depth < 3 || depth > 24 || depth % 3 != 0)
        return kDecodeBroken;
    if (size < CArithmeticDecoder::kTableSize)
        return kDecodeBroken;
    return CArithBlock(data, size, depth).Decode(width, height, lines, sink);
}

} // namespace fovea
