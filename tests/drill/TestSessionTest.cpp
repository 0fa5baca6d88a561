#include "drill/TestSession.h"
#include "records/MistakeHistory.h"
#include "records/ResultRecord.h"
#include "support/TestSupport.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace drill;
using testing_support::FakeClock;
using testing_support::ScriptedRandom;
using Stage = TestSession::Stage;
using Kind = TestSession::NewQuestion::Kind;
using Then = DrillSession::End::Then;

namespace {

// A test session driven the way the drill screen drives it, without a screen: each handler's parts in
// order, as if no event arrived while the screen let events run.
class TestSessionFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rules.timeLimit = 300;
        rules.targetTime = 60;
        rules.minimumTime = 120;
        rules.recordedLevel = true;
        makeSession(testing_support::sampleQuestions());
    }

    void makeSession(QuestionList questions)
    {
        lastDrill = LastDrill{};
        session = std::make_unique<TestSession>(std::move(questions), lastDrill, clock, random, rules);
        session->start();
    }

    // The next question, laid out and standing (its reading stage begun).
    TestSession::NewQuestion nextQuestion()
    {
        TestSession::NewQuestion q = session->makeQuestion();
        if (q.kind == Kind::Made)
            session->questionShown();
        return q;
    }

    ReadingStage::Outcome pickKana(const QString &kana)
    {
        const std::optional<QString> line = session->pressKana(kana);
        EXPECT_TRUE(line.has_value()) << "the pick of " << kana.toStdString() << " was refused";
        if (!line)
            return ReadingStage::Outcome::Wait;
        return session->pickKana(kana).outcome;
    }

    void answerReadingRight()
    {
        const QString answer = session->current().reading.left(4);
        for (int i = 0; i < 4; ++i) {
            const ReadingStage::Outcome outcome = pickKana(answer.mid(i, 1));
            ASSERT_EQ(outcome, i < 3 ? ReadingStage::Outcome::Wait : ReadingStage::Outcome::Right) << i;
        }
        session->beginKanjiStage();
    }

    TestSession::Judgement::Verdict answerIdiom(const QString &idiom)
    {
        for (QChar c : idiom)
            EXPECT_TRUE(session->pickKanji(QString(c)).has_value());
        return session->judge().verdict;
    }

    // Answers the current question right; true when the test is complete afterwards.
    bool answerRight()
    {
        answerReadingRight();
        EXPECT_EQ(answerIdiom(session->current().idiom), TestSession::Judgement::Verdict::Right);
        session->rightAnswerSounded();
        return nextQuestion().kind == Kind::Complete;
    }

    QString wrongOrder(const QString &idiom)
    {
        QString wrong = idiom;
        std::swap(wrong[0], wrong[3]);
        if (wrong == idiom)
            std::swap(wrong[0], wrong[1]);
        return wrong;
    }

    FakeClock clock;
    ScriptedRandom random{7};
    LastDrill lastDrill;
    LevelRules rules;
    std::unique_ptr<TestSession> session;
};

} // namespace

TEST_F(TestSessionFlow, EveryQuestionAnsweredRightOnceCompletesTheTestTimedToTheLastAnswer)
{
    const int n = int(session->questions().size());
    EXPECT_EQ(session->stage(), Stage::NotStarted);
    const TestSession::NewQuestion first = session->makeQuestion();
    ASSERT_EQ(first.kind, Kind::Made);
    EXPECT_EQ(first.remaining, n);
    EXPECT_EQ(first.voice, Voice::Meaning);
    EXPECT_EQ(session->stage(), Stage::Preparing);
    EXPECT_FALSE(session->pressKana(QStringLiteral("あ")).has_value())
        << "no picks before the question stands";
    EXPECT_EQ(first.kanji.characters[std::size_t(first.kanji.answerButtons[0] - 1)],
              session->current().idiom.left(1));
    session->questionShown();
    EXPECT_EQ(session->stage(), Stage::Reading);

    QSet<int> asked;
    int previous = 0;
    bool complete = false;
    for (int i = 0; i < n && !complete; ++i) {
        ASSERT_NE(session->position(), previous) << "a question asked twice in a row";
        previous = session->position();
        asked.insert(session->position());
        clock.advanceMs(3000);
        complete = answerRight();
    }
    EXPECT_TRUE(complete);
    EXPECT_EQ(asked.size(), n);
    EXPECT_EQ(session->makeQuestion().remaining, 0);

    // The last tick came a while before the last answer; the result is timed to the answer.
    clock.advanceMs(400);
    const DrillSession::End end = session->beginEnd();
    EXPECT_EQ(end.then, Then::Record);
    EXPECT_FALSE(end.timeUp);
    EXPECT_EQ(session->stage(), Stage::Ended);
    session->fixResultTime();
    EXPECT_EQ(lastDrill.resultTime, 3 * n);
    EXPECT_EQ(lastDrill.elapsedTime, 3 * n);
}

