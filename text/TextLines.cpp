// Line-end normalisation for the text view.
#include "text/TextLines.h"

#include <cstdint>
#include <cstring>

namespace fovea {

std::string WithCrLfLines(const char* text, size_t size)
{
    std::string out;
    // A text of LF lines grows by one byte a line; reserving a sixteenth more covers lines of 16 bytes and up.
    out.reserve(size + size / 16 + 2);
    const char* p = text;
    const char* end = text + size;
    while (p < end) {
        // The first line break of either kind, in one pass.
        const char* brk = p;
        while (brk < end && *brk != '\r' && *brk != '\n')
            ++brk;
        out.append(p, size_t(brk - p));
        out += "\r\n";
        if (brk == end)
            break;
        p = brk + ((*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? 2 : 1);
    }
    return out;
}

namespace {

// True when every CR of the text is followed by an LF and every LF follows a CR. Eight bytes at a time: a
// word with no byte below 0x0E holds neither.
bool HasOnlyCrLfBreaks(const char* text, size_t size)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    size_t at = 0;
    while (at < size) {
        if (at + 8 <= size) {
            uint64_t word;
            std::memcpy(&word, text + at, 8);
            if (((word - 0x0E * kOnes) & ~word & 0x80 * kOnes) == 0) {
                at += 8;
                continue;
            }
        }
        if (text[at] == '\r') {
            if (at + 1 == size || text[at + 1] != '\n')
                return false;
            at += 2;
        } else if (text[at] == '\n') {
            return false;
        } else {
            ++at;
        }
    }
    return true;
}

} // namespace

void EndLinesWithCrLf(std::string& text)
{
    if (!HasOnlyCrLfBreaks(text.data(), text.size()))
        text = WithCrLfLines(text);
    else if (!text.empty() && text.back() != '\n')
        text += "\r\n";
}

size_t PieceEnd(const std::string& text, size_t from, size_t bytes)
{
    if (from >= text.size() || bytes >= text.size() - from)
        return text.size();
    size_t brk = text.find('\n', from + (bytes > 0 ? bytes - 1 : 0));
    return brk == std::string::npos ? text.size() : brk + 1;
}

} // namespace fovea
