#pragma once

#include "app/Failure.h"
#include "drill/Catalogue.h"
#include "hub/PersonalSheet.h"
#include "roster/Roster.h"

#include <QAbstractListModel>
#include <QDate>
#include <QItemSelectionModel>

#include <vector>

// The personal data panel's choices: the student list and the level list with what is selected in
// them, whose sheet is drawn, and what a drawing is made of. The panel's lists show these models and
// select through their selection models, so that who a row stands for is the row's data, never read
// back from what it says.
namespace hub {

enum class SheetTarget { Screen, Printer, Pdf };

// The rows of one of the panel's lists: the text as the display role, the student number or the level
// as NumberRole.
class SheetListModel : public QAbstractListModel
{
public:
    static constexpr int NumberRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;
    void setRows(std::vector<SheetListRow> rows);
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    std::vector<SheetListRow> m_rows;
};

// What one drawing is made of.
struct SheetDrawing
{
    std::vector<int> students; // in list order; the last one's sheet stays on the screen
    std::vector<int> levels;   // in level order
};

class PersonalDataModel
{
public:
    PersonalDataModel();
    PersonalDataModel(const PersonalDataModel &) = delete;
    PersonalDataModel &operator=(const PersonalDataModel &) = delete;

    SheetListModel *students() { return &m_students; }
    SheetListModel *levels() { return &m_levels; }
    QItemSelectionModel *studentSelection() { return &m_studentSelection; }
    QItemSelectionModel *levelSelection() { return &m_levelSelection; }

    // The lists are filled once, when the sheet is first shown: every listed student of the roster with
    // the grade of `today`, and the catalogue's levels.
    void fill(const roster::Roster &roster, int schoolYearStartMonth, QDate today,
              const drill::Catalogue &catalogue);
    bool filled() const { return m_filled; }

    // Printing and PDF files are a teacher's.
    void setTeacher(bool teacher) { m_teacher = teacher; }
    bool offers(SheetTarget target) const { return target == SheetTarget::Screen || m_teacher; }

    // "グラフ": the sheet of `student` for the default levels; nobody selected in the student list, which
    // is hidden behind "他の人のデータを見る".
    void showOwnSheet(int student, const drill::Catalogue &catalogue);
    // "他の人のデータを見る".
    void showStudentList() { m_studentListShown = true; }
    bool studentListShown() const { return m_studentListShown; }

    int sheetStudent() const { return m_sheetStudent; }
    std::vector<int> selectedStudents() const;
    std::vector<int> selectedLevels() const;

    // "表示", "印刷", "PDFに保存" and a choice in a list: each selected student, or the sheet's student
    // when nobody is selected, for the selected levels. The printer and a PDF file need a level.
    app::Result<SheetDrawing> drawing(SheetTarget target) const;
    // The drawing is made: its last student's sheet is the sheet on the screen.
    void drawn(const SheetDrawing &drawing);

private:
    SheetListModel m_students;
    SheetListModel m_levels;
    QItemSelectionModel m_studentSelection;
    QItemSelectionModel m_levelSelection;
    bool m_filled = false;
    bool m_teacher = false;
    bool m_studentListShown = false;
    int m_sheetStudent = 0;
};

} // namespace hub
