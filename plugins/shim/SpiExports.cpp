// The exports of every plug-in DLL: the host finds them by name and calls them __stdcall. Each DLL links
// this file with one decoder and that decoder's kPluginFormat.
#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

#include "plugins/shim/Picture.h"

using fovea::DecodedPicture;
using fovea::kPluginFormat;

namespace {

// The first argument of GetPicture names a file (low bits 0) or points at the data in memory (1).
constexpr UINT kInputMask = 7;
constexpr UINT kInputMemory = 1;
constexpr size_t kMaxFileBytes = 256u * 1024 * 1024;

#pragma pack(push, 1)
struct PictureInfo {
    LONG left, top;
    LONG width, height;
    WORD xDensity, yDensity;
    SHORT colorDepth;
    HLOCAL hInfo;
};
#pragma pack(pop)

int ReadInput(LPCSTR buf, LONG len, UINT flag, std::vector<uint8_t>& data)
{
    if (!buf)
        return fovea::kDecodeReadError;
    try {
        if ((flag & kInputMask) == kInputMemory) {
            if (len <= 0)
                return fovea::kDecodeReadError;
            data.assign(reinterpret_cast<const uint8_t*>(buf), reinterpret_cast<const uint8_t*>(buf) + len);
            return fovea::kDecodeOk;
        }
        HANDLE file = CreateFileA(buf, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return fovea::kDecodeReadError;
        int result = fovea::kDecodeReadError;
        DWORD high = 0;
        DWORD low = GetFileSize(file, &high);
        if (low != INVALID_FILE_SIZE && high == 0 && len >= 0 && DWORD(len) <= low && low - len <= kMaxFileBytes) {
            data.resize(low - len);
            DWORD got = 0;
            if (SetFilePointer(file, len, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
                (data.empty() || ReadFile(file, data.data(), DWORD(data.size()), &got, nullptr)) &&
                got == data.size())
                result = fovea::kDecodeOk;
        }
        CloseHandle(file);
        return result;
    } catch (const std::bad_alloc&) {
        return fovea::kDecodeNoMemory;
    }
}

// A moveable block the host frees with LocalFree/GlobalFree, filled with bytes.
HLOCAL MakeBlock(const void* bytes, size_t size)
{
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size ? size : 1);
    if (!block)
        return nullptr;
    void* p = LocalLock(block);
    if (!p) {
        LocalFree(block);
        return nullptr;
    }
    if (size)
        std::memcpy(p, bytes, size);
    LocalUnlock(block);
    return block;
}

HLOCAL MakeInfoBlock(const DecodedPicture& picture)
{
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + picture.palette.size());
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = picture.width;
    header.biHeight = picture.height;
    header.biPlanes = 1;
    header.biBitCount = WORD(picture.bitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(picture.bits.size());
    header.biClrUsed = DWORD(picture.palette.size() / 4);
    std::memcpy(info.data(), &header, sizeof header);
    if (!picture.palette.empty())
        std::memcpy(info.data() + sizeof header, picture.palette.data(), picture.palette.size());
    return MakeBlock(info.data(), info.size());
}

using DecodeFunction = int (*)(const uint8_t* data, size_t size, DecodedPicture& out);

int Decode(LPCSTR buf, LONG len, UINT flag, DecodedPicture& picture, DecodeFunction decode = kPluginFormat.decode)
{
    std::vector<uint8_t> data;
    int result = ReadInput(buf, len, flag, data);
    if (result != fovea::kDecodeOk)
        return result;
    if (!kPluginFormat.isSupported(data.data(), data.size()))
        return fovea::kDecodeUnknownFormat;
    return decode(data.data(), data.size(), picture);
}

// Decodes into two blocks that the caller owns: a BITMAPINFO and the DIB rows.
int DecodeToBlocks(LPCSTR buf, LONG len, UINT flag, HLOCAL* pHBInfo, HLOCAL* pHBm, DecodeFunction decode)
{
    if (!pHBInfo || !pHBm)
        return fovea::kDecodeBroken;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    try {
        DecodedPicture picture;
        int result = Decode(buf, len, flag, picture, decode);
        if (result != fovea::kDecodeOk)
            return result;
        HLOCAL info = MakeInfoBlock(picture);
        HLOCAL bits = info ? MakeBlock(picture.bits.data(), picture.bits.size()) : nullptr;
        if (!bits) {
            if (info)
                LocalFree(info);
            return fovea::kDecodeNoMemory;
        }
        *pHBInfo = info;
        *pHBm = bits;
        return fovea::kDecodeOk;
    } catch (...) {
        return fovea::kDecodeNoMemory;
    }
}

int CopyText(LPSTR buf, int buflen, const char* text)
{
    if (!buf || buflen <= 0)
        return 0;
    int n = int(std::strlen(text));
    if (n >= buflen)
        n = buflen - 1;
    std::memcpy(buf, text, size_t(n));
    buf[n] = '\0';
    return n;
}

}  // namespace

extern "C" {

// Info 0: interface version; 1: plug-in name; 2: the file filter; 3: the format's name.
__declspec(dllexport) int __stdcall GetPluginInfo(int infono, LPSTR buf, int buflen)
{
    switch (infono) {
    case 0:
        return CopyText(buf, buflen, "00IN");
    case 1:
        return CopyText(buf, buflen, kPluginFormat.description);
    case 2:
        return CopyText(buf, buflen, kPluginFormat.filter);
    case 3:
        return CopyText(buf, buflen, kPluginFormat.description);
    default:
        return 0;
    }
}

// dw is a file handle when its high word is 0, else the address of the file's first 2 KiB.
__declspec(dllexport) int __stdcall IsSupported(LPCSTR filename, DWORD_PTR dw)
{
    uint8_t head[2048];
    DWORD got = 0;
    try {
        if ((dw & 0xFFFF0000u) == 0) {
            if (!ReadFile(reinterpret_cast<HANDLE>(dw), head, sizeof head, &got, nullptr))
                return 0;
            return kPluginFormat.isSupported(head, got) ? 1 : 0;
        }
        return kPluginFormat.isSupported(reinterpret_cast<const uint8_t*>(dw), sizeof head) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

__declspec(dllexport) int __stdcall GetPictureInfo(LPCSTR buf, LONG len, UINT flag, PictureInfo* info)
{
    if (!info)
        return fovea::kDecodeBroken;
    try {
        DecodedPicture picture;
        int result = Decode(buf, len, flag, picture);
        if (result != fovea::kDecodeOk)
            return result;
        std::memset(info, 0, sizeof *info);
        info->width = picture.width;
        info->height = picture.height;
        info->colorDepth = SHORT(picture.bitCount);
        return fovea::kDecodeOk;
    } catch (...) {
        return fovea::kDecodeNoMemory;
    }
}

// Decodes the whole picture into two blocks that the caller owns: a BITMAPINFO and the DIB rows.
__declspec(dllexport) int __stdcall GetPicture(LPCSTR buf, LONG len, UINT flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                                                FARPROC progress, LONG lData)
{
    return DecodeToBlocks(buf, len, flag, pHBInfo, pHBm, kPluginFormat.decode);
}

// A reduced picture, quicker than the whole one, where the format has such a decode; the same blocks.
__declspec(dllexport) int __stdcall GetPreview(LPCSTR buf, LONG len, UINT flag, HLOCAL* pHBInfo, HLOCAL* pHBm,
                                                FARPROC progress, LONG lData)
{
    if (!kPluginFormat.decodePreview)
        return fovea::kDecodeNotImplemented;
    return DecodeToBlocks(buf, len, flag, pHBInfo, pHBm, kPluginFormat.decodePreview);
}

}  // extern "C"
