#include "printing/TableSheet.h"
#include "printing/Worksheet.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace printing;

namespace {

PrintLayout worksheetLayout(int option)
{
    testing_support::ScriptedRandom random;
    WorksheetChoice choice;
    choice.blankOption = option;
    QList<WorksheetRow> rows;
    for (int i = 0; i < 20; ++i)
        rows.append({QStringLiteral("一石二鳥"), QStringLiteral("一つのことで二つの得"),
                     QStringLiteral("いっせきにちょう")});
    return buildWorksheet(rows, choice, random).sheet;
}

std::vector<double> horizontalRules(const TableSheetPlan &plan)
{
    std::vector<double> ys;
    for (const SheetRule &rule : plan.rules)
        if (rule.line.y1() == rule.line.y2())
            ys.push_back(rule.line.y1());
    return ys;
}

std::vector<QLineF> verticalRules(const TableSheetPlan &plan)
{
    std::vector<QLineF> lines;
    for (const SheetRule &rule : plan.rules)
        if (rule.line.x1() == rule.line.x2())
            lines.push_back(rule.line);
    return lines;
}

const SheetCell *cellAt(const TableSheetPlan &plan, int column, int row)
{
    for (const SheetCell &cell : plan.cells)
        if (cell.column == column && cell.row == row)
            return &cell;
    return nullptr;
}

} // namespace

TEST(TableSheet, RulesOfATwentyRowWorksheet)
{
    const TableSheetPlan plan = planTableSheet(worksheetLayout(OneBlank));
    // Row height 0.9 / 20 of the page: 450 units; the header row's rule at 1000 − 450 − 100.
    EXPECT_DOUBLE_EQ(plan.rowHeight, 450.0);
    const std::vector<double> ys = horizontalRules(plan);
    ASSERT_EQ(ys.size(), 22u); // the header row, 20 rows and the closing rule
    for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_NEAR(ys[i], 450.0 + 450.0 * double(i), 1e-6) << i;
    for (const SheetRule &rule : plan.rules) {
        EXPECT_EQ(rule.widthFactor, 1.0);
        EXPECT_EQ(rule.colour, 0x000000u);
        if (rule.line.y1() == rule.line.y2()) {
            EXPECT_EQ(rule.line.x1(), 0.0);
            EXPECT_EQ(rule.line.x2(), 10000.0);
        }
    }

    const std::vector<QLineF> columns = verticalRules(plan);
    const std::vector<double> xs = {0, 500, 6000, 6500, 7000, 7500, 8000, 10000};
    ASSERT_EQ(columns.size(), xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        EXPECT_NEAR(columns[i].x1(), xs[i], 1e-6);
        EXPECT_NEAR(columns[i].y1(), 450.0, 1e-6);  // from the header row's rule
        EXPECT_NEAR(columns[i].y2(), 9900.0, 1e-6); // to the closing rule
    }
    EXPECT_EQ(columns.back().x1(), 10000.0); // the page's right edge
}

TEST(TableSheet, CellsStartInsideTheirColumnBelowTheirRule)
{
    const TableSheetPlan plan = planTableSheet(worksheetLayout(PrintEverything));
    EXPECT_DOUBLE_EQ(plan.rowHeight, 600.0); // 15 rows
    EXPECT_EQ(plan.textSize, 13);

    const SheetCell *meaning = cellAt(plan, 2, 1);
    ASSERT_NE(meaning, nullptr);
    EXPECT_NEAR(meaning->rect.left(), 600.0, 1e-6); // 0.05 + 0.01 of the page
    EXPECT_NEAR(meaning->rect.right(), 0.05 * 10000 + 0.55 * 0.95 * 10000, 1e-6);
    EXPECT_NEAR(meaning->rect.top(), 1000.0, 1e-6);
    EXPECT_NEAR(meaning->rect.height(), 600.0, 1e-6);
    EXPECT_TRUE(meaning->fit);

    const SheetCell *header = cellAt(plan, 3, 0);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->text, QStringLiteral("四字熟語"));
    EXPECT_NEAR(header->rect.top(), 400.0, 1e-6); // one row above the first row
    EXPECT_NEAR(header->rect.right(), 0.6 * 10000 + 0.05 * 0.95 * 10000, 1e-6);

    EXPECT_NEAR(cellAt(plan, 1, 15)->rect.top(), 1000.0 + 14 * 600.0, 1e-6);
    EXPECT_EQ(cellAt(plan, 1, 15)->text, QStringLiteral("⑮"));
    EXPECT_EQ(cellAt(plan, 4, 0), nullptr); // empty cells are not drawn
    EXPECT_EQ(cellAt(plan, 2, 16), nullptr);
}

