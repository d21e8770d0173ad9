// CDib storage: the single block and the plug-in blocks, .BMP and archive reading and writing, the palettes.
#include "image/Dib.h"

#include <algorithm>
#include <cstring>

#include "framework/Archive.h"
#include "framework/File.h"
#include "image/DibRead.h"

namespace fovea {

const char kMsgNoMemoryOrEmpty[] = "Unable to allocate DIB memory Or File Length=0 ";
const char kMsgNoMemory[] = "Unable to allocate DIB memory";
const char kMsgReadError[] = "Read error";
const char kMsgInvalidFile[] = "Invalid bitmap file";
const char kMsgWriteError[] = "Write error--possible disk full condition";
const char kMsgInvalidArchive[] = "Invalid DIB archive";

namespace {

DibMessageSink g_sink = nullptr;
const char* g_lastMessage = nullptr;

} // namespace

void SetDibMessageSink(DibMessageSink sink)
{
    g_sink = sink;
}

void ShowDibMessage(const char* text)
{
    g_lastMessage = text;
    if (g_sink)
        g_sink(text);
    else
        ShowDibMessageDefault(text);
}

const char* LastDibMessage()
{
    return g_lastMessage;
}

void ClearLastDibMessage()
{
    g_lastMessage = nullptr;
}

} // namespace fovea

using namespace fovea;

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
// Archive records are read in steps, so that a record claiming a huge size costs memory only as its bytes
// really arrive.
constexpr uint32_t kArchiveStep = 1u << 20;

uint64_t RowBytes64(int64_t width, int bitCount)
{
    if (width <= 0 || bitCount <= 0)
        return 0;
    return ((uint64_t(width) * uint64_t(bitCount) + 31) / 32) * 4;
}

// What the headers of a picture say, once they have been checked against the bytes that hold them.
struct Layout {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    uint32_t tableOffset = 0; // colour table, from the start of the info header
    int tableEntries = 0;     // colour-table entries stored
    uint64_t imageBytes = 0;
};

// infoBytes: bytes available from the info header up to where the pixel rows start; bitsBytes: bytes of rows.
//
// What is held and what is refused:
// - 1-, 4-, 8- and 24-bit uncompressed pictures are held as read, as are 16- and 32-bit ones (uncompressed or
//   with bit-field masks): the display calls draw them, the conversions refuse them.
// - Run-length coded, top-down and OS/2 files never get here as they are: reading turns them into this
//   layout first (DibRead.h). Any other compression (JPEG/PNG) is refused: the pixel work reads the rows
//   directly and would take the codes for pixels.
// - Version 4 and 5 headers (108, 124 bytes) and the 52/56-byte variants are held: their first 40 bytes are
//   the common header and the colour table follows the whole header.
// - A colour count above the depth's full count, a header or table running into the rows, or rows beyond
//   the end are refused.
bool CheckLayout(const uint8_t* info, uint64_t infoBytes, uint64_t bitsBytes, bool allowBitfields, Layout& out)
{
    if (infoBytes < kInfoHeaderBytes)
        return false;
    BmpInfoHeader header;
    std::memcpy(&header, info, sizeof header);
    switch (header.biSize) {
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
        break;
    default:
        return false;
    }
    if (header.biSize > infoBytes || header.biWidth <= 0 || header.biHeight <= 0)
        return false;
    int bitCount = header.biBitCount;
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (header.biCompression != kBiRgb)
            return false;
        break;
    case 16:
    case 32:
        if (header.biCompression != kBiRgb && !(allowBitfields && header.biCompression == kBiBitfields))
            return false;
        break;
    default:
        return false;
    }
    uint64_t tableOffset = header.biSize;
    if (header.biCompression == kBiBitfields && header.biSize == kInfoHeaderBytes)
        tableOffset += 12; // the three masks follow a 40-byte header
    uint64_t entries = header.biClrUsed;
    if (bitCount <= 8) {
        uint64_t full = uint64_t(1) << bitCount;
        if (entries > full)
            return false;
        if (entries == 0)
            entries = full;
    }
    if (tableOffset + 4 * entries > infoBytes)
        return false;
    uint64_t image = RowBytes64(header.biWidth, bitCount) * uint64_t(header.biHeight);
    if (image > bitsBytes)
        return false;
    out.width = header.biWidth;
    out.height = header.biHeight;
    out.bitCount = bitCount;
    out.tableOffset = uint32_t(tableOffset);
    out.tableEntries = int(entries);
    out.imageBytes = image;
    return true;
}

bool IsSupportedDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

} // namespace

CDib::CDib() = default;

