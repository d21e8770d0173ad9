// CArchive: buffered little-endian reading and writing over CFile.
#include "framework/Archive.h"

#include <algorithm>
#include <cstring>

CArchive::CArchive(CFile* file, Mode mode) : m_pFile(file), m_mode(mode) {}

CArchive::~CArchive()
{
    if (m_bClosed || !IsStoring())
        return;
    try {
        Flush();
    } catch (...) {
        // A destructor must not throw; Close reports the same failure to callers who ask.
    }
}

void CArchive::RequireLoading() const
{
    if (!IsLoading() || m_bClosed)
        throw CArchiveException(CArchiveException::writeOnly, m_pFile ? m_pFile->GetFilePath() : CString());
}

void CArchive::RequireStoring() const
{
    if (!IsStoring() || m_bClosed)
        throw CArchiveException(CArchiveException::readOnly, m_pFile ? m_pFile->GetFilePath() : CString());
}

void CArchive::Read(void* buffer, unsigned count)
{
    RequireLoading();
    auto* out = static_cast<uint8_t*>(buffer);
    while (count) {
        if (m_nPos == m_nLen) {
            // Large reads go straight to the caller's memory.
            if (count >= sizeof m_achBuffer) {
                unsigned got = m_pFile->Read(out, count);
                if (got != count)
                    throw CArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
                return;
            }
            m_nPos = 0;
            m_nLen = m_pFile->Read(m_achBuffer, sizeof m_achBuffer);
            if (m_nLen == 0)
                throw CArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
        }
        unsigned n = std::min(count, m_nLen - m_nPos);
        std::memcpy(out, m_achBuffer + m_nPos, n);
        m_nPos += n;
        out += n;
        count -= n;
    }
}

void CArchive::Write(const void* buffer, unsigned count)
{
    RequireStoring();
    const auto* in = static_cast<const uint8_t*>(buffer);
    if (count >= sizeof m_achBuffer) {
        Flush();
        m_pFile->Write(in, count);
        return;
    }
    while (count) {
        if (m_nPos == sizeof m_achBuffer)
            Flush();
        unsigned n = std::min<unsigned>(count, unsigned(sizeof m_achBuffer) - m_nPos);
        std::memcpy(m_achBuffer + m_nPos, in, n);
        m_nPos += n;
        in += n;
        count -= n;
    }
}

uint16_t CArchive::ReadWord()
{
    uint8_t b[2];
    Read(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}

uint32_t CArchive::ReadDWord()
{
    uint8_t b[4];
    Read(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void CArchive::WriteWord(uint16_t value)
{
    uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
    Write(b, 2);
}

void CArchive::WriteDWord(uint32_t value)
{
    uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    Write(b, 4);
}

CArchive& CArchive::operator<<(uint8_t value)
{
    Write(&value, 1);
    return *this;
}

CArchive& CArchive::operator<<(uint16_t value)
{
    WriteWord(value);
    return *this;
}

CArchive& CArchive::operator<<(uint32_t value)
{
    WriteDWord(value);
    return *this;
}

CArchive& CArchive::operator>>(uint8_t& value)
{
    Read(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(uint16_t& value)
{
    value = ReadWord();
    return *this;
}

CArchive& CArchive::operator>>(uint32_t& value)
{
    value = ReadDWord();
    return *this;
}

void CArchive::Flush()
{
    if (IsStoring() && m_nPos) {
        unsigned n = m_nPos;
        m_nPos = 0;
        m_pFile->Write(m_achBuffer, n);
    }
}

void CArchive::Close()
{
    if (m_bClosed)
        return;
    if (IsStoring())
        Flush();
    else if (m_nPos < m_nLen)
        // Leave the file where the archive's reader stopped, not where the buffer ends.
        m_pFile->Seek(-int64_t(m_nLen - m_nPos), CFile::current);
    m_bClosed = true;
}
