#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

// The state that all screens of the program share. The application owns exactly one AppState and
// hands it to every screen by reference; a test builds its own. Screens talk mostly by setting members
// here before they show the next screen and by reading them when they become active. Nothing here is
// saved as such: what must survive is written to the standards table and the results file.
//
// "Value" members hold an item as it was read from a settings file: a number, or a text (see
// platform/DelimitedItems.h for how they are read and how their number is taken).

using Value = QVariant;

inline constexpr int kLevelSlots = 36;      // level indexes 0 to 35; level 0 is never used
inline constexpr int kStudentSlots = 5001;  // student numbers 0 to 5000
inline constexpr int kRecordSlots = 20001;  // record indexes 1 to 20000 (0 unused)
inline constexpr int kMaxStudentNumber = 5000;
inline constexpr int kMaxLevel = 35;

// A table indexed by level (0 to 35) and student number (0 to 5000), one contiguous block so that
// clearing and scanning it is a linear pass.
template <typename T>
class LevelStudentTable
{
public:
    LevelStudentTable() : m_cells(std::size_t(kLevelSlots) * kStudentSlots, T{}) {}
    T &operator()(int level, int student) { return m_cells[std::size_t(level) * kStudentSlots + student]; }
    const T &operator()(int level, int student) const
    {
        return m_cells[std::size_t(level) * kStudentSlots + student];
    }
    void fill(T value) { std::fill(m_cells.begin(), m_cells.end(), value); }
    T *data() { return m_cells.data(); }

private:
    std::vector<T> m_cells;
};

template <typename T>
using PerLevel = std::array<T, kLevelSlots>;

// Folders and settings, found at start-up.
struct PathsAndSettings
{
    QString appFolder;     // the application folder, ending with the separator; the idiom data lives here
    QString baseFolder;    // the family's common folder, ending with the separator
    QString dataFolder;    // this program's data folder (standards table, results file)
    QString soundFolder;   // baseFolder + "音フォルダ" + separator
    QString appFolderName; // the name of the folder the program runs from
    bool developmentLayout = false; // the program runs from the development folder layout
    Value schoolYearStartMonth;     // month in which the school year begins
    QString schoolCode;             // up to five characters written into every results record
    QString schoolName;             // shown on screens
    Value commonSetting3;           // roster option: 1 lists the students of status 2 too
    Value commonSetting4;           // roster screen option
    Value teacherPassword;          // compared by the teacher entry of the hub
    quint32 seasonColour = 0;       // background colour of the month, 0xRRGGBB
    int fileNumber = 0;             // number of the file routine last run; every file routine takes a
                                    // fresh one and closes its files when it ends
};

// What this drill program offers (the level catalogue).
struct Catalogue
{
    QString programTitle;              // "四字熟語"
    int levelCount = 0;                // 20: the hub lists levels 1 to 20
    Value finalLevel;                  // the last level (20)
    PerLevel<QString> levelNames{};    // a caption containing "練" marks a practice level
    PerLevel<qint16> recordedLevel{};  // 1 when a finished drill of the level is judged and recorded
    qint16 printMode = 0;              // 2: the hub's print button is always shown; 1: for teachers only
    bool allLevelsOpen = false;        // every level can be started whether or not the one before is cleared
};

// The student and level of the current run.
struct CurrentRun
{
    qint16 studentNumber = 0;      // 0 to 5000
    QString studentName;           // as the roster holds it (20 characters, blank-padded)
    qint32 nameConfirmedTime = 0;  // whole seconds since midnight when the name was confirmed
    qint16 currentLevel = 0;       // the level being drilled or last drilled
    QString currentGrade;          // the table-A grade label of the confirmed student
    QString gradeGroup;            // the name screen's grade filter text; the hub's filter starts from it
    bool finalLevelCleared = false;// the student has cleared the final level
    int hubScrollPosition = 0;     // the hub's first visible level column (1-based), kept across visits
    // The hub's grade filter and period as the student or teacher chose them: kept across drills, as
    // long as the hub is not left for the name screen (empty and 0: not chosen since the name screen).
    QString hubGradeFilter;
    int hubPeriod = 0;
};

// The result of the last drill and its judgement.
struct LastDrill
{
    qint32 elapsedTime = 0;        // measured time in whole seconds, penalties included
    qint16 drillEndReason = 0;     // 0 finished, 1 time-out
    bool endingInProgress = false; // the end-of-drill sequence is running; a second request is ignored
    qint32 resultTime = 0;         // the time judged and recorded: elapsedTime, or 99999 after a time-out
    bool newPersonalBest = false;
    bool newOverallBest = false;
    bool alreadyCleared = false;   // before this drill the student had already cleared the level
    qint16 todayTotalCount = 0;    // the student's drills today over all levels
};

