#include "platform/FileLock.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using platform::LockedFile;
using platform::LockMode;
using platform::LockResult;

namespace {

struct LockFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("成績.dat"));
    LockedFile first;
    LockedFile second;
    void SetUp() override
    {
        ASSERT_TRUE(first.open(path, LockedFile::Access::ReadWriteCreate));
        ASSERT_TRUE(second.open(path, LockedFile::Access::ReadWriteCreate));
    }
};

} // namespace

// Two opens of one file in the same process are two holders, as two processes would be.
TEST_F(LockFixture, LocksOfTwoOpenFilesConflictAsBetweenProcesses)
{
    struct Case
    {
        LockMode held;
        LockMode wanted;
        LockResult expected;
    };
    const Case cases[] = {
        {LockMode::Exclusive, LockMode::Exclusive, LockResult::HeldByOther},
        {LockMode::Exclusive, LockMode::Shared, LockResult::HeldByOther},
        {LockMode::Shared, LockMode::Exclusive, LockResult::HeldByOther},
        {LockMode::Shared, LockMode::Shared, LockResult::Locked},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(first.tryLock(c.held), LockResult::Locked);
        EXPECT_EQ(second.tryLock(c.wanted), c.expected);
        second.unlock();
        first.unlock();
        EXPECT_FALSE(first.isLocked());
    }
}

TEST_F(LockFixture, UnlockingOrClosingReleasesTheLock)
{
    ASSERT_EQ(first.tryLock(LockMode::Exclusive), LockResult::Locked);
    first.unlock();
    EXPECT_EQ(second.tryLock(LockMode::Exclusive), LockResult::Locked);
    second.close();
    EXPECT_EQ(first.tryLock(LockMode::Exclusive), LockResult::Locked);
}

// The pitfall of classic process-wide locks: closing any other descriptor of the file would drop them.
TEST_F(LockFixture, ClosingAnotherDescriptorOfTheFileKeepsTheLock)
{
    ASSERT_EQ(first.tryLock(LockMode::Exclusive), LockResult::Locked);
    const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    ASSERT_GE(other, 0);
    ::close(other);
    EXPECT_EQ(second.tryLock(LockMode::Shared), LockResult::HeldByOther);
}

TEST_F(LockFixture, LockGuardOverADescriptorReleasesAtTheEndOfItsScope)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    {
        platform::FileLock lock(fd);
        ASSERT_EQ(lock.tryLock(LockMode::Exclusive), LockResult::Locked);
        EXPECT_EQ(first.tryLock(LockMode::Shared), LockResult::HeldByOther);
    }
    EXPECT_EQ(first.tryLock(LockMode::Shared), LockResult::Locked);
    ::close(fd);
}

TEST(LockedFile, ReadsAndWritesAtOffsetsAndReportsWhatWentWrong)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.dat"));
    LockedFile file;
    EXPECT_FALSE(file.open(path, LockedFile::Access::Read));
    EXPECT_TRUE(LockedFile::isNotFound(file.errorNumber()));
    EXPECT_FALSE(file.errorDescription().isEmpty());

    ASSERT_TRUE(file.open(path, LockedFile::Access::ReadWriteCreate));
    EXPECT_EQ(file.size(), 0);
    ASSERT_TRUE(file.writeAt(4, "abcd", 4));
    ASSERT_TRUE(file.writeAt(0, "xy", 2));
    ASSERT_TRUE(file.flushToDisk());
    EXPECT_EQ(file.size(), 8);
    char buffer[8];
    ASSERT_TRUE(file.readAt(0, buffer, 8));
    EXPECT_EQ(QByteArray(buffer, 8), QByteArray("xy\0\0abcd", 8));
    EXPECT_FALSE(file.readAt(6, buffer, 4)); // the file ends first
    file.close();
    EXPECT_EQ(testing_support::readBytes(path), QByteArray("xy\0\0abcd", 8));

    EXPECT_FALSE(file.open(dir.path(), LockedFile::Access::Read));
    EXPECT_EQ(file.errorNumber(), EISDIR);
    EXPECT_FALSE(
        file.open(dir.filePath(QStringLiteral("no/such/f.dat")), LockedFile::Access::ReadWriteCreate));
    EXPECT_TRUE(LockedFile::isNotFound(file.errorNumber()));
}

namespace {

// Another locker of the file, by a kind of lock some other program may use, on its own open file.
struct ForeignLock
{
    enum Kind { ClassicFcntl, Flock, OpenFileDescription };
    static const char *name(Kind kind)
    {
        return kind == ClassicFcntl ? "classic fcntl" : kind == Flock ? "flock" : "open file description";
    }
    // 0 or the error number of a non-blocking attempt.
    static int take(int fd, Kind kind, bool exclusive)
    {
        if (kind == Flock)
            return ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0 ? 0 : errno;
        struct flock fl = {};
        fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
        fl.l_whence = SEEK_SET;
        return ::fcntl(fd, kind == ClassicFcntl ? F_SETLK : F_OFD_SETLK, &fl) == 0 ? 0 : errno;
    }
};

} // namespace

