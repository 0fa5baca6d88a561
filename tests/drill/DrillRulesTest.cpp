#include "drill/DrillRules.h"
#include "drill/PracticeDeck.h"
#include "drill/StatusPanel.h"
#include "records/Statistics.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace drill;
using testing_support::ScriptedRandom;

namespace {
QuestionList sampleRange()
{
    return {
        {QStringLiteral("一石二鳥"), QStringLiteral("いっせきにちょう"),
         QStringLiteral("一つのことで二つの得をすること")},
        {QStringLiteral("十人十色"), QStringLiteral("じゅうにんといろ"),
         QStringLiteral("人によって好みや考えがちがうこと")},
        {QStringLiteral("以心伝心"), QStringLiteral("いしんでんしん"),
         QStringLiteral("言わなくても心が通じ合うこと")},
        {QStringLiteral("温故知新"), QStringLiteral("おんこちしん"),
         QStringLiteral("昔のことから新しい考えを得ること")},
        {QStringLiteral("自画自賛"), QStringLiteral("じがじさん"), QStringLiteral("自分で自分をほめること")},
        {QStringLiteral("半信半疑"), QStringLiteral("はんしんはんぎ"),
         QStringLiteral("半分信じて半分うたがうこと")},
        {QStringLiteral("電光石火"), QStringLiteral("でんこうせっか"),
         QStringLiteral("動きがとても速いこと")},
        {QStringLiteral("大器晩成"), QStringLiteral("たいきばんせい"),
         QStringLiteral("大人物はおそく大成すること")},
    };
}
} // namespace

TEST(QuestionMaking, KanjiButtonsAreAllDifferentAndHoldTheAnswerOnFourButtons)
{
    const QuestionList questions = sampleRange();
    ScriptedRandom random(99);
    for (int round = 0; round < 300; ++round) {
        const int position = 1 + round % int(questions.size());
        const KanjiButtons buttons = makeKanjiButtons(questions, position, random);
        const QString idiom = questions[position - 1].idiom;
        QSet<QString> seen, idiomCharacters;
        for (const QString &c : buttons.characters) {
            EXPECT_EQ(c.size(), 1);
            seen.insert(c);
        }
        for (QChar c : idiom)
            idiomCharacters.insert(QString(c));
        // Only a character the idiom itself holds twice (十人十色) stands on two buttons.
        ASSERT_EQ(seen.size(), kKanjiButtonCount - (kIdiomLength - idiomCharacters.size()))
            << "two kanji buttons alike in round " << round;
        QSet<int> answerButtons;
        for (int i = 0; i < kIdiomLength; ++i) {
            const int b = buttons.answerButtons[i];
            ASSERT_GE(b, 1);
            ASSERT_LE(b, kKanjiButtonCount);
            answerButtons.insert(b);
            EXPECT_EQ(buttons.characters[b - 1], idiom.mid(i, 1));
        }
        EXPECT_EQ(answerButtons.size(), 4);
        // Every other button is a first or second character of some idiom of the range.
        for (int j = 1; j <= kKanjiButtonCount; ++j) {
            if (answerButtons.contains(j))
                continue;
            bool fromRange = false;
            for (const Question &q : questions)
                fromRange |= q.idiom.left(2).contains(buttons.characters[j - 1]);
            EXPECT_TRUE(fromRange);
            EXPECT_FALSE(idiom.contains(buttons.characters[j - 1]));
        }
    }
}

TEST(QuestionMaking, IdiomWithRepeatedCharacterStillHasFourAnswerButtons)
{
    // 自画自賛 holds 自 twice: it goes on two of the four answer buttons.
    const QuestionList questions = sampleRange();
    ScriptedRandom random(5);
    const KanjiButtons buttons = makeKanjiButtons(questions, 5, random);
    int selfCount = 0;
    for (const QString &c : buttons.characters)
        selfCount += c == QStringLiteral("自");
    EXPECT_EQ(selfCount, 2);
}

TEST(QuestionMaking, CandidateCountTellsWhetherTwelveButtonsCanBeFilled)
{
    const QuestionList questions = sampleRange();
    EXPECT_GE(distractorCandidateCount(questions, 1), 12);
    const QuestionList tiny = questions.mid(0, 3);
    EXPECT_LT(distractorCandidateCount(tiny, 1), 12);
    EXPECT_FALSE(unrunnableReason(tiny, false, 1, QStringLiteral("/x/四字02vv.ccc")).isEmpty());
    // Practice needs no kanji buttons.
    EXPECT_TRUE(unrunnableReason(tiny, true, 1, QStringLiteral("/x/四字02vv.ccc")).isEmpty());
}

