// The bank image mapped: the header read and checked once, then views of the file mapped on demand around the
// frames drawn and dropped least recently used first, each checked against the file's real length.
#include "image/BankMapping.h"

#include <algorithm>
#include <cstdint>

namespace {

// Views cover this much of the file (a multiple of the 64 KiB allocation granularity of every Windows) ...
constexpr uint64_t kWindowBytes = 1u << 20;
// ... and at most this much address space is mapped at once; a page of any catalog needs far less.
constexpr uint64_t kMappedLimit = 24u << 20;

bool SameAttributes(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b)
{
    return a.nFileSizeLow == b.nFileSizeLow && a.nFileSizeHigh == b.nFileSizeHigh &&
           a.ftLastWriteTime.dwLowDateTime == b.ftLastWriteTime.dwLowDateTime &&
           a.ftLastWriteTime.dwHighDateTime == b.ftLastWriteTime.dwHighDateTime;
}

} // namespace

CBankMapping::OpenResult CBankMapping::Open(const CString& path, int frameWidth, int frameHeight)
{
    Close();
    m_strPath = path;
    m_bSeen = !path.IsEmpty() && ::GetFileAttributesExA(path, GetFileExInfoStandard, &m_seen);
    if (!m_bSeen || (m_seen.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return kMissing;
    // Others may replace or remove the file while it is shown (a sample run moves a new bank in).
    m_file.reset(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr));
    if (!m_file)
        return kUnreadable;
    LARGE_INTEGER size = {};
    uint8_t head[fovea::kBankHeadBytes];
    DWORD headBytes = 0;
    if (!::GetFileSizeEx(m_file.get(), &size) ||
        !::ReadFile(m_file.get(), head, DWORD(std::min<LONGLONG>(size.QuadPart, sizeof head)), &headBytes, nullptr))
        headBytes = 0;
    m_nFileSize = uint64_t(size.QuadPart);
    if (!fovea::ReadBankImageLayout(head, headBytes, m_nFileSize, frameWidth, frameHeight, m_layout)) {
        bool picture = headBytes >= 54 && head[0] == 'B' && head[1] == 'M';
        CloseFile();
        return picture ? kOtherShape : m_nFileSize == 0 ? kEmpty : kNotPicture;
    }
    m_nFrames = m_layout.frames;
    if (m_nFrames > 0) {
        m_mapping.reset(::CreateFileMappingA(m_file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!m_mapping) {
            CloseFile();
            return kUnreadable;
        }
    }
    return kOpened;
}

void CBankMapping::Close()
{
    CloseFile();
    m_strPath.Empty();
    m_bSeen = false;
    m_bSetAside = false;
}

void CBankMapping::SetAside()
{
    if (m_strPath.IsEmpty())
        return;
    CloseFile();
    m_bSetAside = true;
}

void CBankMapping::CloseFile()
{
    UnmapViews();
    m_mapping.reset();
    m_file.reset();
    m_layout = fovea::BankImageLayout();
    m_nFrames = 0;
    m_nFileSize = 0;
}

bool CBankMapping::NeedsReopen() const
{
    if (m_strPath.IsEmpty())
        return false;
    if (m_bSetAside)
        return true;
    WIN32_FILE_ATTRIBUTE_DATA now = {};
    bool there = ::GetFileAttributesExA(m_strPath, GetFileExInfoStandard, &now);
    if (there != m_bSeen)
        return true;
    return there && !SameAttributes(now, m_seen);
}

int CBankMapping::CheckLength()
{
    LARGE_INTEGER size = {};
    if (!m_file || !::GetFileSizeEx(m_file.get(), &size))
        return m_nFrames;
    uint64_t now = uint64_t(size.QuadPart);
    if (now < m_nFileSize) {
        // Views that reach past the new end would fault when read: they all go, the rest are mapped anew.
        UnmapViews();
        m_nFileSize = now;
        m_nFrames = m_layout.FramesWithin(now);
    }
    return m_nFrames;
}

void CBankMapping::UnmapView(size_t i)
{
    ::UnmapViewOfFile(m_views[i].base);
    m_views.erase(m_views.begin() + long(i));
}

void CBankMapping::UnmapViews()
{
    while (!m_views.empty())
        UnmapView(m_views.size() - 1);
}

uint64_t CBankMapping::MappedBytes() const
{
    uint64_t total = 0;
    for (const View& view : m_views)
        total += view.length;
    return total;
}

const uint8_t* CBankMapping::FrameBits(int k)
{
    if (!m_mapping || k < 0 || k >= m_nFrames)
        return nullptr;
    uint64_t offset = m_layout.FrameOffset(k);
    uint64_t length = m_layout.FrameBytes();
    for (View& view : m_views) {
        if (offset >= view.start && offset + length <= view.start + view.length) {
            view.lastUse = ++m_nUses;
            return view.base + (offset - view.start);
        }
    }
    fovea::BankWindow window = fovea::BankWindowFor(offset, length, m_nFileSize, kWindowBytes);
    if (window.length == 0 || window.length > SIZE_MAX)
        return nullptr;
    // Room first: the views used longest ago go.
    while (!m_views.empty() && MappedBytes() + window.length > kMappedLimit) {
        auto oldest = std::min_element(m_views.begin(), m_views.end(),
                                       [](const View& a, const View& b) { return a.lastUse < b.lastUse; });
        UnmapView(size_t(oldest - m_views.begin()));
    }
    void* base = ::MapViewOfFile(m_mapping.get(), FILE_MAP_READ, DWORD(window.start >> 32), DWORD(window.start),
                                 SIZE_T(window.length));
    if (!base)
        return nullptr;
    m_views.push_back({window.start, window.length, static_cast<const uint8_t*>(base), ++m_nUses});
    return m_views.back().base + (offset - window.start);
}

bool CBankMapping::DrawFrame(HDC hdc, const RECT& to, int k)
{
    const uint8_t* bits = FrameBits(k);
    if (!bits)
        return false;
    int width = m_layout.width;
    int height = m_layout.frameHeight;
    int toWidth = to.right - to.left;
    int toHeight = to.bottom - to.top;
    if (toWidth == width && toHeight == height)
        return ::SetDIBitsToDevice(hdc, to.left, to.top, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), bits,
                                   FrameInfo(), DIB_RGB_COLORS) != 0;
    int oldMode = ::SetStretchBltMode(hdc, COLORONCOLOR);
    int lines = ::StretchDIBits(hdc, to.left, to.top, toWidth, toHeight, 0, 0, width, height, bits, FrameInfo(),
                                DIB_RGB_COLORS, SRCCOPY);
    bool drawn = lines != 0 && lines != int(GDI_ERROR);
    ::SetStretchBltMode(hdc, oldMode);
    return drawn;
}
