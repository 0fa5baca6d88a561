// Deleting and changing records of the results file. The crash and concurrency cases run real
// processes: this test program runs itself again in a child mode chosen by an environment variable.

#include "records/ResultsMaintenance.h"
#include "platform/FileLock.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsFile.h"
#include "support/TestSupport.h"
#include "teacher/forms/QuietWait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

using teacher::QuietWait;

extern char **environ;

using namespace records;
using namespace records_test;
using namespace testing_support;

namespace {

constexpr const char *kChildVariable = "YOJI_MAINTENANCE_CHILD";

// What a recovery came to, none with its message in *error when it failed.
std::optional<Recovery> recovered(const app::Result<Recovery> &result, QString *error)
{
    if (!testing_support::succeeded(result.status(), error))
        return std::nullopt;
    return result.value();
}

// Record i of a test file: every record differs from every other in its date, time of day and level.
QByteArray record(int i, qint16 student = 100)
{
    return rawRecord(46000.0 + i, (i % 86400) / 86400.0, qint16(student + i), qint16(1 + i % 20), 30 + i,
                     "24601");
}

QByteArray recordRange(int from, int to)
{
    QByteArray bytes;
    for (int i = from; i <= to; ++i)
        bytes += record(i);
    return bytes;
}

QByteArray without(const QByteArray &bytes, int number)
{
    return bytes.left((number - 1) * kRecordSize) + bytes.mid(number * kRecordSize);
}

QByteArray slotOf(const QByteArray &bytes, int number)
{
    return bytes.mid((number - 1) * kRecordSize, kRecordSize);
}

// An appended record of writer w, sequence s, as another PC's drill writes it.
QByteArray appended(int writer, int sequence)
{
    return rawRecord(46364.0, (writer * 1000 + sequence) / 86400.0, qint16(writer), qint16(1 + sequence % 35),
                     sequence, "24601");
}

// Deletes with a probe that kills this process the `occurrence`-th time `stage` is reached.
int deleteChild(const QString &path, int number, int stage, int occurrence, int pieceBytes)
{
    int seen = 0;
    RewriteProbe probe;
    probe.pieceBytes = pieceBytes;
    probe.reached = [&](RewriteStage reached) {
        if (int(reached) == stage && ++seen == occurrence)
            ::raise(SIGKILL);
    };
    QString error;
    ResponsiveWait wait;
    return testing_support::succeeded(deleteRecord(path, number, {}, wait, &probe), &error) ? 0 : 2;
}

// Appends `count` records; with a gate, stops after the first half until the gate file exists, so
// that the second half is certain to come while the parent is still deleting.
int appendChild(const QString &path, int writer, int count, const QString &gate)
{
    ResponsiveWait wait;
    for (int s = 0; s < count; ++s) {
        if (!gate.isEmpty() && s == count / 2) {
            QElapsedTimer waited;
            waited.start();
            while (!QFileInfo::exists(gate)) {
                if (waited.elapsed() > 60000)
                    return 3;
                QThread::msleep(2);
            }
        }
        QString error;
        if (!testing_support::succeeded(
                appendRecords(path, {decodeRecord(appended(writer, s).constData())}, wait), &error))
            return 2;
    }
    return 0;
}

// Rebuilds the file as another program may: holds the lock of the old file, waits `delayMs`, moves the
// file at `replacement` over the name and lets go by ending.
int replaceChild(const QString &path, const QString &replacement, const QString &readyFile, int delayMs)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWrite) ||
        file.tryLock(platform::LockMode::Exclusive) != platform::LockResult::Locked)
        return 6;
    writeBytes(readyFile, "ready");
    QThread::msleep(ulong(delayMs));
    return ::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()) == 0 ? 0
                                                                                                          : 8;
}

// Appends back to back, as drills on many PCs at once would, until the stop file exists.
int appendUntilChild(const QString &path, int writer, const QString &stopFile)
{
    ResponsiveWait wait;
    for (int s = 0; s < 200000 && !QFileInfo::exists(stopFile); ++s) {
        QString error;
        if (!testing_support::succeeded(
                appendRecords(path, {decodeRecord(appended(writer, s).constData())}, wait), &error))
            return 2;
    }
    return 0;
}

