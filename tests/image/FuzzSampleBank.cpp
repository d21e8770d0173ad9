// Fuzz target: a sample bank, index and image in one input, loaded as the file list loads it (header checked,
// rows copied into a bitmap of the frames present, every name looked up and its frame read), then merged.
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
        // The bitmap holds exactly the frames present; the rows come from the file, never from past its end.
        if (layout.bitsOffset > imageBytes || layout.RowsBytes() > imageBytes - layout.bitsOffset)
            std::abort();
        std::vector<uint8_t> bitmap(image + layout.bitsOffset, image + layout.bitsOffset + layout.RowsBytes());
        fovea::BankLookup lookup;
        lookup.Build(names, layout.frames);
        unsigned sum = 0;
        for (const std::string& name : names) {
            int k = lookup.Find(name);
            if (k < 0)
                continue;
            int top = fovea::BankFrameTop(k, layout.frames, height);
            // Top-down row r of the bitmap is storage row rows - 1 - r.
            for (int r = top; r < top + height; ++r) {
                size_t stored = size_t(layout.frames * height - 1 - r);
                sum += bitmap.at(stored * layout.rowBytes + layout.rowBytes - 1);
            }
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
