#include "teacher/StandardsEditor.h"
#include "records/StandardsTable.h"
#include "support/TestSupport.h"
#include "teacher/StandardsGridModel.h"
#include "teacher/TeacherEntry.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "hub/QStringPrinter.h"

using namespace teacher;
using namespace testing_support;

namespace {

// Level rows of twelve cells: level r, column c holds "r-c", but the times are numbers: column 1 holds
// 100 + 10 r, column 2 twice that.
QList<QStringList> levelRows(int levels = 20)
{
    QList<QStringList> rows;
    for (int r = 1; r <= levels; ++r) {
        QStringList cells;
        for (int c = 1; c <= kFieldColumns; ++c)
            cells << (c <= 2 ? QString::number(c * (100 + 10 * r)) : QStringLiteral("%1-%2").arg(r).arg(c));
        rows << cells;
    }
    return rows;
}

// The editor box as the form drives it: every key goes to the editor first; a refresh loads the box
// from the cell (caret at 10); a key that is not swallowed then types into the box at the caret.
struct Box
{
    StandardsEditor &editor;
    KeyOutcome key(EditorKey k, bool shift = false)
    {
        const KeyOutcome outcome = editor.pressKey(k, shift);
        if (outcome.refresh)
            editor.gridToText();
        return outcome;
    }
    void type(const QString &characters)
    {
        for (const QChar c : characters) {
            key(EditorKey::Other);
            QString text = editor.boxText();
            text.insert(editor.caret(), c);
            editor.boxTextChanged(text);
        }
    }
    void backspace()
    {
        key(EditorKey::Other);
        QString text = editor.boxText();
        if (editor.caret() > 0)
            text.remove(editor.caret() - 1, 1);
        editor.boxTextChanged(text);
    }
};

struct Editor : ::testing::Test
{
    StandardsGridModel grid;
    StandardsEditor editor{grid};
    Box box{editor};
    void SetUp() override { grid.load(levelRows()); }
    void at(int row, int column)
    {
        editor.setCurrent(row, column);
        editor.gridToText();
    }
};

} // namespace

TEST_F(Editor, SpaceThenNinetyReplacesTheValueColoursItAndSetsTheFlag)
{
    at(3, 1);
    ASSERT_EQ(grid.cell(3, 1), QStringLiteral("130"));
    const KeyOutcome space = box.key(EditorKey::Space);
    EXPECT_TRUE(space.swallow); // no blank reaches the box
    EXPECT_EQ(grid.cell(3, 1), QString());
    box.type(QStringLiteral("90"));
    EXPECT_EQ(grid.cell(3, 1), QStringLiteral("90"));
    EXPECT_TRUE(grid.isChanged(3, 1));
    EXPECT_EQ(grid.data(grid.index(2, 1), StandardsGridModel::CellColourRole).value<quint32>(), 0xFFFF00u);
    EXPECT_TRUE(editor.changed());
    EXPECT_FALSE(grid.isChanged(3, 2));
}

TEST_F(Editor, TypedCharactersGoToTheEndOfShortValuesAndAtPositionTenOfLongOnes)
{
    grid.setCell(2, 4, QStringLiteral("12"), false);
    at(2, 4);
    box.type(QStringLiteral("5"));
    EXPECT_EQ(grid.cell(2, 4), QStringLiteral("125"));
    box.backspace();
    box.backspace();
    EXPECT_EQ(grid.cell(2, 4), QStringLiteral("1"));

    grid.setCell(2, 5, QStringLiteral("1234567890AB"), false);
    at(2, 5);
    EXPECT_EQ(editor.caret(), 10);
    box.type(QStringLiteral("x"));
    EXPECT_EQ(grid.cell(2, 5), QStringLiteral("1234567890xAB"));
    // Typing the value it already holds is no change.
    StandardsGridModel other;
    StandardsEditor same(other);
    other.load({{QStringLiteral("7")}});
    same.setCurrent(1, 1);
    same.boxTextChanged(QStringLiteral("7"));
    EXPECT_FALSE(same.changed());
    EXPECT_FALSE(other.isChanged(1, 1));
}

