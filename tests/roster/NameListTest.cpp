#include "roster/NameList.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace roster::namelist;

namespace {
const QString S = QStringLiteral("　"); // ideographic space

// Half-width columns a row takes in a font where full-width characters are two columns wide.
int columns(const QString &text)
{
    int n = 0;
    for (QChar c : text)
        n += c.unicode() < 0x100 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F) ? 1 : 2;
    return n;
}
} // namespace

TEST(NameListFigures, EachFigureHasItsFixedTextAndTheBlankFormIsEquallyWide)
{
    struct Case
    {
        qint64 n;
        QString todayCount, todayPoints, totalCount, totalPoints;
    };
    const Case cases[] = {
        {0, QStringLiteral("     "), QStringLiteral("  　"), QStringLiteral("     　"),
         QStringLiteral("       ")},
        {7, QStringLiteral("  7回"), QStringLiteral("   7"), QStringLiteral("    7回"),
         QStringLiteral("      7")},
        {42, QStringLiteral(" 42回"), QStringLiteral("  42"), QStringLiteral("   42回"),
         QStringLiteral("     42")},
        {123, QStringLiteral("123回"), QStringLiteral(" 123"), QStringLiteral("  123回"),
         QStringLiteral("    123")},
        // Too wide: the leftmost digits are cut, as the fixed fields demand.
        {12345, QStringLiteral("345回"), QStringLiteral("2345"), QStringLiteral("12345回"),
         QStringLiteral("  12345")},
        {12345678, QStringLiteral("678回"), QStringLiteral("5678"), QStringLiteral("45678回"),
         QStringLiteral("2345678")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(todayCountText(c.n), c.todayCount) << c.n;
        EXPECT_EQ(todayPointsText(c.n), c.todayPoints) << c.n;
        EXPECT_EQ(totalCountText(c.n), c.totalCount) << c.n;
        EXPECT_EQ(totalPointsText(c.n), c.totalPoints) << c.n;
        EXPECT_EQ(columns(todayCountText(c.n)), 5);
        EXPECT_EQ(columns(todayPointsText(c.n)), 4);
        EXPECT_EQ(columns(totalCountText(c.n)), 7);
        EXPECT_EQ(columns(totalPointsText(c.n)), 7);
    }
}

TEST(NameListFigures, DisplayModesPickTheirTwoColumns)
{
    const StudentFigures f{3, 25, 40, 910};
    EXPECT_EQ(figureColumns(f, CountsTodayAndTotal), QStringLiteral("  3回/   40回"));
    EXPECT_EQ(figureColumns(f, PointsTodayAndTotal), QStringLiteral("  25/    910"));
    EXPECT_EQ(figureColumns(f, TodayPointsAndCount), QStringLiteral("  25/  3回"));
    EXPECT_EQ(figureColumns(f, TotalPointsAndCount), QStringLiteral("    910/   40回"));
    EXPECT_EQ(displayModeCaption(0), QStringLiteral("回数(今日／今まで）"));
    EXPECT_EQ(displayModeCaption(3), QStringLiteral("今まで（ポイント／回数）"));
}

TEST(NameListFigures, FiguresAreSummedOverLevelsOneToThirtyFive)
{
    auto stats = std::make_unique<records::Statistics>();
    stats->todayCount(1, 7) = 2;
    stats->todayCount(35, 7) = 1;
    stats->todayPoints(2, 7) = 11;
    stats->allTimeCount(4, 7) = 5;
    stats->allTimePoints(4, 7) = 50;
    stats->allTimePoints(0, 7) = 1000; // level 0 is no level
    stats->allTimePoints(4, 8) = 3;
    const auto figures = studentFigures(*stats);
    ASSERT_EQ(figures.size(), std::size_t(kStudentSlots));
    EXPECT_EQ(figures[7].todayCount, 3);
    EXPECT_EQ(figures[7].todayPoints, 11);
    EXPECT_EQ(figures[7].allTimeCount, 5);
    EXPECT_EQ(figures[7].allTimePoints, 50);
    EXPECT_EQ(figures[8].allTimePoints, 3);
    EXPECT_EQ(figures[9].allTimePoints, 0);
}

TEST(NameListLines, NamesArePaddedToTheirFieldUnlessTooLong)
{
    const StudentFigures none;
    struct Case
    {
        const char *what;
        QString label, name;
        int grade, mode;
        QString expected;
    };
    const Case cases[] = {
        {"short name, points", QStringLiteral("小3"), QStringLiteral("岡田"), 3, 1,
         QStringLiteral("小3 岡田") + S.repeated(4) + QStringLiteral("  　/       ")},
        {"five characters", QStringLiteral("中1"), QStringLiteral("野口颯太郎"), 7, 1,
         QStringLiteral("中1 野口颯太郎") + S + QStringLiteral("  　/       ")},
        {"six characters: no padding", QStringLiteral("中1"), QStringLiteral("長谷川颯太郎"), 7, 0,
         QStringLiteral("中1 長谷川颯太郎") + QStringLiteral("     /     　")},
        {"kindergarten in count mode is wider", QStringLiteral("幼3"), QStringLiteral("小川"), 0, 0,
         QStringLiteral("幼3 小川") + S.repeated(6) + QStringLiteral("     /     　")},
        {"kindergarten in points mode is not", QStringLiteral("幼-"), QStringLiteral("小川"), -4, 1,
         QStringLiteral("幼- 小川") + S.repeated(4) + QStringLiteral("  　/       ")},
        {"kindergarten, seven characters", QStringLiteral("幼1"), QStringLiteral("小川ひなたさん"), -2, 2,
         QStringLiteral("幼1 小川ひなたさん") + S + QStringLiteral("  　/     ")},
        {"kindergarten, eight characters", QStringLiteral("幼1"), QStringLiteral("小川ひなたちゃん"), -2, 2,
         QStringLiteral("幼1 小川ひなたちゃん") + QStringLiteral("  　/     ")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(displayText(c.label, c.name, c.grade, none, c.mode), c.expected) << c.what;
    EXPECT_EQ(nameFieldWidth(0, 3), 11);
    EXPECT_EQ(nameFieldWidth(1, 3), 9);
    EXPECT_EQ(nameFieldWidth(-3, 1), 9);
}

TEST(NameListLines, MasterLineCarriesYearAndNumber)
{
    const Student s{123, QStringLiteral("加藤あおい          "), 2017, 3, QStringLiteral("小3")};
    EXPECT_EQ(masterLine(s, StudentFigures{1, 5, 2, 9}, PointsTodayAndTotal),
              QStringLiteral("2017小3 加藤あおい") + S + QStringLiteral("   5/      9*123"));
}

namespace {
std::vector<Student> threeGrades()
{
    // In roster order: a junior high student, a kindergarten child, two elementary students.
    return {
        {30, QStringLiteral("松本樹"), 2011, 8, QStringLiteral("中2")},
        {10, QStringLiteral("小川ひなた"), 2020, 0, QStringLiteral("幼3")},
        {21, QStringLiteral("加藤あおい"), 2016, 3, QStringLiteral("小3")},
        {20, QStringLiteral("岡田ゆうと"), 2016, 3, QStringLiteral("小3")},
    };
}
} // namespace

TEST(NameListLines, TheFullListRunsOldestSchoolYearFirstAndTheNameListFollowsIt)
{
    std::vector<StudentFigures> figures(kStudentSlots);
    figures[21].todayPoints = 12;
    figures[21].allTimePoints = 340;
    const Lists lists = buildLists(threeGrades(), figures, PointsTodayAndTotal, [](int) { return true; });
    ASSERT_EQ(lists.full.size(), 4);
    EXPECT_TRUE(lists.full[0].startsWith(QStringLiteral("2011中2 松本樹")));
    // Same year: by label and name text.
    EXPECT_TRUE(lists.full[1].startsWith(QStringLiteral("2016小3 加藤あおい")));
    EXPECT_TRUE(lists.full[2].startsWith(QStringLiteral("2016小3 岡田ゆうと")));
    EXPECT_TRUE(lists.full[3].startsWith(QStringLiteral("2020幼3 小川ひなた")));
    EXPECT_TRUE(lists.full[1].endsWith(QStringLiteral("  12/    340*21")));

    ASSERT_EQ(lists.names.size(), 5);
    EXPECT_EQ(lists.names[0], QStringLiteral("－－－－－－"));
    ASSERT_EQ(lists.numbered.size(), 4);
    for (int i = 0; i < 4; ++i) {
        // The name list item is the master line without the year and the number.
        EXPECT_EQ(lists.names[i + 1], lists.full[i].mid(4, lists.full[i].indexOf(u'*') - 4));
        EXPECT_EQ(lists.numbered[i], lists.names[i + 1] + lists.full[i].mid(lists.full[i].indexOf(u'*')));
    }
    EXPECT_EQ(lists.students, (QList<int>{30, 21, 20, 10}));
}

TEST(NameListLines, TheGradeGroupNarrowsTheNameListButNotTheFullList)
{
    const std::vector<StudentFigures> figures(kStudentSlots);
    const Lists lists =
        buildLists(threeGrades(), figures, CountsTodayAndTotal, [](int year) { return year == 2016; });
    EXPECT_EQ(lists.full.size(), 4);
    ASSERT_EQ(lists.names.size(), 3);
    ASSERT_EQ(lists.numbered.size(), 2);
    EXPECT_EQ(lists.students, (QList<int>{21, 20}));

    const Lists nobody = buildLists(threeGrades(), figures, CountsTodayAndTotal, [](int) { return false; });
    EXPECT_EQ(nobody.names, QStringList{QStringLiteral("－－－－－－")});
    EXPECT_TRUE(nobody.numbered.isEmpty());
    EXPECT_TRUE(nobody.students.isEmpty());
}

TEST(NameListChoice, ClicksFillTheChosenNameLabel)
{
    const QString item = QStringLiteral("小3 加藤あおい") + S + QStringLiteral("  12/    340");
    EXPECT_EQ(chosenNameOnClick(item, 1), QStringLiteral("小3 加藤あおい") + S);
    EXPECT_EQ(chosenNameOnDoubleClick(item, 1),
              QStringLiteral("小3 加藤あおい") + S + QStringLiteral("  12"));
    EXPECT_EQ(chosenNameOnClick(QStringLiteral("－－－－－－"), 0), QStringLiteral("名前を選びなさい"));
    EXPECT_EQ(chosenNameOnDoubleClick(QStringLiteral("－－－－－－"), 0), QStringLiteral("名前を選びなさい"));
    // A short line: the cut leaves no blank at its end.
    EXPECT_EQ(chosenNameOnClick(QStringLiteral("中1 長谷川颯太郎     /     　"), 3),
              QStringLiteral("中1 長谷川颯太郎"));

    EXPECT_FALSE(isNameChosen(QString()));
    EXPECT_FALSE(isNameChosen(QStringLiteral("名前を選びなさい")));
    EXPECT_TRUE(isNameChosen(QStringLiteral("小3 加藤")));
}

TEST(NameListChoice, TeachersAndBlanks)
{
    EXPECT_TRUE(isTeacherName(QStringLiteral("★山本")));
    EXPECT_TRUE(isTeacherName(QStringLiteral("山本先生")));
    EXPECT_FALSE(isTeacherName(QStringLiteral("山本先")));

    // Only half-width blanks are trimmed; a name's ideographic spaces stay.
    EXPECT_EQ(trimBlanks(QStringLiteral("  山本　 ")), QStringLiteral("山本　"));
    EXPECT_EQ(trimEndBlanks(QStringLiteral(" 山本  ")), QStringLiteral(" 山本"));
}

TEST(NameListSignIn, TheChosenStudentBecomesTheCurrentRunWithTheRoundedSignInTime)
{
    auto roster = std::make_unique<roster::Roster>();
    roster->studentNames[131] = QStringLiteral("加藤あおい          ");
    roster->studentGrades[131] = QStringLiteral("小３");
    roster->studentNames[5000] = QStringLiteral("先生");
    const QString chosen = QStringLiteral("小３ 加藤");

    app::CurrentRun run;
    run.currentLevel = 7;
    ASSERT_TRUE(signIn(run, *roster, chosen, 131, 36000.6));
    EXPECT_EQ(run.studentNumber, 131);
    EXPECT_EQ(run.studentName, QStringLiteral("加藤あおい          "));
    EXPECT_EQ(run.currentGrade, QStringLiteral("小３"));
    EXPECT_EQ(run.nameConfirmedTime, 36001);
    EXPECT_EQ(run.currentLevel, 7); // the rest of the run is not the sign-in's
    ASSERT_TRUE(signIn(run, *roster, chosen, 5000, 0.4));
    EXPECT_EQ(run.studentName, QStringLiteral("先生"));
    EXPECT_EQ(run.nameConfirmedTime, 0);

    // Without a chosen name or with no student number nothing changes.
    struct Refused
    {
        QString name;
        int number;
    };
    const Refused refused[] = {
        {QString::fromUtf16(kChooseName), 131}, {QString(), 131}, {chosen, -1}, {chosen, 5001}};
    for (const Refused &r : refused) {
        app::CurrentRun before;
        before.studentNumber = 9;
        before.nameConfirmedTime = 77;
        app::CurrentRun after = before;
        EXPECT_FALSE(signIn(after, *roster, r.name, r.number, 50000.0)) << r.number;
        EXPECT_EQ(after.studentNumber, 9) << r.number;
        EXPECT_EQ(after.nameConfirmedTime, 77) << r.number;
        EXPECT_TRUE(after.studentName.isEmpty()) << r.number;
    }
}
