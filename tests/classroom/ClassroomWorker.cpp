// The program's own results-file code, run by the classroom check on each virtual PC against the
// results file on the SMB share (and on the host, to judge the file afterwards). One mode per call:
//
//   append <folder> <pc> <count> <times> [<first-done>]   appends <count> records as PC <pc> through the
//                                   program's appendResult; writes each append's time in ms to <times>
//                                   as it is done; when given, creates <first-done> after the first one.
//                                   With CLASSROOM_HISTORY=<k>, each append is followed by the answers of
//                                   <k> questions recorded in the answer history through recordAnswersIn
//   read <folder> <stop> <report> [<pause>]   reads the whole file through the program's reader until
//                                   <stop> exists, <pause> ms between reads; every record must be whole
//   hold <folder> append|change <ready>   takes the program's lock and, holding it, leaves half a
//                                   record at the end (append) or changes record 1 in place (change),
//                                   creates <ready> and waits to be killed
//   holdhistory <folder> <ready>    takes the answer history's lock, leaves half a record at its end,
//                                   creates <ready> and waits to be killed
//   holddelete <folder> <ready>     deletes record 1 through the program's deleteRecord and stops, holding
//                                   the lock, when part of the later records have been moved down
//   recover <folder>                finishes an interrupted deletion (recoverInterruptedRewrite)
//   holdkind <file> flock|posix|ofd <ready>   holds that kind of lock, as another program would
//   holdprogram <file> <ready>      holds the program's exclusive lock
//   probe <file>                    whether the program's lock can be taken now (prints the answer)
//   trykind <file> flock|posix|ofd  whether that kind of lock can be taken now, without waiting
//   deadline <file> <ms>            waits up to <ms> for the program's lock; prints the answer and the time
//   rawblock <file> <ms>            a blocking byte-range lock with a timer signal after <ms>: whether
//                                   the file system lets a signal end the wait
//   bothkinds <file>                a byte-range lock and flock() on one open file, as on a local disk
//   verify <file> <pc:count,...> <changed> [<pc:sequence>]   judges a results file after each PC
//                                   appended <count> records: lost, torn, doubled; the first <changed>
//                                   records are ones a PC was changing in place; the record pc:sequence
//                                   was deleted and must be gone. A whole record of a PC past its count
//                                   is an append that a deadline cut off after it wrote (counted apart)
//   verifyhistory <file> <pc:count,...> <k>   judges an answer history after each PC appended <count>
//                                   results with <k> answers each: lost, torn, doubled, partial tail
//   times <files...>                p50, p99 and max of append times
//   cut append <folder> <pc> <sequence> <step> <ready> <go>
//   cut change|delete <folder> <step> <ready> <go>
//                                   appends record <sequence> of PC <pc>, changes record 1 (its time
//                                   becomes 7777) or deletes record 1 through the program's own code,
//                                   stopping at <step> (a WriteStage or, for a deletion, a RewriteStage
//                                   by name): creates <ready> there and goes on once <go> exists (the
//                                   check pulls the PC's network cable meanwhile); prints what came of it
//
// No mode waits without end: every call ends by CLASSROOM_DEADLINE seconds (default 600) with exit
// status 124 and a line saying so, whatever it is waiting for.
//
// Every record a PC appends says who wrote it and which of its appends it was (student = PC, time =
// sequence number, level and time of day following from both), so that a record cut short or put
// together from two is seen as torn.

#include "app/Services.h"
#include "platform/Clock.h"
#include "platform/FileLock.h"
#include "platform/MediaLayer.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "platform/RandomSource.h"
#include "records/MistakeHistory.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/ResultsMaintenance.h"
#include "startup/AppState.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kDate = 46364.0;
const char *const kSchool = "24601";

int levelFor(int pc, int sequence)
{
    return 1 + (pc * 31 + sequence) % 35;
}
int secondsFor(int pc, int sequence)
{
    return pc * 5000 + sequence;
}
bool isWhole(const records::ResultRecord &r)
{
    return r.level == levelFor(r.student, r.time) &&
           std::lround(r.clock * 86400.0) == secondsFor(r.student, r.time) &&
           r.schoolCode == QLatin1String(kSchool) && r.date == kDate;
}

