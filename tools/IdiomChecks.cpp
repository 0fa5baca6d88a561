#include "IdiomChecks.h"

#include "drill/DrillRules.h"
#include "drill/IdiomData.h"
#include "platform/TextFile.h"

#include <QHash>
#include <QMap>

#include <algorithm>

namespace yojidata {

bool isHiragana(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool kana = (u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E || u == 0x30FC;
        if (!kana)
            return false;
    }
    return true;
}

namespace {

constexpr int kRangeColumn = 0;
constexpr int kIdiomColumn = 1;
constexpr int kReadingColumn = 2;
constexpr int kMeaningColumn = 3;

// The range a row belongs to, or 0 when column 1 is not a plain number from 1 to 10.
int validRange(const QStringList &fields)
{
    const QString &text = fields.value(kRangeColumn);
    if (text.isEmpty() || text.size() > 2)
        return 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    const int range = text.toInt();
    return range >= kLowestRange && range <= kHighestRange ? range : 0;
}

QChar firstNonHiragana(const QString &text)
{
    for (const QChar c : text) {
        if (!isHiragana(QString(c)))
            return c;
    }
    return {};
}

QString firstNot932(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        bool ok = false;
        platform::encode932(character, &ok);
        if (!ok)
            return character;
        i += length - 1;
    }
    return {};
}

void checkFields(const IdiomRow &row, QList<Problem> &problems)
{
    auto format = [&](const QString &text) { problems.append({row.line, text, Problem::Kind::Format}); };
    auto content = [&](const QString &text) { problems.append({row.line, text, Problem::Kind::Content}); };
    const QStringList &f = row.fields;

    const QString tooMany = idioms::fieldCountProblem(f.size());
    if (!tooMany.isEmpty())
        format(tooMany);
    const QString marker = QString::fromUtf16(idioms::kEndMarker);
    for (qsizetype c = 0; c < f.size(); ++c) {
        const QString &field = f[c];
        const qsizetype column = c + 1;
        if (field.contains(u','))
            format(
                QStringLiteral(
                    "%1 列目の項目にコンマ「,」があります（保存ファイルではコンマが項目の区切りになります）")
                    .arg(column));
        if (field.contains(u'\r') || field.contains(u'\n'))
            format(QStringLiteral("%1 列目の項目に改行があります").arg(column));
        if (field.contains(marker))
            format(QStringLiteral("%1 列目の項目に終わりの印「%2」があります").arg(column).arg(marker));
        const QString bad = firstNot932(field);
        if (!bad.isEmpty())
            format(QStringLiteral("%1 列目の項目にシフトJISで書けない文字「%2」があります")
                       .arg(column)
                       .arg(bad));
    }

    if (f.size() < 4) {
        content(QStringLiteral("項目が %1 個しかありません（範囲・四字熟語・読み・意味の 4 つが必要です）")
                    .arg(f.size()));
        return;
    }
    if (validRange(f) == 0)
        content(QStringLiteral("範囲「%1」が 1～10 の数ではありません").arg(f[kRangeColumn]));
    const QString &idiom = f[kIdiomColumn];
    if (idiom.size() != 4)
        content(QStringLiteral("四字熟語「%1」が 4 文字ではありません（%2 文字）")
                    .arg(idiom, QString::number(idiom.size())));
    const QString &reading = f[kReadingColumn];
    if (reading.size() < 4)
        content(QStringLiteral("読み「%1」が 4 文字より短いです").arg(reading));
    const QChar notKana = firstNonHiragana(reading);
    if (!notKana.isNull())
        content(
            QStringLiteral("読み「%1」にひらがなでない文字「%2」があります").arg(reading, QString(notKana)));
    if (f[kMeaningColumn].trimmed().isEmpty())
        content(QStringLiteral("意味が空です"));
}

} // namespace

CheckResult checkList(const IdiomList &list)
{
    CheckResult result;
    QList<Problem> &problems = result.problems;
    problems += list.readProblems;
    result.notes += list.readNotes;

    for (const IdiomRow &row : list.rows)
        checkFields(row, problems);

    // The stored file holds one line per row; a CSV counts its rows, not its header or blank lines.
    const qsizetype lineCount = list.rows.size() + list.readProblems.size();
    const QString tooManyLines = idioms::lineCountProblem(lineCount);
    if (!tooManyLines.isEmpty()) {
        const int line = list.rows.size() > idioms::kMaxLines ? list.rows[idioms::kMaxLines].line : 0;
        problems.append({line, tooManyLines, Problem::Kind::Format});
    }

    // The questions of each range, as the drill selects them.
    QMap<int, QList<const IdiomRow *>> ranges;
    for (const IdiomRow &row : list.rows) {
        const int range = validRange(row.fields);
        if (range != 0)
            ranges[range].append(&row);
    }
    for (auto it = ranges.cbegin(); it != ranges.cend(); ++it) {
        const QList<const IdiomRow *> &rows = it.value();
        // Practice keeps its marks for positions 1 to 100 and cannot run a range of 100 or more.
        const int largest = drill::kPracticeCardLimit - 1;
        if (rows.size() > largest) {
            problems.append(
                {rows[largest]->line,
                 QStringLiteral("範囲 %1 の四字熟語が %2 個あります（練習で扱えるのは %3 個まで）")
                     .arg(it.key())
                     .arg(rows.size())
                     .arg(largest)});
        }
        QuestionList questions;
        for (const IdiomRow *row : rows)
            questions.append(Question{row->fields.value(kIdiomColumn), {}, {}});
        for (int p = 0; p < int(questions.size()); ++p) {
            const int candidates = drill::distractorCandidateCount(questions, p + 1);
            if (candidates < drill::kKanjiButtonCount) {
                problems.append(
                    {rows[p]->line,
                     QStringLiteral("範囲 %1 の「%2」では、漢字ボタンに使える別の文字が %3 個しかありません"
                                    "（範囲の熟語の 1・2 文字目から %4 個必要です）")
                         .arg(QString::number(it.key()), questions[p].idiom, QString::number(candidates),
                              QString::number(drill::kKanjiButtonCount))});
            }
        }
    }
    for (int range = kLowestRange; range <= kHighestRange; ++range) {
        if (!ranges.contains(range))
            result.notes.append(
                {0, QStringLiteral("範囲 %1 に四字熟語がありません（この範囲のテストはすぐに終わります）")
                        .arg(range)});
    }

    // Voice files are named after the first three characters of the idiom.
    QHash<QString, const IdiomRow *> voiceNames;
    for (const IdiomRow &row : list.rows) {
        const QString idiom = row.fields.value(kIdiomColumn);
        if (idiom.size() < 3)
            continue;
        const QString name = idiom.left(3);
        const auto found = voiceNames.constFind(name);
        if (found == voiceNames.cend()) {
            voiceNames.insert(name, &row);
            continue;
        }
        problems.append(
            {row.line,
             QStringLiteral(
                 "「%1」は %2 行目の「%3」とはじめの 3 文字が同じです（音声ファイル「%4」が重なります）")
                 .arg(idiom, QString::number((*found)->line), (*found)->fields.value(kIdiomColumn), name)});
    }

    std::stable_sort(problems.begin(), problems.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });
    return result;
}

} // namespace yojidata