TEST_F(TestSessionFlow, APickIsShownAtOnceButJudgedOnlyAfterTheEventsHaveRun)
{
    nextQuestion();
    const QString reading = session->current().reading;
    EXPECT_EQ(session->pressKana(reading.left(1)), reading.left(1));
    EXPECT_EQ(session->reading().line(), QString()) << "pressing does not pick yet";
    EXPECT_EQ(session->pickKana(reading.left(1)).outcome, ReadingStage::Outcome::Wait);
    EXPECT_EQ(session->pressKana(reading.mid(1, 1)), reading.left(2));
}

TEST_F(TestSessionFlow, WrongReadingsCostTenSecondsEachAndTheFourthRevealsTheReading)
{
    nextQuestion();
    const QString reading = session->current().reading;
    // A wrong first kana is judged at once; the first kana stays as a hint and the next pick follows it.
    const QString wrong =
        reading.left(1) == QStringLiteral("ん") ? QStringLiteral("あ") : QStringLiteral("ん");
    EXPECT_EQ(pickKana(wrong), ReadingStage::Outcome::Wrong);
    TestSession::ReadingHint hint = session->wrongReadingSounded();
    EXPECT_EQ(hint.line, reading.left(1));
    EXPECT_FALSE(hint.revealed);
    EXPECT_EQ(session->elapsed(), 10);
    EXPECT_EQ(session->pressKana(reading.mid(1, 1)), reading.left(2));
    EXPECT_FALSE(session->continueAfterReveal()) << "continue leads on only after the reveal";

    for (int round = 2; round <= 4; ++round) {
        const QString line = session->reading().line();
        const QString right = reading.mid(line.size(), 1);
        EXPECT_EQ(pickKana(right == QStringLiteral("ん") ? QStringLiteral("あ") : QStringLiteral("ん")),
                  ReadingStage::Outcome::Wrong);
        hint = session->wrongReadingSounded();
        EXPECT_EQ(hint.revealed, round == 4) << round;
    }
    EXPECT_EQ(hint.line, reading.left(4));
    EXPECT_EQ(session->elapsed(), 40);
    EXPECT_FALSE(session->pressKana(reading.left(1)).has_value()) << "no picks once revealed";
    EXPECT_FALSE(session->pickKanji(session->current().idiom.left(1)).has_value())
        << "still the reading stage";
    EXPECT_TRUE(session->continueAfterReveal());
    EXPECT_EQ(session->stage(), Stage::Kanji);
    EXPECT_FALSE(session->continueAfterReveal());
}

TEST_F(TestSessionFlow, AWrongIdiomCostsTwentySecondsAndTwoMoreRightAnswers)
{
    nextQuestion();
    const int failed = session->position();
    answerReadingRight();
    for (QChar c : wrongOrder(session->current().idiom))
        session->pickKanji(QString(c));
    const TestSession::Judgement wrong = session->judge();
    ASSERT_EQ(wrong.verdict, TestSession::Judgement::Verdict::Wrong);
    EXPECT_EQ(wrong.sound, Sound::WrongAnswer);
    EXPECT_EQ(wrong.voice, Voice::Reading);
    EXPECT_EQ(session->stage(), Stage::Correction);
    EXPECT_EQ(session->doneCounters()[std::size_t(failed)], -1) << "counted back at once";
    EXPECT_EQ(session->elapsed(), 0) << "the penalty comes after the sounds";
    EXPECT_FALSE(session->pickKanji(QStringLiteral("山")).has_value());
    EXPECT_FALSE(session->correctionNext()) << "次へ is disabled until the sounds have played";
    session->wrongIdiomSounded();
    EXPECT_EQ(session->elapsed(), 20);
    EXPECT_TRUE(session->busy()) << "the judgement lasts until 次へ";
    ASSERT_TRUE(session->correctionNext());
    EXPECT_FALSE(session->correctionNext()) << "a second 次へ is absorbed by the next guard";
    session->leaveCorrection();
    EXPECT_FALSE(session->busy());
    ASSERT_EQ(nextQuestion().kind, Kind::Made);
    EXPECT_FALSE(session->nextGuard());

    int askedAgain = 0;
    int answered = 0;
    bool complete = false;
    while (!complete && answered < 100) {
        askedAgain += session->position() == failed;
        complete = answerRight();
        ++answered;
    }
    EXPECT_TRUE(complete);
    EXPECT_EQ(askedAgain, 2);
    EXPECT_EQ(answered, int(session->questions().size()) - 1 + 2);
}

