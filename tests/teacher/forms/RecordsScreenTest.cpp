#include "teacher/forms/RecordsScreen.h"
#include "app/forms/Style.h"
#include "platform/FileLock.h"
#include "platform/TextFile.h"
#include "records/RecordTestSupport.h"
#include "records/ResultsMaintenance.h"
#include "records/forms/ResultsBusyPanel.h"
#include "teacher/forms/TeacherScreens.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "hub/QStringPrinter.h"

using records::ResultsBusyPanel;
using teacher::RecordsScreen;

using namespace testing_support;

namespace {

const QString S = QStringLiteral("　");

// Ten runs of the test roster's students on 8 December, record i at 15:00 + i minutes, level i,
// i × 10 seconds.
QList<records::ResultRecord> tenRuns()
{
    QList<records::ResultRecord> runs;
    const int students[] = {131, 101, 132, 172, 181, 201, 131, 132, 900, 133};
    for (int i = 1; i <= 10; ++i)
        runs << runAt(QDate(2026, 12, 8), QTime(15, i), students[i - 1], i, i * 10);
    return runs;
}

struct Browser
{
    TestSchool school;
    RecordsScreen *form = nullptr;
    QListView *list = nullptr;

    explicit Browser(const QList<records::ResultRecord> &runs = tenRuns())
    {
        if (!runs.isEmpty())
            school.writeRuns(runs);
        form = qobject_cast<RecordsScreen *>(openTool(school, QStringLiteral("Command10_0")));
        if (form)
            list = form->findChild<QListView *>(QStringLiteral("List1"));
    }
    QStringList lines() const
    {
        QStringList out;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            out << list->model()->index(row, 0).data().toString();
        return out;
    }
    void doubleClick(int row)
    {
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    int currentRow() const { return list->currentIndex().row(); }
    QByteArray file() const { return readBytes(school.resultsFile()); }
};

} // namespace

TEST(RecordsBrowserScreen, ListsEveryRecordWithItsNumberAndTheStudentBoxListsTheWholeRoster)
{
    QList<records::ResultRecord> runs = tenRuns();
    runs[9].schoolCode = QStringLiteral("99999");
    Browser b(runs);
    ASSERT_NE(b.form, nullptr);
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:10"));
    const QStringList lines = b.lines();
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0], QStringLiteral("   1 2026/12/08") + S + QStringLiteral(" 15:01:00ﾚﾍﾞﾙ1") + S +
                            QStringLiteral("   10秒 ") + S + QStringLiteral(" 131 加藤あおい") + S +
                            QStringLiteral(" 小３++テスト塾"));
    EXPECT_TRUE(lines[9].endsWith(QStringLiteral("++他塾"))) << lines[9].toStdString();
    EXPECT_TRUE(lines[9].contains(QStringLiteral(" 133 木村りく"))) << lines[9].toStdString();
    auto *box = control<QComboBox>(b.form, QStringLiteral("Combo1"));
    ASSERT_EQ(box->count(), 8);
    EXPECT_EQ(box->itemText(3), QStringLiteral("133 /  木村りく")); // not listed on the name screen
    EXPECT_FALSE(control<QWidget>(b.form, QStringLiteral("picEdit"))->isVisible());
    // The text area holds what is selected in the list, nothing yet.
    EXPECT_EQ(control<QPlainTextEdit>(b.form, QStringLiteral("RichTextBox1"))->toPlainText(), QString());
}

