#include "teacher/RecordList.h"

#include "platform/DateSerial.h"
#include "platform/TextFile.h"
#include "records/Judgement.h"
#include "records/ResultRecord.h"
#include "roster/Grades.h"
#include "roster/NameList.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace teacher {

namespace {

const BrowserStudent kUnknown;

// The last `width` characters of blanks and the text: numbers right-aligned, as the list has always
// shown them. A record number of more than four digits is shown whole rather than cut.
QString rightAligned(const QString &text, int width)
{
    return (QString(width, u' ') + text).right(std::max<qsizetype>(width, text.size()));
}

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

const BrowserStudent &BrowserRoster::student(int number) const
{
    if (number < 0 || std::size_t(number) >= students.size())
        return kUnknown;
    return students[std::size_t(number)];
}

BrowserRoster browserRoster(const QList<roster::RosterLine> &lines, QDate today, int schoolYearStartMonth)
{
    BrowserRoster roster;
    for (const roster::RosterLine &line : lines) {
        const roster::RosterRecord &r = line.record;
        if (r.number < 0 || r.number > kMaxStudentNumber)
            continue;
        BrowserStudent &s = roster.students[std::size_t(r.number)];
        s.known = true;
        s.name = roster::namelist::trimBlanks(r.name);
        s.birthYear = r.birthYear;
        s.status = r.status;
        s.gradeLabel = roster::gradeLabelA(roster::hubGradeNumber(today, schoolYearStartMonth, r.birthYear));
        roster.boxItems << studentBoxText(r.number, s.name);
        roster.boxNumbers << r.number;
    }
    return roster;
}

app::Result<BrowserRoster> readBrowserRoster(const QString &baseFolder, QDate today, int schoolYearStartMonth)
{
    QList<roster::RosterLine> lines;
    roster::RosterFailure failure;
    if (!roster::readRosterLines(roster::filePath(baseFolder), &lines, &failure))
        return app::Failure{.text = failure.description};
    return browserRoster(lines, today, schoolYearStartMonth);
}

QString studentBoxText(int number, const QString &trimmedName)
{
    return QString::number(number) + QStringLiteral(" /  ") + trimmedName;
}

QString recordDateText(double serial)
{
    const QDate date = platform::dateFromSerial(serial);
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QStringLiteral("----/--/--");
}

QString recordClockText(double fraction)
{
    if (!std::isfinite(fraction))
        return QStringLiteral("0:00:00");
    // Whole seconds, rounded as a time of day is shown.
    const qint64 seconds = std::llround((fraction - std::floor(fraction)) * 86400.0) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}

bool isOwnSchool(const char *record, const QString &schoolCode)
{
    const QByteArray code = records::fixedText(schoolCode);
    return std::memcmp(record + 24, code.constData(), records::kTextFieldSize) == 0;
}

QString recordLine(qint64 number, const char *record, const LineContext &context)
{
    const int student = records::recordStudent(record);
    const BrowserStudent &s = context.roster ? context.roster->student(student) : kUnknown;
    const QString ideographic = QStringLiteral("　");
    QString line;
    line.reserve(80);
    line += rightAligned(QString::number(number), 4);
    line += u' ';
    line += recordDateText(records::recordDate(record));
    line += ideographic;
    line += rightAligned(recordClockText(records::recordClock(record)), 9);
    line += QStringLiteral("ﾚﾍﾞﾙ");
    line += QString::number(records::recordLevel(record));
    line += ideographic;
    line += (QStringLiteral("    ") + QString::number(records::recordTime(record))).right(5);
    line += QStringLiteral("秒 ");
    line += ideographic;
    line += (QStringLiteral("    ") + QString::number(student)).right(4);
    line += u' ';
    line += (s.name + QString(5, u'　')).left(6);
    line += u' ';
    line += s.gradeLabel;
    line += QStringLiteral("++");
    line += isOwnSchool(record, context.schoolCode) ? context.schoolName : QStringLiteral("他塾");
    return line;
}

RecordListModel::RecordListModel(QObject *parent) : QAbstractListModel(parent) {}

void RecordListModel::setRecords(const QByteArray &records, const BrowserRoster &roster,
                                 const QString &schoolCode, const QString &schoolName)
{
    beginResetModel();
    m_records = records.left(records.size() / records::kRecordSize * records::kRecordSize);
    m_roster = roster;
    m_context = {&m_roster, schoolCode, schoolName};
    m_numbers.clear();
    const qint64 count = totalRecords();
    m_numbers.reserve(std::size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        if (records::recordLevel(m_records.constData() + i * records::kRecordSize) != 0)
            m_numbers.push_back(i + 1);
    }
    endResetModel();
}

qint64 RecordListModel::recordNumber(int row) const
{
    return row >= 0 && std::size_t(row) < m_numbers.size() ? m_numbers[std::size_t(row)] : 0;
}

int RecordListModel::rowOfRecord(qint64 number) const
{
    const auto it = std::lower_bound(m_numbers.begin(), m_numbers.end(), number);
    return it != m_numbers.end() && *it == number ? int(it - m_numbers.begin()) : -1;
}

QByteArray RecordListModel::recordBytes(int row) const
{
    const qint64 number = recordNumber(row);
    return number > 0 ? m_records.mid((number - 1) * records::kRecordSize, records::kRecordSize)
                      : QByteArray();
}

QString RecordListModel::line(int row) const
{
    const qint64 number = recordNumber(row);
    if (number <= 0)
        return QString();
    return recordLine(number, m_records.constData() + (number - 1) * records::kRecordSize, m_context);
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_numbers.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return line(index.row());
    case RecordNumberRole:
        return recordNumber(index.row());
    default:
        return {};
    }
}

QStringList resultsCsvLines(const RecordListModel &list, const QList<int> &rows,
                            const drill::Catalogue &catalogue, const records::Standards &standards)
{
    QStringList lines{QStringLiteral("日付,時刻,レベル,レベル名,生徒番号,名前,学年,タイム,ポイント,塾")};
    auto add = [&](int row) {
        const QByteArray bytes = list.recordBytes(row);
        if (bytes.size() != records::kRecordSize)
            return;
        const char *r = bytes.constData();
        const int level = records::recordLevel(r);
        const int student = records::recordStudent(r);
        const qint32 time = records::recordTime(r);
        const BrowserStudent &s = list.roster().student(student);
        const bool inTable = level >= 1 && level <= kMaxLevel;
        const qint32 points =
            inTable ? records::addedPoints(
                          records::runPoints(time, standards.targetTime[std::size_t(level)], true),
                          standards.pointMultiplier[std::size_t(level)])
                    : 0;
        QStringList fields{recordDateText(records::recordDate(r)),
                           recordClockText(records::recordClock(r)),
                           QString::number(level),
                           inTable ? catalogue.levelNames[std::size_t(level)] : QString(),
                           QString::number(student),
                           s.name,
                           s.gradeLabel,
                           QString::number(time),
                           QString::number(points),
                           isOwnSchool(r, list.context().schoolCode) ? list.context().schoolName
                                                                     : QStringLiteral("他塾")};
        for (QString &f : fields)
            f = csvField(f);
        lines << fields.join(u',');
    };
    if (rows.isEmpty()) {
        for (int row = 0; row < list.rowCount(); ++row)
            add(row);
    } else {
        for (int row : rows)
            add(row);
    }
    return lines;
}

app::Status writeResultsCsv(const QString &path, const QStringList &lines)
{
    return platform::writeText932(path, lines);
}

} // namespace teacher
