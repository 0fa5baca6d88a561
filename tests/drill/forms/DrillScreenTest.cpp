#include "drill/forms/DrillScreen.h"
#include "app/forms/Style.h"
#include "drill/LevelCatalogue.h"
#include "platform/DateSerial.h"
#include "records/MistakeHistory.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "records/forms/ResultScreen.h"
#include "sound/SoundPlayer.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "startup/forms/ScreenParts.h"
#include "support/TestSupport.h"
#include "support/gui/GuiTestSupport.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using records::ResultScreen;

using namespace testing_support;

namespace {

QuestionList rangeOne()
{
    return sampleQuestions();
}

// The idiom's characters in another order: a wrong answer made of the right buttons.
QString wrongOrder(const QString &idiom)
{
    QString wrong = idiom;
    std::swap(wrong[0], wrong[3]);
    if (wrong == idiom)
        std::swap(wrong[0], wrong[1]);
    return wrong;
}

// Drives the drill and result screens in one host widget, as the window would, and records where
// the program went.
class TestNavigator : public Navigator
{
public:
    explicit TestNavigator(QWidget *host) : m_host(host) {}
    AppState *state = nullptr;
    AppContext *context = nullptr;
    int hubShown = 0;
    int resultShown = 0;
    int drillShown = 0;
    QPointer<QWidget> screen;

    void showNameSelection() override {}
    void showHub() override
    {
        ++hubShown;
        replace(nullptr);
    }
    void showDrill(int level) override
    {
        catalogue::prepareDrill(state->run, state->lastDrill, state->drill, level);
        ++drillShown;
        auto *drill = new drill::DrillScreen(startup::parts::drillScreen(*state), *context, m_host);
        replace(drill);
        QTimer::singleShot(0, drill, &drill::DrillScreen::activate);
    }
    void showResult() override
    {
        ++resultShown;
        auto *result = new ResultScreen(startup::parts::resultScreen(*state), *context, m_host);
        replace(result);
        QTimer::singleShot(0, result, &ResultScreen::activate);
    }
    void showVersionBox(QWidget *) override {}

private:
    void replace(QWidget *next)
    {
        if (screen)
            screen->deleteLater();
        screen = next;
        if (next)
            next->show();
    }
    QWidget *m_host;
};

class DrillScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error))
            << error.toStdString();
        catalogue::setUpLevels(state->catalogue);
        state->run.studentNumber = 152;
        state->run.studentName = QStringLiteral("佐藤美咲            ");
        state->run.currentLevel = 2;
        state->run.nameConfirmedTime = 15 * 3600 + 20 * 60; // ten minutes before the fake clock's 15:30
        host.resize(1024, 768);
        app::style::install(&host); // the window's style sheet, as MainWindow has it
        host.show();
        navigator.state = state.get();
        navigator.context = &context;
        writeIdiomFile(inst.applicationFolder, rangeOne(), 1);
        // The hub has read the results before any drill starts.
        records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                                   state->statistics, fakes.services);
    }

    drill::DrillScreen *drill() { return qobject_cast<drill::DrillScreen *>(navigator.screen.data()); }
    ResultScreen *result() { return qobject_cast<ResultScreen *>(navigator.screen.data()); }

    void start(int level)
    {
        navigator.showDrill(level);
        settle();
        ASSERT_NE(drill(), nullptr) << (fakes.messages.shown.empty()
                                            ? std::string("no message")
                                            : fakes.messages.shown[0].text.toStdString());
    }

    QString text(const QString &name)
    {
        auto *label = navigator.screen->findChild<QLabel *>(name);
        return label ? label->text() : QStringLiteral("<no %1>").arg(name);
    }

    QPushButton *button(const QString &name) { return control<QPushButton>(navigator.screen, name); }

    const Question &currentQuestion()
    {
        const QString meaning = text(QStringLiteral("Label9"));
        for (const Question &q : questions) {
            if (q.meaning == meaning)
                return q;
        }
        ADD_FAILURE() << "no question with the meaning shown";
        return questions.front();
    }

    // Clicks the first visible, enabled button of a family whose text is `character`.
    bool clickButtonWithText(const QString &family, int count, const QString &character)
    {
        for (int i = 1; i <= count; ++i) {
            QPushButton *b =
                navigator.screen->findChild<QPushButton *>(QStringLiteral("%1_%2").arg(family).arg(i));
            if (b && b->isVisible() && b->isEnabled() && b->text() == character) {
                QTest::mouseClick(b, Qt::LeftButton);
                return true;
            }
        }
        ADD_FAILURE() << "no button " << family.toStdString() << " showing " << character.toStdString();
        return false;
    }

    void answerReading(const QString &kana)
    {
        for (QChar c : kana)
            clickButtonWithText(QStringLiteral("Label15"), 6, QString(c));
    }

    void answerIdiom(const QString &idiom)
    {
        for (QChar c : idiom)
            clickButtonWithText(QStringLiteral("Label14"), 12, QString(c));
        QTest::mouseClick(button(QStringLiteral("Command3")), Qt::LeftButton);
    }

    void answerRight(qint64 thinkMs)
    {
        const Question q = currentQuestion();
        fakes.clock.advanceMs(thinkMs);
        answerReading(q.reading.left(4));
        answerIdiom(q.idiom);
    }

    void tick()
    {
        QTimer *timer = navigator.screen->findChild<QTimer *>(QStringLiteral("sTimer1"));
        ASSERT_NE(timer, nullptr);
        ASSERT_TRUE(timer->isActive());
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }

    QList<records::ResultRecord> records()
    {
        QString error;
        return testing_support::valueOrEmpty(
            records::readLastRecords(records::resultsFilePath(inst.dataFolder), 1000, fakes.wait), &error);
    }

    Installation inst;
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    QWidget host;
    TestNavigator navigator{&host};
    AppContext context{fakes.services, navigator};
    QuestionList questions = rangeOne();
};

} // namespace

