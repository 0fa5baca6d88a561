#include "printing/WeakWorksheet.h"

#include "drill/IdiomData.h"
#include "records/WeakIdioms.h"
#include "roster/Grades.h"
#include "roster/NameList.h"

namespace printing {

namespace {

QString trimmedName(const roster::Roster &roster, int number)
{
    if (number < 0 || std::size_t(number) >= roster.studentNames.size())
        return {};
    return roster.studentNames[std::size_t(number)].trimmed();
}

QList<int> groupStudents(const roster::Roster &roster, const QString &group)
{
    QList<int> students;
    for (int position = 1; position <= roster.rosterCount; ++position) {
        const int number = roster.rosterNumbers[std::size_t(position)];
        const int grade =
            roster::gradeNumber(roster.currentSchoolYear, roster.studentBirthYears[std::size_t(number)]);
        if (roster::gradeGroupAdmits(group, grade))
            students << number;
    }
    return students;
}

} // namespace

QList<WorksheetSource> worksheetSources(const roster::Roster &roster, std::optional<int> signedIn,
                                        bool teacher)
{
    QList<WorksheetSource> sources{
        {WorksheetSource::Kind::Ranges, 0, QString(), QStringLiteral("範囲から選ぶ")}};
    if (!signedIn)
        return sources;
    if (!teacher) {
        sources.append({WorksheetSource::Kind::Student, *signedIn, QString(),
                        QStringLiteral("%1さんの苦手な熟語").arg(trimmedName(roster, *signedIn))});
        return sources;
    }
    for (const QString &group : roster::namelist::gradeGroupItems())
        sources.append(
            {WorksheetSource::Kind::Class, 0, group, QStringLiteral("よく間違える熟語（%1）").arg(group)});
    for (int position = 1; position <= roster.rosterCount; ++position) {
        const int number = roster.rosterNumbers[std::size_t(position)];
        const QString name = trimmedName(roster, number);
        if (name.isEmpty() || roster::namelist::isTeacherName(name))
            continue;
        sources.append({WorksheetSource::Kind::Student, number, QString(),
                        QStringLiteral("%1さんの苦手な熟語").arg(name)});
    }
    return sources;
}

QStringList weakIdiomsOf(const records::MistakeHistory &history, const roster::Roster &roster,
                         const WorksheetSource &source, const QDateTime &now)
{
    QStringList idioms;
    if (source.kind == WorksheetSource::Kind::Student) {
        for (const records::WeakIdiom &weak :
             records::weakIdioms(history, source.student, now, kWeakWorksheetIdioms))
            idioms << weak.idiom;
    } else if (source.kind == WorksheetSource::Kind::Class) {
        for (const records::ClassIdiom &idiom :
             records::classWeakIdioms(history, groupStudents(roster, source.group), kWeakWorksheetIdioms))
            idioms << idiom.idiom;
    }
    return idioms;
}

QList<WorksheetRow> rowsOfIdioms(const drill::IdiomData &data, const QStringList &list)
{
    const QHash<QString, idioms::IdiomTexts> texts = idioms::textsByIdiom(data);
    QList<WorksheetRow> rows;
    for (const QString &idiom : list) {
        const auto text = texts.find(idiom);
        if (text != texts.end())
            rows.append(WorksheetRow{idiom, text->meaning, text->reading});
    }
    return rows;
}

void titleWorksheet(Worksheet &worksheet, const WorksheetSource &source)
{
    if (source.kind == WorksheetSource::Kind::Ranges)
        return;
    worksheet.sheet.title = source.caption;
    worksheet.answerKey.title = QString::fromUtf16(kAnswerKeyTitle) + QStringLiteral("　") + source.caption;
}

} // namespace printing
