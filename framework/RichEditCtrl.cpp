// The rich-text edit control: library loading and whole-text reads.
#include "framework/RichEditCtrl.h"

#include <algorithm>
#include <memory>

#include "framework/ShiftJis.h"

namespace {

struct StreamSource {
    const char* next;
    size_t left;
};

DWORD CALLBACK ReadStreamSource(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* given)
{
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    size_t count = std::min(source->left, size_t(std::max(0L, long(wanted))));
    // The control converts each piece on its own: a piece must not end inside a double-byte character or
    // between the CR and the LF of one line break, or the halves come out as other characters or lines.
    if (count < source->left) {
        size_t whole = 0;
        for (size_t at = 0; at < count;) {
            size_t next = at + (fovea::IsLeadByte(static_cast<unsigned char>(source->next[at])) ? 2 : 1);
            if (next > count)
                break;
            whole = at = next;
        }
        if (whole > 0 && source->next[whole - 1] == '\r' && source->next[whole] == '\n')
            --whole;
        if (whole > 0)
            count = whole;
    }
    std::copy(source->next, source->next + count, buffer);
    source->next += count;
    source->left -= count;
    *given = LONG(count);
    return 0;
}

} // namespace

bool CRichEditCtrl::LoadLibraryOnce()
{
    // Kept for the life of the process: every control of the class needs it.
    static HMODULE library = ::LoadLibraryA("RICHED20.DLL");
    return library != nullptr;
}

bool CRichEditCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id)
{
    return LoadLibraryOnce() && CreateControl(0, RICHEDIT_CLASSA, "", style, rect, parent, id);
}

namespace {

bool StreamIn(const CRichEditCtrl& edit, WPARAM format, const char* text, size_t length)
{
    StreamSource source = {text, length};
    EDITSTREAM stream = {DWORD_PTR(&source), 0, ReadStreamSource};
    edit.SendMessage(EM_STREAMIN, format, LPARAM(&stream));
    return stream.dwError == 0;
}

} // namespace

bool CRichEditCtrl::SetText(const char* text, size_t length) const
{
    return StreamIn(*this, SF_TEXT, text, length);
}

bool CRichEditCtrl::ReplaceSelText(const char* text, size_t length) const
{
    return StreamIn(*this, SF_TEXT | SFF_SELECTION, text, length);
}

std::string CRichEditCtrl::GetTextBytes() const
{
    // The length in bytes of the code page, line breaks counted as CR LF. Wine answers with the most the
    // characters could take (two bytes each), so the buffer is not cleared first: most of it stays untouched.
    GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES, CP_ACP};
    long bytes = long(SendMessage(EM_GETTEXTLENGTHEX, WPARAM(&length)));
    if (bytes <= 0)
        return std::string();
    std::unique_ptr<char[]> buffer(new char[size_t(bytes) + 1]);
    GETTEXTEX request = {DWORD(bytes) + 1, GT_USECRLF, CP_ACP, nullptr, nullptr};
    long got = long(SendMessage(EM_GETTEXTEX, WPARAM(&request), LPARAM(buffer.get())));
    return std::string(buffer.get(), size_t(std::max(0L, std::min(got, bytes))));
}
