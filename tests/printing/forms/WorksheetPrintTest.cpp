#include "printing/forms/SheetPainter.h"
#include "printing/forms/WorksheetSchool.h"
#include "support/printing/PrintQueue.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

using printing::PrintLayoutScreen;
using printing::WorksheetScreen;

using namespace testing_support;

namespace {

// The worksheet of ranges 1 and 2 with two blanks a row, on the print layout screen.
struct PrintingSchool : WorksheetSchool
{
    WorksheetScreen *form = nullptr;
    PrintLayoutScreen *layout = nullptr;

    PrintingSchool()
    {
        form = openFromNameScreen();
        if (!form)
            return;
        clickRange(form, 2);
        auto *option = control<QRadioButton>(form, QStringLiteral("Option1_3"));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
        layout = toPrinting(form);
    }

    // Prints the shown sheet with "印刷" and returns the PDF that came out.
    QString printShown(PrintQueue &queue, const QString &name)
    {
        layout->setPrinterMaker(queue.printerMaker(name));
        queue.mark();
        QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command9")), Qt::LeftButton);
        QString error;
        const QString pdf = queue.collect(name, &error);
        EXPECT_FALSE(pdf.isEmpty()) << error.toStdString();
        return pdf;
    }
};

void expectA4(const QString &pdf)
{
    const QSizeF size = pdfPageSizePoints(pdf);
    EXPECT_NEAR(size.width(), 595.0, 1.5);
    EXPECT_NEAR(size.height(), 842.0, 1.5);
    EXPECT_EQ(pdfPageCount(pdf), 1);
}

struct WordBox
{
    QString text;
    double xMin, xMax, yMin;
};

// The words of page 1 with their boxes in points from the paper's top left (pdftotext -bbox).
std::vector<WordBox> wordBoxes(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                   QStringLiteral("1"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                       "xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    std::vector<WordBox> boxes;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        boxes.push_back(
            {m.captured(4), m.captured(1).toDouble(), m.captured(3).toDouble(), m.captured(2).toDouble()});
    }
    return boxes;
}

} // namespace

TEST(WorksheetPrinting, EveryTextOfAFifteenRowSheetEndsBeforeTheRuleOnItsRight)
{
    WorksheetSchool school;
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);
    PrintLayoutScreen *layout = WorksheetSchool::toPrinting(form);
    ASSERT_NE(layout, nullptr);
    const printing::PrintLayout &sheet = form->worksheet().sheet;
    ASSERT_EQ(sheet.rowCount, 15);
    const QString pdf = printOutputDir() + QStringLiteral("/worksheet-fifteen-rows.pdf");
    QFile::remove(pdf);
    layout->setPdfPathAsker([&](const QString &) { return pdf; });
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command10")), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(pdf));

    // The page model's width is the paper's less 10 mm on either side.
    const double margin = 10.0 / 25.4 * 72.0;
    const double width = 595.276 - 2 * margin;
    auto ruleAt = [&](int column) { return margin + sheet.columnPositions[std::size_t(column)] * width; };
    const std::vector<WordBox> words = wordBoxes(pdf);
    ASSERT_GT(words.size(), 30u);
    bool header = false;
    for (const WordBox &w : words) {
        int column = 0;
        for (int j = 1; j <= sheet.columnCount; ++j)
            if (w.xMin >= ruleAt(j) && w.xMin < ruleAt(j + 1))
                column = j;
        ASSERT_GT(column, 0) << w.text.toStdString();
        EXPECT_LT(w.xMax, ruleAt(column + 1)) << w.text.toStdString() << " in column " << column;
        header = header || w.text.startsWith(QStringLiteral("四字"));
    }
    EXPECT_TRUE(header);
    pdfToPng(pdf, QStringLiteral("worksheet-fifteen-rows"), 80);
}

