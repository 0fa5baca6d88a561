// Benchmarks of the results file: the statistics every screen recomputes, and appends from several
// processes at once.
//
//   bench_records                      runs both
//   bench_records --append-child ...   (internal) one appending process of the contention benchmark

#include "app/Services.h"
#include "platform/Clock.h"
#include "platform/DateSerial.h"
#include "platform/FileLock.h"
#include "platform/MediaLayer.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "platform/RandomSource.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "startup/AppState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

struct QuietMessages : platform::MessageBoxes
{
    void show(const QString &, const QString &text, Icon) override { qWarning("%s", qPrintable(text)); }
    bool ask(const QString &, const QString &) override { return false; }
};
struct NoEnd : platform::ProgramEnd
{
    void endProgram(int) override { std::abort(); }
};
struct NoMedia : platform::MediaLayer
{
    int sendCommand(const QString &) override { return 0; }
    QString errorText(int) const override { return {}; }
};

struct BenchServices
{
    platform::SystemClock clock;
    platform::SeededRandom random{1};
    QuietMessages messages;
    platform::ProcessLauncher launcher;
    NoEnd end;
    NoMedia media;
    platform::ResponsiveWait wait;
    platform::NoOutputDialogs outputDialogs;
    Services services{clock, random, messages, launcher, end, media, wait, outputDialogs};
};

// A school's file after a long while: 100000 runs of 5000 students on the even levels over 90 days.
struct StatisticsSetup
{
    QTemporaryDir dir;
    BenchServices bench;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();

    StatisticsSetup()
    {
        state->settings.dataFolder = dir.path() + u'/';
        for (int level = 1; level <= 20; ++level) {
            state->standards.targetTime[level] = 200 + 10 * level;
            state->standards.pointMultiplier[level] = 1 + level / 8;
            state->standards.clearCount[level] = 3;
            state->standards.clearPoints[level] = 30;
            state->standards.passPeriodDays[level] = 30;
            state->standards.overPracticePeriodDays[level] = 1;
            state->standards.overPracticeCountLimit[level] = 8;
        }
        QRandomGenerator random(42);
        const double today = platform::dateSerial(QDate::currentDate());
        QList<records::ResultRecord> list;
        list.reserve(100000);
        for (int i = 0; i < 100000; ++i) {
            const int level = 2 * (1 + int(random.bounded(10)));
            const qint32 time =
                random.bounded(30) == 0 ? records::kTimeOut : qint32(100 + random.bounded(600));
            list.append(records::newRecord(today - 89 + i * 90 / 100000, random.bounded(1.0),
                                           qint16(1 + random.bounded(5000)), qint16(level), time,
                                           QStringLiteral("24601")));
        }
        if (const app::Status failed = records::appendRecords(path(), list, bench.wait))
            qFatal("%s", qPrintable(failed->text));
    }
    QString path() const { return records::resultsFilePath(state->settings.dataFolder); }
};

// What any recomputation must at least do: read the same bytes and clear the same arrays.
void floorWork(const QString &path, AppState &state, QByteArray &buffer)
{
    platform::LockedFile file;
    file.open(path, platform::LockedFile::Access::Read);
    const qint64 total = file.size() / records::kRecordSize;
    const qint64 first = std::max<qint64>(0, total - records::kRecordWindow);
    buffer.resize((total - first) * records::kRecordSize);
    file.readAt(first * records::kRecordSize, buffer.data(), buffer.size());
    benchmark::DoNotOptimize(buffer.data());
    records::clearStatisticSums(state.statistics);
    state.results.personalBest.fill(records::kTimeOut);
    std::fill(state.results.hasResults.begin(), state.results.hasResults.end(), 0);
    benchmark::ClobberMemory();
}

