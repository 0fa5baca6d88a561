#pragma once

#include "drill/Question.h"
#include "platform/DateSerial.h"
#include "records/ResultRecord.h"
#include "records/ResultsFile.h"
#include "startup/LoadSettings.h"
#include "startup/StartupRules.h"
#include "startup/forms/MainWindow.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QList>

#include <gtest/gtest.h>

#include <memory>

namespace testing_support {

// An installation with a roster, a sound set, the idioms of range 1 and (on request) results, loaded as the
// start-up loads it, and the program's window over it. The fake clock stands on Tuesday 8 December 2026,
// 15:30, in school year 2026 (the school year starts in April).
struct TestSchool
{
    Installation inst;
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    std::unique_ptr<MainWindow> window;

    explicit TestSchool(const QStringList &roster = rosterLines())
    {
        if (!roster.isEmpty())
            writeFile932(rosterFile(), roster);
        writeFile932(inst.soundFolder + QStringLiteral("新音ファイル.txt"),
                     {QStringLiteral("正解音2,pin,*"), QStringLiteral("間違い音2,bu,*")});
        QString error;
        EXPECT_TRUE(startup::loadSettings(*state, inst.applicationFolder, QDir::separator(), &error))
            << error.toStdString();
        state->settings.seasonColour =
            startup::seasonColour(fakes.clock.now().date().month()); // as the splash sets it
        writeIdiomFile(inst.applicationFolder, rangeOne(), 1);
        window = std::make_unique<MainWindow>(*state, fakes.services, inst.applicationFolder);
        window->show();
    }

    QString rosterFile() const { return inst.baseFolder + QStringLiteral("新名簿.txt"); }
    QString resultsFile() const { return records::resultsFilePath(inst.dataFolder); }

    // Writes the results file with these records.
    void writeRuns(const QList<records::ResultRecord> &runs) const
    {
        QByteArray bytes;
        for (const records::ResultRecord &r : runs)
            bytes += records::encodeRecord(r);
        writeBytes(resultsFile(), bytes);
    }

    // Ten idioms of range 1 (levels 1 and 2), enough for twelve different kanji buttons.
    static QuestionList rangeOne()
    {
        const char16_t *rows[][3] = {
            {u"一石二鳥", u"いっせきにちょう", u"一つのことをして、二つの得をすること"},
            {u"十人十色", u"じゅうにんといろ", u"考えや好みは人によってちがうこと"},
            {u"以心伝心", u"いしんでんしん", u"言葉にしなくても気持ちが通じ合うこと"},
            {u"温故知新", u"おんこちしん", u"昔のことを学んで、新しい考えを見つけること"},
            {u"自画自賛", u"じがじさん", u"自分のしたことを自分でほめること"},
            {u"半信半疑", u"はんしんはんぎ", u"半分信じて、半分うたがっていること"},
            {u"電光石火", u"でんこうせっか", u"動きがとても速いこと"},
            {u"大器晩成", u"たいきばんせい", u"大きな人物は、時間をかけて立派になること"},
            {u"油断大敵", u"ゆだんたいてき", u"気をゆるめると、思わぬ失敗をすること"},
            {u"花鳥風月", u"かちょうふうげつ", u"自然の美しいけしき"},
        };
        QuestionList list;
        for (const auto &r : rows)
            list.append({QString::fromUtf16(r[0]), QString::fromUtf16(r[1]), QString::fromUtf16(r[2])});
        return list;
    }

    // Eight roster lines: a kindergarten child, three grade-3 students (one not listed), a first and a
    // second year of junior high, a senior high student and a teacher.
    static QStringList rosterLines()
    {
        return {
            QStringLiteral("131,2017,0,0,\"加藤あおい\",0,\"\",\"\""),
            QStringLiteral("101,2020,0,0,\"小川ひなた\",0,\"\",\"\""),
            QStringLiteral("132,2017,0,0,\"岡田ゆうと\",0,\"\",\"\""),
            QStringLiteral("133,2017,0,0,\"木村りく\",1,\"\",\"\""),
            QStringLiteral("172,2013,0,0,\"橋本心春\",0,\"\",\"\""),
            QStringLiteral("181,2012,0,0,\"松本樹\",0,\"\",\"\""),
            QStringLiteral("201,2010,0,0,\"伊藤颯\",0,\"\",\"\""),
            QStringLiteral("900,1980,0,0,\"★山本先生\",0,\"\",\"\""),
        };
    }
};

inline records::ResultRecord runAt(QDate date, QTime clock, int student, int level, qint32 time)
{
    return records::newRecord(platform::dateSerial(date), platform::timeFraction(clock), qint16(student),
                              qint16(level), time, QStringLiteral("12345"));
}

} // namespace testing_support
