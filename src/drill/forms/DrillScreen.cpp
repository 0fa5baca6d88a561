#include "drill/forms/DrillScreen.h"

#include "app/forms/Controls.h"
#include "app/forms/InputDiscard.h"
#include "app/forms/Style.h"
#include "app/forms/TextFit.h"
#include "app/forms/WaitingPanel.h"
#include "drill/IdiomData.h"
#include "drill/LevelCatalogue.h"
#include "drill/StatusPanel.h"
#include "platform/RandomSource.h"
#include "records/Judgement.h"
#include "records/MistakeHistory.h"
#include "records/ResultRecord.h"
#include "records/Statistics.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace drill {

namespace style = app::style;

namespace {

// The lamps' three rows of ten (items 10–19, 20–29, 30–39) with their legends and colours.
const char *const kLampLegends[] = {"Pass", "Best", "YourBest"};
const style::Lamp kLampKinds[] = {style::Lamp::Pass, style::Lamp::Best, style::Lamp::OwnBest};

// The status panel's name and school name, and the size they may shrink to.
constexpr int kNamePointSize = 18;
constexpr int kSchoolPointSize = 13;
constexpr int kSmallestPointSize = 10;

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, qreal pt, const QRect &geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool bold = false)
{
    return app::controls::label(parent, name, text, style::font(pt, bold), geometry, alignment);
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, qreal pt,
                        const QRect &geometry, bool action = false)
{
    QPushButton *button = app::controls::button(parent, name, text, style::font(pt, action), geometry);
    if (action)
        style::accentButton(button);
    else
        style::plainButton(button);
    return button;
}

} // namespace

DrillScreen::DrillScreen(const Parts &parts, AppContext &context, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context)
{
    setObjectName(QStringLiteral("MainFrm"));
    style::background(this, QColor::fromRgb(style::kCanvas));
    resize(1024, 768);
    buildScreen();
    // Form load: the random numbers are seeded from the clock.
    platform::seedFromClock(m_context.services.random, m_context.services.clock);
}

DrillScreen::~DrillScreen() = default;

bool DrillScreen::ending() const
{
    return m_programEnding || m_parts.lastDrill.endingInProgress;
}

bool DrillScreen::isPractice() const
{
    return m_start.practice;
}

