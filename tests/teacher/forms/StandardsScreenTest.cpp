#include "teacher/forms/StandardsScreen.h"
#include "platform/TextFile.h"
#include "records/StandardsTable.h"
#include "startup/forms/ScreenParts.h"
#include "teacher/forms/TeacherScreens.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QStringListModel>
#include <QTableView>

#include "hub/QStringPrinter.h"

using hub::HubScreen;
using teacher::StandardsScreen;

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
    EXPECT_EQ(e.grid->model()->headerData(1, Qt::Horizontal, Qt::AccessibleTextRole).toString(),
              QStringLiteral("目標Time"));
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
    // Shift + Down copies the box down, a change like a typed one.
    QTest::keyClick(e.box, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(e.cell(4, 2), QStringLiteral("260"));
    EXPECT_TRUE(e.form->grid().isChanged(4, 2));
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

TEST(StandardsEditorScreen, ARefusedSaveIsToldAndADoubtfulOneWritesOnlyOnYes)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    const QByteArray file = e.standardsBytes();
    e.clickCell(2, 6);
    QTest::keyClicks(e.box, QStringLiteral(",5"));
    EXPECT_FALSE(e.form->save());
    EXPECT_EQ(e.school.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(e.standardsBytes(), file);

    QTest::keyClick(e.box, Qt::Key_Space); // the comma goes
    e.clickCell(6, 2);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("0"));
    e.school.fakes.messages.answers.push_back(false);
    EXPECT_FALSE(e.form->save());
    ASSERT_EQ(e.school.fakes.messages.shown.size(), 2u);
    EXPECT_EQ(e.school.fakes.messages.shown[1].title, QStringLiteral("注意"));
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
    EXPECT_TRUE(school.fakes.messages.shown[1].text.contains(QStringLiteral("成績累積データ.dat")));
    EXPECT_EQ(form->grid().levelCount(), 0);
    EXPECT_FALSE(control<QPushButton>(form, QStringLiteral("cmdSave"))->isEnabled());
    EXPECT_FALSE(form->save());
    clickButton(form, QStringLiteral("cmdBack"));
    settle();
    EXPECT_FALSE(QFile::exists(school.inst.standardsFile()));
    EXPECT_FALSE(QFile::exists(school.resultsFile()));
}

// A save that start-up would refuse writes nothing and names the level and column; after it, and after
// a save the teacher called off, the keys go on working in the grid.
TEST(StandardsEditorScreen, ARefusedOrCancelledSaveLeavesTheTeacherEditingInTheGrid)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    const QByteArray file = e.standardsBytes();
    auto *save = control<QPushButton>(e.form, QStringLiteral("cmdSave"));
    e.clickCell(7, 4);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("40000"));
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(e.school.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(e.standardsBytes(), file);
    EXPECT_EQ(QApplication::focusWidget(), e.box);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(e.form->editor().column(), 3);

    // Back to a value in range, then a doubtful time the teacher does not save.
    QTest::keyClick(e.box, Qt::Key_Right);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("30"));
    e.clickCell(3, 1);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("0"));
    e.school.fakes.messages.answers.push_back(false);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(e.standardsBytes(), file);
    EXPECT_EQ(QApplication::focusWidget(), e.box);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(e.form->editor().row(), 4);
}

// Whether a line edit shows all of its text: with the caret at the start and at the end, the text's two
// ends are as far apart as the whole text is wide (a box too narrow scrolls the text between the two).
static bool showsWholeText(QLineEdit *box)
{
    const int caret = box->cursorPosition();
    box->setCursorPosition(0);
    const int left = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    box->setCursorPosition(int(box->text().size()));
    const int right = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    box->setCursorPosition(caret);
    return left >= 0 && right <= box->width() &&
           right - left >= box->fontMetrics().horizontalAdvance(box->text()) - 1;
}

TEST(StandardsEditorScreen, TheEditorBoxShowsTheWholeNumberInNarrowColumns)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    for (const auto &[column, value] :
         {std::pair{1, QStringLiteral("2105")}, std::pair{4, QStringLiteral("40000")},
          std::pair{2, QStringLiteral("1234567890")}}) {
        e.clickCell(2, column);
        QTest::keyClick(e.box, Qt::Key_Space);
        QTest::keyClicks(e.box, value);
        EXPECT_EQ(e.box->text(), value);
        EXPECT_TRUE(showsWholeText(e.box)) << value.toStdString();
        // It still lies over its cell.
        const QRect cell = e.grid->visualRect(e.grid->model()->index(1, column));
        EXPECT_TRUE(e.box->geometry().contains(cell)) << value.toStdString();
    }
}

