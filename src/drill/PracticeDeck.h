#pragma once

#include <vector>

namespace drill {

// The flash cards of a practice level: cards go round in order, passing over the ones the student has
// marked as memorised, until every card is memorised.
class PracticeDeck
{
public:
    explicit PracticeDeck(int cardCount);

    // Moves to the next card that is not memorised, going round from the last card to the first;
    // returns its position (1-based), or 0 when every card is memorised.
    int next();

    // Marks the current card memorised; true when every card now is.
    bool markMemorised();

    int position() const { return m_position; }
    int memorisedCount() const { return m_memorisedCount; }
    int cardCount() const { return m_cardCount; }

private:
    int m_cardCount;
    std::vector<bool> m_memorised; // indexed 1..cardCount
    int m_position = 0;
    int m_memorisedCount = 0;
};

} // namespace drill
