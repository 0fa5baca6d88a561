#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace drill {

// One test question answered, as the drill reports it for the answer history
// (records/MistakeHistory.h).
struct AnsweredQuestion
{
    QDateTime when; // kept to the minute
    qint16 student = 0;
    qint16 level = 0;
    QString idiom;                // one to four UTF-16 code units
    bool readingFirstTry = false; // the reading stage right without a wrong judgement
    bool idiomFirstTry = false;   // the idiom right at its first judgement
    int wrongJudgements = 0;      // wrong readings plus a wrong idiom
    bool timedOut = false;        // the time ran out on this question before its idiom was judged
};

} // namespace drill
