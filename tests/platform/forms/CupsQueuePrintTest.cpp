#include "support/printing/PrintQueue.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Prints one page with a text and a thick rule across the middle, and returns the PDF.
QString printTestPage(PrintQueue &queue, const QString &name, QPageLayout::Orientation orientation,
                      const QString &text)
{
    QPrinter printer(QPrinter::HighResolution);
    queue.aim(printer, name);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
    queue.mark();
    QPainter painter;
    if (!painter.begin(&printer)) {
        ADD_FAILURE() << "the printer does not start a page";
        return {};
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSize(20);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, page.width(), page.height() / 4), Qt::AlignCenter, text);
    painter.setPen(QPen(Qt::black, printer.resolution() / 20));
    painter.drawLine(0, page.height() / 2, page.width(), page.height() / 2);
    painter.end();
    QString error;
    const QString pdf = queue.collect(name, &error);
    EXPECT_FALSE(pdf.isEmpty()) << error.toStdString();
    return pdf;
}

// The darkest pixel along a row or a column of the image, as a grey value.
int darkestInRow(const QImage &image, int y)
{
    int darkest = 255;
    for (int x = 0; x < image.width(); ++x)
        darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

int darkestInColumn(const QImage &image, int x)
{
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

// The first row (or column) from 2/5 to 3/5 of the way across whose darkest pixel is black: the rule.
int ruleAcross(const QImage &image, bool rows)
{
    const int extent = rows ? image.height() : image.width();
    for (int i = extent * 2 / 5; i < extent * 3 / 5; ++i)
        if ((rows ? darkestInRow(image, i) : darkestInColumn(image, i)) < 80)
            return i;
    return -1;
}

} // namespace

TEST(CupsQueue, IsThisProcesssDefaultPrinter)
{
    PrintQueue queue;
    if (!queue.throughCups())
        GTEST_SKIP() << "no private CUPS server: " << queue.whyNot().toStdString();
    EXPECT_EQ(QPrinterInfo::defaultPrinterName(), QString::fromLatin1(PrintQueue::kQueueName));
    const QStringList names = QPrinterInfo::availablePrinterNames();
    EXPECT_EQ(names, QStringList{QString::fromLatin1(PrintQueue::kQueueName)}) << "only the private queue";
}

TEST(CupsQueue, GivesBackTheTextRuleAndPageSizeOfAPrintedPage)
{
    PrintQueue queue;
    const QString text = QStringLiteral("印刷の試し　四字熟語");

    const QString portrait =
        printTestPage(queue, QStringLiteral("queue-portrait"), QPageLayout::Portrait, text);
    ASSERT_FALSE(portrait.isEmpty());
    const QSizeF a4 = pdfPageSizePoints(portrait);
    EXPECT_NEAR(a4.width(), 595.0, 1.5);
    EXPECT_NEAR(a4.height(), 842.0, 1.5);
    EXPECT_EQ(pdfPageCount(portrait), 1);
    EXPECT_TRUE(withoutBlanks(pdfText(portrait)).contains(withoutBlanks(text)))
        << pdfText(portrait).toStdString();

    const QStringList pages = pdfToPng(portrait, QStringLiteral("queue-portrait"), 40);
    ASSERT_EQ(pages.size(), 1);
    const QImage image(pages.first());
    ASSERT_FALSE(image.isNull());
    // The rule is printed across the middle; the paper above it is blank.
    EXPECT_NEAR(ruleAcross(image, true), image.height() / 2, image.height() / 20);
    EXPECT_GT(darkestInRow(image, image.height() * 3 / 8), 200);

    // Landscape: on A4, and the rule across the long side. Through the queue the page comes on portrait
    // paper with the drawing turned, as a printer takes it; Qt's own PDF keeps a landscape page.
    const QString landscape =
        printTestPage(queue, QStringLiteral("queue-landscape"), QPageLayout::Landscape, text);
    ASSERT_FALSE(landscape.isEmpty());
    const QSizeF paper = pdfPageSizePoints(landscape);
    EXPECT_NEAR(std::min(paper.width(), paper.height()), 595.0, 1.5);
    EXPECT_NEAR(std::max(paper.width(), paper.height()), 842.0, 1.5);
    EXPECT_TRUE(withoutBlanks(pdfText(landscape)).contains(withoutBlanks(text)))
        << pdfText(landscape).toStdString();
    const QStringList turnedPages = pdfToPng(landscape, QStringLiteral("queue-landscape"), 40);
    ASSERT_EQ(turnedPages.size(), 1);
    const QImage turned(turnedPages.first());
    const bool portraitPaper = turned.height() > turned.width();
    EXPECT_EQ(portraitPaper, queue.throughCups());
    // The rule runs along the paper's long side: a column on portrait paper, a row on landscape paper.
    const int rule = ruleAcross(turned, !portraitPaper);
    const int across = portraitPaper ? turned.width() : turned.height();
    EXPECT_NEAR(rule, across / 2, across / 20);
}
