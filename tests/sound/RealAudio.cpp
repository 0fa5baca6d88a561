#include "RealAudio.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <sndfile.h>

#include <cmath>
#include <cstring>

namespace real_audio {

namespace {
bool runScript(const QStringList &arguments, QString *error)
{
    QProcess script;
    script.start(QStringLiteral(YOJI_PULSE_SCRIPT), arguments);
    if (!script.waitForFinished(30000) || script.exitStatus() != QProcess::NormalExit ||
        script.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("pulse-server.sh %1 failed: %2")
                         .arg(arguments.join(u' '), QString::fromLocal8Bit(script.readAllStandardError()));
        return false;
    }
    return true;
}
} // namespace

PulseServer::~PulseServer()
{
    stop();
}

bool PulseServer::start(QString *error, const QString &folder)
{
    stop();
    if (folder.isEmpty()) {
        m_temporary = std::make_unique<QTemporaryDir>();
        m_folder = m_temporary->path();
    } else {
        m_folder = folder;
    }
    if (!runScript({QStringLiteral("start"), m_folder}, error))
        return false;
    QFile serverFile(m_folder + QStringLiteral("/server"));
    if (!serverFile.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("no server file in ") + m_folder;
        return false;
    }
    m_server = QString::fromLocal8Bit(serverFile.readAll()).trimmed();
    m_owned = true;
    return true;
}

void PulseServer::stop()
{
    if (m_owned && !m_folder.isEmpty())
        runScript({QStringLiteral("stop"), m_folder}, nullptr);
    m_owned = false;
    m_server.clear();
}

qint64 PulseServer::pid() const
{
    QFile pidFile(m_folder + QStringLiteral("/server.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    return QString::fromLatin1(pidFile.readAll()).trimmed().toLongLong();
}

void PulseServer::exportEnvironment() const
{
    qputenv("PULSE_SERVER", m_server.toLocal8Bit());
    qputenv("PULSE_COOKIE", cookie().toLocal8Bit());
}

PulseServer *PulseServer::shared(QString *error)
{
    static PulseServer server;
    if (server.running())
        return &server;
    const QString folder = qEnvironmentVariable("YOJI_PULSE_FOLDER");
    if (!folder.isEmpty()) {
        // Started by the test command's fixture: only read where it listens.
        QFile serverFile(folder + QStringLiteral("/server"));
        if (!serverFile.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("the test command's PulseAudio server is not running (no %1/server)")
                             .arg(folder);
            return nullptr;
        }
        server.m_folder = folder;
        server.m_server = QString::fromLocal8Bit(serverFile.readAll()).trimmed();
        return &server;
    }
    return server.start(error) ? &server : nullptr;
}

bool writeTone(const QString &path, double seconds, int rate, int channels, QString *error,
               SampleFormat format, double amplitude, double frequency)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format == SampleFormat::Flac      ? (SF_FORMAT_FLAC | SF_FORMAT_PCM_16)
                  : format == SampleFormat::Float32 ? (SF_FORMAT_WAV | SF_FORMAT_FLOAT)
                                                    : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QDir().mkpath(QFileInfo(path).absolutePath());
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) {
        if (error)
            *error =
                QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(sf_strerror(nullptr)));
        return false;
    }
    const sf_count_t frames = sf_count_t(std::llround(seconds * rate));
    std::vector<float> samples(std::size_t(frames) * channels);
    for (sf_count_t i = 0; i < frames; ++i) {
        // A cosine starts at full height; the tone ends on a loud sample as well, at most a period away.
        const float value = float(amplitude * std::cos(2.0 * M_PI * frequency * double(i) / rate));
        for (int c = 0; c < channels; ++c)
            samples[std::size_t(i) * channels + c] = value;
    }
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    if (written != frames) {
        if (error)
            *error = QStringLiteral("short write to ") + path;
        return false;
    }
    return true;
}

MonitorRecorder::MonitorRecorder(const QString &server) : m_server(server) {}

MonitorRecorder::~MonitorRecorder()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

bool MonitorRecorder::start(QString *error)
{
    m_process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), m_server);
    m_process->setProcessEnvironment(environment);
    m_process->setStandardOutputFile(m_folder.filePath(QStringLiteral("monitor.raw")));
    m_process->start(QStringLiteral("parec"),
                     {QStringLiteral("--device=yoji_null.monitor"),
                      QStringLiteral("--rate=%1").arg(kRecordRate), QStringLiteral("--channels=1"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--raw"),
                      QStringLiteral("--latency-msec=10")});
    if (!m_process->waitForStarted(5000)) {
        if (error)
            *error = QStringLiteral("parec does not start: ") + m_process->errorString();
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(m_folder.filePath(QStringLiteral("monitor.raw"))).size() == 0) {
        if (waited.elapsed() > 5000 || m_process->state() == QProcess::NotRunning) {
            if (error)
                *error = QStringLiteral("parec records nothing: ") +
                         QString::fromLocal8Bit(m_process->readAllStandardError());
            return false;
        }
        QThread::msleep(5);
    }
    return true;
}

std::vector<qint16> MonitorRecorder::stop(int tailMs)
{
    QThread::msleep(tailMs);
    m_process->terminate();
    if (!m_process->waitForFinished(3000)) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
    QFile file(m_folder.filePath(QStringLiteral("monitor.raw")));
    std::vector<qint16> samples;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        samples.resize(std::size_t(bytes.size() / 2));
        std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    }
    return samples;
}

QList<Burst> findBursts(const std::vector<qint16> &samples, int threshold, int minGapSamples)
{
    QList<Burst> bursts;
    qint64 lastLoud = -1;
    for (qint64 i = 0; i < qint64(samples.size()); ++i) {
        if (std::abs(int(samples[std::size_t(i)])) <= threshold)
            continue;
        if (bursts.isEmpty() || i - lastLoud > minGapSamples)
            bursts.append({i, i});
        bursts.last().last = i;
        lastLoud = i;
    }
    return bursts;
}

} // namespace real_audio
