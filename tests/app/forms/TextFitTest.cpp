#include "app/forms/TextFit.h"
#include "app/forms/Style.h"

#include <QFontMetrics>
#include <QLabel>
#include <gtest/gtest.h>

namespace {
int advance(const QLabel &label)
{
    return QFontMetrics(label.font()).horizontalAdvance(label.text());
}
} // namespace

TEST(TextFit, ATextShrinksToTheLabelsWidthAndIsCutOnlyBelowTheSmallestSize)
{
    QLabel label;
    label.resize(300, 36);
    const QString twenty = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水");
    ASSERT_EQ(twenty.size(), 20);

    app::controls::fitText(&label, QStringLiteral("佐藤美咲"), 18, 10, true);
    EXPECT_EQ(label.font().pointSize(), 18) << "a short text keeps the largest size";
    EXPECT_EQ(label.text(), QStringLiteral("佐藤美咲"));
    EXPECT_TRUE(label.font().bold());

    app::controls::fitText(&label, twenty, 18, 10, true);
    EXPECT_EQ(label.text(), twenty);
    EXPECT_LT(label.font().pointSize(), 18);
    EXPECT_GE(label.font().pointSize(), 10);
    EXPECT_LE(advance(label), label.contentsRect().width());
    // One size larger would not have fitted.
    QFont larger = label.font();
    larger.setPointSize(label.font().pointSize() + 1);
    EXPECT_GT(QFontMetrics(larger).horizontalAdvance(twenty), label.contentsRect().width());

    // Too wide even at the smallest size: cut after a whole character, the whole name kept for a
    // screen reader.
    label.resize(120, 36);
    app::controls::fitText(&label, twenty, 18, 10, true);
    EXPECT_EQ(label.font().pointSize(), 10);
    EXPECT_TRUE(label.text().endsWith(u'…')) << label.text().toStdString();
    EXPECT_TRUE(twenty.startsWith(label.text().chopped(1)));
    EXPECT_LE(advance(label), label.contentsRect().width());
    EXPECT_EQ(label.accessibleName(), twenty);
    EXPECT_EQ(label.toolTip(), twenty);

    // Once it fits again the tool tip goes.
    app::controls::fitText(&label, QStringLiteral("佐藤"), 18, 10, true);
    EXPECT_EQ(label.text(), QStringLiteral("佐藤"));
    EXPECT_TRUE(label.toolTip().isEmpty());
}
