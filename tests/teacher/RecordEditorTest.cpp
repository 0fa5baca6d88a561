#include "teacher/RecordEditor.h"
#include "platform/DateSerial.h"
#include "records/RecordTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include "hub/QStringPrinter.h"

using namespace teacher;

namespace record_editor_test {

const QDate kDay(2026, 12, 8);

QByteArray runOf(QTime clock, int student, int level, int time)
{
    return records_test::rawRecord(platform::dateSerial(kDay), platform::timeFraction(clock), qint16(student),
                                   qint16(level), time, "24601");
}

// 加藤あおい (小３) and 松本樹 (中２) on the roster; records 1 to 3, the second of level 0 and so not
// listed, the third of student 77, whom the roster does not hold.
struct Panel
{
    RecordListModel list;
    RecordEditor editor{list};
    QByteArray file = runOf(QTime(15, 30), 131, 2, 60) + runOf(QTime(15, 31), 131, 0, 61) +
                      runOf(QTime(9, 5, 3), 77, 4, 99999);

    Panel()
    {
        QList<roster::RosterLine> lines;
        roster::RosterFailure failure;
        EXPECT_TRUE(roster::parseRoster(QStringLiteral("131,2017,0,0,\"加藤あおい\",0,\"\",\"\"\r\n"
                                                       "181,2012,0,0,\"松本樹\",0,\"\",\"\"\r\n"),
                                        QStringLiteral("新名簿.txt"), &lines, &failure))
            << failure.description.toStdString();
        list.setRecords(file, browserRoster(lines, kDay, 4), QStringLiteral("24601"),
                        QStringLiteral("ひかり塾"));
        editor.listed();
    }
    QByteArray record(int number) const { return file.mid((number - 1) * 44, 44); }
};

} // namespace record_editor_test

using record_editor_test::Panel;

TEST(RecordEditor, AnOpenedRecordFillsThePanelAndTheStudentBoxKnowsItsStudentsByNumber)
{
    Panel p;
    ASSERT_EQ(p.editor.studentItems().size(), 2);
    EXPECT_EQ(p.editor.studentItems()[1].text, QStringLiteral("181 /  松本樹"));
    EXPECT_EQ(p.editor.studentItems()[1].number, 181);
    EXPECT_EQ(p.editor.studentIndex(), -1);

    ASSERT_EQ(p.editor.open(0, p.record(1)), RecordEditor::Opened::Yes);
    EXPECT_TRUE(p.editor.panelShown());
    EXPECT_EQ(p.editor.recordNumberText(), QStringLiteral("記録番号 1"));
    EXPECT_EQ(p.editor.levelText(), QStringLiteral("ﾚﾍﾞﾙ2"));
    EXPECT_EQ(p.editor.dateText(), QStringLiteral("2026/12/08 15:30:00"));
    EXPECT_EQ(p.editor.gradeText(), QStringLiteral("小３"));
    EXPECT_EQ(p.editor.studentIndex(), 0);
    EXPECT_EQ(p.editor.time(), 60);

    // Another student of the box: his grade, and the change writes his number and the time.
    p.editor.chooseStudent(1);
    EXPECT_EQ(p.editor.gradeText(), QStringLiteral("中２"));
    p.editor.typeTime(QStringLiteral(" 45 "));
    const app::Result<RecordChange> change = p.editor.change();
    ASSERT_TRUE(change.ok());
    EXPECT_EQ(change.value().number, 1);
    EXPECT_EQ(change.value().opened, p.record(1));
    EXPECT_EQ(change.value().student, 181);
    EXPECT_EQ(change.value().time, 45);
    p.editor.chooseStudent(5); // not in the box: the student stays
    EXPECT_EQ(p.editor.student(), 181);

    // The line of record 3 is the second: a student the roster does not hold comes first in the box, with
    // his number, until the list is read again.
    ASSERT_EQ(p.editor.open(1, p.record(3)), RecordEditor::Opened::Yes);
    EXPECT_EQ(p.editor.recordNumberText(), QStringLiteral("記録番号 3"));
    EXPECT_EQ(p.editor.dateText(), QStringLiteral("2026/12/08 9:05:03"));
    ASSERT_EQ(p.editor.studentItems().size(), 3);
    EXPECT_EQ(p.editor.studentItems()[0].text, QStringLiteral("77 /  "));
    EXPECT_EQ(p.editor.studentIndex(), 0);
    EXPECT_EQ(p.editor.time(), 99999) << "a time-out can be kept";
    EXPECT_EQ(p.editor.change().value().student, 77);
    p.editor.listed();
    EXPECT_EQ(p.editor.studentItems().size(), 2);
    EXPECT_EQ(p.editor.openedRecord(), 0);
    EXPECT_FALSE(p.editor.panelShown());
}

