// The sample bank without the platform: index lines, the merge of new samples, the checked bank image header
// and the name lookup.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "image/SampleBank.h"
#include "tests/image/DibTestUtil.h"

using dibtest::BmpSpec;
using dibtest::BuildBmp;
using dibtest::PixelAt;

namespace {

constexpr int kW = 4;
constexpr int kH = 3;

TEST(SampleBankIndex, LinesAreReadUpToTheFirstEmptyOneAndCutAt298Characters)
{
    std::string longName(300, 'x');
    struct Case {
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        {"a\nb", {"a", "b"}},      // LF alone and no final line end
        {"a\r\n\r\nb\r\n", {"a"}}, // reading stops at the first empty line
        {"\r\na\r\n", {}},
        {"", {}},
        {longName + "\r\nz\r\n", {std::string(298, 'x'), "xx", "z"}},
        {std::string("a\0b\r\nc", 6), {std::string("a\0b", 3), "c"}},
        {"a\rb\r\n", {"a\rb"}}, // a CR inside a line is part of it
    };
    for (const Case& c : cases)
        EXPECT_EQ(fovea::ParseBankIndex(c.text.data(), c.text.size()), c.names) << c.text;
}

// A sample of kW x kH whose every pixel is colour (24 bits) or index (8 bits).
CDib SolidSample(int bits, uint32_t colour, int width = kW, int height = kH)
{
    CDib dib;
    EXPECT_TRUE(dib.Create(width, height, bits, 1));
    uint32_t stride = CDib::RowBytes(width, bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = dib.GetBits() + size_t(y) * stride + size_t(x) * size_t(bits / 8);
            if (bits == 24) {
                p[0] = uint8_t(colour);
                p[1] = uint8_t(colour >> 8);
                p[2] = uint8_t(colour >> 16);
            } else {
                p[0] = uint8_t(colour);
            }
        }
    return dib;
}

// Colour of frame k of a strip (its first pixel, storage order: frame 0 is the first band).
uint32_t FrameColour(const CDib& strip, int k)
{
    return PixelAt(strip, 0, k * kH);
}

struct MergeRun {
    std::vector<std::string> names;
    std::vector<uint32_t> colours;
};

// Merges newNames into (oldNames, oldStrip); the sample of a name is solid in the colour the map gives, and
// names missing from the map have no sample file.
MergeRun Merge(const std::vector<std::string>& oldNames, CDib* oldStrip, const std::vector<std::string>& newNames,
               const std::map<std::string, uint32_t>& samples, int bits = 24, CDib* keepStrip = nullptr)
{
    CDib strip;
    MergeRun run;
    auto read = [&](const std::string& name, CDib& sample) {
        auto it = samples.find(name);
        if (it == samples.end())
            return false;
        sample = SolidSample(bits, it->second);
        return true;
    };
    EXPECT_TRUE(fovea::MergeBank(oldNames, oldStrip, newNames, read, bits, kW, kH, strip, run.names));
    EXPECT_EQ(strip.GetWidth(), kW);
    EXPECT_EQ(strip.GetHeight(), int(run.names.size()) * kH);
    for (size_t k = 0; k < run.names.size(); ++k)
        run.colours.push_back(FrameColour(strip, int(k)));
    if (keepStrip)
        *keepStrip = std::move(strip);
    return run;
}

TEST(SampleBankMerge, NewBankHasOneFrameEachInListOrderAndRemakesGoLast)
{
    std::map<std::string, uint32_t> samples = {{"a", 0x0000FF}, {"b", 0x00FF00}, {"c", 0xFF0000}};
    CDib first;
    MergeRun made = Merge({}, nullptr, {"a", "b", "c"}, samples, 24, &first);
    EXPECT_EQ(made.names, (std::vector<std::string>{"a", "b", "c"}));
    // Frame 0, line 1 of the index, is the first band stored: the bottom of the picture.
    EXPECT_EQ(made.colours, (std::vector<uint32_t>{0x0000FF, 0x00FF00, 0xFF0000}));

    samples["a"] = 0x123456;
    MergeRun again = Merge(made.names, &first, {"a"}, samples);
    EXPECT_EQ(again.names, (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(again.colours, (std::vector<uint32_t>{0x00FF00, 0xFF0000, 0x123456}));
}

TEST(SampleBankMerge, UnreadableOrMisfitSamplesAreBlackMissFrames)
{
    std::map<std::string, uint32_t> samples = {{"a", 0xFFFFFF}};
    MergeRun run = Merge({}, nullptr, {"a", "gone", "MISS"}, samples);
    EXPECT_EQ(run.names, (std::vector<std::string>{"a", "MISS", "MISS"}));
    EXPECT_EQ(run.colours, (std::vector<uint32_t>{0xFFFFFF, 0, 0}));

    // A sample file of another size or depth is not copied in (it would be cut or read past).
    std::function<CDib()> misfits[] = {
        [] { return SolidSample(24, 0xFFFFFF, kW + 1, kH); },
        [] { return SolidSample(24, 0xFFFFFF, kW, kH + 1); },
        [] { return SolidSample(8, 7); },
    };
    for (const auto& misfit : misfits) {
        CDib wrong = misfit();
        CDib strip;
        std::vector<std::string> names;
        auto read = [&](const std::string&, CDib& sample) {
            sample.Swap(wrong);
            return true;
        };
        ASSERT_TRUE(fovea::MergeBank({}, nullptr, {"x"}, read, 24, kW, kH, strip, names));
        EXPECT_EQ(names, std::vector<std::string>{"MISS"});
        EXPECT_EQ(FrameColour(strip, 0), 0u);
    }
}

TEST(SampleBankMerge, AnOldStripThatDoesNotFitItsNamesIsDiscarded)
{
    std::map<std::string, uint32_t> samples = {{"a", 1}, {"b", 2}, {"n", 3}};
    struct Case {
        const char* what;
        int bits, width, frames;
    } cases[] = {
        {"other depth", 8, kW, 2},
        {"other sample width (size setting changed)", 24, kW + 2, 2},
        {"fewer rows than names", 24, kW, 1},
        {"more rows than names", 24, kW, 3},
    };
    for (const Case& c : cases) {
        CDib old;
        ASSERT_TRUE(old.CreateStrip(c.bits, c.frames, c.width, kH));
        MergeRun run = Merge({"a", "b"}, &old, {"n"}, samples);
        EXPECT_EQ(run.names, std::vector<std::string>{"n"}) << c.what;
    }
    CDib empty;
    EXPECT_EQ(Merge({"a", "b"}, &empty, {"n"}, samples).names, std::vector<std::string>{"n"});
}

TEST(SampleBankMerge, EightBitBanksCarryTheColourCube)
{
    CDib strip;
    Merge({}, nullptr, {"a"}, {{"a", 200}}, 8, &strip);
    ASSERT_EQ(strip.GetBitCount(), 8);
    EXPECT_EQ(PixelAt(strip, 0, 0), 200u);
    CDib cube;
    ASSERT_TRUE(cube.MakeCubePalette());
    ASSERT_NE(strip.GetPalette(), nullptr);
    EXPECT_EQ(0, std::memcmp(strip.GetPalette(), cube.GetPalette(), 4 + 256 * 4));
}

// A bank image of frames frames of kW x kH at bits, as SaveFile writes it.
std::vector<uint8_t> BankBytes(int bits, int frames, int width = kW)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = frames * kH;
    spec.bitCount = bits;
    return BuildBmp(spec);
}

std::vector<uint8_t> HeadersOf(std::vector<uint8_t> bank)
{
    bank.resize(54);
    return bank;
}

TEST(SampleBankImage, WholeFramesPresentAreOfferedAndAnythingElseIsRefused)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool accepted;
        int frames;
    } cases[] = {
        {"24-bit bank", BankBytes(24, 5), true, 5},
        {"8-bit bank", BankBytes(8, 2), true, 2},
        {"no frames", BankBytes(24, 0), true, 0},
        {"other width", BankBytes(24, 5, kW + 1), false, 0},
        {"other depth", BankBytes(4, 5), false, 0},
        {"0 bytes", {}, false, 0},
        {"headers only", HeadersOf(BankBytes(24, 5)), true, 0},
    };
    for (const Case& c : cases) {
        fovea::BankImageLayout layout;
        EXPECT_EQ(fovea::ReadBankImageLayout(c.bytes.data(), c.bytes.size(), c.bytes.size(), kW, kH, layout),
                  c.accepted)
            << c.what;
        EXPECT_EQ(layout.frames, c.frames) << c.what;
    }

