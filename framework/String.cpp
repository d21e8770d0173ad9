// CString operations that need more than a line.
#include "framework/String.h"

#include <cstdio>

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(m_str.substr(0, size_t(count)));
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (size_t(count) >= m_str.size())
        return *this;
    return CString(m_str.substr(m_str.size() - size_t(count)));
}

CString CString::Mid(int first) const
{
    if (first < 0)
        first = 0;
    if (size_t(first) >= m_str.size())
        return CString();
    return CString(m_str.substr(size_t(first)));
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count <= 0 || size_t(first) >= m_str.size())
        return CString();
    return CString(m_str.substr(size_t(first), size_t(count)));
}

int CString::Find(char ch, int start) const
{
    size_t at = fovea::FindChar(m_str, ch, start < 0 ? 0 : size_t(start));
    return at == std::string::npos ? -1 : int(at);
}

int CString::Find(const char* sub, int start) const
{
    if (!sub || start < 0)
        return -1;
    // Only match at character boundaries: a double-byte character's trail byte never starts a match.
    size_t length = std::char_traits<char>::length(sub);
    for (size_t i = 0; i + length <= m_str.size(); ++i) {
        if (i >= size_t(start) && m_str.compare(i, length, sub) == 0)
            return int(i);
        if (fovea::IsLeadByte(static_cast<unsigned char>(m_str[i])))
            ++i;
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    size_t at = fovea::ReverseFindChar(m_str, ch);
    return at == std::string::npos ? -1 : int(at);
}

void CString::MakeUpper()
{
    m_str = fovea::UpperAscii(m_str);
}

void CString::MakeLower()
{
    m_str = fovea::LowerAscii(m_str);
}

void CString::TrimRight()
{
    size_t end = m_str.find_last_not_of(" \t\r\n");
    m_str.erase(end == std::string::npos ? 0 : end + 1);
}

void CString::TrimLeft()
{
    size_t begin = m_str.find_first_not_of(" \t\r\n");
    m_str.erase(0, begin == std::string::npos ? m_str.size() : begin);
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        m_str.clear();
        return;
    }
    std::string out(size_t(needed) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(size_t(needed));
    m_str = std::move(out);
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > 0 && m_str.size() < size_t(minLength))
        m_str.resize(size_t(minLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) {
        size_t end = m_str.find('\0');
        if (end != std::string::npos)
            m_str.resize(end);
    } else {
        m_str.resize(size_t(newLength));
    }
}
