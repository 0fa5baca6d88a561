#pragma once

#include "app/CurrentRun.h"
#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "hub/PersonalDataModel.h"
#include "hub/PersonalSheet.h"

#include <QFrame>
#include <QString>

#include <functional>
#include <vector>

class QLabel;
class QListView;
class QPrinter;
class QPushButton;

namespace hub {

// The drawing area: one page of a sheet, painted by the same routine as the printer's pages.
class PersonalSheetView : public QWidget
{
    Q_OBJECT
public:
    explicit PersonalSheetView(QWidget *parent = nullptr);
    // Shows the sheet's last page (drawing a fourth block clears the area), or nothing for an empty one.
    void setSheet(const hub::PersonalSheet &sheet);
    void clear();
    void showPage(int index);
    const hub::PersonalSheet &sheet() const { return m_sheet; }
    int page() const { return m_page; }
    int pageCount() const { return int(m_sheet.pages.size()); }
    void setPointSize(qreal size);

signals:
    void pageChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    hub::PersonalSheet m_sheet;
    int m_page = 0;
    qreal m_pointSize;
};

// The hub's personal data panel: per level, a student's time chart and statistics against the whole
// school, on the screen, on the printer the teacher chooses, or in a PDF file.
//
// Controls: cmdOtherStudent ("他の人のデータを見る"), lstSheetStudents (several at once), lstSheetLevels,
// Command24_0 ("表示"), Command24_1 ("印刷", teachers only), cmdSavePdf ("PDFに保存", teachers only),
// cmdSheetBack ("戻る"), picSheet (the drawing area), cmdSheetPrevPage, lblSheetPage and
// cmdSheetNextPage (when the sheet has more than one page), lblSheetStatus (what became of the last
// print or PDF file). A choice in either list, by a click or a key, draws the sheet again.
class PersonalDataPanel : public QFrame
{
    Q_OBJECT
public:
    // The parts of the shared state the panel reads, handed down by the hub.
    struct Parts
    {
        const app::PathsAndSettings &settings;
        const drill::Catalogue &catalogue;
        const app::CurrentRun &run;
        const roster::Roster &roster;
        const records::Results &results;
        const records::Statistics &statistics;
    };

    // gradeFilter gives the hub's grade filter text at the moment of drawing.
    PersonalDataPanel(const Parts &parts, AppContext &context, std::function<QString()> gradeFilter,
                      QWidget *parent);
    ~PersonalDataPanel() override;

    // The graph button: the student of the run, the first three test levels, the sheet's font size,
    // drawn on the screen.
    void showOwnSheet();

    void setDialogs(platform::OutputDialogs *dialogs) { m_dialogs = dialogs; }

    using Target = hub::SheetTarget;
    // "表示", "印刷", "PDFに保存": for each student selected in the list, or for the sheet's student.
    void draw(Target target);

    const hub::PersonalDataModel &model() const { return m_model; }
    const hub::PersonalSheet &shownSheet() const;

private:
    void build();
    void showChoices();
    void updatePageControls();
    bool isTeacher() const;
    bool readRuns(std::vector<hub::SheetRun> *runs);
    hub::PersonalSheet sheetFor(int student, const std::vector<hub::SheetRun> &runs,
                                const std::vector<int> &levels) const;
    void print(const std::vector<int> &students, const std::vector<hub::SheetRun> &runs,
               const std::vector<int> &levels);
    void savePdf(const std::vector<int> &students, const std::vector<hub::SheetRun> &runs,
                 const std::vector<int> &levels);
    void warn(const QString &text);

    Parts m_parts;
    AppContext &m_context;
    std::function<QString()> m_gradeFilter;
    platform::OutputDialogs *m_dialogs;
    hub::PersonalDataModel m_model;
    hub::WeakIdiomsSource m_weak; // read for each drawing, for every sheet of it

    QPushButton *m_otherStudent;
    QListView *m_students;
    QListView *m_levels;
    QPushButton *m_display;
    QPushButton *m_print;
    QPushButton *m_pdf;
    QPushButton *m_back;
    PersonalSheetView *m_view;
    QPushButton *m_prevPage;
    QPushButton *m_nextPage;
    QLabel *m_pageLabel;
    QLabel *m_status;
};

} // namespace hub