int runChild(const QString &mode)
{
    const QStringList parts = mode.split(u'|');
    if (parts.value(0) == QStringLiteral("replace"))
        return replaceChild(parts.value(1), parts.value(2), parts.value(3), parts.value(4).toInt());
    if (parts.value(0) == QStringLiteral("appendUntil"))
        return appendUntilChild(parts.value(1), parts.value(2).toInt(), parts.value(3));
    if (parts.value(0) == QStringLiteral("delete"))
        return deleteChild(parts.value(1), parts.value(2).toInt(), parts.value(3).toInt(),
                           parts.value(4).toInt(), parts.value(5).toInt());
    if (parts.value(0) == QStringLiteral("append"))
        return appendChild(parts.value(1), parts.value(2).toInt(), parts.value(3).toInt(), parts.value(4));
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
    explicit Child(const QString &mode)
    {
        const QByteArray variable = QByteArray(kChildVariable) + '=' + mode.toUtf8();
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
            ::kill(m_pid, SIGKILL);
            exitCode();
        }
    }
    bool started() const { return m_started; }
    bool finished()
    {
        if (m_finished)
            return true;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_finished = true;
            m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        }
        return m_finished;
    }
    // Its exit code, or -signal when a signal ended it.
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

bool waitForFile(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFileInfo::exists(path) && timer.elapsed() < 20000)
        QThread::msleep(2);
    return QFileInfo::exists(path);
}

// Appends after the last whole record under the lock, as the family's other programs do, knowing
// nothing of a recovery copy.
void appendAsAnotherProgram(const QString &path, const QByteArray &bytes)
{
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, platform::LockedFile::Access::ReadWrite));
    ASSERT_EQ(file.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    ASSERT_TRUE(file.writeAt(file.size() / kRecordSize * kRecordSize, bytes.constData(), bytes.size()));
}

struct Maintenance : ::testing::Test
{
    QTemporaryDir dir;
    QString path;
    ScriptedWait wait;
    ResponsiveWait programWait;
    QString error;

    void SetUp() override { path = resultsFilePath(dir.path() + u'/'); }
    QString copyPath() const { return recoveryFilePath(path); }
};

} // namespace

TEST_F(Maintenance, DeletingRecordThreeOfTenKeepsTheOthersInOrderAndRemovesTheCopy)
{
    const QByteArray old = recordRange(1, 10);
    writeBytes(path, old);
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 3, slotOf(old, 3), wait), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path), without(old, 3));
    EXPECT_FALSE(QFileInfo::exists(copyPath()));
    EXPECT_EQ(copyPath(), dir.path() + QStringLiteral("/成績累積データtemp.dat"));

    // The last record, then the only one.
    const QByteArray nine = readBytes(path);
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 9, slotOf(nine, 9), wait), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path), nine.left(8 * kRecordSize));
    writeBytes(path, record(1));
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 1, record(1), wait), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path).size(), 0);
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(Maintenance, APartialRecordLeftByACrashedAppendGoesWithTheDeletion)
{
    const QByteArray old = recordRange(1, 4);
    writeBytes(path, old + QByteArray(20, '\x55'));
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 2, slotOf(old, 2), wait), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path), without(old, 2));
}

TEST_F(Maintenance, ADeletionOrChangeOfARecordThatIsNoLongerTheOneOpenedWritesNothing)
{
    const QByteArray old = recordRange(1, 5);
    writeBytes(path, old);
    // Another PC deleted record 2 since the list was made: record 3 now sits in place 2.
    EXPECT_FALSE(
        testing_support::succeeded(deleteRecord(path, 2, slotOf(recordRange(1, 6), 3), wait), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("変わっています"))) << error.toStdString();
    EXPECT_FALSE(
        testing_support::succeeded(changeRecord(path, 2, slotOf(recordRange(1, 6), 3), 7, 70, wait), &error));
    EXPECT_FALSE(testing_support::succeeded(deleteRecord(path, 6, {}, wait), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("6 番目の記録はありません（5 件です）")))
        << error.toStdString();
    EXPECT_FALSE(testing_support::succeeded(changeRecord(path, 0, {}, 7, 70, wait), &error));
    EXPECT_EQ(readBytes(path), old);
    EXPECT_FALSE(QFileInfo::exists(copyPath()));

    // A changed student or time does not make it another record.
    QByteArray changed = slotOf(old, 2);
    changed[16] = 9;
    changed[20] = 9;
    EXPECT_TRUE(testing_support::succeeded(deleteRecord(path, 2, changed, wait), &error))
        << error.toStdString();
}

