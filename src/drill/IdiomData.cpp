#include "drill/IdiomData.h"

#include "drill/IdiomKeys.h"
#include "drill/LevelCatalogue.h"
#include "platform/TextFile.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace drill::idioms {

QString storedFilePath(const QString &nominalPath)
{
    const qsizetype nameStart = std::max(nominalPath.lastIndexOf(u'/'), nominalPath.lastIndexOf(u'\\')) + 1;
    const qsizetype dot = nominalPath.lastIndexOf(u'.');
    const QString base = dot >= nameStart ? nominalPath.left(dot) : nominalPath;
    return base + QString::fromUtf16(kStoredSuffix);
}

QString lineLengthProblem(qsizetype length)
{
    if (length >= kMinStoredLineLength)
        return {};
    return QStringLiteral("行が短すぎます（%1 文字。%2 文字以上必要です）")
        .arg(length)
        .arg(kMinStoredLineLength);
}

QString fieldCountProblem(qsizetype count)
{
    if (count <= kMaxFields)
        return {};
    return QStringLiteral("項目が %1 個あります（%2 個まで）").arg(count).arg(kMaxFields);
}

QString lineCountProblem(qsizetype count)
{
    if (count <= kMaxLines)
        return {};
    return QStringLiteral("行が %1 行あります（%2 行まで）").arg(count).arg(kMaxLines);
}

QString endMarkerProblem()
{
    return QStringLiteral("終わりの印「%1」がありません").arg(QString::fromUtf16(kEndMarker));
}

qsizetype trailingEmptyLines(const QStringList &lines)
{
    qsizetype count = 0;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        for (const QChar c : lines[i]) {
            if (c != u' ' && c != u'\t' && c != QChar(0x1A))
                return count;
        }
        ++count;
    }
    return count;
}

QString lineMessage(const QString &path, int line, const QString &problem)
{
    return QStringLiteral("%1 の %2 行目：%3。")
        .arg(platform::displayPath(path), QString::number(line), problem);
}

QStringList splitFields(QStringView data)
{
    QStringList fields;
    qsizetype start = 0;
    for (;;) {
        const qsizetype comma = data.indexOf(u',', start);
        if (comma < 0) {
            fields.append(data.mid(start).toString());
            return fields;
        }
        fields.append(data.mid(start, comma - start).toString());
        start = comma + 1;
    }
}

RestoredLine restoreStoredLine(QString storedLine)
{
    RestoredLine restored;
    restored.problem = lineLengthProblem(storedLine.size());
    if (!restored.problem.isEmpty())
        return restored;
    applySwaps(storedLine, SwapDirection::Restore);
    const qsizetype end = storedLine.indexOf(QStringView(kEndMarker));
    if (end < 0) {
        restored.problem = endMarkerProblem();
        return restored;
    }
    QStringList fields = splitFields(QStringView(storedLine).left(end));
    restored.problem = fieldCountProblem(fields.size());
    if (restored.problem.isEmpty())
        restored.fields = std::move(fields);
    return restored;
}

bool readIdiomData(const QString &nominalPath, IdiomData &data, QString *error)
{
    const QString path = storedFilePath(nominalPath);
    auto fail = [error](const QString &detail) {
        if (error)
            *error = QStringLiteral("四字熟語のデータを読み込めません。\n") + detail;
        return false;
    };

    QString text;
    QString readError;
    if (!platform::readText932(path, &text, &readError))
        return fail(readError);
    QStringList lines = platform::splitLines(text);
    lines.resize(lines.size() - trailingEmptyLines(lines));
    if (lines.size() > kMaxLines)
        return fail(lineMessage(path, kMaxLines + 1, lineCountProblem(lines.size())));

    IdiomData read;
    read.idiomTable.reserve(std::size_t(lines.size()) + 1);
    read.idiomTable.emplace_back(); // row 0 stays empty
    for (qsizetype i = 0; i < lines.size(); ++i) {
        RestoredLine restored = restoreStoredLine(lines[i]);
        if (!restored.problem.isEmpty())
            return fail(lineMessage(path, int(i + 1), restored.problem));
        read.idiomColumnCount = int(restored.fields.size());
        restored.fields.prepend(QString()); // column 0 stays empty
        read.idiomTable.push_back(std::move(restored.fields));
    }
    read.idiomRowCount = int(lines.size());
    data = std::move(read);
    return true;
}

int rangeOfField(const QString &field)
{
    // Column 1 is compared with the range number as a number, so " 2" and "2.0" select range 2 too.
    bool ok = false;
    const double value = field.trimmed().toDouble(&ok);
    if (!ok || value != std::floor(value) || value < 1 || value > 1e6)
        return 0;
    return int(value);
}

QHash<QString, IdiomTexts> textsByIdiom(const IdiomData &data)
{
    QHash<QString, IdiomTexts> texts;
    for (int row = 1; row <= data.idiomRowCount; ++row) {
        const QString idiom = data.cell(row, 2);
        if (!idiom.isEmpty() && !texts.contains(idiom))
            texts.insert(idiom, {data.cell(row, 3), data.cell(row, 4)});
    }
    return texts;
}

QuestionList questionsForLevel(const IdiomData &data, int level)
{
    const int range = catalogue::rangeNumber(level);
    QuestionList questions;
    for (int row = 1; row <= data.idiomRowCount; ++row) {
        if (rangeOfField(data.cell(row, 1)) != range)
            continue;
        questions.append(Question{data.cell(row, 2), data.cell(row, 3), data.cell(row, 4)});
    }
    return questions;
}

QString voiceFilePath(const QString &appFolder, const QString &idiom, int which)
{
    return appFolder + QString::fromUtf16(kVoiceFolderName) + QDir::separator() + idiom.left(3) +
           QString::number(which);
}

} // namespace drill::idioms
