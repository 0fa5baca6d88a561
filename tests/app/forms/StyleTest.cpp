// The one look, checked on the rendered screens: every screen is shown in the program's window, and
// what it paints is measured. A button filled with a colour must be filled with the one accent; every
// text a control shows must stand out from what is behind it by WCAG AA (4.5 : 1, or 3 : 1 for large
// text); every role a control is given must be one the style sheet has rules for. The screens are also
// kept as PNG files for a person to look at.
#include "app/forms/Style.h"
#include "app/forms/WaitingPanel.h"
#include "drill/LevelCatalogue.h"
#include "hub/forms/PersonalDataPanel.h"
#include "printing/forms/PrintLayoutScreen.h"
#include "printing/forms/WorksheetScreen.h"
#include "records/forms/ResultsBusyPanel.h"
#include "startup/StartupRules.h"
#include "startup/forms/VersionBox.h"
#include "teacher/forms/TeacherScreens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using hub::HubScreen;
using hub::PersonalDataPanel;
using printing::WorksheetScreen;
using records::ResultsBusyPanel;

using namespace testing_support;
namespace style = app::style;

namespace {

// What the screens painted, over one tour of them.
struct Findings
{
    QMap<QRgb, QStringList> buttonColours; // a coloured button fill and where it was seen
    QStringList unreadable;                // texts below the contrast they need
    QMap<QString, int> accentButtons;      // per screen, how many buttons were filled with a colour
    QMap<QString, QRgb> focusRings;        // per screen, the ring of a plain button that has the focus
    QSet<QString> roles;                   // the roles the controls were given
    QStringList unknownRoles;              // controls with a role the style sheet does not know
    int textsMeasured = 0;
};

QString describe(const QWidget *w)
{
    QString text;
    if (auto *l = qobject_cast<const QLabel *>(w))
        text = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(w))
        text = b->text();
    return QStringLiteral("%1 \"%2\"").arg(w->objectName(), text.left(24));
}

// The widget is what shows at its own centre (no panel lies over it).
bool uncovered(QWidget *root, QWidget *w)
{
    const QPoint centre = w->mapTo(root, w->rect().center());
    QWidget *top = root->childAt(centre);
    return top && (top == w || w->isAncestorOf(top));
}

// The colour most of the area shows: the background of a text, the fill of a button.
QRgb commonColour(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xFF000000u];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    }
    return best;
}

// The contrast of the text: of the pixel that differs most from the background.
double textContrast(const QImage &image, const QRect &area, QRgb background, QRgb *text)
{
    double best = 1.0;
    *text = background;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            const double ratio = style::contrastRatio(QColor::fromRgb(p), QColor::fromRgb(background));
            if (ratio > best) {
                best = ratio;
                *text = p;
            }
        }
    }
    return best;
}

bool largeText(const QFont &font)
{
    return font.pointSizeF() >= 18.0 || (font.bold() && font.pointSizeF() >= 14.0);
}

bool coloured(QRgb rgb)
{
    const QColor c = QColor::fromRgb(rgb);
    return c.hsvSaturationF() > 0.4 && c.valueF() > 0.25;
}

