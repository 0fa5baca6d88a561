#include "printing/Worksheet.h"

#include "drill/IdiomData.h"

namespace printing {

namespace {

constexpr int kNumberColumn = 1;
constexpr int kMeaningColumn = 2;
constexpr int kFirstCharacterColumn = 3;
constexpr int kLastCharacterColumn = 6;
constexpr int kAnswerColumn = 7;
constexpr int kColumnCount = 7;
constexpr int kTextSize = 13;
constexpr int kRowsWithoutBlanks = 15;
constexpr int kRowsWithBlanks = 20;
constexpr std::array<double, 8> kPositions = {0.0, 0.05, 0.6, 0.65, 0.7, 0.75, 0.8, 1.0}; // columns 1 to 8

bool hasCharacterLeft(const PrintTable &table, int row)
{
    for (int column = kFirstCharacterColumn; column <= kLastCharacterColumn; ++column)
        if (!table.cell(column, row).isEmpty())
            return true;
    return false;
}

// The rows of the table, as the sheet and its answer key share them.
void fillRows(PrintTable &table, const QList<WorksheetRow> &rows)
{
    for (int i = 1; i <= int(rows.size()) && i <= kMaxTableRow; ++i) {
        const WorksheetRow &row = rows[i - 1];
        table.setCell(kMeaningColumn, i, row.meaning);
        for (int k = 0; k < 4; ++k)
            table.setCell(kFirstCharacterColumn + k, i, row.idiom.mid(k, 1));
        table.setCell(kAnswerColumn, i,
                      QStringLiteral("   ") + row.idiom + QStringLiteral("(") + row.reading +
                          QStringLiteral(")"));
    }
}

// Empties `count` character cells of every row: for each round, in each row, cells are drawn until one
// that still holds a character comes up. A row that has none left (an idiom shorter than four characters)
// is passed over, where drawing on would never end.
void blankCells(PrintTable &table, int rowCount, int count, platform::RandomSource &random)
{
    for (int round = 0; round < count; ++round) {
        for (int row = 1; row <= rowCount; ++row) {
            if (!hasCharacterLeft(table, row))
                continue;
            int column = 0;
            do {
                column = kMeaningColumn + platform::drawOneTo(random, 4);
            } while (table.cell(column, row).isEmpty());
            table.setCell(column, row, QString());
        }
    }
}

void finishSheet(PrintLayout &layout, int rowCount)
{
    layout.settings.textSize = kTextSize;
    for (std::size_t j = 0; j < kPositions.size(); ++j)
        layout.columnPositions[j + 1] = kPositions[j];
    layout.table.setCell(kMeaningColumn, 0, QString::fromUtf16(kMeaningHeader));
    layout.table.setCell(kFirstCharacterColumn, 0, QString::fromUtf16(kIdiomHeader));
    layout.table.setCell(kFirstCharacterColumn + 1, 0, QString());
    layout.table.setCell(kAnswerColumn, 0, QString::fromUtf16(kAnswersHeader));
    layout.columnCount = kColumnCount;
    layout.rowCount = rowCount;
    for (int row = 1; row <= rowCount; ++row)
        layout.table.setCell(kNumberColumn, row, circledNumber(row));
    layout.settings.sheetKind = kTableSheet;
    layout.settings.orientation = 1;
    layout.settings.onScreen = 0;
    layout.settings.printAtOnce = 0;
    layout.settings.printerProperty = 1;
}

} // namespace

QString circledNumber(int row)
{
    if (row < 1 || row > 20)
        return {};
    return QString(QChar(char16_t(0x2460 + row - 1)));
}

QList<WorksheetRow> worksheetRows(const drill::IdiomData &data, const std::array<bool, kRangeCount> &ranges)
{
    QList<WorksheetRow> rows;
    for (int r = 1; r <= data.idiomRowCount; ++r) {
        const int range = idioms::rangeOfField(data.cell(r, 1));
        if (range < 1 || range > kRangeCount || !ranges[std::size_t(range - 1)])
            continue;
        rows.append(WorksheetRow{data.cell(r, 2), data.cell(r, 4), data.cell(r, 3)});
    }
    return rows;
}

Worksheet buildWorksheet(const QList<WorksheetRow> &rows, const WorksheetChoice &choice,
                         platform::RandomSource &random)
{
    Worksheet built;
    PrintLayout &sheet = built.sheet;
    const int m = std::min(int(rows.size()), kMaxTableRow);
    fillRows(sheet.table, rows);
    sheet.selectedIdiomCount = m;

    if (choice.shuffle) {
        for (int k = 0; k < 2 * m; ++k) {
            const int a = platform::drawOneTo(random, m);
            const int b = platform::drawOneTo(random, m);
            sheet.table.swapCells(a, b, kMeaningColumn, kAnswerColumn);
        }
    }
    // The answer key is the shuffled table before any blank is made.
    built.answerKey.table = sheet.table;

    switch (choice.blankOption) {
    case OneBlank:
        for (int row = 1; row <= m; ++row)
            sheet.table.setCell(kMeaningColumn + platform::drawOneTo(random, 4), row, QString());
        break;
    case TwoBlanks:
    case ThreeBlanks:
    case FourBlanks:
        blankCells(sheet.table, m, choice.blankOption - 1, random);
        break;
    default:
        break;
    }

    const int rowCount = choice.blankOption == PrintEverything ? kRowsWithoutBlanks : kRowsWithBlanks;
    finishSheet(sheet, rowCount);
    built.answerKey.selectedIdiomCount = m;
    finishSheet(built.answerKey, rowCount);
    built.answerKey.title = QString::fromUtf16(kAnswerKeyTitle);
    return built;
}

} // namespace printing
