// The drill run in the program's own window, with sounds that take time: while a sound plays the
// drill's clock falls due, and its tick runs at the next pending-events step of the handler that played
// it, as on a school PC.
#include "drill/LevelCatalogue.h"
#include "drill/forms/DrillScreen.h"
#include "platform/FileLock.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "records/forms/ResultScreen.h"
#include "records/forms/ResultsBusyPanel.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "startup/forms/MainWindow.h"
#include "startup/forms/QtMessageBoxes.h"
#include "support/TestSupport.h"
#include "support/gui/GuiTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using records::ResultsBusyPanel;
using records::ResultScreen;

using namespace testing_support;

namespace {

constexpr int kLevel = 2;
constexpr int kMinimumTime = 6; // a time limit of 30 s
constexpr int kLimitMs = 5 * kMinimumTime * 1000;
constexpr qint64 kSoundMs = 2000;

class DrillInWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error))
            << error.toStdString();
        catalogue::setUpLevels(state->catalogue);
        state->standards.minimumTime[kLevel] = kMinimumTime;
        state->standards.targetTime[kLevel] = 2 * kMinimumTime;
        state->run.studentNumber = 152;
        state->run.studentName = QStringLiteral("佐藤美咲");
        state->run.nameConfirmedTime = 15 * 3600 + 20 * 60;
        writeIdiomFile(inst.applicationFolder, sampleQuestions(), 1);
        records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                                   state->statistics, fakes.services);
        window = std::make_unique<MainWindow>(*state, fakes.services, inst.applicationFolder);
        window->show();
    }

    void start()
    {
        window->showDrill(kLevel);
        settle();
        ASSERT_NE(drill(), nullptr);
        auto *clock = drill()->findChild<QTimer *>(QStringLiteral("sTimer1"));
        ASSERT_NE(clock, nullptr);
        ASSERT_TRUE(clock->isActive());
        fakes.clock.drive(clock);
    }

    drill::DrillScreen *drill() { return qobject_cast<drill::DrillScreen *>(window->currentScreen()); }
    ResultScreen *result() { return qobject_cast<ResultScreen *>(window->currentScreen()); }

    QString text(const QString &name)
    {
        auto *label = window->currentScreen()->findChild<QLabel *>(name);
        return label ? label->text() : QStringLiteral("<no %1>").arg(name);
    }

    QPushButton *visibleButton(const QString &family, int count, const QString &caption)
    {
        for (int i = 1; i <= count; ++i) {
            auto *b =
                window->currentScreen()->findChild<QPushButton *>(QStringLiteral("%1_%2").arg(family).arg(i));
            if (b && b->isVisible() && b->isEnabled() && b->text() == caption)
                return b;
        }
        ADD_FAILURE() << "no button " << family.toStdString() << " showing " << caption.toStdString();
        return nullptr;
    }

    void click(QPushButton *button)
    {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    Question currentQuestion()
    {
        for (const Question &q : sampleQuestions()) {
            if (q.meaning == text(QStringLiteral("Label9")))
                return q;
        }
        ADD_FAILURE() << "no question with the meaning shown";
        return {};
    }

    void answerReading(const Question &q)
    {
        for (QChar c : q.reading.left(4))
            click(visibleButton(QStringLiteral("Label15"), 6, QString(c)));
    }

    void pickIdiom(const QString &idiom)
    {
        for (QChar c : idiom)
            click(visibleButton(QStringLiteral("Label14"), 12, QString(c)));
    }

    QList<records::ResultRecord> records()
    {
        QString error;
        return testing_support::valueOrEmpty(
            records::readLastRecords(records::resultsFilePath(inst.dataFolder), 1000, fakes.wait), &error);
    }

    // From now on every sound takes two seconds of the clock, and what fell due meanwhile runs.
    void soundsTakeTime()
    {
        fakes.media.playMs = kSoundMs;
        fakes.media.eventsAfterPlay = true;
    }

    // The drill ended by its time limit: one record of 99999, and the result screen shows it.
    void expectTimeOutOnTheResultScreen()
    {
        settle();
        ASSERT_NE(result(), nullptr) << "the result screen is shown";
        EXPECT_EQ(state->lastDrill.drillEndReason, 1);
        EXPECT_EQ(text(QStringLiteral("Label20")), QStringLiteral("時間切れ"));
        EXPECT_EQ(text(QStringLiteral("Label18")), QStringLiteral("記録なし"));
        const QList<records::ResultRecord> written = records();
        ASSERT_EQ(written.size(), 1);
        EXPECT_EQ(written[0].time, 99999);
    }

    Installation inst;
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(DrillInWindow, TimeLimitPassingDuringTheVoiceOfTheNextQuestionAfterARightIdiom)
{
    start();
    const Question q = currentQuestion();
    answerReading(q);
    pickIdiom(q.idiom);
    fakes.clock.advanceMs(kLimitMs - 5000);
    soundsTakeTime();
    // The right-answer sound and the reading's voice pass the limit while the judgement holds the
    // time-out back; the next question's voice then lets it happen.
    click(window->currentScreen()->findChild<QPushButton *>(QStringLiteral("Command3")));
    expectTimeOutOnTheResultScreen();
}

TEST_F(DrillInWindow, TimeLimitPassingDuringTheVoiceAfterNextOnTheCorrectionPanel)
{
    start();
    const Question q = currentQuestion();
    answerReading(q);
    QString wrong = q.idiom;
    std::swap(wrong[0], wrong[3]);
    pickIdiom(wrong);
    click(window->currentScreen()->findChild<QPushButton *>(QStringLiteral("Command3")));
    ASSERT_TRUE(window->currentScreen()->findChild<QWidget *>(QStringLiteral("Picture3"))->isVisible());
    fakes.clock.advanceMs(kLimitMs - 1000);
    soundsTakeTime();
    click(window->currentScreen()->findChild<QPushButton *>(QStringLiteral("Command4")));
    expectTimeOutOnTheResultScreen();
}

TEST_F(DrillInWindow, TimeLimitPassingBeforeTheFirstPendingEventsStepOfAKanaPick)
{
    start();
    const Question q = currentQuestion();
    soundsTakeTime();
    fakes.clock.advanceMs(kLimitMs); // the tick that ends the drill waits for the next events step
    // A wrong kana, which would be judged at once with the wrong-answer sound.
    QPushButton *wrong = nullptr;
    for (int i = 1; i <= 6 && !wrong; ++i) {
        auto *b = drill()->findChild<QPushButton *>(QStringLiteral("Label15_%1").arg(i));
        if (b->text() != q.reading.left(1))
            wrong = b;
    }
    const int soundsBefore = int(fakes.media.commands.size());
    click(wrong);
    expectTimeOutOnTheResultScreen();
    EXPECT_EQ(int(fakes.media.commands.size()), soundsBefore) << "the pick that met the end is not judged";
    EXPECT_EQ(state->sound.soundErrorCount, 0);
}

// Another PC holds the results file when the drill times out: the window's wait notice and the drill's
// end notice ("時間切れ") stand side by side, the one never over the other, until the record is written.
TEST_F(DrillInWindow, TheWaitForAnotherPcsLockLeavesTheEndNoticeInSight)
{
    start();
    platform::LockedFile otherPc;
    ASSERT_TRUE(otherPc.open(records::resultsFilePath(inst.dataFolder),
                             platform::LockedFile::Access::ReadWriteCreate));
    ASSERT_EQ(otherPc.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    auto *panel = window->findChild<ResultsBusyPanel *>();
    ASSERT_NE(panel, nullptr);
    bool panelShown = false;
    bool noticeShown = false;
    bool timeUpShown = false;
    QRect panelPlace;
    QRect noticePlace;
    QTimer::singleShot(1500, [&] {
        if (auto *notice = drill() ? drill()->findChild<QWidget *>(QStringLiteral("sPicture2")) : nullptr) {
            noticeShown = notice->isVisible();
            timeUpShown = drill()->findChild<QWidget *>(QStringLiteral("lblsss2"))->isVisible();
            noticePlace = QRect(notice->mapTo(window.get(), QPoint(0, 0)), notice->size());
        }
        panelShown = panel->isVisible();
        panelPlace = panel->geometry();
        saveScreenshot(window.get(), QStringLiteral("drill-time-up-waiting-for-the-results-file"));
        otherPc.close();
    });
    fakes.clock.advanceMs(kLimitMs);
    expectTimeOutOnTheResultScreen();
    EXPECT_TRUE(panelShown);
    EXPECT_TRUE(noticeShown);
    EXPECT_TRUE(timeUpShown);
    EXPECT_FALSE(panelPlace.intersects(noticePlace))
        << "panel " << panelPlace.y() << "-" << panelPlace.bottom() << ", notice " << noticePlace.y() << "-"
        << noticePlace.bottom();
    EXPECT_TRUE(window->rect().contains(panelPlace));
}

// Whatever asks for another screen from inside a handler of the drill (here, an event handled while a
// sound of a kana pick plays), the drill screen stays, alive and current, until that handler has
// returned, however many pending-events steps and deferred deletions it still runs.
TEST_F(DrillInWindow, AScreenChangeAskedForUnderAHandlerWaitsUntilTheHandlerHasReturned)
{
    start();
    const Question q = currentQuestion();
    QPointer<QWidget> drillScreen = drill();
    bool asked = false;
    bool aliveAfterEvents = false;
    bool currentAfterEvents = false;
    fakes.media.duringPlay = [&] {
        if (asked)
            return;
        asked = true;
        window->showResult();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveAfterEvents = !drillScreen.isNull();
        currentAfterEvents = window->currentScreen() == drillScreen.data();
    };
    QPushButton *wrong = nullptr;
    for (int i = 1; i <= 6 && !wrong; ++i) {
        auto *b = drill()->findChild<QPushButton *>(QStringLiteral("Label15_%1").arg(i));
        if (b->text() != q.reading.left(1))
            wrong = b;
    }
    click(wrong); // judged at once: the wrong-answer sound plays
    ASSERT_TRUE(asked);
    EXPECT_TRUE(aliveAfterEvents);
    EXPECT_TRUE(currentAfterEvents);
    EXPECT_TRUE(drillScreen.isNull()) << "once the click has been handled, the change is made";
    EXPECT_NE(result(), nullptr);
    EXPECT_FALSE(window->screenChangeWaiting());
}

// The fourth failed answer sound in a row: the real box stands while the student fetches the teacher.
// Behind it the drill's clock passes the time limit and falls due, yet nothing runs: no time-out, no
// record, no result screen. When it is closed the program ends.
TEST_F(DrillInWindow, NothingRunsBehindTheSoundErrorBoxAndTheProgramEndsAfterIt)
{
    QtMessageBoxes boxes;
    Services services{fakes.clock,      fakes.random, boxes,      fakes.launcher,
                      fakes.programEnd, fakes.media,  fakes.wait, fakes.outputDialogs};
    window = std::make_unique<MainWindow>(*state, services, inst.applicationFolder);
    window->show();
    start();
    const Question q = currentQuestion();
    state->sound.soundErrorCount = 3;
    fakes.media.resultFor = [](const QString &command) {
        return command.contains(QStringLiteral("boo.wav")) ? 263 : 0;
    };

    QString boxText;
    int recordsBehindTheBox = -1;
    bool endBegunBehindTheBox = true;
    QWidget *screenBehindTheBox = nullptr;
    QTimer::singleShot(50, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "the sound error box is up";
        boxText = box->windowTitle() + u'|' + box->text();
        fakes.clock.advanceMs(kLimitMs + 5000); // the drill's clock falls due
        QCoreApplication::processEvents();
        QTest::qWait(1100); // and its real timers too
        recordsBehindTheBox = int(records().size());
        endBegunBehindTheBox = state->lastDrill.endingInProgress;
        screenBehindTheBox = window->currentScreen();
        box->button(QMessageBox::Ok)->click();
    });
    QPushButton *wrong = nullptr;
    for (int i = 1; i <= 6 && !wrong; ++i) {
        auto *b = drill()->findChild<QPushButton *>(QStringLiteral("Label15_%1").arg(i));
        if (b->text() != q.reading.left(1))
            wrong = b;
    }
    QWidget *const drillScreen = drill();
    click(wrong);
    EXPECT_TRUE(boxText.startsWith(QStringLiteral("音声エラー|音声がでません。先生を呼びなさい。")))
        << boxText.toStdString();
    EXPECT_EQ(recordsBehindTheBox, 0);
    EXPECT_FALSE(endBegunBehindTheBox);
    EXPECT_EQ(screenBehindTheBox, drillScreen);
    EXPECT_TRUE(fakes.programEnd.ended);
    EXPECT_EQ(fakes.programEnd.status, 3);
    window.reset();
}
