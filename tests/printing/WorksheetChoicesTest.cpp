#include "printing/WorksheetChoices.h"
#include "printing/WorksheetIdioms.h"
#include "records/MistakeHistory.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "hub/QStringPrinter.h"

using namespace printing;
using namespace testing_support;

namespace worksheet_choices_test {

const QDateTime kToday(QDate(2026, 12, 9), QTime(17, 0));

// The program's own idiom data file (ten ranges of twenty idioms) in an application folder, and an
// empty data folder for the answer history; one listed student, 岡田ゆうと (132).
struct Sheets
{
    QTemporaryDir root;
    QString appFolder = root.filePath(QStringLiteral("app")) + u'/';
    QString dataFolder = root.filePath(QStringLiteral("data")) + u'/';
    drill::IdiomData idioms;
    roster::Roster roster;
    ScriptedRandom random;
    platform::ResponsiveWait wait;
    WorksheetChoices choices{idioms, roster, {appFolder, dataFolder}};

    Sheets()
    {
        QDir().mkpath(appFolder);
        QDir().mkpath(dataFolder);
        EXPECT_TRUE(QFile::copy(QStringLiteral(YOJI_IDIOM_DATA), storedDataFile()));
        roster.currentSchoolYear = 2026;
        roster.rosterCount = 1;
        roster.rosterNumbers[1] = 132;
        roster.studentNames[132] = QStringLiteral("岡田ゆうと").leftJustified(20);
        roster.studentBirthYears[132] = 2017;
    }
    QString storedDataFile() const
    {
        return idioms::storedFilePath(appFolder + QString::fromUtf16(idioms::kNominalFileName));
    }
    QStringList printed() const { return printedIdioms(choices.worksheet().sheet); }
    void build()
    {
        QString error;
        EXPECT_TRUE(succeeded(choices.build(kToday, random, wait), &error)) << error.toStdString();
    }
};

} // namespace worksheet_choices_test

using worksheet_choices_test::Sheets;

TEST(WorksheetChoices, LoadChoosesRangeOneTheChangedOrderAndEverythingPrinted)
{
    Sheets s;
    s.choices.load(worksheetSources(s.roster, std::nullopt, false));
    EXPECT_FALSE(s.choices.sourceChoosable()) << "nobody has signed in: the ranges only";
    EXPECT_TRUE(s.choices.rangesEnabled());
    for (int range = 1; range <= kRangeCount; ++range)
        EXPECT_EQ(s.choices.rangeSelected(range), range == 1) << range;
    EXPECT_TRUE(s.choices.choice().shuffle);
    EXPECT_EQ(s.choices.choice().blankOption, PrintEverything);

    s.build();
    EXPECT_EQ(s.choices.countText(), QStringLiteral("選んだ熟語：20 語"));
    EXPECT_EQ(s.choices.worksheet().sheet.rowCount, 15);
    const QStringList rangeOne = idiomsOfRanges(s.appFolder, {1});
    for (const QString &idiom : s.printed())
        EXPECT_TRUE(rangeOne.contains(idiom)) << idiom.toStdString();
    EXPECT_TRUE(s.choices.worksheet().sheet.title.isEmpty());
}

TEST(WorksheetChoices, EveryBuildTakesTheChoicesAsTheyStand)
{
    Sheets s;
    s.choices.load(worksheetSources(s.roster, std::nullopt, false));

    // Ranges 1 and 3, in file order without the shuffle.
    s.choices.setRangeSelected(3, true);
    s.choices.setShuffle(false);
    s.build();
    EXPECT_EQ(s.choices.worksheet().sheet.selectedIdiomCount, 40);
    const QStringList inFileOrder = idiomsOfRanges(s.appFolder, {1, 3});
    EXPECT_EQ(s.printed(), inFileOrder.mid(0, 15));

    // Four blanks: no character left in any row, 20 rows; the answer strip keeps every idiom.
    s.choices.setBlankOption(FourBlanks);
    s.build();
    const PrintLayout &sheet = s.choices.worksheet().sheet;
    EXPECT_EQ(sheet.rowCount, 20);
    for (int row = 1; row <= 40; ++row)
        for (int column = 3; column <= 6; ++column)
            EXPECT_TRUE(sheet.table.cell(column, row).isEmpty()) << column << "," << row;
    EXPECT_EQ(s.printed(), inFileOrder.mid(0, 20));

    // The shuffle back on: each build draws a new order.
    s.choices.setShuffle(true);
    s.build();
    const QStringList first = s.printed();
    s.build();
    EXPECT_NE(s.printed(), first);
    EXPECT_NE(first, inFileOrder.mid(0, 20));

    // No range: the header and the row numbers only.
    s.choices.setRangeSelected(1, false);
    s.choices.setRangeSelected(3, false);
    s.build();
    EXPECT_EQ(s.choices.countText(), QStringLiteral("選んだ熟語：0 語"));
    EXPECT_EQ(s.choices.worksheet().sheet.table.cell(1, 20), QStringLiteral("⑳"));
    EXPECT_TRUE(s.choices.worksheet().sheet.table.cell(2, 1).isEmpty());

    // What is not a choice of the screen is not taken.
    s.choices.setRangeSelected(11, true);
    s.choices.setBlankOption(0);
    EXPECT_EQ(s.choices.choice().blankOption, PrintEverything);
    EXPECT_FALSE(s.choices.rangeSelected(11));
}

