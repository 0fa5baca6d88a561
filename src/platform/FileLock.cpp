#include "platform/FileLock.h"

#include "platform/ErrorText.h"

#include <QFile>

#include <QDeadlineTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// Writers first. A waiting writer's mark is the range from kWriterMark to the end of all files: the
// writer takes it first (exclusively), then the rest of the file, from 0 to kWriterMark, so that it
// ends holding the whole file as every program of the family expects. A reader locks only 0 to
// kWriterMark, which shuts out every writer's whole-file lock just the same, and first looks at the
// mark: while a writer holds it, the reader counts the lock as held and waits. The readers that are
// in finish and no new one comes in, so a writer is never kept waiting by readers that take turns
// (on a network share a polling writer would otherwise find no gap between their shared locks). The
// mark lies far past the end of any results file; byte-range locks on separate ranges of one file
// work alike on a local disk and on SMB.
constexpr off_t kWriterMark = off_t(1) << 62;

struct Range
{
    off_t start;
    off_t length; // 0: to the end of the file, however long it grows
};
constexpr Range kWholeFile{0, 0};
constexpr Range kMark{kWriterMark, 0};
constexpr Range kBelowMark{0, kWriterMark};
constexpr Range kMarkByte{kWriterMark, 1};

int setOfdLock(int fd, short type, bool wait, Range range = kWholeFile)
{
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = range.start;
    fl.l_len = range.length;
    fl.l_pid = 0; // required by open-file-description locks
    if (wait)     // an interruption is the caller's deadline (callWithDeadline)
        return ::fcntl(fd, F_OFD_SETLKW, &fl) < 0 ? errno : 0;
    int rc;
    do {
        rc = ::fcntl(fd, F_OFD_SETLK, &fl);
    } while (rc < 0 && errno == EINTR);
    return rc < 0 ? errno : 0;
}

int setFlock(int fd, int operation, bool wait)
{
    if (wait)
        return ::flock(fd, operation) < 0 ? errno : 0;
    int rc;
    do {
        rc = ::flock(fd, operation | LOCK_NB);
    } while (rc < 0 && errno == EINTR);
    return rc < 0 ? errno : 0;
}

bool isHeldByOther(int error)
{
    // Both numbers mean "another holder": which one depends on the file system.
    return error == EAGAIN || error == EACCES;
}

void onDeadline(int) {}

// The signal that ends a blocking lock at its deadline: the first real-time signal nobody handles,
// claimed once with a handler that does nothing and without SA_RESTART, so that the waiting call
// returns EINTR. -1 when there is none.
int deadlineSignal()
{
    static const int signal = [] {
        for (int s = SIGRTMIN + 2; s <= SIGRTMAX; ++s) {
            struct sigaction old;
            if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler != SIG_DFL ||
                (old.sa_flags & SA_SIGINFO))
                continue;
            struct sigaction action;
            std::memset(&action, 0, sizeof action);
            action.sa_handler = onDeadline;
            sigemptyset(&action.sa_mask);
            if (::sigaction(s, &action, nullptr) == 0)
                return s;
        }
        return -1;
    }();
    return signal;
}

// Runs `blocking` (a call that waits until the lock is granted and returns EINTR when a signal comes)
// until it returns or `deadline` passes; a timer aimed at this thread only interrupts it, and then
// again every few milliseconds in case the first signal came just before the call began. Returns the
// call's error number, EAGAIN when the time ran out, or ENOSYS when no timer could be set.
int callWithDeadline(const QDeadlineTimer &deadline, const std::function<int()> &blocking)
{
    const int signal = deadlineSignal();
    if (signal < 0)
        return ENOSYS;
    struct sigevent event;
    std::memset(&event, 0, sizeof event);
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = signal;
    event._sigev_un._tid = ::gettid(); // sigev_notify_thread_id, which older C libraries do not name
    timer_t timer;
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0)
        return ENOSYS;
    sigset_t only;
    sigset_t before;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, &before);
    const qint64 ns = std::max<qint64>(deadline.remainingTimeNSecs(), 1);
    struct itimerspec times;
    times.it_value.tv_sec = time_t(ns / 1000000000);
    times.it_value.tv_nsec = long(ns % 1000000000);
    times.it_interval.tv_sec = 0;
    times.it_interval.tv_nsec = 5 * 1000 * 1000;
    int error = ENOSYS;
    if (::timer_settime(timer, 0, &times, nullptr) == 0) {
        for (;;) {
            error = blocking();
            if (error != EINTR)
                break;
            if (deadline.hasExpired()) {
                error = EAGAIN;
                break;
            }
        }
    }
    ::timer_delete(timer);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return error;
}

// Takes one kind of lock by `call(wait)`, waiting until `deadline`: in the kernel on a local disk,
// by trying every few milliseconds on a network share. 0 or an error number (EAGAIN: time ran out).
int acquire(const QDeadlineTimer &deadline, bool network, const std::function<int(bool wait)> &call)
{
    int error = call(false);
    if (!isHeldByOther(error) || deadline.hasExpired())
        return error;
    if (!network) {
        error = callWithDeadline(deadline, [&] { return call(true); });
        if (error != ENOSYS)
            return error;
    }
    int stepMs = 1;
    for (;;) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return EAGAIN;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(stepMs, left)));
        stepMs = std::min(stepMs * 2, 8);
        error = call(false);
        if (!isHeldByOther(error))
            return error;
    }
}

} // namespace

