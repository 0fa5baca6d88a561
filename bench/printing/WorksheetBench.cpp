// Speed of the worksheet screens with all ten ranges chosen (200 idioms of the program's own data file),
// offscreen: from a click on "再並べ替え" until the sheet is built afresh (the data file read again, the
// shuffle and the blanks) and its small preview painted, and from a click on "印刷へ" until the print
// layout screen's preview is painted.

#include "printing/forms/PrintLayoutScreen.h"
#include "printing/forms/WorksheetScreen.h"
#include "startup/AppState.h"
#include "startup/forms/ScreenParts.h"
#include "support/QuietServices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

#include <memory>

using printing::PrintLayoutScreen;
using printing::WorksheetScreen;

using namespace bench_support;

namespace {

class BenchClock : public platform::Clock
{
public:
    BenchClock() { m_timer.start(); }
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 8), QTime(16, 0)); }
    qint64 monotonicMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

// An application folder holding the program's idiom data file, and the worksheet screen over it with
// every range chosen.
struct Worksheets
{
    QTemporaryDir root;
    BenchClock clock;
    platform::SeededRandom random{7};
    SilentMessages messages;
    NoLauncher launcher;
    NoEnd end;
    NoMedia media;
    platform::ResponsiveWait wait;
    platform::NoOutputDialogs outputDialogs;
    Services services{clock, random, messages, launcher, end, media, wait, outputDialogs};
    NoNavigation navigator;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    AppContext context{services, navigator};
    std::unique_ptr<WorksheetScreen> form;

    bool open()
    {
        state->settings.appFolder = root.path() + QStringLiteral("/");
        if (!QFile::copy(QStringLiteral(YOJI_IDIOM_DATA), root.path() + QStringLiteral("/四字02vv.ccc")))
            return false;
        form = std::make_unique<WorksheetScreen>(startup::parts::worksheetScreen(*state), context, false);
        form->show();
        form->activate();
        auto *list = form->findChild<QListView *>(QStringLiteral("List1"));
        list->selectAll();
        QCoreApplication::processEvents();
        return messages.shown == 0 && form->worksheet().sheet.selectedIdiomCount == 200;
    }
};

// Each benchmark opens the screen for itself and closes it when it ends: a screen kept in a static would
// be destroyed by the exit handlers, after the application, and take the program down with it.
std::unique_ptr<Worksheets> openWorksheets()
{
    auto w = std::make_unique<Worksheets>();
    return w->open() ? std::move(w) : nullptr;
}

void BM_AllRanges_RebuildClickToPreviewPainted(benchmark::State &st)
{
    const std::unique_ptr<Worksheets> w = openWorksheets();
    if (!w) {
        st.SkipWithError("the worksheet screen could not be opened on the idiom data file");
        return;
    }
    auto *rebuild = w->form->findChild<QPushButton *>(QStringLiteral("Command3"));
    auto *preview = w->form->findChild<QLabel *>(QStringLiteral("picPreview"));
    for (auto _ : st) {
        QTest::mouseClick(rebuild, Qt::LeftButton);
        preview->repaint();
    }
    st.counters["idioms"] = w->form->worksheet().sheet.selectedIdiomCount;
}

void BM_AllRanges_ToPrintingClickToPreviewPainted(benchmark::State &st)
{
    const std::unique_ptr<Worksheets> w = openWorksheets();
    if (!w) {
        st.SkipWithError("the worksheet screen could not be opened on the idiom data file");
        return;
    }
    auto *toPrinting = w->form->findChild<QPushButton *>(QStringLiteral("Command1"));
    for (auto _ : st) {
        QTest::mouseClick(toPrinting, Qt::LeftButton);
        PrintLayoutScreen *layout = w->form->printLayout();
        if (!layout) {
            st.SkipWithError("the print layout screen did not open");
            return;
        }
        layout->findChild<QLabel *>(QStringLiteral("Picture1"))->repaint();
        st.PauseTiming();
        QTest::mouseClick(layout->findChild<QPushButton *>(QStringLiteral("Command8")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        st.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_AllRanges_RebuildClickToPreviewPainted)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AllRanges_ToPrintingClickToPreviewPainted)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
