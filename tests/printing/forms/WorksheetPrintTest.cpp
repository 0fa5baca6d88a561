#include "printing/forms/SheetPainter.h"
#include "printing/forms/WorksheetSchool.h"
#include "support/printing/PrintQueue.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>

#include <gtest/gtest.h>

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

} // namespace

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
