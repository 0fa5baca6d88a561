#include "records/StandardsTable.h"

#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"

namespace standards {

QString filePath(const QString &dataFolder)
{
    return dataFolder + QString::fromUtf16(kFileName);
}

bool readStandardsTable(const QString &path, Standards &table, QString *error)
{
    QString text;
    if (!platform::readText932(path, &text, error))
        return false;

    // Read into a copy, so that a broken file leaves the table in use untouched.
    Standards read = table;
    platform::DelimitedItemReader reader(text);
    int row = -1;
    while (!reader.atEnd()) {
        ++row;
        if (row > kMaxLevel) {
            if (error)
                *error = QStringLiteral("%1 には、レベルの行が%2行より多くあります（%3行目）。")
                             .arg(platform::displayPath(path))
                             .arg(kMaxLevel)
                             .arg(reader.line());
            return false;
        }
        const int line = reader.line();
        QList<platform::Item> items;
        if (reader.read(kFieldCount, &items) < kFieldCount) {
            if (error)
                *error = QStringLiteral("%1 の %2 行目の項目が足りません（%3 個必要ですが %4 個しかありません）。")
                             .arg(platform::displayPath(path))
                             .arg(line)
                             .arg(kFieldCount)
                             .arg(items.size());
            return false;
        }
        auto whole = [&](int i) { return qint32(platform::leadingInteger(items[i].text)); };
        read.targetTime[row] = whole(0);
        read.minimumTime[row] = whole(1);
        read.clearPoints[row] = whole(2);
        read.clearCount[row] = qint16(platform::leadingInteger(items[3].text, -32768, 32767));
        read.pointMultiplier[row] = whole(4);
        read.overPracticeCountLimit[row] = platform::itemValue(items[5]);
        read.overPracticePointsLimit[row] = platform::itemValue(items[6]);
        read.passPeriodDays[row] = platform::itemValue(items[7]);
        read.overPracticePeriodDays[row] = platform::itemValue(items[8]);
        read.reservedColumn10[row] = platform::itemValue(items[9]);
        read.reservedColumn11[row] = platform::itemValue(items[10]);
        read.reservedColumn12[row] = platform::itemValue(items[11]);
    }
    if (row < 0) {
        if (error)
            *error = QStringLiteral("%1 が空です。").arg(platform::displayPath(path));
        return false;
    }
    table = std::move(read);
    return true;
}

} // namespace standards
