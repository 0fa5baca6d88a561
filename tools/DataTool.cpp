#include "DataTool.h"

#include "EmptySchool.h"
#include "IdiomChecks.h"
#include "IdiomList.h"
#include "IdiomVoices.h"
#include "MistakesTool.h"
#include "ResultsCheck.h"
#include "StoredFile.h"
#include "drill/IdiomData.h"
#include "platform/ErrorText.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace yojidata {

QString helpText()
{
    return QStringLiteral(
               "yoji-data：四字熟語ドリルの熟語データを作り、確かめる道具\n"
               "\n"
               "使い方:\n"
               "  yoji-data encode <一覧.csv> <出力先> [--encoding 文字コード] [--force]\n"
               "      CSV の一覧から、プログラムが読む保存ファイル（四字02vv.ccc）を作ります。\n"
               "      <出力先> がフォルダなら、その中に 四字02vv.ccc "
               "を作ります（フォルダは先に作っておきます）。\n"
               "      ファイルを指定するときは、名前が vv.ccc で終わるようにします。\n"
               "      一覧に問題があれば（check と同じ）、問題を表示して何も書きません。--force "
               "を付けると、\n"
               "      "
               "保存ファイルに書けない問題（コンマ・改行・「／ｅｎｄ／」を含む項目、シフトJISにない文字、\n"
               "      多すぎる項目や行）がないかぎり書きます。\n"
               "\n"
               "  yoji-data decode <保存ファイル> <出力.csv> [--encoding 文字コード] [--no-header]\n"
               "      保存ファイルを CSV に戻します。文字コードは、指定がなければシフトJIS（改行 CRLF）、\n"
               "      --encoding utf-8 なら UTF-8（改行 LF）です。1 "
               "行目に見出し「範囲,四字熟語,読み,意味」を\n"
               "      付けます（--no-header で付けません）。\n"
               "\n"
               "  yoji-data check <一覧.csv または 保存ファイル> [--encoding 文字コード]\n"
               "      問題をすべて、行番号を付けて表示します。調べること:\n"
               "        範囲が 1～10 の数でない、四字熟語が 4 文字でない、読みが 4 "
               "文字より短い・ひらがなでない、\n"
               "        意味が空、項目の中のコンマ・改行・「／ｅｎｄ／」・シフトJISにない文字、項目が 100 "
               "個より多い、\n"
               "        行が 1000 行より多い、熟語が 100 個以上ある範囲（練習で使えません）、\n"
               "        漢字ボタン 12 個を埋める文字が足りない熟語（範囲の熟語の 1・2 文字目のうち、\n"
               "        その熟語にない文字が 12 種類必要です）、はじめの 3 "
               "文字が同じ熟語（音声ファイルが重なります）、\n"
               "        保存ファイルでは、99 文字より短い行と「／ｅｎｄ／」のない行。\n"
               "      熟語のない範囲と、保存ファイルの終わりの空の行（プログラムは読み飛ばします）は\n"
               "      「注意」として表示します。\n"
               "\n"
               "  yoji-data voices <一覧.csv または 保存ファイル> <アプリケーションフォルダ> [--replace]\n"
               "      "
               "アプリケーションフォルダの「四字熟語音声」フォルダに、熟語ごとに音声ファイルを作ります:\n"
               "        <はじめの 3 文字>1.wav  読み\n"
               "        <はじめの 3 文字>2.wav  意味\n"
               "      espeak-ng の日本語の声で話した 16 ビット PCM の WAV です。espeak-ng "
               "はかなしか読めないので、\n"
               "      意味は MeCab（mecab と mecab-ipadic-utf8）でかなにしてから読ませます。\n"
               "      すでにあるファイルはそのままにします（--replace を付けると作り直します）。\n"
               "\n"
               "  yoji-data school <共通フォルダ>\n"
               "      新しい塾の共通フォルダ（パスデータ.txt の 1 "
               "番目の項目に書くフォルダ）に、プログラムが\n"
               "      はじめて起動するのに要るものを作ります: 共通データ.txt（塾の名前は仮のもの、先生の\n"
               "      パスワードは新しく決めて表示します）、名簿のひな形 新名簿.txt（先生の行だけ）、\n"
               "      音フォルダ（新音ファイル.txt と音のファイル）、データフォルダ 四字熟語 と、その中の\n"
               "      タイム回数データ.txt。ファイルはシフトJISです。すでにあるファイルはそのままにします。\n"
               "\n") +
           resultsHelpText() + mistakesHelpText() +
           QStringLiteral(
               "  yoji-data --help\n"
               "      この説明を表示します。\n"
               "\n"
               "CSV の一覧:\n"
               "  1 行に 1 つの熟語を「範囲,四字熟語,読み,意味」の順に書きます。5 "
               "列目からは、そのまま保存ファイルに\n"
               "  入ります。表計算ソフトが書く \"…\" で囲んだ項目も読めます。空の行は飛ばします。\n"
               "  1 行目の 1 列目に数字がなければ、その行は見出しとして飛ばします。\n"
               "  文字コードは UTF-8 かシフトJIS（コードページ932）です。--encoding（utf-8 または cp932）を\n"
               "  付けなければ、UTF-8 として読めるものを UTF-8、そうでないものをシフトJISとして読みます。\n"
               "  名前が vv.ccc で終わるファイルは、保存ファイルとして読みます。\n"
               "\n"
               "保存ファイル:\n"
               "  シフトJIS、改行 CRLF、1000 "
               "行まで。各行は、項目をコンマでつなぎ、「／ｅｎｄ／」と埋め草の「＊」を\n"
               "  付けて 100 "
               "文字にした行を、プログラムの鍵で並べ替えたものです。手で書き換えないでください。\n"
               "\n"
               "終了状態:\n"
               "  0 頼まれたことができた（check では問題がない）、1 できなかった・問題がある、2 "
               "使い方がちがう\n");
}

