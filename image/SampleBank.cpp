// The sample bank's index, image header, lookup and merge: pure computation over bytes and pictures.
#include "image/SampleBank.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "image/Dib.h"

namespace fovea {

const char kBankMissName[] = "MISS";

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace

bool IsSampleTarget(const std::string& extension)
{
    static const char* const kTargets[] = {"BMP", "JPG", "GIF", "MAG", "PI", "PIC", "P2", "TIF", "Q4", "PCD", "Q0"};
    std::string upper(extension);
    std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
    for (const char* target : kTargets)
        if (upper == target)
            return true;
    return false;
}

std::vector<std::string> ParseBankIndex(const char* text, size_t size)
{
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos < size) {
        // One read: up to the line end or kBankLineChars characters, whichever comes first.
        size_t limit = std::min(size, pos + kBankLineChars);
        const void* found = std::memchr(text + pos, '\n', limit - pos);
        size_t end = found ? size_t(static_cast<const char*>(found) - text) : limit;
        std::string line(text + pos, end - pos);
        pos = found ? end + 1 : end;
        if (found && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            break;
        names.push_back(std::move(line));
    }
    return names;
}

std::string FormatBankIndex(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        text += name;
        text += "\r\n";
    }
    return text;
}

bool ReadBankImageLayout(const uint8_t* head, size_t headBytes, uint64_t fileSize, int frameWidth, int frameHeight,
                         BankImageLayout& out)
{
    out = BankImageLayout();
    headBytes = size_t(std::min<uint64_t>(headBytes, fileSize));
    if (!head || headBytes < kFileHeaderBytes + kInfoHeaderBytes || frameWidth <= 0 || frameHeight <= 0)
        return false;
    BmpFileHeader file;
    BmpInfoHeader info;
    std::memcpy(&file, head, sizeof file);
    std::memcpy(&info, head + kFileHeaderBytes, sizeof info);
    if (file.bfType != kBmpType || info.biCompression != kBiRgb || info.biPlanes != 1)
        return false;
    if (info.biSize != 40 && info.biSize != 52 && info.biSize != 56 && info.biSize != 108 && info.biSize != 124)
        return false;
    if ((info.biBitCount != 8 && info.biBitCount != 24) || info.biWidth != frameWidth || info.biHeight < 0)
        return false;
    uint64_t tableOffset = kFileHeaderBytes + uint64_t(info.biSize);
    uint64_t entries = 0;
    if (info.biBitCount == 8) {
        entries = info.biClrUsed == 0 ? 256 : info.biClrUsed;
        if (entries > 256)
            return false;
    }
    uint64_t tableEnd = tableOffset + 4 * entries;
    if (tableEnd > headBytes || file.bfOffBits < tableEnd || file.bfOffBits > fileSize)
        return false;

    uint64_t rowBytes = ((uint64_t(frameWidth) * info.biBitCount + 31) / 32) * 4;
    // One frame is drawn at a time: it must fit the bitmap code's limit; the bank as a whole is never held.
    if (rowBytes * uint64_t(frameHeight) > kMaxDibBytes)
        return false;
    uint64_t rowsInFile = std::min<uint64_t>(uint64_t(info.biHeight), (fileSize - file.bfOffBits) / rowBytes);
    uint64_t frames = rowsInFile / uint64_t(frameHeight);

    out.bitCount = info.biBitCount;
    out.width = frameWidth;
    out.rowBytes = uint32_t(rowBytes);
    out.bitsOffset = file.bfOffBits;
    out.frames = int(frames);
    out.frameHeight = frameHeight;

    BmpInfoHeader made = {};
    made.biSize = kInfoHeaderBytes;
    made.biWidth = frameWidth;
    made.biHeight = frameHeight;
    made.biPlanes = 1;
    made.biBitCount = info.biBitCount;
    made.biCompression = kBiRgb;
    out.bitmapInfo.assign(kInfoHeaderBytes + (info.biBitCount == 8 ? 256 * 4 : 0), 0);
    std::memcpy(out.bitmapInfo.data(), &made, sizeof made);
    if (entries)
        std::memcpy(out.bitmapInfo.data() + kInfoHeaderBytes, head + tableOffset, size_t(4 * entries));
    return true;
}

