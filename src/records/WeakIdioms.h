#pragma once

#include "records/MistakeHistory.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Which idioms a student is weak at, and which idioms a class gets wrong most, from the answer
// history (MistakeHistory.h).
//
// The rule for one student, over the student's answers in the order they were recorded:
// - A mistake is a question with at least one wrong judgement (a wrong reading or a wrong idiom). A
//   question that the time-out ended before anything was judged wrong says nothing about the idiom (the
//   student may have been slow on the whole drill) and is passed over.
// - A clean answer is a question with both stages right at the first try. Clean answers after the last
//   mistake count towards recovery; the third one (kRecoveryStreak) ends the weakness: the idiom is no
//   longer weak until it goes wrong again. Three, because the drill itself takes a question as done
//   after one right answer (two after a wrong one), so a single right answer proves little, while
//   three in a row on separate occasions are unlikely by chance with twelve kanji buttons to pick from.
// - An idiom that is still weak scores the sum, over all its mistakes, of 2^(-age / 30 days): a mistake
//   today weighs 1, one a month ago a half, one two months ago a quarter. So several mistakes outweigh a
//   single one of the same age, and a recent mistake outweighs old ones that have had time to be
//   learnt; a month is about how long a range of the drill stays in a cram-school lesson plan. Each
//   clean answer since the last mistake takes a third of the score off (two thirds after one, one third
//   after two), so an idiom being learnt sinks before it leaves the list.
// - The list is ordered by score, then by the number of mistakes, then by the later last mistake, and
//   then by the idiom's text, so that equal cases always come in the same order.
//
// The class view counts, for a set of students (a grade, a class), every mistake they made on each
// idiom and how many of them made one; it is ordered by mistakes, then students, then the later last
// mistake, then the text. It keeps no recovery: a teacher asks what the class gets wrong, and an idiom
// that half the class got wrong ten times is worth a lesson even after some of them learnt it.
namespace records {

inline constexpr int kRecoveryStreak = 3;
inline constexpr double kMistakeHalfLifeDays = 30.0;
inline constexpr int kWeakIdiomsShown = 10; // what the personal data sheet and a worksheet take

struct WeakIdiom
{
    QString idiom; // the key, as recorded
    int mistakes = 0;
    QDateTime lastMistake;
    double score = 0.0;
    int cleanSinceMistake = 0; // below kRecoveryStreak
};

// Up to `limit` weak idioms of `student` at `now`, the weakest first.
QList<WeakIdiom> weakIdioms(const MistakeHistory &history, int student, const QDateTime &now,
                            int limit = kWeakIdiomsShown);

struct ClassIdiom
{
    QString idiom;
    int mistakes = 0; // mistakes of the students on it
    int students = 0; // how many of them made at least one
    QDateTime lastMistake;
};

// Up to `limit` idioms that the students (numbers 1 to 5000; others are passed over) got wrong, the
// most often wrong first.
QList<ClassIdiom> classWeakIdioms(const MistakeHistory &history, const QList<int> &students,
                                  int limit = kWeakIdiomsShown);

} // namespace records