// The answers of PC <pc>'s question <n> (its append n / k, question n % k), told apart the same way:
// the idiom is the number, the level, the minute and the judgement follow from PC and number.
QString historyIdiom(int n)
{
    return QString::asprintf("%04d", n);
}
records::AnsweredQuestion historyAnswer(int pc, int n)
{
    records::AnsweredQuestion a;
    a.when = QDateTime(QDate(2026, 12, 8), QTime(0, 0)).addSecs(60LL * ((pc * 977 + n) % 100000));
    a.student = qint16(pc);
    a.level = qint16(2 * (1 + (pc * 7 + n) % 17));
    a.idiom = historyIdiom(n);
    a.readingFirstTry = true;
    a.idiomFirstTry = n % 3 != 0;
    a.wrongJudgements = a.idiomFirstTry ? 0 : 1;
    return a;
}
int historyPerAppend()
{
    return qEnvironmentVariableIntValue("CLASSROOM_HISTORY");
}

class FixedClock : public platform::Clock
{
public:
    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return 0; }
    QDateTime m_now;
};
struct PrintedMessages : platform::MessageBoxes
{
    void show(const QString &, const QString &text, Icon) override
    {
        fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool ask(const QString &, const QString &) override { return false; }
};
struct EndAtOnce : platform::ProgramEnd
{
    void endProgram(int code) override { std::_Exit(10 + code); }
};
struct NoMedia : platform::MediaLayer
{
    int sendCommand(const QString &) override { return 0; }
    QString errorText(int) const override { return {}; }
};
struct WorkerServices
{
    FixedClock clock;
    platform::SeededRandom random{1};
    PrintedMessages messages;
    platform::ProcessLauncher launcher;
    EndAtOnce end;
    NoMedia media;
    platform::ResponsiveWait wait;
    platform::NoOutputDialogs outputDialogs;
    Services services{clock, random, messages, launcher, end, media, wait, outputDialogs};
};

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QString arg(int argc, char **argv, int i)
{
    return i < argc ? QString::fromLocal8Bit(argv[i]) : QString();
}

int append(const QString &folder, int pc, int count, const QString &timesFile, const QString &firstDone)
{
    WorkerServices w;
    auto state = std::make_unique<AppState>();
    state->settings.dataFolder = folder;
    state->settings.schoolCode = QString::fromLatin1(kSchool);
    state->run.studentNumber = qint16(pc);
    // One line per append as soon as it is done, so that a run stopped at its deadline still says how
    // many records this PC appended.
    QFile times(timesFile);
    if (!times.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return 3;
    for (int sequence = 0; sequence < count; ++sequence) {
        w.clock.m_now = QDateTime(QDate(2026, 12, 8), QTime(0, 0).addSecs(secondsFor(pc, sequence)));
        state->run.currentLevel = qint16(levelFor(pc, sequence));
        state->lastDrill.resultTime = sequence;
        QElapsedTimer timer;
        timer.start();
        if (const app::Status failed =
                records::appendResult(state->settings, w.services, state->run, state->lastDrill.resultTime)) {
            fprintf(stderr, "PC %d append %d failed: %s\n", pc, sequence, qPrintable(failed->text));
            return 2;
        }
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        // The drill records the test's answers after its result, each under its own file's lock.
        if (const int k = historyPerAppend(); k > 0) {
            QList<records::AnsweredQuestion> answers;
            for (int i = 0; i < k; ++i)
                answers << historyAnswer(pc, sequence * k + i);
            if (const app::Status failed = records::recordAnswersIn(folder, answers, w.wait)) {
                fprintf(stderr, "PC %d answers %d failed: %s\n", pc, sequence, qPrintable(failed->text));
                return 2;
            }
        }
        const QByteArray line = QByteArray::number(ms, 'f', 3) + '\n';
        if (times.write(line) != line.size())
            return 3;
        if (sequence == 0 && !firstDone.isEmpty())
            writeText(firstDone, "done\n");
    }
    return 0;
}

int read(const QString &folder, const QString &stopFile, const QString &report, int pauseMs)
{
    const QString path = records::resultsFilePath(folder);
    const QString historyPath = records::mistakeHistoryPath(folder);
    qint64 reads = 0;
    qint64 historyReads = 0;
    qint64 torn = 0;
    qint64 errors = 0;
    qint64 most = 0;
    platform::ResponsiveWait wait;
    while (!QFile::exists(stopFile)) {
        const app::Result<QList<records::ResultRecord>> last = records::readLastRecords(path, 1000000, wait);
        if (!last) {
            ++errors;
            fprintf(stderr, "%s\n", qPrintable(last.failure().text));
            QThread::msleep(50);
            continue;
        }
        const QList<records::ResultRecord> &list = last.value();
        for (const records::ResultRecord &r : list)
            torn += isWhole(r) ? 0 : 1;
        most = std::max<qint64>(most, list.size());
        // The answer history too, once there is one: under its shared lock no PC is half way through
        // an answer, so every record is whole and nothing is left over.
        if (historyPerAppend() > 0 && QFile::exists(historyPath)) {
            const app::Result<records::MistakeHistory> history = records::readMistakeHistoryIn(folder, wait);
            if (!history.ok()) {
                ++errors;
                fprintf(stderr, "%s\n", qPrintable(history.failure().text));
            } else {
                torn += history.value().tornBytes() > 0 ? 1 : 0;
                for (qint64 i = 0; i < history.value().size(); ++i) {
                    const records::AnsweredQuestion a = history.value().answer(i);
                    torn += records::encodeAnswer(historyAnswer(a.student, a.idiom.toInt())) ==
                                    QByteArray(history.value().record(i), records::kHistoryRecordSize)
                                ? 0
                                : 1;
                }
                ++historyReads;
            }
        }
        ++reads;
        QThread::msleep(pauseMs);
    }
    writeText(report,
              QStringLiteral("reads %1 torn %2 errors %3 most %4%5\n")
                  .arg(reads)
                  .arg(torn)
                  .arg(errors)
                  .arg(most)
                  .arg(historyReads ? QStringLiteral(" history reads %1").arg(historyReads) : QString())
                  .toLatin1());
    return torn == 0 && errors == 0 && reads > 0 ? 0 : 4;
}

[[noreturn]] void waitToBeKilled()
{
    for (;;)
        pause();
}

int hold(const QString &folder, const QString &what, const QString &ready)
{
    const QString path = records::resultsFilePath(folder);
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWriteCreate) ||
        file.lock(platform::LockMode::Exclusive, 60000) != platform::LockResult::Locked) {
        fprintf(stderr, "cannot lock %s: %s\n", qPrintable(path), qPrintable(file.errorDescription()));
        return 5;
    }
    const qint64 length = file.size();
    if (what == QLatin1String("append")) {
        // A PC that goes down in the middle of its write: half of a record of PC 99.
        const QByteArray record = records::encodeRecord(records::newRecord(kDate, 0.5, 99, 2, 1, QString()));
        file.writeAt(length / records::kRecordSize * records::kRecordSize, record.constData(), 22);
    } else {
        // The teacher's change of record 1 (time 1 becomes 7777), written but not yet let go.
        char bytes[records::kRecordSize];
        if (length < records::kRecordSize || !file.readAt(0, bytes, records::kRecordSize))
            return 6;
        records::ResultRecord record = records::decodeRecord(bytes);
        record.time = 7777;
        const QByteArray changed = records::encodeRecord(record);
        file.writeAt(0, changed.constData(), changed.size());
    }
    file.flushToDisk();
    writeText(ready, "ready\n");
    waitToBeKilled();
}

