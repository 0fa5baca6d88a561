#include "ResultsCheck.h"

#include "platform/DateSerial.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"

#include <QFileInfo>

#include <cmath>

namespace yojidata {

namespace {

constexpr int kListedFindings = 100; // a garbage file would otherwise print a line per record
constexpr int kLockWaitMs = 10000;   // how long the tool waits for a PC that is writing

QString numberText(double value)
{
    return std::isnan(value) ? QStringLiteral("NaN") : QString::number(value, 'g', 17);
}

void judge(qint64 number, const char *bytes, ResultsReport &report)
{
    using Field = ResultsReport::Field;
    const auto add = [&](Field field, bool ignored, const QString &text) {
        report.findings.append({number, field, ignored, text});
    };
    const int level = records::recordLevel(bytes);
    const int student = records::recordStudent(bytes);
    const double date = records::recordDate(bytes);
    const double clock = records::recordClock(bytes);
    const qint32 time = records::recordTime(bytes);
    const qint64 before = report.findings.size();
    if (level < 1 || level > kMaxLevel)
        add(Field::Level, true, QStringLiteral("レベル %1 は 1～%2 の外です").arg(level).arg(kMaxLevel));
    if (student < 1 || student > kMaxStudentNumber)
        add(Field::Student, true,
            QStringLiteral("生徒番号 %1 は 1～%2 の外です").arg(student).arg(kMaxStudentNumber));
    if (!std::isfinite(date) || date < 0.0)
        add(Field::Date, true, QStringLiteral("日付 %1 は日付ではありません").arg(numberText(date)));
    else if (!platform::dateFromSerial(date).isValid())
        add(Field::Date, false, QStringLiteral("日付 %1 は暦の外です").arg(numberText(date)));
    if (!(clock >= 0.0 && clock < 1.0))
        add(Field::Clock, false, QStringLiteral("時刻 %1 は 1 日の外です").arg(numberText(clock)));
    if (!((time >= 0 && time < records::kCountedDrillLimit) || time == records::kTimeOut))
        add(Field::Time, false,
            QStringLiteral("タイム %1 は 0～5999 秒でも時間切れ（99999）でもありません").arg(time));
    bool ignored = false;
    for (qint64 i = before; i < report.findings.size(); ++i)
        ignored = ignored || report.findings[i].ignored;
    report.ignored += ignored ? 1 : 0;
}

QString csvField(QString text)
{
    // Broken bytes decode to U+FFFD, which code page 932 cannot hold.
    text.replace(QChar(0xFFFD), u'?');
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r'))
        return u'"' + text.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return text;
}

QString trimmedRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == QChar(0x3000) || text[end - 1] == QChar(0)))
        --end;
    return text.left(end);
}

bool samePath(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

QString usage()
{
    return QStringLiteral("使い方：yoji-data results check <成績ファイル>\n"
                          "　　　　yoji-data results export <成績ファイル> <出力.csv>\n");
}

int check(const QString &path, QTextStream &out, QTextStream &err)
{
    const app::Result<QByteArray> read = readResultsBytes(path);
    if (!read) {
        err << read.failure().text << u'\n';
        return 1;
    }
    const QByteArray &bytes = read.value();
    const ResultsReport report = checkResults(bytes);
    out << platform::displayPath(path) << u'\n';
    out << QStringLiteral("長さ %1 バイト、記録 %2 件（1 件 %3 バイト）。\n")
               .arg(report.length)
               .arg(report.records)
               .arg(records::kRecordSize);
    qint64 problems = 0;
    if (report.partialTail > 0) {
        ++problems;
        out << QStringLiteral(
                   "ファイルの終わりに、記録の途中までの %1 バイトがあります（書き込みの途中で止まった"
                   "あと）。プログラムは読まず、次の記録をここに書いて上書きします。\n")
                   .arg(report.partialTail);
    }
    for (qsizetype i = 0; i < report.findings.size() && i < kListedFindings; ++i) {
        const ResultsReport::Finding &f = report.findings[i];
        out << QStringLiteral("記録 %1：%2%3。\n")
                   .arg(f.record)
                   .arg(f.text, f.ignored ? QStringLiteral("（プログラムはこの記録を読みません）")
                                          : QStringLiteral("（そのまま読みます）"));
    }
    if (report.findings.size() > kListedFindings)
        out << QStringLiteral("ほかに %1 件の問題があります。\n")
                   .arg(report.findings.size() - kListedFindings);
    problems += report.findings.size();
    if (report.ignored > 0)
        out << QStringLiteral("プログラムが読まない記録：%1 件。\n").arg(report.ignored);
    if (report.outsideWindow > 0)
        out << QStringLiteral(
                   "注意：はじめの %1 件は読まれません（プログラムは最後の %2 件だけを読みます）。\n")
                   .arg(report.outsideWindow)
                   .arg(records::kRecordWindow);
    if (problems == 0) {
        out << QStringLiteral("問題はありません（記録 %1 件）。\n").arg(report.records);
        return 0;
    }
    out << QStringLiteral("問題が %1 件あります。\n").arg(problems);
    return 1;
}

int exportCsv(const QString &path, const QString &output, QTextStream &out, QTextStream &err)
{
    if (samePath(path, output)) {
        err << QStringLiteral("出力先に成績ファイルと同じファイルは指定できません：%1\n")
                   .arg(platform::displayPath(output));
        return 2;
    }
    const app::Result<QByteArray> read = readResultsBytes(path);
    if (!read) {
        err << read.failure().text << u'\n';
        return 1;
    }
    const QByteArray &bytes = read.value();
    const QStringList lines = resultsCsvLines(bytes);
    if (const platform::Status written = platform::writeText932(output, lines)) {
        err << written->text << u'\n';
        return 1;
    }
    out << QStringLiteral("%1 に %2 件を書きました。\n")
               .arg(platform::displayPath(output))
               .arg(lines.size() - 1);
    if (bytes.size() % records::kRecordSize != 0)
        out << QStringLiteral("ファイルの終わりの、記録の途中までの %1 バイトは書いていません。\n")
                   .arg(bytes.size() % records::kRecordSize);
    return 0;
}

} // namespace