CDib::CDib(void* hBits, void* hInfo)
{
    // One handle passed for both blocks would be freed twice: take it once and refuse the picture.
    bool haveBits = m_bitsBlock.Adopt(hBits);
    bool haveInfo = hInfo != hBits && m_infoBlock.Adopt(hInfo);
    Layout layout;
    // A plug-in's blocks are checked like a file: its header must describe no more than the blocks hold.
    // Only uncompressed layouts are taken (bit-field masks would not survive the rewrite on saving).
    if (!haveBits || !haveInfo ||
        !CheckLayout(m_infoBlock.Data(), m_infoBlock.Size(), m_bitsBlock.Size(), false, layout)) {
        Empty();
        ShowDibMessage(kMsgInvalidFile);
        return;
    }
    m_nMemoryKind = 1;
    m_pInfoHeader = reinterpret_cast<BmpInfoHeader*>(m_infoBlock.Data());
    m_pBitmapInfo = m_pInfoHeader;
    m_pBits = m_bitsBlock.Data();
    m_nBitCount = layout.bitCount;
    m_pColorTable = reinterpret_cast<BmpRgbQuad*>(m_infoBlock.Data() + layout.tableOffset);
    m_nColorEntries = layout.tableEntries;
    // The size of the .BMP file this picture makes. The header's image size is not trusted: 0 is legal.
    m_dwSize = uint32_t(kFileHeaderBytes + kInfoHeaderBytes + 4 * ColorCount(m_nBitCount) + layout.imageBytes);
    if (m_nBitCount <= 8)
        ColorTableToPalette();
}

CDib::~CDib()
{
    Empty();
}

void CDib::Empty()
{
    m_block.Free();
    m_bitsBlock.Free();
    m_infoBlock.Free();
    m_paletteBlock.Free();
    m_nMemoryKind = 0;
    m_nFrames = m_nFrameWidth = m_nFrameHeight = 0;
    m_pBlock = nullptr;
    m_dwSize = 0;
    m_nBitCount = 0;
    m_pFileHeader = nullptr;
    m_pInfoHeader = nullptr;
    m_pBitmapInfo = nullptr;
    m_pBits = nullptr;
    m_pPalette = nullptr;
    m_pColorTable = nullptr;
    m_nColorEntries = 0;
}

void CDib::Swap(CDib& other) noexcept
{
    std::swap(m_nMemoryKind, other.m_nMemoryKind);
    std::swap(m_nFrames, other.m_nFrames);
    std::swap(m_nFrameWidth, other.m_nFrameWidth);
    std::swap(m_nFrameHeight, other.m_nFrameHeight);
    std::swap(m_pBlock, other.m_pBlock);
    std::swap(m_dwSize, other.m_dwSize);
    std::swap(m_nBitCount, other.m_nBitCount);
    std::swap(m_pFileHeader, other.m_pFileHeader);
    std::swap(m_pInfoHeader, other.m_pInfoHeader);
    std::swap(m_pBitmapInfo, other.m_pBitmapInfo);
    std::swap(m_pBits, other.m_pBits);
    std::swap(m_pPalette, other.m_pPalette);
    std::swap(m_pColorTable, other.m_pColorTable);
    std::swap(m_nColorEntries, other.m_nColorEntries);
    m_block.Swap(other.m_block);
    m_bitsBlock.Swap(other.m_bitsBlock);
    m_infoBlock.Swap(other.m_infoBlock);
    m_paletteBlock.Swap(other.m_paletteBlock);
}

