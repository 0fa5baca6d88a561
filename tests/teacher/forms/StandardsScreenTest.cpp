#include "teacher/forms/StandardsScreen.h"
#include "platform/TextFile.h"
#include "records/StandardsTable.h"
#include "teacher/forms/TeacherScreens.h"

#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QStringListModel>
#include <QTableView>

#include "hub/QStringPrinter.h"

using namespace testing_support;

namespace {

struct Editor
{
    TestSchool school;
    StandardsScreen *form = nullptr;
    QLineEdit *box = nullptr;
    QTableView *grid = nullptr;

    explicit Editor(bool withRuns = true)
    {
        if (withRuns)
            school.writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 4, 125),
                              runAt(QDate(2026, 12, 2), QTime(15, 0), 131, 4, 35),
                              runAt(QDate(2026, 12, 3), QTime(15, 0), 132, 4, 42),
                              runAt(QDate(2026, 12, 3), QTime(15, 5), 132, 2, 99999)});
        form = qobject_cast<StandardsScreen *>(openTool(school, QStringLiteral("Command10_1")));
        if (form) {
            box = form->findChild<QLineEdit *>(QStringLiteral("Gridinputtext"));
            grid = form->findChild<QTableView *>(QStringLiteral("MSFlexGrid1"));
        }
    }
    QString cell(int level, int column) const { return form->grid().cell(level, column); }
    QStringList list(const QString &name) const
    {
        auto *view = form->findChild<QListView *>(name);
        return view ? qobject_cast<QStringListModel *>(view->model())->stringList() : QStringList();
    }
    void clickCell(int level, int column)
    {
        const QModelIndex index = grid->model()->index(level - 1, column);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
    }
    QByteArray standardsBytes() const { return readBytes(school.inst.standardsFile()); }
};

} // namespace

TEST(StandardsEditorScreen, OpensWithTheTableTheFixedTextsAndTheFirstLevelsPanel)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    ASSERT_NE(e.box, nullptr);
    EXPECT_EQ(e.grid->model()->columnCount(), 13);
    EXPECT_EQ(e.grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("目標Time"));
    EXPECT_EQ(e.cell(4, 1), QStringLiteral("140"));
    EXPECT_EQ(e.form->editor().row(), 1);
    EXPECT_EQ(e.form->editor().column(), 1);
    EXPECT_TRUE(e.box->isVisible());
    EXPECT_TRUE(e.box->hasFocus());
    EXPECT_EQ(e.box->text(), QStringLiteral("110"));
    // The box lies over the current cell.
    EXPECT_EQ(e.box->geometry(), e.grid->visualRect(e.grid->model()->index(0, 1)));
    EXPECT_EQ(control<QLabel>(e.form, QStringLiteral("Label1"))->text(),
              QStringLiteral("成績の基準となるデータを変更できます。\nプログラムを選んでください。"));
    EXPECT_EQ(control<QLabel>(e.form, QStringLiteral("lblHelp"))->text(),
              QStringLiteral("合格基準タイム\r\n　大部分の人ががんばったら出せそうなタイムにしてください"));
    EXPECT_EQ(control<QLabel>(e.form, QStringLiteral("lblKeyHint"))->text(),
              QStringLiteral("スペース：セルクリア　　Shift + ↓：セルコピー"));
    EXPECT_EQ(e.list(QStringLiteral("lstAllResults")).value(0), QStringLiteral("レベル1 今まで0回  （★=1）"));
    EXPECT_TRUE(e.school.fakes.messages.shown.empty());
}

