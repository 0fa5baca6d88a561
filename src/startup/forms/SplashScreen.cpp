#include "startup/forms/SplashScreen.h"

#include "platform/JapaneseDate.h"
#include "startup/LoadSettings.h"
#include "app/PathRules.h"
#include "startup/StartupRules.h"
#include "startup/forms/Fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

namespace {
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

QRect pictureRect(const QWidget *w)
{
    return QRect((w->width() - kPictureWidth) / 2, (w->height() - kPictureHeight) / 2, kPictureWidth,
                 kPictureHeight);
}
} // namespace

SplashScreen::SplashScreen(AppContext &context, QString applicationFolder, QWidget *parent)
    : QWidget(parent), m_context(context), m_applicationFolder(std::move(applicationFolder))
{
    setObjectName(QStringLiteral("Firstfrm"));
    resize(1024, 768);
    setAutoFillBackground(true);

    m_waitLabel = new QLabel(QStringLiteral("Just a moment, please."), this);
    m_waitLabel->setObjectName(QStringLiteral("Label2"));
    m_waitLabel->setFont(fonts::ui(18));
    m_waitLabel->setAlignment(Qt::AlignCenter);

    m_dateLabel = new QLabel(this);
    m_dateLabel->setObjectName(QStringLiteral("Label1"));
    m_dateLabel->setFont(fonts::ui(22, true));
    m_dateLabel->setAlignment(Qt::AlignCenter);

    m_developmentMarker = new QLabel(QStringLiteral("開発中"), this);
    m_developmentMarker->setObjectName(QStringLiteral("lblDevelopment"));
    m_developmentMarker->setFont(fonts::ui(14, true));
    m_developmentMarker->setStyleSheet(QStringLiteral("color: white; background: #b00020; padding: 4px 10px;"));
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

    PathsAndSettings &settings = m_context.state.settings;
    settings.seasonColour = startup::seasonColour(today.month());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(settings.seasonColour));
    setPalette(pal);

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
    QString error;
    if (!startup::loadSettings(m_context.state, m_applicationFolder, QDir::separator(), &error)) {
        m_context.services.messages.show(QStringLiteral("起動できません"), error,
                                         platform::MessageBoxes::Icon::Critical);
        m_context.services.programEnd.endProgram(1);
        return;
    }
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
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(picture.translated(6, 8), 18, 18);
    QLinearGradient paper(picture.topLeft(), picture.bottomLeft());
    paper.setColorAt(0.0, QColor(0xff, 0xfd, 0xf6));
    paper.setColorAt(1.0, QColor(0xf4, 0xee, 0xdc));
    p.setBrush(paper);
    p.drawRoundedRect(picture, 18, 18);

    p.setPen(QPen(QColor(0xb0, 0x20, 0x20), 4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(picture.adjusted(24, 24, -24, -24), 10, 10);

    p.setPen(QColor(0x20, 0x20, 0x20));
    p.setFont(fonts::ui(72, true));
    p.drawText(QRect(picture.left(), picture.top() + 60, picture.width(), 150), Qt::AlignCenter,
               m_context.state.catalogue.programTitle.isEmpty() ? QStringLiteral("四字熟語")
                                                                 : m_context.state.catalogue.programTitle);
    p.setFont(fonts::ui(20));
    p.setPen(QColor(0x60, 0x50, 0x40));
    p.drawText(QRect(picture.left(), picture.top() + 215, picture.width(), 40), Qt::AlignCenter,
               QStringLiteral("よみ・いみ・かんじ　タイムドリル"));
}
