// CStdioFile: lines of 8-bit text over CFile's binary calls, with a read buffer that never cuts a line.
#include "framework/File.h"

#include <algorithm>
#include <cstring>
#include <string>

bool CStdioFile::Open(const char* path, unsigned flags, CFileException* error)
{
    DropReadBuffer();
    return CFile::Open(path, flags, error);
}

void CStdioFile::Close()
{
    m_nBufferPos = m_nBufferLen = 0;
    CFile::Close();
}

bool CStdioFile::Fill()
{
    m_nBufferPos = 0;
    m_nBufferLen = CFile::Read(m_achBuffer, sizeof m_achBuffer);
    return m_nBufferLen != 0;
}

// Puts the file position back where the caller believes it is, so that unbuffered calls start there.
void CStdioFile::DropReadBuffer()
{
    if (m_nBufferPos < m_nBufferLen && IsOpen())
        CFile::Seek(-int64_t(m_nBufferLen - m_nBufferPos), current);
    m_nBufferPos = m_nBufferLen = 0;
}

bool CStdioFile::ReadString(CString& line)
{
    std::string text;
    bool any = false;
    for (;;) {
        if (m_nBufferPos == m_nBufferLen && !Fill())
            break;
        any = true;
        const char* start = m_achBuffer + m_nBufferPos;
        unsigned left = m_nBufferLen - m_nBufferPos;
        const void* lf = std::memchr(start, '\n', left);
        const void* cr = std::memchr(start, '\r', left);
        const char* stop = static_cast<const char*>(lf);
        if (cr && (!stop || static_cast<const char*>(cr) < stop))
            stop = static_cast<const char*>(cr);
        if (!stop) {
            text.append(start, left);
            m_nBufferPos = m_nBufferLen;
            continue;
        }
        text.append(start, size_t(stop - start));
        m_nBufferPos += unsigned(stop - start) + 1;
        // A CR may be followed by its LF in the next buffer.
        if (*stop == '\r' && (m_nBufferPos < m_nBufferLen || Fill()) && m_achBuffer[m_nBufferPos] == '\n')
            ++m_nBufferPos;
        line = CString(std::move(text));
        return true;
    }
    line = CString(std::move(text));
    return any;
}

void CStdioFile::WriteString(const char* text)
{
    if (!text)
        return;
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n' && (p == text || p[-1] != '\r'))
            out += '\r';
        out += *p;
    }
    Write(out.data(), unsigned(out.size()));
}

unsigned CStdioFile::Read(void* buffer, unsigned count)
{
    unsigned done = 0;
    if (m_nBufferPos < m_nBufferLen) {
        done = std::min(count, m_nBufferLen - m_nBufferPos);
        std::memcpy(buffer, m_achBuffer + m_nBufferPos, done);
        m_nBufferPos += done;
    }
    if (done < count)
        done += CFile::Read(static_cast<char*>(buffer) + done, count - done);
    return done;
}

void CStdioFile::Write(const void* buffer, unsigned count)
{
    DropReadBuffer();
    CFile::Write(buffer, count);
}

uint64_t CStdioFile::Seek(int64_t offset, SeekPosition from)
{
    DropReadBuffer();
    return CFile::Seek(offset, from);
}

uint64_t CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - (m_nBufferLen - m_nBufferPos);
}
