#include "drill/PracticeSession.h"

namespace drill {

PracticeSession::PracticeSession(QuestionList questions, LastDrill &lastDrill, platform::Clock &clock,
                                 const LevelRules &rules)
    : DrillSession(lastDrill, clock, rules), m_questions(std::move(questions)),
      m_deck(int(m_questions.size()))
{
}

PracticeSession::Card PracticeSession::begin()
{
    m_deck = PracticeDeck(int(m_questions.size()));
    m_finished = false;
    m_position = 0;
    return turnCard();
}

PracticeSession::Card PracticeSession::turnCard()
{
    Card card;
    if (m_finished)
        return card;
    card.turned = true;
    m_position = m_deck.next();
    if (m_position != 0)
        card.question = &m_questions.at(m_position - 1);
    return card;
}

PracticeSession::Step PracticeSession::showAnswer()
{
    Step step;
    if (ending())
        return step;
    step.action = Action::ShowAnswer;
    if (!m_finished && m_position != 0)
        step.card.question = &m_questions.at(m_position - 1);
    return step;
}

PracticeSession::Step PracticeSession::nextCard()
{
    Step step;
    if (ending())
        return step;
    step.action = Action::ShowCard;
    step.card = turnCard();
    return step;
}

PracticeSession::Step PracticeSession::memorised()
{
    if (ending())
        return {};
    if (m_deck.markMemorised())
        return back();
    return nextCard();
}

PracticeSession::Step PracticeSession::back()
{
    Step step;
    if (ending())
        return step;
    m_finished = true;
    step.action = Action::BackToHub;
    return step;
}

} // namespace drill
