#include "printing/WorksheetIdioms.h"
#include "printing/forms/SheetPainter.h"
#include "printing/forms/WorksheetSchool.h"
#include "records/MistakeHistory.h"
#include "support/SizeLimitedChild.h"

#include "hub/QStringPrinter.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QTextLayout>

#include "app/forms/Style.h"

#include <map>

#include <gtest/gtest.h>

using hub::HubScreen;
using printing::PrintLayoutScreen;
using printing::WorksheetScreen;
using roster::NameScreen;

namespace style = app::style;

using namespace testing_support;

namespace {

// A click on a check box's or option's mark (a click beside its caption does nothing).
void clickMark(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void clickOption(WorksheetScreen *form, int option)
{
    clickMark(control<QRadioButton>(form, QStringLiteral("Option1_%1").arg(option)));
}

} // namespace

TEST(WorksheetScreen, OpensOverTheNameScreenWhichComesBackAsItWas)
{
    WorksheetSchool school;
    school.window->showNameSelection();
    settle();
    auto *names = qobject_cast<NameScreen *>(school.window->currentScreen());
    ASSERT_NE(names, nullptr);
    auto *list = control<QListView>(names, QStringLiteral("List1"));
    list->setCurrentIndex(list->model()->index(2, 0));
    const QString chosen = control<QLabel>(names, QStringLiteral("lblChosenName"))->text();
    ASSERT_NE(chosen, QStringLiteral("名前を選びなさい"));

    auto *print = control<QPushButton>(names, QStringLiteral("Command1"));
    ASSERT_TRUE(print->isEnabled());
    QTest::mouseClick(print, Qt::LeftButton);
    settle();
    WorksheetScreen *form = school.window->findChild<WorksheetScreen *>();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(names->isEnabled()); // covered, and out of the tab order
    EXPECT_EQ(school.window->currentScreen(), names);

    // As loaded: the model's choices shown (range 1, the order changed, everything printed).
    auto *ranges = control<QListView>(form, QStringLiteral("List1"));
    ASSERT_EQ(ranges->model()->rowCount(), 10);
    EXPECT_EQ(ranges->model()->index(0, 0).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(ranges->model()->index(9, 0).data().toString(), QStringLiteral("10"));
    EXPECT_EQ(ranges->selectionModel()->selectedIndexes().size(), 1);
    EXPECT_TRUE(ranges->selectionModel()->isSelected(ranges->model()->index(0, 0)));
    EXPECT_TRUE(control<QCheckBox>(form, QStringLiteral("Check1"))->isChecked());
    EXPECT_EQ(control<QCheckBox>(form, QStringLiteral("Check1"))->text(), QStringLiteral("順序を変える"));
    const QStringList captions{"すべて印刷", "問題１カ所", "問題２カ所", "問題３カ所", "問題４カ所"};
    for (int option = 1; option <= 5; ++option) {
        auto *button = control<QRadioButton>(form, QStringLiteral("Option1_%1").arg(option));
        EXPECT_EQ(button->text(), captions[option - 1]);
        EXPECT_EQ(button->isChecked(), option == 1);
    }
    EXPECT_EQ(control<QPushButton>(form, QStringLiteral("Command3"))->text(), QStringLiteral("再並べ替え"));
    auto *source = control<QComboBox>(form, QStringLiteral("cboSource"));
    EXPECT_EQ(source->count(), 1) << "nobody has signed in: the ranges only";
    EXPECT_FALSE(source->isEnabled());
    EXPECT_EQ(control<QPushButton>(form, QStringLiteral("Command1"))->text(), QStringLiteral("印刷へ"));
    EXPECT_EQ(control<QPushButton>(form, QStringLiteral("Command2"))->text(), QStringLiteral("もどる"));
    EXPECT_EQ(form->worksheet().sheet.selectedIdiomCount, 20) << "built on loading";
    EXPECT_EQ(control<QLabel>(form, QStringLiteral("lblCount"))->text(), form->choices().countText());
    EXPECT_FALSE(control<QLabel>(form, QStringLiteral("picPreview"))->pixmap().isNull());
    EXPECT_TRUE(school.fakes.messages.shown.empty());
    EXPECT_FALSE(saveScreenshot(school.window.get(), QStringLiteral("worksheet-form")).isEmpty());

    QTest::mouseClick(control<QPushButton>(form, QStringLiteral("Command2")), Qt::LeftButton);
    settle();
    EXPECT_EQ(school.window->findChild<WorksheetScreen *>(), nullptr);
    EXPECT_EQ(school.window->currentScreen(), names);
    EXPECT_TRUE(names->isEnabled());
    EXPECT_EQ(control<QLabel>(names, QStringLiteral("lblChosenName"))->text(), chosen);
}

TEST(WorksheetScreen, OpensFromTheHubToo)
{
    WorksheetSchool school;
    school.window->showNameSelection();
    settle();
    auto *names = qobject_cast<NameScreen *>(school.window->currentScreen());
    ASSERT_NE(names, nullptr);
    auto *list = control<QListView>(names, QStringLiteral("List1"));
    list->setCurrentIndex(list->model()->index(1, 0)); // the teacher, first in the list
    QTest::mouseClick(control<QPushButton>(names, QStringLiteral("Command14")), Qt::LeftButton);
    settle();
    auto *hub = qobject_cast<HubScreen *>(school.window->currentScreen());
    ASSERT_NE(hub, nullptr);
    auto *print = control<QPushButton>(hub, QStringLiteral("Command27"));
    ASSERT_TRUE(print->isVisible());
    ASSERT_TRUE(print->isEnabled());
    QTest::mouseClick(print, Qt::LeftButton);
    settle();
    WorksheetScreen *form = school.window->findChild<WorksheetScreen *>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->worksheet().sheet.selectedIdiomCount, 20);
    QTest::mouseClick(control<QPushButton>(form, QStringLiteral("Command2")), Qt::LeftButton);
    settle();
    EXPECT_EQ(school.window->currentScreen(), hub);
    EXPECT_TRUE(hub->isEnabled());
}

TEST(WorksheetScreen, AStudentAtTheHubPrintsHerOwnWeakIdioms)
{
    WorksheetSchool school;
    QString why;
    ASSERT_TRUE(
        succeeded(records::recordAnswersIn(school.inst.dataFolder, weakAnswersOf132(school.fakes.clock.now()),
                                           school.fakes.wait),
                  &why))
        << why.toStdString();

    WorksheetScreen *form = school.openFromHubAs(QStringLiteral("岡田ゆうと"));
    ASSERT_NE(form, nullptr);
    auto *source = control<QComboBox>(form, QStringLiteral("cboSource"));
    ASSERT_EQ(source->count(), 2);
    EXPECT_EQ(source->itemText(1), QStringLiteral("岡田ゆうとさんの苦手な熟語"));
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Down);
    settle();
    EXPECT_EQ(form->choices().source().student, 132);
    EXPECT_FALSE(control<QListView>(form, QStringLiteral("List1"))->isEnabled());
    EXPECT_EQ(form->worksheet().sheet.selectedIdiomCount, 2);
    EXPECT_EQ(control<QLabel>(form, QStringLiteral("lblCount"))->text(), form->choices().countText());