TEST(RecordsBrowserScreen, ChangingTheStudentOnlyWritesTheStudentAndTheTimeOfThatRecord)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    const QByteArray before = b.file();
    b.doubleClick(3);
    auto *panel = control<QWidget>(b.form, QStringLiteral("picEdit"));
    ASSERT_TRUE(panel->isVisible());
    const teacher::RecordEditor &editor = b.form->editor();
    EXPECT_EQ(editor.openedRecord(), 4);
    EXPECT_EQ(control<QLabel>(panel, QStringLiteral("lblRecordNumber"))->text(), editor.recordNumberText());
    EXPECT_EQ(control<QLabel>(panel, QStringLiteral("lblLevel"))->text(), editor.levelText());
    EXPECT_EQ(control<QLabel>(panel, QStringLiteral("lblDate"))->text(), editor.dateText());
    auto *box = control<QComboBox>(panel, QStringLiteral("Combo1"));
    EXPECT_EQ(box->currentText(), QStringLiteral("172 /  橋本心春"));
    EXPECT_EQ(box->currentData().toInt(), 172);
    auto *time = control<QLineEdit>(panel, QStringLiteral("Text1"));
    EXPECT_EQ(time->text(), QStringLiteral("40"));
    auto *scroll = control<QScrollBar>(panel, QStringLiteral("VScroll1"));
    EXPECT_EQ(scroll->value(), 40);
    EXPECT_EQ(scroll->maximum(), 99999);
    saveScreenshot(b.form, QStringLiteral("teacher_records_browser"));

    // Another student chosen in the box, by the keys.
    box->setFocus();
    while (box->currentData().toInt() != 181 && box->currentIndex() + 1 < box->count())
        QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(editor.student(), 181);
    EXPECT_EQ(control<QLabel>(panel, QStringLiteral("lblGrade"))->text(), editor.gradeText());
    clickButton(panel, QStringLiteral("cmdChange"));
    settle();
    const QByteArray after = b.file();
    ASSERT_EQ(after.size(), before.size());
    QByteArray expected = before;
    const qint16 student = 181;
    std::memcpy(expected.data() + 3 * 44 + 16, &student, 2);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(b.currentRow(), 3);
    EXPECT_TRUE(b.lines()[3].contains(QStringLiteral(" 181 松本樹"))) << b.lines()[3].toStdString();

    // A typed time that is not one is refused; the scroll bar's time is written.
    b.doubleClick(3);
    time->setFocus();
    time->selectAll();
    QTest::keyClicks(time, QStringLiteral("12a"));
    EXPECT_EQ(editor.time(), std::nullopt);
    clickButton(panel, QStringLiteral("cmdChange"));
    EXPECT_EQ(b.file(), expected);
    ASSERT_FALSE(b.school.fakes.messages.shown.empty());
    EXPECT_TRUE(time->hasFocus());
    scroll->setValue(99999);
    EXPECT_EQ(time->text(), QStringLiteral("99999"));
    clickButton(panel, QStringLiteral("cmdChange"));
    EXPECT_EQ(records::recordTime(b.file().constData() + 3 * 44), 99999);
}

TEST(RecordsBrowserScreen, DeletingRecordThreeOfTenSelectsTheLineNowThirdAndCancelChangesNothing)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    const QByteArray before = b.file();
    b.doubleClick(2);
    b.school.fakes.messages.answers.push_back(false);
    clickButton(b.form, QStringLiteral("cmdDelete"));
    EXPECT_EQ(b.school.fakes.messages.shown.back().text, QStringLiteral("本当に消去しますか"));
    EXPECT_EQ(b.school.fakes.messages.shown.back().title, QStringLiteral("注意"));
    EXPECT_EQ(b.file(), before);

    b.school.fakes.messages.answers.push_back(true);
    clickButton(b.form, QStringLiteral("cmdDelete"));
    settle();
    EXPECT_EQ(b.file(), before.left(2 * 44) + before.mid(3 * 44));
    EXPECT_FALSE(QFileInfo::exists(records::recoveryFilePath(b.school.resultsFile())));
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:9"));
    EXPECT_EQ(b.currentRow(), 2);
    EXPECT_TRUE(b.lines()[2].startsWith(QStringLiteral("   3 2026/12/08") + S + QStringLiteral(" 15:04:00")))
        << b.lines()[2].toStdString();
}

TEST(RecordsBrowserScreen, WithLevelZeroRecordsTheRecordOfTheLineShownIsTheOneDeleted)
{
    QList<records::ResultRecord> runs = tenRuns();
    runs[1].level = 0; // record 2 is not listed
    Browser b(runs);
    ASSERT_NE(b.form, nullptr);
    ASSERT_EQ(b.lines().size(), 9);
    ASSERT_TRUE(b.lines()[2].startsWith(QStringLiteral("   4 "))) << b.lines()[2].toStdString();
    const QByteArray before = b.file();
    b.doubleClick(2);
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblRecordNumber"))->text(),
              QStringLiteral("記録番号 4"));
    b.school.fakes.messages.answers.push_back(true);
    clickButton(b.form, QStringLiteral("cmdDelete"));
    settle();
    EXPECT_EQ(b.file(), before.left(3 * 44) + before.mid(4 * 44));
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:9"));
}

