// CArchive: a buffered stream of bytes and little-endian words over an open CFile, for storing or loading.
#pragma once

#include <cstdint>
#include <exception>

#include "framework/File.h"

class CArchiveException : public std::exception {
public:
    enum Cause { none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    CArchiveException() = default;
    CArchiveException(Cause cause, const CString& fileName) : m_cause(cause), m_strFileName(fileName) {}
    const char* what() const noexcept override { return "archive exception"; }

    Cause m_cause = none;
    CString m_strFileName;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // The file stays the caller's; it must stay open while the archive is in use.
    CArchive(CFile* file, Mode mode);
    // Flushes what is still buffered when storing; errors at this point are lost, so call Close to see them.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }
    CFile* GetFile() const { return m_pFile; }

    // Reads exactly count bytes; a shorter file throws CArchiveException(endOfFile) and nothing partial counts.
    void Read(void* buffer, unsigned count);
    // Writes count bytes (buffered); a failing file throws CFileException.
    void Write(const void* buffer, unsigned count);
    uint16_t ReadWord();
    uint32_t ReadDWord();
    void WriteWord(uint16_t value);
    void WriteDWord(uint32_t value);

    CArchive& operator<<(uint8_t value);
    CArchive& operator<<(uint16_t value);
    CArchive& operator<<(uint32_t value);
    CArchive& operator>>(uint8_t& value);
    CArchive& operator>>(uint16_t& value);
    CArchive& operator>>(uint32_t& value);

    // Writes out the buffer (storing); loading drops nothing.
    void Flush();
    // Flushes and ends use of the archive; the file stays open.
    void Close();

private:
    void RequireLoading() const;
    void RequireStoring() const;

    CFile* m_pFile;
    Mode m_mode;
    bool m_bClosed = false;
    unsigned m_nPos = 0; // next byte in m_achBuffer
    unsigned m_nLen = 0; // loading: bytes valid in m_achBuffer
    uint8_t m_achBuffer[4096];
};
