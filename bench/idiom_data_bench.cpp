// Reading the idiom data file: the drill reads, restores and splits the whole file every time its form
// is shown. The floor is what any reader pays: reading the file's bytes and converting them from code
// page 932. The "ratio" counter is the reader's time over the floor's, both measured in the same run.
#include "drill/IdiomData.h"
#include "drill/IdiomKeys.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

// A file of 1000 lines like a school's: range, idiom, reading, a meaning of 20 to 40 characters.
struct DataFile
{
    QTemporaryDir dir;
    QString nominal;
    QString stored;

    DataFile()
    {
        nominal = dir.filePath(QStringLiteral("四字02.CSV"));
        stored = idioms::storedFilePath(nominal);
        const QString kanji =
            QStringLiteral("一石二鳥十人色以心伝温故知新臨機応変自業得絶体命油断大敵三寒四日進月歩");
        const QString kana =
            QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも");
        QStringList lines;
        for (int i = 0; i < 1000; ++i) {
            QString idiom;
            for (int k = 0; k < 4; ++k)
                idiom.append(kanji.at((i * 7 + k * 13) % kanji.size()));
            const QString reading = kana.mid(i % 20, 8);
            QString meaning;
            for (int k = 0; k < 20 + i % 21; ++k)
                meaning.append(kana.at((i + k * 3) % kana.size()));
            QString line = QStringLiteral("%1,%2,%3,%4").arg(i % 10 + 1).arg(idiom, reading, meaning) +
                           QString::fromUtf16(idioms::kEndMarker);
            while (line.size() < 100)
                line.append(u'＊');
            idioms::applySwaps(line, idioms::SwapDirection::Scramble);
            lines.append(line);
        }
        if (const platform::Status written = platform::writeText932(stored, lines)) {
            std::fprintf(stderr, "%s\n", qPrintable(written->text));
            std::abort();
        }
    }
};

DataFile &dataFile()
{
    static DataFile file;
    return file;
}

// Reading the bytes and converting them, nothing more.
qsizetype readAndDecode(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return platform::decode932(file.readAll()).size();
}

void BM_ReadBytesAndDecode(benchmark::State &state)
{
    const QString path = dataFile().stored;
    for (auto _ : state)
        benchmark::DoNotOptimize(readAndDecode(path));
}

void BM_ReadIdiomData(benchmark::State &state)
{
    const DataFile &file = dataFile();
    using Clock = std::chrono::steady_clock;
    double readerSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        drill::IdiomData data;
        const app::Status failed = idioms::readIdiomData(file.nominal, data);
        if (failed || data.idiomRowCount != 1000) {
            state.SkipWithError(failed ? qPrintable(failed->text) : "the idiom data file has not 1000 rows");
            break;
        }
        benchmark::DoNotOptimize(data);
        const auto read = Clock::now();
        benchmark::DoNotOptimize(readAndDecode(file.stored));
        const auto floor = Clock::now();
        const double seconds = std::chrono::duration<double>(read - start).count();
        readerSeconds += seconds;
        floorSeconds += std::chrono::duration<double>(floor - read).count();
        state.SetIterationTime(seconds);
    }
    if (floorSeconds > 0) {
        const double n = double(state.iterations());
        state.counters["reader_ms"] = 1000.0 * readerSeconds / n;
        state.counters["floor_ms"] = 1000.0 * floorSeconds / n;
        state.counters["ratio"] = readerSeconds / floorSeconds;
    }
}

} // namespace

BENCHMARK(BM_ReadBytesAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadIdiomData)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
