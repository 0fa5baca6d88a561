#include "records/ResultsFile.h"
#include "platform/DateSerial.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"
#include "records/RecordTestSupport.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace records;
using namespace records_test;
using namespace testing_support;

namespace {

constexpr double kToday = 46364.0; // 8 December 2026, the fake clock's day

struct ResultsFileFixture : ::testing::Test
{
    QTemporaryDir dir;
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    ScriptedWait wait;
    QString path;

    void SetUp() override
    {
        state->settings.dataFolder = dir.path() + u'/';
        state->settings.schoolCode = QStringLiteral("24601");
        path = resultsFilePath(state->settings.dataFolder);
    }
    void read()
    {
        app::report(fakes.services, readResults({state->settings, state->catalogue}, state->results, wait));
    }
    const Results &results() const { return state->results; }
};

QByteArray joined(std::initializer_list<QByteArray> list)
{
    QByteArray bytes;
    for (const QByteArray &r : list)
        bytes += r;
    return bytes;
}

} // namespace

TEST_F(ResultsFileFixture, FileIsNamedInTheDataFolder)
{
    EXPECT_EQ(resultsFilePath(QStringLiteral("/d/")), QStringLiteral("/d/成績累積データ.dat"));
}

TEST_F(ResultsFileFixture, AppendWritesTheCurrentRunAfterTheLastRecord)
{
    fakes.clock.setNow(QDateTime(QDate(2026, 12, 8), QTime(15, 30, 0, 750)));
    state->run.studentNumber = 131;
    state->run.currentLevel = 12;
    state->lastDrill.resultTime = 245;
    QString error;
    ASSERT_TRUE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait), &error))
        << error.toStdString();
    state->lastDrill.resultTime = 99999;
    state->settings.schoolCode.clear();
    ASSERT_TRUE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait), &error))
        << error.toStdString();

    // The time of day is whole seconds, as the family's programs record it.
    const double clock = (15 * 3600 + 30 * 60) / 86400.0;
    EXPECT_EQ(readBytes(path).toHex(' '), joined({rawRecord(kToday, clock, 131, 12, 245, "24601"),
                                                  rawRecord(kToday, clock, 131, 12, 99999, "     ")})
                                              .toHex(' '));
    EXPECT_TRUE(wait.asked.empty());
}

TEST_F(ResultsFileFixture, AppendOverwritesAPartialTailAndNothingBeforeIt)
{
    const QByteArray whole =
        joined({rawRecord(kToday - 3, 0.1, 5, 2, 100), rawRecord(kToday - 2, 0.2, 6, 4, 200)});
    writeBytes(path, whole + QByteArray(30, '\x7f'));
    state->run.studentNumber = 7;
    state->run.currentLevel = 6;
    state->lastDrill.resultTime = 300;
    QString error;
    ASSERT_TRUE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait), &error))
        << error.toStdString();
    const QByteArray after = readBytes(path);
    ASSERT_EQ(after.size(), 3 * kRecordSize);
    EXPECT_EQ(after.left(2 * kRecordSize), whole);
    const ResultRecord added = decodeRecord(after.constData() + 2 * kRecordSize);
    EXPECT_EQ(added.student, 7);
    EXPECT_EQ(added.time, 300);
}

TEST_F(ResultsFileFixture, AppendToAMissingDataFolderFailsNamingTheFileAndCreatesNothing)
{
    state->settings.dataFolder = dir.path() + QStringLiteral("/なし/");
    QString error;
    EXPECT_FALSE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait),
        &error));
    EXPECT_TRUE(error.contains(platform::displayPath(resultsFilePath(state->settings.dataFolder))))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("データフォルダ"))) << error.toStdString();
    EXPECT_FALSE(QDir(state->settings.dataFolder).exists());
}

// A named pipe in place of the file would make the reader wait for a writer that never comes, and an
// append write into nothing: both are refused at once with a message that names the file, as a
// folder in its place is.
TEST_F(ResultsFileFixture, AFifoInPlaceOfTheFileIsRefusedAsAFolderIs)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    FifoUnblocker unblocker(path);
    read();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const QString text = fakes.messages.shown[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("成績ランダムファイル表示2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ファイルではなく"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(platform::displayPath(path))) << text.toStdString();
    EXPECT_TRUE(fakes.programEnd.ended);
    EXPECT_TRUE(wait.asked.empty());

    QString error;
    EXPECT_FALSE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait),
        &error));
    EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("ファイルではなく"))) << error.toStdString();
    EXPECT_TRUE(wait.asked.empty());
}