void DrillScreen::buildScreen()
{
    // Status panel
    auto *status = app::controls::frame(this, QStringLiteral("statusPanel"), QRect(0, 0, 1024, 128));
    style::setRole(status, style::Role::StatusBar);
    status->setAccessibleName(QStringLiteral("状況"));
    makeLabel(status, QStringLiteral("sLabel2"), QString(), 16.8, QRect(16, 6, 170, 36),
              Qt::AlignLeft | Qt::AlignVCenter, true);
    // A name of the roster's full 20 characters fits its place at 12 pt; the name and the school name
    // are drawn smaller when a font draws them wider (see initialSettings).
    makeLabel(status, QStringLiteral("sLabel7"), QString(), kNamePointSize, QRect(190, 6, 330, 36),
              Qt::AlignLeft | Qt::AlignVCenter, true);
    makeLabel(status, QStringLiteral("sLabel14"), QString(), kSchoolPointSize, QRect(530, 8, 166, 34));
    auto caption = [&](const QString &text, const QRect &r) {
        style::quiet(makeLabel(status, QString(), text, 13, r));
    };
    auto figure = [&](const QString &name, const QRect &r, qreal pt = 18) {
        QLabel *l = makeLabel(status, name, QString(), pt, r, Qt::AlignRight | Qt::AlignVCenter, true);
        style::setRole(l, style::Role::Figure);
        return l;
    };
    caption(QStringLiteral("レベル"), QRect(700, 8, 60, 34));
    figure(QStringLiteral("sLabel8"), QRect(760, 6, 250, 36))->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption(QStringLiteral("残り"), QRect(16, 46, 44, 34));
    m_remaining = figure(QStringLiteral("sLabel9"), QRect(60, 44, 50, 36));
    caption(QStringLiteral("問"), QRect(114, 46, 30, 34));
    caption(QStringLiteral("タイム"), QRect(160, 46, 60, 34));
    m_elapsed = figure(QStringLiteral("sLabel10"), QRect(220, 44, 70, 36));
    caption(QStringLiteral("秒"), QRect(294, 46, 30, 34));
    caption(QStringLiteral("このレベル"), QRect(340, 46, 100, 34));
    figure(QStringLiteral("sLabel11"), QRect(440, 44, 40, 36));
    caption(QStringLiteral("回目"), QRect(484, 46, 44, 34));
    caption(QStringLiteral("本日"), QRect(540, 46, 44, 34));
    figure(QStringLiteral("sLabel12"), QRect(584, 44, 40, 36));
    caption(QStringLiteral("回目"), QRect(628, 46, 44, 34));
    caption(QStringLiteral("起動後"), QRect(16, 86, 60, 34));
    m_minutes = figure(QStringLiteral("sLabel13"), QRect(76, 84, 44, 36), 16);
    caption(QStringLiteral("分"), QRect(124, 86, 24, 34));

    m_timeFrame = app::controls::frame(status, QStringLiteral("sShape5"), QRect(160, 92, 510, 24));
    m_timeBar = app::controls::frame(m_timeFrame, QStringLiteral("sShape2"), QRect(2, 2, 0, 20));
    m_targetMarker = app::controls::frame(m_timeFrame, QStringLiteral("sShape3"), QRect(0, 0, 0, 24));
    m_minimumMarker = app::controls::frame(m_timeFrame, QStringLiteral("sShape4"), QRect(0, 0, 0, 24));
    style::setRole(m_timeFrame, style::Role::Gauge);
    style::setRole(m_timeBar, style::Role::TimeBar);
    style::setRole(m_targetMarker, style::Role::TargetLine);
    style::setRole(m_minimumMarker, style::Role::MinimumLine);
    m_timeBar->setAccessibleName(QStringLiteral("経過時間のバー"));
    m_targetMarker->setAccessibleName(QStringLiteral("目標タイムの線"));
    m_minimumMarker->setAccessibleName(QStringLiteral("最低ラインの線"));

    for (int row = 0; row < 3; ++row) {
        const int y = 50 + row * 24;
        style::quiet(makeLabel(status, QString(), QString::fromLatin1(kLampLegends[row]), 11,
                               QRect(700, y - 2, 80, 22)));
        for (int i = 0; i < 10; ++i) {
            const int item = 10 + row * 10 + i;
            auto *lamp = new QLabel(status);
            lamp->setObjectName(QStringLiteral("sPicture3_%1").arg(item));
            lamp->setGeometry(784 + i * 22, y, 18, 18);
            m_lamps[item] = lamp;
            setLampLit(item, true);
        }
    }

    // Question and answers
    m_timeFrame->setAccessibleName(QStringLiteral("経過時間"));

    m_question = makeLabel(this, QStringLiteral("Label9"), QString(), 28, QRect(32, 138, 960, 108),
                           Qt::AlignCenter, true);
    m_question->setWordWrap(true);
    style::card(m_question);
    for (int i = 1; i <= 4; ++i) {
        m_boxes[i] = makeLabel(this, QStringLiteral("Label10_%1").arg(i), QString(), 46,
                               QRect(40 + (i - 1) * 100, 256, 90, 90), Qt::AlignCenter, true);
        style::setRole(m_boxes[i], style::Role::Box);
        setBox(i, QString());
    }
    m_readingLine = makeLabel(this, QStringLiteral("Label1"), QString(), 24, QRect(40, 350, 420, 40),
                              Qt::AlignLeft | Qt::AlignVCenter, true);
    style::ink(m_readingLine);

    m_correctionPanel = app::controls::frame(this, QStringLiteral("Picture3"), QRect(470, 252, 522, 138));
    m_correctionPanel->setAccessibleName(QStringLiteral("正しい答え"));
    style::setRole(m_correctionPanel, style::Role::MistakePanel);
    style::setRole(makeLabel(m_correctionPanel, QStringLiteral("lblCorrection"), QStringLiteral("正しい答え"),
                             14, QRect(14, 8, 140, 26), Qt::AlignLeft | Qt::AlignVCenter, true),
                   style::Role::Mistake);
    for (int i = 5; i <= 8; ++i) {
        m_boxes[i] = makeLabel(m_correctionPanel, QStringLiteral("Label10_%1").arg(i), QString(), 34,
                               QRect(14 + (i - 5) * 70, 38, 62, 62), Qt::AlignCenter, true);
        style::setRole(m_boxes[i], style::Role::Correction);
        setBox(i, QString());
    }
    m_correctionReading = makeLabel(m_correctionPanel, QStringLiteral("Label2"), QString(), 18,
                                    QRect(14, 104, 330, 28), Qt::AlignLeft | Qt::AlignVCenter, true);
    m_correctionNext = makeButton(m_correctionPanel, QStringLiteral("Command4"), QStringLiteral("次へ"), 22,
                                  QRect(360, 40, 146, 80), true);

    // Kanji panel with the reading panel over its buttons
    m_kanjiPanel = app::controls::frame(this, QStringLiteral("Picture4"), QRect(32, 398, 960, 358));
    m_kanjiPanel->setAccessibleName(QStringLiteral("漢字を選ぶ"));
    style::card(m_kanjiPanel);
    for (int j = 1; j <= 12; ++j) {
        const int row = (j - 1) / 6, col = (j - 1) % 6;
        m_kanji[j] = makeButton(m_kanjiPanel, QStringLiteral("Label14_%1").arg(j), QString(), 42,
                                QRect(16 + col * 118, 16 + row * 112, 108, 100));
    }
    m_judge = makeButton(m_kanjiPanel, QStringLiteral("Command3"), QStringLiteral("O.K."), 24,
                         QRect(740, 16, 200, 100), true);
    m_clearAll = makeButton(m_kanjiPanel, QStringLiteral("Command2"), QStringLiteral("クリア"), 16,
                            QRect(740, 128, 200, 48));
    m_clearLast = makeButton(m_kanjiPanel, QStringLiteral("Command6"), QStringLiteral("１文字クリア"), 16,
                             QRect(740, 184, 200, 48));
    makeLabel(m_kanjiPanel, QStringLiteral("Label5"),
              QStringLiteral("音声ヒント：１０秒追加　　　間違い：２０秒追加＋１回追加"), 13,
              QRect(16, 318, 930, 30));

    m_readingPanel = app::controls::frame(m_kanjiPanel, QStringLiteral("Picture2"), QRect(8, 8, 944, 300));
    m_readingPanel->setAccessibleName(QStringLiteral("読みを選ぶ"));
    style::setRole(m_readingPanel, style::Role::Choice);
    makeLabel(m_readingPanel, QStringLiteral("Label3"), QStringLiteral("はじめの４文字を選びなさい"), 22,
              QRect(20, 12, 600, 40), Qt::AlignLeft | Qt::AlignVCenter, true);
    makeLabel(m_readingPanel, QStringLiteral("Label4"),
              QStringLiteral("間違うと１０秒追加　　 一文字ずつ答えが出ます"), 13, QRect(20, 54, 700, 28));
    for (int i = 1; i <= 6; ++i)
        m_kana[i] = makeButton(m_readingPanel, QStringLiteral("Label15_%1").arg(i), QString(), 44,
                               QRect(20 + (i - 1) * 122, 100, 110, 110));
    m_readingContinue = makeButton(m_readingPanel, QStringLiteral("Command14"), QStringLiteral("O.K."), 22,
                                   QRect(760, 100, 160, 110), true);

    // Practice buttons
    m_back =
        makeButton(this, QStringLiteral("Command8"), QStringLiteral("戻る"), 20, QRect(40, 640, 200, 80));
    m_nextCard = makeButton(this, QStringLiteral("Command10"), QStringLiteral("次へ"), 22,
                            QRect(700, 440, 260, 100), true);
    m_memorised = makeButton(this, QStringLiteral("Command9"), QStringLiteral("この問題覚えた"), 20,
                             QRect(420, 440, 260, 100));
    m_showAnswer = makeButton(this, QStringLiteral("Command11"), QStringLiteral("答えを見る"), 22,
                              QRect(700, 440, 260, 100), true);

    // End notice
    m_endNotice = app::controls::frame(this, QStringLiteral("sPicture2"), QRect(262, 300, 500, 170));
    app::waiting::keepInSight(m_endNotice); // a wait for the results file at the end shows beside it
    m_endNotice->setAccessibleName(QStringLiteral("終了"));
    style::setRole(m_endNotice, style::Role::Notice);
    m_recordingLabel = makeLabel(m_endNotice, QStringLiteral("lblsss1"), QStringLiteral("成績記録中"), 36,
                                 QRect(0, 0, 500, 170), Qt::AlignCenter, true);
    m_timeUpLabel = makeLabel(m_endNotice, QStringLiteral("lblsss2"), QStringLiteral("時間切れ"), 40,
                              QRect(0, 0, 500, 170), Qt::AlignCenter, true);
    style::setRole(m_timeUpLabel, style::Role::Mistake);

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("sTimer1"));
    m_clock->setInterval(1000);
    m_minutesClock = new QTimer(this);
    m_minutesClock->setObjectName(QStringLiteral("sTimer2"));
    m_minutesClock->setInterval(10000);

    for (int i = 1; i <= 6; ++i)
        connect(m_kana[i], &QPushButton::clicked, this, [this, i] { kanaClicked(i); });
    for (int j = 1; j <= 12; ++j)
        connect(m_kanji[j], &QPushButton::clicked, this, [this, j] { kanjiClicked(j); });
    connect(m_readingContinue, &QPushButton::clicked, this, &DrillScreen::readingContinueClicked);
    connect(m_judge, &QPushButton::clicked, this, &DrillScreen::judgeClicked);
    connect(m_clearAll, &QPushButton::clicked, this, &DrillScreen::clearAllClicked);
    connect(m_clearLast, &QPushButton::clicked, this, &DrillScreen::clearLastClicked);
    connect(m_correctionNext, &QPushButton::clicked, this, &DrillScreen::correctionNextClicked);
    connect(m_back, &QPushButton::clicked, this, &DrillScreen::backClicked);
    connect(m_nextCard, &QPushButton::clicked, this, &DrillScreen::nextCardClicked);
    connect(m_memorised, &QPushButton::clicked, this, &DrillScreen::memorisedClicked);
    connect(m_showAnswer, &QPushButton::clicked, this, &DrillScreen::showAnswerClicked);
    connect(m_clock, &QTimer::timeout, this, &DrillScreen::clockTick);
    connect(m_minutesClock, &QTimer::timeout, this, &DrillScreen::minutesTick);

    // Until the activation decides, nothing but the status panel is shown.
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_readingPanel, m_kanjiPanel, m_correctionPanel, m_endNotice,
                                          m_back, m_nextCard, m_memorised, m_showAnswer, m_readingContinue})
        w->hide();
    m_minutesClock->start();
}