TEST(TableSheet, EveryCellEndsBeforeTheRuleOnItsRight)
{
    for (const int option : {PrintEverything, FourBlanks}) {
        const PrintLayout layout = worksheetLayout(option);
        const TableSheetPlan plan = planTableSheet(layout);
        ASSERT_FALSE(plan.cells.empty());
        for (const SheetCell &cell : plan.cells) {
            SCOPED_TRACE(testing::Message()
                         << "option " << option << " cell " << cell.column << "," << cell.row);
            const double leftRule = 10000 * layout.columnPositions[std::size_t(cell.column)];
            const double rightRule = 10000 * layout.columnPositions[std::size_t(cell.column) + 1];
            EXPECT_GT(cell.rect.left(), leftRule);
            EXPECT_GT(cell.rect.width(), 0.0);
            EXPECT_LT(cell.rect.right(), rightRule);
        }
    }
}

TEST(TableSheet, SwitchesAndDegenerateSheets)
{
    PrintLayout layout = worksheetLayout(OneBlank);
    layout.noHorizontalRules = true;
    EXPECT_TRUE(horizontalRules(planTableSheet(layout)).empty());
    EXPECT_EQ(verticalRules(planTableSheet(layout)).size(), 8u);
    layout.noVerticalRules = true;
    EXPECT_TRUE(planTableSheet(layout).rules.empty());

    layout.settings.textSize.reset();
    EXPECT_EQ(planTableSheet(layout).textSize, 50);

    layout.rowCount = 0; // no rows: nothing to divide the page by
    EXPECT_TRUE(planTableSheet(layout).cells.empty());
    EXPECT_TRUE(planTableSheet(layout).rules.empty());
    PrintLayout empty;
    EXPECT_TRUE(planTableSheet(empty).cells.empty());

    PrintLayout titled = worksheetLayout(OneBlank);
    titled.title = QStringLiteral("解答");
    const TableSheetPlan plan = planTableSheet(titled);
    EXPECT_EQ(plan.title, QStringLiteral("解答"));
    EXPECT_LE(plan.titleRect.bottom(), 450.0 - 100.0); // above the header row's rule
}

TEST(TextFitting, GoesDownOneSizeAtATimeUntilTheTextFits)
{
    std::vector<int> tried;
    const int size = fittedTextSize(13, true, [&](int s) {
        tried.push_back(s);
        return s > 9;
    });
    EXPECT_EQ(size, 9);
    EXPECT_EQ(tried, (std::vector<int>{13, 12, 11, 10, 9}));

    tried.clear();
    EXPECT_EQ(fittedTextSize(13, true,
                             [&](int s) {
                                 tried.push_back(s);
                                 return false;
                             }),
              13);
    EXPECT_EQ(tried, std::vector<int>{13});

    // A text that never fits stops at the smallest size instead of going on for ever.
    EXPECT_EQ(fittedTextSize(13, true, [](int) { return true; }), kMinimumTextSize);
    EXPECT_EQ(fittedTextSize(0, true, [](int) { return true; }), kMinimumTextSize);

    // A column drawn as it is tries nothing.
    EXPECT_EQ(fittedTextSize(13, false, [](int) -> bool { throw std::logic_error("not asked"); }), 13);
}

TEST(TextFitting, OverflowIsOneLineMoreReachingTheRowHeight)
{
    EXPECT_FALSE(overflowsRow(1, 10.0, 20.5));
    EXPECT_TRUE(overflowsRow(1, 10.0, 20.0));
    EXPECT_TRUE(overflowsRow(2, 10.0, 29.9));
    EXPECT_FALSE(overflowsRow(0, 10.0, 10.5));
}
