// Speed of the personal data sheet on the screen: three levels drawn for a student of a school of 5000
// listed students with a results file of 100000 records (the sheet reads its last 20000), offscreen.
// The whole of "表示" (reading the file, the figures and hidden rankings of each level, painting the
// drawing area), and its two halves on their own.

#include "DemoSchool.h"
#include "drill/LevelCatalogue.h"
#include "hub/HubViews.h"
#include "hub/PersonalSheet.h"
#include "hub/forms/PersonalDataPanel.h"
#include "hub/forms/PersonalSheetPainter.h"
#include "platform/DateSerial.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "roster/NameList.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "support/QuietServices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

using hub::PersonalDataPanel;

using namespace bench_support;

namespace {

const QDate kToday(2026, 12, 8);
constexpr int kStudent = 2500;

class BenchClock : public platform::Clock
{
public:
    BenchClock() { m_timer.start(); }
    QDateTime now() const override { return QDateTime(kToday, QTime(16, 0)); }
    qint64 monotonicMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

// 5000 listed students, 100000 records over three years on the ten test levels; the student of the
// run has about 40 runs on each level. Loaded as the start-up and the hub's activation load it.
struct School
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

    bool layOut()
    {
        const QString r = root.path();
        const QString app = r + QStringLiteral("/四字熟語");
        const QString base = r + QStringLiteral("/school/");
        const QString data = base + QStringLiteral("四字熟語/");
        QDir().mkpath(app);
        QDir().mkpath(data);
        QDir().mkpath(base + QStringLiteral("音フォルダ"));
        platform::writeText932(r + QStringLiteral("/パスデータ.txt"),
                               {QStringLiteral("\"%1\",2,3,4,5,6,7,8,9,10").arg(base)});
        platform::writeText932(base + QStringLiteral("共通データ.txt"),
                               {QStringLiteral("4,\"12345大きな塾\",0,0,x,\"abc\",7,8,9,10")});
        platform::writeText932(base + QStringLiteral("音フォルダ/新音ファイル.txt"),
                               {QStringLiteral("間違い音2,bu,*")});
        platform::writeText932(data + QStringLiteral("タイム回数データ.txt"), demo::standardsLines());

        QStringList roster;
        QRandomGenerator rng(20261208);
        for (int n = 1; n <= 5000; ++n)
            roster << QStringLiteral("%1,%2,0,0,\"生徒%3\",0,\"\",\"\"")
                          .arg(n)
                          .arg(2008 + rng.bounded(13))
                          .arg(n);
        platform::writeText932(base + QStringLiteral("新名簿.txt"), roster);

        QByteArray bytes;
        bytes.reserve(100000 * records::kRecordSize);
        const double today = platform::dateSerial(kToday);
        for (int i = 0; i < 100000; ++i) {
            const double date = today - 1095 + std::floor(1095.0 * i / 100000.0);
            const int level = 2 * (1 + int(rng.bounded(10)));
            const int student = i % 250 == 0 ? kStudent : 1 + int(rng.bounded(5000));
            const int time = rng.bounded(50) == 0 ? records::kTimeOut : 60 + int(rng.bounded(400));
            bytes += records::encodeRecord(
                records::newRecord(date, 0.5, qint16(student), qint16(level), time, QStringLiteral("12345")));
        }
        QFile file(records::resultsFilePath(data));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        file.close();

        if (const app::Status failed = startup::loadSettings(*state, app, QDir::separator())) {
            qWarning("%s", qPrintable(failed->text));
            return false;
        }
        records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                                   state->statistics, services);
        if (const app::Status failed =
                roster::namelist::loadLists(state->settings, state->roster, state->statistics, services, 1,
                                            QStringLiteral("全学年"))
                    .status()) {
            qWarning("%s", qPrintable(failed->text));
            return false;
        }
        catalogue::setUpLevels(state->catalogue);
        state->run.studentNumber = qint16(kStudent);
        state->run.studentName = state->roster.studentNames[kStudent];
        records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                                   state->statistics, services);
        return true;
    }
};

School *school()
{
    static std::unique_ptr<School> s = [] {
        auto made = std::make_unique<School>();
        return made->layOut() ? std::move(made) : nullptr;
    }();
    return s.get();
}

const QString kAll = QStringLiteral("全学年");

hub::RowStudents rowsOf(const AppState &state)
{
    return hub::rowStudentsFor(state.roster, state.run.studentNumber, kAll);
}

hub::SheetSources sourcesOf(const AppState &state)
{
    return {state.catalogue, state.roster, state.results, state.statistics};
}

// "表示": the file read, three blocks built and the drawing area painted.
void BM_PersonalSheetOnScreen(benchmark::State &st)
{
    School *s = school();
    if (!s) {
        st.SkipWithError("the school could not be laid out");
        return;
    }
    const AppState &state = *s->state;
    PersonalDataPanel panel(
        {state.settings, state.catalogue, state.run, state.roster, state.results, state.statistics},
        s->context, [] { return kAll; }, nullptr);
    panel.resize(1008, 572);
    panel.showOwnSheet();
    auto *area = panel.findChild<QWidget *>(QStringLiteral("picSheet"));
    for (auto _ : st) {
        panel.draw(PersonalDataPanel::Target::Screen);
        area->repaint();
    }
    const hub::PersonalSheet &sheet = panel.shownSheet();
    st.counters["blocks"] = sheet.pages.empty() ? 0.0 : double(sheet.pages[0].blocks.size());
    st.counters["points"] = sheet.pages.empty() ? 0.0 : double(sheet.pages[0].blocks[0].chart.points.size());
}

// The figures alone: the runs read and three blocks with their hidden rankings.
void BM_PersonalSheetFigures(benchmark::State &st)
{
    School *s = school();
    if (!s) {
        st.SkipWithError("the school could not be laid out");
        return;
    }
    const QString path = records::resultsFilePath(s->state->settings.dataFolder);
    for (auto _ : st) {
        const app::Result<std::vector<hub::SheetRun>> runs = hub::readSheetRuns(path, s->wait, false);
        if (!runs) {
            st.SkipWithError(qPrintable(runs.failure().text));
            return;
        }
        const hub::RowStudents rows = rowsOf(*s->state);
        benchmark::DoNotOptimize(
            hub::personalSheet(sourcesOf(*s->state), rows, runs.value(), kToday, kStudent, {2, 4, 6}));
    }
}

// The painting alone, into an image of the drawing area's size at the screen's resolution.
void BM_PersonalSheetPaint(benchmark::State &st)
{
    School *s = school();
    if (!s) {
        st.SkipWithError("the school could not be laid out");
        return;
    }
    const app::Result<std::vector<hub::SheetRun>> runs =
        hub::readSheetRuns(records::resultsFilePath(s->state->settings.dataFolder), s->wait, false);
    if (!runs) {
        st.SkipWithError(qPrintable(runs.failure().text));
        return;
    }
    const hub::PersonalSheet sheet = hub::personalSheet(sourcesOf(*s->state), rowsOf(*s->state), runs.value(),
                                                        kToday, kStudent, {2, 4, 6});
    QImage image(704, 556, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    for (auto _ : st) {
        image.fill(Qt::white);
        QPainter painter(&image);
        hub::sheetpaint::paintPage(painter, QRectF(image.rect()), sheet, 0);
    }
}

} // namespace

BENCHMARK(BM_PersonalSheetOnScreen)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PersonalSheetFigures)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PersonalSheetPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
