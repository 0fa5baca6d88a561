#include "records/ResultsFile.h"

#include "drill/LevelCatalogue.h"
#include "platform/DateSerial.h"
#include "platform/TextFile.h"
#include "records/ResultsMaintenance.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>

namespace records {

namespace {

// Numbers of the reader's steps, shown in its messages so that a teacher's report says where it failed.
constexpr int kStepOpen = 2;
constexpr int kStepRead = 5;

bool folderExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

// What the waiting panel says while another PC holds the results file, or while its place cannot
// be reached.
const QString &busyLine()
{
    static const QString line = QStringLiteral("ほかのパソコンが成績ファイルを使っています。");
    return line;
}
const QString &unreachableLine()
{
    static const QString line = QStringLiteral("成績ファイルのある場所に届きません。待っています。");
    return line;
}

// Tells the wait's notice, once, that a wait has gone on for about a second, and that it is over.
class LongWait
{
public:
    explicit LongWait(RetryWait &wait) : m_wait(wait) {}
    ~LongWait()
    {
        if (m_shown)
            m_wait.longWaitEnds();
    }
    void show(const QString &line)
    {
        if (!m_shown)
            m_wait.longWaitBegins(line);
        m_shown = true;
    }

private:
    RetryWait &m_wait;
    bool m_shown = false;
};

// Sets `count` cells to `value` in blocks of 64 bytes: a plain fill of the 180000 bests is compiled to
// one 4-byte store at a time, which costs more than the rest of the reading.
void fillBlocks(qint32 *cells, std::size_t count, qint32 value)
{
    constexpr std::size_t kBlock = 16;
    std::array<qint32, kBlock> block;
    block.fill(value);
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        std::memcpy(cells + i, block.data(), sizeof block);
    for (; i < count; ++i)
        cells[i] = value;
}

// Whole seconds, as the time of day the family's programs record.
double clockOfDay(const QTime &time)
{
    return time.isValid() ? (time.msecsSinceStartOfDay() / 1000) / 86400.0 : 0.0;
}

} // namespace

Locking lockResultsFile(platform::LockedFile &file, const QString &path, platform::LockedFile::Access access,
                        platform::LockMode mode, RetryWait &wait)
{
    LongWait notice(wait);
    for (;;) {
        platform::LockResult result = file.tryLock(mode);
        while (result == platform::LockResult::HeldByOther) {
            if (wait.waitForLock(kLockWaitMs, [&](int sliceMs) {
                    result = file.lock(mode, sliceMs);
                    return result != platform::LockResult::HeldByOther;
                }))
                break;
            notice.show(busyLine());
        }
        if (result != platform::LockResult::Locked)
            return Locking::CannotLock;
        if (file.isStillNamed(path))
            return Locking::Locked;
        file.close();
        if (!file.open(path, access))
            return Locking::Reopen;
    }
}

qint64 realLength(qint64 reported, const std::function<qint64(qint64 end)> &byteBefore)
{
    if (reported <= 0)
        return reported;
    const qint64 last = byteBefore(reported);
    if (last != 0)
        return last < 0 ? -1 : reported;
    // The real length lies in [low, high]: a binary search, one read of a byte each step.
    qint64 low = 0;
    qint64 high = reported - 1;
    while (low < high) {
        const qint64 middle = low + (high - low + 1) / 2;
        const qint64 there = byteBefore(middle);
        if (there < 0)
            return -1;
        if (there == 1)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

qint64 lockedLength(platform::LockedFile &file)
{
    char byte;
    return realLength(file.size(), [&](qint64 end) { return file.readUpTo(end - 1, &byte, 1); });
}

QString resultsFilePath(const QString &dataFolder)
{
    return dataFolder + QString::fromUtf16(kResultsFileName);
}

app::Status openResultsFile(const QString &path, platform::LockedFile &file)
{
    if (file.open(path, platform::LockedFile::Access::ReadWriteCreate))
        return {};
    QString error = QStringLiteral("成績ファイルを開けません：%1\n%2")
                        .arg(platform::displayPath(path), file.errorDescription());
    if (!folderExists(path))
        error += QStringLiteral("（データフォルダ %1 がありません）")
                     .arg(platform::displayPath(QFileInfo(path).absolutePath()));
    return app::failure(error);
}

namespace {

// The write of appends and of changes in place: the exclusive lock (waiting while another holder has
// it), the length taken under the lock, the bytes written where `place` puts them for that length,
// then on the disk before the lock goes. `place` fails (with its message) when there is no place.
app::Status writeUnderLock(platform::LockedFile &file, const QString &path,
                           platform::LockedFile::Access access, const QByteArray &bytes, RetryWait &wait,
                           const std::function<app::Result<qint64>(qint64 length)> &place,
                           const WriteProbe *probe)
{
    const auto reach = [probe](WriteStage stage) {
        if (probe && *probe)
            (*probe)(stage);
    };
    const auto fail = [&](const QString &what) {
        return app::failure(
            QStringLiteral("%1：%2\n%3").arg(what, platform::displayPath(path), file.errorDescription()));
    };
    switch (lockResultsFile(file, path, access, platform::LockMode::Exclusive, wait)) {
    case Locking::Locked:
        break;
    case Locking::CannotLock:
        return fail(QStringLiteral("成績ファイルをロックできません"));
    case Locking::Reopen:
        return fail(QStringLiteral("置き換えられた成績ファイルを開けません"));
    }
    // A deletion that a crash stopped half way is finished before anything else is written: drills
    // would otherwise count its doubled record until a teacher tool runs. When it cannot be finished
    // (a copy this program did not write, a failing disk), the records are written all the same: a
    // drill's result is never lost for it, and the teacher tool says what is wrong with the copy.
    reach(WriteStage::Locked);
    (void)recoverLockedRewrite(file, path);
    const qint64 length = lockedLength(file);
    if (length < 0)
        return fail(QStringLiteral("成績ファイルの長さを読めません"));
    const app::Result<qint64> placed = place(length);
    if (!placed)
        return placed.status();
    const qint64 offset = placed.value();
    reach(WriteStage::LengthRead);
    if (!file.writeAt(offset, bytes.constData(), bytes.size())) {
        const QString failure = file.errorDescription();
        // An append stopped part way (a full disk, a quota) is cut off again, so that a failure
        // reported to the student has added nothing, not even a partial record. The cut goes through
        // the locked descriptor, never by name.
        if (offset >= length / kRecordSize * kRecordSize)
            file.resize(std::max(offset, length));
        return app::failure(
            QStringLiteral("%1：%2\n%3")
                .arg(QStringLiteral("成績ファイルに書き込めません"), platform::displayPath(path), failure));
    }
    reach(WriteStage::Written);
    if (!file.flushToDisk())
        return fail(QStringLiteral("成績ファイルをディスクに書き込めません"));
    reach(WriteStage::Synced);
    file.unlock();
    file.close();
    return {};
}

} // namespace

app::Status appendRecords(const QString &path, const QList<ResultRecord> &records, RetryWait &wait,
                          const WriteProbe *probe)
{
    platform::LockedFile file;
    if (app::Status opened = openResultsFile(path, file))
        return opened;
    QByteArray bytes;
    bytes.reserve(records.size() * kRecordSize);
    for (const ResultRecord &record : records)
        bytes += encodeRecord(record);
    // The records go right after the last whole one: a partial record that a crash left at the end is
    // overwritten, and two writers never share a slot.
    return writeUnderLock(
        file, path, platform::LockedFile::Access::ReadWriteCreate, bytes, wait,
        [](qint64 length) -> app::Result<qint64> { return length / kRecordSize * kRecordSize; }, probe);
}

app::Status rewriteRecord(const QString &path, qint64 number, const ResultRecord &record, RetryWait &wait)
{
    platform::LockedFile file;
    if (!file.open(path, platform::LockedFile::Access::ReadWrite))
        return app::failure(QStringLiteral("成績ファイルを開けません：%1\n%2")
                                .arg(platform::displayPath(path), file.errorDescription()));
    const auto place = [&](qint64 length) -> app::Result<qint64> {
        if (number >= 1 && number <= length / kRecordSize)
            return (number - 1) * kRecordSize;
        return app::failure(QStringLiteral("%1 に %2 番目の記録はありません（%3 件です）。")
                                .arg(platform::displayPath(path))
                                .arg(number)
                                .arg(length / kRecordSize));
    };
    return writeUnderLock(file, path, platform::LockedFile::Access::ReadWrite, encodeRecord(record), wait,
                          place, nullptr);
}

app::Status appendResult(app::PathsAndSettings &settings, Services &services, const app::CurrentRun &run,
                         qint32 resultTime)
{
    return appendResult(settings, services, run, resultTime, services.wait);
}

app::Status appendResult(app::PathsAndSettings &settings, Services &services, const app::CurrentRun &run,
                         qint32 resultTime, RetryWait &wait)
{
    ++settings.fileNumber;
    const QDateTime now = services.clock.now();
    const ResultRecord record =
        newRecord(platform::dateSerial(now.date()), clockOfDay(now.time()), run.studentNumber,
                  run.currentLevel, resultTime, settings.schoolCode);
    return app::titled(appendRecords(resultsFilePath(settings.dataFolder), {record}, wait),
                       QStringLiteral("成績の記録"), platform::MessageBoxes::Icon::Critical);
}

ReadOutcome readLastRecordBytes(const QString &path, int maxCount, RetryWait &wait, QByteArray *bytes,
                                qint64 *firstRecord, qint64 *totalRecords, int *errorNumber)
{
    bytes->clear();
    *firstRecord = 1;
    *totalRecords = 0;
    *errorNumber = 0;
    platform::LockedFile file;
    const auto openFailed = [&] {
        *errorNumber = file.errorNumber();
        if (platform::LockedFile::isNotFound(file.errorNumber()))
            // No file yet in a folder that is there: nothing has been recorded. The reader writes
            // nothing, so the file is left to the first append to create.
            return folderExists(path) && file.errorNumber() == ENOENT ? ReadOutcome::Read
                                                                      : ReadOutcome::Unreachable;
        if (platform::LockedFile::isUnreachable(file.errorNumber()))
            return ReadOutcome::Unreachable;
        return ReadOutcome::OpenFailed;
    };
    constexpr auto access = platform::LockedFile::Access::Read;
    if (!file.open(path, access))
        return openFailed();
    // A file system that cannot lock at all is read without the lock, as readers of the family always
    // have read it.
    if (lockResultsFile(file, path, access, platform::LockMode::Shared, wait) == Locking::Reopen)
        return openFailed();

    const qint64 length = lockedLength(file);
    if (length < 0) {
        *errorNumber = file.errorNumber();
        return ReadOutcome::ReadFailed;
    }
    const qint64 total = length / kRecordSize;
    const qint64 first = std::max<qint64>(0, total - std::max(maxCount, 0));
    const qint64 count = total - first;
    bytes->resize(count * kRecordSize);
    if (count > 0 && !file.readAt(first * kRecordSize, bytes->data(), bytes->size())) {
        *errorNumber = file.errorNumber();
        bytes->clear();
        return ReadOutcome::ReadFailed;
    }
    file.close();
    *firstRecord = first + 1;
    *totalRecords = total;
    return ReadOutcome::Read;
}

ResultsLoader::ResultsLoader(Results &results)
    : m_results(results), m_bests(results.personalBest.data()), m_hasResults(results.hasResults.data()),
      m_highestLevel(results.highestLevel.data())
{
    std::fill(results.hasResults.begin(), results.hasResults.end(), 0);
    fillBlocks(m_bests, std::size_t(kLevelSlots) * kStudentSlots, kTimeOut);
}

void ResultsLoader::finish()
{
    m_results.recordCount = m_kept;
    for (int level = 1; level <= kMaxLevel; ++level) {
        const qint32 *bests = m_bests + std::size_t(level) * kStudentSlots;
        qint32 best = kTimeOut;
        for (int student = 1; student <= 1000; ++student)
            best = std::min(best, bests[student]);
        m_results.overallBest[level] = best;
    }
}

void loadResults(const char *data, qint64 count, Results &results)
{
    ResultsLoader loader(results);
    ResultsLoader::Kept kept;
    for (qint64 i = 0; i < count; ++i)
        loader.add(data + i * kRecordSize, kept);
    loader.finish();
}

QString otherErrorMessage(const QString &path, int step, int errorNumber)
{
    // Run together piece by piece: a description or a path may itself hold "%1", and an error number
    // after a placeholder must not be read as part of it.
    const QString number = QString::number(errorNumber);
    const QString stepText = QString::number(step);
    return QStringLiteral("成績ランダムファイル表示") + stepText + number +
           platform::LockedFile::describeError(errorNumber) + number + QStringLiteral("/date") +
           QStringLiteral("/i=0") + QStringLiteral("/time=") + QStringLiteral("/name=") +
           QStringLiteral("/Bangou=0") + QStringLiteral("/level=0") + QStringLiteral("/time=0") +
           QStringLiteral("line") + stepText + u'\n' + platform::displayPath(path);
}

app::Result<QByteArray> readResultsWindow(const ResultsFilePlace &place, RetryWait &wait)
{
    QByteArray window;
    QByteArray *bytes = &window;
    const QString path = resultsFilePath(place.settings.dataFolder);
    qint64 first = 0;
    qint64 total = 0;
    int errorNumber = 0;
    int unreachable = 0;
    LongWait notice(wait);
    for (;;) {
        ++place.settings.fileNumber;
        const ReadOutcome outcome =
            readLastRecordBytes(path, kRecordWindow, wait, bytes, &first, &total, &errorNumber);
        if (outcome == ReadOutcome::Read)
            return window;
        if (outcome == ReadOutcome::Unreachable) {
            if (++unreachable < kMissingFailures) {
                notice.show(unreachableLine());
                wait.wait(kMissingWaitMs, {});
                continue;
            }
            return app::Failure{catalogue::messageTitle(place.catalogue),
                                QStringLiteral("ファイルがありません%1%2%3\n%4")
                                    .arg(kStepOpen)
                                    .arg(platform::LockedFile::describeError(errorNumber))
                                    .arg(errorNumber)
                                    .arg(platform::displayPath(path)),
                                platform::MessageBoxes::Icon::Critical, kReadFailureExitStatus, false};
        }
        // The routine's message: where it stopped, the error, and the record it was at (none yet).
        const int step = outcome == ReadOutcome::OpenFailed ? kStepOpen : kStepRead;
        return app::Failure{catalogue::messageTitle(place.catalogue),
                            otherErrorMessage(path, step, errorNumber),
                            platform::MessageBoxes::Icon::Critical, kReadFailureExitStatus, false};
    }
}

app::Status readResults(const ResultsFilePlace &place, Results &results, RetryWait &wait)
{
    const app::Result<QByteArray> bytes = readResultsWindow(place, wait);
    if (!bytes)
        return bytes.status();
    loadResults(bytes.value().constData(), bytes.value().size() / kRecordSize, results);
    return {};
}

app::Result<QList<ResultRecord>> readLastRecords(const QString &path, int maxCount, RetryWait &wait)
{
    QByteArray bytes;
    qint64 first = 0;
    qint64 total = 0;
    int errorNumber = 0;
    const ReadOutcome outcome =
        readLastRecordBytes(path, maxCount, wait, &bytes, &first, &total, &errorNumber);
    if (outcome != ReadOutcome::Read)
        return app::failure(
            QStringLiteral("成績ファイルを読めません：%1\n%2")
                .arg(platform::displayPath(path), platform::LockedFile::describeError(errorNumber)));
    QList<ResultRecord> records;
    const qint64 count = bytes.size() / kRecordSize;
    records.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        records.append(decodeRecord(bytes.constData() + i * kRecordSize));
    return records;
}

} // namespace records
