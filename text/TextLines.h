// Line ends of the text view: what a file shows as and what a save writes. Bytes stay as they are (Shift-JIS
// text); only line ends change.
#pragma once

#include <cstddef>
#include <string>

namespace fovea {

// Every line of text followed by CR LF. A line ends at CR LF, LF or a lone CR, or at the end of the text when
// something is left there; an empty text stays empty. A file shown in the text view and the text of the view
// written to a file both take this form, so loading and saving keep every byte of every line.
std::string WithCrLfLines(const char* text, size_t size);
inline std::string WithCrLfLines(const std::string& text)
{
    return WithCrLfLines(text.data(), text.size());
}

// The same in place: text that already ends every line break in CR LF (as the text view hands it back) is
// only given a line end after its last line, without a copy.
void EndLinesWithCrLf(std::string& text);

// Where the piece of text that starts at from and holds at least bytes bytes ends: just after the line end that
// follows, or at the end of the text. A text shown in pieces never has a line or a double-byte character cut.
size_t PieceEnd(const std::string& text, size_t from, size_t bytes);

} // namespace fovea
