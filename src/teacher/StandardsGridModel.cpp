#include "teacher/StandardsGridModel.h"

#include "platform/DelimitedItems.h"
#include "records/StandardsTable.h"

#include <QPoint>

#include <algorithm>
#include <cmath>

namespace teacher {

namespace {
constexpr int kMaxListedCells = 5;
// Times are recorded and shown in five digits; 99999 is the time-out mark.
constexpr qint64 kLongestTime = 99999;

// The column titles as the grid shows them, broken between their words: a column is narrower than
// most titles.
const char16_t *const kShownTitles[] = {u"目標\nTime", u"最低\nTime",  u"ｸﾘｱ\nﾎﾟｲﾝﾄ",
                                        u"ｸﾘｱ\n回数",  u"ﾎﾟｲﾝﾄ\n倍率", u"禁回",
                                        u"禁点",       u"判期間",      u"禁期間"};

// What start-up makes of a time's text: its leading number, truncated.
enum class TimeDoubt {
    None,
    BelowOne, // reads as 0 or less: no number at all, 0, a negative time
    NotWhole, // reads as a time of at least 1 from its leading digits ("12a", "1.5")
    TooLarge  // more than the five digits of a recorded time
};

TimeDoubt timeDoubt(const QString &text)
{
    const QString t = text.trimmed();
    const double read = std::trunc(platform::leadingNumber(t));
    if (read > double(kLongestTime))
        return TimeDoubt::TooLarge;
    if (read < 1)
        return TimeDoubt::BelowOne;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return TimeDoubt::NotWhole;
    }
    return TimeDoubt::None;
}

QString cellName(const StandardsGridModel &grid, const QPoint &p)
{
    const QString text = grid.cell(p.y(), p.x());
    return QStringLiteral("レベル%1の%2「%3」")
        .arg(p.y())
        .arg(records::standards::fieldTitle(p.x() - 1), text.isEmpty() ? QStringLiteral("空") : text);
}

QString cellList(const StandardsGridModel &grid, const QList<QPoint> &cells)
{
    QStringList named;
    for (qsizetype i = 0; i < cells.size() && i < kMaxListedCells; ++i)
        named << cellName(grid, cells[i]);
    QString list = named.join(QStringLiteral("、"));
    if (cells.size() > kMaxListedCells)
        list += QStringLiteral(" ほか%1か所").arg(cells.size() - kMaxListedCells);
    return list;
}
} // namespace

QStringList standardsHeaderCells()
{
    QStringList cells;
    for (int field = 0; field < kFieldColumns; ++field)
        cells << records::standards::fieldTitle(field);
    return cells;
}

StandardsGridModel::StandardsGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void StandardsGridModel::load(const QList<QStringList> &levelRows)
{
    beginResetModel();
    m_cells.clear();
    for (QStringList row : levelRows) {
        while (row.size() < kFieldColumns)
            row << QString();
        m_cells << row.mid(0, kFieldColumns);
    }
    m_changed.clear();
    m_marked.clear();
    endResetModel();
}

bool StandardsGridModel::valid(int level, int column) const
{
    return level >= 1 && level <= levelCount() && column >= 1 && column <= kFieldColumns;
}

QString StandardsGridModel::cell(int level, int column) const
{
    if (column == 0 && level >= 1 && level <= levelCount())
        return QString::number(level);
    return valid(level, column) ? m_cells[level - 1][column - 1] : QString();
}

bool StandardsGridModel::setCell(int level, int column, const QString &text, bool colour)
{
    if (!valid(level, column))
        return false;
    QString &stored = m_cells[level - 1][column - 1];
    const bool differs = stored != text;
    if (differs && colour)
        m_changed.insert(key(level, column));
    if (differs) {
        stored = text;
        m_marked.remove(key(level, column));
    }
    if (differs || colour)
        cellChanged(level, column);
    return differs;
}

void StandardsGridModel::cellChanged(int level, int column)
{
    const QModelIndex at = index(level - 1, column);
    emit dataChanged(at, at);
}

bool StandardsGridModel::isChanged(int level, int column) const
{
    return m_changed.contains(key(level, column));
}

bool StandardsGridModel::isMarked(int level, int column) const
{
    return m_marked.contains(key(level, column));
}

void StandardsGridModel::setMarked(const QList<QPoint> &cells)
{
    const QSet<quint64> before = m_marked;
    m_marked.clear();
    for (const QPoint &p : cells) {
        if (valid(p.y(), p.x()))
            m_marked.insert(key(p.y(), p.x()));
    }
    if ((before != m_marked) && levelCount() > 0)
        emit dataChanged(index(0, 1), index(levelCount() - 1, kFieldColumns));
}

