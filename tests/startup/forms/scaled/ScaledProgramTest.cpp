// The program in its scaled window on a display of the size the offscreen platform was given (the test
// command runs this file once on a screen of 1366 x 768, 1920 x 1080 and 2560 x 1440). Clicks and taps
// are sent to the window's viewport at the points where the controls are seen, never to the controls
// themselves, so each one goes through the scaling as a student's would.
#include "app/forms/DialogScale.h"
#include "drill/IdiomData.h"
#include "records/ResultsFile.h"
#include "roster/forms/TestSchool.h"
#include "startup/forms/MainWindow.h"
#include "startup/forms/QtMessageBoxes.h"
#include "startup/forms/ScaledWindow.h"
#include "startup/forms/TextPictureStyle.h"
#include "startup/forms/VersionBox.h"
#include "support/gui/GuiTestSupport.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPointingDevice>
#include <QPushButton>
#include <QScreen>
#include <QStringListModel>
#include <QStyle>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace testing_support;

namespace {

enum class Input { Click, Tap };

QSize displaySize()
{
    return QGuiApplication::primaryScreen()->geometry().size();
}

QString displayName()
{
    return QStringLiteral("%1x%2").arg(displaySize().width()).arg(displaySize().height());
}

QPointingDevice *touchScreen()
{
    static QPointingDevice *device = QTest::createTouchDevice();
    return device;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

class ScaledProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        school = std::make_unique<TestSchool>();
        screen = std::make_unique<ScaledWindow>(*school->window);
        screen->showKiosk();
        screen->activateWindow();
        (void)QTest::qWaitForWindowActive(screen.get());
        settle();
    }

    void TearDown() override
    {
        screen.reset();
        school.reset();
        settle();
    }

    QWidget *current() const { return school->window->currentScreen(); }

    template <typename T> T *find(const QString &name) const
    {
        return current() ? control<T>(current(), name) : nullptr;
    }

    bool shows(const QString &name) const
    {
        auto *widget = current() ? current()->findChild<QWidget *>(name) : nullptr;
        return widget && widget->isVisible();
    }

    // The drill's screen: its kana and kanji buttons and its judge button.
    bool drillShown() const
    {
        return current() && current()->findChild<QWidget *>(QStringLiteral("Label14_1")) &&
               current()->findChild<QWidget *>(QStringLiteral("Command3"));
    }

    QString text(const QString &name) const
    {
        auto *label = current() ? current()->findChild<QLabel *>(name) : nullptr;
        return label ? label->text() : QStringLiteral("<no %1>").arg(name);
    }

    // Where the centre of a control of the canvas is seen on the viewport.
    QPoint seenAt(QWidget *widget, QPointF point = QPointF(-1, -1)) const
    {
        if (point.x() < 0)
            point = QRectF(widget->rect()).center();
        return screen->toViewport(widget, point);
    }

    void press(QWidget *widget, Input input, QPointF point = QPointF(-1, -1))
    {
        ASSERT_NE(widget, nullptr);
        ASSERT_TRUE(widget->isVisible() && widget->isEnabled()) << widget->objectName().toStdString();
        const QPoint at = seenAt(widget, point);
        if (input == Input::Click) {
            QTest::mouseClick(screen->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::touchEvent(screen->viewport(), touchScreen()).press(0, at);
            QTest::touchEvent(screen->viewport(), touchScreen()).release(0, at);
        }
        QCoreApplication::processEvents();
    }

    void press(const QString &name, Input input = Input::Click) { press(find<QWidget>(name), input); }

    // The first visible, enabled button of a family that shows the character.
    QPushButton *button(const QString &family, int count, QChar character) const
    {
        for (int i = 1; i <= count; ++i) {
            auto *b = current()->findChild<QPushButton *>(QStringLiteral("%1_%2").arg(family).arg(i));
            if (b && b->isVisible() && b->isEnabled() && b->text() == QString(character))
                return b;
        }
        ADD_FAILURE() << "no button " << family.toStdString() << " shows "
                      << QString(character).toStdString();
        return nullptr;
    }

    // The name screen, the student 加藤あおい (131) picked in the list and confirmed: the hub.
    void signIn(Input input = Input::Click)
    {
        school->window->showNameSelection();
        settle();
        ASSERT_EQ(current()->objectName(), QStringLiteral("namesel"));
        saveShot(QStringLiteral("1-name"));
        auto *list = find<QListView>(QStringLiteral("List1"));
        ASSERT_NE(list, nullptr);
        QStringList rows;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            rows << list->model()->index(r, 0).data().toString();
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [](const QString &r) { return r.contains(QStringLiteral("加藤")); });
        ASSERT_NE(row, rows.end());
        const QRect item = list->visualRect(list->model()->index(int(row - rows.begin()), 0));
        press(list->viewport(), input, QRectF(item).center());
        press(QStringLiteral("Command14"), input);
        settle();
        ASSERT_EQ(current()->objectName(), QStringLiteral("seisekitime1"));
    }