// The caller's bytes of the opened record may be cleared while the writer waits for the lock (a
// relisting of the teacher tool in the meantime); the check still compares the record as it was
// opened when the call began.
TEST_F(Maintenance, TheRecordOpenedIsComparedAsItWasWhenTheCallBegan)
{
    const QByteArray old = recordRange(1, 5);
    for (const bool deletion : {true, false}) {
        SCOPED_TRACE(deletion ? "delete" : "change");
        writeBytes(path, old);
        QByteArray opened = slotOf(old, 3);
        platform::LockedFile other;
        ASSERT_TRUE(other.open(path, platform::LockedFile::Access::ReadWrite));
        ASSERT_EQ(other.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
        ScriptedWait waiting;
        waiting.onWait = [&](int call) {
            if (call != 1)
                return;
            writeBytes(path, without(old, 2)); // another PC deleted record 2 meanwhile
            opened.clear();
            other.close();
        };
        EXPECT_FALSE(deletion
                         ? testing_support::succeeded(deleteRecord(path, 3, opened, waiting), &error)
                         : testing_support::succeeded(changeRecord(path, 3, opened, 7, 70, waiting), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("変わっています"))) << error.toStdString();
        EXPECT_EQ(readBytes(path), without(old, 2));
    }
}

TEST_F(Maintenance, AMissingResultsFileIsNamedAndNotCreated)
{
    EXPECT_FALSE(testing_support::succeeded(deleteRecord(path, 1, {}, wait), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("成績ファイルを開けません"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("成績累積データ.dat"))) << error.toStdString();
    EXPECT_FALSE(testing_support::succeeded(changeRecord(path, 1, {}, 1, 1, wait), &error));
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(Maintenance, AChangeWritesOnlyTheStudentAndTheTime)
{
    // Another program's record: texts and reserved bytes this program would not write itself.
    const QByteArray odd =
        rawRecord(46100.0, 0.25, 131, 4, 245, "ab\x82\xa0 ", "xyz  ", "-12  ", "\1\2\3\4\5");
    const QByteArray old = record(1) + odd + record(3);
    writeBytes(path, old);
    ASSERT_TRUE(testing_support::succeeded(changeRecord(path, 2, odd, 172, 99999, wait), &error))
        << error.toStdString();
    const QByteArray after = readBytes(path);
    QByteArray expected = odd;
    const qint16 student = 172;
    const qint32 time = 99999;
    std::memcpy(expected.data() + 16, &student, 2);
    std::memcpy(expected.data() + 20, &time, 4);
    EXPECT_EQ(after, record(1) + expected + record(3));
}

TEST_F(Maintenance, ACopyThatThisProgramDidNotWriteStopsDeletionsAndIsKept)
{
    const QByteArray old = recordRange(1, 4);
    writeBytes(path, old);
    // What the family's older browsers leave: a plain copy of the file.
    writeBytes(copyPath(), old);
    EXPECT_EQ(recovered(recoverInterruptedRewrite(path, wait), &error), std::nullopt);
    EXPECT_TRUE(error.contains(QStringLiteral("成績累積データtemp.dat"))) << error.toStdString();
    EXPECT_FALSE(testing_support::succeeded(deleteRecord(path, 1, {}, wait), &error));
    EXPECT_FALSE(testing_support::succeeded(changeRecord(path, 1, {}, 1, 1, wait), &error));
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(readBytes(copyPath()), old);
    EXPECT_EQ(
        recovered(recoverInterruptedRewrite(resultsFilePath(dir.path() + QStringLiteral("/none/")), wait),
                  &error),
        Recovery::NothingToDo);

    // Where no copy can be read or written (a folder stands in its place), nothing is deleted.
    QFile::remove(copyPath());
    ASSERT_TRUE(QDir().mkpath(copyPath()));
    EXPECT_FALSE(testing_support::succeeded(deleteRecord(path, 1, {}, wait), &error));
    EXPECT_EQ(readBytes(path), old);

    // Drills still record their results beside such a copy, and leave it to the teacher; a pipe in its
    // place does not make them wait.
    const QByteArray drill = appended(7, 1);
    ASSERT_TRUE(
        testing_support::succeeded(appendRecords(path, {decodeRecord(drill.constData())}, wait), &error))
        << error.toStdString();
    EXPECT_TRUE(QFileInfo(copyPath()).isDir());
    ASSERT_TRUE(QDir().rmdir(copyPath()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(copyPath()).constData(), 0666), 0);
    {
        FifoUnblocker unblocker(copyPath());
        ASSERT_TRUE(
            testing_support::succeeded(appendRecords(path, {decodeRecord(drill.constData())}, wait), &error))
            << error.toStdString();
    }
    EXPECT_EQ(readBytes(path), old + drill + drill);
    EXPECT_FALSE(QFileInfo(copyPath()).isFile());
    EXPECT_TRUE(QFileInfo::exists(copyPath())) << "the pipe in place of the copy was removed";
}

TEST_F(Maintenance, TheDeletionWaitsWhileAnotherHolderHasTheLock)
{
    writeBytes(path, recordRange(1, 3));
    platform::LockedFile other;
    ASSERT_TRUE(other.open(path, platform::LockedFile::Access::Read));
    ASSERT_EQ(other.tryLock(platform::LockMode::Shared), platform::LockResult::Locked);
    wait.onWait = [&](int call) {
        if (call == 2)
            other.close();
    };
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 1, {}, wait), &error)) << error.toStdString();
    EXPECT_EQ(wait.asked.size(), 2u);
    EXPECT_EQ(readBytes(path), recordRange(2, 3));
}

