#include "IdiomVoices.h"

#include "drill/IdiomData.h"
#include "platform/ErrorText.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QtEndian>

namespace yojidata {

namespace {

constexpr int kProcessTimeoutMs = 60000;

QString findProgram(const QString &program)
{
    if (program.contains(u'/'))
        return QFileInfo(program).isExecutable() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

// Runs a program with the input on its standard input; gives its standard output.
app::Result<QByteArray> runProgram(const QString &program, const QStringList &arguments,
                                   const QByteArray &input)
{
    const QString path = findProgram(program);
    if (path.isEmpty())
        return app::failure(QStringLiteral("%1 が見つかりません（インストールされていますか）").arg(program));
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForStarted(kProcessTimeoutMs))
        return app::failure(
            QStringLiteral("%1 を起動できません%2")
                .arg(program, platform::bracketed(platform::processErrorText(process.error()))));
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kProcessTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return app::failure(QStringLiteral("%1 が終わりません").arg(program));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return app::failure(QStringLiteral("%1 が失敗しました（終了状態 %2）：%3")
                                .arg(program, QString::number(process.exitCode()),
                                     QString::fromLocal8Bit(process.readAllStandardError()).trimmed()));
    return process.readAllStandardOutput();
}

} // namespace

QStringList pronunciationsFromMecabOutput(const QString &output)
{
    QStringList result;
    QString current;
    const QStringList lines = platform::splitLines(output);
    for (const QString &line : lines) {
        if (line == QStringLiteral("EOS")) {
            result.append(current);
            current.clear();
            continue;
        }
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            continue;
        const QString surface = line.left(tab);
        const QStringList features = line.mid(tab + 1).split(u',');
        // IPA dictionary features: part of speech (4), conjugation (2), base form, reading, pronunciation.
        const QString pronunciation = features.value(8);
        current += pronunciation.isEmpty() || pronunciation == QStringLiteral("*") ? surface : pronunciation;
    }
    return result;
}

app::Result<QStringList> pronunciations(const QStringList &texts, const QString &mecab)
{
    QByteArray input;
    for (const QString &text : texts)
        input += text.toUtf8() + '\n';
    const app::Result<QByteArray> output = runProgram(mecab, {}, input);
    if (!output)
        return output.failure();
    QStringList found = pronunciationsFromMecabOutput(QString::fromUtf8(output.value()));
    if (found.size() != texts.size())
        return app::failure(QStringLiteral("%1 の出力が読めません（文 %2 個に対して %3 個）")
                                .arg(mecab)
                                .arg(texts.size())
                                .arg(found.size()));
    return found;
}

bool isPcm16Wave(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    bool pcm16 = false;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        const qsizetype body = pos + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            const quint16 format = qFromLittleEndian<quint16>(bytes.constData() + body);
            const quint16 bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
            pcm16 = format == 1 && bits == 16;
        } else if (id == "data") {
            // espeak-ng may leave the size of a streamed file unset; the bytes that follow count.
            return pcm16 && bytes.size() > body;
        }
        pos = body + qsizetype(size) + (size & 1);
    }
    return false;
}

app::Status speakToWave(const QString &text, const QString &wavPath, const VoiceOptions &options)
{
    const QString temporary = wavPath + QStringLiteral(".part");
    QFile::remove(temporary);
    const QStringList arguments{QStringLiteral("-v"),     options.voice,
                                QStringLiteral("-s"),     QString::number(options.wordsPerMinute),
                                QStringLiteral("-w"),     temporary,
                                QStringLiteral("--stdin")};
    if (const app::Result<QByteArray> spoken = runProgram(options.espeak, arguments, text.toUtf8() + '\n');
        !spoken) {
        QFile::remove(temporary);
        return spoken.status();
    }
    QFile made(temporary);
    const QByteArray bytes = made.open(QIODevice::ReadOnly) ? made.readAll() : QByteArray();
    made.close();
    if (!isPcm16Wave(bytes)) {
        QFile::remove(temporary);
        return app::failure(
            QStringLiteral("%1 が 16 ビット PCM の WAV を書きませんでした").arg(options.espeak));
    }
    QFile::remove(wavPath);
    if (!QFile::rename(temporary, wavPath)) {
        QFile::remove(temporary);
        return app::failure(QStringLiteral("ファイルを書けません：%1").arg(platform::displayPath(wavPath)));
    }
    return {};
}