    PrintLayoutScreen *layout = WorksheetSchool::toPrinting(form);
    ASSERT_NE(layout, nullptr);
    EXPECT_FALSE(layout->previewImage().isNull());
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}

TEST(WorksheetScreen, EveryChoiceGoesToTheModelAndTheSheetIsBuiltAgain)
{
    WorksheetSchool school;
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);

    WorksheetSchool::clickRange(form, 3);
    EXPECT_TRUE(form->choices().rangeSelected(3));
    EXPECT_EQ(form->worksheet().sheet.selectedIdiomCount, 40);
    clickMark(control<QCheckBox>(form, QStringLiteral("Check1")));
    EXPECT_FALSE(form->choices().choice().shuffle);
    clickOption(form, 5);
    EXPECT_EQ(form->choices().choice().blankOption, printing::FourBlanks);
    EXPECT_EQ(form->worksheet().sheet.rowCount, 20);
    EXPECT_FALSE(saveScreenshot(school.window.get(), QStringLiteral("worksheet-form-four-blanks")).isEmpty());

    // "再並べ替え" builds again: with the shuffle on, in a new order.
    clickMark(control<QCheckBox>(form, QStringLiteral("Check1")));
    const QStringList first = printedIdioms(form->worksheet().sheet);
    QTest::mouseClick(control<QPushButton>(form, QStringLiteral("Command3")), Qt::LeftButton);
    EXPECT_NE(printedIdioms(form->worksheet().sheet), first);

    WorksheetSchool::clickRange(form, 1);
    WorksheetSchool::clickRange(form, 3);
    EXPECT_FALSE(form->choices().rangeSelected(1));
    EXPECT_EQ(form->worksheet().sheet.selectedIdiomCount, 0);
    EXPECT_EQ(control<QLabel>(form, QStringLiteral("lblCount"))->text(), form->choices().countText());
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}