    void startLevelTwo(Input input = Input::Click)
    {
        press(QStringLiteral("Command4_2"), input);
        settle();
        ASSERT_TRUE(drillShown()) << "the drill is shown";
    }

    // Picks the reading's first four kana and the idiom's characters of the question shown, then "O.K.".
    void answer(Input input)
    {
        const QString meaning = text(QStringLiteral("Label9"));
        for (const Question &q : TestSchool::rangeOne()) {
            if (q.meaning != meaning)
                continue;
            for (QChar c : q.reading.left(4))
                press(button(QStringLiteral("Label15"), 6, c), input);
            for (QChar c : q.idiom)
                press(button(QStringLiteral("Label14"), 12, c), input);
            press(QStringLiteral("Command3"), input);
            return;
        }
        ADD_FAILURE() << "no question means " << meaning.toStdString();
    }

    QImage shot() const { return screen->viewport()->grab().toImage(); }

    void saveShot(const QString &name) const
    {
        EXPECT_FALSE(
            saveScreenshot(screen.get(), QStringLiteral("scaled-%1-%2").arg(displayName(), name)).isEmpty());
    }

    std::unique_ptr<TestSchool> school;
    std::unique_ptr<ScaledWindow> screen;
};

} // namespace

TEST_F(ScaledProgram, OpensFullScreenWithTheWholeCanvasFittedInProportionAndTheSeasonColourAround)
{
    school->window->showNameSelection();
    settle();
    ASSERT_TRUE(screen->isKiosk());
    EXPECT_EQ(screen->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(screen->viewport()->size(), displaySize());

    const QRectF area = screen->canvasArea();
    const QSizeF display(displaySize());
    // Proportions kept, as large as fits (one side touches the display's edges), and centred.
    EXPECT_NEAR(area.width() * 768.0, area.height() * 1024.0, 1024.0);
    EXPECT_TRUE(std::abs(area.width() - display.width()) < 1.0 ||
                std::abs(area.height() - display.height()) < 1.0)
        << area.width() << "x" << area.height();
    EXPECT_LE(area.width(), display.width() + 0.5);
    EXPECT_LE(area.height(), display.height() + 0.5);
    EXPECT_NEAR(area.left(), display.width() - area.right(), 1.0);
    EXPECT_NEAR(area.top(), display.height() - area.bottom(), 1.0);

    // The canvas's corners are where the area says, and what is around them is the season colour.
    const QImage image = shot();
    const QRgb season = QColor::fromRgb(school->state->settings.seasonColour).rgb();
    const QRect inside = area.toAlignedRect().adjusted(1, 1, -2, -2);
    for (QPoint p : {inside.topLeft(), inside.bottomRight()})
        EXPECT_EQ(image.pixel(p), screen->canvas().grab(QRect(0, 0, 1, 1)).toImage().pixel(0, 0))
            << "the canvas's own colour at " << p.x() << "," << p.y();
    const int left = int(std::floor(area.left())) - 2;
    const int top = int(std::floor(area.top())) - 2;
    if (left > 0) {
        EXPECT_EQ(image.pixel(left, image.height() / 2), season);
        EXPECT_EQ(image.pixel(image.width() - 1 - left, 0), season);
    }
    if (top > 0) {
        EXPECT_EQ(image.pixel(image.width() / 2, top), season);
        EXPECT_EQ(image.pixel(0, image.height() - 1 - top), season);
    }
}

// Under a screen the canvas's own background is left out; where no screen covers it, it is painted.
TEST_F(ScaledProgram, TheCanvasBackgroundIsPaintedWhereNoScreenCoversIt)
{
    school->window->showNameSelection();
    settle();
    QWidget *nameScreen = school->window->currentScreen();
    ASSERT_NE(nameScreen, nullptr);
    auto *half = new QWidget(&screen->canvas());
    half->setGeometry(0, 0, 512, 768);
    QPalette palette = half->palette();
    palette.setColor(QPalette::Window, Qt::red);
    half->setPalette(palette);
    half->setAutoFillBackground(true);
    half->show();
    // A colour of the canvas's own that nothing else on the display has.
    const QPalette before = screen->canvas().palette();
    QPalette canvasPalette = before;
    canvasPalette.setColor(QPalette::Window, QColor(0, 128, 64));
    screen->canvas().setPalette(canvasPalette);
    nameScreen->hide();
    settle();

    const QImage image = shot();
    const QRect area = screen->canvasArea().toAlignedRect().adjusted(2, 2, -3, -3);
    const QRgb canvasColour = QColor(0, 128, 64).rgb();
    for (int y : {area.top(), area.center().y(), area.bottom()}) {
        EXPECT_EQ(image.pixel(area.left(), y), QColor(Qt::red).rgb()) << "at " << y;
        EXPECT_EQ(image.pixel(area.right(), y), canvasColour) << "at " << y;
        EXPECT_EQ(image.pixel(area.center().x() + area.width() / 4, y), canvasColour) << "at " << y;
    }
    delete half;
    screen->canvas().setPalette(before);
    nameScreen->show();
}

// Large text on the display is drawn into pictures once and copied from them at the next painting.
TEST_F(ScaledProgram, LargeTextOnTheDisplayIsCopiedFromPicturesWhenPaintedAgain)
{
    signIn();
    startLevelTwo();
    auto *style = qobject_cast<TextPictureStyle *>(QApplication::style());
    ASSERT_NE(style, nullptr);
    screen->viewport()->repaint();
    const int drawn = style->picturesDrawn(), reused = style->picturesReused();
    screen->viewport()->repaint();
    // The six kana buttons' 44 points (58.7 pixels in the window) are past the toolkit's glyph pictures
    // at a scale above 1.09.
    if (screen->scale() * 44 * 96 / 72.0 > TextPictureStyle::kLargestGlyphCached) {
        EXPECT_EQ(style->picturesDrawn(), drawn) << "all was drawn at the first painting";
        EXPECT_GE(style->picturesReused() - reused, 6);
    } else {
        EXPECT_EQ(style->picturesDrawn(), drawn);
        EXPECT_EQ(style->picturesReused(), reused);
    }
}

// The drill's button panels on the display are drawn into pictures once and copied at the next painting.
TEST_F(ScaledProgram, ButtonPanelsOnTheDisplayAreCopiedFromPicturesWhenPaintedAgain)
{
    signIn();
    startLevelTwo();
    const PanelPictures &panels = screen->panelPictures();
    screen->viewport()->repaint();
    const int drawn = panels.picturesDrawn(), reused = panels.picturesReused();
    screen->viewport()->repaint();
    if (screen->scale() > 1.0) {
        EXPECT_EQ(panels.picturesDrawn(), drawn) << "all was drawn at the first painting";
        // The six kana buttons at least.
        EXPECT_GE(panels.picturesReused() - reused, 6);
    } else {
        EXPECT_EQ(panels.picturesDrawn(), 0);
        EXPECT_EQ(panels.picturesReused(), 0);
    }
}

TEST_F(ScaledProgram, F11SwitchesToAWindowOfTheCanvasSizeAndBack)
{
    signIn();
    const double fullScale = screen->scale();
    ASSERT_NE(QApplication::focusWidget(), nullptr);

    QTest::keyClick(screen.get(), Qt::Key_F11);
    settle();
    EXPECT_FALSE(screen->isKiosk());
    EXPECT_EQ(screen->viewport()->size(), QSize(1024, 768));
    EXPECT_DOUBLE_EQ(screen->scale(), 1.0);
    EXPECT_EQ(screen->toViewport(QPointF(100, 200)), QPoint(100, 200));
    // The screen behind is the same one, and it still takes clicks where they are seen.
    ASSERT_EQ(current()->objectName(), QStringLiteral("seisekitime1"));
    startLevelTwo();

    QTest::keyClick(screen.get(), Qt::Key_F11);
    settle();
    EXPECT_TRUE(screen->isKiosk());
    EXPECT_EQ(screen->viewport()->size(), displaySize());
    EXPECT_DOUBLE_EQ(screen->scale(), fullScale);
}

TEST_F(ScaledProgram, KeysReachTheControlWithTheFocusOnTheCanvas)
{
    signIn();
    // The hub starts a level by its number key.
    QTest::keyClick(screen.get(), Qt::Key_2);
    settle();
    EXPECT_TRUE(drillShown()) << "level 2 was started by its key";
}

class ScaledDrill : public ScaledProgram, public ::testing::WithParamInterface<Input>
{
};

TEST_P(ScaledDrill, AWholeQuestionAnsweredAtTheButtonsScaledPositions)
{
    signIn(GetParam());
    startLevelTwo(GetParam());
    saveShot(GetParam() == Input::Click ? QStringLiteral("3-drill") : QStringLiteral("3-drill-tapped"));
    const QString first = text(QStringLiteral("Label9"));
    school->fakes.media.commands.clear();

    const QString meaning = text(QStringLiteral("Label9"));
    const QuestionList questions = TestSchool::rangeOne();
    const auto question = std::find_if(questions.begin(), questions.end(),
                                       [&](const Question &q) { return q.meaning == meaning; });
    ASSERT_NE(question, questions.end());
    // Each kana pressed is taken: the reading so far grows by it, until the fourth leads on to the kanji.
    const QString reading = question->reading.left(4);
    for (int i = 0; i < 3; ++i) {
        press(button(QStringLiteral("Label15"), 6, reading[i]), GetParam());
        EXPECT_EQ(text(QStringLiteral("Label1")), reading.left(i + 1));
    }
    press(button(QStringLiteral("Label15"), 6, reading[3]), GetParam());
    for (QChar c : question->idiom)
        press(button(QStringLiteral("Label14"), 12, c), GetParam());
    press(QStringLiteral("Command3"), GetParam());
    settle();

    EXPECT_NE(text(QStringLiteral("Label9")), first) << "the next question is shown";
    const QString played = school->fakes.media.commands.join(u'\n');
    // By file name: the school's temporary folder has a random name that may hold any letters.
    EXPECT_TRUE(played.contains(QStringLiteral("/pin.wav"))) << played.toStdString();
    EXPECT_FALSE(played.contains(QStringLiteral("/bu.wav"))) << played.toStdString();
}

INSTANTIATE_TEST_SUITE_P(ClickedAndTapped, ScaledDrill, ::testing::Values(Input::Click, Input::Tap),
                         [](const auto &info) { return info.param == Input::Click ? "Clicked" : "Tapped"; });

TEST_F(ScaledProgram, ScreenshotsOfTheNameHubDrillAndResultScreens)
{
    school->writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 132, 2, 100),
                       runAt(QDate(2026, 12, 8), QTime(14, 0), 133, 2, 60)});
    signIn();
    saveShot(QStringLiteral("2-hub"));
    startLevelTwo();
    for (int i = 0; i < 10 && drillShown(); ++i)
        answer(Input::Click);
    settle();
    ASSERT_EQ(current()->objectName(), QStringLiteral("FrmSyuuryou"));
    auto *timer = current()->findChild<QTimer *>(QStringLiteral("Timer1"));
    if (timer) {
        QTimerEvent tick(timer->timerId());
        QCoreApplication::sendEvent(timer, &tick);
    }
    settle();
    saveShot(QStringLiteral("4-result"));
    const QString path =
        QStringLiteral(SCREENSHOT_DIR) + QStringLiteral("/scaled-%1-4-result.png").arg(displayName());
    const QImage saved(path);
    ASSERT_FALSE(saved.isNull()) << path.toStdString();
    EXPECT_EQ(saved.size(), displaySize());

    // The run was recorded: every answer landed.
    QString error;
    const QList<records::ResultRecord> written = testing_support::valueOrEmpty(
        records::readLastRecords(school->resultsFile(), 10, school->fakes.wait), &error);
    ASSERT_EQ(written.size(), 3) << error.toStdString();
    EXPECT_EQ(written.last().student, 131);
}

