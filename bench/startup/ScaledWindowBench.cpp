// The program in its scaled window, full screen on offscreen displays of 1920 x 1080 (the canvas drawn at
// 1440 x 1080) and 2560 x 1440 (at 1920 x 1440), beside the window of the canvas's own size: a click on
// "O.K." with a right answer until the next question is painted on the display, the canvas painted again
// as a whole (as when a screen is shown), the whole window painted again (the season colour around the
// canvas too), and the hub's activation for a school of 5000 students (100000 records) until it is
// painted. Clicks go to the window's viewport at the points where the controls are seen.
//
// The click and the paintings run the three displays side by side in one run, each with a school and a
// window of its own, in rounds of a block on each display in turn, so that the machine's changing speed
// (other machines share its processors and memory) falls on all three alike; `to_window_1920` and
// `to_window_2560` are the medians over the rounds of a display's block median over the window's in the
// same round. The hub's activation runs each display after the other (`display:1920`, with `to_window`
// its median over the window's).
//
// Under `valgrind --tool=callgrind --collect-atstart=no` only the timed parts are counted, so that the
// instructions of one size can be set against another's whatever the load of the machine
// (BENCH_SCALED_DISPLAYS=2560 runs one display alone).

#include "drill/LevelCatalogue.h"
#include "platform/DateSerial.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "roster/NameList.h"
#include "roster/forms/TestSchool.h"
#include "startup/LoadSettings.h"
#include "startup/StartupRules.h"
#include "startup/forms/MainWindow.h"
#include "startup/forms/ProgramApplication.h"
#include "startup/forms/ScaledWindow.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QPaintEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define TOGGLE_COUNTING() CALLGRIND_TOGGLE_COLLECT
#else
#define TOGGLE_COUNTING()
#endif

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Counts the paintings of the window's viewport (with BENCH_SCALED_PAINTS set, each is listed on the
// standard error with the bounding rectangle of its region).
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (qEnvironmentVariableIsSet("BENCH_SCALED_PAINTS")) {
                const QRect b = static_cast<QPaintEvent *>(event)->region().boundingRect();
                qInfo("viewport %d,%d %dx%d rects %d", b.x(), b.y(), b.width(), b.height(),
                      int(static_cast<QPaintEvent *>(event)->region().rectCount()));
            }
        }
        return false;
    }
};

// Counts the paintings of the canvas's widgets and the canvas pixels they cover (each widget's painted
// region in canvas units), while switched on. With BENCH_SCALED_PAINTS set, each painting is listed on
// the standard error.
class WidgetPaints : public QObject
{
public:
    WidgetPaints() { QCoreApplication::instance()->installEventFilter(this); }
    ~WidgetPaints() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool on = false;
    int paints = 0;
    qint64 area = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!on || event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (!qobject_cast<MainWindow *>(widget->window()))
            return false;
        const QRegion &region = static_cast<QPaintEvent *>(event)->region();
        ++paints;
        for (const QRect &r : region)
            area += qint64(r.width()) * r.height();
        if (qEnvironmentVariableIsSet("BENCH_SCALED_PAINTS"))
            qInfo("painted %s %s: %d,%d %dx%d in %d rectangles", widget->metaObject()->className(),
                  qPrintable(widget->objectName()), region.boundingRect().x(), region.boundingRect().y(),
                  region.boundingRect().width(), region.boundingRect().height(), int(region.rectCount()));
        return false;
    }
};

// Lets events run until the viewport has been painted again (at most a few rounds).
void untilPainted(const PaintCounter &counter, int before)
{
    for (int i = 0; i < 50 && counter.paints == before; ++i)
        QCoreApplication::processEvents();
}

// The argument is the width of the display shown on full screen (1920 or 2560, the figures asked for), or
// 1024 for the window of the canvas's own size, drawn at a scale of 1 by the same window, as the floor the
// scaled figures are compared with.
bool showFor(int width, ScaledWindow &screen)
{
    if (width == MainWindow::kWidth) {
        screen.showWindowed();
    } else {
        const QList<QScreen *> displays = QGuiApplication::screens();
        const auto display = std::find_if(displays.begin(), displays.end(),
                                          [&](QScreen *s) { return s->geometry().width() == width; });
        if (display == displays.end())
            return false;
        screen.setScreen(*display);
        screen.move((*display)->geometry().topLeft());
        screen.showKiosk();
    }
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    return true;
}

