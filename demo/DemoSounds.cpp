#include "DemoSchool.h"

#include <QDir>
#include <QFileInfo>

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace demo {

namespace {

constexpr int kRate = 44100;

struct Note
{
    double frequency; // Hz; 0 is a rest
    double start;     // seconds
    double length;    // seconds
    double volume;    // 0..1
};

// A soft bell-like tone: a sine with two quiet overtones and an exponential decay, faded in and out
// over a few milliseconds so that nothing clicks.
std::vector<short> render(const std::vector<Note> &notes, double total)
{
    std::vector<double> mix(std::size_t(total * kRate), 0.0);
    for (const Note &n : notes) {
        const std::size_t begin = std::size_t(n.start * kRate);
        const std::size_t count = std::size_t(n.length * kRate);
        for (std::size_t i = 0; i < count && begin + i < mix.size(); ++i) {
            const double t = double(i) / kRate;
            const double attack = std::min(1.0, t / 0.005);
            const double release = std::min(1.0, (n.length - t) / 0.02);
            const double envelope = attack * std::max(0.0, release) * std::exp(-3.0 * t / n.length);
            const double w = 2.0 * M_PI * n.frequency * t;
            mix[begin + i] +=
                n.volume * envelope * (std::sin(w) + 0.25 * std::sin(2 * w) + 0.08 * std::sin(3 * w));
        }
    }
    std::vector<short> samples(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i)
        samples[i] = short(std::lround(std::clamp(mix[i] * 0.5, -1.0, 1.0) * 30000.0));
    return samples;
}

app::Status writeWav(const QString &path, const std::vector<short> &samples)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return app::failure(QStringLiteral("音声ファイルを作れません：%1（%2）")
                                .arg(path, QString::fromUtf8(sf_strerror(nullptr))));
    const sf_count_t n = sf_write_short(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    if (n != sf_count_t(samples.size()))
        return app::failure(QStringLiteral("音声ファイルを書けません：%1").arg(path));
    return {};
}

// Note frequencies of the octaves used.
constexpr double C5 = 523.25, E5 = 659.25, G5 = 783.99, A5 = 880.00, C6 = 1046.50, D6 = 1174.66, E6 = 1318.51,
                 G6 = 1567.98, A4 = 440.00, F4 = 349.23, D4 = 293.66, B4 = 493.88;

} // namespace

app::Status writeSounds(const QString &soundFolder, QStringList *written)
{
    struct Sound
    {
        const char16_t *name;
        std::vector<Note> notes;
        double total;
    };
    const Sound sounds[] = {
        {u"seikai1", {{E6, 0.0, 0.12, 0.8}, {A5 * 2, 0.10, 0.30, 0.8}}, 0.40},
        {u"seikai2", {{C6, 0.0, 0.10, 0.8}, {E6, 0.08, 0.10, 0.8}, {G6, 0.16, 0.25, 0.8}}, 0.42},
        {u"machigai1", {{A4, 0.0, 0.18, 0.7}, {F4, 0.16, 0.30, 0.7}}, 0.48},
        {u"machigai2", {{B4, 0.0, 0.15, 0.7}, {D4, 0.14, 0.32, 0.7}}, 0.48},
        {u"fanfare1",
         {{C5, 0.0, 0.15, 0.7}, {E5, 0.15, 0.15, 0.7}, {G5, 0.30, 0.15, 0.7}, {C6, 0.45, 0.50, 0.8}},
         0.98},
        {u"jiko1", {{G5, 0.0, 0.12, 0.7}, {C6, 0.12, 0.12, 0.7}, {E6, 0.24, 0.40, 0.8}}, 0.66},
        {u"jiko2", {{E5, 0.0, 0.12, 0.7}, {A5, 0.12, 0.12, 0.7}, {D6, 0.24, 0.40, 0.8}}, 0.66},
        {u"minimum1", {{G5, 0.0, 0.15, 0.6}, {C6, 0.14, 0.28, 0.6}}, 0.44},
        {u"最高1",
         {{C5, 0.0, 0.12, 0.7},
          {C5, 0.13, 0.12, 0.7},
          {C5, 0.26, 0.12, 0.7},
          {E5, 0.40, 0.30, 0.7},
          {G5, 0.72, 0.30, 0.7},
          {C6, 1.04, 0.70, 0.9},
          {E6, 1.04, 0.70, 0.5}},
         1.80},
        {u"合格",
         {{G5, 0.0, 0.20, 0.7},
          {C6, 0.20, 0.20, 0.7},
          {E6, 0.40, 0.20, 0.7},
          {G6, 0.60, 0.35, 0.7},
          {E6, 0.95, 0.15, 0.6},
          {G6, 1.10, 0.90, 0.9},
          {C6, 1.10, 0.90, 0.5}},
         2.05},
    };
    QDir().mkpath(soundFolder);
    for (const Sound &s : sounds) {
        const QString path = soundFolder + QString::fromUtf16(s.name) + QStringLiteral(".wav");
        if (QFileInfo::exists(path))
            continue;
        if (app::Status failed = writeWav(path, render(s.notes, s.total)))
            return failed;
        if (written)
            written->append(path);
    }
    return {};
}

} // namespace demo
