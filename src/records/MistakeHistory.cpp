#include "records/MistakeHistory.h"

#include "app/Tables.h"
#include "platform/DateSerial.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"
#include "records/ResultsFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace records {

namespace {

constexpr char kMagic[8] = {'\x89', 'Y', 'J', 'H', '\r', '\n', '\x1a', '\n'};
constexpr int kVersionOffset = 8;
constexpr int kHeaderSizeOffset = 10;
constexpr int kRecordSizeOffset = 12;
constexpr int kMinutesPerDay = 1440;
constexpr int kMaxReadingMisses = 4; // the fourth wrong reading shows it and leads on

// The years an answer can have been recorded in; anything else is a broken clock or broken bytes.
const QDate &firstDay()
{
    static const QDate day(2000, 1, 1);
    return day;
}
const QDate &dayAfterLast()
{
    static const QDate day(2200, 1, 1);
    return day;
}

QString failureTitle()
{
    return QStringLiteral("解答の記録");
}

app::Failure failure(const QString &what, const QString &path, const QString &why = QString())
{
    QString text = QStringLiteral("%1：%2").arg(what, platform::displayPath(path));
    if (!why.isEmpty())
        text += u'\n' + why;
    return app::Failure{failureTitle(), text, platform::MessageBoxes::Icon::Warning, std::nullopt, false};
}

// A failure of an append, which the drill shows and then goes on.
app::Failure writeFailure(const QString &what, const QString &path, const QString &why = QString())
{
    app::Failure f = failure(what, path, why);
    f.text += QStringLiteral("\n（ドリルはそのまま続けられます）");
    return f;
}

bool folderExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

} // namespace

QString mistakeHistoryPath(const QString &dataFolder)
{
    return dataFolder + QString::fromUtf16(kMistakeHistoryFileName);
}

QByteArray historyHeader()
{
    QByteArray bytes(kHistoryHeaderSize, '\0');
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    qToLittleEndian<quint16>(kHistoryVersion, bytes.data() + kVersionOffset);
    qToLittleEndian<quint16>(kHistoryHeaderSize, bytes.data() + kHeaderSizeOffset);
    qToLittleEndian<quint16>(kHistoryRecordSize, bytes.data() + kRecordSizeOffset);
    return bytes;
}

HistoryHeader readHistoryHeader(const char *bytes, qint64 length)
{
    HistoryHeader header;
    const QByteArray ours = historyHeader();
    if (length < kHistoryHeaderSize) {
        // A header write that stopped part way leaves the first bytes of this version's header.
        if (std::memcmp(bytes, ours.constData(), std::size_t(length)) == 0)
            return header;
        header.state = HistoryHeader::State::Damaged;
        header.problem =
            QStringLiteral("先頭の %1 バイトは解答記録ファイルの見出しではありません").arg(length);
        return header;
    }
    const auto damaged = [&](const QString &why) {
        header.state = HistoryHeader::State::Damaged;
        header.problem = why;
        return header;
    };
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return damaged(QStringLiteral("先頭の 8 バイトが解答記録ファイルのしるしではありません"
                                      "（別のファイルか、壊れたファイルです）"));
    header.version = qFromLittleEndian<quint16>(bytes + kVersionOffset);
    header.headerSize = qFromLittleEndian<quint16>(bytes + kHeaderSizeOffset);
    header.recordSize = qFromLittleEndian<quint16>(bytes + kRecordSizeOffset);
    if (header.version < 1)
        return damaged(QStringLiteral("版の番号 %1 は正しくありません").arg(header.version));
    if (header.headerSize < kHistoryHeaderSize || header.recordSize < kHistoryRecordSize)
        return damaged(QStringLiteral("見出しの長さ %1 か記録の長さ %2 が %3 バイトより短くなっています")
                           .arg(header.headerSize)
                           .arg(header.recordSize)
                           .arg(kHistoryRecordSize));
    if (header.version == kHistoryVersion &&
        (header.headerSize != kHistoryHeaderSize || header.recordSize != kHistoryRecordSize))
        return damaged(QStringLiteral("版 1 の見出しの長さ %1 か記録の長さ %2 が 16 バイトではありません")
                           .arg(header.headerSize)
                           .arg(header.recordSize));
    header.state = HistoryHeader::State::Good;
    return header;
}

