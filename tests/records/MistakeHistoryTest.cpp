#include "records/MistakeHistory.h"
#include "platform/TextFile.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsFile.h"
#include "support/SizeLimitedChild.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using namespace records;
using namespace testing_support;

namespace {

AnsweredQuestion answer(const QString &idiom, int student = 7, bool reading = true, bool kanji = true,
                        int wrong = 0, bool timedOut = false, QDateTime when = {})
{
    AnsweredQuestion a;
    a.when = when.isValid() ? when : QDateTime(QDate(2026, 12, 8), QTime(15, 42));
    a.student = qint16(student);
    a.level = 4;
    a.idiom = idiom;
    a.readingFirstTry = reading;
    a.idiomFirstTry = kanji;
    a.wrongJudgements = wrong;
    a.timedOut = timedOut;
    return a;
}

// A record assembled at the documented offsets, independently of the encoder.
QByteArray rawAnswer(quint32 minute, qint16 student, quint8 level, quint8 flags, const char16_t *idiom)
{
    QByteArray b(16, '\0');
    std::memcpy(b.data(), &minute, 4); // the machines this runs on are little-endian, like the file
    std::memcpy(b.data() + 4, &student, 2);
    b[6] = char(level);
    b[7] = char(flags);
    for (int i = 0; i < 4 && idiom[i]; ++i)
        std::memcpy(b.data() + 8 + 2 * i, &idiom[i], 2);
    return b;
}

struct HistoryFolder
{
    QTemporaryDir dir;
    QString path = mistakeHistoryPath(dir.path() + u'/');
    records_test::ScriptedWait wait;

    app::Result<MistakeHistory> read() { return readMistakeHistory(path, wait); }
    QString append(const QList<AnsweredQuestion> &answers)
    {
        QString error;
        succeeded(appendAnswers(path, answers, wait), &error);
        return error;
    }
};

} // namespace

TEST(MistakeHistoryFormat, HeaderAndRecordHaveTheirDocumentedBytes)
{
    const QByteArray header("\x89YJH\r\n\x1a\n\x01\x00\x10\x00\x10\x00\x00\x00", 16);
    EXPECT_EQ(historyHeader(), header);

    // 2026-12-08 15:42 is day 46364 of the family's calendar: 46364 * 1440 + 942 minutes.
    const quint32 minute = 46364u * 1440u + 15u * 60u + 42u;
    // Reading wrong once at the first try, idiom right: flags 0b00001'010.
    EXPECT_EQ(encodeAnswer(answer(QStringLiteral("一石二鳥"), 7, false, true, 1)),
              rawAnswer(minute, 7, 4, 0x0a, u"一石二鳥"));
    // A time-out after two wrong readings: bits 2 and the count 2.
    EXPECT_EQ(encodeAnswer(answer(QStringLiteral("以心伝心"), 4999, false, false, 2, true)),
              rawAnswer(minute, 4999, 4, 0x14, u"以心伝心"));
    // Both right: bits 0 and 1, no count.
    EXPECT_EQ(encodeAnswer(answer(QStringLiteral("一期一会"))), rawAnswer(minute, 7, 4, 0x03, u"一期一会"));
}

TEST(MistakeHistoryFormat, AnswersComeBackAsTheyWereRecordedThroughTheFile)
{
    HistoryFolder h;
    const QList<AnsweredQuestion> answers = {
        answer(QStringLiteral("一石二鳥"), 7, false, false, 3),
        answer(QStringLiteral("温故知新"), 12, true, false, 1),
        answer(QStringLiteral("十人十色"), 5000, false, false, 1, true),
    };
    ASSERT_EQ(h.append(answers.mid(0, 1)), QString());
    ASSERT_EQ(h.append(answers.mid(1)), QString());
    const QByteArray bytes = readBytes(h.path);
    ASSERT_EQ(bytes.size(), 16 + 3 * 16);
    EXPECT_EQ(bytes.left(16), historyHeader());
    EXPECT_EQ(bytes.mid(16 + 16, 16), encodeAnswer(answers[1]));

    const app::Result<MistakeHistory> history = h.read();
    ASSERT_TRUE(history.ok()) << history.failure().text.toStdString();
    ASSERT_EQ(history.value().size(), 3);
    EXPECT_EQ(history.value().tornBytes(), 0);
    for (int i = 0; i < 3; ++i) {
        const AnsweredQuestion got = history.value().answer(i);
        EXPECT_EQ(got.when, answers[i].when);
        EXPECT_EQ(got.student, answers[i].student);
        EXPECT_EQ(got.level, answers[i].level);
        EXPECT_EQ(got.idiom, answers[i].idiom);
        EXPECT_EQ(got.readingFirstTry, answers[i].readingFirstTry);
        EXPECT_EQ(got.idiomFirstTry, answers[i].idiomFirstTry);
        EXPECT_EQ(got.wrongJudgements, answers[i].wrongJudgements);
        EXPECT_EQ(got.timedOut, answers[i].timedOut);
    }
    EXPECT_TRUE(h.wait.asked.empty());
}

