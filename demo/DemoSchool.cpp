#include "DemoSchool.h"

#include "DemoResults.h"

#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace demo {

Layout::Layout(const QString &r)
    : root(QDir(r).absolutePath()), appFolder(root + QStringLiteral("/四字熟語/")),
      baseFolder(root + QStringLiteral("/塾データ/")),
      soundFolder(baseFolder + QStringLiteral("音フォルダ/")),
      dataFolder(baseFolder + QStringLiteral("四字熟語/"))
{
}

app::Status writeTextIfMissing(const QString &path, const QStringList &lines, QStringList *written)
{
    if (QFileInfo::exists(path))
        return {};
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (app::Status failed = platform::writeText932(path, lines))
        return failed;
    if (written)
        written->append(path);
    return {};
}

QStringList commonDataLines()
{
    // 1 school year start month, 2 school code and name, 3 and 4 roster options, 5 unused,
    // 6 teacher password, 7 to 10 used by other programs of the family.
    return {QStringLiteral("4"),    QStringLiteral("\"24601ひかり進学塾\""),
            QStringLiteral("0"),    QStringLiteral("0"),
            QStringLiteral("\"\""), QStringLiteral("\"juku\""),
            QStringLiteral("0"),    QStringLiteral("0"),
            QStringLiteral("0"),    QStringLiteral("0")};
}

QStringList rosterLines(QDate today)
{
    // The school year runs from April: grade number = school year − year of birth − 6.
    const int schoolYear = today.month() < 4 ? today.year() - 1 : today.year();
    struct Student
    {
        int number;
        int grade; // 0 kindergarten, 1–6 elementary, 7–9 junior high, 10–12 senior high
        const char16_t *name;
        int status;
    };
    static const Student students[] = {
        {101, 0, u"小川ひなた", 0}, {102, 0, u"森本ゆい", 0},   {111, 1, u"青木そうた", 0},
        {112, 1, u"石田めい", 0},   {121, 2, u"上田はると", 0}, {122, 2, u"遠藤さくら", 0},
        {131, 3, u"岡田ゆうと", 0}, {132, 3, u"加藤あおい", 0}, {133, 3, u"木村りく", 1},
        {141, 4, u"工藤みお", 0},   {142, 4, u"小林大和", 0},   {143, 4, u"斎藤結衣", 0},
        {151, 5, u"佐々木陽翔", 0}, {152, 5, u"佐藤美咲", 0},   {153, 5, u"清水蓮", 0},
        {154, 5, u"鈴木葵", 2},     {161, 6, u"高橋悠真", 0},   {162, 6, u"田中結菜", 0},
        {163, 6, u"中村湊", 0},     {164, 6, u"西村莉子", 0},   {171, 7, u"野口颯太", 0},
        {172, 7, u"橋本心春", 0},   {173, 7, u"林大翔", 0},     {174, 7, u"藤田芽依", 0},
        {181, 8, u"松本樹", 0},     {182, 8, u"三浦紬", 0},     {183, 8, u"村上律", 0},
        {184, 8, u"山口凛", 1},     {191, 9, u"山崎蒼", 0},     {192, 9, u"山田陽菜", 0},
        {193, 9, u"吉田奏太", 0},   {194, 9, u"渡辺杏", 0},     {201, 10, u"伊藤颯", 0},
        {202, 10, u"井上美羽", 0},  {211, 11, u"近藤海斗", 0},  {212, 11, u"後藤七海", 2},
        {221, 12, u"坂本健太", 0},  {222, 12, u"長谷川楓", 0},  {900, 30, u"★山本先生", 0},
        {999, 40, u"先生", 0},
    };
    QStringList lines;
    for (const Student &s : students) {
        const int birthYear = schoolYear - s.grade - 6;
        lines << QStringLiteral("%1,%2,0,0,\"%3\",%4,\"\",\"\"")
                     .arg(s.number)
                     .arg(birthYear)
                     .arg(QString::fromUtf16(s.name))
                     .arg(s.status);
    }
    return lines;
}

QStringList soundSetLines()
{
    return {
        QStringLiteral("正解音1,seikai1,*"),     QStringLiteral("正解音2,seikai1,seikai2,*"),
        QStringLiteral("間違い音1,machigai1,*"), QStringLiteral("間違い音2,machigai1,machigai2,*"),
        QStringLiteral("最高音1,fanfare1,*"),    QStringLiteral("最高音2,fanfare1,*"),
        QStringLiteral("自己最高音1,jiko1,*"),   QStringLiteral("自己最高音2,jiko1,jiko2,*"),
        QStringLiteral("自己最高音3,jiko2,*"),   QStringLiteral("不合格音1,minimum1,*"),
    };
}

QStringList standardsLines()
{
    // Twenty idioms a range; a practised student needs about ten seconds an idiom. Harder ranges get a
    // little more time and count for more points. A practice level's times are set by the hub.
    QStringList lines{
        QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,")};
    for (int level = 1; level <= 20; ++level) {
        const int range = (level + 1) / 2;
        if (level % 2 == 1) {
            lines << QStringLiteral("600,600,0,0,1,0,0,30,1,,,");
            continue;
        }
        const int target = 200 + 10 * range;
        const int minimum = 360 + 20 * range;
        const int multiplier = range <= 3 ? 1 : range <= 7 ? 2 : 3;
        lines << QStringLiteral("%1,%2,30,3,%3,8,0,30,1,,,").arg(target).arg(minimum).arg(multiplier);
    }
    return lines;
}

app::Status layOut(const QString &root, QDate today, QStringList *written)
{
    const Layout l(root);
    QDir().mkpath(l.appFolder);
    QDir().mkpath(l.dataFolder);
    if (app::Status failed =
            writeTextIfMissing(l.root + QStringLiteral("/パスデータ.txt"),
                               {QStringLiteral("\"%1\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"")
                                    .arg(QDir::toNativeSeparators(l.baseFolder))},
                               written))
        return failed;
    if (app::Status failed =
            writeTextIfMissing(l.baseFolder + QStringLiteral("共通データ.txt"), commonDataLines(), written))
        return failed;
    if (app::Status failed =
            writeTextIfMissing(l.baseFolder + QStringLiteral("新名簿.txt"), rosterLines(today), written))
        return failed;
    if (app::Status failed =
            writeTextIfMissing(l.soundFolder + QStringLiteral("新音ファイル.txt"), soundSetLines(), written))
        return failed;
    if (app::Status failed = writeSounds(l.soundFolder, written))
        return failed;
    if (app::Status failed = writeTextIfMissing(l.dataFolder + QStringLiteral("タイム回数データ.txt"),
                                                standardsLines(), written))
        return failed;
    return writeDemoResults(l.dataFolder, today, written);
}

} // namespace demo
