// Real processes sharing one results file: this test program runs itself again in a child mode, chosen
// by an environment variable and entered when the tests would start (after every static object of the
// program is ready).

#include "platform/FileLock.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace records;
using namespace testing_support;

namespace {

constexpr const char *kChildVariable = "YOJI_RECORDS_CHILD";

// What a writer puts in a record, so that any record can be checked for being whole: the level and
// the time of day follow from the writer (student) and its sequence number (time).
int levelFor(int writer, int sequence)
{
    return 1 + (writer * 31 + sequence) % 35;
}
int secondsFor(int writer, int sequence)
{
    return writer * 1000 + sequence;
}
bool isWhole(const ResultRecord &r)
{
    return r.level == levelFor(r.student, r.time) &&
           std::lround(r.clock * 86400.0) == secondsFor(r.student, r.time) &&
           r.schoolCode == QStringLiteral("24601") && r.date == 46364.0;
}

int appendChild(const QString &dataFolder, int writer, int count)
{
    FakeServices fakes;
    auto state = std::make_unique<AppState>();
    state->settings.dataFolder = dataFolder;
    state->settings.schoolCode = QStringLiteral("24601");
    state->run.studentNumber = qint16(writer);
    for (int sequence = 0; sequence < count; ++sequence) {
        fakes.clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(0, 0).addSecs(secondsFor(writer, sequence))));
        state->run.currentLevel = qint16(levelFor(writer, sequence));
        state->lastDrill.resultTime = sequence;
        QString error;
        if (!succeeded(appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime),
                       &error)) {
            fprintf(stderr, "append failed: %s\n", qPrintable(error));
            return 2;
        }
    }
    return 0;
}

int readChild(const QString &path, const QString &stopFile)
{
    int reads = 0;
    ResponsiveWait wait;
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(stopFile) && timer.elapsed() < 60000) {
        QString error;
        const QList<ResultRecord> records =
            testing_support::valueOrEmpty(readLastRecords(path, 100000, wait), &error);
        if (!error.isEmpty())
            return 4;
        for (const ResultRecord &r : records) {
            if (!isWhole(r)) {
                fprintf(stderr, "torn record: student %d level %d time %d\n", r.student, r.level, r.time);
                return 3;
            }
        }
        ++reads;
    }
    return reads > 0 ? 0 : 5;
}

// Takes the lock, leaves half a record at the end and stays until it is killed.
int holdChild(const QString &path, const QString &readyFile)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWriteCreate) ||
        file.tryLock(platform::LockMode::Exclusive) != platform::LockResult::Locked)
        return 6;
    const QByteArray half(22, '\x55');
    file.writeAt(file.size(), half.constData(), half.size());
    writeBytes(readyFile, "ready");
    for (;;)
        pause();
}

// The file a teacher tool writes when it rebuilds the results file.
QByteArray rebuiltFile()
{
    return records_test::rawRecord(46360.0, 0.25, 7, 2, 300) +
           records_test::rawRecord(46361.0, 0.5, 8, 4, 400);
}

// Rebuilds the file as such a tool does: holds the lock of the old file, writes the new one beside it
// and moves it over the name, then lets go (by ending). Starts when the go file appears, or after
// `delayMs` when there is none to wait for.
int replaceChild(const QString &path, const QString &readyFile, const QString &goFile, int delayMs)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWrite) ||
        file.tryLock(platform::LockMode::Exclusive) != platform::LockResult::Locked)
        return 6;
    writeBytes(readyFile, "ready");
    QElapsedTimer timer;
    timer.start();
    while (goFile.isEmpty() ? timer.elapsed() < delayMs : !QFile::exists(goFile)) {
        if (timer.elapsed() > 30000)
            return 7;
        QThread::msleep(2);
    }
    const QString rebuilt = path + QStringLiteral(".new");
    writeBytes(rebuilt, rebuiltFile());
    return ::rename(QFile::encodeName(rebuilt).constData(), QFile::encodeName(path).constData()) == 0 ? 0 : 8;
}

