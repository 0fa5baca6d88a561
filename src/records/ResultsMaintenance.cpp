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

// What failed on a file: the step, the file's full path, and the system's description.
app::Failure failFile(const QString &what, const QString &path, const QString &description)
{
    return app::failure(QStringLiteral("%1：%2\n%3").arg(what, shown(path), description));
}

// The same for a step on the locked results file, with the description of its descriptor's last error.
app::Failure failLocked(const QString &what, const QString &path, const platform::LockedFile &file)
{
    return failFile(what, path, file.errorDescription());
}

app::Failure noSuchRecord(const QString &path, qint64 number, qint64 count)
{
    return app::failure(QStringLiteral("%1 に %2 番目の記録はありません（%3 件です）。")
                            .arg(shown(path))
                            .arg(number)
                            .arg(count));
}

app::Failure recordChanged(const QString &path, qint64 number)
{
    return app::failure(QStringLiteral("%1 の %2 番目の記録は、一覧を作ったあとで変わっています（ほかの"
                                       "パソコンで変更か消去があったようです）。一覧を作り直してから、"
                                       "もう一度選んでください。")
                            .arg(shown(path))
                            .arg(number));
}

// Opens the results file for a change and takes the exclusive lock, on the file that the path names
// once the lock is held. The file must exist: a change never creates it.
app::Status openLocked(const QString &path, platform::LockedFile &file, RetryWait &wait)
{
    constexpr auto access = platform::LockedFile::Access::ReadWrite;
    if (!file.open(path, access))
        return failLocked(QStringLiteral("成績ファイルを開けません"), path, file);
    switch (lockResultsFile(file, path, access, platform::LockMode::Exclusive, wait)) {
    case Locking::Locked:
        return {};
    case Locking::CannotLock:
        return failLocked(QStringLiteral("成績ファイルをロックできません"), path, file);
    case Locking::Reopen:
        break;
    }
    return failLocked(QStringLiteral("置き換えられた成績ファイルを開けません"), path, file);
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
app::Result<QByteArray> readAllRecords(platform::LockedFile &file, const QString &path)
{
    const qint64 length = lockedLength(file);
    if (length < 0)
        return failLocked(QStringLiteral("成績ファイルの長さを読めません"), path, file);
    QByteArray bytes(length / kRecordSize * kRecordSize, Qt::Uninitialized);
    if (!bytes.isEmpty() && !file.readAt(0, bytes.data(), bytes.size()))
        return failLocked(QStringLiteral("成績ファイルを読めません"), path, file);
    return bytes;
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
app::Status writeRecoveryCopy(const QString &copyPath, const QByteArray &bytes, const RewriteProbe *probe)
{
    QSaveFile copy(copyPath);
    copy.setDirectWriteFallback(false);
    const auto failCopy = [&](const QString &what) {
        return failFile(what, copyPath, platform::fileError(copy, platform::lastSystemError()).description);
    };
    if (!copy.open(QIODevice::WriteOnly))
        return failCopy(QStringLiteral("復旧用のコピーを作れません"));
    const qint64 piece = pieceSize(probe);
    for (qint64 done = 0; done < bytes.size(); done += piece) {
        const qint64 n = std::min(piece, bytes.size() - done);
        if (copy.write(bytes.constData() + done, n) != n)
            return failCopy(QStringLiteral("復旧用のコピーを書けません"));
        if (!copy.flush())
            return failCopy(QStringLiteral("復旧用のコピーを書けません"));
        reach(probe, RewriteStage::CopyPart);
    }
    if (!copy.commit())
        return failCopy(QStringLiteral("復旧用のコピーを書けません"));
    return {};
}

// Cuts the locked file to `records` records and puts that on the disk.
app::Status cutTo(platform::LockedFile &file, const QString &path, qint64 records)
{
    if (!file.resize(records * kRecordSize))
        return failLocked(QStringLiteral("成績ファイルを短くできません"), path, file);
    if (!file.flushToDisk())
        return failLocked(QStringLiteral("成績ファイルをディスクに書き込めません"), path, file);
    return {};
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

app::Result<Recovery> recoverLocked(platform::LockedFile &file, const QString &path);

// The rewrite proper: the records after the deleted one one place down, the void record at the old end,
// on the disk, then the file cut by one record.
app::Status moveAndCut(platform::LockedFile &file, const QString &path, const QByteArray &oldRecords,
                       qint64 number, const RewriteProbe *probe)
{
    const QByteArray moved = oldRecords.mid(number * kRecordSize) + voidRecord();
    if (!writePieces(file, (number - 1) * kRecordSize, moved, probe))
        return failLocked(QStringLiteral("成績ファイルに書き込めません"), path, file);
    reach(probe, RewriteStage::VoidWritten);
    if (!file.flushToDisk())
        return failLocked(QStringLiteral("成績ファイルをディスクに書き込めません"), path, file);
    reach(probe, RewriteStage::Synced);
    if (app::Status cut = cutTo(file, path, oldRecords.size() / kRecordSize - 1))
        return cut;
    reach(probe, RewriteStage::Truncated);
    return {};
}

// Deletes a record of the locked file. `oldRecords` are its whole records (read under this lock).
app::Status deleteLocked(platform::LockedFile &file, const QString &path, const QByteArray &oldRecords,
                         qint64 number, const QByteArray &opened, const RewriteProbe *probe)
{
    const qint64 count = oldRecords.size() / kRecordSize;
    if (number < 1 || number > count)
        return noSuchRecord(path, number, count);
    if (opened.size() == kRecordSize && !sameRecord(slot(oldRecords, number - 1), opened.constData()))
        return recordChanged(path, number);

    const QString copyPath = recoveryFilePath(path);
    if (app::Status copied = writeRecoveryCopy(copyPath, oldRecords + journalRecord(number), probe))
        return copied;
    reach(probe, RewriteStage::CopyWritten);

    if (const app::Status failed = moveAndCut(file, path, oldRecords, number, probe)) {
        // The file is half rewritten. It is finished from the copy at once when it can be written
        // again (a passing fault), else at the next change.
        if (const app::Result<Recovery> again = recoverLocked(file, path);
            again && again.value() == Recovery::Completed)
            return {};
        return app::failure(failed->text +
                            QStringLiteral("\n途中までの書き換えは、次に記録を変更・消去するときに、"
                                           "復旧用のコピー %1 から仕上げます。")
                                .arg(shown(copyPath)));
    }
    if (!QFile::remove(copyPath) && QFileInfo::exists(copyPath))
        return app::failure(
            QStringLiteral("記録は消去しましたが、復旧用のコピーを消せません：%1").arg(shown(copyPath)));
    reach(probe, RewriteStage::CopyRemoved);
    return {};
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

app::Result<Recovery> recoverLocked(platform::LockedFile &file, const QString &path)
{
    const QString copyPath = recoveryFilePath(path);
    const QFileInfo copyInfo(copyPath);
    if (!copyInfo.exists())
        return Recovery::NothingToDo;
    const auto foreign = [&](const QString &why) {
        return app::failure(
            QStringLiteral("%1 は、記録の消去の途中で残ったコピーのようですが、%2\n成績ファイル %3 "
                           "の内容を確かめてから、このコピーを移すか消してください。それまで記録の"
                           "変更と消去はできません。")
                .arg(shown(copyPath), why, shown(path)));
    };

    // Every append looks here first: a pipe in place of the copy must not make it wait for a writer.
    if (!copyInfo.isFile())
        return foreign(QStringLiteral("ふつうのファイルではありません。"));
    const platform::Result<QByteArray> copyRead = platform::readFileBytes(copyPath);
    if (!copyRead)
        return app::failure(copyRead.failure().text);
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

    const app::Result<QByteArray> currentRead = readAllRecords(file, path);
    if (!currentRead)
        return currentRead.failure();
    const QByteArray &current = currentRead.value();
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

    const QByteArray rewrite = cut ? newRecords : newRecords + voidRecord();
    if (!file.writeAt(0, rewrite.constData(), rewrite.size()))
        return failLocked(QStringLiteral("成績ファイルに書き込めません"), path, file);
    if (!file.flushToDisk())
        return failLocked(QStringLiteral("成績ファイルをディスクに書き込めません"), path, file);
    const bool appended = have > count;
    if (!cut && !appended) {
        if (const app::Status cutShort = cutTo(file, path, count - 1))
            return *cutShort;
    }
    if (!QFile::remove(copyPath) && QFileInfo::exists(copyPath))
        return app::failure(QStringLiteral("復旧用のコピーを消せません：%1").arg(shown(copyPath)));
    if (!cut && appended) {
        // Records were appended after the void record, so it cannot be cut off the end: it is deleted
        // as any record is, with a recovery copy of its own.
        const app::Result<QByteArray> all = readAllRecords(file, path);
        if (!all)
            return all.failure();
        if (const app::Status deleted = deleteLocked(file, path, all.value(), count, voidRecord(), nullptr))
            return *deleted;
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

app::Result<Recovery> recoverLockedRewrite(platform::LockedFile &file, const QString &path)
{
    return recoverLocked(file, path);
}

app::Result<Recovery> recoverInterruptedRewrite(const QString &path, RetryWait &wait)
{
    if (!QFileInfo::exists(recoveryFilePath(path)))
        return Recovery::NothingToDo;
    platform::LockedFile file;
    if (const app::Status opened = openLocked(path, file, wait))
        return *opened;
    return recoverLocked(file, path);
}

app::Status deleteRecord(const QString &path, qint64 number, QByteArray opened, RetryWait &wait,
                         const RewriteProbe *probe)
{
    platform::LockedFile file;
    if (app::Status locked = openLocked(path, file, wait))
        return locked;
    reach(probe, RewriteStage::Locked);
    if (const app::Result<Recovery> recovered = recoverLocked(file, path); !recovered)
        return recovered.status();
    const app::Result<QByteArray> records = readAllRecords(file, path);
    if (!records)
        return records.status();
    return deleteLocked(file, path, records.value(), number, opened, probe);
}

app::Result<QByteArray> readRecord(const QString &path, qint64 number, RetryWait &wait)
{
    platform::LockedFile file;
    constexpr auto access = platform::LockedFile::Access::Read;
    if (!file.open(path, access))
        return failLocked(QStringLiteral("成績ファイルを開けません"), path, file);
    // A file system that cannot lock at all is read without the lock, as readers have always read it.
    if (lockResultsFile(file, path, access, platform::LockMode::Shared, wait) == Locking::Reopen)
        return failLocked(QStringLiteral("置き換えられた成績ファイルを開けません"), path, file);
    const qint64 count = lockedLength(file) / kRecordSize;
    if (number < 1 || number > count)
        return noSuchRecord(path, number, count);
    QByteArray bytes(kRecordSize, Qt::Uninitialized);
    if (!file.readAt((number - 1) * kRecordSize, bytes.data(), kRecordSize))
        return failLocked(QStringLiteral("成績ファイルを読めません"), path, file);
    return bytes;
}

app::Status changeRecord(const QString &path, qint64 number, QByteArray opened, qint16 student, qint32 time,
                         RetryWait &wait, const WriteProbe *probe)
{
    const auto reach = [probe](WriteStage stage) {
        if (probe && *probe)
            (*probe)(stage);
    };
    platform::LockedFile file;
    if (app::Status locked = openLocked(path, file, wait))
        return locked;
    reach(WriteStage::Locked);
    if (const app::Result<Recovery> recovered = recoverLocked(file, path); !recovered)
        return recovered.status();
    const qint64 length = lockedLength(file);
    if (length < 0)
        return failLocked(QStringLiteral("成績ファイルの長さを読めません"), path, file);
    const qint64 count = length / kRecordSize;
    if (number < 1 || number > count)
        return noSuchRecord(path, number, count);
    const qint64 offset = (number - 1) * kRecordSize;
    char bytes[kRecordSize];
    if (!file.readAt(offset, bytes, kRecordSize))
        return failLocked(QStringLiteral("成績ファイルを読めません"), path, file);
    if (opened.size() == kRecordSize && !sameRecord(bytes, opened.constData()))
        return recordChanged(path, number);
    reach(WriteStage::LengthRead);
    // Student, level (as it is) and time in one write of eight bytes, so that a crash changes both or
    // neither.
    qToLittleEndian<qint16>(student, bytes + kStudentOffset);
    qToLittleEndian<qint32>(time, bytes + kTimeOffset);
    if (!file.writeAt(offset + kStudentOffset, bytes + kStudentOffset, kTimeOffset + 4 - kStudentOffset))
        return failLocked(QStringLiteral("成績ファイルに書き込めません"), path, file);
    reach(WriteStage::Written);
    if (!file.flushToDisk())
        return failLocked(QStringLiteral("成績ファイルをディスクに書き込めません"), path, file);
    reach(WriteStage::Synced);
    return {};
}

} // namespace records
