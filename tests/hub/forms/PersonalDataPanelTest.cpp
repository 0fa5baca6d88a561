#include "hub/forms/PersonalDataPanel.h"
#include "hub/forms/PersonalSheetPainter.h"
#include "hub/forms/seisekitime1.h"
#include "roster/forms/TestSchool.h"
#include "roster/forms/namesel.h"
#include "support/gui/GuiTestSupport.h"

#include "hub/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
const QDate kToday(2026, 12, 8);

seisekitime1 *openHubAs(TestSchool &school, int studentNumber)
{
    school.window->showNameSelection();
    settle();
    auto *names = qobject_cast<namesel *>(school.window->currentScreen());
    if (!names)
        return nullptr;
    const QStringList numbered = names->lists().numbered;
    for (int i = 0; i < numbered.size(); ++i) {
        if (numbered[i].endsWith(QStringLiteral("*%1").arg(studentNumber))) {
            auto *list = control<QListView>(names, QStringLiteral("List1"));
            list->setCurrentIndex(list->model()->index(i + 1, 0));
            break;
        }
    }
    QTest::mouseClick(control<QPushButton>(names, QStringLiteral("Command14")), Qt::LeftButton);
    settle();
    return qobject_cast<seisekitime1 *>(school.window->currentScreen());
}

void click(QWidget *root, const QString &name)
{
    auto *button = root->findChild<QAbstractButton *>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    ASSERT_TRUE(button->isVisible()) << name.toStdString();
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks a row of a list as a person does; with control held it is added to the selection.
void clickRow(QListView *list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

int rowOf(QListView *list, const QString &ending)
{
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        if (list->model()->index(row, 0).data().toString().endsWith(ending))
            return row;
    }
    return -1;
}

// 131 ran level 2 three times and level 4 once; 132 ran level 2 once; 172 level 6.
void writeRuns(TestSchool &school)
{
    school.writeRuns({runAt(kToday.addDays(-20), QTime(15, 0), 131, 2, 120),
                      runAt(kToday.addDays(-10), QTime(15, 0), 131, 2, 80),
                      runAt(kToday.addDays(-5), QTime(15, 0), 131, 2, 95),
                      runAt(kToday.addDays(-3), QTime(15, 0), 131, 4, 150),
                      runAt(kToday.addDays(-2), QTime(15, 0), 132, 2, 70),
                      runAt(kToday.addDays(-1), QTime(15, 0), 172, 6, 200)});
}

PersonalDataPanel *openGraph(seisekitime1 *hub)
{
    click(hub, QStringLiteral("Option2_2"));
    click(hub, QStringLiteral("Command17"));
    return hub->findChild<PersonalDataPanel *>(QStringLiteral("pnlPersonalData"));
}

// Every chart point of the page is painted where the sheet puts it: red for a new best, blue otherwise.
void expectPointsPainted(const QImage &image, const hub::SheetPage &page)
{
    int points = 0;
    for (const hub::SheetBlock &block : page.blocks) {
        for (const hub::ChartPoint &p : block.chart.points) {
            const QColor c = image.pixelColor(int(p.x * image.width()), int(p.y * image.height()));
            if (p.newBest) {
                EXPECT_TRUE(c.red() > 200 && c.blue() < 80) << block.level << " " << p.time;
            } else {
                EXPECT_TRUE(c.blue() > 200 && c.red() < 80) << block.level << " " << p.time;
            }
            ++points;
        }
    }
    EXPECT_GT(points, 0);
}

// Answers the dialogs as a teacher would: the printer is a PDF file, the PDF file a given path.
class AnsweredDialogs : public SheetOutputDialogs
{
public:
    bool choosePrinter(QPrinter &printer, QWidget *) override
    {
        ++printerAsked;
        if (printerPdf.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerPdf);
        return true;
    }
    QString choosePdfFile(const QString &suggestedPath, QWidget *) override
    {
        suggested = suggestedPath;
        return pdfPath;
    }
    QString printerPdf;
    QString pdfPath;
    QString suggested;
    int printerAsked = 0;
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pageText(const QString &pdf, int page)
{
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// Keeps PNG pages of a PDF beside the screenshots for a person to look at.
void keepPages(const QString &pdf, const QString &name)
{
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"), pdf,
                                     QStringLiteral(SCREENSHOT_DIR "/") + name});
}
} // namespace

