// How fairly writers that meet a held lock get their turn: N processes append to one results file
// back to back, and every append's time (from the first try for the lock until the record is on the
// disk and the file closed) is kept. Two ways of waiting, in the same run:
//
//   poll   the wait the program had before: try the lock, sleep 10 ms, try again
//   kernel the program's wait now (appendRecords): a blocking lock in the kernel with a deadline
//
// The counters are the 50th and 99th percentile and the longest append over all writers, in ms.
//
// A teacher's deletion among such appenders (they append back to back until the deletions are done):
// the time from its first try for the lock until it holds it, and how many appends went first, with
// the deletion's earlier wait (try the lock, sleep 10 ms) and with its wait now (deleteRecord, which
// queues in the kernel as the appends do).
//
//   bench_lock_wait                          runs both for 4 and 16 writers, and the deletion among 4
//   bench_lock_wait --child ...              (internal) one writer

#include "platform/FileLock.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/ResultsMaintenance.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEach = 150;

enum Strategy { Poll = 0, Kernel = 1 };

// The earlier wait, step by step as it was: an open-file-description lock tried every 10 ms.
bool appendPolling(const QString &path, const QByteArray &record)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    while (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno != EAGAIN && errno != EACCES && errno != EINTR) {
            ::close(fd);
            return false;
        }
        QThread::msleep(10);
    }
    const off_t length = ::lseek(fd, 0, SEEK_END);
    const bool ok = length >= 0 &&
                    ::pwrite(fd, record.constData(), size_t(record.size()),
                             off_t(length / records::kRecordSize * records::kRecordSize)) == record.size() &&
                    ::fsync(fd) == 0;
    fl.l_type = F_UNLCK;
    ::fcntl(fd, F_OFD_SETLK, &fl);
    ::close(fd);
    return ok;
}

