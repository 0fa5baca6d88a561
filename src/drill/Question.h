#pragma once

#include <QList>
#include <QString>

namespace drill {

// One question of a level: an idiom of the level's range with its reading and meaning, as the idiom
// data file holds them (columns 2, 3 and 4).
struct Question
{
    QString idiom;   // exactly four characters in a well-formed file
    QString reading; // hiragana; its first four characters are the answer of the reading stage
    QString meaning; // the question text
};

// The questions of one level in file order (position 1 is the first element).
using QuestionList = QList<Question>;

} // namespace drill

// The other folders (worksheets, tools, tests) name the question types unqualified.
using drill::Question;
using drill::QuestionList;
