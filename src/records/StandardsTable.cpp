#include "records/StandardsTable.h"

#include "drill/LevelCatalogue.h"
#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <limits>

namespace records::standards {

namespace {

app::Result<QString> readTableText(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && info.size() > kMaxFileBytes)
        return app::Failure{
            .text = QStringLiteral("%1 が大きすぎます（%2 バイト）。レベル基準の表ではないようです。")
                        .arg(platform::displayPath(path), QString::number(info.size()))};
    return platform::readText932(path);
}

// Line ends separate items just as commas do, so one short row (or an empty line, which is one empty
// item) shifts every later row and the shortage only shows at the end of the file. For the message, the
// first line that does not hold twelve items is where the teacher should look (0 when every line does).
// The empty lines after the last row are no items and no rows.
int firstLineWithoutTwelveItems(const QString &text)
{
    const QStringList lines = platform::splitLines(text);
    qsizetype last = lines.size();
    while (last > 0 && lines[last - 1].trimmed().isEmpty())
        --last;
    for (qsizetype i = 0; i < last; ++i) {
        const qsizetype items = lines[i].trimmed().isEmpty() ? 1 : platform::readAllItems(lines[i]).size();
        if (items != kFieldCount)
            return int(i + 1);
    }
    return 0;
}

// Reads the rows of twelve items; the callback takes each row with its index and first line, and may
// refuse it.
template <typename RowFn> app::Status readRows(const QString &text, const QString &path, RowFn &&row)
{
    platform::DelimitedItemReader reader(text);
    int index = -1;
    while (!reader.atEnd()) {
        ++index;
        if (index > kMaxLevel)
            return app::Failure{.text =
                                    QStringLiteral("%1 には、レベルの行が%2行より多くあります（%3行目）。")
                                        .arg(platform::displayPath(path), QString::number(kMaxLevel),
                                             QString::number(reader.line()))};
        const int line = reader.line();
        QList<platform::Item> items;
        if (reader.readBeforeEnd(kFieldCount, &items) < kFieldCount) {
            QString message =
                QStringLiteral("%1 の %2 行目の項目が足りません（%3 個必要ですが %4 個しかありません）。")
                    .arg(platform::displayPath(path), QString::number(line), QString::number(kFieldCount),
                         QString::number(items.size()));
            const int suspect = firstLineWithoutTwelveItems(text);
            if (suspect != 0 && suspect != line)
                message +=
                    QStringLiteral("%1 行目の項目が %2 個ではありません。").arg(suspect).arg(kFieldCount);
            return app::Failure{.text = message};
        }
        if (app::Status refused = row(index, line, items))
            return refused;
    }
    if (index < 0)
        return app::Failure{.text = QStringLiteral("%1 が空です。").arg(platform::displayPath(path))};
    return {};
}

} // namespace

QString filePath(const QString &dataFolder)
{
    return dataFolder + QString::fromUtf16(kFileName);
}

void setPracticeTimes(Standards &standards, const drill::Catalogue &catalogue)
{
    const int count = catalogue::levelCount(catalogue);
    for (int level = 1; level <= count; ++level) {
        if (catalogue::isPracticeLevel(catalogue, level)) {
            standards.targetTime[std::size_t(level)] = kPracticeTime;
            standards.minimumTime[std::size_t(level)] = kPracticeTime;
        }
    }
}

app::Status readStandardsTable(const QString &path, Standards &table)
{
    const app::Result<QString> text = readTableText(path);
    if (!text)
        return text.status();
    return parseStandardsTable(text.value(), path, table);
}

bool fieldRange(int field, qint64 *lowest, qint64 *highest)
{
    constexpr qint64 lo32 = std::numeric_limits<qint32>::min();
    constexpr qint64 hi32 = std::numeric_limits<qint32>::max();
    if (field < 0 || field > 4)
        return false;
    *lowest = field == 3 ? std::numeric_limits<qint16>::min() : lo32;
    *highest = field == 3 ? std::numeric_limits<qint16>::max() : hi32;
    return true;
}

bool fieldInRange(int field, QStringView text)
{
    qint64 lo = 0;
    qint64 hi = 0;
    if (!fieldRange(field, &lo, &hi))
        return true;
    const double value = std::trunc(platform::leadingNumber(text));
    return value >= double(lo) && value <= double(hi);
}

QString fieldTitle(int field)
{
    static const char16_t *const kTitles[] = {u"目標Time", u"最低Time", u"ｸﾘｱﾎﾟｲﾝﾄ", u"ｸﾘｱ回数", u"ﾎﾟｲﾝﾄ倍率",
                                              u"禁回",     u"禁点",     u"判期間",   u"禁期間"};
    return field >= 0 && field < 9 ? QString::fromUtf16(kTitles[field]) : QString();
}

