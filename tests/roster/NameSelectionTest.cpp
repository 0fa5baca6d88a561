#include "roster/NameSelection.h"

#include "hub/QStringPrinter.h"
#include "platform/TextFile.h"
#include "roster/LoadedSchool.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

using namespace testing_support;
using roster::NameListModel;
using roster::NameSelection;

// Named after the file: in a unity build the helpers share a source with the other tests of the folder.
namespace name_selection_test {
const QString IS = QStringLiteral("　"); // ideographic space

struct Selection
{
    explicit Selection(LoadedSchool &school)
        : selection({school.state->settings, school.state->catalogue, school.state->standards,
                     school.state->results, school.state->statistics, school.state->roster,
                     school.state->run},
                    school.fakes.services),
          tester(&selection.names(), QAbstractItemModelTester::FailureReportingMode::Fatal)
    {
    }
    NameSelection selection;
    QAbstractItemModelTester tester;
};

// What the list view reads: the text and the student of every row.
QStringList rows(const NameListModel &model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row).data().toString();
    return texts;
}

QList<int> students(const NameListModel &model)
{
    QList<int> numbers;
    for (int row = 0; row < model.rowCount(); ++row)
        numbers << model.index(row).data(NameListModel::StudentNumberRole).toInt();
    return numbers;
}

QString failureText(const app::Status &status)
{
    return status ? status->text : QString();
}
} // namespace name_selection_test

using namespace name_selection_test;

TEST(NameSelection, ActivationDrawsTheRosterOldestFirstWithTodaysAndAllPoints)
{
    LoadedSchool school;
    school.writeRuns({runAt(QDate(2026, 12, 8), QTime(15, 0), 131, 2, 60),  // 11 points against 120 s
                      runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 120), // 5 points
                      runAt(QDate(2026, 12, 8), QTime(15, 0), 172, 4, 99999)});
    school.state->run.hubGradeFilter = QStringLiteral("中２");
    school.state->run.hubPeriod = 3;
    Selection s(school);
    NameSelection &selection = s.selection;
    ASSERT_EQ(failureText(selection.activate()), QString());

    EXPECT_EQ(selection.displayMode(), 1);
    EXPECT_EQ(selection.gradeGroup(), QStringLiteral("全学年"));
    EXPECT_EQ(school.state->run.gradeGroup, QStringLiteral("全学年"));
    // The hub's own choices are forgotten: it starts again from this screen's grade group.
    EXPECT_TRUE(school.state->run.hubGradeFilter.isEmpty());
    EXPECT_EQ(school.state->run.hubPeriod, 0);
    EXPECT_EQ(selection.chosenName(), QStringLiteral("名前を選びなさい"));
    EXPECT_EQ(selection.chosenStudent(), -1);

    const QStringList names = rows(selection.names());
    ASSERT_EQ(names.size(), 8);
    EXPECT_EQ(names[0], QStringLiteral("－－－－－－"));
    EXPECT_EQ(names[1], QStringLiteral("大+ ★山本先生") + IS + QStringLiteral("  　/       "));
    EXPECT_EQ(names[2], QStringLiteral("高1 伊藤颯") + IS.repeated(3) + QStringLiteral("  　/       "));
    EXPECT_EQ(names[3], QStringLiteral("中2 松本樹") + IS.repeated(3) + QStringLiteral("  　/       "));
    EXPECT_EQ(names[4], QStringLiteral("中1 橋本心春") + IS.repeated(2) + QStringLiteral("  　/       "));
    EXPECT_EQ(names[5], QStringLiteral("小3 加藤あおい") + IS + QStringLiteral("  11/     16"));
    EXPECT_EQ(names[6], QStringLiteral("小3 岡田ゆうと") + IS + QStringLiteral("  　/       "));
    EXPECT_EQ(names[7], QStringLiteral("幼3 小川ひなた") + IS + QStringLiteral("  　/       "));
    // Each row carries its student; the separator nobody.
    EXPECT_EQ(students(selection.names()), (QList<int>{-1, 900, 201, 181, 172, 131, 132, 101}));

    // The hidden working lists: the full list with years and numbers, the numbered list beside the names.
    const roster::namelist::Lists &lists = selection.names().lists();
    EXPECT_TRUE(lists.full.first().startsWith(QStringLiteral("1980大+ ★山本先生")));
    EXPECT_TRUE(lists.full.first().endsWith(QStringLiteral("*900")));
    EXPECT_EQ(lists.numbered[4], names[5] + QStringLiteral("*131"));
}

