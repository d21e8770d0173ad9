// The sample bank of a folder, without the platform: the index (one base name per frame), the bank image's
// header checked against the bytes really there, the name lookup built once per load, and the merge of new
// samples into a bank.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class CDib;

namespace fovea {

// Each read of an index line takes at most this many characters; the rest of a longer line is the next read.
constexpr size_t kBankLineChars = 298;
// The name of a frame whose picture could not be read (the frame is black).
extern const char kBankMissName[];

// A depth of 24 or 16 uses the SB2400 pair, any other the SB0800 pair.
inline bool UsesBank24(int bits)
{
    return bits == 24 || bits == 16;
}

// The depth samples are made at for a display depth: the colour cube at 8 bits or less, else 24 bits.
inline int SampleDepth(int bits)
{
    return bits > 8 ? 24 : 8;
}

// True when a file of this extension (any case) gets a sample.
bool IsSampleTarget(const std::string& extension);

// The names of an index file image: lines end at LF (a CR before it is dropped); reading stops at the first
// empty line or at the end.
std::vector<std::string> ParseBankIndex(const char* text, size_t size);
// The index file image of names: each name followed by CR LF.
std::string FormatBankIndex(const std::vector<std::string>& names);

// What a bank image offers, once its headers have been checked against the file's size. Only whole frames of
// frameHeight rows whose bytes are in the file count; frame 0 is the first band of rows stored (the bottom).
struct BankImageLayout {
    int bitCount = 0;
    int width = 0;
    uint32_t rowBytes = 0;
    uint32_t bitsOffset = 0; // where the rows start in the file
    int frames = 0;          // whole frames present
    int frameHeight = 0;
    // A BITMAPINFO for one frame: 40-byte header (bottom-up, frameHeight rows) and, for 8 bits, the file's colour
    // table padded to 256 entries. Any frame is drawn with it straight from the file's bytes.
    std::vector<uint8_t> bitmapInfo;

    uint64_t FrameBytes() const { return uint64_t(rowBytes) * uint64_t(frameHeight); }
    uint64_t RowsBytes() const { return FrameBytes() * uint64_t(frames); }
    // Where frame k's rows start in the file.
    uint64_t FrameOffset(int k) const { return bitsOffset + FrameBytes() * uint64_t(k); }
    // The whole frames whose bytes lie within a file of fileSize bytes (one cut short since it was checked).
    int FramesWithin(uint64_t fileSize) const;
};

// A stretch of the bank image to map: it starts on a multiple of the window size (itself a multiple of the
// platform's allocation granularity) so that neighbouring frames share one view, and never reaches past the file.
struct BankWindow {
    uint64_t start = 0;
    uint64_t length = 0; // 0: the bytes asked for are not all in the file
};

// The window that holds bytes [offset, offset + length) of a file of fileSize bytes: windowBytes long where the
// file allows, longer when the bytes cross its end, aligned down to windowBytes.
BankWindow BankWindowFor(uint64_t offset, uint64_t length, uint64_t fileSize, uint64_t windowBytes);

// Bytes of a bank image's start that hold every header and colour table accepted.
constexpr size_t kBankHeadBytes = 14 + 124 + 12 + 256 * 4;

// Checks the start of a bank image (head: its first headBytes bytes; fileSize: the whole file's length).
// Accepted: an uncompressed bottom-up 8- or 24-bit picture exactly frameWidth wide, of any height (a bank
// without frames has none). False for anything else: that bank gives no samples.
bool ReadBankImageLayout(const uint8_t* head, size_t headBytes, uint64_t fileSize, int frameWidth, int frameHeight,
                         BankImageLayout& out);

// The frame of each name, found without scanning the names per item drawn: the first entry of a name wins;
// names beyond the frames present have no sample.
class BankLookup {
public:
    void Build(const std::vector<std::string>& names, int frames);
    // Fewer frames remain (the file was cut short): the names of the others have no sample any more.
    void LimitFrames(int frames);
    void Clear();
    // Frame of name, or -1.
    int Find(const std::string& name) const;
    int Frames() const { return m_nFrames; }

private:
    std::unordered_map<std::string, int> m_frames;
    int m_nFrames = 0;
};

// Top row of frame k in a bitmap of frames x frameHeight rows seen top-down (as a device context shows it).
inline int BankFrameTop(int k, int frames, int frameHeight)
{
    return (frames - 1 - k) * frameHeight;
}

// Reads the sample file of a base name into a picture; false when it cannot be read.
using SampleReader = std::function<bool(const std::string& name, CDib& sample)>;

// The merged bank: the old frames whose names are not remade come first in their old order, then one frame per
// new name in order (black and named "MISS" when its sample cannot be read or does not fit). The old frames are
// kept only when the old strip has exactly bits, frameWidth and names x frameHeight rows. oldStrip may be null
// or empty (no bank). False when the new strip cannot be made.
bool MergeBank(const std::vector<std::string>& oldNames, CDib* oldStrip, const std::vector<std::string>& newNames,
               const SampleReader& readSample, int bits, int frameWidth, int frameHeight, CDib& strip,
               std::vector<std::string>& names);

} // namespace fovea