    // Cut in the middle of frame 3: frames 0 to 2 remain.
    std::vector<uint8_t> bank = BankBytes(24, 5);
    fovea::BankImageLayout layout;
    size_t cut = 54 + 3 * kH * 12 + 5;
    ASSERT_TRUE(fovea::ReadBankImageLayout(bank.data(), bank.size(), cut, kW, kH, layout));
    EXPECT_EQ(layout.frames, 3);
    EXPECT_EQ(layout.RowsBytes(), uint64_t(3 * kH * 12));
    EXPECT_EQ(dibtest::Get32(layout.bitmapInfo.data() + 8), uint32_t(kH)); // one frame is drawn at a time
    EXPECT_EQ(layout.FramesWithin(cut), 3);
    EXPECT_EQ(layout.FramesWithin(54 + kH * 12 - 1), 0); // cut again while mapped: not even frame 0
    EXPECT_EQ(layout.FrameOffset(2), uint64_t(54 + 2 * kH * 12));

    // A declared height far beyond the file does not make a large bitmap.
    dibtest::Put32(bank, 22, 0x7FFFFFFF);
    ASSERT_TRUE(fovea::ReadBankImageLayout(bank.data(), bank.size(), bank.size(), kW, kH, layout));
    EXPECT_EQ(layout.frames, 5);