// The column titles break between their words, and each line fits its column.
TEST(StandardsEditorScreen, ColumnTitlesBreakBetweenWordsAndFitTheirColumns)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    QHeaderView *header = e.grid->horizontalHeader();
    const QFontMetrics metrics(header->font());
    const QStringList titles = teacher::standardsHeaderCells();
    for (int c = 1; c <= 9; ++c) {
        QString shown = e.grid->model()->headerData(c, Qt::Horizontal).toString();
        for (const QString &line : shown.split(u'\n'))
            EXPECT_LE(metrics.horizontalAdvance(line) + 6, header->sectionSize(c)) << line.toStdString();
        EXPECT_EQ(shown.remove(u'\n'), titles[c - 1]);
    }
}

// "更新記録" shows the waiting panel while it writes, and hides it afterwards.
TEST(StandardsEditorScreen, SavingShowsTheWaitingPanel)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    auto *wait = control<QWidget>(e.form, QStringLiteral("picWait"));
    struct ShowCounter : QObject
    {
        int shows = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Show)
                ++shows;
            return false;
        }
    } counter;
    wait->installEventFilter(&counter);
    e.clickCell(4, 1);
    QTest::keyClick(e.box, Qt::Key_Space);
    QTest::keyClicks(e.box, QStringLiteral("90"));
    EXPECT_TRUE(e.form->save());
    EXPECT_EQ(counter.shows, 1);
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A level whose runs took minutes has its stars far down the hundred lines: the lists show them.
TEST(StandardsEditorScreen, TheFrequencyListsShowTheLinesWithStars)
{
    Editor e;
    ASSERT_NE(e.form, nullptr);
    e.school.writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 3, 605),
                        runAt(QDate(2026, 12, 2), QTime(15, 0), 132, 3, 652)});
    e.clickCell(3, 1);
    for (const QString &name : {QStringLiteral("lstAllResults"), QStringLiteral("lstBestTimes")}) {
        auto *view = control<QListView>(e.form, name);
        const QStringList lines = e.list(name);
        const auto starred =
            std::find_if(lines.begin() + 1, lines.end(), [](const QString &l) { return l.contains(u'★'); });
        ASSERT_NE(starred, lines.end()) << name.toStdString();
        const QRect seen = view->visualRect(view->model()->index(int(starred - lines.begin()), 0));
        EXPECT_TRUE(view->viewport()->rect().contains(seen)) << name.toStdString();
    }
}

namespace {
// Message boxes that let the test look at the screen while one is up.
struct LookingMessageBoxes : RecordingMessageBoxes
{
    std::function<void()> whileShown;
    void show(const QString &title, const QString &text, Icon icon) override
    {
        if (whileShown)
            whileShown();
        RecordingMessageBoxes::show(title, text, icon);
    }
};
} // namespace

// A click on another cell may bring up a message (the results file gone from reach): while it is up,
// the editor box shows the text of the cell it lies over, not the last cell's.
TEST(StandardsEditorScreen, WhileAMessageIsUpTheBoxShowsTheCellItLiesOver)
{
    TestSchool school;
    school.writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 4, 125)});
    LookingMessageBoxes messages;
    FakeServices &f = school.fakes;
    Services services{f.clock,      f.random, messages, f.launcher,
                      f.programEnd, f.media,  f.wait,   f.outputDialogs};
    AppContext context{services, *school.window};
    StandardsScreen form(startup::parts::standardsScreen(*school.state), context, school.window.get());
    form.setGeometry(0, 0, 1024, 768);
    form.show();
    form.raise();
    form.activate();
    ASSERT_TRUE(messages.shown.empty());
    auto *box = control<QLineEdit>(&form, QStringLiteral("Gridinputtext"));
    auto *grid = control<QTableView>(&form, QStringLiteral("MSFlexGrid1"));

    const QString data = school.inst.dataFolder;
    ASSERT_TRUE(QDir().rename(QDir::cleanPath(data), QDir::cleanPath(data) + QStringLiteral("-gone")));
    QString boxText;
    QString cellText;
    QRect boxAt;
    messages.whileShown = [&] {
        boxText = box->text();
        cellText = form.grid().cell(form.editor().row(), form.editor().column());
        boxAt = box->geometry();
    };
    const QModelIndex target = grid->model()->index(4, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(target).center());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(form.editor().row(), 5);
    EXPECT_EQ(cellText, form.grid().cell(5, 2));
    EXPECT_EQ(boxText, cellText);
    EXPECT_TRUE(boxAt.contains(grid->visualRect(target)));
    QDir().rename(QDir::cleanPath(data) + QStringLiteral("-gone"), QDir::cleanPath(data));
}