int runChild(const QString &childMode)
{
    const QStringList parts = childMode.split(u'|');
    if (parts.value(0) == QStringLiteral("append"))
        return appendChild(parts.value(1), parts.value(2).toInt(), parts.value(3).toInt());
    if (parts.value(0) == QStringLiteral("read"))
        return readChild(parts.value(1), parts.value(2));
    if (parts.value(0) == QStringLiteral("hold"))
        return holdChild(parts.value(1), parts.value(2));
    if (parts.value(0) == QStringLiteral("replace"))
        return replaceChild(parts.value(1), parts.value(2), parts.value(3), parts.value(4).toInt());
    return 99;
}

class ChildMode : public ::testing::Environment
{
public:
    void SetUp() override
    {
        const QByteArray requested = qgetenv(kChildVariable);
        if (!requested.isEmpty())
            std::_Exit(runChild(QString::fromUtf8(requested)));
    }
};
::testing::Environment *const childModeEnvironment = ::testing::AddGlobalTestEnvironment(new ChildMode);

class Child
{
public:
    explicit Child(const QString &childMode)
    {
        const QByteArray variable = QByteArray(kChildVariable) + '=' + childMode.toUtf8();
        std::vector<char *> env;
        for (char **e = environ; *e; ++e)
            env.push_back(*e);
        env.push_back(const_cast<char *>(variable.constData()));
        env.push_back(nullptr);
        char self[] = "/proc/self/exe";
        char *argv[] = {self, nullptr};
        m_started = posix_spawn(&m_pid, self, nullptr, nullptr, argv, env.data()) == 0;
    }
    ~Child()
    {
        if (m_started && !m_finished) {
            kill();
            exitCode();
        }
    }
    bool started() const { return m_started; }
    void kill() { ::kill(m_pid, SIGKILL); }
    // Waits for the child; its exit code, or -signal when a signal ended it.
    int exitCode()
    {
        if (m_finished)
            return m_status;
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_finished = true;
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        return m_status;
    }

private:
    pid_t m_pid = 0;
    bool m_started = false;
    bool m_finished = false;
    int m_status = 0;
};

} // namespace

TEST(ResultsFileBetweenProcesses, ConcurrentAppendsAreAllKeptWholeOnceEachWhileOthersRead)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString path = resultsFilePath(folder);
    const QString stop = dir.filePath(QStringLiteral("stop"));
    constexpr int kWriters = 4;
    constexpr int kEach = 250;

    std::vector<std::unique_ptr<Child>> readers;
    for (int i = 0; i < 2; ++i)
        readers.push_back(std::make_unique<Child>(QStringLiteral("read|%1|%2").arg(path, stop)));
    std::vector<std::unique_ptr<Child>> writers;
    for (int w = 1; w <= kWriters; ++w)
        writers.push_back(
            std::make_unique<Child>(QStringLiteral("append|%1|%2|%3").arg(folder).arg(w).arg(kEach)));
    for (auto &w : writers) {
        ASSERT_TRUE(w->started());
        EXPECT_EQ(w->exitCode(), 0);
    }
    writeBytes(stop, "stop");
    for (auto &r : readers)
        EXPECT_EQ(r->exitCode(), 0) << "a reader saw a torn record or could not read";

    const QByteArray bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), kWriters * kEach * kRecordSize);
    QSet<int> seen;
    for (int i = 0; i < kWriters * kEach; ++i) {
        const ResultRecord r = decodeRecord(bytes.constData() + i * kRecordSize);
        ASSERT_TRUE(isWhole(r)) << "record " << i + 1;
        const int key = r.student * 10000 + r.time;
        EXPECT_FALSE(seen.contains(key)) << "duplicate of writer " << r.student << " record " << r.time;
        seen.insert(key);
    }
    EXPECT_EQ(seen.size(), kWriters * kEach);
}

