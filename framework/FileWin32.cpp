// CFile over CreateFileA/ReadFile/WriteFile: the program's file class on Windows.
#include "framework/File.h"

#include "framework/Win32.h"

namespace {

CFileException::Cause CauseOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return CFileException::fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE:
        return CFileException::badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return CFileException::tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
        return CFileException::accessDenied;
    case ERROR_INVALID_HANDLE:
        return CFileException::invalidFile;
    case ERROR_SHARING_VIOLATION:
        return CFileException::sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return CFileException::lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CFileException::diskFull;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK:
        return CFileException::badSeek;
    case ERROR_HANDLE_EOF:
        return CFileException::endOfFile;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return CFileException::hardIO;
    default:
        return CFileException::generic;
    }
}

HANDLE AsHandle(void* h)
{
    return static_cast<HANDLE>(h);
}

} // namespace

CFile::CFile(const char* path, unsigned flags)
{
    CFileException error;
    if (!Open(path, flags, &error))
        throw error;
}

CFile::~CFile()
{
    Abort();
}

bool CFile::IsOpen() const
{
    return AsHandle(m_hFile) != INVALID_HANDLE_VALUE;
}

void CFile::ThrowOsError(long osError) const
{
    throw CFileException(CauseOf(DWORD(osError)), osError, m_strFileName);
}

bool CFile::Exists(const char* path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool CFile::Open(const char* path, unsigned flags, CFileException* error)
{
    Abort();
    m_strFileName = path;
    DWORD access = GENERIC_READ;
    switch (flags & 3) {
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        break;
    }
    DWORD share = 0;
    switch (flags & 0x70) {
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default:
        break;
    }
    DWORD creation = OPEN_EXISTING;
    if (flags & modeCreate)
        creation = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, (flags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h = CreateFileA(path, access, share, &security, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (error)
            *error = CFileException(CauseOf(code), long(code), m_strFileName);
        return false;
    }
    m_hFile = h;
    return true;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    if (!IsOpen())
        ThrowOsError(ERROR_INVALID_HANDLE);
    unsigned done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!ReadFile(AsHandle(m_hFile), static_cast<char*>(buffer) + done, count - done, &got, nullptr)) {
            DWORD code = GetLastError();
            if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE)
                break;
            ThrowOsError(long(code));
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void CFile::Write(const void* buffer, unsigned count)
{
    if (!IsOpen())
        ThrowOsError(ERROR_INVALID_HANDLE);
    DWORD written = 0;
    if (!WriteFile(AsHandle(m_hFile), buffer, count, &written, nullptr))
        ThrowOsError(long(GetLastError()));
    // WriteFile may succeed having written less when the disk fills up.
    if (written != count)
        ThrowOsError(ERROR_DISK_FULL);
}

void CFile::Flush()
{
    if (IsOpen() && !FlushFileBuffers(AsHandle(m_hFile)))
        ThrowOsError(long(GetLastError()));
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    HANDLE h = AsHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    if (!CloseHandle(h))
        ThrowOsError(long(GetLastError()));
}

void CFile::Abort()
{
    if (IsOpen())
        CloseHandle(AsHandle(m_hFile));
    m_hFile = INVALID_HANDLE_VALUE;
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from)
{
    if (!IsOpen())
        ThrowOsError(ERROR_INVALID_HANDLE);
    DWORD method = from == begin ? FILE_BEGIN : from == current ? FILE_CURRENT : FILE_END;
    LARGE_INTEGER distance, at;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(AsHandle(m_hFile), distance, &at, method))
        ThrowOsError(long(GetLastError()));
    return uint64_t(at.QuadPart);
}

uint64_t CFile::GetPosition() const
{
    if (!IsOpen())
        ThrowOsError(ERROR_INVALID_HANDLE);
    LARGE_INTEGER zero, at;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(AsHandle(m_hFile), zero, &at, FILE_CURRENT))
        ThrowOsError(long(GetLastError()));
    return uint64_t(at.QuadPart);
}

uint64_t CFile::GetLength() const
{
    if (!IsOpen())
        ThrowOsError(ERROR_INVALID_HANDLE);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(m_hFile), &size))
        ThrowOsError(long(GetLastError()));
    return uint64_t(size.QuadPart);
}

void CFile::SetLength(uint64_t length)
{
    uint64_t keep = GetPosition();
    Seek(int64_t(length), begin);
    if (!SetEndOfFile(AsHandle(m_hFile)))
        ThrowOsError(long(GetLastError()));
    if (keep < length)
        Seek(int64_t(keep), begin);
}
