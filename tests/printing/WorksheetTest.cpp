#include "printing/Worksheet.h"
#include "printing/TableSheet.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace printing;
using testing_support::ScriptedRandom;

namespace {

// An idiom table as the reader fills it: rows of (range, idiom, reading, meaning).
drill::IdiomData idiomTable(const QList<QStringList> &rows)
{
    drill::IdiomData data;
    data.idiomTable.emplace_back();
    for (const QStringList &row : rows) {
        QStringList cells{QString()};
        cells << row;
        data.idiomTable.push_back(cells);
    }
    data.idiomRowCount = int(rows.size());
    data.idiomColumnCount = 4;
    return data;
}

// n idioms numbered so that each row can be told apart: "甲乙丙<n>" would not be four characters, so the
// number goes into the meaning and the reading.
QList<WorksheetRow> numberedRows(int n)
{
    const QString characters = QStringLiteral("一石二鳥十人十色以心伝心温故知新自画自賛");
    QList<WorksheetRow> rows;
    for (int i = 1; i <= n; ++i) {
        const QString idiom = characters.mid(((i - 1) % 5) * 4, 4);
        rows.append({idiom, QStringLiteral("意味%1").arg(i), QStringLiteral("よみ%1").arg(i)});
    }
    return rows;
}

std::array<bool, kRangeCount> onlyRanges(std::initializer_list<int> ranges)
{
    std::array<bool, kRangeCount> chosen{};
    for (int r : ranges)
        chosen[std::size_t(r - 1)] = true;
    return chosen;
}

WorksheetChoice choiceOf(int option, bool shuffle = false)
{
    WorksheetChoice choice;
    choice.ranges = onlyRanges({1});
    choice.shuffle = shuffle;
    choice.blankOption = option;
    return choice;
}

int blanksInRow(const PrintLayout &layout, int row)
{
    int blanks = 0;
    for (int column = 3; column <= 6; ++column)
        blanks += layout.table.cell(column, row).isEmpty() ? 1 : 0;
    return blanks;
}

} // namespace

TEST(WorksheetRows, TakeTheChosenRangesInFileOrderInterleaved)
{
    const drill::IdiomData data = idiomTable({
        {"1", "一石二鳥", "いっせきにちょう", "一つで二つ"},
        {"3", "温故知新", "おんこちしん", "昔に学ぶ"},
        {"2", "十人十色", "じゅうにんといろ", "人それぞれ"},
        {"1", "以心伝心", "いしんでんしん", "通じ合う"},
        {"3", "自画自賛", "じがじさん", "自分でほめる"},
        {"11", "電光石火", "でんこうせっか", "range 11 is not on the list"},
        {"abc", "油断大敵", "ゆだんたいてき", "no range"},
        {" 3 ", "大器晩成", "たいきばんせい", "blanks around the number"},
    });
    const QList<WorksheetRow> rows = worksheetRows(data, onlyRanges({1, 3}));
    QStringList idioms;
    for (const WorksheetRow &row : rows)
        idioms << row.idiom;
    EXPECT_EQ(idioms, (QStringList{"一石二鳥", "温故知新", "以心伝心", "自画自賛", "大器晩成"}));
    EXPECT_EQ(rows[1].meaning, QStringLiteral("昔に学ぶ"));
    EXPECT_EQ(rows[1].reading, QStringLiteral("おんこちしん"));
    EXPECT_TRUE(worksheetRows(data, {}).isEmpty());
}

TEST(Worksheet, WithoutIdiomsHoldsTheHeaderAndTheRowNumbersOnly)
{
    ScriptedRandom random;
    for (int option = PrintEverything; option <= FourBlanks; ++option) {
        SCOPED_TRACE(option);
        const PrintLayout sheet = buildWorksheet({}, choiceOf(option, true), random).sheet;
        const int rows = option == PrintEverything ? 15 : 20;
        EXPECT_EQ(sheet.rowCount, rows);
        EXPECT_EQ(sheet.columnCount, 7);
        EXPECT_EQ(sheet.selectedIdiomCount, 0);
        EXPECT_EQ(sheet.table.cell(2, 0), QStringLiteral("意味"));
        EXPECT_EQ(sheet.table.cell(3, 0), QStringLiteral("四字熟語"));
        EXPECT_EQ(sheet.table.cell(4, 0), QString());
        EXPECT_EQ(sheet.table.cell(7, 0), QStringLiteral("答（切り取って使いましょう）"));
        for (int row = 1; row <= 20; ++row) {
            EXPECT_EQ(sheet.table.cell(1, row), row <= rows ? circledNumber(row) : QString()) << row;
            for (int column = 2; column <= 7; ++column)
                EXPECT_TRUE(sheet.table.cell(column, row).isEmpty()) << column << "," << row;
        }
    }
    EXPECT_EQ(circledNumber(1), QStringLiteral("①"));
    EXPECT_EQ(circledNumber(15), QStringLiteral("⑮"));
    EXPECT_EQ(circledNumber(20), QStringLiteral("⑳"));
}

