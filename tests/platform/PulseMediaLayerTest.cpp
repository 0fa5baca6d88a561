// The real media layer, playing real wave files into a private PulseAudio null sink whose monitor is
// recorded: what arrives there is what a student would hear.
#include "platform/PulseMediaLayer.h"
#include "platform/TextFile.h"
#include "sound/RealAudio.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using platform::PulseMediaLayer;
using real_audio::findBursts;
using real_audio::PulseServer;
using real_audio::SampleFormat;

namespace {

constexpr double kSpanToleranceMs = 10.0; // a played sound's length in the recording
constexpr double kLateToleranceMs = 30.0; // how much longer than its sound a play call may take

QString playCommand(const QString &path)
{
    return QStringLiteral("play ") + path + QStringLiteral(" wait");
}

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// What a recording held, for a failure's message: each burst's first and last sample and its length.
std::string heard(const QList<real_audio::Burst> &bursts)
{
    std::string text = " [";
    for (const real_audio::Burst &burst : bursts)
        text += " " + std::to_string(burst.first) + ".." + std::to_string(burst.last) + " (" +
                std::to_string(burst.seconds() * 1000.0) + " ms)";
    return text + " ]";
}

// One server and one layer for the suite, as the program has one layer for its life. The sink of a
// server that has just started renders in long blocks until a stream asks for less, so the first sound
// after the layer opens its stream waits for the sink's next block; a short silence absorbs that once.
class PulseMediaLayerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QString error;
        s_server = PulseServer::shared(&error);
        if (!s_server) {
            s_setupError = error;
            return;
        }
        s_server->exportEnvironment();
        s_folder = std::make_unique<QTemporaryDir>();
        s_media = std::make_unique<PulseMediaLayer>(s_server->server());
        const QString silence = s_folder->filePath(QStringLiteral("silence.wav"));
        QString writeError;
        if (!real_audio::writeTone(silence, 0.01, 44100, 1, &writeError, SampleFormat::Pcm16, 0.0) ||
            s_media->sendCommand(playCommand(silence)) != 0)
            s_setupError = QStringLiteral("the first sound does not play: ") +
                           s_media->errorText(PulseMediaLayer::ErrorNoOutput) + writeError;
    }
    static void TearDownTestSuite()
    {
        s_media.reset();
        s_folder.reset();
    }
    void SetUp() override
    {
        if (!s_setupError.isEmpty())
            FAIL() << s_setupError.toStdString();
    }

    // Writes a tone under a folder with blanks and Japanese in its name, as a school's sound folder has.
    static QString tone(const QString &name, double seconds, int rate = 44100, int channels = 1,
                        SampleFormat format = SampleFormat::Pcm16)
    {
        const QString path = s_folder->filePath(QStringLiteral("音 フォルダ/") + name);
        QString error;
        EXPECT_TRUE(real_audio::writeTone(path, seconds, rate, channels, &error, format))
            << error.toStdString();
        return path;
    }

    static inline PulseServer *s_server = nullptr;
    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline std::unique_ptr<PulseMediaLayer> s_media;
    static inline QString s_setupError;
};

TEST_F(PulseMediaLayerTest, PlaysTheWholeSoundAndReturnsWhenItHasBeenHeard)
{
    const double lengthMs = 300.0;
    const QString path = tone(QStringLiteral("正解 音.wav"), lengthMs / 1000.0);
    real_audio::MonitorRecorder recorder(s_server->server());
    QString error;
    ASSERT_TRUE(recorder.start(&error)) << error.toStdString();
    constexpr int kPlays = 3;
    double fastestMs = 1e9;
    for (int i = 0; i < kPlays; ++i) {
        QElapsedTimer timer;
        timer.start();
        ASSERT_EQ(s_media->sendCommand(playCommand(path)), 0)
            << s_media->errorText(PulseMediaLayer::ErrorNoOutput).toStdString();
        const double ms = elapsedMs(timer);
        EXPECT_GE(ms, lengthMs) << "play " << i << " returned before its sound had been played";
        fastestMs = std::min(fastestMs, ms);
    }
    // The upper bound is checked on the fastest play, so that a busy machine does not fail the test,
    // while a layer that pays a fixed cost per sound still does.
    EXPECT_LE(fastestMs, lengthMs + kLateToleranceMs);

    const QList<real_audio::Burst> bursts = findBursts(recorder.stop());
    ASSERT_EQ(bursts.size(), kPlays) << heard(bursts);
    for (const real_audio::Burst &burst : bursts)
        EXPECT_NEAR(burst.seconds() * 1000.0, lengthMs, kSpanToleranceMs);
}

