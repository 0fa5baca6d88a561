#include "support/TestSupport.h"

#include "drill/IdiomData.h"
#include "drill/IdiomKeys.h"
#include "drill/Question.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace testing_support {

FakeClock::FakeClock(QDateTime start) : m_now(std::move(start)) {}

void FakeClock::advanceMs(qint64 ms)
{
    m_now = m_now.addMSecs(ms);
    m_monotonicMs += ms;
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

bool RecordingMessageBoxes::ask(const QString &title, const QString &text)
{
    shown.push_back({title, text, Icon::Information});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

bool RecordingLauncher::startDetached(const QString &program, const QStringList &arguments, QString *error)
{
    ++calls;
    lastProgram = program;
    lastArguments = arguments;
    if (!succeed && error)
        *error = QStringLiteral("プログラムを起動できません：%1").arg(program);
    return succeed;
}

int RecordingMediaLayer::sendCommand(const QString &command)
{
    commands.append(command);
    if (duringPlay)
        duringPlay();
    if (m_clock && playMs > 0)
        m_clock->advanceMs(playMs);
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
    writeFile932(idioms::storedFilePath(applicationFolder + QStringLiteral("/") + QString::fromUtf16(idioms::kNominalFileName)),
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
    QStringList lines{QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,")};
    for (int level = 1; level <= 20; ++level) {
        const int target = 100 + 10 * level;
        lines << QStringLiteral("%1,%2,30,3,%3,10,0,30,1,,,").arg(target).arg(target * 2).arg(1 + level / 8);
    }
    return lines;
}

} // namespace testing_support
