#include "platform/PrintJobCheck.h"
#include "support/printing/PrintQueue.h"

#include <QPainter>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {
// Whether the queue took the job; what it answered otherwise goes to *why.
bool accepted(const platform::PrintJobCheck &check, QString *why)
{
    const platform::Status answer = check.accepted();
    *why = answer ? answer->text : QString();
    return !answer;
}
} // namespace

using namespace testing_support;

namespace {

// Hands one small page to the queue through the toolkit, as the program's screens do.
void printPage(const QString &queue, const QString &title)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(queue);
    printer.setDocName(title);
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    painter.drawText(QPointF(100, 100), title);
    ASSERT_TRUE(painter.end());
}

} // namespace

TEST(PrintJobCheck, TellsAJobTheQueueTookFromOneItRefused)
{
    PrintQueue queue;
    if (!queue.throughCups())
        GTEST_SKIP() << "no private CUPS server: " << queue.whyNot().toStdString();
    const QString name = QString::fromLatin1(PrintQueue::kQueueName);

    {
        const platform::PrintJobCheck check(name);
        queue.mark();
        printPage(name, QStringLiteral("job-check-taken"));
        QString why;
        EXPECT_TRUE(accepted(check, &why)) << why.toStdString();
        EXPECT_TRUE(why.isEmpty());
        QString error;
        EXPECT_FALSE(queue.collect(QStringLiteral("job-check-taken"), &error).isEmpty())
            << error.toStdString();
    }
    {
        RefusingQueue refusing(queue);
        ASSERT_TRUE(refusing.refusing());
        const platform::PrintJobCheck check(name);
        printPage(name, QStringLiteral("job-check-refused"));
        QString why;
        EXPECT_FALSE(accepted(check, &why));
        EXPECT_TRUE(why.contains(QStringLiteral("yoji_pdf"))) << why.toStdString();
        EXPECT_TRUE(why.contains(QStringLiteral("受け付けていません"))) << why.toStdString();
    }
    // Taking jobs again, the next one is taken.
    const platform::PrintJobCheck again(name);
    printPage(name, QStringLiteral("job-check-again"));
    QString why;
    EXPECT_TRUE(accepted(again, &why)) << why.toStdString();
}

TEST(PrintJobCheck, AQueueThatIsNotThereIsNamed)
{
    PrintQueue queue;
    if (!queue.throughCups())
        GTEST_SKIP() << "no private CUPS server: " << queue.whyNot().toStdString();
    const platform::PrintJobCheck check(QStringLiteral("no_such_queue"));
    QString why;
    EXPECT_FALSE(accepted(check, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("no_such_queue"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("見つかりません"))) << why.toStdString();
}