TEST(QuestionMaking, RangesThatCannotBeDrilledAreExplained)
{
    const QString file = QStringLiteral("/school/四字熟語/四字02vv.ccc");
    EXPECT_TRUE(unrunnableReason({}, false, 3, file).contains(QStringLiteral("範囲3の問題")));
    EXPECT_TRUE(unrunnableReason({}, true, 3, file).contains(file));
    QuestionList hundred;
    for (int i = 0; i < 100; ++i)
        hundred.append(sampleRange()[i % 8]);
    EXPECT_FALSE(unrunnableReason(hundred, true, 1, file).isEmpty());
    EXPECT_TRUE(unrunnableReason(hundred.mid(0, 99), true, 1, file).isEmpty());
    QuestionList shortReading = sampleRange();
    shortReading[2].reading = QStringLiteral("いし");
    EXPECT_TRUE(unrunnableReason(shortReading, false, 1, file).contains(QStringLiteral("以心伝心")));
    QuestionList threeCharacters = sampleRange();
    threeCharacters[0].idiom = QStringLiteral("一石二");
    EXPECT_FALSE(unrunnableReason(threeCharacters, true, 1, file).isEmpty());
}

TEST(QuestionMaking, KanaButtonsHoldTheFirstFourKanaAndTwoDifferentDistractors)
{
    ScriptedRandom random(7);
    for (int round = 0; round < 300; ++round) {
        const auto buttons =
            makeKanaButtons(QStringLiteral("いっせきにちょう"), QStringLiteral("一石二鳥"), random);
        QStringList answer{QStringLiteral("い"), QStringLiteral("っ"), QStringLiteral("せ"),
                           QStringLiteral("き")};
        QStringList rest;
        for (const QString &b : buttons) {
            ASSERT_EQ(b.size(), 1);
            if (answer.contains(b))
                answer.removeOne(b);
            else
                rest << b;
        }
        EXPECT_TRUE(answer.isEmpty()) << "a correct kana is missing in round " << round;
        if (rest.size() == 2) {
            EXPECT_NE(rest[0], rest[1]);
        }
        for (const QString &r : rest)
            EXPECT_TRUE(distractorKana().contains(r));
    }
}

TEST(QuestionMaking, AMeaningOfUpToTwentyEightCharactersIsCentred)
{
    EXPECT_FALSE(drill::meaningLeftAligned(QString(28, u'意')));
    EXPECT_TRUE(drill::meaningLeftAligned(QString(29, u'意')));
}

TEST(QuestionChoice, DoneQuestionsAreNotAskedAndNoQuestionTwiceInARow)
{
    ScriptedRandom random(3);
    std::vector<int> counters{0, 0, 1, 0, -1, 1};
    for (int i = 0; i < 500; ++i) {
        const int p = choosePosition(counters, 4, random);
        EXPECT_TRUE(p == 1 || p == 3) << p;
    }
}

TEST(QuestionChoice, TheLastQuestionLeftIsAskedAgainAndAgain)
{
    ScriptedRandom random(3);
    EXPECT_EQ(choosePosition({0, 1, 1, -1}, 3, random), 3);
    EXPECT_EQ(choosePosition({0, 0}, 1, random), 1);
    EXPECT_EQ(choosePosition({0, 1, 1}, 1, random), 0); // all done: nothing to ask
}

TEST(DoneCounters, AWrongIdiomNeedsTwoRightAnswersAfterIt)
{
    int c = 0;
    c = afterIdiomJudgement(c, false);
    EXPECT_EQ(c, -1);
    c = afterIdiomJudgement(c, false);
    EXPECT_EQ(c, -1) << "never below -1";
    c = afterIdiomJudgement(c, true);
    EXPECT_EQ(c, 0);
    c = afterIdiomJudgement(c, true);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(doneCount({0, 1, -1, 1, 0}), 2);
}