TEST(WorksheetScreen, AnUnreadableDataFileIsToldAtEveryBuild)
{
    WorksheetSchool school;
    QFile::remove(school.storedDataFile());
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(school.fakes.messages.shown[0].title, QStringLiteral("四字熟語プリント"));
    EXPECT_FALSE(control<QLabel>(form, QStringLiteral("picPreview"))->pixmap().isNull());
    WorksheetSchool::clickRange(form, 2);
    EXPECT_EQ(school.fakes.messages.shown.size(), 2u);
}

TEST(PrintLayoutScreen, PreviewsTheSheetAndTheAnswerKeyAndBackReturnsToTheSameSheet)
{
    WorksheetSchool school;
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);
    clickOption(form, 3);
    const QStringList order = printedIdioms(form->worksheet().sheet);

    PrintLayoutScreen *layout = WorksheetSchool::toPrinting(form);
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(layout->isVisible());
    auto *picture = control<QLabel>(layout, QStringLiteral("Picture1"));
    EXPECT_TRUE(picture->isVisible());
    EXPECT_EQ(picture->pixmap().size(), QSize(500, 707)); // A4 at 0.63 of a 96 dpi screen
    EXPECT_FALSE(control<QFrame>(layout, QStringLiteral("Picture4"))->isVisible());
    EXPECT_EQ(control<QLabel>(layout, QStringLiteral("Label1"))->text(),
              QStringLiteral("印刷中　しばらくお待ちください"));
    EXPECT_EQ(control<QPushButton>(layout, QStringLiteral("Command9"))->text(), QStringLiteral("印刷"));
    EXPECT_EQ(control<QPushButton>(layout, QStringLiteral("Command8"))->text(), QStringLiteral("戻る"));
    EXPECT_FALSE(control<QCheckBox>(layout, QStringLiteral("Check1"))->isVisible());
    EXPECT_TRUE(control<QCheckBox>(layout, QStringLiteral("Check2"))->isChecked());
    EXPECT_FALSE(saveScreenshot(school.window.get(), QStringLiteral("print-layout-preview")).isEmpty());
    const QImage sheetPreview = layout->previewImage();
    EXPECT_FALSE(sheetPreview.isNull());

    clickMark(control<QRadioButton>(layout, QStringLiteral("optAnswerKey")));
    EXPECT_TRUE(layout->showingAnswerKey());
    EXPECT_NE(layout->previewImage(), sheetPreview);
    EXPECT_FALSE(saveScreenshot(school.window.get(), QStringLiteral("print-layout-answer-key")).isEmpty());
    clickMark(control<QRadioButton>(layout, QStringLiteral("optSheet")));
    EXPECT_EQ(layout->previewImage(), sheetPreview);

    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command8")), Qt::LeftButton);
    settle();
    EXPECT_EQ(form->printLayout(), nullptr);
    EXPECT_TRUE(control<QPushButton>(form, QStringLiteral("Command1"))->isEnabled());
    EXPECT_EQ(printedIdioms(form->worksheet().sheet), order); // not built again
}

TEST(PrintLayoutScreen, WithoutAPrinterSaysSoAndKeepsThePreview)
{
    WorksheetSchool school;
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);
    PrintLayoutScreen *layout = WorksheetSchool::toPrinting(form);
    ASSERT_NE(layout, nullptr);
    const QImage before = layout->previewImage();
    layout->setPrinterMaker([] { return std::unique_ptr<QPrinter>(); });
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command9")), Qt::LeftButton);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(
        school.fakes.messages.shown[0].text.startsWith(QStringLiteral("プリンターが見つかりません。")));
    EXPECT_FALSE(control<QFrame>(layout, QStringLiteral("Picture4"))->isVisible());
    EXPECT_TRUE(control<QPushButton>(layout, QStringLiteral("Command9"))->isEnabled());
    EXPECT_EQ(layout->previewImage(), before);
}

