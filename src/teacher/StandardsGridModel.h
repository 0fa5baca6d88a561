#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QStringList>

// The standards editor's grid: one row a level, 13 columns: the level number, then the twelve fields of
// the level's line of the standards table in file order. The header row of the table is the model's
// horizontal header (the grid shows the titles broken between their words). Cells are changed through the
// editor box only (see StandardsEditor); the view does not edit them itself.
//
// A cell whose text was changed through the editor box is yellow until the table is loaded again. A cell
// marked before saving (a time that would end every drill at once, or a text that would change the
// table's shape) is red until its text is changed or the table is loaded again.
namespace teacher {

inline constexpr int kGridColumns = 13;
inline constexpr int kFieldColumns = 12;
inline constexpr quint32 kChangedColour = 0xFFFF00; // red 255, green 255, blue 0
inline constexpr quint32 kMarkedColour = 0xFFA8A8;

// The twelve texts of the header line as the editor writes it: nine titles and three empty fields.
QStringList standardsHeaderCells();

class StandardsGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role {
        CellColourRole = Qt::UserRole + 1, // quint32 0xRRGGBB, or nothing for a plain cell
        ChangedRole,                       // bool: changed through the editor box
        MarkedRole                         // bool: marked before saving
    };

    explicit StandardsGridModel(QObject *parent = nullptr);

    // The level rows of the file (its header line left out): row i is level i + 1. Colours and marks
    // go; each row is cut or padded to twelve cells.
    void load(const QList<QStringList> &levelRows);
    int levelCount() const { return int(m_cells.size()); }

    // Level 1 .. levelCount(), column 1 .. 12; column 0 is the level number.
    QString cell(int level, int column) const;
    // Sets a field cell's text; `colour` makes it yellow when the text differs. Returns whether the text
    // differed.
    bool setCell(int level, int column, const QString &text, bool colour);
    bool isChanged(int level, int column) const;
    bool isMarked(int level, int column) const;
    void setMarked(const QList<QPoint> &cells); // x = column, y = level; replaces the marks

    // The table as the editor writes it: the header line, then every level row.
    QList<QStringList> fileRows() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool valid(int level, int column) const;
    static quint64 key(int level, int column) { return quint64(level) << 8 | quint64(column); }
    void cellChanged(int level, int column);

    QList<QStringList> m_cells; // [level - 1][column - 1]
    QSet<quint64> m_changed;
    QSet<quint64> m_marked;
};

// Cells of 目標Time and 最低Time (columns 1 and 2) to ask about before saving: a text that is not a whole
// number of at least 1 (start-up reads its leading number: a 目標Time below 1 gives every run 0 points,
// a 最低Time below 1 ends every drill at once), or a time larger than the five digits of a recorded
// time. x = column, y = level.
QList<QPoint> doubtfulTimeCells(const StandardsGridModel &grid);

// Cells that cannot be saved (records::standards::cellRefusal: a text that would change the table's
// shape, or that start-up would refuse).
QList<QPoint> refusedCells(const StandardsGridModel &grid);

// The question asked before saving doubtful times: the cells listed by level and column title, and
// what each kind does to the drill.
QString doubtfulTimesQuestion(const StandardsGridModel &grid, const QList<QPoint> &cells);

} // namespace teacher