TEST(RecordsBrowserScreen, AMissingResultsFileIsNamedTheListIsEmptyAndNoFileIsMade)
{
    Browser b(QList<records::ResultRecord>{});
    ASSERT_NE(b.form, nullptr);
    ASSERT_EQ(b.school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(b.school.fakes.messages.shown[0].text.contains(QStringLiteral("成績累積データ.dat")));
    EXPECT_EQ(b.lines().size(), 0);
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:0"));
    clickButton(b.form, QStringLiteral("cmdCsv"));
    clickButton(b.form, QStringLiteral("cmdBack"));
    settle();
    EXPECT_FALSE(QFileInfo::exists(b.school.resultsFile()));
}

TEST(RecordsBrowserScreen, AnInterruptedDeletionIsFinishedWhenTheBrowserOpens)
{
    TestSchool school;
    school.writeRuns(tenRuns());
    const QByteArray old = readBytes(school.resultsFile());
    // What a crash after the recovery copy and half the move leaves: the copy (old records and the
    // journal of record 2), and a file whose first places are rewritten.
    QByteArray journal = records::voidRecord();
    journal.replace(29, 5, "*JNL*");
    const qint64 deleted = 2;
    std::memcpy(journal.data() + 8, &deleted, 8);
    writeBytes(records::recoveryFilePath(school.resultsFile()), old + journal);
    QByteArray half = old;
    half.replace(44, 44, old.mid(2 * 44, 44));
    writeBytes(school.resultsFile(), half);

    auto *form = qobject_cast<RecordsScreen *>(openTool(school, QStringLiteral("Command10_0")));
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(readBytes(school.resultsFile()), old.left(44) + old.mid(2 * 44));
    ASSERT_FALSE(school.fakes.messages.shown.empty());
    EXPECT_TRUE(school.fakes.messages.shown[0].text.contains(QStringLiteral("済ませました")));
    EXPECT_EQ(control<QLabel>(form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:9"));
}

TEST(RecordsBrowserScreen, CsvAndPrintTakeTheListedRecords)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("成績.csv"));
    QString suggested;
    b.form->chooseCsvFile = [&](const QString &s) {
        suggested = s;
        return csv;
    };
    clickButton(b.form, QStringLiteral("cmdCsv"));
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("成績一覧_20261208.csv"))) << suggested.toStdString();
    const QStringList lines = platform::decode932(readBytes(csv)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 12); // header, ten records, and the empty rest after the last line end
    EXPECT_EQ(lines[0], QStringLiteral("日付,時刻,レベル,レベル名,生徒番号,名前,学年,タイム,ポイント,塾"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2026/12/08,15:01:00,1,"))) << lines[1].toStdString();
    EXPECT_TRUE(
        b.school.fakes.messages.shown.back().text.startsWith(QStringLiteral("10 件の記録を書き出しました")));

    // Printing the lines selected in the list (to a PDF instead of a printer).
    const QString pdf = out.filePath(QStringLiteral("list.pdf"));
    bool offeredSelection = true;
    b.form->choosePrinter = [&](QPrinter *printer, bool *selectionOnly) {
        offeredSelection = *selectionOnly;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return true;
    };
    b.list->selectionModel()->select(b.list->model()->index(4, 0), QItemSelectionModel::ClearAndSelect);
    auto *text = control<QPlainTextEdit>(b.form, QStringLiteral("RichTextBox1"));
    EXPECT_EQ(text->toPlainText(), b.lines()[4]);
    clickButton(b.form, QStringLiteral("cmdPrint"));
    EXPECT_FALSE(offeredSelection);
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    auto printed = [&] {
        EXPECT_TRUE(QFileInfo(pdf).size() > 0);
        if (pdftotext.isEmpty())
            return QString();
        QProcess p;
        p.start(pdftotext, {pdf, QStringLiteral("-")});
        EXPECT_TRUE(p.waitForFinished(20000));
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    if (!pdftotext.isEmpty()) {
        const QString one = printed();
        EXPECT_TRUE(one.contains(QStringLiteral("15:05:00"))) << one.toStdString();
        EXPECT_FALSE(one.contains(QStringLiteral("15:04:00"))) << one.toStdString();
    }

    // Nothing selected: every listed line.
    b.list->selectionModel()->clearSelection();
    EXPECT_EQ(text->toPlainText(), QString());
    QFile::remove(pdf);
    clickButton(b.form, QStringLiteral("cmdPrint"));
    if (!pdftotext.isEmpty()) {
        const QString all = printed();
        EXPECT_TRUE(all.contains(QStringLiteral("15:01:00")) && all.contains(QStringLiteral("15:10:00")))
            << all.toStdString();
    }
}

TEST(RecordsBrowserScreen, ALineWhoseRecordChangedOnAnotherPcIsNotOpenedAndTheListIsReadAgain)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    // Another PC deletes record 2 while the list is open: the fourth line's record is now the fifth.
    const QByteArray before = b.file();
    writeBytes(b.school.resultsFile(), before.left(44) + before.mid(2 * 44));
    b.doubleClick(3);
    EXPECT_FALSE(control<QWidget>(b.form, QStringLiteral("picEdit"))->isVisible());
    EXPECT_EQ(b.form->openedRecord(), 0);
    ASSERT_FALSE(b.school.fakes.messages.shown.empty());
    const QString said = b.school.fakes.messages.shown.back().text;
    EXPECT_TRUE(said.contains(QStringLiteral("変更されました"))) << said.toStdString();
    EXPECT_TRUE(said.contains(platform::displayPath(b.school.resultsFile()))) << said.toStdString();
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:9"));
    ASSERT_EQ(b.lines().size(), 9);

    // The list read again opens what it shows.
    b.doubleClick(3);
    EXPECT_EQ(b.form->openedRecord(), 4);
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblLevel"))->text(), QStringLiteral("ﾚﾍﾞﾙ5"));
}

// While another PC holds the results file, opening a record waits with the window's waiting panel up,
// saying why, and the panel goes when the record is read.
TEST(RecordsBrowserScreen, WaitingForAnotherPcShowsTheWaitingPanel)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    auto *panel = b.school.window->findChild<ResultsBusyPanel *>();
    ASSERT_NE(panel, nullptr);
    platform::LockedFile otherPc;
    ASSERT_TRUE(otherPc.open(b.school.resultsFile(), platform::LockedFile::Access::ReadWrite));
    ASSERT_EQ(otherPc.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    bool shownWhileWaiting = false;
    QString line;
    QTimer::singleShot(1600, [&] {
        shownWhileWaiting = panel->isVisible();
        line = panel->line();
        otherPc.close();
    });
    b.doubleClick(2);
    settle();
    EXPECT_TRUE(shownWhileWaiting);
    EXPECT_EQ(line, QStringLiteral("ほかのパソコンが成績ファイルを使っています。"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(b.form->openedRecord(), 3);
}

// A screen reader or an automation tool presses buttons through the accessibility interface, which the
// wait for the lock does not hold off as it does the mouse and the keys. A second "消去" that arrives so
// while the first deletion waits for another PC deletes nothing: one record goes, the one opened.
TEST(RecordsBrowserScreen, ASecondDeleteWhileTheFirstWaitsForTheLockStartsNothing)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    ScaledWindow view(*b.school.window);
    view.showWindowed();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QByteArray before = b.file();
    b.doubleClick(2);
    ASSERT_EQ(b.form->openedRecord(), 3);
    auto *deleteButton = control<QPushButton>(b.form, QStringLiteral("cmdDelete"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(deleteButton);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->actionInterface(), nullptr);

    platform::LockedFile otherPc;
    ASSERT_TRUE(otherPc.open(b.school.resultsFile(), platform::LockedFile::Access::ReadWrite));
    ASSERT_EQ(otherPc.tryLock(platform::LockMode::Exclusive), platform::LockResult::Locked);
    b.school.fakes.messages.answers.push_back(true);
    b.school.fakes.messages.answers.push_back(true);
    QTimer::singleShot(
        300, [&] { accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); });
    QTimer::singleShot(1500, [&] { otherPc.close(); });
    clickThroughWindow(view, deleteButton);
    settle();
    EXPECT_EQ(b.file(), before.left(2 * 44) + before.mid(3 * 44));
    EXPECT_EQ(control<QLabel>(b.form, QStringLiteral("lblCount"))->text(), QStringLiteral("総レコード数:9"));
}

// The selected lines stand out from the others (the contrast of a control's parts, 3 : 1 at least).
TEST(RecordsBrowserScreen, SelectedLinesStandOut)
{
    Browser b;
    ASSERT_NE(b.form, nullptr);
    const QRect selected = b.list->visualRect(b.list->model()->index(1, 0));
    const QRect plain = b.list->visualRect(b.list->model()->index(3, 0));
    QTest::mouseClick(b.list->viewport(), Qt::LeftButton, {}, selected.center());
    settle();
    const QImage image = b.list->viewport()->grab().toImage();
    const QColor selectedBackground = image.pixelColor(selected.right() - 2, selected.center().y());
    const QColor plainBackground = image.pixelColor(plain.right() - 2, plain.center().y());
    EXPECT_GE(app::style::contrastRatio(selectedBackground, plainBackground), 3.0)
        << selectedBackground.name().toStdString() << " on " << plainBackground.name().toStdString();
}