TEST(WorksheetPrinting, PrintsTheTableAndTheAnswerStripOnA4AndLeavesThePreviewAsItWas)
{
    PrintingSchool school;
    ASSERT_NE(school.layout, nullptr);
    PrintQueue queue;
    const QImage before = school.layout->previewImage();

    const QString pdf = school.printShown(queue, QStringLiteral("worksheet"));
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_TRUE(school.fakes.messages.shown.empty());
    expectA4(pdf);

    // The texts in the order they were drawn: each cell's lines follow each other.
    const QString drawn = withoutBlanks(pdfText(pdf, 0, PdfText::Raw));
    const printing::PrintLayout &sheet = school.form->worksheet().sheet;
    for (const QString &header :
         {QStringLiteral("意味"), QStringLiteral("四字熟語"), QStringLiteral("答（切り取って使いましょう）")})
        EXPECT_TRUE(drawn.contains(header)) << header.toStdString();
    for (int row = 1; row <= sheet.rowCount; ++row) {
        EXPECT_TRUE(drawn.contains(withoutBlanks(sheet.table.cell(2, row)))) << row;
        EXPECT_TRUE(drawn.contains(withoutBlanks(sheet.table.cell(7, row)))) << row; // the answer strip
        EXPECT_TRUE(drawn.contains(printing::circledNumber(row))) << row;
    }
    // Rows beyond the twentieth are never printed.
    for (int row = 21; row <= sheet.selectedIdiomCount; ++row)
        EXPECT_FALSE(drawn.contains(withoutBlanks(sheet.table.cell(7, row)))) << row;

    // The row of the first idiom, as it stands on the page: number, meaning, the two characters left, answer.
    const QString page = pdfText(pdf);
    EXPECT_TRUE(page.contains(QStringLiteral("①"))) << page.toStdString();

    const QStringList pages = pdfToPng(pdf, QStringLiteral("worksheet"), 80);
    EXPECT_EQ(pages.size(), 1);

    // Printing leaves the preview as it was drawn before.
    EXPECT_FALSE(control<QFrame>(school.layout, QStringLiteral("Picture4"))->isVisible());
    EXPECT_FALSE(control<QCheckBox>(school.layout, QStringLiteral("Check1"))->isChecked());
    EXPECT_EQ(school.layout->previewImage(), before);
    EXPECT_EQ(control<QLabel>(school.layout, QStringLiteral("Picture1"))->pixmap().toImage(),
              before.convertToFormat(QImage::Format_RGB32));
}

TEST(WorksheetPrinting, TheAnswerKeyAndThePdfFileComeOutOnA4Too)
{
    PrintingSchool school;
    ASSERT_NE(school.layout, nullptr);
    PrintQueue queue;
    auto *answerKey = control<QRadioButton>(school.layout, QStringLiteral("optAnswerKey"));
    QTest::mouseClick(answerKey, Qt::LeftButton, {}, QPoint(8, answerKey->height() / 2));
    ASSERT_TRUE(school.layout->showingAnswerKey());

    const QString pdf = school.printShown(queue, QStringLiteral("worksheet-answer-key"));
    ASSERT_FALSE(pdf.isEmpty());
    expectA4(pdf);
    const QString drawn = withoutBlanks(pdfText(pdf, 0, PdfText::Raw));
    EXPECT_TRUE(withoutBlanks(pdfText(pdf)).contains(QStringLiteral("解答（答え合わせ用）")));
    // Every character is there: the four character cells spell the idiom of the answer strip.
    const printing::PrintLayout &key = school.form->worksheet().answerKey;
    for (int row = 1; row <= key.rowCount; ++row) {
        const QString idiom =
            key.table.cell(3, row) + key.table.cell(4, row) + key.table.cell(5, row) + key.table.cell(6, row);
        EXPECT_TRUE(key.table.cell(7, row).contains(idiom));
        EXPECT_TRUE(withoutBlanks(pdfText(pdf)).contains(idiom) || drawn.contains(idiom))
            << idiom.toStdString();
    }
    pdfToPng(pdf, QStringLiteral("worksheet-answer-key"), 80);

    // "PDFに保存" gives the same page without a printer.
    const QString saved = printOutputDir() + QStringLiteral("/worksheet-saved.pdf");
    QFile::remove(saved);
    auto *sheetOption = control<QRadioButton>(school.layout, QStringLiteral("optSheet"));
    QTest::mouseClick(sheetOption, Qt::LeftButton, {}, QPoint(8, sheetOption->height() / 2));
    school.layout->setPdfPathAsker([&](const QString &) { return saved; });
    QTest::mouseClick(control<QPushButton>(school.layout, QStringLiteral("Command10")), Qt::LeftButton);
    EXPECT_TRUE(school.fakes.messages.shown.empty());
    expectA4(saved);
    const QString savedText = withoutBlanks(pdfText(saved, 0, PdfText::Raw));
    EXPECT_TRUE(savedText.contains(QStringLiteral("答（切り取って使いましょう）")));
    EXPECT_FALSE(savedText.contains(QStringLiteral("解答（答え合わせ用）")));
    EXPECT_EQ(pdfToPng(saved, QStringLiteral("worksheet-saved"), 80).size(), 1);

    // A place that cannot take the file is told in Japanese (the toolkit says "Filename refers to a
    // directory").
    const QString folder = printOutputDir() + QStringLiteral("/folder.pdf");
    ASSERT_TRUE(QDir().mkpath(folder));
    school.layout->setPdfPathAsker([&](const QString &) { return folder; });
    QTest::mouseClick(control<QPushButton>(school.layout, QStringLiteral("Command10")), Qt::LeftButton);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("フォルダ")))
        << school.fakes.messages.shown[0].text.toStdString();
    EXPECT_FALSE(
        school.fakes.messages.shown[0].text.contains(QStringLiteral("directory"), Qt::CaseInsensitive));
}

