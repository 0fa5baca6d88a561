#include "startup/forms/SplashScreen.h"

#include "app/PathRules.h"
#include "app/forms/Style.h"
#include "drill/LevelCatalogue.h"
#include "platform/JapaneseDate.h"
#include "startup/LoadSettings.h"
#include "startup/StartupRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace style = app::style;

namespace {
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

QRect pictureRect(const QWidget *w)
{
    return QRect((w->width() - kPictureWidth) / 2, (w->height() - kPictureHeight) / 2, kPictureWidth,
                 kPictureHeight);
}
} // namespace

SplashScreen::SplashScreen(AppState &state, AppContext &context, QString applicationFolder, QWidget *parent)
    : QWidget(parent), m_state(state), m_context(context), m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(QStringLiteral("Firstfrm"));
    resize(1024, 768);
    setAutoFillBackground(true);

    m_waitLabel = new QLabel(QStringLiteral("Just a moment, please."), this);
    m_waitLabel->setObjectName(QStringLiteral("Label2"));
    m_waitLabel->setFont(style::font(18));
    m_waitLabel->setAlignment(Qt::AlignCenter);

    m_dateLabel = new QLabel(this);
    m_dateLabel->setObjectName(QStringLiteral("Label1"));
    m_dateLabel->setFont(style::font(22, true));
    m_dateLabel->setAlignment(Qt::AlignCenter);
    // Both stand on the splash sheet's paper, whatever the season colour around it.
    style::ink(m_waitLabel);
    style::ink(m_dateLabel);

    m_developmentMarker = new QLabel(QStringLiteral("開発中"), this);
    m_developmentMarker->setObjectName(QStringLiteral("lblDevelopment"));
    m_developmentMarker->setFont(style::font(14, true));
    style::marker(m_developmentMarker);
    m_developmentMarker->hide();

    const QRect picture = pictureRect(this);
    m_dateLabel->setGeometry(picture.left(), picture.bottom() - 130, picture.width(), 44);
    m_waitLabel->setGeometry(picture.left(), picture.bottom() - 72, picture.width(), 36);
    m_developmentMarker->move(16, 16);
    m_developmentMarker->adjustSize();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(100);
    connect(m_timer1, &QTimer::timeout, this, &SplashScreen::timer1Tick);
}

void SplashScreen::begin()
{
    show();
    QCoreApplication::processEvents();

    platform::Clock &clock = m_context.services.clock;
    platform::seedFromClock(m_context.services.random, clock);

    const QDate today = clock.now().date();
    m_dateLabel->setText(platform::japaneseEraDateText(today));

    app::PathsAndSettings &settings = m_state.settings;
    settings.seasonColour = startup::seasonColour(today.month());
    style::background(this, QColor::fromRgb(settings.seasonColour));

    settings.developmentLayout = app::isDevelopmentLayout(m_applicationFolder);
    m_developmentMarker->setVisible(settings.developmentLayout);

    m_timer1->start();
}

void SplashScreen::timer1Tick()
{
    m_timer1->stop();
    startMainProgram();
}

void SplashScreen::startMainProgram()
{
    if (app::report(m_context.services,
                    startup::loadSettings(m_state, m_applicationFolder, QDir::separator())))
        return;
    // Showing the name selection screen unloads this one.
    m_context.navigator.showNameSelection();
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    // The splash picture: a sheet of paper with the program's title brushed large.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect picture = pictureRect(this);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(style::kPaperShadow));
    p.drawRoundedRect(picture.translated(6, 8), 18, 18);
    QLinearGradient paper(picture.topLeft(), picture.bottomLeft());
    paper.setColorAt(0.0, QColor::fromRgb(style::kPaperTop));
    paper.setColorAt(1.0, QColor::fromRgb(style::kPaperBottom));
    p.setBrush(paper);
    p.drawRoundedRect(picture, 18, 18);

    p.setPen(QPen(QColor::fromRgb(style::kPaperFrame), 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(picture.adjusted(24, 24, -24, -24), 10, 10);

    p.setPen(QColor::fromRgb(style::kPaperInk));
    p.setFont(style::font(72, true));
    p.drawText(QRect(picture.left(), picture.top() + 60, picture.width(), 150), Qt::AlignCenter,
               catalogue::messageTitle(m_state.catalogue));
    p.setFont(style::font(20));
    p.setPen(QColor::fromRgb(style::kPaperQuietInk));
    p.drawText(QRect(picture.left(), picture.top() + 215, picture.width(), 40), Qt::AlignCenter,
               QStringLiteral("よみ・いみ・かんじ　タイムドリル"));
}
