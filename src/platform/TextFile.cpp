#include "platform/TextFile.h"

#include "platform/ErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

bool codePage932Available()
{
    return QStringDecoder(kCodePage932).isValid() && QStringEncoder(kCodePage932).isValid();
}

QString decode932(const QByteArray &bytes, bool *ok, int *badLine)
{
    // Stateless: a two-byte character cut off at the end of the bytes is an error, not kept for later.
    QStringDecoder decoder(kCodePage932, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    const bool good = decoder.isValid() && !decoder.hasError();
    if (ok)
        *ok = good;
    if (badLine) {
        *badLine = 0;
        if (!good) {
            // A line feed byte is never part of a two-byte character in code page 932, so the bytes can
            // be cut at line feeds and each line decoded on its own to find the first bad one.
            const QList<QByteArray> lines = bytes.split('\n');
            for (qsizetype i = 0; i < lines.size(); ++i) {
                QStringDecoder lineDecoder(kCodePage932, QStringDecoder::Flag::Stateless);
                const QString decodedLine = lineDecoder.decode(lines[i]);
                if (lineDecoder.hasError()) {
                    *badLine = int(i + 1);
                    break;
                }
            }
        }
    }
    return text;
}

QByteArray encode932(const QString &text, bool *ok)
{
    QStringEncoder encoder(kCodePage932);
    QByteArray bytes = encoder.encode(text);
    if (ok)
        *ok = encoder.isValid() && !encoder.hasError();
    return bytes;
}

QString displayPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

Result<QByteArray> readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return Failure{.text = QStringLiteral("ファイルが見つかりません：%1").arg(displayPath(path))};
    clearSystemError();
    if (!file.open(QIODevice::ReadOnly)) {
        const FileError failure = fileError(file, lastSystemError());
        return Failure{.text = QStringLiteral("ファイルを開けません：%1%2")
                                   .arg(displayPath(path), bracketed(failure.description))};
    }
    clearSystemError();
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const FileError failure = fileError(file, lastSystemError());
        return Failure{.text = QStringLiteral("ファイルを読めません：%1%2")
                                   .arg(displayPath(path), bracketed(failure.description))};
    }
    return bytes;
}

Result<QString> readText932(const QString &path)
{
    Result<QByteArray> bytes = readFileBytes(path);
    if (!bytes)
        return bytes.failure();
    bool ok = false;
    int badLine = 0;
    QString decoded = decode932(bytes.value(), &ok, &badLine);
    if (!ok)
        return Failure{
            .text =
                QStringLiteral("%1 の %2 行目に、シフトJIS（コードページ932）として読めない文字があります。")
                    .arg(displayPath(path), QString::number(badLine))};
    return decoded;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

Status writeText932(const QString &path, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    bool ok = false;
    const QByteArray bytes = encode932(text, &ok);
    if (!ok)
        return Failure{
            .text = QStringLiteral("%1 に書けない文字（シフトJISにない文字）があるため、保存しませんでした。")
                        .arg(displayPath(path))};
    return writeFileBytes(path, bytes);
}

Status writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    clearSystemError();
    // Unbuffered, so that a write the system stops part way (a full disk, a quota) fails here: written
    // through the buffer, the failure of the final flush goes unseen by commit(), which would then put
    // the cut-off file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const FileError failure = fileError(file, lastSystemError());
        return Failure{.text = QStringLiteral("ファイルに書き込めません：%1%2")
                                   .arg(displayPath(path), bracketed(failure.description))};
    }
    return {};
}

} // namespace platform