int holdHistory(const QString &folder, const QString &ready)
{
    const QString path = records::mistakeHistoryPath(folder);
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWriteCreate) ||
        file.lock(platform::LockMode::Exclusive, 60000) != platform::LockResult::Locked) {
        fprintf(stderr, "cannot lock %s: %s\n", qPrintable(path), qPrintable(file.errorDescription()));
        return 5;
    }
    // A PC that goes down in the middle of recording: the header when there is none, then half of an
    // answer of PC 99.
    qint64 length = records::lockedLength(file);
    if (length == 0) {
        const QByteArray header = records::historyHeader();
        file.writeAt(0, header.constData(), header.size());
        length = header.size();
    }
    const QByteArray record = records::encodeAnswer(historyAnswer(99, 0));
    file.writeAt(length, record.constData(), records::kHistoryRecordSize / 2);
    file.flushToDisk();
    writeText(ready, "ready\n");
    waitToBeKilled();
}

int holdDelete(const QString &folder, const QString &ready)
{
    platform::ResponsiveWait wait;
    records::RewriteProbe probe;
    probe.pieceBytes = 2 * records::kRecordSize;
    probe.reached = [&](records::RewriteStage stage) {
        if (stage == records::RewriteStage::RecordsMoved) {
            writeText(ready, "ready\n");
            waitToBeKilled();
        }
    };
    const app::Status deleted = records::deleteRecord(records::resultsFilePath(folder), 1, {}, wait, &probe);
    fprintf(stderr, "the deletion ended without stopping: %s\n", deleted ? qPrintable(deleted->text) : "");
    return 6;
}