TEST(MistakeHistoryFormat, ATornTailIsPassedOverByReadersAndCutOffByTheNextAppend)
{
    HistoryFolder h;
    const QByteArray whole = historyHeader() +
                             encodeAnswer(answer(QStringLiteral("一石二鳥"), 1, false, true, 1)) +
                             encodeAnswer(answer(QStringLiteral("温故知新"), 2, false, true, 1));
    writeBytes(h.path, whole + QByteArray(7, '\x55'));

    const app::Result<MistakeHistory> before = h.read();
    ASSERT_TRUE(before.ok());
    EXPECT_EQ(before.value().size(), 2);
    EXPECT_EQ(before.value().tornBytes(), 7);

    const AnsweredQuestion next = answer(QStringLiteral("十人十色"), 3);
    ASSERT_EQ(h.append({next}), QString());
    EXPECT_EQ(readBytes(h.path), whole + encodeAnswer(next));
}

TEST(MistakeHistoryFormat, AHeaderThatAPcDiedWritingIsWrittenAgainAndReadsAsNoAnswersYet)
{
    HistoryFolder h;
    writeBytes(h.path, historyHeader().left(5));
    const app::Result<MistakeHistory> empty = h.read();
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value().size(), 0);

    const AnsweredQuestion first = answer(QStringLiteral("一石二鳥"));
    ASSERT_EQ(h.append({first}), QString());
    EXPECT_EQ(readBytes(h.path), historyHeader() + encodeAnswer(first));
}

TEST(MistakeHistoryFormat, ADamagedHeaderIsReportedByNameAndNeverWrittenTo)
{
    QByteArray otherVersionOneSizes = historyHeader();
    otherVersionOneSizes[12] = 20; // version 1 with 20-byte records
    QByteArray noVersion = historyHeader();
    noVersion[8] = 0;
    const QByteArray damaged[] = {
        QByteArray("成績累積データのような、別のファイルの中身です").left(40),
        QByteArray("\x89YJH\n\x1a\n\x01\x00\x10\x00\x10\x00\x00\x00\x00", 16), // line ends changed
        otherVersionOneSizes,
        noVersion,
        QByteArray("XY", 2),
    };
    for (const QByteArray &bytes : damaged) {
        HistoryFolder h;
        const QByteArray content = bytes + encodeAnswer(answer(QStringLiteral("一石二鳥")));
        writeBytes(h.path, content);
        const app::Result<MistakeHistory> history = h.read();
        ASSERT_FALSE(history.ok());
        EXPECT_TRUE(history.failure().text.contains(QStringLiteral("見出しが壊れています")))
            << history.failure().text.toStdString();
        EXPECT_TRUE(history.failure().text.contains(platform::displayPath(h.path)));
        EXPECT_FALSE(history.failure().exitStatus.has_value());

        const QString error = h.append({answer(QStringLiteral("温故知新"))});
        EXPECT_TRUE(error.contains(QStringLiteral("書き足しません"))) << error.toStdString();
        EXPECT_TRUE(error.contains(platform::displayPath(h.path)));
        EXPECT_EQ(readBytes(h.path), content);
    }
}