void DrillScreen::activate()
{
    initialSettings();
    QuestionList questions;
    if (!loadLevelQuestions(questions))
        return;
    startSession(std::move(questions));
}

void DrillScreen::initialSettings()
{
    const int level = std::clamp<int>(m_parts.run.currentLevel, 0, kMaxLevel);
    m_start = startLevel(m_parts.drill, m_parts.lastDrill, m_parts.catalogue, level,
                         {m_parts.standards.targetTime[level], m_parts.standards.minimumTime[level]},
                         m_timeFrame->width());
    if (m_start.recorded) {
        m_elapsed->setText(QStringLiteral("0"));
        m_timeBar->setGeometry(TimeBar::kBorder, TimeBar::kBorder, 0,
                               m_timeFrame->height() - 2 * TimeBar::kBorder);
        m_targetMarker->setGeometry(0, 0, m_start.timeBar.targetMarker, m_timeFrame->height());
        m_minimumMarker->setGeometry(0, 0, m_start.timeBar.minimumMarker, m_timeFrame->height());
        describeTimeBar(0);
    }
    const StatusTexts texts = statusTexts(
        m_parts.catalogue, m_parts.run, m_parts.settings.schoolName,
        records::todayRuns(m_parts.statistics, m_parts.run.currentLevel, m_parts.run.studentNumber));
    auto *title = findChild<QLabel *>(QStringLiteral("sLabel2"));
    title->setText(texts.title);
    title->setFont(style::font(texts.titlePointSize, true));
    app::controls::fitText(findChild<QLabel *>(QStringLiteral("sLabel7")), texts.name, kNamePointSize,
                           kSmallestPointSize, true);
    findChild<QLabel *>(QStringLiteral("sLabel8"))->setText(texts.level);
    app::controls::fitText(findChild<QLabel *>(QStringLiteral("sLabel14")), texts.school, kSchoolPointSize,
                           kSmallestPointSize, false);
    findChild<QLabel *>(QStringLiteral("sLabel11"))->setText(texts.runAtLevel);
    findChild<QLabel *>(QStringLiteral("sLabel12"))->setText(texts.runToday);
    minutesTick();
}