void showFor(benchmark::State &st, ScaledWindow &screen)
{
    if (!showFor(int(st.range(0)), screen))
        st.SkipWithError("no display of that width");
    st.counters["scale"] = screen.scale();
}

// The medians of the window of the canvas's own size, per benchmark, over the runs so far: the window
// runs first, so each full-screen run reports its median as a multiple of the window's.
std::map<std::string, std::vector<double>> &windowMedians()
{
    static std::map<std::string, std::vector<double>> medians;
    return medians;
}

double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double p99Of(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 99 / 100)];
}

void setMedian(benchmark::State &st, const std::string &benchmark, std::vector<double> samples)
{
    if (samples.empty())
        return;
    const double median = medianOf(samples);
    st.counters["median_ms"] = median;
    st.counters["p99_ms"] = p99Of(samples);
    std::vector<double> &floor = windowMedians()[benchmark];
    if (st.range(0) == MainWindow::kWidth)
        floor.push_back(median);
    else if (!floor.empty())
        st.counters["to_window"] = median / medianOf(floor);
}

// The displays of the side-by-side runs, the window of the canvas's own size first:
// BENCH_SCALED_DISPLAYS (e.g. "2560", to count one size's instructions under callgrind) or all three.
std::vector<int> sideWidths()
{
    std::vector<int> widths;
    const QByteArray chosen = qgetenv("BENCH_SCALED_DISPLAYS");
    for (const QByteArray &w : (chosen.isEmpty() ? QByteArray("1024,1920,2560") : chosen).split(','))
        widths.push_back(w.trimmed().toInt());
    std::sort(widths.begin(), widths.end());
    return widths;
}

// One display of a side-by-side run: a school of its own, shown in the window on that display, and
// what its timed parts took and painted.
struct Side
{
    int width;
    TestSchool school;
    ScaledWindow screen{*school.window};
    PaintCounter counter;
    WidgetPaints widgets;
    std::vector<double> samples;
    // Per round, the median of the round's block on this display.
    std::vector<double> blockMedians;
    int viewportPaints = 0;

    explicit Side(int w) : width(w)
    {
        school.state->run.studentNumber = 131;
        school.state->run.studentName = QStringLiteral("加藤あおい");
        school.state->run.currentLevel = 2;
        catalogue::setUpLevels(school.state->catalogue);
        screen.viewport()->installEventFilter(&counter);
    }
    QWidget *current() const { return school.window->currentScreen(); }
};

// Runs the displays side by side, a block of `block` timed operations on each in turn (the first display
// of a round going round too), so that a change in the machine's speed during the run falls on every
// display alike; `prepare` readies a display's next operation untimed and `timed` runs one, returning
// the milliseconds it took. Reports, per display, the median and 99th percentile (`median_ms_1920`,
// `p99_ms_1920`, ...), the paintings per operation, and `to_window_1920`, `to_window_2560`: the median
// over the rounds of a display's block median over the window's in the same round.
void runSideBySide(benchmark::State &st, int block, const std::function<bool(Side &)> &prepare,
                   const std::function<double(Side &)> &timed)
{
    std::vector<std::unique_ptr<Side>> sides;
    for (int width : sideWidths()) {
        sides.push_back(std::make_unique<Side>(width));
        if (!showFor(width, sides.back()->screen)) {
            st.SkipWithError("no display of that width");
            return;
        }
    }
    int round = 0;
    for (auto _ : st) {
        double roundTime = 0;
        for (std::size_t k = 0; k < sides.size(); ++k) {
            Side &side = *sides[(k + std::size_t(round)) % sides.size()];
            std::vector<double> times;
            for (int i = 0; i < block; ++i) {
                if (!prepare(side)) {
                    st.SkipWithError("the screen to time did not show");
                    return;
                }
                const int before = side.counter.paints;
                side.widgets.on = true;
                const double ms = timed(side);
                side.widgets.on = false;
                side.viewportPaints += side.counter.paints - before;
                times.push_back(ms);
                roundTime += ms / 1000.0;
            }
            side.samples.insert(side.samples.end(), times.begin(), times.end());
            side.blockMedians.push_back(medianOf(times));
        }
        st.SetIterationTime(roundTime);
        ++round;
    }
    const Side *window = sides.front()->width == MainWindow::kWidth ? sides.front().get() : nullptr;
    for (const auto &side : sides) {
        const std::string w = std::to_string(side->width);
        const double runs = std::max<double>(1, double(side->samples.size()));
        st.counters["median_ms_" + w] = medianOf(side->samples);
        st.counters["p99_ms_" + w] = p99Of(side->samples);
        st.counters["viewport_paints_" + w] = side->viewportPaints / runs;
        st.counters["widgets_painted_" + w] = side->widgets.paints / runs;
        st.counters["kilo_area_" + w] = double(side->widgets.area) / runs / 1000.0;
        if (window && side.get() != window) {
            std::vector<double> ratios;
            for (std::size_t r = 0; r < side->blockMedians.size(); ++r)
                ratios.push_back(side->blockMedians[r] / window->blockMedians[r]);
            st.counters["to_window_" + w] = medianOf(ratios);
        }
    }
}