TEST_F(ScaledProgram, RowsOfAListStayColumnAlignedAtTheDisplaysResolution)
{
    signIn();
    auto *list = find<QListView>(QStringLiteral("List5_2"));
    ASSERT_NE(list, nullptr);
    auto *model = qobject_cast<QStringListModel *>(list->model());
    ASSERT_NE(model, nullptr);
    // Rows of the same width in half-width cells, made of full-width kanji and kana, ideographic spaces,
    // half-width digits, letters and kana, each ending in the same character: in a grid of cells it
    // ends at the same point in every row.
    const QStringList rows{
        QStringLiteral("1①加藤あおい　　45 *"), QStringLiteral("2①松本樹　　　　 5 *"),
        QStringLiteral("3⑥ab12345678　 1234*"), QStringLiteral("4Ⅲｱｲｳｴｵｶｷｸｹｺ　　 99*"),
        QStringLiteral("5●★山本先生　　  0*"),
    };
    const QFontMetricsF metrics(list->font());
    for (const QString &row : rows)
        ASSERT_NEAR(metrics.horizontalAdvance(row), 21 * metrics.horizontalAdvance(u'0'), 0.01)
            << row.toStdString() << " is 21 cells wide in the list's font";
    model->setStringList(rows);
    settle();
    const QImage image = shot();

    std::vector<int> rightEdges;
    for (int row = 0; row < rows.size(); ++row) {
        const QRect item = list->visualRect(model->index(row, 0));
        ASSERT_TRUE(list->viewport()->rect().contains(item)) << "row " << row << " is shown whole";
        const QPoint topLeft = screen->toViewport(list->viewport(), item.topLeft());
        const QPoint bottomRight =
            screen->toViewport(list->viewport(), QPointF(item.bottomRight()) + QPointF(1, 1));
        int right = -1;
        for (int x = topLeft.x(); x < bottomRight.x(); ++x) {
            for (int y = topLeft.y() + 1; y < bottomRight.y() - 1; ++y) {
                if (isInk(image.pixel(x, y)))
                    right = x;
            }
        }
        ASSERT_GE(right, 0) << "row " << row << " shows text";
        rightEdges.push_back(right);
    }
    const auto [low, high] = std::minmax_element(rightEdges.begin(), rightEdges.end());
    EXPECT_EQ(*low, *high) << "the last column ends " << (*high - *low) << " pixels apart";

    // And it ends where the canvas's own drawing of the row, scaled, puts it.
    const QImage canvasImage = list->viewport()->grab().toImage();
    const QRect first = list->visualRect(model->index(0, 0));
    int canvasRight = -1;
    for (int x = first.left(); x <= first.right(); ++x) {
        for (int y = first.top() + 1; y < first.bottom(); ++y) {
            if (isInk(canvasImage.pixel(x, y)))
                canvasRight = x;
        }
    }
    ASSERT_GE(canvasRight, 0);
    EXPECT_NEAR(*low, screen->toViewport(list->viewport(), QPointF(canvasRight + 1, 0)).x(),
                screen->scale() + 1.0);
    saveShot(QStringLiteral("5-aligned-rows"));
}