bool DrillScreen::loadLevelQuestions(QuestionList &questions)
{
    const QString nominal = m_parts.settings.appFolder + QString::fromUtf16(idioms::kNominalFileName);
    if (app::Status failed = idioms::readIdiomData(nominal, m_parts.idioms)) {
        app::report(m_context.services, app::titled(std::move(failed), QStringLiteral("問題ファイル")));
        leaveForHub();
        return false;
    }
    questions = idioms::questionsForLevel(m_parts.idioms, m_parts.run.currentLevel);
    m_remaining->setText(QStringLiteral("10"));
    const QString reason =
        unrunnableReason(questions, isPractice(), catalogue::rangeNumber(m_parts.run.currentLevel),
                         idioms::storedFilePath(nominal));
    if (!reason.isEmpty()) {
        app::report(m_context.services, app::warning(QStringLiteral("問題ファイル"), reason));
        leaveForHub();
        return false;
    }
    return true;
}

void DrillScreen::startSession(QuestionList questions)
{
    Services &services = m_context.services;
    // The clock runs in both modes.
    if (isPractice()) {
        m_practice = std::make_unique<PracticeSession>(std::move(questions), m_parts.lastDrill,
                                                       services.clock, m_start.rules);
        m_practice->start();
        m_clock->start();
        startPractice();
    } else {
        m_test = std::make_unique<TestSession>(std::move(questions), m_parts.lastDrill, services.clock,
                                               services.random, m_start.rules);
        m_test->start();
        m_clock->start();
        makeQuestion();
    }
}