TEST(PersonalDataPanel, TheGraphButtonShowsTheOwnSheetOfTheFirstThreeTests)
{
    TestSchool school;
    writeRuns(school);
    seisekitime1 *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(school.fakes.messages.shown.empty());

    EXPECT_TRUE(control<QPushButton>(panel, QStringLiteral("cmdOtherStudent"))->isVisible());
    EXPECT_FALSE(control<QListView>(panel, QStringLiteral("lstSheetStudents"))->isVisible());
    EXPECT_FALSE(control<QPushButton>(panel, QStringLiteral("Command24_1"))->isVisible()); // not a teacher
    EXPECT_FALSE(control<QPushButton>(panel, QStringLiteral("cmdSavePdf"))->isVisible());
    EXPECT_TRUE(control<QPushButton>(panel, QStringLiteral("Command24_0"))->isVisible());
    EXPECT_EQ(panel->selectedLevels(), (std::vector<int>{2, 4, 6}));

    const hub::PersonalSheet &sheet = panel->shownSheet();
    EXPECT_EQ(sheet.student, 131);
    EXPECT_EQ(sheet.name, QStringLiteral("加藤あおい"));
    ASSERT_EQ(sheet.pages.size(), 1u);
    ASSERT_EQ(sheet.pages[0].blocks.size(), 3u);
    const hub::LevelFigures &two = sheet.pages[0].blocks[0].figures;
    EXPECT_EQ(two.runCount, 3);
    EXPECT_EQ(two.best, 80);
    EXPECT_EQ(two.schoolFastest, 70);
    EXPECT_EQ(two.timeRank, 2);
    EXPECT_EQ(sheet.pages[0].blocks[1].figures.runCount, 1);
    EXPECT_EQ(sheet.pages[0].blocks[2].figures.runCount, 0);

    // The chart is drawn: red new bests and blue other runs.
    expectPointsPainted(control<QWidget>(panel, QStringLiteral("picSheet"))->grab().toImage(),
                        sheet.pages[0]);
    saveScreenshot(school.window.get(), QStringLiteral("hub-personal-sheet"));

    // Another display option hides the panel and the graph button.
    click(hub, QStringLiteral("Option2_0"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(control<QPushButton>(hub, QStringLiteral("Command17"))->isVisible());
}

TEST(PersonalDataPanel, AnotherStudentsDataAndTheLevelsChosenInTheList)
{
    TestSchool school;
    writeRuns(school);
    seisekitime1 *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);

    click(panel, QStringLiteral("cmdOtherStudent"));
    auto *students = control<QListView>(panel, QStringLiteral("lstSheetStudents"));
    EXPECT_TRUE(students->isVisible());
    EXPECT_FALSE(control<QPushButton>(panel, QStringLiteral("cmdOtherStudent"))->isVisible());
    // Every listed student of the roster (the one of status 1 is not).
    EXPECT_EQ(students->model()->rowCount(), 7);
    EXPECT_EQ(students->model()->index(0, 0).data().toString(),
              QStringLiteral("小３ /  加藤あおい") + QString(15, u' ') + QStringLiteral("/131"));

    const int other = rowOf(students, QStringLiteral("/132"));
    ASSERT_GE(other, 0);
    clickRow(students, other);
    EXPECT_EQ(panel->sheetStudent(), 132);
    EXPECT_EQ(panel->shownSheet().name, QStringLiteral("岡田ゆうと"));
    EXPECT_EQ(panel->shownSheet().pages[0].blocks[0].figures.runCount, 1);
    EXPECT_EQ(panel->shownSheet().pages[0].blocks[0].figures.timeRank, 1);

    // Level 2 alone, then four levels: the screen shows the last page, the first is a click away.
    auto *levels = control<QListView>(panel, QStringLiteral("lstSheetLevels"));
    clickRow(levels, 1);
    ASSERT_EQ(panel->shownSheet().pages.size(), 1u);
    EXPECT_EQ(panel->shownSheet().pages[0].blocks.size(), 1u);
    for (int row : {3, 5, 7})
        clickRow(levels, row, Qt::ControlModifier);
    EXPECT_EQ(panel->selectedLevels(), (std::vector<int>{2, 4, 6, 8}));
    ASSERT_EQ(panel->shownSheet().pages.size(), 2u);
    auto *page = control<QLabel>(panel, QStringLiteral("lblSheetPage"));
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->text(), QStringLiteral("2 / 2 ページ"));
    EXPECT_FALSE(control<QPushButton>(panel, QStringLiteral("cmdSheetNextPage"))->isEnabled());
    click(panel, QStringLiteral("cmdSheetPrevPage"));
    EXPECT_EQ(page->text(), QStringLiteral("1 / 2 ページ"));
    saveScreenshot(school.window.get(), QStringLiteral("hub-personal-sheet-other"));

    // "表示" with nobody selected draws the sheet's student again; "戻る" hides the panel.
    students->clearSelection();
    click(panel, QStringLiteral("Command24_0"));
    EXPECT_EQ(panel->shownSheet().student, 132);
    click(panel, QStringLiteral("cmdSheetBack"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}

TEST(PersonalDataPanel, ATeacherPrintsAStudentsSheetOnA4)
{
    TestSchool school;
    writeRuns(school);
    seisekitime1 *hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    QTemporaryDir out;
    AnsweredDialogs dialogs;
    dialogs.printerPdf = out.filePath(QStringLiteral("printed.pdf"));
    panel->setDialogs(&dialogs);

    click(panel, QStringLiteral("cmdOtherStudent"));
    auto *students = control<QListView>(panel, QStringLiteral("lstSheetStudents"));
    clickRow(students, rowOf(students, QStringLiteral("/131")));
    auto *levels = control<QListView>(panel, QStringLiteral("lstSheetLevels"));
    for (int row : {7})
        clickRow(levels, row, Qt::ControlModifier);
    EXPECT_EQ(panel->selectedLevels(), (std::vector<int>{2, 4, 6, 8}));

    click(panel, QStringLiteral("Command24_1"));
    EXPECT_EQ(dialogs.printerAsked, 1);
    EXPECT_TRUE(school.fakes.messages.shown.empty());
    ASSERT_TRUE(QFile::exists(dialogs.printerPdf));
    keepPages(dialogs.printerPdf, QStringLiteral("personal-sheet-printed"));

    // Four levels: three blocks on the first page, one on the second.
    EXPECT_EQ(pageCount(dialogs.printerPdf), 2);
    const QString first = pageText(dialogs.printerPdf, 1);
    const QString second = pageText(dialogs.printerPdf, 2);
    EXPECT_TRUE(first.contains(QStringLiteral("加藤あおい")));
    EXPECT_EQ(first.count(QStringLiteral("四字熟語 範囲")), 3) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("範囲１"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("本人 / 塾全体")));
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral("最高[\\s\\x{3000}]+80秒\\s*/\\s*70秒"))))
        << first.toStdString();
    EXPECT_EQ(second.count(QStringLiteral("四字熟語 範囲")), 1) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("範囲４"))) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("加藤あおい")));
    const QString info = run(QStringLiteral("pdfinfo"), {dialogs.printerPdf});
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("Page size:\\s+595[.0-9]* x 84[12][.0-9]* pts \\(A4\\)"))))
        << info.toStdString();

    // A cancelled dialog prints nothing.
    QFile::remove(dialogs.printerPdf);
    dialogs.printerPdf.clear();
    click(panel, QStringLiteral("Command24_1"));
    EXPECT_EQ(dialogs.printerAsked, 2);
    EXPECT_TRUE(out.isValid() && QDir(out.path()).isEmpty());
}