TEST(ReadingStage, MatchingPicksWaitAndFourRightKanaAreRight)
{
    ReadingStage stage(QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(stage.pick(QStringLiteral("い")), ReadingStage::Outcome::Wait);
    EXPECT_EQ(stage.pick(QStringLiteral("っ")), ReadingStage::Outcome::Wait);
    EXPECT_EQ(stage.pick(QStringLiteral("せ")), ReadingStage::Outcome::Wait);
    EXPECT_EQ(stage.line(), QStringLiteral("いっせ"));
    EXPECT_EQ(stage.pick(QStringLiteral("き")), ReadingStage::Outcome::Right);
    EXPECT_TRUE(stage.line().isEmpty());
    EXPECT_EQ(stage.hintCount(), 0);
}

TEST(ReadingStage, AWrongFirstKanaIsJudgedAtOnceAndLeavesTheFirstKanaAsAHint)
{
    ReadingStage stage(QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(stage.pick(QStringLiteral("せ")), ReadingStage::Outcome::Wrong);
    EXPECT_EQ(stage.hintCount(), 1);
    EXPECT_EQ(stage.line(), QStringLiteral("い"));
    // The next pick is appended after the hint.
    EXPECT_EQ(stage.pick(QStringLiteral("っ")), ReadingStage::Outcome::Wait);
    EXPECT_EQ(stage.line(), QStringLiteral("いっ"));
}

TEST(ReadingStage, HintGrowsWithTheWrongCountOrTheRightPrefix)
{
    ReadingStage stage(QStringLiteral("おんこちしん"));
    stage.pick(QStringLiteral("お"));
    stage.pick(QStringLiteral("ん"));
    EXPECT_EQ(stage.pick(QStringLiteral("か")), ReadingStage::Outcome::Wrong);
    EXPECT_EQ(stage.line(), QStringLiteral("おん")) << "k = 2 right kana kept";
    EXPECT_EQ(stage.pick(QStringLiteral("あ")), ReadingStage::Outcome::Wrong);
    EXPECT_EQ(stage.hintCount(), 2);
    EXPECT_EQ(stage.line(), QStringLiteral("おん"));
    EXPECT_EQ(stage.pick(QStringLiteral("あ")), ReadingStage::Outcome::Wrong);
    EXPECT_EQ(stage.hintCount(), 3);
    EXPECT_EQ(stage.line(), QStringLiteral("おんこ"));
    EXPECT_FALSE(stage.revealed());
    EXPECT_EQ(stage.pick(QStringLiteral("あ")), ReadingStage::Outcome::Wrong);
    EXPECT_TRUE(stage.revealed());
    EXPECT_EQ(stage.line(), QStringLiteral("おんこち"));
    EXPECT_EQ(stage.hintCount(), 0) << "the hint count starts afresh";
}

TEST(KanjiAnswer, PicksFillTheBoxesInOrderAndClearingWorksBackwards)
{
    KanjiAnswer answer;
    for (const char16_t *c : {u"一", u"石", u"二", u"鳥", u"五"})
        answer.pick(QString::fromUtf16(c));
    EXPECT_EQ(answer.joined(), QStringLiteral("一石二鳥")) << "a fifth pick changes nothing";
    EXPECT_EQ(answer.pointer(), 4);
    answer.clearLast();
    EXPECT_EQ(answer.joined(), QStringLiteral("一石二"));
    EXPECT_EQ(answer.pointer(), 3);
    answer.pick(QStringLiteral("羽"));
    EXPECT_EQ(answer.joined(), QStringLiteral("一石二羽"));
    answer.clearAll();
    EXPECT_EQ(answer.joined(), QString());
    EXPECT_EQ(answer.pointer(), 0);
    answer.clearLast(); // nothing to clear
    EXPECT_EQ(answer.pointer(), 0);
}

TEST(Clock, TheTimeLimitIsFiveMinimumTimesAndDoesNotWrapForAHugeOne)
{
    EXPECT_EQ(drill::timeLimitFor(380), 1900);
    EXPECT_EQ(drill::timeLimitFor(0), 0);
    // A minimum time the standards table accepts (up to 2147483647) would wrap to a negative limit,
    // which ends the drill at its first tick.
    EXPECT_EQ(drill::timeLimitFor(2147483647), 2147483647);
    EXPECT_EQ(drill::timeLimitFor(500000000), 2147483647);
    EXPECT_EQ(drill::timeLimitFor(-5), -25);
}

TEST(Clock, LampsGoOutOverTheLastTenSecondsBeforeTheTarget)
{
    // Target 100 s: at 91 s lamp 30 goes, at 100 s lamps 30..39 have all gone.
    EXPECT_TRUE(lampsToPutOut(90, 100, 300).empty());
    EXPECT_EQ(lampsToPutOut(91, 100, 300), (std::vector<int>{30}));
    EXPECT_EQ(lampsToPutOut(95, 100, 300), (std::vector<int>{30, 31, 32, 33, 34}));
    EXPECT_EQ(lampsToPutOut(100, 100, 300).size(), 10u);
    EXPECT_TRUE(lampsToPutOut(101, 100, 300).empty());
}

TEST(Clock, MinimumLineCountdownReachesLampsAPenaltySkipped)
{
    // A penalty jumps from 92 to 112 s: lamps 32..39 stay lit past the target, and the countdown to
    // the minimum time of 150 s puts out lamp 39 − i at 150 − i.
    EXPECT_TRUE(lampsToPutOut(112, 100, 150).empty());
    EXPECT_EQ(lampsToPutOut(141, 100, 150), (std::vector<int>{30}));
    EXPECT_EQ(lampsToPutOut(150, 100, 150), (std::vector<int>{39}));
    EXPECT_TRUE(lampsToPutOut(151, 100, 150).empty());
}

TEST(Clock, ElapsedTimeIsRoundedAndPenaltiesAddAtOnce)
{
    const qint64 start = 5000000;
    EXPECT_EQ(elapsedSeconds(start + 1499, start), 1);
    EXPECT_EQ(elapsedSeconds(start + 1500, start), 2);
    qint64 penalised = start - kWrongReadingPenalty * 1000 - kWrongIdiomPenalty * 1000;
    EXPECT_EQ(elapsedSeconds(start + 3000, penalised), 33);
}

TEST(PracticeDeck, CardsGoRoundPassingMemorisedOnes)
{
    PracticeDeck deck(4);
    EXPECT_EQ(deck.next(), 1);
    EXPECT_EQ(deck.next(), 2);
    EXPECT_FALSE(deck.markMemorised());
    EXPECT_EQ(deck.next(), 3);
    EXPECT_EQ(deck.next(), 4);
    EXPECT_EQ(deck.next(), 1) << "after the last card comes the first card not memorised";
    EXPECT_EQ(deck.next(), 3);
    EXPECT_FALSE(deck.markMemorised());
    EXPECT_EQ(deck.next(), 4);
    EXPECT_FALSE(deck.markMemorised());
    EXPECT_EQ(deck.next(), 1);
    EXPECT_TRUE(deck.markMemorised());
    EXPECT_EQ(deck.next(), 0);
    EXPECT_FALSE(PracticeDeck(0).next());
}

namespace {
// The texts as the drill screen makes them: the student's figures from the statistics.
drill::StatusTexts statusOf(const AppState &state)
{
    return drill::statusTexts(
        state.catalogue, state.run, state.settings.schoolName,
        records::todayRuns(state.statistics, state.run.currentLevel, state.run.studentNumber));
}
} // namespace

TEST(StatusPanel, TextsOfATestLevelAndAPracticeLevel)
{
    auto state = std::make_unique<AppState>();
    state->catalogue.programTitle = QStringLiteral("四字熟語");
    for (int l = 1; l <= 20; ++l)
        state->catalogue.levelNames[l] = l % 2 ? QStringLiteral("範囲練") : QStringLiteral("範囲");
    state->run.studentNumber = 123;
    state->run.studentName = QStringLiteral("佐藤美咲            ");
    state->run.currentLevel = 18;
    state->statistics.todayCount(18, 123) = 2;
    state->statistics.todayCount(4, 123) = 1;
    state->statistics.todayCount(18, 124) = 7;
    drill::StatusTexts t = statusOf(*state);
    EXPECT_EQ(t.name, QStringLiteral("佐藤美咲"));
    EXPECT_EQ(t.runAtLevel, QStringLiteral("3"));
    EXPECT_EQ(t.runToday, QStringLiteral("2")) << "the runs at level 18 are not in the day count";
    EXPECT_EQ(t.titlePointSize, 16.8);
    state->run.currentLevel = 17;
    t = statusOf(*state);
    EXPECT_EQ(t.runAtLevel, QStringLiteral("－"));
    EXPECT_EQ(t.runToday, QStringLiteral("－"));
    state->catalogue.programTitle = QStringLiteral("とても長いプログラムの名前");
    EXPECT_EQ(statusOf(*state).titlePointSize, 14.0);
}
