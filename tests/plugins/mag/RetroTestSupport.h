// Helpers shared by the tests of the retro-format decoders (MAG, PIC, Pi, PIC2, XLD4): an MSB-first bit writer
// for the test encoders, pixel access on decoded pictures, 24-bit BMP files for the expected pixels, and the
// committed samples under tests/data.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "plugins/shim/Picture.h"

namespace retrotest {

using Bytes = std::vector<uint8_t>;

class CBitWriter {
public:
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i)
            PutBit((value >> i) & 1);
    }
    void PutBit(int bit)
    {
        if (m_nBits % 8 == 0)
            m_bytes.push_back(0);
        if (bit)
            m_bytes.back() |= uint8_t(0x80 >> (m_nBits % 8));
        ++m_nBits;
    }
    size_t BitCount() const { return m_nBits; }
    const Bytes& Data() const { return m_bytes; }

private:
    Bytes m_bytes;
    size_t m_nBits = 0;
};

inline void PutLe16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void PutLe32(Bytes& b, uint32_t v)
{
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}
inline void PutBe16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
inline void PutBe32(Bytes& b, uint32_t v)
{
    PutBe16(b, v >> 16);
    PutBe16(b, v & 0xFFFF);
}
inline void Append(Bytes& b, const std::string& s)
{
    b.insert(b.end(), s.begin(), s.end());
}

// Deterministic pseudo-random numbers for test pictures.
class CRandom {
public:
    explicit CRandom(uint32_t seed) : m_n(seed * 2654435761u | 1) {}
    // xorshift: the low bits of a plain LCG repeat too soon for pictures meant to be incompressible.
    uint32_t Next(uint32_t bound)
    {
        m_n ^= m_n << 13;
        m_n ^= m_n >> 17;
        m_n ^= m_n << 5;
        return m_n % bound;
    }

private:
    uint32_t m_n;
};

// Index stored for pixel (x, y), counted from the top; 4- and 8-bit pictures only.
inline int IndexAt(const fovea::DecodedPicture& p, int x, int y)
{
    const uint8_t* row = p.bits.data() + size_t(p.height - 1 - y) * p.Stride();
    if (p.bitCount == 8)
        return row[x];
    if (p.bitCount == 4)
        return (x & 1) ? row[x / 2] & 15 : row[x / 2] >> 4;
    return -1;
}

// 0xRRGGBB of pixel (x, y), through the palette where there is one.
inline uint32_t RgbAt(const fovea::DecodedPicture& p, int x, int y)
{
    if (p.bitCount == 24) {
        const uint8_t* px = p.bits.data() + size_t(p.height - 1 - y) * p.Stride() + size_t(x) * 3;
        return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
    }
    const uint8_t* e = p.palette.data() + size_t(IndexAt(p, x, y)) * 4;
    return uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
}

inline std::vector<uint32_t> AllRgb(const fovea::DecodedPicture& p)
{
    std::vector<uint32_t> v;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            v.push_back(RgbAt(p, x, y));
    return v;
}

// A 24-bit bottom-up BMP of top-down 0xRRGGBB pixels.
inline Bytes MakeBmp24(int w, int h, const std::vector<uint32_t>& rgb)
{
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    Bytes b;
    Append(b, "BM");
    PutLe32(b, 54 + stride * uint32_t(h));
    PutLe32(b, 0);
    PutLe32(b, 54);
    PutLe32(b, 40);
    PutLe32(b, uint32_t(w));
    PutLe32(b, uint32_t(h));
    PutLe16(b, 1);
    PutLe16(b, 24);
    PutLe32(b, 0);
    PutLe32(b, stride * uint32_t(h));
    PutLe32(b, 2835);
    PutLe32(b, 2835);
    PutLe32(b, 0);
    PutLe32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t c = rgb[size_t(y) * size_t(w) + size_t(x)];
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
            b.push_back(uint8_t(c >> 16));
        }
        for (uint32_t i = uint32_t(w) * 3; i < stride; ++i)
            b.push_back(0);
    }
    return b;
}

inline bool ReadWholeFile(const std::string& path, Bytes& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.clear();
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

inline bool WriteWholeFile(const std::string& path, const Bytes& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

inline std::string DataDir(const char* fmt)
{
    return std::string(FOVEA_SOURCE_DIR) + "/tests/data/" + fmt + "/";
}

// Set FOVEA_WRITE_SAMPLES=1 to (re)write the committed samples and seed corpora from the test encoders.
inline bool WritingSamples()
{
    return std::getenv("FOVEA_WRITE_SAMPLES") != nullptr;
}

} // namespace retrotest