// A classic fcntl lock conflicts with ours even inside one process, and an flock() on another open
// file does too, so each kind can stand for another program here.
TEST_F(LockFixture, ShutsOutEveryKindOfLockAndIsShutOutByEach)
{
    for (const auto kind :
         {ForeignLock::ClassicFcntl, ForeignLock::Flock, ForeignLock::OpenFileDescription}) {
        SCOPED_TRACE(ForeignLock::name(kind));
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ForeignLock::take(fd, kind, true), 0);
        EXPECT_EQ(first.tryLock(LockMode::Shared), LockResult::HeldByOther);
        EXPECT_EQ(first.lock(LockMode::Exclusive, 30), LockResult::HeldByOther);
        EXPECT_FALSE(first.isLocked());
        ::close(fd); // drops the foreign lock
        ASSERT_EQ(first.tryLock(LockMode::Exclusive), LockResult::Locked);
        const int later = ::open(QFile::encodeName(path).constData(), O_RDWR);
        ASSERT_GE(later, 0);
        const int refused = ForeignLock::take(later, kind, false);
        EXPECT_TRUE(refused == EAGAIN || refused == EACCES) << refused;
        first.unlock();
        EXPECT_EQ(ForeignLock::take(later, kind, false), 0);
        ::close(later);
    }
}

TEST_F(LockFixture, BlockingLockIsGrantedWhenTheHolderLetsGoOrGivesUpAtItsDeadline)
{
    ASSERT_EQ(first.tryLock(LockMode::Exclusive), LockResult::Locked);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(second.lock(LockMode::Shared, 60), LockResult::HeldByOther);
    EXPECT_GE(timer.elapsed(), 55);
    EXPECT_FALSE(second.isLocked());

    // Locks belong to open files, not threads: another thread lets go while this one waits.
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        first.unlock();
    });
    EXPECT_EQ(second.lock(LockMode::Exclusive, 20000), LockResult::Locked);
    releaser.join();
    EXPECT_EQ(first.tryLock(LockMode::Shared), LockResult::HeldByOther);
}

TEST(LockedFile, KnowsWhenItsNameNowBelongsToAnotherFileOrToNone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("成績.dat"));
    const QString rebuilt = dir.filePath(QStringLiteral("new.dat"));
    testing_support::writeBytes(path, "old");
    LockedFile file;
    ASSERT_TRUE(file.open(path, LockedFile::Access::ReadWrite));
    EXPECT_TRUE(file.isStillNamed(path));
    testing_support::writeBytes(rebuilt, "new");
    ASSERT_EQ(::rename(QFile::encodeName(rebuilt).constData(), QFile::encodeName(path).constData()), 0);
    EXPECT_FALSE(file.isStillNamed(path));
    ASSERT_TRUE(file.open(path, LockedFile::Access::ReadWrite));
    EXPECT_TRUE(file.isStillNamed(path));
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(file.isStillNamed(path));
}

// A named pipe or a device where a data file should be: a read of a pipe waits for a writer that never
// comes, a write goes nowhere. Either is refused at once, whatever the access, with its own
// description, as a folder is. (The thread lets go of an open that waits, so that the test fails
// rather than hangs.)
TEST(LockedFile, RefusesAPipeOrADeviceAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("成績.dat"));
    const QByteArray name = QFile::encodeName(fifo);
    ASSERT_EQ(::mkfifo(name.constData(), 0666), 0);
    std::atomic<bool> done{false};
    std::thread unblocker([&] {
        while (!done) {
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    for (const QString &path : {fifo, QStringLiteral("/dev/null")}) {
        for (const auto access :
             {LockedFile::Access::Read, LockedFile::Access::ReadWrite, LockedFile::Access::ReadWriteCreate}) {
            SCOPED_TRACE(path.toStdString() + " access " + std::to_string(int(access)));
            LockedFile file;
            EXPECT_FALSE(file.open(path, access));
            EXPECT_FALSE(file.isOpen());
            EXPECT_TRUE(file.errorDescription().contains(QStringLiteral("ファイルではなく")))
                << file.errorDescription().toStdString();
        }
    }
    done = true;
    unblocker.join();
}

// Readers that overlap each other hold the shared lock without a gap; a writer that waits for one
// must still get the lock: once it waits, a new reader is told the lock is held, the readers that
// are in finish, and the writer goes first.
TEST_F(LockFixture, AWaitingWriterGoesBeforeReadersThatKeepComing)
{
    // A reader holds the lock before the writer comes, or the writer could be in and out before it.
    LockedFile *holding = &first;
    LockedFile *next = &second;
    ASSERT_EQ(holding->tryLock(LockMode::Shared), LockResult::Locked);
    std::atomic<bool> writerDone = false;
    std::atomic<bool> writerHadIt = false;
    std::thread writer([&] {
        LockedFile file;
        if (file.open(path, LockedFile::Access::ReadWrite))
            writerHadIt = file.lock(LockMode::Exclusive, 3000) == LockResult::Locked;
        writerDone = true;
    });
    int turns = 0;
    bool readerRefused = false;
    while (!writerDone && !readerRefused) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (next->tryLock(LockMode::Shared) == LockResult::Locked)
            std::swap(holding, next);
        else
            readerRefused = true;
        next->unlock();
        ++turns;
    }
    holding->unlock();
    writer.join();
    EXPECT_TRUE(readerRefused) << "after " << turns << " turns of the readers";
    EXPECT_TRUE(writerHadIt);
}
