#include "printing/PrintLayout.h"

#include <utility>

namespace printing {

namespace {
bool inside(int column, int row)
{
    return column >= 0 && column <= kMaxTableColumn && row >= 0 && row <= kMaxTableRow;
}
} // namespace

QString PrintTable::cell(int column, int row) const
{
    if (!inside(column, row) || std::size_t(row) >= m_rows.size())
        return {};
    return m_rows[std::size_t(row)][std::size_t(column)];
}

bool PrintTable::setCell(int column, int row, const QString &text)
{
    if (!inside(column, row))
        return false;
    if (std::size_t(row) >= m_rows.size()) {
        if (text.isEmpty())
            return true;
        m_rows.resize(std::size_t(row) + 1);
    }
    m_rows[std::size_t(row)][std::size_t(column)] = text;
    return true;
}

void PrintTable::swapCells(int rowA, int rowB, int firstColumn, int lastColumn)
{
    if (rowA == rowB || !inside(firstColumn, rowA) || !inside(lastColumn, rowB) ||
        !inside(lastColumn, rowA) || !inside(firstColumn, rowB))
        return;
    const std::size_t needed = std::size_t(std::max(rowA, rowB)) + 1;
    if (m_rows.size() < needed)
        m_rows.resize(needed);
    for (int column = firstColumn; column <= lastColumn; ++column)
        std::swap(m_rows[std::size_t(rowA)][std::size_t(column)],
                  m_rows[std::size_t(rowB)][std::size_t(column)]);
}

} // namespace printing