int CDib::ColorCount(int bitCount)
{
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint32_t CDib::RowBytes(int width, int bitCount)
{
    return uint32_t(RowBytes64(width, bitCount));
}

int CDib::GetWidth() const
{
    return m_pInfoHeader ? m_pInfoHeader->biWidth : 0;
}

int CDib::GetHeight() const
{
    return m_pInfoHeader ? m_pInfoHeader->biHeight : 0;
}

bool CDib::Allocate(bool grow)
{
    bool ok =
        m_dwSize != 0 && m_dwSize <= kMaxDibBytes && (grow ? m_block.Resize(m_dwSize) : m_block.Allocate(m_dwSize));
    if (!ok) {
        Empty();
        ShowDibMessage(kMsgNoMemoryOrEmpty);
        return false;
    }
    m_pBlock = m_block.Data();
    m_pFileHeader = reinterpret_cast<BmpFileHeader*>(m_pBlock);
    m_pInfoHeader = reinterpret_cast<BmpInfoHeader*>(m_pBlock + kFileHeaderBytes);
    m_pBitmapInfo = m_pInfoHeader;
    return true;
}

bool CDib::BindBlock()
{
    BmpFileHeader file;
    if (m_dwSize < kFileHeaderBytes + kInfoHeaderBytes)
        return false;
    std::memcpy(&file, m_pBlock, sizeof file);
    if (file.bfType != kBmpType || file.bfOffBits < kFileHeaderBytes + kInfoHeaderBytes || file.bfOffBits > m_dwSize)
        return false;
    Layout layout;
    if (!CheckLayout(m_pBlock + kFileHeaderBytes, file.bfOffBits - kFileHeaderBytes, m_dwSize - file.bfOffBits, true,
                     layout))
        return false;
    // The rows start where the file says, so files with a short colour table are read correctly.
    m_pBits = m_pBlock + file.bfOffBits;
    m_nBitCount = layout.bitCount;
    m_pColorTable = reinterpret_cast<BmpRgbQuad*>(m_pBlock + kFileHeaderBytes + layout.tableOffset);
    m_nColorEntries = layout.tableEntries;
    return true;
}

bool CDib::LoadFile(const char* path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return false;
    bool ok = Read(file);
    file.Abort();
    return ok;
}

bool CDib::ReadBlock(CFile& file)
{
    try {
        uint64_t length = file.GetLength();
        m_dwSize = length > kMaxDibBytes ? 0 : uint32_t(length);
        if (!Allocate(false))
            return false;
        if (file.Read(m_pBlock, m_dwSize) == m_dwSize)
            return true;
    } catch (const CFileException&) {
    }
    Empty();
    ShowDibMessage(kMsgReadError);
    return false;
}

// Files in another layout (run-length coded, top-down, OS/2 headers) are held as the ordinary one.
bool CDib::NormalizeBlock()
{
    std::vector<uint8_t> normal;
    switch (NormalizeBmp(m_pBlock, m_dwSize, normal)) {
    case kBmpAsIs:
        return true;
    case kBmpRefused:
        return false;
    default:
        break;
    }
    m_dwSize = uint32_t(normal.size());
    if (!Allocate(false))
        return false;
    std::memcpy(m_pBlock, normal.data(), normal.size());
    return true;
}

// A failed read leaves the object empty, whatever stage it failed at: a block that did not pass the checks
// must never reach the display or the conversions.
bool CDib::Read(CFile& file)
{
    Empty();
    if (!ReadBlock(file))
        return false;
    if (!NormalizeBlock() || !BindBlock()) {
        Empty();
        ShowDibMessage(kMsgInvalidFile);
        return false;
    }
    if (m_nBitCount <= 8)
        return ColorTableToPalette();
    return true;
}

bool CDib::ReadFromMemory(const void* data, size_t size)
{
    Empty();
    m_dwSize = size > kMaxDibBytes ? 0 : uint32_t(size);
    if (!Allocate(false))
        return false;
    std::memcpy(m_pBlock, data, m_dwSize);
    if (!NormalizeBlock() || !BindBlock()) {
        Empty();
        ShowDibMessage(kMsgInvalidFile);
        return false;
    }
    if (m_nBitCount <= 8)
        return ColorTableToPalette();
    return true;
}

template <typename Sink> void CDib::EmitFileImage(Sink&& sink) const
{
    if (m_dwSize == 0)
        return;
    if (m_nMemoryKind == 0) {
        sink(m_pBlock, m_dwSize);
        return;
    }
    // A plug-in's picture becomes a plain file: 40-byte header, full colour table, the rows.
    int colors = ColorCount(m_nBitCount);
    uint32_t imageBytes = RowBytes(GetWidth(), m_nBitCount) * uint32_t(GetHeight());
    uint8_t head[kFileHeaderBytes + kInfoHeaderBytes];
    BmpFileHeader file = {kBmpType, m_dwSize, 0, 0, kFileHeaderBytes + kInfoHeaderBytes + 4 * uint32_t(colors)};
    BmpInfoHeader info;
    std::memcpy(&info, m_pInfoHeader, sizeof info);
    info.biSize = kInfoHeaderBytes;
    info.biSizeImage = imageBytes;
    info.biClrUsed = 0;
    info.biClrImportant = 0;
    std::memcpy(head, &file, sizeof file);
    std::memcpy(head + sizeof file, &info, sizeof info);
    sink(head, sizeof head);
    if (colors) {
        BmpRgbQuad table[256] = {};
        std::memcpy(table, m_pColorTable, 4 * size_t(std::min(colors, m_nColorEntries)));
        sink(table, 4 * size_t(colors));
    }
    sink(m_pBits, imageBytes);
}

bool CDib::Write(CFile& file)
{
    try {
        EmitFileImage([&](const void* bytes, size_t count) { file.Write(bytes, unsigned(count)); });
    } catch (const CFileException&) {
        ShowDibMessage(kMsgWriteError);
        return false;
    }
    return true;
}

bool CDib::SaveFile(const char* path)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return false;
    bool ok = Write(file);
    try {
        file.Close();
    } catch (const CFileException&) {
        // The last bytes may be lost when the handle is closed on a full disk.
        if (ok)
            ShowDibMessage(kMsgWriteError);
        ok = false;
    }
    return ok;
}