int child(Strategy strategy, const QString &folder, int writer, const QString &goFile,
          const QString &timesFile)
{
    const bool untilStopped = writer < 0; // an appender for the deletions, until the stop file exists
    writer = std::abs(writer);
    const QString path = records::resultsFilePath(folder);
    const QByteArray record = records::encodeRecord(
        records::newRecord(46364.0, 0.5, qint16(writer), 2, 100, QStringLiteral("24601")));
    const QList<records::ResultRecord> list{records::decodeRecord(record.constData())};
    platform::ResponsiveWait wait;
    while (!QFile::exists(goFile))
        QThread::usleep(200);
    std::vector<qint64> times;
    times.reserve(kEach);
    for (int i = 0; untilStopped ? !QFile::exists(timesFile) : i < kEach; ++i) {
        const auto start = Clock::now();
        const bool ok =
            strategy == Poll ? appendPolling(path, record) : !records::appendRecords(path, list, wait);
        if (!ok)
            return 2;
        if (!untilStopped)
            times.push_back(
                std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
    }
    if (untilStopped)
        return 0;
    QFile out(timesFile);
    if (!out.open(QIODevice::WriteOnly))
        return 3;
    out.write(reinterpret_cast<const char *>(times.data()), qint64(times.size() * sizeof(qint64)));
    return 0;
}

pid_t spawnSelf(const std::vector<QByteArray> &arguments)
{
    std::vector<char *> argv;
    static char self[] = "/proc/self/exe";
    argv.push_back(self);
    for (const QByteArray &a : arguments)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

void BM_AppendWaits(benchmark::State &bm)
{
    const Strategy strategy = Strategy(bm.range(0));
    const int writers = int(bm.range(1));
    std::vector<qint64> all;
    for (auto _ : bm) {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString go = dir.filePath(QStringLiteral("go"));
        std::vector<pid_t> children;
        for (int w = 1; w <= writers; ++w)
            children.push_back(spawnSelf({"--child", QByteArray::number(int(strategy)), folder.toLocal8Bit(),
                                          QByteArray::number(w), go.toLocal8Bit(),
                                          dir.filePath(QStringLiteral("times%1").arg(w)).toLocal8Bit()}));
        QThread::msleep(300); // every writer started and waiting at the line
        QFile(go).open(QIODevice::WriteOnly);
        const auto start = Clock::now();
        bool ok = true;
        for (pid_t pid : children) {
            int status = 0;
            ok &= pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        bm.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!ok || QFileInfo(records::resultsFilePath(folder)).size() !=
                       qint64(writers) * kEach * records::kRecordSize) {
            bm.SkipWithError("a writer failed or records are missing");
            return;
        }
        for (int w = 1; w <= writers; ++w) {
            QFile in(dir.filePath(QStringLiteral("times%1").arg(w)));
            in.open(QIODevice::ReadOnly);
            const QByteArray bytes = in.readAll();
            const auto *t = reinterpret_cast<const qint64 *>(bytes.constData());
            all.insert(all.end(), t, t + bytes.size() / qsizetype(sizeof(qint64)));
        }
    }
    std::sort(all.begin(), all.end());
    const auto percentile = [&](double p) {
        return all.empty() ? 0.0 : double(all[size_t(p * double(all.size() - 1))]) / 1e6;
    };
    bm.SetLabel(strategy == Poll ? "poll every 10 ms (before)" : "blocking lock in the kernel (now)");
    bm.counters["p50_ms"] = percentile(0.50);
    bm.counters["p99_ms"] = percentile(0.99);
    bm.counters["max_ms"] = percentile(1.0);
}
BENCHMARK(BM_AppendWaits)
    ->ArgsProduct({{Poll, Kernel}, {4, 16}})
    ->ArgNames({"kernel", "writers"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The deletion's earlier wait for the lock: a try every 10 ms on its own open file.
void lockPolling(const QString &path)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWrite))
        return;
    while (file.tryLock(platform::LockMode::Exclusive) == platform::LockResult::HeldByOther)
        QThread::msleep(10);
}

void BM_DeletionAmongAppends(benchmark::State &bm)
{
    const Strategy strategy = Strategy(bm.range(0));
    const int writers = int(bm.range(1));
    constexpr int kDeletions = 20;
    std::vector<double> waits;
    std::vector<double> appendsFirst;
    platform::ResponsiveWait wait;
    for (auto _ : bm) {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString path = records::resultsFilePath(folder);
        const QString go = dir.filePath(QStringLiteral("go"));
        const QString stop = dir.filePath(QStringLiteral("stop"));
        const auto records = [&] { return QFileInfo(path).size() / records::kRecordSize; };
        std::vector<pid_t> children;
        for (int w = 1; w <= writers; ++w)
            children.push_back(spawnSelf({"--child", QByteArray::number(int(Kernel)), folder.toLocal8Bit(),
                                          QByteArray::number(-w), go.toLocal8Bit(), stop.toLocal8Bit()}));
        QFile(go).open(QIODevice::WriteOnly);
        while (records() < 200)
            QThread::msleep(1);
        bool ok = true;
        for (int d = 0; d < kDeletions && ok; ++d) {
            const qint64 before = records();
            const auto start = Clock::now();
            auto locked = start;
            qint64 atLock = before;
            records::RewriteProbe probe;
            probe.reached = [&](records::RewriteStage stage) {
                if (stage == records::RewriteStage::Locked) {
                    locked = Clock::now();
                    atLock = records();
                }
            };
            if (strategy == Poll) {
                lockPolling(path); // then deleted as now, from the moment the poll found the lock free
                locked = Clock::now();
                atLock = records();
            }
            ok = !records::deleteRecord(path, 1, {}, wait, &probe);
            waits.push_back(std::chrono::duration<double, std::milli>(locked - start).count());
            appendsFirst.push_back(double(atLock - before));
        }
        QFile(stop).open(QIODevice::WriteOnly);
        for (pid_t pid : children) {
            int status = 0;
            ok &= pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        if (!ok) {
            bm.SkipWithError("a deletion or an appender failed");
            return;
        }
    }
    std::sort(waits.begin(), waits.end());
    std::sort(appendsFirst.begin(), appendsFirst.end());
    const auto at = [](const std::vector<double> &v, double p) {
        return v.empty() ? 0.0 : v[size_t(p * double(v.size() - 1))];
    };
    bm.SetLabel(strategy == Poll ? "deletion polls every 10 ms (before)"
                                 : "deletion waits in the kernel (now)");
    bm.counters["wait_p50_ms"] = at(waits, 0.5);
    bm.counters["wait_max_ms"] = at(waits, 1.0);
    bm.counters["appends_first_p50"] = at(appendsFirst, 0.5);
    bm.counters["appends_first_max"] = at(appendsFirst, 1.0);
}
BENCHMARK(BM_DeletionAmongAppends)
    ->ArgsProduct({{Poll, Kernel}, {4}})
    ->ArgNames({"kernel", "writers"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 7 && std::strcmp(argv[1], "--child") == 0)
        return child(Strategy(std::atoi(argv[2])), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]),
                     QString::fromLocal8Bit(argv[5]), QString::fromLocal8Bit(argv[6]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