TEST_F(ScaledProgram, DialogsAreWindowsOfTheirOwnScaledWithTheScreen)
{
    signIn();
    struct Seen
    {
        bool embedded = true;
        bool window = false;
        double titlePoints = 0;
        QSize size;
        QPoint centre;
        double textPoints = 0;
        int iconWidth = 0;
    };
    auto look = [](std::function<void(Seen &)> read, Seen *seen) {
        QTimer::singleShot(0, [read, seen] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box) {
                ADD_FAILURE() << "no dialog is shown";
                return;
            }
            seen->embedded = box->graphicsProxyWidget() != nullptr;
            seen->window = box->isWindow() && box->windowHandle() != nullptr;
            seen->size = box->size();
            seen->centre = box->frameGeometry().center();
            read(*seen);
            box->close();
        });
    };

    // The dialogs as they are at a factor of 1, in the window of the canvas's size.
    screen->showWindowed();
    settle();
    VersionBox plain(QStringLiteral("四字熟語"));
    plain.adjustSize();
    const double base = plain.findChild<QLabel *>(QStringLiteral("lblTitle"))->font().pointSizeF();
    QMessageBox plainBox;
    plainBox.setIcon(QMessageBox::Warning);
    const double boxPoints = plainBox.font().pointSizeF();
    const int iconWidth =
        plainBox.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"))->pixmap().width();

    for (bool kiosk : {false, true}) {
        SCOPED_TRACE(kiosk ? "full screen" : "window");
        if (kiosk != screen->isKiosk())
            screen->toggleFullScreen();
        settle();
        const double factor = std::max(1.0, screen->scale());

        Seen version;
        look(
            [](Seen &s) {
                if (auto *title =
                        QApplication::activeModalWidget()->findChild<QLabel *>(QStringLiteral("lblTitle")))
                    s.titlePoints = title->font().pointSizeF();
            },
            &version);
        school->window->showVersionBox(current());
        EXPECT_FALSE(version.embedded);
        EXPECT_TRUE(version.window);
        EXPECT_NEAR(version.titlePoints, base * factor, 0.01);
        EXPECT_GE(version.size.width(), int(plain.width() * factor * 0.9));
        const QPoint canvasCentre = screen->mapToGlobal(screen->canvasArea().center().toPoint());
        EXPECT_LE((version.centre - canvasCentre).manhattanLength(), 4) << "centred over the screen";

        Seen message;
        look(
            [](Seen &s) {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box)
                    return;
                s.textPoints = box->font().pointSizeF();
                if (auto *icon = box->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label")))
                    s.iconWidth = icon->pixmap().width();
            },
            &message);
        QtMessageBoxes boxes;
        boxes.show(QStringLiteral("確認"), QStringLiteral("記録を保存しました。"),
                   platform::MessageBoxes::Icon::Warning);
        EXPECT_FALSE(message.embedded);
        EXPECT_TRUE(message.window);
        EXPECT_NEAR(message.textPoints, boxPoints * factor, 0.01);
        EXPECT_NEAR(message.iconWidth, iconWidth * factor, 1.0);
    }
}