TEST_F(PulseMediaLayerTest, SoundsOfOtherRatesChannelsAndSampleFormatsKeepTheirLength)
{
    struct Case
    {
        const char *name;
        double seconds;
        int rate;
        int channels;
        SampleFormat format;
    };
    const Case cases[] = {
        {"voice 22050 Hz mono", 0.25, 22050, 1, SampleFormat::Pcm16},
        {"48000 Hz stereo", 0.2, 48000, 2, SampleFormat::Pcm16},
        {"44100 Hz stereo float", 0.15, 44100, 2, SampleFormat::Float32},
        {"8000 Hz mono", 0.2, 8000, 1, SampleFormat::Pcm16},
    };
    int index = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path =
            tone(QStringLiteral("rate%1.wav").arg(index++), c.seconds, c.rate, c.channels, c.format);
        // A sound is played a second time when the first was heard in pieces: the machine that runs the
        // tests shares its processors, and a pause of the sound server beyond the stream's short buffer
        // leaves a gap in the recording that no program could avoid. Pieces twice are a fault.
        std::string seen;
        bool whole = false;
        for (int attempt = 0; attempt < 2 && !whole; ++attempt) {
            real_audio::MonitorRecorder recorder(s_server->server());
            QString error;
            ASSERT_TRUE(recorder.start(&error)) << error.toStdString();
            QElapsedTimer timer;
            timer.start();
            ASSERT_EQ(s_media->sendCommand(playCommand(path)), 0);
            EXPECT_GE(elapsedMs(timer), c.seconds * 1000.0);
            const QList<real_audio::Burst> bursts = findBursts(recorder.stop());
            seen += heard(bursts);
            whole = bursts.size() == 1 &&
                    std::abs(bursts[0].seconds() * 1000.0 - c.seconds * 1000.0) <= kSpanToleranceMs;
        }
        EXPECT_TRUE(whole) << "heard:" << seen;
    }
}

TEST_F(PulseMediaLayerTest, SoundsInARowAreEachPlayedWholeAndNeverOverlap)
{
    const QString first = tone(QStringLiteral("first.wav"), 0.2);
    const QString second = tone(QStringLiteral("second.wav"), 0.3, 22050);
    real_audio::MonitorRecorder recorder(s_server->server());
    QString error;
    ASSERT_TRUE(recorder.start(&error)) << error.toStdString();
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(s_media->sendCommand(playCommand(first)), 0);
    ASSERT_EQ(s_media->sendCommand(playCommand(second)), 0);
    EXPECT_GE(elapsedMs(timer), 500.0);
    const QList<real_audio::Burst> bursts = findBursts(recorder.stop());
    ASSERT_FALSE(bursts.isEmpty());
    // The second sound may follow the first without a gap; together they must last both lengths.
    double soundMs = 0;
    for (const real_audio::Burst &burst : bursts)
        soundMs += burst.seconds() * 1000.0;
    EXPECT_NEAR(soundMs, 500.0, 2 * kSpanToleranceMs);
    if (bursts.size() == 2) {
        EXPECT_NEAR(bursts[0].seconds() * 1000.0, 200.0, kSpanToleranceMs);
        EXPECT_NEAR(bursts[1].seconds() * 1000.0, 300.0, kSpanToleranceMs);
    }
}

TEST_F(PulseMediaLayerTest, AFileChangedOnDiskIsDecodedAgain)
{
    const QString path = tone(QStringLiteral("changed.wav"), 0.1);
    ASSERT_EQ(s_media->sendCommand(playCommand(path)), 0);
    const qint64 before = s_media->cachedBytes();
    ASSERT_EQ(s_media->sendCommand(playCommand(path)), 0);
    EXPECT_EQ(s_media->cachedBytes(), before) << "a second play decoded the file again";

    tone(QStringLiteral("changed.wav"), 0.2);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(s_media->sendCommand(playCommand(path)), 0);
    EXPECT_GE(elapsedMs(timer), 200.0);
    EXPECT_EQ(s_media->cachedBytes(), before + 4410 * PulseMediaLayer::kBytesPerFrame);
}