// Measures the screen as `root` shows it now and keeps a picture of it.
void measure(QWidget *root, const QString &screen, Findings &findings)
{
    // The focus is painted only in the active window.
    root->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(root, 2000)) << screen.toStdString();
    settle();
    const QImage image = root->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull()) << screen.toStdString();
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(QStringLiteral(SCREENSHOT_DIR "/style-%1.png").arg(screen)))
        << screen.toStdString();
    findings.accentButtons[screen] += 0;

    // The focus marks the next step where that is one button of many (a kana of the reading).
    auto *focus = qobject_cast<QPushButton *>(QApplication::focusWidget());
    if (focus && root->isAncestorOf(focus) && focus->isVisibleTo(root) &&
        focus->property("role").toString() != style::roleName(style::Role::Action) && uncovered(root, focus))
        findings.focusRings[screen] = image.pixel(focus->mapTo(root, QPoint(1, focus->height() / 2)));

    QSet<QString> known;
    for (style::Role role : style::roles())
        known.insert(style::roleName(role));
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (const QString role = w->property("role").toString(); !role.isEmpty()) {
            findings.roles.insert(role);
            if (!known.contains(role))
                findings.unknownRoles << QStringLiteral("%1 %2: %3").arg(screen, describe(w), role);
        }
        auto *label = qobject_cast<QLabel *>(w);
        auto *button = qobject_cast<QAbstractButton *>(w);
        if ((!label && !button) || !w->isVisibleTo(root) || !w->isEnabled() || !uncovered(root, w))
            continue;
        // Inside the control's border (up to 3 pixels and its anti-aliased edge).
        const QRect area =
            QRect(w->mapTo(root, QPoint(0, 0)), w->size()).adjusted(4, 4, -4, -4) & image.rect();
        if (area.width() < 4 || area.height() < 4)
            continue;
        const QRgb common = commonColour(image, area);

        if (auto *push = qobject_cast<QPushButton *>(w); push && !push->isFlat() && coloured(common)) {
            findings.buttonColours[common] << screen + u' ' + describe(w);
            ++findings.accentButtons[screen];
        }

        const QString text = label ? label->text() : button->text();
        if (text.trimmed().isEmpty() || (label && !label->pixmap().isNull()))
            continue;
        QRgb ink = 0;
        const double ratio = textContrast(image, area, common, &ink);
        const double needed = largeText(w->font()) ? 3.0 : 4.5;
        ++findings.textsMeasured;
        if (ratio < needed) {
            findings.unreadable << QStringLiteral("%1 %2: %3 on %4 is %5 : 1 (needs %6)")
                                       .arg(screen, describe(w), QColor::fromRgb(ink).name(),
                                            QColor::fromRgb(common).name())
                                       .arg(ratio, 0, 'f', 2)
                                       .arg(needed);
        }
    }
}

// The drill builds its question while letting events run: wait until the current screen shows the
// named button (the screen before it may still be there, waiting to be deleted).
bool shownSoon(MainWindow *window, const QString &name)
{
    return QTest::qWaitFor(
        [&] {
            QWidget *screen = window->currentScreen();
            auto *button = screen ? screen->findChild<QPushButton *>(name) : nullptr;
            return button && button->isVisibleTo(window);
        },
        10000);
}

QString seasonName(int month)
{
    return QStringLiteral("m%1").arg(month, 2, 10, QChar(u'0'));
}

// A school with runs today for the lists and the sheet; the season colour of the given month.
struct StyledSchool : TestSchool
{
    explicit StyledSchool(int month)
    {
        state->settings.seasonColour = startup::seasonColour(month);
        const QDate today = fakes.clock.now().date();
        writeRuns({runAt(today, QTime(9, 0), 131, 2, 100), runAt(today, QTime(9, 30), 131, 2, 90),
                   runAt(today.addDays(-3), QTime(10, 0), 132, 2, 300),
                   runAt(today, QTime(11, 0), 900, 4, 80)});
    }
};

// The name screen (and its waiting panel), the hub, the worksheet: the screens on the season colour.
void tourSeasonScreens(StyledSchool &school, const QString &season, Findings &findings)
{
    QWidget *window = school.window.get();
    school.window->showNameSelection();
    settle();
    QWidget *names = school.window->currentScreen();
    ASSERT_NE(names, nullptr);
    measure(window, QStringLiteral("names-") + season, findings);
    auto *wait = names->findChild<WaitingPanel *>(QStringLiteral("picWait"));
    ASSERT_NE(wait, nullptr);
    wait->showNow();
    measure(window, QStringLiteral("names-waiting-") + season, findings);
    wait->end();

    clickButton(names, QStringLiteral("Command1"));
    settle();
    auto *worksheet = window->findChild<WorksheetScreen *>();
    ASSERT_NE(worksheet, nullptr);
    measure(window, QStringLiteral("worksheet-") + season, findings);
    clickButton(worksheet, QStringLiteral("Command2"));
    settle();

    HubScreen *hub = openHubAs(school, 900);
    ASSERT_NE(hub, nullptr);
    measure(window, QStringLiteral("hub-") + season, findings);
}

} // namespace