TEST_F(ScaledProgram, ThePrintPreviewsAreDrawnAtTheDisplaysResolution)
{
    // The program's own idiom data file: ten ranges to make a worksheet from.
    const QString stored = idioms::storedFilePath(school->inst.applicationFolder + QStringLiteral("/") +
                                                  QString::fromUtf16(idioms::kNominalFileName));
    QFile::remove(stored);
    ASSERT_TRUE(QFile::copy(QStringLiteral(YOJI_IDIOM_DATA), stored));
    school->window->showNameSelection();
    settle();
    press(QStringLiteral("Command1"));
    settle();
    auto *worksheet = school->window->findChild<QWidget *>(QStringLiteral("FormPrint0"));
    ASSERT_NE(worksheet, nullptr);
    const double ratio = std::max(1.0, screen->scale());

    // A picture in a label of the canvas: as many display pixels as the label shows it on, no more
    // (it would be scaled down) and no fewer (scaled up, blurred).
    auto expectSharp = [&](const char *name) {
        auto *label = control<QLabel>(worksheet, QString::fromLatin1(name));
        ASSERT_NE(label, nullptr);
        const QPixmap picture = label->pixmap();
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), ratio) << name;
        const QSizeF shown = picture.deviceIndependentSize();
        EXPECT_LE(shown.width(), label->contentsRect().width() + 1.0) << name;
        EXPECT_LE(shown.height(), label->contentsRect().height() + 1.0) << name;
        EXPECT_GE(shown.width(), label->contentsRect().width() - 3.0) << name;
    };
    expectSharp("picPreview");
    press(worksheet->findChild<QWidget *>(QStringLiteral("Command1")), Input::Click);
    settle();
    ASSERT_NE(worksheet->findChild<QWidget *>(QStringLiteral("frmPrint")), nullptr);
    expectSharp("Picture1");
    saveShot(QStringLiteral("6-print-preview"));
}

