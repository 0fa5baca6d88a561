#pragma once

#include "records/StatisticsTables.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Every text of the hub screen apart from the list rows.
namespace hub {

// Level column texts.
QString startCaption(int level); // "ｽﾀｰﾄ(&N)": the level number is the button's access key
// What a screen reader says for a level's column: its number and name ("レベル2 範囲１").
QString columnAccessibleName(int level, const QString &levelName);
QString startToolTip();
QString standardText(qint32 targetTime, qint32 clearCount, qint32 clearPoints, qint32 pointMultiplier);
QString passPeriodText(const QString &passPeriodDays, qint64 count, qint64 points);
QString todayValueText(qint64 count, qint64 points); // "-----" without a run today
QString soFarValueText(qint64 count, qint64 points); // "------" without a run so far
inline constexpr const char16_t *kTodayCaption = u"今日";
inline constexpr const char16_t *kSoFarCaption = u"今まで";
inline constexpr const char16_t *kLockText = u"やりすぎ禁止";

// Header texts.
int titlePointSize(const QString &programTitle); // 20 when longer than 9 characters, else 24
QString studentLine(const QString &studentName, const QString &currentGrade);
QString numberLine(int studentNumber, const QString &schoolName);
// The minutes come from app::minutesSinceSignIn, as on every screen.
QString elapsedText(int minutes);
QString dayTotalText(qint64 runsToday);
QString hintText();
QString backCaption();

// View controls.
QString displayOptionCaption(int index);
// Captions of list-choice members 1 to 3.
QStringList listChoiceCaptionsForTimes();
QStringList listChoiceCaptionsForPoints();
QStringList listChoiceCaptionsOnActivation();
QStringList gradeFilterItems();
QString gradeFilterToolTip();
QStringList periodItems();
inline constexpr int kDefaultPeriod = 3; // one month

// Headings above the lists.
inline constexpr const char16_t *kHeadingBest = u"ベスト成績";
inline constexpr const char16_t *kHeadingToday = u"本日の成績";
inline constexpr const char16_t *kHeadingPointsAccumulated = u"獲得ポイント（今まで順位）";
inline constexpr const char16_t *kHeadingPointsToday = u"獲得ポイント（今日の順位）";
inline constexpr const char16_t *kHeadingPersonal = u"個人別ﾀｲﾑ";

// The days a period reaches back: a run is in the period when its date is later than today minus
// this many days. The week runs Monday to Sunday.
int periodDays(int period, QDate today);

} // namespace hub