void BM_ComputeStatistics(benchmark::State &bm)
{
    static StatisticsSetup setup;
    AppState &state = *setup.state;
    QByteArray buffer;
    double fullSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : bm) {
        const auto a = Clock::now();
        floorWork(setup.path(), state, buffer);
        const auto b = Clock::now();
        records::computeStatistics({state.settings, state.catalogue}, state.standards, state.results,
                                   state.statistics, setup.bench.services);
        benchmark::ClobberMemory();
        const auto c = Clock::now();
        const double full = std::chrono::duration<double>(c - b).count();
        floorSeconds += std::chrono::duration<double>(b - a).count();
        fullSeconds += full;
        bm.SetIterationTime(full);
    }
    if (state.results.recordCount != records::kRecordWindow)
        bm.SkipWithError("the window was not used");
    bm.counters["records"] = state.results.recordCount;
    bm.counters["floor_ms"] = benchmark::Counter(floorSeconds * 1000.0 / double(bm.iterations()));
    bm.counters["ratio_to_floor"] = benchmark::Counter(fullSeconds / floorSeconds);
}
BENCHMARK(BM_ComputeStatistics)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One appending process: waits for the go file, appends its records and writes each append's time in
// nanoseconds to its own file.
int appendChild(const QString &dataFolder, int writer, int count, const QString &goFile,
                const QString &timesFile)
{
    BenchServices bench;
    auto state = std::make_unique<AppState>();
    state->settings.dataFolder = dataFolder;
    state->settings.schoolCode = QStringLiteral("24601");
    state->run.studentNumber = qint16(writer);
    state->run.currentLevel = 2;
    while (!QFile::exists(goFile))
        QThread::usleep(200);
    std::vector<qint64> times;
    times.reserve(count);
    for (int i = 0; i < count; ++i) {
        state->lastDrill.resultTime = i;
        const auto start = Clock::now();
        if (const app::Status failed = records::appendResult(state->settings, bench.services, state->run,
                                                             state->lastDrill.resultTime)) {
            fprintf(stderr, "%s\n", qPrintable(failed->text));
            return 2;
        }
        times.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
    }
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
    if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

void BM_AppendUnderContention(benchmark::State &bm)
{
    constexpr int kProcesses = 4;
    constexpr int kEach = 1000;
    std::vector<qint64> all;
    double wallSeconds = 0;
    for (auto _ : bm) {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QString go = dir.filePath(QStringLiteral("go"));
        std::vector<pid_t> children;
        for (int w = 1; w <= kProcesses; ++w) {
            children.push_back(spawnSelf({"--append-child", folder.toLocal8Bit(), QByteArray::number(w),
                                          QByteArray::number(kEach), go.toLocal8Bit(),
                                          dir.filePath(QStringLiteral("times%1").arg(w)).toLocal8Bit()}));
        }
        QThread::msleep(300); // let every child start and wait at the line
        QFile(go).open(QIODevice::WriteOnly);
        const auto start = Clock::now();
        bool ok = true;
        for (pid_t pid : children) {
            int status = 0;
            ok &= pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        bm.SetIterationTime(wall);
        wallSeconds += wall;
        if (!ok || QFileInfo(records::resultsFilePath(folder)).size() !=
                       qint64(kProcesses) * kEach * records::kRecordSize) {
            bm.SkipWithError("an appending process failed or records are missing");
            return;
        }
        for (int w = 1; w <= kProcesses; ++w) {
            QFile in(dir.filePath(QStringLiteral("times%1").arg(w)));
            in.open(QIODevice::ReadOnly);
            const QByteArray bytes = in.readAll();
            const auto *t = reinterpret_cast<const qint64 *>(bytes.constData());
            all.insert(all.end(), t, t + bytes.size() / qsizetype(sizeof(qint64)));
        }
    }
    std::sort(all.begin(), all.end());
    auto percentile = [&](double p) {
        return all.empty() ? 0.0 : all[size_t(p * double(all.size() - 1))] / 1e6;
    };
    bm.counters["records_per_s"] = benchmark::Counter(double(all.size()) / wallSeconds);
    bm.counters["p50_ms"] = percentile(0.50);
    bm.counters["p99_ms"] = percentile(0.99);
    bm.counters["max_ms"] = percentile(1.0);
}
BENCHMARK(BM_AppendUnderContention)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 7 && std::strcmp(argv[1], "--append-child") == 0)
        return appendChild(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                           QString::fromLocal8Bit(argv[5]), QString::fromLocal8Bit(argv[6]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
