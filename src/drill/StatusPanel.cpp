#include "drill/StatusPanel.h"

#include "records/Statistics.h"

#include "drill/LevelCatalogue.h"

#include <cmath>

namespace drill {

StatusTexts statusTexts(const AppState &state)
{
    StatusTexts t;
    const int level = state.run.currentLevel;
    const int student = state.run.studentNumber;
    t.title = state.catalogue.programTitle;
    t.titlePointSize = t.title.size() > 9 ? 14.0 : 16.8;
    t.name = state.run.studentName.trimmed();
    t.school = state.settings.schoolName;
    t.level = level >= 0 && level <= kMaxLevel ? state.catalogue.levelNames[level] : QString();
    if (catalogue::isPracticeLevel(t.level)) {
        t.runAtLevel = t.runToday = QStringLiteral("－");
        return t;
    }
    const bool known = level >= 0 && level <= kMaxLevel && student >= 0 && student <= kMaxStudentNumber;
    t.runAtLevel = QString::number(known ? qint64(state.statistics.todayCount(level, student)) + 1 : 1);
    // The day's run number counts the runs of every level, as the result screen's day total does (an
    // older count over levels 1 to 15 only left out the hardest levels).
    const qint64 today = known ? records::todayTotalRuns(state.statistics, student) : 0;
    t.runToday = QString::number(today + 1);
    return t;
}

} // namespace drill
