#include "roster/RosterFile.h"

#include "platform/DelimitedItems.h"
#include "platform/ErrorText.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>
#include <memory>

namespace roster {

namespace {

const char16_t *const kFieldNames[kFieldCount] = {u"生徒番号", u"生まれ年", u"予備の数 3",   u"予備の数 4",
                                                  u"名前",     u"状態",     u"予備の文字 7", u"予備の文字 8"};

QString where(const QString &path, int line)
{
    return QStringLiteral("名簿ファイル %1 の %2 行目")
        .arg(platform::displayPath(path), QString::number(line));
}

// A number field: decimal text, blanks around it ignored, an empty field is 0. A fraction is rounded
// to the nearest whole number (halves to even), as list input into a whole-number field does.
bool readNumber(const platform::Item &item, const QString &path, int line, int field, qint16 *value,
                RosterFailure *failure)
{
    const QString text = item.text.trimmed();
    if (text.isEmpty()) {
        *value = 0;
        return true;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        failure->errorNumber = ErrorNotANumber;
        failure->description = QStringLiteral("%1、%2 番目の項目（%3）「%4」が数ではありません。")
                                   .arg(where(path, line), QString::number(field + 1),
                                        QString::fromUtf16(kFieldNames[field]), text.left(40));
        return false;
    }
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max()) {
        failure->errorNumber = ErrorOverflow;
        failure->description =
            QStringLiteral("%1、%2 番目の項目（%3）「%4」が範囲（-32768 から 32767）を超えています。")
                .arg(where(path, line), QString::number(field + 1), QString::fromUtf16(kFieldNames[field]),
                     text.left(40));
        return false;
    }
    *value = qint16(rounded);
    return true;
}

bool isBlankLine(const QString &line)
{
    for (QChar c : line) {
        // A Ctrl-Z at the end is the end-of-file mark of old editors, not text.
        if (c != u' ' && c != u'\t' && c != QChar(0x1A))
            return false;
    }
    return true;
}

// A spreadsheet that saves the roster writes a row it holds no data for as ",,,,,,," (or with empty
// quotes). Such a row is no student: read as one it would be a nameless student 0.
bool allFieldsEmpty(const QList<platform::Item> &items)
{
    for (const platform::Item &item : items) {
        if (!item.text.trimmed().isEmpty())
            return false;
    }
    return true;
}

} // namespace

QString filePath(const QString &baseFolder)
{
    return baseFolder + QString::fromUtf16(kFileName);
}

QString fixedField(const QString &text)
{
    if (text.size() >= kTextFieldWidth)
        return text.left(kTextFieldWidth);
    return text + QString(kTextFieldWidth - text.size(), u' ');
}

bool parseRoster(const QString &text, const QString &path, QList<RosterLine> *lines, RosterFailure *failure)
{
    RosterFailure ignored;
    if (!failure)
        failure = &ignored;
    QList<RosterLine> read;
    const QStringList rows = platform::splitLines(text);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int line = int(i + 1);
        if (isBlankLine(rows[i]))
            continue;
        const QList<platform::Item> items = platform::readAllItems(rows[i]);
        if (allFieldsEmpty(items))
            continue;
        if (items.size() != kFieldCount) {
            failure->errorNumber = items.size() < kFieldCount ? ErrorTooFewFields : ErrorTooManyFields;
            failure->description =
                items.size() < kFieldCount
                    ? QStringLiteral("%1の項目が足りません（%2 個必要ですが %3 個しかありません）。")
                          .arg(where(path, line), QString::number(kFieldCount), QString::number(items.size()))
                    : QStringLiteral("%1の項目が多すぎます（%2 個のはずが %3 個あります）。")
                          .arg(where(path, line), QString::number(kFieldCount),
                               QString::number(items.size()));
            return false;
        }
        RosterLine entry;
        entry.line = line;
        RosterRecord &r = entry.record;
        if (!readNumber(items[0], path, line, 0, &r.number, failure) ||
            !readNumber(items[1], path, line, 1, &r.birthYear, failure) ||
            !readNumber(items[2], path, line, 2, &r.spare3, failure) ||
            !readNumber(items[3], path, line, 3, &r.spare4, failure) ||
            !readNumber(items[5], path, line, 5, &r.status, failure))
            return false;
        if (r.number < 0 || r.number > kMaxStudentNumber) {
            failure->errorNumber = ErrorOutOfRange;
            failure->description =
                QStringLiteral("%1の生徒番号 %2 が 0 から %3 の範囲にありません。")
                    .arg(where(path, line), QString::number(r.number), QString::number(kMaxStudentNumber));
            return false;
        }
        r.name = fixedField(items[4].text);
        r.text7 = fixedField(items[6].text);
        r.text8 = fixedField(items[7].text);
        read.append(std::move(entry));
    }
    if (lines)
        *lines = std::move(read);
    return true;
}