namespace {

struct CommandLine
{
    QString command;
    QStringList files;
    Encoding encoding = Encoding::Auto;
    bool force = false;
    bool noHeader = false;
    bool replace = false;
    bool help = false;
    QString error;
};

CommandLine parse(const QStringList &arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QStringLiteral("--help") || a == QStringLiteral("-h") || a == QStringLiteral("help")) {
            line.help = true;
        } else if (a == QStringLiteral("--force")) {
            line.force = true;
        } else if (a == QStringLiteral("--no-header")) {
            line.noHeader = true;
        } else if (a == QStringLiteral("--replace")) {
            line.replace = true;
        } else if (a == QStringLiteral("--encoding") || a.startsWith(QStringLiteral("--encoding="))) {
            QString value;
            if (a.contains(u'='))
                value = a.section(u'=', 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            value = value.toLower();
            if (value == QStringLiteral("utf-8") || value == QStringLiteral("utf8"))
                line.encoding = Encoding::Utf8;
            else if (value == QStringLiteral("cp932") || value == QStringLiteral("shift_jis") ||
                     value == QStringLiteral("sjis") || value == QStringLiteral("windows-31j"))
                line.encoding = Encoding::Cp932;
            else
                line.error = QStringLiteral("文字コード「%1」はわかりません（utf-8 か cp932）").arg(value);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            line.error = QStringLiteral("わからないオプションです：%1").arg(a);
        } else if (line.command.isEmpty()) {
            line.command = a;
        } else {
            line.files.append(a);
        }
    }
    return line;
}

QString problemLine(const Problem &problem)
{
    return problem.line > 0 ? QStringLiteral("%1 行目：%2。").arg(problem.line).arg(problem.text)
                            : problem.text + QStringLiteral("。");
}

