// Item lines of the file list: formatting one folder entry into its six "/"-separated fields, reading the
// fields back, the sort (first on 7 case-folded bytes) and the disc signature built from a disc's first root entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fovea {

// Attribute bits of a folder entry, as the platform's enumeration gives them.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrFolder = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
// Not the platform's: the entry's name has no exact Shift-JIS spelling and no short name, so no call of the
// program reaches it. Its line ends the attribute field with kUnreachableMark instead of ":".
constexpr uint32_t kAttrUnreachable = 0x80000000u;
constexpr char kUnreachableMark = '!';

// Key modes of the sort key field.
enum ItemKeyMode { kKeyExtName = 0, kKeyName = 1, kKeyDate = 2 };

// Field numbers of an item line.
enum ItemField { kFieldKey = 0, kFieldDate, kFieldSize, kFieldAttributes, kFieldExtension, kFieldName };

// Last write time in local time; year is the full year (1996).
struct ItemTime {
    int year = 1980;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// One entry as the enumeration returned it.
struct FolderEntry {
    std::string name;
    uint32_t attributes = 0;
    ItemTime time;
    uint32_t sizeHigh = 0;
    uint32_t sizeLow = 0;
};

// The item line of one entry: key/date/size/attributes/extension/name. The name is split at its first "."
// (a name starting with a period has an empty name part); folders get a size field of five spaces.
std::string FormatItemLine(const std::string& name, uint32_t attributes, const ItemTime& time, uint32_t sizeHigh,
                           uint32_t sizeLow, int keyMode);
inline std::string FormatItemLine(const FolderEntry& entry, int keyMode)
{
    return FormatItemLine(entry.name, entry.attributes, entry.time, entry.sizeHigh, entry.sizeLow, keyMode);
}

// Field k (0 to 5) of a line; empty when the line has fewer fields or k is out of range.
std::string GetItemField(const std::string& line, int k);

// The five fields after the key, read in one pass.
struct ItemFields {
    std::string date;
    std::string size;
    std::string attributes;
    std::string extension;
    std::string name;
};
ItemFields SplitItemLine(const std::string& line);

// True for the line of an entry no call of the program reaches (kAttrUnreachable).
bool IsUnreachableLine(const std::string& line);
// True when character 4 of the attribute field is "D".
bool IsFolderLine(const std::string& line);
// name + "." + extension, or the name alone when the extension is empty.
std::string ItemFileName(const std::string& line);

// Compares the first 7 bytes of two lines with ASCII letters folded, as the list's sort does: negative, 0 or
// positive. A line shorter than 7 bytes ends the comparison at its end.
int CompareItemKeys(const std::string& a, const std::string& b);

// The whole order of the list: the first 7 bytes as CompareItemKeys; lines that tie there by the whole sort
// key, then by the whole name, both with ASCII letters folded and runs of digits compared by value (IMG_0002
// before IMG_0010); then by their bytes. Negative, 0 (identical lines only) or positive.
int CompareItemLines(const std::string& a, const std::string& b);

// Sorts lines by CompareItemLines: order 0 ascending, 1 descending (every rule reversed); any other order
// leaves them as they are. The sort is stable.
void SortItemLines(std::vector<std::string>& lines, int order);

// The disc signature of a disc's root: "/" + item line for the first entry the enumeration returned and at most
// five further ones; "." and ".." are skipped but count among the five. entries are in enumeration order.
std::string DiscSignature(const std::vector<FolderEntry>& entries, int keyMode);

// Number of root entries DiscSignature looks at: the first and five more.
constexpr size_t kSignatureEntries = 6;

} // namespace fovea
