// A plug-in as third parties write them, for the host tests: its own DLL with the two exports, a filter text
// naming two extensions ("*.tif;*.tiff"), and blocks from LocalAlloc with a header that leaves the image size
// and colour count at 0. It reads binary PPM pictures (P6, maximum 255).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadPpm(const std::vector<unsigned char>& data, int& width, int& height, size_t& pixels)
{
    int maximum = 0, used = 0;
    std::string text(data.begin(), data.begin() + long(data.size() < 64 ? data.size() : 64));
    if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &used) != 3 || maximum != 255 ||
        width <= 0 || height <= 0 || width > 4096 || height > 4096)
        return false;
    pixels = size_t(used) + 1;
    return data.size() >= pixels + size_t(width) * size_t(height) * 3;
}

}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall GetPluginInfo(int infono, LPSTR buf, int buflen)
{
    const char* texts[] = {"00IN", "Foreign PPM reader", "*.tif;*.tiff", "PPM picture"};
    if (infono < 0 || infono > 3 || !buf || buflen <= 0)
        return 0;
    lstrcpynA(buf, texts[infono], buflen);
    return lstrlenA(buf);
}

__declspec(dllexport) int __stdcall IsSupported(LPCSTR, DWORD_PTR)
{
    return 1;
}

__declspec(dllexport) int __stdcall GetPicture(LPCSTR buf, LONG len, UINT flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                                                FARPROC, LONG)
{
    if ((flag & 7) != 0)
        return -1;
    HANDLE file = CreateFileA(buf, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 6;
    std::vector<unsigned char> data(GetFileSize(file, nullptr));
    DWORD got = 0;
    BOOL read = data.empty() || ReadFile(file, data.data(), DWORD(data.size()), &got, nullptr);
    CloseHandle(file);
    int width = 0, height = 0;
    size_t at = 0;
    if (!read || got != data.size() || !ReadPpm(data, width, height, at))
        return 2;
    size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    HLOCAL info = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER));
    HLOCAL bits = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, stride * size_t(height));
    if (!info || !bits) {
        if (info)
            LocalFree(info);
        if (bits)
            LocalFree(bits);
        return 4;
    }
    auto* header = static_cast<BITMAPINFOHEADER*>(LocalLock(info));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    LocalUnlock(info);
    auto* rows = static_cast<unsigned char*>(LocalLock(bits));
    for (int y = 0; y < height; ++y) {
        const unsigned char* from = data.data() + at + size_t(y) * size_t(width) * 3;
        unsigned char* to = rows + size_t(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    LocalUnlock(bits);
    *pHBInfo = info;
    *pHBm = bits;
    return 0;
}

}  // extern "C"