// Files that cannot be played fail at once, with a description that names the file, whether or not a
// sound server is there.
TEST(PulseMediaLayerFiles, BadFilesGiveTheirErrorAtOnce)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("音フォルダ"));
    QDir().mkpath(folder);
    QString error;
    ASSERT_TRUE(real_audio::writeTone(dir.filePath(QStringLiteral("flac.wav")), 0.1, 44100, 1, &error,
                                      SampleFormat::Flac));
    ASSERT_TRUE(real_audio::writeTone(dir.filePath(QStringLiteral("cut.wav")), 0.5, 44100, 1, &error));
    const QByteArray whole = testing_support::readBytes(dir.filePath(QStringLiteral("cut.wav")));
    testing_support::writeBytes(dir.filePath(QStringLiteral("cut.wav")), whole.left(30));
    testing_support::writeBytes(dir.filePath(QStringLiteral("text.wav")),
                                platform::encode932(QStringLiteral("正解音2,pin,*\r\n")));
    testing_support::writeBytes(dir.filePath(QStringLiteral("empty.wav")), {});
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) ^ (i >> 3));
    testing_support::writeBytes(dir.filePath(QStringLiteral("garbage.wav")), "RIFF" + garbage);

    struct Case
    {
        QString path;
        int error;
    };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("ない.wav")), PulseMediaLayer::ErrorFileNotFound},
        {folder + QStringLiteral("/.wav"),
         PulseMediaLayer::ErrorFileNotFound}, // an empty slot of the sound set
        {folder, PulseMediaLayer::ErrorIsFolder},
        {dir.filePath(QStringLiteral("text.wav")), PulseMediaLayer::ErrorNotWave},
        {dir.filePath(QStringLiteral("empty.wav")), PulseMediaLayer::ErrorNotWave},
        {dir.filePath(QStringLiteral("garbage.wav")), PulseMediaLayer::ErrorNotWave},
        {dir.filePath(QStringLiteral("cut.wav")), PulseMediaLayer::ErrorNotWave},
        {dir.filePath(QStringLiteral("flac.wav")), PulseMediaLayer::ErrorNotWave},
    };
    for (const QString &server :
         {QString(), QStringLiteral("unix:") + dir.filePath(QStringLiteral("no-server"))}) {
        PulseMediaLayer media(server);
        for (const Case &c : cases) {
            SCOPED_TRACE(c.path.toStdString());
            QElapsedTimer timer;
            timer.start();
            const int result = media.sendCommand(playCommand(c.path));
            EXPECT_LT(timer.elapsed(), 500);
            EXPECT_EQ(result, c.error);
            const QString text = media.errorText(result);
            EXPECT_TRUE(text.contains(platform::displayPath(c.path))) << text.toStdString();
        }
        EXPECT_EQ(media.cachedSounds(), 0);
    }
}