// From a click on "O.K." with the right answer until the next question is painted on the display.
void BM_DrillJudgeToNextQuestionPainted(benchmark::State &st)
{
    auto drillShown = [](Side &side) {
        return side.current() && side.current()->findChild<QPushButton *>(QStringLiteral("Command3"));
    };
    auto click = [](Side &side, QWidget *w) {
        QTest::mouseClick(side.screen.viewport(), Qt::LeftButton, {},
                          side.screen.toViewport(w, QRectF(w->rect()).center()));
    };
    auto pressShowing = [&](Side &side, const QString &family, int count, QChar c) {
        for (int i = 1; i <= count; ++i) {
            auto *b = side.current()->findChild<QPushButton *>(QStringLiteral("%1_%2").arg(family).arg(i));
            if (b && b->isVisible() && b->isEnabled() && b->text() == QString(c)) {
                click(side, b);
                return true;
            }
        }
        return false;
    };
    // Answers the question shown, right, up to "O.K.", which is left to press; false when none of the
    // range is shown.
    auto answerShown = [&](Side &side) {
        const QString meaning = side.current()->findChild<QLabel *>(QStringLiteral("Label9"))->text();
        const QuestionList questions = TestSchool::rangeOne();
        const auto q = std::find_if(questions.begin(), questions.end(),
                                    [&](const Question &candidate) { return candidate.meaning == meaning; });
        if (q == questions.end())
            return false;
        for (QChar c : q->reading.left(4))
            pressShowing(side, QStringLiteral("Label15"), 6, c);
        for (QChar c : q->idiom)
            pressShowing(side, QStringLiteral("Label14"), 12, c);
        QCoreApplication::processEvents();
        return true;
    };
    // The last question's "O.K." leads to the result screen, not to a next question.
    auto lastQuestionShown = [](Side &side) {
        return side.current()->findChild<QLabel *>(QStringLiteral("sLabel9"))->text() == QStringLiteral("1");
    };
    auto prepare = [&](Side &side) {
        for (int round = 0; round < 3; ++round) {
            if (!drillShown(side) ||
                !side.current()->findChild<QPushButton *>(QStringLiteral("Label15_1"))->isVisible()) {
                // The drill came to its end (or has not begun): start another.
                side.school.window->showDrill(side.school.state->run.currentLevel);
                for (int i = 0; i < 5; ++i)
                    QCoreApplication::processEvents();
            }
            if (!lastQuestionShown(side))
                break;
            // The drill's last question is answered and the drill ends.
            if (!answerShown(side))
                return false;
            click(side, side.current()->findChild<QPushButton *>(QStringLiteral("Command3")));
            for (int i = 0; i < 50 && drillShown(side); ++i)
                QCoreApplication::processEvents();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return answerShown(side);
    };
    auto judge = [&](Side &side) {
        auto *ok = side.current()->findChild<QPushButton *>(QStringLiteral("Command3"));
        TOGGLE_COUNTING(); // on
        const auto start = std::chrono::steady_clock::now();
        click(side, ok);
        // The handler lets the screen repaint on its way; what it left to paint when it returned (the
        // next question as the student answers it) is painted.
        const int afterHandler = side.counter.paints;
        QCoreApplication::processEvents();
        untilPainted(side.counter, afterHandler);
        const auto end = std::chrono::steady_clock::now();
        TOGGLE_COUNTING(); // off
        return std::chrono::duration<double, std::milli>(end - start).count();
    };
    runSideBySide(st, 10, prepare, judge);
}

// 5000 listed students and 100000 records over three years, a few hundred of them today, laid out with
// the program's own writers (text files in code page 932, results through the records layer).
struct LargeSchool
{
    QTemporaryDir root;
    QString applicationFolder;
    FakeServices fakes{};
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    bool ok = false;

    LargeSchool()
    {
        const QDate today = fakes.clock.now().date();
        const QString r = root.path();
        applicationFolder = r + QStringLiteral("/四字熟語");
        const QString base = r + QStringLiteral("/school/");
        const QString data = base + QStringLiteral("四字熟語/");
        QDir().mkpath(applicationFolder);
        QDir().mkpath(data);
        QDir().mkpath(base + QStringLiteral("音フォルダ"));
        QString error;
        bool written =
            !platform::writeText932(r + QStringLiteral("/パスデータ.txt"),
                                    {QStringLiteral("\"%1\",2,3,4,5,6,7,8,9,10").arg(base)}) &&
            !platform::writeText932(base + QStringLiteral("共通データ.txt"),
                                    {QStringLiteral("4,\"12345大きな塾\",0,0,x,\"abc\",7,8,9,10")}) &&
            !platform::writeText932(base + QStringLiteral("音フォルダ/新音ファイル.txt"),
                                    {QStringLiteral("正解音2,pin,*"), QStringLiteral("間違い音2,bu,*")}) &&
            !platform::writeText932(data + QStringLiteral("タイム回数データ.txt"),
                                    Installation::standardsLines());
        static const char16_t *family[] = {u"佐藤", u"鈴木", u"高橋", u"田中",
                                           u"伊藤", u"渡辺", u"山本", u"中村"};
        static const char16_t *given[] = {u"陽翔",   u"結衣", u"蓮", u"さくら",
                                          u"はると", u"美咲", u"湊", u"ひなた"};
        QStringList roster;
        QRandomGenerator rng(20261208);
        for (int n = 1; n <= 5000; ++n) {
            const QString name =
                QString::fromUtf16(family[rng.bounded(8)]) + QString::fromUtf16(given[rng.bounded(8)]);
            roster << QStringLiteral("%1,%2,0,0,\"%3\",0,\"\",\"\"")
                          .arg(n)
                          .arg(2008 + rng.bounded(13))
                          .arg(name);
        }
        written = written && !platform::writeText932(base + QStringLiteral("新名簿.txt"), roster);

        QList<records::ResultRecord> runs;
        runs.reserve(100000);
        const double serial = platform::dateSerial(today);
        for (int i = 0; i < 100000; ++i) {
            const double date = i >= 99500 ? serial : serial - 1095 + std::floor(1095.0 * i / 99500.0);
            const int level = 2 * (1 + int(rng.bounded(10)));
            const int time = rng.bounded(50) == 0 ? 99999 : 100 + int(rng.bounded(400));
            runs << records::newRecord(date, 0.4 + rng.bounded(0.4), qint16(1 + rng.bounded(5000)),
                                       qint16(level), time, QStringLiteral("12345"));
        }
        records::RetryWait &wait = fakes.wait;
        if (written)
            if (const app::Status failed =
                    records::appendRecords(records::resultsFilePath(data), runs, wait)) {
                error = failed->text;
                written = false;
            }
        written = written && testing_support::succeeded(
                                 startup::loadSettings(*state, applicationFolder, QDir::separator()), &error);
        if (written) {
            // The name screen reads the statistics and then the roster into the shared state.
            records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                                       state->statistics, fakes.services);
            if (const app::Status failed =
                    roster::namelist::loadLists(state->settings, state->roster, state->statistics,
                                                fakes.services, 1, QStringLiteral("全学年"))
                        .status()) {
                error = failed->text;
                written = false;
            }
        }
        if (!written) {
            qWarning("%s", qPrintable(error));
            return;
        }
        catalogue::setUpLevels(state->catalogue);
        state->settings.seasonColour = startup::seasonColour(today.month());
        state->run.gradeGroup = QStringLiteral("全学年");
        state->run.studentNumber = 2500;
        state->run.studentName = state->roster.studentNames[2500];
        state->run.currentGrade = state->roster.studentGrades[2500];
        ok = true;
    }
};