TEST(PrintLayoutScreen, ThePdfIsSavedWholeOrNotAtAll)
{
    WorksheetSchool school;
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);
    PrintLayoutScreen *layout = WorksheetSchool::toPrinting(form);
    ASSERT_NE(layout, nullptr);

    // A name without the extension gets it.
    const QString folder = school.inst.root.path();
    QString suggested;
    layout->setPdfPathAsker([&](const QString &s) {
        suggested = s;
        return folder + QStringLiteral("/シート");
    });
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command10")), Qt::LeftButton);
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("四字熟語プリント.pdf")));
    const QByteArray pdf = readBytes(folder + QStringLiteral("/シート.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-")) << pdf.left(20).toStdString();
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(
        control<QLabel>(layout, QStringLiteral("lblStatus"))->text().contains(QStringLiteral("シート.pdf")));
    EXPECT_TRUE(school.fakes.messages.shown.empty());

    // A folder that cannot hold the file: the message names it, and an earlier file stays as it was.
    writeBytes(folder + QStringLiteral("/not-a-folder"), "keep");
    layout->setPdfPathAsker(
        [&](const QString &) { return folder + QStringLiteral("/not-a-folder/シート.pdf"); });
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command10")), Qt::LeftButton);
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("not-a-folder")))
        << school.fakes.messages.shown[0].text.toStdString();
    EXPECT_EQ(readBytes(folder + QStringLiteral("/not-a-folder")), QByteArray("keep"));

    // Cancelled: nothing happens.
    layout->setPdfPathAsker([](const QString &) { return QString(); });
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command10")), Qt::LeftButton);
    EXPECT_EQ(school.fakes.messages.shown.size(), 1u);
}

TEST(PrintLayoutScreen, APdfStoppedPartWayByAFullDiskKeepsTheOldFileAndSaysSo)
{
    WorksheetSchool school;
    WorksheetScreen *form = school.openFromNameScreen();
    ASSERT_NE(form, nullptr);
    PrintLayoutScreen *layout = WorksheetSchool::toPrinting(form);
    ASSERT_NE(layout, nullptr);
    const QString path = school.inst.root.path() + QStringLiteral("/ws.pdf");
    layout->setPdfPathAsker([&](const QString &) { return path; });
    // The old file: a whole sheet saved earlier.
    QTest::mouseClick(control<QPushButton>(layout, QStringLiteral("Command10")), Qt::LeftButton);
    const QByteArray old = readBytes(path);
    ASSERT_GT(old.size(), 29 * 1024);
    ASSERT_TRUE(school.fakes.messages.shown.empty());

    // Room for 8, 16 and 28 KB of the new file: the save stops part way each time.
    for (const qint64 room : {qint64(8192), qint64(16384), qint64(28672)}) {
        // The child saves by the button's own call: a forked child has none of the toolkit's painting
        // threads, so it must not run the event loop, where widgets would be painted.
        const ChildOutcome outcome = runWithFileSizeLimit(room, [&](QString *text) {
            layout->saveAsPdf();
            for (const auto &shown : school.fakes.messages.shown)
                *text += shown.text;
            *text += u'|' + control<QLabel>(layout, QStringLiteral("lblStatus"))->text();
            return school.fakes.messages.shown.empty();
        });
        SCOPED_TRACE(testing::Message() << "room " << room << ": " << outcome.text.toStdString());
        ASSERT_TRUE(outcome.exited);
        EXPECT_FALSE(outcome.succeeded); // a message was shown
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("保存できませんでした")));
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("ws.pdf")));
        EXPECT_FALSE(outcome.text.contains(QStringLiteral("保存しました")));
        EXPECT_TRUE(readBytes(path) == old) << "the old file was changed";
    }
}

