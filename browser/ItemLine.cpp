// Formatting, reading and sorting of item lines.
#include "browser/ItemLine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "framework/ShiftJis.h"

namespace fovea {

namespace {

constexpr size_t kKeyBytes = 7;

unsigned char FoldByte(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The first 7 bytes folded, packed so that comparing two keys as numbers compares the bytes in order; missing
// bytes are 0, which sorts a shorter line first as the byte-wise comparison ending at the string's end does.
uint64_t PackedKey(const std::string& line)
{
    uint64_t key = 0;
    size_t n = std::min(line.size(), kKeyBytes);
    for (size_t i = 0; i < kKeyBytes; ++i) {
        key <<= 8;
        if (i < n)
            key |= FoldByte(static_cast<unsigned char>(line[i]));
    }
    return key;
}

int TwoDigits(int value)
{
    value %= 100;
    return value < 0 ? value + 100 : value;
}

// Start and end of field k, or false when the line has no such field.
bool FieldBounds(const std::string& line, int k, size_t& begin, size_t& end)
{
    if (k < 0)
        return false;
    begin = 0;
    for (int i = 0; i < k; ++i) {
        size_t slash = line.find('/', begin);
        if (slash == std::string::npos)
            return false;
        begin = slash + 1;
    }
    end = line.find('/', begin);
    if (end == std::string::npos)
        end = line.size();
    return true;
}

} // namespace

std::string FormatItemLine(const std::string& name, uint32_t attributes, const ItemTime& time, uint32_t sizeHigh,
                           uint32_t sizeLow, int keyMode)
{
    (void)sizeHigh; // the size field holds the low 32 bits only
    // The name part ends at the first "." that is a character of its own, never a byte inside a double-byte one.
    size_t dot = FindChar(name, '.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);

    char date[32];
    std::snprintf(date, sizeof date, "%02d-%02d-%02d %02d:%02d:%02d", TwoDigits(time.year), TwoDigits(time.month),
                  TwoDigits(time.day), TwoDigits(time.hour), TwoDigits(time.minute), TwoDigits(time.second));
    bool folder = (attributes & kAttrFolder) != 0;
    char size[16];
    if (folder)
        std::snprintf(size, sizeof size, "     ");
    else
        std::snprintf(size, sizeof size, "%10lu", static_cast<unsigned long>(sizeLow));
    const char attr[7] = {(attributes & kAttrSystem) ? 'S' : '_',
                          (attributes & kAttrHidden) ? 'H' : '_',
                          (attributes & kAttrReadOnly) ? 'R' : '_',
                          (attributes & kAttrArchive) ? 'A' : '_',
                          folder ? 'D' : '_',
                          (attributes & kAttrUnreachable) ? kUnreachableMark : ':',
                          '\0'};

    std::string line;
    line.reserve(base.size() * 2 + extension.size() * 2 + 48);
    switch (keyMode) {
    case kKeyName:
        line += base;
        break;
    case kKeyDate:
        // yymmdd out of "yy-mm-dd".
        line.append(date, 2).append(date + 3, 2).append(date + 6, 2);
        break;
    default:
        line += extension;
        line += base;
        break;
    }
    line += '/';
    line += date;
    line += '/';
    line += size;
    line += '/';
    line += attr;
    line += '/';
    line += extension;
    line += '/';
    line += base;
    return line;
}

bool IsUnreachableLine(const std::string& line)
{
    std::string attributes = GetItemField(line, kFieldAttributes);
    return attributes.size() > 5 && attributes[5] == kUnreachableMark;
}

std::string GetItemField(const std::string& line, int k)
{
    size_t begin = 0, end = 0;
    if (k > kFieldName || !FieldBounds(line, k, begin, end))
        return std::string();
    // The name is the last field: it runs to the end of the line.
    if (k == kFieldName)
        end = line.size();
    return line.substr(begin, end - begin);
}

ItemFields SplitItemLine(const std::string& line)
{
    ItemFields fields;
    std::string* targets[] = {&fields.date, &fields.size, &fields.attributes, &fields.extension, &fields.name};
    size_t begin = line.find('/');
    for (int i = 0; i < 5 && begin != std::string::npos; ++i) {
        ++begin;
        size_t end = i == 4 ? line.size() : line.find('/', begin);
        if (end == std::string::npos)
            end = line.size();
        targets[i]->assign(line, begin, end - begin);
        begin = end < line.size() ? end : std::string::npos;
    }
    return fields;
}

bool IsFolderLine(const std::string& line)
{
    size_t begin = 0, end = 0;
    if (!FieldBounds(line, kFieldAttributes, begin, end))
        return false;
    return end - begin > 4 && line[begin + 4] == 'D';
}

std::string ItemFileName(const std::string& line)
{
    ItemFields fields = SplitItemLine(line);
    if (fields.extension.empty())
        return fields.name;
    return fields.name + "." + fields.extension;
}

int CompareItemKeys(const std::string& a, const std::string& b)
{
    uint64_t ka = PackedKey(a), kb = PackedKey(b);
    return ka < kb ? -1 : (ka > kb ? 1 : 0);
}

void SortItemLines(std::vector<std::string>& lines, int order)
{
    if (order != 0 && order != 1)
        return;
    // Sort the packed keys with the line numbers, then move the lines into place once: a folder of 100,000
    // entries is sorted without comparing or moving strings.
    std::vector<std::pair<uint64_t, uint32_t>> keys(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        keys[i] = {PackedKey(lines[i]), static_cast<uint32_t>(i)};
    if (order == 0)
        std::sort(keys.begin(), keys.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    else
        std::sort(keys.begin(), keys.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
    std::vector<std::string> sorted;
    sorted.reserve(lines.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(lines[key.second]));
    lines.swap(sorted);
}

std::string DiscSignature(const std::vector<FolderEntry>& entries, int keyMode)
{
    std::string signature;
    size_t count = std::min(entries.size(), kSignatureEntries);
    for (size_t i = 0; i < count; ++i) {
        const std::string& name = entries[i].name;
        if (name == "." || name == "..")
            continue;
        signature += '/';
        signature += FormatItemLine(entries[i], keyMode);
    }
    return signature;
}

} // namespace fovea