TEST_F(TestSessionFlow, NothingElseIsTakenWhileAJudgementIsUnderWay)
{
    nextQuestion();
    answerReadingRight();
    for (QChar c : session->current().idiom)
        session->pickKanji(QString(c));
    const TestSession::Judgement right = session->judge();
    ASSERT_EQ(right.verdict, TestSession::Judgement::Verdict::Right);
    EXPECT_EQ(right.sound, Sound::RightAnswer);
    EXPECT_EQ(right.voice, Voice::Reading);
    // What the screen may meet while it plays the sounds of the judgement:
    EXPECT_EQ(session->judge().verdict, TestSession::Judgement::Verdict::Refused);
    EXPECT_EQ(session->makeQuestion().kind, Kind::Refused);
    EXPECT_FALSE(session->clearAll().has_value());
    EXPECT_FALSE(session->clearLast().has_value());
    EXPECT_FALSE(session->correctionNext());
    clock.advanceMs(qint64(rules.timeLimit) * 1000);
    const DrillSession::Tick held = session->tick();
    EXPECT_TRUE(held.pastLimit);
    EXPECT_FALSE(held.timeOut) << "the time-out waits for the next question";
    EXPECT_EQ(lastDrill.drillEndReason, 0);
    EXPECT_EQ(session->doneCounters()[std::size_t(session->position())], 0) << "counted after the sounds";

    session->rightAnswerSounded();
    ASSERT_EQ(nextQuestion().kind, Kind::Made);
    const DrillSession::Tick due = session->tick();
    EXPECT_TRUE(due.timeOut);
    EXPECT_EQ(lastDrill.drillEndReason, 1);
}

TEST_F(TestSessionFlow, ATimeOutInTheReadingStageEndsTheTestAsTimeUp)
{
    nextQuestion();
    clock.advanceMs(59500);
    DrillSession::Tick tick = session->tick();
    EXPECT_EQ(tick.elapsed, 60);
    EXPECT_EQ(lastDrill.elapsedTime, 60);
    EXPECT_EQ(tick.lampsOut, (std::vector<int>{30, 31, 32, 33, 34, 35, 36, 37, 38, 39}))
        << "the last row is out at the target time";
    EXPECT_FALSE(tick.pastLimit);

    clock.advanceMs(qint64(rules.timeLimit - 60) * 1000);
    tick = session->tick();
    EXPECT_TRUE(tick.timeOut);
    EXPECT_EQ(session->makeQuestion().kind, Kind::Refused) << "no question after the time-out";
    const DrillSession::End end = session->beginEnd();
    EXPECT_EQ(end.then, Then::Record);
    EXPECT_TRUE(end.timeUp);
    EXPECT_EQ(session->stage(), Stage::Ended);
    EXPECT_FALSE(session->pressKana(session->current().reading.left(1)).has_value());
    EXPECT_FALSE(session->tick().timeOut) << "a tick after the end has begun ends nothing again";
    EXPECT_EQ(session->beginEnd().then, Then::Refused) << "a second end request";
    clock.advanceMs(5000);
    session->fixResultTime();
    EXPECT_EQ(lastDrill.resultTime, records::kTimeOut);
    EXPECT_EQ(lastDrill.elapsedTime, rules.timeLimit) << "the last tick's time stands";
}

TEST_F(TestSessionFlow, OnceTheEndHasBegunNoClickIsTaken)
{
    nextQuestion();
    answerReadingRight();
    session->pickKanji(session->current().idiom.left(1));
    lastDrill.endingInProgress = true; // a tick met under a pending-events step
    EXPECT_EQ(session->stage(), Stage::Ended);
    EXPECT_FALSE(session->pickKanji(QStringLiteral("山")).has_value());
    EXPECT_FALSE(session->clearAll().has_value());
    EXPECT_EQ(session->judge().verdict, TestSession::Judgement::Verdict::Refused);
    EXPECT_FALSE(session->busy());
}

