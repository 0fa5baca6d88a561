#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The print layout values: what a sheet is made of, filled by the screen that makes the sheet (the
// worksheet screen) and read by the print layout screen, which draws and prints it and keeps nothing of
// its own. The sheet is drawn on a page model of 10000 × 10000 units that each target (preview, printer,
// PDF file) maps onto its page.
namespace printing {

inline constexpr int kPageUnits = 10000;
inline constexpr int kMaxTableColumn = 100;
inline constexpr int kMaxTableRow = 1000;

// Text cells addressed by column 0 to 100 and row 0 to 1000; row 0 is the header row. Rows are held only
// as far as they have been written, so an empty table costs nothing.
class PrintTable
{
public:
    QString cell(int column, int row) const;
    // Returns false (and changes nothing) for a cell outside the table.
    bool setCell(int column, int row, const QString &text);
    void clear() { m_rows.clear(); }
    // Exchanges columns first to last of two rows.
    void swapCells(int rowA, int rowB, int firstColumn, int lastColumn);

private:
    std::vector<std::array<QString, kMaxTableColumn + 1>> m_rows;
};

// Sheet kinds the print layout screen draws.
inline constexpr int kTableSheet = 2; // the ruled table of three or more columns

struct SheetSettings
{
    std::optional<int> textSize; // points; none: the table sheet uses 50
    int sheetKind = 0;
    int orientation = 1; // orientation box value: 1 portrait, any other landscape
    int onScreen = 0;    // 1: the page picture is hidden and the printing notice shown instead
    int printAtOnce =
        0; // 1: the sheet is printed as soon as the print layout screen shows, which then closes
    int printerProperty =
        0; // applied to the printer when the print layout screen loads: the number of copies
};

struct PrintLayout
{
    PrintTable table;
    int rowCount = 0;    // rows 1 to rowCount are drawn below the header row
    int columnCount = 0; // columns 1 to columnCount are drawn
    // Left edges of columns 1 to columnCount as fractions of the page width; the entry after the last
    // column is the last column's right edge.
    std::array<double, kMaxTableColumn + 2> columnPositions{};
    SheetSettings settings;
    // Per column: 0 fits a text to its cell by drawing it smaller, 1 draws it at the sheet's text size.
    std::array<int, kMaxTableColumn + 1> columnStyle{};
    bool noHorizontalRules = false;
    bool noVerticalRules = false;
    int selectedIdiomCount = 0; // the idioms taken from the chosen ranges
    QString title;              // drawn above the table when set (the answer key's heading)
};

} // namespace printing
