// Speed of the hub's activation (statistics from the results file, every level column and list filled,
// level availability) and of the name screen's redraw, offscreen, for a large school (5000 listed
// students, a results file of 100000 records) and for the demo school.

#include "DemoSchool.h"
#include "drill/LevelCatalogue.h"
#include "hub/forms/HubScreen.h"
#include "platform/DateSerial.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "records/Statistics.h"
#include "roster/forms/NameScreen.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "startup/forms/ScreenParts.h"
#include "support/QuietServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using hub::HubScreen;
using roster::NameScreen;

using namespace bench_support;

namespace {

const QDate kToday(2026, 12, 8);

class BenchClock : public platform::Clock
{
public:
    QDateTime now() const override { return QDateTime(kToday, QTime(16, 0)); }
    qint64 monotonicMs() const override { return m_timer.elapsed(); }
    BenchClock() { m_timer.start(); }

private:
    QElapsedTimer m_timer;
};

// An installation loaded as the start-up loads it, with the student of the run confirmed.
struct School
{
    QTemporaryDir root;
    QString applicationFolder;
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

    bool load()
    {
        if (const app::Status failed = startup::loadSettings(*state, applicationFolder, QDir::separator())) {
            qWarning("%s", qPrintable(failed->text));
            return false;
        }
        // The name screen reads the roster into the shared state; its lists are what a redraw makes.
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
        state->run.gradeGroup = QStringLiteral("全学年");
        return true;
    }

    void confirm(int student)
    {
        state->run.studentNumber = qint16(student);
        state->run.studentName = state->roster.studentNames[std::size_t(student)];
        state->run.currentGrade = state->roster.studentGrades[std::size_t(student)];
    }
};

// 5000 listed students and 100000 records over three years, a few hundred of them today.
std::unique_ptr<School> largeSchool()
{
    auto school = std::make_unique<School>();
    const QString r = school->root.path();
    school->applicationFolder = r + QStringLiteral("/四字熟語");
    const QString base = r + QStringLiteral("/school/");
    const QString data = base + QStringLiteral("四字熟語/");
    QDir().mkpath(school->applicationFolder);
    QDir().mkpath(data);
    QDir().mkpath(base + QStringLiteral("音フォルダ"));
    platform::writeText932(r + QStringLiteral("/パスデータ.txt"),
                           {QStringLiteral("\"%1\",2,3,4,5,6,7,8,9,10").arg(base)});
    platform::writeText932(base + QStringLiteral("共通データ.txt"),
                           {QStringLiteral("4,\"12345大きな塾\",0,0,x,\"abc\",7,8,9,10")});
    platform::writeText932(base + QStringLiteral("音フォルダ/新音ファイル.txt"),
                           {QStringLiteral("間違い音2,bu,*")});
    platform::writeText932(data + QStringLiteral("タイム回数データ.txt"), demo::standardsLines());

    static const char16_t *family[] = {u"佐藤", u"鈴木", u"高橋", u"田中",
                                       u"伊藤", u"渡辺", u"山本", u"中村"};
    static const char16_t *given[] = {u"陽翔",   u"結衣", u"蓮", u"さくら",
                                      u"はると", u"美咲", u"湊", u"ひなた"};
    QStringList roster;
    QRandomGenerator rng(20261208);
    for (int n = 1; n <= 5000; ++n) {
        const QString name =
            QString::fromUtf16(family[rng.bounded(8)]) + QString::fromUtf16(given[rng.bounded(8)]);
        roster << QStringLiteral("%1,%2,0,0,\"%3\",0,\"\",\"\"").arg(n).arg(2008 + rng.bounded(13)).arg(name);
    }
    platform::writeText932(base + QStringLiteral("新名簿.txt"), roster);

    QByteArray bytes;
    bytes.reserve(100000 * records::kRecordSize);
    const double today = platform::dateSerial(kToday);
    for (int i = 0; i < 100000; ++i) {
        // Later records are more recent; the last ones are today's.
        const double date = i >= 99500 ? today : today - 1095 + std::floor(1095.0 * i / 99500.0);
        const int level = 2 * (1 + int(rng.bounded(10)));
        const int time = rng.bounded(50) == 0 ? records::kTimeOut : 100 + int(rng.bounded(400));
        bytes += records::encodeRecord(records::newRecord(date, 0.4 + rng.bounded(0.4),
                                                          qint16(1 + rng.bounded(5000)), qint16(level), time,
                                                          QStringLiteral("12345")));
    }
    QFile file(records::resultsFilePath(data));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.close();
    if (!school->load())
        return nullptr;
    school->confirm(2500);
    return school;
}

std::unique_ptr<School> demoSchool()
{
    auto school = std::make_unique<School>();
    QStringList written;
    if (const app::Status failed = demo::layOut(school->root.path(), kToday, &written)) {
        qWarning("%s", qPrintable(failed->text));
        return nullptr;
    }
    school->applicationFolder = demo::Layout(school->root.path()).appFolder;
    if (school->applicationFolder.endsWith(u'/'))
        school->applicationFolder.chop(1);
    if (!school->load())
        return nullptr;
    // A grade-5 student of the demo roster.
    school->confirm(152);
    return school;
}

void activateHub(benchmark::State &st, School *school)
{
    if (!school) {
        st.SkipWithError("the school could not be laid out");
        return;
    }
    for (auto _ : st) {
        st.PauseTiming();
        auto hub = std::make_unique<HubScreen>(startup::parts::hubScreen(*school->state), school->context);
        hub->resize(1024, 768);
        hub->show();
        st.ResumeTiming();
        hub->activate();
        st.PauseTiming();
        // What was filled: the rows of the first test level's list.
        if (auto *list = hub->findChild<QListView *>(QStringLiteral("List5_2")))
            st.counters["rows"] = double(list->model()->rowCount());
        hub.reset();
        st.ResumeTiming();
    }
}

void BM_HubActivation_Large(benchmark::State &st)
{
    static std::unique_ptr<School> school = largeSchool();
    activateHub(st, school.get());
}

void BM_HubActivation_DemoSchool(benchmark::State &st)
{
    static std::unique_ptr<School> school = demoSchool();
    activateHub(st, school.get());
}

void BM_NameScreenRedraw_Large(benchmark::State &st)
{
    static std::unique_ptr<School> school = largeSchool();
    if (!school) {
        st.SkipWithError("the school could not be laid out");
        return;
    }
    NameScreen screen(startup::parts::nameScreen(*school->state), school->context);
    screen.resize(1024, 768);
    screen.show();
    screen.activate();
    for (auto _ : st)
        screen.showRoster();
    st.counters["rows"] = double(screen.lists().names.size());
}

} // namespace

BENCHMARK(BM_HubActivation_Large)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HubActivation_DemoSchool)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NameScreenRedraw_Large)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