TEST(PulseMediaLayerCommands, OnlyPlayWaitIsUnderstood)
{
    struct Case
    {
        QString command;
        bool understood;
        QString file;
    };
    const Case cases[] = {
        {QStringLiteral("play C:/音フォルダ/pin1.wav wait"), true, QStringLiteral("C:/音フォルダ/pin1.wav")},
        {QStringLiteral("play /学校 の データ/音 フォルダ/正解 1.wav wait"), true,
         QStringLiteral("/学校 の データ/音 フォルダ/正解 1.wav")},
        {QStringLiteral("PLAY x.wav WAIT"), true, QStringLiteral("x.wav")},
        {QStringLiteral("play \"a b.wav\" wait"), true, QStringLiteral("a b.wav")},
        {QStringLiteral("play wait wait"), true, QStringLiteral("wait")},
        {QStringLiteral("play x.wav"), false, {}},
        {QStringLiteral("open x.wav wait"), false, {}},
        {QStringLiteral("play  wait"), false, {}},
        {QStringLiteral("play wait"), false, {}},
        {QString(), false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        const std::optional<QString> file = PulseMediaLayer::parsePlayCommand(c.command);
        EXPECT_EQ(file.has_value(), c.understood);
        if (c.understood) {
            EXPECT_EQ(file.value_or(QString()), c.file);
        }
    }
    PulseMediaLayer media(QStringLiteral("unix:/nonexistent/socket"));
    EXPECT_EQ(media.sendCommand(QStringLiteral("close all")), PulseMediaLayer::ErrorUnknownCommand);
    EXPECT_TRUE(media.errorText(PulseMediaLayer::ErrorUnknownCommand).contains(QStringLiteral("close all")));
}

TEST(PulseMediaLayerFiles, DecodingKeepsTheLengthAndAWindowsSubfolderIsFound)
{
    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("sub/voice.wav"));
    ASSERT_TRUE(real_audio::writeTone(path, 1.0, 22050, 1, &error));
    QByteArray pcm;
    ASSERT_TRUE(testing_support::succeeded(PulseMediaLayer::decodeWave(path), &pcm, &error))
        << error.toStdString();
    EXPECT_EQ(pcm.size(), qsizetype(PulseMediaLayer::kRate) * PulseMediaLayer::kBytesPerFrame);

    // A sound set written on Windows names its subfolder with a backslash; it is decoded (and then fails
    // only for want of a server).
    PulseMediaLayer media(QStringLiteral("unix:") + dir.filePath(QStringLiteral("no-server")));
    EXPECT_EQ(media.sendCommand(playCommand(dir.path() + QStringLiteral("/sub\\voice.wav"))),
              PulseMediaLayer::ErrorNoOutput);
    EXPECT_EQ(media.cachedSounds(), 1);
}

TEST(PulseMediaLayerCache, KeepsDecodedSoundsWithinItsBudget)
{
    QTemporaryDir dir;
    QString error;
    const qint64 oneSecond = qint64(PulseMediaLayer::kRate) * PulseMediaLayer::kBytesPerFrame;
    PulseMediaLayer media(QStringLiteral("unix:") + dir.filePath(QStringLiteral("no-server")),
                          2 * oneSecond + 100);
    for (int i = 0; i < 4; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1.wav").arg(i));
        ASSERT_TRUE(real_audio::writeTone(path, 1.0, 44100, 1, &error));
        media.sendCommand(playCommand(path));
        EXPECT_LE(media.cachedBytes(), 2 * oneSecond + 100);
    }
    EXPECT_EQ(media.cachedSounds(), 2);
}

TEST(PulseMediaLayerServer, WithoutAServerPlaysFailQuicklyWithADescription)
{
    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("pin.wav"));
    ASSERT_TRUE(real_audio::writeTone(path, 0.1, 44100, 1, &error));
    PulseMediaLayer media(QStringLiteral("unix:") + dir.filePath(QStringLiteral("no-server")));
    EXPECT_FALSE(media.open());
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(media.sendCommand(playCommand(path)), PulseMediaLayer::ErrorNoOutput);
        EXPECT_LT(timer.elapsed(), 1000);
    }
    EXPECT_FALSE(media.errorText(PulseMediaLayer::ErrorNoOutput).isEmpty());
}

// The program keeps its stream for its whole life; when the sound server goes away and comes back, the
// next sound opens a stream to the new one.
TEST(PulseMediaLayerServer, ReopensTheStreamWhenTheServerCameBack)
{
    QTemporaryDir dir;
    const QString serverFolder = dir.filePath(QStringLiteral("server"));
    PulseServer server;
    QString error;
    ASSERT_TRUE(server.start(&error, serverFolder)) << error.toStdString();
    const QString path = dir.filePath(QStringLiteral("pin.wav"));
    ASSERT_TRUE(real_audio::writeTone(path, 0.05, 44100, 1, &error));
    qputenv("PULSE_COOKIE", server.cookie().toLocal8Bit());
    PulseMediaLayer media(server.server());
    const QString address = server.server();
    EXPECT_EQ(media.sendCommand(playCommand(path)), 0);

    server.stop();
    EXPECT_EQ(media.sendCommand(playCommand(path)), PulseMediaLayer::ErrorNoOutput);

    ASSERT_TRUE(server.start(&error, serverFolder)) << error.toStdString();
    ASSERT_EQ(server.server(), address);
    EXPECT_EQ(media.sendCommand(playCommand(path)), 0)
        << media.errorText(PulseMediaLayer::ErrorNoOutput).toStdString();
}

