#include "records/WeakIdioms.h"

#include <gtest/gtest.h>

using namespace records;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(16, 0));

// A history built in memory, answer by answer, oldest first.
class History
{
public:
    History &wrong(int student, const char16_t *idiom, int daysAgo, int minutesAgo = 0)
    {
        return add(student, idiom, daysAgo, minutesAgo, false, true, 1, false);
    }
    History &right(int student, const char16_t *idiom, int daysAgo = 0, int minutesAgo = 0)
    {
        return add(student, idiom, daysAgo, minutesAgo, true, true, 0, false);
    }
    History &add(int student, const char16_t *idiom, int daysAgo, int minutesAgo, bool reading, bool kanji,
                 int wrong, bool timedOut)
    {
        AnsweredQuestion a;
        a.when = kNow.addDays(-daysAgo).addSecs(-60 * minutesAgo);
        a.student = qint16(student);
        a.level = 2;
        a.idiom = QString::fromUtf16(idiom);
        a.readingFirstTry = reading;
        a.idiomFirstTry = kanji;
        a.wrongJudgements = wrong;
        a.timedOut = timedOut;
        m_bytes += encodeAnswer(a);
        return *this;
    }
    MistakeHistory history() const { return MistakeHistory(m_bytes, kHistoryRecordSize, kHistoryVersion, 0); }

private:
    QByteArray m_bytes;
};

QStringList idiomsOf(const QList<WeakIdiom> &weak)
{
    QStringList names;
    for (const WeakIdiom &w : weak)
        names << w.idiom;
    return names;
}

} // namespace

TEST(WeakIdioms, MoreMistakesOfTheSameAgeAndRecentMistakesRankFirst)
{
    History h;
    h.wrong(1, u"一石二鳥", 0).wrong(1, u"一石二鳥", 0);                             // two today: 2
    h.wrong(1, u"温故知新", 30).wrong(1, u"温故知新", 30).wrong(1, u"温故知新", 30); // three a month ago: 1.5
    h.wrong(1, u"以心伝心", 0);                                                      // one today: 1
    h.wrong(1, u"十人十色", 60)
        .wrong(1, u"十人十色", 60)
        .wrong(1, u"十人十色", 60); // three, two months: 0.75
    const QList<WeakIdiom> weak = weakIdioms(h.history(), 1, kNow);
    EXPECT_EQ(idiomsOf(weak), (QStringList{u"一石二鳥"_qs, u"温故知新"_qs, u"以心伝心"_qs, u"十人十色"_qs}));
    ASSERT_EQ(weak.size(), 4);
    EXPECT_DOUBLE_EQ(weak[0].score, 2.0);
    EXPECT_NEAR(weak[1].score, 1.5, 1e-9);
    EXPECT_NEAR(weak[3].score, 0.75, 1e-9);
    EXPECT_EQ(weak[1].mistakes, 3);
    EXPECT_EQ(weak[1].lastMistake, kNow.addDays(-30));
}

TEST(WeakIdioms, ThreeCleanAnswersSinceTheLastMistakeEndTheWeaknessUntilTheNextOne)
{
    History h;
    h.wrong(1, u"一石二鳥", 5).right(1, u"一石二鳥", 4);
    EXPECT_NEAR(weakIdioms(h.history(), 1, kNow).value(0).score, std::exp2(-5.0 / 30.0) * 2 / 3, 1e-12);
    EXPECT_EQ(weakIdioms(h.history(), 1, kNow).value(0).cleanSinceMistake, 1);
    h.right(1, u"一石二鳥", 3);
    EXPECT_NEAR(weakIdioms(h.history(), 1, kNow).value(0).score, std::exp2(-5.0 / 30.0) / 3, 1e-12);
    h.right(1, u"一石二鳥", 2);
    EXPECT_TRUE(weakIdioms(h.history(), 1, kNow).isEmpty());

    // Wrong again: weak again, the old mistake still counted (and weighed by its age).
    h.wrong(1, u"一石二鳥", 1);
    const QList<WeakIdiom> again = weakIdioms(h.history(), 1, kNow);
    ASSERT_EQ(again.size(), 1);
    EXPECT_EQ(again[0].mistakes, 2);
    EXPECT_EQ(again[0].cleanSinceMistake, 0);
    EXPECT_NEAR(again[0].score, std::exp2(-5.0 / 30.0) + std::exp2(-1.0 / 30.0), 1e-12);
}

TEST(WeakIdioms, OnlyWrongJudgementsAreMistakesAndOnlyBothStagesRightCountTowardsRecovery)
{
    History h;
    h.right(1, u"一石二鳥", 9).right(1, u"一石二鳥", 9).right(1, u"一石二鳥", 9); // before any mistake
    h.wrong(1, u"一石二鳥", 8);
    h.add(1, u"一石二鳥", 7, 0, false, true, 1, false); // reading wrong, idiom right: a mistake
    h.add(1, u"一石二鳥", 6, 0, true, false, 1, false); // idiom wrong: a mistake
    h.add(1, u"一石二鳥", 5, 0, true, false, 0, true);  // the time ran out on it: passed over
    h.right(1, u"一石二鳥", 4).right(1, u"一石二鳥", 3);
    h.add(1, u"温故知新", 1, 0, false, false, 0, true); // time-out alone: not weak
    h.add(1, u"十人十色", 1, 0, false, false, 2, true); // two wrong readings, then the time-out
    const QList<WeakIdiom> weak = weakIdioms(h.history(), 1, kNow);
    // 十人十色: one mistake a day ago; 一石二鳥: three of about a week ago, two thirds of them learnt.
    EXPECT_EQ(idiomsOf(weak), (QStringList{u"十人十色"_qs, u"一石二鳥"_qs}));
    EXPECT_EQ(weak.value(1).mistakes, 3);
    EXPECT_EQ(weak.value(1).cleanSinceMistake, 2);
    EXPECT_NEAR(weak.value(1).score, (std::exp2(-8.0 / 30) + std::exp2(-7.0 / 30) + std::exp2(-6.0 / 30)) / 3,
                1e-12);
}

