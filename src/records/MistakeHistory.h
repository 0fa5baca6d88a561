#pragma once

#include "app/Failure.h"
#include "drill/AnsweredQuestion.h"
#include "records/RetryWait.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QtEndian>
#include <QtGlobal>

// The answer history "解答累積データ.dat" in the data folder, beside the results file: one record for
// every question of a test level that a student answered (practice levels record nothing). It tells
// which idioms each student gets wrong; the results file, which keeps one record per drill, stays as
// it is. The classroom PCs share it like the results file: an append holds the exclusive whole-file
// lock while it writes, readers hold the shared lock and wait for a writer (records::lockResultsFile).
//
// The file is a header of 16 bytes and then fixed-size records. Numbers are little-endian.
//
//   header  offset size  field
//                0    8  magic: 0x89 'Y' 'J' 'H' CR LF 0x1A LF (a copy that changed line ends or cut
//                        the eighth bit shows at once)
//                8    2  version, 1
//               10    2  header size, 16: where the first record starts
//               12    2  record size, 16
//               14    2  zero
//
//   record  offset size  field
//                0    4  when: unsigned minutes since 30 December 1899 00:00, the local time of the PC
//                        (the family's calendar, to the minute; lasts some 8000 years)
//                4    2  student: 16-bit signed, the student's number as the results file has it
//                6    1  level: the test level (an even number)
//                7    1  answer: bit 0 the reading right at the first try, bit 1 the idiom right at
//                        the first try, bit 2 the drill's time ran out on this question (before its
//                        idiom was judged), bits 3 to 7 the wrong judgements on it (wrong readings,
//                        each one a wrong kana pick, plus a wrong idiom; at most 31 is kept)
//                8    8  idiom: its four characters as UTF-16LE code units, zero units after a shorter
//                        one. The idiom's text is its key: it stays the same when the idiom data file
//                        is reordered or extended, where a line number would then name another idiom.
//
// A later version keeps the meaning of these fields and may only add: header fields after byte 16 (the
// header size grows), record fields after byte 16 (the record size grows; such a version reads zero
// bytes there as "not recorded", which is what this version writes when it appends to its file).
// A record of 16 bytes keeps the file small: a school of 100 students that each take two tests of
// some 25 questions a week for 40 weeks a year answers 200 000 questions a year, 3.2 MB; ten years
// are 2 000 000 records, 32 MB.
//
// A PC that dies in the middle of an append leaves part of a record at the end (a torn tail). Readers
// pass over it; the next append cuts it off under the lock before it writes. A file whose header this
// program does not understand is never written to: readers and writers report it, and the drill goes
// on without its history.
namespace records {

inline constexpr const char16_t *kMistakeHistoryFileName = u"解答累積データ.dat";
inline constexpr int kHistoryHeaderSize = 16;
inline constexpr int kHistoryRecordSize = 16;
inline constexpr quint16 kHistoryVersion = 1;
inline constexpr int kIdiomKeyUnits = 4;
inline constexpr int kMaxWrongJudgements = 31;

QString mistakeHistoryPath(const QString &dataFolder);

// One test question answered, as the drill reports it (drill/AnsweredQuestion.h).
using drill::AnsweredQuestion;

// The 16 header bytes this version writes.
QByteArray historyHeader();
// Exactly kHistoryRecordSize bytes (wrong judgements beyond 31 are kept as 31).
QByteArray encodeAnswer(const AnsweredQuestion &answer);
AnsweredQuestion decodeAnswer(const char *record);

// What is impossible about an answer (empty when nothing): a time outside the years 2000 to 2199, a
// student outside 1 to 5000, a level that is not an even number from 2 to 34, an idiom that cannot be
// a key (empty, longer than four code units, a control character), or counts that the drill cannot
// produce (a reading wrong at the first try without a wrong judgement, before a time-out; more than
// four wrong readings; a time-out on a question whose idiom was right). Japanese, without a final "。".
QString answerProblem(const AnsweredQuestion &answer);

// The fields read straight from record bytes, for readers that scan a million records.
inline constexpr int kHistoryWhenOffset = 0;
inline constexpr int kHistoryStudentOffset = 4;
inline constexpr int kHistoryLevelOffset = 6;
inline constexpr int kHistoryAnswerOffset = 7;
inline constexpr int kHistoryIdiomOffset = 8;
inline constexpr quint8 kReadingFirstTryBit = 0x01;
inline constexpr quint8 kIdiomFirstTryBit = 0x02;
inline constexpr quint8 kTimedOutBit = 0x04;
inline constexpr int kWrongShift = 3;

inline quint32 answerMinute(const char *record)
{
    return qFromLittleEndian<quint32>(record + kHistoryWhenOffset);
}
inline qint16 answerStudent(const char *record)
{
    return qFromLittleEndian<qint16>(record + kHistoryStudentOffset);
}
inline quint8 answerByte(const char *record)
{
    return quint8(record[kHistoryAnswerOffset]);
}
// The idiom field as one number, for counting idioms without making texts: equal keys, equal idioms.
inline quint64 answerIdiomKey(const char *record)
{
    return qFromLittleEndian<quint64>(record + kHistoryIdiomOffset);
}
// Whether the question went wrong: at least one wrong judgement. A question that the time-out ended
// without one tells nothing about the idiom.
inline bool answerIsMistake(quint8 answer)
{
    return (answer >> kWrongShift) != 0;
}
// Whether the question went right all the way: both stages at the first try.
inline bool answerIsClean(quint8 answer)
{
    constexpr quint8 both = kReadingFirstTryBit | kIdiomFirstTryBit;
    return (answer & both) == both && !answerIsMistake(answer);
}

// The key of an idiom text (0: the text cannot be a key), and the text of a key.
quint64 idiomKey(const QString &idiom);
QString idiomOfKey(quint64 key);

// Minutes since 30 December 1899 of a local date and time, and back.
quint32 minuteOf(const QDateTime &when);
QDateTime dateTimeOfMinute(quint32 minute);

// A history as read: its records in one block, as they stand in the file (oldest first).
class MistakeHistory
{
public:
    MistakeHistory() = default;
    // `records` holds whole records of `recordSize` bytes each.
    MistakeHistory(QByteArray records, int recordSize, quint16 version, qint64 tornBytes);

