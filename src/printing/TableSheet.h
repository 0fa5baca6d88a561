#pragma once

#include "printing/PrintLayout.h"

#include <QLineF>
#include <QRectF>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

// The table sheet (sheet kind 2) in page units: where each cell's text goes, at which size it starts,
// and the rules. The print layout screen's painter draws this plan onto the preview, a printer or a PDF
// file, so every target shows the same sheet.
//
// Rows: the row height is 0.9 ÷ row count of the page; row i's cells start at 10000 × (i − 1) × height +
// 1000, so the header row (row 0) stands one row above the first row. A rule runs across the page 100
// units above each row's cells and a closing one below the last row; vertical rules run at every column
// position from the header row's rule to the closing rule. A cell starts 0.01 of the page right of its
// column's left edge and ends at 0.95 of the column, so that its text stays clear of the rule on its
// right (in a column a twentieth of the page wide as well).
namespace printing {

inline constexpr int kDefaultTableTextSize = 50; // when the sheet settings leave the size empty
inline constexpr int kMinimumTextSize = 1;
inline constexpr double kLineFactor = 1.2; // line height as a multiple of the text size

struct SheetCell
{
    int column = 0;
    int row = 0;
    QRectF rect; // page units; the height is the sheet's row height
    QString text;
    bool fit = true; // drawn smaller, a size at a time, until it fits; otherwise at the sheet's size
};

struct SheetRule
{
    QLineF line; // page units
    double widthFactor = 1.0;
    quint32 colour = 0x000000; // 0xRRGGBB
};

struct TableSheetPlan
{
    int textSize = kDefaultTableTextSize; // points
    double rowHeight = 0.0;               // page units
    std::vector<SheetCell> cells;         // only cells with text
    std::vector<SheetRule> rules;
    QString title;
    QRectF titleRect; // page units, above the header row
};

// The plan of a table sheet; empty (no cells, no rules) for a sheet without rows or columns.
TableSheetPlan planTableSheet(const PrintLayout &layout);

// Whether a text laid out in `lines` lines overflows its row: the layout gives up when one line more than
// it holds would reach the row's height.
bool overflowsRow(int lines, double lineHeight, double rowHeight);

// The size a text is drawn at: a cell that fits starts one size above the sheet's and goes down a size at
// a time while the text overflows at that size (never below kMinimumTextSize, where it is drawn as far as
// it goes); a cell that does not fit is drawn at the sheet's size.
int fittedTextSize(int sheetSize, bool fit, const std::function<bool(int size)> &overflowsAt);

} // namespace printing