quint64 idiomKey(const QString &idiom)
{
    if (idiom.isEmpty() || idiom.size() > kIdiomKeyUnits)
        return 0;
    quint64 key = 0;
    for (qsizetype i = 0; i < idiom.size(); ++i) {
        const char16_t unit = idiom.at(i).unicode();
        if (unit < 0x20 || unit == 0x7f)
            return 0;
        key |= quint64(unit) << (16 * i);
    }
    return key;
}

QString idiomOfKey(quint64 key)
{
    QString text;
    for (int i = 0; i < kIdiomKeyUnits; ++i) {
        const char16_t unit = char16_t((key >> (16 * i)) & 0xffff);
        if (unit == 0)
            break;
        text += QChar(unit);
    }
    return text;
}

quint32 minuteOf(const QDateTime &when)
{
    const qint64 days = qint64(platform::dateSerial(when.date()));
    const qint64 minute = days * kMinutesPerDay + when.time().msecsSinceStartOfDay() / 60000;
    return minute < 0 ? 0 : quint32(std::min<qint64>(minute, 0xffffffffLL));
}

QDateTime dateTimeOfMinute(quint32 minute)
{
    const QDate date = platform::dateFromSerial(double(minute / kMinutesPerDay));
    return QDateTime(date, QTime(0, 0).addSecs(qint64(minute % kMinutesPerDay) * 60));
}

QByteArray encodeAnswer(const AnsweredQuestion &answer)
{
    QByteArray bytes(kHistoryRecordSize, '\0');
    char *b = bytes.data();
    qToLittleEndian<quint32>(minuteOf(answer.when), b + kHistoryWhenOffset);
    qToLittleEndian<qint16>(answer.student, b + kHistoryStudentOffset);
    b[kHistoryLevelOffset] = char(quint8(std::clamp<int>(answer.level, 0, 255)));
    quint8 flags = 0;
    if (answer.readingFirstTry)
        flags |= kReadingFirstTryBit;
    if (answer.idiomFirstTry)
        flags |= kIdiomFirstTryBit;
    if (answer.timedOut)
        flags |= kTimedOutBit;
    flags |= quint8(std::clamp(answer.wrongJudgements, 0, kMaxWrongJudgements) << kWrongShift);
    b[kHistoryAnswerOffset] = char(flags);
    qToLittleEndian<quint64>(idiomKey(answer.idiom), b + kHistoryIdiomOffset);
    return bytes;
}

MistakeHistory::MistakeHistory(QByteArray records, int recordSize, quint16 version, qint64 tornBytes)
    : m_records(std::move(records)), m_recordSize(recordSize), m_version(version), m_tornBytes(tornBytes),
      m_count(m_records.size() / recordSize)
{
}

AnsweredQuestion decodeAnswer(const char *record)
{
    AnsweredQuestion answer;
    answer.when = dateTimeOfMinute(answerMinute(record));
    answer.student = answerStudent(record);
    answer.level = qint16(quint8(record[kHistoryLevelOffset]));
    const quint8 flags = answerByte(record);
    answer.readingFirstTry = flags & kReadingFirstTryBit;
    answer.idiomFirstTry = flags & kIdiomFirstTryBit;
    answer.timedOut = flags & kTimedOutBit;
    answer.wrongJudgements = flags >> kWrongShift;
    const quint64 key = answerIdiomKey(record);
    answer.idiom = idiomOfKey(key);
    // A key with a zero unit before a character, or a control character, does not give its text back.
    if (idiomKey(answer.idiom) != key)
        answer.idiom.clear();
    return answer;
}

