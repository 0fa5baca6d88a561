// The time from a click on the judge button with a right answer to the next question being shown
// (painted), with the sounds faked: the part of a drill the student waits for between two questions.

#include "drill/LevelCatalogue.h"
#include "drill/forms/DrillScreen.h"
#include "records/Statistics.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "startup/forms/ScreenParts.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace testing_support;

namespace {

QuestionList syntheticRange(int count)
{
    QuestionList list;
    const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつてと");
    // Characters every school computer's code page holds.
    const QString kanji = QStringLiteral("一右雨円王音下火花貝学気九休玉金空月犬見五口校左三山子四糸字耳七車"
                                         "手十出女小上森人水正生青夕石赤千川先早"
                                         "草足村大男竹中虫町天田土二日入年白八百文木本名目立力林六引羽雲園遠"
                                         "何科夏家歌画回会海絵外角楽活間丸岩顔汽"
                                         "記帰弓牛魚京強教近兄形計元言原戸古午後語工公広交光考行高黄合谷国黒"
                                         "今才細作算止市矢姉思紙寺自時室社弱首秋"
                                         "週春書少場色食心新親図数西声星晴切雪船線前組走多太体台地池知茶昼長"
                                         "鳥朝直通弟店点電刀冬当東答頭同道読内南");
    count = std::min<int>(count, int(kanji.size()) / 4);
    for (int i = 0; i < count; ++i) {
        const QString idiom = kanji.mid(i * 4, 4);
        QString reading;
        for (int k = 0; k < 5; ++k)
            reading += kana.at((i + k) % kana.size());
        list.append({idiom, reading, QStringLiteral("意味 %1").arg(i)});
    }
    return list;
}

class BenchNavigator : public Navigator
{
public:
    AppState *state = nullptr;
    AppContext *context = nullptr;
    QWidget *host = nullptr;
    QPointer<drill::DrillScreen> drill;
    void showNameSelection() override {}
    void showHub() override {}
    void showResult() override {}
    void showVersionBox(QWidget *) override {}
    void showDrill(int level) override
    {
        catalogue::prepareDrill(state->run, state->lastDrill, state->drill, level);
        if (drill)
            drill->deleteLater();
        drill = new drill::DrillScreen(startup::parts::drillScreen(*state), *context, host);
        drill->show();
        drill->activate();
    }
};

void judgeToNextQuestion(benchmark::State &benchState)
{
    Installation inst;
    FakeServices fakes;
    auto state = std::make_unique<AppState>();
    QString error;
    if (!testing_support::succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error)) {
        benchState.SkipWithError(error.toStdString().c_str());
        return;
    }
    catalogue::setUpLevels(state->catalogue);
    state->run.studentNumber = 1;
    state->run.studentName = QStringLiteral("ベンチ");
    state->run.currentLevel = 2;
    const QuestionList questions = syntheticRange(60);
    writeIdiomFile(inst.applicationFolder, questions, 1);
    records::computeStatistics({state->settings, state->catalogue}, state->standards, state->results,
                               state->statistics, fakes.services);
    QWidget host;
    host.resize(1024, 768);
    host.show();
    BenchNavigator navigator;
    AppContext context{fakes.services, navigator};
    navigator.state = state.get();
    navigator.context = &context;
    navigator.host = &host;
    navigator.showDrill(2);

    std::vector<double> samples;
    for (auto _ : benchState) {
        if (!navigator.drill ||
            !navigator.drill->findChild<QPushButton *>(QStringLiteral("Label15_1"))->isVisible()) {
            // The drill came to its end: start another (not timed).
            navigator.showDrill(2);
        }
        drill::DrillScreen *drill = navigator.drill;
        const QString meaning = drill->findChild<QLabel *>(QStringLiteral("Label9"))->text();
        const Question *q = nullptr;
        for (const Question &candidate : questions) {
            if (candidate.meaning == meaning)
                q = &candidate;
        }
        auto click = [&](const QString &family, int count, QChar c) {
            for (int i = 1; i <= count; ++i) {
                auto *b = drill->findChild<QPushButton *>(QStringLiteral("%1_%2").arg(family).arg(i));
                if (b->isVisible() && b->isEnabled() && b->text() == QString(c)) {
                    QTest::mouseClick(b, Qt::LeftButton);
                    return;
                }
            }
        };
        for (QChar c : q->reading.left(4))
            click(QStringLiteral("Label15"), 6, c);
        for (QChar c : q->idiom)
            click(QStringLiteral("Label14"), 12, c);
        auto *judge = drill->findChild<QPushButton *>(QStringLiteral("Command3"));
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(judge, Qt::LeftButton);
        if (navigator.drill)
            navigator.drill->repaint();
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        benchState.SetIterationTime(seconds);
        samples.push_back(seconds * 1000.0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (!samples.empty()) {
        std::sort(samples.begin(), samples.end());
        benchState.counters["median_ms"] = samples[samples.size() / 2];
        benchState.counters["p99_ms"] = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    }
}

} // namespace

BENCHMARK(judgeToNextQuestion)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
