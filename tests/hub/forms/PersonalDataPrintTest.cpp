#include "hub/forms/PersonalDataPanel.h"
#include "hub/forms/PersonalDataSteps.h"
#include "hub/forms/PersonalSheetPainter.h"
#include "support/printing/PrintQueue.h"

#include "hub/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using hub::HubScreen;
using hub::PersonalDataPanel;

using namespace testing_support;

namespace {

// Answers the dialogs as a teacher would: the printer is the test queue, the PDF file a given path.
class AnsweredDialogs : public platform::OutputDialogs
{
public:
    explicit AnsweredDialogs(const PrintQueue &queue) : m_queue(queue) {}
    bool choosePrinter(QPrinter &printer, QWidget *) override
    {
        ++printerAsked;
        if (cancelPrinter)
            return false;
        m_queue.aim(printer, QStringLiteral("personal-sheet"));
        return true;
    }
    QString choosePdfFile(const QString &suggestedPath, QWidget *) override
    {
        suggested = suggestedPath;
        return pdfPath;
    }
    bool cancelPrinter = false;
    QString pdfPath;
    QString suggested;
    int printerAsked = 0;

private:
    const PrintQueue &m_queue;
};

bool isA4(const QString &pdf)
{
    const QSizeF size = pdfPageSizePoints(pdf);
    return std::abs(size.width() - 595.0) < 1.5 && std::abs(size.height() - 842.0) < 1.5;
}

// The blocks' titles on a page.
int blocksOn(const QString &pdf, int page)
{
    return withoutBlanks(pdfText(pdf, page)).count(QStringLiteral("四字熟語範囲"));
}

struct TeacherAtTheSheet
{
    TestSchool school;
    PersonalDataPanel *panel = nullptr;
    QListView *students = nullptr;
    QListView *levels = nullptr;

    TeacherAtTheSheet()
    {
        writeSheetRuns(school);
        HubScreen *hub = openHubAs(school, 900);
        if (!hub)
            return;
        panel = openGraph(hub);
        if (!panel)
            return;
        pressButton(panel, QStringLiteral("cmdOtherStudent"));
        students = control<QListView>(panel, QStringLiteral("lstSheetStudents"));
        levels = control<QListView>(panel, QStringLiteral("lstSheetLevels"));
    }
};
} // namespace

TEST(PersonalDataPrint, EachSelectedStudentIsOneJobOfA4PagesWithThreeBlocksAPage)
{
    PrintQueue queue;
    TeacherAtTheSheet at;
    ASSERT_NE(at.panel, nullptr);
    AnsweredDialogs dialogs(queue);
    at.panel->setDialogs(&dialogs);

    clickRow(at.students, rowOf(at.students, QStringLiteral("/131")));
    clickRow(at.students, rowOf(at.students, QStringLiteral("/132")), Qt::ControlModifier);
    clickRow(at.levels, 7, Qt::ControlModifier);
    ASSERT_EQ(at.panel->model().selectedStudents(), (std::vector<int>{131, 132}));
    ASSERT_EQ(at.panel->model().selectedLevels(), (std::vector<int>{2, 4, 6, 8}));

    queue.mark();
    const QList<int> before = queue.jobIds(false);
    pressButton(at.panel, QStringLiteral("Command24_1"));
    EXPECT_EQ(dialogs.printerAsked, 1); // one choice of printer for all the sheets
    EXPECT_TRUE(at.school.fakes.messages.shown.empty());

    // Through the queue each student's sheet is a job of its own; printed to a file (no queue), the
    // sheets make one document.
    struct Sheet
    {
        QString pdf;
        int firstPage;
        QString name;
    };
    std::vector<Sheet> sheets;
    QString error;
    if (queue.throughCups()) {
        for (const QString &name : {QStringLiteral("加藤あおい"), QStringLiteral("岡田ゆうと")}) {
            const QString pdf =
                queue.collect(QStringLiteral("personal-sheet-%1").arg(sheets.size() + 1), &error);
            ASSERT_FALSE(pdf.isEmpty()) << error.toStdString();
            EXPECT_EQ(pdfPageCount(pdf), 2);
            sheets.push_back({pdf, 1, name});
        }
        EXPECT_EQ(queue.jobIds(false).size(), before.size() + 2);
    } else {
        const QString pdf = queue.collect(QStringLiteral("personal-sheet"), &error);
        ASSERT_FALSE(pdf.isEmpty()) << error.toStdString();
        EXPECT_EQ(pdfPageCount(pdf), 4);
        sheets = {{pdf, 1, QStringLiteral("加藤あおい")}, {pdf, 3, QStringLiteral("岡田ゆうと")}};
    }

    // Four levels: three blocks on the first page, one on the second, the name on both. The figures
    // themselves are checked in the PDF the program writes itself: through the queue's PostScript and
    // Ghostscript some digits lose their text (they print, as the PNG pages show).
    for (const Sheet &sheet : sheets) {
        SCOPED_TRACE(sheet.name.toStdString());
        EXPECT_TRUE(isA4(sheet.pdf));
        const QString first = withoutBlanks(pdfText(sheet.pdf, sheet.firstPage));
        const QString second = withoutBlanks(pdfText(sheet.pdf, sheet.firstPage + 1));
        EXPECT_EQ(first.count(QStringLiteral("四字熟語範囲")), 3) << first.toStdString();
        EXPECT_EQ(second.count(QStringLiteral("四字熟語範囲")), 1) << second.toStdString();
        EXPECT_TRUE(first.contains(sheet.name));
        EXPECT_TRUE(second.contains(sheet.name));
        EXPECT_TRUE(first.contains(QStringLiteral("本人/塾全体")));
        EXPECT_TRUE(second.contains(QStringLiteral("四字熟語範囲４")));
    }
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i == 0 || sheets[i].pdf != sheets[i - 1].pdf) {
            EXPECT_FALSE(pdfToPng(sheets[i].pdf, QFileInfo(sheets[i].pdf).completeBaseName(), 60).isEmpty());
        }
    }

    // A cancelled dialog prints nothing.
    dialogs.cancelPrinter = true;
    const QList<int> jobs = queue.jobIds(false);
    QFile::remove(printOutputDir() + QStringLiteral("/personal-sheet.pdf"));
    pressButton(at.panel, QStringLiteral("Command24_1"));
    EXPECT_EQ(dialogs.printerAsked, 2);
    EXPECT_EQ(queue.jobIds(false), jobs);
    EXPECT_FALSE(QFile::exists(printOutputDir() + QStringLiteral("/personal-sheet.pdf")));
}

