// Benchmark driver for the picture decoders (whole or reduced): reads a file, decodes it and writes the DIB as a .BMP
// (the same work as the reference tools it is timed against); prints the best time of several runs.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/gif/GifDecoder.h"
#include "plugins/jpeg/JpegDecoder.h"
#include "plugins/png/PngDecoder.h"
#include "plugins/tiff/TiffDecoder.h"
#include "plugins/webp/WebpDecoder.h"

namespace {

std::vector<uint8_t> ReadAll(const char* path)
{
    std::vector<uint8_t> data;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return data;
    std::fseek(f, 0, SEEK_END);
    long n = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    data.resize(n > 0 ? size_t(n) : 0);
    if (!data.empty() && std::fread(data.data(), 1, data.size(), f) != data.size())
        data.clear();
    std::fclose(f);
    return data;
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

bool WriteBmp(const char* path, const fovea::DecodedPicture& picture)
{
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    uint8_t header[54] = {'B', 'M'};
    uint32_t offset = uint32_t(54 + picture.palette.size());
    Put32(header + 2, uint32_t(offset + picture.bits.size()));
    Put32(header + 10, offset);
    Put32(header + 14, 40);
    Put32(header + 18, uint32_t(picture.width));
    Put32(header + 22, uint32_t(picture.height));
    header[26] = 1;
    header[28] = uint8_t(picture.bitCount);
    Put32(header + 34, uint32_t(picture.bits.size()));
    Put32(header + 46, uint32_t(picture.palette.size() / 4));
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header &&
              std::fwrite(picture.palette.data(), 1, picture.palette.size(), f) == picture.palette.size() &&
              std::fwrite(picture.bits.data(), 1, picture.bits.size(), f) == picture.bits.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: decoder_bench jpeg|png|webp[-preview]|gif|tiff FILE REPETITIONS [OUT.BMP]\n");
        return 2;
    }
    std::string format = argv[1];
    auto decode = format == "jpeg"           ? DecodeJpeg
                  : format == "jpeg-preview" ? DecodeJpegPreview
                  : format == "gif"          ? DecodeGif
                  : format == "tiff"         ? DecodeTiff
                  : format == "png"          ? DecodePng
                  : format == "png-preview"  ? DecodePngPreview
                  : format == "webp"         ? DecodeWebp
                  : format == "webp-preview" ? DecodeWebpPreview
                                             : nullptr;
    if (!decode)
        return 2;
    int repetitions = std::atoi(argv[3]);
    double best = 1e30;
    for (int i = 0; i < repetitions; ++i) {
        auto start = std::chrono::steady_clock::now();
        std::vector<uint8_t> data = ReadAll(argv[2]);
        fovea::DecodedPicture picture;
        int result = decode(data.data(), data.size(), picture);
        if (result != fovea::kDecodeOk) {
            std::fprintf(stderr, "decode failed: %d\n", result);
            return 1;
        }
        if (argc > 4 && !WriteBmp(argv[4], picture))
            return 1;
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (ms < best)
            best = ms;
    }
    std::printf("%.1f\n", best);
    return 0;
}
