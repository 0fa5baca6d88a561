// The standards table over any file: a refused file leaves the table in use exactly as it was, a read
// one has at most 36 rows, and what the editor's save writes of it reads back as the same table.

#include "FuzzCheck.h"
#include "platform/TextFile.h"
#include "records/StandardsTable.h"

#include <cstdint>
#include <memory>

namespace {

const QString kPath = QStringLiteral("タイム回数データ.txt");

// A table that no file gives by accident.
const records::Standards &previous()
{
    static const std::unique_ptr<records::Standards> table = [] {
        auto t = std::make_unique<records::Standards>();
        for (int i = 0; i < kLevelSlots; ++i) {
            t->targetTime[i] = 1000 + i;
            t->clearCount[i] = qint16(7 + i);
            t->overPracticeCountLimit[i] = QStringLiteral("前の%1").arg(i);
            t->reservedColumn12[i] = i;
        }
        return t;
    }();
    return *table;
}

bool sameTable(const records::Standards &a, const records::Standards &b)
{
    return a.targetTime == b.targetTime && a.minimumTime == b.minimumTime && a.clearPoints == b.clearPoints &&
           a.clearCount == b.clearCount && a.pointMultiplier == b.pointMultiplier &&
           a.overPracticeCountLimit == b.overPracticeCountLimit &&
           a.overPracticePointsLimit == b.overPracticePointsLimit && a.passPeriodDays == b.passPeriodDays &&
           a.overPracticePeriodDays == b.overPracticePeriodDays && a.reservedColumn10 == b.reservedColumn10 &&
           a.reservedColumn11 == b.reservedColumn11 && a.reservedColumn12 == b.reservedColumn12;
}

QList<QStringList> trimmed(QList<QStringList> rows)
{
    for (QStringList &row : rows)
        for (QString &cell : row)
            cell = cell.trimmed();
    return rows;
}

// Whether the call succeeded; its failure's text goes to *text, its value (when it has one) to *value.
bool succeeded(const app::Status &status, QString *text)
{
    *text = status ? status->text : QString();
    return !status;
}

template <typename T> bool succeeded(const app::Result<T> &result, T *value, QString *text)
{
    if (result)
        *value = result.value();
    return succeeded(result.status(), text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bool ok = false;
    const QString text =
        platform::decode932(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &ok);
    if (!ok)
        return 0; // the reader refuses such a file before parsing it

    auto table = std::make_unique<records::Standards>(previous());
    QString error;
    if (!succeeded(records::standards::parseStandardsTable(text, kPath, *table), &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(sameTable(*table, previous()));
        return 0;
    }
    QList<QStringList> rows;
    FUZZ_CHECK(succeeded(records::standards::parseStandardsRows(text, kPath), &rows, &error));
    FUZZ_CHECK(!rows.isEmpty() && rows.size() <= kLevelSlots);

    QStringList lines;
    if (!succeeded(records::standards::standardsLines(kPath, rows), &lines, &error))
        return 0; // a cell the editor cannot save (a comma, a quote, a line break)
    const QString saved = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QList<QStringList> savedRows;
    FUZZ_CHECK(succeeded(records::standards::parseStandardsRows(saved, kPath), &savedRows, &error));
    FUZZ_CHECK(trimmed(savedRows) == trimmed(rows));
    auto again = std::make_unique<records::Standards>(previous());
    FUZZ_CHECK(succeeded(records::standards::parseStandardsTable(saved, kPath, *again), &error));
    FUZZ_CHECK(again->targetTime == table->targetTime && again->minimumTime == table->minimumTime &&
               again->clearPoints == table->clearPoints && again->clearCount == table->clearCount &&
               again->pointMultiplier == table->pointMultiplier);
    return 0;
}