bool samePath(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// The list of a command's input, or none once the reason is written to err.
std::optional<IdiomList> readListFor(const QString &path, Encoding encoding, QTextStream &err)
{
    app::Result<IdiomList> read = readList(path, encoding);
    if (!read) {
        err << read.failure().text << u'\n';
        return std::nullopt;
    }
    return std::move(read.value());
}

int encode(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString &input = line.files[0];
    QString output = line.files[1];
    if (QFileInfo(output).isDir()) {
        output = QDir(output).filePath(idioms::storedFilePath(QString::fromUtf16(idioms::kNominalFileName)));
    } else if (!isStoredFileName(output)) {
        // A name with a final separator, or one without an extension that names nothing yet, is meant
        // as a folder.
        const bool folderMeant = output.endsWith(u'/') || output.endsWith(QDir::separator()) ||
                                 (!QFileInfo::exists(output) && QFileInfo(output).suffix().isEmpty());
        if (folderMeant) {
            err << QStringLiteral("出力先のフォルダがありません：%1（先にフォルダを作ってください）\n")
                       .arg(platform::displayPath(output));
            return 1;
        }
        err << QStringLiteral("出力先の名前は vv.ccc で終わる必要があります：%1\n")
                   .arg(platform::displayPath(output));
        return 2;
    }
    const QString outputFolder = QFileInfo(output).absolutePath();
    if (!QFileInfo(outputFolder).isDir()) {
        err << QStringLiteral("出力先のフォルダがありません：%1（先にフォルダを作ってください）\n")
                   .arg(platform::displayPath(outputFolder));
        return 1;
    }
    if (samePath(input, output)) {
        err << QStringLiteral("入力と出力が同じファイルです：%1\n").arg(platform::displayPath(output));
        return 2;
    }
    const std::optional<IdiomList> read = readListFor(input, line.encoding, err);
    if (!read)
        return 1;
    const IdiomList &list = *read;
    const CheckResult checked = checkList(list);
    bool formatProblem = false;
    for (const Problem &p : checked.problems) {
        err << platform::displayPath(input) << u' ' << problemLine(p) << u'\n';
        formatProblem = formatProblem || p.kind == Problem::Kind::Format;
    }
    if (formatProblem || (!checked.problems.isEmpty() && !line.force)) {
        err << QStringLiteral("問題が %1 件あるため、保存ファイルを書きませんでした。\n")
                   .arg(checked.problems.size());
        return 1;
    }
    if (const app::Status written = writeStoredFile(output, list)) {
        err << written->text << u'\n';
        return 1;
    }
    out << QStringLiteral("%1 に %2 行を書きました。\n")
               .arg(platform::displayPath(output), QString::number(list.rows.size()));
    return 0;
}

int decode(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString &input = line.files[0];
    const QString &output = line.files[1];
    if (isStoredFileName(output) || samePath(input, output)) {
        err << QStringLiteral("出力先に保存ファイルや入力と同じファイルは指定できません：%1\n")
                   .arg(platform::displayPath(output));
        return 2;
    }
    const std::optional<IdiomList> read = readListFor(input, Encoding::Auto, err);
    if (!read)
        return 1;
    const IdiomList &list = *read;
    if (!list.readProblems.isEmpty()) {
        for (const Problem &p : list.readProblems)
            err << platform::displayPath(input) << u' ' << problemLine(p) << u'\n';
        err << QStringLiteral("読めない行があるため、CSV を書きませんでした。\n");
        return 1;
    }
    const Encoding encoding = line.encoding == Encoding::Utf8 ? Encoding::Utf8 : Encoding::Cp932;
    bool ok = false;
    const QByteArray bytes = csvBytes(csvText(list, !line.noHeader), encoding, &ok);
    if (!ok) {
        err << QStringLiteral("シフトJISで書けない文字があります。--encoding utf-8 を使ってください。\n");
        return 1;
    }
    QSaveFile file(output);
    platform::clearSystemError();
    // Unbuffered, so that a write the system stops part way fails here and the old file stays (a
    // failed final flush goes unseen by commit()).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const platform::FileError failure = platform::fileError(file, platform::lastSystemError());
        err << QStringLiteral("ファイルに書き込めません：%1%2\n")
                   .arg(platform::displayPath(output), platform::bracketed(failure.description));
        return 1;
    }
    out << QStringLiteral("%1 に %2 行を書きました。\n")
               .arg(platform::displayPath(output), QString::number(list.rows.size()));
    return 0;
}

int check(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString &input = line.files[0];
    const std::optional<IdiomList> read = readListFor(input, line.encoding, err);
    if (!read)
        return 1;
    const IdiomList &list = *read;
    const CheckResult checked = checkList(list);
    out << platform::displayPath(input) << u'\n';
    for (const Problem &p : checked.problems)
        out << problemLine(p) << u'\n';
    for (const Problem &p : checked.notes)
        out << QStringLiteral("注意：") << problemLine(p) << u'\n';
    if (checked.problems.isEmpty()) {
        out << QStringLiteral("問題はありません（四字熟語 %1 個）。\n").arg(list.rows.size());
        return 0;
    }
    out << QStringLiteral("問題が %1 件あります。\n").arg(checked.problems.size());
    return 1;
}