// The per-level standards of the standards table; index i holds row i of the file (0 is the header).
struct Standards
{
    PerLevel<qint32> targetTime{};        // 目標Time, seconds
    PerLevel<qint32> minimumTime{};       // 最低Time, seconds; five times this is the time-out
    PerLevel<qint32> clearPoints{};       // ｸﾘｱﾎﾟｲﾝﾄ
    PerLevel<qint16> clearCount{};        // ｸﾘｱ回数
    PerLevel<qint32> pointMultiplier{};   // ﾎﾟｲﾝﾄ倍率
    PerLevel<Value> overPracticeCountLimit{};  // 禁回, 0 = no limit
    PerLevel<Value> overPracticePointsLimit{}; // 禁点, 0 = no limit
    PerLevel<Value> passPeriodDays{};          // 判期間
    PerLevel<Value> overPracticePeriodDays{};  // 禁期間
    PerLevel<Value> reservedColumn10{};        // kept and written back unchanged
    PerLevel<Value> reservedColumn11{};
    PerLevel<Value> reservedColumn12{};
};

// The results file in memory: at most the last 20000 records, and the bests.
struct Results
{
    Results()
        : recDate(kRecordSlots), recClock(kRecordSlots), recStudent(kRecordSlots), recLevel(kRecordSlots),
          recResultTime(kRecordSlots), recMode(kRecordSlots), hasResults(kStudentSlots),
          highestLevel(kStudentSlots)
    {
    }
    int recordCount = 0;
    std::vector<double> recDate;         // date of each record (whole days since 30 December 1899)
    std::vector<double> recClock;        // time of day of each record (fraction of a day)
    std::vector<qint16> recStudent;
    std::vector<qint16> recLevel;
    std::vector<qint32> recResultTime;
    std::vector<qint32> recMode;
    LevelStudentTable<qint32> personalBest; // best (lowest) time, 99999 when there is none
    PerLevel<qint32> overallBest{};         // lowest personal best over students 1 to 1000
    std::vector<qint8> hasResults;          // 1 when the student has at least one record
    std::vector<qint16> highestLevel;       // highest level the student has a record of; only grows
};

// Statistics per level and student, recomputed from the results file at every activation of the name
// screen, the hub and the result screen. The figures of one (level, student) cell are stored side by
// side, so that adding a record to its cell touches one or two cache lines rather than one in each of
// twelve tables: the ten sums in one table, which a computation clears as one block, and the two
// averages, which it leaves alone in a cell without counted drills, in another. Both are ordered level
// by level, students within a level. Each figure is still read and written by its own name, as a table
// of its own would be: `statistics.todayCount(level, student)`.
class Statistics
{
public:
    struct Sums
    {
        qint32 allTimePoints = 0;
        qint32 allTimeTimeSum = 0;
        qint32 passPeriodPoints = 0;
        qint32 overPracticePeriodPoints = 0;
        qint32 todayPoints = 0;
        float todayCount = 0.0f; // counted drills today
        float todayTimeSum = 0.0f;
        qint16 allTimeCount = 0; // counted drills (time below 6000)
        qint16 passPeriodCount = 0;
        qint16 overPracticePeriodCount = 0;
    };
    struct Averages
    {
        float allTimeAverageTime = 0.0f; // rounded
        float todayAverageTime = 0.0f;
    };

    static constexpr std::size_t kCells = std::size_t(kLevelSlots) * kStudentSlots;

    Statistics() : m_sums(kCells), m_averages(kCells) {}

    // The position of a cell in both tables.
    static std::size_t cellIndex(int level, int student)
    {
        return std::size_t(level) * kStudentSlots + std::size_t(student);
    }
    Sums &sums(int level, int student) { return m_sums[cellIndex(level, student)]; }
    const Sums &sums(int level, int student) const { return m_sums[cellIndex(level, student)]; }
    Averages &averages(int level, int student) { return m_averages[cellIndex(level, student)]; }
    const Averages &averages(int level, int student) const { return m_averages[cellIndex(level, student)]; }
    Sums *sumsData() { return m_sums.data(); }
    Averages *averagesData() { return m_averages.data(); }

