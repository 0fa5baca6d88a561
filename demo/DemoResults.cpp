#include "DemoResults.h"

#include "DemoHistory.h"
#include "DemoSchool.h"
#include "platform/DateSerial.h"
#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"
#include "records/Judgement.h"
#include "records/ResultsFile.h"
#include "startup/StartupRules.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

constexpr int kDays = 21;      // the runs cover today and the twenty days before it
constexpr int kFirstLevel = 2; // test levels are the even ones
constexpr int kLastLevel = 20;

struct Standard
{
    int target = 0;
    int minimum = 0;
    int multiplier = 1;
};

struct Student
{
    int number = 0;
    int grade = 0;
    double skill = 1.0; // times are about skill × target
    int level = kFirstLevel;
    int runsAtLevel = 0;
    int pointsAtLevel = 0;
    QList<int> weekdays; // the days of the week the student comes to the school
};

QList<Standard> standardsByLevel()
{
    QList<Standard> table(kLastLevel + 1);
    const QStringList lines = standardsLines();
    for (int level = 1; level < lines.size() && level <= kLastLevel; ++level) {
        const QList<platform::Item> items = platform::readAllItems(lines[level]);
        table[level].target = int(platform::leadingInteger(items.value(0).text));
        table[level].minimum = int(platform::leadingInteger(items.value(1).text));
        table[level].multiplier = int(platform::leadingInteger(items.value(4).text));
    }
    return table;
}

} // namespace

app::Status writeDemoResults(const QString &dataFolder, const QDate &today, QStringList *written)
{
    const QString path = records::resultsFilePath(dataFolder);
    if (QFileInfo::exists(path))
        return {};

    const QList<platform::Item> common = platform::readAllItems(commonDataLines().join(u'\n'));
    const QString schoolCode = startup::splitSchoolText(common.value(1).text).code;
    const QList<Standard> standards = standardsByLevel();
    const int schoolYear = today.month() < 4 ? today.year() - 1 : today.year();

    // The same school every time it is laid out; only the dates follow today.
    QRandomGenerator random(20261208);
    QList<Student> students;
    for (const QString &line : rosterLines(today)) {
        const QList<platform::Item> items = platform::readAllItems(line);
        Student s;
        s.number = int(platform::leadingInteger(items.value(0).text));
        s.grade = schoolYear - int(platform::leadingInteger(items.value(1).text)) - 6;
        const int status = int(platform::leadingInteger(items.value(5).text));
        // Teachers do not drill, and a few students have not started yet.
        if (s.number >= 900 || status == 2 || random.bounded(10) == 0)
            continue;
        s.skill = 0.7 + random.bounded(0.6);
        // Most start at the first test; a few older students have come further before these weeks.
        s.level = kFirstLevel;
        if (s.grade >= 7 && random.bounded(3) == 0)
            s.level = kFirstLevel + 2 * (1 + int(random.bounded(s.grade - 4)));
        s.level = std::min(s.level, 14);
        const int visits = 2 + int(random.bounded(3));
        while (s.weekdays.size() < visits) {
            const int day = 1 + int(random.bounded(6)); // Monday to Saturday
            if (!s.weekdays.contains(day))
                s.weekdays.append(day);
        }
        students.append(s);
    }

    struct Run
    {
        double date;
        int seconds;
        records::ResultRecord record;
    };
    QList<Run> runs;
    for (int daysAgo = kDays - 1; daysAgo >= 0; --daysAgo) {
        const QDate day = today.addDays(-daysAgo);
        for (Student &s : students) {
            if (!s.weekdays.contains(day.dayOfWeek()) || random.bounded(8) == 0)
                continue;
            int seconds = 16 * 3600 + int(random.bounded(4 * 3600));
            const int count = 1 + int(random.bounded(4));
            for (int n = 0; n < count && s.level <= kLastLevel; ++n) {
                const Standard &standard = standards[s.level];
                // Practice makes a student quicker at a level, up to a point.
                const double practice = std::max(0.85, 1.15 - 0.06 * s.runsAtLevel);
                const double noise = 0.85 + random.bounded(0.35);
                int time = int(std::lround(standard.target * s.skill * practice * noise));
                if (random.bounded(40) == 0 || time >= 5 * standard.minimum)
                    time = records::kTimeOut;
                const double clock = std::min(seconds, 86399) / 86400.0;
                runs.append({platform::dateSerial(day), seconds,
                             records::newRecord(platform::dateSerial(day), clock, qint16(s.number),
                                                qint16(s.level), time, schoolCode)});
                seconds += std::min(time, 900) + 60 + int(random.bounded(300));
                ++s.runsAtLevel;
                s.pointsAtLevel += records::addedPoints(records::runPoints(time, standard.target, true),
                                                        standard.multiplier);
                if (s.runsAtLevel >= 3 && s.pointsAtLevel >= 30 && s.level < kLastLevel) {
                    s.level += 2;
                    s.runsAtLevel = 0;
                    s.pointsAtLevel = 0;
                }
            }
        }
    }
    // In the file, runs follow each other in time, as classroom PCs append them.
    std::stable_sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) {
        return a.date != b.date ? a.date < b.date : a.seconds < b.seconds;
    });
    QList<records::ResultRecord> list;
    list.reserve(runs.size());
    for (const Run &run : runs)
        list.append(run.record);

    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    platform::ResponsiveWait wait;
    if (app::Status failed = records::appendRecords(partial, list, wait)) {
        QFile::remove(partial);
        return failed;
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        if (QFileInfo::exists(path))
            return {}; // laid out by someone else meanwhile
        return app::Failure{QString(),
                            QStringLiteral("成績ファイルを作れません：%1").arg(platform::displayPath(path))};
    }
    if (written)
        written->append(path);
    // The answer history goes with these results, never with a school's own.
    QHash<int, double> weakness;
    for (const Student &s : students)
        weakness.insert(s.number, s.skill);
    return writeDemoHistory(
        dataFolder, list, [&weakness](int student) { return weakness.value(student, 1.0); }, written);
}

} // namespace demo
