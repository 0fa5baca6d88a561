#pragma once

#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "drill/Catalogue.h"
#include "records/Standards.h"
#include "teacher/RecordEditor.h"
#include "teacher/RecordList.h"
#include "teacher/forms/QuietWait.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QScrollBar;
class WaitingPanel;

namespace teacher {

// The records browser: every record of the results file (List1, "総レコード数:" in lblCount), and for
// the record opened by a double-click the edit panel (picEdit: lblRecordNumber, lblLevel, lblDate,
// lblGrade, the student box Combo1, the time box Text1 with its scroll bar VScroll1, "変更して記録"
// cmdChange, "消去" cmdDelete). The text area RichTextBox1 holds the lines selected in the list for
// "印刷" (cmdPrint), which prints its selection, its content, or with nothing in it every listed line;
// "CSV出力" (cmdCsv) writes the listed records for a spreadsheet; "戻る" (cmdBack) returns to the hub.
//
// Records are found by the number the line shows, never by the line's position, and every change goes
// through the records layer under the results file's lock. What the panel holds (the opened record, its
// student and time, the busy step) is RecordEditor's; this form forwards the input and shows it.
class RecordsScreen : public QWidget
{
    Q_OBJECT
public:
    // The parts of the shared state the browser reads: the folders and the school year, and for the CSV
    // file the level names and the standards.
    struct Parts
    {
        const app::PathsAndSettings &settings;
        const drill::Catalogue &catalogue;
        const records::Standards &standards;
    };

    RecordsScreen(const Parts &parts, AppContext &context, QWidget *parent = nullptr);

    // Every showing: finish a deletion a crash interrupted, list the records.
    void activate();

    // Opens the record of a list row in the edit panel (a double-click).
    void openRow(int row);
    void changeRecord();
    void deleteRecord();
    void print();
    void exportCsv();
    void goBack();

    const teacher::RecordListModel &list() const { return m_model; }

    // The seams of the file and print dialogs, which a test answers in advance. chooseCsvFile gets the
    // suggested path and returns the chosen one (empty: cancelled); choosePrinter sets up the printer
    // (and whether to print the selection only) and returns false when cancelled.
    std::function<QString(const QString &suggested)> chooseCsvFile;
    std::function<bool(QPrinter *printer, bool *selectionOnly)> choosePrinter;

    const teacher::RecordEditor &editor() const { return m_editor; }
    qint64 openedRecord() const { return m_editor.openedRecord(); }

private:
    void listRecords();
    void selectRow(int row);
    void showButtons();
    void showStudents();
    void studentChosen(int index);
    void fillTextArea();
    QString printedText() const;
    QList<int> selectedRows() const;
    void showMessage(const QString &text, bool warning = true);
    QString resultsPath() const;

    // While a step on the results file runs (its wait lets events run), no other starts, whatever the
    // input that asks for it: a click or a key waits in the queue, but a screen reader's action or a
    // timer reaches the handlers. The editor is busy and the panel's buttons are off meanwhile.
    class FileStep
    {
    public:
        explicit FileStep(RecordsScreen *screen);
        ~FileStep();
        FileStep(const FileStep &) = delete;
        FileStep &operator=(const FileStep &) = delete;

    private:
        RecordsScreen *m_screen;
    };

    Parts m_parts;
    AppContext &m_context;
    QuietWait m_fileWait{m_context.services.wait};
    teacher::RecordListModel m_model;
    teacher::RecordEditor m_editor;

    QLabel *m_count;
    QListView *m_list;
    QFrame *m_edit;
    QLabel *m_recordNumber;
    QLabel *m_level;
    QLabel *m_date;
    QLabel *m_grade;
    QComboBox *m_students;
    QLineEdit *m_time;
    QScrollBar *m_timeScroll;
    QPushButton *m_change;
    QPushButton *m_delete;
    QPlainTextEdit *m_text;
    QPushButton *m_print;
    QPushButton *m_csv;
    QPushButton *m_back;
    WaitingPanel *m_wait;
};

} // namespace teacher
