#include "drill/IdiomRules.h"

#include <gtest/gtest.h>

namespace {

QuestionList questions(std::initializer_list<const char *> idioms)
{
    QuestionList list;
    for (const char *idiom : idioms)
        list.append(Question{QString::fromUtf8(idiom), QStringLiteral("よみよみ"), QStringLiteral("いみ")});
    return list;
}

} // namespace

TEST(IdiomRules, KanjiCandidatesAreTheFirstTwoCharactersOfTheRangeWithoutTheOwnIdiom)
{
    const QuestionList list = questions({"一石二鳥", "十人十色", "以心伝心", "温故知新", "一期一会"});
    // 一石 十人 以心 温故 一期 -> 一 石 十 人 以 心 温 故 期 (9 distinct).
    EXPECT_EQ(idioms::kanjiCandidateCount(list, 0), 7); // without 一 and 石
    EXPECT_EQ(idioms::kanjiCandidateCount(list, 1), 7); // without 十 and 人
    EXPECT_EQ(idioms::kanjiCandidateCount(list, 2), 7); // without 以 and 心 (心 also from 伝心)
    EXPECT_EQ(idioms::kanjiCandidateCount(list, 4), 7); // without 一 and 期
    // Characters 3 and 4 of another idiom are no candidates; those of the own idiom are left out.
    EXPECT_EQ(idioms::kanjiCandidateCount(questions({"温故知新", "新知故温"}), 0), 0);
    EXPECT_EQ(idioms::kanjiCandidateCount(list, 5), 0);
}

TEST(IdiomRules, ARangeMustLeaveTwelveCandidatesForEveryQuestion)
{
    // Seven idioms with fourteen distinct leading characters: each question leaves twelve.
    QuestionList enough =
        questions({"甲乙丙丁", "戊己庚辛", "子丑寅卯", "辰巳午未", "申酉戌亥", "春夏秋冬", "東西南北"});
    EXPECT_EQ(idioms::firstShortOfKanjiCandidates(enough), -1);
    // An idiom made of leading characters of the others leaves fewer for itself only.
    enough.append(Question{QStringLiteral("甲戊子辰"), {}, {}});
    EXPECT_EQ(idioms::kanjiCandidateCount(enough, 7), 10);
    EXPECT_EQ(idioms::kanjiCandidateCount(enough, 0), 12);
    EXPECT_EQ(idioms::firstShortOfKanjiCandidates(enough), 7);
    EXPECT_EQ(idioms::firstShortOfKanjiCandidates(questions({"甲乙丙丁"})), 0);
}