ResultsReport checkResults(const QByteArray &bytes)
{
    ResultsReport report;
    report.length = bytes.size();
    report.records = bytes.size() / records::kRecordSize;
    report.partialTail = bytes.size() % records::kRecordSize;
    report.outsideWindow = std::max<qint64>(0, report.records - records::kRecordWindow);
    for (qint64 i = 0; i < report.records; ++i) {
        const qint64 before = report.ignored;
        judge(i + 1, bytes.constData() + i * records::kRecordSize, report);
        // Records before the window are not read at all, so they are not counted among those left out.
        if (i < report.outsideWindow)
            report.ignored = before;
    }
    return report;
}

app::Result<QByteArray> readResultsBytes(const QString &path)
{
    const auto fail = [&](const QString &what, const QString &why) {
        return app::Result<QByteArray>(
            app::failure(QStringLiteral("%1：%2\n%3").arg(what, platform::displayPath(path), why)));
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("成績ファイルではなくフォルダです"), QString());
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::Read))
        return fail(platform::LockedFile::isNotFound(file.errorNumber())
                        ? QStringLiteral("成績ファイルがありません")
                        : QStringLiteral("成績ファイルを開けません"),
                    file.errorDescription());
    // A file system that cannot lock is read without the lock, as the program reads it.
    if (file.lock(platform::LockMode::Shared, kLockWaitMs) == platform::LockResult::HeldByOther)
        return fail(
            QStringLiteral(
                "ほかのパソコンが成績ファイルを使っています。しばらくしてからもう一度実行してください"),
            QString());
    const qint64 length = file.size();
    if (length < 0)
        return fail(QStringLiteral("成績ファイルの長さを読めません"), file.errorDescription());
    QByteArray bytes(length, Qt::Uninitialized);
    if (length > 0 && !file.readAt(0, bytes.data(), length))
        return fail(QStringLiteral("成績ファイルを読めません"), file.errorDescription());
    return bytes;
}

QStringList resultsCsvLines(const QByteArray &bytes)
{
    QStringList lines{QStringLiteral("番号,日付,時刻,生徒番号,レベル,タイム,学校コード,モード")};
    const qint64 count = bytes.size() / records::kRecordSize;
    lines.reserve(count + 1);
    for (qint64 i = 0; i < count; ++i) {
        const records::ResultRecord r = records::decodeRecord(bytes.constData() + i * records::kRecordSize);
        const QDate date =
            std::isfinite(r.date) && r.date >= 0.0 ? platform::dateFromSerial(r.date) : QDate();
        const QString dateText =
            date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : numberText(r.date);
        const QString clockText =
            r.clock >= 0.0 && r.clock < 1.0
                ? platform::timeFromFraction(r.clock).toString(QStringLiteral("HH:mm:ss"))
                : numberText(r.clock);
        lines.append(QStringList{QString::number(i + 1), dateText, clockText, QString::number(r.student),
                                 QString::number(r.level), QString::number(r.time),
                                 csvField(trimmedRight(r.schoolCode)), QString::number(r.mode)}
                         .join(u','));
    }
    return lines;
}

QString resultsHelpText()
{
    return QStringLiteral(
        "  yoji-data results check <成績ファイル>\n"
        "      成績累積データ.dat を調べます: 記録の数、書き込みの途中で止まった末尾、範囲の外の項目\n"
        "      （レベル 1～35、生徒番号 1～5000、日付、時刻、タイム 0～5999 秒または時間切れ 99999）と、\n"
        "      プログラムが読まない記録。ほかのパソコンが書き込み中なら、少し待ってから読みます。\n"
        "      問題がなければ終了状態 0、あれば 1 です。ファイルは変えません。\n"
        "\n"
        "  yoji-data results export <成績ファイル> <出力.csv>\n"
        "      記録を表計算ソフト用の CSV（シフトJIS、改行 CRLF）に書き出します。列は\n"
        "      番号,日付,時刻,生徒番号,レベル,タイム,学校コード,モード です。\n"
        "\n");
}

int runResultsCommand(const QStringList &words, QTextStream &out, QTextStream &err)
{
    const QString sub = words.value(0);
    if (sub == QStringLiteral("check") && words.size() == 2)
        return check(words[1], out, err);
    if (sub == QStringLiteral("export") && words.size() == 3)
        return exportCsv(words[1], words[2], out, err);
    err << usage();
    return 2;
}

} // namespace yojidata