    qint64 size() const { return m_count; }
    const char *record(qint64 index) const { return m_records.constData() + index * m_recordSize; }
    AnsweredQuestion answer(qint64 index) const { return decodeAnswer(record(index)); }
    int recordSize() const { return m_recordSize; }
    quint16 version() const { return m_version; }
    // Bytes after the last whole record, which were passed over.
    qint64 tornBytes() const { return m_tornBytes; }

private:
    QByteArray m_records;
    int m_recordSize = kHistoryRecordSize;
    quint16 m_version = kHistoryVersion;
    qint64 m_tornBytes = 0;
    qint64 m_count = 0;
};

// What the first bytes of a history file say.
struct HistoryHeader
{
    enum class State {
        Good,    // the fields below hold
        Missing, // no header yet: the file is empty, or a header write stopped part way
        Damaged  // not a header of this file; `problem` says why
    };
    State state = State::Missing;
    quint16 version = 0;
    int headerSize = 0;
    int recordSize = 0;
    QString problem; // what is wrong with a damaged header, in Japanese
};
// Judges the first `length` bytes of a file (at most the header's 16 are looked at).
HistoryHeader readHistoryHeader(const char *bytes, qint64 length);

// Appends the answers under the exclusive lock, waiting while another holder has it: creates the file
// with its header when there is none, cuts off a torn tail first, and writes every possible answer in
// one write, on the disk before the lock goes. An answer with an impossible value is not written (the
// others are) and named in the failure. A failure says which file and what is wrong; nothing is
// written then, or it is cut off again. The drill reports it and goes on.
app::Status appendAnswers(const QString &path, const QList<AnsweredQuestion> &answers, RetryWait &wait);
// The same into the data folder's history.
app::Status recordAnswersIn(const QString &dataFolder, const QList<AnsweredQuestion> &answers,
                            RetryWait &wait);

// Reads the whole history in one go under the shared lock, waiting while a writer has it, and while
// the file cannot be reached at all as the results file's reader does. A missing file, a damaged
// header or a failed read give a failure (no exit status: the caller goes on without the history)
// that names the file and what is wrong.
app::Result<MistakeHistory> readMistakeHistory(const QString &path, RetryWait &wait);
app::Result<MistakeHistory> readMistakeHistoryIn(const QString &dataFolder, RetryWait &wait);

} // namespace records
