#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The whole-file lock that the programs of the family use between processes and between PCs on a
// network share, and the file access that goes with it.
//
// The lock is the operating system's byte-range lock over the whole file, taken on the descriptor that
// does the reading and writing. On Linux these are open-file-description locks (F_OFD_SETLK): a classic
// fcntl lock belongs to the process and is dropped as soon as any descriptor of the file in the process
// is closed, which would silently unlock a writer. An open-file-description lock belongs to the one open
// file and goes away only when that is closed (or its process dies, even by SIGKILL). A Windows port
// replaces this file with LockFileEx over the same interface.
//
// Which other lockers it shuts out. Linux has two independent kinds of lock: byte-range locks (classic
// fcntl locks and open-file-description locks, which conflict with each other) and flock() locks, which
// on a local disk neither see nor are seen by byte-range locks. So on a local file system the lock is
// both: the byte-range lock first, then flock() on the same open file (a waiter whose time runs out on
// the second lets the first go). On a network share (SMB, NFS, 9p) the client turns both
// kinds into the server's byte-range locks, where they shut each other out already; there a second
// lock of the same open file would conflict with the first, so only the byte-range lock is taken.
//
// Linux locks are advisory: they hold only against processes that take them too. Every reader and writer
// of the results file therefore locks (readers shared, writers exclusive).
namespace platform {

enum class LockMode { Shared, Exclusive };

enum class LockResult {
    Locked,      // the lock is ours
    HeldByOther, // another open file (this process or another) holds a conflicting lock
    Failed       // the lock could not be taken for another reason (see the error number)
};

// Holds a whole-file lock on a descriptor and releases it when it goes out of scope. The descriptor
// stays owned by its caller.
class FileLock
{
public:
    explicit FileLock(int fd) : m_fd(fd) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Tries once, without waiting. *errorNumber gets the system's error number on Failed.
    LockResult tryLock(LockMode mode, int *errorNumber = nullptr);
    // Waits up to `timeoutMs` for the lock. On a local disk the wait is in the kernel, so the lock goes
    // to a waiter the moment it comes free; on a network share the SMB client's blocking lock cannot be
    // interrupted, so the lock is tried every few milliseconds until the time is up. HeldByOther when
    // the time ran out.
    LockResult lock(LockMode mode, int timeoutMs, int *errorNumber = nullptr);
    void unlock();
    bool isLocked() const { return m_locked; }

    // Whether the descriptor's file lies on a network share (see above).
    bool isOnNetworkShare();

private:
    LockResult take(LockMode mode, int timeoutMs, int *errorNumber);

    int m_fd;
    bool m_locked = false;
    bool m_flocked = false;
    int m_network = -1; // unknown until the first lock
};

// A file read and written in place at given offsets (never in append mode), with its whole-file lock on
// the same descriptor. Closed (and so unlocked) when it goes out of scope.
class LockedFile
{
public:
    enum class Access {
        Read,           // read only; the file must exist
        ReadWrite,      // read and write; the file must exist
        ReadWriteCreate // read and write; an empty file is created when there is none
    };

    LockedFile() = default;
    ~LockedFile() { close(); }
    LockedFile(const LockedFile &) = delete;
    LockedFile &operator=(const LockedFile &) = delete;

    // Fails (EISDIR, ENXIO) for a folder, a pipe or a device in place of the file, without waiting.
    bool open(const QString &path, Access access);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    LockResult tryLock(LockMode mode);
    // Waits up to `timeoutMs` for the lock (see FileLock::lock).
    LockResult lock(LockMode mode, int timeoutMs);
    void unlock();
    bool isLocked() const { return m_lock && m_lock->isLocked(); }

    // Whether `path` still names the open file (the same device and inode). False once the file has
    // been deleted, or another file has been moved over its name (a teacher tool that rebuilds it):
    // what is written to this descriptor then goes nowhere anyone reads.
    bool isStillNamed(const QString &path);

    // The current length of the file, -1 on failure. Asked of the file system each time: an SMB client
    // answers fstat() from attributes it cached up to a second ago, and a length that misses another
    // PC's last record would put the next record over it.
    qint64 size();
    // Reads exactly `length` bytes at `offset`; false on an error or when the file ends first.
    bool readAt(qint64 offset, char *data, qint64 length);
    // Reads up to `length` bytes at `offset`: how many there were before the file ended, -1 on an error.
    qint64 readUpTo(qint64 offset, char *data, qint64 length);
    // Writes exactly `length` bytes at `offset`.
    bool writeAt(qint64 offset, const char *data, qint64 length);
    // Sets the length of the file through this descriptor (never by its name, which another program
    // may have given to a new file meanwhile), cutting it or extending it with zero bytes.
    bool resize(qint64 length);
    // Waits until what was written is on the disk (or on the server of a network share).
    bool flushToDisk();

    // The system's error number of the last failed step, and its description for a message.
    int errorNumber() const { return m_errorNumber; }
    QString errorDescription() const { return describeError(m_errorNumber); }

    // A short Japanese description of a system error number, for messages.
    static QString describeError(int errorNumber);
    // Whether an error number of open() means the file or its folder does not exist.
    static bool isNotFound(int errorNumber);
    // Whether it means that the place of the file cannot be reached just now (a network share that is
    // gone or not answering).
    static bool isUnreachable(int errorNumber);

private:
    int m_fd = -1;
    int m_errorNumber = 0;
    std::optional<FileLock> m_lock;
};

} // namespace platform