TEST(WorksheetChoices, AStudentsWeakIdiomsComeFromTheHistoryWithTheRangesOff)
{
    Sheets s;
    s.choices.load(worksheetSources(s.roster, 132, false));
    ASSERT_TRUE(s.choices.sourceChoosable());
    s.choices.chooseSource(1);
    EXPECT_EQ(s.choices.source().kind, WorksheetSource::Kind::Student);
    EXPECT_EQ(s.choices.source().student, 132);
    EXPECT_FALSE(s.choices.rangesEnabled());
    s.choices.chooseSource(2); // not offered: the choice stays
    EXPECT_EQ(s.choices.sourceIndex(), 1);

    // Before any test was taken there is no history: no rows, and the count says why.
    s.build();
    EXPECT_EQ(s.choices.countText(), QStringLiteral("選んだ熟語：0 語（まだ間違えた熟語がありません）"));

    QString why;
    ASSERT_TRUE(succeeded(
        records::recordAnswersIn(s.dataFolder, weakAnswersOf132(worksheet_choices_test::kToday), s.wait),
        &why))
        << why.toStdString();
    s.choices.setShuffle(false); // in their order, the weakest first
    s.build();
    EXPECT_EQ(s.choices.countText(), QStringLiteral("選んだ熟語：2 語"));
    EXPECT_EQ(printedIdioms(s.choices.worksheet().answerKey).mid(0, 2),
              (QStringList{"一石二鳥", "十人十色"}));
    EXPECT_EQ(s.choices.worksheet().sheet.title, QStringLiteral("岡田ゆうとさんの苦手な熟語"));

    // Back to the ranges: range 1 is still chosen.
    s.choices.chooseSource(0);
    s.build();
    EXPECT_EQ(s.choices.worksheet().sheet.selectedIdiomCount, 20);
}

TEST(WorksheetChoices, AnUnreadableDataFileIsNamedAndTheSheetKeepsNoRows)
{
    Sheets s;
    s.choices.load(worksheetSources(s.roster, std::nullopt, false));
    s.build();
    ASSERT_EQ(s.choices.worksheet().sheet.selectedIdiomCount, 20);

    QFile::remove(s.storedDataFile());
    app::Status failed = s.choices.build(worksheet_choices_test::kToday, s.random, s.wait);
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->title, QStringLiteral("四字熟語プリント"));
    EXPECT_TRUE(failed->text.contains(QStringLiteral("四字02vv.ccc"))) << failed->text.toStdString();
    EXPECT_EQ(s.choices.worksheet().sheet.selectedIdiomCount, 0);
    EXPECT_EQ(s.choices.worksheet().sheet.table.cell(3, 0), QStringLiteral("四字熟語"));

    // Broken bytes: the next build says so too, and nothing is left of the rows read before.
    writeBytes(s.storedDataFile(), QByteArray("\x82\xa0\xff\xfe short\r\n", 11));
    s.choices.setRangeSelected(2, true);
    failed = s.choices.build(worksheet_choices_test::kToday, s.random, s.wait);
    ASSERT_TRUE(failed.has_value());
    EXPECT_TRUE(failed->text.contains(QStringLiteral("四字02vv.ccc"))) << failed->text.toStdString();
    EXPECT_EQ(s.choices.worksheet().sheet.selectedIdiomCount, 0);
}