QString answerProblem(const AnsweredQuestion &answer)
{
    QStringList problems;
    const QDate day = answer.when.date();
    if (!day.isValid() || day < firstDay() || day >= dayAfterLast())
        problems << QStringLiteral("日時 %1 は 2000 年から 2199 年の外です")
                        .arg(answer.when.isValid() ? answer.when.toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                                                   : QStringLiteral("（なし）"));
    if (answer.student < 1 || answer.student > kMaxStudentNumber)
        problems
            << QStringLiteral("生徒番号 %1 は 1～%2 の外です").arg(answer.student).arg(kMaxStudentNumber);
    if (answer.level < 2 || answer.level > kMaxLevel || answer.level % 2 != 0)
        problems
            << QStringLiteral("レベル %1 はテストのレベル（2～34 の偶数）ではありません").arg(answer.level);
    if (idiomKey(answer.idiom) == 0)
        problems << QStringLiteral("熟語が空か、4 文字より長いか、制御文字を含みます");
    // The drill judges the idiom once a question (a wrong one shows the correction and moves on), and
    // the time-out comes only between judgements: so a time-out leaves the idiom unjudged.
    const int idiomWrong = !answer.idiomFirstTry && !answer.timedOut ? 1 : 0;
    const int readingMisses = answer.wrongJudgements - idiomWrong;
    if (answer.timedOut && answer.idiomFirstTry)
        problems << QStringLiteral("時間切れの問題なのに熟語が正解になっています");
    else if (readingMisses < 0 || readingMisses > kMaxReadingMisses ||
             (answer.readingFirstTry && readingMisses != 0) ||
             (!answer.readingFirstTry && readingMisses == 0 && !answer.timedOut))
        problems << QStringLiteral("間違いの数 %1 が一回目の正誤（読み%2、熟語%3）と合いません")
                        .arg(answer.wrongJudgements)
                        .arg(answer.readingFirstTry ? QStringLiteral("○") : QStringLiteral("×"),
                             answer.idiomFirstTry ? QStringLiteral("○") : QStringLiteral("×"));
    return problems.join(QStringLiteral("、"));
}

app::Status appendAnswers(const QString &path, const QList<AnsweredQuestion> &answers, RetryWait &wait)
{
    QByteArray records;
    QStringList refused;
    records.reserve(answers.size() * kHistoryRecordSize);
    for (const AnsweredQuestion &answer : answers) {
        const QString problem = answerProblem(answer);
        if (problem.isEmpty())
            records += encodeAnswer(answer);
        else
            refused
                << QStringLiteral("「%1」（生徒 %2）：%3").arg(answer.idiom).arg(answer.student).arg(problem);
    }
    const auto refusedFailure = [&]() -> app::Status {
        if (refused.isEmpty())
            return {};
        return writeFailure(QStringLiteral("記録できない解答があります"), path, refused.join(u'\n'));
    };
    if (records.isEmpty())
        return refusedFailure();

    platform::LockedFile file;
    constexpr auto access = platform::LockedFile::Access::ReadWriteCreate;
    if (!file.open(path, access)) {
        QString why = file.errorDescription();
        if (!folderExists(path))
            why += QStringLiteral("（データフォルダ %1 がありません）")
                       .arg(platform::displayPath(QFileInfo(path).absolutePath()));
        return writeFailure(QStringLiteral("解答記録ファイルを開けません"), path, why);
    }
    switch (lockResultsFile(file, path, access, platform::LockMode::Exclusive, wait)) {
    case Locking::Locked:
        break;
    case Locking::CannotLock:
        return writeFailure(QStringLiteral("解答記録ファイルをロックできません"), path,
                            file.errorDescription());
    case Locking::Reopen:
        return writeFailure(QStringLiteral("置き換えられた解答記録ファイルを開けません"), path,
                            file.errorDescription());
    }
    const qint64 length = lockedLength(file);
    if (length < 0)
        return writeFailure(QStringLiteral("解答記録ファイルの長さを読めません"), path,
                            file.errorDescription());

    // The header decides where records go and how long each is; a file that does not start with one
    // this program understands is left as it is for a person to look at.
    QByteArray head(kHistoryHeaderSize, '\0');
    const qint64 headLength = std::min<qint64>(length, kHistoryHeaderSize);
    if (headLength > 0 && !file.readAt(0, head.data(), headLength))
        return writeFailure(QStringLiteral("解答記録ファイルを読めません"), path, file.errorDescription());
    const HistoryHeader header = readHistoryHeader(head.constData(), headLength);
    qint64 offset = 0;
    QByteArray bytes;
    if (header.state == HistoryHeader::State::Damaged)
        return writeFailure(QStringLiteral("解答記録ファイルの見出しが壊れているので、書き足しません"), path,
                            header.problem);
    if (header.state == HistoryHeader::State::Good && length < header.headerSize)
        return writeFailure(QStringLiteral("解答記録ファイルの見出しが途中で切れているので、書き足しません"),
                            path);
    if (header.state == HistoryHeader::State::Missing) {
        bytes = historyHeader() + records;
    } else {
        // A torn tail is cut off before the new records go after the last whole one.
        const qint64 whole = (length - header.headerSize) / header.recordSize;
        offset = header.headerSize + std::max<qint64>(whole, 0) * header.recordSize;
        if (offset != length && !file.resize(offset))
            return writeFailure(QStringLiteral("解答記録ファイルの途中で切れた末尾を直せません"), path,
                                file.errorDescription());
        if (header.recordSize == kHistoryRecordSize) {
            bytes = records;
        } else {
            // A later version's longer records: its own fields stay zero, "not recorded".
            const qint64 count = records.size() / kHistoryRecordSize;
            bytes = QByteArray(count * header.recordSize, '\0');
            for (qint64 i = 0; i < count; ++i)
                std::memcpy(bytes.data() + i * header.recordSize,
                            records.constData() + i * kHistoryRecordSize, kHistoryRecordSize);
        }
    }
    if (!file.writeAt(offset, bytes.constData(), bytes.size())) {
        const QString why = file.errorDescription();
        // A write stopped part way (a full disk, a quota) is cut off again through the locked
        // descriptor, so that a reported failure has added nothing.
        file.resize(offset);
        return writeFailure(QStringLiteral("解答記録ファイルに書き込めません"), path, why);
    }
    if (!file.flushToDisk())
        return writeFailure(QStringLiteral("解答記録ファイルをディスクに書き込めません"), path,
                            file.errorDescription());
    file.unlock();
    file.close();
    return refusedFailure();
}

