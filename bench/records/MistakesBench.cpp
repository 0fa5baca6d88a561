// Benchmarks of the answer history: recording one answer as the drill does (the lock, the write and
// the flush to the disk), reading a history of a million answers and ranking one student's weak
// idioms, and the class view of 5000 students over the same history. The files lie beside the
// program (the build folder, a real disk), not in a temporary folder that may live in memory.

#include "records/MistakeHistory.h"
#include "records/WeakIdioms.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAnswers = 1000000;
constexpr int kStudents = 5000;
constexpr int kIdioms = 200;
const QDateTime kNow(QDate(2026, 12, 8), QTime(16, 0));

// Never asked to wait: the benchmark is alone with its file.
struct NoWait : records::RetryWait
{
    bool wait(int, const std::function<bool()> &ready) override { return ready && ready(); }
};

QString benchFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

// Two hundred idioms of four different characters each.
QString idiomNumber(int i)
{
    QString idiom;
    for (int k = 0; k < 4; ++k)
        idiom += QChar(char16_t(0x4e00 + i * 4 + k));
    return idiom;
}

// A history of a million answers over ten years: every student answers every idiom now and then, a
// quarter of the answers wrong.
struct MillionAnswers
{
    QTemporaryDir dir{benchFolder() + QStringLiteral("/mistakes-XXXXXX")};
    QString path = records::mistakeHistoryPath(dir.path() + u'/');

    MillionAnswers()
    {
        QByteArray bytes = records::historyHeader();
        bytes.reserve(records::kHistoryHeaderSize + qsizetype(kAnswers) * records::kHistoryRecordSize);
        records::AnsweredQuestion a;
        a.level = 2;
        QByteArray wrong[kIdioms];
        QByteArray right[kIdioms];
        for (int i = 0; i < kIdioms; ++i) {
            a.when = kNow;
            a.idiom = idiomNumber(i);
            a.readingFirstTry = a.idiomFirstTry = true;
            a.wrongJudgements = 0;
            right[i] = records::encodeAnswer(a);
            a.readingFirstTry = false;
            a.wrongJudgements = 1;
            wrong[i] = records::encodeAnswer(a);
        }
        const quint32 last = records::minuteOf(kNow);
        quint64 seed = 88172645463325252ULL;
        for (int n = 0; n < kAnswers; ++n) {
            seed ^= seed << 13;
            seed ^= seed >> 7;
            seed ^= seed << 17;
            const int idiom = int(seed % kIdioms);
            QByteArray record = (seed >> 20) % 4 == 0 ? wrong[idiom] : right[idiom];
            const quint32 minute = last - quint32(qint64(kAnswers - n) * 5256); // ten years, in order
            const qint16 student = qint16(1 + (seed >> 32) % kStudents);
            qToLittleEndian<quint32>(minute, record.data() + records::kHistoryWhenOffset);
            qToLittleEndian<qint16>(student, record.data() + records::kHistoryStudentOffset);
            bytes += record;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }
};

MillionAnswers &millionAnswers()
{
    static MillionAnswers history;
    return history;
}

void BM_RecordOneAnswer(benchmark::State &state)
{
    QTemporaryDir dir(benchFolder() + QStringLiteral("/mistakes-XXXXXX"));
    const QString path = records::mistakeHistoryPath(dir.path() + u'/');
    NoWait wait;
    records::AnsweredQuestion a;
    a.when = kNow;
    a.student = 12;
    a.level = 4;
    a.idiom = QStringLiteral("一石二鳥");
    a.readingFirstTry = false; // one wrong reading, then the idiom right
    a.idiomFirstTry = true;
    a.wrongJudgements = 1;
    for (auto _ : state) {
        const auto start = Clock::now();
        const app::Status failed = records::appendAnswers(path, {a}, wait);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (failed)
            state.SkipWithError(qPrintable(failed->text));
    }
}
BENCHMARK(BM_RecordOneAnswer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(500);

void BM_ReadAMillionAnswersAndRankOneStudent(benchmark::State &state)
{
    const QString path = millionAnswers().path;
    NoWait wait;
    int found = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const app::Result<records::MistakeHistory> history = records::readMistakeHistory(path, wait);
        if (!history) {
            state.SkipWithError(qPrintable(history.failure().text));
            break;
        }
        const QList<records::WeakIdiom> weak = records::weakIdioms(history.value(), 1234, kNow);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        found = int(weak.size());
        benchmark::DoNotOptimize(weak);
    }
    state.counters["weak"] = found;
}
BENCHMARK(BM_ReadAMillionAnswersAndRankOneStudent)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

void BM_ClassViewOf5000Students(benchmark::State &state)
{
    const QString path = millionAnswers().path;
    NoWait wait;
    QList<int> students;
    for (int s = 1; s <= kStudents; ++s)
        students << s;
    int found = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const app::Result<records::MistakeHistory> history = records::readMistakeHistory(path, wait);
        if (!history) {
            state.SkipWithError(qPrintable(history.failure().text));
            break;
        }
        const QList<records::ClassIdiom> view = records::classWeakIdioms(history.value(), students);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        found = view.isEmpty() ? 0 : view.first().mistakes;
        benchmark::DoNotOptimize(view);
    }
    state.counters["top_mistakes"] = found;
}
BENCHMARK(BM_ClassViewOf5000Students)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
