#include "roster/NameSelection.h"

#include "app/PathRules.h"
#include "drill/LevelCatalogue.h"
#include "platform/RandomSource.h"
#include "records/Statistics.h"

#include <QDir>

namespace roster {

NameSelection::NameSelection(const Parts &parts, Services &services)
    : m_parts(parts), m_services(services), m_gradeGroup(QString::fromUtf16(namelist::kAllGrades)),
      m_chosenName(QString::fromUtf16(namelist::kChooseName))
{
}

app::Status NameSelection::activate()
{
    platform::seedFromClock(m_services.random, m_services.clock);
    m_gradeGroup = QString::fromUtf16(namelist::kAllGrades);
    m_parts.run.gradeGroup = m_gradeGroup;
    // The hub is left: its next showing starts from this screen's grade group and the default period.
    m_parts.run.hubGradeFilter.clear();
    m_parts.run.hubPeriod = 0;
    m_displayMode = namelist::PointsTodayAndTotal;
    return redraw();
}

app::Status NameSelection::redraw()
{
    if (app::Status failed =
            records::computeStatistics({m_parts.settings, m_parts.catalogue}, m_parts.standards,
                                       m_parts.results, m_parts.statistics, m_services))
        return failed;
    app::Result<namelist::Lists> lists = namelist::loadLists(
        m_parts.settings, m_parts.roster, m_parts.statistics, m_services, m_displayMode, m_gradeGroup);
    if (!lists)
        return lists.status();
    m_names.setLists(std::move(lists.value()));
    choose(0, false);
    return {};
}

app::Status NameSelection::chooseGradeGroup(const QString &group)
{
    m_gradeGroup = group;
    m_parts.run.gradeGroup = group;
    return redraw();
}

app::Status NameSelection::chooseDisplayMode(int mode)
{
    if (mode == m_displayMode)
        return {};
    m_displayMode = mode;
    return redraw();
}

void NameSelection::choose(int row, bool doubleClick)
{
    if (row < 0 || row >= m_names.rowCount())
        return;
    const QString item = m_names.text(row);
    m_chosenName =
        doubleClick ? namelist::chosenNameOnDoubleClick(item, row) : namelist::chosenNameOnClick(item, row);
    if (row > 0)
        m_chosenStudent = m_names.studentNumber(row);
}

NameSelection::Confirmation NameSelection::confirm()
{
    if (m_signedIn)
        return Confirmation::Ignored;
    if (!namelist::signIn(m_parts.run, m_parts.roster, m_chosenName, m_chosenStudent,
                          m_services.clock.secondsSinceMidnight()))
        return Confirmation::NoNameChosen;
    m_signedIn = true;
    drill::catalogue::setUpLevels(m_parts.catalogue);
    return Confirmation::SignedIn;
}

app::Status NameSelection::startProgramMenu()
{
    const app::PathsAndSettings &settings = m_parts.settings;
    QString folder = settings.appFolder;
    if (folder.endsWith(QDir::separator()))
        folder.chop(1);
    const QString program = app::launcherPath(folder, settings.developmentLayout, QDir::separator());
    return app::titled(
        m_services.launcher.startDetached(program, app::launcherArguments(settings.developmentLayout)),
        QStringLiteral("プログラムメニュー"));
}

} // namespace roster