TEST_F(ResultsFileFixture, AppendWaitsWhileAnotherHolderHasTheLockAndThenWrites)
{
    writeBytes(path, rawRecord(kToday, 0.1, 5, 2, 100));
    platform::LockedFile holder;
    ASSERT_TRUE(holder.open(path, platform::LockedFile::Access::ReadWriteCreate));
    ASSERT_EQ(holder.tryLock(platform::LockMode::Shared), platform::LockResult::Locked);
    bool writtenWhileHeld = false;
    wait.onWait = [&](int call) {
        writtenWhileHeld = readBytes(path).size() != kRecordSize;
        if (call == 2)
            holder.close();
    };
    state->run.studentNumber = 9;
    state->run.currentLevel = 2;
    QString error;
    ASSERT_TRUE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait), &error))
        << error.toStdString();
    EXPECT_EQ(wait.asked, (std::vector<int>{1000, 1000}));
    EXPECT_FALSE(writtenWhileHeld);
    EXPECT_EQ(readBytes(path).size(), 2 * kRecordSize);
    // After the first second in vain the panel says why, and it goes when the record is written.
    EXPECT_EQ(wait.notices,
              (std::vector<QString>{QStringLiteral("ほかのパソコンが成績ファイルを使っています。"),
                                    QStringLiteral("(end)")}));
}