TEST(PrintLayoutScreen, OnScreenSwitchShowsTheNoticeInPlaceOfThePage)
{
    WorksheetSchool school;
    printing::PrintLayout sheet = [] {
        testing_support::ScriptedRandom random;
        return printing::buildWorksheet({}, printing::WorksheetChoice{}, random).sheet;
    }();
    sheet.settings.onScreen = 1;
    PrintLayoutScreen layout(school.window->context(), sheet, nullptr, school.window.get());
    layout.show();
    layout.activate();
    EXPECT_FALSE(control<QLabel>(&layout, QStringLiteral("Picture1"))->isVisible());
    EXPECT_TRUE(control<QFrame>(&layout, QStringLiteral("Picture4"))->isVisible());
    EXPECT_FALSE(control<QRadioButton>(&layout, QStringLiteral("optAnswerKey"))->isVisible());
}

TEST(SheetLayout, TextsTooLongForTheirCellAreDrawnSmallerUntilTheyFit)
{
    testing_support::ScriptedRandom random;
    printing::WorksheetChoice choice;
    choice.blankOption = printing::OneBlank;
    QList<printing::WorksheetRow> rows{
        {QStringLiteral("一石二鳥"), QStringLiteral("一つのこと"), QStringLiteral("いっせきにちょう")},
        {QStringLiteral("温故知新"),
         QStringLiteral(
             "昔のことをよく学んで、そこから新しい知識や考え方を見つけ出し、これからに生かしていくこと。"),
         QStringLiteral("おんこちしん")}};
    const printing::PrintLayout sheet = printing::buildWorksheet(rows, choice, random).sheet;
    const printing::SheetPainter painter(sheet);
    const double dotsPerPoint = printing::SheetPainter::kReferenceDpi / 72.0;
    const double rowHeight = painter.plan().rowHeight * painter.referencePage().height() / 10000.0;

    std::map<std::pair<int, int>, printing::LaidOutCell> cells;
    for (const printing::LaidOutCell &cell : painter.cells())
        cells[std::pair(cell.column, cell.row)] = cell;
    auto at = [&](int column, int row) { return cells[std::pair(column, row)]; };
    // The short header and the short meaning fit at the sheet's size, on one line.
    EXPECT_EQ(at(2, 0).size, 13);
    EXPECT_EQ(at(2, 1).size, 13);
    EXPECT_EQ(at(2, 1).lines, QStringList{QStringLiteral("一つのこと")});
    // "四字熟語" in a column a twentieth of the page wide, the answers' header and the long meaning do not.
    for (const auto &key : {std::pair{3, 0}, std::pair{7, 0}, std::pair{2, 2}}) {
        const printing::LaidOutCell &cell = cells[key];
        SCOPED_TRACE(testing::Message()
                     << key.first << "," << key.second << " " << cell.lines.join('|').toStdString());
        EXPECT_LT(cell.size, 13);
        EXPECT_GE(cell.size, 4);
        EXPECT_FALSE(cell.overflow);
        EXPECT_EQ(cell.lines.join(QString()), sheet.table.cell(key.first, key.second));
        EXPECT_EQ(cell.baselines.size(), std::size_t(cell.lines.size())); // every line is drawn
        // Measured on its own: each line is as wide as its cell at most, and the lines with one more
        // stay within the row.
        QFont font(style::font(10).family());
        font.setPixelSize(int(std::lround(cell.size * dotsPerPoint)));
        font.setHintingPreference(QFont::PreferNoHinting);
        double width = 0.0;
        for (const printing::SheetCell &planned : painter.plan().cells)
            if (planned.column == key.first && planned.row == key.second)
                width = planned.rect.width() * painter.referencePage().width() / 10000.0;
        ASSERT_GT(width, 0.0);
        for (const QString &line : cell.lines)
            EXPECT_LE(QFontMetricsF(font).horizontalAdvance(line), width * 1.001) << line.toStdString();
        EXPECT_LT((cell.lines.size() + 1) * cell.size * 1.2 * dotsPerPoint, rowHeight);
    }
}