TEST(NameSelection, GradeGroupsAndDisplayModesDrawTheListAgain)
{
    LoadedSchool school;
    school.writeRuns({runAt(QDate(2026, 12, 8), QTime(15, 0), 131, 2, 60),
                      runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 120),
                      runAt(QDate(2026, 12, 8), QTime(15, 0), 101, 2, 99999)});
    Selection s(school);
    NameSelection &selection = s.selection;
    ASSERT_EQ(failureText(selection.activate()), QString());
    struct Case
    {
        QString group;
        QList<int> students;
    };
    for (const Case &c : {Case{QStringLiteral("中２"), {181}}, Case{QStringLiteral("小学生全体"), {131, 132}},
                          Case{QStringLiteral("中学生全体"), {181, 172}}, Case{QStringLiteral("小１"), {}},
                          Case{QStringLiteral("全学年"), {900, 201, 181, 172, 131, 132, 101}}}) {
        selection.choose(1, false);
        ASSERT_EQ(failureText(selection.chooseGradeGroup(c.group)), QString());
        EXPECT_EQ(students(selection.names()), QList<int>{-1} + c.students) << c.group.toStdString();
        EXPECT_EQ(school.state->run.gradeGroup, c.group);
        EXPECT_EQ(selection.chosenName(), QStringLiteral("名前を選びなさい")); // a new list chooses nobody
    }

    ASSERT_EQ(failureText(selection.chooseDisplayMode(0)), QString());
    EXPECT_EQ(selection.displayMode(), 0);
    // A kindergarten name is padded wider in the count modes.
    EXPECT_EQ(rows(selection.names())[7],
              QStringLiteral("幼3 小川ひなた") + IS.repeated(3) + QStringLiteral("     /     　"));
    EXPECT_EQ(rows(selection.names())[5],
              QStringLiteral("小3 加藤あおい") + IS + QStringLiteral("  1回/    2回"));
    ASSERT_EQ(failureText(selection.chooseDisplayMode(3)), QString());
    EXPECT_EQ(rows(selection.names())[5],
              QStringLiteral("小3 加藤あおい") + IS + QStringLiteral("     16/    2回"));
    ASSERT_EQ(failureText(selection.chooseDisplayMode(2)), QString());
    EXPECT_EQ(rows(selection.names())[5],
              QStringLiteral("小3 加藤あおい") + IS + QStringLiteral("  11/  1回"));

    // The mode shown already draws nothing: the choice stays.
    selection.choose(5, false);
    ASSERT_EQ(failureText(selection.chooseDisplayMode(2)), QString());
    EXPECT_EQ(selection.chosenStudent(), 131);
    EXPECT_EQ(selection.chosenName(), QStringLiteral("小3 加藤あおい") + IS);
}

TEST(NameSelection, EveryRowSignsInItsOwnStudent)
{
    struct Case
    {
        int row;
        int student;
        QString grade; // table A; the teacher's grade number has none
    };
    const Case cases[] = {{1, 900, QString()},
                          {2, 201, QStringLiteral("高１")},
                          {3, 181, QStringLiteral("中２")},
                          {4, 172, QStringLiteral("中１")},
                          {5, 131, QStringLiteral("小３")},
                          {6, 132, QStringLiteral("小３")},
                          {7, 101, QStringLiteral("幼３")}};
    for (const Case &c : cases) {
        LoadedSchool school;
        Selection s(school);
        ASSERT_EQ(failureText(s.selection.activate()), QString());
        s.selection.choose(c.row, false);
        EXPECT_EQ(s.selection.chosenStudent(), c.student);
        ASSERT_EQ(s.selection.confirm(), NameSelection::Confirmation::SignedIn) << c.row;
        EXPECT_EQ(school.state->run.studentNumber, c.student);
        EXPECT_EQ(school.state->run.currentGrade, c.grade) << c.row;
    }
}

