#include "roster/NameListModel.h"

namespace roster {

NameListModel::NameListModel(QObject *parent) : QAbstractListModel(parent)
{
    setObjectName(QStringLiteral("List1Model"));
}

void NameListModel::setLists(namelist::Lists lists)
{
    beginResetModel();
    m_lists = std::move(lists);
    endResetModel();
}

QString NameListModel::text(int row) const
{
    return row >= 0 && row < m_lists.names.size() ? m_lists.names.at(row) : QString();
}

int NameListModel::studentNumber(int row) const
{
    // The separator is row 0; the students follow it.
    return row >= 1 && row - 1 < m_lists.students.size() ? m_lists.students.at(row - 1) : -1;
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lists.names.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row());
    case StudentNumberRole:
        return studentNumber(index.row());
    default:
        return {};
    }
}

} // namespace roster
