#include "printing/TableSheet.h"

#include <algorithm>

namespace printing {

namespace {
constexpr double kRowsPart = 0.9;  // of the page height, shared by the rows
constexpr double kTopMargin = 0.1; // of the page height, above the first row
constexpr double kRuleAboveCells = 100.0;
constexpr double kCellInset = 0.01; // of the page width, between a column's left edge and its text
constexpr double kCellWidth = 0.95; // of the column's width
} // namespace

bool overflowsRow(int lines, double lineHeight, double rowHeight)
{
    return (lines + 1) * lineHeight >= rowHeight;
}

int fittedTextSize(int sheetSize, bool fit, const std::function<bool(int size)> &overflowsAt)
{
    if (!fit)
        return std::max(sheetSize, kMinimumTextSize);
    int size = std::max(sheetSize, kMinimumTextSize) + 1;
    do {
        --size;
    } while (size > kMinimumTextSize && overflowsAt(size));
    return size;
}

TableSheetPlan planTableSheet(const PrintLayout &layout)
{
    TableSheetPlan plan;
    plan.textSize = layout.settings.textSize.value_or(kDefaultTableTextSize);
    const int rows = std::min(layout.rowCount, kMaxTableRow);
    const int columns = std::min(layout.columnCount, kMaxTableColumn);
    if (rows < 1 || columns < 1)
        return plan;

    const double q = kRowsPart / rows;
    plan.rowHeight = kPageUnits * q;
    auto cellTop = [&](int row) { return kPageUnits * (row - 1) * q + kPageUnits * kTopMargin; };
    const auto &positions = layout.columnPositions;

    for (int i = 0; i <= rows; ++i) {
        for (int j = 1; j <= columns; ++j) {
            const QString text = layout.table.cell(j, i);
            if (text.isEmpty())
                continue;
            const double left = kPageUnits * (positions[std::size_t(j)] + kCellInset);
            // The cell ends where 0.95 of the column ends, not 0.95 of the column's width after its
            // inset: that would run a narrow column's text past the rule on its right.
            const double width =
                kPageUnits *
                ((positions[std::size_t(j) + 1] - positions[std::size_t(j)]) * kCellWidth - kCellInset);
            plan.cells.push_back(SheetCell{j, i,
                                           QRectF(left, cellTop(i), std::max(width, 0.0), plan.rowHeight),
                                           text, layout.columnStyle[std::size_t(j)] == 0});
        }
        if (!layout.noHorizontalRules)
            plan.rules.push_back(
                SheetRule{QLineF(0, cellTop(i) - kRuleAboveCells, kPageUnits, cellTop(i) - kRuleAboveCells)});
    }
    const double headerRule = cellTop(0) - kRuleAboveCells;
    const double closingRule = cellTop(rows + 1) - kRuleAboveCells;
    if (!layout.noHorizontalRules)
        plan.rules.push_back(SheetRule{QLineF(0, closingRule, kPageUnits, closingRule)});
    if (!layout.noVerticalRules) {
        for (int j = 1; j <= columns + 1; ++j) {
            const double x = kPageUnits * positions[std::size_t(j)];
            plan.rules.push_back(SheetRule{QLineF(x, headerRule, x, closingRule)});
        }
    }
    if (!layout.title.isEmpty()) {
        plan.title = layout.title;
        plan.titleRect = QRectF(0, 0, kPageUnits, std::max(headerRule - kRuleAboveCells, 0.0));
    }
    return plan;
}

} // namespace printing