namespace {
// Where a widget of the canvas is drawn on the display.
QRect drawnRect(const ScaledWindow &screen, const QWidget *widget)
{
    const QPoint topLeft = screen.viewport()->mapToGlobal(screen.toViewport(widget, QPointF(0, 0)));
    const QPoint bottomRight =
        screen.viewport()->mapToGlobal(screen.toViewport(widget, QPointF(widget->width(), widget->height())));
    return QRect(topLeft, bottomRight - QPoint(1, 1));
}

// The controls of a screen that a screen reader has no name for: panels (widgets that hold others) and
// the drawn parts of the time bar. The toolkit's own parts of a control (scroll bars and viewports of a
// list) are the control's.
QStringList unnamedPanels(QWidget *screen)
{
    QStringList unnamed;
    for (QWidget *w : screen->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->objectName().startsWith(QStringLiteral("qt_")) ||
            qobject_cast<QAbstractScrollArea *>(w->parentWidget()) ||
            qobject_cast<QAbstractScrollArea *>(w->parentWidget() ? w->parentWidget()->parentWidget()
                                                                  : nullptr))
            continue;
        const bool panel = !w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty() ||
                           w->objectName().startsWith(QStringLiteral("sShape"));
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(w);
        if (panel && node && node->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                     : w->objectName());
    }
    return unnamed;
}
} // namespace

