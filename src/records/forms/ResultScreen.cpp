#include "records/forms/ResultScreen.h"

#include "app/forms/Controls.h"
#include "app/forms/InputDiscard.h"
#include "app/forms/Style.h"
#include "app/forms/TextFit.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace records {

namespace style = app::style;

namespace {

QLabel *label(QWidget *parent, const QString &name, qreal pt, const QRect &geometry, bool bold = false,
              Qt::Alignment alignment = Qt::AlignCenter)
{
    QLabel *l = app::controls::label(parent, name, QString(), style::font(pt, bold), geometry, alignment);
    style::ink(l);
    return l;
}

// The student's name, and the size a long name may shrink to (20 characters fit at 20 pt).
constexpr int kNamePointSize = 26;
constexpr int kSmallestNamePointSize = 14;

} // namespace

ResultScreen::ResultScreen(const Parts &parts, AppContext &context, QWidget *parent)
    : QWidget(parent), m_parts(parts), m_context(context), m_session(parts.session, context.services)
{
    setObjectName(QStringLiteral("FrmSyuuryou"));
    setWindowTitle(QStringLiteral("終了"));
    setAccessibleName(windowTitle()); // a screen inside the window is reached by its caption
    resize(1024, 768);

    m_title = label(this, QStringLiteral("Label15"), 20, QRect(60, 40, 300, 44), true,
                    Qt::AlignLeft | Qt::AlignVCenter);
    m_levelName = label(this, QStringLiteral("Label16"), 20, QRect(360, 40, 300, 44), true,
                        Qt::AlignLeft | Qt::AlignVCenter);
    // Ends before the day counts; a long name is drawn smaller to fit (see activate).
    m_name = label(this, QStringLiteral("Label17"), kNamePointSize, QRect(60, 96, 570, 50), true,
                   Qt::AlignLeft | Qt::AlignVCenter);
    m_levelCount = label(this, QStringLiteral("Label13"), 18, QRect(640, 44, 330, 40), false,
                         Qt::AlignRight | Qt::AlignVCenter);
    m_dayCount = label(this, QStringLiteral("Label14"), 18, QRect(640, 96, 330, 40), false,
                       Qt::AlignRight | Qt::AlignVCenter);
    m_time = label(this, QStringLiteral("Label18"), 40, QRect(60, 190, 904, 80), true);
    m_points = label(this, QStringLiteral("Label19"), 26, QRect(60, 280, 904, 56), true);
    m_message = label(this, QStringLiteral("Label20"), 34, QRect(60, 350, 904, 64), true);
    style::setRole(m_message, style::Role::Mistake);
    m_message->hide();
    m_cleared = label(this, QStringLiteral("Label2"), 22, QRect(312, 426, 400, 50), true);
    m_cleared->setText(QStringLiteral("このレベルクリア"));
    style::setRole(m_cleared, style::Role::Cleared);
    m_cleared->hide();

    m_congratulation = app::controls::frame(this, QStringLiteral("Picture1"), QRect(162, 180, 700, 260));
    style::setRole(m_congratulation, style::Role::Celebration);
    auto *congratulation = label(m_congratulation, QStringLiteral("Label1"), 30, QRect(0, 0, 700, 260), true);
    congratulation->setText(QStringLiteral("目標レベルクリア。おめでとう！"));
    m_congratulation->hide();

    m_menu = app::controls::button(this, QStringLiteral("Command4"), QStringLiteral("メニューへ"),
                                   style::font(22, true), QRect(200, 560, 280, 100));
    style::accentButton(m_menu, style::Size::Large);
    m_menu->hide();
    m_again = app::controls::button(this, QStringLiteral("Command5"), QStringLiteral("もう一度"),
                                    style::font(22, true), QRect(544, 560, 280, 100));
    style::plainButton(m_again, style::Size::Large);
    m_again->hide();
    connect(m_menu, &QPushButton::clicked, this, &ResultScreen::menuClicked);
    connect(m_again, &QPushButton::clicked, this, &ResultScreen::againClicked);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(500);
    connect(m_timer1, &QTimer::timeout, this, &ResultScreen::timer1Tick);
}

void ResultScreen::render()
{
    const records::ResultSession::View &v = m_session.view();
    m_levelCount->setText(v.levelCount);
    m_dayCount->setText(v.dayCount);
    m_title->setText(v.title);
    m_levelName->setText(v.levelName);
    app::controls::fitText(m_name, v.name, kNamePointSize, kSmallestNamePointSize, true);
    m_time->setText(v.time);
    m_points->setText(v.points);
    m_message->setText(v.message);
    m_message->setVisible(v.messageShown);
    m_cleared->setText(v.cleared);
    m_cleared->setVisible(v.clearedShown);
    m_congratulation->setVisible(v.congratulationShown);
    m_menu->setVisible(v.menuShown);
    m_menu->setEnabled(v.menuEnabled);
    m_again->setVisible(v.againShown);
    m_again->setEnabled(v.againEnabled);
}

void ResultScreen::activate()
{
    m_session.begin();
    render();
    if (app::report(m_context.services, m_session.recompute()))
        return;
    render();
    QCoreApplication::processEvents();
    m_timer1->start();

    m_session.fillIn();
    render();
    QCoreApplication::processEvents();
    const QList<records::result_screen::Sound> sounds = m_session.announce();
    render();
    // The screen as it stands is painted now, without letting events run: from here to the end no
    // events run between the sounds, or Timer1, due by then, would put the congratulation away and
    // show the buttons in the middle of the fanfare.
    repaint();
    for (const records::result_screen::Sound &sound : sounds) {
        if (sound.kind != 0) {
            if (app::report(m_context.services,
                            sound::playKindSound(m_parts.sound, m_parts.session.settings.soundFolder,
                                                 m_context.services, sound.kind)))
                return;
        } else {
            sound::playFixedSound(m_parts.sound, m_parts.session.settings.soundFolder, m_context.services,
                                  sound.fixedFile);
        }
    }
    m_session.finish();
    render();
    // Clicks and keys made while the sounds played are not meant for the buttons that may appear now.
    InputDiscard::dropPendingInput();
}

void ResultScreen::timer1Tick()
{
    m_session.timerTick();
    render();
    m_menu->setFocus();
    m_timer1->stop();
}

void ResultScreen::menuClicked()
{
    m_session.menu();
    render();
    m_context.navigator.showHub();
}

void ResultScreen::againClicked()
{
    const int level = m_session.again();
    render();
    m_context.navigator.showDrill(level);
}

void ResultScreen::paintEvent(QPaintEvent *)
{
    // The background picture: a calm sky with a soft sun.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor::fromRgb(style::kSkyTop));
    sky.setColorAt(1.0, QColor::fromRgb(style::kSkyBottom));
    p.fillRect(rect(), sky);
    p.setPen(Qt::NoPen);
    QColor sun = QColor::fromRgb(style::kSun);
    sun.setAlpha(160);
    p.setBrush(sun);
    p.drawEllipse(QPoint(900, 690), 190, 190);
    QColor panel = QColor::fromRgb(style::kPanel);
    panel.setAlpha(200);
    p.setBrush(panel);
    p.drawRoundedRect(QRect(40, 24, 944, 480), 24, 24);
}

} // namespace records