int voices(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString &input = line.files[0];
    const std::optional<IdiomList> read = readListFor(input, line.encoding, err);
    if (!read)
        return 1;
    const IdiomList &list = *read;
    VoiceOptions options;
    options.appFolder = line.files[1];
    options.replace = line.replace;
    const VoiceReport report = makeVoices(list, options);
    for (const Problem &p : list.readProblems)
        err << platform::displayPath(input) << u' ' << problemLine(p) << u'\n';
    for (const Problem &p : report.failures)
        err << problemLine(p) << u'\n';
    out << QStringLiteral("音声ファイルを %1 個作り、%2 個はそのままにしました。\n")
               .arg(report.written)
               .arg(report.kept);
    return report.failures.isEmpty() && list.readProblems.isEmpty() ? 0 : 1;
}

int school(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const app::Result<EmptySchool> laidOut =
        layOutEmptySchool(line.files[0], QString::fromUtf16(kApplicationFolderName));
    if (!laidOut) {
        err << laidOut.failure().text << u'\n';
        return 1;
    }
    const EmptySchool &school = laidOut.value();
    const QString base = QDir::toNativeSeparators(school.baseFolder);
    out << QStringLiteral("塾の共通フォルダ %1 に %2 個のファイルを書きました（すでにあったファイルはそのまま"
                          "です）。\n")
               .arg(base)
               .arg(school.written.size());
    out << QStringLiteral("次にすること:\n");
    out << QStringLiteral("  %1共通データ.txt の 2 番目の項目に塾の名前を書きます（はじめの 5 文字が数字なら"
                          "塾コードになります）。\n")
               .arg(base);
    if (!school.password.isEmpty())
        out << QStringLiteral(
                   "  先生のパスワードは「%1」です（共通データ.txt の 6 番目の項目で変えられます）。\n")
                   .arg(school.password);
    out << QStringLiteral("  %1新名簿.txt に、生徒を 1 行に 1 人、番号,生まれた年度,0,0,\"名前\",0,\"\",\"\" "
                          "の形で書きます。\n")
               .arg(base);
    out << QStringLiteral("  生徒が使うアカウントから %1 に書き込めるようにします（成績の記録がここに作られ"
                          "ます）。\n")
               .arg(QDir::toNativeSeparators(school.dataFolder));
    out << QStringLiteral("  パスデータ.txt の 1 番目の項目を \"%1\" にします。\n").arg(base);
    return 0;
}

} // namespace

int runDataTool(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const CommandLine line = parse(arguments);
    if (line.help) {
        out << helpText();
        return 0;
    }
    if (!platform::codePage932Available()) {
        err << QStringLiteral("この環境の Qt はシフトJIS（コードページ932）を扱えません。\n");
        return 1;
    }
    if (line.command == QStringLiteral("results") && line.error.isEmpty())
        return runResultsCommand(line.files, out, err);
    if (line.command == QStringLiteral("mistakes") && line.error.isEmpty())
        return runMistakesCommand(line.files, out, err);
    if (!line.error.isEmpty()) {
        err << line.error << QStringLiteral("\n使い方は yoji-data --help で表示できます。\n");
        return 2;
    }
    const struct
    {
        const char *name;
        qsizetype files;
        int (*run)(const CommandLine &, QTextStream &, QTextStream &);
    } commands[] = {{"encode", 2, encode},
                    {"decode", 2, decode},
                    {"check", 1, check},
                    {"voices", 2, voices},
                    {"school", 1, school}};
    for (const auto &c : commands) {
        if (line.command != QLatin1String(c.name))
            continue;
        if (line.files.size() != c.files) {
            err << QStringLiteral("%1 には、ファイルやフォルダを %2 つ指定します。\n使い方は yoji-data "
                                  "--help で表示できます。\n")
                       .arg(line.command)
                       .arg(c.files);
            return 2;
        }
        return c.run(line, out, err);
    }
    if (line.command.isEmpty())
        err << helpText();
    else
        err << QStringLiteral("わからないコマンドです：%1\n使い方は yoji-data --help で表示できます。\n")
                   .arg(line.command);
    return 2;
}

} // namespace yojidata
