#include "printing/WeakWorksheet.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace printing;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(17, 0));

records::AnsweredQuestion wrongAnswer(int student, const char16_t *idiom, int daysAgo)
{
    records::AnsweredQuestion a;
    a.when = kNow.addDays(-daysAgo);
    a.student = qint16(student);
    a.level = 2;
    a.idiom = QString::fromUtf16(idiom);
    a.readingFirstTry = true;
    a.wrongJudgements = 1;
    return a;
}

records::MistakeHistory historyOf(const QList<records::AnsweredQuestion> &answers)
{
    QByteArray bytes;
    for (const records::AnsweredQuestion &a : answers)
        bytes += records::encodeAnswer(a);
    return records::MistakeHistory(bytes, records::kHistoryRecordSize, records::kHistoryVersion, 0);
}

// Listed in this order: two third-graders (born 2017 in the school year 2026), a first year of junior
// high, a teacher.
roster::Roster schoolRoster()
{
    roster::Roster roster;
    roster.currentSchoolYear = 2026;
    const QList<std::tuple<int, int, QString>> students{{7, 2017, QStringLiteral("岡田ゆうと")},
                                                        {8, 2017, QStringLiteral("加藤あおい")},
                                                        {12, 2013, QStringLiteral("橋本心春")},
                                                        {900, 1980, QStringLiteral("★山本先生")}};
    for (const auto &[number, birthYear, name] : students) {
        ++roster.rosterCount;
        roster.rosterNumbers[std::size_t(roster.rosterCount)] = qint16(number);
        roster.studentNames[std::size_t(number)] = name.leftJustified(20);
        roster.studentBirthYears[std::size_t(number)] = qint16(birthYear);
    }
    return roster;
}

drill::IdiomData idiomData()
{
    drill::IdiomData data;
    data.idiomTable.emplace_back();
    for (const drill::Question &q : testing_support::sampleQuestions())
        data.idiomTable.push_back({QString(), QStringLiteral("1"), q.idiom, q.reading, q.meaning});
    data.idiomRowCount = int(data.idiomTable.size()) - 1;
    data.idiomColumnCount = 4;
    return data;
}

QStringList captions(const QList<WorksheetSource> &sources)
{
    QStringList list;
    for (const WorksheetSource &s : sources)
        list << s.caption;
    return list;
}

} // namespace

TEST(WeakWorksheet, NobodySignedInGetsTheRangesAStudentOnlyHerOwnAndATeacherEveryGroupAndStudent)
{
    const roster::Roster roster = schoolRoster();
    EXPECT_EQ(captions(worksheetSources(roster, std::nullopt, false)), QStringList{"範囲から選ぶ"});

    const QList<WorksheetSource> own = worksheetSources(roster, 8, false);
    ASSERT_EQ(own.size(), 2);
    EXPECT_EQ(own[1].kind, WorksheetSource::Kind::Student);
    EXPECT_EQ(own[1].student, 8);
    EXPECT_EQ(own[1].caption, QStringLiteral("加藤あおいさんの苦手な熟語"));

    const QList<WorksheetSource> teacher = worksheetSources(roster, 900, true);
    const QStringList teacherCaptions = captions(teacher);
    EXPECT_EQ(teacher.size(), 1 + 12 + 3) << "the ranges, twelve grade groups, three students";
    EXPECT_EQ(teacherCaptions[1], QStringLiteral("よく間違える熟語（全学年）"));
    EXPECT_TRUE(teacherCaptions.contains(QStringLiteral("よく間違える熟語（小３）")));
    EXPECT_EQ(
        teacherCaptions.mid(13),
        (QStringList{"岡田ゆうとさんの苦手な熟語", "加藤あおいさんの苦手な熟語", "橋本心春さんの苦手な熟語"}))
        << "students in roster order, the teacher left out";
}

TEST(WeakWorksheet, AStudentWhoGot一石二鳥WrongTwiceGetsItFirstWithItsReadingAndMeaning)
{
    const roster::Roster roster = schoolRoster();
    const records::MistakeHistory history = historyOf(
        {wrongAnswer(7, u"十人十色", 10), wrongAnswer(7, u"一石二鳥", 3), wrongAnswer(8, u"以心伝心", 2),
         wrongAnswer(7, u"一石二鳥", 1), wrongAnswer(12, u"温故知新", 1)});
    const WorksheetSource own = worksheetSources(roster, 7, false)[1];
    const QStringList weak = weakIdiomsOf(history, roster, own, kNow);
    EXPECT_EQ(weak, (QStringList{"一石二鳥", "十人十色"}));

    const QList<WorksheetRow> rows = rowsOfIdioms(idiomData(), weak);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].idiom, QStringLiteral("一石二鳥"));
    EXPECT_EQ(rows[0].reading, QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(rows[0].meaning, QStringLiteral("一つのことをして、二つの得をすること"));

    // Built and titled as it is printed: the answer key names whose idioms they are.
    testing_support::ScriptedRandom random;
    WorksheetChoice choice;
    choice.shuffle = false;
    Worksheet sheet = buildWorksheet(rows, choice, random);
    titleWorksheet(sheet, own);
    EXPECT_EQ(sheet.sheet.selectedIdiomCount, 2);
    EXPECT_EQ(sheet.answerKey.table.cell(7, 1).trimmed(), QStringLiteral("一石二鳥(いっせきにちょう)"));
    EXPECT_EQ(sheet.sheet.title, QStringLiteral("岡田ゆうとさんの苦手な熟語"));
    EXPECT_EQ(sheet.answerKey.title, QStringLiteral("解答（答え合わせ用）　岡田ゆうとさんの苦手な熟語"));

    Worksheet ranges = buildWorksheet(rows, choice, random);
    titleWorksheet(ranges, worksheetSources(roster, 7, false)[0]);
    EXPECT_TRUE(ranges.sheet.title.isEmpty()) << "a range sheet keeps no title";
}

TEST(WeakWorksheet, AGradeGroupTakesItsOwnStudentsAndIdiomsTheDataNoLongerHoldsAreLeftOut)
{
    const roster::Roster roster = schoolRoster();
    const records::MistakeHistory history = historyOf(
        {wrongAnswer(7, u"十人十色", 2), wrongAnswer(8, u"十人十色", 2), wrongAnswer(8, u"天下無双", 2),
         wrongAnswer(12, u"温故知新", 1), wrongAnswer(12, u"温故知新", 1), wrongAnswer(12, u"温故知新", 1)});
    WorksheetSource grade3;
    grade3.kind = WorksheetSource::Kind::Class;
    grade3.group = QStringLiteral("小３");
    const QStringList weak = weakIdiomsOf(history, roster, grade3, kNow);
    EXPECT_EQ(weak, (QStringList{"十人十色", "天下無双"}))
        << "the junior high student's 温故知新 is not the class's";

    const QList<WorksheetRow> rows = rowsOfIdioms(idiomData(), weak);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].idiom, QStringLiteral("十人十色"));

    grade3.group = QStringLiteral("全学年");
    EXPECT_EQ(weakIdiomsOf(history, roster, grade3, kNow).first(), QStringLiteral("温故知新"));
}