TEST(NameSelection, TheChosenNameSignsInOnceAndSetsUpTheLevels)
{
    LoadedSchool school;
    Selection s(school);
    NameSelection &selection = s.selection;
    ASSERT_EQ(failureText(selection.activate()), QString());

    // The separator chooses nobody: nothing is signed in.
    selection.choose(0, false);
    EXPECT_EQ(selection.chosenName(), QStringLiteral("名前を選びなさい"));
    EXPECT_EQ(selection.confirm(), NameSelection::Confirmation::NoNameChosen);
    EXPECT_EQ(school.state->run.studentNumber, 0);
    EXPECT_FALSE(selection.signedIn());

    // Choosing the separator after a name takes the name back but leaves the number.
    selection.choose(5, false);
    EXPECT_EQ(selection.chosenName(), QStringLiteral("小3 加藤あおい") + IS);
    selection.choose(0, false);
    EXPECT_EQ(selection.chosenStudent(), 131);
    EXPECT_EQ(selection.confirm(), NameSelection::Confirmation::NoNameChosen);
    EXPECT_EQ(school.state->run.studentNumber, 0);

    // A double click chooses the text up to the figures.
    selection.choose(5, true);
    EXPECT_EQ(selection.chosenName(), QStringLiteral("小3 加藤あおい") + IS + QStringLiteral("  　"));
    ASSERT_EQ(selection.confirm(), NameSelection::Confirmation::SignedIn);
    EXPECT_TRUE(selection.signedIn());
    EXPECT_EQ(school.state->run.studentNumber, 131);
    EXPECT_EQ(school.state->run.studentName, QStringLiteral("加藤あおい").leftJustified(20, u' '));
    EXPECT_EQ(school.state->run.currentGrade, QStringLiteral("小３"));
    EXPECT_EQ(school.state->run.nameConfirmedTime, 15 * 3600 + 30 * 60);
    EXPECT_EQ(school.state->catalogue.levelCount, 20);
    EXPECT_EQ(school.state->catalogue.levelNames[19], QStringLiteral("範囲１０練"));

    // Once signed in, the screen only waits for the hub.
    selection.choose(2, false);
    EXPECT_EQ(selection.confirm(), NameSelection::Confirmation::Ignored);
    EXPECT_EQ(school.state->run.studentNumber, 131);
}

TEST(NameSelection, TheProgramMenuIsStartedFromTheApplicationsParentFolder)
{
    LoadedSchool school;
    Selection s(school);
    EXPECT_EQ(failureText(s.selection.startProgramMenu()), QString());
    EXPECT_EQ(school.fakes.launcher.calls, 1);
    EXPECT_EQ(school.fakes.launcher.lastProgram,
              school.inst.applicationFolder + QStringLiteral("/../起動/プログラムメニューc.exe"));
    EXPECT_EQ(school.fakes.launcher.lastArguments, QStringList{QStringLiteral("001")});
    EXPECT_FALSE(school.fakes.programEnd.ended); // the screen ends the program once it has reported

    school.fakes.launcher.succeed = false;
    const app::Status failed = s.selection.startProgramMenu();
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->title, QStringLiteral("プログラムメニュー"));
    EXPECT_TRUE(failed->text.contains(QStringLiteral("プログラムメニューc.exe")))
        << failed->text.toStdString();
}

TEST(NameSelection, AMissingRosterEndsTheProgramWithTheRoutinesMessage)
{
    LoadedSchool school(QStringList{});
    Selection s(school);
    const app::Status failed = s.selection.activate();
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->title, QStringLiteral("名簿表示"));
    EXPECT_EQ(failed->text, QStringLiteral("名簿表示3名簿ファイル ") +
                                platform::displayPath(school.rosterFile()) +
                                QStringLiteral(" が見つかりません。53"));
    ASSERT_TRUE(failed->exitStatus.has_value());
    EXPECT_NE(*failed->exitStatus, 0);
    EXPECT_EQ(s.selection.names().rowCount(), 0);
}