TEST(MistakeHistoryFormat, ALaterVersionsLongerRecordsAreReadByTheirFirstBytesAndAppendedToWithZeros)
{
    HistoryFolder h;
    QByteArray header = historyHeader() + QByteArray(8, '\x77'); // a header field of version 2
    header[8] = 2;
    header[10] = 24;
    header[12] = 20;
    const QByteArray old =
        encodeAnswer(answer(QStringLiteral("一石二鳥"), 9, false, true, 1)) + "\x01\x02\x03\x04";
    writeBytes(h.path, header + old + "\x09\x09");

    const app::Result<MistakeHistory> history = h.read();
    ASSERT_TRUE(history.ok()) << history.failure().text.toStdString();
    EXPECT_EQ(history.value().version(), 2);
    ASSERT_EQ(history.value().size(), 1);
    EXPECT_EQ(history.value().tornBytes(), 2);
    EXPECT_EQ(history.value().answer(0).idiom, QStringLiteral("一石二鳥"));
    EXPECT_EQ(history.value().answer(0).student, 9);

    const AnsweredQuestion next = answer(QStringLiteral("温故知新"));
    ASSERT_EQ(h.append({next}), QString());
    EXPECT_EQ(readBytes(h.path), header + old + encodeAnswer(next) + QByteArray(4, '\0'));
}

TEST(MistakeHistoryFormat, AMissingFileOrFolderIsAFailureTheCallerGoesOnAfter)
{
    HistoryFolder h;
    const app::Result<MistakeHistory> none = h.read();
    ASSERT_FALSE(none.ok());
    EXPECT_TRUE(none.failure().text.contains(QStringLiteral("解答の記録はまだありません")));
    EXPECT_TRUE(none.failure().text.contains(platform::displayPath(h.path)));
    EXPECT_FALSE(none.failure().exitStatus.has_value());
    EXPECT_TRUE(h.wait.asked.empty()) << "a missing file in its folder is not waited for";

    // A data folder that is not there (a share that went away) is tried again as the results file is.
    const QString gone = mistakeHistoryPath(h.dir.path() + QStringLiteral("/なし/"));
    records_test::ScriptedWait wait;
    const app::Result<MistakeHistory> unreachable = readMistakeHistory(gone, wait);
    ASSERT_FALSE(unreachable.ok());
    EXPECT_EQ(wait.asked, (std::vector<int>{kMissingWaitMs, kMissingWaitMs, kMissingWaitMs}));
    EXPECT_TRUE(unreachable.failure().text.contains(platform::displayPath(gone)));

    QString error;
    EXPECT_FALSE(succeeded(appendAnswers(gone, {answer(QStringLiteral("一石二鳥"))}, wait), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("データフォルダ"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("ドリルはそのまま続けられます")));
    EXPECT_FALSE(QFileInfo::exists(gone));
}

// A write the system stops part way (a full disk, a quota): the failure is reported and the file holds
// what it held before, its torn tail cut off.
TEST(MistakeHistoryFormat, AWriteStoppedPartWayAddsNothing)
{
    HistoryFolder h;
    const QByteArray whole = historyHeader() + encodeAnswer(answer(QStringLiteral("一石二鳥")));
    const QList<AnsweredQuestion> three = {answer(QStringLiteral("温故知新")),
                                           answer(QStringLiteral("十人十色")),
                                           answer(QStringLiteral("以心伝心"))};
    for (const int room : {0, 9, 40}) {
        writeBytes(h.path, whole + "\x01\x02\x03");
        const testing_support::ChildOutcome outcome =
            testing_support::runWithFileSizeLimit(whole.size() + room, [&](QString *error) {
                return succeeded(appendAnswers(h.path, three, h.wait), error);
            });
        ASSERT_TRUE(outcome.exited) << "room " << room;
        EXPECT_FALSE(outcome.succeeded) << "room " << room;
        EXPECT_TRUE(outcome.text.contains(QStringLiteral("解答記録ファイルに書き込めません")))
            << outcome.text.toStdString();
        EXPECT_EQ(readBytes(h.path), whole) << "room " << room;
    }
}

TEST(MistakeHistoryFormat, AnImpossibleAnswerIsRefusedAndTheOthersAreWritten)
{
    HistoryFolder h;
    const AnsweredQuestion good = answer(QStringLiteral("一石二鳥"));
    AnsweredQuestion practice = answer(QStringLiteral("温故知新"));
    practice.level = 3;
    const QString error = h.append({good, practice});
    EXPECT_TRUE(error.contains(QStringLiteral("温故知新"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("レベル 3")));
    EXPECT_EQ(readBytes(h.path), historyHeader() + encodeAnswer(good));
}

TEST(MistakeHistoryFormat, WhatTheDrillCannotProduceIsImpossible)
{
    struct Case
    {
        const char *name;
        AnsweredQuestion answer;
        const char *problem; // empty: possible
    };
    AnsweredQuestion tooEarly = answer(QStringLiteral("一石二鳥"));
    tooEarly.when = QDateTime(QDate(1999, 12, 31), QTime(23, 59));
    AnsweredQuestion longIdiom = answer(QStringLiteral("一石二鳥です"));
    const Case cases[] = {
        {"both right", answer(QStringLiteral("一石二鳥")), ""},
        {"reading wrong four times, idiom wrong", answer(QStringLiteral("一石二鳥"), 7, false, false, 5), ""},
        {"time-out before anything was judged", answer(QStringLiteral("一石二鳥"), 7, false, false, 0, true),
         ""},
        {"time-out after the reading", answer(QStringLiteral("一石二鳥"), 7, true, false, 0, true), ""},
        {"reading wrong without a wrong judgement", answer(QStringLiteral("一石二鳥"), 7, false, true, 0),
         "間違いの数"},
        {"five wrong readings", answer(QStringLiteral("一石二鳥"), 7, false, true, 5), "間違いの数"},
        {"idiom wrong without a wrong judgement", answer(QStringLiteral("一石二鳥"), 7, true, false, 0),
         "間違いの数"},
        {"time-out with the idiom right", answer(QStringLiteral("一石二鳥"), 7, true, true, 0, true),
         "時間切れ"},
        {"student 0", answer(QStringLiteral("一石二鳥"), 0), "生徒番号 0"},
        {"student 5001", answer(QStringLiteral("一石二鳥"), 5001), "生徒番号 5001"},
        {"before 2000", tooEarly, "2000 年"},
        {"six characters", longIdiom, "熟語"},
        {"no idiom", answer(QString()), "熟語"},
    };
    for (const Case &c : cases) {
        const QString problem = answerProblem(c.answer);
        if (*c.problem == '\0')
            EXPECT_EQ(problem, QString()) << c.name;
        else
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.problem)))
                << c.name << ": " << problem.toStdString();
    }
}