void CDib::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteWord(kBmpType);
        ar.WriteDWord(m_dwSize);
        EmitFileImage([&](const void* bytes, size_t count) { ar.Write(bytes, unsigned(count)); });
        return;
    }
    Empty();
    uint16_t type = ar.ReadWord();
    uint32_t size = ar.ReadDWord();
    if (size == 0)
        return;
    if (type != kBmpType) {
        ShowDibMessage(kMsgInvalidArchive);
        return;
    }
    if (size > kMaxDibBytes) {
        ShowDibMessage(kMsgNoMemoryOrEmpty);
        return;
    }
    m_dwSize = std::min(size, kArchiveStep);
    if (!Allocate(false))
        return;
    uint32_t done = 0;
    try {
        for (;;) {
            ar.Read(m_pBlock + done, m_dwSize - done);
            done = m_dwSize;
            if (done == size)
                break;
            m_dwSize = size - done > kArchiveStep ? done + kArchiveStep : size;
            if (!Allocate(true))
                return;
        }
    } catch (...) {
        Empty();
        throw;
    }
    // The block is checked like a file, but the palette is left to the caller on this path.
    if (!BindBlock()) {
        Empty();
        ShowDibMessage(kMsgInvalidArchive);
    }
}

void CDib::FreePalette()
{
    m_paletteBlock.Free();
    m_pPalette = nullptr;
}

bool CDib::ColorTableToPalette()
{
    int colors = ColorCount(m_nBitCount);
    if (colors == 0)
        return true;
    CDibBlock block;
    if (!block.Allocate(4 + 4 * size_t(colors))) {
        Empty();
        ShowDibMessage(kMsgNoMemory);
        return false;
    }
    auto* palette = reinterpret_cast<DibLogPalette*>(block.Data());
    palette->palVersion = 0x300;
    palette->palNumEntries = uint16_t(colors);
    // Entries the file does not store stay black.
    DibPaletteEntry* entries = palette->Entries();
    for (int i = 0; i < std::min(colors, m_nColorEntries); ++i) {
        entries[i].peRed = m_pColorTable[i].rgbRed;
        entries[i].peGreen = m_pColorTable[i].rgbGreen;
        entries[i].peBlue = m_pColorTable[i].rgbBlue;
        entries[i].peFlags = 0;
    }
    m_paletteBlock.Swap(block);
    m_pPalette = palette;
    return true;
}

bool CDib::MakeCubePalette()
{
    CDibBlock block;
    if (!block.Allocate(4 + 256 * 4)) {
        ShowDibMessage(kMsgNoMemory);
        return false;
    }
    auto* palette = reinterpret_cast<DibLogPalette*>(block.Data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    DibPaletteEntry* entries = palette->Entries();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries[36 * r + 6 * g + b] = {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b), 0};
    m_paletteBlock.Swap(block);
    m_pPalette = palette;
    return true;
}

bool CDib::CopyPaletteFrom(const CDib& source)
{
    if (&source == this)
        return true;
    if (!source.m_pPalette) {
        // A picture loaded from an archive has a colour table but no palette yet: take the table.
        if (source.m_nBitCount > 8 || !source.m_pColorTable) {
            FreePalette();
            return true;
        }
        int colors = ColorCount(source.m_nBitCount);
        CDibBlock block;
        if (!block.Allocate(4 + 4 * size_t(colors))) {
            ShowDibMessage(kMsgNoMemory);
            return false;
        }
        auto* palette = reinterpret_cast<DibLogPalette*>(block.Data());
        palette->palVersion = 0x300;
        palette->palNumEntries = uint16_t(colors);
        for (int i = 0; i < std::min(colors, source.m_nColorEntries); ++i)
            palette->Entries()[i] = {source.m_pColorTable[i].rgbRed, source.m_pColorTable[i].rgbGreen,
                                     source.m_pColorTable[i].rgbBlue, 0};
        m_paletteBlock.Swap(block);
        m_pPalette = palette;
        return true;
    }
    size_t bytes = 4 + 4 * size_t(source.m_pPalette->palNumEntries);
    CDibBlock block;
    if (!block.Allocate(bytes)) {
        ShowDibMessage(kMsgNoMemory);
        return false;
    }
    std::memcpy(block.Data(), source.m_pPalette, bytes);
    m_paletteBlock.Swap(block);
    m_pPalette = reinterpret_cast<DibLogPalette*>(m_paletteBlock.Data());
    return true;
}

