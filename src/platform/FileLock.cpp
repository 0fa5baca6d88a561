#include "platform/FileLock.h"

#include "platform/ErrorText.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

int setOfdLock(int fd, short type)
{
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0; // to the end of the file, however long it grows
    fl.l_pid = 0; // required by open-file-description locks
    int rc;
    do {
        rc = ::fcntl(fd, F_OFD_SETLK, &fl);
    } while (rc < 0 && errno == EINTR);
    return rc < 0 ? errno : 0;
}

} // namespace

LockResult FileLock::tryLock(LockMode mode, int *errorNumber)
{
    const int error = setOfdLock(m_fd, mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK);
    if (errorNumber)
        *errorNumber = error;
    if (error == 0) {
        m_locked = true;
        return LockResult::Locked;
    }
    // Both numbers mean "another holder": which one depends on the file system.
    if (error == EAGAIN || error == EACCES)
        return LockResult::HeldByOther;
    return LockResult::Failed;
}

void FileLock::unlock()
{
    if (!m_locked)
        return;
    setOfdLock(m_fd, F_UNLCK);
    m_locked = false;
}

bool LockedFile::open(const QString &path, Access access)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    const int flags = access == Access::Read        ? O_RDONLY
                      : access == Access::ReadWrite ? O_RDWR
                                                    : O_RDWR | O_CREAT;
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_errorNumber = errno;
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        m_errorNumber = EISDIR;
        return false;
    }
    m_fd = fd;
    m_errorNumber = 0;
    return true;
}

void LockedFile::close()
{
    if (m_fd < 0)
        return;
    m_lock.reset(); // unlock before the descriptor goes
    ::close(m_fd);
    m_fd = -1;
}

LockResult LockedFile::tryLock(LockMode mode)
{
    if (!m_lock)
        m_lock.emplace(m_fd);
    int error = 0;
    const LockResult result = m_lock->tryLock(mode, &error);
    if (result != LockResult::Locked)
        m_errorNumber = error;
    return result;
}

void LockedFile::unlock()
{
    if (m_lock)
        m_lock->unlock();
}

qint64 LockedFile::size()
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
        m_errorNumber = errno;
        return -1;
    }
    return qint64(st.st_size);
}

bool LockedFile::readAt(qint64 offset, char *data, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::pread(m_fd, data, size_t(length), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_errorNumber = errno;
            return false;
        }
        if (n == 0) {
            m_errorNumber = EIO; // the file ended before the bytes asked for
            return false;
        }
        data += n;
        offset += n;
        length -= n;
    }
    return true;
}

bool LockedFile::writeAt(qint64 offset, const char *data, qint64 length)
{
    while (length > 0) {
        const ssize_t n = ::pwrite(m_fd, data, size_t(length), off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_errorNumber = errno;
            return false;
        }
        data += n;
        offset += n;
        length -= n;
    }
    return true;
}

bool LockedFile::flushToDisk()
{
    int rc;
    do {
        rc = ::fsync(m_fd);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        m_errorNumber = errno;
        return false;
    }
    return true;
}

bool LockedFile::isNotFound(int errorNumber)
{
    return errorNumber == ENOENT || errorNumber == ENOTDIR;
}

bool LockedFile::isUnreachable(int errorNumber)
{
    switch (errorNumber) {
    case ESTALE:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ETIMEDOUT:
        return true;
    default:
        return false;
    }
}

QString LockedFile::describeError(int errorNumber)
{
    return systemErrorText(errorNumber);
}

} // namespace platform