TEST_F(ResultsFileFixture, AWaitThatEndsWithinTheFirstSecondShowsNoPanel)
{
    writeBytes(path, rawRecord(kToday, 0.1, 5, 2, 100));
    platform::LockedFile holder;
    ASSERT_TRUE(holder.open(path, platform::LockedFile::Access::ReadWriteCreate));
    ASSERT_EQ(holder.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    wait.onWait = [&](int) { holder.close(); };
    state->run.studentNumber = 9;
    state->run.currentLevel = 2;
    QString error;
    ASSERT_TRUE(succeeded(
        appendResult(state->settings, fakes.services, state->run, state->lastDrill.resultTime, wait), &error))
        << error.toStdString();
    read();
    EXPECT_EQ(wait.asked, std::vector<int>{kLockWaitMs});
    EXPECT_TRUE(wait.notices.empty());
    EXPECT_EQ(results().recordCount, 2);
}

TEST_F(ResultsFileFixture, ReaderWaitsForAWriterAndNeverSeesHalfARecord)
{
    const QByteArray second = rawRecord(kToday, 0.2, 6, 4, 200);
    writeBytes(path, rawRecord(kToday, 0.1, 5, 2, 100));
    platform::LockedFile writer;
    ASSERT_TRUE(writer.open(path, platform::LockedFile::Access::ReadWriteCreate));
    ASSERT_EQ(writer.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    ASSERT_TRUE(writer.writeAt(kRecordSize, second.constData(), 22));
    wait.onWait = [&](int) {
        ASSERT_TRUE(writer.writeAt(kRecordSize + 22, second.constData() + 22, 22));
        writer.unlock();
    };
    read();
    EXPECT_EQ(wait.asked, std::vector<int>{kLockWaitMs});
    ASSERT_EQ(results().recordCount, 2);
    EXPECT_EQ(results().recStudent[2], 6);
    EXPECT_EQ(results().recLevel[2], 4);
    EXPECT_EQ(results().recResultTime[2], 200);
}

TEST_F(ResultsFileFixture, MissingOrEmptyFileReadsAsNoRecordsAndWritesNothing)
{
    for (const bool empty : {false, true}) {
        if (empty)
            writeBytes(path, QByteArray());
        state->results.recordCount = 5;
        state->results.personalBest(2, 3) = 10;
        state->results.overallBest[2] = 10;
        state->results.hasResults[3] = 1;
        read();
        EXPECT_EQ(results().recordCount, 0);
        EXPECT_EQ(results().personalBest(2, 3), 99999);
        EXPECT_EQ(results().personalBest(35, 5000), 99999);
        EXPECT_EQ(results().hasResults[3], 0);
        for (int level = 1; level <= kMaxLevel; ++level)
            EXPECT_EQ(results().overallBest[level], 99999);
        EXPECT_EQ(QFile::exists(path), empty);
    }
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(ResultsFileFixture, OnlyTheLastTwentyThousandRecordsAreRead)
{
    for (const int total : {15000, 20005}) {
        QByteArray bytes;
        for (int i = 1; i <= total; ++i)
            bytes += rawRecord(kToday, 0.5, qint16(1 + i % 5000), 2, i);
        writeBytes(path, bytes);
        read();
        const int expected = std::min(total, kRecordWindow);
        ASSERT_EQ(results().recordCount, expected);
        EXPECT_EQ(results().recResultTime[1], total - expected + 1);
        EXPECT_EQ(results().recResultTime[expected], total);
    }
}

TEST_F(ResultsFileFixture, KeptRecordsAndBestsFollowTheReadingRules)
{
    writeBytes(path, joined({
                         rawRecord(kToday, 0.1, 5, 2, 99999), // a time-out alone is no best
                         rawRecord(kToday, 0.1, 6, 2, 200),
                         rawRecord(kToday, 0.1, 6, 2, 99999), // nor after a real time
                         rawRecord(kToday, 0.1, 0, 4, 50),    // student 0: best set, record dropped
                         rawRecord(kToday, 0.1, 7, 0, 40),    // level 0: the same
                         rawRecord(-1.0, 0.1, 8, 2, 30),      // a negative date: the same
                         rawRecord(kToday, 0.1, 1001, 2, 10), // above 1000: a best, but not the overall one
                         rawRecord(kToday, 0.1, 9, 36, 10),   // outside the tables: skipped
                         rawRecord(kToday, 0.1, 5001, 2, 10),
                         rawRecord(kToday, 0.1, -1, 2, 10),
                         rawRecord(kToday, 0.1, 9, -1, 10),
                         rawRecord(kToday, 0.75, 9, 8, 120, "24601", "     ", "-3   "),
                     }));
    read();
    const Results &r = results();
    EXPECT_EQ(r.personalBest(2, 5), 99999);
    EXPECT_EQ(r.personalBest(2, 6), 200);
    EXPECT_EQ(r.personalBest(4, 0), 50);
    EXPECT_EQ(r.personalBest(0, 7), 40);
    EXPECT_EQ(r.personalBest(2, 8), 30);
    EXPECT_EQ(r.personalBest(2, 1001), 10);
    EXPECT_EQ(r.overallBest[2], 30);
    EXPECT_EQ(r.overallBest[8], 120);
    EXPECT_EQ(r.overallBest[36 - 1], 99999);
    EXPECT_EQ(r.hasResults[8], 1);
    EXPECT_EQ(r.hasResults[9], 1);
    EXPECT_EQ(r.hasResults[10], 0);
    ASSERT_EQ(r.recordCount, 5); // students 5, 6, 6, 1001, 9
    EXPECT_EQ(r.recStudent[4], 1001);
    EXPECT_EQ(r.recStudent[5], 9);
    EXPECT_EQ(r.recLevel[5], 8);
    EXPECT_EQ(r.recClock[5], 0.75);
    EXPECT_EQ(r.recMode[5], -3);
    EXPECT_EQ(r.highestLevel[9], 8);
    EXPECT_EQ(r.highestLevel[0], 0);

    // The highest level is never lowered by a later reading.
    writeBytes(path, rawRecord(kToday, 0.1, 9, 2, 100));
    read();
    EXPECT_EQ(results().highestLevel[9], 8);
}

namespace {
// Notes what had been shown when the program was ended.
struct EndAfterMessage : platform::ProgramEnd
{
    explicit EndAfterMessage(RecordingMessageBoxes &boxes) : boxes(boxes) {}
    void endProgram(int status) override
    {
        messagesBeforeEnd = int(boxes.shown.size());
        this->status = status;
        ++ends;
    }
    RecordingMessageBoxes &boxes;
    int messagesBeforeEnd = -1;
    int status = 0;
    int ends = 0;
};
} // namespace

TEST_F(ResultsFileFixture, UnreachableFileIsTriedFourTimesThenTheMessageComesAndTheProgramEnds)
{
    state->settings.dataFolder = dir.path() + QStringLiteral("/なし/");
    state->results.recordCount = 3;
    EndAfterMessage end(fakes.messages);
    Services services{fakes.clock, fakes.random, fakes.messages, fakes.launcher,
                      end,         fakes.media,  fakes.wait,     fakes.outputDialogs};
    app::report(services, readResults({state->settings, state->catalogue}, state->results, wait));
    EXPECT_EQ(wait.asked, (std::vector<int>{5000, 5000, 5000}));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const QString text = fakes.messages.shown[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("ファイルがありません2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(platform::displayPath(resultsFilePath(state->settings.dataFolder))));
    EXPECT_EQ(end.ends, 1);
    EXPECT_EQ(end.messagesBeforeEnd, 1);
    EXPECT_EQ(state->results.recordCount, 3);
    EXPECT_FALSE(QDir(state->settings.dataFolder).exists());
}

TEST_F(ResultsFileFixture, AFolderThatComesBackIsReadAfterTheWait)
{
    const QString folder = dir.path() + QStringLiteral("/share/");
    state->settings.dataFolder = folder;
    wait.onWait = [&](int call) {
        if (call == 2) {
            QDir().mkpath(folder);
            writeBytes(resultsFilePath(folder), rawRecord(kToday, 0.1, 5, 2, 100));
        }
    };
    read();
    EXPECT_EQ(wait.asked, (std::vector<int>{5000, 5000}));
    EXPECT_EQ(wait.notices,
              (std::vector<QString>{QStringLiteral("成績ファイルのある場所に届きません。待っています。"),
                                    QStringLiteral("(end)")}));
    EXPECT_EQ(results().recordCount, 1);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_FALSE(fakes.programEnd.ended);
}

TEST_F(ResultsFileFixture, AFileThatCannotBeOpenedEndsTheProgramWithTheRoutinesWholeMessage)
{
    // A folder name with placeholders of its own, and an error number of two digits (21, a folder
    // where the file should be): chained replacements would read them again.
    state->settings.dataFolder = dir.path() + QStringLiteral("/教室%1%2/");
    path = resultsFilePath(state->settings.dataFolder);
    QDir().mkpath(path);
    read();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(
        fakes.messages.shown[0].text,
        QStringLiteral("成績ランダムファイル表示221ファイルではなくフォルダです。21/date/i=0/time=/name=/"
                       "Bangou=0/level=0/time=0line2\n") +
            platform::displayPath(path));
    EXPECT_TRUE(fakes.programEnd.ended);
    EXPECT_TRUE(wait.asked.empty());
}

// One fixture for each kind of damage; the reader keeps what the rules keep, says nothing and changes
// nothing on the disk.
TEST_F(ResultsFileFixture, DamagedFilesAreReadByTheRulesAndLeftAsTheyWere)
{
    struct Case
    {
        const char *fixture;
        int kept;
        int bestOfStudent101AtLevel2;
    };
    const Case cases[] = {
        {"results-empty.dat", 0, 99999},
        {"results-short-tail.dat", 3, 250},   // three records and 30 bytes of a fourth
        {"results-out-of-range.dat", 1, 180}, // levels 36 and -1, students 5001, -5 and 32767
        {"results-non-numeric.dat", 2, 90},   // NaN and infinite dates are dropped; bests count all
        {"results-broken-932.dat", 2, 200},   // texts that are not code page 932
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        const QByteArray bytes =
            readBytes(testDataPath(QStringLiteral("records/") + QLatin1String(c.fixture)));
        writeBytes(path, bytes);
        read();
        EXPECT_EQ(results().recordCount, c.kept);
        EXPECT_EQ(results().personalBest(2, 101), c.bestOfStudent101AtLevel2);
        EXPECT_EQ(readBytes(path), bytes);
    }
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(ResultsFileFixture, GarbageGivesOnlyRecordsThatFitTheTables)
{
    const QByteArray bytes = readBytes(testDataPath(QStringLiteral("records/results-garbage.dat")));
    writeBytes(path, bytes);
    read();
    ASSERT_LE(results().recordCount, 100);
    for (int i = 1; i <= results().recordCount; ++i) {
        EXPECT_GE(results().recLevel[i], 1);
        EXPECT_LE(results().recLevel[i], kMaxLevel);
        EXPECT_GE(results().recStudent[i], 1);
        EXPECT_LE(results().recStudent[i], kMaxStudentNumber);
        EXPECT_GE(results().recDate[i], 0.0);
    }
    QString error;
    const QList<ResultRecord> last = testing_support::valueOrEmpty(readLastRecords(path, 1000, wait), &error);
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(last.size(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(encodeRecord(last[i]), bytes.mid(i * kRecordSize, kRecordSize));
}

// A file of billions of records (sparse, so it costs no disk) is read from its last 20000 only.
TEST_F(ResultsFileFixture, HugeFileIsReadFromItsEnd)
{
    const qint64 count = 100'000'000;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(count * kRecordSize));
        ASSERT_TRUE(file.seek((count - 1) * kRecordSize));
        file.write(rawRecord(kToday, 0.5, 12, 14, 321));
    }
    read();
    ASSERT_EQ(results().recordCount, 1); // the zero records before it are of level 0
    EXPECT_EQ(results().recResultTime[1], 321);
    QString error;
    EXPECT_EQ(testing_support::valueOrEmpty(readLastRecords(path, 3, wait), &error).size(), 3);
}

TEST_F(ResultsFileFixture, LastRecordsForTheListsComeInFileOrder)
{
    QByteArray bytes;
    for (int i = 1; i <= 10; ++i)
        bytes += rawRecord(kToday, 0.5, qint16(i), 2, i * 10);
    writeBytes(path, bytes + "xyz");
    QString error;
    const QList<ResultRecord> last = testing_support::valueOrEmpty(readLastRecords(path, 4, wait), &error);
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(last.size(), 4);
    EXPECT_EQ(last.front().student, 7);
    EXPECT_EQ(last.back().time, 100);
    EXPECT_EQ(testing_support::valueOrEmpty(readLastRecords(path, 50, wait), &error).size(), 10);
    EXPECT_TRUE(testing_support::valueOrEmpty(readLastRecords(path, 0, wait), &error).isEmpty());

    EXPECT_TRUE(testing_support::valueOrEmpty(
                    readLastRecords(dir.filePath(QStringLiteral("none.dat")), 5, wait), &error)
                    .isEmpty());
    EXPECT_TRUE(error.isEmpty());
    const QString unreachable = dir.filePath(QStringLiteral("no/such.dat"));
    EXPECT_TRUE(testing_support::valueOrEmpty(readLastRecords(unreachable, 5, wait), &error).isEmpty());
    EXPECT_TRUE(error.contains(platform::displayPath(unreachable))) << error.toStdString();
}

TEST_F(ResultsFileFixture, ARecordChangedInPlaceKeepsEveryOtherByte)
{
    const QByteArray before =
        joined({rawRecord(kToday, 0.1, 5, 2, 100, "24601", "memo ", " 0   ", "\1\2\3\4\5"),
                rawRecord(kToday, 0.2, 6, 4, 200), rawRecord(kToday, 0.3, 7, 6, 300)});
    writeBytes(path, before + "tail");
    QString error;
    QList<ResultRecord> records = testing_support::valueOrEmpty(readLastRecords(path, 3, wait), &error);
    ResultRecord changed = records[0];
    changed.time = 95;
    changed.student = 8;
    ASSERT_TRUE(testing_support::succeeded(rewriteRecord(path, 1, changed, wait), &error))
        << error.toStdString();
    QByteArray expected = before + "tail";
    expected.replace(0, kRecordSize,
                     rawRecord(kToday, 0.1, 8, 2, 95, "24601", "memo ", " 0   ", "\1\2\3\4\5"));
    EXPECT_EQ(readBytes(path).toHex(' '), expected.toHex(' '));

    EXPECT_FALSE(testing_support::succeeded(rewriteRecord(path, 4, changed, wait), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
    EXPECT_FALSE(testing_support::succeeded(rewriteRecord(path, 0, changed, wait), &error));
    EXPECT_EQ(readBytes(path), expected);
    const QString none = dir.filePath(QStringLiteral("none.dat"));
    EXPECT_FALSE(testing_support::succeeded(rewriteRecord(none, 1, changed, wait), &error));
    EXPECT_FALSE(QFile::exists(none));
}

// An SMB client with the file open for writing reports the length it knew before another PC made the
// file shorter; the search must land on the server's real end whatever it is, and pass an error on.
TEST(RealLength, FindsTheRealEndBelowAStaleReportedLength)
{
    for (const qint64 reported : {1, 2, 44, 132, 4'400'000}) {
        for (const qint64 real : {qint64(0), qint64(1), reported / 2, reported - 1, reported}) {
            int reads = 0;
            const auto byteBefore = [&](qint64 end) -> qint64 {
                ++reads;
                EXPECT_GE(end, 1);
                EXPECT_LE(end, reported);
                return end <= real ? 1 : 0;
            };
            EXPECT_EQ(realLength(reported, byteBefore), real) << reported << " " << real;
            EXPECT_LE(reads, 2 + std::log2(double(reported)));
        }
    }
    EXPECT_EQ(realLength(0, [](qint64) -> qint64 { return -1; }), 0);
    EXPECT_EQ(realLength(-1, [](qint64) -> qint64 { return 1; }), -1);
    EXPECT_EQ(realLength(88, [](qint64) -> qint64 { return -1; }), -1);
    EXPECT_EQ(realLength(132, [](qint64 end) -> qint64 { return end == 132 ? 0 : end <= 44 ? 1 : -1; }), -1);
}

TEST_F(ResultsFileFixture, LockedLengthOfALocalFileIsItsLength)
{
    writeBytes(path, QByteArray(93, 'x'));
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, platform::LockedFile::Access::Read));
    EXPECT_EQ(lockedLength(file), 93);
}