TEST_F(DrillScreen, AWholeTestAnsweredRightIsRecordedWithItsTime)
{
    start(2);
    EXPECT_EQ(text(QStringLiteral("sLabel7")), QStringLiteral("佐藤美咲"));
    EXPECT_EQ(text(QStringLiteral("sLabel8")), QStringLiteral("範囲１"));
    EXPECT_EQ(text(QStringLiteral("sLabel14")), QStringLiteral("テスト塾"));
    EXPECT_EQ(text(QStringLiteral("sLabel9")), QString::number(questions.size()));
    EXPECT_EQ(text(QStringLiteral("sLabel13")), QStringLiteral("10"));
    EXPECT_EQ(text(QStringLiteral("sLabel11")), QStringLiteral("1"));
    saveScreenshot(&host, QStringLiteral("drill-reading-stage"));
    {
        const Question q = currentQuestion();
        answerReading(q.reading.left(4));
        clickButtonWithText(QStringLiteral("Label14"), 12, q.idiom.left(1));
        saveScreenshot(&host, QStringLiteral("drill-kanji-stage"));
        QTest::mouseClick(button(QStringLiteral("Command2")), Qt::LeftButton); // clear, then answer whole
        fakes.clock.advanceMs(4000);
        answerIdiom(q.idiom);
    }
    bool noticeShown = false;
    fakes.clock.duringWait = [&] {
        auto *notice = navigator.screen->findChild<QWidget *>(QStringLiteral("sPicture2"));
        noticeShown =
            notice && notice->isVisible() && text(QStringLiteral("lblsss1")) == QStringLiteral("成績記録中");
        saveScreenshot(&host, QStringLiteral("drill-end-notice"));
    };
    for (int i = 1; i < questions.size(); ++i) {
        ASSERT_NE(drill(), nullptr) << "the drill ended early at question " << i;
        answerRight(4000);
    }
    EXPECT_TRUE(noticeShown) << "the end notice stands during the pause";
    settle();
    ASSERT_EQ(navigator.resultShown, 1);
    const QList<records::ResultRecord> written = records();
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].student, 152);
    EXPECT_EQ(written[0].level, 2);
    EXPECT_EQ(written[0].time, 4 * int(questions.size()));
    EXPECT_EQ(written[0].schoolCode, QStringLiteral("12345"));
    EXPECT_EQ(state->lastDrill.resultTime, 4 * int(questions.size()));
    EXPECT_EQ(fakes.clock.waitedMs, 1000) << "the one-second pause before the result screen";
    // Every question played its meaning before and its reading after, and right-answer sounds.
    int voices = 0;
    for (const QString &command : fakes.media.commands)
        voices += command.contains(QStringLiteral("四字熟語音声"));
    EXPECT_EQ(voices, 2 * int(questions.size()));
}

