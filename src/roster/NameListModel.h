#pragma once

#include "roster/NameList.h"

#include <QAbstractListModel>

namespace roster {

// The name list as the name screen's list view shows it: the separator "－－－－－－", then one row per
// student of the grade group. Each row carries the student behind it as item data, so that a chosen row
// gives its student without the number being read back out of a text.
class NameListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role {
        StudentNumberRole = Qt::UserRole + 1, // int: the student number; -1 for the separator
    };

    explicit NameListModel(QObject *parent = nullptr);

    // Shows these lists in place of the ones shown before.
    void setLists(namelist::Lists lists);
    const namelist::Lists &lists() const { return m_lists; }

    // The row's text, and its student (-1 for the separator and for a row outside the list).
    QString text(int row) const;
    int studentNumber(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    namelist::Lists m_lists;
};

} // namespace roster
