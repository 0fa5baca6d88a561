#include "platform/TextFile.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsFile.h"
#include "records/ResultsMaintenance.h"
#include "support/SizeLimitedChild.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

// Writes that the system stops part way (see SizeLimitedChild): whatever the program then reports, the
// file a school depends on must be as it was.

using namespace records;
using namespace records_test;

namespace {

using testing_support::runWithFileSizeLimit;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class ImmediateWait : public RetryWait
{
public:
    bool wait(int, const std::function<bool()> &ready) override { return !ready || ready(); }
};

struct FailedWrite : ::testing::Test
{
    QTemporaryDir dir;
    ImmediateWait wait;
    QString resultsPath = resultsFilePath(dir.path() + u'/');

    QByteArray tenRecords() const
    {
        QByteArray bytes;
        for (int i = 0; i < 10; ++i)
            bytes += rawRecord(46360.0 + i, 0.5, qint16(100 + i), 2, 80 + i);
        return bytes;
    }
    QList<ResultRecord> threeNewRecords() const
    {
        QList<ResultRecord> records;
        for (int i = 0; i < 3; ++i)
            records.append(newRecord(46370.0, 0.25, qint16(200 + i), 4, 120, QStringLiteral("24601")));
        return records;
    }
};

} // namespace

TEST_F(FailedWrite, AnAppendStoppedPartWayIsReportedAndAddsNothing)
{
    const QByteArray before = tenRecords();
    ASSERT_TRUE(writeBytes(resultsPath, before));
    // Room for one new record and half of the next.
    for (const qint64 room : {qint64(0), qint64(kRecordSize / 2), qint64(kRecordSize + kRecordSize / 2)}) {
        const testing_support::ChildOutcome outcome =
            runWithFileSizeLimit(before.size() + room, [&](QString *error) {
                return testing_support::succeeded(appendRecords(resultsPath, threeNewRecords(), wait), error);
            });
        ASSERT_TRUE(outcome.exited) << "room " << room;
        EXPECT_FALSE(outcome.succeeded) << "room " << room;
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("成績ファイルに書き込めません")))
            << outcome.text.toStdString();
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("成績累積データ.dat")))
            << outcome.text.toStdString();
        EXPECT_EQ(fileBytes(resultsPath), before) << "room " << room;
    }

    // With room again, the same append goes after the old records as if nothing had happened.
    QString error;
    ASSERT_TRUE(testing_support::succeeded(appendRecords(resultsPath, threeNewRecords(), wait), &error))
        << error.toStdString();
    const QByteArray after = fileBytes(resultsPath);
    ASSERT_EQ(after.size(), before.size() + 3 * kRecordSize);
    EXPECT_EQ(after.left(before.size()), before);
}

TEST_F(FailedWrite, ADeletionWhoseRecoveryCopyCannotBeWrittenChangesNothing)
{
    const QByteArray before = tenRecords();
    ASSERT_TRUE(writeBytes(resultsPath, before));
    const QByteArray opened = before.mid(4 * kRecordSize, kRecordSize);
    const testing_support::ChildOutcome outcome =
        runWithFileSizeLimit(before.size() / 2, [&](QString *error) {
            return testing_support::succeeded(deleteRecord(resultsPath, 5, opened, wait), error);
        });
    ASSERT_TRUE(outcome.exited);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_FALSE(outcome.text.isEmpty());
    EXPECT_EQ(fileBytes(resultsPath), before);
    // Whatever the failed attempt left beside the file, the next deletion finishes or discards it and
    // deletes the one record asked for.
    QString error;
    ASSERT_TRUE(testing_support::succeeded(deleteRecord(resultsPath, 5, opened, wait), &error))
        << error.toStdString();
    EXPECT_EQ(fileBytes(resultsPath), before.left(4 * kRecordSize) + before.mid(5 * kRecordSize));
}

TEST_F(FailedWrite, ASettingsFileSaveStoppedPartWayLeavesTheOldFile)
{
    // The standards table and the CSV export are saved through the same writer.
    const QString path = dir.filePath(QStringLiteral("基準タイム.txt"));
    QStringList oldLines;
    QStringList newLines;
    for (int i = 0; i < 40; ++i) {
        oldLines << QStringLiteral("%1,旧,60,30").arg(i);
        newLines << QStringLiteral("%1,新しい行,120,45,10,10").arg(i);
    }
    QString error;
    ASSERT_TRUE(testing_support::succeeded(platform::writeText932(path, oldLines), &error))
        << error.toStdString();
    const QByteArray before = fileBytes(path);
    const testing_support::ChildOutcome outcome = runWithFileSizeLimit(before.size(), [&](QString *e) {
        return testing_support::succeeded(platform::writeText932(path, newLines), e);
    });
    ASSERT_TRUE(outcome.exited);
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.text.contains(QStringLiteral("基準タイム.txt"))) << outcome.text.toStdString();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("基準タイム.txt")})
        << "no temporary file is left beside it";
}