TEST_F(DrillScreen, WrongReadingsAndWrongIdiomsCostTimeAndRepetitions)
{
    start(2);
    const Question q = currentQuestion();
    // A wrong first kana: judged at once, 10 s, the first kana left as a hint.
    QString wrong;
    for (int i = 1; i <= 6; ++i) {
        const QString t = button(QStringLiteral("Label15_%1").arg(i))->text();
        if (t != q.reading.left(1)) {
            wrong = t;
            break;
        }
    }
    answerReading(wrong);
    EXPECT_EQ(text(QStringLiteral("Label1")), q.reading.left(1));
    answerReading(q.reading.mid(1, 3));
    // A wrong idiom: the correction panel, 20 s, and the question must be answered right twice more.
    answerIdiom(wrongOrder(q.idiom));
    auto *correction = navigator.screen->findChild<QWidget *>(QStringLiteral("Picture3"));
    ASSERT_NE(correction, nullptr);
    EXPECT_TRUE(correction->isVisible());
    EXPECT_EQ(text(QStringLiteral("Label10_5")) + text(QStringLiteral("Label10_6")) +
                  text(QStringLiteral("Label10_7")) + text(QStringLiteral("Label10_8")),
              q.idiom);
    EXPECT_EQ(text(QStringLiteral("Label2")), q.reading);
    EXPECT_FALSE(button(QStringLiteral("Label14_1"))->isEnabled());
    saveScreenshot(&host, QStringLiteral("drill-correction-panel"));
    tick();
    EXPECT_EQ(text(QStringLiteral("sLabel10")), QStringLiteral("30"));
    QTest::mouseClick(button(QStringLiteral("Command4")), Qt::LeftButton);
    EXPECT_FALSE(correction->isVisible());

    int asked = 0;
    while (drill() && asked < 200) {
        answerRight(0);
        ++asked;
    }
    settle();
    // Every other question once, the failed one twice more.
    EXPECT_EQ(asked, int(questions.size()) - 1 + 2);
    ASSERT_EQ(records().size(), 1);
    EXPECT_EQ(records()[0].time, 30);
}

TEST_F(DrillScreen, FourWrongReadingsRevealTheReadingAndOnlyContinueLeadsOn)
{
    start(2);
    const Question q = currentQuestion();
    for (int round = 0; round < 4; ++round) {
        QString wrong;
        for (int i = 1; i <= 6 && wrong.isEmpty(); ++i) {
            QPushButton *b = button(QStringLiteral("Label15_%1").arg(i));
            const QString expected = q.reading.mid(text(QStringLiteral("Label1")).size(), 1);
            if (b->isEnabled() && b->text() != expected)
                wrong = b->text();
        }
        ASSERT_FALSE(wrong.isEmpty());
        answerReading(wrong);
    }
    EXPECT_EQ(text(QStringLiteral("Label1")), q.reading.left(4));
    QPushButton *continueButton = button(QStringLiteral("Command14"));
    EXPECT_TRUE(continueButton->isVisible());
    EXPECT_FALSE(button(QStringLiteral("Label15_1"))->isEnabled());
    QTest::mouseClick(continueButton, Qt::LeftButton);
    EXPECT_TRUE(button(QStringLiteral("Command3"))->isVisible());
    tick();
    EXPECT_EQ(text(QStringLiteral("sLabel10")), QStringLiteral("40"));
}

