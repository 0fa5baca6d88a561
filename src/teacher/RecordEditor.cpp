#include "teacher/RecordEditor.h"

#include "app/Tables.h"
#include "records/Marks.h"
#include "records/ResultRecord.h"

#include <algorithm>

namespace teacher {

std::optional<qint32> typedTime(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 5)
        return std::nullopt;
    qint32 time = 0;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        time = time * 10 + (c.unicode() - u'0');
    }
    return time;
}

void RecordEditor::listed()
{
    m_firstListing = false;
    m_opened = 0;
    m_openedBytes.clear();
    m_panelShown = false;
    m_student = -1;
    m_time.reset();
    m_items.clear();
    const BrowserRoster &roster = m_list.roster();
    for (qsizetype i = 0; i < roster.boxItems.size() && i < roster.boxNumbers.size(); ++i)
        m_items.append({roster.boxItems[i], roster.boxNumbers[i]});
}

RecordEditor::Opened RecordEditor::open(int row, const QByteArray &bytesInFile)
{
    const qint64 number = m_list.recordNumber(row);
    if (number <= 0)
        return Opened::NoRecord;
    // Another PC may have deleted or changed records since the list was read.
    if (bytesInFile != m_list.recordBytes(row))
        return Opened::ChangedElsewhere;
    m_opened = number;
    m_openedBytes = bytesInFile;
    const char *r = m_openedBytes.constData();
    m_student = records::recordStudent(r);
    const bool listed = std::any_of(m_items.begin(), m_items.end(),
                                    [this](const StudentItem &item) { return item.number == m_student; });
    if (!listed)
        m_items.prepend({studentBoxText(m_student, m_list.roster().student(m_student).name), m_student});
    const qint32 time = records::recordTime(r);
    m_time = time >= 0 && time <= records::kTimeOut ? std::optional<qint32>(time) : std::nullopt;
    m_panelShown = true;
    return Opened::Yes;
}

QString RecordEditor::recordNumberText() const
{
    return QStringLiteral("記録番号 %1").arg(m_opened);
}

QString RecordEditor::levelText() const
{
    return m_openedBytes.size() == records::kRecordSize
               ? QStringLiteral("ﾚﾍﾞﾙ%1").arg(records::recordLevel(m_openedBytes.constData()))
               : QString();
}

QString RecordEditor::dateText() const
{
    if (m_openedBytes.size() != records::kRecordSize)
        return {};
    const char *r = m_openedBytes.constData();
    return recordDateText(records::recordDate(r)) + u' ' + recordClockText(records::recordClock(r));
}

QString RecordEditor::gradeText() const
{
    return m_list.roster().student(m_student).gradeLabel;
}

int RecordEditor::studentIndex() const
{
    for (qsizetype i = 0; i < m_items.size(); ++i)
        if (m_items[i].number == m_student)
            return int(i);
    return -1;
}

void RecordEditor::chooseStudent(int index)
{
    if (index >= 0 && index < m_items.size())
        m_student = m_items[index].number;
}

app::Result<RecordChange> RecordEditor::change() const
{
    if (!m_time)
        return app::failure(
            QStringLiteral("タイムは 0 から %1 までの整数（秒）で入れてください。").arg(records::kTimeOut));
    if (m_student < 0 || m_student > kMaxStudentNumber)
        return app::failure(QStringLiteral("生徒を選んでください。"));
    return RecordChange{m_opened, m_openedBytes, qint16(m_student), *m_time};
}

int RecordEditor::rowAfterDeletion(int position, int rowCount)
{
    if (rowCount <= 0)
        return -1;
    return position >= 0 && position < rowCount ? position : rowCount - 1;
}

} // namespace teacher