TEST(StyleContrast, RatiosFollowTheWcagFormula)
{
    // Reference values of the formula: the extremes and the two greys on either side of 4.5 : 1.
    EXPECT_NEAR(style::contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(style::contrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(style::contrastRatio(QColor(0x12, 0x34, 0x56), QColor(0x12, 0x34, 0x56)), 1.0, 1e-9);
    EXPECT_NEAR(style::contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.005);
    EXPECT_NEAR(style::contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.005);
    EXPECT_NEAR(style::relativeLuminance(QColor(0xFF, 0, 0)), 0.2126, 1e-4);
}

// Text straight on the season colour (the name screen's waiting panel, a screen's options) takes the
// ink or white, whichever reads: dark ink fails on the autumn colour, white on the spring one.
TEST(StyleContrast, TextOnEverySeasonColourReads)
{
    for (int month = 1; month <= 12; ++month) {
        const QColor season = QColor::fromRgb(startup::seasonColour(month));
        EXPECT_GE(style::contrastRatio(style::textOn(season), season), 4.5) << month;
    }
    EXPECT_EQ(style::textOn(QColor(192, 64, 0)), QColor(Qt::white));
    EXPECT_EQ(style::textOn(QColor(192, 255, 192)), QColor::fromRgb(style::kInk));
}

TEST(StyleSheet, PaletteNamesBecomeColoursAndOthersStay)
{
    EXPECT_EQ(style::sheet(QStringLiteral("a { color: @ink; background: @accentTint; }")),
              QStringLiteral("a { color: #1f2a36; background: #e3edfb; }"));
    // "@accentInk" is not "@accent" followed by "Ink".
    EXPECT_EQ(style::sheet(QStringLiteral("@accentInk@accent")), QStringLiteral("#ffffff#1e6fd9"));
    EXPECT_EQ(style::sheet(QStringLiteral("color: @nothing;")), QStringLiteral("color: @nothing;"));
}

// The one sheet of every screen: it parses, its colours are the palette's, and every role has a rule.
TEST(StyleSheet, TheApplicationSheetParsesUsesOnlyThePaletteAndHasARuleForEveryRole)
{
    const QString &text = style::applicationSheet();
    EXPECT_FALSE(text.contains(u'@')) << "a palette name left in the sheet";
    EXPECT_FALSE(
        text.contains(QRegularExpression(QStringLiteral("rgb|palette\\(|:\\s*(white|black|red)\\b"))));

    QSet<QString> palette;
    for (QRgb colour : style::paletteColours())
        palette.insert(style::css(colour));
    const QRegularExpression hex(QStringLiteral("#[0-9a-fA-F]{3,8}\\b"));
    int colours = 0;
    for (const QRegularExpressionMatch &m : hex.globalMatch(text)) {
        ++colours;
        EXPECT_TRUE(palette.contains(m.captured(0))) << m.captured(0).toStdString();
    }
    EXPECT_GT(colours, 50);
    for (style::Role role : style::roles())
        EXPECT_TRUE(text.contains(QStringLiteral("[role=\"%1\"]").arg(style::roleName(role))))
            << style::roleName(role).toStdString();

    // The toolkit reports a sheet it cannot parse when a widget under it is polished.
    static QStringList complaints;
    complaints.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { complaints << message; });
    QWidget window;
    style::install(&window);
    QLabel label(&window);
    style::ink(&label);
    label.ensurePolished();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(complaints.isEmpty()) << complaints.join(u'\n').toStdString();
}

// A control whose look changes while it is shown is painted in the new look: a lamp going out, a plain
// button becoming the next step.
TEST(StyleSheet, AControlShownIsRestyledWhenItsRoleChanges)
{
    QWidget window;
    style::install(&window);
    style::background(&window, QColor::fromRgb(style::kCanvas));
    window.resize(240, 100);
    auto *lamp = new QLabel(&window);
    lamp->setGeometry(10, 10, 18, 18);
    style::lamp(lamp, style::Lamp::Best, true);
    auto *button = new QPushButton(QStringLiteral("O.K."), &window);
    button->setGeometry(60, 10, 160, 80);
    style::plainButton(button);
    window.show();
    settle();
    const QPoint lampCentre(19, 19);
    const QRect buttonInside = button->geometry().adjusted(8, 8, -8, -8);
    QImage image = window.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(lampCentre)), QColor::fromRgb(style::kLampBest));
    EXPECT_EQ(QColor(image.pixel(buttonInside.topLeft())), QColor::fromRgb(style::kPlain));

    style::lamp(lamp, style::Lamp::Best, false);
    style::accentButton(button);
    settle();
    image = window.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(lampCentre)), QColor::fromRgb(style::kCanvas));
    EXPECT_EQ(QColor(image.pixel(buttonInside.topLeft())), QColor::fromRgb(style::kAccent));
}

