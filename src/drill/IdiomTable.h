#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The idiom data as read from the data file: cell (row, column), rows 1 to 1000, columns 1 to 100.
struct IdiomData
{
    std::vector<QStringList> idiomTable; // idiomTable[row][column]; row 0 and column 0 stay empty
    int idiomRowCount = 0;
    int idiomColumnCount = 0; // the number of fields of the last line read

    // The text of a cell; empty for a cell the file did not fill (rows hold only their own fields).
    QString cell(int row, int column) const
    {
        if (row < 0 || std::size_t(row) >= idiomTable.size() || column < 0 ||
            column >= idiomTable[std::size_t(row)].size())
            return {};
        return idiomTable[std::size_t(row)][column];
    }
};
