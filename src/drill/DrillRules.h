#pragma once

#include "drill/Question.h"
#include "platform/RandomSource.h"

#include <QString>

#include <array>
#include <vector>

// The rules of a drill, apart from its screen: how a test question is chosen and its buttons filled,
// how a reading and an idiom are judged, what the clock shows, and when a range cannot be drilled.
//
// A test question goes: reading stage (pick the first four kana) → kanji stage (pick the four
// characters) → judge. A right idiom counts the question once more as done; a wrong one counts it
// back, so it must then be answered right twice. Penalties move the start of the clock earlier.
namespace drill {

inline constexpr int kKanjiButtonCount = 12;
inline constexpr int kKanaButtonCount = 6;
inline constexpr int kReadingAnswerLength = 4;
inline constexpr int kIdiomLength = 4;
inline constexpr int kWrongReadingPenalty = 10; // seconds
inline constexpr int kWrongIdiomPenalty = 20;   // seconds
inline constexpr int kPracticeCardLimit = 100;  // practice keeps memorised flags for positions 1 to 100
inline constexpr int kTimeOutFactor = 5;        // a drill times out at 5 × the level's minimum time

// The question line centres a meaning of up to this many characters and left-aligns a longer one.
inline constexpr int kCentredMeaningLength = 28;
inline bool meaningLeftAligned(const QString &meaning)
{
    return meaning.size() > kCentredMeaningLength;
}

// The time limit of a test level: five times its minimum time, held at the largest time the clock can
// count when a standards table asks for more.
qint32 timeLimitFor(qint32 minimumTime);

// The kana the reading buttons draw their distractors from.
const QString &distractorKana();

// Chooses the position of the next test question (1-based). Positions whose done counter is 1 are
// done; the previous position is not asked twice in a row unless it is the only one left.
// doneCounters is indexed 1..n (element 0 unused).
int choosePosition(const std::vector<int> &doneCounters, int previousPosition,
                   platform::RandomSource &random);

// The number of positions whose done counter is 1.
int doneCount(const std::vector<int> &doneCounters);

// A done counter after the idiom was judged: +1 when right, −1 when wrong but never below −1.
int afterIdiomJudgement(int doneCounter, bool right);

struct KanjiButtons
{
    std::array<QString, kKanjiButtonCount> characters; // button j at index j − 1
    std::array<int, kIdiomLength> answerButtons{};     // the buttons (1-based) holding characters 1 to 4
};

// Fills the twelve kanji buttons for the question at `position` (1-based): distractors drawn from the
// first or second character of the range's idioms, none in the current idiom and no two alike, then
// the idiom's four characters on four different buttons.
KanjiButtons makeKanjiButtons(const QuestionList &questions, int position, platform::RandomSource &random);

// How many different characters the distractor draw can find for the question at `position`; the
// buttons can be filled only when there are at least twelve.
int distractorCandidateCount(const QuestionList &questions, int position);

// Fills the six kana buttons: the reading's first four kana on four random buttons, distractors on
// the other two (different from each other; one may equal a correct kana).
std::array<QString, kKanaButtonCount> makeKanaButtons(const QString &reading, const QString &idiom,
                                                      platform::RandomSource &random);

// The reading stage of one question.
class ReadingStage
{
public:
    enum class Outcome { Wait, Right, Wrong };

    explicit ReadingStage(QString reading = {});

    // Appends a picked kana. With four kana, or as soon as the picks stop matching the reading, the
    // reading is judged.
    Outcome pick(const QString &kana);

    const QString &line() const { return m_line; }
    int hintCount() const { return m_hintCount; }
    // After the fourth wrong judgement the first four kana are shown and only "continue" leads on.
    bool revealed() const { return m_revealed; }
    QString answer() const { return m_reading.left(kReadingAnswerLength); }

private:
    Outcome judge();

    QString m_reading;
    QString m_line;
    int m_hintCount = 0;
    bool m_revealed = false;
};

// The four answer boxes of the kanji stage.
class KanjiAnswer
{
public:
    void pick(const QString &character); // a fifth pick changes nothing
    void clearAll();
    void clearLast(); // empties the highest-numbered filled box
    QString joined() const;
    const std::array<QString, kIdiomLength> &boxes() const { return m_boxes; }
    int pointer() const { return m_pointer; }

private:
    std::array<QString, kIdiomLength> m_boxes;
    int m_pointer = 0;
};

// The lamps (30 to 39) to put out at a tick of the one-second clock: one a second over the last ten
// seconds before the target time, and the minimum-line countdown over the ten seconds before the
// minimum time.
std::vector<int> lampsToPutOut(int elapsed, int targetTime, int minimumTime);

// The elapsed whole seconds of a drill whose clock started at startMs (monotonic milliseconds).
int elapsedSeconds(qint64 nowMs, qint64 startMs);

// Why a range cannot be drilled, as a message for the student's teacher; empty when it can.
QString unrunnableReason(const QuestionList &questions, bool practice, int range, const QString &dataFile);

} // namespace drill