// The copies are the teacher's edits as much as typed ones: they are coloured and set the changed flag,
// so that "戻る" asks before they are lost.
TEST_F(Editor, ShiftDownCopiesTheBoxDownTheColumnAndCountsTheCopiesAsChanges)
{
    at(2, 3);
    box.key(EditorKey::Down, true);
    box.key(EditorKey::Down, true);
    EXPECT_EQ(editor.row(), 2);
    EXPECT_EQ(editor.selectionEndRow(), 4);
    for (int r = 2; r <= 4; ++r)
        EXPECT_EQ(grid.cell(r, 3), QStringLiteral("2-3")) << r;
    EXPECT_FALSE(grid.isChanged(2, 3)); // its own text
    EXPECT_TRUE(grid.isChanged(3, 3));
    EXPECT_TRUE(grid.isChanged(4, 3));
    EXPECT_EQ(grid.cell(5, 3), QStringLiteral("5-3"));
    EXPECT_TRUE(editor.changed());
    // Copying a value the rows already hold is no change.
    StandardsGridModel same;
    StandardsEditor sameEditor(same);
    same.load({{QStringLiteral("7")}, {QStringLiteral("7")}});
    sameEditor.setCurrent(1, 1);
    sameEditor.gridToText();
    sameEditor.pressKey(EditorKey::Down, true);
    EXPECT_FALSE(sameEditor.changed());
    // A move ends the selection; at the last row there is nothing below to copy into.
    box.key(EditorKey::Down);
    EXPECT_EQ(editor.selectionEndRow(), 3);
    at(20, 3);
    box.key(EditorKey::Down, true);
    EXPECT_EQ(editor.selectionEndRow(), 20);
}

TEST_F(Editor, EveryKeyButEscapeRecomputesAndArrowsStopAtTheEdges)
{
    struct Case
    {
        const char *name;
        int row, column;
        EditorKey key;
        int toRow, toColumn;
        bool swallow, refresh;
    };
    const Case cases[] = {
        {"up", 5, 5, EditorKey::Up, 4, 5, true, true},
        {"up at the top", 1, 5, EditorKey::Up, 1, 5, true, true},
        {"down", 5, 5, EditorKey::Down, 6, 5, true, true},
        {"down at the last level", 20, 5, EditorKey::Down, 20, 5, true, true},
        {"left", 5, 5, EditorKey::Left, 5, 4, true, true},
        {"left at column 1", 5, 1, EditorKey::Left, 5, 1, true, true},
        {"right", 5, 5, EditorKey::Right, 5, 6, true, true},
        {"right at column 12", 5, 12, EditorKey::Right, 5, 12, true, true},
        {"enter", 5, 5, EditorKey::Enter, 5, 5, true, true},
        {"escape", 5, 5, EditorKey::Escape, 5, 5, true, false},
        {"a character", 5, 5, EditorKey::Other, 5, 5, false, true},
    };
    for (const Case &c : cases) {
        at(c.row, c.column);
        const KeyOutcome outcome = editor.pressKey(c.key, false);
        EXPECT_EQ(editor.row(), c.toRow) << c.name;
        EXPECT_EQ(editor.column(), c.toColumn) << c.name;
        EXPECT_EQ(outcome.swallow, c.swallow) << c.name;
        EXPECT_EQ(outcome.refresh, c.refresh) << c.name;
        EXPECT_EQ(outcome.moved, c.row != c.toRow || c.column != c.toColumn) << c.name;
    }
    EXPECT_FALSE(editor.changed());
}

TEST_F(Editor, ReloadingShowsTheFileAgainButKeepsTheChangedFlag)
{
    at(3, 1);
    box.key(EditorKey::Space);
    ASSERT_TRUE(editor.changed());
    grid.load(levelRows());
    EXPECT_EQ(grid.cell(3, 1), QStringLiteral("130"));
    EXPECT_FALSE(grid.isChanged(3, 1));
    EXPECT_TRUE(editor.changed());
}

TEST(StandardsGrid, SavingAnUnchangedTableReproducesTheFileByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    writeFile932(path, Installation::standardsLines());
    const QByteArray before = readBytes(path);
    QList<QStringList> rows;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsRows(path), &rows, &error))
        << error.toStdString();
    StandardsGridModel grid;
    grid.load(rows.mid(1));
    EXPECT_EQ(grid.levelCount(), 20);
    ASSERT_TRUE(
        testing_support::succeeded(records::standards::writeStandardsTable(path, grid.fileRows()), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path), before);
}