// Which controls the sheet fills with an opaque colour in every state, and how round their corners are:
// the window leaves the background beneath such a control unpainted (inside those corners).
TEST(StyleSheet, OnlyRolesFilledOpaqueInEveryStateHaveASolidCorner)
{
    QWidget window;
    style::install(&window);
    auto role = [&](QWidget *w, style::Role r) {
        style::setRole(w, r);
        return style::solidCorner(*w);
    };
    EXPECT_EQ(role(new QFrame(&window), style::Role::Card), 12);
    EXPECT_EQ(role(new QLabel(&window), style::Role::Card), 12) << "a label's own rule adds no background";
    EXPECT_EQ(role(new QFrame(&window), style::Role::StatusBar), 0);
    EXPECT_EQ(role(new QFrame(&window), style::Role::Celebration), 18);
    EXPECT_EQ(role(new QLabel(&window), style::Role::Box), 8);
    EXPECT_EQ(role(new QFrame(&window), style::Role::Box), -1) << "the rule names labels only";
    // A button's corners are the roundest any of its rules gives (a large one's).
    EXPECT_EQ(role(new QPushButton(&window), style::Role::Plain), 12);
    EXPECT_EQ(role(new QPushButton(&window), style::Role::Action), 12);
    // Transparent, without a background, or filled only while a property says so.
    EXPECT_EQ(role(new QPushButton(&window), style::Role::Link), -1);
    EXPECT_EQ(role(new QFrame(&window), style::Role::TargetLine), -1);
    EXPECT_EQ(role(new QFrame(&window), style::Role::ColouredPanel), -1);
    EXPECT_EQ(role(new QLabel(&window), style::Role::LampPass), -1);
    EXPECT_EQ(role(new QLabel(&window), style::Role::Caption), -1);
    EXPECT_EQ(style::solidCorner(QLabel()), -1) << "no role";
}

// A panel in a colour the sheet cannot name (the name screen's waiting panel in the season colour) is
// filled with it inside its frame, and its text takes white on a dark one.
TEST(StyleSheet, APanelInTheScreensOwnColourIsFilledWithItAndItsTextReads)
{
    const QColor autumn(192, 64, 0);
    QWidget window;
    style::install(&window);
    style::background(&window, autumn);
    window.resize(400, 200);
    auto *panel = new QFrame(&window);
    panel->setGeometry(20, 20, 360, 160);
    auto *label = new QLabel(QStringLiteral("Just a moment"), panel);
    label->setFont(style::font(24, true));
    label->setGeometry(20, 40, 320, 80);
    style::raisedPanel(panel, autumn);
    auto *white = new QFrame(&window); // and back to white, as a panel starts
    white->setGeometry(0, 0, 40, 40);
    style::raisedPanel(white, autumn);
    style::raisedPanel(white);
    window.show();
    settle();
    const QImage image = window.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(200, 165)), autumn) << "the face inside the frame";
    EXPECT_EQ(QColor(image.pixel(200, 21)), QColor::fromRgb(style::kQuietInk)) << "the frame";
    EXPECT_EQ(QColor(image.pixel(10, 10)), QColor::fromRgb(style::kPanel));
    QRgb ink = 0;
    EXPECT_GE(textContrast(image, label->geometry().translated(20, 20), autumn.rgb(), &ink), 4.5);
    EXPECT_EQ(QColor(ink), QColor(Qt::white));
}