TEST(Worksheet, FillsEachRowWithMeaningCharactersAndAnswer)
{
    ScriptedRandom random;
    const Worksheet built = buildWorksheet(numberedRows(3), choiceOf(PrintEverything), random);
    const PrintLayout &sheet = built.sheet;
    EXPECT_EQ(sheet.table.cell(2, 2), QStringLiteral("意味2"));
    EXPECT_EQ(sheet.table.cell(3, 2) + sheet.table.cell(4, 2) + sheet.table.cell(5, 2) +
                  sheet.table.cell(6, 2),
              QStringLiteral("十人十色"));
    EXPECT_EQ(sheet.table.cell(7, 2), QStringLiteral("   十人十色(よみ2)"));
    EXPECT_EQ(sheet.settings.textSize, 13);
    EXPECT_EQ(sheet.settings.sheetKind, kTableSheet);
    EXPECT_EQ(sheet.settings.orientation, 1);
    EXPECT_EQ(sheet.settings.onScreen, 0);
    EXPECT_EQ(sheet.settings.printAtOnce, 0);
    EXPECT_EQ(sheet.settings.printerProperty, 1);
    const std::array<double, 8> positions = {0.0, 0.05, 0.6, 0.65, 0.7, 0.75, 0.8, 1.0};
    for (int j = 1; j <= 8; ++j)
        EXPECT_DOUBLE_EQ(sheet.columnPositions[std::size_t(j)], positions[std::size_t(j - 1)]) << j;
}

TEST(Worksheet, BlanksExactlyAsManyCharactersPerRowAsTheOptionSays)
{
    // 25 idioms: the rows beyond the 20th are built and blanked too, though never printed.
    for (int option = PrintEverything; option <= FourBlanks; ++option) {
        for (quint64 seed : {1u, 7u, 2024u}) {
            SCOPED_TRACE(testing::Message() << "option " << option << " seed " << seed);
            platform::SeededRandom random(seed);
            const Worksheet built = buildWorksheet(numberedRows(25), choiceOf(option, true), random);
            for (int row = 1; row <= 25; ++row) {
                EXPECT_EQ(blanksInRow(built.sheet, row), option - 1) << "row " << row;
                EXPECT_EQ(blanksInRow(built.answerKey, row), 0) << "row " << row;
                // What is left is the idiom's own characters in their places.
                const QString answer = built.sheet.table.cell(7, row).trimmed();
                for (int k = 0; k < 4; ++k) {
                    const QString cell = built.sheet.table.cell(3 + k, row);
                    if (!cell.isEmpty()) {
                        EXPECT_EQ(cell, answer.mid(k, 1));
                    }
                }
            }
            EXPECT_EQ(built.sheet.rowCount, option == PrintEverything ? 15 : 20);
            EXPECT_EQ(built.sheet.selectedIdiomCount, 25);
            // Rows beyond the sheet's row count never reach the page.
            for (const SheetCell &cell : planTableSheet(built.sheet).cells)
                EXPECT_LE(cell.row, built.sheet.rowCount);
        }
    }
}

TEST(Worksheet, ShuffleExchangesTheRowsDrawnAndTheAnswerKeyFollowsIt)
{
    // m = 3: six exchanges of two draws each. A draw of 1 to 3 is the whole part of 3 × r + 1.
    ScriptedRandom random;
    const double row1 = 0.1, row2 = 0.4, row3 = 0.8;
    for (double r :
         {row1, row3, /**/ row1, row1, /**/ row2, row3, /**/ row3, row2, /**/ row1, row2, /**/ row2, row2})
        random.push(r);
    // One blank per row: the cells drawn are columns 3 + whole part of 4 × r.
    for (double r : {0.0, 0.3, 0.99})
        random.push(r);
    const Worksheet built = buildWorksheet(numberedRows(3), choiceOf(OneBlank, true), random);

    // Start 1 2 3; swap 1-3: 3 2 1; 1-1: same; 2-3: 3 1 2; 3-2: 3 2 1; 1-2: 2 3 1; 2-2: same.
    const QStringList expected{"意味2", "意味3", "意味1"};
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(built.sheet.table.cell(2, row), expected[row - 1]);
        EXPECT_EQ(built.answerKey.table.cell(2, row), expected[row - 1]);
        // The whole row moves: the answer strip keeps to its meaning.
        EXPECT_TRUE(built.answerKey.table.cell(7, row).endsWith(
            QStringLiteral("(よみ%1)").arg(expected[row - 1].mid(2))));
    }
    EXPECT_TRUE(built.sheet.table.cell(3, 1).isEmpty());
    EXPECT_TRUE(built.sheet.table.cell(4, 2).isEmpty());
    EXPECT_TRUE(built.sheet.table.cell(6, 3).isEmpty());
    EXPECT_EQ(built.answerKey.title, QStringLiteral("解答（答え合わせ用）"));
    EXPECT_TRUE(built.sheet.title.isEmpty());
}

TEST(Worksheet, WithoutTheShuffleKeepsFileOrderAndDrawsNothingForIt)
{
    // Any draw for an exchange would take these values and move rows.
    ScriptedRandom random;
    for (int i = 0; i < 10; ++i)
        random.push(0.99);
    const Worksheet built = buildWorksheet(numberedRows(5), choiceOf(PrintEverything, false), random);
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(built.sheet.table.cell(2, row), QStringLiteral("意味%1").arg(row));
    EXPECT_EQ(random.next(), 0.99);
}

TEST(Worksheet, AnIdiomShorterThanItsBlanksEndsWithEveryCellBlank)
{
    // Two characters and four blanks wanted: drawing on for a cell that still holds one would never end.
    ScriptedRandom random(99);
    QList<WorksheetRow> rows{{QStringLiteral("一石"), QStringLiteral("短い"), QStringLiteral("いっせき")},
                             {QString(), QStringLiteral("空"), QString()}};
    rows += numberedRows(2);
    const Worksheet built = buildWorksheet(rows, choiceOf(FourBlanks, false), random);
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(blanksInRow(built.sheet, row), 4) << row;
    EXPECT_EQ(built.answerKey.table.cell(3, 1) + built.answerKey.table.cell(4, 1), QStringLiteral("一石"));
}