bool readRosterLines(const QString &path, QList<RosterLine> *lines, RosterFailure *failure)
{
    RosterFailure ignored;
    if (!failure)
        failure = &ignored;
    const QFileInfo info(path);
    if (!info.exists()) {
        failure->errorNumber = ErrorFileNotFound;
        failure->description =
            QStringLiteral("名簿ファイル %1 が見つかりません。").arg(platform::displayPath(path));
        return false;
    }
    if (!info.isFile()) {
        failure->errorNumber = ErrorCannotRead;
        failure->description = QStringLiteral("名簿ファイル %1 の場所にあるのはファイルではありません。")
                                   .arg(platform::displayPath(path));
        return false;
    }
    if (info.size() > kMaxFileBytes) {
        failure->errorNumber = ErrorTooLarge;
        failure->description =
            QStringLiteral("名簿ファイル %1 が大きすぎます（%2 バイト。名簿なら %3 バイトを超えません）。")
                .arg(platform::displayPath(path), QString::number(info.size()),
                     QString::number(kMaxFileBytes));
        return false;
    }
    QFile file(path);
    platform::clearSystemError();
    if (!file.open(QIODevice::ReadOnly)) {
        const platform::FileError error = platform::fileError(file, platform::lastSystemError());
        failure->errorNumber = ErrorCannotRead;
        failure->description = QStringLiteral("名簿ファイル %1 を開けません%2。")
                                   .arg(platform::displayPath(path), platform::bracketed(error.description));
        return false;
    }
    platform::clearSystemError();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const platform::FileError error = platform::fileError(file, platform::lastSystemError());
        failure->errorNumber = ErrorCannotRead;
        failure->description = QStringLiteral("名簿ファイル %1 を読めません%2。")
                                   .arg(platform::displayPath(path), platform::bracketed(error.description));
        return false;
    }
    bool ok = false;
    int badLine = 0;
    const QString text = platform::decode932(bytes, &ok, &badLine);
    if (!ok) {
        failure->errorNumber = ErrorNotANumber;
        failure->description =
            QStringLiteral("%1に、シフトJIS（コードページ932）として読めない文字があります。")
                .arg(where(path, badLine));
        return false;
    }
    return parseRoster(text, path, lines, failure);
}

QString formatRosterLine(const RosterRecord &record)
{
    return QStringLiteral("%1,%2,%3,%4,\"%5\",%6,\"%7\",\"%8\"")
        .arg(QString::number(record.number), QString::number(record.birthYear),
             QString::number(record.spare3), QString::number(record.spare4), record.name,
             QString::number(record.status), record.text7, record.text8);
}

QString failureMessage(const RosterFailure &failure)
{
    // Built by concatenation: a path may hold "%1" and must come out as it is.
    return QStringLiteral("名簿表示") + QString::number(kReadingStage) + failure.description +
           QString::number(failure.errorNumber);
}

bool buildRoster(const QList<RosterLine> &lines, const app::PathsAndSettings &settings, QDate today,
                 const QString &path, Roster *roster, QList<ListedStudent> *listed, RosterFailure *failure)
{
    // Every line names its student by number, also the lines that are not listed.
    auto fresh = std::make_unique<Roster>();
    fresh->currentSchoolYear = currentSchoolYear(today, settings.schoolYearStartMonth);
    const bool listStatus2 = settings.commonSetting3;
    QList<ListedStudent> shown;
    int position = 0;
    for (const RosterLine &line : lines) {
        RosterRecord record = line.record;
        if (record.status == 2 && listStatus2)
            record.status = 0;
        const int grade = gradeNumber(fresh->currentSchoolYear, record.birthYear);
        fresh->studentNames[record.number] = record.name;
        fresh->studentBirthYears[record.number] = record.birthYear;
        fresh->studentGrades[record.number] = gradeLabelA(grade);
        if (record.status != 0)
            continue;
        if (position == kMaxListed) {
            if (failure) {
                failure->errorNumber = ErrorOutOfRange;
                failure->description = QStringLiteral("%1で、表示する生徒が %2 人を超えました。")
                                           .arg(where(path, line.line), QString::number(kMaxListed));
            }
            return false;
        }
        ++position;
        fresh->rosterNumbers[position] = record.number;
        shown.append({record.number, record.name, record.birthYear, grade, gradeLabelB(grade)});
        fresh->rosterRecords[position] = std::move(record);
    }
    fresh->rosterCount = position;
    if (roster)
        *roster = std::move(*fresh);
    if (listed)
        *listed = std::move(shown);
    return true;
}

app::Status readRoster(app::PathsAndSettings &settings, Roster &roster, QDate today,
                       QList<ListedStudent> *listed)
{
    ++settings.fileNumber;
    const QString path = filePath(settings.baseFolder);
    QList<RosterLine> lines;
    RosterFailure failure;
    // The tables are built aside and taken over only when the whole file has been read, so a failure
    // keeps the tables in use.
    if (!readRosterLines(path, &lines, &failure) ||
        !buildRoster(lines, settings, today, path, &roster, listed, &failure))
        return app::Failure{.text = failureMessage(failure)};
    return {};
}

} // namespace roster
