#include "hub/PersonalDataModel.h"

#include <algorithm>

namespace hub {

namespace {
std::vector<int> selectedNumbers(const QItemSelectionModel &selection)
{
    std::vector<int> rows;
    for (const QModelIndex &index : selection.selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> numbers;
    for (int row : rows)
        numbers.push_back(selection.model()->index(row, 0).data(SheetListModel::NumberRole).toInt());
    return numbers;
}
} // namespace

void SheetListModel::setRows(std::vector<SheetListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int SheetListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SheetListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || std::size_t(index.row()) >= m_rows.size())
        return {};
    const SheetListRow &row = m_rows[std::size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return row.text;
    if (role == NumberRole)
        return row.number;
    return {};
}

PersonalDataModel::PersonalDataModel() : m_studentSelection(&m_students), m_levelSelection(&m_levels) {}

void PersonalDataModel::fill(const roster::Roster &roster, int schoolYearStartMonth, QDate today,
                             const drill::Catalogue &catalogue)
{
    m_students.setRows(sheetStudentRows(roster, schoolYearStartMonth, today));
    m_levels.setRows(sheetLevelRows(catalogue));
    m_filled = true;
}

void PersonalDataModel::showOwnSheet(int student, const drill::Catalogue &catalogue)
{
    m_sheetStudent = student;
    m_studentListShown = false;
    m_studentSelection.clearSelection();
    m_levelSelection.clearSelection();
    for (int level : defaultSheetLevels(catalogue))
        m_levelSelection.select(m_levels.index(level - 1), QItemSelectionModel::Select);
}

std::vector<int> PersonalDataModel::selectedStudents() const
{
    return selectedNumbers(m_studentSelection);
}

std::vector<int> PersonalDataModel::selectedLevels() const
{
    std::vector<int> levels = selectedNumbers(m_levelSelection);
    std::sort(levels.begin(), levels.end());
    return levels;
}

app::Result<SheetDrawing> PersonalDataModel::drawing(SheetTarget target) const
{
    SheetDrawing drawing{selectedStudents(), selectedLevels()};
    if (drawing.students.empty())
        drawing.students.push_back(m_sheetStudent);
    if (drawing.levels.empty() && target != SheetTarget::Screen)
        return app::failure(QStringLiteral("レベルを選んでください。"));
    return drawing;
}

void PersonalDataModel::drawn(const SheetDrawing &drawing)
{
    if (!drawing.students.empty())
        m_sheetStudent = drawing.students.back();
}

} // namespace hub
