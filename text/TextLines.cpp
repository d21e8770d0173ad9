// Line-end normalisation for the text view.
#include "text/TextLines.h"

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

} // namespace fovea