bool FileLock::isOnNetworkShare()
{
    if (m_network < 0) {
        // The file systems whose clients hand both kinds of lock to a server.
        constexpr unsigned long kCifs = 0xFF534D42, kSmb2 = 0xFE534D42, kSmb = 0x517B, kNfs = 0x6969,
                                kNinePee = 0x01021997, kCeph = 0x00C36400, kAfs = 0x5346414F;
        struct statfs fs;
        m_network = 0;
        if (::fstatfs(m_fd, &fs) == 0) {
            const unsigned long type = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFul;
            for (unsigned long network : {kCifs, kSmb2, kSmb, kNfs, kNinePee, kCeph, kAfs})
                if (type == network)
                    m_network = 1;
        }
    }
    return m_network == 1;
}

LockResult FileLock::take(LockMode mode, int timeoutMs, int *errorNumber)
{
    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    const bool network = isOnNetworkShare();
    int error;
    if (mode == LockMode::Exclusive) {
        // The mark first, then the rest; a writer that does not get the rest in time lets the mark go.
        error = acquire(deadline, network, [&](bool wait) { return setOfdLock(m_fd, F_WRLCK, wait, kMark); });
        if (error == 0) {
            error = acquire(deadline, network,
                            [&](bool wait) { return setOfdLock(m_fd, F_WRLCK, wait, kBelowMark); });
            if (error != 0)
                setOfdLock(m_fd, F_UNLCK, false);
        }
    } else {
        // A reader takes its lock only while no writer holds the mark (a look at it is a shared lock of
        // its first byte, let go at once), and looks again every few milliseconds while it waits, on a
        // local disk too: a wait in the kernel would not see a writer come.
        error = acquire(deadline, true, [&](bool) {
            int held = setOfdLock(m_fd, F_RDLCK, false, kMarkByte);
            if (held != 0)
                return held;
            setOfdLock(m_fd, F_UNLCK, false, kMarkByte);
            return setOfdLock(m_fd, F_RDLCK, false, kBelowMark);
        });
    }
    if (error == 0 && !network) {
        const int operation = mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH;
        error = acquire(deadline, false, [&](bool wait) { return setFlock(m_fd, operation, wait); });
        if (error != 0) {
            m_locked = true; // the byte-range lock is ours: let it go with whatever else was held
            unlock();
        } else {
            m_flocked = true;
        }
    }
    if (errorNumber)
        *errorNumber = error;
    if (error == 0) {
        m_locked = true;
        return LockResult::Locked;
    }
    return isHeldByOther(error) ? LockResult::HeldByOther : LockResult::Failed;
}

LockResult FileLock::tryLock(LockMode mode, int *errorNumber)
{
    return take(mode, 0, errorNumber);
}

LockResult FileLock::lock(LockMode mode, int timeoutMs, int *errorNumber)
{
    return take(mode, timeoutMs, errorNumber);
}

void FileLock::unlock()
{
    if (m_flocked)
        setFlock(m_fd, LOCK_UN, false);
    m_flocked = false;
    if (!m_locked)
        return;
    setOfdLock(m_fd, F_UNLCK, false);
    m_locked = false;
}

bool LockedFile::open(const QString &path, Access access)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    const int flags = access == Access::Read        ? O_RDONLY
                      : access == Access::ReadWrite ? O_RDWR
                                                    : O_RDWR | O_CREAT;
    // Without O_NONBLOCK the open of a named pipe waits for its other end, which may never come; what
    // is not a regular file is refused below, before anything is read or written.
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_errorNumber = errno;
        return false;
    }
    struct stat st;
    const int refused = ::fstat(fd, &st) != 0  ? errno
                        : S_ISDIR(st.st_mode)  ? EISDIR
                        : !S_ISREG(st.st_mode) ? ENXIO // a pipe, a socket or a device
                                               : 0;
    const int statusFlags = refused == 0 ? ::fcntl(fd, F_GETFL) : -1;
    if (refused != 0 || statusFlags < 0 || ::fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) < 0) {
        m_errorNumber = refused != 0 ? refused : errno;
        ::close(fd);
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

LockResult LockedFile::lock(LockMode mode, int timeoutMs)
{
    if (!m_lock)
        m_lock.emplace(m_fd);
    int error = 0;
    const LockResult result = m_lock->lock(mode, timeoutMs, &error);
    if (result != LockResult::Locked)
        m_errorNumber = error;
    return result;
}

bool LockedFile::isStillNamed(const QString &path)
{
    struct stat open;
    struct stat named;
    if (::fstat(m_fd, &open) != 0) {
        m_errorNumber = errno;
        return false;
    }
    if (::stat(QFile::encodeName(path).constData(), &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void LockedFile::unlock()
{
    if (m_lock)
        m_lock->unlock();
}

qint64 LockedFile::size()
{
    // A seek to the end makes SMB and NFS clients ask the server; reads and writes go by offset, so
    // the position it leaves does not matter.
    const off_t end = ::lseek(m_fd, 0, SEEK_END);
    if (end < 0) {
        m_errorNumber = errno;
        return -1;
    }
    return qint64(end);
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

qint64 LockedFile::readUpTo(qint64 offset, char *data, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, data + done, size_t(length - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_errorNumber = errno;
            return -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
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

bool LockedFile::resize(qint64 length)
{
    int rc;
    do {
        rc = ::ftruncate(m_fd, off_t(length));
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        m_errorNumber = errno;
        return false;
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
