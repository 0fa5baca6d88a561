#pragma once

#include "drill/LevelCatalogue.h"
#include "platform/DateSerial.h"
#include "records/Marks.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "startup/AppState.h"
#include "startup/LoadSettings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace result_screen_test {

// The state a recorded drill leaves for the result screen: a student signed in, the run in the results
// file, the last drill's time and end. The sound set names a file for every sound the screen plays.
class ResultScreenFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::writeFile932(inst.soundSetFile(),
                                      {QStringLiteral("正解音2,pin,*"), QStringLiteral("間違い音2,boo,*"),
                                       QStringLiteral("自己最高音2,jiko,*"),
                                       QStringLiteral("不合格音1,minimum,*")});
        QString error;
        ASSERT_TRUE(
            testing_support::succeeded(startup::loadSettings(*state, inst.applicationFolder, u'/'), &error))
            << error.toStdString();
        catalogue::setUpLevels(state->catalogue);
        state->run.studentNumber = kStudent;
        state->run.studentName = QStringLiteral("佐藤美咲            ");
    }

    // Runs of the student at a level today, each with the given time.
    void addRuns(int level, int count, qint32 time)
    {
        QList<records::ResultRecord> runs;
        const QDateTime now = fakes.clock.now();
        for (int i = 0; i < count; ++i)
            runs.append(records::newRecord(platform::dateSerial(now.date()),
                                           platform::timeFraction(now.time()), kStudent, qint16(level), time,
                                           QStringLiteral("12345")));
        QString error;
        ASSERT_TRUE(testing_support::succeeded(
            records::appendRecords(records::resultsFilePath(inst.dataFolder), runs, fakes.wait), &error))
            << error.toStdString();
    }

    // The drill just ended at `level` with `resultTime` (a time-out with records::kTimeOut).
    void drilled(int level, qint32 resultTime)
    {
        state->run.currentLevel = qint16(level);
        state->lastDrill.resultTime = resultTime;
        state->lastDrill.elapsedTime = resultTime;
        state->lastDrill.drillEndReason = resultTime == records::kTimeOut ? 1 : 0;
    }

    static constexpr qint16 kStudent = 152;
    testing_support::Installation inst;
    testing_support::FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

} // namespace result_screen_test
