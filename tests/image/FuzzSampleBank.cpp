// Fuzz target: a sample bank, index and image in one input, loaded as the file list loads it (header checked,
// the file possibly cut short, every name looked up and its frame read through the window a view would map),
// then merged.
//
// Input: byte 0 and 1 the index length (little-endian), byte 2 the frame width - 1, byte 3 the frame height - 1,
// then the index, then the bank image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/Dib.h"
#include "image/SampleBank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fovea::SetDibMessageSink([](const char*) {});
    if (size < 4)
        return 0;
    size_t indexBytes = std::min<size_t>(size - 4, size_t(data[0]) | size_t(data[1]) << 8);
    const int width = 1 + data[2] % 32;
    const int height = 1 + data[3] % 32;
    const char* index = reinterpret_cast<const char*>(data + 4);
    const uint8_t* image = data + 4 + indexBytes;
    const size_t imageBytes = size - 4 - indexBytes;

    std::vector<std::string> names = fovea::ParseBankIndex(index, indexBytes);
    for (const std::string& name : names)
        if (name.empty() || name.size() > fovea::kBankLineChars)
            std::abort();

    fovea::BankImageLayout layout;
    if (fovea::ReadBankImageLayout(image, imageBytes, imageBytes, width, height, layout)) {
        if (layout.bitsOffset > imageBytes || layout.RowsBytes() > imageBytes - layout.bitsOffset)
            std::abort();
        // The file as the mapped path sees it: possibly cut short after its header was checked. Each frame drawn
        // is found in a window of the file, as a view would map it, and read from there only.
        const uint64_t cutTo = indexBytes % 3 == 0 ? imageBytes : imageBytes - imageBytes * (indexBytes % 7) / 8;
        const int frames = layout.FramesWithin(cutTo);
        if (frames > layout.frames)
            std::abort();
        const uint64_t windowBytes = 64u << (data[3] >> 6);
        fovea::BankLookup lookup;
        lookup.Build(names, layout.frames);
        lookup.LimitFrames(frames);
        unsigned sum = 0;
        for (const std::string& name : names) {
            int k = lookup.Find(name);
            if (k < 0)
                continue;
            if (k >= frames)
                std::abort();
            uint64_t offset = layout.FrameOffset(k);
            fovea::BankWindow window = fovea::BankWindowFor(offset, layout.FrameBytes(), cutTo, windowBytes);
            if (window.length == 0 || window.start % windowBytes != 0 || window.start > offset ||
                window.start + window.length > cutTo || offset + layout.FrameBytes() > window.start + window.length)
                std::abort();
            std::vector<uint8_t> view(image + window.start, image + window.start + window.length);
            const uint8_t* rows = view.data() + (offset - window.start);
            for (int r = 0; r < height; ++r)
                sum += rows[size_t(r) * layout.rowBytes + layout.rowBytes - 1];
        }
        (void)sum;
    }

    CDib old;
    if (imageBytes < (1u << 20))
        old.ReadFromMemory(image, imageBytes);
    CDib strip;
    std::vector<std::string> merged;
    auto readSample = [&](const std::string& name, CDib& sample) {
        return !name.empty() && (name[0] & 1) && sample.ReadFromMemory(image, std::min<size_t>(imageBytes, 1u << 20));
    };
    if (names.size() < 4096)
        fovea::MergeBank(names, &old, {names.begin(), names.begin() + long(names.size() / 2)}, readSample,
                         (data[2] & 0x80) ? 8 : 24, width, height, strip, merged);
    return 0;
}