// A writer killed at every stage of a deletion, then drills appended by other PCs before any teacher
// tool runs: the next append finishes the deletion, and every appended record is kept once. A kill
// before the recovery copy is complete leaves the old file.
TEST_F(Maintenance, AWriterKilledAtAnyStageLeavesTheOldOrTheNewRecordsAndTheNextAppendFinishesIt)
{
    struct Case
    {
        RewriteStage stage;
        int occurrences;
        bool copyComplete;
    };
    // Pieces of 88 bytes move two records at a time; pieces of 30 bytes cut records (the void record
    // included) in the middle.
    for (int pieceBytes : {88, 30}) {
        const int copyPieces = (11 * kRecordSize + pieceBytes - 1) / pieceBytes;
        for (int number : pieceBytes == 88 ? std::vector<int>{3, 10, 1} : std::vector<int>{3}) {
            const int movedPieces = ((10 - number + 1) * kRecordSize + pieceBytes - 1) / pieceBytes;
            const Case cases[] = {
                {RewriteStage::Locked, 1, false},     {RewriteStage::CopyPart, copyPieces, false},
                {RewriteStage::CopyWritten, 1, true}, {RewriteStage::RecordsMoved, movedPieces - 1, true},
                {RewriteStage::VoidWritten, 1, true}, {RewriteStage::Synced, 1, true},
                {RewriteStage::Truncated, 1, true},   {RewriteStage::CopyRemoved, 1, true},
            };
            for (const Case &c : cases) {
                for (int occurrence = 1; occurrence <= c.occurrences; ++occurrence) {
                    // Any kill while the copy is written leaves the same: the old file and no copy.
                    if (c.stage == RewriteStage::CopyPart && occurrence != 1 && occurrence != c.occurrences)
                        continue;
                    const std::string where =
                        "piece " + std::to_string(pieceBytes) + ", record " + std::to_string(number) +
                        ", stage " + std::to_string(int(c.stage)) + " #" + std::to_string(occurrence);
                    const QByteArray old = recordRange(1, 10);
                    writeBytes(path, old);
                    QFile::remove(copyPath());
                    Child writer(QStringLiteral("delete|%1|%2|%3|%4|%5")
                                     .arg(path)
                                     .arg(number)
                                     .arg(int(c.stage))
                                     .arg(occurrence)
                                     .arg(pieceBytes));
                    ASSERT_TRUE(writer.started());
                    ASSERT_EQ(writer.exitCode(), -SIGKILL) << where;
                    const QByteArray killed = readBytes(path);
                    const QByteArray copy = readBytes(copyPath());
                    const bool copyLeft = QFileInfo::exists(copyPath());
                    EXPECT_EQ(copyLeft, c.copyComplete && c.stage != RewriteStage::CopyRemoved) << where;
                    const QByteArray kept = c.copyComplete ? without(old, number) : old;

                    // Two drills of another PC: its append finishes the deletion before it writes, so
                    // that no reader ever counts a record twice or reads a torn one.
                    const QByteArray drills = appended(7, 1) + appended(7, 2);
                    ASSERT_TRUE(testing_support::succeeded(
                        appendRecords(path,
                                      {decodeRecord(drills.constData()),
                                       decodeRecord(drills.constData() + kRecordSize)},
                                      wait),
                        &error))
                        << where << error.toStdString();
                    EXPECT_EQ(readBytes(path), kept + drills) << where;
                    EXPECT_FALSE(QFileInfo::exists(copyPath())) << where;

                    // The same crash, then first a drill of an older program that appends without
                    // looking for the copy: the next append finishes the deletion around that record.
                    writeBytes(path, killed);
                    if (copyLeft)
                        writeBytes(copyPath(), copy);
                    const QByteArray older = appended(8, 1);
                    appendAsAnotherProgram(path, older);
                    const QByteArray drill = appended(7, 3);
                    ASSERT_TRUE(testing_support::succeeded(
                        appendRecords(path, {decodeRecord(drill.constData())}, wait), &error))
                        << where << error.toStdString();
                    EXPECT_EQ(readBytes(path), kept + older + drill) << where;
                    EXPECT_FALSE(QFileInfo::exists(copyPath())) << where;
                    EXPECT_EQ(recovered(recoverInterruptedRewrite(path, wait), &error), Recovery::NothingToDo)
                        << where;
                }
            }
        }
    }
}