int recover(const QString &folder)
{
    platform::ResponsiveWait wait;
    const app::Result<records::Recovery> result =
        records::recoverInterruptedRewrite(records::resultsFilePath(folder), wait);
    printf("%s%s\n",
           !result                                          ? "recovery failed: "
           : result.value() == records::Recovery::Completed ? "deletion completed from the recovery copy"
                                                            : "nothing to recover",
           result ? "" : qPrintable(result.failure().text));
    return result ? 0 : 1;
}

// Stops at the step named `wanted` (once): says so in `ready`, goes on once `go` exists.
void stopAt(const QString &name, const QString &wanted, const QString &ready, const QString &go,
            bool &stopped)
{
    if (stopped || name != wanted)
        return;
    stopped = true;
    writeText(ready, "ready\n");
    while (!QFile::exists(go))
        QThread::msleep(20);
}

const char *stageName(records::WriteStage stage)
{
    switch (stage) {
    case records::WriteStage::Locked:
        return "Locked";
    case records::WriteStage::LengthRead:
        return "LengthRead";
    case records::WriteStage::Written:
        return "Written";
    case records::WriteStage::Synced:
        return "Synced";
    }
    return "";
}

const char *stageName(records::RewriteStage stage)
{
    switch (stage) {
    case records::RewriteStage::Locked:
        return "Locked";
    case records::RewriteStage::CopyPart:
        return "CopyPart";
    case records::RewriteStage::CopyWritten:
        return "CopyWritten";
    case records::RewriteStage::RecordsMoved:
        return "RecordsMoved";
    case records::RewriteStage::VoidWritten:
        return "VoidWritten";
    case records::RewriteStage::Synced:
        return "Synced";
    case records::RewriteStage::Truncated:
        return "Truncated";
    case records::RewriteStage::CopyRemoved:
        return "CopyRemoved";
    }
    return "";
}

int cut(int argc, char **argv)
{
    const QString op = arg(argc, argv, 2);
    const QString folder = arg(argc, argv, 3);
    const QString path = records::resultsFilePath(folder);
    const int at = op == QLatin1String("append") ? 6 : 4;
    if (argc != at + 3)
        return 2;
    const QString step = arg(argc, argv, at);
    const QString ready = arg(argc, argv, at + 1);
    const QString go = arg(argc, argv, at + 2);
    bool stopped = false;
    const records::WriteProbe probe = [&](records::WriteStage stage) {
        stopAt(QLatin1String(stageName(stage)), step, ready, go, stopped);
    };
    platform::ResponsiveWait wait;
    app::Status failed;
    if (op == QLatin1String("append")) {
        const int pc = arg(argc, argv, 4).toInt();
        const int sequence = arg(argc, argv, 5).toInt();
        const records::ResultRecord record =
            records::newRecord(kDate, secondsFor(pc, sequence) / 86400.0, qint16(pc),
                               qint16(levelFor(pc, sequence)), sequence, QString::fromLatin1(kSchool));
        failed = records::appendRecords(path, {record}, wait, &probe);
    } else if (op == QLatin1String("change")) {
        const app::Result<QByteArray> opened = records::readRecord(path, 1, wait);
        if (!opened)
            return 6;
        const records::ResultRecord record = records::decodeRecord(opened.value().constData());
        failed = records::changeRecord(path, 1, opened.value(), record.student, 7777, wait, &probe);
    } else if (op == QLatin1String("delete")) {
        records::RewriteProbe rewrite;
        rewrite.pieceBytes = 10 * records::kRecordSize;
        rewrite.reached = [&](records::RewriteStage stage) {
            stopAt(QLatin1String(stageName(stage)), step, ready, go, stopped);
        };
        failed = records::deleteRecord(path, 1, {}, wait, &rewrite);
    } else {
        return 2;
    }
    if (!stopped)
        writeText(ready, "ready\n"); // never stop the check's wait for a step that did not come
    const QString error = failed ? failed->text : QString();
    printf("%s %s%s%s\n", qPrintable(op), failed ? "failed" : "done", error.isEmpty() ? "" : ": ",
           qPrintable(error.simplified()));
    return failed ? 1 : 0;
}

