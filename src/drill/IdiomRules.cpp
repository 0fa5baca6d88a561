#include "drill/IdiomRules.h"

#include <QSet>

namespace idioms {

int kanjiCandidateCount(const QuestionList &questions, qsizetype position)
{
    if (position < 0 || position >= questions.size())
        return 0;
    const QString &own = questions[position].idiom;
    QSet<QChar> candidates;
    for (const Question &question : questions) {
        for (qsizetype k = 0; k < 2 && k < question.idiom.size(); ++k) {
            const QChar c = question.idiom.at(k);
            if (!own.contains(c))
                candidates.insert(c);
        }
    }
    return int(candidates.size());
}

qsizetype firstShortOfKanjiCandidates(const QuestionList &questions)
{
    for (qsizetype p = 0; p < questions.size(); ++p) {
        if (kanjiCandidateCount(questions, p) < kKanjiButtonCount)
            return p;
    }
    return -1;
}

} // namespace idioms
