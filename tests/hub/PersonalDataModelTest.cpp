#include "hub/PersonalDataModel.h"
#include "drill/LevelCatalogue.h"

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace hub;

namespace {
const QDate kDataToday(2026, 12, 8);

// Students 31, 32 and 33 in roster order; 32's name holds the "/" that stands before a row's number.
struct PanelChoices
{
    roster::Roster roster;
    drill::Catalogue catalogue;
    PersonalDataModel model;

    PanelChoices()
    {
        catalogue::applyStartupSettings(catalogue);
        catalogue::setUpLevels(catalogue);
        roster.currentSchoolYear = 2026;
        const char16_t *names[] = {u"青木", u"石田/42", u"上田"};
        roster.rosterCount = 3;
        for (int i = 0; i < 3; ++i) {
            const qint16 number = qint16(31 + i);
            const QString name = (QString::fromUtf16(names[i]) + QString(20, u' ')).left(20);
            roster.rosterNumbers[std::size_t(i + 1)] = number;
            roster.studentNames[std::size_t(number)] = name;
            roster.rosterRecords[std::size_t(i + 1)] = {number, 2015, 0, 0, name, 0, {}, {}};
        }
        model.fill(roster, 4, kDataToday, catalogue);
    }
    void selectStudentRow(int row)
    {
        model.studentSelection()->select(model.students()->index(row), QItemSelectionModel::Select);
    }
};
} // namespace

TEST(PersonalDataChoices, RowsStandForTheirStudentAndLevelWhateverTheyRead)
{
    PanelChoices panel;
    ASSERT_TRUE(panel.model.filled());
    SheetListModel *students = panel.model.students();
    ASSERT_EQ(students->rowCount(), 3);
    const QModelIndex slashed = students->index(1);
    EXPECT_TRUE(slashed.data().toString().endsWith(QStringLiteral("/32")));
    EXPECT_EQ(slashed.data(SheetListModel::NumberRole).toInt(), 32);
    SheetListModel *levels = panel.model.levels();
    ASSERT_EQ(levels->rowCount(), 20);
    EXPECT_EQ(levels->index(3).data(SheetListModel::NumberRole).toInt(), 4);

    // Selected in any order, drawn in list order.
    panel.selectStudentRow(2);
    panel.selectStudentRow(1);
    EXPECT_EQ(panel.model.selectedStudents(), (std::vector<int>{32, 33}));
}

TEST(PersonalDataChoices, TheGraphShowsTheOwnSheetOfTheFirstThreeTests)
{
    PanelChoices panel;
    panel.model.showStudentList();
    panel.selectStudentRow(0);
    panel.model.showOwnSheet(33, panel.catalogue);
    EXPECT_EQ(panel.model.sheetStudent(), 33);
    EXPECT_FALSE(panel.model.studentListShown());
    EXPECT_TRUE(panel.model.selectedStudents().empty());
    EXPECT_EQ(panel.model.selectedLevels(), (std::vector<int>{2, 4, 6}));
    panel.model.showStudentList();
    EXPECT_TRUE(panel.model.studentListShown());
}

TEST(PersonalDataChoices, ADrawingIsForTheSelectedStudentsOrTheSheetsStudent)
{
    PanelChoices panel;
    panel.model.showOwnSheet(31, panel.catalogue);
    app::Result<SheetDrawing> drawing = panel.model.drawing(SheetTarget::Screen);
    ASSERT_TRUE(drawing);
    EXPECT_EQ(drawing.value().students, std::vector<int>{31});
    EXPECT_EQ(drawing.value().levels, (std::vector<int>{2, 4, 6}));

    // The last student drawn is the sheet's student once nobody is selected again.
    panel.selectStudentRow(1);
    panel.selectStudentRow(2);
    drawing = panel.model.drawing(SheetTarget::Printer);
    ASSERT_TRUE(drawing);
    EXPECT_EQ(drawing.value().students, (std::vector<int>{32, 33}));
    panel.model.drawn(drawing.value());
    EXPECT_EQ(panel.model.sheetStudent(), 33);
    panel.model.studentSelection()->clearSelection();
    EXPECT_EQ(panel.model.drawing(SheetTarget::Screen).value().students, std::vector<int>{33});

    // Without a level the screen shows an empty sheet; the printer and a PDF file ask for one.
    panel.model.levelSelection()->clearSelection();
    drawing = panel.model.drawing(SheetTarget::Screen);
    ASSERT_TRUE(drawing);
    EXPECT_TRUE(drawing.value().levels.empty());
    for (SheetTarget target : {SheetTarget::Printer, SheetTarget::Pdf}) {
        drawing = panel.model.drawing(target);
        ASSERT_FALSE(drawing);
        EXPECT_EQ(drawing.failure().text, QStringLiteral("レベルを選んでください。"));
    }
}

TEST(PersonalDataChoices, PrintingAndPdfFilesAreATeachers)
{
    PersonalDataModel model;
    EXPECT_TRUE(model.offers(SheetTarget::Screen));
    EXPECT_FALSE(model.offers(SheetTarget::Printer));
    EXPECT_FALSE(model.offers(SheetTarget::Pdf));
    model.setTeacher(true);
    EXPECT_TRUE(model.offers(SheetTarget::Printer));
    EXPECT_TRUE(model.offers(SheetTarget::Pdf));
}