TEST(PersonalDataPanel, SavesTheSheetsOfSelectedStudentsAsOnePdf)
{
    TestSchool school;
    writeRuns(school);
    seisekitime1 *hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    QTemporaryDir out;
    AnsweredDialogs dialogs;
    panel->setDialogs(&dialogs);

    click(panel, QStringLiteral("cmdOtherStudent"));
    auto *students = control<QListView>(panel, QStringLiteral("lstSheetStudents"));
    clickRow(students, rowOf(students, QStringLiteral("/131")));
    EXPECT_EQ(panel->sheetStudent(), 131);
    dialogs.pdfPath = out.filePath(QStringLiteral("加藤"));
    click(panel, QStringLiteral("cmdSavePdf"));
    EXPECT_TRUE(dialogs.suggested.endsWith(QStringLiteral("/加藤あおい_個人データ.pdf")))
        << dialogs.suggested.toStdString();
    const QString one = dialogs.pdfPath + QStringLiteral(".pdf");
    ASSERT_TRUE(QFile::exists(one));
    EXPECT_EQ(pageCount(one), 1);
    keepPages(one, QStringLiteral("personal-sheet-pdf"));

    clickRow(students, rowOf(students, QStringLiteral("/132")), Qt::ControlModifier);
    EXPECT_EQ(panel->selectedStudents(), (std::vector<int>{131, 132}));
    dialogs.pdfPath = out.filePath(QStringLiteral("two.pdf"));
    click(panel, QStringLiteral("cmdSavePdf"));
    EXPECT_TRUE(dialogs.suggested.endsWith(QStringLiteral("/個人データ.pdf")));
    EXPECT_EQ(pageCount(dialogs.pdfPath), 2); // each student on a page of his or her own
    EXPECT_TRUE(pageText(dialogs.pdfPath, 1).contains(QStringLiteral("加藤あおい")));
    EXPECT_TRUE(pageText(dialogs.pdfPath, 2).contains(QStringLiteral("岡田ゆうと")));
    EXPECT_TRUE(school.fakes.messages.shown.empty());

    // A folder that is not there: a message naming the file, and nothing written.
    dialogs.pdfPath = out.filePath(QStringLiteral("なし/three.pdf"));
    click(panel, QStringLiteral("cmdSavePdf"));
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("PDFファイルを作れません")));
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("three.pdf")));
    EXPECT_FALSE(QFile::exists(dialogs.pdfPath));
}

