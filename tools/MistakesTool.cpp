#include "MistakesTool.h"

#include "IdiomList.h"
#include "platform/TextFile.h"

#include <QFileInfo>

namespace yojidata {

namespace {

constexpr int kListedFindings = 100; // a garbage file would otherwise print a line per record

// The tool waits for a PC that holds the lock, as the program does, but does not wait for a place that
// cannot be reached: a person who typed a wrong path wants to hear it at once.
class ToolWait : public records::RetryWait
{
public:
    bool wait(int, const std::function<bool()> &ready) override { return ready && ready(); }
    bool waitForLock(int ms, const std::function<bool(int sliceMs)> &attempt) override
    {
        return records::waitForLockInSlices(ms, attempt, QEventLoop::AllEvents);
    }
};

QString usage()
{
    return QStringLiteral("使い方：yoji-data mistakes check <解答記録ファイル>\n"
                          "　　　　yoji-data mistakes export <解答記録ファイル> <出力.csv> [熟語リスト]\n");
}

QString mark(bool yes)
{
    return yes ? QStringLiteral("○") : QStringLiteral("×");
}

// A field as code page 932 can hold it: a character it has no form for (broken bytes of a damaged
// record) becomes "?".
QString encodable(const QString &text)
{
    bool ok = false;
    platform::encode932(text, &ok);
    if (ok)
        return text;
    QString fixed;
    for (const QChar c : text) {
        platform::encode932(QString(c), &ok);
        fixed += ok ? c : QChar(u'?');
    }
    return fixed;
}

int check(const QString &path, QTextStream &out, QTextStream &err)
{
    ToolWait wait;
    const app::Result<records::MistakeHistory> history = records::readMistakeHistory(path, wait);
    if (!history) {
        err << history.failure().text << u'\n';
        return 1;
    }
    const MistakesReport report = checkMistakes(history.value());
    out << platform::displayPath(path) << u'\n';
    out << QStringLiteral("版 %1、記録 %2 件（1 件 %3 バイト）。\n")
               .arg(report.version)
               .arg(report.records)
               .arg(report.recordSize);
    qint64 problems = 0;
    if (report.tornBytes > 0) {
        ++problems;
        out << QStringLiteral(
                   "ファイルの終わりに、記録の途中までの %1 バイトがあります（書き込みの途中で止まった"
                   "あと）。プログラムは読まず、次に書き足すときに切り取ります。\n")
                   .arg(report.tornBytes);
    }
    for (qsizetype i = 0; i < report.findings.size() && i < kListedFindings; ++i)
        out << QStringLiteral("記録 %1：%2。\n").arg(report.findings[i].record).arg(report.findings[i].text);
    if (report.findings.size() > kListedFindings)
        out << QStringLiteral("ほかに %1 件の問題があります。\n")
                   .arg(report.findings.size() - kListedFindings);
    problems += report.findings.size();
    if (problems == 0) {
        out << QStringLiteral("問題はありません（記録 %1 件）。\n").arg(report.records);
        return 0;
    }
    out << QStringLiteral("問題が %1 件あります。\n").arg(problems);
    return 1;
}

int exportCsv(const QString &path, const QString &output, const QString &listPath, QTextStream &out,
              QTextStream &err)
{
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(output).absoluteFilePath()) {
        err << QStringLiteral("出力先に解答記録ファイルと同じファイルは指定できません：%1\n")
                   .arg(platform::displayPath(output));
        return 2;
    }
    QHash<QString, QString> readings;
    if (!listPath.isEmpty()) {
        const app::Result<IdiomList> read = readList(listPath, Encoding::Auto);
        if (!read) {
            err << read.failure().text << u'\n';
            return 1;
        }
        const IdiomList &list = read.value();
        for (const IdiomRow &row : list.rows)
            if (row.fields.size() >= 3)
                readings.insert(row.fields[1], row.fields[2]);
    }
    ToolWait wait;
    const app::Result<records::MistakeHistory> history = records::readMistakeHistory(path, wait);
    if (!history) {
        err << history.failure().text << u'\n';
        return 1;
    }
    // The rows go through the idiom list's CSV writer, so that a field is quoted as a spreadsheet
    // expects, and out as code page 932 with CRLF.
    IdiomList table;
    table.header = mistakesCsvHeader();
    const QList<QStringList> rows = mistakesCsvRows(history.value(), readings);
    for (const QStringList &row : rows)
        table.rows.append({0, row});
    bool ok = false;
    const QByteArray bytes = csvBytes(csvText(table, true), Encoding::Cp932, &ok);
    if (!ok) {
        err << QStringLiteral("シフトJIS にできない文字があります：%1").arg(output) << u'\n';
        return 1;
    }
    if (const platform::Status written = platform::writeFileBytes(output, bytes)) {
        err << written->text << u'\n';
        return 1;
    }
    out << QStringLiteral("%1 に %2 件を書きました。\n").arg(platform::displayPath(output)).arg(rows.size());
    if (history.value().tornBytes() > 0)
        out << QStringLiteral("ファイルの終わりの、記録の途中までの %1 バイトは書いていません。\n")
                   .arg(history.value().tornBytes());
    return 0;
}

} // namespace

