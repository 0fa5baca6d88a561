#pragma once

#include "IdiomList.h"

// What check finds wrong with a list: every problem on its line, so that the people who keep the list
// can mend them all in one go. The format rules are those of the program's reader (drill/IdiomData.h),
// the limits of a range those of the drill (drill/DrillRules.h).
namespace yojidata {

inline constexpr int kLowestRange = 1;
inline constexpr int kHighestRange = 10;

struct CheckResult
{
    QList<Problem> problems; // sorted by line
    QList<Problem> notes;    // worth knowing, not wrong (a range without idioms)
};

CheckResult checkList(const IdiomList &list);

// Whether a reading is hiragana only (the long vowel mark included).
bool isHiragana(const QString &text);

} // namespace yojidata