TEST_F(Maintenance, AnInterruptedDeletionIsFinishedBeforeTheNextChange)
{
    const QByteArray old = recordRange(1, 6);
    writeBytes(path, old);
    Child writer(QStringLiteral("delete|%1|2|%2|1|88").arg(path).arg(int(RewriteStage::VoidWritten)));
    ASSERT_EQ(writer.exitCode(), -SIGKILL);
    ASSERT_TRUE(QFileInfo::exists(copyPath()));
    // The listing the teacher sees was made after the crash from the half-rewritten file, so the
    // record opened is taken from the finished file.
    const QByteArray finished = without(old, 2);
    ASSERT_TRUE(testing_support::succeeded(changeRecord(path, 4, slotOf(finished, 4), 55, 66, wait), &error))
        << error.toStdString();
    const QByteArray after = readBytes(path);
    ASSERT_EQ(after.size(), 5 * kRecordSize);
    EXPECT_EQ(after.left(3 * kRecordSize), finished.left(3 * kRecordSize));
    EXPECT_EQ(decodeRecord(after.constData() + 3 * kRecordSize).student, 55);
    EXPECT_FALSE(QFileInfo::exists(copyPath()));
}

// Drills on three other PCs append while the teacher deletes the oldest records one after another:
// none of the appended records is lost or doubled, and exactly the deleted ones are gone.
TEST_F(Maintenance, RecordsAppendedByOtherProcessesDuringDeletionsAreAllKept)
{
    constexpr int kOld = 40;
    constexpr int kDeleted = 25;
    constexpr int kWriters = 3;
    constexpr int kEach = 100;
    const QByteArray old = recordRange(1, kOld);
    writeBytes(path, old);
    // The writers hold their second halves back until half the deletions are done.
    const QString gate = path + QStringLiteral(".gate");
    std::vector<std::unique_ptr<Child>> writers;
    for (int w = 1; w <= kWriters; ++w)
        writers.push_back(std::make_unique<Child>(
            QStringLiteral("append|%1|%2|%3|%4").arg(path).arg(w).arg(kEach).arg(gate)));
    int deletedWhileWriting = 0;
    for (int d = 0; d < kDeleted; ++d) {
        if (d == kDeleted / 2)
            writeBytes(gate, QByteArray("go"));
        // The oldest record, as a listing now shows it.
        const QByteArray first = readBytes(path).left(kRecordSize);
        ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 1, first, programWait), &error))
            << error.toStdString();
        for (auto &w : writers)
            deletedWhileWriting += w->finished() ? 0 : 1;
    }
    for (auto &w : writers)
        ASSERT_EQ(w->exitCode(), 0);

    const QByteArray after = readBytes(path);
    ASSERT_EQ(after.size(), (kOld - kDeleted + kWriters * kEach) * kRecordSize);
    QByteArray kept;
    std::vector<int> next(kWriters + 1, 0);
    for (qsizetype at = 0; at < after.size(); at += kRecordSize) {
        const QByteArray r = after.mid(at, kRecordSize);
        if (decodeRecord(r.constData()).date < 46364.0) {
            kept += r;
            continue;
        }
        const ResultRecord a = decodeRecord(r.constData());
        ASSERT_GE(a.student, 1);
        ASSERT_LE(a.student, kWriters);
        // Each writer's records in the order it wrote them, each once.
        ASSERT_EQ(r, appended(a.student, next[std::size_t(a.student)])) << "at " << at / kRecordSize;
        ++next[std::size_t(a.student)];
    }
    EXPECT_EQ(kept, old.mid(kDeleted * kRecordSize));
    EXPECT_GT(deletedWhileWriting, 0) << "the deletions did not overlap the appends";
}

