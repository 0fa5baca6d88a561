#include "records/StandardsTable.h"
#include "drill/LevelCatalogue.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

TEST(StandardsTable, HeaderGoesToIndexZeroAndLevelsToTheirOwnRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    writeFile932(path, Installation::standardsLines());
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error))
        << error.toStdString();
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
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error))
        << error.toStdString();
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
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
    writeFile932(path, Installation::standardsLines().mid(0, 3));
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
    EXPECT_EQ(table->targetTime[20], 300);
}

TEST(StandardsTable, BrokenFilesKeepThePreviousTableAndNameFileAndRow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    writeFile932(path, Installation::standardsLines());
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));

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
        EXPECT_FALSE(
            testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
        EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
        EXPECT_TRUE(error.contains(where)) << error.toStdString();
        EXPECT_EQ(table->targetTime[20], 300);
        EXPECT_EQ(table->targetTime[21], 0);
    }
    writeBytes(path, QByteArray("\xff\xff\r\n"));
    EXPECT_FALSE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
    EXPECT_EQ(table->targetTime[1], 110);
}

TEST(StandardsTable, DamagedFilesGiveAMessageNamingFileAndRowAndKeepTheTable)
{
    struct Case
    {
        const char *fixture; // nullptr: no file at all
        const char *where;   // what the message points at
    };
    const Case cases[] = {
        {nullptr, "見つかりません"},
        {"standards-empty.txt", "空"},
        {"standards-short-row.txt", "6 行目"},
        {"standards-out-of-range.txt", "5 行目の 4 列目"},
        {"standards-broken-932.txt", "4 行目"},
        {"standards-garbage.bin", "行目"},
    };
    QTemporaryDir dir;
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(
        testing_support::succeeded(records::standards::readStandardsTable(
                                       testDataPath(QStringLiteral("records/standards-editor.txt")), *table),
                                   &error));
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture ? c.fixture : "missing");
        QFile::remove(path);
        QByteArray bytes;
        if (c.fixture) {
            bytes = readBytes(testDataPath(QStringLiteral("records/") + QLatin1String(c.fixture)));
            writeBytes(path, bytes);
        }
        error.clear();
        EXPECT_FALSE(
            testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
        EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.where))) << error.toStdString();
        EXPECT_EQ(table->targetTime[3], 130);
        EXPECT_EQ(table->clearCount[4], 3);
        if (c.fixture) {
            EXPECT_EQ(readBytes(path), bytes);
        }
    }
}

TEST(StandardsTable, FieldsThatAreNotNumbersReadAsZeroOrKeepTheirText)
{
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(
        records::standards::readStandardsTable(
            testDataPath(QStringLiteral("records/standards-non-numeric.txt")), *table),
        &error))
        << error.toStdString();
    EXPECT_EQ(table->targetTime[3], 0);
    EXPECT_EQ(table->minimumTime[3], 0);
    EXPECT_EQ(table->clearPoints[3], 0);
    EXPECT_EQ(table->clearCount[3], 0);
    EXPECT_EQ(table->pointMultiplier[3], 0);
    EXPECT_EQ(table->overPracticeCountLimit[3].toString(), QStringLiteral("なし"));
    EXPECT_EQ(table->passPeriodDays[3].toString(), QStringLiteral("三十"));
    EXPECT_EQ(table->targetTime[4], 140);
}

TEST(StandardsTable, AHugeFileIsRefusedBeforeItIsRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    QByteArray bytes;
    while (bytes.size() <= records::standards::kMaxFileBytes)
        bytes += "1,2,3,4,5,6,7,8,9,,,\r\n";
    writeBytes(path, bytes);
    auto table = std::make_unique<records::Standards>();
    table->targetTime[1] = 42;
    QString error;
    EXPECT_FALSE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("大きすぎます"))) << error.toStdString();
    EXPECT_EQ(table->targetTime[1], 42);
}

TEST(StandardsTableWriter, SavingTheEditorsFileUnchangedReproducesItByteForByte)
{
    const QString source = testDataPath(QStringLiteral("records/standards-editor.txt"));
    QList<QStringList> rows;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsRows(source), &rows, &error))
        << error.toStdString();
    ASSERT_EQ(rows.size(), 21);
    EXPECT_EQ(rows[0].mid(9), (QStringList{QString(), QString(), QString()}));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    ASSERT_TRUE(testing_support::succeeded(records::standards::writeStandardsTable(path, rows), &error))
        << error.toStdString();
    EXPECT_EQ(readBytes(path), readBytes(source));

    // What is saved reads back as the same table.
    auto saved = std::make_unique<records::Standards>();
    auto original = std::make_unique<records::Standards>();
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *saved), &error));
    ASSERT_TRUE(
        testing_support::succeeded(records::standards::readStandardsTable(source, *original), &error));
    for (int level = 0; level <= 20; ++level) {
        EXPECT_EQ(saved->targetTime[level], original->targetTime[level]);
        EXPECT_EQ(saved->overPracticeCountLimit[level], original->overPracticeCountLimit[level]);
    }
}