int holdKind(const QString &path, const QString &kind, const QString &ready)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666);
    if (fd < 0)
        return 5;
    int rc;
    if (kind == QLatin1String("flock")) {
        rc = ::flock(fd, LOCK_EX);
    } else {
        struct flock fl = {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        rc = ::fcntl(fd, kind == QLatin1String("posix") ? F_SETLKW : F_OFD_SETLKW, &fl);
    }
    if (rc != 0) {
        fprintf(stderr, "%s lock: %s\n", qPrintable(kind), strerror(errno));
        return 6;
    }
    writeText(ready, "ready\n");
    waitToBeKilled();
}

const char *answer(platform::LockResult result)
{
    return result == platform::LockResult::Locked        ? "locked"
           : result == platform::LockResult::HeldByOther ? "held-by-other"
                                                         : "failed";
}

int probe(const QString &path)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWriteCreate))
        return 5;
    printf("%s\n", answer(file.tryLock(platform::LockMode::Exclusive)));
    return 0;
}

int deadline(const QString &path, int ms)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWriteCreate))
        return 5;
    QElapsedTimer timer;
    timer.start();
    const platform::LockResult result = file.lock(platform::LockMode::Exclusive, ms);
    printf("%s after %lld ms\n", answer(result), static_cast<long long>(timer.elapsed()));
    return 0;
}

void onAlarm(int) {}

int rawBlock(const QString &path, int ms)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
    if (fd < 0)
        return 5;
    struct sigaction action = {};
    action.sa_handler = onAlarm;
    sigaction(SIGALRM, &action, nullptr); // no SA_RESTART: the signal ends the call
    struct itimerval timer = {};
    timer.it_value.tv_sec = ms / 1000;
    timer.it_value.tv_usec = (ms % 1000) * 1000;
    setitimer(ITIMER_REAL, &timer, nullptr);
    QElapsedTimer elapsed;
    elapsed.start();
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    const int rc = ::fcntl(fd, F_OFD_SETLKW, &fl);
    const int error = errno;
    printf("%s after %lld ms\n",
           rc == 0          ? "granted"
           : error == EINTR ? "interrupted"
                            : strerror(error),
           static_cast<long long>(elapsed.elapsed()));
    return 0;
}

int bothKinds(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666);
    if (fd < 0)
        return 5;
    struct flock fl = {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    const int byteRange = ::fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 0 : errno;
    const int flocked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    printf("byte-range %s, then flock on the same open file %s\n", byteRange ? strerror(byteRange) : "taken",
           flocked ? strerror(flocked) : "taken");
    return 0;
}

int holdProgram(const QString &path, const QString &ready)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWriteCreate) ||
        file.lock(platform::LockMode::Exclusive, 60000) != platform::LockResult::Locked) {
        fprintf(stderr, "cannot lock %s: %s\n", qPrintable(path), qPrintable(file.errorDescription()));
        return 5;
    }
    writeText(ready, "ready\n");
    waitToBeKilled();
}

int tryKind(const QString &path, const QString &kind)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0666);
    if (fd < 0)
        return 5;
    int rc;
    if (kind == QLatin1String("flock")) {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } else {
        struct flock fl = {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        rc = ::fcntl(fd, kind == QLatin1String("posix") ? F_SETLK : F_OFD_SETLK, &fl);
    }
    const int error = errno;
    printf("%s\n", rc == 0                              ? "taken"
                   : error == EAGAIN || error == EACCES ? "held-by-other"
                                                        : strerror(error));
    return 0;
}

// Ends the process when the deadline of CLASSROOM_DEADLINE seconds has passed, saying so.
void startWatchdog(const QString &mode)
{
    const int seconds = qEnvironmentVariableIsSet("CLASSROOM_DEADLINE")
                            ? qEnvironmentVariableIntValue("CLASSROOM_DEADLINE")
                            : 600;
    const QByteArray name = mode.toLocal8Bit();
    // The watchdog takes no signal: timer signals must reach the thread that waits for a lock.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    std::thread([seconds, name] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        printf("%s: timed out after %d s\n", name.constData(), seconds);
        fflush(stdout);
        std::_Exit(124);
    }).detach();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

