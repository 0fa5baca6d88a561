#include "IdiomList.h"

#include "drill/IdiomData.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QStringDecoder>

namespace yojidata {

QStringList standardHeader()
{
    return {QStringLiteral("範囲"), QStringLiteral("四字熟語"), QStringLiteral("読み"),
            QStringLiteral("意味")};
}

bool isStoredFileName(const QString &path)
{
    return path.endsWith(QString::fromUtf16(idioms::kStoredSuffix), Qt::CaseInsensitive);
}

namespace {

int firstBadUtf8Line(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = decoder.decode(lines[i]);
        if (decoder.hasError())
            return int(i + 1);
    }
    return 0;
}

bool hasDigit(const QString &text)
{
    for (const QChar c : text) {
        if (c.isDigit())
            return true;
    }
    return false;
}

} // namespace

app::Result<QString> decodeCsvBytes(const QByteArray &bytes, Encoding encoding)
{
    if (encoding != Encoding::Cp932) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = decoder.decode(bytes);
        if (!decoder.hasError()) {
            if (decoded.startsWith(QChar(0xFEFF)))
                decoded.remove(0, 1);
            return decoded;
        }
        if (encoding == Encoding::Utf8)
            return app::failure(
                QStringLiteral("%1 行目に、UTF-8 として読めない文字があります").arg(firstBadUtf8Line(bytes)));
    }
    bool ok = false;
    int badLine = 0;
    QString decoded = platform::decode932(bytes, &ok, &badLine);
    if (!ok)
        return app::failure(
            encoding == Encoding::Auto
                ? QStringLiteral("%1 行目に、UTF-8 "
                                 "としてもシフトJIS（コードページ932）としても読めない文字があります")
                      .arg(badLine)
                : QStringLiteral("%1 行目に、シフトJIS（コードページ932）として読めない文字があります")
                      .arg(badLine));
    return decoded;
}

IdiomList parseCsv(const QString &text)
{
    IdiomList list;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    bool first = true;
    while (i < n) {
        // One record, which may run over several lines inside quotes.
        const int startLine = line;
        QStringList fields;
        QString field;
        bool unclosedQuote = false;
        bool atFieldStart = true;
        bool endOfRecord = false;
        while (!endOfRecord) {
            if (i >= n) {
                fields.append(field);
                break;
            }
            const QChar c = text.at(i);
            if (atFieldStart && c == u'"') {
                // A quoted field: up to the closing quote; "" stands for one quote.
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar q = text.at(i);
                    if (q == u'"') {
                        if (i + 1 < n && text.at(i + 1) == u'"') {
                            field.append(u'"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (q == u'\r' || q == u'\n')
                        ++line;
                    if (q == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') {
                        field.append(QStringLiteral("\r\n"));
                        i += 2;
                        continue;
                    }
                    field.append(q);
                    ++i;
                }
                if (!closed)
                    unclosedQuote = true;
                atFieldStart = false;
                continue;
            }
            atFieldStart = false;
            if (c == u',') {
                fields.append(field);
                field.clear();
                atFieldStart = true;
                ++i;
            } else if (c == u'\r' || c == u'\n') {
                fields.append(field);
                i += (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ? 2 : 1;
                ++line;
                endOfRecord = true;
            } else {
                field.append(c);
                ++i;
            }
        }

        const bool blank = fields.size() == 1 && fields[0].isEmpty() && !unclosedQuote;
        if (blank)
            continue;
        if (unclosedQuote) {
            list.readProblems.append(
                {startLine, QStringLiteral("引用符「\"」が閉じていません"), Problem::Kind::Format});
        } else if (first && !fields[0].isEmpty() && !hasDigit(fields[0])) {
            list.header = fields;
        } else {
            list.rows.append({startLine, fields});
        }
        first = false;
    }
    return list;
}

IdiomList parseStoredText(const QString &text)
{
    IdiomList list;
    list.stored = true;
    QStringList lines = platform::splitLines(text);
    const qsizetype trailing = idioms::trailingEmptyLines(lines);
    lines.resize(lines.size() - trailing);
    if (trailing > 0)
        list.readNotes.append(
            {int(lines.size() + 1),
             QStringLiteral("ファイルの終わりに空の行が %1 行あります（プログラムは読み飛ばします）")
                 .arg(trailing),
             Problem::Kind::Format});
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int line = int(i + 1);
        idioms::RestoredLine restored = idioms::restoreStoredLine(lines[i]);
        if (!restored.problem.isEmpty())
            list.readProblems.append({line, restored.problem, Problem::Kind::Format});
        else
            list.rows.append({line, std::move(restored.fields)});
    }
    return list;
}

app::Result<IdiomList> readList(const QString &path, Encoding encoding)
{
    if (isStoredFileName(path)) {
        const platform::Result<QString> text = platform::readText932(path);
        if (!text)
            return text.failure();
        return parseStoredText(text.value());
    }
    const platform::Result<QByteArray> read = platform::readFileBytes(path);
    if (!read)
        return read.failure();
    const app::Result<QString> text = decodeCsvBytes(read.value(), encoding);
    if (!text)
        return app::failure(
            QStringLiteral("%1 の %2。").arg(platform::displayPath(path), text.failure().text));
    return parseCsv(text.value());
}

namespace {

QString csvField(const QString &field)
{
    if (!field.contains(u'"') && !field.contains(u',') && !field.contains(u'\r') && !field.contains(u'\n'))
        return field;
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields)
        out.append(csvField(f));
    return out.join(u',') + u'\n';
}

} // namespace

QString csvText(const IdiomList &list, bool withHeader)
{
    QString text;
    if (withHeader)
        text += csvLine(list.header.isEmpty() ? standardHeader() : list.header);
    for (const IdiomRow &row : list.rows)
        text += csvLine(row.fields);
    return text;
}

QByteArray csvBytes(const QString &text, Encoding encoding, bool *ok)
{
    if (encoding == Encoding::Utf8) {
        if (ok)
            *ok = true;
        return text.toUtf8();
    }
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return platform::encode932(crlf, ok);
}

} // namespace yojidata
