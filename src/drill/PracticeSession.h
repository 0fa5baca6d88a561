#pragma once

#include "drill/DrillSession.h"
#include "drill/PracticeDeck.h"
#include "drill/Question.h"

#include <optional>

// Flash cards of an odd level: a card shows a meaning; "答えを見る" shows its idiom and reading; "次へ"
// goes on to the next card that is not memorised, "この問題覚えた" marks the card first, and "戻る" (or
// the last card memorised) returns to the hub. Nothing is judged or recorded; the clock runs all the
// same, and its time limit ends the practice as it ends a test.
namespace drill {

class PracticeSession : public DrillSession
{
public:
    PracticeSession(QuestionList questions, LastDrill &lastDrill, platform::Clock &clock,
                    const LevelRules &rules);

    // What the screen does after a card action.
    enum class Action {
        Ignored, // the end has begun: nothing changes
        ShowAnswer, // show "次へ" and "この問題覚えた", hide "答えを見る", then the answer of `card`
        ShowCard, // hide "次へ" and "この問題覚えた", show "答えを見る", then `card`
        BackToHub // the practice is over: the clock stops and the hub is shown
    };
    struct Card
    {
        bool turned = false;                // the answer boxes and reading line are emptied
        const Question *question = nullptr; // the card to show; none once every card is memorised
    };
    struct Step
    {
        Action action = Action::Ignored;
        Card card;
    };

    // A new deck and its first card (the screen shows "戻る" and "答えを見る" first).
    Card begin();
    Step showAnswer();
    Step nextCard();
    Step memorised();
    Step back();

    bool finished() const { return m_finished; }
    int position() const { return m_position; }
    const PracticeDeck &deck() const { return m_deck; }

private:
    Card turnCard();

    QuestionList m_questions;
    PracticeDeck m_deck;
    bool m_finished = false;
    int m_position = 0;
};

} // namespace drill
