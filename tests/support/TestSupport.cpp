#include "support/TestSupport.h"

#include "drill/IdiomData.h"
#include "drill/IdiomKeys.h"
#include "drill/Question.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QTimerEvent>

#include <stdexcept>

namespace testing_support {

FakeClock::FakeClock(QDateTime start) : m_now(std::move(start)) {}

void FakeClock::advanceMs(qint64 ms)
{
    const qint64 before = m_monotonicMs;
    m_now = m_now.addMSecs(ms);
    m_monotonicMs += ms;
    for (const Driven &d : m_driven) {
        if (!d.timer || !d.timer->isActive() || d.timer->interval() <= 0)
            continue;
        const qint64 interval = d.timer->interval();
        if ((m_monotonicMs - d.fromMs) / interval > (before - d.fromMs) / interval)
            QCoreApplication::postEvent(d.timer, new QTimerEvent(d.timer->timerId()));
    }
}

void FakeClock::drive(QTimer *timer)
{
    m_driven.push_back({timer, m_monotonicMs});
}

void FakeClock::waitWithEvents(qint64 ms)
{
    advanceMs(ms);
    waitedMs += ms;
    QCoreApplication::processEvents();
    if (duringWait)
        duringWait();
}

double ScriptedRandom::next()
{
    if (!m_script.empty()) {
        const double value = m_script.front();
        m_script.pop_front();
        return value;
    }
    return m_fallback.next();
}

void RecordingMessageBoxes::show(const QString &title, const QString &text, Icon icon)
{
    shown.push_back({title, text, icon});
}

void RecordingMessageBoxes::showFatal(const QString &title, const QString &text, Icon icon)
{
    shown.push_back({title, text, icon, true});
}

bool RecordingMessageBoxes::ask(const QString &title, const QString &text)
{
    shown.push_back({title, text, Icon::Information});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

platform::Status RecordingLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    ++calls;
    lastProgram = program;
    lastArguments = arguments;
    if (!succeed)
        return platform::Failure{.text = QStringLiteral("プログラムを起動できません：%1").arg(program)};
    return {};
}

int RecordingMediaLayer::sendCommand(const QString &command)
{
    commands.append(command);
    if (duringPlay)
        duringPlay();
    if (m_clock && playMs > 0)
        m_clock->advanceMs(playMs);
    if (eventsAfterPlay)
        QCoreApplication::processEvents();
    if (resultFor)
        return resultFor(command);
    if (results.empty())
        return 0;
    const int result = results.front();
    results.pop_front();
    return result;
}

QString RecordingMediaLayer::errorText(int error) const
{
    return QStringLiteral("再生できません（%1）").arg(error);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

void writeFile932(const QString &path, const QStringList &lines, const char *lineEnd)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bool ok = false;
        bytes += platform::encode932(line, &ok);
        if (!ok)
            throw std::runtime_error("test text is not code page 932: " + line.toStdString());
        bytes += lineEnd;
    }
    writeBytes(path, bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QuestionList sampleQuestions()
{
    const char16_t *rows[][3] = {
        {u"一石二鳥", u"いっせきにちょう", u"一つのことをして、二つの得をすること"},
        {u"十人十色", u"じゅうにんといろ", u"考えや好みは人によってちがうこと"},
        {u"以心伝心", u"いしんでんしん", u"言葉にしなくても気持ちが通じ合うこと"},
        {u"温故知新", u"おんこちしん", u"昔のことを学んで、新しい考えを見つけること"},
        {u"自画自賛", u"じがじさん", u"自分のしたことを自分でほめること"},
        {u"半信半疑", u"はんしんはんぎ", u"半分信じて、半分うたがっていること"},
        {u"電光石火", u"でんこうせっか", u"動きがとても速いこと"},
        {u"大器晩成", u"たいきばんせい", u"大きな人物は、時間をかけて立派になること"},
        {u"油断大敵", u"ゆだんたいてき", u"気をゆるめると、思わぬ失敗をすること"},
        {u"花鳥風月", u"かちょうふうげつ", u"自然の美しいけしき"},
    };
    QuestionList list;
    for (const auto &r : rows)
        list.append({QString::fromUtf16(r[0]), QString::fromUtf16(r[1]), QString::fromUtf16(r[2])});
    return list;
}

void writeIdiomFile(const QString &applicationFolder, const QuestionList &questions, int range)
{
    QStringList lines;
    for (const Question &q : questions) {
        QString line = QStringLiteral("%1,%2,%3,%4").arg(range).arg(q.idiom, q.reading, q.meaning) +
                       QString::fromUtf16(idioms::kEndMarker);
        while (line.size() < 100)
            line += u'＊';
        if (!idioms::applySwaps(line, idioms::SwapDirection::Scramble))
            throw std::runtime_error("cannot scramble an idiom line");
        lines << line;
    }
    writeFile932(idioms::storedFilePath(applicationFolder + QStringLiteral("/") +
                                        QString::fromUtf16(idioms::kNominalFileName)),
                 lines);
}

QString testDataPath(const QString &relative)
{
    return QStringLiteral(TEST_SOURCE_DIR "/data/") + relative;
}

} // namespace testing_support

namespace testing_support {

Installation::Installation()
{
    const QString r = root.path();
    applicationFolder = r + QStringLiteral("/四字熟語");
    baseFolder = r + QStringLiteral("/school/");
    dataFolder = baseFolder + QStringLiteral("四字熟語/");
    soundFolder = baseFolder + QStringLiteral("音フォルダ/");
    QDir().mkpath(applicationFolder);
    QDir().mkpath(dataFolder);
    QDir().mkpath(soundFolder);
    writeFile932(pathDataFile(), {QStringLiteral("\"%1\",2,3,4,5,6,7,8,9,10").arg(baseFolder)});
    writeFile932(commonDataFile(), {QStringLiteral("4,\"12345テスト塾\",0,0,x,\"abc\",7,8,9,10")});
    writeFile932(standardsFile(), standardsLines());
    writeFile932(soundSetFile(), {QStringLiteral("正解音2,pin,*"), QStringLiteral("間違い音2,boo,*")});
}

QString Installation::pathDataFile() const
{
    return root.path() + QStringLiteral("/パスデータ.txt");
}

QString Installation::commonDataFile() const
{
    return baseFolder + QStringLiteral("共通データ.txt");
}

QString Installation::standardsFile() const
{
    return dataFolder + QStringLiteral("タイム回数データ.txt");
}

QString Installation::soundSetFile() const
{
    return soundFolder + QStringLiteral("新音ファイル.txt");
}

QStringList Installation::standardsLines()
{
    QStringList lines{
        QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,")};
    for (int level = 1; level <= 20; ++level) {
        const int target = 100 + 10 * level;
        lines << QStringLiteral("%1,%2,30,3,%3,10,0,30,1,,,").arg(target).arg(target * 2).arg(1 + level / 8);
    }
    return lines;
}

bool succeeded(const app::Status &status, QString *text)
{
    if (text)
        *text = status ? status->text : QString();
    return !status;
}

} // namespace testing_support
