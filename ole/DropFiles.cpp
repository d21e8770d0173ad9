// The dropped-file list block, built and read without the platform.
#include "ole/DropFiles.h"

#include <cstring>

namespace fovea {

namespace {

// DROPFILES: pFiles (offset of the list), pt.x, pt.y, fNC, fWide; 20 bytes in all.
constexpr size_t kHeaderSize = 20;
constexpr size_t kWideFlagOffset = 16;

uint32_t ReadUint32(const unsigned char* at)
{
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Splits the list into zero-terminated strings up to the empty one that ends it (or the end of the block).
template <typename Char>
void SplitList(const unsigned char* list, size_t bytes, std::vector<std::basic_string<Char>>& paths)
{
    const size_t count = bytes / sizeof(Char);
    std::basic_string<Char> path;
    for (size_t i = 0; i < count; ++i) {
        Char c;
        std::memcpy(&c, list + i * sizeof(Char), sizeof c);
        if (c != 0) {
            path += c;
            continue;
        }
        if (path.empty())
            return;
        paths.push_back(path);
        path.clear();
    }
    // A path running into the end of the block has no terminator: it is dropped.
}

} // namespace

std::string BuildDropFiles(const CStringArray& paths)
{
    std::string block(kHeaderSize, '\0');
    const uint32_t offset = kHeaderSize;
    std::memcpy(&block[0], &offset, sizeof offset);
    for (const CString& path : paths.data()) {
        block += path.str();
        block += '\0';
    }
    block += '\0';
    if (paths.IsEmpty())
        block += '\0'; // an empty list is still two zeros
    return block;
}

bool ParseDropFiles(const void* block, size_t size, DroppedList& list)
{
    list = DroppedList();
    if (!block || size < kHeaderSize)
        return false;
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    const uint32_t offset = ReadUint32(bytes);
    if (offset < kHeaderSize || offset > size)
        return false;
    list.bWide = ReadUint32(bytes + kWideFlagOffset) != 0;
    if (list.bWide)
        SplitList<char16_t>(bytes + offset, size - offset, list.wide);
    else
        SplitList<char>(bytes + offset, size - offset, list.narrow);
    return true;
}

} // namespace fovea
