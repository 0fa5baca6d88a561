#pragma once

#include "drill/AnsweredQuestion.h"
#include "drill/DrillRules.h"
#include "drill/DrillSession.h"
#include "drill/Question.h"
#include "platform/RandomSource.h"

#include <QList>

#include <array>
#include <optional>
#include <vector>

// A timed test: the questions of an even level, each answered by its reading and then its idiom, until
// every question is done or the time runs out. See README.md beside this file for how a question goes
// through this session and the screen.
//
// The screen lets pending events run (and sounds play) in the middle of its handlers, so an event may
// arrive while another is half done. Each handler is therefore split where the screen lets events run:
// the screen calls the first part, renders it, lets events run, checks ending(), and only then calls
// the next part. The guards that make such re-entry harmless are kept here: the busy flag (a judgement
// is under way, until the next question is made), the next guard ("次へ" pressed once) and the end
// (LastDrill.endingInProgress).
namespace drill {

class TestSession : public DrillSession
{
public:
    enum class Stage {
        NotStarted, // before the first question
        Preparing,  // a question is being laid out and its meaning read out
        Reading,    // the kana buttons take picks
        Kanji,      // the kanji buttons, the clear buttons and "O.K." take clicks
        Correction, // a wrong idiom's correction panel stands until "次へ"
        Ended       // the end of the drill has begun
    };

    TestSession(QuestionList questions, LastDrill &lastDrill, platform::Clock &clock,
                platform::RandomSource &random, const LevelRules &rules);

    Stage stage() const;
    const QuestionList &questions() const { return m_questions; }
    // The current question's position (1-based); 0 before the first.
    int position() const { return m_position; }
    const Question &current() const { return m_questions.at(m_position - 1); }
    const std::vector<int> &doneCounters() const { return m_doneCounters; }
    const ReadingStage &reading() const { return m_reading; }
    const KanjiAnswer &answer() const { return m_answer; }
    bool nextGuard() const { return m_nextGuard; }
    bool correctionNextEnabled() const { return m_correctionNextEnabled; }

    // ---- Making a question ----
    struct NewQuestion
    {
        enum class Kind {
            Refused,  // after a time-out or while a judgement is under way: nothing changes
            Complete, // every question is done: show the remaining count, then finish the drill
            Made      // lay out the question, let events run, play the meaning's voice, let events run,
                      // then questionShown()
        };
        Kind kind = Kind::Refused;
        int remaining = 0;
        Voice voice = Voice::Meaning; // read out once the question is laid out
        KanjiButtons kanji;
        std::array<QString, kKanaButtonCount> kana;
    };
    // Empties the answer, clears the next guard, counts what is done and chooses the next question.
    NewQuestion makeQuestion();
    // The question stands: the reading stage begins.
    void questionShown();

    // ---- The reading stage ----
    // A kana button was pressed: the line to show while events run, or nothing when the pick is refused
    // (not the reading stage, the reading revealed, or the end has begun). The pick is judged only by
    // pickKana() after the events have run.
    std::optional<QString> pressKana(const QString &kana) const;
    struct ReadingPick
    {
        ReadingStage::Outcome outcome = ReadingStage::Outcome::Wait;
        QString line;               // Wait: the line to show
        std::optional<Sound> sound; // Right, Wrong: played before the next part
    };
    ReadingPick pickKana(const QString &kana);
    // After the wrong-answer sound of a wrong reading: the 10-second penalty. revealed: the reading's
    // first four kana stand and only the continue button leads on.
    struct ReadingHint
    {
        QString line;
        bool revealed = false;
    };
    ReadingHint wrongReadingSounded();
    // The continue button of a revealed reading; false when refused.
    bool continueAfterReveal();
    // The kanji stage begins (after a right reading's sound, or the continue button).
    void beginKanjiStage();

    // ---- The kanji stage ----
    // The four answer boxes after a pick or a clear, or nothing when refused.
    std::optional<std::array<QString, kIdiomLength>> pickKanji(const QString &character);
    std::optional<std::array<QString, kIdiomLength>> clearAll();
    std::optional<std::array<QString, kIdiomLength>> clearLast();

    struct Judgement
    {
        enum class Verdict {
            Refused,
            Right, // show the reading, let events run, the sound, the voice, then rightAnswerSounded()
                   // and makeQuestion()
            Wrong  // show the correction panel ("次へ" disabled, the kanji buttons too), let events
                   // run, the sound, let events run, the voice, then wrongIdiomSounded()
        };
        Verdict verdict = Verdict::Refused;
        Sound sound = Sound::RightAnswer;
        Voice voice = Voice::Reading;
    };
    // "O.K.": sets the busy flag and judges the four boxes. A wrong idiom counts the question back at once.
    Judgement judge();
    // The right idiom counts the question once more as done; the judgement is over.
    void rightAnswerSounded();
    // The 20-second penalty; "次へ" may now be pressed. The busy flag stays until "次へ".
    void wrongIdiomSounded();
    // "次へ" of the correction panel: sets the next guard; false when refused. Then: enable "O.K.", let
    // events run, and leaveCorrection() unless the end has begun meanwhile.
    bool correctionNext();
    // The correction panel goes; the judgement is over. Then makeQuestion().
    void leaveCorrection();

    // ---- The answer history ----
    // The questions answered so far, for the answer history (records/MistakeHistory.h), in the order
    // they were answered: one for every question whose idiom was judged, stamped with the clock's time
    // of its judgement, and after a time-out one more for the question on show then (its idiom not
    // judged). A level that is not recorded (a practice level among them) gives none.
    QList<AnsweredQuestion> answeredQuestions(int student, int level) const;

private:
    platform::RandomSource &m_random;
    QuestionList m_questions;
    std::vector<int> m_doneCounters; // per position 1..n
    Stage m_stage = Stage::NotStarted;
    int m_position = 0;
    int m_previousPosition = 0;
    ReadingStage m_reading;
    KanjiAnswer m_answer;
    bool m_nextGuard = false;
    bool m_correctionNextEnabled = false;

    // The question on show: laid out and its idiom not yet judged; its wrong readings so far, and
    // whether its reading has been picked right.
    bool m_onShow = false;
    int m_wrongReadings = 0;
    bool m_readingRight = false;
    // Per question answered: the time, the idiom, the wrong readings and whether the idiom was right.
    struct Answer
    {
        QDateTime when;
        QString idiom;
        int wrongReadings = 0;
        bool idiomRight = false;
    };
    QList<Answer> m_answers;
    void answerJudged(bool idiomRight);
};

} // namespace drill
