#include "drill/PracticeDeck.h"

namespace drill {

PracticeDeck::PracticeDeck(int cardCount)
    : m_cardCount(cardCount), m_memorised(std::size_t(cardCount) + 1, false)
{
}

int PracticeDeck::next()
{
    if (m_memorisedCount >= m_cardCount)
        return 0;
    do {
        ++m_position;
        if (m_position > m_cardCount)
            m_position = 1;
    } while (m_memorised[m_position]);
    return m_position;
}

bool PracticeDeck::markMemorised()
{
    if (m_position >= 1 && m_position <= m_cardCount && !m_memorised[m_position]) {
        m_memorised[m_position] = true;
        ++m_memorisedCount;
    }
    return m_memorisedCount >= m_cardCount;
}

} // namespace drill