TEST_F(TestSessionFlow, EveryQuestionAnsweredAndTheOneOnShowAtATimeOutAreKeptForTheAnswerHistory)
{
    const auto wrongKana = [](const QString &right) {
        return right == QStringLiteral("ん") ? QStringLiteral("あ") : QStringLiteral("ん");
    };
    EXPECT_TRUE(session->answeredQuestions(12, 2).isEmpty());

    // First question: one wrong reading, then a wrong idiom.
    nextQuestion();
    const QString first = session->current().idiom;
    clock.advanceMs(4000);
    ASSERT_EQ(pickKana(wrongKana(session->current().reading.left(1))), ReadingStage::Outcome::Wrong);
    session->wrongReadingSounded();
    const QString rest = session->current().reading.left(4).mid(session->reading().line().size());
    for (QChar c : rest)
        pickKana(QString(c));
    session->beginKanjiStage();
    clock.setNow(clock.now().addSecs(120));
    const QDateTime firstJudged = clock.now();
    ASSERT_EQ(answerIdiom(wrongOrder(first)), TestSession::Judgement::Verdict::Wrong);
    EXPECT_TRUE(session->answeredQuestions(12, 2).value(0).when == firstJudged)
        << "kept at its judgement, before the sounds";
    session->wrongIdiomSounded();
    ASSERT_TRUE(session->correctionNext());
    session->leaveCorrection();

    // Second: right at both first tries.
    nextQuestion();
    const QString second = session->current().idiom;
    ASSERT_FALSE(answerRight());
    // Third: the reading right, then the time runs out in the kanji stage.
    const QString third = session->current().idiom;
    answerReadingRight();
    session->pickKanji(third.left(1));
    clock.advanceMs(qint64(rules.timeLimit) * 1000);
    ASSERT_TRUE(session->tick().timeOut);

    const QList<records::AnsweredQuestion> answered = session->answeredQuestions(12, 2);
    ASSERT_EQ(answered.size(), 3);
    struct Expected
    {
        QString idiom;
        bool readingFirstTry, idiomFirstTry;
        int wrongJudgements;
        bool timedOut;
    };
    const Expected expected[] = {
        {first, false, false, 2, false}, {second, true, true, 0, false}, {third, true, false, 0, true}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const records::AnsweredQuestion &a = answered.at(i);
        EXPECT_EQ(a.idiom, expected[i].idiom);
        EXPECT_EQ(a.student, 12);
        EXPECT_EQ(a.level, 2);
        EXPECT_EQ(a.readingFirstTry, expected[i].readingFirstTry);
        EXPECT_EQ(a.idiomFirstTry, expected[i].idiomFirstTry);
        EXPECT_EQ(a.wrongJudgements, expected[i].wrongJudgements);
        EXPECT_EQ(a.timedOut, expected[i].timedOut);
        EXPECT_EQ(records::answerProblem(a), QString()) << "the history takes every answer the drill makes";
    }
    EXPECT_TRUE(answered.at(0).when == firstJudged);
    EXPECT_TRUE(answered.at(2).when == clock.now());
}

TEST_F(TestSessionFlow, ATimeOutInTheReadingStageKeepsTheReadingWrongAndALevelNotRecordedKeepsNothing)
{
    nextQuestion();
    clock.advanceMs(qint64(rules.timeLimit) * 1000);
    ASSERT_TRUE(session->tick().timeOut);
    const QList<records::AnsweredQuestion> answered = session->answeredQuestions(3, 4);
    ASSERT_EQ(answered.size(), 1);
    EXPECT_FALSE(answered.at(0).readingFirstTry) << "the reading was never picked";
    EXPECT_EQ(answered.at(0).wrongJudgements, 0);
    EXPECT_TRUE(answered.at(0).timedOut);
    EXPECT_EQ(records::answerProblem(answered.at(0)), QString());

    for (const bool practice : {true, false}) {
        rules.practiceLevel = practice;
        rules.recordedLevel = practice;
        makeSession(testing_support::sampleQuestions());
        nextQuestion();
        ASSERT_FALSE(answerRight());
        EXPECT_TRUE(session->answeredQuestions(3, 4).isEmpty()) << practice;
    }
}

TEST(DrillSessionEnd, WhatFollowsTheEndNoticeDependsOnTheLevel)
{
    struct Case
    {
        const char *name;
        bool practiceLevel;
        bool recordedLevel;
        Then then;
    };
    for (const Case &c : {Case{"a recorded test level", false, true, Then::Record},
                          Case{"a practice level", true, true, Then::BackToHub},
                          Case{"a level not recorded", false, false, Then::Stay}}) {
        SCOPED_TRACE(c.name);
        FakeClock clock;
        LastDrill lastDrill;
        LevelRules rules;
        rules.practiceLevel = c.practiceLevel;
        rules.recordedLevel = c.recordedLevel;
        DrillSession session(lastDrill, clock, rules);
        session.start();
        EXPECT_EQ(session.beginEnd().then, c.then);
        EXPECT_TRUE(lastDrill.endingInProgress);
    }
}