DrillSession *DrillScreen::session() const
{
    if (m_test)
        return m_test.get();
    return m_practice.get();
}

// ---- Practice: flash cards ----

void DrillScreen::startPractice()
{
    const PracticeSession::Card first = m_practice->begin();
    m_back->show();
    m_nextCard->hide();
    m_memorised->hide();
    m_showAnswer->show();
    showCard(first);
}

void DrillScreen::showCard(const PracticeSession::Card &card)
{
    if (!card.turned)
        return;
    setBoxes({});
    m_readingLine->clear();
    if (!card.question)
        return;
    showMeaning(card.question->meaning);
    m_showAnswer->setFocus();
}

void DrillScreen::showPracticeStep(const PracticeSession::Step &step)
{
    switch (step.action) {
    case PracticeSession::Action::Ignored:
        return;
    case PracticeSession::Action::ShowAnswer:
        m_nextCard->show();
        m_memorised->show();
        m_showAnswer->hide();
        if (!step.card.question)
            return;
        for (int i = 1; i <= 4; ++i)
            setBox(i, step.card.question->idiom.mid(i - 1, 1));
        m_readingLine->setText(step.card.question->reading);
        m_nextCard->setFocus();
        return;
    case PracticeSession::Action::ShowCard:
        m_nextCard->hide();
        m_memorised->hide();
        m_showAnswer->show();
        showCard(step.card);
        return;
    case PracticeSession::Action::BackToHub:
        m_clock->stop();
        leaveForHub();
        return;
    }
}

void DrillScreen::showAnswerClicked()
{
    if (m_practice)
        showPracticeStep(m_practice->showAnswer());
}

