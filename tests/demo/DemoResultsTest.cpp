#include "DemoResults.h"
#include "DemoSchool.h"
#include "platform/DateSerial.h"
#include "platform/DelimitedItems.h"
#include "records/Judgement.h"
#include "records/MistakeHistory.h"
#include "records/ResultsFile.h"
#include "records/StandardsTable.h"
#include "records/Statistics.h"
#include "records/WeakIdioms.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const QDate kToday(2026, 12, 8);

QSet<int> rosterStudents()
{
    QSet<int> numbers;
    for (const QString &line : demo::rosterLines(kToday))
        numbers.insert(int(platform::leadingInteger(platform::readAllItems(line).value(0).text)));
    return numbers;
}

} // namespace

TEST(DemoResults, ThreeWeeksOfPlausibleRunsByMostOfTheRoster)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::writeDemoResults(folder, kToday, &written), &error))
        << error.toStdString();
    const QString path = records::resultsFilePath(folder);
    EXPECT_EQ(written, (QStringList{path, records::mistakeHistoryPath(folder)}));
    platform::ResponsiveWait wait;
    const QList<records::ResultRecord> runs =
        testing_support::valueOrEmpty(records::readLastRecords(path, 100000, wait), &error);
    ASSERT_TRUE(error.isEmpty());
    ASSERT_GT(runs.size(), 300);
    EXPECT_EQ(readBytes(path).size(), runs.size() * records::kRecordSize);

    const QSet<int> roster = rosterStudents();
    const double today = platform::dateSerial(kToday);
    QSet<int> students;
    QMap<int, int> perLevel;
    int timeOuts = 0;
    int todays = 0;
    double previous = 0;
    for (const records::ResultRecord &r : runs) {
        EXPECT_TRUE(roster.contains(r.student)) << r.student;
        EXPECT_LT(r.student, 900) << "teachers do not drill";
        EXPECT_EQ(r.level % 2, 0);
        EXPECT_GE(r.level, 2);
        EXPECT_LE(r.level, 20);
        EXPECT_GE(r.date, today - 20);
        EXPECT_LE(r.date, today);
        EXPECT_GE(r.date + r.clock, previous) << "runs are in the order they were made";
        previous = r.date + r.clock;
        EXPECT_EQ(r.schoolCode, QStringLiteral("24601"));
        EXPECT_TRUE(r.time == records::kTimeOut || (r.time > 30 && r.time < 2000)) << r.time;
        timeOuts += r.time == records::kTimeOut;
        todays += r.date == today;
        students.insert(r.student);
        ++perLevel[r.level];
    }
    EXPECT_GE(students.size(), 25);
    EXPECT_GT(timeOuts, 0);
    EXPECT_LT(timeOuts * 10, runs.size());
    EXPECT_GT(todays, 0);
    EXPECT_GT(perLevel[2], perLevel.value(20));
}

TEST(DemoResults, EveryTestRunHasItsAnswersAndSomeStudentsHaveWeakIdioms)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::writeDemoResults(folder, kToday, nullptr), &error))
        << error.toStdString();
    platform::ResponsiveWait wait;
    const QList<records::ResultRecord> runs = testing_support::valueOrEmpty(
        records::readLastRecords(records::resultsFilePath(folder), 100000, wait), &error);
    app::Result<records::MistakeHistory> history = records::readMistakeHistoryIn(folder, wait);
    ASSERT_TRUE(history) << history.failure().text.toStdString();

    // Per student and level: the answers, and the unjudged ones a time-out left.
    QMap<std::pair<int, int>, int> answers, unjudged;
    for (qint64 i = 0; i < history.value().size(); ++i) {
        const records::AnsweredQuestion a = history.value().answer(i);
        EXPECT_TRUE(records::answerProblem(a).isEmpty()) << records::answerProblem(a).toStdString();
        ++answers[{a.student, a.level}];
        if (a.timedOut)
            ++unjudged[{a.student, a.level}];
    }
    QMap<std::pair<int, int>, int> testRuns, timeOuts;
    for (const records::ResultRecord &run : runs) {
        if (run.level % 2 != 0)
            continue;
        ++testRuns[{run.student, run.level}];
        if (run.time == records::kTimeOut)
            ++timeOuts[{run.student, run.level}];
    }
    ASSERT_FALSE(testRuns.isEmpty());
    EXPECT_EQ(answers.keys(), testRuns.keys()) << "answers for the test runs only, none for practice";
    for (auto run = testRuns.cbegin(); run != testRuns.cend(); ++run) {
        EXPECT_EQ(answers.value(run.key()), 20 * run.value()) << "each run answers the range's 20 idioms";
        EXPECT_EQ(unjudged.value(run.key()), 5 * timeOuts.value(run.key()));
    }

    int withWeakIdioms = 0;
    for (const auto &[student, level] : testRuns.keys())
        if (level == 2 &&
            !records::weakIdioms(history.value(), student, QDateTime(kToday, QTime(18, 0))).isEmpty())
            ++withWeakIdioms;
    EXPECT_GT(withWeakIdioms, 10) << "the data sheets and worksheets of the demo have weak idioms to show";
}

TEST(DemoResults, LayingOutAgainAddsNothing)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), kToday, &written), &error))
        << error.toStdString();
    const demo::Layout layout(dir.path());
    const QString path = records::resultsFilePath(layout.dataFolder);
    EXPECT_TRUE(written.contains(path));
    const QByteArray first = readBytes(path);
    const QString history = records::mistakeHistoryPath(layout.dataFolder);
    QFile::remove(history); // a school that never kept a history keeps none after the demo maker

    written.clear();
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), kToday.addDays(3), &written), &error));
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(readBytes(path), first);
    EXPECT_FALSE(QFile::exists(history));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
}

TEST(DemoResults, TheScreensFindClearedLevelsAndRecords)
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(demo::layOut(dir.path(), kToday, &written), &error))
        << error.toStdString();
    const demo::Layout layout(dir.path());
    auto state = std::make_unique<AppState>();
    state->settings.dataFolder = layout.dataFolder;
    ASSERT_TRUE(
        testing_support::succeeded(records::standards::readStandardsTable(
                                       records::standards::filePath(layout.dataFolder), state->standards),
                                   &error));
    FakeServices fakes;
    fakes.clock.setNow(QDateTime(kToday, QTime(21, 0)));
    records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                               state->statistics, fakes.services);
    EXPECT_TRUE(fakes.messages.shown.empty());
    int cleared = 0;
    for (const int student : rosterStudents())
        cleared += records::isCleared(state->standards, state->statistics, 2, student);
    EXPECT_GE(cleared, 5);
    EXPECT_LT(state->results.overallBest[2], records::kTimeOut);
    EXPECT_LT(state->results.overallBest[8], records::kTimeOut);
}