TEST(StandardsGrid, ModelKeepsItsContractThroughLoadsEditsAndMarks)
{
    StandardsGridModel grid;
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.load(levelRows(3));
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnCount(), 13);
    EXPECT_EQ(grid.headerData(0, Qt::Horizontal).toString(), QStringLiteral("レベル"));
    EXPECT_EQ(grid.headerData(5, Qt::Horizontal, Qt::AccessibleTextRole).toString(),
              QStringLiteral("ﾎﾟｲﾝﾄ倍率"));
    EXPECT_EQ(grid.headerData(10, Qt::Horizontal).toString(), QString());
    EXPECT_EQ(grid.data(grid.index(2, 0)).toString(), QStringLiteral("3"));
    EXPECT_FALSE(grid.flags(grid.index(0, 0)).testFlag(Qt::ItemIsSelectable));
    EXPECT_TRUE(grid.flags(grid.index(0, 1)).testFlag(Qt::ItemIsSelectable));
    grid.setCell(2, 3, QStringLiteral("x"), true);
    grid.setMarked({QPoint(1, 1), QPoint(2, 3)});
    EXPECT_EQ(grid.data(grid.index(0, 1), StandardsGridModel::CellColourRole).value<quint32>(),
              kMarkedColour);
    // A marked cell loses its mark when its text changes.
    grid.setCell(1, 1, QStringLiteral("5"), true);
    EXPECT_FALSE(grid.isMarked(1, 1));
    EXPECT_TRUE(grid.isMarked(3, 2));
    grid.load({{QStringLiteral("1"), QStringLiteral("2")}});
    EXPECT_EQ(grid.cell(1, 12), QString()); // a short row is padded to twelve cells
    EXPECT_FALSE(grid.isMarked(3, 2));
    grid.load({});
    EXPECT_EQ(grid.rowCount(), 0);
}

TEST(StandardsGrid, TimesThatWouldEndEveryDrillAtOnceAreFoundAndNamed)
{
    StandardsGridModel grid;
    grid.load(levelRows(8));
    const char16_t *bad[] = {u"0", u"", u"abc", u"12a", u"-5", u"1.5"};
    for (int i = 0; i < 6; ++i)
        grid.setCell(i + 1, 2, QString::fromUtf16(bad[i]), false);
    grid.setCell(7, 1, QStringLiteral(" 60 "), false);
    const QList<QPoint> cells = doubtfulTimeCells(grid);
    ASSERT_EQ(cells.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(cells[i], QPoint(2, i + 1));
    const QString question = doubtfulTimesQuestion(grid, cells);
    EXPECT_TRUE(question.contains(QStringLiteral("レベル1の最低Time「0」、レベル2の最低Time「空」")))
        << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("ほか1か所")));
    // "12a" and "1.5" are read by their leading digits, as 12 and 1.
    EXPECT_TRUE(question.contains(QStringLiteral("整数の部分だけ"))) << question.toStdString();
    EXPECT_TRUE(question.endsWith(QStringLiteral("このまま記録しますか？")));

    grid.setCell(8, 6, QStringLiteral("1,2"), false);
    grid.setCell(8, 9, QStringLiteral("a\"b"), false);
    grid.setCell(8, 4, QStringLiteral("40000"), false); // beyond the 16 bits start-up reads
    EXPECT_EQ(refusedCells(grid), (QList<QPoint>{QPoint(4, 8), QPoint(6, 8), QPoint(9, 8)}));
}