TEST(SheetLayout, ACharacterWiderThanItsCellIsDrawnSmallerUntilItFits)
{
    // A column a hundredth of the page wide: one character at the sheet's size is wider than the cell.
    printing::PrintLayout sheet;
    sheet.settings.sheetKind = printing::kTableSheet;
    sheet.settings.textSize = 13;
    sheet.rowCount = 15;
    sheet.columnCount = 2;
    sheet.columnPositions[1] = 0.0;
    sheet.columnPositions[2] = 0.5;
    sheet.columnPositions[3] = 0.52;
    sheet.table.setCell(2, 1, QStringLiteral("語"));
    const printing::SheetPainter painter(sheet);
    ASSERT_EQ(painter.cells().size(), 1u);
    const printing::LaidOutCell &cell = painter.cells().front();
    const double width =
        painter.plan().cells.front().rect.width() * painter.referencePage().width() / 10000.0;
    QFont font(style::font(10).family());
    font.setPixelSize(int(std::lround(cell.size * printing::SheetPainter::kReferenceDpi / 72.0)));
    font.setHintingPreference(QFont::PreferNoHinting);
    EXPECT_LT(cell.size, 13);
    EXPECT_EQ(cell.lines, QStringList{QStringLiteral("語")});
    EXPECT_LE(QFontMetricsF(font).horizontalAdvance(cell.lines.front()), width * 1.001);
    EXPECT_FALSE(cell.overflow);
}

TEST(SheetLayout, TheLastVerticalRuleIsDrawnAtThePagesRightEdge)
{
    testing_support::ScriptedRandom random;
    const printing::PrintLayout sheet =
        printing::buildWorksheet({}, printing::WorksheetChoice{}, random).sheet; // 15 rows
    const QImage preview = printing::SheetPainter(sheet).preview();
    ASSERT_EQ(preview.size(), QSize(500, 707));
    // The page model's right edge: 10 mm from the paper's edge, at 0.63 of 96 dpi.
    const double factor = 96.0 / 25.4 * 0.63;
    const int right = int(std::lround(200.0 * factor));
    const int top = int(std::lround((10.0 + 277.0 * 0.03) * factor)); // the header row's rule at 300 units
    const int bottom = int(std::lround((10.0 + 277.0 * 0.99) * factor));
    auto darkest = [&](int x, int y0, int y1) {
        int d = 255;
        for (int y = y0; y <= y1; ++y)
            d = std::min(d, qGray(preview.pixel(x, y)));
        return d;
    };
    auto darkestNear = [&](int x, int y0, int y1) {
        return std::min({darkest(x - 1, y0, y1), darkest(x, y0, y1), darkest(x + 1, y0, y1)});
    };
    EXPECT_LT(darkestNear(right, top + 5, bottom - 5), 160);
    EXPECT_EQ(darkest(right + 4, top + 5, bottom - 5), 255); // nothing beyond it
    EXPECT_EQ(darkestNear(right, top - 8, top - 4), 255);    // it starts at the header row's rule
}

TEST(SheetLayout, ATextThatFitsAtNoSizeShowsTheLinesThatFitAtTheSmallest)
{
    testing_support::ScriptedRandom random;
    // Twenty paragraphs that each take several lines even at the smallest size.
    const QString endless =
        (QStringLiteral("とても長い意味の説明が続きます。").repeated(40) + QStringLiteral("\n")).repeated(20);
    const printing::PrintLayout sheet =
        printing::buildWorksheet({{QStringLiteral("一石二鳥"), endless, QStringLiteral("いっせきにちょう")}},
                                 printing::WorksheetChoice{}, random)
            .sheet;
    const printing::SheetPainter painter(sheet);
    for (const printing::LaidOutCell &cell : painter.cells()) {
        if (cell.column != 2 || cell.row != 1)
            continue;
        EXPECT_EQ(cell.size, printing::kMinimumTextSize);
        EXPECT_TRUE(cell.overflow);
        // Not nothing, as a layout that gives up would draw, and not more than the row holds.
        EXPECT_GT(cell.baselines.size(), 0u);
        EXPECT_LT(cell.baselines.size(), std::size_t(cell.lines.size()));
        const double rowBottom =
            (painter.plan().rowHeight + 1000.0) * painter.referencePage().height() / 10000.0;
        EXPECT_LT(cell.baselines.back().y(), rowBottom);
        return;
    }
    ADD_FAILURE() << "the meaning cell was not laid out";
}
