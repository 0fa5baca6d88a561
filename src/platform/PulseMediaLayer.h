#pragma once

#include "platform/Failure.h"
#include "platform/MediaLayer.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

class QDeadlineTimer;

namespace platform {

// The media layer on PulseAudio. "play <file> wait" plays a wave file and returns when the last sample
// has been played, so that the caller's measured time holds exactly the sound. Two measured facts shape
// it: opening a stream per sound costs up to seconds while an idle sink wakes, so one playback stream is
// opened once and kept for the program's life (and opened again when the server has gone away); and a
// sound must not be cut short, so the call writes the whole sound and then waits for the stream to drain.
// Each file is decoded once (libsndfile) into the stream's format and kept, up to a memory budget.
//
// A sound server that accepts the connection and then does not answer (a hung or stopped process) must
// not freeze the program: the layer runs the connection's main loop itself, in the calling thread, and
// gives every wait a deadline. Opening the stream may take about two seconds; playing a sound its own
// length and about two seconds more. Past a deadline the play fails with ErrorNoOutput, like any other
// failure, and the next sound tries a new connection. The program never starts a sound server itself.
//
// The calling thread blocks for the whole sound and no event loop of the program runs meanwhile, as the
// program expects: nothing else happens while a sound plays.
class PulseMediaLayer : public MediaLayer
{
public:
    enum Error {
        ErrorUnknownCommand = 1, // the command is not "play <file> wait"
        ErrorFileNotFound = 2,
        ErrorIsFolder = 3, // the path names a folder
        ErrorNotWave = 4,  // not a wave file, or one that cannot be decoded
        ErrorNoOutput = 5, // no sound server to play on
    };

    // The stream's format: every sound is converted to it when it is decoded.
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kBytesPerFrame = kChannels * 2; // signed 16-bit samples
    // The server is asked to keep about this much audio buffered ahead of the output.
    static constexpr int kTargetLatencyMs = 30;
    // Longer sounds are refused rather than decoded into memory.
    static constexpr int kMaxSoundSeconds = 300;
    // How long connecting to the server and opening the stream may take.
    static constexpr int kOpenDeadlineMs = 2000;
    // How much longer than the sound itself a play may wait for the server.
    static constexpr int kAnswerDeadlineMs = 2000;

    // `server` is a PulseAudio server string ("unix:/path"); empty for the default server.
    // The deadlines are the program's own unless a test asks for shorter ones.
    explicit PulseMediaLayer(QString server = {}, qint64 cacheBudgetBytes = 64 * 1024 * 1024,
                             int openDeadlineMs = kOpenDeadlineMs, int answerDeadlineMs = kAnswerDeadlineMs);
    ~PulseMediaLayer() override;
    PulseMediaLayer(const PulseMediaLayer &) = delete;
    PulseMediaLayer &operator=(const PulseMediaLayer &) = delete;

    int sendCommand(const QString &command) override;
    // The description of an error number; it names the file or the cause of the last failure of that
    // number.
    QString errorText(int error) const override;

    // The file of "play <file> wait": everything between "play " and the final " wait" (either word in
    // any case), without surrounding blanks and quotes. None for any other command.
    static std::optional<QString> parsePlayCommand(const QString &command);

    // Decodes a wave file into the stream's format. A failure (a file the layer cannot play,
    // ErrorNotWave) carries its description, which names the file.
    static Result<QByteArray> decodeWave(const QString &path);

    // Opens the stream now (it is otherwise opened by the first sound); false when no server answers
    // within the open deadline.
    bool open();

    // How many decoded sounds are kept and their bytes.
    int cachedSounds() const { return int(m_cache.size()); }
    qint64 cachedBytes() const { return m_cachedBytes; }

private:
    struct Decoded
    {
        QByteArray pcm;
        qint64 fileSize = 0;
        QDateTime modified;
        quint64 lastUse = 0;
    };

    // How a step of talking to the server ended. A failure carries its description; a timeout has
    // none, since what was waited for is known only to the caller.
    struct Outcome
    {
        enum class Kind { Done, Failed, TimedOut };
        Kind kind = Kind::Done;
        QString why;
        bool done() const { return kind == Kind::Done; }
    };

    int load(const QString &path, const QByteArray **pcm);
    int play(const QByteArray &pcm);
    Outcome writeAndDrain(const QByteArray &pcm);
    Outcome openStream();
    Outcome connectStream(const QDeadlineTimer &deadline);
    void closeStream();
    // Runs the connection's main loop until `done` holds, the connection fails or the deadline passes.
    template <typename Done> Outcome runUntil(Done done, const QDeadlineTimer &deadline);
    bool connectionBroken() const;
    // A failure described by the connection's last error.
    Outcome serverFailure() const;
    int fail(int error, const QString &detail);
    void evictFor(qint64 bytes);

    QString m_server;
    qint64 m_cacheBudget;
    int m_openDeadlineMs;
    int m_answerDeadlineMs;
    pa_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    QHash<QString, Decoded> m_cache;
    qint64 m_cachedBytes = 0;
    quint64 m_useCounter = 0;
    QHash<int, QString> m_details;
};

} // namespace platform