TEST_F(DrillScreen, TimeOutAtFiveTimesTheMinimumIsRecordedAndWaitsForTheCorrectionPanel)
{
    start(2);
    const int limit = 5 * state->standards.minimumTime[2];
    const Question q = currentQuestion();
    answerReading(q.reading.left(4));
    answerIdiom(wrongOrder(q.idiom));
    fakes.clock.advanceMs(qint64(limit) * 1000);
    tick();
    EXPECT_NE(drill(), nullptr) << "no time-out while the correction panel is shown";
    EXPECT_EQ(state->lastDrill.drillEndReason, 0);
    QTest::mouseClick(button(QStringLiteral("Command4")), Qt::LeftButton);
    ASSERT_NE(drill(), nullptr);
    tick();
    settle();
    EXPECT_EQ(state->lastDrill.drillEndReason, 1);
    ASSERT_EQ(records().size(), 1);
    EXPECT_EQ(records()[0].time, 99999);
    ASSERT_NE(result(), nullptr);
    EXPECT_EQ(text(QStringLiteral("Label18")), QStringLiteral("記録なし"));
    EXPECT_EQ(text(QStringLiteral("Label20")), QStringLiteral("時間切れ"));
    EXPECT_TRUE(text(QStringLiteral("Label19")).endsWith(QStringLiteral("→0点")))
        << text(QStringLiteral("Label19")).toStdString();
    // The answer history beside the results: the wrong idiom, and the question on show at the time-out.
    const app::Result<records::MistakeHistory> history =
        records::readMistakeHistoryIn(inst.dataFolder, fakes.wait);
    ASSERT_TRUE(history.ok()) << history.failure().text.toStdString();
    ASSERT_EQ(history.value().size(), 2);
    EXPECT_EQ(history.value().answer(0).idiom, q.idiom);
    EXPECT_EQ(history.value().answer(0).student, 152);
    EXPECT_EQ(history.value().answer(0).level, 2);
    EXPECT_EQ(history.value().answer(0).wrongJudgements, 1);
    EXPECT_TRUE(history.value().answer(1).timedOut);
}