TEST(PersonalDataPrint, AQueueThatRefusesTheSheetsIsToldOnceForAll)
{
    PrintQueue queue;
    if (!queue.throughCups())
        GTEST_SKIP() << "no private CUPS server: " << queue.whyNot().toStdString();
    TeacherAtTheSheet at;
    ASSERT_NE(at.panel, nullptr);
    AnsweredDialogs dialogs(queue);
    at.panel->setDialogs(&dialogs);
    clickRow(at.students, rowOf(at.students, QStringLiteral("/131")));
    clickRow(at.students, rowOf(at.students, QStringLiteral("/132")), Qt::ControlModifier);
    auto *status = control<QLabel>(at.panel, QStringLiteral("lblSheetStatus"));
    {
        RefusingQueue refusing(queue);
        ASSERT_TRUE(refusing.refusing());
        const QList<int> jobs = queue.jobIds(false);
        pressButton(at.panel, QStringLiteral("Command24_1"));
        EXPECT_EQ(queue.jobIds(false), jobs);
        ASSERT_EQ(at.school.fakes.messages.shown.size(), 1u); // one word for both sheets
        const QString text = at.school.fakes.messages.shown[0].text;
        EXPECT_TRUE(text.contains(QStringLiteral("印刷できませんでした"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("yoji_pdf"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("受け付けていません"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("2 人分"))) << text.toStdString();
        EXPECT_TRUE(status->text().isEmpty()) << status->text().toStdString();
    }
    // Taking jobs again: both sheets go, and the panel says so.
    queue.mark();
    pressButton(at.panel, QStringLiteral("Command24_1"));
    EXPECT_EQ(at.school.fakes.messages.shown.size(), 1u);
    EXPECT_EQ(status->text(), QStringLiteral("yoji_pdf に送りました（2 人分）。"));
    QString error;
    EXPECT_FALSE(queue.collect(QStringLiteral("personal-sheet-after-refusal"), &error).isEmpty())
        << error.toStdString();
}

TEST(PersonalDataPrint, PdfOfOneStudentOrOfSeveralEachOnPagesOfTheirOwn)
{
    PrintQueue queue;
    TeacherAtTheSheet at;
    ASSERT_NE(at.panel, nullptr);
    AnsweredDialogs dialogs(queue);
    at.panel->setDialogs(&dialogs);
    QTemporaryDir out;

    clickRow(at.students, rowOf(at.students, QStringLiteral("/131")));
    EXPECT_EQ(at.panel->model().sheetStudent(), 131);
    dialogs.pdfPath = out.filePath(QStringLiteral("加藤")); // the ending is added
    pressButton(at.panel, QStringLiteral("cmdSavePdf"));
    EXPECT_TRUE(dialogs.suggested.endsWith(QStringLiteral("/加藤あおい_個人データ.pdf")))
        << dialogs.suggested.toStdString();
    const QString one = dialogs.pdfPath + QStringLiteral(".pdf");
    ASSERT_TRUE(QFile::exists(one));
    EXPECT_TRUE(isA4(one));
    EXPECT_EQ(pdfPageCount(one), 1);
    EXPECT_EQ(blocksOn(one, 1), 3);
    const QString page = withoutBlanks(pdfText(one, 1));
    EXPECT_TRUE(page.contains(QStringLiteral("加藤あおい")));
    for (const char16_t *line :
         {u"四字熟語範囲１回数3回", u"順位2位最高80秒/70秒平均98/91秒", u"獲得ポイント16点/12点(塾平均)",
          u"四字熟語範囲２回数1回", u"最高150秒/150秒", u"四字熟語範囲３回数回"})
        EXPECT_TRUE(page.contains(QString::fromUtf16(line))) << QString::fromUtf16(line).toStdString() << "\n"
                                                             << page.toStdString();
    EXPECT_EQ(pdfToPng(one, QStringLiteral("personal-sheet-saved"), 60).size(), 1);
    EXPECT_EQ(control<QLabel>(at.panel, QStringLiteral("lblSheetStatus"))->text(),
              QStringLiteral("保存しました：") + QDir::toNativeSeparators(one));

    clickRow(at.students, rowOf(at.students, QStringLiteral("/132")), Qt::ControlModifier);
    dialogs.pdfPath = out.filePath(QStringLiteral("two.pdf"));
    pressButton(at.panel, QStringLiteral("cmdSavePdf"));
    EXPECT_TRUE(dialogs.suggested.endsWith(QStringLiteral("/個人データ.pdf")));
    ASSERT_EQ(pdfPageCount(dialogs.pdfPath), 2);
    EXPECT_TRUE(withoutBlanks(pdfText(dialogs.pdfPath, 1)).contains(QStringLiteral("加藤あおい")));
    EXPECT_TRUE(withoutBlanks(pdfText(dialogs.pdfPath, 2)).contains(QStringLiteral("岡田ゆうと")));
    EXPECT_TRUE(at.school.fakes.messages.shown.empty());

    // Saving over an earlier file replaces it whole; a folder that is not there gets a message naming
    // the file, and nothing is written.
    pressButton(at.panel, QStringLiteral("cmdSavePdf"));
    EXPECT_EQ(pdfPageCount(dialogs.pdfPath), 2);
    dialogs.pdfPath = out.filePath(QStringLiteral("なし/three.pdf"));
    pressButton(at.panel, QStringLiteral("cmdSavePdf"));
    ASSERT_EQ(at.school.fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(at.school.fakes.messages.shown[0].text.contains(QStringLiteral("保存できませんでした")));
    EXPECT_TRUE(at.school.fakes.messages.shown[0].text.contains(QStringLiteral("なし/three.pdf")));
    EXPECT_FALSE(QFile::exists(dialogs.pdfPath));
}

TEST(PersonalDataPrint, TheScreenAndThePaperPutThePointsAtTheSamePlaces)
{
    TestSchool school;
    writeSheetRuns(school);
    HubScreen *hub = openHubAs(school, 131);
    ASSERT_NE(hub, nullptr);
    PersonalDataPanel *panel = openGraph(hub);
    ASSERT_NE(panel, nullptr);
    const hub::PersonalSheet &sheet = panel->shownSheet();
    ASSERT_FALSE(sheet.pages.empty());

    // The drawing area as it is on the screen, and an image of another size and resolution.
    expectPointsPainted(control<QWidget>(panel, QStringLiteral("picSheet"))->grab().toImage(),
                        sheet.pages[0]);
    QImage image(1000, 1400, QImage::Format_RGB32);
    image.setDotsPerMeterX(5000);
    image.setDotsPerMeterY(5000);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        hub::sheetpaint::paintPage(painter, QRectF(image.rect()), sheet, 0);
    }
    expectPointsPainted(image, sheet.pages[0]);

    // A4 paper.
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("page.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        hub::sheetpaint::paintSheet(painter, writer, sheet);
    }
    const QStringList pages = pdfToPng(pdf, QStringLiteral("personal-sheet-paper"), 72);
    ASSERT_EQ(pages.size(), 1);
    const QImage paper(pages.first());
    ASSERT_FALSE(paper.isNull());
    expectPointsPainted(paper, sheet.pages[0]);
}