// Short deadlines keep these tests quick; the program's are two seconds.
constexpr int kTestDeadlineMs = 400;
constexpr int kSlackMs = 1500; // what a busy machine may add to a deadline

// A sound server that takes the connection and then never answers (a hung server, or a socket left by
// one): opening the stream gives up at the deadline, and every play fails like any other play without a
// server, instead of freezing the program.
TEST(PulseMediaLayerServer, AServerThatNeverAnswersFailsAfterTheDeadline)
{
    QTemporaryDir dir;
    const QByteArray socketPath = QFile::encodeName(dir.filePath(QStringLiteral("silent")));
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(socketPath.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listening, 8), 0); // connections are taken by the system and never served

    QString error;
    const QString path = dir.filePath(QStringLiteral("pin.wav"));
    ASSERT_TRUE(real_audio::writeTone(path, 0.1, 44100, 1, &error));
    PulseMediaLayer media(QStringLiteral("unix:") + QFile::decodeName(socketPath), 1 << 20, kTestDeadlineMs,
                          kTestDeadlineMs);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(media.open());
    EXPECT_GE(timer.elapsed(), kTestDeadlineMs - 50) << "the server was given its time";
    EXPECT_LT(timer.elapsed(), kTestDeadlineMs + kSlackMs);
    for (int i = 0; i < 2; ++i) {
        timer.restart();
        EXPECT_EQ(media.sendCommand(playCommand(path)), PulseMediaLayer::ErrorNoOutput);
        EXPECT_LT(timer.elapsed(), kTestDeadlineMs + kSlackMs);
    }
    EXPECT_TRUE(media.errorText(PulseMediaLayer::ErrorNoOutput).contains(QStringLiteral("応答しません")))
        << media.errorText(PulseMediaLayer::ErrorNoOutput).toStdString();
    ::close(listening);
}

// A server that stops answering after the stream was opened (its process stopped): the play fails after
// the sound's length and the deadline, and once the server runs again the next sound plays.
TEST(PulseMediaLayerServer, AStoppedServerFailsThePlayAndTheNextSoundPlaysWhenItRunsAgain)
{
    QTemporaryDir dir;
    PulseServer server;
    QString error;
    ASSERT_TRUE(server.start(&error, dir.filePath(QStringLiteral("server")))) << error.toStdString();
    const qint64 pid = server.pid();
    ASSERT_GT(pid, 0);
    const QString path = dir.filePath(QStringLiteral("pin.wav"));
    ASSERT_TRUE(real_audio::writeTone(path, 0.2, 44100, 1, &error));
    qputenv("PULSE_COOKIE", server.cookie().toLocal8Bit());
    PulseMediaLayer media(server.server(), 1 << 20, kTestDeadlineMs, kTestDeadlineMs);
    ASSERT_EQ(media.sendCommand(playCommand(path)), 0)
        << media.errorText(PulseMediaLayer::ErrorNoOutput).toStdString();

    ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
    struct Resume
    {
        pid_t pid;
        ~Resume() { ::kill(pid, SIGCONT); }
    } resume{pid_t(pid)};
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(media.sendCommand(playCommand(path)), PulseMediaLayer::ErrorNoOutput);
    EXPECT_LT(timer.elapsed(), 200 + kTestDeadlineMs + kSlackMs);
    EXPECT_TRUE(
        media.errorText(PulseMediaLayer::ErrorNoOutput).contains(QStringLiteral("応答しなくなりました")));
    timer.restart();
    EXPECT_EQ(media.sendCommand(playCommand(path)), PulseMediaLayer::ErrorNoOutput);
    EXPECT_LT(timer.elapsed(), kTestDeadlineMs + kSlackMs);

    ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
    EXPECT_EQ(media.sendCommand(playCommand(path)), 0)
        << media.errorText(PulseMediaLayer::ErrorNoOutput).toStdString();
}

} // namespace