void DrillScreen::nextCardClicked()
{
    if (m_practice)
        showPracticeStep(m_practice->nextCard());
}

void DrillScreen::memorisedClicked()
{
    if (m_practice)
        showPracticeStep(m_practice->memorised());
}

void DrillScreen::backClicked()
{
    if (m_practice)
        showPracticeStep(m_practice->back());
}

void DrillScreen::leaveForHub()
{
    m_clock->stop();
    m_minutesClock->stop();
    m_context.navigator.showHub();
}

// ---- Test: making and showing a question ----

void DrillScreen::makeQuestion()
{
    if (!m_test)
        return;
    const TestSession::NewQuestion next = m_test->makeQuestion();
    if (next.kind == TestSession::NewQuestion::Kind::Refused)
        return;
    setBoxes({});
    m_readingLine->clear();
    m_judge->setEnabled(true);
    m_clearAll->setEnabled(true);
    m_clearLast->setEnabled(true);
    setKanjiButtonsEnabled(true);
    m_remaining->setText(QString::number(next.remaining));
    if (next.kind == TestSession::NewQuestion::Kind::Complete) {
        finishDrill();
        return;
    }
    const Question &q = m_test->current();
    showMeaning(q.meaning);

    m_kanjiPanel->hide();
    for (int j = 1; j <= 12; ++j) {
        m_kanji[j]->setText(next.kanji.characters[j - 1]);
        m_kanji[j]->setAccessibleName(next.kanji.characters[j - 1]);
        m_kanji[j]->show();
    }
    for (int i = 1; i <= 6; ++i) {
        m_kana[i]->setText(next.kana[i - 1]);
        m_kana[i]->setAccessibleName(next.kana[i - 1]);
        m_kana[i]->show();
    }
    setKanaButtonsEnabled(true);
    m_readingContinue->hide();
    m_readingPanel->show();
    m_judge->hide();

    // The clock may end the drill at each of these steps; the question is then left as it stands.
    QCoreApplication::processEvents();
    if (ending())
        return;
    playVoice(next.voice);
    if (ending())
        return;
    QCoreApplication::processEvents();
    if (ending())
        return;
    m_kanjiPanel->show();
    for (int i = 1; i <= 4; ++i)
        m_boxes[i]->hide();
    m_clearLast->hide();
    m_clearAll->hide();
    m_showAnswer->hide();
    m_test->questionShown();
    m_kana[1]->setFocus();
}

// ---- Test: the reading stage ----

void DrillScreen::kanaClicked(int button)
{
    if (!m_test)
        return;
    const QString kana = m_kana[button]->text();
    const std::optional<QString> line = m_test->pressKana(kana);
    if (!line)
        return;
    m_readingLine->setText(*line);
    QCoreApplication::processEvents();
    if (ending())
        return;
    const TestSession::ReadingPick pick = m_test->pickKana(kana);
    switch (pick.outcome) {
    case ReadingStage::Outcome::Wait:
        m_readingLine->setText(pick.line);
        return;
    case ReadingStage::Outcome::Right:
        playSound(*pick.sound);
        if (ending())
            return;
        m_readingLine->clear();
        m_test->beginKanjiStage();
        beginKanjiStage();
        return;
    case ReadingStage::Outcome::Wrong: {
        playSound(*pick.sound);
        if (ending())
            return;
        const TestSession::ReadingHint hint = m_test->wrongReadingSounded();
        m_readingLine->setText(hint.line);
        if (hint.revealed) {
            // Only the continue button leads on: further picks would only pile up penalties.
            setKanaButtonsEnabled(false);
            m_readingContinue->show();
            m_readingContinue->setFocus();
            QCoreApplication::processEvents();
        }
        return;
    }
    }
}

void DrillScreen::readingContinueClicked()
{
    if (!m_test || !m_test->continueAfterReveal())
        return;
    m_readingContinue->hide();
    m_readingLine->clear();
    beginKanjiStage();
}

