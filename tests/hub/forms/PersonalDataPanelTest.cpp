#include "hub/forms/PersonalDataPanel.h"
#include "hub/forms/PersonalDataSteps.h"

#include "hub/QStringPrinter.h"
#include "support/SizeLimitedChild.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using hub::HubScreen;
using hub::PersonalDataPanel;

using namespace testing_support;

TEST(PersonalDataPanel, TheGraphButtonShowsTheOwnSheetOfTheFirstThreeTests)
{
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 131);
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

    // A screen reader hears the sheet's lines.
    const QString spoken = control<QWidget>(panel, QStringLiteral("picSheet"))->accessibleDescription();
    EXPECT_TRUE(spoken.contains(QStringLiteral("四字熟語 範囲１\n回数 3回\n"))) << spoken.toStdString();

    // The chart is drawn: red new bests and blue other runs.
    expectPointsPainted(control<QWidget>(panel, QStringLiteral("picSheet"))->grab().toImage(),
                        sheet.pages[0]);
    saveScreenshot(school.window.get(), QStringLiteral("hub-personal-sheet"));

    // Another display option hides the panel and the graph button.
    pressButton(hub, QStringLiteral("Option2_0"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(control<QPushButton>(hub, QStringLiteral("Command17"))->isVisible());
}

TEST(PersonalDataPanel, AnotherStudentsDataAndTheLevelsChosenInTheList)
{
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);

    pressButton(panel, QStringLiteral("cmdOtherStudent"));
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
    EXPECT_EQ(panel->model().sheetStudent(), 132);
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
    EXPECT_EQ(panel->model().selectedLevels(), (std::vector<int>{2, 4, 6, 8}));
    ASSERT_EQ(panel->shownSheet().pages.size(), 2u);
    auto *page = control<QLabel>(panel, QStringLiteral("lblSheetPage"));
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->text(), QStringLiteral("2 / 2 ページ"));
    EXPECT_FALSE(control<QPushButton>(panel, QStringLiteral("cmdSheetNextPage"))->isEnabled());
    pressButton(panel, QStringLiteral("cmdSheetPrevPage"));
    EXPECT_EQ(page->text(), QStringLiteral("1 / 2 ページ"));
    saveScreenshot(school.window.get(), QStringLiteral("hub-personal-sheet-other"));

    // "表示" with nobody selected draws the sheet's student again; "戻る" hides the panel.
    students->clearSelection();
    pressButton(panel, QStringLiteral("Command24_0"));
    EXPECT_EQ(panel->shownSheet().student, 132);
    pressButton(panel, QStringLiteral("cmdSheetBack"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}

TEST(PersonalDataPanel, AnUnreadableResultsFileIsToldAndTheSheetStaysAsItWas)
{
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->shownSheet().pages.size(), 1u);

    // The results file turns into a folder.
    ASSERT_TRUE(QFile::remove(school.resultsFile()));
    ASSERT_TRUE(QDir().mkpath(school.resultsFile()));
    pressButton(panel, QStringLiteral("Command24_0"));
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("成績累積データ.dat")));
    EXPECT_EQ(panel->shownSheet().pages.size(), 1u);
}

TEST(PersonalDataPanel, ChoosingWithTheArrowKeysDrawsTheSheetAgain)
{
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);

    auto *levels = control<QListView>(panel, QStringLiteral("lstSheetLevels"));
    clickRow(levels, 1); // level 2 alone
    ASSERT_EQ(panel->shownSheet().pages.at(0).blocks.size(), 1u);
    ASSERT_EQ(panel->shownSheet().pages[0].blocks[0].level, 2);
    levels->setFocus();
    QTest::keyClick(levels, Qt::Key_Down);
    ASSERT_EQ(panel->model().selectedLevels(), std::vector<int>{3});
    ASSERT_EQ(panel->shownSheet().pages.at(0).blocks.size(), 1u);
    EXPECT_EQ(panel->shownSheet().pages[0].blocks[0].level, 3);
    QTest::keyClick(levels, Qt::Key_Down, Qt::ShiftModifier); // levels 3 and 4
    EXPECT_EQ(panel->shownSheet().pages.at(0).blocks.size(), 2u);

    pressButton(panel, QStringLiteral("cmdOtherStudent"));
    auto *students = control<QListView>(panel, QStringLiteral("lstSheetStudents"));
    const int first = rowOf(students, QStringLiteral("/131"));
    ASSERT_GE(first, 0);
    clickRow(students, first);
    ASSERT_EQ(panel->model().sheetStudent(), 131);
    QTest::keyClick(students, Qt::Key_Down);
    const int next = students->model()->index(first + 1, 0).data(hub::SheetListModel::NumberRole).toInt();
    EXPECT_EQ(panel->model().sheetStudent(), next);
    EXPECT_EQ(panel->shownSheet().student, next);
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}

