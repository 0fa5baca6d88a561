#include "hub/PersonalSheet.h"

#include "drill/LevelCatalogue.h"
#include "hub/HubViews.h"
#include "hub/RunLists.h"
#include "platform/DateSerial.h"
#include "platform/DelimitedItems.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "roster/Grades.h"
#include "roster/NameList.h"

#include <algorithm>
#include <cmath>

namespace hub {

std::vector<SheetRun> sheetRunsFromBytes(const QByteArray &recordBytes)
{
    const qsizetype count = recordBytes.size() / records::kRecordSize;
    std::vector<SheetRun> runs;
    runs.reserve(std::size_t(count));
    const char *bytes = recordBytes.constData();
    for (qsizetype i = 0; i < count; ++i, bytes += records::kRecordSize)
        runs.push_back({records::recordDate(bytes), records::recordStudent(bytes),
                        records::recordLevel(bytes), records::recordTime(bytes)});
    return runs;
}

app::Result<std::vector<SheetRun>> readSheetRuns(const QString &resultsPath, records::RetryWait &wait,
                                                 bool fileExpected)
{
    QByteArray bytes;
    qint64 first = 0;
    qint64 total = 0;
    int errorNumber = 0;
    const records::ReadOutcome outcome =
        records::readLastRecordBytes(resultsPath, kPeriodRecords, wait, &bytes, &first, &total, &errorNumber);
    // The reader reads a missing file in its folder as no records, and says so by its error number.
    const bool vanished = outcome == records::ReadOutcome::Read && fileExpected &&
                          platform::LockedFile::isNotFound(errorNumber);
    if (outcome != records::ReadOutcome::Read || vanished)
        return app::failure(
            QStringLiteral("成績ファイルを読めません：%1\n%2")
                .arg(platform::displayPath(resultsPath), platform::LockedFile::describeError(errorNumber)));
    return sheetRunsFromBytes(bytes);
}

namespace {
bool counted(qint32 time)
{
    return time >= 0 && time < kCountedRunLimit;
}

} // namespace

LevelFigures levelFigures(const records::Results &results, const records::Statistics &statistics,
                          const RowStudents &students, const std::vector<SheetRun> &runs, QDate today,
                          int student, int level)
{
    LevelFigures f;
    f.level = level;
    if (level < 1 || level > kMaxLevel || student < 0 || student > kMaxStudentNumber)
        return f;
    const double from = platform::dateSerial(today) - kSheetDays;
    const bool charted = students.isShown(student);
    qint32 fastest = -1;
    for (const SheetRun &run : runs) {
        if (run.level != level || !(run.date > from))
            continue;
        const bool own = run.student == student;
        if (run.time >= 0 && run.time < records::kFailedTimeFrom && (fastest < 0 || run.time < fastest))
            fastest = run.time;
        if (!counted(run.time))
            continue;
        f.schoolTimeSum += run.time;
        ++f.schoolRunCount;
        if (!own)
            continue;
        ++f.runCount;
        f.runTimeSum += run.time;
        f.longestRun = std::max(f.longestRun, run.time);
        if (charted) {
            const bool newBest = f.chart.empty() || run.time < f.best;
            if (newBest)
                f.best = run.time;
            f.chart.push_back({run.time, newBest});
        }
    }
    f.schoolFastest = std::max(fastest, 0);

    // The hidden rankings: the student's ranks, and the school's points under the grade filter.
    if (charted) {
        for (const RankedStudent &r : rankByBestTime(students, results.personalBest, level)) {
            if (r.student == student) {
                f.timeRank = r.key < records::kNoBest ? r.rank : 0;
                break;
            }
        }
    }
    const bool hasRun = results.personalBest(level, student) < records::kNoBest;
    for (const RankedStudent &r : rankByPoints(students, statistics, level, PointsOrder::Accumulated)) {
        if (!students.isShown(r.student))
            continue;
        if (r.key > 0) {
            f.schoolPointsSum += r.key;
            ++f.studentsWithPoints;
        }
        if (r.student == student && hasRun)
            f.pointsRank = r.rank;
    }
    f.points = statistics.allTimePoints(level, student);
    return f;
}

QString sheetNumber(double value, int width)
{
    const double rounded = std::isfinite(value) ? std::round(value) : 0.0;
    return rightAligned(rounded == 0.0 ? QString() : QString::number(qint64(rounded)), width);
}

QString blockTitle(const drill::Catalogue &catalogue, int level)
{
    const QString name =
        level >= 0 && level <= kMaxLevel ? catalogue.levelNames[std::size_t(level)] : QString();
    return catalogue.programTitle + u' ' + name;
}

std::vector<StatisticsLine> statisticsLines(const LevelFigures &f)
{
    std::vector<StatisticsLine> lines;
    lines.push_back({QStringLiteral("回数　　　　　　　") + sheetNumber(f.runCount, 3) + u'回'});
    lines.push_back({QStringLiteral("タイム  　　 　    本人 / 塾全体")});
    lines.push_back({QStringLiteral("　　順位　　　　") + sheetNumber(f.timeRank, 5) + u'位'});
    lines.push_back({QStringLiteral("　　最高　　　　") +
                     rightAligned(f.chart.empty() ? QString() : timeText(f.best), 6) + QStringLiteral(" /") +
                     sheetNumber(f.schoolFastest, 5) + u'秒'});
    if (f.runCount != 0) {
        const double own = std::floor(double(f.runTimeSum) / f.runCount);
        const double school = f.schoolRunCount > 0 ? double(f.schoolTimeSum) / f.schoolRunCount : 0.0;
        lines.push_back({QStringLiteral("　　平均　　　　") + sheetNumber(own, 5) + QStringLiteral(" /") +
                         sheetNumber(school, 5) + u'秒'});
    }
    lines.push_back({QStringLiteral("ポイント  　　　")});
    lines.push_back({QStringLiteral("　　順位　　　　") + sheetNumber(f.pointsRank, 5) + u'位'});
    lines.push_back({QStringLiteral("　　獲得ポイント") + sheetNumber(double(f.points), 5) + u'点'});
    if (f.studentsWithPoints > 0)
        lines.push_back({QStringLiteral("　　　　　　　　　　　　/") +
                         sheetNumber(double(f.schoolPointsSum) / f.studentsWithPoints, 5) + u'点'});
    lines.push_back({QStringLiteral("　　　　　　　　　　　　 (塾平均)"), true});
    return lines;
}

qint32 chartScaleTop(qint32 longestRun)
{
    return std::min(kChartScaleCap, 10 * (std::max(longestRun, 0) / 10 + 1));
}

ChartLayout chartLayout(const LevelFigures &f, double blockTop)
{
    ChartLayout chart;
    const qint32 s = chartScaleTop(f.longestRun);
    chart.scaleTop = s;
    const auto yOf = [&](double time) { return blockTop + kChartHeight * (0.8 - 0.7 * time / s); };
    chart.left = kChartWidth * 0.2;
    chart.right = kChartWidth * 0.95;
    chart.top = yOf(s);
    chart.bottom = yOf(0);
    for (qint32 t : {s, s / 2, 0})
        chart.ticks.push_back({yOf(t), timeText(t)});
    const double n = double(f.chart.size());
    for (std::size_t k = 1; k <= f.chart.size(); ++k) {
        const ChartRun &run = f.chart[k - 1];
        ChartPoint p;
        p.x = kChartWidth * (0.2 + 0.7 * double(k) / n);
        p.y = yOf(run.time);
        p.time = run.time;
        p.newBest = run.newBest;
        chart.points.push_back(p);
    }
    return chart;
}

PersonalSheet personalSheet(const SheetSources &sources, const RowStudents &students,
                            const std::vector<SheetRun> &runs, QDate today, int student,
                            const std::vector<int> &levels)
{
    PersonalSheet sheet;
    sheet.student = student;
    if (student >= 0 && student <= kMaxStudentNumber)
        sheet.name = roster::namelist::trimBlanks(sources.roster.studentNames[std::size_t(student)]);
    for (int level : levels) {
        if (level < 1 || level > catalogue::levelCount(sources.catalogue))
            continue;
        if (sheet.pages.empty() || sheet.pages.back().blocks.size() == std::size_t(kBlocksPerPage))
            sheet.pages.emplace_back();
        SheetPage &page = sheet.pages.back();
        SheetBlock block;
        block.level = level;
        block.top = kFirstBlockTop + kBlockHeight * double(page.blocks.size());
        block.title = blockTitle(sources.catalogue, level);
        block.figures =
            levelFigures(sources.results, sources.statistics, students, runs, today, student, level);
        block.lines = statisticsLines(block.figures);
        block.chart = chartLayout(block.figures, block.top);
        page.blocks.push_back(std::move(block));
    }
    return sheet;
}

std::vector<int> defaultSheetLevels(const drill::Catalogue &catalogue)
{
    const int count = catalogue::levelCount(catalogue);
    std::vector<int> levels;
    for (int level = 1; level <= count && levels.size() < 3; ++level) {
        if (!catalogue::isPracticeLevel(catalogue, level))
            levels.push_back(level);
    }
    if (levels.empty()) {
        for (int level = 1; level <= std::min(count, 3); ++level)
            levels.push_back(level);
    }
    return levels;
}

std::vector<SheetListRow> sheetStudentRows(const roster::Roster &roster, int schoolYearStartMonth,
                                           QDate today)
{
    std::vector<SheetListRow> rows;
    const int count = std::clamp(roster.rosterCount, 0, kMaxStudentNumber);
    rows.reserve(std::size_t(count));
    for (int position = 1; position <= count; ++position) {
        const roster::RosterRecord &record = roster.rosterRecords[std::size_t(position)];
        const int number = roster.rosterNumbers[std::size_t(position)];
        const QString grade =
            roster::gradeLabelA(roster::hubGradeNumber(today, schoolYearStartMonth, record.birthYear));
        rows.push_back(
            {grade + QStringLiteral(" /  ") + record.name + u'/' + QString::number(number), number});
    }
    return rows;
}

std::vector<SheetListRow> sheetLevelRows(const drill::Catalogue &catalogue)
{
    std::vector<SheetListRow> rows;
    const int count = catalogue::levelCount(catalogue);
    for (int level = 1; level <= count; ++level)
        rows.push_back(
            {QString::number(level) + QStringLiteral("  ") + catalogue.levelNames[std::size_t(level)],
             level});
    return rows;
}

} // namespace hub