VoiceReport makeVoices(const IdiomList &list, const VoiceOptions &options)
{
    VoiceReport report;
    QString appFolder = QDir::cleanPath(options.appFolder);
    if (!appFolder.endsWith(QDir::separator()))
        appFolder += QDir::separator();
    if (findProgram(options.espeak).isEmpty()) {
        report.failures.append(
            {0, QStringLiteral("%1 が見つかりません（インストールされていますか）").arg(options.espeak)});
        return report;
    }
    const QString voiceFolder = appFolder + QString::fromUtf16(idioms::kVoiceFolderName);
    if (!QDir().mkpath(voiceFolder)) {
        report.failures.append(
            {0, QStringLiteral("フォルダを作れません：%1").arg(platform::displayPath(voiceFolder))});
        return report;
    }

    struct Job
    {
        int line;
        QString path;
        QString text;
    };
    QList<Job> toSpeak; // the readings first, then the meanings once MeCab has made them kana
    QList<Job> meanings;
    QSet<QString> names;
    for (const IdiomRow &row : list.rows) {
        const QString idiom = row.fields.value(1);
        if (idiom.size() < 3) {
            report.failures.append(
                {row.line,
                 QStringLiteral("四字熟語「%1」が短すぎて、音声ファイルの名前になりません").arg(idiom)});
            continue;
        }
        if (names.contains(idiom.left(3))) {
            report.failures.append(
                {row.line,
                 QStringLiteral("「%1」の音声は作りません（はじめの 3 文字が同じ熟語が前にあります）")
                     .arg(idiom)});
            continue;
        }
        names.insert(idiom.left(3));
        const Job jobs[2] = {{row.line, idioms::voiceFilePath(appFolder, idiom, 1) + QStringLiteral(".wav"),
                              row.fields.value(2)},
                             {row.line, idioms::voiceFilePath(appFolder, idiom, 2) + QStringLiteral(".wav"),
                              row.fields.value(3)}};
        for (int which = 0; which < 2; ++which) {
            const Job &job = jobs[which];
            if (!options.replace && QFile::exists(job.path)) {
                ++report.kept;
                continue;
            }
            if (job.text.trimmed().isEmpty()) {
                report.failures.append(
                    {row.line, QStringLiteral("%1 にする文がありません（%2）")
                                   .arg(platform::displayPath(job.path),
                                        which == 0 ? QStringLiteral("読み") : QStringLiteral("意味"))});
                continue;
            }
            (which == 0 ? toSpeak : meanings).append(job);
        }
    }

    if (!meanings.isEmpty()) {
        QStringList texts;
        for (const Job &job : meanings) {
            QString text = job.text;
            text.replace(u'\r', u' ').replace(u'\n', u' ');
            texts.append(text);
        }
        const app::Result<QStringList> spoken = pronunciations(texts, options.mecab);
        if (spoken) {
            for (qsizetype i = 0; i < meanings.size(); ++i)
                meanings[i].text = spoken.value()[i];
            toSpeak += meanings;
        } else {
            report.failures.append(
                {0, QStringLiteral("意味の音声を作れません：%1").arg(spoken.failure().text)});
        }
    }

    for (const Job &job : toSpeak) {
        if (const app::Status failed = speakToWave(job.text, job.path, options))
            report.failures.append(
                {job.line,
                 QStringLiteral("%1 を作れません：%2").arg(platform::displayPath(job.path), failed->text)});
        else
            ++report.written;
    }
    return report;
}

} // namespace yojidata