// Writers in real processes, each appending its answers one by one as a drill does, with the real
// lock: every answer is in the file once and whole.
TEST(MistakeHistoryBetweenProcesses, ConcurrentAppendsLoseNothing)
{
    HistoryFolder h;
    constexpr int kWriters = 4;
    constexpr int kEach = 150;
    std::vector<pid_t> children;
    for (int w = 1; w <= kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ResponsiveWait real;
            for (int i = 0; i < kEach; ++i) {
                // The sequence number rides in the time of day, the writer in the student number.
                const QDateTime when = QDateTime(QDate(2026, 12, 1), QTime(0, 0)).addSecs(qint64(i) * 60);
                if (appendAnswers(
                        h.path, {answer(QStringLiteral("一石二鳥"), w, false, false, 2, false, when)}, real))
                    _exit(2);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const app::Result<MistakeHistory> history = h.read();
    ASSERT_TRUE(history.ok());
    ASSERT_EQ(history.value().size(), kWriters * kEach);
    EXPECT_EQ(history.value().tornBytes(), 0);
    QSet<int> seen;
    const quint32 start = minuteOf(QDateTime(QDate(2026, 12, 1), QTime(0, 0)));
    for (qint64 i = 0; i < history.value().size(); ++i) {
        const AnsweredQuestion a = history.value().answer(i);
        ASSERT_EQ(a.idiom, QStringLiteral("一石二鳥")) << "record " << i + 1;
        ASSERT_EQ(a.wrongJudgements, 2);
        const int key = a.student * 10000 + int(minuteOf(a.when) - start);
        EXPECT_FALSE(seen.contains(key)) << "twice: writer " << a.student;
        seen.insert(key);
    }
    EXPECT_EQ(seen.size(), kWriters * kEach);
}