void DrillScreen::beginKanjiStage()
{
    m_readingPanel->hide();
    m_judge->show();
    for (int i = 1; i <= 4; ++i)
        m_boxes[i]->show();
    m_clearLast->show();
    m_clearAll->show();
    m_kanji[1]->setFocus();
}

// ---- Test: the kanji stage ----

void DrillScreen::kanjiClicked(int button)
{
    if (!m_test)
        return;
    const auto boxes = m_test->pickKanji(m_kanji[button]->text());
    if (!boxes)
        return;
    if (!m_test->busy()) // "O.K." is shown and enabled
        m_judge->setFocus();
    setBoxes(*boxes);
}

void DrillScreen::clearAllClicked()
{
    const auto boxes = m_test ? m_test->clearAll() : std::nullopt;
    if (!boxes)
        return;
    setBoxes(*boxes);
    m_readingLine->clear();
    m_judge->setFocus();
}

void DrillScreen::clearLastClicked()
{
    const auto boxes = m_test ? m_test->clearLast() : std::nullopt;
    if (!boxes)
        return;
    setBoxes(*boxes);
    m_judge->setFocus();
}

void DrillScreen::judgeClicked()
{
    if (!m_test)
        return;
    const TestSession::Judgement judgement = m_test->judge();
    if (judgement.verdict == TestSession::Judgement::Verdict::Refused)
        return;
    m_judge->setEnabled(false);
    m_clearAll->setEnabled(false);
    m_clearLast->setEnabled(false);
    const Question &q = m_test->current();
    if (judgement.verdict == TestSession::Judgement::Verdict::Right) {
        m_readingLine->setText(q.reading);
        QCoreApplication::processEvents();
        if (ending())
            return;
        playSound(judgement.sound);
        if (ending())
            return;
        playVoice(judgement.voice);
        if (ending())
            return;
        m_test->rightAnswerSounded();
        makeQuestion();
        return;
    }
    for (int i = 1; i <= 4; ++i)
        setBox(4 + i, q.idiom.mid(i - 1, 1));
    m_correctionReading->setText(q.reading);
    m_correctionPanel->show();
    m_correctionNext->show();
    m_correctionNext->setEnabled(false);
    setKanjiButtonsEnabled(false);
    QCoreApplication::processEvents();
    if (ending())
        return;
    playSound(judgement.sound);
    if (ending())
        return;
    QCoreApplication::processEvents();
    if (ending())
        return;
    playVoice(judgement.voice);
    if (ending())
        return;
    m_test->wrongIdiomSounded();
    m_correctionNext->setEnabled(true);
    m_correctionNext->setFocus();
    // The busy flag stays set until "次へ" has made the next question.
}

void DrillScreen::correctionNextClicked()
{
    if (!m_test || !m_test->correctionNext())
        return;
    m_judge->setEnabled(true);
    QCoreApplication::processEvents();
    if (ending())
        return;
    m_correctionPanel->hide();
    m_test->leaveCorrection();
    makeQuestion();
}

// ---- Clocks ----

void DrillScreen::clockTick()
{
    DrillSession *running = session();
    if (!running)
        return;
    const DrillSession::Tick tick = running->tick();
    for (int lamp : tick.lampsOut)
        setLampLit(lamp, false);
    if (m_start.recorded)
        m_elapsed->setText(QString::number(tick.elapsed));
    describeTimeBar(tick.elapsed);
    m_timeBar->setGeometry(TimeBar::kBorder, TimeBar::kBorder, m_start.timeBar.elapsedWidth(tick),
                           m_timeFrame->height() - 2 * TimeBar::kBorder);
    if (tick.timeOut) {
        m_clock->stop();
        finishDrill();
    }
}

void DrillScreen::minutesTick()
{
    m_minutes->setText(QString::number(app::minutesSinceSignIn(
        m_context.services.clock.secondsSinceMidnight(), m_parts.run.nameConfirmedTime)));
}

// ---- The end of a drill ----