MistakesReport checkMistakes(const records::MistakeHistory &history)
{
    MistakesReport report;
    report.version = history.version();
    report.recordSize = history.recordSize();
    report.records = history.size();
    report.tornBytes = history.tornBytes();
    for (qint64 i = 0; i < history.size(); ++i) {
        const QString problem = records::answerProblem(history.answer(i));
        if (!problem.isEmpty())
            report.findings.append({i + 1, problem});
    }
    return report;
}

QStringList mistakesCsvHeader()
{
    return {QStringLiteral("番号"),     QStringLiteral("日付"),       QStringLiteral("時刻"),
            QStringLiteral("生徒番号"), QStringLiteral("レベル"),     QStringLiteral("熟語"),
            QStringLiteral("読み"),     QStringLiteral("読み一回目"), QStringLiteral("熟語一回目"),
            QStringLiteral("間違い"),   QStringLiteral("時間切れ")};
}

QList<QStringList> mistakesCsvRows(const records::MistakeHistory &history,
                                   const QHash<QString, QString> &readings)
{
    QList<QStringList> rows;
    rows.reserve(history.size());
    for (qint64 i = 0; i < history.size(); ++i) {
        const records::AnsweredQuestion a = history.answer(i);
        const QString idiom = encodable(a.idiom);
        rows.append({QString::number(i + 1), a.when.date().toString(QStringLiteral("yyyy/MM/dd")),
                     a.when.time().toString(QStringLiteral("HH:mm")), QString::number(a.student),
                     QString::number(a.level), idiom, encodable(readings.value(a.idiom)),
                     mark(a.readingFirstTry), mark(a.idiomFirstTry), QString::number(a.wrongJudgements),
                     a.timedOut ? QStringLiteral("○") : QString()});
    }
    return rows;
}

QString mistakesHelpText()
{
    return QStringLiteral(
        "  yoji-data mistakes check <解答記録ファイル>\n"
        "      解答累積データ.dat を調べます: 版と記録の数、書き込みの途中で止まった末尾、ありえない値の\n"
        "      記録（日時、生徒番号 1～5000、テストのレベル、熟語、間違いの数と一回目の正誤）。\n"
        "      問題がなければ終了状態 0、あれば 1 です。ファイルは変えません。\n"
        "\n"
        "  yoji-data mistakes export <解答記録ファイル> <出力.csv> [熟語リスト]\n"
        "      記録を表計算ソフト用の CSV（シフトJIS、改行 CRLF）に書き出します。列は\n"
        "      番号,日付,時刻,生徒番号,レベル,熟語,読み,読み一回目,熟語一回目,間違い,時間切れ です。\n"
        "      読みは熟語リスト（CSV か 四字02vv.ccc）から取ります。\n"
        "\n");
}

int runMistakesCommand(const QStringList &words, QTextStream &out, QTextStream &err)
{
    const QString sub = words.value(0);
    if (sub == QStringLiteral("check") && words.size() == 2)
        return check(words[1], out, err);
    if (sub == QStringLiteral("export") && (words.size() == 3 || words.size() == 4))
        return exportCsv(words[1], words[2], words.value(3), out, err);
    err << usage();
    return 2;
}

} // namespace yojidata
