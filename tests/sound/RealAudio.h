#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class QProcess;

// Helpers for the tests and the benchmark that play real sounds: a private PulseAudio server with a
// null sink, wave files written with libsndfile, and a recording of the sink's monitor.
namespace real_audio {

inline constexpr int kRecordRate = 44100;

// A private PulseAudio server started by tests/platform/pulse-server.sh in a folder of its own.
class PulseServer
{
public:
    PulseServer() = default;
    ~PulseServer();
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;

    // Starts a server in `folder` (kept) or, when empty, in a temporary folder of its own.
    bool start(QString *error, const QString &folder = {});
    void stop();
    bool running() const { return !m_server.isEmpty(); }
    QString server() const { return m_server; }
    QString cookie() const { return m_folder + QStringLiteral("/home/cookie"); }
    // The server's process id, 0 when it is not known.
    qint64 pid() const;

    // Makes this process and the programs it starts use the server.
    void exportEnvironment() const;

    // The server the test command started (its folder in YOJI_PULSE_FOLDER), or else one started
    // here for the rest of the process. Null with *error when neither is possible.
    static PulseServer *shared(QString *error);

private:
    std::unique_ptr<QTemporaryDir> m_temporary;
    QString m_folder;
    QString m_server;
    bool m_owned = false;
};

enum class SampleFormat { Pcm16, Float32, Flac };

// A tone of `seconds` at constant loudness (so that its first and last milliseconds are audible in a
// recording), as a wave file (or FLAC, to have a real sound that is not a wave file).
bool writeTone(const QString &path, double seconds, int rate, int channels, QString *error,
               SampleFormat format = SampleFormat::Pcm16, double amplitude = 0.5, double frequency = 440.0);

// Records the null sink's monitor into a file with parec, mono at 44100 Hz.
class MonitorRecorder
{
public:
    explicit MonitorRecorder(const QString &server);
    ~MonitorRecorder();
    // Starts parec and returns once it delivers samples (false after 5 s).
    bool start(QString *error);
    // Records `tailMs` more, stops and returns the samples.
    std::vector<qint16> stop(int tailMs = 150);

private:
    QString m_server;
    QTemporaryDir m_folder;
    std::unique_ptr<QProcess> m_process;
};

// A stretch of sound in a recording: first and last sample above the threshold, with no silence of
// `minGapSamples` or more inside.
struct Burst
{
    qint64 first = 0;
    qint64 last = 0;
    double seconds() const { return double(last - first + 1) / kRecordRate; }
};
QList<Burst> findBursts(const std::vector<qint16> &samples, int threshold = 1000, int minGapSamples = 88);

} // namespace real_audio
