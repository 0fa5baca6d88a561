#pragma once

#include "drill/Question.h"

// Limits of what the drill can run with the questions of one range. The question maker fills twelve
// kanji buttons with distinct characters taken from characters 1 and 2 of the range's idioms, leaving
// out those of the current idiom; practice mode keeps its memorised marks for positions 1 to 100.
namespace idioms {

inline constexpr int kKanjiButtonCount = 12;
inline constexpr int kMaxRangeSize = 99; // a range of 100 or more idioms cannot run as practice

// The number of distinct characters the kanji buttons can draw for the question at `position`
// (0-based): characters 1 and 2 of every idiom in the list, without the characters of that question's
// idiom.
int kanjiCandidateCount(const QuestionList &questions, qsizetype position);

// The first position (0-based) whose question leaves too few characters for the kanji buttons, or -1
// when every question can be made.
qsizetype firstShortOfKanjiCandidates(const QuestionList &questions);

} // namespace idioms
