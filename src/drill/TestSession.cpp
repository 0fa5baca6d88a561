#include "drill/TestSession.h"

namespace drill {

TestSession::TestSession(QuestionList questions, LastDrill &lastDrill, platform::Clock &clock,
                         platform::RandomSource &random, const LevelRules &rules)
    : DrillSession(lastDrill, clock, rules), m_random(random), m_questions(std::move(questions)),
      m_doneCounters(std::size_t(m_questions.size()) + 1, 0)
{
}

TestSession::Stage TestSession::stage() const
{
    return ending() ? Stage::Ended : m_stage;
}

TestSession::NewQuestion TestSession::makeQuestion()
{
    NewQuestion q;
    if (timedOut() || m_busy)
        return q;
    m_answer.clearAll();
    m_nextGuard = false;
    const int n = int(m_questions.size());
    const int done = doneCount(m_doneCounters);
    q.remaining = n - done;
    if (done == n) {
        q.kind = NewQuestion::Kind::Complete;
        return q;
    }
    q.kind = NewQuestion::Kind::Made;
    // The draws keep their order (position, kanji, kana): a seeded drill shows the same questions.
    m_position = choosePosition(m_doneCounters, m_previousPosition, m_random);
    m_previousPosition = m_position;
    m_reading = ReadingStage(current().reading);
    q.kanji = makeKanjiButtons(m_questions, m_position, m_random);
    q.kana = makeKanaButtons(current().reading, current().idiom, m_random);
    m_stage = Stage::Preparing;
    m_onShow = true;
    m_wrongReadings = 0;
    m_readingRight = false;
    return q;
}

void TestSession::questionShown()
{
    m_stage = Stage::Reading;
    m_busy = false;
}

std::optional<QString> TestSession::pressKana(const QString &kana) const
{
    if (stage() != Stage::Reading || m_reading.revealed())
        return std::nullopt;
    return m_reading.line() + kana;
}

TestSession::ReadingPick TestSession::pickKana(const QString &kana)
{
    ReadingPick pick;
    pick.outcome = m_reading.pick(kana);
    pick.line = m_reading.line();
    if (pick.outcome == ReadingStage::Outcome::Right) {
        pick.sound = Sound::RightAnswer;
        m_readingRight = true;
    } else if (pick.outcome == ReadingStage::Outcome::Wrong) {
        pick.sound = Sound::WrongAnswer;
        ++m_wrongReadings;
    }
    return pick;
}

TestSession::ReadingHint TestSession::wrongReadingSounded()
{
    penalise(kWrongReadingPenalty);
    return {m_reading.line(), m_reading.revealed()};
}

bool TestSession::continueAfterReveal()
{
    if (stage() != Stage::Reading || !m_reading.revealed())
        return false;
    beginKanjiStage();
    return true;
}

void TestSession::beginKanjiStage()
{
    m_stage = Stage::Kanji;
}

std::optional<std::array<QString, kIdiomLength>> TestSession::pickKanji(const QString &character)
{
    if (stage() != Stage::Kanji)
        return std::nullopt;
    m_answer.pick(character);
    return m_answer.boxes();
}

std::optional<std::array<QString, kIdiomLength>> TestSession::clearAll()
{
    if (stage() != Stage::Kanji || m_busy)
        return std::nullopt;
    m_answer.clearAll();
    return m_answer.boxes();
}

std::optional<std::array<QString, kIdiomLength>> TestSession::clearLast()
{
    if (stage() != Stage::Kanji || m_busy)
        return std::nullopt;
    m_answer.clearLast();
    return m_answer.boxes();
}

TestSession::Judgement TestSession::judge()
{
    Judgement judgement;
    if (stage() != Stage::Kanji || timedOut() || m_busy)
        return judgement;
    m_busy = true;
    if (m_answer.joined() == current().idiom) {
        judgement.verdict = Judgement::Verdict::Right;
        judgement.sound = Sound::RightAnswer;
        answerJudged(true);
        return judgement;
    }
    answerJudged(false);
    int &counter = m_doneCounters[std::size_t(m_position)];
    counter = afterIdiomJudgement(counter, false);
    m_stage = Stage::Correction;
    m_correctionNextEnabled = false;
    judgement.verdict = Judgement::Verdict::Wrong;
    judgement.sound = Sound::WrongAnswer;
    return judgement;
}

void TestSession::rightAnswerSounded()
{
    int &counter = m_doneCounters[std::size_t(m_position)];
    counter = afterIdiomJudgement(counter, true);
    m_busy = false;
}

void TestSession::wrongIdiomSounded()
{
    penalise(kWrongIdiomPenalty);
    m_correctionNextEnabled = true;
}

bool TestSession::correctionNext()
{
    if (stage() != Stage::Correction || timedOut() || m_nextGuard || !m_correctionNextEnabled)
        return false;
    m_nextGuard = true;
    return true;
}

void TestSession::leaveCorrection()
{
    m_stage = Stage::Kanji;
    m_correctionNextEnabled = false;
    m_busy = false;
}

void TestSession::answerJudged(bool idiomRight)
{
    m_answers.append({m_clock.now(), current().idiom, m_wrongReadings, idiomRight});
    m_onShow = false;
}

QList<AnsweredQuestion> TestSession::answeredQuestions(int student, int level) const
{
    QList<AnsweredQuestion> answered;
    if (m_rules.practiceLevel || !m_rules.recordedLevel)
        return answered;
    const auto make = [&](const QDateTime &when, const QString &idiom, int wrongReadings, bool readingRight,
                          bool idiomRight, bool timedOutHere) {
        AnsweredQuestion a;
        a.when = when;
        a.student = qint16(student);
        a.level = qint16(level);
        a.idiom = idiom;
        a.readingFirstTry = readingRight && wrongReadings == 0;
        a.idiomFirstTry = idiomRight;
        a.wrongJudgements = wrongReadings + (idiomRight || timedOutHere ? 0 : 1);
        a.timedOut = timedOutHere;
        return a;
    };
    answered.reserve(m_answers.size() + 1);
    for (const Answer &a : m_answers)
        answered.append(make(a.when, a.idiom, a.wrongReadings, true, a.idiomRight, false));
    if (timedOut() && m_onShow)
        answered.append(make(m_clock.now(), current().idiom, m_wrongReadings, m_readingRight, false, true));
    return answered;
}

} // namespace drill
