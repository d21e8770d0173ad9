// CFile over POSIX descriptors, for the host build of the portable core and its tests.
#include "framework/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CFileException::Cause CauseOf(int error)
{
    switch (error) {
    case ENOENT:
        return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return CFileException::badPath;
    case EMFILE:
    case ENFILE:
        return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return CFileException::accessDenied;
    case EBADF:
        return CFileException::invalidFile;
    case ENOSPC:
    case EDQUOT:
        return CFileException::diskFull;
    case EIO:
        return CFileException::hardIO;
    case EINVAL:
        return CFileException::badSeek;
    default:
        return CFileException::generic;
    }
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
    return m_fd >= 0;
}

void CFile::ThrowOsError(long osError) const
{
    throw CFileException(CauseOf(int(osError)), osError, m_strFileName);
}

bool CFile::Exists(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0;
}

bool CFile::Open(const char* path, unsigned flags, CFileException* error)
{
    Abort();
    m_strFileName = path;
    int oflag = O_CLOEXEC;
    switch (flags & 3) {
    case modeWrite:
        oflag |= O_WRONLY;
        break;
    case modeReadWrite:
        oflag |= O_RDWR;
        break;
    default:
        oflag |= O_RDONLY;
        break;
    }
    if (flags & modeCreate)
        oflag |= (flags & modeNoTruncate) ? O_CREAT : (O_CREAT | O_TRUNC);
    m_fd = ::open(path, oflag, 0644);
    if (m_fd < 0) {
        if (error)
            *error = CFileException(CauseOf(errno), errno, m_strFileName);
        return false;
    }
    struct stat st;
    if (fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        if (error)
            *error = CFileException(CFileException::accessDenied, EISDIR, m_strFileName);
        return false;
    }
    return true;
}

unsigned CFile::Read(void* buffer, unsigned count)
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    unsigned done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, static_cast<char*>(buffer) + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (n == 0)
            break;
        done += unsigned(n);
    }
    return done;
}

void CFile::Write(const void* buffer, unsigned count)
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    unsigned done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, static_cast<const char*>(buffer) + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno);
        }
        if (n == 0)
            ThrowOsError(ENOSPC);
        done += unsigned(n);
    }
}

void CFile::Flush()
{
    if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        ThrowOsError(errno);
}

void CFile::Close()
{
    if (m_fd < 0)
        return;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowOsError(errno);
}

void CFile::Abort()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from)
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t at = ::lseek(m_fd, off_t(offset), whence);
    if (at < 0)
        ThrowOsError(errno);
    return uint64_t(at);
}

uint64_t CFile::GetPosition() const
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    off_t at = ::lseek(m_fd, 0, SEEK_CUR);
    if (at < 0)
        ThrowOsError(errno);
    return uint64_t(at);
}

uint64_t CFile::GetLength() const
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    struct stat st;
    if (fstat(m_fd, &st) != 0)
        ThrowOsError(errno);
    return uint64_t(st.st_size);
}

void CFile::SetLength(uint64_t length)
{
    if (m_fd < 0)
        ThrowOsError(EBADF);
    if (::ftruncate(m_fd, off_t(length)) != 0)
        ThrowOsError(errno);
}