TEST_F(DrillScreen, AnAnswerHistoryThatCannotBeWrittenIsShownAndTheResultGoesOn)
{
    // A history file whose header this program does not know is never written to.
    const QString historyPath = records::mistakeHistoryPath(inst.dataFolder);
    const QByteArray damaged("not a history file");
    {
        QFile file(historyPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    start(2);
    const Question q = currentQuestion();
    answerReading(q.reading.left(4));
    answerIdiom(wrongOrder(q.idiom));
    QTest::mouseClick(button(QStringLiteral("Command4")), Qt::LeftButton);
    fakes.clock.advanceMs(qint64(state->drill.timeLimit) * 1000);
    tick();
    settle();
    ASSERT_EQ(records().size(), 1) << "the result is written";
    ASSERT_NE(result(), nullptr) << "the result screen follows";
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("解答累積データ.dat")))
        << fakes.messages.shown[0].text.toStdString();
    QFile file(historyPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
}

TEST_F(DrillScreen, DoubleClicksAreAbsorbed)
{
    start(2);
    const Question first = currentQuestion();
    answerReading(first.reading.left(4));
    answerIdiom(wrongOrder(first.idiom));
    QPushButton *judge = button(QStringLiteral("Command3"));
    QTest::mouseClick(judge, Qt::LeftButton); // during the judgement: ignored
    QPushButton *next = button(QStringLiteral("Command4"));
    const QString before = text(QStringLiteral("Label9"));
    QTest::mouseDClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    // One next question only: the remaining count and the done counters are as after one "次へ".
    EXPECT_EQ(text(QStringLiteral("sLabel9")), QString::number(questions.size()));
    EXPECT_NE(text(QStringLiteral("Label9")), before);
}

TEST_F(DrillScreen, ClicksMadeWhileASoundPlaysAreDropped)
{
    start(2);
    const Question q = currentQuestion();
    answerReading(q.reading.left(4));
    for (QChar c : q.idiom)
        clickButtonWithText(QStringLiteral("Label14"), 12, QString(c));
    QPushButton *judge = button(QStringLiteral("Command3"));
    // While the right-answer sound plays, the student clicks "O.K." twice more.
    int posted = 0;
    fakes.media.duringPlay = [&] {
        if (posted++ == 0) {
            for (int i = 0; i < 2; ++i) {
                QTest::mouseClick(judge, Qt::LeftButton); // busy: ignored at once
                QCoreApplication::postEvent(judge,
                                            new QMouseEvent(QEvent::MouseButtonPress, QPointF(10, 10),
                                                            judge->mapToGlobal(QPointF(10, 10)),
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(judge,
                                            new QMouseEvent(QEvent::MouseButtonRelease, QPointF(10, 10),
                                                            judge->mapToGlobal(QPointF(10, 10)),
                                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
            }
        }
    };
    QTest::mouseClick(judge, Qt::LeftButton);
    fakes.media.duringPlay = nullptr;
    settle();
    // Exactly one answer: the next question waits for its reading, nothing was judged wrong.
    auto *correction = navigator.screen->findChild<QWidget *>(QStringLiteral("Picture3"));
    EXPECT_FALSE(correction->isVisible());
    EXPECT_EQ(text(QStringLiteral("sLabel9")), QString::number(questions.size() - 1));
    EXPECT_TRUE(navigator.screen->findChild<QWidget *>(QStringLiteral("Picture2"))->isVisible());
}

// An answer sound that fails once more after three failures ends the program, inside the report; in a
// test the program goes on, and the handler that met the failure stops there all the same.
TEST_F(DrillScreen, ASoundFailureThatEndsTheProgramStopsTheAnswerThere)
{
    start(2);
    state->sound.soundErrorCount = sound::kFailuresBeforeGivingUp;
    fakes.media.resultFor = [](const QString &command) {
        return command.contains(QStringLiteral("pin.wav")) ? 263 : 0;
    };
    answerReading(currentQuestion().reading.left(4));
    fakes.media.resultFor = nullptr;
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("音声エラー"));
    EXPECT_TRUE(fakes.programEnd.ended);
    // The right reading's sound was the last thing played, and the kanji stage never began.
    EXPECT_TRUE(fakes.media.commands.last().contains(QStringLiteral("pin.wav")));
    EXPECT_FALSE(button(QStringLiteral("Command3"))->isVisible());
}

TEST_F(DrillScreen, PracticeFromFirstCardToTheReturnToTheHub)
{
    start(1);
    EXPECT_EQ(text(QStringLiteral("sLabel11")), QStringLiteral("－"));
    EXPECT_EQ(text(QStringLiteral("sLabel12")), QStringLiteral("－"));
    EXPECT_EQ(text(QStringLiteral("sLabel9")), QStringLiteral("10"));
    EXPECT_EQ(text(QStringLiteral("Label9")), questions[0].meaning);
    QPushButton *show = button(QStringLiteral("Command11"));
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(text(QStringLiteral("Label1")), questions[0].reading);
    EXPECT_EQ(text(QStringLiteral("Label10_1")), questions[0].idiom.left(1));
    saveScreenshot(&host, QStringLiteral("drill-practice-card"));
    for (int i = 0; i < questions.size(); ++i) {
        if (!button(QStringLiteral("Command9"))->isVisible())
            QTest::mouseClick(button(QStringLiteral("Command11")), Qt::LeftButton);
        if (navigator.hubShown)
            break;
        QTest::mouseClick(button(QStringLiteral("Command9")), Qt::LeftButton);
    }
    settle();
    EXPECT_EQ(navigator.hubShown, 1);
    EXPECT_TRUE(records().isEmpty()) << "practice records nothing";
}

// The longest name of the roster (20 characters) is shown whole on the status panel at a size that
// fits its place, clear of the school name beside it.
TEST_F(DrillScreen, ATwentyCharacterNameFitsTheStatusPanel)
{
    const QString twenty = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水");
    state->run.studentName = twenty;
    start(2);
    auto *name = navigator.screen->findChild<QLabel *>(QStringLiteral("sLabel7"));
    auto *school = navigator.screen->findChild<QLabel *>(QStringLiteral("sLabel14"));
    ASSERT_NE(name, nullptr);
    ASSERT_NE(school, nullptr);
    EXPECT_EQ(name->text(), twenty);
    EXPECT_GE(name->font().pointSizeF(), 10.0);
    EXPECT_LE(QFontMetrics(name->font()).horizontalAdvance(name->text()), name->contentsRect().width());
    EXPECT_FALSE(name->geometry().intersects(school->geometry()));
    EXPECT_FALSE(school->text().isEmpty());
    EXPECT_LE(QFontMetrics(school->font()).horizontalAdvance(school->text()), school->contentsRect().width());
}

TEST_F(DrillScreen, ARangeWithoutIdiomsGoesBackWithAMessageAndRecordsNothing)
{
    writeIdiomFile(inst.applicationFolder, rangeOne(), 7); // nothing in range 1
    navigator.showDrill(2);
    settle();
    EXPECT_EQ(navigator.hubShown, 1);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("範囲1")))
        << fakes.messages.shown[0].text.toStdString();
    EXPECT_TRUE(records().isEmpty());
}

TEST_F(DrillScreen, EndNoticeAndResultScreenWithARecord)
{
    start(2);
    for (int i = 0; i < questions.size() && drill(); ++i)
        answerRight(3000);
    settle();
    ASSERT_NE(result(), nullptr);
    QTest::qWait(600); // the buttons come after half a second
    EXPECT_EQ(text(QStringLiteral("Label18")), QStringLiteral("今の成績：%1秒").arg(3 * questions.size()));
    EXPECT_EQ(text(QStringLiteral("Label20")), QStringLiteral("！！！最高新記録！！！"));
    EXPECT_TRUE(fakes.media.commands.last().contains(QStringLiteral("最高1.wav")));
    EXPECT_EQ(text(QStringLiteral("Label13")), QStringLiteral(" (このレベル　 1回目)"));
    EXPECT_TRUE(button(QStringLiteral("Command4"))->isVisible());
    EXPECT_TRUE(button(QStringLiteral("Command5"))->isVisible());
    saveScreenshot(&host, QStringLiteral("result-all-time-record"));
    QTest::mouseClick(button(QStringLiteral("Command5")), Qt::LeftButton);
    settle();
    EXPECT_EQ(navigator.drillShown, 2);
    EXPECT_EQ(state->lastDrill.drillEndReason, 0);
}

// From the end notice on, the drill takes no answers: during the notice and the one-second pause that
// follows it, picks and "O.K." neither sound, nor count as sound failures, nor judge.
TEST_F(DrillScreen, OnceTheEndHasBegunTheButtonsDoNothing)
{
    struct Case
    {
        const char *name;
        bool timeOut;
    };
    for (const Case &c : {Case{"a finished test", false}, Case{"a time-out", true}}) {
        SCOPED_TRACE(c.name);
        fakes.media.commands.clear();
        state->sound.soundErrorCount = 0;
        start(2);
        // Every wrong-answer sound fails: four played after the end would end the program.
        fakes.media.resultFor = [](const QString &command) {
            return command.contains(QStringLiteral("boo.wav")) ? 263 : 0;
        };
        int playedDuringTheEnd = -1;
        bool judgedDuringTheEnd = false;
        fakes.clock.duringWait = [&] {
            const int before = int(fakes.media.commands.size());
            for (int round = 0; round < 4; ++round) {
                for (int i = 1; i <= 6; ++i)
                    QTest::mouseClick(button(QStringLiteral("Label15_%1").arg(i)), Qt::LeftButton);
                for (int j = 1; j <= 4; ++j)
                    QTest::mouseClick(button(QStringLiteral("Label14_%1").arg(j)), Qt::LeftButton);
                QTest::mouseClick(button(QStringLiteral("Command3")), Qt::LeftButton);
                QTest::mouseClick(button(QStringLiteral("Command14")), Qt::LeftButton);
            }
            playedDuringTheEnd = int(fakes.media.commands.size()) - before;
            judgedDuringTheEnd =
                navigator.screen->findChild<QWidget *>(QStringLiteral("Picture3"))->isVisible();
        };
        if (c.timeOut) {
            fakes.clock.advanceMs(qint64(state->drill.timeLimit) * 1000);
            tick();
        } else {
            for (int i = 0; i < questions.size() && drill() && !state->lastDrill.endingInProgress; ++i)
                answerRight(1000);
        }
        fakes.clock.duringWait = nullptr;
        fakes.media.resultFor = nullptr;
        settle();
        EXPECT_EQ(playedDuringTheEnd, 0);
        EXPECT_FALSE(judgedDuringTheEnd);
        EXPECT_EQ(state->sound.soundErrorCount, 0);
        EXPECT_FALSE(fakes.programEnd.ended);
        EXPECT_TRUE(fakes.messages.shown.empty());
        ASSERT_NE(result(), nullptr);
        EXPECT_EQ(state->lastDrill.resultTime, c.timeOut ? 99999 : int(questions.size()));
    }
}

// What a screen reader reaches of the drill tells what a sighted student sees: each lamp its row and
// whether it is lit (a lamp that went out stays in the tree, as out), the answer and correction boxes
// their characters, the time bar the elapsed and limit seconds.
TEST_F(DrillScreen, TheAccessibleTreeTellsWhatTheStudentSees)
{
    start(2);
    const int limit = 5 * state->standards.minimumTime[2];
    QStringList names = accessibleNames(navigator.screen);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_TRUE(names.contains(QStringLiteral("Pass のランプ%1：点灯").arg(i))) << i;
        EXPECT_TRUE(names.contains(QStringLiteral("Best のランプ%1：点灯").arg(i))) << i;
        EXPECT_TRUE(names.contains(QStringLiteral("YourBest のランプ%1：点灯").arg(i))) << i;
    }
    EXPECT_TRUE(names.contains(QStringLiteral("経過時間 0秒（制限時間 %1秒）").arg(limit)))
        << names.join(u'|').toStdString();
    auto *timeBar = navigator.screen->findChild<QWidget *>(QStringLiteral("sShape5"));
    EXPECT_EQ(accessibleDescription(timeBar), QStringLiteral("目標タイム %1秒、最低ライン %2秒")
                                                  .arg(state->standards.targetTime[2])
                                                  .arg(state->standards.minimumTime[2]));

    const Question q = currentQuestion();
    answerReading(q.reading.left(4));
    clickButtonWithText(QStringLiteral("Label14"), 12, q.idiom.left(1));
    names = accessibleNames(navigator.screen);
    EXPECT_TRUE(names.contains(QStringLiteral("答え1：") + q.idiom.left(1)))
        << names.join(u'|').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("答え2：空")));
    QTest::mouseClick(button(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(accessibleName(navigator.screen->findChild<QWidget *>(QStringLiteral("Label10_1"))),
              QStringLiteral("答え1：空"));
    answerIdiom(wrongOrder(q.idiom));
    names = accessibleNames(navigator.screen);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(names.contains(QStringLiteral("正しい答え%1：").arg(i) + q.idiom.mid(i - 1, 1))) << i;

    // At the target time the ten lamps of the last row have gone out, one a second.
    const int target = state->standards.targetTime[2];
    const int elapsedNow = 20; // the wrong idiom's penalty
    for (int second = elapsedNow + 1; second <= target; ++second) {
        fakes.clock.advanceMs(1000);
        tick();
    }
    names = accessibleNames(navigator.screen);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_TRUE(names.contains(QStringLiteral("YourBest のランプ%1：消灯").arg(i))) << i;
        EXPECT_TRUE(names.contains(QStringLiteral("Best のランプ%1：点灯").arg(i))) << i;
    }
    EXPECT_TRUE(names.contains(QStringLiteral("経過時間 %1秒（制限時間 %2秒）").arg(target).arg(limit)))
        << names.join(u'|').toStdString();
}
