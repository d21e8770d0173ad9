// A plug-in of the sample tests: pictures named *.PVW. GetPicture gives a 160 x 120 red picture; GetPreview
// gives a green one of the size in the file's first two bytes (width, height), or fails when the width is 0.
#include <windows.h>

#include <cstring>

namespace {

// A 24-bit picture of one colour in two moveable blocks, as plug-ins hand them over.
int MakePicture(int width, int height, COLORREF colour, HANDLE* info, HANDLE* bits)
{
    BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    DWORD stride = DWORD((width * 3 + 3) & ~3);
    HLOCAL infoBlock = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof header);
    HLOCAL bitsBlock = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, stride * DWORD(height));
    if (!infoBlock || !bitsBlock) {
        LocalFree(infoBlock);
        LocalFree(bitsBlock);
        return 4;
    }
    std::memcpy(LocalLock(infoBlock), &header, sizeof header);
    LocalUnlock(infoBlock);
    auto* row = static_cast<BYTE*>(LocalLock(bitsBlock));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = row + DWORD(y) * stride + DWORD(x) * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    LocalUnlock(bitsBlock);
    *info = infoBlock;
    *bits = bitsBlock;
    return 0;
}

bool ReadSize(LPCSTR path, BYTE size[2])
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    BOOL ok = ReadFile(file, size, 2, &got, nullptr);
    CloseHandle(file);
    return ok && got == 2;
}

} // namespace

extern "C" __declspec(dllexport) int WINAPI GetPluginInfo(int infono, LPSTR buf, int buflen)
{
    const char* texts[] = {"00IN", "preview test plug-in", "*.PVW", "PVW pictures"};
    if (infono < 0 || infono > 3 || buflen <= 0)
        return 0;
    lstrcpynA(buf, texts[infono], buflen);
    return lstrlenA(buf);
}

extern "C" __declspec(dllexport) int WINAPI
    GetPicture(LPCSTR buf, LONG, UINT, HANDLE* info, HANDLE* bits, FARPROC, LONG)
{
    BYTE size[2];
    if (!ReadSize(buf, size))
        return 1;
    return MakePicture(160, 120, RGB(255, 0, 0), info, bits);
}

extern "C" __declspec(dllexport) int WINAPI
    GetPreview(LPCSTR buf, LONG, UINT, HANDLE* info, HANDLE* bits, FARPROC, LONG)
{
    BYTE size[2];
    if (!ReadSize(buf, size) || size[0] == 0)
        return 1;
    return MakePicture(size[0], size[1], RGB(0, 255, 0), info, bits);
}