TEST(WorksheetPrinting, AQueueThatRefusesJobsIsToldAndNothingIsSaidToBeSent)
{
    PrintingSchool school;
    ASSERT_NE(school.layout, nullptr);
    PrintQueue queue;
    if (!queue.throughCups())
        GTEST_SKIP() << "no private CUPS server: " << queue.whyNot().toStdString();
    auto *status = control<QLabel>(school.layout, QStringLiteral("lblStatus"));
    {
        RefusingQueue refusing(queue);
        ASSERT_TRUE(refusing.refusing());
        const QList<int> jobs = queue.jobIds(false);
        school.layout->setPrinterMaker(queue.printerMaker(QStringLiteral("worksheet-refused")));
        QTest::mouseClick(control<QPushButton>(school.layout, QStringLiteral("Command9")), Qt::LeftButton);
        EXPECT_EQ(queue.jobIds(false), jobs); // nothing reached the queue
        ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
        const QString text = school.fakes.messages.shown[0].text;
        EXPECT_TRUE(text.contains(QStringLiteral("印刷できませんでした"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("yoji_pdf"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("受け付けていません"))) << text.toStdString();
        EXPECT_FALSE(status->text().contains(QStringLiteral("送りました"))) << status->text().toStdString();
    }
    // Taking jobs again, the same button prints and says so.
    const QString pdf = school.printShown(queue, QStringLiteral("worksheet-after-refusal"));
    EXPECT_FALSE(pdf.isEmpty());
    EXPECT_EQ(status->text(), QStringLiteral("yoji_pdf に送りました。"));
    EXPECT_EQ(school.fakes.messages.shown.size(), 1u);
}

TEST(WorksheetPrinting, BackWhilePrintingThrowsTheJobAwayAndCloses)
{
    PrintingSchool school;
    ASSERT_NE(school.layout, nullptr);
    PrintQueue queue;
    QPointer<PrintLayoutScreen> layout = school.layout;
    layout->setPrinterMaker(queue.printerMaker(QStringLiteral("worksheet-discarded")));
    queue.mark();
    // "戻る" is pressed while the notice is up.
    QMetaObject::invokeMethod(control<QPushButton>(layout, QStringLiteral("Command8")), &QPushButton::click,
                              Qt::QueuedConnection);
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command9")), Qt::LeftButton);
    settle();
    EXPECT_TRUE(layout.isNull());
    EXPECT_EQ(school.form->printLayout(), nullptr);
    EXPECT_TRUE(school.fakes.messages.shown.empty());

    QString error;
    EXPECT_TRUE(queue.collect(QStringLiteral("worksheet-discarded"), &error, 300)
                    .isEmpty()); // a job sent would already be listed
    if (queue.throughCups()) {
        EXPECT_TRUE(error.startsWith(QStringLiteral("no job reached the queue"))) << error.toStdString();
    }
}

TEST(WorksheetPrinting, ASheetToPrintAtOncePrintsAndCloses)
{
    WorksheetSchool school;
    PrintQueue queue;
    printing::PrintLayout sheet = [] {
        ScriptedRandom random;
        printing::WorksheetChoice choice;
        choice.blankOption = printing::FourBlanks;
        return printing::buildWorksheet({{QStringLiteral("一石二鳥"), QStringLiteral("一つで二つ"),
                                          QStringLiteral("いっせきにちょう")}},
                                        choice, random)
            .sheet;
    }();
    sheet.settings.printAtOnce = 1;
    QPointer<PrintLayoutScreen> layout =
        new PrintLayoutScreen(school.window->context(), sheet, nullptr, school.window.get());
    layout->setPrinterMaker(queue.printerMaker(QStringLiteral("worksheet-at-once")));
    EXPECT_FALSE(control<QPushButton>(layout, QStringLiteral("Command9"))->isVisibleTo(layout));
    EXPECT_FALSE(control<QPushButton>(layout, QStringLiteral("Command8"))->isVisibleTo(layout));
    layout->show();
    queue.mark();
    layout->activate();
    settle();
    EXPECT_TRUE(layout.isNull());
    QString error;
    const QString pdf = queue.collect(QStringLiteral("worksheet-at-once"), &error);
    ASSERT_FALSE(pdf.isEmpty()) << error.toStdString();
    EXPECT_TRUE(
        withoutBlanks(pdfText(pdf, 0, PdfText::Raw)).contains(QStringLiteral("一石二鳥(いっせきにちょう)")));
}