void DrillScreen::finishDrill()
{
    QCoreApplication::processEvents();
    DrillSession *running = session();
    if (!running)
        return;
    const DrillSession::End end = running->beginEnd();
    if (end.then == DrillSession::End::Then::Refused)
        return;
    m_recordingLabel->setVisible(!end.timeUp);
    m_timeUpLabel->setVisible(end.timeUp);
    m_endNotice->show();
    m_endNotice->raise();
    QCoreApplication::processEvents();

    if (end.then == DrillSession::End::Then::BackToHub) {
        leaveForHub();
        return;
    }
    if (end.then == DrillSession::End::Then::Stay)
        return;
    m_clock->stop();
    running->fixResultTime();
    const int level = std::clamp<int>(m_parts.run.currentLevel, 0, kMaxLevel);
    app::report(m_context.services,
                records::recordAndJudge({m_parts.settings, m_parts.run, m_parts.standards, m_parts.statistics,
                                         m_parts.results, m_parts.lastDrill},
                                        m_context.services, level));
    // The answer history beside the results file; a failure is shown and the drill goes on.
    if (m_test)
        app::report(m_context.services,
                    records::recordAnswersIn(m_parts.settings.dataFolder,
                                             m_test->answeredQuestions(m_parts.run.studentNumber, level),
                                             m_context.services.wait));
    QCoreApplication::processEvents();
    m_context.services.clock.waitWithEvents(1000);
    m_minutesClock->stop();
    m_context.navigator.showResult();
}

// ---- Sounds ----

void DrillScreen::playSound(Sound sound)
{
    playDroppingInput([&] {
        if (app::report(m_context.services, sound::playKindSound(m_parts.sound, m_parts.settings.soundFolder,
                                                                 m_context.services, int(sound))))
            m_programEnding = true;
    });
}

void DrillScreen::playVoice(Voice voice)
{
    m_parts.sound.voiceFileName =
        idioms::voiceFilePath(m_parts.settings.appFolder, m_test->current().idiom, int(voice));
    playDroppingInput([&] { sound::playVoice(m_parts.sound, m_context.services); });
}

void DrillScreen::showMeaning(const QString &meaning)
{
    m_question->setAlignment(meaningLeftAligned(meaning) ? Qt::AlignLeft | Qt::AlignVCenter
                                                         : Qt::AlignCenter);
    m_question->setText(meaning);
}

void DrillScreen::setBoxes(const std::array<QString, kIdiomLength> &boxes)
{
    for (int i = 1; i <= kIdiomLength; ++i)
        setBox(i, boxes[std::size_t(i - 1)]);
}

void DrillScreen::setBox(int box, const QString &text)
{
    m_boxes[box]->setText(text);
    const QString what =
        box <= 4 ? QStringLiteral("答え%1").arg(box) : QStringLiteral("正しい答え%1").arg(box - 4);
    m_boxes[box]->setAccessibleName(what + u'：' + (text.isEmpty() ? QStringLiteral("空") : text));
}

void DrillScreen::setLampLit(int item, bool lit)
{
    QLabel *lamp = m_lamps[item];
    const int row = (item - 10) / 10;
    style::lamp(lamp, kLampKinds[row], lit);
    lamp->setAccessibleName(QStringLiteral("%1 のランプ%2：%3")
                                .arg(QString::fromLatin1(kLampLegends[row]))
                                .arg((item - 10) % 10 + 1)
                                .arg(lit ? QStringLiteral("点灯") : QStringLiteral("消灯")));
}

void DrillScreen::describeTimeBar(int elapsedSeconds)
{
    const LevelRules &rules = m_start.rules;
    m_timeFrame->setAccessibleName(
        QStringLiteral("経過時間 %1秒（制限時間 %2秒）").arg(elapsedSeconds).arg(rules.timeLimit));
    m_timeFrame->setAccessibleDescription(
        QStringLiteral("目標タイム %1秒、最低ライン %2秒").arg(rules.targetTime).arg(rules.minimumTime));
}

void DrillScreen::setKanjiButtonsEnabled(bool enabled)
{
    for (int j = 1; j <= 12; ++j)
        m_kanji[j]->setEnabled(enabled);
}

void DrillScreen::setKanaButtonsEnabled(bool enabled)
{
    for (int i = 1; i <= 6; ++i)
        m_kana[i]->setEnabled(enabled);
}

} // namespace drill