// "pc:count,pc:count": the records each PC appended (sequences 0 to count - 1).
QMap<int, int> parseGroups(const QString &text)
{
    QMap<int, int> groups;
    for (const QString &group : text.split(u',', Qt::SkipEmptyParts))
        groups.insert(group.section(u':', 0, 0).toInt(), group.section(u':', 1).toInt());
    return groups;
}

int verify(const QString &path, const QMap<int, int> &groups, int changedAtStart, const QString &deleted)
{
    // "pc:sequence" of a record that was deleted and must be gone.
    const qint64 deletedKey = deleted.isEmpty() ? -1
                                                : deleted.section(u':', 0, 0).toLongLong() * 100000 +
                                                      deleted.section(u':', 1).toLongLong();
    QFile file(path);
    if (groups.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 5;
    }
    const QByteArray bytes = file.readAll();
    const qint64 total = bytes.size() / records::kRecordSize;
    QSet<qint64> seen;
    qint64 torn = 0;
    qint64 doubled = 0;
    qint64 beyond = 0;
    QByteArray changed;
    for (qint64 i = 0; i < total; ++i) {
        records::ResultRecord r = records::decodeRecord(bytes.constData() + i * records::kRecordSize);
        if (i < changedAtStart) {
            // A record a PC was changing in place when it went down: the old one or the new one.
            const bool isNew = r.time == 7777;
            if (isNew)
                r.time = 0;
            changed += QByteArray(", record ") + QByteArray::number(i + 1) +
                       (!isWhole(r) ? " torn"
                        : isNew     ? " changed"
                                    : " unchanged");
            torn += isWhole(r) ? 0 : 1;
            // A record of a PC counted here stays that PC's record, whether changed or not.
            if (isWhole(r) && groups.contains(r.student) && r.time >= 0 && r.time < groups.value(r.student))
                seen.insert(qint64(r.student) * 100000 + r.time);
            continue;
        }
        if (!isWhole(r) || !groups.contains(r.student) || r.time < 0) {
            ++torn;
            continue;
        }
        if (r.time >= groups.value(r.student)) {
            ++beyond;
            continue;
        }
        const qint64 key = qint64(r.student) * 100000 + r.time;
        if (seen.contains(key))
            ++doubled;
        seen.insert(key);
    }
    qint64 expected = 0;
    for (const int count : groups)
        expected += count;
    const bool deletedThere = deletedKey >= 0 && seen.contains(deletedKey);
    if (deletedKey >= 0)
        --expected;
    const qint64 lost = expected - (seen.size() - (deletedThere ? 1 : 0));
    const QByteArray cutOff =
        beyond ? ", " + QByteArray::number(beyond) + " more from appends cut off by their deadline"
               : QByteArray();
    printf("records %lld, lost %lld, torn %lld, doubled %lld, partial tail %lld bytes%s%s%s\n",
           static_cast<long long>(total), static_cast<long long>(lost), static_cast<long long>(torn),
           static_cast<long long>(doubled), static_cast<long long>(bytes.size() % records::kRecordSize),
           changed.constData(), cutOff.constData(),
           deletedKey < 0 ? ""
           : deletedThere ? ", the deleted record is still there"
                          : ", the deleted record is gone");
    return lost == 0 && torn == 0 && doubled == 0 && !deletedThere ? 0 : 1;
}

int verifyHistory(const QString &path, const QMap<int, int> &groups, int perAppend)
{
    QFile file(path);
    if (groups.isEmpty() || perAppend < 1 || !file.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 5;
    }
    const QByteArray bytes = file.readAll();
    const records::HistoryHeader header = records::readHistoryHeader(bytes.constData(), bytes.size());
    if (header.state != records::HistoryHeader::State::Good ||
        header.recordSize != records::kHistoryRecordSize) {
        printf("answer history: no good header (%s)\n", qPrintable(header.problem));
        return 1;
    }
    const qint64 body = bytes.size() - header.headerSize;
    const qint64 total = body / header.recordSize;
    QSet<qint64> seen;
    qint64 torn = 0;
    qint64 doubled = 0;
    qint64 beyond = 0;
    for (qint64 i = 0; i < total; ++i) {
        const char *record = bytes.constData() + header.headerSize + i * header.recordSize;
        const records::AnsweredQuestion a = records::decodeAnswer(record);
        const int n = a.idiom.toInt();
        if (!groups.contains(a.student) || a.idiom != historyIdiom(n) ||
            records::encodeAnswer(historyAnswer(a.student, n)) != QByteArray(record, header.recordSize)) {
            ++torn;
            continue;
        }
        if (n >= groups.value(a.student) * perAppend) {
            ++beyond;
            continue;
        }
        const qint64 key = qint64(a.student) * 1000000 + n;
        if (seen.contains(key))
            ++doubled;
        seen.insert(key);
    }
    qint64 expected = 0;
    for (const int count : groups)
        expected += qint64(count) * perAppend;
    const qint64 lost = expected - seen.size();
    const qint64 tail = body % header.recordSize;
    printf("answer history: answers %lld, lost %lld, torn %lld, doubled %lld, partial tail %lld bytes%s\n",
           static_cast<long long>(total), static_cast<long long>(lost), static_cast<long long>(torn),
           static_cast<long long>(doubled), static_cast<long long>(tail),
           beyond ? qPrintable(QStringLiteral(", %1 more from appends cut off by their deadline").arg(beyond))
                  : "");
    return lost == 0 && torn == 0 && doubled == 0 && tail == 0 ? 0 : 1;
}

