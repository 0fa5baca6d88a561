// How much longer than the sound itself a synchronous play takes: the program plays its sounds while the
// drill's clock runs, so this overhead is added to a student's time. Played into a private PulseAudio
// null sink (the test command's server when YOJI_PULSE_FOLDER names it, else one started here).
#include "platform/PulseMediaLayer.h"
#include "sound/RealAudio.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr double kSoundSeconds = 0.3;
constexpr int kPlays = 20;

void BM_PlayOverhead(benchmark::State &state)
{
    QString error;
    real_audio::PulseServer *server = real_audio::PulseServer::shared(&error);
    if (!server) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    QTemporaryDir dir;
    const QString wave = dir.filePath(QStringLiteral("tone.wav"));
    if (!real_audio::writeTone(wave, kSoundSeconds, 44100, 1, &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    platform::PulseMediaLayer media(server->server());
    const QString command = QStringLiteral("play %1 wait").arg(wave);
    // The stream is opened and the file decoded once, as in the program after its first sound.
    if (media.sendCommand(command) != 0) {
        state.SkipWithError(media.errorText(platform::PulseMediaLayer::ErrorNoOutput).toStdString().c_str());
        return;
    }
    std::vector<double> overheadMs;
    for (auto _ : state) {
        overheadMs.clear();
        for (int i = 0; i < kPlays; ++i) {
            QElapsedTimer timer;
            timer.start();
            const int result = media.sendCommand(command);
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            if (result != 0) {
                state.SkipWithError("a play failed");
                return;
            }
            overheadMs.push_back(ms - kSoundSeconds * 1000.0);
        }
    }
    std::sort(overheadMs.begin(), overheadMs.end());
    state.counters["median_overhead_ms"] = (overheadMs[kPlays / 2 - 1] + overheadMs[kPlays / 2]) / 2.0;
    state.counters["min_overhead_ms"] = overheadMs.front();
    state.counters["max_overhead_ms"] = overheadMs.back();
    state.counters["plays"] = kPlays;
}
BENCHMARK(BM_PlayOverhead)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