TEST(StandardsEditorScreen, KeysEditTheCellMoveTheBoxAndRecomputeThePanel)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    e.clickCell(4, 1);
    EXPECT_EQ(e.form->editor().row(), 4);
    EXPECT_EQ(e.list(QStringLiteral("lstAllResults")).value(0), QStringLiteral("レベル4 今まで3回  （★=1）"));
    EXPECT_EQ(e.list(QStringLiteral("lstBestTimes")).value(1 + 3), QStringLiteral("  30～★"));
    EXPECT_EQ(e.list(QStringLiteral("lstBestTimes")).value(1 + 4), QStringLiteral("  40～★"));

    const int before = e.form->distributionCount();
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("90"));
    EXPECT_EQ(e.cell(4, 1), QStringLiteral("90"));
    EXPECT_EQ(e.box->text(), QStringLiteral("90"));
    EXPECT_TRUE(e.form->grid().isChanged(4, 1));
    EXPECT_TRUE(e.form->editor().changed());
    EXPECT_EQ(e.form->distributionCount(), before + 3);
    QTest::keyClick(e.box, Qt::Key_Escape);
    EXPECT_EQ(e.form->distributionCount(), before + 3);

    QTest::keyClick(e.box, Qt::Key_Right);
    EXPECT_EQ(e.form->editor().column(), 2);
    EXPECT_EQ(e.box->text(), QStringLiteral("280"));
    EXPECT_EQ(e.box->geometry(), e.grid->visualRect(e.grid->model()->index(3, 2)));
    EXPECT_EQ(control<QLabel>(e.form, QStringLiteral("lblHelp"))->text(),
              QStringLiteral("合格最低ラインタイム\r\n  この５倍が時間切れになります"));
    QTest::keyClick(e.box, Qt::Key_Up);
    EXPECT_EQ(e.list(QStringLiteral("lstAllResults")).value(0), QStringLiteral("レベル3 今まで0回  （★=1）"));
    // Shift + Down copies the box down without colour.
    QTest::keyClick(e.box, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(e.cell(4, 2), QStringLiteral("260"));
    EXPECT_FALSE(e.form->grid().isChanged(4, 2));
    saveScreenshot(e.form, QStringLiteral("teacher_standards_editor"));

    // "元に戻す" shows the file again; the flag stays, and so "戻る" asks.
    clickButton(e.form, QStringLiteral("cmdReload"));
    EXPECT_EQ(e.cell(4, 1), QStringLiteral("140"));
    EXPECT_FALSE(e.form->grid().isChanged(4, 1));
    e.school.fakes.messages.answers.push_back(false);
    const QByteArray file = e.standardsBytes();
    clickButton(e.form, QStringLiteral("cmdBack"));
    settle();
    ASSERT_EQ(e.school.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(e.school.fakes.messages.shown[0].title, QStringLiteral("注意"));
    EXPECT_EQ(e.school.fakes.messages.shown[0].text,
              QStringLiteral("データが変更されています。記録しますか？"));
    EXPECT_EQ(e.standardsBytes(), file);
    EXPECT_NE(qobject_cast<HubScreen *>(e.school.window->currentScreen()), nullptr);
}

TEST(StandardsEditorScreen, SavingOnTheWayBackWritesTheFileAndTheHubShowsTheNewTarget)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    e.clickCell(4, 1);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("90"));
    e.school.fakes.messages.answers.push_back(true); // "データが変更されています。記録しますか？"
    clickButton(e.form, QStringLiteral("cmdBack"));
    settle();
    QStringList lines = Installation::standardsLines();
    lines[4].replace(0, 3, QStringLiteral("90"));
    EXPECT_EQ(e.standardsBytes(),
              platform::encode932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    EXPECT_EQ(e.school.state->standards.targetTime[4], 90);
    auto *hub = qobject_cast<HubScreen *>(e.school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    EXPECT_TRUE(
        control<QLabel>(hub, QStringLiteral("Label7_4"))->text().startsWith(QStringLiteral("目標=90秒")))
        << control<QLabel>(hub, QStringLiteral("Label7_4"))->text().toStdString();
}

TEST(StandardsEditorScreen, ACommaIsRefusedAndAZeroTimeIsMarkedAndAskedAbout)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    const QByteArray file = e.standardsBytes();
    e.clickCell(2, 6);
    QTest::keyClicks(e.box, QStringLiteral(",5"));
    EXPECT_FALSE(e.form->save());
    ASSERT_EQ(e.school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(e.school.fakes.messages.shown[0].text.contains(QStringLiteral("カンマ")));
    EXPECT_TRUE(e.form->grid().isMarked(2, 6));
    EXPECT_EQ(e.standardsBytes(), file);

    QTest::keyClick(e.box, Qt::Key_Space); // the comma goes
    e.clickCell(6, 2);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("0"));
    e.school.fakes.messages.answers.push_back(false);
    EXPECT_FALSE(e.form->save());
    EXPECT_TRUE(e.form->grid().isMarked(6, 2));
    EXPECT_EQ(e.standardsBytes(), file);
    e.school.fakes.messages.answers.push_back(true);
    EXPECT_TRUE(e.form->save());
    EXPECT_FALSE(e.form->editor().changed());
    EXPECT_EQ(e.school.state->standards.minimumTime[6], 0);
    EXPECT_NE(e.standardsBytes(), file);
}

TEST(StandardsEditorScreen, MissingFilesAreNamedAndNothingIsWritten)
{
    TestSchool school;
    QFile::remove(school.inst.standardsFile());
    auto *form = qobject_cast<StandardsScreen *>(openTool(school, QStringLiteral("Command10_1")));
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(school.fakes.messages.shown.size(), 2u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("タイム回数データ.txt")));
    EXPECT_TRUE(school.fakes.messages.shown[1].text.contains(QStringLiteral("成績累積データ.dat")));
    EXPECT_EQ(form->grid().levelCount(), 0);
    EXPECT_FALSE(control<QPushButton>(form, QStringLiteral("cmdSave"))->isEnabled());
    EXPECT_FALSE(form->save());
    clickButton(form, QStringLiteral("cmdBack"));
    settle();
    EXPECT_FALSE(QFile::exists(school.inst.standardsFile()));
    EXPECT_FALSE(QFile::exists(school.resultsFile()));
}
