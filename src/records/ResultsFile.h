#pragma once

#include "app/CurrentRun.h"
#include "app/Failure.h"
#include "app/PathsAndSettings.h"
#include "app/Services.h"
#include "drill/Catalogue.h"
#include "platform/FileLock.h"
#include "records/ResultRecord.h"
#include "records/Results.h"
#include "records/RetryWait.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cmath>
#include <functional>

// The accumulated results file "成績累積データ.dat" in the data folder: a plain sequence of 44-byte
// records (ResultRecord.h) that drills only ever extend. Several classroom PCs share it, so every access
// holds the whole-file lock on the descriptor that does the I/O: appends (and changes in place)
// exclusive, readers shared. Whoever meets another holder waits for it in the kernel (so the lock goes
// to a waiter the moment it is free, and a busy classroom does not queue up whole seconds), for as long
// as it takes; the user interface keeps responding meanwhile, and after about a second the waiting panel
// says that another PC is using the file. Once the lock is held, the path must still name the locked
// file (a tool may have moved a rebuilt file over it); otherwise the file is opened and locked again.
//
// The file is never opened a second time inside the process while it is locked: each routine opens it
// once, does its work on that descriptor and closes it.
namespace records {

inline constexpr const char16_t *kResultsFileName = u"成績累積データ.dat";
inline constexpr int kReadFailureExitStatus = 1; // the program's end after the reader's failure
inline constexpr int kRecordWindow = 20000;      // the reader keeps at most the last 20000 records
inline constexpr int kLockWaitMs = 1000;         // wait before trying a held lock again
inline constexpr int kMissingWaitMs = 5000;      // wait before reading an unreachable file again
inline constexpr int kMissingFailures = 4;       // the fourth unreachable reading in a row is fatal

QString resultsFilePath(const QString &dataFolder);

// What the reader of the results file uses of the shared state: the data folder and the number of the
// file routine (from the settings), and the program's title for its messages (from the catalogue).
struct ResultsFilePlace
{
    app::PathsAndSettings &settings;
    const drill::Catalogue &catalogue;
};

// Opens the results file for record access; an empty file is created when there is none. Fails (with
// a message naming the file) when the data folder is missing or the file cannot be opened for writing.
app::Status openResultsFile(const QString &path, platform::LockedFile &file);

// How taking the lock of the results file ended.
enum class Locking {
    Locked,     // the lock is held on a descriptor of the file that the path names
    CannotLock, // the file system cannot lock this file at all (the error number is in the file)
    Reopen      // the file was replaced meanwhile and could not be opened again (likewise)
};

// Takes the lock of `file`, opened from `path` with `access`, waiting while another holder has it:
// in the kernel where it can (so that the lock goes to a waiter the moment it is free, in the order
// the writers came), in slices that keep the user interface responding, with the notice after about
// a second. Once the lock is held, the path must still name the locked file: a tool that rebuilds the
// file moves a new one over the name, and what is written to the old one is lost. Then the file is
// opened again and locked again. Every reader and writer of the results file locks through here.
Locking lockResultsFile(platform::LockedFile &file, const QString &path, platform::LockedFile::Access access,
                        platform::LockMode mode, RetryWait &wait);

// The length of the locked `file` as the file server has it, -1 on failure (see the file's error). An
// SMB client that has a file open for writing takes a new length from the server only when it is
// longer than the one it knows: after another PC has made the file shorter (a deletion, a torn tail
// cut off), the length it reports still counts the bytes that went, and a record written there would
// leave a gap of zero bytes before it. So the byte before the reported end is read (reads go to the
// server); when it is not there, the real end is found by reading. Every writer and reader of the
// results file and of the answer history takes the length through here.
qint64 lockedLength(platform::LockedFile &file);
// The search of lockedLength: the real length of a file that reports `reported` bytes, where
// `byteBefore(end)` reads the byte before `end` and says 1 (there), 0 (the file ends before it) or -1
// (an error, which the search returns).
qint64 realLength(qint64 reported, const std::function<qint64(qint64 end)> &byteBefore);

// The steps of an append and of a change in place, for checks that stop a writer at each of them (a
// PC powered off there, its network cable pulled there).
enum class WriteStage {
    Locked,     // the exclusive lock is held on the file the path names
    LengthRead, // the length (a change: the record) is read; nothing written yet
    Written,    // the bytes are written, not yet known to be on the disk
    Synced      // the bytes are on the disk; the lock is still held
};
using WriteProbe = std::function<void(WriteStage)>;

// Writes the records after the last whole record of the file (a partial record left at the end by a
// crash is overwritten), holding the exclusive lock from taking the length until the records are on
// the disk. Waits while another holder has the lock. A deletion that a crash interrupted (its recovery
// copy is there) is finished first, under the same lock, so that no reader counts a record twice.
app::Status appendRecords(const QString &path, const QList<ResultRecord> &records, RetryWait &wait,
                          const WriteProbe *probe = nullptr);

// Changes record `number` (1-based) in place, under the exclusive lock, for the teacher's records
// browser: nothing else of the file is touched (an interrupted deletion is finished first, as for
// appends). Fails with a message when the file has no such record.
app::Status rewriteRecord(const QString &path, qint64 number, const ResultRecord &record, RetryWait &wait);

// Appends one record for the current run: today's date and the time of day from the services' clock,
// the run's student and level, `resultTime` and the school code. On failure returns "成績の記録" with a
// message naming the file; nothing is written then, or a partial record that the next append overwrites.
// The services' wait is waited with unless another is given.
app::Status appendResult(app::PathsAndSettings &settings, Services &services, const app::CurrentRun &run,
                         qint32 resultTime);
app::Status appendResult(app::PathsAndSettings &settings, Services &services, const app::CurrentRun &run,
                         qint32 resultTime, RetryWait &wait);

// Reads the last 20000 records into the results arrays and computes the bests. A missing file in an
// existing folder reads as empty. While the file cannot be reached at all (its folder is missing, its
// network share does not answer) it is tried again every five seconds; the fourth failure in a row
// returns "ファイルがありません…". Any other failure returns the file routine's message. Both end the
// program (exit status 1) when reported; the results arrays are left as they were.
app::Status readResults(const ResultsFilePlace &place, Results &results, RetryWait &wait);

// The bytes of the last 20000 records for readResults and the statistics, with readResults' waiting
// and failures.
app::Result<QByteArray> readResultsWindow(const ResultsFilePlace &place, RetryWait &wait);

// The message of a failure of the reader other than a missing or locked file: "成績ランダムファイル表示",
// the step, the error number, its description, the number again and the record fields it was at (none
// yet), all run together, then the file's path on a line of its own.
QString otherErrorMessage(const QString &path, int step, int errorNumber);

// The core of readResults: fills the results arrays and bests from `count` records of bytes (the
// window already cut). Records whose level is outside 0 to 35 or whose student is outside 0 to 5000
// are outside the tables and skipped.
void loadResults(const char *data, qint64 count, Results &results);

// What loadResults does, one record at a time, so that the statistics can do their own work on each
// record in the same pass over the bytes rather than walking the results arrays again afterwards.
// Construct (resets the bests), add every record of the window in order, then finish.
class ResultsLoader
{
public:
    // A record that stays in the results arrays: level 1 to 35, student 1 to 5000, a date from 0.
    struct Kept
    {
        int level;
        int student;
        qint32 time;
        double date;
    };

