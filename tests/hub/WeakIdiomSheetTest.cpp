#include "hub/WeakIdiomSheet.h"
#include "hub/PersonalSheet.h"
#include "hub/QStringPrinter.h"
#include "records/MistakeHistory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(17, 0));

records::AnsweredQuestion answer(int student, const char16_t *idiom, int wrong, int daysAgo)
{
    records::AnsweredQuestion a;
    a.when = kNow.addDays(-daysAgo);
    a.student = qint16(student);
    a.level = 2;
    a.idiom = QString::fromUtf16(idiom);
    a.readingFirstTry = wrong < 2; // a wrong idiom, and before it the wrong readings
    a.idiomFirstTry = wrong == 0;
    a.wrongJudgements = wrong;
    return a;
}

class WeakIdiomSheet : public ::testing::Test
{
protected:
    void SetUp() override { writeIdiomFile(inst.applicationFolder, sampleQuestions(), 1); }

    void record(const QList<records::AnsweredQuestion> &answers)
    {
        QString why;
        ASSERT_TRUE(succeeded(records::recordAnswersIn(inst.dataFolder, answers, wait), &why))
            << why.toStdString();
    }

    hub::WeakIdiomsSource source()
    {
        return hub::readWeakIdiomsSource(inst.dataFolder, inst.applicationFolder + u'/', kNow, wait);
    }

    Installation inst;
    platform::ResponsiveWait wait;
};

} // namespace

TEST_F(WeakIdiomSheet, AStudentWhoGot一石二鳥WrongTwiceSeesItFirstWithItsReadingMeaningAndCount)
{
    record({answer(7, u"十人十色", 1, 20), answer(7, u"一石二鳥", 1, 3), answer(8, u"十人十色", 1, 2),
            answer(7, u"以心伝心", 0, 2), answer(7, u"一石二鳥", 1, 1), answer(9, u"十人十色", 2, 1)});
    hub::PersonalSheet sheet;
    sheet.student = 7;
    sheet.pages.emplace_back(); // a level page
    sheet.pages.back().blocks.emplace_back();
    const std::vector<int> grade{7, 8};
    hub::addWeakIdiomsPage(sheet, source(), &grade, QStringLiteral("小３"));

    ASSERT_EQ(sheet.pages.size(), 2u);
    EXPECT_EQ(hub::firstShownPage(sheet), 0) << "the screen opens on the level blocks";
    const std::vector<hub::WeakIdiomsBlock> &blocks = sheet.pages[1].weakBlocks;
    ASSERT_EQ(blocks.size(), 2u);
    const hub::WeakIdiomsBlock &own = blocks[0];
    EXPECT_EQ(own.title, QStringLiteral("苦手な熟語"));
    ASSERT_EQ(own.lines.size(), 2u) << "the idiom answered right is not weak";
    EXPECT_EQ(own.lines[0].idiom, QStringLiteral("一石二鳥"));
    EXPECT_EQ(own.lines[0].reading, QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(own.lines[0].meaning, QStringLiteral("一つのことをして、二つの得をすること"));
    EXPECT_EQ(own.lines[0].mistakes, 2);
    EXPECT_EQ(own.lines[0].text, QStringLiteral("１．一石二鳥（いっせきにちょう）　間違い 2回"));
    EXPECT_EQ(own.lines[1].idiom, QStringLiteral("十人十色"));
    EXPECT_TRUE(own.note.isEmpty());

    // The class: students 7 and 8 only (9 is in another grade); 十人十色 twice by two students.
    const hub::WeakIdiomsBlock &grade3 = blocks[1];
    EXPECT_EQ(grade3.title, QStringLiteral("よく間違える熟語（小３）"));
    ASSERT_EQ(grade3.lines.size(), 2u);
    EXPECT_EQ(grade3.lines[0].text, QStringLiteral("１．十人十色（じゅうにんといろ）　間違い 2回（2人）"));
    EXPECT_EQ(grade3.lines[1].idiom, QStringLiteral("一石二鳥"));
    EXPECT_GT(grade3.top, own.top);

    // A student without mistakes is told so; a sheet without the class view has the own block only.
    hub::PersonalSheet other;
    other.student = 12;
    hub::addWeakIdiomsPage(other, source());
    ASSERT_EQ(other.pages.size(), 1u);
    ASSERT_EQ(other.pages[0].weakBlocks.size(), 1u);
    EXPECT_TRUE(other.pages[0].weakBlocks[0].lines.empty());
    EXPECT_EQ(other.pages[0].weakBlocks[0].note, QStringLiteral("いまは苦手な熟語はありません。"));
}

TEST_F(WeakIdiomSheet, NoHistoryFileAddsNoPageAndADamagedOneIsNamedOnThePage)
{
    hub::PersonalSheet sheet;
    sheet.student = 7;
    hub::addWeakIdiomsPage(sheet, source());
    EXPECT_TRUE(sheet.pages.empty());

    writeBytes(records::mistakeHistoryPath(inst.dataFolder), QByteArray("a file of something else"));
    hub::addWeakIdiomsPage(sheet, source());
    ASSERT_EQ(sheet.pages.size(), 1u);
    ASSERT_EQ(sheet.pages[0].weakBlocks.size(), 1u);
    EXPECT_TRUE(sheet.pages[0].weakBlocks[0].lines.empty());
    EXPECT_TRUE(sheet.pages[0].weakBlocks[0].note.contains(QStringLiteral("解答累積データ.dat")))
        << sheet.pages[0].weakBlocks[0].note.toStdString();
}