// Another program rebuilds the results file while a deletion or a change waits for the lock: it moves
// a new file over the name, then lets the lock of the old one go. The writer works on the new file, or
// refuses when the record is not there; the old file is never written.
TEST_F(Maintenance, AWriterThatWaitedWhileTheFileWasReplacedWorksOnTheNewFileOnly)
{
    const QByteArray old = recordRange(1, 10);
    const QByteArray longer = old + recordRange(11, 60);
    const QByteArray shorter = recordRange(1, 3);
    const QString oldName = dir.filePath(QStringLiteral("old.dat"));
    QByteArray changed = slotOf(longer, 5);
    const qint16 student = 77;
    const qint32 time = 777;
    std::memcpy(changed.data() + 16, &student, 2);
    std::memcpy(changed.data() + 20, &time, 4);
    struct Case
    {
        const char *name;
        bool deletion;
        QByteArray replacement;
        QByteArray expected; // empty: refused
    };
    const Case cases[] = {
        {"delete, longer", true, longer, without(longer, 5)},
        {"delete, shorter", true, shorter, {}},
        {"change, longer", false, longer,
         longer.left(4 * kRecordSize) + changed + longer.mid(5 * kRecordSize)},
        {"change, shorter", false, shorter, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(oldName);
        writeBytes(path, old);
        ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(oldName).constData()), 0);
        platform::LockedFile holder;
        ASSERT_TRUE(holder.open(path, platform::LockedFile::Access::ReadWrite));
        ASSERT_EQ(holder.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
        ScriptedWait waiting;
        waiting.onWait = [&](int call) {
            if (call != 1)
                return;
            writeBytes(path + QStringLiteral(".new"), c.replacement);
            ASSERT_EQ(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                               QFile::encodeName(path).constData()),
                      0);
            holder.close();
        };
        const bool done =
            c.deletion ? testing_support::succeeded(deleteRecord(path, 5, slotOf(old, 5), waiting), &error)
                       : testing_support::succeeded(
                             changeRecord(path, 5, slotOf(old, 5), student, time, waiting), &error);
        EXPECT_FALSE(waiting.asked.empty());
        EXPECT_EQ(readBytes(oldName), old) << "the file that was replaced was written";
        if (c.expected.isEmpty()) {
            EXPECT_FALSE(done);
            EXPECT_TRUE(error.contains(QStringLiteral("5 番目の記録はありません（3 件です）")))
                << error.toStdString();
            EXPECT_EQ(readBytes(path), c.replacement);
        } else {
            EXPECT_TRUE(done) << error.toStdString();
            EXPECT_EQ(readBytes(path), c.expected);
        }
        EXPECT_FALSE(QFileInfo::exists(copyPath()));
    }
}