TEST(StandardsTableWriter, CellsThatWouldChangeTheTablesShapeAreRefusedAndTheOldFileStays)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    const QByteArray old = readBytes(testDataPath(QStringLiteral("records/standards-editor.txt")));
    writeBytes(path, old);
    QList<QStringList> good;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsRows(path), &good, &error));

    struct Case
    {
        int row;
        int column; // -1: drop the row's last cell
        QString cell;
        const char *where;
    };
    const Case cases[] = {
        {2, 0, QStringLiteral("1,5"), "レベル2 の 1 列目（目標Time）"},
        {3, 5, QStringLiteral("\"10"), "レベル3 の 6 列目（禁回）"},
        {4, 11, QStringLiteral("a\r\nb"), "レベル4 の 12 列目"},
        {5, 9, QStringLiteral("😀"), "レベル5 の 10 列目"},
        {6, -1, QString(), "レベル6 の行のセルが 11 個"},
    };
    for (const Case &c : cases) {
        QList<QStringList> rows = good;
        if (c.column < 0)
            rows[c.row].removeLast();
        else
            rows[c.row][c.column] = c.cell;
        error.clear();
        EXPECT_FALSE(testing_support::succeeded(records::standards::writeStandardsTable(path, rows), &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.where))) << error.toStdString();
        EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
        EXPECT_EQ(readBytes(path), old);
    }
    // A folder that is gone: the save fails with the file's name, nothing half written anywhere.
    const QString lost = dir.filePath(QStringLiteral("なし/タイム回数データ.txt"));
    EXPECT_FALSE(testing_support::succeeded(records::standards::writeStandardsTable(lost, good), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(lost))) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("タイム回数データ.txt")});
}

// The editor never saves a table that the start-up would refuse: every cell is checked with the reader's
// own rule before anything is written, and the message names the level and the column of the grid.
TEST(StandardsTableWriter, ACellBeyondTheReadersRangeIsRefusedByLevelAndColumnAndNothingIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    const QByteArray old = readBytes(testDataPath(QStringLiteral("records/standards-editor.txt")));
    writeBytes(path, old);
    QList<QStringList> good;
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsRows(path), &good, &error));

    struct Case
    {
        int level;
        int column; // 0-based field
        QString cell;
        const char *where;
    };
    const Case cases[] = {
        {7, 3, QStringLiteral("40000"), "レベル7 の 4 列目（ｸﾘｱ回数）の数「40000」"},
        {7, 3, QStringLiteral("-32769"), "レベル7 の 4 列目（ｸﾘｱ回数）の数「-32769」"},
        {2, 0, QStringLiteral("2147483648"), "レベル2 の 1 列目（目標Time）の数「2147483648」"},
        {20, 4, QStringLiteral(" 99999999999回"), "レベル20 の 5 列目（ﾎﾟｲﾝﾄ倍率）"},
    };
    for (const Case &c : cases) {
        QList<QStringList> rows = good;
        rows[c.level][c.column] = c.cell;
        error.clear();
        EXPECT_FALSE(testing_support::succeeded(records::standards::writeStandardsTable(path, rows), &error))
            << c.where;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.where))) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("範囲を超えています"))) << error.toStdString();
        EXPECT_FALSE(error.contains(QStringLiteral("行目"))) << error.toStdString();
        EXPECT_TRUE(error.contains(platform::displayPath(path))) << error.toStdString();
        EXPECT_EQ(readBytes(path), old);
    }

    // The largest values the reader holds are saved and read back; the text columns have no range.
    QList<QStringList> rows = good;
    rows[7][3] = QStringLiteral("32767");
    rows[2][0] = QStringLiteral("2147483647");
    rows[3][5] = QStringLiteral("99999999999");
    ASSERT_TRUE(testing_support::succeeded(records::standards::writeStandardsTable(path, rows), &error))
        << error.toStdString();
    auto table = std::make_unique<records::Standards>();
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error))
        << error.toStdString();
    EXPECT_EQ(table->clearCount[7], 32767);
    EXPECT_EQ(table->targetTime[2], 2147483647);
}

// Line ends separate items as commas do: an empty line between rows is an empty item that leaves a row
// short, and the message points at it; empty lines after the last row are no items.
TEST(StandardsTable, AnEmptyLineInsideIsAnItemAndEmptyLinesAtTheEndAreNone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("タイム回数データ.txt"));
    QStringList lines = Installation::standardsLines();
    lines << QString() << QString();
    writeFile932(path, lines);
    auto table = std::make_unique<records::Standards>();
    QString error;
    ASSERT_TRUE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error))
        << error.toStdString();
    EXPECT_EQ(table->targetTime[20], 300);

    lines = Installation::standardsLines();
    lines.insert(8, QString());
    writeFile932(path, lines);
    EXPECT_FALSE(testing_support::succeeded(records::standards::readStandardsTable(path, *table), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("9 行目の項目が 12 個ではありません"))) << error.toStdString();
}

TEST(PracticeTimes, PracticeLevelsOfTheCatalogueRunAgainstTenMinutesAndTestLevelsKeepTheTable)
{
    records::Standards table;
    for (int level = 0; level <= kMaxLevel; ++level) {
        table.targetTime[std::size_t(level)] = 100 + level;
        table.minimumTime[std::size_t(level)] = 200 + level;
    }
    drill::Catalogue catalogue;
    records::standards::setPracticeTimes(table,
                                         catalogue); // no levels set up yet: nothing is a practice level
    EXPECT_EQ(table.targetTime[1], 101);

    catalogue::setUpLevels(catalogue);
    catalogue.levelNames[21] = QStringLiteral("範囲１練"); // beyond the level count: not the hub's
    records::standards::setPracticeTimes(table, catalogue);
    for (int level = 1; level <= kMaxLevel; ++level) {
        const bool practice = level <= 20 && level % 2 == 1;
        EXPECT_EQ(table.targetTime[std::size_t(level)], practice ? 600 : 100 + level) << level;
        EXPECT_EQ(table.minimumTime[std::size_t(level)], practice ? 600 : 200 + level) << level;
    }
    EXPECT_EQ(table.targetTime[0], 100);
}
