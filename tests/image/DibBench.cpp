// Times the bitmap container's pixel work on a 4000 x 3000 24-bit picture against plain passes over the same
// bytes, measured side by side (best of several runs). Prints one line per operation.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>

#include "image/Dib.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kRuns = 9;

// The processor time of this thread: other programs sharing the machine do not count against either side.
double ThreadMs()
{
#ifdef CLOCK_THREAD_CPUTIME_ID
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
#else
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
#endif
}

double TimeMs(const std::function<void()>& work)
{
    double start = ThreadMs();
    work();
    return ThreadMs() - start;
}

// Best of several runs of each, alternating, so that both see the same machine load.
void BestOfBoth(const std::function<void()>& ours, const std::function<void()>& base, double& oursMs, double& baseMs)
{
    oursMs = baseMs = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        baseMs = std::min(baseMs, TimeMs(base));
        oursMs = std::min(oursMs, TimeMs(ours));
    }
}

// A photograph-like picture: smooth gradients with noise, so the colour cells spread as in real pictures.
void FillPicture(CDib& dib)
{
    uint32_t seed = 12345;
    const uint32_t stride = CDib::RowBytes(kWidth, 24);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = dib.GetBits() + size_t(y) * stride;
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            int noise = int((seed >> 16) & 31) - 16;
            row[3 * x] = uint8_t(std::clamp(x * 255 / kWidth + noise, 0, 255));
            row[3 * x + 1] = uint8_t(std::clamp(y * 255 / kHeight + noise, 0, 255));
            row[3 * x + 2] = uint8_t(std::clamp((x + y) * 255 / (kWidth + kHeight) - noise, 0, 255));
        }
    }
}

volatile uint8_t g_sink;

// The plain passes write into a fresh zeroed block, as every operation makes a new picture.
std::function<void()> PlainCopy(const CDib& source)
{
    const size_t bytes = size_t(CDib::RowBytes(kWidth, 24)) * kHeight;
    return [&source, bytes] {
        auto* out = static_cast<uint8_t*>(std::calloc(1, bytes));
        std::memcpy(out, source.GetBits(), bytes);
        g_sink = out[bytes / 2];
        std::free(out);
    };
}

std::function<void()> PlainBytePass(const CDib& source)
{
    const uint32_t in = CDib::RowBytes(kWidth, 24), outStride = CDib::RowBytes(kWidth, 8);
    return [&source, in, outStride] {
        auto* out = static_cast<uint8_t*>(std::calloc(1, size_t(outStride) * kHeight));
        for (int y = 0; y < kHeight; ++y) {
            const uint8_t* s = source.GetBits() + size_t(y) * in;
            uint8_t* d = out + size_t(y) * outStride;
            for (int x = 0; x < kWidth; ++x, s += 3)
                d[x] = uint8_t(s[0] ^ s[1] ^ s[2]);
        }
        g_sink = out[outStride];
        std::free(out);
    };
}

void Report(const char* name, double ours, const char* baseName, double base, const char* target)
{
    std::printf("DIB %s %dx%d: %.2fx %s (ours %.1f ms, %s %.1f ms; target <= %s)\n", name, kWidth, kHeight,
                ours / base, baseName, ours, baseName, base, target);
}

} // namespace

int main()
{
#ifdef __GLIBC__
    // Keep freed pictures in the heap: otherwise every run maps fresh pages and the page faults, the same for
    // both sides, hide the work being measured.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
    fovea::SetDibMessageSink([](const char* text) { std::fprintf(stderr, "message: %s\n", text); });
    CDib source;
    if (!source.Create(kWidth, kHeight, 24, 0))
        return 1;
    FillPicture(source);

    std::function<void()> copy = PlainCopy(source);
    std::function<void()> pass = PlainBytePass(source);
    struct Operation {
        const char* name;
        std::function<bool(CDib&)> run;
        bool bytePass;
        const char* target = "3x";
    } operations[] = {
        {"QuantizeFrom", [&](CDib& t) { return t.QuantizeFrom(source); }, true},
        {"ConvertFrom 24->8", [&](CDib& t) { return t.ConvertFrom(8, source); }, true},
        {"ConvertFrom 24->24", [&](CDib& t) { return t.ConvertFrom(24, source); }, false},
        {"ScaleFrom 1:1", [&](CDib& t) { return t.ScaleFrom(source, kWidth, kHeight); }, false},
        {"ScaleFrom to 4001x3001", [&](CDib& t) { return t.ScaleFrom(source, kWidth + 1, kHeight + 1); }, false},
        {"ConvertFrom 24->8 to 4001x3001", [&](CDib& t) { return t.ConvertFrom(8, source, kWidth + 1, kHeight + 1); },
         true},
        {"RotateFrom clockwise", [&](CDib& t) { return t.RotateFrom(source, 1); }, false, "2x"},
        {"RotateFrom anticlockwise", [&](CDib& t) { return t.RotateFrom(source, 0); }, false, "2x"},
        {"FlipFrom upside down", [&](CDib& t) { return t.FlipFrom(source, 1); }, false, "1.5x"},
        {"FlipFrom left-right", [&](CDib& t) { return t.FlipFrom(source, 0); }, false, "1.5x"},
    };
    int failures = 0;
    for (const Operation& op : operations) {
        bool ok = true;
        double ours, base;
        BestOfBoth(
            [&] {
                CDib target;
                ok = op.run(target) && ok;
            },
            op.bytePass ? pass : copy, ours, base);
        if (!ok) {
            std::printf("DIB %s failed\n", op.name);
            ++failures;
            continue;
        }
        Report(op.name, ours, op.bytePass ? "plain byte pass" : "plain copy", base, op.target);
    }
    return failures ? 1 : 0;
}