// The same with the program's own wait, which waits in the kernel, and another process that holds
// the lock until it has moved the new file over the name.
TEST_F(Maintenance, TheProgramsWaitFollowsAReplacedFileToo)
{
    const QByteArray old = recordRange(1, 10);
    const QByteArray shorter = recordRange(1, 3);
    writeBytes(path, old);
    const QString replacement = dir.filePath(QStringLiteral("rebuilt.dat"));
    writeBytes(replacement, shorter);
    const QString ready = dir.filePath(QStringLiteral("ready"));
    Child replacer(QStringLiteral("replace|%1|%2|%3|150").arg(path, replacement, ready));
    ASSERT_TRUE(replacer.started());
    ASSERT_TRUE(waitForFile(ready));
    EXPECT_FALSE(testing_support::succeeded(deleteRecord(path, 5, slotOf(old, 5), programWait), &error));
    EXPECT_EQ(replacer.exitCode(), 0);
    EXPECT_EQ(readBytes(path), shorter) << "the new file was cut or padded";
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 2, slotOf(shorter, 2), programWait), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path), without(shorter, 2));
}

// Drills on three PCs append back to back. A deletion waits in the same queue as they do, so it gets
// the lock after a few of their appends rather than whenever its next look finds the lock free.
TEST_F(Maintenance, ADeletionAmongBackToBackAppendsGetsItsTurnAfterAFewOfThem)
{
    const QByteArray old = recordRange(1, 5);
    writeBytes(path, old);
    const QString stop = dir.filePath(QStringLiteral("stop"));
    std::vector<std::unique_ptr<Child>> writers;
    for (int w = 1; w <= 3; ++w)
        writers.push_back(
            std::make_unique<Child>(QStringLiteral("appendUntil|%1|%2|%3").arg(path).arg(w).arg(stop)));
    const auto records = [&] { return QFileInfo(path).size() / kRecordSize; };
    QElapsedTimer started;
    started.start();
    while (records() < 100 && started.elapsed() < 20000)
        QThread::msleep(1);
    ASSERT_GE(records(), 100) << "the appends did not start";

    qint64 before = 0;
    qint64 atLock = -1;
    RewriteProbe probe;
    probe.reached = [&](RewriteStage stage) {
        if (stage == RewriteStage::Locked)
            atLock = records();
    };
    QuietWait teacherToolsWait{programWait}; // the records browser's, which handles no click or key meanwhile
    const std::pair<const char *, RetryWait *> waits[] = {{"the program's wait", &programWait},
                                                          {"the teacher tools' wait", &teacherToolsWait}};
    for (const auto &[name, waiting] : waits) {
        SCOPED_TRACE(name);
        // Over ten deletions, so that a single slow turn on a busy machine does not decide: a wait
        // in the queue lets a few appends go first each time, a look every 10 ms hundreds.
        qint64 appendsFirst = 0;
        for (int d = 0; d < 10; ++d) {
            before = records();
            ASSERT_TRUE(testing_support::succeeded(deleteRecord(path, 1, {}, *waiting, &probe), &error))
                << error.toStdString();
            appendsFirst += atLock - before;
        }
        EXPECT_LE(appendsFirst, 250);
    }
    writeBytes(stop, "stop");
    for (auto &w : writers)
        EXPECT_EQ(w->exitCode(), 0);
}
