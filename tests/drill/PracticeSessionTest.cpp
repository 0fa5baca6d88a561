#include "drill/PracticeSession.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace drill;
using testing_support::FakeClock;
using Action = PracticeSession::Action;

namespace {

QuestionList threeCards()
{
    QuestionList all = testing_support::sampleQuestions();
    return all.mid(0, 3);
}

LevelRules practiceRules()
{
    LevelRules rules;
    rules.timeLimit = 300;
    rules.practiceLevel = true;
    return rules;
}

class PracticeSessionFlow : public ::testing::Test
{
protected:
    PracticeSessionFlow() { session.start(); }

    // The position of the card a step shows, 0 for none.
    int shown(const PracticeSession::Step &step) const
    {
        for (int i = 0; step.card.question && i < cards.size(); ++i) {
            if (cards[i].idiom == step.card.question->idiom)
                return i + 1;
        }
        return 0;
    }

    FakeClock clock;
    LastDrill lastDrill;
    LevelRules rules = practiceRules();
    QuestionList cards = threeCards();
    PracticeSession session{cards, lastDrill, clock, rules};
};

} // namespace

TEST_F(PracticeSessionFlow, CardsGoRoundPassingOverTheMemorisedOnes)
{
    const PracticeSession::Card first = session.begin();
    ASSERT_NE(first.question, nullptr);
    EXPECT_EQ(first.question->meaning, cards[0].meaning);

    PracticeSession::Step answer = session.showAnswer();
    EXPECT_EQ(answer.action, Action::ShowAnswer);
    ASSERT_NE(answer.card.question, nullptr);
    EXPECT_EQ(answer.card.question->idiom, cards[0].idiom);
    EXPECT_FALSE(answer.card.turned) << "the answer goes on the same card";

    EXPECT_EQ(shown(session.nextCard()), 2);
    const PracticeSession::Step afterMemorising = session.memorised(); // card 2 memorised
    EXPECT_EQ(afterMemorising.action, Action::ShowCard);
    EXPECT_TRUE(afterMemorising.card.turned);
    EXPECT_EQ(shown(afterMemorising), 3);
    EXPECT_EQ(shown(session.nextCard()), 1) << "after the last card comes the first";
    EXPECT_EQ(shown(session.nextCard()), 3) << "the memorised card is passed over";
    EXPECT_EQ(session.deck().memorisedCount(), 1);
}

TEST_F(PracticeSessionFlow, MemorisingTheLastCardReturnsToTheHubAndNothingIsShownAfter)
{
    session.begin();
    EXPECT_EQ(session.memorised().action, Action::ShowCard);
    EXPECT_EQ(session.memorised().action, Action::ShowCard);
    EXPECT_EQ(session.memorised().action, Action::BackToHub);
    EXPECT_TRUE(session.finished());
    EXPECT_FALSE(lastDrill.endingInProgress) << "leaving practice is not the end of a drill";

    // What a click still queued meets: the buttons toggle, but no card is turned or shown.
    const PracticeSession::Step next = session.nextCard();
    EXPECT_EQ(next.action, Action::ShowCard);
    EXPECT_FALSE(next.card.turned);
    const PracticeSession::Step answer = session.showAnswer();
    EXPECT_EQ(answer.action, Action::ShowAnswer);
    EXPECT_EQ(answer.card.question, nullptr);
}

TEST_F(PracticeSessionFlow, TheTimeLimitEndsPracticeBackToTheHubAndThenNoCardActionIsTaken)
{
    session.begin();
    clock.advanceMs(qint64(rules.timeLimit) * 1000);
    const DrillSession::Tick tick = session.tick();
    EXPECT_TRUE(tick.timeOut);
    const DrillSession::End end = session.beginEnd();
    EXPECT_EQ(end.then, DrillSession::End::Then::BackToHub);
    EXPECT_TRUE(end.timeUp);
    EXPECT_EQ(session.showAnswer().action, Action::Ignored);
    EXPECT_EQ(session.nextCard().action, Action::Ignored);
    EXPECT_EQ(session.memorised().action, Action::Ignored);
    EXPECT_EQ(session.back().action, Action::Ignored);
    EXPECT_EQ(session.deck().memorisedCount(), 0);
}
