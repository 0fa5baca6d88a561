#include "drill/StatusPanel.h"

#include "drill/LevelCatalogue.h"

#include <cmath>

namespace drill {

StatusTexts statusTexts(const Catalogue &catalogue, const app::CurrentRun &run, const QString &schoolName,
                        const TodayRuns &today)
{
    StatusTexts t;
    const int level = run.currentLevel;
    const int student = run.studentNumber;
    t.title = catalogue.programTitle;
    t.titlePointSize = t.title.size() > 9 ? 14.0 : 16.8;
    t.name = run.studentName.trimmed();
    t.school = schoolName;
    t.level = level >= 0 && level <= kMaxLevel ? catalogue.levelNames[level] : QString();
    if (catalogue::isPracticeLevel(t.level)) {
        t.runAtLevel = t.runToday = QStringLiteral("－");
        return t;
    }
    const bool known = level >= 0 && level <= kMaxLevel && student >= 0 && student <= kMaxStudentNumber;
    t.runAtLevel = QString::number(known ? today.atLevel + 1 : 1);
    t.runToday = QString::number((known ? today.ofTheDay : 0) + 1);
    return t;
}

} // namespace drill