    explicit ResultsLoader(Results &results);

    // Asks for the personal best of a record that add() will take soon (the bests lie scattered over
    // most of a megabyte); any level and student. Always inlined: GCC drops calls to a function that
    // only prefetches.
    Q_ALWAYS_INLINE void ahead(int level, int student) const
    {
#if defined(__GNUC__)
        if (level >= 0 && level <= kMaxLevel && student >= 0 && student <= kMaxStudentNumber)
            __builtin_prefetch(m_bests + std::size_t(level) * kStudentSlots + std::size_t(student), 1);
#else
        (void)level;
        (void)student;
#endif
    }

    // Takes the next record of the window (kRecordSize bytes); true when it stays in the arrays.
    // Always inlined into the loops over the records, where a call per record would cost more than
    // the work.
    Q_ALWAYS_INLINE bool add(const char *bytes, Kept &kept);

    // Sets recordCount and the overall bests.
    void finish();

private:
    Results &m_results;
    int m_kept = 0;
    qint32 *m_bests;
    qint8 *m_hasResults;
    qint16 *m_highestLevel;
};

bool ResultsLoader::add(const char *bytes, Kept &kept)
{
    const int level = recordLevel(bytes);
    const int student = recordStudent(bytes);
    if (level < 0 || level > kMaxLevel || student < 0 || student > kMaxStudentNumber)
        return false;
    const qint32 time = recordTime(bytes);
    qint32 &best = m_bests[std::size_t(level) * kStudentSlots + std::size_t(student)];
    best = std::min(best, time);
    m_hasResults[student] = 1;
    // Records of student 0, level 0 or a date before the calendar's start (or no date at all) set a
    // best that nothing uses, but do not stay in the arrays.
    const double date = recordDate(bytes);
    if (!(std::isfinite(date) && date >= 0.0) || student == 0 || level < 1)
        return false;
    const int at = ++m_kept;
    m_results.recDate[at] = date;
    m_results.recClock[at] = recordClock(bytes);
    m_results.recStudent[at] = qint16(student);
    m_results.recLevel[at] = qint16(level);
    m_results.recResultTime[at] = time;
    m_results.recMode[at] = recordMode(bytes);
    if (level > m_highestLevel[student])
        m_highestLevel[student] = qint16(level);
    kept = {level, student, time, date};
    return true;
}

// The last `maxCount` whole records (fewer when the file is shorter), under the shared lock, waiting
// while a writer holds it. A missing file in an existing folder gives an empty list. A failure's message
// names the file.
app::Result<QList<ResultRecord>> readLastRecords(const QString &path, int maxCount, RetryWait &wait);

// Where reading the last records' bytes ended.
enum class ReadOutcome {
    Read,        // *bytes holds the records (none for a missing file in an existing folder)
    Unreachable, // the file's folder does not exist, or its network share does not answer
    OpenFailed,  // the file is there but could not be opened; see *errorNumber
    ReadFailed   // opened, but its length or its bytes could not be read
};

// The bytes of the last `maxCount` whole records under the shared lock. *firstRecord is the 1-based
// number of the first of them in the file, *totalRecords the number of whole records in the file.
ReadOutcome readLastRecordBytes(const QString &path, int maxCount, RetryWait &wait, QByteArray *bytes,
                                qint64 *firstRecord, qint64 *totalRecords, int *errorNumber);

} // namespace records