void BM_HubActivationPainted_5000Students(benchmark::State &st)
{
    static LargeSchool school;
    if (!school.ok) {
        st.SkipWithError("the school could not be laid out");
        return;
    }
    MainWindow window(*school.state, school.fakes.services, school.applicationFolder);
    ScaledWindow screen(window);
    showFor(st, screen);
    PaintCounter counter;
    screen.viewport()->installEventFilter(&counter);

    auto rows = [&]() -> int {
        QWidget *hub = window.currentScreen();
        auto *list = hub ? hub->findChild<QListView *>(QStringLiteral("List5_2")) : nullptr;
        return list ? list->model()->rowCount() : -1;
    };
    std::vector<double> samples;
    for (auto _ : st) {
        st.PauseTiming();
        window.showNameSelection();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        st.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        window.showHub();
        // The activation runs from the event loop once the hub is shown; then the hub is painted.
        for (int i = 0; i < 50 && rows() <= 0; ++i)
            QCoreApplication::processEvents();
        const int before = counter.paints;
        QCoreApplication::processEvents();
        untilPainted(counter, before);
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double>(end - start).count() * 1000.0);
        st.counters["rows"] = rows();
    }
    setMedian(st, "hub", samples);
}

// Shows the drill screen on the display's window unless it is shown.
bool drillShownOn(Side &side)
{
    if (!side.current() || !side.current()->findChild<QPushButton *>(QStringLiteral("Command3"))) {
        side.school.window->showDrill(side.school.state->run.currentLevel);
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    return side.current() != nullptr;
}

// The whole screen painted again (the drill's screen), as after a change of screen.
void BM_WholeScreenRepainted(benchmark::State &st)
{
    // The canvas is painted again as a whole, as when a screen is shown: the season colour around it
    // is not (it is painted when the window is shown or resized, see BM_WindowExposed).
    auto repaint = [](Side &side) {
        TOGGLE_COUNTING(); // on
        const auto start = std::chrono::steady_clock::now();
        const int before = side.counter.paints;
        side.current()->update();
        QCoreApplication::processEvents();
        untilPainted(side.counter, before);
        const auto end = std::chrono::steady_clock::now();
        TOGGLE_COUNTING(); // off
        return std::chrono::duration<double, std::milli>(end - start).count();
    };
    runSideBySide(st, 5, drillShownOn, repaint);
}

// The whole window painted again, the season colour around the canvas too, as when it is shown, uncovered
// or resized.
void BM_WindowExposed(benchmark::State &st)
{
    auto repaint = [](Side &side) {
        TOGGLE_COUNTING(); // on
        const auto start = std::chrono::steady_clock::now();
        side.screen.viewport()->repaint();
        const auto end = std::chrono::steady_clock::now();
        TOGGLE_COUNTING(); // off
        return std::chrono::duration<double, std::milli>(end - start).count();
    };
    runSideBySide(st, 5, drillShownOn, repaint);
}

// The number of runs: `runs`, or as many as BENCH_SCALED_ITERATIONS says (fewer under callgrind).
int runsOr(int runs)
{
    bool ok = false;
    const int chosen = qEnvironmentVariableIntValue("BENCH_SCALED_ITERATIONS", &ok);
    return ok && chosen > 0 ? chosen : runs;
}

// Registers one benchmark at each display width, each run `iterations` times.
void registerAtEachWidth(const char *name, void (*function)(benchmark::State &), int iterations)
{
    benchmark::RegisterBenchmark(name, function)
        ->ArgName("display")
        ->Arg(1024)
        ->Arg(1920)
        ->Arg(2560)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(runsOr(iterations));
}

// Registers a benchmark that runs the displays side by side, `rounds` rounds.
void registerSideBySide(const char *name, void (*function)(benchmark::State &), int rounds)
{
    benchmark::RegisterBenchmark(name, function)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(runsOr(rounds))
        ->UseManualTime();
}
} // namespace

int main(int argc, char **argv)
{
    // Displays of 1920 x 1080 and 2560 x 1440, side by side, for the offscreen platform, unless one was
    // chosen.
    QTemporaryDir folder;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QString file = folder.filePath(QStringLiteral("screen.json"));
        QFile json(file);
        if (json.open(QIODevice::WriteOnly))
            json.write(R"({"screens":[{"name":"s1","x":0,"y":0,"width":1920,"height":1080,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1},)"
                       R"({"name":"s2","x":1920,"y":0,"width":2560,"height":1440,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
        json.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file));
    }
    ProgramApplication app(argc, argv);
    // 20 rounds of 10 clicks and of 5 repaints on each display.
    registerSideBySide("BM_DrillJudgeToNextQuestionPainted", BM_DrillJudgeToNextQuestionPainted, 20);
    registerSideBySide("BM_WholeScreenRepainted", BM_WholeScreenRepainted, 20);
    registerSideBySide("BM_WindowExposed", BM_WindowExposed, 20);
    registerAtEachWidth("BM_HubActivationPainted_5000Students", BM_HubActivationPainted_5000Students, 15);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