QList<QStringList> StandardsGridModel::fileRows() const
{
    QList<QStringList> rows;
    rows << standardsHeaderCells();
    rows += m_cells;
    return rows;
}

int StandardsGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : levelCount();
}

int StandardsGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant StandardsGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int level = index.row() + 1;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(level, column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    case CellColourRole:
        if (isMarked(level, column))
            return QVariant::fromValue(kMarkedColour);
        if (isChanged(level, column))
            return QVariant::fromValue(kChangedColour);
        return {};
    case ChangedRole:
        return isChanged(level, column);
    case MarkedRole:
        return isMarked(level, column);
    default:
        return {};
    }
}

QVariant StandardsGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < levelCount() ? QVariant(QString::number(section + 1)) : QVariant();
    if (section == 0)
        return QStringLiteral("レベル");
    if (role == Qt::DisplayRole && section >= 1 && section <= 9)
        return QString::fromUtf16(kShownTitles[section - 1]);
    if (section >= 1 && section <= kFieldColumns)
        return standardsHeaderCells().at(section - 1);
    return {};
}

Qt::ItemFlags StandardsGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The level column is fixed, as the header row is.
    return index.column() == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QList<QPoint> doubtfulTimeCells(const StandardsGridModel &grid)
{
    QList<QPoint> cells;
    for (int level = 1; level <= grid.levelCount(); ++level) {
        for (int column : {1, 2}) {
            if (timeDoubt(grid.cell(level, column)) != TimeDoubt::None)
                cells << QPoint(column, level);
        }
    }
    return cells;
}

QList<QPoint> refusedCells(const StandardsGridModel &grid)
{
    QList<QPoint> cells;
    for (int level = 1; level <= grid.levelCount(); ++level) {
        for (int column = 1; column <= kFieldColumns; ++column) {
            if (!records::standards::cellRefusal(level, column - 1, grid.cell(level, column)).isEmpty())
                cells << QPoint(column, level);
        }
    }
    return cells;
}

QString doubtfulTimesQuestion(const StandardsGridModel &grid, const QList<QPoint> &cells)
{
    QList<QPoint> notWhole;
    QList<QPoint> tooLarge;
    bool targetBelowOne = false;
    bool minimumBelowOne = false;
    bool partlyRead = false;
    for (const QPoint &p : cells) {
        const TimeDoubt doubt = timeDoubt(grid.cell(p.y(), p.x()));
        (doubt == TimeDoubt::TooLarge ? tooLarge : notWhole) << p;
        if (doubt == TimeDoubt::BelowOne)
            (p.x() == 1 ? targetBelowOne : minimumBelowOne) = true;
        partlyRead = partlyRead || doubt == TimeDoubt::NotWhole;
    }
    const auto inColumn = [](const QList<QPoint> &list, int column) {
        return std::any_of(list.begin(), list.end(), [column](const QPoint &p) { return p.x() == column; });
    };
    QString text = QStringLiteral("目標Time・最低Time に、確かめてほしいセルがあります（赤いセル）。\n");
    if (!notWhole.isEmpty())
        text += QStringLiteral("1 以上の整数でないセル：%1\n").arg(cellList(grid, notWhole));
    if (!tooLarge.isEmpty())
        text += QStringLiteral("大きすぎるセル（%1 秒より大きい）：%2\n")
                    .arg(kLongestTime)
                    .arg(cellList(grid, tooLarge));
    if (targetBelowOne)
        text += QStringLiteral("目標Time が 0 以下や数でないレベルでは、どのタイムも 0 点になります。\n");
    if (minimumBelowOne)
        text +=
            QStringLiteral("最低Time が 0 以下や数でないレベルでは、ドリルがすぐに時間切れになります。\n");
    if (partlyRead)
        text +=
            QStringLiteral("数のあとに文字や小数のあるセルは、前の整数の部分だけが秒数として読まれます。\n");
    if (inColumn(tooLarge, 1))
        text += QStringLiteral("目標Time が大きすぎるレベルでは、どのタイムもほぼ満点になります。\n");
    if (inColumn(tooLarge, 2))
        text += QStringLiteral("最低Time が大きすぎるレベルでは、ドリルが時間切れになりません。\n");
    return text + QStringLiteral("このまま記録しますか？");
}

} // namespace teacher