int BankImageLayout::FramesWithin(uint64_t fileSize) const
{
    uint64_t frameBytes = FrameBytes();
    if (frameBytes == 0 || fileSize <= bitsOffset)
        return 0;
    return int(std::min<uint64_t>(uint64_t(frames), (fileSize - bitsOffset) / frameBytes));
}

BankWindow BankWindowFor(uint64_t offset, uint64_t length, uint64_t fileSize, uint64_t windowBytes)
{
    BankWindow window;
    if (windowBytes == 0 || length == 0 || offset > fileSize || length > fileSize - offset)
        return window;
    window.start = offset - offset % windowBytes;
    uint64_t end = std::max(std::min(window.start + windowBytes, fileSize), offset + length);
    window.length = end - window.start;
    return window;
}

void BankLookup::Build(const std::vector<std::string>& names, int frames)
{
    m_frames.clear();
    m_frames.reserve(names.size());
    m_nFrames = std::max(0, frames);
    for (size_t k = 0; k < names.size(); ++k)
        m_frames.emplace(names[k], int(k)); // an existing entry is kept: the first line of a name wins
}

void BankLookup::LimitFrames(int frames)
{
    m_nFrames = std::max(0, std::min(m_nFrames, frames));
}

void BankLookup::Clear()
{
    m_frames.clear();
    m_nFrames = 0;
}

int BankLookup::Find(const std::string& name) const
{
    auto it = m_frames.find(name);
    if (it == m_frames.end() || it->second >= m_nFrames)
        return -1;
    return it->second;
}

bool MergeBank(const std::vector<std::string>& oldNames, CDib* oldStrip, const std::vector<std::string>& newNames,
               const SampleReader& readSample, int bits, int frameWidth, int frameHeight, CDib& strip,
               std::vector<std::string>& names)
{
    names.clear();
    std::vector<size_t> keep;
    bool oldFits = false;
    if (oldStrip && !oldStrip->IsEmpty()) {
        oldStrip->SetFrames(int(std::min<size_t>(oldNames.size(), INT32_MAX)), frameWidth, frameHeight);
        oldFits = oldStrip->GetBitCount() == bits && oldStrip->GetWidth() == frameWidth &&
                  uint64_t(oldStrip->GetHeight()) == uint64_t(oldNames.size()) * uint64_t(frameHeight);
    }
    if (oldFits) {
        std::unordered_set<std::string> remade(newNames.begin(), newNames.end());
        for (size_t i = 0; i < oldNames.size(); ++i)
            if (!remade.count(oldNames[i]))
                keep.push_back(i);
    }
    uint64_t total = keep.size() + newNames.size();
    if (total > INT32_MAX || !strip.CreateStrip(bits, int(total), frameWidth, frameHeight))
        return false;
    names.reserve(size_t(total));
    int target = 0;
    for (size_t i : keep) {
        strip.CopyFrame(*oldStrip, int(i), target++);
        names.push_back(oldNames[i]);
    }
    for (const std::string& name : newNames) {
        CDib sample;
        bool made = readSample && readSample(name, sample) && !sample.IsEmpty();
        if (made) {
            sample.SetFrames(1, frameWidth, frameHeight);
            // A sample of another size or depth would copy nothing: its frame stays black and is named so.
            made = sample.GetBitCount() == bits && sample.GetWidth() == frameWidth &&
                   sample.GetHeight() == frameHeight && strip.CopyFrame(sample, 0, target);
        }
        names.push_back(made ? name : std::string(kBankMissName));
        ++target;
    }
    return true;
}

} // namespace fovea
