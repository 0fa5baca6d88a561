#pragma once

#include "app/Failure.h"
#include "teacher/RecordList.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The records browser's state beside its list: the record opened in the edit panel, the student and the
// time the panel holds for it, whether a step on the results file is running, and what the panel's
// buttons may do. The student box's items carry their student numbers, and the time is held as a number
// from the moment it is typed or scrolled to, so nothing is read back from what the panel shows.
namespace teacher {

// An item of the student box: its text ("131 /  加藤あおい") and whose it is.
struct StudentItem
{
    QString text;
    int number = 0;
};

// A time typed by the teacher: a whole number from 0 to the time-out mark 99999, blanks around it
// allowed; none for anything else.
std::optional<qint32> typedTime(const QString &text);

// What "変更して記録" writes: the opened record (as read) with a new student and time.
struct RecordChange
{
    qint64 number = 0;
    QByteArray opened;
    qint16 student = 0;
    qint32 time = 0;
};

class RecordEditor
{
public:
    explicit RecordEditor(const RecordListModel &list) : m_list(list) {}

    // The list was read again: nothing is open, and the student box holds the roster's lines.
    void listed();
    // Before the first listing: the roster's and the results file's problems are told then only.
    bool firstListing() const { return m_firstListing; }

    enum class Opened {
        Yes,
        NoRecord,        // the row lists no record
        ChangedElsewhere // the file's record at the line's number is not the one the line shows
    };
    // Opens the record of list row `row`, as read from the file just now.
    Opened open(int row, const QByteArray &bytesInFile);
    qint64 openedRecord() const { return m_opened; }
    const QByteArray &openedBytes() const { return m_openedBytes; }
    // A single click on the list hides the panel; the record stays open.
    bool panelShown() const { return m_panelShown; }
    void hidePanel() { m_panelShown = false; }

    // While a step on the results file runs (its wait lets events run), no other starts.
    bool busy() const { return m_busy; }
    void setBusy(bool busy) { m_busy = busy; }
    // "変更して記録" and "消去" work on an opened record, and not while a step runs.
    bool canChangeOrDelete() const { return m_opened > 0 && !m_busy; }
    // "戻る" is on its way to the hub.
    bool leaving() const { return m_leaving; }
    void setLeaving() { m_leaving = true; }

    // The panel's texts for the opened record.
    QString recordNumberText() const;
    QString levelText() const;
    QString dateText() const;
    // The grade of the student the panel holds.
    QString gradeText() const;

    // The student box: the roster's lines, and in front a student of the opened record that the roster
    // does not hold (the record keeps it unless another is chosen).
    const QList<StudentItem> &studentItems() const { return m_items; }
    int studentIndex() const;
    void chooseStudent(int index);
    int student() const { return m_student; }

    // The time: typed into the box (none while it is not a time), or set by the scroll bar.
    void typeTime(const QString &text) { m_time = typedTime(text); }
    void setTime(qint32 time) { m_time = time; }
    std::optional<qint32> time() const { return m_time; }

    // The change to write, or why there is none (a failure saying what to put right).
    app::Result<RecordChange> change() const;

    // The row to select after the record listed at `position` was deleted and the list read again: the
    // same position while the list still reaches it, else the last row; -1 for an empty list.
    static int rowAfterDeletion(int position, int rowCount);

private:
    const RecordListModel &m_list;
    bool m_firstListing = true;
    bool m_busy = false;
    bool m_leaving = false;
    bool m_panelShown = false;
    qint64 m_opened = 0; // the record number open in the panel, 0 for none
    QByteArray m_openedBytes;
    QList<StudentItem> m_items;
    int m_student = -1;
    std::optional<qint32> m_time;
};

} // namespace teacher