namespace {

// "レベル7 の 4 列目（ｸﾘｱ回数）": where a cell is in the editor's grid.
QString rowName(int row)
{
    return row == 0 ? QStringLiteral("見出しの行") : QStringLiteral("レベル%1").arg(row);
}

QString cellPlace(int row, int field)
{
    const QString title = fieldTitle(field);
    return QStringLiteral("%1 の %2 列目%3")
        .arg(rowName(row), QString::number(field + 1),
             title.isEmpty() ? QString() : QStringLiteral("（%1）").arg(title));
}

} // namespace

QString cellRefusal(int row, int field, const QString &cell)
{
    if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\r') || cell.contains(u'\n'))
        return QStringLiteral("%1「%2」に、カンマ・二重引用符・改行は使えません。")
            .arg(cellPlace(row, field), cell);
    bool encodable = false;
    platform::encode932(cell, &encodable);
    if (!encodable)
        return QStringLiteral("%1「%2」に、シフトJISにない文字があります。").arg(cellPlace(row, field), cell);
    // What the reader takes of the cell: the item without the blanks around it.
    if (!fieldInRange(field, cell)) {
        qint64 lo = 0;
        qint64 hi = 0;
        fieldRange(field, &lo, &hi);
        return QStringLiteral("%1の数「%2」が範囲を超えています（%3 から %4 まで）。")
            .arg(cellPlace(row, field), cell, QString::number(lo), QString::number(hi));
    }
    return QString();
}

app::Status parseStandardsTable(const QString &text, const QString &path, Standards &table)
{
    // Read into a copy, so that a broken file leaves the table in use untouched.
    Standards read = table;
    app::Status failed = readRows(text, path, [&](int row, int line, const QList<platform::Item> &items) {
        app::Status outOfRange;
        auto whole = [&](int i) {
            if (!fieldInRange(i, items[i].text)) {
                if (!outOfRange)
                    outOfRange = app::Failure{
                        .text =
                            QStringLiteral("%1 の %2 行目の %3 列目（%4）の数「%5」が範囲を超えています。")
                                .arg(platform::displayPath(path), QString::number(line),
                                     QString::number(i + 1), fieldTitle(i), items[i].text)};
                return qint64(0);
            }
            return qint64(std::trunc(platform::leadingNumber(items[i].text)));
        };
        read.targetTime[row] = qint32(whole(0));
        read.minimumTime[row] = qint32(whole(1));
        read.clearPoints[row] = qint32(whole(2));
        read.clearCount[row] = qint16(whole(3));
        read.pointMultiplier[row] = qint32(whole(4));
        read.overPracticeCountLimit[row] = platform::itemValue(items[5]);
        read.overPracticePointsLimit[row] = platform::itemValue(items[6]);
        read.passPeriodDays[row] = platform::itemValue(items[7]);
        read.overPracticePeriodDays[row] = platform::itemValue(items[8]);
        read.reservedColumn10[row] = platform::itemValue(items[9]);
        read.reservedColumn11[row] = platform::itemValue(items[10]);
        read.reservedColumn12[row] = platform::itemValue(items[11]);
        return outOfRange;
    });
    if (failed)
        return failed;
    table = std::move(read);
    return {};
}

app::Result<QList<QStringList>> readStandardsRows(const QString &path)
{
    const app::Result<QString> text = readTableText(path);
    if (!text)
        return text.failure();
    return parseStandardsRows(text.value(), path);
}

app::Result<QList<QStringList>> parseStandardsRows(const QString &text, const QString &path)
{
    QList<QStringList> read;
    app::Status failed = readRows(text, path, [&](int, int, const QList<platform::Item> &items) {
        QStringList cells;
        for (const platform::Item &item : items)
            cells.append(item.text);
        read.append(cells);
        return app::Status{};
    });
    if (failed)
        return *failed;
    return read;
}

app::Result<QStringList> standardsLines(const QString &path, const QList<QStringList> &rows)
{
    QStringList out;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList &cells = rows[r];
        if (cells.size() != kFieldCount)
            return app::Failure{
                .text = QStringLiteral("%1 に保存できません：%2 の行のセルが %3 個です（%4 個必要です）。")
                            .arg(platform::displayPath(path), rowName(int(r)), QString::number(cells.size()),
                                 QString::number(kFieldCount))};
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QString refusal = cellRefusal(int(r), int(c), cells[c]);
            if (!refusal.isEmpty())
                return app::Failure{
                    .text =
                        QStringLiteral("%1 に保存できません：%2").arg(platform::displayPath(path), refusal)};
        }
        out.append(cells.join(u','));
    }
    return out;
}

app::Status writeStandardsTable(const QString &path, const QList<QStringList> &rows)
{
    const app::Result<QStringList> lines = standardsLines(path, rows);
    if (!lines)
        return lines.status();
    return platform::writeText932(path, lines.value());
}

} // namespace records::standards