TEST(WeakIdioms, TiesGoByMistakesThenTheLaterMistakeThenTheText)
{
    History h;
    // Same score 1 each: one mistake today at the same minute...
    h.wrong(1, u"十人十色", 0).wrong(1, u"一石二鳥", 0);
    // ...and one a minute earlier scores a hair less, so it comes after them.
    h.wrong(1, u"温故知新", 0, 1);
    const QList<WeakIdiom> weak = weakIdioms(h.history(), 1, kNow);
    EXPECT_EQ(idiomsOf(weak), (QStringList{u"一石二鳥"_qs, u"十人十色"_qs, u"温故知新"_qs}));
    EXPECT_EQ(weak[0].score, weak[1].score);

    // A mistake recorded "later than now" (a PC whose clock runs ahead) weighs as one of now.
    History ahead;
    ahead.wrong(1, u"一石二鳥", -3).wrong(1, u"十人十色", 0);
    const QList<WeakIdiom> aheadWeak = weakIdioms(ahead.history(), 1, kNow);
    ASSERT_EQ(aheadWeak.size(), 2);
    EXPECT_DOUBLE_EQ(aheadWeak[0].score, 1.0);
    EXPECT_EQ(aheadWeak[0].idiom, u"一石二鳥"_qs); // the later last mistake
}

TEST(WeakIdioms, OnlyTheStudentsOwnAnswersCountAndTheListStopsAtTheLimit)
{
    History h;
    const char16_t *idioms[] = {u"一石二鳥", u"温故知新", u"以心伝心", u"十人十色", u"一期一会", u"四苦八苦",
                                u"起承転結", u"自業自得", u"半信半疑", u"有名無実", u"大器晩成", u"電光石火"};
    for (int i = 0; i < 12; ++i)
        h.wrong(2, idioms[i], i);
    h.wrong(3, u"異口同音", 0).wrong(3, u"異口同音", 0);
    h.right(3, u"一石二鳥").right(3, u"一石二鳥").right(3, u"一石二鳥"); // another student's recovery
    const QList<WeakIdiom> weak = weakIdioms(h.history(), 2, kNow);
    ASSERT_EQ(weak.size(), kWeakIdiomsShown);
    EXPECT_EQ(weak.first().idiom, u"一石二鳥"_qs);
    EXPECT_EQ(weak.last().idiom, u"有名無実"_qs);
    EXPECT_FALSE(idiomsOf(weak).contains(u"異口同音"_qs));
    EXPECT_EQ(weakIdioms(h.history(), 2, kNow, 3).size(), 3);
    EXPECT_TRUE(weakIdioms(h.history(), 4, kNow).isEmpty());
}

TEST(ClassWeakIdioms, CountsTheMistakesAndTheStudentsOfTheSetOnly)
{
    History h;
    h.wrong(1, u"一石二鳥", 3).wrong(1, u"一石二鳥", 2).wrong(2, u"一石二鳥", 1); // 3 mistakes, 2 students
    h.wrong(1, u"温故知新", 5).wrong(2, u"温故知新", 5).wrong(3, u"温故知新", 4); // 3 mistakes, 3 students
    h.wrong(3, u"十人十色", 0);
    h.wrong(9, u"十人十色", 0)
        .wrong(9, u"十人十色", 0)
        .wrong(9, u"十人十色", 0)
        .wrong(9, u"十人十色", 0);                                            // not in it
    h.right(1, u"以心伝心").add(2, u"以心伝心", 0, 0, false, false, 0, true); // no mistakes
    h.add(3, u"一期一会", 1, 0, true, false, 1, false);
    h.wrong(3, u"一期一会", 1); // two mistakes by one student

    const QList<ClassIdiom> view = classWeakIdioms(h.history(), {1, 2, 3, 0, 6000});
    ASSERT_EQ(view.size(), 4);
    EXPECT_EQ(view[0].idiom, u"温故知新"_qs); // 3 mistakes by 3 students before 3 by 2
    EXPECT_EQ(view[0].mistakes, 3);
    EXPECT_EQ(view[0].students, 3);
    EXPECT_EQ(view[1].idiom, u"一石二鳥"_qs);
    EXPECT_EQ(view[1].students, 2);
    EXPECT_EQ(view[1].lastMistake, kNow.addDays(-1));
    EXPECT_EQ(view[2].idiom, u"一期一会"_qs);
    EXPECT_EQ(view[2].mistakes, 2);
    EXPECT_EQ(view[3].idiom, u"十人十色"_qs);
    EXPECT_EQ(view[3].mistakes, 1);

    EXPECT_EQ(classWeakIdioms(h.history(), {1, 2, 3}, 2).size(), 2);
    EXPECT_TRUE(classWeakIdioms(h.history(), {}).isEmpty());
}
