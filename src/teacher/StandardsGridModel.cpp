#include "teacher/StandardsGridModel.h"

#include <QPoint>

namespace teacher {

namespace {
const char16_t *const kTitles[] = {u"目標Time", u"最低Time", u"ｸﾘｱﾎﾟｲﾝﾄ", u"ｸﾘｱ回数", u"ﾎﾟｲﾝﾄ倍率",
                                   u"禁回",     u"禁点",     u"判期間",   u"禁期間"};
constexpr int kMaxListedCells = 5;

bool isWholeTimeOfAtLeastOne(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    const qint64 value = t.toLongLong(&ok);
    return ok && value >= 1 && value <= 2147483647;
}
} // namespace

QStringList standardsHeaderCells()
{
    QStringList cells;
    for (const char16_t *title : kTitles)
        cells << QString::fromUtf16(title);
    cells << QString() << QString() << QString();
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
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < levelCount() ? QVariant(QString::number(section + 1)) : QVariant();
    if (section == 0)
        return QStringLiteral("レベル");
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
            if (!isWholeTimeOfAtLeastOne(grid.cell(level, column)))
                cells << QPoint(column, level);
        }
    }
    return cells;
}

QList<QPoint> shapeBreakingCells(const StandardsGridModel &grid)
{
    QList<QPoint> cells;
    for (int level = 1; level <= grid.levelCount(); ++level) {
        for (int column = 1; column <= kFieldColumns; ++column) {
            const QString text = grid.cell(level, column);
            if (text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n'))
                cells << QPoint(column, level);
        }
    }
    return cells;
}

QString doubtfulTimesQuestion(const StandardsGridModel &grid, const QList<QPoint> &cells)
{
    QStringList named;
    for (qsizetype i = 0; i < cells.size() && i < kMaxListedCells; ++i) {
        const QPoint &p = cells[i];
        const QString text = grid.cell(p.y(), p.x());
        named << QStringLiteral("レベル%1の%2「%3」")
                     .arg(p.y())
                     .arg(QString::fromUtf16(kTitles[p.x() - 1]),
                          text.isEmpty() ? QStringLiteral("空") : text);
    }
    QString list = named.join(QStringLiteral("、"));
    if (cells.size() > kMaxListedCells)
        list += QStringLiteral(" ほか%1か所").arg(cells.size() - kMaxListedCells);
    return QStringLiteral("目標Time・最低Time に、1 以上の整数でないセルがあります（赤いセル：%1）。\n"
                          "このまま記録すると、そのレベルのドリルはすぐに時間切れになります。\n"
                          "このまま記録しますか？")
        .arg(list);
}

} // namespace teacher