app::Status recordAnswersIn(const QString &dataFolder, const QList<AnsweredQuestion> &answers,
                            RetryWait &wait)
{
    return appendAnswers(mistakeHistoryPath(dataFolder), answers, wait);
}

app::Result<MistakeHistory> readMistakeHistory(const QString &path, RetryWait &wait)
{
    constexpr auto access = platform::LockedFile::Access::Read;
    int unreachable = 0;
    for (;;) {
        platform::LockedFile file;
        bool opened = file.open(path, access);
        // A file system that cannot lock at all is read without the lock, as the results file is.
        if (opened &&
            lockResultsFile(file, path, access, platform::LockMode::Shared, wait) == Locking::Reopen)
            opened = false;
        if (!opened) {
            const int number = file.errorNumber();
            if (number == ENOENT && folderExists(path))
                return failure(QStringLiteral("解答の記録はまだありません"), path);
            if ((platform::LockedFile::isNotFound(number) || platform::LockedFile::isUnreachable(number)) &&
                ++unreachable < kMissingFailures) {
                wait.wait(kMissingWaitMs, {});
                continue;
            }
            return failure(QStringLiteral("解答記録ファイルを開けません"), path,
                           platform::LockedFile::describeError(number));
        }
        const qint64 length = lockedLength(file);
        if (length < 0)
            return failure(QStringLiteral("解答記録ファイルの長さを読めません"), path,
                           file.errorDescription());
        QByteArray head(kHistoryHeaderSize, '\0');
        const qint64 headLength = std::min<qint64>(length, kHistoryHeaderSize);
        if (headLength > 0 && !file.readAt(0, head.data(), headLength))
            return failure(QStringLiteral("解答記録ファイルを読めません"), path, file.errorDescription());
        const HistoryHeader header = readHistoryHeader(head.constData(), headLength);
        if (header.state == HistoryHeader::State::Damaged)
            return failure(QStringLiteral("解答記録ファイルの見出しが壊れています"), path, header.problem);
        if (header.state == HistoryHeader::State::Missing)
            return MistakeHistory({}, kHistoryRecordSize, kHistoryVersion, length);
        const qint64 body = std::max<qint64>(length - header.headerSize, 0);
        const qint64 whole = body / header.recordSize * header.recordSize;
        // One read of every whole record into one block: no allocation per record.
        QByteArray records(whole, Qt::Uninitialized);
        if (whole > 0 && !file.readAt(header.headerSize, records.data(), whole))
            return failure(QStringLiteral("解答記録ファイルを読めません"), path, file.errorDescription());
        return MistakeHistory(std::move(records), header.recordSize, header.version, body - whole);
    }
}

app::Result<MistakeHistory> readMistakeHistoryIn(const QString &dataFolder, RetryWait &wait)
{
    return readMistakeHistory(mistakeHistoryPath(dataFolder), wait);
}

} // namespace records