int times(int argc, char **argv, int from)
{
    std::vector<double> all;
    for (int i = from; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly))
            return 5;
        for (const QByteArray &line : file.readAll().split('\n'))
            if (!line.isEmpty())
                all.push_back(line.toDouble());
    }
    if (all.empty())
        return 5;
    std::sort(all.begin(), all.end());
    const auto at = [&](double p) { return all[size_t(std::ceil(p * double(all.size())) - 1)]; };
    printf("appends %zu: p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", all.size(), at(0.50), at(0.99),
           all.back());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QString mode = arg(argc, argv, 1);
    const auto number = [&](int i) { return arg(argc, argv, i).toInt(); };
    setvbuf(stdout, nullptr, _IOLBF, 0);
    startWatchdog(mode);
    if (mode == QLatin1String("append") && argc >= 6)
        return append(arg(argc, argv, 2), number(3), number(4), arg(argc, argv, 5), arg(argc, argv, 6));
    if (mode == QLatin1String("read") && (argc == 5 || argc == 6))
        return read(arg(argc, argv, 2), arg(argc, argv, 3), arg(argc, argv, 4), number(5));
    if (mode == QLatin1String("hold") && argc == 5)
        return hold(arg(argc, argv, 2), arg(argc, argv, 3), arg(argc, argv, 4));
    if (mode == QLatin1String("holdkind") && argc == 5)
        return holdKind(arg(argc, argv, 2), arg(argc, argv, 3), arg(argc, argv, 4));
    if (mode == QLatin1String("holdprogram") && argc == 4)
        return holdProgram(arg(argc, argv, 2), arg(argc, argv, 3));
    if (mode == QLatin1String("trykind") && argc == 4)
        return tryKind(arg(argc, argv, 2), arg(argc, argv, 3));
    if (mode == QLatin1String("probe") && argc == 3)
        return probe(arg(argc, argv, 2));
    if (mode == QLatin1String("deadline") && argc == 4)
        return deadline(arg(argc, argv, 2), number(3));
    if (mode == QLatin1String("rawblock") && argc == 4)
        return rawBlock(arg(argc, argv, 2), number(3));
    if (mode == QLatin1String("bothkinds") && argc == 3)
        return bothKinds(arg(argc, argv, 2));
    if (mode == QLatin1String("verify") && (argc == 5 || argc == 6))
        return verify(arg(argc, argv, 2), parseGroups(arg(argc, argv, 3)), number(4), arg(argc, argv, 5));
    if (mode == QLatin1String("verifyhistory") && argc == 5)
        return verifyHistory(arg(argc, argv, 2), parseGroups(arg(argc, argv, 3)), number(4));
    if (mode == QLatin1String("holdhistory") && argc == 4)
        return holdHistory(arg(argc, argv, 2), arg(argc, argv, 3));
    if (mode == QLatin1String("holddelete") && argc == 4)
        return holdDelete(arg(argc, argv, 2), arg(argc, argv, 3));
    if (mode == QLatin1String("recover") && argc == 3)
        return recover(arg(argc, argv, 2));
    if (mode == QLatin1String("cut") && argc >= 3)
        return cut(argc, argv);
    if (mode == QLatin1String("times") && argc >= 3)
        return times(argc, argv, 2);
    fprintf(stderr, "usage: see the top of ClassroomWorker.cpp\n");
    return 2;
}
