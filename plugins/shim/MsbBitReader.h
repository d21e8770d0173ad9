// Bits of a byte range, most significant first. Encoders of some formats stop at their last code, so reading
// past the end yields zeros; only reading further than a given slack marks the stream as cut.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fovea {

class CMsbBitReader {
public:
    CMsbBitReader(const uint8_t* p, size_t size, size_t slackBytes) : m_p(p), m_size(size), m_slack(slackBytes) {}
    uint32_t Bit()
    {
        const size_t byte = m_bit >> 3;
        const uint32_t value = byte < m_size ? uint32_t(m_p[byte] >> (7 - (m_bit & 7))) & 1 : 0;
        ++m_bit;
        return value;
    }
    uint32_t Bits(int n)
    {
        uint32_t v = 0;
        while (n-- > 0)
            v = v << 1 | Bit();
        return v;
    }
    bool Overrun() const { return (m_bit >> 3) > m_size + m_slack; }

private:
    const uint8_t* m_p;
    size_t m_size;
    size_t m_slack;
    size_t m_bit = 0;
};

} // namespace fovea
