#pragma once

#include "app/Tables.h"

namespace records {

// The per-level standards of the standards table; index i holds row i of the file (0 is the header).
struct Standards
{
    PerLevel<qint32> targetTime{};             // 目標Time, seconds
    PerLevel<qint32> minimumTime{};            // 最低Time, seconds; five times this is the time-out
    PerLevel<qint32> clearPoints{};            // ｸﾘｱﾎﾟｲﾝﾄ
    PerLevel<qint16> clearCount{};             // ｸﾘｱ回数
    PerLevel<qint32> pointMultiplier{};        // ﾎﾟｲﾝﾄ倍率
    PerLevel<Value> overPracticeCountLimit{};  // 禁回, 0 = no limit
    PerLevel<Value> overPracticePointsLimit{}; // 禁点, 0 = no limit
    PerLevel<Value> passPeriodDays{};          // 判期間
    PerLevel<Value> overPracticePeriodDays{};  // 禁期間
    PerLevel<Value> reservedColumn10{};        // kept and written back unchanged
    PerLevel<Value> reservedColumn11{};
    PerLevel<Value> reservedColumn12{};
};

} // namespace records
