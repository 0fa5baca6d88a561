#pragma once

#include "app/Failure.h"
#include "drill/Catalogue.h"
#include "hub/Rankings.h"
#include "hub/RowPieces.h"
#include "hub/WeakIdiomSheet.h"
#include "records/Results.h"
#include "records/RetryWait.h"
#include "records/StatisticsTables.h"
#include "roster/Roster.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

// The personal data sheet: per level, a student's runs against the whole school, as statistics lines
// and a time chart. Everything here is what the painter draws, in fractions of the page, so that the
// screen, the printer and a PDF file show the same sheet at their own sizes.
//
// A page holds at most three level blocks, each 0.3 of the page high, the first starting at 0.05 of
// the page height; the student's name stands above the first block of every page. In a block the chart
// takes the left half of the page and the statistics lines stand beside it.
namespace hub {

// What the sheet needs of one record of the results file.
struct SheetRun
{
    double date = 0.0;
    qint16 student = 0;
    qint16 level = 0;
    qint32 time = 0;
};

// The runs of the last 20000 records at most, in file order.
std::vector<SheetRun> sheetRunsFromBytes(const QByteArray &recordBytes);
// Reads them from the results file under its lock, waiting while another PC writes. A missing file in
// its folder holds no runs, unless `fileExpected`: the screen shows runs read from the file earlier, so
// the file has vanished since, and drawing blank counts beside them would hide that. A failure's text
// names the file.
app::Result<std::vector<SheetRun>> readSheetRuns(const QString &resultsPath, records::RetryWait &wait,
                                                 bool fileExpected);

inline constexpr qint32 kCountedRunLimit = 1800; // runs below this count on the sheet
inline constexpr qint32 kChartScaleCap = 1000;   // the chart's scale top never goes higher
inline constexpr int kSheetDays = 3650;          // the sheet reads the runs of the last ten years
inline constexpr int kBlocksPerPage = 3;
inline constexpr double kFirstBlockTop = 0.05;    // of the page height
inline constexpr double kBlockHeight = 0.3;       // of the page height
inline constexpr double kChartHeight = 1.0 / 3.0; // C: of the page height
inline constexpr double kChartWidth = 0.5;        // W: of the page width

struct ChartRun
{
    qint32 time = 0;
    bool newBest = false; // faster than every earlier run on the chart
};

// The figures of one level block, from two passes over the runs and the two hidden rankings.
struct LevelFigures
{
    int level = 0;
    // The student's counted runs (below 1800 s).
    int runCount = 0;
    qint64 runTimeSum = 0;
    qint32 longestRun = 0;
    // The whole school: the fastest run that did not fail (0 when there is none), and the counted runs.
    qint32 schoolFastest = 0;
    qint64 schoolTimeSum = 0;
    int schoolRunCount = 0;
    // The student's counted runs in file order, when the grade filter shows the student.
    std::vector<ChartRun> chart;
    qint32 best = 0; // the last new best of the chart, 0 when the chart is empty
    // Ranks among all listed students; 0 when the student has none (no run on the level, or the grade
    // filter does not show the student).
    int timeRank = 0;
    int pointsRank = 0;
    qint64 points = 0; // the student's points so far
    // The points of the students the grade filter shows, counting those with more than 0.
    qint64 schoolPointsSum = 0;
    int studentsWithPoints = 0;
};

// students: the listed students with the hub's grade filter (the own mark does not matter here).
LevelFigures levelFigures(const records::Results &results, const records::Statistics &statistics,
                          const RowStudents &students, const std::vector<SheetRun> &runs, QDate today,
                          int student, int level);

// A number as the sheet prints it: digits only, nothing for 0 (a "#" format), right-aligned in `width`
// characters keeping the rightmost. Fractions are rounded half away from zero.
QString sheetNumber(double value, int width);

struct StatisticsLine
{
    QString text;
    bool halfLineLower = false; // stands half a line lower than the lines before it
};

// The block's title line and statistics lines.
QString blockTitle(const drill::Catalogue &catalogue, int level);
std::vector<StatisticsLine> statisticsLines(const LevelFigures &figures);

// The chart of a block, in fractions of the page (x of the width, y of the height).
struct ChartPoint
{
    double x = 0.0;
    double y = 0.0;
    qint32 time = 0;
    bool newBest = false;
};
struct ChartTick
{
    double y = 0.0;
    QString label; // "120秒"
};
struct ChartLayout
{
    qint32 scaleTop = 0;                                     // S: the time at the top of the scale
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0; // the frame
    std::vector<ChartTick> ticks;
    std::vector<ChartPoint> points;
};

// S = 10 × (the longest counted run ÷ 10, whole part, + 1), at most 1000.
qint32 chartScaleTop(qint32 longestRun);
// A run k of n at time t: x = W × (0.2 + 0.7 × k ÷ n), y = block top + C × (0.8 − 0.7 × t ÷ S); a run
// slower than S (1000 to 1799 s, once the scale is capped) stands above the frame, as high as the formula
// puts it.
ChartLayout chartLayout(const LevelFigures &figures, double blockTop);

struct SheetBlock
{
    int level = 0;
    double top = 0.0; // of the page height
    QString title;
    std::vector<StatisticsLine> lines;
    ChartLayout chart;
    LevelFigures figures;
};
struct SheetPage
{
    std::vector<SheetBlock> blocks;
    // The page of weak idioms after the level pages has these instead of level blocks.
    std::vector<WeakIdiomsBlock> weakBlocks;
};
struct PersonalSheet
{
    int student = 0;
    QString name; // the student's name, trimmed; above the first block of every page
    std::vector<SheetPage> pages;
};

// What a sheet is drawn from besides the runs: the levels and their titles, the students' names, the
// bests and the points.
struct SheetSources
{
    const drill::Catalogue &catalogue;
    const roster::Roster &roster;
    const records::Results &results;
    const records::Statistics &statistics;
};

// The sheet of `student` for the levels in the given order: three blocks a page, a new page for the
// fourth. Levels outside 1 to levelCount are left out.
PersonalSheet personalSheet(const SheetSources &sources, const RowStudents &students,
                            const std::vector<SheetRun> &runs, QDate today, int student,
                            const std::vector<int> &levels);

// Adds the page of weak idioms after the level pages: the student's block, and with `classStudents`
// (a teacher's sheet) the class's block below it. Nothing when the history file does not exist yet.
void addWeakIdiomsPage(PersonalSheet &sheet, const WeakIdiomsSource &source,
                       const std::vector<int> *classStudents = nullptr, const QString &grade = QString());

// The page the screen opens on: the last page of level blocks (the page of weak idioms follows it).
int firstShownPage(const PersonalSheet &sheet);

// The levels the graph button selects: the first three levels that are not practice levels (practice
// runs are never recorded), or levels 1 to 3 when every level is a practice level.
std::vector<int> defaultSheetLevels(const drill::Catalogue &catalogue);

// A row of the panel's lists: what it reads, and the student or level it stands for.
struct SheetListRow
{
    QString text;
    int number = 0;
};

// The rows of the panel's student list, one per listed student of the roster in roster order: the
// table-A grade label + " /  " + the name (the roster's 20-character field) + "/" + the student number.
// The grade is the one on `today` for a school year that begins in `schoolYearStartMonth`.
std::vector<SheetListRow> sheetStudentRows(const roster::Roster &roster, int schoolYearStartMonth,
                                           QDate today);
// The rows of the level list: each level's number and name.
std::vector<SheetListRow> sheetLevelRows(const drill::Catalogue &catalogue);

} // namespace hub
