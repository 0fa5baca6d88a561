#include "records/ResultsMaintenance.h"

#include "platform/ErrorText.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace records {

namespace {

// The texts that tell the void record and the journal record from everything a drill writes (they sit
// in the reserved text field, which drills fill with blanks).
constexpr char kVoidMark[kTextFieldSize] = {'*', 'D', 'E', 'L', '*'};
constexpr char kJournalMark[kTextFieldSize] = {'*', 'J', 'N', 'L', '*'};
constexpr int kReservedTextOffset = 29;

// Level 0, student 0 and a negative date: every reader skips such a record.
QByteArray markedRecord(const char *mark)
{
    QByteArray bytes = encodeRecord(newRecord(-1.0, 0.0, 0, 0, 0, QString()));
    std::memcpy(bytes.data() + kReservedTextOffset, mark, kTextFieldSize);
    return bytes;
}

// The journal record at the end of the recovery copy: the number of the deleted record in the clock
// field (as a 64-bit whole number; nothing reads this record as a result).
QByteArray journalRecord(qint64 deleted)
{
    QByteArray bytes = markedRecord(kJournalMark);
    qToLittleEndian<qint64>(deleted, bytes.data() + kClockOffset);
    return bytes;
}

bool isJournalRecord(const char *bytes)
{
    const QByteArray blank = journalRecord(0);
    return std::memcmp(bytes, blank.constData(), kClockOffset) == 0 &&
           std::memcmp(bytes + kStudentOffset, blank.constData() + kStudentOffset,
                       kRecordSize - kStudentOffset) == 0;
}

QString shown(const QString &path)
{
    return platform::displayPath(path);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool failFile(QString *error, const QString &what, const QString &path, const QString &description)
{
    return fail(error, QStringLiteral("%1：%2\n%3").arg(what, shown(path), description));
}

// Opens the results file for a change and takes the exclusive lock, on the file that the path names
// once the lock is held. The file must exist: a change never creates it.
bool openLocked(const QString &path, platform::LockedFile &file, RetryWait &wait, QString *error)
{
    constexpr auto access = platform::LockedFile::Access::ReadWrite;
    if (!file.open(path, access))
        return failFile(error, QStringLiteral("成績ファイルを開けません"), path, file.errorDescription());
    switch (lockResultsFile(file, path, access, platform::LockMode::Exclusive, wait)) {
    case Locking::Locked:
        return true;
    case Locking::CannotLock:
        return failFile(error, QStringLiteral("成績ファイルをロックできません"), path,
                        file.errorDescription());
    case Locking::Reopen:
        break;
    }
    return failFile(error, QStringLiteral("置き換えられた成績ファイルを開けません"), path,
                    file.errorDescription());
}

void reach(const RewriteProbe *probe, RewriteStage stage)
{
    if (probe && probe->reached)
        probe->reached(stage);
}

qint64 pieceSize(const RewriteProbe *probe)
{
    return probe ? std::max<qint64>(probe->pieceBytes, 1) : qint64(1024) * 1024;
}

// The whole records of the locked file.
bool readAllRecords(platform::LockedFile &file, const QString &path, QByteArray *bytes, QString *error)
{
    const qint64 length = lockedLength(file);
    if (length < 0)
        return failFile(error, QStringLiteral("成績ファイルの長さを読めません"), path,
                        file.errorDescription());
    bytes->resize(length / kRecordSize * kRecordSize);
    if (!bytes->isEmpty() && !file.readAt(0, bytes->data(), bytes->size()))
        return failFile(error, QStringLiteral("成績ファイルを読めません"), path, file.errorDescription());
    return true;
}

bool writePieces(platform::LockedFile &file, qint64 offset, const QByteArray &bytes,
                 const RewriteProbe *probe)
{
    const qint64 piece = pieceSize(probe);
    for (qint64 done = 0; done < bytes.size(); done += piece) {
        const qint64 n = std::min(piece, bytes.size() - done);
        if (!file.writeAt(offset + done, bytes.constData() + done, n))
            return false;
        if (done + n < bytes.size())
            reach(probe, RewriteStage::RecordsMoved);
    }
    return true;
}

// The recovery copy, written whole under a temporary name and renamed: it is complete or not there.
bool writeRecoveryCopy(const QString &copyPath, const QByteArray &bytes, const RewriteProbe *probe,
                       QString *error)
{
    QSaveFile copy(copyPath);
    copy.setDirectWriteFallback(false);
    if (!copy.open(QIODevice::WriteOnly))
        return failFile(error, QStringLiteral("復旧用のコピーを作れません"), copyPath,
                        platform::fileError(copy, platform::lastSystemError()).description);
    const qint64 piece = pieceSize(probe);
    for (qint64 done = 0; done < bytes.size(); done += piece) {
        const qint64 n = std::min(piece, bytes.size() - done);
        if (copy.write(bytes.constData() + done, n) != n)
            return failFile(error, QStringLiteral("復旧用のコピーを書けません"), copyPath,
                            platform::fileError(copy, platform::lastSystemError()).description);
        if (!copy.flush())
            return failFile(error, QStringLiteral("復旧用のコピーを書けません"), copyPath,
                            platform::fileError(copy, platform::lastSystemError()).description);
        reach(probe, RewriteStage::CopyPart);
    }
    if (!copy.commit())
        return failFile(error, QStringLiteral("復旧用のコピーを書けません"), copyPath,
                        platform::fileError(copy, platform::lastSystemError()).description);
    return true;
}

// Cuts the locked file to `records` records and puts that on the disk.
bool cutTo(platform::LockedFile &file, const QString &path, qint64 records, QString *error)
{
    if (!file.resize(records * kRecordSize))
        return failFile(error, QStringLiteral("成績ファイルを短くできません"), path, file.errorDescription());
    if (!file.flushToDisk())
        return failFile(error, QStringLiteral("成績ファイルをディスクに書き込めません"), path,
                        file.errorDescription());
    return true;
}

const char *slot(const QByteArray &bytes, qint64 index)
{
    return bytes.constData() + index * kRecordSize;
}

// The records of `old` without record `number`.
QByteArray withoutRecord(const QByteArray &old, qint64 number)
{
    QByteArray result = old.left((number - 1) * kRecordSize);
    result += old.mid(number * kRecordSize);
    return result;
}

Recovery recoverLocked(platform::LockedFile &file, const QString &path, QString *error);

// The rewrite proper: the records after the deleted one one place down, the void record at the old end,
// on the disk, then the file cut by one record.
bool moveAndCut(platform::LockedFile &file, const QString &path, const QByteArray &oldRecords, qint64 number,
                const RewriteProbe *probe, QString *error)
{
    const QByteArray moved = oldRecords.mid(number * kRecordSize) + voidRecord();
    if (!writePieces(file, (number - 1) * kRecordSize, moved, probe))
        return failFile(error, QStringLiteral("成績ファイルに書き込めません"), path, file.errorDescription());
    reach(probe, RewriteStage::VoidWritten);
    if (!file.flushToDisk())
        return failFile(error, QStringLiteral("成績ファイルをディスクに書き込めません"), path,
                        file.errorDescription());
    reach(probe, RewriteStage::Synced);
    if (!cutTo(file, path, oldRecords.size() / kRecordSize - 1, error))
        return false;
    reach(probe, RewriteStage::Truncated);
    return true;
}

// Deletes a record of the locked file. `oldRecords` are its whole records (read under this lock).
bool deleteLocked(platform::LockedFile &file, const QString &path, const QByteArray &oldRecords,
                  qint64 number, const QByteArray &opened, const RewriteProbe *probe, QString *error)
{
    const qint64 count = oldRecords.size() / kRecordSize;
    if (number < 1 || number > count)
        return fail(error, QStringLiteral("%1 に %2 番目の記録はありません（%3 件です）。")
                               .arg(shown(path))
                               .arg(number)
                               .arg(count));
    if (opened.size() == kRecordSize && !sameRecord(slot(oldRecords, number - 1), opened.constData()))
        return fail(error, QStringLiteral("%1 の %2 番目の記録は、一覧を作ったあとで変わっています（ほかの"
                                          "パソコンで変更か消去があったようです）。一覧を作り直してから、"
                                          "もう一度選んでください。")
                               .arg(shown(path))
                               .arg(number));

    const QString copyPath = recoveryFilePath(path);
    if (!writeRecoveryCopy(copyPath, oldRecords + journalRecord(number), probe, error))
        return false;
    reach(probe, RewriteStage::CopyWritten);

    QString failure;
    if (!moveAndCut(file, path, oldRecords, number, probe, &failure)) {
        // The file is half rewritten. It is finished from the copy at once when it can be written
        // again (a passing fault), else at the next change.
        QString again;
        if (recoverLocked(file, path, &again) == Recovery::Completed)
            return true;
        return fail(error, failure + QStringLiteral("\n途中までの書き換えは、次に記録を変更・消去するときに、"
                                                    "復旧用のコピー %1 から仕上げます。")
                                         .arg(shown(copyPath)));
    }
    if (!QFile::remove(copyPath) && QFileInfo::exists(copyPath))
        return fail(
            error,
            QStringLiteral("記録は消去しましたが、復旧用のコピーを消せません：%1").arg(shown(copyPath)));
    reach(probe, RewriteStage::CopyRemoved);
    return true;
}

// Whether a place of the file holds `before` overwritten from its start, in part or whole, by `after`:
// a write that a crash stopped leaves every place so (records are written in rising order).
bool partlyOverwritten(const char *place, const char *before, const char *after)
{
    for (int split = 0; split <= kRecordSize; ++split) {
        if (std::memcmp(place, after, split) == 0 &&
            std::memcmp(place + split, before + split, kRecordSize - split) == 0)
            return true;
    }
    return false;
}

// A deletion that has not cut the file yet left its old end holding the old last record, the void
// record, or the void record written over it in part.
bool looksUncut(const char *place, const char *oldLast)
{
    return partlyOverwritten(place, oldLast, voidRecord().constData());
}

Recovery recoverLocked(platform::LockedFile &file, const QString &path, QString *error)
{
    const QString copyPath = recoveryFilePath(path);
    const QFileInfo copyInfo(copyPath);
    if (!copyInfo.exists())
        return Recovery::NothingToDo;
    auto failed = [&](const QString &message) {
        fail(error, message);
        return Recovery::Failed;
    };
    auto foreign = [&](const QString &why) {
        return failed(QStringLiteral("%1 は、記録の消去の途中で残ったコピーのようですが、%2\n成績ファイル %3 "
                                     "の内容を確かめてから、このコピーを移すか消してください。それまで記録の"
                                     "変更と消去はできません。")
                          .arg(shown(copyPath), why, shown(path)));
    };

    // Every append looks here first: a pipe in place of the copy must not make it wait for a writer.
    if (!copyInfo.isFile())
        return foreign(QStringLiteral("ふつうのファイルではありません。"));
    const platform::Result<QByteArray> copyRead = platform::readFileBytes(copyPath);
    if (!copyRead)
        return failed(copyRead.failure().text);
    const QByteArray &copy = copyRead.value();
    if (copy.size() % kRecordSize != 0 || copy.size() < 2 * kRecordSize ||
        !isJournalRecord(copy.constData() + copy.size() - kRecordSize))
        return foreign(QStringLiteral("このプログラムが書いたものではありません。"));
    const qint64 count = copy.size() / kRecordSize - 1; // the records before the deletion
    const qint64 number =
        qFromLittleEndian<qint64>(copy.constData() + copy.size() - kRecordSize + kClockOffset);
    if (number < 1 || number > count)
        return foreign(QStringLiteral("消去する記録の番号（%1）が合いません。").arg(number));
    const QByteArray oldRecords = copy.left(count * kRecordSize);
    const QByteArray newRecords = withoutRecord(oldRecords, number);

    QByteArray current;
    if (!readAllRecords(file, path, &current, error))
        return Recovery::Failed;
    const qint64 have = current.size() / kRecordSize;
    if (have < count - 1)
        return foreign(QStringLiteral("成績ファイルがコピーより短くなっています。"));
    const bool cut = have == count - 1 || !looksUncut(slot(current, count - 1), slot(oldRecords, count - 1));

    // Every place before the old end holds the old record, the one moved there, or (where the crash
    // stopped the move) the old one partly overwritten; anything else means that something other than
    // this program's deletion changed the file.
    for (qint64 i = 0; i < count - 1; ++i) {
        const char *place = slot(current, i);
        const bool fits = cut ? std::memcmp(place, slot(newRecords, i), kRecordSize) == 0
                              : partlyOverwritten(place, slot(oldRecords, i), slot(newRecords, i));
        if (!fits)
            return foreign(QStringLiteral("成績ファイルの %1 番目の記録がコピーと合いません。").arg(i + 1));
    }

    auto writeFailed = [&](const QString &what) {
        failFile(error, what, path, file.errorDescription());
        return Recovery::Failed;
    };
    const QByteArray rewrite = cut ? newRecords : newRecords + voidRecord();
    if (!file.writeAt(0, rewrite.constData(), rewrite.size()))
        return writeFailed(QStringLiteral("成績ファイルに書き込めません"));
    if (!file.flushToDisk())
        return writeFailed(QStringLiteral("成績ファイルをディスクに書き込めません"));
    const bool appended = have > count;
    if (!cut && !appended && !cutTo(file, path, count - 1, error))
        return Recovery::Failed;
    if (!QFile::remove(copyPath) && QFileInfo::exists(copyPath))
        return failed(QStringLiteral("復旧用のコピーを消せません：%1").arg(shown(copyPath)));
    if (!cut && appended) {
        // Records were appended after the void record, so it cannot be cut off the end: it is deleted
        // as any record is, with a recovery copy of its own.
        QByteArray all;
        if (!readAllRecords(file, path, &all, error) ||
            !deleteLocked(file, path, all, count, voidRecord(), nullptr, error))
            return Recovery::Failed;
    }
    return Recovery::Completed;
}

} // namespace

QString recoveryFilePath(const QString &resultsPath)
{
    return QFileInfo(resultsPath).absolutePath() + u'/' + QString::fromUtf16(kRecoveryFileName);
}

QByteArray voidRecord()
{
    return markedRecord(kVoidMark);
}

bool isVoidRecord(const char *bytes)
{
    return std::memcmp(bytes, voidRecord().constData(), kRecordSize) == 0;
}

bool sameRecord(const char *a, const char *b)
{
    // Everything but the student (bytes 16 and 17) and the time (20 to 23).
    return std::memcmp(a, b, kStudentOffset) == 0 &&
           std::memcmp(a + kLevelOffset, b + kLevelOffset, 2) == 0 &&
           std::memcmp(a + kTimeOffset + 4, b + kTimeOffset + 4, kRecordSize - kTimeOffset - 4) == 0;
}

namespace {

bool readRecordInto(const QString &path, qint64 number, QByteArray *bytes, RetryWait &wait, QString *error)
{
    platform::LockedFile file;
    constexpr auto access = platform::LockedFile::Access::Read;
    if (!file.open(path, access))
        return failFile(error, QStringLiteral("成績ファイルを開けません"), path, file.errorDescription());
    // A file system that cannot lock at all is read without the lock, as readers have always read it.
    if (lockResultsFile(file, path, access, platform::LockMode::Shared, wait) == Locking::Reopen)
        return failFile(error, QStringLiteral("置き換えられた成績ファイルを開けません"), path,
                        file.errorDescription());
    const qint64 count = lockedLength(file) / kRecordSize;
    if (number < 1 || number > count)
        return fail(error, QStringLiteral("%1 に %2 番目の記録はありません（%3 件です）。")
                               .arg(shown(path))
                               .arg(number)
                               .arg(count));
    bytes->resize(kRecordSize);
    if (!file.readAt((number - 1) * kRecordSize, bytes->data(), kRecordSize))
        return failFile(error, QStringLiteral("成績ファイルを読めません"), path, file.errorDescription());
    return true;
}

bool changeRecordBytes(const QString &path, qint64 number, const QByteArray &opened, qint16 student,
                       qint32 time, RetryWait &wait, QString *error, const WriteProbe *probe)
{
    const auto reach = [probe](WriteStage stage) {
        if (probe && *probe)
            (*probe)(stage);
    };
    platform::LockedFile file;
    if (!openLocked(path, file, wait, error))
        return false;
    reach(WriteStage::Locked);
    if (recoverLocked(file, path, error) == Recovery::Failed)
        return false;
    const qint64 length = lockedLength(file);
    if (length < 0)
        return failFile(error, QStringLiteral("成績ファイルの長さを読めません"), path,
                        file.errorDescription());
    const qint64 count = length / kRecordSize;
    if (number < 1 || number > count)
        return fail(error, QStringLiteral("%1 に %2 番目の記録はありません（%3 件です）。")
                               .arg(shown(path))
                               .arg(number)
                               .arg(count));
    const qint64 offset = (number - 1) * kRecordSize;
    char bytes[kRecordSize];
    if (!file.readAt(offset, bytes, kRecordSize))
        return failFile(error, QStringLiteral("成績ファイルを読めません"), path, file.errorDescription());
    if (opened.size() == kRecordSize && !sameRecord(bytes, opened.constData()))
        return fail(error, QStringLiteral("%1 の %2 番目の記録は、一覧を作ったあとで変わっています（ほかの"
                                          "パソコンで変更か消去があったようです）。一覧を作り直してから、"
                                          "もう一度選んでください。")
                               .arg(shown(path))
                               .arg(number));
    reach(WriteStage::LengthRead);
    // Student, level (as it is) and time in one write of eight bytes, so that a crash changes both or
    // neither.
    qToLittleEndian<qint16>(student, bytes + kStudentOffset);
    qToLittleEndian<qint32>(time, bytes + kTimeOffset);
    if (!file.writeAt(offset + kStudentOffset, bytes + kStudentOffset, kTimeOffset + 4 - kStudentOffset))
        return failFile(error, QStringLiteral("成績ファイルに書き込めません"), path, file.errorDescription());
    reach(WriteStage::Written);
    if (!file.flushToDisk())
        return failFile(error, QStringLiteral("成績ファイルをディスクに書き込めません"), path,
                        file.errorDescription());
    reach(WriteStage::Synced);
    return true;
}

} // namespace

app::Result<Recovery> recoverLockedRewrite(platform::LockedFile &file, const QString &path)
{
    QString error;
    const Recovery recovery = recoverLocked(file, path, &error);
    return recovery == Recovery::Failed ? app::Result<Recovery>(app::failure(error)) : recovery;
}

app::Result<Recovery> recoverInterruptedRewrite(const QString &path, RetryWait &wait)
{
    if (!QFileInfo::exists(recoveryFilePath(path)))
        return Recovery::NothingToDo;
    platform::LockedFile file;
    QString error;
    if (!openLocked(path, file, wait, &error))
        return app::failure(error);
    return recoverLockedRewrite(file, path);
}

app::Status deleteRecord(const QString &path, qint64 number, QByteArray opened, RetryWait &wait,
                         const RewriteProbe *probe)
{
    platform::LockedFile file;
    QString error;
    if (!openLocked(path, file, wait, &error))
        return app::failure(error);
    reach(probe, RewriteStage::Locked);
    if (recoverLocked(file, path, &error) == Recovery::Failed)
        return app::failure(error);
    QByteArray records;
    if (!readAllRecords(file, path, &records, &error))
        return app::failure(error);
    if (!deleteLocked(file, path, records, number, opened, probe, &error))
        return app::failure(error);
    return {};
}

app::Result<QByteArray> readRecord(const QString &path, qint64 number, RetryWait &wait)
{
    QByteArray bytes;
    QString error;
    if (!readRecordInto(path, number, &bytes, wait, &error))
        return app::failure(error);
    return bytes;
}

app::Status changeRecord(const QString &path, qint64 number, QByteArray opened, qint16 student, qint32 time,
                         RetryWait &wait, const WriteProbe *probe)
{
    QString error;
    if (!changeRecordBytes(path, number, std::move(opened), student, time, wait, &error, probe))
        return app::failure(error);
    return {};
}

} // namespace records