TEST(PersonalDataPanel, AnUnreadableResultsFileIsToldAndTheSheetStaysAsItWas)
{
    TestSchool school;
    writeRuns(school);
    seisekitime1 *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->shownSheet().pages.size(), 1u);

    // The results file turns into a folder.
    ASSERT_TRUE(QFile::remove(school.resultsFile()));
    ASSERT_TRUE(QDir().mkpath(school.resultsFile()));
    click(panel, QStringLiteral("Command24_0"));
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("成績累積データ.dat")));
    EXPECT_EQ(panel->shownSheet().pages.size(), 1u);
}

TEST(PersonalSheetPainter, TheScreenAndThePaperShowTheSameSheet)
{
    // The same page painted into an image the size of the drawing area and onto A4 paper: both put the
    // chart's points at the same fractions of the page.
    TestSchool school;
    writeRuns(school);
    seisekitime1 *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    const hub::PersonalSheet &sheet = panel->shownSheet();

    QImage screen(732, 556, QImage::Format_RGB32);
    screen.setDotsPerMeterX(3780);
    screen.setDotsPerMeterY(3780);
    screen.fill(Qt::white);
    {
        QPainter painter(&screen);
        sheetpaint::paintPage(painter, QRectF(screen.rect()), sheet, 0);
    }
    expectPointsPainted(screen, sheet.pages[0]);

    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        sheetpaint::paintSheet(painter, writer, sheet);
    }
    const QString png = out.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"),
                                     QStringLiteral("-singlefile"), pdf, png});
    const QImage paper(png + QStringLiteral(".png"));
    ASSERT_FALSE(paper.isNull());
    expectPointsPainted(paper, sheet.pages[0]);
    screen.save(QStringLiteral(SCREENSHOT_DIR "/personal-sheet-image.png"));
}
