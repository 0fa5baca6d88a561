#include "records/StandardsTable.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

TEST(StandardsTable, HeaderGoesToIndexZeroAndLevelsToTheirOwnRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    writeFile932(path, Installation::standardsLines());
    auto table = std::make_unique<Standards>();
    QString error;
    ASSERT_TRUE(standards::readStandardsTable(path, *table, &error)) << error.toStdString();
    EXPECT_EQ(table->targetTime[0], 0);
    EXPECT_EQ(table->clearCount[0], 0);
    EXPECT_EQ(table->overPracticeCountLimit[0].toString(), QStringLiteral("禁回"));
    EXPECT_EQ(table->overPracticePeriodDays[0].toString(), QStringLiteral("禁期間"));
    EXPECT_EQ(table->reservedColumn12[0].toString(), QString());
    EXPECT_EQ(table->targetTime[1], 110);
    EXPECT_EQ(table->minimumTime[1], 220);
    EXPECT_EQ(table->clearPoints[20], 30);
    EXPECT_EQ(table->clearCount[20], 3);
    EXPECT_EQ(table->pointMultiplier[16], 3);
    EXPECT_EQ(table->overPracticeCountLimit[20].toInt(), 10);
    EXPECT_EQ(table->passPeriodDays[20].toInt(), 30);
    EXPECT_EQ(table->targetTime[21], 0);
}

TEST(StandardsTable, QuotedFieldsAndBlanksAreAcceptedAndTextFieldsKeepTheirText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    writeFile932(path, {QStringLiteral("a,b,c,d,e,f,g,h,i,,,"),
                        QStringLiteral(" 90 , \"180\",12abc,x,2,\"なし\",0,7.5,1,memo,,")});
    auto table = std::make_unique<Standards>();
    QString error;
    ASSERT_TRUE(standards::readStandardsTable(path, *table, &error)) << error.toStdString();
    EXPECT_EQ(table->targetTime[1], 90);
    EXPECT_EQ(table->minimumTime[1], 180);
    EXPECT_EQ(table->clearPoints[1], 12);
    EXPECT_EQ(table->clearCount[1], 0);
    EXPECT_EQ(table->overPracticeCountLimit[1].toString(), QStringLiteral("なし"));
    EXPECT_EQ(table->passPeriodDays[1].toDouble(), 7.5);
    EXPECT_EQ(table->reservedColumn10[1].toString(), QStringLiteral("memo"));
}

TEST(StandardsTable, ShorterFileKeepsTheLaterRowsOfTheLongerOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    writeFile932(path, Installation::standardsLines());
    auto table = std::make_unique<Standards>();
    QString error;
    ASSERT_TRUE(standards::readStandardsTable(path, *table, &error));
    writeFile932(path, Installation::standardsLines().mid(0, 3));
    ASSERT_TRUE(standards::readStandardsTable(path, *table, &error));
    EXPECT_EQ(table->targetTime[20], 300);
}

TEST(StandardsTable, BrokenFilesKeepThePreviousTableAndNameFileAndRow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    writeFile932(path, Installation::standardsLines());
    auto table = std::make_unique<Standards>();
    QString error;
    ASSERT_TRUE(standards::readStandardsTable(path, *table, &error));

    QStringList shortRow = Installation::standardsLines();
    shortRow.append(QStringLiteral("1,2,3"));
    QStringList tooMany = Installation::standardsLines();
    for (int i = 0; i < 20; ++i)
        tooMany.append(QStringLiteral("1,2,3,4,5,6,7,8,9,,,"));
    const std::pair<QStringList, QString> cases[] = {
        {shortRow, QStringLiteral("22 行目")},
        {tooMany, QStringLiteral("37行目")},
        {QStringList{}, QStringLiteral("空")},
    };
    for (const auto &[lines, where] : cases) {
        writeFile932(path, lines);
        error.clear();
        EXPECT_FALSE(standards::readStandardsTable(path, *table, &error));
        EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
        EXPECT_TRUE(error.contains(where)) << error.toStdString();
        EXPECT_EQ(table->targetTime[20], 300);
        EXPECT_EQ(table->targetTime[21], 0);
    }
    writeBytes(path, QByteArray("\xff\xff\r\n"));
    EXPECT_FALSE(standards::readStandardsTable(path, *table, &error));
    EXPECT_EQ(table->targetTime[1], 110);
}