void CDib::PaletteToColorTable()
{
    if (!m_pPalette || m_nBitCount > 8 || !m_pColorTable)
        return;
    int count = std::min<int>(m_pPalette->palNumEntries, m_nColorEntries);
    const DibPaletteEntry* entries = m_pPalette->Entries();
    for (int i = 0; i < count; ++i)
        m_pColorTable[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
}

void CDib::ColorLookup(BmpRgbQuad (&table)[256]) const
{
    std::memset(table, 0, sizeof table);
    if (m_pPalette) {
        const DibPaletteEntry* entries = m_pPalette->Entries();
        for (int i = 0; i < std::min<int>(m_pPalette->palNumEntries, 256); ++i)
            table[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    } else if (m_pColorTable && m_nBitCount <= 8) {
        std::memcpy(table, m_pColorTable, 4 * size_t(std::min(m_nColorEntries, 256)));
    }
}

bool CDib::Create(int width, int height, int bitCount, int paletteMode, const CDib* source)
{
    if (width < 0 || height < 0 || !IsSupportedDepth(bitCount) || source == this)
        return false;
    int colors = ColorCount(bitCount);
    // 16- and 32-bit pictures made from one of their depth take its colour masks along, so that their pixels
    // mean the same colours. The masks follow the first 40 bytes of every header that has them.
    uint8_t masks[12];
    const bool withMasks = paletteMode == 2 && source && source->m_nBitCount == bitCount && bitCount > 8 &&
                           bitCount != 24 && source->m_pInfoHeader &&
                           source->m_pInfoHeader->biCompression == kBiBitfields;
    if (withMasks)
        std::memcpy(masks, reinterpret_cast<const uint8_t*>(source->m_pInfoHeader) + kInfoHeaderBytes, sizeof masks);
    const uint32_t maskBytes = withMasks ? sizeof masks : 0;
    uint64_t size = RowBytes64(width, bitCount) * uint64_t(height) + 4 * uint64_t(colors) + maskBytes +
                    kFileHeaderBytes + kInfoHeaderBytes;
    Empty();
    m_dwSize = size > kMaxDibBytes ? 0 : uint32_t(size);
    if (!Allocate(false))
        return false;
    uint32_t offBits = kFileHeaderBytes + kInfoHeaderBytes + maskBytes + 4 * uint32_t(colors);
    BmpFileHeader file = {kBmpType, m_dwSize, 0, 0, offBits};
    BmpInfoHeader info = {
        kInfoHeaderBytes, width, height, 1, uint16_t(bitCount), withMasks ? kBiBitfields : kBiRgb, 0, 0, 0, 0, 0};
    std::memcpy(m_pBlock, &file, sizeof file);
    std::memcpy(m_pBlock + kFileHeaderBytes, &info, sizeof info);
    if (withMasks)
        std::memcpy(m_pBlock + kFileHeaderBytes + kInfoHeaderBytes, masks, sizeof masks);
    m_nBitCount = bitCount;
    m_pBits = m_pBlock + offBits;
    m_pColorTable = reinterpret_cast<BmpRgbQuad*>(m_pBlock + kFileHeaderBytes + kInfoHeaderBytes + maskBytes);
    m_nColorEntries = colors;
    bool ok = true;
    if (paletteMode == 1 && bitCount == 8)
        ok = MakeCubePalette();
    else if (paletteMode == 2 && bitCount <= 8 && source)
        ok = CopyPaletteFrom(*source);
    PaletteToColorTable();
    return ok;
}

bool CDib::CreateStrip(int bitCount, int frames, int frameWidth, int frameHeight)
{
    int64_t height = int64_t(frames) * frameHeight;
    if (frames < 0 || frameHeight < 0 || height > INT32_MAX)
        return false;
    if (!Create(frameWidth, int(height), bitCount, 1))
        return false;
    SetFrames(frames, frameWidth, frameHeight);
    return true;
}

void CDib::SetFrames(int frames, int frameWidth, int frameHeight)
{
    m_nFrames = frames;
    m_nFrameWidth = frameWidth;
    m_nFrameHeight = frameHeight;
}
