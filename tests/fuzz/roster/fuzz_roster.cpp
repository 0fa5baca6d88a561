// The roster over any file: a refused file names a line that the file has and leaves the tables in use
// as they were; a read one keeps every number within 0 to 5000 and every text at 20 characters, lists
// at most 5000 students whose names the tables know by number, and its lines, written as the family's
// roster editor writes them, read back as the same records.

#include "FuzzCheck.h"
#include "platform/TextFile.h"
#include "roster/RosterFile.h"

#include <cstdint>
#include <memory>

namespace {

const QString kPath = QStringLiteral("新名簿.txt");

bool sameRecord(const roster::RosterRecord &a, const roster::RosterRecord &b)
{
    return a.number == b.number && a.birthYear == b.birthYear && a.spare3 == b.spare3 &&
           a.spare4 == b.spare4 && a.name == b.name && a.status == b.status && a.text7 == b.text7 &&
           a.text8 == b.text8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bool ok = false;
    const QString text =
        platform::decode932(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &ok);
    if (!ok)
        return 0; // the reader refuses such a file before parsing it
    const int lineCount = int(platform::splitLines(text).size());

    QList<roster::RosterLine> lines;
    roster::RosterFailure failure;
    if (!roster::parseRoster(text, kPath, &lines, &failure)) {
        FUZZ_CHECK(failure.errorNumber != 0 && failure.description.contains(kPath));
        FUZZ_CHECK(lines.isEmpty());
        return 0;
    }
    FUZZ_CHECK(lines.size() <= lineCount);
    int previousLine = 0;
    for (const roster::RosterLine &line : std::as_const(lines)) {
        FUZZ_CHECK(line.line > previousLine && line.line <= lineCount);
        previousLine = line.line;
        const roster::RosterRecord &r = line.record;
        FUZZ_CHECK(r.number >= 0 && r.number <= kMaxStudentNumber);
        FUZZ_CHECK(r.name.size() == roster::kTextFieldWidth && r.text7.size() == roster::kTextFieldWidth &&
                   r.text8.size() == roster::kTextFieldWidth);
    }

    // The tables: a failed build keeps the ones in use.
    app::PathsAndSettings settings;
    settings.schoolYearStartMonth = 4;
    settings.commonSetting3 = 1;
    auto tables = std::make_unique<roster::Roster>();
    tables->rosterCount = -1;
    QList<roster::ListedStudent> listed;
    if (!roster::buildRoster(lines, settings, QDate(2026, 12, 8), kPath, tables.get(), &listed, &failure)) {
        FUZZ_CHECK(tables->rosterCount == -1 && listed.isEmpty());
        FUZZ_CHECK(lines.size() > roster::kMaxListed);
    } else {
        FUZZ_CHECK(tables->rosterCount == listed.size() && tables->rosterCount <= roster::kMaxListed);
        for (int i = 0; i < listed.size(); ++i) {
            const qint16 number = listed[i].number;
            FUZZ_CHECK(tables->rosterNumbers[i + 1] == number && tables->rosterRecords[i + 1].status == 0);
            FUZZ_CHECK(listed[i].labelB == roster::gradeLabelB(listed[i].grade));
            FUZZ_CHECK(
                tables->studentGrades[number] ==
                roster::gradeLabelA(tables->currentSchoolYear - tables->studentBirthYears[number] - 6));
        }
    }

    // Written back: texts with a double quote cannot be written in this format.
    QStringList written;
    for (const roster::RosterLine &line : std::as_const(lines)) {
        const roster::RosterRecord &r = line.record;
        if (r.name.contains(u'"') || r.text7.contains(u'"') || r.text8.contains(u'"'))
            return 0;
        written << roster::formatRosterLine(r);
    }
    QList<roster::RosterLine> again;
    FUZZ_CHECK(roster::parseRoster(written.join(QStringLiteral("\r\n")), kPath, &again, &failure));
    FUZZ_CHECK(again.size() == lines.size());
    for (int i = 0; i < lines.size(); ++i)
        FUZZ_CHECK(sameRecord(again[i].record, lines[i].record));
    return 0;
}
