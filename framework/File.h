// CFile, CStdioFile and CFileException: binary and text files, over the Win32 file API or, on the host, POSIX.
#pragma once

#include <cstdint>
#include <exception>

#include "framework/String.h"

// Why a file call failed, in the framework's terms; m_lOsError keeps the platform's own code.
class CFileException : public std::exception {
public:
    enum Cause {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException() = default;
    CFileException(Cause cause, long osError, const CString& fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }
    const char* what() const noexcept override { return "file exception"; }

    Cause m_cause = none;
    long m_lOsError = 0;
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens at once; a failure throws CFileException.
    CFile(const char* path, unsigned flags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False when the file cannot be opened; the reason goes to *error when given. Nothing is thrown.
    virtual bool Open(const char* path, unsigned flags, CFileException* error = nullptr);
    // Bytes actually read: fewer than asked at the end of the file. A device error throws.
    virtual unsigned Read(void* buffer, unsigned count);
    // Writes all bytes or throws (a short write is a full disk).
    virtual void Write(const void* buffer, unsigned count);
    virtual void Flush();
    // Closes; a failure to close throws. Abort closes and never throws.
    virtual void Close();
    void Abort();

    virtual uint64_t Seek(int64_t offset, SeekPosition from);
    void SeekToBegin() { Seek(0, begin); }
    uint64_t SeekToEnd() { return Seek(0, end); }
    virtual uint64_t GetPosition() const;
    uint64_t GetLength() const;
    void SetLength(uint64_t length);

    bool IsOpen() const;
    // Something (a file or a folder) is there under path.
    static bool Exists(const char* path);
    // The path as given to Open.
    const CString& GetFilePath() const { return m_strFileName; }

protected:
    [[noreturn]] void ThrowOsError(long osError) const;

    CString m_strFileName;
#ifdef _WIN32
    void* m_hFile = reinterpret_cast<void*>(intptr_t(-1));
#else
    int m_fd = -1;
#endif
};

// A text file of 8-bit lines. Lines end in CR LF when written; reading accepts LF, CR LF or a lone CR.
class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    CStdioFile(const char* path, unsigned flags) : CFile(path, flags) {}

    // One whole line without its line end, however long; false at the end of the file.
    bool ReadString(CString& line);
    // Writes the text; each "\n" in it is written as CR LF (a "\r\n" already there stays as it is).
    void WriteString(const char* text);

    // Binary reads, writes and seeks mix freely with lines: they take the buffered bytes into account.
    unsigned Read(void* buffer, unsigned count) override;
    void Write(const void* buffer, unsigned count) override;
    uint64_t Seek(int64_t offset, SeekPosition from) override;
    uint64_t GetPosition() const override;
    void Close() override;
    bool Open(const char* path, unsigned flags, CFileException* error = nullptr) override;

private:
    // Refills the read buffer; false at the end.
    bool Fill();
    void DropReadBuffer();

    char m_achBuffer[4096];
    unsigned m_nBufferPos = 0;
    unsigned m_nBufferLen = 0;
};