    qint16 &allTimeCount(int level, int student) { return sums(level, student).allTimeCount; }
    const qint16 &allTimeCount(int level, int student) const { return sums(level, student).allTimeCount; }
    qint32 &allTimePoints(int level, int student) { return sums(level, student).allTimePoints; }
    const qint32 &allTimePoints(int level, int student) const { return sums(level, student).allTimePoints; }
    qint32 &allTimeTimeSum(int level, int student) { return sums(level, student).allTimeTimeSum; }
    const qint32 &allTimeTimeSum(int level, int student) const { return sums(level, student).allTimeTimeSum; }
    float &allTimeAverageTime(int level, int student) { return averages(level, student).allTimeAverageTime; }
    const float &allTimeAverageTime(int level, int student) const
    {
        return averages(level, student).allTimeAverageTime;
    }
    qint16 &passPeriodCount(int level, int student) { return sums(level, student).passPeriodCount; }
    const qint16 &passPeriodCount(int level, int student) const
    {
        return sums(level, student).passPeriodCount;
    }
    qint32 &passPeriodPoints(int level, int student) { return sums(level, student).passPeriodPoints; }
    const qint32 &passPeriodPoints(int level, int student) const
    {
        return sums(level, student).passPeriodPoints;
    }
    qint16 &overPracticePeriodCount(int level, int student)
    {
        return sums(level, student).overPracticePeriodCount;
    }
    const qint16 &overPracticePeriodCount(int level, int student) const
    {
        return sums(level, student).overPracticePeriodCount;
    }
    qint32 &overPracticePeriodPoints(int level, int student)
    {
        return sums(level, student).overPracticePeriodPoints;
    }
    const qint32 &overPracticePeriodPoints(int level, int student) const
    {
        return sums(level, student).overPracticePeriodPoints;
    }
    float &todayCount(int level, int student) { return sums(level, student).todayCount; }
    const float &todayCount(int level, int student) const { return sums(level, student).todayCount; }
    qint32 &todayPoints(int level, int student) { return sums(level, student).todayPoints; }
    const qint32 &todayPoints(int level, int student) const { return sums(level, student).todayPoints; }
    float &todayTimeSum(int level, int student) { return sums(level, student).todayTimeSum; }
    const float &todayTimeSum(int level, int student) const { return sums(level, student).todayTimeSum; }
    float &todayAverageTime(int level, int student) { return averages(level, student).todayAverageTime; }
    const float &todayAverageTime(int level, int student) const
    {
        return averages(level, student).todayAverageTime;
    }

    // Sets the ten sums of every cell to 0; the averages keep their values.
    void clearSums()
    {
        static_assert(std::is_trivially_copyable_v<Sums>, "cleared as bytes: all-zero bytes are 0 and 0.0f");
        std::memset(static_cast<void *>(m_sums.data()), 0, m_sums.size() * sizeof(Sums));
    }

private:
    std::vector<Sums> m_sums;
    std::vector<Averages> m_averages;
};

// One line of the roster as read (the texts as fixed 20-character fields).
struct RosterRecord
{
    qint16 number = 0;
    qint16 birthYear = 0;
    qint16 spare3 = 0;
    qint16 spare4 = 0;
    QString name;
    qint16 status = 0;
    QString text7;
    QString text8;
};

// The roster tables.
struct Roster
{
    Roster()
        : rosterRecords(kStudentSlots), rosterNumbers(kStudentSlots), studentNames(kStudentSlots),
          studentBirthYears(kStudentSlots), studentGrades(kStudentSlots)
    {
    }
    std::vector<RosterRecord> rosterRecords;   // listed lines in file order, positions 1 to 5000
    std::vector<qint16> rosterNumbers;         // student number of each listed position
    int rosterCount = 0;
    std::vector<QString> studentNames;         // by student number, 20 characters blank-padded
    std::vector<qint16> studentBirthYears;     // by student number
    std::vector<QString> studentGrades;        // by student number, table-A grade label or empty
    int currentSchoolYear = 0;
};

// The idiom data as read from the data file: cell (row, column), rows 1 to 1000, columns 1 to 100.
struct IdiomData
{
    std::vector<QStringList> idiomTable; // idiomTable[row][column]; row 0 and column 0 stay empty
    int idiomRowCount = 0;
    int idiomColumnCount = 0;          // the number of fields of the last line read

    // The text of a cell; empty for a cell the file did not fill (rows hold only their own fields).
    QString cell(int row, int column) const
    {
        if (row < 0 || std::size_t(row) >= idiomTable.size() || column < 0 ||
            column >= idiomTable[std::size_t(row)].size())
            return {};
        return idiomTable[std::size_t(row)][column];
    }
};

// The sound set and the media layer's last command.
struct SoundState
{
    // soundFiles[kind][0] is the kind name, [1..20] the listed files, [21] the count as text.
    std::array<std::array<QString, 22>, 11> soundFiles{};
    QString voiceFileName;      // path without extension of the voice file the drill wants played
    qint16 soundErrorCount = 0; // consecutive failed answer sounds
    QString lastMediaCommand;
    QString lastMediaResult;
};

// What the drill form keeps of its own running state between its steps; cleared before every drill.
struct DrillRunState
{
    qint32 timeLimit = 0;      // 5 × the level's minimum time
    double timeBarScale = 0.0; // width of the time bar per second
};

struct AppState
{
    PathsAndSettings settings;
    Catalogue catalogue;
    CurrentRun run;
    LastDrill lastDrill;
    Standards standards;
    Results results;
    Statistics statistics;
    Roster roster;
    IdiomData idioms;
    SoundState sound;
    DrillRunState drill;
};