TEST(PersonalDataPanel, AResultsFileThatVanishedWhileTheHubWasOpenIsToldNotShownAsBlank)
{
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->shownSheet().pages.at(0).blocks.at(0).figures.runCount, 3);

    ASSERT_TRUE(QFile::remove(school.resultsFile()));
    pressButton(panel, QStringLiteral("Command24_0"));
    ASSERT_EQ(school.fakes.messages.shown.size(), 1u);
    const QString text = school.fakes.messages.shown[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("成績ファイルを読めません"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(school.resultsFile()))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("見つかりません"))) << text.toStdString();
    // The sheet stays as it was drawn from the file.
    EXPECT_EQ(panel->shownSheet().pages.at(0).blocks.at(0).figures.runCount, 3);
}

TEST(PersonalDataPanel, APdfStoppedPartWayByAFullDiskKeepsTheOldFileAndSaysSo)
{
    class PdfTo : public platform::OutputDialogs
    {
    public:
        bool choosePrinter(QPrinter &, QWidget *) override { return false; }
        QString choosePdfFile(const QString &, QWidget *) override { return path; }
        QString path;
    } dialogs;
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    panel->setDialogs(&dialogs);
    pressButton(panel, QStringLiteral("cmdOtherStudent"));
    auto *students = control<QListView>(panel, QStringLiteral("lstSheetStudents"));
    // Every student of the list, four levels each.
    clickRow(students, 0);
    for (int row = 1; row < students->model()->rowCount(); ++row)
        clickRow(students, row, Qt::ControlModifier);
    clickRow(control<QListView>(panel, QStringLiteral("lstSheetLevels")), 7, Qt::ControlModifier);
    QTemporaryDir out;
    dialogs.path = out.filePath(QStringLiteral("sheets.pdf"));
    pressButton(panel, QStringLiteral("cmdSavePdf"));
    const QByteArray old = readBytes(dialogs.path);
    ASSERT_GT(old.size(), 8192);
    ASSERT_TRUE(school.fakes.messages.shown.empty());

    // Room for 8 and 16 KB, and for all but the last 2 KB, which the toolkit's buffer held until the end.
    for (const qint64 room : {qint64(8192), qint64(16384), old.size() - 2048}) {
        // The child saves by the button's own call: a forked child has none of the toolkit's painting
        // threads, so it must not run the event loop, where widgets would be painted.
        const ChildOutcome outcome = runWithFileSizeLimit(room, [&](QString *text) {
            panel->draw(PersonalDataPanel::Target::Pdf);
            for (const auto &shown : school.fakes.messages.shown)
                *text += shown.text;
            *text += u'|' + control<QLabel>(panel, QStringLiteral("lblSheetStatus"))->text();
            return school.fakes.messages.shown.empty();
        });
        SCOPED_TRACE(testing::Message() << "room " << room << ": " << outcome.text.toStdString());
        ASSERT_TRUE(outcome.exited);
        EXPECT_FALSE(outcome.succeeded); // a message was shown
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("保存できませんでした")));
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("sheets.pdf")));
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("そのまま残っています")));
        EXPECT_FALSE(outcome.text.contains(QStringLiteral("保存しました")));
        EXPECT_TRUE(readBytes(dialogs.path) == old) << "the old file was changed";
    }
}