TEST(ResultsFileBetweenProcesses, AWriterKilledWhileHoldingTheLockReleasesItAndTheNextAppendProceeds)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QString path = resultsFilePath(folder);
    const QByteArray before = records_test::rawRecord(46363.0, 0.5, 3, 2, 111);
    writeBytes(path, before);
    const QString ready = dir.filePath(QStringLiteral("ready"));
    Child holder(QStringLiteral("hold|%1|%2").arg(path, ready));
    ASSERT_TRUE(holder.started());
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(ready) && timer.elapsed() < 20000)
        QThread::msleep(5);
    ASSERT_TRUE(QFile::exists(ready));
    ASSERT_EQ(readBytes(path).size(), kRecordSize + 22);

    FakeServices fakes;
    auto state = std::make_unique<AppState>();
    state->settings.dataFolder = folder;
    state->run.studentNumber = 4;
    state->run.currentLevel = 6;
    state->lastDrill.resultTime = 222;
    records_test::ScriptedWait wait;
    wait.onWait = [&](int call) {
        if (call == 1) {
            holder.kill();
            EXPECT_EQ(holder.exitCode(), -SIGKILL);
        }
    };
    QString error;
    ASSERT_TRUE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait), &error))
        << error.toStdString();
    EXPECT_EQ(wait.asked, std::vector<int>{kLockWaitMs});

    const QByteArray after = readBytes(path);
    ASSERT_EQ(after.size(), 2 * kRecordSize); // the killed writer's half record is overwritten
    EXPECT_EQ(after.left(kRecordSize), before);
    const ResultRecord added = decodeRecord(after.constData() + kRecordSize);
    EXPECT_EQ(added.student, 4);
    EXPECT_EQ(added.time, 222);
}

namespace {

// A results file with one record, a second name for it (so that the old file can be looked at once
// it has been replaced), and the run that the next append writes.
struct ReplacedFileSetup
{
    QTemporaryDir dir;
    QString folder = dir.path() + u'/';
    QString path = resultsFilePath(folder);
    QString oldFile = dir.filePath(QStringLiteral("old.dat"));
    QString ready = dir.filePath(QStringLiteral("ready"));
    QByteArray before = records_test::rawRecord(46363.0, 0.5, 3, 2, 111);
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();

    ReplacedFileSetup()
    {
        writeBytes(path, before);
        ::link(QFile::encodeName(path).constData(), QFile::encodeName(oldFile).constData());
        state->settings.dataFolder = folder;
        state->run.studentNumber = 4;
        state->run.currentLevel = 6;
        state->lastDrill.resultTime = 222;
    }
    bool waitReady() const
    {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(ready) && timer.elapsed() < 20000)
            QThread::msleep(2);
        return QFile::exists(ready);
    }
    void expectRecordInTheNewFileOnly() const
    {
        const QByteArray now = readBytes(path);
        ASSERT_EQ(now.size(), 3 * kRecordSize);
        EXPECT_EQ(now.left(2 * kRecordSize), rebuiltFile());
        const ResultRecord added = decodeRecord(now.constData() + 2 * kRecordSize);
        EXPECT_EQ(added.student, 4);
        EXPECT_EQ(added.time, 222);
        EXPECT_EQ(readBytes(oldFile), before) << "the record went to the file that was replaced";
    }
};

} // namespace

TEST(ResultsFileBetweenProcesses, AWriterThatWaitedWhileTheFileWasReplacedWritesToTheNewFile)
{
    ReplacedFileSetup setup;
    const QString go = setup.dir.filePath(QStringLiteral("go"));
    Child replacer(QStringLiteral("replace|%1|%2|%3|0").arg(setup.path, setup.ready, go));
    ASSERT_TRUE(replacer.started());
    ASSERT_TRUE(setup.waitReady());
    records_test::ScriptedWait wait;
    wait.onWait = [&](int call) {
        if (call == 1) {
            writeBytes(go, "go");
            EXPECT_EQ(replacer.exitCode(), 0);
        }
    };
    QString error;
    ASSERT_TRUE(succeeded(appendResult(setup.state->settings, setup.fakes.services, setup.state->run,
                                       setup.state->lastDrill.resultTime, wait),
                          &error))
        << error.toStdString();
    EXPECT_EQ(wait.asked, std::vector<int>{kLockWaitMs});
    setup.expectRecordInTheNewFileOnly();
}

// The same with the program's own wait, which blocks in the kernel until the replacing process ends.
TEST(ResultsFileBetweenProcesses, TheProgramsWaitFollowsAReplacedFileToo)
{
    ReplacedFileSetup setup;
    Child replacer(QStringLiteral("replace|%1|%2||150").arg(setup.path, setup.ready));
    ASSERT_TRUE(replacer.started());
    ASSERT_TRUE(setup.waitReady());
    QString error;
    ASSERT_TRUE(succeeded(appendResult(setup.state->settings, setup.fakes.services, setup.state->run,
                                       setup.state->lastDrill.resultTime),
                          &error))
        << error.toStdString();
    EXPECT_EQ(replacer.exitCode(), 0);
    setup.expectRecordInTheNewFileOnly();
}
