// CDib: the one pixel container, a picture held byte for byte as a .BMP file image, or a strip of frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/DibMemory.h"

class CFile;
class CArchive;
class CDC;
class CBitmap;

namespace fovea {

#pragma pack(push, 1)
// The .BMP structures with their exact bytes, usable without the platform headers.
struct BmpFileHeader {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};
struct BmpInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
struct BmpRgbQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
// Same bytes as the platform's LOGPALETTE (version 0x300, count, then red, green, blue, flags per entry).
struct DibPaletteEntry {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};
struct DibLogPalette {
    uint16_t palVersion;
    uint16_t palNumEntries;
    DibPaletteEntry palPalEntry[1];

    DibPaletteEntry* Entries() { return reinterpret_cast<DibPaletteEntry*>(reinterpret_cast<uint8_t*>(this) + 4); }
    const DibPaletteEntry* Entries() const
    {
        return reinterpret_cast<const DibPaletteEntry*>(reinterpret_cast<const uint8_t*>(this) + 4);
    }
};
#pragma pack(pop)
static_assert(sizeof(BmpFileHeader) == 14 && sizeof(BmpInfoHeader) == 40 && sizeof(DibLogPalette) == 8);

constexpr uint16_t kBmpType = 0x4D42; // "BM"
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
// A 32-bit process cannot hold much more; anything larger is refused as an allocation failure.
constexpr uint64_t kMaxDibBytes = 512ull * 1024 * 1024;

// The failure texts, shown in a standard message box with only OK.
extern const char kMsgNoMemoryOrEmpty[];
extern const char kMsgNoMemory[];
extern const char kMsgReadError[];
extern const char kMsgInvalidFile[];
extern const char kMsgWriteError[];
extern const char kMsgInvalidArchive[];

// Every failure message of the bitmap code goes through here. The default shows a message box on Windows
// and only records the text on the host; a sink replaces it (tests capture messages this way).
using DibMessageSink = void (*)(const char* text);
void SetDibMessageSink(DibMessageSink sink);
void ShowDibMessage(const char* text);
// The platform's default presentation, one definition per platform.
void ShowDibMessageDefault(const char* text);
// The last text passed to ShowDibMessage (whatever the sink), and a way to forget it.
const char* LastDibMessage();
void ClearLastDibMessage();

} // namespace fovea

class CDib {
public:
    CDib();
    // Takes over the two blocks a plug-in returned: the pixel rows and a BITMAPINFO. Both are freed with
    // this object; if they do not hold what their header says, they are freed at once and the object is empty.
    CDib(void* hBits, void* hInfo);
    virtual ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;
    CDib(CDib&& other) noexcept { Swap(other); }
    CDib& operator=(CDib&& other) noexcept
    {
        if (this != &other) {
            Empty();
            Swap(other);
        }
        return *this;
    }

    static int ColorCount(int bitCount);
    static uint32_t RowBytes(int width, int bitCount);

    bool LoadFile(const char* path);
    bool Read(CFile& file);
    // Read of a file image already in memory (the same checks and messages as Read).
    bool ReadFromMemory(const void* data, size_t size);
    bool SaveFile(const char* path);
    bool Write(CFile& file);
    // Throws CArchiveException when a record ends early; the object is then empty.
    virtual void Serialize(CArchive& ar);

    int GetWidth() const;
    int GetHeight() const;
    int GetBitCount() const { return m_nBitCount; }
    bool IsEmpty() const { return m_dwSize == 0; }
    uint32_t GetSize() const { return m_dwSize; }
    int GetMemoryKind() const { return m_nMemoryKind; }
    // Raw access for the display calls and for the sample store.
    const uint8_t* GetBlock() const { return m_pBlock; }
    const fovea::BmpInfoHeader* GetInfoHeader() const { return m_pInfoHeader; }
    const void* GetBitmapInfo() const { return m_pBitmapInfo; }
    uint8_t* GetBits() const { return m_pBits; }
    fovea::BmpRgbQuad* GetColorTable() const { return m_pColorTable; }
    // Colour-table entries actually stored (a file may store fewer than ColorCount).
    int GetColorTableEntries() const { return m_nColorEntries; }
    const fovea::DibLogPalette* GetPalette() const { return m_pPalette; }
    int GetFrames() const { return m_nFrames; }
    int GetFrameWidth() const { return m_nFrameWidth; }
    int GetFrameHeight() const { return m_nFrameHeight; }

    // Palette mode 0: none; 1: the colour cube for 8 bits; 2: a copy of the source's palette for up to 8 bits,
    // of its colour masks for 16 and 32 bits.
    bool Create(int width, int height, int bitCount, int paletteMode, const CDib* source = nullptr);
    bool ConvertFrom(int bitCount, const CDib& source, int width = 0, int height = 0);
    bool QuantizeFrom(const CDib& source);
    // Scale, turns and flips keep the depth (every depth, 16 and 32 bits with their colour masks).
    bool ScaleFrom(const CDib& source, int width, int height);
    // Direction 1 clockwise, 0 anticlockwise.
    bool RotateFrom(const CDib& source, int direction);
    // Direction 1 upside down, 0 left-right mirror.
    bool FlipFrom(const CDib& source, int direction);
    bool CreateStrip(int bitCount, int frames, int frameWidth, int frameHeight);
    void SetFrames(int frames, int frameWidth, int frameHeight);
    bool CopyFrame(const CDib& source, int sourceFrame, int targetFrame);

    bool MakeCubePalette();
    bool ColorTableToPalette();
    bool CopyPaletteFrom(const CDib& source);
    void PaletteToColorTable();

    // Windows only. The caller owns the bitmap; the out parameters may be null.
    std::unique_ptr<CBitmap> MakeDeviceBitmap(CDC& dc, int* width, int* height, int* planes, int* bitsPixel);
    bool Draw(CDC& dc, int x, int y);

    // Frees everything: the object is as the default constructor made it.
    void Empty();
    void Swap(CDib& other) noexcept;

private:
    // Sizes the single block to m_dwSize: fresh and zeroed, or grown keeping the bytes.
    bool Allocate(bool grow);
    void FreePalette();
    // Checks the block's headers against its size and sets the pointers and the depth.
    bool BindBlock();
    bool NormalizeBlock();
    bool ReadBlock(CFile& file);
    // The 256 colours a pixel index stands for: the palette, else the colour table, the rest black.
    void ColorLookup(fovea::BmpRgbQuad (&table)[256]) const;
    // Writes the picture as a .BMP file image in pieces (kind 1 has no single block).
    template <typename Sink> void EmitFileImage(Sink&& sink) const;

    int m_nMemoryKind = 0;
    int m_nFrames = 0;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    uint8_t* m_pBlock = nullptr;
    uint32_t m_dwSize = 0;
    int m_nBitCount = 0;
    fovea::BmpFileHeader* m_pFileHeader = nullptr;
    fovea::BmpInfoHeader* m_pInfoHeader = nullptr;
    void* m_pBitmapInfo = nullptr;
    uint8_t* m_pBits = nullptr;
    fovea::DibLogPalette* m_pPalette = nullptr;

private:
    fovea::BmpRgbQuad* m_pColorTable = nullptr;
    int m_nColorEntries = 0;
    fovea::CDibBlock m_block;
    fovea::CDibBlock m_bitsBlock;
    fovea::CDibBlock m_infoBlock;
    fovea::CDibBlock m_paletteBlock;
};
