#include "hub/HubLabels.h"

#include "records/Marks.h"
#include "roster/NameList.h"

namespace hub {

QString startCaption(int level)
{
    return QStringLiteral("ｽﾀｰﾄ(&%1)").arg(level);
}

QString columnAccessibleName(int level, const QString &levelName)
{
    return QStringLiteral("レベル") + QString::number(level) + u' ' + levelName;
}

QString startToolTip()
{
    return QStringLiteral("クリックしてスタートします。番号を押してもよろしい");
}

QString standardText(qint32 targetTime, qint32 clearCount, qint32 clearPoints, qint32 pointMultiplier)
{
    if (clearPoints == records::kNoRequirement)
        return QStringLiteral("目標=%1秒 --------").arg(targetTime);
    return QStringLiteral("目標=%1秒 %2回/%3点(×%4)")
        .arg(targetTime)
        .arg(clearCount)
        .arg(clearPoints)
        .arg(pointMultiplier);
}

QString passPeriodText(const QString &passPeriodDays, qint64 count, qint64 points)
{
    return QStringLiteral("最近%1日=%2回 / %3点").arg(passPeriodDays).arg(count).arg(points);
}

QString todayValueText(qint64 count, qint64 points)
{
    return count == 0 ? QStringLiteral("-----") : QStringLiteral("%1回/%2点").arg(count).arg(points);
}

QString soFarValueText(qint64 count, qint64 points)
{
    return count == 0 ? QStringLiteral("------") : QStringLiteral("%1回/%2点").arg(count).arg(points);
}

int titlePointSize(const QString &programTitle)
{
    return programTitle.size() > 9 ? 20 : 24;
}

QString studentLine(const QString &studentName, const QString &currentGrade)
{
    return roster::namelist::trimBlanks(studentName) + u' ' + currentGrade;
}

QString numberLine(int studentNumber, const QString &schoolName)
{
    return QString::number(studentNumber) + u':' + schoolName;
}

QString elapsedText(int minutes)
{
    return QStringLiteral("起動後%1分").arg(minutes);
}

QString dayTotalText(qint64 runsToday)
{
    return QStringLiteral("本日総回数＝%1回").arg(runsToday);
}

QString hintText()
{
    return QStringLiteral("GRPH+A,B,C,D..でも選択できます。");
}

QString backCaption()
{
    return QStringLiteral("戻る(0)");
}

QString displayOptionCaption(int index)
{
    switch (index) {
    case 0:
        return QStringLiteral("ﾀｲﾑ表示");
    case 1:
        return QStringLiteral("ﾎﾟｲﾝﾄ表示");
    case 2:
        return QStringLiteral("個人ﾀｲﾑ");
    default:
        return {};
    }
}

QStringList listChoiceCaptionsForTimes()
{
    return {QStringLiteral("BEST表示"), QStringLiteral("本日のみ"), QStringLiteral("オール表示")};
}

QStringList listChoiceCaptionsForPoints()
{
    return {QStringLiteral("合計累計"), QStringLiteral("合計本日"), QStringLiteral("すべて")};
}

QStringList listChoiceCaptionsOnActivation()
{
    return {QStringLiteral("累計順"), QStringLiteral("本日順"), QStringLiteral("オール表示")};
}

QStringList gradeFilterItems()
{
    return roster::namelist::gradeGroupItems();
}

QString gradeFilterToolTip()
{
    return QStringLiteral("表示する学年を選びます");
}

QStringList periodItems()
{
    return {QStringLiteral("　　　今週の全成績"), QStringLiteral("　　先週からの全成績"),
            QStringLiteral("　　１ヶ月間の全成績"), QStringLiteral("　　１年間の全成績"),
            QStringLiteral("　　今までの全成績\"")};
}

int periodDays(int period, QDate today)
{
    // Monday is 1 and Sunday 7: this week reaches back to Monday, a Sunday closes a whole week.
    const int dayOfWeek = today.dayOfWeek();
    switch (period) {
    case 1:
        return dayOfWeek;
    case 2:
        return dayOfWeek + 7;
    case 3:
        return 30;
    case 4:
        return 365;
    case 5:
    default:
        return 3650;
    }
}

} // namespace hub