    // Top-down, compressed, rows starting past the end, a colour table larger than the depth allows.
    std::vector<uint8_t> hostile = BankBytes(8, 2);
    for (auto [at, value] :
         std::vector<std::pair<size_t, uint32_t>>{{22, uint32_t(-6)}, {30, 1}, {10, 1u << 30}, {46, 257}, {10, 20}}) {
        std::vector<uint8_t> bytes = hostile;
        dibtest::Put32(bytes, at, value);
        EXPECT_FALSE(fovea::ReadBankImageLayout(bytes.data(), bytes.size(), bytes.size(), kW, kH, layout)) << at;
    }
}

TEST(SampleBankWindow, ViewsStartOnTheirBoundaryHoldTheWholeFrameAndStayInsideTheFile)
{
    struct Case {
        const char* what;
        uint64_t offset, length, fileSize;
        uint64_t start, windowLength; // windowLength 0: no window
    } cases[] = {
        {"first frame", 54, 100, 1000000, 0, 65536},
        {"inside a later window", 70000, 100, 1000000, 65536, 65536},
        {"crossing the window's end", 65500, 100, 1000000, 0, 65600},
        {"near the file's end", 999900, 100, 1000000, 983040, 16960},
        {"past the file's end", 999950, 100, 1000000, 0, 0},
        {"far past the end", uint64_t(1) << 40, 100, 1000000, 0, 0},
        {"beyond 4 GB", (uint64_t(5) << 30) + 10, 100, uint64_t(6) << 30, uint64_t(5) << 30, 65536},
    };
    for (const Case& c : cases) {
        fovea::BankWindow w = fovea::BankWindowFor(c.offset, c.length, c.fileSize, 65536);
        EXPECT_EQ(w.length, c.windowLength) << c.what;
        if (c.windowLength) {
            EXPECT_EQ(w.start, c.start) << c.what;
        }
    }
}

TEST(SampleBankLookup, FirstNameWinsAndNamesBeyondTheFramesHaveNoSample)
{
    fovea::BankLookup lookup;
    lookup.Build({"a", "b", "a", "c"}, 3);
    EXPECT_EQ(lookup.Find("a"), 0);
    EXPECT_EQ(lookup.Find("b"), 1);
    EXPECT_EQ(lookup.Find("c"), -1); // frame 3 is not in the picture
    EXPECT_EQ(lookup.Find("A"), -1); // exact comparison
    EXPECT_EQ(fovea::BankFrameTop(0, 3, kH), 2 * kH);
    EXPECT_EQ(fovea::BankFrameTop(2, 3, kH), 0);
    lookup.LimitFrames(1); // the file was cut short after frame 0
    EXPECT_EQ(lookup.Find("a"), 0);
    EXPECT_EQ(lookup.Find("b"), -1);
    lookup.Clear();
    EXPECT_EQ(lookup.Find("a"), -1);
}

} // namespace
