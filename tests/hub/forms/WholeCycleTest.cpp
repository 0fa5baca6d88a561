#include "hub/forms/HubScreen.h"
#include "records/ResultsFile.h"
#include "roster/forms/NameScreen.h"
#include "roster/forms/TestSchool.h"
#include "support/gui/GuiTestSupport.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringListModel>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest/QTest>

#include "hub/QStringPrinter.h"

#include <gtest/gtest.h>

using roster::NameScreen;

using namespace testing_support;

namespace {

// The student at the PC, with nothing but the window in front of him: he reads the screen and clicks.
class Student
{
public:
    explicit Student(TestSchool &school) : m_school(school) {}

    QWidget *screen() const { return m_school.window->currentScreen(); }

    QString text(const QString &name) const
    {
        auto *label = screen()->findChild<QLabel *>(name);
        return label ? label->text() : QString();
    }

    void click(const QString &name)
    {
        auto *button = screen()->findChild<QAbstractButton *>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QStringList list(const QString &name) const
    {
        auto *view = screen()->findChild<QListView *>(name);
        return view ? qobject_cast<QStringListModel *>(view->model())->stringList() : QStringList();
    }

    // Picks the first visible, enabled button of a family that shows the character.
    void press(const QString &family, int count, QChar character)
    {
        for (int i = 1; i <= count; ++i) {
            auto *b = screen()->findChild<QPushButton *>(QStringLiteral("%1_%2").arg(family).arg(i));
            if (b && b->isVisible() && b->isEnabled() && b->text() == QString(character)) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << family.toStdString() << " shows "
                      << QString(character).toStdString();
    }

    // Answers the question on the screen right after thinking for `seconds`.
    void answer(int seconds)
    {
        const QString meaning = text(QStringLiteral("Label9"));
        for (const Question &q : TestSchool::rangeOne()) {
            if (q.meaning != meaning)
                continue;
            m_school.fakes.clock.advanceSeconds(seconds);
            for (QChar c : q.reading.left(4))
                press(QStringLiteral("Label15"), 6, c);
            for (QChar c : q.idiom)
                press(QStringLiteral("Label14"), 12, c);
            click(QStringLiteral("Command3"));
            return;
        }
        ADD_FAILURE() << "no question means " << meaning.toStdString();
    }

private:
    TestSchool &m_school;
};

} // namespace

TEST(WholeCycle, NameHubTestResultAndBackShowTheNewRunAndRank)
{
    TestSchool school;
    // Before: student 132 holds the best time of level 2 today, 131 ran it a week ago.
    school.writeRuns({runAt(QDate(2026, 12, 1), QTime(15, 0), 131, 2, 100),
                      runAt(QDate(2026, 12, 8), QTime(14, 0), 132, 2, 60)});
    Student student(school);

    // The name screen: pick 加藤あおい (131) and press O.K.
    school.window->showNameSelection();
    settle();
    auto *names = qobject_cast<NameScreen *>(student.screen());
    ASSERT_NE(names, nullptr);
    const int row = int(names->lists().numbered.indexOf(QRegularExpression(QStringLiteral(".*\\*131$")))) + 1;
    ASSERT_GT(row, 0);
    auto *list = control<QListView>(names, QStringLiteral("List1"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 0)).center());
    student.click(QStringLiteral("Command14"));
    settle();
    ASSERT_EQ(student.screen()->objectName(), QStringLiteral("seisekitime1"));
    EXPECT_EQ(student.text(QStringLiteral("lblDayTotal")), QStringLiteral("本日総回数＝0回"));

    // The hub: level 2's start button.
    student.click(QStringLiteral("Command4_2"));
    settle();
    ASSERT_EQ(student.screen()->objectName(), QStringLiteral("MainFrm"))
        << (school.fakes.messages.shown.empty() ? "" : school.fakes.messages.shown.back().text.toStdString());

    // The drill: ten questions, each answered right after 4 seconds.
    for (int i = 0; i < 10 && student.screen()->objectName() == QStringLiteral("MainFrm"); ++i)
        student.answer(4);
    settle();
    ASSERT_EQ(student.screen()->objectName(), QStringLiteral("FrmSyuuryou"));
    EXPECT_EQ(school.state->lastDrill.resultTime, 40);
    QString error;
    const QList<records::ResultRecord> written = testing_support::valueOrEmpty(
        records::readLastRecords(school.resultsFile(), 10, school.fakes.wait), &error);
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written.last().student, 131);
    EXPECT_EQ(written.last().level, 2);
    EXPECT_EQ(written.last().time, 40);

    // The result screen offers "メニューへ" after half a second.
    auto *timer = student.screen()->findChild<QTimer *>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
    student.click(QStringLiteral("Command4"));
    settle();

    // Back at the hub: today's total, level 2's standing, the points ranking with the new run first.
    ASSERT_EQ(student.screen()->objectName(), QStringLiteral("seisekitime1"));
    EXPECT_EQ(student.text(QStringLiteral("lblDayTotal")), QStringLiteral("本日総回数＝1回"));
    // 40 s against 120 s: (80 / 120)³ × 50 + 5 = 19 points; a week ago 100 s gave 5.
    EXPECT_EQ(student.text(QStringLiteral("Label14_2")), QStringLiteral("1回/19点"));
    EXPECT_EQ(student.text(QStringLiteral("Label15_2")), QStringLiteral("2回/24点"));
    EXPECT_EQ(student.list(QStringLiteral("List5_2")).first(), QStringLiteral("1●加藤あおい 19/   24"));

    // Today's runs list the new run with its points; the best times rank the student first now.
    student.click(QStringLiteral("Option2_0"));
    student.click(QStringLiteral("Option1_2"));
    EXPECT_EQ(student.list(QStringLiteral("List5_2")),
              (QStringList{QStringLiteral("  60秒 14:00③岡田ゆうと③11"),
                           QStringLiteral("  40秒 15:30●加藤あおい●19")}));
    student.click(QStringLiteral("Option1_1"));
    const QStringList best = student.list(QStringLiteral("List5_2"));
    ASSERT_GE(best.size(), 2);
    EXPECT_EQ(best[0], QStringLiteral("1●加藤あおい    40 ●"));
    EXPECT_EQ(best[1], QStringLiteral("2③岡田ゆうと    60 ") + QStringLiteral("　"));
    saveScreenshot(school.window.get(), QStringLiteral("hub-after-a-drill"));

    // The practice level by its key: the cards to the end, back to the hub, nothing recorded.
    QTest::keyClick(student.screen(), Qt::Key_1);
    settle();
    ASSERT_EQ(student.screen()->objectName(), QStringLiteral("MainFrm"));
    for (int i = 0; i < 10 && student.screen()->objectName() == QStringLiteral("MainFrm"); ++i) {
        auto *next = student.screen()->findChild<QPushButton *>(QStringLiteral("Command9"));
        ASSERT_NE(next, nullptr);
        if (!next->isVisible())
            student.click(QStringLiteral("Command11")); // show the idiom
        student.click(QStringLiteral("Command9"));
        settle();
    }
    ASSERT_EQ(student.screen()->objectName(), QStringLiteral("seisekitime1"));
    EXPECT_EQ(testing_support::valueOrEmpty(
                  records::readLastRecords(school.resultsFile(), 10, school.fakes.wait), &error)
                  .size(),
              3);
    EXPECT_EQ(student.text(QStringLiteral("lblDayTotal")), QStringLiteral("本日総回数＝1回"));
    EXPECT_FALSE(school.fakes.programEnd.ended);
    EXPECT_TRUE(school.fakes.messages.shown.empty());
}
