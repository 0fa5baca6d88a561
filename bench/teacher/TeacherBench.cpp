// Speed of the teacher tools over a results file of 100000 records, offscreen: one key in the standards
// editor's box until the frequency panel is painted again (the panel reads the whole file at every key),
// opening the records browser until its list is painted, and one deletion there (the confirmation
// answered at once) until the list is painted again.

#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/ResultsMaintenance.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "startup/forms/ScreenParts.h"
#include "support/QuietServices.h"
#include "support/TestSupport.h"
#include "teacher/forms/RecordsScreen.h"
#include "teacher/forms/StandardsScreen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

using teacher::RecordsScreen;
using teacher::StandardsScreen;

using namespace testing_support;

using namespace bench_support;

namespace {

constexpr int kRecords = 100000;

QByteArray hundredThousandRecords()
{
    QRandomGenerator rng(20261208);
    QByteArray bytes;
    bytes.reserve(kRecords * records::kRecordSize);
    for (int i = 0; i < kRecords; ++i) {
        const int level = 2 * (1 + int(rng.bounded(10)));
        const int time = rng.bounded(50) == 0 ? records::kTimeOut : 60 + int(rng.bounded(500));
        bytes += records::encodeRecord(records::newRecord(46000.0 + i / 300, 0.4 + rng.bounded(0.4),
                                                          qint16(1 + rng.bounded(5000)), qint16(level), time,
                                                          QStringLiteral("12345")));
    }
    return bytes;
}

struct School
{
    Installation inst;
    FakeServices fakes;
    NoNavigation navigator;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    AppContext context{fakes.services, navigator};
    QByteArray records = hundredThousandRecords();

    School()
    {
        QStringList roster;
        for (int n = 1; n <= 5000; ++n)
            roster << QStringLiteral("%1,2015,0,0,\"生徒%1\",0,\"\",\"\"").arg(n);
        writeFile932(inst.baseFolder + QStringLiteral("新名簿.txt"), roster);
        writeResults();
        QString error;
        if (!testing_support::succeeded(
                startup::loadSettings(*state, inst.applicationFolder, QDir::separator()), &error))
            qFatal("%s", qPrintable(error));
    }
    void writeResults() const { writeBytes(records::resultsFilePath(inst.dataFolder), records); }
};

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void report(benchmark::State &st, std::vector<double> samples)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    st.counters["median_ms"] = samples[samples.size() / 2];
    st.counters["max_ms"] = samples.back();
}

void BM_StandardsEditorKeyToPanel(benchmark::State &st)
{
    School school;
    StandardsScreen form(startup::parts::standardsScreen(*school.state), school.context);
    form.show();
    form.activate();
    auto *box = form.findChild<QLineEdit *>(QStringLiteral("Gridinputtext"));
    auto *all = form.findChild<QListView *>(QStringLiteral("lstAllResults"));
    auto *best = form.findChild<QListView *>(QStringLiteral("lstBestTimes"));
    std::vector<double> samples;
    bool down = true;
    for (auto _ : st) {
        // Down and up again: each key shows another level's panel.
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(box, down ? Qt::Key_Down : Qt::Key_Up);
        all->viewport()->repaint();
        best->viewport()->repaint();
        const double ms = msSince(start);
        st.SetIterationTime(ms / 1000.0);
        samples.push_back(ms);
        down = !down;
    }
    report(st, samples);
    st.counters["records"] = kRecords;
}

void BM_RecordsBrowserOpen(benchmark::State &st)
{
    School school;
    std::vector<double> samples;
    for (auto _ : st) {
        const auto start = std::chrono::steady_clock::now();
        auto form =
            std::make_unique<RecordsScreen>(startup::parts::recordsScreen(*school.state), school.context);
        form->show();
        form->activate();
        form->findChild<QListView *>(QStringLiteral("List1"))->viewport()->repaint();
        const double ms = msSince(start);
        st.SetIterationTime(ms / 1000.0);
        samples.push_back(ms);
        st.counters["rows"] = form->list().rowCount();
    }
    report(st, samples);
}

void BM_RecordsBrowserDelete(benchmark::State &st)
{
    School school;
    auto form = std::make_unique<RecordsScreen>(startup::parts::recordsScreen(*school.state), school.context);
    form->show();
    form->activate();
    auto *list = form->findChild<QListView *>(QStringLiteral("List1"));
    std::vector<double> samples;
    for (auto _ : st) {
        // A record in the middle of the file: half the file moves.
        form->openRow(form->list().rowCount() / 2);
        school.fakes.messages.answers.push_back(true);
        const auto start = std::chrono::steady_clock::now();
        form->deleteRecord();
        list->viewport()->repaint();
        const double ms = msSince(start);
        st.SetIterationTime(ms / 1000.0);
        samples.push_back(ms);
    }
    report(st, samples);
    st.counters["rows_left"] = form->list().rowCount();
}

} // namespace

BENCHMARK(BM_StandardsEditorKeyToPanel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_RecordsBrowserOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_RecordsBrowserDelete)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
