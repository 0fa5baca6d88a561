#include "platform/PulseMediaLayer.h"

#include "platform/TextFile.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <sndfile.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// A libsndfile handle that closes itself.
struct SoundFile
{
    SNDFILE *handle = nullptr;
    ~SoundFile()
    {
        if (handle)
            sf_close(handle);
    }
};

qint16 toSample(float value)
{
    return qint16(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

} // namespace

PulseMediaLayer::PulseMediaLayer(QString server, qint64 cacheBudgetBytes, int openDeadlineMs,
                                 int answerDeadlineMs)
    : m_server(std::move(server)), m_cacheBudget(cacheBudgetBytes), m_openDeadlineMs(openDeadlineMs),
      m_answerDeadlineMs(answerDeadlineMs)
{
}

PulseMediaLayer::~PulseMediaLayer()
{
    closeStream();
}

std::optional<QString> PulseMediaLayer::parsePlayCommand(const QString &command)
{
    static const QString play = QStringLiteral("play ");
    static const QString wait = QStringLiteral(" wait");
    const QString trimmed = command.trimmed();
    if (trimmed.size() < play.size() + wait.size() || !trimmed.startsWith(play, Qt::CaseInsensitive) ||
        !trimmed.endsWith(wait, Qt::CaseInsensitive))
        return std::nullopt;
    QString path = trimmed.mid(play.size(), trimmed.size() - play.size() - wait.size()).trimmed();
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

Result<QByteArray> PulseMediaLayer::decodeWave(const QString &path)
{
    SF_INFO info{};
    SoundFile file;
    file.handle = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file.handle)
        return failure(QStringLiteral("WAV 形式の音声ファイルとして読めません：%1（%2）")
                           .arg(displayPath(path), QString::fromLocal8Bit(sf_strerror(nullptr))));
    const int major = info.format & SF_FORMAT_TYPEMASK;
    if (major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX && major != SF_FORMAT_RF64)
        return failure(QStringLiteral("WAV 形式ではない音声ファイルです：%1").arg(displayPath(path)));
    if (info.channels < 1 || info.samplerate < 1000 || info.samplerate > 384000 || info.frames < 0)
        return failure(
            QStringLiteral(
                "WAV ファイルの形式（チャンネル数 %2、サンプリング周波数 %3 Hz）に対応していません：%1")
                .arg(displayPath(path), QString::number(info.channels), QString::number(info.samplerate)));
    if (info.frames > sf_count_t(info.samplerate) * kMaxSoundSeconds)
        return failure(QStringLiteral("音声ファイルが長すぎます（%2 秒まで）：%1")
                           .arg(displayPath(path), QString::number(kMaxSoundSeconds)));

    std::vector<float> samples(std::size_t(info.frames) * std::size_t(info.channels));
    const sf_count_t read = sf_readf_float(file.handle, samples.data(), info.frames);
    if (read < info.frames)
        return failure(
            QStringLiteral("WAV ファイルが途中で切れているか壊れています：%1").arg(displayPath(path)));

    // Into the stream's format: the first two channels (a mono sound on both), and the stream's rate by
    // linear interpolation, which keeps the sound's length to the sample.
    const sf_count_t frames = info.frames;
    const sf_count_t outFrames = info.samplerate == kRate
                                     ? frames
                                     : sf_count_t(std::llround(double(frames) * kRate / info.samplerate));
    QByteArray pcm(qsizetype(outFrames) * kBytesPerFrame, Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(pcm.data());
    const int channels = info.channels;
    auto at = [&](sf_count_t frame, int channel) {
        return samples[std::size_t(frame) * channels + std::min(channel, channels - 1)];
    };
    for (sf_count_t i = 0; i < outFrames; ++i) {
        for (int c = 0; c < kChannels; ++c) {
            float value;
            if (info.samplerate == kRate) {
                value = at(i, c);
            } else {
                const double position = double(i) * info.samplerate / kRate;
                const sf_count_t index = std::min(sf_count_t(position), frames - 1);
                const float fraction = float(position - double(index));
                const float next = index + 1 < frames ? at(index + 1, c) : at(index, c);
                value = at(index, c) + (next - at(index, c)) * fraction;
            }
            out[i * kChannels + c] = toSample(value);
        }
    }
    return pcm;
}

int PulseMediaLayer::fail(int error, const QString &detail)
{
    m_details.insert(error, detail);
    return error;
}

void PulseMediaLayer::evictFor(qint64 bytes)
{
    while (!m_cache.isEmpty() && m_cachedBytes + bytes > m_cacheBudget) {
        auto oldest = m_cache.begin();
        for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        m_cachedBytes -= oldest->pcm.size();
        m_cache.erase(oldest);
    }
}

int PulseMediaLayer::load(const QString &requested, const QByteArray **pcm)
{
    QString path = requested;
    QFileInfo info(path);
    // A sound set written on Windows may name a subfolder with a backslash.
    if (!info.exists() && path.contains(u'\\')) {
        const QFileInfo alternative(QString(path).replace(u'\\', u'/'));
        if (alternative.exists()) {
            path = alternative.filePath();
            info = alternative;
        }
    }
    if (!info.exists())
        return fail(ErrorFileNotFound,
                    QStringLiteral("音声ファイルが見つかりません：%1").arg(displayPath(requested)));
    if (info.isDir())
        return fail(ErrorIsFolder,
                    QStringLiteral("音声ファイルではなくフォルダです：%1").arg(displayPath(requested)));

    const QString key = info.absoluteFilePath();
    auto cached = m_cache.find(key);
    if (cached != m_cache.end() && cached->fileSize == info.size() &&
        cached->modified == info.lastModified()) {
        cached->lastUse = ++m_useCounter;
        *pcm = &cached->pcm;
        return 0;
    }
    if (cached != m_cache.end()) {
        m_cachedBytes -= cached->pcm.size();
        m_cache.erase(cached);
    }

    Result<QByteArray> pcmRead = decodeWave(path);
    if (!pcmRead)
        return fail(ErrorNotWave, pcmRead.failure().text);
    Decoded decoded;
    decoded.pcm = std::move(pcmRead.value());
    decoded.fileSize = info.size();
    decoded.modified = info.lastModified();
    decoded.lastUse = ++m_useCounter;
    evictFor(decoded.pcm.size());
    m_cachedBytes += decoded.pcm.size();
    *pcm = &m_cache.insert(key, std::move(decoded))->pcm;
    return 0;
}

bool PulseMediaLayer::connectionBroken() const
{
    if (!m_context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
        return true;
    return m_stream && !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
}

PulseMediaLayer::Outcome PulseMediaLayer::serverFailure() const
{
    return {Outcome::Kind::Failed, QString::fromLocal8Bit(pa_strerror(m_context ? pa_context_errno(m_context)
                                                                                : PA_ERR_CONNECTIONREFUSED))};
}

template <typename Done>
PulseMediaLayer::Outcome PulseMediaLayer::runUntil(Done done, const QDeadlineTimer &deadline)
{
    while (!done()) {
        if (connectionBroken())
            return serverFailure();
        const qint64 leftMs = deadline.remainingTime();
        if (leftMs == 0)
            return {Outcome::Kind::TimedOut, {}};
        const int timeoutUs = int(std::min<qint64>(leftMs, INT_MAX / 1000) * 1000);
        if (pa_mainloop_prepare(m_loop, timeoutUs) < 0 || pa_mainloop_poll(m_loop) < 0 ||
            pa_mainloop_dispatch(m_loop) < 0)
            return serverFailure();
    }
    return {};
}

PulseMediaLayer::Outcome PulseMediaLayer::openStream()
{
    if (m_stream)
        return {};
    const QDeadlineTimer deadline(m_openDeadlineMs);
    Outcome outcome = connectStream(deadline);
    if (!outcome.done())
        closeStream();
    if (outcome.kind == Outcome::Kind::TimedOut)
        outcome.why = QStringLiteral("音声の出力先（サウンドサーバー）が %1 秒待っても応答しません。")
                          .arg(QString::number(m_openDeadlineMs / 1000.0));
    else if (outcome.kind == Outcome::Kind::Failed)
        outcome.why =
            QStringLiteral("音声の出力先（サウンドサーバー）に接続できません（%1）。").arg(outcome.why);
    return outcome;
}

PulseMediaLayer::Outcome PulseMediaLayer::connectStream(const QDeadlineTimer &deadline)
{
    m_loop = pa_mainloop_new();
    m_context = m_loop ? pa_context_new(pa_mainloop_get_api(m_loop), "yojidrill") : nullptr;
    if (!m_context)
        return {Outcome::Kind::Failed, QStringLiteral("PulseAudio の接続を用意できません")};
    // Never start a server: a machine without one has no sound, and says so after four answers.
    const QByteArray server = m_server.toLocal8Bit();
    if (pa_context_connect(m_context, server.isEmpty() ? nullptr : server.constData(), PA_CONTEXT_NOAUTOSPAWN,
                           nullptr) < 0)
        return serverFailure();
    Outcome connected =
        runUntil([&] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; }, deadline);
    if (!connected.done())
        return connected;

    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = kRate;
    sampleFormat.channels = kChannels;
    // A short target buffer: the sound starts at once and the drain ends close to the last sample.
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(kRate * kTargetLatencyMs / 1000 * kBytesPerFrame);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(-1);
    m_stream = pa_stream_new(m_context, "effects", &sampleFormat, nullptr);
    const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY |
                                         PA_STREAM_AUTO_TIMING_UPDATE);
    if (!m_stream || pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
        return serverFailure();
    return runUntil([&] { return pa_stream_get_state(m_stream) == PA_STREAM_READY; }, deadline);
}

void PulseMediaLayer::closeStream()
{
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_loop) {
        pa_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

bool PulseMediaLayer::open()
{
    return openStream().done();
}

PulseMediaLayer::Outcome PulseMediaLayer::writeAndDrain(const QByteArray &pcm)
{
    QElapsedTimer timer;
    timer.start();
    const qint64 lengthUs = qint64(pcm.size()) / kBytesPerFrame * 1000000 / kRate;
    const QDeadlineTimer deadline(lengthUs / 1000 + m_answerDeadlineMs);

    for (qsizetype offset = 0; offset < pcm.size();) {
        size_t writable = 0;
        Outcome room = runUntil(
            [&] {
                writable = pa_stream_writable_size(m_stream);
                return writable != size_t(-1) && writable > 0;
            },
            deadline);
        if (!room.done())
            return room;
        const size_t chunk = std::min(writable, size_t(pcm.size() - offset));
        if (pa_stream_write(m_stream, pcm.constData() + offset, chunk, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return serverFailure();
        offset += qsizetype(chunk);
    }

    // The drain ends when the server has taken the last sample.
    int drained = -1;
    pa_operation *drain = pa_stream_drain(
        m_stream,
        [](pa_stream *, int success, void *result) { *static_cast<int *>(result) = success ? 1 : 0; },
        &drained);
    if (!drain)
        return serverFailure();
    Outcome outcome = runUntil([&] { return drained >= 0; }, deadline);
    if (!outcome.done())
        pa_operation_cancel(drain);
    pa_operation_unref(drain);
    if (!outcome.done())
        return outcome;
    if (drained == 0)
        return serverFailure();

    // Wait out what still lies between the server and the output, and never return before the sound's
    // own length has passed.
    pa_usec_t latency = 0;
    int negative = 0;
    // A failed or late answer leaves the latency at 0: the sound's own length is waited out all the same.
    (void)runUntil(
        [&] {
            if (pa_stream_get_latency(m_stream, &latency, &negative) >= 0)
                return true;
            if (pa_context_errno(m_context) != PA_ERR_NODATA) {
                latency = 0;
                return true;
            }
            return false;
        },
        QDeadlineTimer(std::max<qint64>(0, deadline.remainingTime())));
    const qint64 latencyUs = negative ? 0 : qint64(latency);
    const qint64 remainingUs = std::max<qint64>(latencyUs, lengthUs - timer.nsecsElapsed() / 1000);
    if (remainingUs > 0)
        QThread::usleep(quint64(remainingUs));
    return {};
}

int PulseMediaLayer::play(const QByteArray &pcm)
{
    if (pcm.isEmpty())
        return 0;
    QString why;
    // A second try covers a server that went away and came back since the last sound: the stream is
    // opened afresh and the sound played from its start. A server that did not answer in time is not
    // asked twice.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Outcome opened = openStream();
        if (!opened.done()) {
            why = opened.why;
            break;
        }
        const Outcome played = writeAndDrain(pcm);
        if (played.done())
            return 0;
        closeStream();
        if (played.kind == Outcome::Kind::TimedOut) {
            why = QStringLiteral("音声の出力先（サウンドサーバー）が応答しなくなりました。");
            break;
        }
        why = QStringLiteral("音声の出力先（サウンドサーバー）との接続が切れました（%1）。").arg(played.why);
    }
    return fail(ErrorNoOutput, why);
}

int PulseMediaLayer::sendCommand(const QString &command)
{
    const std::optional<QString> path = parsePlayCommand(command);
    if (!path)
        return fail(ErrorUnknownCommand, QStringLiteral("この命令は使えません：%1").arg(command.left(300)));
    const QByteArray *pcm = nullptr;
    if (const int error = load(*path, &pcm); error != 0)
        return error;
    return play(*pcm);
}

QString PulseMediaLayer::errorText(int error) const
{
    if (const auto it = m_details.find(error); it != m_details.end())
        return *it;
    switch (error) {
    case 0:
        return QStringLiteral("エラーはありません。");
    case ErrorUnknownCommand:
        return QStringLiteral("この命令は使えません。");
    case ErrorFileNotFound:
        return QStringLiteral("音声ファイルが見つかりません。");
    case ErrorIsFolder:
        return QStringLiteral("音声ファイルではなくフォルダです。");
    case ErrorNotWave:
        return QStringLiteral("WAV 形式の音声ファイルとして読めません。");
    case ErrorNoOutput:
        return QStringLiteral("音声の出力先（サウンドサーバー）に接続できません。");
    default:
        return QStringLiteral("不明なエラーです（%1）。").arg(error);
    }
}

} // namespace platform