// What the question says each doubtful time does: a 目標Time below 1 gives every run 0 points, a 最低Time
// below 1 ends the drill at once, and a time above the five digits of a recorded time is too large.
TEST(StandardsGrid, TheQuestionSaysWhatEachKindOfDoubtfulTimeDoes)
{
    StandardsGridModel grid;
    grid.load(levelRows(4));
    grid.setCell(1, 1, QStringLiteral("0"), false);
    QString question = doubtfulTimesQuestion(grid, doubtfulTimeCells(grid));
    EXPECT_TRUE(question.contains(QStringLiteral("0 点"))) << question.toStdString();
    EXPECT_FALSE(question.contains(QStringLiteral("時間切れ"))) << question.toStdString();

    grid.setCell(2, 2, QString(), false);
    question = doubtfulTimesQuestion(grid, doubtfulTimeCells(grid));
    EXPECT_TRUE(question.contains(QStringLiteral("0 点"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("すぐに時間切れ"))) << question.toStdString();

    StandardsGridModel large;
    large.load(levelRows(3));
    large.setCell(1, 1, QStringLiteral("3000000000"), false);
    large.setCell(2, 2, QStringLiteral("100000"), false);
    large.setCell(3, 2, QStringLiteral("99999"), false);
    const QList<QPoint> cells = doubtfulTimeCells(large);
    EXPECT_EQ(cells, (QList<QPoint>{QPoint(1, 1), QPoint(2, 2)}));
    question = doubtfulTimesQuestion(large, cells);
    EXPECT_TRUE(question.contains(QStringLiteral("大きすぎる"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("レベル1の目標Time「3000000000」")))
        << question.toStdString();
    EXPECT_FALSE(question.contains(QStringLiteral("1 以上の整数でない"))) << question.toStdString();
}

TEST(StandardsHelp, ColumnsOneToNineExplainThemselvesAndOthersAreEmpty)
{
    EXPECT_EQ(columnHelpText(2), QStringLiteral("合格最低ラインタイム\r\n  この５倍が時間切れになります"));
    EXPECT_EQ(columnHelpText(7),
              QStringLiteral("やりすぎ禁止ポイント\r\n  何ポイントとったらやりすぎ禁止にするか\r\n "));
    for (int column = 1; column <= 9; ++column)
        EXPECT_GE(columnHelpText(column).count(QStringLiteral("\r\n")), 1) << column;
    EXPECT_EQ(columnHelpText(0), QString());
    EXPECT_EQ(columnHelpText(10), QString());
}

TEST(TeacherPassword, ATextMustBeTypedExactlyAndANumberAsThatNumber)
{
    const app::TeacherPassword text{.number = std::nullopt, .text = QStringLiteral("juku")};
    EXPECT_TRUE(passwordMatches(text, QStringLiteral("juku")));
    EXPECT_FALSE(passwordMatches(text, QStringLiteral("Juku")));
    EXPECT_FALSE(passwordMatches(text, QString()));
    EXPECT_TRUE(passwordMatches(app::TeacherPassword{}, QString()));
    EXPECT_FALSE(passwordMatches(app::TeacherPassword{}, QStringLiteral(" ")));
    const app::TeacherPassword number{.number = 123.0, .text = QStringLiteral("123")};
    EXPECT_TRUE(passwordMatches(number, QStringLiteral("123")));
    EXPECT_TRUE(passwordMatches(number, QStringLiteral("0123")));
    EXPECT_FALSE(passwordMatches(number, QStringLiteral("124")));
    EXPECT_FALSE(passwordMatches(number, QString()));
    EXPECT_FALSE(passwordMatches(number, QStringLiteral("abc")));
    EXPECT_EQ(wrongPasswordMessage(), QStringLiteral("パスワードを入力して下さい"));
}

namespace standards_editor_test {

// The editor over the twenty levels of the test installation's table, loaded as the screen loads it.
struct Loaded : ::testing::Test
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    StandardsGridModel grid;
    StandardsEditor editor{grid};
    void SetUp() override
    {
        writeFile932(path, Installation::standardsLines());
        QString error;
        ASSERT_TRUE(testing_support::succeeded(editor.loadTable(path), &error)) << error.toStdString();
    }
    void type(int level, int column, const QString &text)
    {
        editor.setCurrent(level, column);
        editor.boxTextChanged(text);
    }
};

} // namespace standards_editor_test

using standards_editor_test::Loaded;

TEST_F(Loaded, ATableThatCannotBeReadLeavesAnEmptyGridThatCannotBeSaved)
{
    EXPECT_TRUE(editor.canSave());
    EXPECT_TRUE(editor.boxShown());
    EXPECT_EQ(grid.levelCount(), 20);
    EXPECT_EQ(grid.cell(4, 1), QStringLiteral("140"));
    type(4, 1, QStringLiteral("90"));

    QFile::remove(path);
    const app::Status read = editor.loadTable(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->text.contains(QStringLiteral("タイム回数データ.txt"))) << read->text.toStdString();
    EXPECT_TRUE(read->text.contains(QStringLiteral("記録（更新記録）はできません")));
    EXPECT_FALSE(editor.canSave());
    EXPECT_FALSE(editor.boxShown());
    EXPECT_EQ(grid.levelCount(), 0);
    EXPECT_TRUE(editor.changed()) << "loading leaves the changed flag";
}

TEST_F(Loaded, SavingRefusesWhatStartUpWouldRefuseAndAsksAboutDoubtfulTimes)
{
    EXPECT_EQ(editor.checkSave(path).step, SaveCheck::Step::Write);

    type(2, 6, QStringLiteral(",5"));
    SaveCheck check = editor.checkSave(path);
    EXPECT_EQ(check.step, SaveCheck::Step::Refused);
    EXPECT_TRUE(check.text.contains(QStringLiteral("カンマ"))) << check.text.toStdString();
    EXPECT_TRUE(grid.isMarked(2, 6));
    type(2, 6, QString());
    type(7, 4, QStringLiteral("40000"));
    check = editor.checkSave(path);
    EXPECT_EQ(check.step, SaveCheck::Step::Refused);
    EXPECT_TRUE(check.text.contains(QStringLiteral("レベル7 の 4 列目（ｸﾘｱ回数）")))
        << check.text.toStdString();
    EXPECT_TRUE(grid.isMarked(7, 4));
    EXPECT_FALSE(grid.isMarked(2, 6)) << "the marks are those of the last check";

    type(7, 4, QStringLiteral("30"));
    type(6, 2, QStringLiteral("0"));
    check = editor.checkSave(path);
    EXPECT_EQ(check.step, SaveCheck::Step::Ask);
    EXPECT_EQ(check.text, doubtfulTimesQuestion(grid, {QPoint(2, 6)}));
    EXPECT_TRUE(grid.isMarked(6, 2));
}
