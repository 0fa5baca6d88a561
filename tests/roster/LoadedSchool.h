#pragma once

#include "drill/Question.h"
#include "platform/DateSerial.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "startup/StartupRules.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QList>

#include <gtest/gtest.h>

#include <memory>

namespace testing_support {

// An installation with a roster, a sound set, the idioms of range 1 and (on request) results, loaded as the
// start-up loads it. The fake clock stands on Tuesday 8 December 2026, 15:30, in school year 2026 (the
// school year starts in April).
struct LoadedSchool
{
    Installation inst;
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();

    explicit LoadedSchool(const QStringList &roster = rosterLines())
    {
        if (!roster.isEmpty())
            writeFile932(rosterFile(), roster);
        writeFile932(inst.soundFolder + QStringLiteral("新音ファイル.txt"),
                     {QStringLiteral("正解音2,pin,*"), QStringLiteral("間違い音2,bu,*")});
        QString error;
        EXPECT_TRUE(testing_support::succeeded(
            startup::loadSettings(*state, inst.applicationFolder, QDir::separator()), &error))
            << error.toStdString();
        state->settings.seasonColour =
            startup::seasonColour(fakes.clock.now().date().month()); // as the splash sets it
        writeIdiomFile(inst.applicationFolder, rangeOne(), 1);
    }

    QString rosterFile() const { return inst.baseFolder + QStringLiteral("新名簿.txt"); }
    QString resultsFile() const { return records::resultsFilePath(inst.dataFolder); }

    // Writes the results file with these records.
    void writeRuns(const QList<records::ResultRecord> &runs) const
    {
        QByteArray bytes;
        for (const records::ResultRecord &r : runs)
            bytes += records::encodeRecord(r);
        writeBytes(resultsFile(), bytes);
    }

    static QuestionList rangeOne() { return sampleQuestions(); }

    // Eight roster lines: a kindergarten child, three grade-3 students (one not listed), a first and a
    // second year of junior high, a senior high student and a teacher.
    static QStringList rosterLines()
    {
        return {
            QStringLiteral("131,2017,0,0,\"加藤あおい\",0,\"\",\"\""),
            QStringLiteral("101,2020,0,0,\"小川ひなた\",0,\"\",\"\""),
            QStringLiteral("132,2017,0,0,\"岡田ゆうと\",0,\"\",\"\""),
            QStringLiteral("133,2017,0,0,\"木村りく\",1,\"\",\"\""),
            QStringLiteral("172,2013,0,0,\"橋本心春\",0,\"\",\"\""),
            QStringLiteral("181,2012,0,0,\"松本樹\",0,\"\",\"\""),
            QStringLiteral("201,2010,0,0,\"伊藤颯\",0,\"\",\"\""),
            QStringLiteral("900,1980,0,0,\"★山本先生\",0,\"\",\"\""),
        };
    }
};

inline records::ResultRecord runAt(QDate date, QTime clock, int student, int level, qint32 time)
{
    return records::newRecord(platform::dateSerial(date), platform::timeFraction(clock), qint16(student),
                              qint16(level), time, QStringLiteral("12345"));
}

} // namespace testing_support