TEST(RecordEditor, TimesAreWholeSecondsFromZeroToTheTimeOutAndAStudentMustBeInRange)
{
    for (const auto &[text, time] : {std::pair{u"40", 40}, {u" 7 ", 7}, {u"0", 0}, {u"99999", 99999}}) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        EXPECT_EQ(typedTime(QString::fromUtf16(text)), time);
    }
    for (const char16_t *text : {u"", u"  ", u"12a", u"-1", u"100000", u"1.5", u"１２", u"+5"})
        EXPECT_EQ(typedTime(QString::fromUtf16(text)), std::nullopt)
            << QString::fromUtf16(text).toStdString();

    Panel p;
    ASSERT_EQ(p.editor.open(0, p.record(1)), RecordEditor::Opened::Yes);
    p.editor.typeTime(QStringLiteral("12a"));
    EXPECT_EQ(p.editor.time(), std::nullopt);
    const app::Result<RecordChange> refused = p.editor.change();
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.failure().text.contains(QStringLiteral("99999")))
        << refused.failure().text.toStdString();
    p.editor.setTime(99999); // the scroll bar
    EXPECT_EQ(p.editor.change().value().time, 99999);

    // A record of a student number outside 0 to 5000 cannot be written back as it stands.
    QByteArray odd = p.record(1);
    const qint16 student = -3;
    std::memcpy(odd.data() + 16, &student, 2);
    p.list.setRecords(odd, p.list.roster(), QStringLiteral("24601"), QString());
    p.editor.listed();
    ASSERT_EQ(p.editor.open(0, odd), RecordEditor::Opened::Yes);
    ASSERT_FALSE(p.editor.change().ok());
    EXPECT_EQ(p.editor.change().failure().text, QStringLiteral("生徒を選んでください。"));
}

TEST(RecordEditor, ARecordChangedSinceTheListingIsNotOpenedAndNothingChangesWhileAStepRuns)
{
    Panel p;
    EXPECT_FALSE(p.editor.canChangeOrDelete()) << "nothing opened";
    // Another PC deleted record 1: the file's record 1 is now what was record 2.
    EXPECT_EQ(p.editor.open(0, p.record(2)), RecordEditor::Opened::ChangedElsewhere);
    EXPECT_EQ(p.editor.openedRecord(), 0);
    EXPECT_FALSE(p.editor.panelShown());
    EXPECT_EQ(p.editor.open(2, p.record(3)), RecordEditor::Opened::NoRecord);

    ASSERT_EQ(p.editor.open(0, p.record(1)), RecordEditor::Opened::Yes);
    EXPECT_TRUE(p.editor.canChangeOrDelete());
    p.editor.setBusy(true);
    EXPECT_FALSE(p.editor.canChangeOrDelete());
    p.editor.setBusy(false);
    // A single click hides the panel; the record stays open.
    p.editor.hidePanel();
    EXPECT_FALSE(p.editor.panelShown());
    EXPECT_TRUE(p.editor.canChangeOrDelete());
    EXPECT_EQ(p.editor.openedRecord(), 1);
    EXPECT_FALSE(p.editor.firstListing());
}

TEST(RecordEditor, AfterADeletionTheSamePositionIsSelectedOrElseTheLastLine)
{
    EXPECT_EQ(RecordEditor::rowAfterDeletion(2, 9), 2); // record 3 of 10: the new third line
    EXPECT_EQ(RecordEditor::rowAfterDeletion(9, 9), 8); // the last record: the new last line
    EXPECT_EQ(RecordEditor::rowAfterDeletion(-1, 4), 3);
    EXPECT_EQ(RecordEditor::rowAfterDeletion(0, 0), -1);
}
