// Test helpers for the picture decoders: pictures, PPM/BMP files, reference tools.
#include "tests/plugins/golden/GoldenImage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cmath>

namespace golden {

RgbImage MakePicture(int width, int height, int levels)
{
    RgbImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(size_t(width) * height * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.At(x, y);
            int r = width > 1 ? x * 255 / (width - 1) : 0;
            int g = height > 1 ? y * 255 / (height - 1) : 0;
            int b = ((x / 8 + y / 8) & 1) ? 220 : 30;
            if (x > width / 2 && y > height / 2) {
                // A noisy corner: no long runs, so LZW tables fill up and codes get long.
                noise = noise * 1103515245u + 12345u;
                r = (noise >> 16) & 0xFF;
                g = (noise >> 8) & 0xFF;
            }
            if (x + y < width / 4) {
                r = 255;
                g = 255;
                b = 0;
            }
            p[0] = uint8_t(r);
            p[1] = uint8_t(g);
            p[2] = uint8_t(b);
            if (levels > 1) {
                for (int c = 0; c < 3; ++c) {
                    int level = (p[c] * (levels - 1) + 127) / 255;
                    p[c] = uint8_t(level * 255 / (levels - 1));
                }
            }
        }
    }
    return image;
}

RgbImage FromDib(const fovea::DecodedPicture& picture)
{
    RgbImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.rgb.resize(size_t(picture.width) * picture.height * 3);
    size_t stride = picture.Stride();
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.bits.data() + size_t(picture.height - 1 - y) * stride;
        for (int x = 0; x < picture.width; ++x) {
            uint8_t* p = image.At(x, y);
            if (picture.bitCount == 24) {
                p[0] = row[x * 3 + 2];
                p[1] = row[x * 3 + 1];
                p[2] = row[x * 3];
                continue;
            }
            int index = 0;
            if (picture.bitCount == 8)
                index = row[x];
            else if (picture.bitCount == 4)
                index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 15;
            else
                index = (row[x / 8] >> (7 - (x & 7))) & 1;
            const uint8_t* q = &picture.palette[size_t(index) * 4];
            p[0] = q[2];
            p[1] = q[1];
            p[2] = q[0];
        }
    }
    return image;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> data;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return data;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    return data;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool WritePpm(const std::string& path, const RgbImage& image)
{
    std::string header = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    std::vector<uint8_t> data(header.begin(), header.end());
    data.insert(data.end(), image.rgb.begin(), image.rgb.end());
    return WriteFile(path, data);
}

namespace {

// Reads one decimal header field of a PNM file, skipping blanks and comments.
bool ReadPnmNumber(const std::vector<uint8_t>& data, size_t& at, int& value)
{
    while (at < data.size()) {
        if (data[at] == '#') {
            while (at < data.size() && data[at] != '\n')
                ++at;
        } else if (data[at] == ' ' || data[at] == '\n' || data[at] == '\r' || data[at] == '\t') {
            ++at;
        } else {
            break;
        }
    }
    if (at >= data.size() || data[at] < '0' || data[at] > '9')
        return false;
    value = 0;
    while (at < data.size() && data[at] >= '0' && data[at] <= '9' && value < 1000000)
        value = value * 10 + (data[at++] - '0');
    return true;
}

void Put16(std::vector<uint8_t>& d, size_t at, uint32_t v)
{
    d[at] = uint8_t(v);
    d[at + 1] = uint8_t(v >> 8);
}

void Put32(std::vector<uint8_t>& d, size_t at, uint32_t v)
{
    Put16(d, at, v & 0xFFFF);
    Put16(d, at + 2, v >> 16);
}

uint32_t Get32(const std::vector<uint8_t>& d, size_t at)
{
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t(d[at + 3]) << 24;
}

} // namespace

RgbImage ReadPnm(const std::string& path)
{
    RgbImage image;
    std::vector<uint8_t> data = ReadFile(path);
    if (data.size() < 3 || data[0] != 'P' || (data[1] != '5' && data[1] != '6'))
        return image;
    bool grey = data[1] == '5';
    size_t at = 2;
    int w = 0, h = 0, maxval = 0;
    if (!ReadPnmNumber(data, at, w) || !ReadPnmNumber(data, at, h) || !ReadPnmNumber(data, at, maxval) || maxval != 255)
        return image;
    ++at;
    size_t need = size_t(w) * h * (grey ? 1 : 3);
    if (at + need > data.size())
        return image;
    image.width = w;
    image.height = h;
    image.rgb.resize(size_t(w) * h * 3);
    for (size_t i = 0; i < size_t(w) * h; ++i) {
        for (int c = 0; c < 3; ++c)
            image.rgb[i * 3 + c] = grey ? data[at + i] : data[at + i * 3 + c];
    }
    return image;
}

bool WriteBmp24(const std::string& path, const RgbImage& image)
{
    size_t stride = (size_t(image.width) * 3 + 3) & ~size_t(3);
    size_t size = 54 + stride * image.height;
    std::vector<uint8_t> d(size, 0);
    d[0] = 'B';
    d[1] = 'M';
    Put32(d, 2, uint32_t(size));
    Put32(d, 10, 54);
    Put32(d, 14, 40);
    Put32(d, 18, uint32_t(image.width));
    Put32(d, 22, uint32_t(image.height));
    Put16(d, 26, 1);
    Put16(d, 28, 24);
    Put32(d, 34, uint32_t(stride * image.height));
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = &d[54 + stride * (image.height - 1 - y)];
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            row[x * 3] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
    }
    return WriteFile(path, d);
}

RgbImage ReadBmp24(const std::string& path)
{
    RgbImage image;
    std::vector<uint8_t> d = ReadFile(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || d[28] != 24)
        return image;
    int32_t w = int32_t(Get32(d, 18));
    int32_t h = int32_t(Get32(d, 22));
    uint32_t offset = Get32(d, 10);
    if (w <= 0 || h <= 0 || w > 65536 || h > 65536)
        return image;
    size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    if (offset + stride * h > d.size())
        return image;
    image.width = w;
    image.height = h;
    image.rgb.resize(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = &d[offset + stride * (h - 1 - y)];
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = row[x * 3 + 2];
            p[1] = row[x * 3 + 1];
            p[2] = row[x * 3];
        }
    }
    return image;
}

int MaxDifference(const RgbImage& a, const RgbImage& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size())
        return -1;
    int most = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        most = std::max(most, std::abs(int(a.rgb[i]) - int(b.rgb[i])));
    return most;
}

double MeanDifference(const RgbImage& a, const RgbImage& b)
{
    if (a.rgb.empty() || a.rgb.size() != b.rgb.size())
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / double(a.rgb.size());
}

bool Run(const std::string& command)
{
#ifdef _WIN32
    (void)command;
    return false;
#else
    return std::system(command.c_str()) == 0;
#endif
}

bool HaveTool(const std::string& name)
{
#ifdef _WIN32
    (void)name;
    return false;
#else
    return Run("command -v " + name + " >/dev/null 2>&1");
#endif
}

std::string DataPath(const std::string& relative)
{
    return std::string(FOVEA_TEST_DATA) + "/" + relative;
}

} // namespace golden
