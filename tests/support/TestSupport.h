#pragma once

#include "app/Failure.h"
#include "app/Services.h"
#include "drill/Question.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "platform/RandomSource.h"

#include <QByteArray>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <vector>

class QTimer;

namespace testing_support {

// A clock whose time only moves when a test moves it.
class FakeClock : public platform::Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 8), QTime(15, 30, 0)));
    QDateTime now() const override { return m_now; }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    // Moves both clocks forward. A driven timer whose interval passes meanwhile gets one tick posted (a
    // timer that fell due several times while the program was busy fires once, as a real one does); it
    // runs at the next pending-events step.
    void advanceMs(qint64 ms);
    // Lets the timer run on this clock from now on, counting its intervals from now.
    void drive(QTimer *timer);
    void advanceSeconds(double seconds) { advanceMs(qint64(seconds * 1000.0)); }
    void setNow(const QDateTime &now) { m_now = now; }
    // Lets the time pass at once; pending events run once, as they would during a real wait.
    void waitWithEvents(qint64 ms) override;
    qint64 waitedMs = 0;
    // Runs during a wait, as whatever the screen shows meanwhile would be seen.
    std::function<void()> duringWait;

private:
    struct Driven
    {
        QPointer<QTimer> timer;
        qint64 fromMs;
    };
    QDateTime m_now;
    qint64 m_monotonicMs = 1000000;
    std::vector<Driven> m_driven;
};

// Random numbers from a script, then from a seeded generator.
class ScriptedRandom : public platform::RandomSource
{
public:
    explicit ScriptedRandom(quint64 seed = 12345) : m_fallback(seed) {}
    void push(double value) { m_script.push_back(value); }
    double next() override;
    void seed(quint64 seed) override { m_seeds.push_back(seed); }
    const std::vector<quint64> &seeds() const { return m_seeds; }

private:
    std::deque<double> m_script;
    platform::SeededRandom m_fallback;
    std::vector<quint64> m_seeds;
};

// Records every box shown; questions are answered from a list (no when it is empty).
class RecordingMessageBoxes : public platform::MessageBoxes
{
public:
    struct Shown
    {
        QString title;
        QString text;
        Icon icon;
        bool fatal = false; // the program ends after it
    };
    void show(const QString &title, const QString &text, Icon icon) override;
    void showFatal(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
    std::vector<Shown> shown;
    std::deque<bool> answers;
};

class RecordingLauncher : public platform::ProgramLauncher
{
public:
    platform::Status startDetached(const QString &program, const QStringList &arguments) override;
    bool succeed = true;
    QString lastProgram;
    QStringList lastArguments;
    int calls = 0;
};

class RecordingProgramEnd : public platform::ProgramEnd
{
public:
    void endProgram(int status) override
    {
        ended = true;
        this->status = status;
    }
    bool ended = false;
    int status = 0;
};

// Records the media commands; each takes the time the test gives it on the fake clock (none by
// default) and returns a result: resultFor's when it is set, else the next scripted one (0 when the
// script is empty).
class RecordingMediaLayer : public platform::MediaLayer
{
public:
    explicit RecordingMediaLayer(FakeClock *clock = nullptr) : m_clock(clock) {}
    int sendCommand(const QString &command) override;
    QString errorText(int error) const override;
    QStringList commands;
    std::deque<int> results;
    std::function<int(const QString &command)> resultFor;
    qint64 playMs = 0;
    // Lets pending events run once the sound's time has passed, so that what fell due meanwhile (the
    // drill's clock driven by the fake clock) runs inside the play call.
    bool eventsAfterPlay = false;
    // Runs while a sound "plays", as a user acting during it would (posting clicks, say).
    std::function<void()> duringPlay;

private:
    FakeClock *m_clock;
};

// All the fakes together, with Services over them.
struct FakeServices
{
    FakeClock clock;
    ScriptedRandom random;
    RecordingMessageBoxes messages;
    RecordingLauncher launcher;
    RecordingProgramEnd programEnd;
    RecordingMediaLayer media{&clock};
    platform::ResponsiveWait wait;
    platform::NoOutputDialogs outputDialogs;
    Services services{clock, random, messages, launcher, programEnd, media, wait, outputDialogs};
};

// Writes text as code page 932 with the given line end after each line.
void writeFile932(const QString &path, const QStringList &lines, const char *lineEnd = "\r\n");
void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

// Ten well-known idioms with readings and meanings, enough for twelve different kanji buttons.
QuestionList sampleQuestions();

// Writes the idiom data file (the stored "四字02vv.ccc") into the application folder with the questions
// as rows of the given range.
void writeIdiomFile(const QString &applicationFolder, const QuestionList &questions, int range);

// A path under the test sources' data folder.
QString testDataPath(const QString &relative);

// Whether `status` holds no failure; the failure's text goes to *text (cleared on success), so that a
// test can say what went wrong.
bool succeeded(const app::Status &status, QString *text);
// The same for a result, whose value goes to *value (when given) on success.
template <typename T> bool succeeded(const app::Result<T> &result, T *value, QString *text)
{
    if (result && value)
        *value = result.value();
    return succeeded(result.status(), text);
}
// The result's value, or on failure an empty value with the failure's text in *text (cleared on
// success), for a test that reads a result in an expression.
template <typename T> T valueOrEmpty(const app::Result<T> &result, QString *text)
{
    return succeeded(result.status(), text) ? result.value() : T();
}

} // namespace testing_support

namespace testing_support {

// A small installation of the program in a temporary folder, in the family's layout:
//   <root>/パスデータ.txt            item 1 names <root>/school/
//   <root>/四字熟語/                 the application folder
//   <root>/school/共通データ.txt     month 4, school "12345テスト塾", password "abc"
//   <root>/school/四字熟語/          the data folder with the standards table of twenty levels
//   <root>/school/音フォルダ/         the sound set (one file each for the right and the wrong answer)
struct Installation
{
    QTemporaryDir root;
    QString applicationFolder; // without a final separator
    QString baseFolder;        // with a final separator
    QString dataFolder;
    QString soundFolder;

    Installation();
    QString pathDataFile() const;
    QString commonDataFile() const;
    QString standardsFile() const;
    QString soundSetFile() const;

    // The standards table lines as the editor writes them: header, then 20 levels.
    static QStringList standardsLines();
};

} // namespace testing_support
