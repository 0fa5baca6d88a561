#pragma once

#include "app/Failure.h"
#include "drill/Catalogue.h"
#include "records/Standards.h"
#include "roster/RosterFile.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QStringList>

#include <vector>

// The records browser's list: one line a record of the results file whose level is not 0, in record
// order, each line starting with the record's number in the file. A school's file holds hundreds of
// thousands of records, so the model keeps the file's bytes and the numbers of the listed records, and
// builds a line only when a view asks for it.
namespace teacher {

// A student as the browser knows it from the roster (every line, whatever its status).
struct BrowserStudent
{
    bool known = false;
    QString name; // trimmed
    qint16 birthYear = 0;
    qint16 status = 0;
    QString gradeLabel; // table A, one grade lower in the months before the school year starts
};

struct BrowserRoster
{
    BrowserRoster() : students(kStudentSlots) {}
    std::vector<BrowserStudent> students; // by student number 0 to 5000
    QStringList boxItems;                 // the student box: number + " /  " + name, in file order
    QList<qint16> boxNumbers;

    const BrowserStudent &student(int number) const;
};

// The browser's roster from the lines of the roster file.
BrowserRoster browserRoster(const QList<roster::RosterLine> &lines, QDate today, int schoolYearStartMonth);
// Reads baseFolder + "新名簿.txt"; a failure's text names the file.
app::Result<BrowserRoster> readBrowserRoster(const QString &baseFolder, QDate today,
                                             int schoolYearStartMonth);

// The student box's text for a student.
QString studentBoxText(int number, const QString &trimmedName);

// The date and the time of day of a record as the list shows them: "2026/12/08", "15:30:00"
// ("9:05:03" before ten o'clock).
QString recordDateText(double serial);
QString recordClockText(double fraction);

// Whether a record was written by this school: its school code is this school's code as an append
// writes it (cut or padded to five bytes).
bool isOwnSchool(const char *record, const QString &schoolCode);

struct LineContext
{
    const BrowserRoster *roster = nullptr;
    QString schoolCode;
    QString schoolName;
};

// One line of the list for record `number` (1-based position in the file).
QString recordLine(qint64 number, const char *record, const LineContext &context);

class RecordListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { RecordNumberRole = Qt::UserRole + 1 };

    explicit RecordListModel(QObject *parent = nullptr);

    // The file's whole records.
    void setRecords(const QByteArray &records, const BrowserRoster &roster, const QString &schoolCode,
                    const QString &schoolName);

    // Every whole record of the file, listed or not ("総レコード数:").
    qint64 totalRecords() const { return m_records.size() / 44; }
    qint64 recordNumber(int row) const;
    // The row that lists record `number`, or -1.
    int rowOfRecord(qint64 number) const;
    // The record's 44 bytes.
    QByteArray recordBytes(int row) const;
    QString line(int row) const;
    const BrowserRoster &roster() const { return m_roster; }
    const LineContext &context() const { return m_context; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QByteArray m_records;
    std::vector<qint64> m_numbers; // record numbers of the listed rows, rising
    BrowserRoster m_roster;
    LineContext m_context;
};

// The listed records (all rows, or the given rows) as CSV for a spreadsheet: a header line, then date,
// time of day, level, level name, student number, name, grade, time, points and school, one record a
// line. Texts with a comma or a double quote are quoted.
QStringList resultsCsvLines(const RecordListModel &list, const QList<int> &rows,
                            const drill::Catalogue &catalogue, const records::Standards &standards);
// Writes them as code page 932 with CRLF, beside the chosen file and moved over it.
app::Status writeResultsCsv(const QString &path, const QStringList &lines);

} // namespace teacher