// Every screen in the program's window, in the December colour, then the season screens in the other
// seasons' colours.
TEST(StyleScreens, OneAccentAndReadableTextOnEveryScreen)
{
    Findings findings;
    {
        StyledSchool school(12);
        QWidget *window = school.window.get();

        school.window->start(); // the splash, before its first tick
        measure(window, QStringLiteral("splash"), findings);
        tourSeasonScreens(school, seasonName(12), findings);

        HubScreen *hub = qobject_cast<HubScreen *>(school.window->currentScreen());
        ASSERT_NE(hub, nullptr);
        auto *personal = hub->findChild<PersonalDataPanel *>();
        ASSERT_NE(personal, nullptr);
        personal->showOwnSheet();
        measure(window, QStringLiteral("hub-personal-data"), findings);
        clickButton(hub, QStringLiteral("cmdSheetBack"));
        clickButton(hub, QStringLiteral("Command8"));
        measure(window, QStringLiteral("hub-password"), findings);
        clickButton(hub, QStringLiteral("cmdPasswordBack"));

        {
            platform::ResponsiveWait ownWait; // the window's own panel stays its wait's notice
            ResultsBusyPanel busy(window, ownWait);
            busy.showWaiting(QStringLiteral("成績ファイルを開いています"));
            measure(window, QStringLiteral("results-busy"), findings);
        }

        school.window->showDrill(1); // practice: the flash card
        ASSERT_TRUE(shownSoon(school.window.get(), QStringLiteral("Command11")));
        measure(window, QStringLiteral("drill-practice"), findings);
        school.window->showHub(); // and from there, as a student does
        settle();
        school.window->showDrill(2); // a test: the reading's first kana
        ASSERT_TRUE(shownSoon(school.window.get(), QStringLiteral("Label15_1"))) << [&] {
            QString all = school.window->currentScreen()->objectName();
            for (const auto &m : school.fakes.messages.shown)
                all += u'\n' + m.text;
            return all.toStdString();
        }();
        measure(window, QStringLiteral("drill-test"), findings);

        school.state->lastDrill.resultTime = 85;
        school.state->lastDrill.elapsedTime = 85;
        school.state->lastDrill.drillEndReason = 0;
        school.window->showResult();
        settle();
        QWidget *result = school.window->currentScreen();
        ASSERT_NE(result, nullptr);
        auto *timer = result->findChild<QTimer *>(QStringLiteral("Timer1"));
        ASSERT_NE(timer, nullptr);
        QTimerEvent tick(timer->timerId());
        QCoreApplication::sendEvent(timer, &tick); // the buttons after half a second
        measure(window, QStringLiteral("result"), findings);

        school.window->showNameSelection();
        settle();
        clickButton(school.window->currentScreen(), QStringLiteral("Command1"));
        settle();
        auto *worksheet = window->findChild<WorksheetScreen *>();
        ASSERT_NE(worksheet, nullptr);
        clickButton(worksheet, QStringLiteral("Command1"));
        settle();
        ASSERT_NE(worksheet->printLayout(), nullptr);
        measure(window, QStringLiteral("print-layout"), findings);
    }
    {
        StyledSchool school(12);
        ASSERT_NE(openTool(school, QStringLiteral("Command10_0")), nullptr);
        measure(school.window.get(), QStringLiteral("records"), findings);
    }
    {
        StyledSchool school(12);
        ASSERT_NE(openTool(school, QStringLiteral("Command10_1")), nullptr);
        measure(school.window.get(), QStringLiteral("standards"), findings);
    }
    {
        VersionBox box(QStringLiteral("四字熟語"));
        box.show();
        measure(&box, QStringLiteral("version"), findings);
    }
    for (int month : {1, 3, 6, 9}) {
        StyledSchool school(month);
        tourSeasonScreens(school, seasonName(month), findings);
    }

    // One accent, and on every screen where a student has a next step to take.
    EXPECT_EQ(findings.buttonColours.size(), 1u) << [&] {
        QString all;
        for (auto it = findings.buttonColours.cbegin(); it != findings.buttonColours.cend(); ++it)
            all += QColor::fromRgb(it.key()).name() + u':' + it.value().join(u',') + u'\n';
        return all.toStdString();
    }();
    if (!findings.buttonColours.isEmpty()) {
        EXPECT_EQ(QColor::fromRgb(findings.buttonColours.firstKey()), QColor::fromRgb(style::kAccent));
    }
    for (const QString &screen :
         {QStringLiteral("names-m12"), QStringLiteral("hub-m12"), QStringLiteral("worksheet-m12"),
          QStringLiteral("drill-practice"), QStringLiteral("result"), QStringLiteral("print-layout")})
        EXPECT_GT(findings.accentButtons.value(screen), 0) << screen.toStdString();
    // The reading's first kana: six plain buttons, the focus on one of them in the accent.
    EXPECT_EQ(findings.accentButtons.value(QStringLiteral("drill-test")), 0);
    ASSERT_TRUE(findings.focusRings.contains(QStringLiteral("drill-test")));
    for (auto it = findings.focusRings.cbegin(); it != findings.focusRings.cend(); ++it)
        EXPECT_EQ(QColor::fromRgb(it.value()), QColor::fromRgb(style::kAccent)) << it.key().toStdString();

    // Every role given has rules, and the tour met most of them.
    EXPECT_TRUE(findings.unknownRoles.isEmpty()) << findings.unknownRoles.join(u'\n').toStdString();
    EXPECT_GE(findings.roles.size(), 25);

    EXPECT_GT(findings.textsMeasured, 200);
    EXPECT_TRUE(findings.unreadable.isEmpty()) << findings.unreadable.join(u'\n').toStdString();
}
