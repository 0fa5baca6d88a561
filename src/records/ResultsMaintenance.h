#pragma once

#include "app/Failure.h"
#include "platform/FileLock.h"
#include "records/ResultsFile.h"
#include "records/RetryWait.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

// The teacher's changes to the results file: deleting one record, and changing the time and the student
// of one record. Drills on other PCs append to the same file at any moment, so every change holds the
// whole-file lock (exclusive) from reading the file to the last byte written.
//
// A deletion moves the records after the deleted one down by one place, in place, and cuts the file
// by one record. Before the first byte of the file is changed, a recovery copy "成績累積データtemp.dat"
// is written beside it (written whole under another name and then renamed, so that it is either
// complete or absent): the old records followed by one journal record that names the deleted record.
// The copy is removed only when the rewrite is complete and on the disk.
//
// A crash (or a kill) during the rewrite leaves the copy. Whoever takes the lock next to write (a change,
// a deletion, an append) finishes the deletion from it before writing (recoverLockedRewrite). Once the
// crashed writer's lock is gone, another PC may already have appended to the half-rewritten file: where the
// appended records start depends on whether the file was already cut, and the file says so itself: just
// before it is cut, the place of the old last record holds a void record (level 0, student 0, a negative
// date: every reader of the family skips it), a record that no drill ever writes. So recovery always ends
// with the new records followed by every record appended meanwhile.
namespace records {

inline constexpr const char16_t *kRecoveryFileName = u"成績累積データtemp.dat";

// The recovery copy's path: beside the results file at `resultsPath`.
QString recoveryFilePath(const QString &resultsPath);

// Whether 44 record bytes are the void record that a deletion puts at the old end of the file just
// before it cuts it (and that stays there only when a recovery finds records appended after it, until
// the recovery has removed it too).
bool isVoidRecord(const char *bytes);
QByteArray voidRecord();

// Where a rewrite has come to, for tests that stop a writer at each stage. A deletion passes them in
// this order; RecordsMoved once after each piece of the records moved.
enum class RewriteStage {
    Locked,       // the lock is held, nothing written yet
    CopyPart,     // part of the recovery copy is written under its temporary name
    CopyWritten,  // the recovery copy is complete
    RecordsMoved, // a piece of the records after the deleted one is moved down
    VoidWritten,  // every record is moved and the void record written at the old end
    Synced,       // the moved records are on the disk
    Truncated,    // the file is cut by one record and that is on the disk
    CopyRemoved   // the recovery copy is gone; the lock is still held
};

struct RewriteProbe
{
    std::function<void(RewriteStage)> reached;
    qint64 pieceBytes = 1024 * 1024; // the records are moved and the copy written in pieces of this size
};

// Deletes record `number` (1-based) of the results file at `path`. `opened` is the record's 44 bytes as
// the teacher opened it (empty: no check): when the record at that number is no longer the same record
// (the same date, time of day, level and texts), nothing is written and the message says so. The bytes
// are taken by value: the caller's may change while the deletion waits for the lock. A recovery
// copy left by an earlier crash is finished first. On failure returns a message that names the file;
// the results file is then unchanged, or recoverable from the copy (the message says so).
app::Status deleteRecord(const QString &path, qint64 number, QByteArray opened, RetryWait &wait,
                         const RewriteProbe *probe = nullptr);

// Sets the student and the time of record `number`, writing those bytes only, under the lock; the
// record must still be the one opened (as for deleteRecord). Nothing else of the file changes.
// `probe` is told each step (see WriteStage).
app::Status changeRecord(const QString &path, qint64 number, QByteArray opened, qint16 student, qint32 time,
                         RetryWait &wait, const WriteProbe *probe = nullptr);

// Reads record `number` (1-based, its 44 bytes) under the shared lock, waiting while a writer holds it.
app::Result<QByteArray> readRecord(const QString &path, qint64 number, RetryWait &wait);

enum class Recovery {
    NothingToDo, // there is no recovery copy
    Completed    // an interrupted deletion was finished and the copy removed
};

// Finishes a deletion that a crash interrupted, when its recovery copy is there. A copy that this
// program did not write, or that does not fit the results file, is left alone (a failure with a message
// naming it, nothing changed): then no deletion runs until a person has looked at it.
app::Result<Recovery> recoverInterruptedRewrite(const QString &path, RetryWait &wait);

// The same for a writer that holds the exclusive lock of the results file on `file` (opened from
// `path`), before it writes: the rewrite is finished on that descriptor, under that lock.
app::Result<Recovery> recoverLockedRewrite(platform::LockedFile &file, const QString &path);

// Whether two records are the same record, whatever their student and time.
bool sameRecord(const char *a, const char *b);

} // namespace records