// A screen reader or a magnifier learns of the scaled screens what is seen: one window, controls where
// and as large as they are drawn, the level columns scrolled out of the view not showing, the focus on
// the focused control, and a name for every panel.
TEST_F(ScaledProgram, AccessibilityReportsTheScreensAsTheyAreDrawn)
{
    school->writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 100),
                       runAt(QDate(2026, 12, 2), QTime(15, 0), 132, 2, 90),
                       runAt(QDate(2026, 12, 8), QTime(14, 0), 133, 2, 60)});
    signIn();
    QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(application, nullptr);
    int canvasWindows = 0, scaledWindows = 0;
    for (int i = 0; i < application->childCount(); ++i) {
        QObject *window = application->child(i) ? application->child(i)->object() : nullptr;
        canvasWindows += window == school->window.get();
        scaledWindows += window == screen.get();
    }
    EXPECT_EQ(canvasWindows, 0) << "the canvas is no window of its own";
    EXPECT_EQ(scaledWindows, 1);
    // The canvas is reached through the window that shows it.
    QAccessibleInterface *canvas = QAccessible::queryAccessibleInterface(school->window.get());
    ASSERT_NE(canvas, nullptr);
    QAccessibleInterface *up = canvas;
    for (int depth = 0; up && up->object() != screen.get() && depth < 8; ++depth)
        up = up->parent();
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->object(), screen.get());
    QAccessibleInterface *viewport = QAccessible::queryAccessibleInterface(screen->viewport());
    ASSERT_NE(viewport, nullptr);
    EXPECT_GE(viewport->indexOfChild(canvas), 0);
    // A reader walks down only through what is showing: the canvas must be, for its screen to be read.
    EXPECT_FALSE(canvas->state().offscreen);
    EXPECT_FALSE(canvas->state().invisible);

    const double scale = screen->scale();
    for (const QString &name : {QStringLiteral("Command4_2"), QStringLiteral("pnlLevel_1"),
                                QStringLiteral("lblStudent"), QStringLiteral("Command1")}) {
        SCOPED_TRACE(name.toStdString());
        QWidget *widget = find<QWidget>(name);
        ASSERT_NE(widget, nullptr);
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(node, nullptr);
        const QRect reported = node->rect();
        const QRect drawn = drawnRect(*screen, widget);
        EXPECT_NEAR(reported.width(), widget->width() * scale, 1.5);
        EXPECT_NEAR(reported.height(), widget->height() * scale, 1.5);
        EXPECT_LE((reported.topLeft() - drawn.topLeft()).manhattanLength(), 2);
        EXPECT_FALSE(node->state().offscreen);
        // A magnifier's hit test at the middle of what is drawn finds the control (or one inside it).
        QAccessibleInterface *hit = canvas;
        for (int depth = 0; hit && depth < 16; ++depth) {
            QAccessibleInterface *inner = hit->childAt(drawn.center().x(), drawn.center().y());
            if (!inner)
                break;
            hit = inner;
        }
        auto *hitWidget = hit ? qobject_cast<QWidget *>(hit->object()) : nullptr;
        EXPECT_TRUE(hitWidget && (hitWidget == widget || widget->isAncestorOf(hitWidget)))
            << (hitWidget ? hitWidget->objectName().toStdString() : std::string("nothing"));
    }

    // A list's rows are as far apart and as tall as they are drawn.
    auto *list = find<QListView>(QStringLiteral("List5_2"));
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->model()->rowCount(), 2);
    QAccessibleInterface *listNode = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(listNode, nullptr);
    QList<QAccessibleInterface *> rows;
    for (int i = 0; i < listNode->childCount() && rows.size() < 2; ++i) {
        if (QAccessibleInterface *row = listNode->child(i); row && row->role() == QAccessible::ListItem)
            rows.append(row);
    }
    ASSERT_EQ(rows.size(), 2);
    const QRect first = list->visualRect(list->model()->index(0, 0));
    const QRect second = list->visualRect(list->model()->index(1, 0));
    EXPECT_NEAR(rows[1]->rect().y() - rows[0]->rect().y(), (second.y() - first.y()) * scale, 1.5);
    EXPECT_NEAR(rows[0]->rect().height(), first.height() * scale, 1.5);
    const QPoint firstDrawn =
        screen->viewport()->mapToGlobal(screen->toViewport(list->viewport(), first.topLeft()));
    EXPECT_LE((rows[0]->rect().topLeft() - firstDrawn).manhattanLength(), 2);
    EXPECT_EQ(rows[0]->parent(), listNode);
    EXPECT_GE(listNode->indexOfChild(rows[0]), 0);

    // The columns beyond the view are off screen; those in it are shown.
    auto *area = find<QWidget>(QStringLiteral("pnlColumns"));
    ASSERT_NE(area, nullptr);
    const QRect areaDrawn = drawnRect(*screen, area);
    int shownColumns = 0, hiddenColumns = 0;
    for (int level = 1; level <= 20; ++level) {
        auto *column = find<QWidget>(QStringLiteral("pnlLevel_%1").arg(level));
        ASSERT_NE(column, nullptr);
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(column);
        const bool inView = drawnRect(*screen, column).intersects(areaDrawn);
        EXPECT_EQ(node->state().offscreen, !inView) << "level " << level;
        (inView ? shownColumns : hiddenColumns)++;
        if (!node->state().offscreen) {
            EXPECT_TRUE(QRect(QPoint(0, 0), displaySize()).intersects(node->rect())) << "level " << level;
        }
    }
    EXPECT_GT(shownColumns, 0);
    EXPECT_GT(hiddenColumns, 0);

    // The focus is on the focused control, not on the window.
    QWidget *focused = school->window->focusWidget();
    ASSERT_NE(focused, nullptr);
    QAccessibleInterface *focus = application->focusChild();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->object(), focused) << focused->objectName().toStdString();
    EXPECT_TRUE(focus->state().focused);

    // Tab moves the focus on the canvas: the focus reported moves with it.
    QTest::keyClick(screen.get(), Qt::Key_Tab);
    settle();
    QWidget *next = school->window->focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, focused);
    ASSERT_NE(application->focusChild(), nullptr);
    EXPECT_EQ(application->focusChild()->object(), next);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(focused)->state().focused);

    EXPECT_EQ(unnamedPanels(current()), QStringList()) << "on the levels screen";
    startLevelTwo();
    EXPECT_EQ(unnamedPanels(current()), QStringList()) << "on the drill";
}
